#include "editing/FakeMainWindow.h"

#include "common/ScriptedPrompt.h"
#include "store/TKestrumEditForm.h"
#include "store/engine/Table.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace ks;

class TestEditForm : public QObject {
    Q_OBJECT
private:
    QTemporaryDir* m_dir = nullptr;
    TfrmGlobal* g = nullptr;
    TKestrumEditForm* form = nullptr;
    ScriptedPrompt* prompt = nullptr;

    Cursor& cur() { return *g->tblPhoneBook(); }
    template <typename T> T* w(const char* name) {
        T* found = form->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    void click(const char* button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }
    void type(const char* edit, const QString& text) {
        if (auto* c = form->findChild<QComboBox*>(QLatin1String(edit)))
            QTest::keyClicks(c->lineEdit(), text);
        else
            QTest::keyClicks(w<QLineEdit>(edit), text);
    }
    void replace(const char* edit, const QString& text) {
        w<QLineEdit>(edit)->selectAll();
        QTest::keyClick(w<QLineEdit>(edit), Qt::Key_Delete);
        type(edit, text);
    }
    int rows() { return int(cur().table()->rowCount()); }
    QString stored(const QString& last, const QString& field) {
        const QVector<RowId> ids = cur().table()->findRows({Contact::LastName}, {last}, Filter());
        if (ids.isEmpty())
            return QStringLiteral("<none>");
        return cur().table()->readRecord(ids.first()).value(cur().table()->fieldIndex(field)).toString();
    }
    // The main window's side of Edit and Add, reduced to the cursor.
    void openForEdit(const QString& last) {
        QVERIFY(gotoName(*g, last));
        cur().edit();
        form->show();
    }
    void openForAdd() {
        cur().append();
        form->show();
    }

private slots:
    void init() {
        prompt = ScriptedPrompt::installNew();
        m_dir = new QTemporaryDir;
        g = new TfrmGlobal(m_dir->path());
        g->openTables();
        addContact(*g, {{Contact::LastName, QStringLiteral("Smith")},
                        {Contact::FirstName, QStringLiteral("John")},
                        {Contact::HomePhone, QStringLiteral("555-0100")},
                        {Contact::Category, QStringLiteral("Family")},
                        {Contact::City, QStringLiteral("Springfield")},
                        {Contact::BusinessFlag, QStringLiteral("N")}});
        addContact(*g, {{Contact::LastName, QStringLiteral("Acme Tools")},
                        {Contact::BusinessFlag, QStringLiteral("Y")},
                        {Contact::Category, QStringLiteral("Work")}});
        g->BuildCategoryList();
        form = new TKestrumEditForm(*g);
    }
    void cleanup() {
        delete form;
        delete g;
        delete m_dir;
        Prompt::install(nullptr);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void showsTheRecordWithItsTypeAndChoices() {
        openForEdit(QStringLiteral("Acme Tools"));
        QCOMPARE(w<QLineEdit>("edtLastName")->text(), QStringLiteral("Acme Tools"));
        QVERIFY(w<QRadioButton>("rbBusiness")->isChecked());
        QCOMPARE(w<QLabel>("lblLastName")->text(), QStringLiteral("Business"));
        QCOMPARE(w<QLabel>("lblWorkPhone")->text(), QStringLiteral("Data"));
        auto* category = w<QComboBox>("cmbCategory");
        QCOMPARE(category->currentText(), QStringLiteral("Work"));
        QStringList items;
        for (int i = 0; i < category->count(); ++i)
            items << category->itemText(i);
        QCOMPARE(items, (QStringList{QStringLiteral("Family"), QStringLiteral("Work")}));
        auto* state = w<QComboBox>("cmbState");
        QCOMPARE(state->count(), 62);
        QCOMPARE(state->itemText(50), QStringLiteral("WY"));
        QCOMPARE(state->itemText(51), QString());
        QCOMPARE(state->itemText(61), QStringLiteral("SK"));
        QCOMPARE(state->lineEdit()->maxLength(), 2);
        QCOMPARE(w<QLineEdit>("edtZip")->maxLength(), 11);
        QCOMPARE(w<QLineEdit>("edtEmail")->maxLength(), 255);
        QVERIFY(!form->EntryChanged());

        const QStringList tabOrder{"rbPersonal",   "rbBusiness",    "cmbCategory",  "edtLastName", "edtFirstName",
                                   "edtContact",   "edtHomePhone",  "edtWorkPhone", "edtFax",      "edtAlternate",
                                   "memNotes",     "edtAddressOne", "edtAddressTwo", "edtCity",    "cmbState",
                                   "edtZip",       "edtCountry",    "edtEmail",     "edtUser1",    "edtUser2",
                                   "edtUser3",     "btnSave",       "btnNew",       "btnExit"};
        QStringList chain;
        QWidget* at = w<QRadioButton>("rbPersonal");
        do {
            if (tabOrder.contains(at->objectName()) && !chain.contains(at->objectName()))
                chain << at->objectName();
            at = at->nextInFocusChain();
        } while (at != w<QRadioButton>("rbPersonal"));
        QCOMPARE(chain, tabOrder);
    }

    void exitWithoutTypingClosesAtOnce_data() {
        QTest::addColumn<bool>("adding");
        QTest::newRow("existing entry") << false;
        QTest::newRow("new entry") << true;
    }
    void exitWithoutTypingClosesAtOnce() {
        QFETCH(bool, adding);
        if (adding)
            openForAdd();
        else
            openForEdit(QStringLiteral("Smith"));
        // Leaving the entry type group only brings the flag in line; it is not a change.
        w<QRadioButton>("rbPersonal")->setFocus();
        w<QLineEdit>("edtCity")->setFocus();
        click("btnExit");
        QVERIFY(prompt->messages.isEmpty());
        QVERIFY(!form->isVisible());
        QCOMPARE(rows(), 2);
        QCOMPARE(stored(QStringLiteral("Smith"), Contact::City), QStringLiteral("Springfield"));
        QCOMPARE(cur().state(), Cursor::State::Browse);
    }

    void entryTypeChangeOnlyAsksOnExit_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("open");
        QTest::newRow("yes stores it") << int(Prompt::Answer::Yes) << "Y" << false;
        QTest::newRow("no drops it") << int(Prompt::Answer::No) << "N" << false;
        QTest::newRow("cancel stays") << int(Prompt::Answer::Cancel) << "N" << true;
    }
    void entryTypeChangeOnlyAsksOnExit() {
        QFETCH(int, answer);
        QFETCH(QString, flag);
        QFETCH(bool, open);
        openForEdit(QStringLiteral("Smith"));
        QTest::mouseClick(w<QRadioButton>("rbBusiness"), Qt::LeftButton);
        QCOMPARE(w<QLabel>("lblFirstName")->text(), QStringLiteral("Contact 1"));
        QCOMPARE(w<QLabel>("lblHomePhone")->text(), QStringLiteral("Phone"));
        prompt->answers << Prompt::Answer(answer);
        click("btnExit");
        QCOMPARE(prompt->messages, QStringList{QStringLiteral("Current record has not been saved.\r"
                                                              "                  Save now?")});
        QCOMPARE(stored(QStringLiteral("Smith"), Contact::BusinessFlag), flag);
        QCOMPARE(form->isVisible(), open);
        if (open)
            form->close();
    }

    void typingTheOldTextBackStillCountsAsAChange_data() {
        QTest::addColumn<QString>("edit");
        QTest::newRow("cleared field") << "";
        QTest::newRow("typed back") << "Springfield";
    }
    void typingTheOldTextBackStillCountsAsAChange() {
        QFETCH(QString, edit);
        openForEdit(QStringLiteral("Smith"));
        replace("edtCity", edit);
        QVERIFY(form->EntryChanged());
        prompt->answers << Prompt::Answer::No;
        click("btnExit");
        QCOMPARE(prompt->messages.size(), 1);
        QVERIFY(!form->isVisible());
        QCOMPARE(stored(QStringLiteral("Smith"), Contact::City), QStringLiteral("Springfield"));
    }

    void duplicateKeyThenCorrection() {
        openForAdd();
        type("edtLastName", QStringLiteral("Smith"));
        type("edtFirstName", QStringLiteral("John"));
        type("edtHomePhone", QStringLiteral("555-0100"));
        type("edtCity", QStringLiteral("Shelbyville"));
        click("btnSave");
        QCOMPARE(prompt->messages, QStringList{QStringLiteral(
                                       "You have entered the same Business or Last Name, First Name, and Primary "
                                       "Phone as an existing entry.  Please correct this and Save again.")});
        QCOMPARE(rows(), 2);
        QCOMPARE(cur().state(), Cursor::State::Insert);
        QVERIFY(form->EntryChanged());
        QVERIFY(!form->lastSaveSucceeded());
        QCOMPARE(w<QLineEdit>("edtCity")->text(), QStringLiteral("Shelbyville"));

        replace("edtHomePhone", QStringLiteral("555-0199"));
        click("btnSave");
        QCOMPARE(prompt->messages.size(), 1);
        QCOMPARE(rows(), 3);
        QVERIFY(form->lastSaveSucceeded());
        QVERIFY(!form->EntryChanged());
        QCOMPARE(cur().state(), Cursor::State::Edit); // still open for more changes
        QCOMPARE(g->EditedRowKey, (RowKey{QStringLiteral("Smith"), QStringLiteral("John"), QStringLiteral("555-0199")}));
        const QVector<RowId> ids = cur().table()->findRows({Contact::HomePhone}, {QStringLiteral("555-0199")}, Filter());
        QCOMPARE(ids.size(), 1);
        const QVector<QVariant> rec = cur().table()->readRecord(ids.first());
        QCOMPARE(rec.at(cur().table()->fieldIndex(Contact::City)).toString(), QStringLiteral("Shelbyville"));
        QCOMPARE(rec.at(cur().table()->fieldIndex(Contact::BusinessFlag)).toString(), QStringLiteral("N"));

        click("btnExit");
        QCOMPARE(prompt->messages.size(), 1);
        QVERIFY(!form->isVisible());
    }

    // A failed save keeps the user's record: neither "&New" nor "&Exit" may drop it.
    void failedSaveKeepsTheRecordOpen_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("new") << "btnNew";
        QTest::newRow("exit") << "btnExit";
    }
    void failedSaveKeepsTheRecordOpen() {
        QFETCH(QString, button);
        openForAdd();
        type("edtLastName", QStringLiteral("Smith"));
        type("edtFirstName", QStringLiteral("John"));
        type("edtHomePhone", QStringLiteral("555-0100"));
        prompt->answers << Prompt::Answer::Yes;
        click(button.toLatin1().constData());
        QCOMPARE(prompt->messages.size(), 2); // the question, then the duplicate message
        QVERIFY(form->isVisible());
        QCOMPARE(cur().state(), Cursor::State::Insert);
        QCOMPARE(w<QLineEdit>("edtFirstName")->text(), QStringLiteral("John"));
        QCOMPARE(rows(), 2);
        form->close();
    }

    void newStartsAnEmptyPersonalEntry() {
        openForEdit(QStringLiteral("Acme Tools"));
        click("btnNew");
        QVERIFY(prompt->messages.isEmpty());
        QCOMPARE(cur().state(), Cursor::State::Insert);
        QCOMPARE(w<QLineEdit>("edtLastName")->text(), QString());
        QCOMPARE(w<QComboBox>("cmbCategory")->currentText(), QString());
        QVERIFY(w<QRadioButton>("rbPersonal")->isChecked());
        QCOMPARE(w<QLabel>("lblLastName")->text(), QStringLiteral("Last Name"));
        type("edtLastName", QStringLiteral("Jones"));
        click("btnSave");
        QCOMPARE(rows(), 3);
        QCOMPARE(stored(QStringLiteral("Jones"), Contact::BusinessFlag), QStringLiteral("N"));
        QCOMPARE(stored(QStringLiteral("Acme Tools"), Contact::BusinessFlag), QStringLiteral("Y"));
        click("btnExit");
    }

    void titleBarCloseDiscardsWithoutAsking() {
        openForEdit(QStringLiteral("Smith"));
        replace("edtCity", QStringLiteral("Capital City"));
        form->close();
        QVERIFY(prompt->messages.isEmpty());
        QCOMPARE(stored(QStringLiteral("Smith"), Contact::City), QStringLiteral("Springfield"));
        QCOMPARE(cur().state(), Cursor::State::Browse);
    }

    void savedCategoryJoinsTheListAtOnce() {
        openForEdit(QStringLiteral("Smith"));
        auto* category = w<QComboBox>("cmbCategory");
        category->lineEdit()->selectAll();
        QTest::keyClicks(category->lineEdit(), QStringLiteral("family"));
        click("btnSave");
        QCOMPARE(category->currentText(), QStringLiteral("family"));
        QStringList items;
        for (int i = 0; i < category->count(); ++i)
            items << category->itemText(i);
        QCOMPARE(items, (QStringList{QStringLiteral("Work"), QStringLiteral("family")}));
        QCOMPARE(g->categoryList().last(), QStringLiteral("family"));
        click("btnExit");
    }

    void longPastedNoteAndCutFields() {
        openForEdit(QStringLiteral("Smith"));
        QString note;
        for (int i = 0; note.size() < 10000; ++i)
            note += QStringLiteral("Line %1 of a long note\n").arg(i);
        note.truncate(10000);
        QApplication::clipboard()->setText(note);
        w<QPlainTextEdit>("memNotes")->paste();
        type("edtLastName", QString(50, QLatin1Char('x')));
        click("btnSave");
        QVERIFY(prompt->messages.isEmpty());
        const QString last = QStringLiteral("Smith") + QString(35, QLatin1Char('x'));
        QCOMPARE(stored(last, Contact::Notes), note);
        click("btnExit");
    }
};

QTEST_MAIN(TestEditForm)
#include "tst_editform.moc"
