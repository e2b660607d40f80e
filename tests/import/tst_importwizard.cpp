#include "ImportTestTable.h"

#include "common/Paths.h"
#include "common/ScriptedPrompt.h"
#include "import/TfrmImportProgress.h"
#include "import/TfrmSpecs.h"
#include "import/engine/ImportError.h"
#include "import/engine/ImportSpecification.h"
#include "import/engine/TTextImport.h"
#include "import/wizard/TBreakEditor.h"
#include "import/wizard/TImportWizard.h"
#include "import/wizard/TfrmImportWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace ks;

namespace {

QString fixture(const QString& name) {
    return qEnvironmentVariable("KESTRUM_FIXTURES") + QStringLiteral("/import/") + name;
}

// Runs `script` on the next modal window that opens (other than `except`), while its exec() runs.
void onModal(std::function<void(QWidget*)> script, QWidget* except = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, script, except] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w == except || !w->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        script(w);
        // A failed check returns from the script early: close the window so exec() comes back.
        if (QTest::currentTestFailed() && w->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(w))
                dialog->done(QDialog::Rejected);
    });
    timer->start();
}

template <typename T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no widget %s", name);
    return c;
}

void click(QWidget* w, const char* name) {
    QTest::mouseClick(child<QAbstractButton>(w, name), Qt::LeftButton);
}

QString header(QWidget* w) {
    return child<QLabel>(w, "lblStep")->text();
}

QStringList sources(QWidget* w) {
    auto* grid = child<QTableWidget>(w, "grdMappings");
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
        out << grid->item(r, 2)->text();
    return out;
}

void setKey(QWidget* w, int row, bool on) {
    child<QTableWidget>(w, "grdMappings")->item(row, 3)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

QStringList columnTexts(QTableWidget* grid, int column) {
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
        out << (grid->item(r, column) ? grid->item(r, column)->text() : QString());
    return out;
}

} // namespace

class TestImportWizard : public QObject {
    Q_OBJECT
    std::unique_ptr<ImportTestTable> m_table;
    ScriptedPrompt* m_prompt = nullptr;
    std::unique_ptr<TImportWizard> m_wizard;

    void newWizard() {
        m_wizard = std::make_unique<TImportWizard>();
        m_wizard->setDataSet(&m_table->cursor());
        m_wizard->setUseDisplayNames(true);
        m_wizard->setFormats({teParadox, teText, teHTML, teXML});
        m_wizard->setTitle(QStringLiteral("Kestrum Data Import"));
    }

private slots:
    void init() {
        m_table = std::make_unique<ImportTestTable>();
        setProgramDirectory(m_table->dir());
        m_prompt = ScriptedPrompt::installNew();
        newWizard();
    }
    void cleanup() {
        m_wizard.reset();
        m_table.reset();
        Prompt::install(nullptr);
        // No window may outlive its run.
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void delimitedImport() {
        m_table->add(QStringLiteral("Smith"), QStringLiteral("Ann"), QStringLiteral("555-0101"),
                     QStringLiteral("London"));
        int events = 0;
        m_wizard->onBeforeExecute = [&](TImportBase&) { ++events; };
        m_wizard->onAfterExecute = [&](TImportBase&) { events += 10; };
        QStringList seen;
        onModal([&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Kestrum Data Import"));
            QCOMPARE(header(w), QStringLiteral("Step 1 of 8  "));
            QCOMPARE(child<QPushButton>(w, "btnExecute")->text(), QStringLiteral("&Cancel"));
            QVERIFY(!child<QPushButton>(w, "btnBack")->isEnabled());
            auto* formats = child<QListWidget>(w, "lstTableType");
            QCOMPARE(formats->count(), 4);
            QCOMPARE(formats->currentItem()->text(), QStringLiteral("Text file (*.txt)"));
            click(w, "btnNext");

            // Step 2 wants a file that is there.
            auto* file = child<QLineEdit>(w, "edtSourceFileName");
            file->clear();
            click(w, "btnNext");
            file->setText(m_table->filePath(QStringLiteral("nowhere.csv")));
            click(w, "btnNext");
            QCOMPARE(header(w), QStringLiteral("Step 2 of 8  "));
            file->setText(fixture(QStringLiteral("Contacts.csv")));
            click(w, "btnNext");

            click(w, "rbSemicolon");
            click(w, "btnNext");
            child<QLineEdit>(w, "edtFirstRow")->setText(QStringLiteral("2"));
            click(w, "btnNext");

            QCOMPARE(header(w), QStringLiteral("Step 5 of 8  "));
            auto* fields = child<QTableWidget>(w, "grdDelimitedPreview");
            QCOMPARE(fields->columnCount(), 4);
            QCOMPARE(fields->horizontalHeaderItem(3)->text(), QStringLiteral("Field4"));
            QCOMPARE(columnTexts(fields, 1), (QStringList{"Ann", "Bob \"B\"", "Cy"}));
            click(w, "btnNext");

            // The header line names the fields.
            seen = sources(w);
            // Picking a source in the drop-down writes it to the grid when the cell is left.
            auto* grid = child<QTableWidget>(w, "grdMappings");
            grid->setCurrentCell(4, 2);
            auto* combo = grid->findChild<QComboBox*>(QStringLiteral("cmbSource"));
            QVERIFY(combo);
            QCOMPARE(combo->count(), 5);
            combo->setCurrentIndex(combo->findText(QStringLiteral("Field4")));
            grid->setCurrentCell(5, 1);
            QCOMPARE(grid->item(4, 2)->text(), QStringLiteral("Field4"));
            setKey(w, 0, true);
            setKey(w, 1, true);
            setKey(w, 2, true);
            click(w, "btnNext");

            auto* preview = child<QTableWidget>(w, "grdPreview");
            QCOMPARE(preview->columnCount(), 5);
            QCOMPARE(preview->horizontalHeaderItem(0)->text(),
                     child<QTableWidget>(w, "grdMappings")->item(0, 1)->text());
            QCOMPARE(columnTexts(preview, 3), (QStringList{"Paris", "Rome", "New;York"}));
            click(w, "btnNext");

            QCOMPARE(header(w), QStringLiteral("Step 8 of 8  "));
            QCOMPARE(child<QPushButton>(w, "btnExecute")->text(), QStringLiteral("Execute"));
            QVERIFY(!child<QPushButton>(w, "btnNext")->isEnabled());
            QVERIFY(child<QRadioButton>(w, "rbAppendUpdate")->isEnabled());
            click(w, "rbAppendUpdate");
            click(w, "btnExecute");
        });
        QCOMPARE(m_wizard->execute(), int(TImportWizard::Imported));
        QCOMPARE(events, 11);
        QCOMPARE(m_prompt->messages.size(), 2);
        QCOMPARE(m_prompt->messages.at(0), QStringLiteral("Property File Name wasn't specified."));
        QVERIFY(m_prompt->messages.at(1).contains(QStringLiteral("nowhere.csv")));
        QCOMPARE(seen.mid(0, 5), (QStringList{"Field1", "Field2", "Field3", "Field4", ""}));
        QCOMPARE(m_table->rows(), (QStringList{"Smith|Ann|555-0101|Paris", "Jones|Bob \"B\"|555-0102|Rome",
                                               "Brown|Cy|555-0103|New;York"}));
        QCOMPARE(m_wizard->datasetKeys(), QStringLiteral("Last;First;Phone"));
        QCOMPARE(m_wizard->mappings().value(4), QStringLiteral("Notes = Field4"));
        QCOMPARE(m_table->column(QStringLiteral("Notes")), (QStringList{"Paris", "Rome", "New;York"}));
        QCOMPARE(m_wizard->mode(), imAppendUpdate);
        QCOMPARE(m_wizard->lastReader()->counters().updated, 1);
        QCOMPARE(m_wizard->lastReader()->counters().added, 2);
    }

    void fixedWidthImport() {
        m_wizard->setSourceFileName(fixture(QStringLiteral("FixedWidth.txt")));
        m_wizard->setFixed(true);
        QList<int> guessed, edited;
        onModal([&](QWidget* w) {
            click(w, "btnNext");
            click(w, "btnNext");
            QVERIFY(child<QRadioButton>(w, "rbFixedWidth")->isChecked());
            click(w, "btnNext");
            click(w, "btnNext");
            auto* editor = child<TBreakEditor>(w, "pbBreaks");
            QVERIFY(editor->isVisible());
            QVERIFY(!child<QTableWidget>(w, "grdDelimitedPreview")->isVisible());
            QCOMPARE(editor->rows().size(), 3);
            guessed = editor->breaks();
            // Delete the first guess, add two breaks, then drag the second one into place.
            QTest::mouseDClick(editor, Qt::LeftButton, {}, editor->pointForColumn(21));
            QTest::mouseClick(editor, Qt::LeftButton, {}, editor->pointForColumn(10));
            QTest::mouseClick(editor, Qt::LeftButton, {}, editor->pointForColumn(12));
            QTest::mouseClick(editor, Qt::LeftButton, {}, editor->pointForColumn(0)); // never at column 0
            QTest::mousePress(editor, Qt::LeftButton, {}, editor->pointForColumn(12));
            QMouseEvent move(QEvent::MouseMove, editor->pointForColumn(20),
                             editor->mapToGlobal(editor->pointForColumn(20)), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(editor, &move);
            QTest::mouseRelease(editor, Qt::LeftButton, {}, editor->pointForColumn(20));
            edited = editor->breaks();
            click(w, "btnNext");
            QCOMPARE(sources(w).mid(0, 4), (QStringList{"Text1-10", "Text11-20", "Text21-28", ""}));
            click(w, "btnNext");
            QCOMPARE(columnTexts(child<QTableWidget>(w, "grdPreview"), 1),
                     (QStringList{"Ann       ", "Bob       ", "Cy        "}));
            click(w, "btnNext");
            QVERIFY(!child<QRadioButton>(w, "rbUpdate")->isEnabled()); // no key marked
            click(w, "btnExecute");
        });
        QCOMPARE(m_wizard->execute(), int(TImportWizard::Imported));
        QCOMPARE(guessed, (QList<int>{21, 28})); // table widths 20, 20, 15 over a 28-character line
        QCOMPARE(edited, (QList<int>{10, 20, 28}));
        QCOMPARE(m_table->rows(),
                 (QStringList{"Smith|Ann|555-0101|", "Jones|Bob|555-0102|", "Brown|Cy|555-0103|"}));
    }

    void failureGivesThree() {
        // Update mode without a key can't start: the wizard says why and returns 3.
        m_wizard->setMode(imUpdate);
        m_wizard->setSourceFileName(fixture(QStringLiteral("Contacts.csv")));
        onModal([&](QWidget* w) {
            static_cast<TfrmImportWizard*>(w)->goToStep(8);
            QVERIFY(!child<QRadioButton>(w, "rbUpdate")->isEnabled());
            click(w, "btnExecute");
        });
        QCOMPARE(m_wizard->execute(), int(TImportWizard::Failed));
        QCOMPARE(m_prompt->messages,
                 QStringList{"Error of data import.\n\nProperty DatasetKeys wasn't specified."});
        QVERIFY(m_table->rows().isEmpty());
    }

    void abandoning() {
        int after = 0;
        m_wizard->onAfterExecute = [&](TImportBase&) { ++after; };
        m_prompt->answers << Prompt::Answer::No << Prompt::Answer::Yes;
        onModal([&](QWidget* w) {
            click(w, "btnExecute"); // Cancel, then No: the wizard stays
            QVERIFY(w->isVisible());
            static_cast<TfrmImportWizard*>(w)->goToStep(8);
            w->close(); // the close box asks even on the last step
        });
        QCOMPARE(m_wizard->execute(), int(TImportWizard::Abandoned));
        QCOMPARE(after, 1);
        QCOMPARE(m_prompt->messages.size(), 2);
        QVERIFY(m_prompt->messages.at(0).startsWith(QStringLiteral("Wizard is not complete.")));
        QVERIFY(m_table->rows().isEmpty());
    }

    void formatsWithoutReader() {
        onModal([&](QWidget* w) {
            auto* formats = child<QListWidget>(w, "lstTableType");
            formats->setCurrentRow(2); // HTML
            click(w, "btnNext");
            QCOMPARE(header(w), QStringLiteral("Step 1 of 8  "));
            formats->setCurrentRow(0); // Paradox
            click(w, "btnNext");
            QCOMPARE(header(w), QStringLiteral("Step 1 of 8  "));
            m_prompt->answers << Prompt::Answer::Yes;
            click(w, "btnExecute");
        });
        QCOMPARE(m_wizard->execute(), int(TImportWizard::Abandoned));
        QVERIFY(m_prompt->messages.value(0).contains(QStringLiteral("HTML files is not available yet")));
        QVERIFY(m_prompt->messages.value(1).contains(QStringLiteral("Paradox tables is not available yet")));
    }

    void windowShowsTheSettings() {
        m_wizard->setFieldDelimiterCustom(QLatin1Char('|'));
        m_wizard->setTextQualifierCustom(QChar(0));
        m_wizard->setRecordSeparatorCustom(QStringLiteral("#"));
        m_wizard->setRowFirst(3);
        m_wizard->setMappings({QStringLiteral("last = Field2"), QStringLiteral("City=Field9"),
                               QStringLiteral("City = Field4")});
        m_wizard->setDatasetKeys(QStringLiteral("Last;Home Phone")); // "Phone" is no key
        m_wizard->userAccess().Specification = false;
        m_wizard->userAccess().SourceFileName = irDisabled;
        m_wizard->userAccess().FieldDelimiter = irReadOnly;
        TfrmImportWizard w(*m_wizard);
        w.fillFromComponent();
        QVERIFY(child<QRadioButton>(&w, "rbOther")->isChecked());
        QCOMPARE(child<QLineEdit>(&w, "edtOtherSymbol")->text(), QStringLiteral("|"));
        QCOMPARE(child<QComboBox>(&w, "cmbTextQualifier")->currentText(), QStringLiteral("none"));
        QCOMPARE(child<QComboBox>(&w, "cmbRecordSeparator")->currentText(), QStringLiteral("#"));
        QCOMPARE(child<QLineEdit>(&w, "edtLastRow")->text(), QString());
        QCOMPARE(sources(&w).mid(0, 4), (QStringList{"Field2", "", "", "Field4"}));
        auto* grid = child<QTableWidget>(&w, "grdMappings");
        QCOMPARE(grid->item(0, 3)->checkState(), Qt::Checked);
        QCOMPARE(grid->item(2, 3)->checkState(), Qt::Unchecked);
        QVERIFY(child<QPushButton>(&w, "btnSpecifications")->isHidden());
        QVERIFY(child<QLineEdit>(&w, "edtSourceFileName")->isHidden());
        QVERIFY(child<QPushButton>(&w, "btnBrowse")->isHidden());
        QVERIFY(child<QLabel>(&w, "lblSourceFileName")->isHidden());
        QVERIFY(!child<QRadioButton>(&w, "rbComma")->isEnabled());
        QVERIFY(child<QLineEdit>(&w, "edtOtherSymbol")->isReadOnly());

        w.takeSettings();
        QCOMPARE(m_wizard->rowLast(), INT_MAX);
        QCOMPARE(m_wizard->fieldDelimiter(), fdCustom);
        QCOMPARE(m_wizard->textQualifier(), tqNone);
        QCOMPARE(m_wizard->recordSeparator(), rsCustom);
        QCOMPARE(m_wizard->datasetKeys(), QStringLiteral("Last"));
        QCOMPARE(m_wizard->mappings().mid(0, 4),
                 (QStringList{"Last = Field2", "First = ", "Phone = ", "City = Field4"}));
    }

    void specificationsSaveAndLoad() {
        const QString specFile = m_table->filePath(QStringLiteral("people.plx"));
        // First run: set up a semicolon import, save it as a specification, then leave.
        onModal([&](QWidget* w) {
            click(w, "btnNext");
            child<QLineEdit>(w, "edtSourceFileName")->setText(fixture(QStringLiteral("Contacts.csv")));
            click(w, "btnNext");
            click(w, "rbSemicolon");
            click(w, "btnNext");
            child<QLineEdit>(w, "edtFirstRow")->setText(QStringLiteral("2"));
            click(w, "btnNext");
            click(w, "btnNext");
            setKey(w, 0, true);
            onModal(
                [&](QWidget* specs) {
                    QCOMPARE(specs->windowTitle(), QStringLiteral("Specifications..."));
                    QVERIFY(!child<QPushButton>(specs, "btnLoad")->isEnabled());
                    onModal(
                        [&](QWidget* save) {
                            QCOMPARE(child<QLineEdit>(save, "edtName")->text(),
                                     QStringLiteral("Import specification"));
                            child<QLineEdit>(save, "edtName")->setText(QStringLiteral("People"));
                            child<QLineEdit>(save, "edtFileName")->setText(specFile);
                            click(save, "btnOK");
                        },
                        specs);
                    click(specs, "btnSave");
                    QCOMPARE(child<QListWidget>(specs, "lstSpecs")->currentItem()->text(),
                             QStringLiteral("People"));
                    click(specs, "btnClose");
                },
                w);
            click(w, "btnSpecifications");
            m_prompt->answers << Prompt::Answer::Yes;
            click(w, "btnExecute");
        });
        QCOMPARE(m_wizard->execute(), int(TImportWizard::Abandoned));
        QVERIFY(QFile::exists(specFile));
        QVERIFY(m_table->rows().isEmpty());

        // A fresh wizard loads it and runs it from step 8.
        newWizard();
        onModal([&](QWidget* w) {
            onModal(
                [&](QWidget* specs) {
                    auto* list = child<QListWidget>(specs, "lstSpecs");
                    QCOMPARE(list->count(), 1);
                    QCOMPARE(list->item(0)->text(), QStringLiteral("People"));
                    click(specs, "btnLoad");
                },
                w);
            click(w, "btnSpecifications");
            QCOMPARE(header(w), QStringLiteral("Step 8 of 8  "));
            QVERIFY(child<QRadioButton>(w, "rbSemicolon")->isChecked());
            QCOMPARE(child<QLineEdit>(w, "edtFirstRow")->text(), QStringLiteral("2"));
            QCOMPARE(sources(w).mid(0, 4), (QStringList{"Field1", "Field2", "Field3", "Field4"}));
            QVERIFY(child<QRadioButton>(w, "rbUpdate")->isEnabled());
            click(w, "btnExecute");
        });
        QCOMPARE(m_wizard->execute(), int(TImportWizard::Imported));
        QCOMPARE(m_table->rows().size(), 3);
        QCOMPARE(m_wizard->datasetKeys(), QStringLiteral("Last"));
    }

    void progressWindowCancels() {
        QByteArray many;
        for (int i = 0; i < 20000; ++i)
            many += "N" + QByteArray::number(i) + ";F;" + QByteArray::number(i) + "\r\n";
        TTextImport imp;
        imp.setDataSet(&m_table->cursor());
        imp.setSourceFileName(m_table->writeFile(QStringLiteral("many.txt"), many));
        imp.setFieldDelimiter(fdSemicolon);
        imp.setMappings(
            {QStringLiteral("Last=Field1"), QStringLiteral("First=Field2"), QStringLiteral("Phone=Field3")});
        imp.setOptions(soExtendedStatistic);
        imp.setTitleStatus(QStringLiteral("Loading contacts"));
        imp.setProgressFactory(TfrmImportProgress::factory());
        QString caption, processedShown;
        QTimer timer;
        timer.setInterval(2);
        connect(&timer, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() != QLatin1String("frmImportProgress") || !w->isVisible())
                    continue;
                // Cancel once the counters have moved past their first redraw step.
                processedShown = child<QLabel>(w, "lblProcessed")->text();
                if (processedShown.toInt() > 50) {
                    caption = w->windowTitle();
                    click(w, "btnCancel");
                    timer.stop();
                }
            }
        });
        timer.start();
        imp.execute();
        QCOMPARE(caption, QStringLiteral("Loading contacts"));
        QCOMPARE(imp.result(), ImportResult::Cancelled);
        QVERIFY(imp.counters().processed < 20000);
        QCOMPARE(m_table->rows().size(), imp.counters().added);
        QVERIFY(processedShown.toInt() > 50);
    }

    void wideAndEmptyFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QByteArray wide;
        for (int r = 0; r < 3; ++r) {
            for (int c = 1; c <= 10000; ++c)
                wide += (c > 1 ? ";" : "") + QByteArray::number(r * 10000 + c);
            wide += "\r\n";
        }
        QTest::newRow("10,000 columns") << wide << 10000 << 3;
        QTest::newRow("empty file") << QByteArray() << 0 << 0;
        QTest::newRow("binary file") << QByteArray("\x00\xff\x01;\x9d\r\x1a\x00", 8) << 2 << 2;
    }
    void wideAndEmptyFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, columns);
        QFETCH(int, rows);
        m_wizard->setSourceFileName(m_table->writeFile(QStringLiteral("odd.csv"), bytes));
        m_wizard->setFieldDelimiter(fdSemicolon);
        TfrmImportWizard w(*m_wizard);
        w.fillFromComponent();
        w.show();
        for (int i = 0; i < 6; ++i)
            click(&w, "btnNext");
        QCOMPARE(header(&w), QStringLiteral("Step 7 of 8  "));
        QCOMPARE(child<QTableWidget>(&w, "grdDelimitedPreview")->columnCount(), columns);
        QCOMPARE(child<QTableWidget>(&w, "grdPreview")->rowCount(), rows);
        w.done(QDialog::Rejected);
    }

    void deletingASpecification() {
        TTextImport c;
        const QString file = m_table->filePath(QStringLiteral("old.plx"));
        QVERIFY(c.saveSpecification(QStringLiteral("Old"), file, false));
        TfrmSpecs specs(c, [&] { return ImportSpecification::list(m_table->dir()); });
        auto* list = child<QListWidget>(&specs, "lstSpecs");
        QCOMPARE(list->count(), 1);
        m_prompt->answers << Prompt::Answer::No << Prompt::Answer::Yes;
        click(&specs, "btnDelete");
        QVERIFY(QFile::exists(file));
        click(&specs, "btnDelete");
        QVERIFY(!QFile::exists(file));
        QCOMPARE(list->count(), 0);
        QVERIFY(!child<QPushButton>(&specs, "btnLoad")->isEnabled());
        QVERIFY(m_prompt->messages.value(0).startsWith(QStringLiteral("Delete import specification ")));
    }

    void batchRunWithoutWindow() {
        // The settings alone run the import, as the command-line tool will.
        m_wizard->setSourceFileName(fixture(QStringLiteral("Contacts.csv")));
        m_wizard->setFieldDelimiter(fdSemicolon);
        m_wizard->setRowFirst(2);
        m_wizard->setMappings({QStringLiteral("Last=Field1"), QStringLiteral("City=Field4")});
        m_wizard->setAnimatedStatus(false);
        m_wizard->setOptions({});
        QCOMPARE(m_wizard->runReader(), ImportResult::Finished);
        QCOMPARE(m_table->column(QStringLiteral("City")), (QStringList{"Paris", "Rome", "New;York"}));
        m_wizard->setTableType(teXML);
        QVERIFY_THROWS_EXCEPTION(ImportError, m_wizard->runReader());
    }
};

QTEST_MAIN(TestImportWizard)
#include "tst_importwizard.moc"
