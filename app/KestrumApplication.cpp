#include "app/KestrumApplication.h"

#include "common/Prompt.h"
#include "store/engine/EngineError.h"

namespace ks {

KestrumApplication::KestrumApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KestrumApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    } catch (const std::exception& e) {
        Prompt::current().error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace ks
