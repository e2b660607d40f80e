#pragma once

#include "print/ViewHost.h"
#include "search/SearchHost.h"
#include "store/ContactHost.h"
#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QStringList>
#include <QVector>

// The main window's side of the commands: a category box that applies itself as the real one does,
// a grid selection held as row ids, and the search go-to flag.
class FakeMainWindow : public ks::ViewHost, public ks::ContactHost, public ks::SearchHost {
public:
    explicit FakeMainWindow(ks::TfrmGlobal& data) : g(data), cur(*data.tblPhoneBook()) {}

    ks::TfrmGlobal& g;
    ks::Cursor& cur;
    QString category = ks::Contact::AllCategories;
    QStringList categoryBox;
    QVector<ks::RowId> selection;
    bool goTo = false;
    int gridFocused = 0;

    QString categoryText() const override { return category; }
    void setCategoryText(const QString& text) override {
        category = text;
        const ks::RowKey key = g.currentRowKey();
        const QStringList fields{ks::Contact::LastName, ks::Contact::FirstName, ks::Contact::HomePhone};
        const QVariantList values{key.lastName, key.firstName, key.homePhone};
        if (text == ks::Contact::AllCategories) {
            cur.setFiltered(false);
            cur.locate(fields, values);
            return;
        }
        selection.clear();
        cur.setFiltered(false);
        cur.setFilter(ks::Filter::equals(ks::Contact::Category, text));
        cur.setFiltered(true);
        if (!cur.locate(fields, values))
            cur.first();
        selectCurrentRow();
    }
    void SelectAllCategories() override { setCategoryText(ks::Contact::AllCategories); }
    QVector<ks::RowId> selectedRowIds() const override { return selection; }
    void selectRowId(ks::RowId id) override {
        if (id != 0 && !selection.contains(id))
            selection << id;
    }
    void selectCurrentRow() override { selectRowId(cur.recordCount() > 0 ? cur.currentRowId() : 0); }
    void reapplySortOrder() override {}
    void focusSortColumn() override {}

    void CopyCategoryList() override { categoryBox = g.categoryList(); }
    void setRowsSelected(const QVector<ks::RowId>& ids, bool selected) override {
        for (ks::RowId id : ids) {
            if (selected)
                selectRowId(id);
            else
                selection.removeAll(id);
        }
    }

    bool searchGoTo() const override { return goTo; }
    void setSearchGoTo(bool on) override { goTo = on; }
    void focusGrid() override { ++gridFocused; }

    // Names (last names) of the view, in view order.
    QStringList viewNames() const {
        QStringList out;
        for (int i = 0; i < cur.recordCount(); ++i)
            out << cur.valueAt(i, cur.fieldIndex(ks::Contact::LastName)).toString();
        return out;
    }
    QStringList selectedNames() const {
        QStringList out;
        for (ks::RowId id : selection)
            out << cur.table()->readRecord(id).value(0).toString();
        return out;
    }
};

// Adds a record through the aux cursor, so the main cursor stays where the test put it.
inline void addContact(ks::TfrmGlobal& g, const QList<QPair<QString, QString>>& values) {
    ks::Cursor& c = *g.tblAuxPhoneBook();
    c.append();
    for (const auto& v : values)
        c.setValue(v.first, v.second);
    c.post();
}

// Moves the main cursor to the record with this last name.
inline bool gotoName(ks::TfrmGlobal& g, const QString& lastName) {
    return g.tblPhoneBook()->locate({ks::Contact::LastName}, {lastName});
}
