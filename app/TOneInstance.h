#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

namespace ks {

// The single-instance rule: the first process in a program directory holds a lock file there and
// listens on a local socket; a later one finds the lock taken, asks the first to come forward and
// ends without a word.
class TOneInstance : public QObject {
    Q_OBJECT
public:
    // Takes the lock in `directory` (the program directory) or finds it taken.
    explicit TOneInstance(const QString& directory, QObject* parent = nullptr);
    ~TOneInstance() override;

    // True when this process holds the lock (or the lock could not be made at all: we don't keep
    // a user from their address book over an unwritable lock file).
    bool isFirstInstance() const { return m_first; }
    // For a later instance: asks the first one to raise its window. False when it didn't answer.
    bool activateFirstInstance(int timeoutMs = 2000);

    // The local socket name for a program directory (one per user and directory).
    static QString serverName(const QString& directory);

signals:
    // Another start was attempted in this directory.
    void activationRequested();

private:
    void listen();
    void acceptConnections();

    QString m_directory;
    bool m_first = true;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace ks
