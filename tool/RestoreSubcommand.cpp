// kestrum-tool restore: KestrumBackupFile.CSV read back into the contact table, adding the contacts
// that are missing and updating those that exist.
#include "tool/ToolCommand.h"

#include "import/commands/ContactBackup.h"
#include "import/engine/ImportError.h"
#include "import/engine/TTextImport.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace ks::tool {

namespace {

void runRestore(const ToolArgs& args) {
    Connection connection(args.directory);
    if (!connection.tableExists(Contact::TableFile))
        throw ToolError(Failed, QStringLiteral("There is no contact table \"%1\" in \"%2\".")
                                    .arg(Contact::TableFile, QDir::toNativeSeparators(args.directory)));
    const QString file = ContactBackup::fileName();
    if (!QFileInfo(file).isFile())
        throw ToolError(
            Failed, QStringLiteral("There is no backup file \"%1\".").arg(QDir::toNativeSeparators(file)));
    Cursor table(connection, Contact::TableFile);
    table.open();
    TTextImport reader;
    ContactBackup::configureRestore(reader, table, file);
    reader.setAnimatedStatus(false);
    reader.setOptions(reader.options() & ~TImportOptions(soShowMessage));
    // Each line that can't be stored is told, and the restore goes on with the next.
    QTextStream err(stderr);
    reader.onErrorEvent = [&](TImportBase& sender, const ImportError& error, bool& abort) {
        err << "kestrum-tool: row " << (sender.counters().processed + 1) << ": " << error.message() << "\n";
        abort = false;
    };
    try {
        reader.execute();
    } catch (const ImportError& e) {
        throw ToolError(Failed, e.message());
    }
    err.flush();
    if (reader.result() == ImportResult::Failed)
        throw ToolError(Failed, reader.resultText() + QLatin1Char(' ') + reader.errorText());
    const ImportCounters& c = reader.counters();
    QTextStream(stdout) << QStringLiteral("Restored from %1: %2 added, %3 updated, %4 errors.\n")
                               .arg(QDir::toNativeSeparators(file))
                               .arg(c.added)
                               .arg(c.updated)
                               .arg(c.errors);
    if (c.errors)
        throw ToolError(Failed,
                        QStringLiteral("%1 row(s) of the backup could not be restored.").arg(c.errors));
}

ToolCommand restoreCommand() {
    ToolCommand c;
    c.name = QStringLiteral("restore");
    c.summary = QStringLiteral(
        "Reads KestrumBackupFile.CSV back: missing contacts are added, existing ones updated.");
    c.notes = {
        QStringLiteral("Contacts are matched by last name, first name and home phone. Rows that can't be"),
        QStringLiteral("stored are told on stderr; the others are still restored (exit status 1).")};
    c.run = runRestore;
    return c;
}

const ToolRegistration registration(restoreCommand);

} // namespace

} // namespace ks::tool
