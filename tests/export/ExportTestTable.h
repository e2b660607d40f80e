#pragma once

#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QTemporaryDir>
#include <memory>

namespace ks {

// A table with one field of every type and four awkward records (quotes, separators, line breaks,
// tabs, non-ASCII, nulls), in a temporary directory.
class ExportTestTable {
public:
    ExportTestTable();
    Cursor& cursor() { return *m_cursor; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Appends `count` plain records (for long runs).
    void addRows(int count);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<Cursor> m_cursor;
};

// Shows a dataset with display labels and hidden fields, as the program's table components do.
class LabelledDataset : public Dataset {
public:
    explicit LabelledDataset(Dataset& inner) : m_inner(inner) {
        for (int i = 0; i < inner.fieldCount(); ++i)
            m_defs << inner.fieldDef(i);
    }
    void setLabel(const QString& field, const QString& label) {
        m_defs[fieldIndex(field)].displayLabel = label;
    }
    void setVisible(const QString& field, bool on) { m_defs[fieldIndex(field)].visible = on; }

    bool isActive() const override { return m_inner.isActive(); }
    int fieldCount() const override { return int(m_defs.size()); }
    const FieldDef& fieldDef(int index) const override { return m_defs.at(index); }
    void first() override { m_inner.first(); }
    void next() override { m_inner.next(); }
    bool eof() const override { return m_inner.eof(); }
    int recNo() const override { return m_inner.recNo(); }
    int recordCount() const override { return m_inner.recordCount(); }
    QVariant value(int field) const override { return m_inner.value(field); }

private:
    Dataset& m_inner;
    QList<FieldDef> m_defs;
};

} // namespace ks
