#include "app/GridLayoutFile.h"

#include "store/ContactSchema.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace ks {

namespace {

const QString FormatKey = QStringLiteral("kestrumGridLayout");
constexpr int FormatVersion = 1;
constexpr int MinWidth = 8;
constexpr int MaxWidth = 4000;

// The canonical spelling of a contact field, or an empty string for a name the table doesn't have.
QString contactField(const QString& name) {
    for (const FieldDef& f : Contact::fields())
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return f.name;
    return QString();
}

} // namespace

GridColumns GridLayoutFile::builtInColumns() {
    using namespace Contact;
    // Widths in pixels for a 9-10 point UI font; long fields get room for a typical value.
    const QList<std::tuple<QString, QString, int>> cols = {
        {LastName, QStringLiteral("Last Name/Business"), 170},
        {FirstName, QStringLiteral("First Name/Contact 1"), 140},
        {HomePhone, QStringLiteral("Phone"), 110},
        {BusinessPhone, QStringLiteral("Work/Data Phone"), 115},
        {AlternatePhone, QStringLiteral("Other Phone"), 110},
        {Fax, QStringLiteral("Fax"), 110},
        {ContactField, QStringLiteral("Company/Contact 2"), 140},
        {AddressOne, QStringLiteral("Address One"), 180},
        {AddressTwo, QStringLiteral("Address Two"), 140},
        {City, QStringLiteral("City"), 120},
        {State, QStringLiteral("State"), 50},
        {Zip, QStringLiteral("Zip"), 70},
        {Country, QStringLiteral("Country"), 100},
        {EMail, QStringLiteral("E-Mail"), 180},
        {User1, QStringLiteral("Web Site"), 160},
        {User2, QStringLiteral("Birthday"), 90},
        {User3, QStringLiteral("Next Meeting"), 100},
        {Category, QStringLiteral("Category"), 110},
        {BusinessFlag, QStringLiteral("Business Entry Flag"), 120},
    };
    GridColumns out;
    for (const auto& [field, title, width] : cols)
        out << GridColumn{field, title, width, QFont(), false};
    return out;
}

std::optional<GridColumns> GridLayoutFile::read(const QByteArray& bytes) {
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject root = doc.object();
    if (root.value(FormatKey).toInt(-1) != FormatVersion || !root.value(QStringLiteral("columns")).isArray())
        return std::nullopt;
    const QJsonArray array = root.value(QStringLiteral("columns")).toArray();
    if (array.isEmpty())
        return std::nullopt;
    GridColumns out;
    for (const QJsonValue& v : array) {
        if (!v.isObject())
            return std::nullopt;
        const QJsonObject o = v.toObject();
        GridColumn col;
        col.field = contactField(o.value(QStringLiteral("field")).toString());
        if (col.field.isEmpty())
            return std::nullopt;
        const QJsonValue title = o.value(QStringLiteral("title"));
        if (!title.isUndefined() && !title.isString())
            return std::nullopt;
        col.title = title.toString();
        const QJsonValue width = o.value(QStringLiteral("width"));
        if (!width.isDouble())
            return std::nullopt;
        col.width = qBound(MinWidth, width.toInt(), MaxWidth);
        const QString font = o.value(QStringLiteral("titleFont")).toString();
        if (!font.isEmpty())
            col.hasTitleFont = col.titleFont.fromString(font);
        out << col;
    }
    return out;
}

std::optional<GridColumns> GridLayoutFile::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A layout file is a few kilobytes; anything far larger is not ours.
    if (f.size() > 1024 * 1024)
        return std::nullopt;
    return read(f.readAll());
}

QByteArray GridLayoutFile::write(const GridColumns& columns) {
    QJsonArray array;
    for (const GridColumn& c : columns) {
        QJsonObject o;
        o.insert(QStringLiteral("field"), c.field);
        o.insert(QStringLiteral("title"), c.title);
        o.insert(QStringLiteral("width"), c.width);
        if (c.hasTitleFont)
            o.insert(QStringLiteral("titleFont"), c.titleFont.toString());
        array.append(o);
    }
    QJsonObject root;
    root.insert(FormatKey, FormatVersion);
    root.insert(QStringLiteral("columns"), array);
    QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    bytes.replace("\n", "\r\n");
    return bytes;
}

bool GridLayoutFile::save(const QString& path, const GridColumns& columns) {
    const QByteArray bytes = write(columns);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace ks
