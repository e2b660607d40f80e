#include "ExportTestTable.h"

#include "common/IniFile.h"
#include "common/PictureFormat.h"
#include "common/ScriptedPrompt.h"
#include "common/Shell.h"
#include "export/dialog/TVExportDialog.h"
#include "export/dialog/TfrmExport.h"
#include "export/engine/TVExport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using namespace ks;

namespace {

template <typename T> T* child(QWidget& parent, const char* name) {
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no widget %s", name);
    return w;
}

QStringList texts(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void selectRows(QListWidget* list, const QList<int>& rows) {
    list->clearSelection();
    for (int r : rows)
        list->item(r)->setSelected(true);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void chooseKind(TfrmExport& frm, const QString& caption) {
    for (QRadioButton* rb : frm.findChildren<QRadioButton*>())
        if (rb->text() == caption) {
            rb->click();
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no kind %1").arg(caption)));
}

} // namespace

class TestExportDialog : public QObject {
    Q_OBJECT
    std::unique_ptr<ExportTestTable> m_table;
    std::unique_ptr<TVExportDialog> m_dialog;
    ScriptedPrompt* m_prompt = nullptr;
    RecordingShell* m_shell = nullptr;

    // Shows the dialog; `act` runs once the window is open, after which the window is closed.
    void show(const std::function<void(TfrmExport&)>& act) {
        QTimer::singleShot(0, this, [&] {
            TfrmExport* frm = m_dialog->window();
            QVERIFY(frm);
            QVERIFY(frm->isVisible());
            act(*frm);
            if (frm->isVisible() && !frm->isExporting())
                child<QPushButton>(*frm, "btnClose")->click();
        });
        m_dialog->execute();
        QCOMPARE(m_dialog->window(), nullptr);
    }

private slots:
    void initTestCase() { PictureFormat::setCurrentSettings(PictureFormat::Settings()); }
    void init() {
        m_table = std::make_unique<ExportTestTable>();
        m_dialog = std::make_unique<TVExportDialog>();
        m_dialog->setDataset(&m_table->cursor());
        m_prompt = ScriptedPrompt::installNew();
        auto shell = std::make_unique<RecordingShell>();
        m_shell = shell.get();
        Shell::install(std::move(shell));
    }
    void cleanup() {
        m_dialog.reset();
        m_table.reset();
        Prompt::install(nullptr);
        Shell::install(nullptr);
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void exportsChosenFieldsAndReportsTheCount() {
        m_dialog->setFileName(m_table->path(QStringLiteral("people.export.doc")));
        QString written;
        show([&](TfrmExport& frm) {
            chooseKind(frm, QStringLiteral("CSV file"));
            auto* fileName = child<QLineEdit>(frm, "edtFileName");
            // The extension follows the kind; the rest of the name stays.
            QCOMPARE(fileName->text(), m_table->path(QStringLiteral("people.export.csv")));
            written = fileName->text();
            auto* available = child<QListWidget>(frm, "lstAvailable");
            selectRows(available, {4, 0}); // Id and Name
            child<QPushButton>(frm, "btnAdd")->click();
            QCOMPARE(texts(child<QListWidget>(frm, "lstExported")),
                     (QStringList{"Id", "Name"})); // last to first
            child<QCheckBox>(frm, "chkOpenFile")->setChecked(false);
            child<QLineEdit>(frm, "edtInteger")->setText(QStringLiteral("000"));
            child<QTableWidget>(frm, "sgCaptions")->item(0, 1)->setText(QStringLiteral("Who"));
            child<QPushButton>(frm, "btnStart")->click();
            QVERIFY(frm.isVisible()); // stays open for another export
            QCOMPARE(frm.windowTitle(), QStringLiteral("Export data"));
        });
        QCOMPARE(m_prompt->messages, QStringList{"4 record(s) are exported!"});
        // Columns follow the table, not the list.
        QCOMPARE(fileBytes(written), QByteArray("Who;Id\r\n\"Baker\";001\r\n\"O\"\"Neil; Jr.\";002\r\n"
                                                "\"M\xC3\xBCller \xE2\x82\xAC\";003\r\n\"\";004\r\n"));
        QVERIFY(m_shell->opened.isEmpty());
    }

    void emptyFieldListExportsVisibleNonMemoFieldsAndOpensTheFile() {
        m_dialog->setFileName(m_table->path(QStringLiteral("all")));
        m_dialog->setAllowedExports({aeSylk, aeExcel});
        show([&](TfrmExport& frm) {
            QCOMPARE(child<QLineEdit>(frm, "edtFileName")->text(), m_table->path(QStringLiteral("all.slk")));
            child<QPushButton>(frm, "btnStart")->click();
        });
        QVERIFY(m_prompt->messages.isEmpty()); // the file is opened instead of the count message
        QCOMPARE(m_shell->opened, QStringList{m_table->path(QStringLiteral("all.slk"))});
        const QByteArray out = fileBytes(m_table->path(QStringLiteral("all.slk")));
        QVERIFY(out.contains("C;X1;Y1;K\"Name\"\r\nC;X2;Y1;K\"Active\""));
        QVERIFY(!out.contains("Notes"));
    }

    void kindListAndDestination() {
        m_dialog->setFileName(QStringLiteral("KestrumExport"));
        m_dialog->setAllowedExports({aeWord, aeText, aeCSV, aeDIFF, aeSylk, aeClipboard});
        show([&](TfrmExport& frm) {
            QStringList captions;
            for (QRadioButton* rb : frm.findChildren<QRadioButton*>())
                captions << rb->text();
            QCOMPARE(captions, (QStringList{"Text file", "CSV file", "DIFF file", "SYLK file"}));
            QVERIFY(child<QRadioButton>(frm, "rbExportType4")->isChecked());
            auto* fileName = child<QLineEdit>(frm, "edtFileName");
            auto* start = child<QPushButton>(frm, "btnStart");
            QCOMPARE(fileName->text(), QStringLiteral("KestrumExport.txt"));
            chooseKind(frm, QStringLiteral("DIFF file"));
            QCOMPARE(fileName->text(), QStringLiteral("KestrumExport.dif"));
            fileName->setText(QStringLiteral("  "));
            QVERIFY(!start->isEnabled());
            fileName->clear();
            QVERIFY(!child<QCheckBox>(frm, "chkOpenFile")->isEnabled());
            m_prompt->files.enqueue(m_table->path(QStringLiteral("chosen.dif")));
            child<QPushButton>(frm, "btnSelect")->click();
            QCOMPARE(fileName->text(), m_table->path(QStringLiteral("chosen.dif")));
            QVERIFY(start->isEnabled());
            // The text kinds show every common page.
            auto* pages = child<QTabWidget>(frm, "pcExport");
            for (int i = 0; i < pages->count(); ++i)
                QVERIFY(pages->isTabVisible(i));
        });
    }

    void fieldListMoves() {
        show([&](TfrmExport& frm) {
            auto* available = child<QListWidget>(frm, "lstAvailable");
            auto* exported = child<QListWidget>(frm, "lstExported");
            auto* remove = child<QPushButton>(frm, "btnRemove");
            QVERIFY(!remove->isEnabled());
            selectRows(available, {1, 3});
            child<QPushButton>(frm, "btnAdd")->click();
            QCOMPARE(texts(exported), (QStringList{"Qty", "Notes"}));
            // The entry now at the first moved one's place is selected.
            QCOMPARE(available->selectedItems().size(), 1);
            QCOMPARE(available->selectedItems().at(0)->text(), QStringLiteral("Active"));
            QVERIFY(remove->isEnabled());
            selectRows(available, {7});
            child<QPushButton>(frm, "btnAdd")->click();
            QCOMPARE(available->selectedItems().at(0)->text(), QStringLiteral("Alarm")); // past the end: last
            child<QPushButton>(frm, "btnRemoveAll")->click();
            QCOMPARE(texts(available).mid(7), (QStringList{"Qty", "Notes", "Stamp"}));
            QVERIFY(!remove->isEnabled());
            QVERIFY(!child<QPushButton>(frm, "btnRemoveAll")->isEnabled());
            child<QPushButton>(frm, "btnAddAll")->click();
            QCOMPARE(exported->count(), 10);
            QVERIFY(!child<QPushButton>(frm, "btnAdd")->isEnabled());
            selectRows(exported, {0});
            emit exported->itemDoubleClicked(exported->item(0));
            QCOMPARE(texts(available), QStringList{"Name"});
        });
    }

    void userFormats() {
        m_dialog->setFileName(m_table->path(QStringLiteral("user.csv")));
        m_dialog->setShowFile(false);
        show([&](TfrmExport& frm) {
            chooseKind(frm, QStringLiteral("CSV file"));
            auto* names = child<QComboBox>(frm, "cmbFieldName");
            auto* suggestions = child<QComboBox>(frm, "cmbUserFormat");
            auto* list = child<QListWidget>(frm, "lstUserFormats");
            auto* edit = child<QPushButton>(frm, "btnUserEdit");
            QStringList fieldNames;
            for (int i = 0; i < names->count(); ++i)
                fieldNames << names->itemText(i);
            QCOMPARE(fieldNames, (QStringList{"Qty", "Id", "Price", "Cost", "Born", "Alarm", "Stamp"}));
            names->setCurrentText(QStringLiteral("Price"));
            QCOMPARE(suggestions->count(), 4);
            QCOMPARE(suggestions->currentText(), QStringLiteral("#,###,##0.00"));
            names->setCurrentText(QStringLiteral("Stamp"));
            QCOMPARE(suggestions->count(), 8);
            QCOMPARE(suggestions->itemText(2), QStringLiteral("M/d/yy h:nn AMPM"));
            suggestions->setEditText(QStringLiteral("yyyy"));
            child<QPushButton>(frm, "btnUserAdd")->click();
            names->setCurrentText(QStringLiteral("Price"));
            suggestions->setEditText(QStringLiteral("0.0"));
            child<QPushButton>(frm, "btnUserAdd")->click();
            QCOMPARE(texts(list), (QStringList{"Stamp=yyyy", "Price=0.0"}));
            QVERIFY(!edit->isEnabled());
            list->setCurrentRow(1);
            QVERIFY(edit->isEnabled());
            QStringList asked;
            frm.inputBox = [&](const QString& title, const QString& prompt, QString& value) {
                asked << title << prompt << value;
                value = QStringLiteral("0.000");
                return true;
            };
            edit->click();
            QCOMPARE(asked, (QStringList{"New format value", "Enter Value:", "0.0"}));
            QCOMPARE(texts(list), (QStringList{"Stamp=yyyy", "Price=0.000"}));
            list->setCurrentRow(0);
            child<QPushButton>(frm, "btnUserDelete")->click();
            QCOMPARE(texts(list), QStringList{"Price=0.000"});
            selectRows(child<QListWidget>(frm, "lstAvailable"), {5});
            child<QPushButton>(frm, "btnAdd")->click();
            child<QPushButton>(frm, "btnStart")->click();
            list->setCurrentRow(0);
            child<QPushButton>(frm, "btnUserClear")->click();
            QCOMPARE(list->count(), 0);
            QVERIFY(!edit->isEnabled());
        });
        QCOMPARE(fileBytes(m_table->path(QStringLiteral("user.csv"))),
                 QByteArray("Price\r\n1234.500\r\n-0.500\r\n\r\n\r\n"));
    }

    void headerAndFooterReachTheWriter() {
        m_dialog->setFileName(m_table->path(QStringLiteral("report.txt")));
        m_dialog->setShowFile(false);
        m_dialog->onGetExportHeader = [](TVExport&, QStringList& lines) {
            lines << QStringLiteral("From the owner");
        };
        show([&](TfrmExport& frm) {
            auto* header = child<QPlainTextEdit>(frm, "memHeader");
            QCOMPARE(header->toPlainText(), QStringLiteral("From the owner"));
            header->setPlainText(QStringLiteral("Top one\nTop two"));
            child<QPlainTextEdit>(frm, "memFooter")->setPlainText(QStringLiteral("Bottom"));
            selectRows(child<QListWidget>(frm, "lstAvailable"), {0});
            child<QPushButton>(frm, "btnAdd")->click();
            child<QPushButton>(frm, "btnStart")->click();
        });
        const QByteArray out = fileBytes(m_table->path(QStringLiteral("report.txt")));
        QVERIFY2(out.startsWith("Top one\r\nTop two\r\n         Name\r\n"), out.constData());
        QVERIFY(out.endsWith("\r\n\r\nBottom\r\n"));
    }

    void errorIsShownAndWindowStaysOpen() {
        m_dialog->setFileName(m_table->path(QStringLiteral("missing/folder/out.csv")));
        show([&](TfrmExport& frm) {
            child<QPushButton>(frm, "btnStart")->click();
            QCOMPARE(m_prompt->messages.size(), 1);
            QVERIFY2(m_prompt->messages.at(0).contains(QStringLiteral("No such file or directory")),
                     qPrintable(m_prompt->messages.at(0)));
            QVERIFY(frm.isVisible());
            QVERIFY(!frm.isExporting());
            QVERIFY(child<QPushButton>(frm, "btnStart")->isEnabled());
            QCOMPARE(child<QPushButton>(frm, "btnClose")->text(), QStringLiteral("Close"));
            QVERIFY(child<QTabWidget>(frm, "pcExport")->isEnabled());
        });
    }

    // The options file: written on close, read on the next showing; every field listed.
    void optionsSurviveBetweenShowings() {
        const QString cfg = m_table->path(QStringLiteral("auto.cfg"));
        m_dialog->setSaveFileName(cfg);
        m_dialog->setAutoLoadOptions(true);
        m_dialog->setAutoSaveOptions(true);
        m_dialog->setSaveOptions(soExportType | soFileName | soOpenAfterExport | soFormats | soFields);
        m_dialog->setFileName(QStringLiteral("KestrumExport"));
        m_dialog->defaultFormats().setIntegerFormat(QStringLiteral("0"));
        show([&](TfrmExport& frm) {
            QCOMPARE(child<QLineEdit>(frm, "edtInteger")->text(), QStringLiteral("0"));
            chooseKind(frm, QStringLiteral("SYLK file"));
            selectRows(child<QListWidget>(frm, "lstAvailable"), {2, 0});
            child<QPushButton>(frm, "btnAdd")->click();
            child<QCheckBox>(frm, "chkOpenFile")->setChecked(false);
            child<QLineEdit>(frm, "edtFloat")->setText(QStringLiteral("0.0"));
            child<QLineEdit>(frm, "edtDate")->clear();
        });
        const IniFile ini(cfg);
        QCOMPARE(ini.readInteger("General", "ExportType"), 9);
        QCOMPARE(ini.readString("General", "FileName"), QStringLiteral("KestrumExport.slk"));
        QCOMPARE(ini.readString("General", "OpenFileAfterExport"), QStringLiteral("0"));
        QCOMPARE(ini.readString("Formats", "Float"), QStringLiteral("0.0"));
        QCOMPARE(ini.keys("Fields").size(), 10);
        QCOMPARE(ini.readString("Fields", "Active"), QStringLiteral("1"));
        QCOMPARE(ini.readString("Fields", "Notes"), QStringLiteral("0"));

        show([&](TfrmExport& frm) {
            QVERIFY(child<QRadioButton>(frm, "rbExportType9")->isChecked());
            QCOMPARE(child<QLineEdit>(frm, "edtFileName")->text(), QStringLiteral("KestrumExport.slk"));
            QVERIFY(!child<QCheckBox>(frm, "chkOpenFile")->isChecked());
            QCOMPARE(texts(child<QListWidget>(frm, "lstExported")), (QStringList{"Name", "Active"}));
            QCOMPARE(child<QLineEdit>(frm, "edtFloat")->text(), QStringLiteral("0.0"));
            // Empty in the file: the default comes back (the component's, reset after the first showing).
            QCOMPARE(child<QLineEdit>(frm, "edtDate")->text(), QStringLiteral("M/d/yy"));
            QCOMPARE(child<QLineEdit>(frm, "edtInteger")->text(), QStringLiteral("0"));
        });
    }

    void damagedOrMissingOptionsLoadDefaults() {
        const QString cfg = m_table->path(QStringLiteral("damaged.cfg"));
        QFile f(cfg);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x01\x02garbage line\r\n[General\r\nExportType=banana\r\n[General]\r\nExportType=x7\r\n"
                "OpenFileAfterExport=maybe\r\n[Formats]\r\nInteger=00\r\nFloat=\r\n[Fields]\r\nQty=1\r\nName="
                "yes\r\n\xff\xfe");
        f.close();
        m_dialog->setSaveFileName(cfg);
        m_dialog->setAutoLoadOptions(true);
        m_dialog->setSaveOptions(soExportType | soFileName | soOpenAfterExport | soFormats | soFields);
        m_dialog->setFileName(QStringLiteral("KestrumExport"));
        show([&](TfrmExport& frm) {
            QVERIFY(child<QRadioButton>(frm, "rbExportType4")->isChecked());
            QCOMPARE(child<QLineEdit>(frm, "edtFileName")->text(), QStringLiteral("KestrumExport.txt"));
            QVERIFY(!child<QCheckBox>(frm, "chkOpenFile")->isChecked());
            QCOMPARE(child<QLineEdit>(frm, "edtInteger")->text(), QStringLiteral("00"));
            QCOMPARE(child<QLineEdit>(frm, "edtFloat")->text(), QStringLiteral("#,###,##0.00"));
            QCOMPARE(texts(child<QListWidget>(frm, "lstExported")), QStringList{"Qty"});
        });
        m_dialog->setSaveFileName(m_table->path(QStringLiteral("none.cfg")));
        show([&](TfrmExport& frm) {
            QCOMPARE(child<QListWidget>(frm, "lstExported")->count(), 0);
            QVERIFY(!child<QCheckBox>(frm, "chkOpenFile")->isChecked());
        });
        QVERIFY(m_prompt->messages.isEmpty());
    }

    void manualSaveAndLoad() {
        const QString cfg = m_table->path(QStringLiteral("manual.cfg"));
        m_dialog->setSaveOptions(soFileName | soFields);
        m_dialog->setFileName(QStringLiteral("first"));
        show([&](TfrmExport& frm) {
            selectRows(child<QListWidget>(frm, "lstAvailable"), {3});
            child<QPushButton>(frm, "btnAdd")->click();
            m_prompt->files.enqueue(cfg);
            child<QPushButton>(frm, "btnSaveOptions")->click();
            child<QPushButton>(frm, "btnRemoveAll")->click();
            chooseKind(frm, QStringLiteral("CSV file"));
            child<QLineEdit>(frm, "edtFileName")->setText(QStringLiteral("other.txt"));
            m_prompt->files.enqueue(cfg);
            child<QPushButton>(frm, "btnLoadOptions")->click();
            // The name comes back with the extension of the kind now chosen.
            QCOMPARE(child<QLineEdit>(frm, "edtFileName")->text(), QStringLiteral("first.csv"));
            QCOMPARE(texts(child<QListWidget>(frm, "lstExported")), QStringList{"Qty"});
            QVERIFY(child<QRadioButton>(frm, "rbExportType7")->isChecked());
        });
        QCOMPARE(IniFile(cfg).sections(), (QStringList{"General", "Fields"}));
    }

    // Cancel answers while a long export runs: "No" lets it go on, "Yes" stops it after the
    // record being written; the count message gives what was written.
    void cancelStopsALongExport() {
        m_table->addRows(100000);
        const QString path = m_table->path(QStringLiteral("long.csv"));
        m_dialog->setFileName(path);
        m_dialog->setShowFile(false);
        int countAtNo = -1, countAtYes = -1;
        QElapsedTimer sinceCancel;
        qint64 stopLatencyMs = -1;
        show([&](TfrmExport& frm) {
            chooseKind(frm, QStringLiteral("CSV file"));
            auto* cancel = child<QPushButton>(frm, "btnClose");
            QTimer::singleShot(50, &frm, [&] {
                QVERIFY(frm.isExporting());
                QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
                countAtNo = frm.recordCounter();
                m_prompt->answers.enqueue(Prompt::Answer::No);
                cancel->click();
                QTimer::singleShot(50, &frm, [&] {
                    countAtYes = frm.recordCounter();
                    sinceCancel.start();
                    QTest::keyClick(&frm, Qt::Key_Escape); // Esc acts like Cancel; the answer is Yes
                });
            });
            child<QPushButton>(frm, "btnStart")->click();
            stopLatencyMs = sinceCancel.elapsed();
        });
        QCOMPARE(m_prompt->messages.mid(0, 2), (QStringList{"Abort export?", "Abort export?"}));
        QVERIFY(countAtNo > 0);
        QVERIFY2(countAtYes > countAtNo, "the export went on after No");
        QVERIFY(countAtYes < 100004);
        QCOMPARE(m_prompt->messages.value(2), QStringLiteral("%1 record(s) are exported!").arg(countAtYes));
        QCOMPARE(fileBytes(path).count("\r\n"), countAtYes + 1);
        qInfo("stopped after %d of 100004 records, %lld ms after the cancel", countAtYes, stopLatencyMs);
    }

    void closingDuringExportWaitsForTheEnd() {
        m_table->addRows(20000);
        m_dialog->setFileName(m_table->path(QStringLiteral("closing.sylk")));
        m_dialog->setShowFile(false);
        bool closedEarly = true;
        show([&](TfrmExport& frm) {
            QTimer::singleShot(20, &frm, [&] {
                QVERIFY(frm.isExporting());
                frm.close();
                closedEarly = !frm.isVisible();
            });
            child<QPushButton>(frm, "btnStart")->click();
            QVERIFY(!frm.isVisible());
        });
        QVERIFY(!closedEarly);
        QCOMPARE(m_prompt->messages, QStringList{"20004 record(s) are exported!"});
    }
};

QTEST_MAIN(TestExportDialog)
#include "tst_exportdialog.moc"
