#include "search/TfrmSearch.h"

#include "common/Prompt.h"
#include "print/JobFrame.h"
#include "print/ViewHost.h"
#include "search/SearchHost.h"
#include "store/ContactHost.h"
#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/EngineError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ks {

namespace {
QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false); // Enter belongs to the search text box
    return b;
}
} // namespace

TfrmSearch::TfrmSearch(TfrmGlobal& data, ViewHost& view, ContactHost& host, SearchHost& search, JobFrame& frame,
                       const QList<MatchColumn>& columns, QWidget* parent)
    : QDialog(parent), m_data(data), m_view(view), m_host(host), m_searchHost(search), m_frame(frame),
      m_search(data), m_model(std::make_unique<MatchTableModel>()) {
    setObjectName(QStringLiteral("TfrmSearch"));
    setWindowTitle(QStringLiteral("Search for Entries"));
    setModal(true);
    m_model->setColumns(columns);

    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    btnStartSearch = makeButton(this, "btnStartSearch", QStringLiteral("&Start Search"));
    lblMatching = new QLabel(this);
    lblMatching->setObjectName(QStringLiteral("lblMatching"));
    lblMatching->setMinimumWidth(120);
    auto* searchFor = new QLabel(QStringLiteral("Search For"), this);
    searchFor->setObjectName(QStringLiteral("lblSearchFor"));
    searchFor->setBuddy(txtSearch);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchFor);
    searchRow->addWidget(txtSearch, 1);
    searchRow->addWidget(btnStartSearch);
    searchRow->addSpacing(24);
    auto* matchingItems = new QLabel(QStringLiteral("Matching Items"), this);
    matchingItems->setObjectName(QStringLiteral("lblMatchingItems"));
    searchRow->addWidget(matchingItems);
    searchRow->addWidget(lblMatching);

    auto* grpFields = new QGroupBox(QStringLiteral("Search Fields"), this);
    grpFields->setObjectName(QStringLiteral("grpSearchFields"));
    cmbSearchField = new QComboBox(grpFields);
    cmbSearchField->setObjectName(QStringLiteral("cmbSearchField"));
    cmbSearchField->setMinimumWidth(200);
    cmbSearchField->setMaxVisibleItems(20);
    btnAddField = makeButton(grpFields, "btnAddField", QStringLiteral("&Add Field"));
    btnRemoveField = makeButton(grpFields, "btnRemoveField", QStringLiteral("&Remove Field"));
    btnClearFields = makeButton(grpFields, "btnClearFields", QStringLiteral("&Clear Fields"));
    ListBox1 = new QListWidget(grpFields);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFixedHeight(72);
    chkAllFields = new QCheckBox(QStringLiteral("All Fields"), grpFields);
    chkAllFields->setObjectName(QStringLiteral("chkAllFields"));
    chkMatchCase = new QCheckBox(QStringLiteral("Match Case"), grpFields);
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    auto* fieldButtons = new QVBoxLayout;
    fieldButtons->addWidget(btnAddField);
    fieldButtons->addWidget(btnRemoveField);
    fieldButtons->addWidget(btnClearFields);
    fieldButtons->addStretch(1);
    auto* checks = new QVBoxLayout;
    checks->addWidget(chkAllFields);
    checks->addWidget(chkMatchCase);
    checks->addStretch(1);
    auto* fieldsLayout = new QGridLayout(grpFields);
    fieldsLayout->addWidget(cmbSearchField, 0, 0, Qt::AlignTop);
    fieldsLayout->addLayout(fieldButtons, 0, 1);
    fieldsLayout->addWidget(ListBox1, 0, 2);
    fieldsLayout->addLayout(checks, 0, 3);
    fieldsLayout->setColumnStretch(2, 1);

    stgFound = new QTableView(this);
    stgFound->setObjectName(QStringLiteral("stgFound"));
    stgFound->setModel(m_model.get());
    stgFound->setSelectionBehavior(QAbstractItemView::SelectRows);
    stgFound->setSelectionMode(QAbstractItemView::SingleSelection);
    stgFound->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stgFound->setWordWrap(false);
    stgFound->verticalHeader()->hide();
    stgFound->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    stgFound->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    stgFound->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    stgFound->horizontalHeader()->setHighlightSections(false);
    stgFound->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    stgFound->horizontalHeader()->setDefaultSectionSize(64);
    sizeColumns();

    btnGoToRecord = makeButton(this, "btnGoToRecord", QStringLiteral("&Go To Record"));
    btnPrintMatches = makeButton(this, "btnPrintMatches", QStringLiteral("&Print Matches"));
    btnMoveMatches = makeButton(this, "btnMoveMatches", QStringLiteral("&Move Matches To This Category"));
    cmbChangeToCategory = new QComboBox(this);
    cmbChangeToCategory->setObjectName(QStringLiteral("cmbChangeToCategory"));
    cmbChangeToCategory->setEditable(true);
    cmbChangeToCategory->setInsertPolicy(QComboBox::NoInsert);
    if (cmbChangeToCategory->completer())
        cmbChangeToCategory->completer()->setCaseSensitivity(Qt::CaseSensitive);
    cmbChangeToCategory->lineEdit()->setMaxLength(40);
    cmbChangeToCategory->setMinimumWidth(200);
    btnClose = makeButton(this, "btnClose", QStringLiteral("&Close"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btnGoToRecord);
    bottom->addWidget(btnPrintMatches);
    bottom->addSpacing(24);
    bottom->addWidget(btnMoveMatches);
    bottom->addWidget(cmbChangeToCategory);
    bottom->addStretch(1);
    bottom->addWidget(btnClose);

    auto* top = new QVBoxLayout(this);
    top->addLayout(searchRow);
    top->addWidget(grpFields);
    top->addWidget(stgFound, 1);
    top->addLayout(bottom);
    setFixedSize(940, 600); // a single border: the dialog keeps its size

    pmPrint = new QMenu(this);
    pmPrint->setObjectName(QStringLiteral("pmPrint"));
    mnuEnvelopes = pmPrint->addAction(QStringLiteral("&Envelope(s)"));
    mnuEnvelopes->setObjectName(QStringLiteral("mnuEnvelopes"));
    QAction* labels = pmPrint->addAction(QStringLiteral("&Labels"));
    labels->setObjectName(QStringLiteral("mnuLabels"));
    QMenu* reports = pmPrint->addMenu(QStringLiteral("&Reports"));
    reports->setObjectName(QStringLiteral("mnuReports"));
    mnuAddresses = reports->addAction(QStringLiteral("&Addresses"));
    mnuAddresses->setObjectName(QStringLiteral("mnuAddresses"));
    QAction* byCategory = reports->addAction(QStringLiteral("Addresses by &Category w/Notes"));
    byCategory->setObjectName(QStringLiteral("mnuAddressesByCategory"));
    QAction* condensed = reports->addAction(QStringLiteral("C&ondensed Address Listing"));
    condensed->setObjectName(QStringLiteral("mnuCondensedListing"));
    QAction* namesNotes = reports->addAction(QStringLiteral("&Names and Notes"));
    namesNotes->setObjectName(QStringLiteral("mnuNamesAndNotes"));
    // These jobs print the whole view, not a list of matches; they have no meaning here.
    for (QAction* a : {labels, byCategory, condensed, namesNotes})
        a->setEnabled(false);
    mnuEnvelopes->setEnabled(false);
    mnuAddresses->setEnabled(false);
    connect(mnuEnvelopes, &QAction::triggered, this, [this] {
        if (m_envelopes)
            m_envelopes(matches());
    });
    connect(mnuAddresses, &QAction::triggered, this, [this] {
        if (m_addresses)
            m_addresses(matches());
    });

    connect(btnStartSearch, &QPushButton::clicked, this, &TfrmSearch::btnStartSearchClick);
    connect(txtSearch, &QLineEdit::returnPressed, this, &TfrmSearch::btnStartSearchClick);
    connect(btnGoToRecord, &QPushButton::clicked, this, &TfrmSearch::btnGoToRecordClick);
    connect(btnMoveMatches, &QPushButton::clicked, this, &TfrmSearch::btnMoveMatchesClick);
    connect(btnPrintMatches, &QPushButton::clicked, this, &TfrmSearch::btnPrintMatchesClick);
    connect(btnAddField, &QPushButton::clicked, this, &TfrmSearch::btnAddFieldClick);
    connect(btnRemoveField, &QPushButton::clicked, this, &TfrmSearch::btnRemoveFieldClick);
    connect(btnClearFields, &QPushButton::clicked, this, &TfrmSearch::btnClearFieldsClick);
    connect(chkAllFields, &QCheckBox::clicked, this, &TfrmSearch::chkAllFieldsClick);
    connect(stgFound, &QTableView::doubleClicked, this, &TfrmSearch::stgFoundDblClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmSearch::close);
}

TfrmSearch::~TfrmSearch() {
    stgFound->setModel(nullptr);
}

void TfrmSearch::setGridColumns(const QList<MatchColumn>& columns) {
    m_model->setColumns(columns);
    sizeColumns();
}

void TfrmSearch::setEnvelopeHandler(std::function<void(const MatchList&)> handler) {
    m_envelopes = std::move(handler);
    mnuEnvelopes->setEnabled(bool(m_envelopes));
}

void TfrmSearch::setAddressListingHandler(std::function<void(const MatchList&)> handler) {
    m_addresses = std::move(handler);
    mnuAddresses->setEnabled(bool(m_addresses));
}

void TfrmSearch::sizeColumns() {
    QHeaderView* h = stgFound->horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c)
        h->resizeSection(c, c == 0 ? 98 : c == 1 ? 92 : 64);
}

void TfrmSearch::fillTargetCategories() {
    const QString text = cmbChangeToCategory->currentText();
    cmbChangeToCategory->clear();
    cmbChangeToCategory->addItems(m_data.categoryList().mid(1));
    cmbChangeToCategory->setCurrentIndex(-1);
    cmbChangeToCategory->setEditText(text);
}

void TfrmSearch::showEvent(QShowEvent* event) {
    m_searchHost.setSearchGoTo(false);
    m_model->clear();
    txtSearch->clear();
    lblMatching->clear();
    cmbChangeToCategory->setEditText(QString());
    fillTargetCategories();
    chkAllFields->setChecked(true);
    cmbSearchField->setEnabled(false);
    try {
        cmbSearchField->clear();
        cmbSearchField->addItems(m_search.fieldNames());
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
    cmbSearchField->setCurrentIndex(-1);
    QDialog::showEvent(event);
    txtSearch->setFocus(Qt::OtherFocusReason);
}

void TfrmSearch::btnStartSearchClick() {
    m_model->clear();
    try {
        ContactSearch::Request request;
        request.text = txtSearch->text();
        request.allFields = chkAllFields->isChecked();
        for (int i = 0; i < ListBox1->count(); ++i)
            request.fields << ListBox1->item(i)->text();
        request.matchCase = chkMatchCase->isChecked();
        m_model->setMatches(m_search.source(), m_search.find(request));
        lblMatching->setText(QStringLiteral("%1 of %2").arg(m_model->matchCount()).arg(m_search.recordCount()));
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
    // As in a grid of strings, a row is always chosen: the first match.
    stgFound->setCurrentIndex(m_model->index(0, 0));
}

void TfrmSearch::btnGoToRecordClick() {
    const QModelIndexList rows = stgFound->selectionModel()->selectedRows();
    goToMatch(rows.isEmpty() ? stgFound->currentIndex().row() : rows.constFirst().row());
}

void TfrmSearch::stgFoundDblClick(const QModelIndex& index) {
    if (!index.isValid() || m_model->cell(index.row(), 0).trimmed().isEmpty())
        return;
    goToMatch(index.row());
}

// The main window ends on all categories, on the match's record; a record removed meanwhile
// leaves it where it was.
void TfrmSearch::goToMatch(int match) {
    try {
        m_view.SelectAllCategories();
        const RowId id = m_model->rowIdAt(match);
        Cursor& main = *m_data.tblPhoneBook();
        if (id != 0)
            main.gotoRowId(id);
        // The view put back when the dialog closes is this one: all categories, this record.
        m_frame.SaveView();
        m_searchHost.setSearchGoTo(true);
        m_searchHost.focusGrid();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
        return;
    }
    accept();
}

void TfrmSearch::btnMoveMatchesClick() {
    const QString category = cmbChangeToCategory->currentText();
    try {
        m_search.moveToCategory(m_model->rowIds(), category);
        m_host.CopyCategoryList();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
    fillTargetCategories();
    m_model->refreshValues();
}

void TfrmSearch::btnPrintMatchesClick() {
    if (m_model->matchCount() == 0)
        return;
    pmPrint->popup(btnPrintMatches->mapToGlobal(QPoint(0, 0)));
}

void TfrmSearch::btnAddFieldClick() {
    const QString name = cmbSearchField->currentText();
    if (ListBox1->findItems(name, Qt::MatchExactly).isEmpty())
        ListBox1->addItem(name);
}

void TfrmSearch::btnRemoveFieldClick() {
    const int row = ListBox1->currentRow();
    if (row >= 0 && ListBox1->item(row)->isSelected())
        delete ListBox1->takeItem(row);
}

void TfrmSearch::btnClearFieldsClick() { ListBox1->clear(); }

void TfrmSearch::chkAllFieldsClick() { cmbSearchField->setEnabled(!chkAllFields->isChecked()); }

} // namespace ks
