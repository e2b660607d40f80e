#include "export/dialog/ExportFieldLists.h"

#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ks {

namespace {
QPushButton* button(const char* text, const char* name) {
    auto* b = new QPushButton(QString::fromLatin1(text));
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
} // namespace

ExportFieldLists::ExportFieldLists(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsFields"));
    auto* grid = new QGridLayout(this);
    m_lstAvailable = new QListWidget;
    m_lstAvailable->setObjectName(QStringLiteral("lstAvailable"));
    m_lstExported = new QListWidget;
    m_lstExported->setObjectName(QStringLiteral("lstExported"));
    m_btnAdd = button(">", "btnAdd");
    m_btnAddAll = button(">>", "btnAddAll");
    m_btnRemove = button("<", "btnRemove");
    m_btnRemoveAll = button("<<", "btnRemoveAll");
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {m_btnAdd, m_btnAddAll, m_btnRemove, m_btnRemoveAll})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("Available fields:")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Exported fields:")), 0, 2);
    grid->addWidget(m_lstAvailable, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(m_lstExported, 1, 2);

    for (QListWidget* list : {m_lstAvailable, m_lstExported}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setDragEnabled(true);
        list->setAcceptDrops(true);
        list->setDragDropMode(QAbstractItemView::DragDrop);
        list->setDefaultDropAction(Qt::CopyAction);
        list->viewport()->installEventFilter(this);
    }
    connect(m_btnAdd, &QPushButton::clicked, this,
            [this] { moveFields(m_lstAvailable, m_lstExported, false); });
    connect(m_btnAddAll, &QPushButton::clicked, this,
            [this] { moveFields(m_lstAvailable, m_lstExported, true); });
    connect(m_btnRemove, &QPushButton::clicked, this,
            [this] { moveFields(m_lstExported, m_lstAvailable, false); });
    connect(m_btnRemoveAll, &QPushButton::clicked, this,
            [this] { moveFields(m_lstExported, m_lstAvailable, true); });
    connect(m_lstAvailable, &QListWidget::itemDoubleClicked, this,
            [this] { moveFields(m_lstAvailable, m_lstExported, false); });
    connect(m_lstExported, &QListWidget::itemDoubleClicked, this,
            [this] { moveFields(m_lstExported, m_lstAvailable, false); });
    updateButtons();
}

void ExportFieldLists::clear() {
    m_lstAvailable->clear();
    m_lstExported->clear();
    updateButtons();
}

void ExportFieldLists::addField(const QString& label, int field, bool exported) {
    auto* item = new QListWidgetItem(label, exported ? m_lstExported : m_lstAvailable);
    item->setData(Qt::UserRole, field);
    updateButtons();
}

QList<int> ExportFieldLists::exportedFields() const {
    QList<int> out;
    for (int i = 0; i < m_lstExported->count(); ++i)
        out << m_lstExported->item(i)->data(Qt::UserRole).toInt();
    return out;
}

void ExportFieldLists::moveFields(QListWidget* from, QListWidget* to, bool all) {
    QList<QListWidgetItem*> items;
    int firstSelected = -1;
    if (all) {
        for (int i = 0; i < from->count(); ++i)
            items << from->item(i);
    } else {
        for (int i = 0; i < from->count(); ++i)
            if (from->item(i)->isSelected()) {
                if (firstSelected < 0)
                    firstSelected = i;
                items.prepend(from->item(i)); // appended from last to first
            }
    }
    for (QListWidgetItem* item : std::as_const(items)) {
        from->takeItem(from->row(item));
        item->setSelected(false);
        to->addItem(item);
    }
    from->setFocus();
    from->clearSelection();
    if (from->count() > 0) {
        const int row = firstSelected < 0 ? 0 : qMin(firstSelected, from->count() - 1);
        from->setCurrentRow(row);
        from->item(row)->setSelected(true);
    }
    updateButtons();
}

void ExportFieldLists::updateButtons() {
    m_btnAdd->setEnabled(m_lstAvailable->count() > 0);
    m_btnAddAll->setEnabled(m_lstAvailable->count() > 0);
    m_btnRemove->setEnabled(m_lstExported->count() > 0);
    m_btnRemoveAll->setEnabled(m_lstExported->count() > 0);
}

void ExportFieldLists::pageShown() {
    QListWidget* list = m_lstAvailable->count() > 0 ? m_lstAvailable : m_lstExported;
    if (list->count() == 0)
        return;
    list->setFocus();
    if (list->currentRow() <= 0) {
        list->setCurrentRow(0);
        list->item(0)->setSelected(true);
    }
}

bool ExportFieldLists::eventFilter(QObject* watched, QEvent* event) {
    // Dropping entries of one list on the other moves the source's selected entries.
    for (QListWidget* list : {m_lstAvailable, m_lstExported}) {
        if (watched != list->viewport())
            continue;
        QListWidget* other = list == m_lstAvailable ? m_lstExported : m_lstAvailable;
        const QEvent::Type t = event->type();
        if (t == QEvent::DragEnter || t == QEvent::DragMove || t == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            if (e->source() != other) {
                e->ignore();
            } else if (t == QEvent::Drop) {
                moveFields(other, list, false);
                e->setDropAction(Qt::CopyAction); // moved already; the source must not remove them
                e->accept();
            } else {
                e->acceptProposedAction();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ks
