#include "import/wizard/TMappingDelegate.h"

#include <QComboBox>

namespace ks {

QWidget* TMappingDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("cmbSource"));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(m_sources);
    // Leaving the drop-down writes its value back.
    connect(combo, &QComboBox::activated, this,
            [this, combo] { emit const_cast<TMappingDelegate*>(this)->commitData(combo); });
    return combo;
}

void TMappingDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    combo->setEditText(index.data(Qt::EditRole).toString());
}

void TMappingDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText().trimmed(), Qt::EditRole);
}

} // namespace ks
