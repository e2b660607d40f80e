#include "export/engine/TVExportStream.h"

#include "export/engine/ExportError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <new>

namespace ks {

namespace {
constexpr qsizetype kFlushAt = 64 * 1024;
}

TVExportStream::TVExportStream(QIODevice& device, const QString& name) : m_device(&device), m_name(name) {
    if (!device.isOpen()) {
        if (!device.open(QIODevice::ReadWrite | QIODevice::Truncate))
            fail(QStringLiteral("Cannot open the output"));
        m_openedHere = true;
    } else if (!device.isWritable()) {
        fail(QStringLiteral("The output is not open for writing"));
    }
    m_written = device.isSequential() ? 0 : device.pos();
    m_buffer.reserve(2 * kFlushAt);
}

TVExportStream::TVExportStream(const QString& fileName)
    : m_file(std::make_unique<QFile>(fileName)), m_name(fileName) {
    // Unbuffered: we buffer ourselves, and a full disk must show at the write that hits it.
    if (!m_file->open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered)) {
        const QString reason = m_file->errorString();
        throw ExportError(QStringLiteral("Cannot create the file \"%1\": %2")
                              .arg(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()), reason));
    }
    m_device = m_file.get();
    m_openedHere = true;
    m_buffer.reserve(2 * kFlushAt);
}

TVExportStream::~TVExportStream() {
    if (m_closed)
        return;
    flushNoThrow();
    if (m_openedHere && m_device)
        m_device->close();
}

void TVExportStream::fail(const QString& what) const {
    QString target = m_name;
    if (!target.isEmpty())
        target = QStringLiteral(" \"%1\"").arg(QDir::toNativeSeparators(target));
    const QString reason = m_device ? m_device->errorString() : QString();
    throw ExportError(QStringLiteral("%1%2: %3")
                          .arg(what, target, reason.isEmpty() ? QStringLiteral("unknown error") : reason));
}

void TVExportStream::append(QStringView s) {
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + m_utf8.requiredSpace(s.size()));
    char* end = m_utf8.appendToBuffer(m_buffer.data() + old, s);
    m_buffer.truncate(end - m_buffer.constData());
}

void TVExportStream::writeString(QStringView s) {
    append(s);
    if (m_buffer.size() >= kFlushAt)
        flush();
}

void TVExportStream::writeLine(QStringView s) {
    append(s);
    m_buffer += "\r\n";
    if (m_buffer.size() >= kFlushAt)
        flush();
}

void TVExportStream::writeEmptyLine() {
    writeBytes(QByteArrayLiteral("\r\n"));
}

void TVExportStream::writeBytes(const QByteArray& bytes) {
    m_buffer += bytes;
    if (m_buffer.size() >= kFlushAt)
        flush();
}

qint64 TVExportStream::pos() const {
    return m_written + m_buffer.size();
}

void TVExportStream::flush() {
    qsizetype done = 0;
    while (done < m_buffer.size()) {
        const qint64 n = m_device->write(m_buffer.constData() + done, m_buffer.size() - done);
        if (n <= 0) {
            // What the device took stays; the rest can't be written anyway.
            m_written += done;
            m_buffer.clear();
            fail(QStringLiteral("Cannot write to"));
        }
        done += n;
    }
    m_written += done;
    m_buffer.truncate(0); // keeps its memory for the next lines
}

void TVExportStream::flushNoThrow() noexcept {
    try {
        flush();
    } catch (...) {
    }
}

void TVExportStream::insertAt(qint64 position, const QByteArray& bytes) {
    flush();
    if (m_device->isSequential() || !m_device->isReadable())
        throw ExportError(QStringLiteral("Cannot insert into an output that can't be read back."));
    const qint64 end = m_written;
    if (position < 0 || position > end)
        throw ExportError(QStringLiteral("Insert position %1 is outside the output.").arg(position));
    QByteArray tail;
    try {
        tail.resize(end - position);
    } catch (const std::bad_alloc&) {
        throw ExportError(QStringLiteral("VirtualAlloc failed! :-("));
    }
    if (!m_device->seek(position))
        fail(QStringLiteral("Cannot seek in"));
    if (m_device->read(tail.data(), tail.size()) != tail.size())
        fail(QStringLiteral("Cannot read back"));
    if (!m_device->seek(position))
        fail(QStringLiteral("Cannot seek in"));
    m_written = position;
    m_buffer = bytes + tail;
    flush();
}

void TVExportStream::close() {
    if (m_closed)
        return;
    flush();
    if (m_file && !m_file->flush())
        fail(QStringLiteral("Cannot write to"));
    m_closed = true;
    if (m_openedHere)
        m_device->close();
}

} // namespace ks
