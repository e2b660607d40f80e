#pragma once

#include <QList>
#include <QWidget>

class QListWidget;
class QPushButton;

namespace ks {

// The export window's "Fields" page: the available and the exported field lists, the buttons
// ">", ">>", "<", "<<", double-click and drag-and-drop between the lists. Each entry is a field's
// display label and remembers the field's index.
class ExportFieldLists : public QWidget {
    Q_OBJECT
public:
    explicit ExportFieldLists(QWidget* parent = nullptr);

    void clear();
    void addField(const QString& label, int field, bool exported);
    QList<int> exportedFields() const; // in list order
    // The page came to the front: a list gets the focus and its first entry.
    void pageShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveFields(QListWidget* from, QListWidget* to, bool all);
    void updateButtons();

    QListWidget* m_lstAvailable = nullptr;
    QListWidget* m_lstExported = nullptr;
    QPushButton* m_btnAdd = nullptr;
    QPushButton* m_btnAddAll = nullptr;
    QPushButton* m_btnRemove = nullptr;
    QPushButton* m_btnRemoveAll = nullptr;
};

} // namespace ks
