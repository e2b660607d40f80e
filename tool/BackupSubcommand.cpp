// kestrum-tool backup: the one-step backup of the contact table into KestrumBackupFile.CSV.
#include "tool/ToolCommand.h"

#include "export/engine/ExportError.h"
#include "export/engine/TVASCIIExport.h"
#include "import/commands/ContactBackup.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QDir>
#include <QTextStream>

namespace ks::tool {

namespace {

void runBackup(const ToolArgs& args) {
    Connection connection(args.directory);
    if (!connection.tableExists(Contact::TableFile))
        throw ToolError(Failed, QStringLiteral("There is no contact table \"%1\" in \"%2\".")
                                    .arg(Contact::TableFile, QDir::toNativeSeparators(args.directory)));
    Cursor aux(connection, Contact::TableFile);
    aux.setFieldNames(Contact::auxFieldNames());
    aux.open();
    TVASCIIExport writer;
    int count = 0;
    try {
        count = ContactBackup::backup(writer, aux, ContactBackup::fileName());
    } catch (const ExportError& e) {
        throw ToolError(Failed, e.message());
    }
    QTextStream(stdout) << QStringLiteral("Backup Complete: %1 contacts processed. (%2)\n")
                               .arg(count)
                               .arg(QDir::toNativeSeparators(ContactBackup::fileName()));
}

ToolCommand backupCommand() {
    ToolCommand c;
    c.name = QStringLiteral("backup");
    c.summary = QStringLiteral("Writes every contact to KestrumBackupFile.CSV, as the Backup command does.");
    c.notes = {QStringLiteral("The file lies in the program directory and is replaced by every backup.")};
    c.run = runBackup;
    return c;
}

const ToolRegistration registration(backupCommand);

} // namespace

} // namespace ks::tool
