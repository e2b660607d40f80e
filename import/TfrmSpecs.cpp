#include "import/TfrmSpecs.h"

#include "common/Prompt.h"
#include "import/engine/ImportError.h"
#include "import/engine/TImportBase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ks {

TfrmSpecs::TfrmSpecs(TImportBase& component, Provider provider, QWidget* parent)
    : QDialog(parent), m_component(component), m_provider(std::move(provider)) {
    setObjectName(QStringLiteral("frmSpecs"));
    setWindowTitle(QStringLiteral("Specifications..."));
    auto* grid = new QGridLayout(this);
    auto* prompt = new QLabel(QStringLiteral("List of available specifications:"), this);
    prompt->setObjectName(QStringLiteral("lblPrompt"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstSpecs"));
    m_list->setMinimumSize(260, 160);
    m_load = new QPushButton(QStringLiteral("Load"), this);
    m_load->setObjectName(QStringLiteral("btnLoad"));
    auto* save = new QPushButton(QStringLiteral("Save"), this);
    save->setObjectName(QStringLiteral("btnSave"));
    m_delete = new QPushButton(QStringLiteral("Delete"), this);
    m_delete->setObjectName(QStringLiteral("btnDelete"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_load);
    buttons->addWidget(save);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(close);
    grid->addWidget(prompt, 0, 0);
    grid->addWidget(m_list, 1, 0);
    grid->addLayout(buttons, 1, 1);
    connect(m_load, &QPushButton::clicked, this, &TfrmSpecs::btnLoadClick);
    connect(save, &QPushButton::clicked, this, &TfrmSpecs::btnSaveClick);
    connect(m_delete, &QPushButton::clicked, this, &TfrmSpecs::btnDeleteClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TfrmSpecs::btnLoadClick);
    rebuild();
}

void TfrmSpecs::rebuild(const QString& selectFile) {
    m_entries = m_provider ? m_provider() : QList<ImportSpecification::Entry>();
    m_list->clear();
    int select = 0;
    for (int i = 0; i < m_entries.size(); ++i) {
        m_list->addItem(m_entries.at(i).name);
        if (!selectFile.isEmpty() && QFileInfo(m_entries.at(i).fileName) == QFileInfo(selectFile))
            select = i;
    }
    if (!m_entries.isEmpty())
        m_list->setCurrentRow(select);
    updateButtons();
}

void TfrmSpecs::updateButtons() {
    m_load->setEnabled(!m_entries.isEmpty());
    m_delete->setEnabled(!m_entries.isEmpty());
}

const ImportSpecification::Entry* TfrmSpecs::selected() const {
    const int row = m_list->currentRow();
    return row >= 0 && row < m_entries.size() ? &m_entries.at(row) : nullptr;
}

void TfrmSpecs::btnLoadClick() {
    const ImportSpecification::Entry* entry = selected();
    if (!entry)
        return;
    try {
        m_component.loadSpecification(entry->fileName);
    } catch (const ImportError& e) {
        Prompt::current().error(e.message());
        return;
    }
    if (afterLoad)
        afterLoad();
    accept();
}

void TfrmSpecs::btnSaveClick() {
    if (beforeSave)
        beforeSave();
    const ImportSpecification::Entry* entry = selected();
    QString name = entry ? entry->name : QString();
    QString file = entry ? entry->fileName : QString();
    // Ask ourselves so that the file the user picks is the one selected afterwards.
    if (TImportBase::hasSaveSpecificationAsker()) {
        if (name.isEmpty())
            name = QStringLiteral("Import specification");
        if (file.isEmpty())
            file = ImportSpecification::defaultFileFor(m_component.sourceFileName());
        if (!TImportBase::saveSpecificationAsker()(name, file))
            return;
    }
    try {
        if (!m_component.saveSpecification(name, file, false))
            return;
    } catch (const ImportError& e) {
        Prompt::current().error(e.message());
        return;
    }
    rebuild(file);
}

void TfrmSpecs::btnDeleteClick() {
    const ImportSpecification::Entry* entry = selected();
    if (!entry)
        return;
    const QString file = entry->fileName;
    if (!Prompt::current().askYesNo(
            QStringLiteral("Delete import specification %1?").arg(QDir::toNativeSeparators(file))))
        return;
    if (QFile::exists(file) && !QFile::remove(file)) {
        Prompt::current().error(QStringLiteral("Can't delete %1.").arg(QDir::toNativeSeparators(file)));
        return;
    }
    m_entries.removeAt(m_list->currentRow());
    delete m_list->takeItem(m_list->currentRow());
    if (!m_entries.isEmpty())
        m_list->setCurrentRow(0);
    updateButtons();
}

} // namespace ks
