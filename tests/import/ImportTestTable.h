#pragma once

#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A small destination table in a temporary directory: Last, First, Phone (the unique key), City,
// Notes (memo), Active (logical), Amount (float), Born (date), Seen (date-time), Visits (integer).
class ImportTestTable {
public:
    ImportTestTable();
    ~ImportTestTable();

    ks::Cursor& cursor() { return *m_cursor; }
    QString dir() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Writes a file into the temporary directory and gives its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;

    void add(const QString& last, const QString& first, const QString& phone,
             const QString& city = QString());
    // Every record as "Last|First|Phone|City", in natural order.
    QStringList rows();
    // One field of every record, as text.
    QStringList column(const QString& field);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ks::Connection> m_connection;
    std::unique_ptr<ks::Cursor> m_cursor;
};
