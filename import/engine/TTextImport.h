#pragma once

#include "import/engine/TImportBase.h"
#include "import/engine/TextFieldSplitter.h"

#include <memory>

namespace ks {

class TextRowReader;

// The reader for delimited and fixed-width text files. Source names pick a piece of the current
// row: "Field3" is the third delimited field, "Text5-7" the characters 5 to 7 of a fixed-width row.
// Anything else is not a reference and imports as the text itself.
class TTextImport : public TImportBase {
public:
    TTextImport();
    ~TTextImport() override;

    QString defaultExtension() const override;
    QString fileFilter() const override;
    QString missingProperty() const override;

    // Rows `first` to `last` of a file (in preview mode at most up to row 20) and, apart, row 1.
    struct Rows {
        QStringList rows;
        QString firstRow;
    };
    static Rows readRows(const QString& fileName, const TextLayout& layout, int first, int last,
                         bool preview);
    static QStringList splitRow(const QString& row, QChar delimiter, QChar qualifier);
    // What a source name gives on one row, the way an import reads it.
    static QString valueOf(const QString& sourceName, const QString& row, const TextLayout& layout,
                           bool fixed);

    // Source names: "Field" + number (the first five characters are not examined) and
    // "Text" + first + "-" + last (1-based, inclusive). False when the text is not one.
    static bool parseFieldReference(const QString& sourceName, int& field);
    static bool parseRangeReference(const QString& sourceName, qint64& first, qint64& last);

protected:
    void openSource() override;
    void closeSource() override;
    void fetchRow() override;
    void firstRow() override;
    void nextRow() override;
    bool hasRow() override;
    QVariant rawValue(const QString& sourceName) override;

private:
    bool readKeptRow();
    static QString resolve(const QString& sourceName, QStringView row, const QVector<TextFieldSpan>& fields,
                           bool fixed, QChar qualifier);

    std::unique_ptr<TextRowReader> m_reader;
    qint64 m_index = 0;
    qint64 m_lastRow = 0;
    bool m_haveRow = false;
    QString m_row;
    QVector<TextFieldSpan> m_fields;
    TextLayout m_layout;
};

} // namespace ks
