#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace ks {

// Error numbers the rest of the program may test for.
namespace EngineCode {
constexpr int DuplicateKey = 7057;    // a post would duplicate a unique key
constexpr int FileNotFound = 7008;    // table file missing
constexpr int NotATable = 7016;       // file exists but holds no table of ours
constexpr int TableLocked = 7041;     // another process holds the table
constexpr int ReadOnly = 7046;        // the file or its folder can't be written
constexpr int NoSuchField = 7200;     // a field name the table doesn't have
constexpr int NoSuchIndex = 7201;     // an index name the table doesn't have
constexpr int NotEditing = 7202;      // post/cancel/setValue outside an edit
constexpr int NoCurrentRecord = 7203; // edit/delete on an empty view
constexpr int BadValue = 7204;        // text that can't be converted to the field's type
constexpr int CursorClosed = 7205;    // operation on a closed cursor
constexpr int DiskFull = 7206;        // the disk is full
constexpr int General = 7000;         // anything else the database reports
} // namespace EngineCode

// The one error type of the table engine: a number and a message (the message starts with the number).
class EngineError : public std::exception {
public:
    EngineError(int code, const QString& message);
    int code() const noexcept { return m_code; }
    QString message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    int m_code;
    QString m_message;
    QByteArray m_utf8;
};

} // namespace ks
