#include "common/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace ks {

namespace {

QString& overrideDir() {
    static QString d;
    return d;
}

bool writableDir(const QString& dir) {
    const QFileInfo fi(dir);
    return !dir.isEmpty() && fi.isDir() && fi.isWritable();
}

// Copies the shipped templates into a fresh per-user directory, leaving what is already there.
void seed(const QString& target) {
    const QString src = sharedDataDirectory();
    if (src.isEmpty())
        return;
    QDirIterator it(src + QStringLiteral("/Templates"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString rel = QDir(src).relativeFilePath(file);
        const QString dest = target + QLatin1Char('/') + rel;
        if (!QFile::exists(dest)) {
            QDir().mkpath(QFileInfo(dest).absolutePath());
            QFile::copy(file, dest);
        }
    }
}

} // namespace

void setProgramDirectory(const QString& dir) { overrideDir() = dir; }

QString programDirectory() {
    if (!overrideDir().isEmpty())
        return overrideDir();
    const QString env = qEnvironmentVariable("KESTRUM_HOME");
    if (!env.isEmpty()) {
        QDir().mkpath(env);
        return QDir(env).absolutePath();
    }
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (writableDir(exeDir))
        return exeDir;
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(user);
    seed(user);
    return user;
}

QString sharedDataDirectory() {
    // Beside the build (source tree), or the installed share directory.
    const QString env = qEnvironmentVariable("KESTRUM_DATA");
    if (!env.isEmpty())
        return env;
#ifdef KESTRUM_SOURCE_DIR
    if (QFileInfo::exists(QStringLiteral(KESTRUM_SOURCE_DIR "/data")))
        return QStringLiteral(KESTRUM_SOURCE_DIR);
#endif
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kestrum");
    if (QFileInfo::exists(installed))
        return QDir(installed).absolutePath();
    return QString();
}

QString programFile(const QString& name) { return programDirectory() + QLatin1Char('/') + name; }

} // namespace ks
