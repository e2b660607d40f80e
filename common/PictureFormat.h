#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class QLocale;

namespace ks {

// Number and date-time pictures as the program's users write them ("#,###,##0.00", "00.00$",
// "M/d/yy h:mm AMPM", "yyyymmdd").
//
// Numbers: "0" a forced digit, "#" an optional digit, "," anywhere before the decimal point turns on
// grouping by thousands, the first "." is the decimal point, text in "..." or '...' and every other
// character are copied; up to three sections "positive;negative;zero" (a negative section is
// written without a minus sign of its own). Separators come from the settings.
//
// Dates and times (letters in any case): d dd ddd dddd (ddddd short date, dddddd long date),
// M MM MMM MMMM, yy yyyy, h hh (12-hour when the picture has an am/pm part), n nn or m mm right
// after an hour for minutes, s ss, z zzz, AM/PM am/pm A/P (written in the picture's own case),
// AMPM (the locale's texts); "/" and ":" are the locale's date and time separators; quoted text.
class PictureFormat {
public:
    // Separators, names and the short and long date and time formats (already in picture form).
    // Default-constructed it is a fixed English (US) set, which tests use for deterministic output;
    // the program's formatters take fromLocale(QLocale::system()) unless told otherwise.
    struct Settings {
        QString decimalSeparator = QStringLiteral(".");
        QString thousandSeparator = QStringLiteral(",");
        QString dateSeparator = QStringLiteral("/");
        QString timeSeparator = QStringLiteral(":");
        QString currencySymbol = QStringLiteral("$");
        QString amText = QStringLiteral("AM");
        QString pmText = QStringLiteral("PM");
        QString shortDateFormat = QStringLiteral("M/d/yy");
        QString longDateFormat = QStringLiteral("dddd, MMMM d, yyyy");
        QString shortTimeFormat = QStringLiteral("h:nn AMPM");
        QString longTimeFormat = QStringLiteral("h:nn:ss AMPM");
        QStringList shortMonthNames; // 12, January first; empty: English
        QStringList longMonthNames;
        QStringList shortDayNames; // 7, Monday first; empty: English
        QStringList longDayNames;

        static Settings fromLocale(const QLocale& locale);
    };

    PictureFormat(); // the current settings (system locale unless replaced)
    explicit PictureFormat(const Settings& settings);

    const Settings& settings() const { return m_settings; }

    QString formatFloat(const QString& picture, double value) const;
    QString formatInteger(const QString& picture, qint64 value) const;
    QString formatDateTime(const QString& picture, const QDateTime& value) const;

    // The currency picture built from the settings: two forced digits, two decimals, the symbol.
    QString defaultCurrencyFormat() const;

    // Settings that default-constructed formatters use: the system locale's until replaced.
    static const Settings& currentSettings();
    static void setCurrentSettings(const Settings& settings);
    static void resetCurrentSettings();

    // Translates a Qt date/time format ("dd.MM.yyyy", "h:mm AP") into a picture.
    static QString fromQtFormat(const QString& qtFormat, const QString& dateSeparator,
                                const QString& timeSeparator);

private:
    struct Decimal;
    QString formatDecimal(const QString& picture, Decimal value) const;
    QString formatSection(const QString& section, Decimal value, bool minus) const;
    QString monthName(int month, bool longName) const;
    QString dayName(int dayOfWeek, bool longName) const;

    Settings m_settings;
};

} // namespace ks
