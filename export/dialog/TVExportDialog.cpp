#include "export/dialog/TVExportDialog.h"

#include "common/Prompt.h"
#include "export/dialog/TfrmExport.h"
#include "export/engine/ExportError.h"
#include "export/engine/TVExport.h"
#include "store/engine/Dataset.h"

#include <QWidget>

namespace ks {

TVExportDialog::TVExportDialog(QObject* parent) : QObject(parent) {}

TVExportDialog::~TVExportDialog() {
    disconnect(m_datasetGuard);
}

void TVExportDialog::setDataset(Dataset* dataset) {
    disconnect(m_datasetGuard);
    m_dataset = dataset;
    if (auto* object = dynamic_cast<QObject*>(dataset))
        m_datasetGuard = connect(object, &QObject::destroyed, this, [this] { m_dataset = nullptr; });
}

void TVExportDialog::execute() {
    if (!m_dataset)
        return;
    QWidget* parentWidget = qobject_cast<QWidget*>(parent());
    if (!parentWidget)
        parentWidget = Prompt::parentWidget();
    auto window = std::make_unique<TfrmExport>(parentWidget);
    m_window = window.get();
    window->setDataset(m_dataset, m_onlyVisibleFields);
    window->configure(*this);
    window->setDefaultFormats(m_defaultFormats);
    // Later showings start from the system's formats unless saved options bring others back.
    m_defaultFormats.reset();
    if (m_autoLoadOptions && !m_saveFileName.isEmpty())
        window->loadOptions(m_saveFileName);
    window->setWriterFormats(m_defaultFormats);
    for (TVExport* writer : window->writers()) {
        if (onGetExportHeader) {
            QStringList lines = writer->header();
            onGetExportHeader(*writer, lines);
            writer->setHeader(lines);
        }
        if (onGetExportFooter) {
            QStringList lines = writer->footer();
            onGetExportFooter(*writer, lines);
            writer->setFooter(lines);
        }
    }

    window->exec();

    if (m_autoSaveOptions && !m_saveFileName.isEmpty()) {
        try {
            window->saveOptions(m_saveFileName);
        } catch (const ExportError& e) {
            Prompt::current().error(e.message());
        }
    }
}

} // namespace ks
