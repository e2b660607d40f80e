#include "import/commands/ImportCommand.h"

#include "common/Paths.h"
#include "common/Prompt.h"
#include "import/engine/ImportError.h"
#include "import/wizard/TImportWizard.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"

#include <QFileInfo>

namespace ks {

ImportCommand::ImportCommand(TfrmGlobal& data, TImportWizard& wizard, Host host)
    : m_data(data), m_wizard(wizard), m_host(std::move(host)),
      m_reporter(*data.tblPhoneBook(), *data.tblAuxPhoneBook()) {}

QString ImportCommand::autoConfigFileName() {
    return programFile(QStringLiteral("KESTRUMImportAutoConfig.cfg"));
}

QString ImportCommand::errorFileName() {
    return programFile(QStringLiteral("ImportErrors.txt"));
}

void ImportCommand::configureWizard() {
    TImportWizard& w = m_wizard;
    w.setDataSet(m_data.tblPhoneBook());
    w.setFormats({teParadox, teText, teHTML, teXML});
    w.setTitle(QStringLiteral("Kestrum Data Import"));
    w.setUseDisplayNames(true);
    w.userAccess() = TUserAccess();
    w.setRowLast(10000);
    w.setFieldDelimiter(fdSemicolon);
    w.setRecordSeparatorCustom(QStringLiteral("\r\n"));
    w.setFixed(false);
    w.setAnimatedStatus(true);
    w.setTitleStatus(QStringLiteral("Importing..."));
    TDataFormats f = w.dataFormats();
    f.DateSeparator = QLatin1Char('/');
    f.TimeSeparator = QLatin1Char(':');
    f.FourDigitYear = false;
    f.LeadingZerosInDate = false;
    f.DecimalSeparator = QLatin1Char('.');
    f.BooleanTrue = QStringLiteral("True");
    f.BooleanFalse = QStringLiteral("False");
    w.setDataFormats(f);

    w.onBeforeExecute = [this](TImportBase&) { BeforeExecute(); };
    w.onAfterExecute = [this](TImportBase&) { AfterExecute(); };
    m_reporter.attach(w);
}

void ImportCommand::Import() {
    Cursor& table = *m_data.tblPhoneBook();
    table.setFilter(Filter());
    table.setFiltered(false);
    if (m_host.clearCategoryFilter)
        m_host.clearCategoryFilter();

    m_wizard.setRowLast(10000);
    m_wizard.setSourceFileName(QString());
    const bool autoSettings = m_host.autoImport && m_host.autoImport();
    const QString config = autoConfigFileName();
    if (autoSettings && QFileInfo::exists(config)) {
        // A damaged file must not lock the user out: say so and open with the settings at hand;
        // the save below replaces it with a good one.
        try {
            m_wizard.loadSpecification(config);
        } catch (const ImportError& e) {
            Prompt::current().message(e.message(), Prompt::Buttons::Ok, Prompt::Icon::Warning);
        }
    }

    m_wizard.execute();

    // The table may have changed whatever happens to the settings file: refresh in any case.
    if (autoSettings) {
        try {
            m_wizard.saveSpecification(autoConfigName(), config, false);
        } catch (const ImportError& e) {
            Prompt::current().message(e.message(), Prompt::Buttons::Ok, Prompt::Icon::Error);
        }
    }

    m_data.BuildCategoryList();
    if (m_host.refresh)
        m_host.refresh();
}

void ImportCommand::BeforeExecute() {
    m_reporter.begin(m_host.saveErrorsToFile && m_host.saveErrorsToFile());
}

void ImportCommand::AfterExecute() {
    try {
        m_reporter.writeErrorFile(errorFileName());
    } catch (const ImportError& e) {
        Prompt::current().message(e.message(), Prompt::Buttons::Ok, Prompt::Icon::Error);
    }
}

} // namespace ks
