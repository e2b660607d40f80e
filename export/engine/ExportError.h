#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace ks {

// The error an export run ends with: a check that failed before anything was written, or a file
// that could not be created or written. The message is meant for the user as it is.
class ExportError : public std::exception {
public:
    explicit ExportError(const QString& message);
    QString message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace ks
