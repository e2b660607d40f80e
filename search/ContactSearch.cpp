#include "search/ContactSearch.h"

#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/Filter.h"

#include <QHash>

namespace ks {

ContactSearch::ContactSearch(TfrmGlobal& data) : m_data(data) {}

Cursor& ContactSearch::source() const {
    Cursor& aux = *m_data.tblAuxPhoneBook();
    if (!aux.isOpen())
        aux.open();
    return aux;
}

QVector<ContactSearch::Match> ContactSearch::find(const Request& request) const {
    if (request.text.isEmpty())
        return {};
    Cursor& aux = source();
    auto table = aux.table();
    QList<int> fields;
    for (const QString& name : aux.fieldNames())
        if (request.allFields || request.fields.contains(name, Qt::CaseInsensitive))
            fields << table->fieldIndex(name);
    // Scanning in stored order and then taking the row key order from the index alone is about twice
    // as fast as scanning along the index, which visits the records out of order.
    const QVector<Match> found = table->searchText(fields, request.text, request.matchCase, QString());
    if (found.size() < 2)
        return found;
    QHash<RowId, int> fieldOf;
    fieldOf.reserve(found.size());
    for (const Match& m : found)
        fieldOf.insert(m.row, m.field);
    QVector<Match> ordered;
    ordered.reserve(found.size());
    for (RowId id : table->selectRowIds(Filter(), Contact::UniqueIndex)) {
        const auto it = fieldOf.constFind(id);
        if (it != fieldOf.constEnd())
            ordered.append(Match{id, it.value()});
    }
    return ordered;
}

int ContactSearch::recordCount() const {
    Cursor& aux = source();
    return aux.filtered() ? int(aux.table()->rowCount()) : aux.recordCount();
}

QStringList ContactSearch::fieldNames() const { return source().fieldNames(); }

void ContactSearch::moveToCategory(const QVector<RowId>& rows, const QString& category) {
    if (!rows.isEmpty())
        source().table()->setFieldForRows(Contact::Category, category, rows);
    m_data.BuildCategoryList();
}

} // namespace ks
