#include "store/engine/Connection.h"

#include "store/engine/EngineError.h"
#include "store/engine/SqlText.h"
#include "store/engine/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace ks {

Connection::Connection(const QString& directory) : m_directory(directory) {}
Connection::~Connection() = default;

void Connection::setDirectory(const QString& directory) {
    m_directory = directory;
    m_open.clear();
}

QString Connection::filePath(const QString& fileName) const {
    if (QFileInfo(fileName).isAbsolute() || m_directory.isEmpty())
        return fileName;
    return QDir(m_directory).filePath(fileName);
}

bool Connection::tableExists(const QString& fileName) const { return QFileInfo::exists(filePath(fileName)); }

void Connection::createTable(const QString& fileName, const QList<FieldDef>& fields, const QList<IndexDef>& indexes) {
    const QString path = filePath(fileName);
    if (QFileInfo::exists(path))
        throw EngineError(EngineCode::General, QStringLiteral("The table file %1 already exists.").arg(path));
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        throw EngineError(EngineCode::ReadOnly, QStringLiteral("The table file %1 can't be created.").arg(path));
    }
    const QString table = QFileInfo(fileName).completeBaseName();
    QStringList cols;
    for (const FieldDef& f : fields)
        cols << columnDeclaration(f);
    QString sql = QStringLiteral("PRAGMA journal_mode=WAL; BEGIN; CREATE TABLE %1 (%2);").arg(quoteId(table), cols.join(QStringLiteral(", ")));
    for (const IndexDef& ix : indexes) {
        QStringList terms;
        for (const QString& f : ix.fields)
            terms << quoteId(f) + (ix.descending ? QStringLiteral(" DESC") : QString());
        sql += QStringLiteral("CREATE %1INDEX %2 ON %3 (%4);")
                   .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), quoteId(ix.name), quoteId(table),
                        terms.join(QStringLiteral(", ")));
    }
    sql += QStringLiteral("COMMIT;");
    char* err = nullptr;
    const int rc2 = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const QString msg = err ? QString::fromUtf8(err) : QString();
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc2 != SQLITE_OK) {
        QFile::remove(path);
        throw EngineError(EngineCode::General, QStringLiteral("The table %1 can't be created: %2").arg(path, msg));
    }
}

std::shared_ptr<Table> Connection::table(const QString& fileName) {
    const QString path = QFileInfo(filePath(fileName)).absoluteFilePath();
    const QString key = path.toLower();
    if (auto t = m_open.value(key).lock())
        return t;
    auto t = std::make_shared<Table>(path, QFileInfo(fileName).completeBaseName());
    t->open();
    m_open.insert(key, t);
    return t;
}

void Connection::release(const QString& fileName) {
    m_open.remove(QFileInfo(filePath(fileName)).absoluteFilePath().toLower());
}

} // namespace ks
