#include "import/commands/ImportCommand.h"

#include "common/Paths.h"
#include "common/Prompt.h"
#include "common/TextCodec.h"
#include "import/engine/ImportError.h"
#include "import/wizard/TImportWizard.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ks {

ImportCommand::ImportCommand(TfrmGlobal& data, TImportWizard& wizard, Host host)
    : m_data(data), m_wizard(wizard), m_host(std::move(host)) {}

QString ImportCommand::autoConfigFileName() {
    return programFile(QStringLiteral("KESTRUMImportAutoConfig.cfg"));
}

QString ImportCommand::errorFileName() {
    return programFile(QStringLiteral("ImportErrors.txt"));
}

QString ImportCommand::duplicateText() {
    return QStringLiteral("The record to be imported did not contain a unique combination of First Name, Last "
                          "Name, and Phone.  The record was skipped.");
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
    w.onBeforeRecordEvent = [this](TImportBase&, const QString&, const QVariant&, bool& accept) {
        BeforeRecord(accept);
    };
    w.onAfterRecordEvent = [this](TImportBase&, bool& abort) { AfterRecord(abort); };
    w.onErrorEvent = [this](TImportBase&, const ImportError& error, bool& abort) { ErrorEvent(error, abort); };
    // Values go in as the engine converts them.
    w.onGetCellParams = [](TImportBase&, const FieldDef*, QVariant&) {};
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

    if (autoSettings)
        m_wizard.saveSpecification(autoConfigName(), config, false);

    m_data.BuildCategoryList();
    if (m_host.refresh)
        m_host.refresh();
}

void ImportCommand::BeforeExecute() {
    m_suppressDisplay = m_host.saveErrorsToFile && m_host.saveErrorsToFile();
    m_askOnce = true;
    m_stop = false;
    m_errors.clear();
}

void ImportCommand::AfterExecute() {
    QByteArray bytes;
    for (const QString& line : std::as_const(m_errors))
        bytes += encodeText(line + QStringLiteral("\r\n"));
    m_errors.clear();
    QSaveFile file(errorFileName());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Prompt::current().message(QStringLiteral("Cannot write the import error file \"%1\".").arg(errorFileName()),
                                  Prompt::Buttons::Ok, Prompt::Icon::Error);
}

void ImportCommand::captureKey() {
    m_captured = m_data.currentRowKey();
}

void ImportCommand::BeforeRecord(bool& accept) {
    captureKey();
    Cursor& table = *m_data.tblPhoneBook();
    if (table.state() != EditableDataset::State::Browse) {
        // A row the previous source row left pending: when its key is taken, drop it here.
        Cursor& aux = *m_data.tblAuxPhoneBook();
        aux.setIndexName(Contact::UniqueIndex);
        if (aux.findKey({m_captured.lastName, m_captured.firstName, m_captured.homePhone})) {
            table.cancel();
            if (reportError(QStringLiteral("7057")))
                m_stop = true;
        }
    }
    accept = true;
}

void ImportCommand::AfterRecord(bool& abort) {
    abort = m_stop;
}

void ImportCommand::ErrorEvent(const ImportError& error, bool& abort) {
    captureKey(); // the pending row of the source row that failed
    abort = reportError(error.message());
    if (abort)
        m_stop = true;
}

bool ImportCommand::reportError(const QString& errorText) {
    if (errorText.contains(QLatin1String("RealPrint")))
        return false;
    const QString text = errorText.contains(QLatin1String("7057")) ? duplicateText() : errorText;
    const QString name = QStringLiteral("Business or Last Name = '") + m_captured.lastName + QLatin1Char('\'');
    const QString first = QStringLiteral("First Name = '") + m_captured.firstName + QLatin1Char('\'');
    const QString phone = QStringLiteral("Phone = '") + m_captured.homePhone + QLatin1Char('\'');
    m_errors << text << QStringLiteral("Record with the error contained:") << name << first << phone;
    if (m_suppressDisplay)
        return false;

    const QString shown = text + QStringLiteral("\n\nRecord with the error contained:\n") + name + QLatin1Char('\n') +
                          first + QLatin1Char('\n') + phone + QStringLiteral("\nContinue Import?");
    const bool goOn =
        Prompt::current().message(shown, Prompt::Buttons::YesNo, Prompt::Icon::Question) == Prompt::Answer::Yes;
    if (goOn && m_askOnce) {
        m_askOnce = false;
        m_suppressDisplay = !Prompt::current().askYesNo(
            QStringLiteral("Errors are being written to ImportErrors.txt. Continue displaying error messages as well?"));
    }
    return !goOn;
}

} // namespace ks
