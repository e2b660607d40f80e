#pragma once

#include "store/engine/FieldDef.h"

#include <QDateTime>
#include <QStringList>
#include <QVariant>

namespace ks {

// What the export engine reads: an open table seen as fields and a record at a time.
// Values come back typed: QString (String, Memo), bool (Logical), qint64 (Integer, AutoInc),
// double (Float, Currency), QDate, QTime, QDateTime; a null value is an invalid QVariant.
class Dataset {
public:
    virtual ~Dataset() = default;

    virtual bool isActive() const = 0;
    virtual int fieldCount() const = 0;
    virtual const FieldDef& fieldDef(int index) const = 0;
    int fieldIndex(const QString& name) const; // case-insensitive; -1 when absent

    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual int recNo() const = 0;       // 1-based position of the current record; 0 when empty
    virtual int recordCount() const = 0; // records under the current filter

    virtual QVariant value(int field) const = 0;

    bool isNull(int field) const;
    QString asString(int field) const; // Logical as "True"/"False", dates in the locale's short format
    qint64 asInteger(int field) const;
    double asFloat(int field) const;
    bool asBoolean(int field) const;
    QDateTime asDateTime(int field) const;

    // Long jobs switch change notifications off and back on; calls nest.
    virtual void disableControls() {}
    virtual void enableControls() {}
};

// What the import engine writes through: a dataset with an edit buffer.
class EditableDataset : public Dataset {
public:
    enum class State { Browse, Edit, Insert };

    virtual State state() const = 0;
    virtual void append() = 0;       // new empty record in the edit buffer
    virtual void edit() = 0;         // current record into the edit buffer
    virtual void post() = 0;         // store the edit buffer; throws EngineError (7057 on duplicate key)
    virtual void cancel() = 0;       // drop the edit buffer
    virtual void deleteRecord() = 0; // remove the current record

    // Sets a field of the edit buffer. Text is converted to the field's type; text longer than a
    // string field is cut to its width; an invalid QVariant empties the field.
    virtual void setValue(int field, const QVariant& value) = 0;
    // Goes to the first record whose fields equal the values exactly (case-sensitive); false when none.
    virtual bool locate(const QStringList& fields, const QVariantList& values) = 0;
};

} // namespace ks
