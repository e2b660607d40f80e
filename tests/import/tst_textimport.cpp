#include "import/engine/ImportError.h"
#include "import/engine/TTextImport.h"
#include "import/engine/TextFieldSplitter.h"
#include "import/engine/TextRowReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ks;

namespace {

QString fixture(const QString& name) {
    return qEnvironmentVariable("KESTRUM_FIXTURES") + QStringLiteral("/import/") + name;
}

TextLayout layout(const QString& separators, QChar qualifier, QChar delimiter) {
    TextLayout l;
    l.separators = separators;
    l.qualifier = qualifier;
    l.delimiter = delimiter;
    return l;
}

QStringList readAll(const QString& path, const TextLayout& l, qint64 chunk = 1 << 20) {
    TextRowReader reader(l);
    reader.setChunkSize(chunk);
    reader.open(path);
    QStringList rows;
    QString row;
    while (reader.next(row))
        rows << row;
    return rows;
}

} // namespace

class TestTextImport : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("can't write %s", qPrintable(path));
        return path;
    }

private slots:
    void rows_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("separators");
        QTest::addColumn<QStringList>("expected");
        const QString crlf = QStringLiteral("\r\n");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << crlf << QStringList{"a", "b"};
        QTest::newRow("LF only") << QByteArray("a\nb\n") << crlf << QStringList{"a", "b"};
        QTest::newRow("CR only") << QByteArray("a\rb") << crlf << QStringList{"a", "b"};
        QTest::newRow("empty lines give no rows")
            << QByteArray("a\r\n\r\n\n\r\nb") << crlf << QStringList{"a", "b"};
        QTest::newRow("a line of blanks is a row")
            << QByteArray("a\n  \nb") << crlf << QStringList{"a", "  ", "b"};
        QTest::newRow("leading line end: empty row 1") << QByteArray("\r\na") << crlf << QStringList{"", "a"};
        QTest::newRow("end-of-file char after last line")
            << QByteArray("a\r\nb\r\n\x1a") << crlf << QStringList{"a", "b"};
        QTest::newRow("end-of-file chars ending a row")
            << QByteArray("a\x1a\x1b") << crlf << QStringList{"a"};
        QTest::newRow("end-of-file char inside the text")
            << QByteArray("a\x1a\nb") << crlf << QStringList{"a\x1a", "b"};
        QTest::newRow("qualified field keeps its line break")
            << QByteArray("x,\"1\r\n2\",y\r\nz") << crlf << QStringList{"x,\"1\r\n2\",y", "z"};
        QTest::newRow("doubled qualifier stays inside") << QByteArray("\"say \"\"hi\r\n\"\"\"\nnext") << crlf
                                                        << QStringList{"\"say \"\"hi\r\n\"\"\"", "next"};
        QTest::newRow("qualifier inside an unqualified field")
            << QByteArray("5\" disk,x\r\nnext,\"y\"") << crlf << QStringList{"5\" disk,x", "next,\"y\""};
        QTest::newRow("unclosed qualifier takes the rest")
            << QByteArray("a\n\"b\nc\nd") << crlf << QStringList{"a", "\"b\nc\nd"};
        QTest::newRow("byte-order mark dropped")
            << QByteArray("\xef\xbb\xbf\"a\",b\n") << crlf << QStringList{"\"a\",b"};
        QTest::newRow("custom separator")
            << QByteArray("a|b||c\n") << QStringLiteral("|") << QStringList{"a", "b", "c\n"};
        QTest::newRow("no separator: one row") << QByteArray("a\nb") << QString() << QStringList{"a\nb"};
        QTest::newRow("empty file") << QByteArray() << crlf << QStringList{};
    }
    void rows() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, separators);
        QFETCH(QStringList, expected);
        const QString path = write(QStringLiteral("rows.txt"), bytes);
        // Tiny pieces put every boundary inside a row, a qualified field and a line end.
        for (qint64 chunk : {qint64(4), qint64(5), qint64(1 << 20)})
            QCOMPARE(readAll(path, layout(separators, QLatin1Char('"'), QLatin1Char(',')), chunk), expected);
    }

    void fields_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<QChar>("qualifier");
        QTest::addColumn<QStringList>("expected");
        const QChar semi(';'), comma(','), quot('"'), apos('\'');
        QTest::newRow("apostrophe qualifier")
            << "Jones;'Ann; Sue';" << semi << apos << QStringList{"Jones", "Ann; Sue"};
        QTest::newRow("empty first field") << ";x" << semi << quot << QStringList{"", "x"};
        QTest::newRow("two delimiters: empty field") << "a;;b" << semi << quot << QStringList{"a", "", "b"};
        QTest::newRow("delimiter at the end") << "a;b;" << semi << quot << QStringList{"a", "b"};
        QTest::newRow("blanks kept") << " a ; b " << semi << quot << QStringList{" a ", " b "};
        QTest::newRow("doubled qualifier")
            << "\"He said \"\"hi\"\"\",x" << comma << quot << QStringList{"He said \"hi\"", "x"};
        QTest::newRow("qualifier in unqualified field")
            << "5\" disk,\"x\"" << comma << quot << QStringList{"5\" disk", "x"};
        QTest::newRow("text after closing qualifier")
            << "\"abc\"def,g" << comma << quot << QStringList{"abcdef", "g"};
        QTest::newRow("unclosed qualifier") << "\"open,rest" << comma << quot << QStringList{"open,rest"};
        QTest::newRow("line break in qualified field")
            << "x,\"1\r\n2\"" << comma << quot << QStringList{"x", "1\r\n2"};
        QTest::newRow("no delimiter") << "\"a,b\"" << QChar() << quot << QStringList{"a,b"};
        QTest::newRow("no qualifier") << "\"a,b\"" << comma << QChar() << QStringList{"\"a", "b\""};
        QTest::newRow("empty row") << "" << comma << quot << QStringList{};
    }
    void fields() {
        QFETCH(QString, row);
        QFETCH(QChar, delimiter);
        QFETCH(QChar, qualifier);
        QFETCH(QStringList, expected);
        QCOMPARE(TTextImport::splitRow(row, delimiter, qualifier), expected);
    }

    void sourceNames_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("range") << "Text5-7"
                               << "abcdefgh" << true << "efg";
        QTest::newRow("range beyond a short row") << "Text5-7"
                                                  << "abc" << true << "";
        QTest::newRow("range cut at the row end") << "Text2-2147483647"
                                                  << "abc" << true << "bc";
        QTest::newRow("reversed range") << "Text7-5"
                                        << "abcdefgh" << true << "";
        QTest::newRow("constant in fixed width") << "Hello"
                                                 << "abcdefgh" << true << "Hello";
        QTest::newRow("field") << "Field2"
                               << "a;b;c" << false << "b";
        QTest::newRow("empty first field") << "Field1"
                                           << ";x" << false << "";
        QTest::newRow("field beyond a short row is empty") << "Field2"
                                                           << "a" << false << "";
        QTest::newRow("constant") << "Hello"
                                  << "a;b" << false << "Hello";
        QTest::newRow("field 0 is no reference") << "Field0"
                                                 << "a;b" << false << "Field0";
        QTest::newRow("range in delimited text") << "Text1-3"
                                                 << "a;b" << false << "Text1-3";
        QTest::newRow("blanks around the name") << " Field2 "
                                                << "a;b" << false << "b";
    }
    void sourceNames() {
        QFETCH(QString, source);
        QFETCH(QString, row);
        QFETCH(bool, fixed);
        QFETCH(QString, expected);
        QCOMPARE(TTextImport::valueOf(
                     source, row, layout(QStringLiteral("\r\n"), QLatin1Char('"'), QLatin1Char(';')), fixed),
                 expected);
    }

    void encodings() {
        const TextLayout semi = layout(QStringLiteral("\r\n"), QLatin1Char('"'), QLatin1Char(';'));
        // Not UTF-8: every byte is a Windows-1252 character.
        const QStringList cp1252 = readAll(fixture(QStringLiteral("Windows1252.csv")), semi);
        QCOMPARE(cp1252.size(), 1);
        QCOMPARE(TTextImport::splitRow(cp1252.at(0), QLatin1Char(';'), QLatin1Char('"')),
                 (QStringList{QStringLiteral("M\u00fcller"), QStringLiteral("\u20ac 5"),
                              QStringLiteral("Stra\u00dfe")}));
        // UTF-8 with a byte-order mark: the mark is not part of the first field.
        const QStringList bom = readAll(fixture(QStringLiteral("ByteOrderMark.csv")), semi, 3);
        QCOMPARE(bom, (QStringList{QStringLiteral("Last;First"), QStringLiteral("M\u00fcller;\u00c9mile")}));
        // A multi-byte character split across reads, and a lone high byte at the very end.
        const QString utf8 =
            write(QStringLiteral("utf8.txt"), QByteArray("\xe2\x82\xac\xe2\x82\xac;\xc3\xa9\n"));
        QCOMPARE(readAll(utf8, semi, 4), QStringList{QStringLiteral("\u20ac\u20ac;\u00e9")});
        const QString cut = write(QStringLiteral("cut.txt"), QByteArray("ab\xc3"));
        QCOMPARE(readAll(cut, semi, 4), QStringList{QStringLiteral("ab\u00c3")});
    }

    void rowRange() {
        const QString path = write(QStringLiteral("range.txt"), QByteArray("head\r\n\r\nr2\r\nr3\r\nr4\r\n"));
        const TextLayout l = layout(QStringLiteral("\r\n"), QLatin1Char('"'), QLatin1Char(';'));
        TTextImport::Rows r = TTextImport::readRows(path, l, 2, 3, false);
        QCOMPARE(r.rows, (QStringList{"r2", "r3"}));
        QCOMPARE(r.firstRow, QStringLiteral("head"));
        // A preview stops at row 20 whatever the last row asks for.
        QByteArray many;
        for (int i = 1; i <= 30; ++i)
            many += "row" + QByteArray::number(i) + "\n";
        r = TTextImport::readRows(write(QStringLiteral("many.txt"), many), l, 1, INT_MAX, true);
        QCOMPARE(r.rows.size(), 20);
        QCOMPARE(r.rows.last(), QStringLiteral("row20"));
        // A header-only file with the header skipped has no rows.
        r = TTextImport::readRows(write(QStringLiteral("header.txt"), "Last;First\r\n"), l, 2, INT_MAX,
                                  false);
        QVERIFY(r.rows.isEmpty());
        QCOMPARE(r.firstRow, QStringLiteral("Last;First"));
    }

    void realExports_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<int>("columns");
        QTest::newRow("mail client csv") << "csv/thunderbird/export.csv" << QChar(',') << 3 << 37;
        QTest::newRow("mail client tab") << "csv/thunderbird/export.txt" << QChar('\t') << 3 << 37;
        QTest::newRow("webmail csv") << "csv/roundcube/gmail.csv" << QChar(',') << 2 << 81;
    }
    void realExports() {
        QFETCH(QString, file);
        QFETCH(QChar, delimiter);
        QFETCH(int, rowCount);
        QFETCH(int, columns);
        const QString path = QStringLiteral("/work/shared/fixtures/legacy/") + file;
        if (!QFile::exists(path))
            QSKIP("shared legacy fixtures are not here");
        const QStringList rows = readAll(path, layout(QStringLiteral("\r\n"), QLatin1Char('"'), delimiter));
        QCOMPARE(rows.size(), rowCount);
        const QStringList header = TTextImport::splitRow(rows.at(0), delimiter, QLatin1Char('"'));
        QCOMPARE(header.size(), columns);
        const QStringList last = TTextImport::splitRow(rows.last(), delimiter, QLatin1Char('"'));
        auto value = [&](const QString& column) { return last.value(header.indexOf(column)); };
        if (columns == 37) {
            QCOMPARE(value(QStringLiteral("Job Title")), QStringLiteral("\"worker\""));
            QCOMPARE(value(QStringLiteral("Custom 1")), QStringLiteral("custom, 1"));
            QCOMPARE(value(QStringLiteral("Custom 2")), QStringLiteral("custom\t2"));
            QCOMPARE(value(QStringLiteral("Custom 3")), QStringLiteral("custom\r3"));
            QCOMPARE(value(QStringLiteral("Custom 4")), QStringLiteral("custom\n4"));
            QCOMPARE(value(QStringLiteral("Notes")), QStringLiteral("here's some unicode text\u2026"));
        } else {
            QCOMPARE(value(QStringLiteral("Notes")), QStringLiteral("note\"note"));
            QCOMPARE(value(QStringLiteral("Address 1 - Formatted")),
                     QStringLiteral("home_street\nhome_pobox\nhome_city, home_state home_zip\nhome_country"));
            QCOMPARE(value(QStringLiteral("Website 2 - Value")), QStringLiteral("home.page.com"));
        }
    }

    void badInput() {
        const TextLayout l = layout(QStringLiteral("\r\n"), QLatin1Char('"'), QLatin1Char(','));
        // A missing file is a clear error naming it.
        try {
            TTextImport::readRows(m_dir.filePath(QStringLiteral("nope.csv")), l, 1, INT_MAX, false);
            QFAIL("no error for a missing file");
        } catch (const ImportError& e) {
            QVERIFY(e.message().contains(QStringLiteral("nope.csv")));
        }
        QVERIFY_THROWS_EXCEPTION(ImportError, TTextImport::readRows(m_dir.path(), l, 1, INT_MAX, false));
        // Binary bytes read as Windows-1252 text without trouble.
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919) & 0xFF));
        const TTextImport::Rows r =
            TTextImport::readRows(write(QStringLiteral("bin.dat"), binary), l, 1, INT_MAX, false);
        QVERIFY(!r.rows.isEmpty());
        // 10,000 columns.
        QStringList cells;
        for (int i = 1; i <= 10000; ++i)
            cells << QStringLiteral("c%1").arg(i);
        const QString wide = cells.join(QLatin1Char(','));
        const QStringList wideRows = readAll(write(QStringLiteral("wide.csv"), wide.toLatin1()), l);
        QCOMPARE(TTextImport::valueOf(QStringLiteral("Field10000"), wideRows.value(0), l, false),
                 QStringLiteral("c10000"));
    }

    void longLine() {
        // One 50 MB line, far past any fixed row length, followed by a short one.
        const qsizetype size = 50 * 1024 * 1024;
        const QString path = m_dir.filePath(QStringLiteral("long.csv"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            const QByteArray block(1 << 20, 'x');
            for (qsizetype i = 0; i < size / block.size(); ++i)
                f.write(block);
            f.write(",end\r\nsecond,row\r\n");
        }
        const TextLayout l = layout(QStringLiteral("\r\n"), QLatin1Char('"'), QLatin1Char(','));
        TextRowReader reader(l);
        reader.open(path);
        QString row;
        QVERIFY(reader.next(row));
        QCOMPARE(row.size(), size + 4);
        QCOMPARE(TTextImport::valueOf(QStringLiteral("Field2"), row, l, false), QStringLiteral("end"));
        QVERIFY(reader.next(row));
        QCOMPARE(row, QStringLiteral("second,row"));
        QVERIFY(!reader.next(row));
    }
};

QTEST_GUILESS_MAIN(TestTextImport)
#include "tst_textimport.moc"
