#include "import/engine/ImportError.h"

namespace ks {

ImportError::ImportError(const QString& message, int code)
    : m_message(message), m_code(code), m_utf8(message.toUtf8()) {}

ImportError ImportError::missingProperty(const QString& name) {
    return ImportError(QStringLiteral("Property %1 wasn't specified.").arg(name));
}

} // namespace ks
