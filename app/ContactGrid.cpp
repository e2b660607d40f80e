#include "app/ContactGrid.h"

#include "app/ContactGridModel.h"
#include "app/GridSelection.h"
#include "store/engine/Cursor.h"

#include <QHeaderView>
#include <QResizeEvent>

namespace ks {

ContactGrid::ContactGrid(Cursor& cursor, QWidget* parent)
    : QTableView(parent), m_cursor(cursor), m_model(std::make_unique<ContactGridModel>(cursor)) {
    setObjectName(QStringLiteral("dbgPerson"));
    setModel(m_model.get());
    m_selection = std::make_unique<GridSelection>(*m_model, *selectionModel());

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setCornerButtonEnabled(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* top = horizontalHeader();
    top->setSectionsMovable(true);
    top->setSectionsClickable(true);
    top->setHighlightSections(false);
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    top->setTextElideMode(Qt::ElideRight);
    // Fixed rows and a narrow indicator column keep a view of 100,000 records cheap.
    QHeaderView* side = verticalHeader();
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setDefaultSectionSize(fontMetrics().height() + 6);
    side->setSectionsClickable(false);
    side->setFixedWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) + 8);

    connect(top, &QHeaderView::sectionClicked, this, &ContactGrid::titleClicked);
    connect(top, &QHeaderView::sectionResized, this, [this](int column) { limitColumnWidth(column); });
    connect(this, &QAbstractItemView::clicked, this, &ContactGrid::cellClicked);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { onCurrentRowChanged(current); });
    connect(&m_cursor, &Cursor::currentChanged, this, &ContactGrid::followCursor);
    // After a reset (connected after the view's own handler) the current row is set again.
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, &ContactGrid::followCursor);
}

ContactGrid::~ContactGrid() {
    // The selection tracker listens to the model; it goes first.
    m_selection.reset();
    setModel(nullptr);
}

void ContactGrid::setColumns(const GridColumns& columns) {
    QHeaderView* top = horizontalHeader();
    // Start from the logical order so the new list's order is the order shown.
    for (int visual = 0; visual < top->count(); ++visual) {
        const int logical = top->logicalIndex(visual);
        if (logical != visual)
            top->moveSection(top->visualIndex(visual), visual);
    }
    m_model->setColumns(columns);
    for (int c = 0; c < columns.size(); ++c)
        setColumnWidth(c, columns.at(c).width);
}

GridColumns ContactGrid::columns() const {
    GridColumns out;
    const GridColumns& cols = m_model->columns();
    const QHeaderView* top = horizontalHeader();
    for (int visual = 0; visual < top->count(); ++visual) {
        const int logical = top->logicalIndex(visual);
        if (logical < 0 || logical >= cols.size())
            continue;
        GridColumn c = cols.at(logical);
        c.width = top->sectionSize(logical);
        out << c;
    }
    return out;
}

void ContactGrid::setSortColumn(int column) { m_model->setSortColumn(column); }

int ContactGrid::sortColumn() const { return m_model->sortColumn(); }

void ContactGrid::focusColumn(int column) {
    if (column < 0 || column >= m_model->columnCount())
        return;
    const int row = m_cursor.isOpen() ? m_cursor.currentRow() : -1;
    if (row < 0)
        return;
    m_following = true;
    selectionModel()->setCurrentIndex(m_model->index(row, column), QItemSelectionModel::NoUpdate);
    m_following = false;
}

int ContactGrid::focusedColumn() const {
    const QModelIndex cur = currentIndex();
    return cur.isValid() ? cur.column() : -1;
}

void ContactGrid::selectCurrentRow() {
    if (m_cursor.isOpen())
        m_selection->selectRow(m_cursor.currentRow());
}

void ContactGrid::followCursor() {
    if (m_following)
        return;
    const int row = m_cursor.isOpen() ? m_cursor.currentRow() : -1;
    m_model->setIndicatorRow(row);
    if (row < 0)
        return;
    const QModelIndex cur = currentIndex();
    if (cur.isValid() && cur.row() == row)
        return;
    const int column = cur.isValid() ? cur.column() : qMax(0, horizontalHeader()->logicalIndex(0));
    m_following = true;
    selectionModel()->setCurrentIndex(m_model->index(row, column), QItemSelectionModel::NoUpdate);
    m_following = false;
    if (isVisible())
        scrollTo(m_model->index(row, column));
}

void ContactGrid::onCurrentRowChanged(const QModelIndex& current) {
    if (m_following || !current.isValid() || !m_cursor.isOpen())
        return;
    const RowId id = m_model->rowIdAt(current.row());
    m_following = true;
    if (id && id != m_cursor.currentRowId())
        m_cursor.gotoRowId(id);
    m_following = false;
    m_model->setIndicatorRow(current.row());
}

int ContactGrid::columnWidthLimit() const { return width() - WidthMargin; }

void ContactGrid::limitColumnWidth(int column) {
    // Before the grid is laid out its width means nothing.
    const int limit = columnWidthLimit();
    if (!isVisible() || limit <= 0)
        return;
    if (horizontalHeader()->sectionSize(column) > limit)
        horizontalHeader()->resizeSection(column, limit);
}

void ContactGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    for (int c = 0; c < m_model->columnCount(); ++c)
        limitColumnWidth(c);
}

} // namespace ks
