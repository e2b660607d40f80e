// kestrum-tool import: a saved import specification run into the contact table, with the errors
// written to ImportErrors.txt as the Import command does when they go to the file only.
#include "tool/ToolCommand.h"

#include "import/commands/ImportCommand.h"
#include "import/commands/ImportErrorReporter.h"
#include "import/engine/ImportError.h"
#include "import/engine/ImportRegistry.h"
#include "import/engine/ImportSpecification.h"
#include "import/engine/TImportBase.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace ks::tool {

namespace {

const QList<QPair<QString, TImportMode>>& modeNames() {
    static const QList<QPair<QString, TImportMode>> names{{QStringLiteral("append"), imAppend},
                                                          {QStringLiteral("update"), imUpdate},
                                                          {QStringLiteral("appendupdate"), imAppendUpdate},
                                                          {QStringLiteral("delete"), imDelete},
                                                          {QStringLiteral("copy"), imCopy}};
    return names;
}

QString readableFormats() {
    QStringList names;
    for (const ImportFormat* f : ImportRegistry::instance().formats())
        if (f->canRead())
            names << f->name;
    return names.join(QLatin1Char(' '));
}

void runImport(const ToolArgs& args) {
    const QString spec = args.value(QStringLiteral("spec"));
    if (spec.isEmpty())
        throw ToolError(Usage, QStringLiteral("import: --spec FILE.plx is needed."));
    const QString formatName =
        args.has(QStringLiteral("format")) ? args.value(QStringLiteral("format")) : QStringLiteral("text");
    const ImportFormat* format = ImportRegistry::instance().formatByName(formatName);
    if (!format || !format->canRead())
        throw ToolError(Usage, QStringLiteral("import: unknown format '%1'; the formats are: %2.")
                                   .arg(formatName, readableFormats()));
    TImportMode mode = imAppend;
    bool modeGiven = false;
    if (args.has(QStringLiteral("mode"))) {
        const QString m = args.value(QStringLiteral("mode")).toLower();
        for (const auto& [name, value] : modeNames())
            if (name == m) {
                mode = value;
                modeGiven = true;
            }
        if (!modeGiven)
            throw ToolError(Usage, QStringLiteral("import: unknown mode '%1'; the modes are: append update "
                                                  "appendupdate delete copy.")
                                       .arg(args.value(QStringLiteral("mode"))));
    }
    if (!QFileInfo(spec).isFile())
        throw ToolError(
            Failed,
            QStringLiteral("Cannot read the specification \"%1\".").arg(QDir::toNativeSeparators(spec)));

    Connection connection(args.directory);
    if (!connection.tableExists(Contact::TableFile))
        throw ToolError(Failed, QStringLiteral("There is no contact table \"%1\" in \"%2\".")
                                    .arg(Contact::TableFile, QDir::toNativeSeparators(args.directory)));
    Cursor table(connection, Contact::TableFile);
    table.open();
    Cursor aux(connection, Contact::TableFile);
    aux.setFieldNames(Contact::auxFieldNames());
    aux.open();

    std::unique_ptr<TImportBase> reader = ImportRegistry::instance().createReader(format->type);
    try {
        ImportSpecification::load(*reader, spec);
    } catch (const ImportError& e) {
        throw ToolError(Failed, e.message());
    }
    if (args.has(QStringLiteral("source")))
        reader->setSourceFileName(args.value(QStringLiteral("source")));
    if (modeGiven)
        reader->setMode(mode);
    reader->setDataSet(&table);
    reader->setAnimatedStatus(false);
    reader->setOptions(reader->options() & ~TImportOptions(soShowMessage));

    ImportErrorReporter reporter(table, aux);
    reporter.attach(*reader);
    reporter.begin(true);
    try {
        reader->execute();
    } catch (const ImportError& e) { // a setting is missing: nothing ran
        throw ToolError(Failed, e.message());
    }
    const QString errorFile = ImportCommand::errorFileName();
    try {
        reporter.writeErrorFile(errorFile);
    } catch (const ImportError& e) {
        throw ToolError(Failed, e.message());
    }
    if (reader->result() == ImportResult::Failed)
        throw ToolError(Failed, reader->errorText().isEmpty()
                                    ? reader->resultText()
                                    : reader->resultText() + QLatin1Char(' ') + reader->errorText());
    const ImportCounters& c = reader->counters();
    QTextStream(stdout) << QStringLiteral("Processed %1, added %2, updated %3, deleted %4, errors %5.%6\n")
                               .arg(c.processed)
                               .arg(c.added)
                               .arg(c.updated)
                               .arg(c.deleted)
                               .arg(c.errors)
                               .arg(c.errors ? QStringLiteral(" The errors are listed in ") +
                                                   QDir::toNativeSeparators(errorFile) + QLatin1Char('.')
                                             : QString());
}

ToolCommand importCommand() {
    ToolCommand c;
    c.name = QStringLiteral("import");
    c.summary = QStringLiteral("Imports into the contact table with a saved import specification.");
    c.options = {
        {QStringLiteral("spec"), QStringLiteral("FILE.plx"),
         QStringLiteral("the specification: source, layout, mappings, keys, mode, rows"), true},
        {QStringLiteral("format"), QStringLiteral("FORMAT"),
         QStringLiteral("the source's format (default text): ") + readableFormats()},
        {QStringLiteral("source"), QStringLiteral("FILE"),
         QStringLiteral("read this file instead of the specification's")},
        {QStringLiteral("mode"), QStringLiteral("MODE"),
         QStringLiteral("instead of the specification's: append update appendupdate delete copy")},
    };
    c.notes = {
        QStringLiteral(
            "Errors are written to ImportErrors.txt in the program directory (replaced by every run)."),
        QStringLiteral(
            "Prints one line with the rows processed, added, updated and deleted and the errors.")};
    c.run = runImport;
    return c;
}

const ToolRegistration registration(importCommand);

} // namespace

} // namespace ks::tool
