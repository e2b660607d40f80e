#pragma once

#include "import/engine/ImportSpecification.h"
#include "import/engine/TImportBase.h"
#include "import/wizard/TUserAccess.h"

#include <QPixmap>
#include <functional>

namespace ks {

// The wizard component: an import component that reads nothing itself. execute() shows the
// eight-step wizard over these settings and, when the user finishes it, runs the reader of the
// chosen format with them. runReader() does the same without a window.
class TImportWizard : public TImportBase {
public:
    enum Outcome { Imported = 1, Abandoned = 2, Failed = 3 };

    TImportWizard();
    ~TImportWizard() override;

    const TTableTypes& formats() const { return m_formats; }
    void setFormats(const TTableTypes& formats) { m_formats = formats; }
    TTableType tableType() const { return m_tableType; }
    void setTableType(TTableType type) { m_tableType = type; }
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    bool useDisplayNames() const { return m_useDisplayNames; }
    void setUseDisplayNames(bool on) { m_useDisplayNames = on; }
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap& picture) { m_picture = picture; }
    TUserAccess& userAccess() { return m_userAccess; }
    const TUserAccess& userAccess() const { return m_userAccess; }

    // Supplies the saved specifications; when empty, the *.plx files of the program directory.
    std::function<void(TImportWizard& sender, QList<ImportSpecification::Entry>& list)> onGetSpecifications;
    QList<ImportSpecification::Entry> specifications();

    // Shows the wizard and runs the import when the user finishes it: Imported, Abandoned or Failed.
    // The execute events bracket the whole wizard.
    int execute();
    // Runs the settings through a new reader of tableType(). Throws ImportError for what stops it
    // from starting; a failed run shows in the result.
    ImportResult runReader();
    // The reader of the last run (kept until the next one), for its counters and texts.
    const TImportBase* lastReader() const { return m_reader.get(); }

private:
    TTableTypes m_formats = allTableTypes();
    TTableType m_tableType = teText;
    QString m_title;
    bool m_useDisplayNames = false;
    QPixmap m_picture;
    TUserAccess m_userAccess;
    std::unique_ptr<TImportBase> m_reader;
};

} // namespace ks
