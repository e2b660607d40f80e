#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

namespace ks {

// Edits a mapping's source with an editable drop-down of the source list; typed text that names no
// source column is kept as it is (it then imports as that text).
class TMappingDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setSources(const QStringList& sources) { m_sources = sources; }
    const QStringList& sources() const { return m_sources; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    QStringList m_sources;
};

} // namespace ks
