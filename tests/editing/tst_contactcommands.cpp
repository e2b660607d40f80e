#include "editing/FakeMainWindow.h"

#include "common/ScriptedPrompt.h"
#include "print/JobFrame.h"
#include "store/ContactCommands.h"
#include "store/TKestrumEditForm.h"
#include "store/engine/Connection.h"
#include "store/engine/Table.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace ks;

class TestContactCommands : public QObject {
    Q_OBJECT
private:
    QTemporaryDir* m_dir = nullptr;
    TfrmGlobal* g = nullptr;
    FakeMainWindow* host = nullptr;
    JobFrame* frame = nullptr;
    TKestrumEditForm* form = nullptr;
    ContactCommands* commands = nullptr;
    ScriptedPrompt* prompt = nullptr;

    Cursor& cur() { return *g->tblPhoneBook(); }
    QStringList allNames() {
        Cursor c(g->AdsConnection1(), Contact::TableFile);
        c.open();
        c.setIndexName(Contact::UniqueIndex);
        QStringList out;
        for (c.first(); !c.eof(); c.next())
            out << c.text(Contact::LastName);
        return out;
    }
    RowId idOf(const QString& last) {
        return cur().table()->findRows({Contact::LastName}, {last}, Filter()).value(0);
    }
    // Runs the modal edit dialog's user side once it is up.
    void whenFormShows(std::function<void()> steps) {
        QTimer::singleShot(0, this, [this, steps] {
            QVERIFY(form->isVisible());
            steps();
            if (form->isVisible()) {
                QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnExit")), Qt::LeftButton);
            }
        });
    }
    void typeInto(const char* edit, const QString& text) {
        QTest::keyClicks(form->findChild<QLineEdit*>(QLatin1String(edit)), text);
    }

private slots:
    void init() {
        prompt = ScriptedPrompt::installNew();
        m_dir = new QTemporaryDir;
        g = new TfrmGlobal(m_dir->path());
        g->openTables();
        const QList<QPair<QString, QString>> people{{QStringLiteral("Adams"), QStringLiteral("Home")},
                                                    {QStringLiteral("Baker"), QStringLiteral("Work")},
                                                    {QStringLiteral("Clark"), QStringLiteral("Work")},
                                                    {QStringLiteral("Davis"), QString()},
                                                    {QStringLiteral("Evans"), QStringLiteral("Work")},
                                                    {QStringLiteral("O'Brien"), QStringLiteral("Home")}};
        for (const auto& p : people)
            addContact(*g, {{Contact::LastName, p.first}, {Contact::Category, p.second}});
        g->BuildCategoryList();
        cur().setIndexName(Contact::UniqueIndex);
        cur().first();
        host = new FakeMainWindow(*g);
        host->CopyCategoryList();
        frame = new JobFrame(*g, *host);
        form = new TKestrumEditForm(*g);
        commands = new ContactCommands(*g, *host, *host, *frame, *form);
    }
    void cleanup() {
        delete commands;
        delete form;
        delete frame;
        delete host;
        delete g;
        delete m_dir;
        Prompt::install(nullptr);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void removeWithoutSelectionTakesTheCurrentRecord() {
        QVERIFY(gotoName(*g, QStringLiteral("Baker")));
        commands->Remove();
        QCOMPARE(prompt->messages, QStringList{QStringLiteral("Delete the 1 selected record(s)?")});
        QCOMPARE(allNames(), (QStringList{"Adams", "Clark", "Davis", "Evans", "O'Brien"}));
        QCOMPARE(host->selection, QVector<RowId>{cur().currentRowId()});
        QCOMPARE(cur().indexName(), Contact::UniqueIndex);
    }

    void removingTheLastOfACategoryShowsAllCategories() {
        host->setCategoryText(QStringLiteral("Work"));
        commands->SelectAll();
        QCOMPARE(host->selectedNames(), (QStringList{"Baker", "Clark", "Evans"}));
        commands->Remove();
        QCOMPARE(prompt->messages, QStringList{QStringLiteral("Delete the 3 selected record(s)?")});
        QCOMPARE(allNames(), (QStringList{"Adams", "Davis", "O'Brien"}));
        QCOMPARE(g->categoryList(), (QStringList{Contact::AllCategories, "Home"}));
        QCOMPARE(host->categoryBox, g->categoryList());
        QCOMPARE(host->category, Contact::AllCategories);
        QCOMPARE(host->viewNames(), (QStringList{"Adams", "Davis", "O'Brien"}));
        QCOMPARE(host->selection.size(), 1);
    }

    void removeAnsweredNoChangesNothing() {
        host->selectRowId(idOf(QStringLiteral("Clark")));
        host->selectRowId(idOf(QStringLiteral("Adams")));
        prompt->answers << Prompt::Answer::No;
        commands->Remove();
        QCOMPARE(prompt->messages, QStringList{QStringLiteral("Delete the 2 selected record(s)?")});
        QCOMPARE(allNames().size(), 6);
        QCOMPARE(host->selectedNames(), (QStringList{"Clark", "Adams"}));
    }

    void removeOnAnEmptyViewDeletesNothing() {
        host->setCategoryText(QStringLiteral("Nobody"));
        commands->Remove();
        QCOMPARE(prompt->messages, QStringList{QStringLiteral("Delete the 0 selected record(s)?")});
        QCOMPARE(allNames().size(), 6);
        QCOMPARE(host->category, Contact::AllCategories);
    }

    void selectAllAndNoneActOnTheViewOnly() {
        host->selectRowId(idOf(QStringLiteral("Adams")));
        host->setCategoryText(QStringLiteral("Home")); // applying a category clears the selection
        host->selection = {idOf(QStringLiteral("Baker"))}; // hidden by the filter
        commands->SelectAll();
        QCOMPARE(host->selectedNames(), (QStringList{"Baker", "Adams", "O'Brien"}));
        QCOMPARE(cur().text(Contact::LastName), QStringLiteral("O'Brien"));
        commands->SelectNone();
        QCOMPARE(host->selectedNames(), QStringList{"Baker"});
    }

    void goToCategory_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::newRow("with a category") << "O'Brien" << "Home";
        QTest::newRow("empty category does nothing") << "Davis" << "All Categories";
    }
    void goToCategory() {
        QFETCH(QString, name);
        QFETCH(QString, category);
        QVERIFY(gotoName(*g, name));
        commands->GoToCategory();
        QCOMPARE(host->category, category);
        QCOMPARE(cur().text(Contact::LastName), name);
        commands->AllCategories();
        QCOMPARE(host->category, Contact::AllCategories);
        QCOMPARE(cur().text(Contact::LastName), name);
    }

    void reIndexKeepsEntriesAndSelection() {
        host->selectRowId(idOf(QStringLiteral("Evans")));
        commands->Remove();
        host->setCategoryText(QStringLiteral("Work"));
        host->selection = {idOf(QStringLiteral("Clark"))};
        commands->ReIndexData();
        QCOMPARE(prompt->messages.last(), QStringLiteral("Data Reindexed."));
        QCOMPARE(allNames(), (QStringList{"Adams", "Baker", "Clark", "Davis", "O'Brien"}));
        QVERIFY(cur().isOpen() && g->tblAuxPhoneBook()->isOpen());
        QCOMPARE(host->viewNames(), (QStringList{"Baker", "Clark"})); // filter and order kept
        QCOMPARE(cur().recNo(), 1);
        QCOMPARE(host->selectedNames(), QStringList{"Clark"});
    }

    void reIndexWhileAnotherProgramWritesLosesNothing() {
        Connection other(m_dir->path());
        auto table = other.table(Contact::TableFile);
        table->beginTransaction();
        table->setFieldForRows(Contact::City, QStringLiteral("Busy"), {1});
        commands->ReIndexData();
        table->rollback();
        QCOMPARE(prompt->messages.size(), 1);
        QVERIFY2(prompt->messages.first().contains(QStringLiteral("locked")), qPrintable(prompt->messages.first()));
        QVERIFY(cur().isOpen() && g->tblAuxPhoneBook()->isOpen());
        QCOMPARE(allNames().size(), 6);
    }

    void editWithACategoryEndsOnAllCategories() {
        host->setCategoryText(QStringLiteral("Work"));
        QVERIFY(gotoName(*g, QStringLiteral("Clark")));
        whenFormShows([this] {
            typeInto("edtFirstName", QStringLiteral("Ann"));
            QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
        });
        commands->Edit();
        QVERIFY(!form->isVisible());
        QCOMPARE(host->category, Contact::AllCategories);
        QCOMPARE(cur().state(), Cursor::State::Browse);
        QCOMPARE(cur().text(Contact::LastName), QStringLiteral("Clark"));
        QCOMPARE(cur().text(Contact::FirstName), QStringLiteral("Ann"));
        QCOMPARE(host->viewNames().size(), 6);
    }

    void addWithACategoryRestoresTheView() {
        host->setCategoryText(QStringLiteral("Work"));
        QVERIFY(gotoName(*g, QStringLiteral("Clark")));
        host->selection = {idOf(QStringLiteral("Baker")), idOf(QStringLiteral("Clark"))};
        whenFormShows([this] {
            typeInto("edtLastName", QStringLiteral("Fisher"));
            QTest::keyClicks(form->findChild<QComboBox*>(QStringLiteral("cmbCategory"))->lineEdit(),
                             QStringLiteral("Garden"));
            QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
        });
        commands->Add();
        QCOMPARE(allNames().size(), 7);
        QCOMPARE(host->category, QStringLiteral("Work"));
        QCOMPARE(host->viewNames(), (QStringList{"Baker", "Clark", "Evans"}));
        QCOMPARE(cur().text(Contact::LastName), QStringLiteral("Clark"));
        QStringList selected = host->selectedNames();
        selected.sort();
        QCOMPARE(selected, (QStringList{"Baker", "Clark"}));
        QVERIFY(host->categoryBox.contains(QStringLiteral("Garden")));
    }

    void addToAnEmptyViewEndsOnTheNewEntry() {
        host->setCategoryText(QStringLiteral("Nobody"));
        whenFormShows([this] {
            typeInto("edtLastName", QStringLiteral("Fisher"));
            QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
            // Going on after the save changes the same record.
            typeInto("edtCity", QStringLiteral("Ogdenville"));
            QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
        });
        commands->Add();
        QVERIFY(prompt->messages.isEmpty());
        QCOMPARE(allNames().size(), 7);
        QCOMPARE(cur().text(Contact::LastName), QStringLiteral("Fisher"));
        QCOMPARE(cur().text(Contact::City), QStringLiteral("Ogdenville"));
        QCOMPARE(g->EditedRowKey.lastName, QStringLiteral("Fisher"));
    }
};

QTEST_MAIN(TestContactCommands)
#include "tst_contactcommands.moc"
