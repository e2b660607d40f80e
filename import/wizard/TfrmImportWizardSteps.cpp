// The steps of the import wizard that read the source: the text preview and its field breaks,
// the mapping step with its presets, the data preview and the mode step.

#include "common/Prompt.h"
#include "import/engine/ImportError.h"
#include "import/engine/TTextImport.h"
#include "import/wizard/TBreakEditor.h"
#include "import/wizard/TImportWizard.h"
#include "import/wizard/TMappingDelegate.h"
#include "import/wizard/TfrmImportWizard.h"
#include "store/engine/Dataset.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <memory>

namespace ks {

namespace {

constexpr int kCellTextLimit = 500; // a preview cell shows this much of a long field
constexpr int kMaxColumnWidth = 400;

// How many characters a field shows in a fixed-width layout.
int displayWidth(const FieldDef& f) {
    switch (f.type) {
    case FieldType::String:
        return qMax(1, f.size);
    case FieldType::Memo:
        return 10;
    case FieldType::Logical:
        return 5;
    case FieldType::Integer:
    case FieldType::AutoInc:
        return 11;
    case FieldType::Float:
    case FieldType::Currency:
        return 15;
    case FieldType::Date:
    case FieldType::Time:
        return 10;
    case FieldType::DateTime:
        return 18;
    }
    return 10;
}

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(
        text.size() > kCellTextLimit ? text.left(kCellTextLimit) + QStringLiteral("...") : text);
    item->setToolTip(text.size() > kCellTextLimit ? QString() : text);
    return item;
}

void numberRows(QTableWidget* grid, int rows) {
    for (int r = 0; r < rows; ++r) {
        auto* header = new QTableWidgetItem(QString::number(r + 1));
        header->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->setVerticalHeaderItem(r, header);
    }
}

} // namespace

void TfrmImportWizard::readPreview() {
    m_previewRows.clear();
    m_firstLine.clear();
    try {
        const TTextImport::Rows rows =
            TTextImport::readRows(edtSourceFileName->text().trimmed(), layoutFromPage(), firstRowFromPage(),
                                  lastRowFromPage(), true);
        m_previewRows = rows.rows;
        m_firstLine = rows.firstRow;
    } catch (const ImportError& e) {
        Prompt::current().error(e.message());
    }
    m_sourceChanged = false;
    m_presetPending = true;
    updateBreaksPage();
    if (!isFixed()) {
        fillDelimitedPreview();
        return;
    }
    pbBreaks->setRows(m_previewRows);
    pbBreaks->setBreaks(guessBreaks());
    m_breaksChanged = false;
    sbBreaksVert->setRange(0, qMax(0, int(m_previewRows.size()) - TBreakEditor::kVisibleRows));
    sbBreaksHorz->setPageStep(pbBreaks->visibleColumns());
}

void TfrmImportWizard::fillDelimitedPreview() {
    const QChar delimiter = delimiterFromPage();
    const QChar qualifier = qualifierFromPage();
    QList<QStringList> rows;
    int columns = 0;
    for (const QString& row : std::as_const(m_previewRows)) {
        rows << TTextImport::splitRow(row, delimiter, qualifier);
        columns = qMax(columns, int(rows.last().size()));
    }
    grdDelimitedPreview->clear();
    grdDelimitedPreview->setRowCount(int(rows.size()));
    grdDelimitedPreview->setColumnCount(columns);
    QStringList headers;
    for (int c = 0; c < columns; ++c)
        headers << QStringLiteral("Field%1").arg(c + 1);
    grdDelimitedPreview->setHorizontalHeaderLabels(headers);
    numberRows(grdDelimitedPreview, int(rows.size()));
    const QFontMetrics fm = grdDelimitedPreview->fontMetrics();
    QVector<int> widths(columns, 40);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c) {
            const QString& text = rows.at(r).at(c);
            grdDelimitedPreview->setItem(r, c, cell(text));
            // Each column as wide as its text in the last row that reaches it.
            widths[c] = qMin(kMaxColumnWidth, fm.horizontalAdvance(text.left(kCellTextLimit)) + 40);
        }
    for (int c = 0; c < columns; ++c)
        grdDelimitedPreview->setColumnWidth(c, widths.at(c));
}

QList<int> TfrmImportWizard::guessBreaks() const {
    // The sample line skips as many rows as the first row box says, when there are enough.
    const int index = firstRowFromPage();
    const QString sample =
        index >= 0 && index < m_previewRows.size() - 1 ? m_previewRows.at(index) : QString();
    const EditableDataset* ds = m_component.dataSet();
    QList<int> breaks;
    if (sample.isEmpty() || !ds)
        return breaks;
    const QChar delimiter = delimiterFromPage();
    const QChar qualifier = qualifierFromPage();
    const int len = int(sample.size());
    auto at = [&](int pos) { return sample.at(pos - 1); }; // 1-based
    int start = 1;
    for (int i = 0; i < ds->fieldCount(); ++i) {
        const int pos = start + displayWidth(ds->fieldDef(i));
        int brk = len;
        if (pos <= len) {
            brk = pos;
            if (at(pos) == delimiter || (!qualifier.isNull() && at(pos) == qualifier))
                --brk;
        }
        if (brk >= 1 && (breaks.isEmpty() || brk > breaks.last()))
            breaks << brk;
        start = brk + 1;
        if (start <= len && at(start) == delimiter)
            ++start;
        if (start >= len)
            break;
    }
    return breaks;
}

void TfrmImportWizard::prepareMappings() {
    QStringList sources{QString()};
    if (isText()) {
        if (!isFixed()) {
            for (int c = 0; c < grdDelimitedPreview->columnCount(); ++c)
                sources << QStringLiteral("Field%1").arg(c + 1);
        } else if (pbBreaks->breaks().isEmpty()) {
            sources << QStringLiteral("Text1-2147483647");
        } else {
            int first = 1;
            for (int b : pbBreaks->breaks()) {
                sources << QStringLiteral("Text%1-%2").arg(first).arg(b);
                first = b + 1;
            }
        }
    } else {
        try {
            std::unique_ptr<TImportBase> reader = ImportRegistry::instance().createReader(selectedType());
            reader->setDataSet(m_component.dataSet());
            reader->setSourceFileName(edtSourceFileName->text().trimmed());
            reader->setRowFirst(firstRowFromPage());
            reader->setRowLast(lastRowFromPage());
            sources << reader->sourceColumnNames();
        } catch (const std::exception& e) {
            const auto* ie = dynamic_cast<const ImportError*>(&e);
            Prompt::current().error(ie ? ie->message() : QString::fromUtf8(e.what()));
        }
    }
    m_sources = sources;
    m_sourceDelegate->setSources(sources);
    const bool changed = isText() ? m_presetPending : m_sourceChanged;
    if (m_noMappings && changed)
        presetMappings();
    m_presetPending = false;
}

void TfrmImportWizard::presetMappings() {
    const EditableDataset* ds = m_component.dataSet();
    if (!ds)
        return;
    const int rows = grdMappings->rowCount();
    auto matches = [ds](const QString& text, int row) {
        const FieldDef& f = ds->fieldDef(row);
        const QString t = text.trimmed();
        return t.compare(f.name, Qt::CaseInsensitive) == 0 ||
               t.compare(f.displayName(), Qt::CaseInsensitive) == 0;
    };
    QStringList presets(rows);
    if (isText() && !isFixed()) {
        // A header line names the fields; without one, fields go in table order.
        const QStringList header =
            TTextImport::splitRow(m_firstLine, delimiterFromPage(), qualifierFromPage());
        bool byName = firstRowFromPage() > 1;
        for (int r = 0; r < rows && !byName; ++r)
            for (const QString& h : header)
                byName = byName || matches(h, r);
        const int columns = int(m_sources.size()) - 1;
        for (int r = 0; r < rows; ++r) {
            if (byName) {
                for (int k = 0; k < header.size(); ++k)
                    if (matches(header.at(k), r)) {
                        presets[r] = QStringLiteral("Field%1").arg(k + 1);
                        break;
                    }
            } else if (r < columns) {
                presets[r] = QStringLiteral("Field%1").arg(r + 1);
            }
        }
    } else if (isText()) {
        // Without breaks the whole line goes to the first field; with them, one range per field.
        for (int r = 0; r < rows && r + 1 < m_sources.size(); ++r)
            presets[r] = m_sources.at(r + 1);
    } else {
        for (int r = 0; r < rows; ++r)
            for (const QString& s : std::as_const(m_sources))
                if (!s.isEmpty() && s.compare(ds->fieldDef(r).name, Qt::CaseInsensitive) == 0) {
                    presets[r] = s;
                    break;
                }
    }
    for (int r = 0; r < rows; ++r)
        grdMappings->item(r, 2)->setText(presets.at(r));
}

void TfrmImportWizard::fillPreview() {
    QStringList captions;
    QStringList sources;
    for (int r = 0; r < grdMappings->rowCount(); ++r) {
        const QString source = grdMappings->item(r, 2)->text().trimmed();
        if (source.isEmpty())
            continue;
        captions << grdMappings->item(r, 1)->text();
        sources << source;
    }
    QList<QStringList> values;
    if (isText()) {
        const TextLayout layout = layoutFromPage();
        for (const QString& row : std::as_const(m_previewRows)) {
            QStringList v;
            for (const QString& s : std::as_const(sources))
                v << TTextImport::valueOf(s, row, layout, isFixed());
            values << v;
        }
    } else {
        try {
            std::unique_ptr<TImportBase> reader = ImportRegistry::instance().createReader(selectedType());
            reader->setDataSet(m_component.dataSet());
            reader->setSourceFileName(edtSourceFileName->text().trimmed());
            reader->setRowFirst(firstRowFromPage());
            reader->setRowLast(lastRowFromPage());
            values = reader->previewValues(sources);
        } catch (const std::exception& e) {
            const auto* ie = dynamic_cast<const ImportError*>(&e);
            Prompt::current().error(ie ? ie->message() : QString::fromUtf8(e.what()));
        }
    }
    grdPreview->clear();
    grdPreview->setColumnCount(int(captions.size()));
    grdPreview->setRowCount(int(values.size()));
    grdPreview->setHorizontalHeaderLabels(captions);
    numberRows(grdPreview, int(values.size()));
    for (int r = 0; r < values.size(); ++r)
        for (int c = 0; c < values.at(r).size() && c < captions.size(); ++c)
            grdPreview->setItem(r, c, cell(values.at(r).at(c)));
    // Delimited columns keep the width they had in the field preview.
    if (isText() && !isFixed())
        for (int c = 0; c < sources.size(); ++c) {
            int k = -1;
            if (TTextImport::parseFieldReference(sources.at(c), k) && k >= 1 &&
                k <= grdDelimitedPreview->columnCount())
                grdPreview->setColumnWidth(c, grdDelimitedPreview->columnWidth(k - 1));
        }
}

bool TfrmImportWizard::hasKeyMark() const {
    for (int r = 0; r < grdMappings->rowCount(); ++r)
        if (grdMappings->item(r, 3)->checkState() == Qt::Checked)
            return true;
    return false;
}

void TfrmImportWizard::updateModeChoices() {
    // The keyed modes need a key to find existing rows by.
    const bool keyed = hasKeyMark();
    const bool changeable = m_component.userAccess().ImportMode == irReadWrite;
    for (int mode : {imUpdate, imAppendUpdate, imDelete})
        modeGroup->button(mode)->setEnabled(keyed && changeable);
}

} // namespace ks
