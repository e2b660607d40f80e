// kestrum-tool export: the contact table (or one category) written by the export dialog's writers.
#include "tool/ToolCommand.h"

#include "common/IniFile.h"
#include "export/commands/ExportCommands.h"
#include "export/dialog/ExportOptionsFile.h"
#include "export/engine/ExportError.h"
#include "export/engine/ExportRegistry.h"
#include "export/engine/TVExport.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace ks::tool {

namespace {

// The kinds the tool can write: those with a writer that write a file.
QList<const ExportKind*> fileKinds() {
    QList<const ExportKind*> out;
    for (const ExportKind* k : ExportRegistry::instance().kinds())
        if (k->writesFile)
            out << k;
    return out;
}

QString kindNames() {
    QStringList names;
    for (const ExportKind* k : fileKinds())
        names << k->name;
    return names.join(QLatin1Char(' '));
}

const ExportKind* fileKind(const ExportKind* k) {
    return k && k->writesFile ? k : nullptr;
}

// What an options file of the export dialog says: kind, formats, fields.
struct Options {
    const ExportKind* kind = nullptr;
    TVFormats formats = ExportCommands::programFormats();
    QStringList fields; // display labels of the exported fields; empty: the default set
};

Options readOptions(const QString& path, const Cursor& cursor) {
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
        throw ToolError(Failed, QStringLiteral("Cannot read the options file \"%1\".").arg(QDir::toNativeSeparators(path)));
    Options o;
    ExportOptionsFile::Values v;
    v.exportType = -1;
    const TVFormats& f = o.formats;
    const QString defaults[6] = {f.integerFormat(), f.floatFormat(),    f.dateFormat(),
                                 f.timeFormat(),    f.dateTimeFormat(), f.currencyFormat()};
    for (int i = 0; i < 6; ++i)
        v.formats[i] = defaults[i];
    for (int field = 0; field < cursor.fieldCount(); ++field)
        v.fieldLabels << cursor.fieldDef(field).displayName();
    ExportOptionsFile::load(path, soFormats | soFields, v);
    // The kind only when the file names one: a missing key must not read as the first kind.
    const IniFile ini(path);
    if (!ini.readString(QStringLiteral("General"), QStringLiteral("ExportType")).isEmpty()) {
        const int number = ini.readInteger(QStringLiteral("General"), QStringLiteral("ExportType"), -1);
        o.kind = fileKind(ExportRegistry::instance().kind(number));
        if (!o.kind)
            throw ToolError(Failed, QStringLiteral("The options file names the kind \"%1\", which kestrum-tool can't "
                                                   "write; give --kind (%2).")
                                        .arg(ExportRegistry::captionOf(number).isEmpty()
                                                 ? QString::number(number)
                                                 : ExportRegistry::captionOf(number),
                                             kindNames()));
    }
    o.formats.setIntegerFormat(v.formats[0]);
    o.formats.setFloatFormat(v.formats[1]);
    o.formats.setDateFormat(v.formats[2]);
    o.formats.setTimeFormat(v.formats[3]);
    o.formats.setDateTimeFormat(v.formats[4]);
    o.formats.setCurrencyFormat(v.formats[5]);
    for (int i = 0; i < v.fieldLabels.size(); ++i)
        if (v.fieldExported.value(i))
            o.fields << v.fieldLabels.at(i);
    return o;
}

void runExport(const ToolArgs& args) {
    const ExportKind* kind = nullptr;
    if (args.has(QStringLiteral("kind"))) {
        kind = fileKind(ExportRegistry::instance().kindByName(args.value(QStringLiteral("kind"))));
        if (!kind)
            throw ToolError(Usage, QStringLiteral("export: unknown kind '%1'; the kinds are: %2.")
                                       .arg(args.value(QStringLiteral("kind")), kindNames()));
    } else if (!args.has(QStringLiteral("options"))) {
        throw ToolError(Usage, QStringLiteral("export: --kind is needed (%1).").arg(kindNames()));
    }
    const QString outFile = args.value(QStringLiteral("out"));
    if (outFile.isEmpty())
        throw ToolError(Usage, QStringLiteral("export: --out FILE is needed."));

    Connection connection(args.directory);
    if (!connection.tableExists(Contact::TableFile))
        throw ToolError(Failed, QStringLiteral("There is no contact table \"%1\" in \"%2\".")
                                    .arg(Contact::TableFile, QDir::toNativeSeparators(args.directory)));
    Cursor cursor(connection, Contact::TableFile);
    cursor.open();

    Options options;
    if (args.has(QStringLiteral("options")))
        options = readOptions(args.value(QStringLiteral("options")), cursor);
    if (kind)
        options.kind = kind;
    if (!options.kind)
        throw ToolError(Usage, QStringLiteral("export: the options file names no kind; give --kind (%1).").arg(kindNames()));
    if (options.fields.isEmpty())
        options.fields = Contact::auxFieldNames(); // the contact's own fields, not the selection mark

    // Row key order, the order the program's listings use for a whole table.
    cursor.setIndexFieldNames(Contact::RowKeyFields);
    if (args.has(QStringLiteral("category"))) {
        const QString category = args.value(QStringLiteral("category"));
        if (!cursor.table()->distinctValues(Contact::Category).contains(category))
            throw ToolError(Failed, QStringLiteral("There is no category \"%1\" in the contact table.").arg(category));
        cursor.setFilter(Filter::equals(Contact::Category, category));
        cursor.setFiltered(true);
    }

    std::unique_ptr<TVExport> writer = options.kind->createWriter();
    options.kind->applyKind(*writer);
    writer->setDataset(&cursor);
    writer->setFileName(outFile);
    writer->setShowFile(false);
    writer->setFormats(options.formats);
    writer->setExportedFields(options.fields);
    writer->setColHeaders(!args.has(QStringLiteral("no-captions")));
    int count = 0;
    writer->onRecordExported = [&count](TVExport&, int) { ++count; };
    try {
        writer->execute();
    } catch (const ExportError& e) {
        throw ToolError(Failed, e.message());
    }
    QTextStream(stdout) << QStringLiteral("Exported %1 contact(s) to %2 (%3).\n")
                               .arg(count)
                               .arg(QDir::toNativeSeparators(outFile), options.kind->caption);
}

ToolCommand exportCommand() {
    ToolCommand c;
    c.name = QStringLiteral("export");
    c.summary = QStringLiteral("Writes every contact (or one category) to a file, as the Export command does.");
    c.options = {
        {QStringLiteral("kind"), QStringLiteral("KIND"), QStringLiteral("what to write: ") + kindNames(), true},
        {QStringLiteral("out"), QStringLiteral("FILE"), QStringLiteral("the file to write (created or replaced)"), true},
        {QStringLiteral("options"), QStringLiteral("FILE.cfg"),
         QStringLiteral("export options saved by the export window: kind, fields, formats")},
        {QStringLiteral("category"), QStringLiteral("NAME"), QStringLiteral("only the contacts of this category")},
        {QStringLiteral("no-captions"), QString(), QStringLiteral("no line of column captions")},
    };
    c.notes = {QStringLiteral("--kind and --out are needed; --kind may be left out when the options file names a kind,"),
               QStringLiteral("and overrides it when given. Without options every contact field is written, in"),
               QStringLiteral("the order of last name, first name and home phone."),
               QStringLiteral("Prints one line: how many contacts were written, where to.")};
    c.run = runExport;
    return c;
}

const ToolRegistration registration(exportCommand);

} // namespace

} // namespace ks::tool
