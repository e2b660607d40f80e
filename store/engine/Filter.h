#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace ks {

// A structured record filter: field = value. Values are bound, never spliced into SQL, so any text
// (O'Brien included) works. The text form is only for display and for saving a job filter.
class Filter {
public:
    Filter() = default;
    static Filter equals(const QString& field, const QVariant& value);

    bool isEmpty() const { return m_field.isEmpty(); }
    QString field() const { return m_field; }
    QVariant value() const { return m_value; }

    // "Category = 'O''Brien'", "RealPrint = True"; empty for no filter.
    QString toText() const;
    // Parses the text form back; std::nullopt for text it does not understand. Empty text gives an
    // empty filter.
    static std::optional<Filter> fromText(const QString& text);

    bool operator==(const Filter& o) const { return m_field == o.m_field && m_value == o.m_value; }

private:
    QString m_field;
    QVariant m_value;
};

} // namespace ks
