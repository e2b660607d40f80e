#include "import/commands/TfrmImportErrorFile.h"

#include "common/Paths.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ks {

TfrmImportErrorFile::TfrmImportErrorFile(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmImportErrorFile"));
    setWindowTitle(QStringLiteral("Save Import Errors to File"));
    auto* layout = new QVBoxLayout(this);
    m_check =
        new QCheckBox(QStringLiteral("Save Errors To File (Instead of Displaying During Import)"), this);
    m_check->setObjectName(QStringLiteral("chkSaveErrors"));
    auto* text =
        new QLabel(QStringLiteral("The Import Error File, if used, is saved as ImportErrors.txt and will be "
                                  "placed in the folder given below:"),
                   this);
    text->setObjectName(QStringLiteral("lblExplain"));
    text->setWordWrap(true);
    m_folder = new QLabel(this);
    m_folder->setObjectName(QStringLiteral("lblFolder"));
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(m_check);
    layout->addWidget(text);
    layout->addWidget(m_folder);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}

bool TfrmImportErrorFile::saveToFile() const {
    return m_check->isChecked();
}

void TfrmImportErrorFile::setSaveToFile(bool on) {
    m_check->setChecked(on);
}

bool TfrmImportErrorFile::Ask(bool saveToFile) {
    m_check->setChecked(saveToFile);
    m_folder->setText(QDir::toNativeSeparators(programDirectory()));
    exec();
    return m_check->isChecked(); // closing the window keeps what the box shows, like OK
}

} // namespace ks
