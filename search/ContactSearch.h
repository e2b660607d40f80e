#pragma once

#include "store/engine/Table.h"

#include <QStringList>
#include <QVector>

namespace ks {

class Cursor;
class TfrmGlobal;

// The search over the whole contact table, through the aux cursor so the main window's view stays
// as it is. Throws EngineError.
class ContactSearch {
public:
    explicit ContactSearch(TfrmGlobal& data);

    struct Request {
        QString text;
        bool allFields = true;
        QStringList fields; // looked at only without allFields
        bool matchCase = false;
    };
    using Match = Table::TextMatch; // the record and the first field (table index) that holds the text

    // One match per record, in row key order. The text is taken literally; empty text finds nothing.
    QVector<Match> find(const Request& request) const;
    int recordCount() const;         // the whole table
    QStringList fieldNames() const;  // the fields that can be searched (all but the selection mark)
    // Sets Category of the records and rebuilds the category list.
    void moveToCategory(const QVector<RowId>& rows, const QString& category);

    Cursor& source() const;

private:
    TfrmGlobal& m_data;
};

} // namespace ks
