#include "common/IniFile.h"
#include "import/engine/ImportError.h"
#include "import/engine/ImportSpecification.h"
#include "import/engine/TTextImport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ks;

namespace {

QString fixture(const QString& name) {
    return qEnvironmentVariable("KESTRUM_FIXTURES") + QStringLiteral("/import/") + name;
}

void configure(TImportBase& c) {
    c.setDatasetKeys(QStringLiteral("Last;First"));
    c.setMode(imAppendUpdate);
    c.setSourceFileName(QStringLiteral("/data/people.csv"));
    c.setMappings(
        {QStringLiteral("Last = Field1"), QStringLiteral("First = Field2"), QStringLiteral("City =")});
    c.setFieldDelimiter(fdSemicolon);
    c.setTextQualifier(tqApos);
    c.setRecordSeparator(rsCRLF);
    c.setFixed(true);
    c.setRowFirst(2);
    c.setRowLast(500);
    c.dataFormats().DateOrder = doYMD;
    c.dataFormats().DateSeparator = QLatin1Char('.');
    c.dataFormats().TimeSeparator = QLatin1Char('h');
    c.dataFormats().DecimalSeparator = QLatin1Char(',');
    c.dataFormats().FourDigitYear = false;
    c.dataFormats().LeadingZerosInDate = true;
}

// Everything a specification carries, as one comparable text.
QString settings(const TImportBase& c) {
    const TDataFormats& f = c.dataFormats();
    return QStringList{c.datasetKeys(),
                       QString::number(c.mode()),
                       c.sourceFileName(),
                       c.mappings().join(QLatin1Char('|')),
                       QString::number(c.fieldDelimiter()),
                       QString(c.fieldDelimiterCustom()),
                       QString::number(c.textQualifier()),
                       QString(c.textQualifierCustom()),
                       QString::number(c.recordSeparator()),
                       c.recordSeparatorCustom(),
                       QString::number(c.fixed()),
                       QString::number(c.rowFirst()),
                       QString::number(c.rowLast()),
                       QString::number(f.DateOrder),
                       QString(f.DateSeparator),
                       QString(f.TimeSeparator),
                       QString(f.DecimalSeparator),
                       QString::number(f.FourDigitYear),
                       QString::number(f.LeadingZerosInDate)}
        .join(QLatin1Char('/'));
}

} // namespace

class TestImportSpecification : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void cleanup() { TImportBase::setSaveSpecificationAsker(nullptr); }

    void roundTrip() {
        TTextImport saved;
        configure(saved);
        const QString file = m_dir.filePath(QStringLiteral("people.plx"));
        QVERIFY(saved.saveSpecification(QStringLiteral("People"), file, false));

        const IniFile ini(file);
        QCOMPARE(ini.readString(QStringLiteral("Common"), QStringLiteral("Specification")),
                 QStringLiteral("People"));
        QCOMPARE(ini.readString(QStringLiteral("Common"), QStringLiteral("Description")),
                 QStringLiteral("Pellax: specification"));
        QCOMPARE(ini.readString(QStringLiteral("Text"), QStringLiteral("FieldDelimiter")),
                 QStringLiteral("3B"));
        QCOMPARE(ini.readString(QStringLiteral("Text"), QStringLiteral("TextQualifier")),
                 QStringLiteral("27"));
        QCOMPARE(ini.readString(QStringLiteral("Text"), QStringLiteral("RecordSeparator")),
                 QStringLiteral("0D0A"));
        QCOMPARE(ini.readString(QStringLiteral("Mappings"), QStringLiteral("Map2")),
                 QStringLiteral("City ="));
        QCOMPARE(ini.readString(QStringLiteral("Text"), QStringLiteral("Fixed")), QStringLiteral("1"));

        TTextImport loaded;
        loaded.dataFormats().BooleanTrue = QStringLiteral("Ja");
        QVERIFY(loaded.loadSpecification(file));
        QCOMPARE(settings(loaded), settings(saved));
        QCOMPARE(loaded.fieldDelimiter(), fdSemicolon);
        QCOMPARE(loaded.recordSeparator(), rsCRLF);
        QCOMPARE(loaded.dataFormats().BooleanTrue, QStringLiteral("Ja")); // not part of a specification
    }

    void charactersRoundTrip_data() {
        QTest::addColumn<QString>("qualifier");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("hexQualifier");
        QTest::newRow("no qualifier") << QString(QChar(0)) << "\n"
                                      << "00";
        QTest::newRow("custom non-ASCII") << QStringLiteral("\u00a7") << "\r"
                                          << "C2A7";
        QTest::newRow("custom separator text") << "~"
                                               << "||"
                                               << "7E";
    }
    void charactersRoundTrip() {
        QFETCH(QString, qualifier);
        QFETCH(QString, separator);
        QFETCH(QString, hexQualifier);
        TTextImport saved;
        saved.setTextQualifierCustom(qualifier.at(0));
        saved.setRecordSeparatorCustom(separator);
        const QString file = m_dir.filePath(QStringLiteral("chars.plx"));
        QVERIFY(saved.saveSpecification(QStringLiteral("Chars"), file, false));
        QCOMPARE(IniFile(file).readString(QStringLiteral("Text"), QStringLiteral("TextQualifier")),
                 hexQualifier);
        TTextImport loaded;
        loaded.loadSpecification(file);
        QCOMPARE(loaded.textQualifierCustom(), qualifier.at(0));
        QCOMPARE(loaded.textQualifier(), saved.textQualifier());
        QCOMPARE(loaded.recordSeparatorCustom(), separator);
        QCOMPARE(loaded.recordSeparator(), saved.recordSeparator());
    }

    void loadKeepsWhatTheFileLacks() {
        // An old 8-bit file, a missing file, and a damaged mapping count.
        const QString old = m_dir.filePath(QStringLiteral("old.plx"));
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Mappings]\r\nCount=2000000000\r\nMap0=Last = "
                "Field1\r\n[Text]\r\nFieldDelimiter=A7\r\nRowFirst=abc\r\n");
        f.close();
        TTextImport c;
        configure(c);
        const QString before = settings(c);
        c.loadSpecification(old);
        QCOMPARE(c.mappings(), (QStringList{"Last = Field1", ""}));
        QCOMPARE(c.fieldDelimiterCustom(), QChar(0xA7));
        QCOMPARE(c.fieldDelimiter(), fdCustom);
        QCOMPARE(c.rowFirst(), 2);
        QCOMPARE(c.sourceFileName(), QStringLiteral("/data/people.csv"));

        configure(c);
        c.loadSpecification(m_dir.filePath(QStringLiteral("missing.plx")));
        QVERIFY(c.mappings().isEmpty());
        c.setMappings(
            {QStringLiteral("Last = Field1"), QStringLiteral("First = Field2"), QStringLiteral("City =")});
        QCOMPARE(settings(c), before);
    }

    void invalidFileChangesNothing() {
        TTextImport c;
        configure(c);
        const QString before = settings(c);
        try {
            c.loadSpecification(fixture(QStringLiteral("InvalidHex.plx")));
            QFAIL("an invalid hexadecimal value loaded");
        } catch (const ImportError& e) {
            QVERIFY(e.message().contains(QStringLiteral("FieldDelimiter")));
            QVERIFY(e.message().contains(QStringLiteral("3G")));
        }
        QCOMPARE(settings(c), before);
    }

    void saveKeepsOtherKeys() {
        const QString file = m_dir.filePath(QStringLiteral("keep.plx"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Common]\r\nNote=mine\r\n[Extra]\r\nKey=value\r\n");
        f.close();
        TTextImport c;
        QVERIFY(c.saveSpecification(QStringLiteral("Kept"), file, false));
        const IniFile ini(file);
        QCOMPARE(ini.readString(QStringLiteral("Common"), QStringLiteral("Note")), QStringLiteral("mine"));
        QCOMPARE(ini.readString(QStringLiteral("Extra"), QStringLiteral("Key")), QStringLiteral("value"));
    }

    void saveWithAsking() {
        TTextImport c;
        const QString file = m_dir.filePath(QStringLiteral("asked.plx"));
        QStringList asked;
        TImportBase::setSaveSpecificationAsker([&](QString& name, QString& fileName) {
            asked << name;
            fileName = file;
            return name != QLatin1String("Cancel me");
        });
        QVERIFY(!c.saveSpecification(QStringLiteral("Cancel me"), QString(), true));
        QVERIFY(!QFile::exists(file));
        QVERIFY(c.saveSpecification(QString(), QString(), true));
        QCOMPARE(asked, (QStringList{"Cancel me", "Import specification"}));
        QCOMPARE(IniFile(file).readString(QStringLiteral("Common"), QStringLiteral("Specification")),
                 QStringLiteral("Import specification"));
    }

    void listing() {
        QTemporaryDir dir;
        TTextImport c;
        c.saveSpecification(QStringLiteral("Zeta"), dir.filePath(QStringLiteral("a.plx")), false);
        c.saveSpecification(QStringLiteral("Alpha"), dir.filePath(QStringLiteral("B.PLX")), false);
        QFile nameless(dir.filePath(QStringLiteral("c.plx")));
        QVERIFY(nameless.open(QIODevice::WriteOnly));
        nameless.close();
        QFile other(dir.filePath(QStringLiteral("d.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        QStringList names;
        for (const ImportSpecification::Entry& e : ImportSpecification::list(dir.path()))
            names << e.name + QLatin1Char('=') + QFileInfo(e.fileName).fileName();
        QCOMPARE(names, (QStringList{"Zeta=a.plx", "Alpha=B.PLX", "c.plx=c.plx"}));
    }
};

QTEST_GUILESS_MAIN(TestImportSpecification)
#include "tst_importspecification.moc"
