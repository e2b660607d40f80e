#include "store/engine/EngineError.h"

namespace ks {

EngineError::EngineError(int code, const QString& message)
    : m_code(code),
      m_message(message.startsWith(QString::number(code)) ? message
                                                          : QStringLiteral("%1: %2").arg(code).arg(message)),
      m_utf8(m_message.toUtf8()) {}

} // namespace ks
