#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace ks {

// A failure of the import engine or of a reader: a message for the user and, when it came from the
// table engine, that engine's error number (0 otherwise).
class ImportError : public std::exception {
public:
    explicit ImportError(const QString& message, int code = 0);
    QString message() const { return m_message; }
    int code() const noexcept { return m_code; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // "Property %s wasn't specified."
    static ImportError missingProperty(const QString& name);

private:
    QString m_message;
    int m_code;
    QByteArray m_utf8;
};

} // namespace ks
