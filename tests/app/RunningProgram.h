#pragma once

#include "AppTestSupport.h"

#include "app/ContactGrid.h"
#include "app/ContactGridModel.h"
#include "app/GridSelection.h"
#include "app/KestrumStartup.h"
#include "app/TKestrumMainForm.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"

#include <QComboBox>
#include <QHeaderView>
#include <QtTest>
#include <algorithm>

namespace kstest {

// A program directory holding a contact table of these people (and these settings, if any).
struct PreparedHome {
    explicit PreparedHome(const QList<Person>& people, const QByteArray& ini = QByteArray()) {
        home.addPeople(people);
        if (!ini.isEmpty())
            home.writeIni(ini);
    }
    AppHome home;
};

// The program started over the current program directory and driven as a user drives it: what the
// grid shows, clicks on rows and titles, the category box. The window closes at the end.
class RunningProgram {
public:
    RunningProgram() {
        if (s.start() != ks::KestrumStartup::Outcome::Running)
            qFatal("the program did not start");
        w = s.mainForm();
    }
    ~RunningProgram() {
        if (!s.mainWindowClosed())
            w->close();
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    ks::Cursor& cursor() const { return *w->data().tblPhoneBook(); }
    const ks::ContactGridModel& model() const { return w->grid().gridModel(); }
    int column(const QString& field) const { return model().columnOfField(field); }
    QStringList values(const QString& field) const {
        QStringList out;
        for (int r = 0; r < model().rowCount(); ++r)
            out << model().data(model().index(r, column(field))).toString();
        return out;
    }
    QStringList firstNames() const { return values(ks::Contact::FirstName); }
    int rowOf(const QString& first) const { return int(firstNames().indexOf(first)); }
    ks::RowId idOf(const QString& first) const { return model().rowIdAt(rowOf(first)); }
    QString currentFirstName() const { return cursor().text(ks::Contact::FirstName); }
    QStringList selectedFirstNames() const {
        QStringList out;
        for (ks::RowId id : w->grid().selection().rowIds())
            out << model().data(model().index(model().rowOf(id), column(ks::Contact::FirstName))).toString();
        std::sort(out.begin(), out.end());
        return out;
    }
    // A click on a row, with Ctrl to add it to the selection.
    void clickRow(const QString& first, Qt::KeyboardModifiers mods = Qt::NoModifier) const {
        const QRect r = w->grid().visualRect(model().index(rowOf(first), column(ks::Contact::FirstName)));
        QTest::mouseClick(w->grid().viewport(), Qt::LeftButton, mods, r.center());
    }
    void clickTitle(const QString& field) const { emit w->grid().horizontalHeader()->sectionClicked(column(field)); }
    void chooseCategory(const QString& text) const {
        QComboBox& box = w->categoryBox();
        box.setCurrentIndex(box.findText(text));
    }
    template <class T> T* find(const char* name) const { return w->findChild<T*>(QLatin1String(name)); }

    ks::KestrumStartup s;
    ks::TKestrumMainForm* w = nullptr;
};

} // namespace kstest
