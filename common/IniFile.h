#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace ks {

// An INI-format file: case-insensitive sections and keys, the order of sections and keys (and any
// keys we don't know) kept, saved atomically (temporary file renamed over the old one).
// Booleans are written as 1 and 0; any non-zero number reads as true.
class IniFile {
public:
    explicit IniFile(const QString& path); // reads the file if it exists; a missing file is empty
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    QString path() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& def = QString()) const;
    int readInteger(const QString& section, const QString& key, int def = 0) const; // garbage -> def
    bool readBool(const QString& section, const QString& key, bool def = false) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;
    bool hasSection(const QString& section) const;
    bool hasKey(const QString& section, const QString& key) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void eraseSection(const QString& section);
    void deleteKey(const QString& section, const QString& key);

    // Writes the file (UTF-8, CR LF). Returns false (and leaves the old file) on failure.
    bool save();

private:
    struct Impl;
    QString m_path;
    std::unique_ptr<Impl> d;
};

// Opens, writes one value, saves: the way settings are written "at the moment they are needed".
void iniWriteString(const QString& path, const QString& section, const QString& key, const QString& value);

} // namespace ks
