#include "store/ContactCommands.h"

#include "common/Prompt.h"
#include "print/JobFrame.h"
#include "print/ViewHost.h"
#include "store/ContactHost.h"
#include "store/ContactSchema.h"
#include "store/TKestrumEditForm.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/EngineError.h"
#include "store/engine/Table.h"

namespace ks {

namespace {
const QStringList& keyFields() {
    static const QStringList f{Contact::LastName, Contact::FirstName, Contact::HomePhone};
    return f;
}
} // namespace

ContactCommands::ContactCommands(TfrmGlobal& data, ViewHost& view, ContactHost& host, JobFrame& frame,
                                 TKestrumEditForm& form)
    : m_data(data), m_view(view), m_host(host), m_frame(frame), m_form(form) {}

Cursor& ContactCommands::cursor() const { return *m_data.tblPhoneBook(); }

QString ContactCommands::removeQuestion(int count) {
    return QStringLiteral("Delete the %1 selected record(s)?").arg(count);
}

void ContactCommands::showEditForm() {
    m_form.exec();
    // After "&Exit" following a save the record is open again with nothing changed; the grid
    // wants the cursor browsing.
    Cursor& c = cursor();
    if (c.isOpen() && c.state() != Cursor::State::Browse && !c.modified())
        c.cancel();
}

void ContactCommands::locateEditedRowKey() {
    const RowKey& k = m_data.EditedRowKey;
    try {
        cursor().locate(keyFields(), {k.lastName, k.firstName, k.homePhone});
    } catch (const EngineError&) {
        cursor().first();
    }
}

void ContactCommands::Edit() {
    try {
        if (!m_frame.SaveView())
            return;
        m_data.EditedRowKey = m_data.currentRowKey();
        m_view.SelectAllCategories();
        cursor().edit();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
        return;
    }
    showEditForm();
    try {
        m_host.CopyCategoryList();
        locateEditedRowKey();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

void ContactCommands::Add() {
    bool hadView = false;
    try {
        hadView = m_frame.SaveView();
        if (hadView) {
            m_data.EditedRowKey = m_data.currentRowKey();
            m_view.SelectAllCategories();
        } else if (cursor().filtered()) {
            // An empty category: a new entry of another category would drop out of the view as
            // soon as it is saved, and could not be edited further.
            m_view.SelectAllCategories();
        }
        cursor().append();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
        return;
    }
    showEditForm();
    try {
        if (!hadView)
            m_data.EditedRowKey = m_data.currentRowKey();
        m_host.CopyCategoryList();
        locateEditedRowKey();
        if (hadView)
            m_frame.RestoreView();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

void ContactCommands::Remove() {
    try {
        Cursor& c = cursor();
        if (c.recordCount() > 0 && m_view.selectedRowIds().isEmpty())
            m_view.selectCurrentRow();
        const QVector<RowId> ids = m_view.selectedRowIds();
        if (Prompt::current().message(removeQuestion(int(ids.size())), Prompt::Buttons::YesNo,
                                      Prompt::Icon::Question) != Prompt::Answer::Yes)
            return;
        DeleteSelectedEntries(ids);
        m_data.BuildCategoryList();
        m_host.CopyCategoryList();
        if (c.recordCount() == 0)
            m_view.SelectAllCategories();
        if (c.recordCount() > 0)
            m_view.selectCurrentRow();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

// The selected records go in one transaction; a row that is already gone is passed over.
void ContactCommands::DeleteSelectedEntries(const QVector<RowId>& ids) {
    Cursor& c = cursor();
    c.setIndexName(Contact::UniqueIndex);
    if (ids.isEmpty())
        return;
    c.table()->deleteRows(ids);
    m_host.setRowsSelected(ids, false);
}

QVector<RowId> ContactCommands::viewRowIds() const {
    const Cursor& c = cursor();
    const int n = c.recordCount();
    QVector<RowId> ids;
    ids.reserve(n);
    for (int i = 0; i < n; ++i)
        ids << c.rowIdAt(i);
    return ids;
}

void ContactCommands::setViewSelected(bool selected) {
    try {
        Cursor& c = cursor();
        if (!c.isOpen())
            return;
        const QVector<RowId> ids = viewRowIds();
        if (!ids.isEmpty())
            m_host.setRowsSelected(ids, selected);
        c.last();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

void ContactCommands::SelectAll() { setViewSelected(true); }

void ContactCommands::SelectNone() { setViewSelected(false); }

void ContactCommands::GoToCategory() {
    try {
        Cursor& c = cursor();
        if (c.recordCount() == 0)
            return;
        const QString category = c.text(Contact::Category);
        if (category.trimmed().isEmpty())
            return;
        m_view.setCategoryText(category);
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

void ContactCommands::AllCategories() {
    try {
        m_view.SelectAllCategories();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

void ContactCommands::ReIndexData() {
    Cursor& main = *m_data.tblPhoneBook();
    Cursor& aux = *m_data.tblAuxPhoneBook();
    // Compacting may renumber records, so the grid selection is carried over by row key.
    QVector<RowId> oldSelection;
    QVector<RowKey> selectedKeys;
    QString error;
    try {
        oldSelection = m_view.selectedRowIds();
        if (main.isOpen()) {
            auto table = main.table();
            const int last = table->fieldIndex(Contact::LastName);
            const int first = table->fieldIndex(Contact::FirstName);
            const int phone = table->fieldIndex(Contact::HomePhone);
            for (RowId id : std::as_const(oldSelection)) {
                const QVector<QVariant> rec = table->readRecord(id);
                if (!rec.isEmpty())
                    selectedKeys << RowKey{rec.at(last).toString(), rec.at(first).toString(), rec.at(phone).toString()};
            }
        }
        main.close();
        aux.close();
        m_data.AdsConnection1().table(Contact::TableFile)->reindex();
    } catch (const EngineError& e) {
        error = e.message();
    }
    // Whatever happened, the table is opened again: nothing is lost when another program holds it.
    try {
        main.open();
        aux.open();
        if (!oldSelection.isEmpty())
            m_host.setRowsSelected(oldSelection, false);
        QVector<RowId> reselect;
        for (const RowKey& k : std::as_const(selectedKeys)) {
            const QVector<RowId> ids = main.table()->findRows(keyFields(), {k.lastName, k.firstName, k.homePhone},
                                                              main.filtered() ? main.filter() : Filter());
            if (!ids.isEmpty())
                reselect << ids.first();
        }
        if (!reselect.isEmpty())
            m_host.setRowsSelected(reselect, true);
    } catch (const EngineError& e) {
        if (error.isEmpty())
            error = e.message();
    }
    if (!error.isEmpty())
        Prompt::current().error(error);
    else
        Prompt::current().info(QStringLiteral("Data Reindexed."));
}

} // namespace ks
