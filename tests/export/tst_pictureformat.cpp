#include "common/PictureFormat.h"

#include <QLocale>
#include <QtTest>

using namespace ks;

namespace {

PictureFormat::Settings german() {
    PictureFormat::Settings s;
    s.decimalSeparator = QStringLiteral(",");
    s.thousandSeparator = QStringLiteral(".");
    s.dateSeparator = QStringLiteral(".");
    s.currencySymbol = QStringLiteral("€");
    s.shortDateFormat = QStringLiteral("dd/MM/yy");
    s.shortTimeFormat = QStringLiteral("hh:nn");
    return s;
}

const QDateTime kStamp(QDate(2024, 3, 5), QTime(14, 7, 9, 45)); // a Tuesday afternoon

} // namespace

class TestPictureFormat : public QObject {
    Q_OBJECT
private slots:
    void numbers_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        auto us = [](const char* tag, const char* pic, double v, const char* out) {
            QTest::newRow(tag) << false << QString::fromUtf8(pic) << v << QString::fromUtf8(out);
        };
        us("integer grouping", "#,###,##0", 1234567, "1,234,567");
        us("integer zero", "#,###,##0", 0, "0");
        us("integer negative", "#,###,##0", -1234, "-1,234");
        us("integer rounds half away", "0", 2.5, "3");
        us("integer rounds negative half away", "0", -2.5, "-3");
        us("no minus on rounded zero", "0.00", -0.001, "0.00");
        us("float", "#,###,##0.00", 1234.5, "1,234.50");
        us("float decimal rounding", "#,###,##0.00", 2.675, "2.68");
        us("float small", "#,###,##0.00", 0.005, "0.01");
        us("three decimals", "#,###,##0.000", 1.0005, "1.001");
        us("four decimals", "#,###,##0.0000", 12.3, "12.3000");
        us("odd fallback picture", "#,###,###0.00", 12345678.9, "12,345,678.90");
        us("currency", "00.00$", 5.5, "05.50$");
        us("currency wide", "00.00$", 1234.5, "1234.50$");
        us("currency negative", "00.00$", -3, "-03.00$");
        us("optional decimals dropped", "0.##", 1, "1");
        us("optional decimals kept", "0.##", 1.5, "1.5");
        us("sections negative", "#,##0.00;(#,##0.00);\"zero\"", -5, "(5.00)");
        us("sections zero", "#,##0.00;(#,##0.00);\"zero\"", 0, "zero");
        us("sections positive", "#,##0.00;(#,##0.00);\"zero\"", 5, "5.00");
        us("empty negative section", "0.0;;\"nil\"", -1.25, "-1.3");
        us("quoted literal", "\"Total: \"0", 7, "Total: 7");
        us("single-quoted picture characters", "'#'0", 7, "#7");
        us("literal between digits", "000-00", 12345, "123-45");
        us("forced zeros with literal", "000-00", 5, "000-05");
        us("optional digit of zero", "#", 0, "");
        us("fraction only", "#.##", 0.5, ".5");
        us("no picture", "", 1234.5, "1234.5");
        us("large", "#,##0", 1e15, "1,000,000,000,000,000");
        QTest::newRow("german float") << true << "#,###,##0.00" << 1234.5 << "1.234,50";
        QTest::newRow("german currency") << true << "00.00€" << 5.5 << "05,50€";
    }
    void numbers() {
        QFETCH(bool, german);
        QFETCH(QString, picture);
        QFETCH(double, value);
        QFETCH(QString, expected);
        const PictureFormat pf(german ? ::german() : PictureFormat::Settings());
        QCOMPARE(pf.formatFloat(picture, value), expected);
    }

    void integersKeepEveryDigit() {
        const PictureFormat pf{PictureFormat::Settings()};
        QCOMPARE(pf.formatInteger(QStringLiteral("#,###,##0"), 9007199254740993LL),
                 QStringLiteral("9,007,199,254,740,993"));
        QCOMPARE(pf.formatInteger(QStringLiteral("0"), std::numeric_limits<qint64>::min()),
                 QStringLiteral("-9223372036854775808"));
    }

    void defaultCurrencyPicture() {
        QCOMPARE(PictureFormat(PictureFormat::Settings()).defaultCurrencyFormat(), QStringLiteral("00.00$"));
        QCOMPARE(PictureFormat(german()).defaultCurrencyFormat(), QStringLiteral("00.00€"));
        PictureFormat::Settings swiss;
        swiss.currencySymbol = QStringLiteral("Fr.");
        // The symbol's "." must stay a literal, not become a second decimal point.
        const PictureFormat pf(swiss);
        QCOMPARE(pf.formatFloat(pf.defaultCurrencyFormat(), 2.5), QStringLiteral("02.50Fr."));
    }

    void dates_data() {
        QTest::addColumn<bool>("german");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QDateTime>("value");
        QTest::addColumn<QString>("expected");
        auto us = [](const char* tag, const char* pic, const char* out, const QDateTime& v = kStamp) {
            QTest::newRow(tag) << false << QString::fromUtf8(pic) << v << QString::fromUtf8(out);
        };
        us("short date", "M/d/yy", "3/5/24");
        us("padded date", "MM/dd/yyyy", "03/05/2024");
        us("time with AMPM", "h:mm AMPM", "2:07 PM");
        us("date and time", "M/d/yy h:mm AMPM", "3/5/24 2:07 PM");
        us("mm after a year is the month", "yyyymmdd", "20240305");
        us("24-hour without am/pm", "hh:nn:ss", "14:07:09");
        us("milliseconds", "hh:mm:ss.zzz", "14:07:09.045");
        us("short milliseconds", "s.z", "9.45");
        us("am/pm in lower case", "h:mm am/pm", "2:07 pm");
        us("A/P", "h:mm A/P", "2:07 P");
        us("a/p", "h:mm a/p", "2:07 p");
        us("names", "ddd, dd MMM yyyy", "Tue, 05 Mar 2024");
        us("long names", "dddd MMMM", "Tuesday March");
        us("quoted letters", "'Day' d \"at\" h", "Day 5 at 14");
        us("short date token", "ddddd", "3/5/24");
        us("midnight", "h:mm AMPM", "12:30 AM", QDateTime(QDate(2024, 1, 1), QTime(0, 30)));
        us("noon", "h:mm AMPM", "12:00 PM", QDateTime(QDate(2024, 1, 1), QTime(12, 0)));
        us("other letters stay", "Qx", "Qx");
        QTest::newRow("german separators") << true << "M/d/yy hh:mm" << kStamp << "3.5.24 14:07";
        QTest::newRow("german short date") << true << "ddddd" << kStamp << "05.03.24";
    }
    void dates() {
        QFETCH(bool, german);
        QFETCH(QString, picture);
        QFETCH(QDateTime, value);
        QFETCH(QString, expected);
        const PictureFormat pf(german ? ::german() : PictureFormat::Settings());
        QCOMPARE(pf.formatDateTime(picture, value), expected);
    }

    void qtFormatsTranslate_data() {
        QTest::addColumn<QString>("qt");
        QTest::addColumn<QString>("dateSep");
        QTest::addColumn<QString>("picture");
        QTest::newRow("german date") << "dd.MM.yy"
                                     << "."
                                     << "dd/MM/yy";
        QTest::newRow("us time") << "h:mm AP"
                                 << "/"
                                 << "h:nn AMPM";
        QTest::newRow("time zone dropped") << "HH:mm:ss t"
                                           << "/"
                                           << "hh:nn:ss";
        QTest::newRow("quoted text") << "'Week' d"
                                     << "/"
                                     << "\"Week\" d";
        QTest::newRow("escaped quote") << "h 'o''clock'"
                                       << "/"
                                       << "h \"o'clock\"";
    }
    void qtFormatsTranslate() {
        QFETCH(QString, qt);
        QFETCH(QString, dateSep);
        QFETCH(QString, picture);
        QCOMPARE(PictureFormat::fromQtFormat(qt, dateSep, QStringLiteral(":")), picture);
    }

    void localeSettings() {
        const auto s = PictureFormat::Settings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(s.decimalSeparator, QStringLiteral(","));
        QCOMPARE(s.thousandSeparator, QStringLiteral("."));
        QCOMPARE(s.dateSeparator, QStringLiteral("."));
        const PictureFormat pf(s);
        QCOMPARE(pf.formatDateTime(s.shortDateFormat, kStamp),
                 QLocale(QLocale::German, QLocale::Germany).toString(kStamp.date(), QLocale::ShortFormat));
        QCOMPARE(pf.formatFloat(QStringLiteral("#,##0.00"), 1234.5), QStringLiteral("1.234,50"));
        const auto us = PictureFormat::Settings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(PictureFormat(us).formatDateTime(us.shortDateFormat + QLatin1Char(' ') + us.shortTimeFormat,
                                                  kStamp),
                 QStringLiteral("3/5/24 2:07 PM"));
    }
};

QTEST_GUILESS_MAIN(TestPictureFormat)
#include "tst_pictureformat.moc"
