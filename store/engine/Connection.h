#pragma once

#include "store/engine/FieldDef.h"

#include <QHash>
#include <QString>
#include <memory>

namespace ks {

class Table;

// A directory of table files; no server. Open tables are shared by every cursor of this connection.
class Connection {
public:
    explicit Connection(const QString& directory = QString());
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setDirectory(const QString& directory);
    QString directory() const { return m_directory; }
    QString filePath(const QString& fileName) const;

    bool tableExists(const QString& fileName) const;
    // Creates a new table file holding one table named after the file's base name. Throws when the
    // file exists or can't be written.
    void createTable(const QString& fileName, const QList<FieldDef>& fields, const QList<IndexDef>& indexes);
    // The open table for the file, opened on first use. Throws EngineError (missing file, not a
    // table, locked, read-only).
    std::shared_ptr<Table> table(const QString& fileName);
    // Forgets the open table so that the next table() reopens the file (after a restructure).
    void release(const QString& fileName);

private:
    QString m_directory;
    QHash<QString, std::weak_ptr<Table>> m_open;
};

} // namespace ks
