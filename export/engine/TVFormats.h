#pragma once

#include <QString>

namespace ks {

// How values of each type are written when no per-field format applies. The pictures use the
// language of common/PictureFormat. An empty format falls back to a sensible default, except the
// two Boolean texts, which may be empty on purpose.
class TVFormats {
public:
    TVFormats(); // the defaults below, from the current locale settings

    QString integerFormat() const { return m_integer; }
    QString dateTimeFormat() const { return m_dateTime; }
    QString currencyFormat() const { return m_currency; }
    QString floatFormat() const { return m_float; }
    QString booleanTrue() const { return m_true; }
    QString booleanFalse() const { return m_false; }
    QString dateFormat() const { return m_date; }
    QString timeFormat() const { return m_time; }

    void setIntegerFormat(const QString& format);
    void setDateTimeFormat(const QString& format);
    void setCurrencyFormat(const QString& format);
    void setFloatFormat(const QString& format);
    void setBooleanTrue(const QString& text) { m_true = text; }
    void setBooleanFalse(const QString& text) { m_false = text; }
    void setDateFormat(const QString& format);
    void setTimeFormat(const QString& format);

    void reset();                        // every default again
    void assign(const TVFormats& other); // through the setters, so empty formats get their fallbacks

    bool operator==(const TVFormats& o) const = default;

private:
    QString m_integer;
    QString m_dateTime;
    QString m_currency;
    QString m_float;
    QString m_true;
    QString m_false;
    QString m_date;
    QString m_time;
};

} // namespace ks
