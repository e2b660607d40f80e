#include "search/ContactSearch.h"

#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"

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
    return table->searchText(fields, request.text, request.matchCase, Contact::UniqueIndex);
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
