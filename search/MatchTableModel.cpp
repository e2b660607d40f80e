#include "search/MatchTableModel.h"

#include "store/engine/Cursor.h"

namespace ks {

namespace {
QString valueText(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}
} // namespace

MatchTableModel::MatchTableModel(QObject* parent) : QAbstractTableModel(parent), m_cache(512) {}

MatchTableModel::~MatchTableModel() = default;

void MatchTableModel::setColumns(const QList<MatchColumn>& columns) {
    beginResetModel();
    m_columns = columns;
    m_cache.clear();
    resolveFields();
    endResetModel();
}

void MatchTableModel::resolveFields() {
    m_columnFields.clear();
    auto table = m_source ? m_source->table() : nullptr;
    for (const MatchColumn& c : std::as_const(m_columns))
        m_columnFields << (table ? table->fieldIndex(c.field) : -1);
}

void MatchTableModel::setMatches(const Cursor& source, const QVector<Table::TextMatch>& matches) {
    beginResetModel();
    m_source = &source;
    m_matches = matches;
    m_cache.clear();
    resolveFields();
    endResetModel();
}

void MatchTableModel::clear() {
    beginResetModel();
    m_matches.clear();
    m_cache.clear();
    endResetModel();
}

void MatchTableModel::refreshValues() {
    m_cache.clear();
    if (!m_matches.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_matches.size()) - 1, columnCount() - 1));
}

RowId MatchTableModel::rowIdAt(int match) const {
    return (match >= 0 && match < m_matches.size()) ? m_matches.at(match).row : 0;
}

QVector<RowId> MatchTableModel::rowIds() const {
    QVector<RowId> ids;
    ids.reserve(m_matches.size());
    for (const Table::TextMatch& m : m_matches)
        ids << m.row;
    return ids;
}

QString MatchTableModel::title(int column) const {
    if (column == 0)
        return QStringLiteral("Matching Field");
    if (column == 1)
        return QStringLiteral("Matching Value");
    return column - 2 < m_columns.size() ? m_columns.at(column - 2).title : QString();
}

// The texts of one match row, read from the table once and kept while it stays unchanged.
const QStringList* MatchTableModel::rowTexts(int match) const {
    auto table = m_source ? m_source->table() : nullptr;
    if (!table)
        return nullptr;
    if (m_cacheGeneration != table->generation()) {
        m_cache.clear();
        m_cacheGeneration = table->generation();
    }
    if (QStringList* hit = m_cache.object(match))
        return hit;
    const Table::TextMatch& m = m_matches.at(match);
    const QVector<QVariant> rec = table->readRecord(m.row);
    auto* texts = new QStringList;
    texts->reserve(2 + m_columns.size());
    *texts << (m.field < table->fields().size() ? table->fields().at(m.field).displayName() : QString());
    *texts << valueText(rec.value(m.field));
    for (int f : std::as_const(m_columnFields))
        *texts << (f >= 0 ? valueText(rec.value(f)) : QString());
    m_cache.insert(match, texts);
    return texts;
}

QString MatchTableModel::cell(int match, int column) const {
    if (match < 0 || match >= m_matches.size())
        return QString();
    const QStringList* texts = rowTexts(match);
    return texts ? texts->value(column) : QString();
}

int MatchTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_matches.size()) + 1;
}

int MatchTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2 + int(m_columns.size());
}

QVariant MatchTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return QVariant();
    // A cell shows one line; the match list itself keeps the line breaks of notes for printing.
    QString text = cell(index.row(), index.column());
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QVariant MatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return title(section);
    return QVariant();
}

} // namespace ks
