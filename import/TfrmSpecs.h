#pragma once

#include "import/engine/ImportSpecification.h"

#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace ks {

class TImportBase;

// The list of saved specifications with Load, Save, Delete and Close. It works on the import
// component; the wizard hands it what must happen around a load or a save.
class TfrmSpecs : public QDialog {
    Q_OBJECT
public:
    using Provider = std::function<QList<ImportSpecification::Entry>()>;
    TfrmSpecs(TImportBase& component, Provider provider, QWidget* parent = nullptr);

    std::function<void()> beforeSave; // take the window's settings into the component
    std::function<void()> afterLoad;  // refill the window from the component

    QList<ImportSpecification::Entry> entries() const { return m_entries; }

private:
    void rebuild(const QString& selectFile = QString());
    void updateButtons();
    void btnLoadClick();
    void btnSaveClick();
    void btnDeleteClick();
    const ImportSpecification::Entry* selected() const;

    TImportBase& m_component;
    Provider m_provider;
    QList<ImportSpecification::Entry> m_entries;
    QListWidget* m_list;
    QPushButton* m_load;
    QPushButton* m_delete;
};

} // namespace ks
