#include "store/engine/Cursor.h"

#include "store/engine/Connection.h"
#include "store/engine/EngineError.h"
#include "store/engine/Table.h"

#include <algorithm>
#include <climits>

namespace ks {

Cursor::Cursor(Connection& connection, const QString& tableFile, QObject* parent)
    : QObject(parent), m_connection(connection), m_tableFile(tableFile), m_rowCache(512) {}

Cursor::~Cursor() {
    if (m_table)
        m_table->removeChangeListener(m_listenerId);
}

void Cursor::setFieldNames(const QStringList& names) { m_wantedFields = names; }

void Cursor::requireOpen() const {
    if (!m_table)
        throw EngineError(EngineCode::CursorClosed, QStringLiteral("The table %1 is not open.").arg(m_tableFile));
}

void Cursor::open() {
    if (m_table)
        return;
    auto table = m_connection.table(m_tableFile);
    QVector<int> map;
    for (int i = 0; i < table->fields().size(); ++i) {
        const QString& name = table->fields().at(i).name;
        if (m_wantedFields.isEmpty() ||
            std::any_of(m_wantedFields.begin(), m_wantedFields.end(),
                        [&](const QString& w) { return w.compare(name, Qt::CaseInsensitive) == 0; }))
            map << i;
    }
    if (!m_indexName.isEmpty())
        (void)table->indexDef(m_indexName); // throws for an unknown index
    emit aboutToReset();
    m_table = table;
    m_fieldMap = map;
    m_listenerId = m_table->addChangeListener([this] { tableChanged(); });
    m_viewValid = false;
    m_state = State::Browse;
    m_current = 0;
    m_hintRow = 0;
    m_rowCache.clear();
    emit reset();
    first();
}

void Cursor::close() {
    if (!m_table)
        return;
    if (m_state != State::Browse)
        cancel();
    emit aboutToReset();
    m_table->removeChangeListener(m_listenerId);
    m_scan.reset();
    m_table.reset();
    m_viewValid = false;
    m_view.clear();
    m_rowOf.clear();
    m_current = 0;
    m_eof = m_bof = true;
    m_rowCache.clear();
    emit reset();
    emit currentChanged();
}

QStringList Cursor::fieldNames() const {
    QStringList out;
    for (int i = 0; i < m_fieldMap.size(); ++i)
        out << fieldDef(i).name;
    return out;
}

const FieldDef& Cursor::fieldDef(int index) const {
    requireOpen();
    return m_table->fields().at(m_fieldMap.at(index));
}

QString Cursor::effectiveIndex() const {
    if (!m_indexName.isEmpty())
        return m_indexName;
    if (m_indexFieldNames.isEmpty() || !m_table)
        return QString();
    const QString name = m_table->indexForFields(m_indexFieldNames.split(QLatin1Char(';')));
    if (name.isEmpty())
        throw EngineError(EngineCode::NoSuchIndex,
                          QStringLiteral("The table %1 has no index on %2.").arg(m_tableFile, m_indexFieldNames));
    return name;
}

void Cursor::setIndexName(const QString& name) {
    // The same order again changes nothing; a rebuilt index has already told every cursor.
    if (m_indexFieldNames.isEmpty() && name.compare(m_indexName, Qt::CaseInsensitive) == 0 &&
        name.isEmpty() == m_indexName.isEmpty())
        return;
    if (m_table && !name.isEmpty())
        (void)m_table->indexDef(name);
    m_indexName = name;
    m_indexFieldNames.clear();
    invalidate();
}

void Cursor::setIndexFieldNames(const QString& fields) {
    if (m_indexName.isEmpty() && fields.compare(m_indexFieldNames, Qt::CaseInsensitive) == 0)
        return;
    const QString previous = m_indexFieldNames;
    m_indexFieldNames = fields;
    m_indexName.clear();
    try {
        (void)effectiveIndex();
    } catch (...) {
        m_indexFieldNames = previous;
        throw;
    }
    invalidate();
}

void Cursor::setFilter(const Filter& filter) {
    m_filter = filter;
    if (m_filtered)
        invalidate();
}

void Cursor::setFiltered(bool on) {
    if (m_filtered == on)
        return;
    m_filtered = on;
    invalidate();
}

void Cursor::invalidate() {
    m_viewValid = false;
    m_shapeChanged = true; // order or filter changed: the current record may have left the view
    m_rowOf.clear();
    if (!m_table)
        return;
    if (m_disabled > 0) {
        m_pendingReset = true;
        return;
    }
    emit aboutToReset();
    emit reset();
    emit currentChanged();
}

void Cursor::tableChanged() {
    // Our own removal of one row of a built view: take it out of the view instead of rebuilding.
    if (m_removingRow >= 0 && m_viewValid && m_removingRow < m_view.size()) {
        m_view.remove(m_removingRow);
        m_rowOf.clear();
        m_removingRow = -1;
        if (m_disabled > 0) {
            m_pendingReset = true;
        } else {
            emit aboutToReset();
            emit reset();
        }
        return;
    }
    // Data changed: the current record stays valid by its row id even before the view is rebuilt.
    const bool shape = m_shapeChanged;
    invalidate();
    m_shapeChanged = shape;
}

void Cursor::ensureView() const {
    if (m_viewValid || !m_table)
        return;
    m_scan.reset();
    m_view = m_table->selectRowIds(m_filtered ? m_filter : Filter(), effectiveIndex());
    m_rowOf.clear();
    m_viewValid = true;
    m_shapeChanged = false;
    if (m_view.isEmpty()) {
        m_current = 0;
        m_eof = m_bof = true;
        m_hintRow = 0;
        return;
    }
    if (m_hintRow >= 0 && m_hintRow < m_view.size() && m_view.at(m_hintRow) == m_current)
        return;
    if (m_current != 0 && rowOf(m_current) >= 0)
        return;
    // The record is gone from the view: stay at the same place.
    m_hintRow = qBound(0, m_hintRow, int(m_view.size()) - 1);
    m_current = m_view.at(m_hintRow);
    m_eof = m_bof = false;
}

int Cursor::rowOf(RowId id) const {
    ensureView();
    if (m_hintRow >= 0 && m_hintRow < m_view.size() && m_view.at(m_hintRow) == id)
        return m_hintRow;
    if (m_rowOf.isEmpty() && !m_view.isEmpty()) {
        m_rowOf.reserve(m_view.size());
        for (int i = 0; i < m_view.size(); ++i)
            m_rowOf.insert(m_view.at(i), i);
    }
    return m_rowOf.value(id, -1);
}

int Cursor::currentRow() const {
    ensureView();
    if (m_view.isEmpty())
        return -1;
    const int r = rowOf(m_current);
    if (r >= 0)
        m_hintRow = r;
    return r;
}

int Cursor::recordCount() const {
    if (!m_table)
        return 0;
    ensureView();
    return m_view.size();
}

bool Cursor::isEmpty() { return recordCount() == 0; }

int Cursor::recNo() const {
    const int r = currentRow();
    return r < 0 ? 0 : r + 1;
}

RowId Cursor::rowIdAt(int row) const {
    ensureView();
    return (row >= 0 && row < m_view.size()) ? m_view.at(row) : 0;
}

QVariant Cursor::valueAt(int row, int field) const {
    const RowId id = rowIdAt(row);
    if (id == 0)
        return QVariant();
    if (m_cacheGen != m_table->generation()) {
        m_rowCache.clear();
        m_cacheGen = m_table->generation();
    }
    QVector<QVariant>* rec = m_rowCache.object(id);
    if (!rec) {
        rec = new QVector<QVariant>(m_table->readRecord(id));
        m_rowCache.insert(id, rec);
    }
    const int tf = tableField(field);
    return tf < rec->size() ? rec->at(tf) : QVariant();
}

void Cursor::moveToRow(int row) {
    m_hintRow = row;
    m_current = m_view.at(row);
    notifyCurrent();
}

void Cursor::notifyCurrent() {
    if (m_disabled > 0) {
        m_pendingReset = true;
        return;
    }
    emit currentChanged();
}

void Cursor::first() {
    requireOpen();
    ensureView();
    m_bof = true;
    m_eof = m_view.isEmpty();
    if (m_view.isEmpty()) {
        m_current = 0;
        notifyCurrent();
        return;
    }
    moveToRow(0);
}

void Cursor::last() {
    requireOpen();
    ensureView();
    m_eof = true;
    m_bof = m_view.isEmpty();
    if (m_view.isEmpty()) {
        m_current = 0;
        notifyCurrent();
        return;
    }
    moveToRow(m_view.size() - 1);
}

void Cursor::next() {
    requireOpen();
    const int r = currentRow();
    if (r < 0 || r + 1 >= m_view.size()) {
        m_eof = true;
        return;
    }
    m_eof = m_bof = false;
    moveToRow(r + 1);
}

void Cursor::prior() {
    requireOpen();
    const int r = currentRow();
    if (r <= 0) {
        m_bof = true;
        return;
    }
    m_eof = m_bof = false;
    moveToRow(r - 1);
}

bool Cursor::gotoRowId(RowId id) {
    requireOpen();
    const int r = rowOf(id);
    if (r < 0)
        return false;
    m_eof = m_bof = false;
    moveToRow(r);
    return true;
}

void Cursor::refresh() { invalidate(); }

bool Cursor::loadCurrent() const {
    const quint64 gen = m_table->generation();
    if (m_recordId == m_current && m_recordGen == gen && !m_record.isEmpty())
        return m_recordFound;
    // A long job walking the view record by record (controls off, as exports run) reads ahead a
    // block of records with one statement instead of one lookup each.
    const bool atHint = m_viewValid && m_hintRow >= 0 && m_hintRow < m_view.size() && m_view.at(m_hintRow) == m_current;
    if (m_disabled > 0 && atHint && m_current != 0) {
        if (readFromScan(gen)) {
            m_lastLoadedRow = m_hintRow;
            return true;
        }
        if (m_blockGen != gen)
            m_block.clear();
        if (!m_block.contains(m_current) && m_lastLoadedRow == m_hintRow - 1) {
            m_block = m_table->readRecords(m_view.mid(m_hintRow, 256));
            m_blockGen = gen;
        }
        m_lastLoadedRow = m_hintRow;
        const auto it = m_block.constFind(m_current);
        if (it != m_block.constEnd()) {
            m_record = it.value();
            m_recordFound = true;
            m_recordId = m_current;
            m_recordGen = gen;
            return true;
        }
    } else {
        m_lastLoadedRow = atHint ? m_hintRow : -2;
    }
    m_record = m_current ? m_table->readRecord(m_current) : QVector<QVariant>();
    m_recordFound = !m_record.isEmpty();
    if (!m_recordFound)
        m_record.resize(m_table->fields().size());
    m_recordId = m_current;
    m_recordGen = m_table->generation();
    return m_recordFound;
}

// A walk that starts at the first record streams the view's records with one open statement;
// anything else (a jump, a change of the data) drops the stream and reads as usual.
bool Cursor::readFromScan(quint64 gen) const {
    if (m_scan && (m_scanGen != gen || m_scanRow > m_hintRow || m_hintRow - m_scanRow > 256))
        m_scan.reset();
    if (!m_scan) {
        if (m_hintRow != 0)
            return false;
        m_scan = m_table->scanRecords(m_filtered ? m_filter : Filter(), effectiveIndex());
        if (!m_scan)
            return false;
        m_scanGen = gen;
        m_scanRow = 0;
    }
    RowId id = 0;
    while (m_scanRow <= m_hintRow) {
        if (!m_scan->next(id, m_record)) {
            m_scan.reset();
            return false;
        }
        ++m_scanRow;
    }
    if (id != m_current) {
        m_scan.reset();
        return false;
    }
    m_recordFound = true;
    m_recordId = m_current;
    m_recordGen = gen;
    return true;
}

// The current record by its row id; the view is only rebuilt when that record is gone (so that a
// loop of locate, edit and post never rebuilds the view after every post).
bool Cursor::loadCurrentOrSettle() const {
    if (m_current != 0 && !m_shapeChanged && loadCurrent())
        return true;
    ensureView();
    return loadCurrent();
}

QVariant Cursor::value(int field) const {
    requireOpen();
    const int tf = tableField(field);
    if (m_state != State::Browse)
        return m_buffer.value(tf);
    loadCurrentOrSettle();
    return m_record.value(tf);
}

QVariant Cursor::value(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(m_tableFile, name));
    return value(i);
}

QString Cursor::text(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(m_tableFile, name));
    return asString(i);
}

void Cursor::append() {
    requireOpen();
    if (m_state != State::Browse)
        post();
    m_buffer = m_table->blankRecord();
    m_state = State::Insert;
    m_modified = false;
    emit stateChanged();
    notifyCurrent();
}

void Cursor::edit() {
    requireOpen();
    if (m_state != State::Browse)
        return;
    if (!loadCurrentOrSettle())
        throw EngineError(EngineCode::NoCurrentRecord, QStringLiteral("There is no record to edit in %1.").arg(m_tableFile));
    m_buffer = m_record;
    m_editBase = m_record;
    m_state = State::Edit;
    m_modified = false;
    emit stateChanged();
}

void Cursor::post() {
    requireOpen();
    if (m_state == State::Browse)
        return;
    m_inWrite = true;
    try {
        if (m_state == State::Insert) {
            const RowId id = m_table->insertRecord(m_buffer);
            m_current = id;
        } else {
            m_table->updateRecord(m_current, m_buffer, &m_editBase);
        }
    } catch (...) {
        m_inWrite = false;
        throw; // the edit buffer and state stay as they were
    }
    m_inWrite = false;
    m_state = State::Browse;
    m_modified = false;
    m_buffer.clear();
    m_editBase.clear();
    m_eof = m_bof = false;
    emit stateChanged();
    notifyCurrent();
}

void Cursor::cancel() {
    if (m_state == State::Browse)
        return;
    m_state = State::Browse;
    m_modified = false;
    m_buffer.clear();
    m_editBase.clear();
    emit stateChanged();
    notifyCurrent();
}

void Cursor::deleteRecord() {
    requireOpen();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    if (!loadCurrentOrSettle())
        throw EngineError(EngineCode::NoCurrentRecord, QStringLiteral("There is no record to remove in %1.").arg(m_tableFile));
    // With a built view the next record takes the place; otherwise the view is not built just
    // for that (a run of locate and delete would rebuild it every time).
    int row = -1;
    if (m_viewValid && !m_shapeChanged) {
        row = currentRow();
        if (row >= 0)
            m_hintRow = row;
    }
    const RowId id = m_current;
    m_current = 0;
    m_removingRow = row;
    try {
        m_table->deleteRecord(id);
    } catch (...) {
        m_removingRow = -1;
        m_current = id;
        throw;
    }
    m_removingRow = -1;
    if (m_viewValid) {
        // The next record takes the place of the removed one (the previous one at the end).
        if (m_view.isEmpty()) {
            m_eof = m_bof = true;
        } else {
            m_hintRow = qBound(0, m_hintRow, int(m_view.size()) - 1);
            m_current = m_view.at(m_hintRow);
        }
    } else if (!m_disabled) {
        ensureView();
    }
    notifyCurrent();
}

void Cursor::setValue(int field, const QVariant& value) {
    requireOpen();
    if (m_state == State::Browse)
        throw EngineError(EngineCode::NotEditing,
                          QStringLiteral("The table %1 is not in edit or insert mode.").arg(m_tableFile));
    const int tf = tableField(field);
    const FieldType type = m_table->fields().at(tf).type;
    QVariant stored = m_table->toStored(tf, value);
    // Text is kept as stored; other types go back to their typed form.
    if (type == FieldType::String || type == FieldType::Memo)
        m_buffer[tf] = std::move(stored);
    else
        m_buffer[tf] = m_table->fromStored(tf, stored);
    m_modified = true;
}

void Cursor::setValue(const QString& name, const QVariant& value) {
    const int i = fieldIndex(name);
    if (i < 0)
        throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(m_tableFile, name));
    setValue(i, value);
}

bool Cursor::locate(const QStringList& fields, const QVariantList& values) {
    requireOpen();
    QVector<QVariant> first; // read with the lookup: a located record is usually read next
    const QVector<RowId> ids = m_table->findRows(fields, values, m_filtered ? m_filter : Filter(), &first);
    if (ids.isEmpty())
        return false;
    RowId best = ids.first();
    if (ids.size() == 1) {
        m_record = std::move(first);
        m_recordId = best;
        m_recordGen = m_table->generation();
        m_recordFound = true;
    }
    if (ids.size() > 1) {
        int bestRow = INT_MAX;
        for (RowId id : ids) {
            const int r = rowOf(id);
            if (r >= 0 && r < bestRow) {
                bestRow = r;
                best = id;
            }
        }
    }
    m_current = best;
    m_eof = m_bof = false;
    notifyCurrent();
    return true;
}

bool Cursor::findKey(const QVariantList& values) {
    requireOpen();
    const QString index = effectiveIndex();
    if (index.isEmpty())
        throw EngineError(EngineCode::NoSuchIndex, QStringLiteral("No index is in use on %1.").arg(m_tableFile));
    const IndexDef def = m_table->indexDef(index);
    QStringList fields = def.fields;
    for (const SortKeyPart& p : def.upperParts)
        fields << p.field;
    return locate(fields.mid(0, values.size()), values);
}

void Cursor::disableControls() {
    if (m_disabled++ == 0 && m_table) {
        try {
            m_table->beginTransaction();
            m_batching = true;
        } catch (const EngineError&) {
            m_batching = false; // another process writes; go on without batching
        }
    }
}

void Cursor::enableControls() {
    if (m_disabled == 0)
        return;
    if (--m_disabled > 0)
        return;
    m_scan.reset();
    if (m_batching && m_table)
        m_table->commit();
    m_batching = false;
    m_block.clear();
    if (m_pendingReset) {
        m_pendingReset = false;
        emit aboutToReset();
        emit reset();
        emit currentChanged();
    }
}

} // namespace ks
