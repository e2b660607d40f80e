#include "import/SaveSettingsDialog.h"

#include "common/Prompt.h"
#include "import/engine/TImportBase.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ks {

TfrmSaveSpec::TfrmSaveSpec(const QString& name, const QString& fileName, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSaveSpec"));
    setWindowTitle(QStringLiteral("Import specification"));
    auto* grid = new QGridLayout(this);
    auto* lblName = new QLabel(QStringLiteral("Import specification"), this);
    lblName->setObjectName(QStringLiteral("lblName"));
    m_name = new QLineEdit(name.isEmpty() ? QStringLiteral("Import specification") : name, this);
    m_name->setObjectName(QStringLiteral("edtName"));
    lblName->setBuddy(m_name);
    auto* lblFile = new QLabel(QStringLiteral("Import from File:"), this);
    lblFile->setObjectName(QStringLiteral("lblFileName"));
    m_file = new QLineEdit(fileName, this);
    m_file->setObjectName(QStringLiteral("edtFileName"));
    m_file->setMinimumWidth(300);
    lblFile->setBuddy(m_file);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    browse->setFixedWidth(30);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    grid->addWidget(lblName, 0, 0, 1, 2);
    grid->addWidget(m_name, 1, 0, 1, 2);
    grid->addWidget(lblFile, 2, 0, 1, 2);
    grid->addWidget(m_file, 3, 0);
    grid->addWidget(browse, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 0, 1, 2);
    connect(browse, &QPushButton::clicked, this, &TfrmSaveSpec::btnBrowseClick);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TfrmSaveSpec::specificationName() const {
    return m_name->text();
}

QString TfrmSaveSpec::fileName() const {
    return m_file->text();
}

void TfrmSaveSpec::btnBrowseClick() {
    const QString file =
        Prompt::current().saveFileName(QStringLiteral("Import specification"), m_file->text(),
                                       TImportBase::specificationFilter(), QStringLiteral("plx"));
    if (!file.isEmpty())
        m_file->setText(file);
}

bool TfrmSaveSpec::ask(QString& name, QString& fileName) {
    TfrmSaveSpec dialog(name, fileName, Prompt::parentWidget());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    name = dialog.specificationName();
    fileName = dialog.fileName();
    return true;
}

void TfrmSaveSpec::install() {
    if (!TImportBase::hasSaveSpecificationAsker())
        TImportBase::setSaveSpecificationAsker(&TfrmSaveSpec::ask);
}

} // namespace ks
