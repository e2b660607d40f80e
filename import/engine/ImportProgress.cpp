#include "import/engine/ImportProgress.h"

namespace ks {

namespace {
ImportProgress::Factory& defaultFactoryRef() {
    static ImportProgress::Factory factory;
    return factory;
}
} // namespace

void ImportProgress::setDefaultFactory(Factory factory) {
    defaultFactoryRef() = std::move(factory);
}

const ImportProgress::Factory& ImportProgress::defaultFactory() {
    return defaultFactoryRef();
}

} // namespace ks
