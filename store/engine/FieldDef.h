#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ks {

enum class FieldType { String, Memo, Logical, Integer, AutoInc, Float, Currency, Date, Time, DateTime };

// One field of a table: its name, type and (for fixed-width strings) width in characters.
struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0; // characters for String; 0 for the other types
    QString displayLabel;
    bool visible = true;

    QString displayName() const { return displayLabel.isEmpty() ? name : displayLabel; }
    bool isBlob() const { return type == FieldType::Memo; }
    bool isNumeric() const {
        return type == FieldType::Integer || type == FieldType::AutoInc || type == FieldType::Float ||
               type == FieldType::Currency;
    }
};

// A stored index: a name and the key fields, or (for a built sort index) key parts that take the
// upper-cased first N characters of a field.
struct SortKeyPart {
    QString field;
    int length = 0; // characters taken; 0 means the whole value
};

struct IndexDef {
    QString name;
    QStringList fields;             // plain key fields (binary, case-sensitive order)
    QList<SortKeyPart> upperParts;  // set instead of fields for an upper-cased expression index
    bool unique = false;
    bool descending = false;
};

QString fieldTypeName(FieldType t);

} // namespace ks
