#include "common/IniFile.h"

#include "common/TextCodec.h"

#include <QFile>
#include <QSaveFile>
// Values are UTF-8 in and out; Qt does the decoding.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace ks {

struct IniFile::Impl {
    CSimpleIniA ini{true, false, false}; // UTF-8, no multi-keys, no multi-line values
    Impl() { ini.SetSpaces(false); }      // Key=Value, as other readers of these files expect
};

namespace {
std::string u8(const QString& s) { return s.toStdString(); }
QString qs(const char* s) { return s ? QString::fromUtf8(s) : QString(); }
} // namespace

IniFile::IniFile(const QString& path) : m_path(path), d(std::make_unique<Impl>()) {
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray utf8 = decodeText(f.readAll()).toUtf8();
        d->ini.LoadData(utf8.constData(), static_cast<size_t>(utf8.size()));
    }
}

IniFile::~IniFile() = default;

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const char* v = d->ini.GetValue(u8(section).c_str(), u8(key).c_str(), nullptr);
    return v ? QString::fromUtf8(v) : def;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int v = readString(section, key).trimmed().toInt(&ok);
    return ok ? v : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    bool ok = false;
    const QString s = readString(section, key).trimmed();
    const long long v = s.toLongLong(&ok);
    return ok ? v != 0 : def;
}

QStringList IniFile::sections() const {
    CSimpleIniA::TNamesDepend names;
    d->ini.GetAllSections(names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList out;
    for (const auto& n : names)
        out << qs(n.pItem);
    return out;
}

QStringList IniFile::keys(const QString& section) const {
    CSimpleIniA::TNamesDepend names;
    d->ini.GetAllKeys(u8(section).c_str(), names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList out;
    for (const auto& n : names)
        out << qs(n.pItem);
    return out;
}

bool IniFile::hasSection(const QString& section) const {
    return d->ini.GetSection(u8(section).c_str()) != nullptr;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    return d->ini.GetValue(u8(section).c_str(), u8(key).c_str(), nullptr) != nullptr;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    // Values are single lines in this format.
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    d->ini.SetValue(u8(section).c_str(), u8(key).c_str(), u8(v).c_str());
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::eraseSection(const QString& section) { d->ini.Delete(u8(section).c_str(), nullptr); }

void IniFile::deleteKey(const QString& section, const QString& key) {
    d->ini.Delete(u8(section).c_str(), u8(key).c_str());
}

bool IniFile::save() {
    std::string out;
    if (d->ini.Save(out, false) < 0)
        return false;
    QByteArray bytes = QByteArray::fromStdString(out);
    bytes.replace("\r\n", "\n");
    bytes.replace("\n", "\r\n");
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

void iniWriteString(const QString& path, const QString& section, const QString& key, const QString& value) {
    IniFile ini(path);
    ini.writeString(section, key, value);
    ini.save();
}

} // namespace ks
