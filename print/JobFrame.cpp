#include "print/JobFrame.h"

#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QSet>

namespace ks {

namespace {
const QStringList& keyFields() {
    static const QStringList f{Contact::LastName, Contact::FirstName, Contact::HomePhone};
    return f;
}
} // namespace

JobFrame::JobFrame(TfrmGlobal& data, ViewHost& host)
    : m_data(data), m_host(host), m_cursor(*data.tblPhoneBook()) {}

bool JobFrame::SaveView() {
    if (!m_cursor.isOpen() || m_cursor.recordCount() < 1)
        return false;
    m_indexName = m_cursor.indexName();
    m_indexFieldNames = m_cursor.indexFieldNames();
    m_categoryText = m_host.categoryText();
    m_current = m_cursor.currentRowId();
    m_selectedKeys.clear();
    auto table = m_cursor.table();
    const QList<int> fields{table->fieldIndex(Contact::LastName), table->fieldIndex(Contact::FirstName),
                            table->fieldIndex(Contact::HomePhone)};
    // One read for the whole selection, kept in selection order.
    for (const QStringList& key : table->readTexts(m_host.selectedRowIds(), fields))
        if (key.size() == 3)
            m_selectedKeys << key;
    m_saved = true;
    return true;
}

void JobFrame::RestoreView() {
    if (!m_saved)
        return;
    if (!m_indexName.isEmpty())
        m_cursor.setIndexName(m_indexName);
    else
        m_cursor.setIndexFieldNames(m_indexFieldNames);
    // Back on the user's record first, so that applying the category finds that record again and
    // not wherever the job left the table (which would select a row the user never chose).
    m_cursor.gotoRowId(m_current);
    m_host.setCategoryText(m_categoryText);
    m_host.reapplySortOrder();
    auto table = m_cursor.table();
    const Filter viewFilter = m_cursor.filtered() ? m_cursor.filter() : Filter();
    const QList<int> fields{table->fieldIndex(Contact::LastName), table->fieldIndex(Contact::FirstName),
                            table->fieldIndex(Contact::HomePhone)};
    if (qint64(m_selectedKeys.size()) * 8 > m_cursor.recordCount()) {
        // Most of the view is selected: match the keys against the whole view in one pass.
        const QHash<QString, RowId> view = table->keyMap(fields, viewFilter);
        for (const QStringList& key : std::as_const(m_selectedKeys)) {
            const auto it = view.constFind(key.join(QChar(0x1f)));
            if (it != view.constEnd())
                m_host.selectRowId(it.value());
        }
    } else {
        for (RowId id : table->lookupKeys(fields, m_selectedKeys, viewFilter))
            if (id != 0)
                m_host.selectRowId(id);
    }
    m_selectedKeys.clear();
    m_cursor.gotoRowId(m_current);
    m_host.focusSortColumn();
    m_saved = false;
}

void JobFrame::MarkSelection() {
    if (m_host.selectedRowIds().isEmpty())
        m_host.selectCurrentRow();
    const QVector<RowId> selected = m_host.selectedRowIds();
    m_cursor.table()->markRows(Contact::RealPrint, QSet<RowId>(selected.begin(), selected.end()), true, false);
}

int JobFrame::MarkSearchMatches(const MatchList& matches) {
    m_host.SelectAllCategories();
    auto table = m_cursor.table();
    QSet<RowId> marked;
    for (int row = 0; row < matches.matchCount(); ++row) {
        QString last, firstName, phone;
        for (int col = 2; col < matches.columnCount(); ++col) {
            const QString title = matches.columnTitle(col).toUpper();
            if (title.contains(QLatin1String("LAST NAME")))
                last = matches.cell(row, col);
            else if (title.contains(QLatin1String("FIRST NAME")))
                firstName = matches.cell(row, col);
            else if (title.trimmed() == QLatin1String("PHONE"))
                phone = matches.cell(row, col);
        }
        if ((last + firstName + phone).trimmed().isEmpty())
            continue;
        const QVector<RowId> ids = table->findRows(keyFields(), {last, firstName, phone}, Filter());
        if (!ids.isEmpty())
            marked.insert(ids.first());
    }
    table->markRows(Contact::RealPrint, marked, true, false);
    m_cursor.setIndexName(Contact::UniqueIndex);
    return marked.size();
}

void JobFrame::saveJobFilter() {
    m_jobFilter = m_cursor.filter();
    m_jobFiltered = m_cursor.filtered();
}

void JobFrame::setJobFilter(const Filter& filter) {
    if (filter.isEmpty()) {
        m_cursor.setFiltered(false);
        return;
    }
    m_cursor.setFiltered(false);
    m_cursor.setFilter(filter);
    m_cursor.setFiltered(true);
}

void JobFrame::restoreJobFilter() {
    m_cursor.setFiltered(false);
    m_cursor.setFilter(m_jobFilter);
    m_cursor.setFiltered(m_jobFiltered);
}

} // namespace ks
