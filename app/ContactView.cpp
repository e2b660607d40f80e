#include "app/ContactView.h"

#include "app/ContactGrid.h"
#include "app/ContactGridModel.h"
#include "app/GridSelection.h"
#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/EngineError.h"
#include "store/engine/Table.h"

namespace ks {

namespace {
const QStringList& rowKeyFields() {
    static const QStringList f{Contact::LastName, Contact::FirstName, Contact::HomePhone};
    return f;
}
QVariantList keyValues(const RowKey& k) { return {k.lastName, k.firstName, k.homePhone}; }
} // namespace

ContactView::ContactView(TfrmGlobal& data, ContactGrid& grid)
    : m_data(data), m_grid(grid), m_cursor(*data.tblPhoneBook()) {}

void ContactView::ApplyCategory(const QString& text) {
    if (!m_cursor.isOpen())
        return;
    const bool hadRecord = m_cursor.recordCount() > 0;
    const RowKey key = m_data.currentRowKey();
    if (text != Contact::AllCategories) {
        m_grid.selection().clear();
        m_cursor.setFilter(Filter::equals(Contact::Category, text));
        m_cursor.setFiltered(true);
        m_categoryFiltered = true;
        try {
            if (!hadRecord || !m_cursor.locate(rowKeyFields(), keyValues(key)))
                m_cursor.first();
        } catch (const EngineError&) {
            m_cursor.first();
        }
        m_grid.selectCurrentRow();
    } else {
        m_cursor.setFiltered(false);
        m_cursor.setFilter(Filter());
        m_categoryFiltered = false;
        if (hadRecord)
            m_cursor.locate(rowKeyFields(), keyValues(key));
    }
}

int ContactView::markSortColumn(const QString& field) {
    const ContactGridModel& model = m_grid.gridModel();
    int column = model.columnOfField(field);
    if (column < 0)
        column = model.columnOfField(Contact::LastName);
    if (column < 0 && model.columnCount() > 0)
        column = 0;
    m_grid.setSortColumn(column);
    return column;
}

int ContactView::sortColumn() const { return m_grid.sortColumn(); }

QString ContactView::sortField() const {
    const int c = m_grid.sortColumn();
    const GridColumns& cols = m_grid.gridModel().columns();
    return (c >= 0 && c < cols.size()) ? cols.at(c).field : QString();
}

void ContactView::SortByColumn(int column) {
    if (column < 0 || column >= m_grid.gridModel().columnCount())
        return;
    const RowId current = m_cursor.currentRowId();
    m_grid.focusColumn(column);
    m_grid.selectCurrentRow();
    if (column == m_grid.sortColumn()) {
        m_descending = !m_descending;
    } else {
        m_grid.setSortColumn(column);
        m_descending = false;
    }
    ApplySortOrder(sortField(), m_descending, m_categoryFiltered);
    if (!m_data.tblPhoneBook()->isOpen())
        m_data.tblPhoneBook()->open();
    if (!m_data.tblAuxPhoneBook()->isOpen())
        m_data.tblAuxPhoneBook()->open();
    // The new order starts on its first record; back to the user's before anything is selected,
    // or a sort would quietly add that first row to the selection that Remove and Export act on.
    m_cursor.gotoRowId(current);
    m_grid.selectCurrentRow();
}

void ContactView::ApplySortOrder(const QString& field, bool descending, bool categoryFiltered) {
    if (field.isEmpty() || !m_cursor.isOpen())
        return;
    if (field.compare(Contact::Category, Qt::CaseInsensitive) == 0) {
        if (!categoryFiltered)
            m_cursor.setIndexFieldNames(Contact::Category);
        return;
    }
    IndexDef def;
    def.name = Contact::SortIndex;
    def.upperParts = {SortKeyPart{field, 80}, SortKeyPart{Contact::Category, 20}};
    def.descending = descending;
    // Building the index already resets the view when the index changed; switching to it only
    // when another order was in use keeps a sort to one pass over the table.
    const bool inUse = m_cursor.indexName().compare(Contact::SortIndex, Qt::CaseInsensitive) == 0;
    m_cursor.table()->createIndex(def);
    if (!inUse)
        m_cursor.setIndexName(Contact::SortIndex);
    m_cursor.first();
}

void ContactView::reapplySortOrder() { ApplySortOrder(sortField(), m_descending, m_categoryFiltered); }

} // namespace ks
