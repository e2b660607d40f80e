#pragma once

#include "search/ContactSearch.h"
#include "search/MatchTableModel.h"

#include <QDialog>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QModelIndex;
class QPushButton;
class QTableView;

namespace ks {

class ContactHost;
class JobFrame;
class SearchHost;
class TfrmGlobal;
class ViewHost;

// "Search for Entries": finds the records holding a text, lists one row per record, goes to one in
// the main window, moves all of them to a category and prints them.
class TfrmSearch : public QDialog {
    Q_OBJECT
public:
    TfrmSearch(TfrmGlobal& data, ViewHost& view, ContactHost& host, SearchHost& search, JobFrame& frame,
               const QList<MatchColumn>& columns, QWidget* parent = nullptr);
    ~TfrmSearch() override;

    // The main window's grid columns (field and title) in grid order; titles and values of the
    // match list follow them.
    void setGridColumns(const QList<MatchColumn>& columns);
    const MatchList& matches() const { return m_model->matchList(); }
    MatchTableModel& matchModel() const { return *m_model; }

    // The print menu's "&Envelope(s)" and "&Reports" > "&Addresses" stay disabled until a handler
    // is set; each gets the match list.
    void setEnvelopeHandler(std::function<void(const MatchList&)> handler);
    void setAddressListingHandler(std::function<void(const MatchList&)> handler);

    void btnStartSearchClick();
    void btnGoToRecordClick();
    void btnMoveMatchesClick();
    void btnPrintMatchesClick();
    void btnAddFieldClick();
    void btnRemoveFieldClick();
    void btnClearFieldsClick();
    void chkAllFieldsClick();
    void stgFoundDblClick(const QModelIndex& index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void goToMatch(int match);
    void fillTargetCategories();
    void sizeColumns();

    TfrmGlobal& m_data;
    ViewHost& m_view;
    ContactHost& m_host;
    SearchHost& m_searchHost;
    JobFrame& m_frame;
    ContactSearch m_search;
    std::unique_ptr<MatchTableModel> m_model;
    std::function<void(const MatchList&)> m_envelopes;
    std::function<void(const MatchList&)> m_addresses;

    QLineEdit* txtSearch = nullptr;
    QPushButton* btnStartSearch = nullptr;
    QLabel* lblMatching = nullptr;
    QComboBox* cmbSearchField = nullptr;
    QPushButton* btnAddField = nullptr;
    QPushButton* btnRemoveField = nullptr;
    QPushButton* btnClearFields = nullptr;
    QListWidget* ListBox1 = nullptr;
    QCheckBox* chkAllFields = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QTableView* stgFound = nullptr;
    QPushButton* btnGoToRecord = nullptr;
    QPushButton* btnPrintMatches = nullptr;
    QPushButton* btnMoveMatches = nullptr;
    QComboBox* cmbChangeToCategory = nullptr;
    QPushButton* btnClose = nullptr;
    QMenu* pmPrint = nullptr;
    QAction* mnuEnvelopes = nullptr;
    QAction* mnuAddresses = nullptr;
};

} // namespace ks
