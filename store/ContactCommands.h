#pragma once

#include <QString>
#include <QVector>

namespace ks {

class ContactHost;
class Cursor;
class JobFrame;
class TKestrumEditForm;
class TfrmGlobal;
class ViewHost;
using RowId = qint64;

// The main window's commands on entries: add, edit, remove, grid selection, categories and
// re-indexing. The window only calls these; engine errors end here as a message.
class ContactCommands {
public:
    ContactCommands(TfrmGlobal& data, ViewHost& view, ContactHost& host, JobFrame& frame, TKestrumEditForm& form);

    void Add();
    void Edit();
    void Remove();
    void SelectAll();
    void SelectNone();
    void GoToCategory();
    void AllCategories();
    void ReIndexData();

    static QString removeQuestion(int count);

private:
    Cursor& cursor() const;
    void showEditForm();
    void locateEditedRowKey();
    void DeleteSelectedEntries(const QVector<RowId>& ids);
    QVector<RowId> viewRowIds() const;
    void setViewSelected(bool selected);

    TfrmGlobal& m_data;
    ViewHost& m_view;
    ContactHost& m_host;
    JobFrame& m_frame;
    TKestrumEditForm& m_form;
};

} // namespace ks
