#include "app/TOneInstance.h"

#include "app/AppInfo.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <unistd.h>

namespace ks {

namespace {
const QByteArray ActivateMessage = QByteArrayLiteral("activate\n");
}

QString TOneInstance::serverName(const QString& directory) {
    const QString canonical = QDir(directory).canonicalPath().isEmpty() ? QDir(directory).absolutePath()
                                                                        : QDir(directory).canonicalPath();
    const QByteArray hash = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("kestrum-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

TOneInstance::TOneInstance(const QString& directory, QObject* parent)
    : QObject(parent), m_directory(directory),
      m_lock(std::make_unique<QLockFile>(QDir(directory).filePath(AppInfo::LockFile))) {
    // A lock is stale only when its process is gone, never by age: the program runs for days.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen();
        return;
    }
    m_first = m_lock->error() != QLockFile::LockFailedError;
}

TOneInstance::~TOneInstance() {
    if (m_server)
        m_server->close();
    if (m_lock->isLocked())
        m_lock->unlock();
}

void TOneInstance::listen() {
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(m_directory);
    if (!m_server->listen(name)) {
        // A socket left behind by a process that died; we hold the lock, so it is ours to remove.
        QLocalServer::removeServer(name);
        m_server->listen(name);
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &TOneInstance::acceptConnections);
}

void TOneInstance::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Any connection is a request to come forward; what it says doesn't matter.
        connect(socket, &QLocalSocket::readyRead, socket, [socket] { socket->readAll(); });
        emit activationRequested();
    }
}

bool TOneInstance::activateFirstInstance(int timeoutMs) {
    if (m_first)
        return false;
    QElapsedTimer timer;
    timer.start();
    const QString name = serverName(m_directory);
    // The first instance may still be on its way to listening; try for a little while.
    while (timer.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(qMax<qint64>(1, timeoutMs - timer.elapsed()))) {
            socket.write(ActivateMessage);
            const bool written = socket.waitForBytesWritten(qMax<qint64>(1, timeoutMs - timer.elapsed()));
            socket.disconnectFromServer();
            return written;
        }
        QThread::msleep(50); // a real pause: another process is starting
    }
    return false;
}

} // namespace ks
