#include "import/wizard/TImportWizard.h"

#include "common/Paths.h"
#include "common/Prompt.h"
#include "import/TfrmImportProgress.h"
#include "import/SaveSettingsDialog.h"
#include "import/engine/ImportError.h"
#include "import/engine/ImportRegistry.h"
#include "import/wizard/TfrmImportWizard.h"

namespace ks {

TImportWizard::TImportWizard() {
    TfrmSaveSpec::install();
}

TImportWizard::~TImportWizard() = default;

QList<ImportSpecification::Entry> TImportWizard::specifications() {
    QList<ImportSpecification::Entry> list;
    if (onGetSpecifications)
        onGetSpecifications(*this, list);
    else
        list = ImportSpecification::list(programDirectory());
    return list;
}

ImportResult TImportWizard::runReader() {
    m_reader = ImportRegistry::instance().createReader(m_tableType);
    copySettingsTo(*m_reader);
    if (!m_reader->progressFactory() && !ImportProgress::defaultFactory())
        m_reader->setProgressFactory(TfrmImportProgress::factory());
    m_reader->execute();
    return m_reader->result();
}

int TImportWizard::execute() {
    auto window = std::make_unique<TfrmImportWizard>(*this, Prompt::parentWidget());
    if (onBeforeExecute)
        onBeforeExecute(*this);
    int outcome = Failed;
    try {
        window->fillFromComponent();
        window->exec();
        if (window->isComplete()) {
            window->takeSettings();
            outcome = runReader() == ImportResult::Failed ? Failed : Imported;
        } else {
            outcome = Abandoned;
        }
    } catch (const std::exception& e) {
        outcome = Failed;
        if (options().testFlag(soShowMessage)) {
            const auto* ie = dynamic_cast<const ImportError*>(&e);
            const QString why = ie ? ie->message() : QString::fromUtf8(e.what());
            Prompt::current().message(failureText() + QStringLiteral("\n\n") + why, Prompt::Buttons::Ok,
                                      Prompt::Icon::Error);
        }
    }
    if (onAfterExecute)
        onAfterExecute(*this);
    window.reset();
    return outcome;
}

} // namespace ks
