// The Import command of the real main window: duplicates, error messages and the error file, the
// remembered settings; the error file dialog; backup and restore from the File menu.
#include "RunningProgram.h"

#include "app/CommandSet.h"
#include "app/KestrumStartup.h"
#include "app/MainMenus.h"
#include "app/TKestrumMainForm.h"
#include "import/commands/ContactBackup.h"
#include "import/commands/ImportErrorReporter.h"
#include "import/engine/ImportSpecification.h"
#include "import/engine/TTextImport.h"
#include "import/wizard/TfrmImportWizard.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace ks;
using kstest::AppHome;
using kstest::Person;

namespace {

const QList<Person> people = {{"Smith", "Al", "1", "Work", "N", "Boston"},
                              {"Jones", "Cy", "3", "Friends", "N", "Chicago"},
                              {"Adams", "Ed", "5", "Work", "N", "El Paso"}};

// Runs `script` on the next modal window that opens, while its exec() runs.
void onModal(std::function<void(QWidget*)> script) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, script] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        script(w);
        if (QTest::currentTestFailed() && w->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(w))
                dialog->done(QDialog::Rejected);
    });
    timer->start();
}

void clickChild(QWidget* w, const char* name) {
    auto* b = w->findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!b)
        qFatal("no widget %s", name);
    QTest::mouseClick(b, Qt::LeftButton);
}

// The wizard opens on the remembered settings; go straight to the last step and import.
void runWizardToEnd() {
    onModal([](QWidget* w) {
        auto* wizard = qobject_cast<TfrmImportWizard*>(w);
        QVERIFY(wizard);
        wizard->goToStep(TfrmImportWizard::kSteps);
        clickChild(w, "btnExecute");
    });
}

QString dupText() {
    return ImportErrorReporter::duplicateText();
}

QStringList entry(const QString& text, const QString& last, const QString& first, const QString& phone) {
    return {text, "Record with the error contained:", "Business or Last Name = '" + last + "'",
            "First Name = '" + first + "'", "Phone = '" + phone + "'"};
}

struct Running : kstest::RunningProgram {
    explicit Running(AppHome&) {}
    QStringList lastNames() const {
        QStringList out;
        Cursor& c = *w->data().tblAuxPhoneBook();
        c.setIndexName(Contact::UniqueIndex);
        for (c.first(); !c.eof(); c.next())
            out << c.text(Contact::LastName) + QLatin1Char('/') + c.text(Contact::FirstName);
        return out;
    }
    void run(Command c) const { w->commands().run(c); }
};

} // namespace

class TestImportCommand : public QObject {
    Q_OBJECT
    std::unique_ptr<AppHome> m_home;

    // The last import's settings as the program remembers them: the source file, semicolons,
    // ten mapped fields by position, append.
    void rememberSettings(const QByteArray& source) {
        m_home->write(QStringLiteral("new.txt"), source);
        TTextImport spec;
        spec.setSourceFileName(m_home->path(QStringLiteral("new.txt")));
        spec.setFieldDelimiter(fdSemicolon);
        spec.setMode(imAppend);
        spec.setMappings({"Business or Last Name=Field1", "First Name=Field2", "Home Phone=Field3",
                          "Category=Field4", "Business Entry Flag=Field5"});
        ImportSpecification::save(spec, QStringLiteral("Auto-Loaded Config"),
                                  m_home->path(QStringLiteral("KESTRUMImportAutoConfig.cfg")));
    }
    QStringList errorFile() const {
        const QByteArray bytes = m_home->read(QStringLiteral("ImportErrors.txt"));
        if (bytes.isEmpty())
            return {};
        Q_ASSERT(bytes.endsWith("\r\n"));
        return QString::fromUtf8(bytes.chopped(2)).split(QStringLiteral("\r\n"));
    }

private slots:
    void init() {
        m_home = std::make_unique<AppHome>();
        m_home->addPeople(people);
    }
    void cleanup() {
        m_home.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // Two rows of the source repeat existing contacts; one is new. What the user answers decides
    // what is shown, what is imported and what the error file holds (always both duplicates, unless
    // the user stopped at the first).
    void duplicatesReported_data() {
        QTest::addColumn<bool>("saveToFile");
        QTest::addColumn<QList<int>>("answers"); // 1 yes, 0 no, in the order asked
        QTest::addColumn<int>("shown");          // messages shown during the import
        QTest::addColumn<bool>("newImported");
        QTest::addColumn<int>("entries");

        QTest::newRow("shown, keep showing") << false << QList<int>{1, 1, 1} << 3 << true << 2;
        QTest::newRow("shown, then only to the file") << false << QList<int>{1, 0} << 2 << true << 2;
        // Stopping in the error handler ends the run as a failure, which the engine reports.
        QTest::newRow("stop at the first") << false << QList<int>{0} << 2 << false << 1;
        QTest::newRow("only to the file") << true << QList<int>{} << 0 << true << 2;
    }
    void duplicatesReported() {
        QFETCH(bool, saveToFile);
        QFETCH(QList<int>, answers);
        QFETCH(int, shown);
        QFETCH(bool, newImported);
        QFETCH(int, entries);
        rememberSettings("Smith;Al;1;Work;N\r\nJones;Cy;3;Friends;N\r\nNewman;Nell;9;Pals;N\r\n");
        Running r(*m_home);
        r.w->setSaveImportErrorsToFile(saveToFile);
        r.w->categoryBox().setCurrentIndex(r.w->categoryBox().findText(QStringLiteral("Work")));
        for (int a : answers)
            m_home->prompt->answers << (a ? Prompt::Answer::Yes : Prompt::Answer::No);
        m_home->prompt->messages.clear();
        runWizardToEnd();
        r.run(Command::Import);

        const QStringList first = entry(dupText(), "Smith", "Al", "1");
        const QStringList second = entry(dupText(), "Jones", "Cy", "3");
        const QStringList expectedFile = entries == 2 ? first + second : first;
        QCOMPARE(errorFile(), expectedFile);
        QCOMPARE(r.lastNames().contains(QStringLiteral("Newman/Nell")), newImported);
        QCOMPARE(r.lastNames().size(), newImported ? 4 : 3);

        QStringList messages = m_home->prompt->messages;
        QCOMPARE(messages.size(), shown);
        if (shown > 0)
            QCOMPARE(messages.at(0), dupText() +
                                         "\n\nRecord with the error contained:\n"
                                         "Business or Last Name = 'Smith'\nFirst Name = 'Al'\nPhone = '1'\n"
                                         "Continue Import?");
        if (answers == QList<int>{0})
            QVERIFY(messages.at(1).startsWith(QStringLiteral("Error of data import.")));
        else if (shown > 1)
            QCOMPARE(messages.at(1),
                     QStringLiteral("Errors are being written to ImportErrors.txt. Continue displaying "
                                    "error messages as well?"));
        // Afterwards the whole table shows, with the new category in the box.
        QCOMPARE(r.w->categoryText(), Contact::AllCategories);
        QCOMPARE(r.cursor().recordCount(), newImported ? 4 : 3);
        QCOMPARE(r.w->categoryBox().findText(QStringLiteral("Pals")) >= 0, newImported);
    }

    // Cancelling the wizard still replaces the error file (with an empty one) and the remembered
    // settings come back in the next wizard.
    void cancelledWizardEmptiesErrorFile() {
        rememberSettings("Newman;Nell;9;Pals;N\r\n");
        m_home->write(QStringLiteral("ImportErrors.txt"), "old\r\n");
        Running r(*m_home);
        onModal([](QWidget* w) { clickChild(w, "btnExecute"); }); // "Cancel" on the first step
        r.run(Command::Import);
        QCOMPARE(m_home->read(QStringLiteral("ImportErrors.txt")), QByteArray());
        QCOMPARE(r.lastNames().size(), 3);

        TTextImport saved;
        ImportSpecification::load(saved, m_home->path(QStringLiteral("KESTRUMImportAutoConfig.cfg")));
        QCOMPARE(saved.sourceFileName(), m_home->path(QStringLiteral("new.txt")));
        QCOMPARE(saved.fieldDelimiter(), fdSemicolon);
    }

    void errorFileDialog() {
        Running r(*m_home);
        QVERIFY(!r.w->saveImportErrorsToFile());
        onModal([this](QWidget* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Save Import Errors to File"));
            auto* check = w->findChild<QCheckBox*>(QStringLiteral("chkSaveErrors"));
            QVERIFY(check && !check->isChecked());
            QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lblFolder"))->text(),
                     QDir::toNativeSeparators(m_home->dir.path()));
            check->setChecked(true);
            clickChild(w, "btnOK");
        });
        r.w->menus().mnuImportErrorsToFile->trigger();
        QVERIFY(r.w->saveImportErrorsToFile());
        QVERIFY(r.w->menus().mnuImportErrorsToFile->isChecked());
    }

    // Backup while one category shows covers every contact and gives the view back; a restore
    // puts changed contacts back, brings removed ones back and keeps added ones.
    void backupAndRestore() {
        Running r(*m_home);
        r.w->categoryBox().setCurrentIndex(r.w->categoryBox().findText(QStringLiteral("Friends")));
        QCOMPARE(r.cursor().recordCount(), 1);
        m_home->prompt->messages.clear();
        r.run(Command::Backup);
        QCOMPARE(m_home->prompt->messages, QStringList{"Backup Complete: 3 contacts processed."});
        QCOMPARE(r.w->categoryText(), QStringLiteral("Friends"));
        QCOMPARE(r.cursor().recordCount(), 1);
        QCOMPARE(m_home->read(QStringLiteral("KestrumBackupFile.CSV")).count("\r\n"), 4);

        // Change, remove, add.
        Cursor& c = r.cursor();
        c.edit();
        c.setValue(Contact::City, QStringLiteral("Nowhere"));
        c.post();
        r.w->SelectAllCategories();
        QVERIFY(c.locate({Contact::LastName}, {QStringLiteral("Adams")}));
        c.deleteRecord();
        c.append();
        c.setValue(Contact::LastName, QStringLiteral("Zed"));
        c.post();

        r.w->categoryBox().setCurrentIndex(r.w->categoryBox().findText(QStringLiteral("Work")));
        m_home->prompt->messages.clear();
        m_home->prompt->answers << Prompt::Answer::No;
        r.run(Command::Restore); // declined: nothing happens
        QCOMPARE(r.lastNames().size(), 3);
        r.run(Command::Restore);
        QCOMPARE(m_home->prompt->messages.size(), 2);
        QCOMPARE(m_home->prompt->messages.at(0),
                 QStringLiteral(
                     "Restore all Records from your last Backup? \n\nThis will append to, and if needed, "
                     "update any existing records before attempting restoration.\n"));
        QCOMPARE(r.lastNames(), (QStringList{"Adams/Ed", "Jones/Cy", "Smith/Al", "Zed/"}));
        QVERIFY(c.locate({Contact::LastName}, {QStringLiteral("Jones")}));
        QCOMPARE(c.text(Contact::City), QStringLiteral("Chicago"));
        QCOMPARE(r.w->categoryText(), Contact::AllCategories);
    }
};

QTEST_MAIN(TestImportCommand)
#include "tst_importcommand.moc"
