#include "export/engine/ExportError.h"

namespace ks {

ExportError::ExportError(const QString& message) : m_message(message), m_utf8(message.toUtf8()) {}

} // namespace ks
