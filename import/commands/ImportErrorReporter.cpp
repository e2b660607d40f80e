#include "import/commands/ImportErrorReporter.h"

#include "common/Prompt.h"
#include "common/TextCodec.h"
#include "import/engine/ImportError.h"
#include "import/engine/TImportBase.h"
#include "store/engine/Cursor.h"

#include <QDir>
#include <QSaveFile>

namespace ks {

namespace {
RowKey keyOf(const Cursor& c) {
    return RowKey{c.text(Contact::LastName), c.text(Contact::FirstName), c.text(Contact::HomePhone)};
}
} // namespace

ImportErrorReporter::ImportErrorReporter(Cursor& table, Cursor& aux) : m_table(table), m_aux(aux) {}

QString ImportErrorReporter::duplicateText() {
    return QStringLiteral(
        "The record to be imported did not contain a unique combination of First Name, Last "
        "Name, and Phone.  The record was skipped.");
}

void ImportErrorReporter::attach(TImportBase& c) {
    c.onBeforeRecordEvent = [this](TImportBase&, const QString&, const QVariant&, bool& accept) {
        BeforeRecord(accept);
    };
    c.onAfterRecordEvent = [this](TImportBase&, bool& abort) { AfterRecord(abort); };
    c.onErrorEvent = [this](TImportBase&, const ImportError& error, bool& abort) {
        ErrorEvent(error.message(), abort);
    };
    // Values go in as the engine converts them.
    c.onGetCellParams = [](TImportBase&, const FieldDef*, QVariant&) {};
}

void ImportErrorReporter::begin(bool suppressDisplay) {
    m_suppressDisplay = suppressDisplay;
    m_askOnce = true;
    m_stop = false;
    m_errors.clear();
}

void ImportErrorReporter::BeforeRecord(bool& accept) {
    if (m_table.state() != EditableDataset::State::Browse) {
        // A row the previous source row left pending: when its key is taken, drop it here. The
        // key is only read then; the error handler reads its own.
        m_captured = keyOf(m_table);
        m_aux.setIndexName(Contact::UniqueIndex);
        if (m_aux.findKey({m_captured.lastName, m_captured.firstName, m_captured.homePhone})) {
            m_table.cancel();
            if (reportError(QStringLiteral("7057")))
                m_stop = true;
        }
    }
    accept = true;
}

void ImportErrorReporter::AfterRecord(bool& abort) {
    abort = m_stop;
}

void ImportErrorReporter::ErrorEvent(const QString& errorText, bool& abort) {
    m_captured = keyOf(m_table); // the pending row of the source row that failed
    abort = reportError(errorText);
    if (abort)
        m_stop = true;
}

bool ImportErrorReporter::reportError(const QString& errorText) {
    // Failures about the selection mark don't concern the user.
    if (errorText.contains(QLatin1String("RealPrint")))
        return false;
    const QString text = errorText.contains(QLatin1String("7057")) ? duplicateText() : errorText;
    const QString name =
        QStringLiteral("Business or Last Name = '") + m_captured.lastName + QLatin1Char('\'');
    const QString first = QStringLiteral("First Name = '") + m_captured.firstName + QLatin1Char('\'');
    const QString phone = QStringLiteral("Phone = '") + m_captured.homePhone + QLatin1Char('\'');
    m_errors << text << QStringLiteral("Record with the error contained:") << name << first << phone;
    if (m_suppressDisplay)
        return false;

    const QString shown = text + QStringLiteral("\n\nRecord with the error contained:\n") + name +
                          QLatin1Char('\n') + first + QLatin1Char('\n') + phone +
                          QStringLiteral("\nContinue Import?");
    const bool goOn = Prompt::current().message(shown, Prompt::Buttons::YesNo, Prompt::Icon::Question) ==
                      Prompt::Answer::Yes;
    if (goOn && m_askOnce) {
        m_askOnce = false;
        m_suppressDisplay = !Prompt::current().askYesNo(QStringLiteral(
            "Errors are being written to ImportErrors.txt. Continue displaying error messages as well?"));
    }
    return !goOn;
}

void ImportErrorReporter::writeErrorFile(const QString& fileName) {
    QByteArray bytes;
    for (const QString& line : std::as_const(m_errors))
        bytes += encodeText(line + QStringLiteral("\r\n"));
    m_errors.clear();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ImportError(QStringLiteral("Cannot write the import error file \"%1\".")
                              .arg(QDir::toNativeSeparators(fileName)));
}

} // namespace ks
