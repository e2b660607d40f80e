#pragma once

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <memory>

class QFile;
class QIODevice;

namespace ks {

// The output of an export: buffered UTF-8 text with CR LF line ends, written to a device or to a
// file it creates (or empties). Every failure to create or write becomes an ExportError that names
// the file and the reason. Whatever was written before a failure stays.
class TVExportStream {
public:
    // Writes to a device the caller owns; it is opened for reading and writing when it is not open.
    explicit TVExportStream(QIODevice& device, const QString& name = QString());
    // Creates the file, or empties it when it exists.
    explicit TVExportStream(const QString& fileName);
    ~TVExportStream(); // flushes what it can and closes a file it opened; never throws
    TVExportStream(const TVExportStream&) = delete;
    TVExportStream& operator=(const TVExportStream&) = delete;

    void writeString(QStringView s);
    void writeLine(QStringView s);
    void writeEmptyLine();
    void writeBytes(const QByteArray& bytes);

    qint64 pos() const; // bytes written so far, buffer included

    // Inserts bytes at an earlier position, moving what follows: the tail is read back, the bytes
    // written, the tail written after them. Needs a device that can seek and read.
    void insertAt(qint64 position, const QByteArray& bytes);

    void flush();
    void close(); // flushes, then closes a device this stream opened

private:
    void fail(const QString& what) const;
    void append(QStringView s); // UTF-8 straight into the buffer
    void flushNoThrow() noexcept;

    std::unique_ptr<QFile> m_file;
    QIODevice* m_device = nullptr;
    QString m_name;
    QByteArray m_buffer;
    QStringEncoder m_utf8{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    qint64 m_written = 0; // bytes handed to the device
    bool m_openedHere = false;
    bool m_closed = false;
};

} // namespace ks
