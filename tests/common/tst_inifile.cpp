#include "common/IniFile.h"
#include "common/TextCodec.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ks;

class TestCommon : public QObject {
    Q_OBJECT
private slots:
    void iniRoundTripKeepsOrderAndForeignKeys() {
        QTemporaryDir dir;
        const QString path = dir.filePath("KESTRUM.INI");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Options]\nShowCaptions=garbage\nForeign=kept\n[grid setup]\nSortColumn=City\n");
        f.close();
        IniFile ini(path);
        QCOMPARE(ini.readBool("options", "showcaptions", true), true); // garbage gives the default
        QCOMPARE(ini.readString("Grid Setup", "SORTCOLUMN"), QStringLiteral("City"));
        QCOMPARE(ini.readInteger("Grid Setup", "Missing", 7), 7);
        ini.writeBool("Options", "ShowCaptions", false);
        ini.writeString("Envelope Settings", "Envelope Height", "4.125");
        QVERIFY(ini.save());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.contains("ShowCaptions = 0\r\n") || bytes.contains("ShowCaptions=0\r\n"));
        QVERIFY(bytes.contains("Foreign"));
        QVERIFY(bytes.indexOf("[Options]") < bytes.indexOf("SortColumn"));
        QVERIFY(!bytes.contains("\r\r"));
        QCOMPARE(IniFile(path).readBool("Options", "ShowCaptions", true), false);
        QCOMPARE(IniFile(path).readBool("Options", "Nonzero", true), true);
    }

    void saveFailureLeavesOldFile() {
        QTemporaryDir dir;
        const QString sub = dir.filePath("gone/KESTRUM.INI");
        IniFile ini(sub);
        ini.writeString("A", "b", "c");
        QVERIFY(!ini.save());
    }

    void decodesUtf8AndWindows1252() {
        QCOMPARE(decodeText("\xEF\xBB\xBFM\xC3\xBCller"), QStringLiteral("Müller"));
        QCOMPARE(decodeText("M\xFCller \x80"), QStringLiteral("Müller €"));
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_inifile.moc"
