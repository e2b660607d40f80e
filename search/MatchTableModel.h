#pragma once

#include "print/ViewHost.h"
#include "store/engine/Table.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QList>
#include <QStringList>
#include <QVector>

namespace ks {

class Cursor;

// A value column of the match list: one column of the main window's grid, the field it shows and
// its title.
struct MatchColumn {
    QString field;
    QString title;
};

// The search dialog's match list: "Matching Field", "Matching Value", then the grid's columns; one
// row per match and one empty row after the last. Cells are read from the table only when they are
// shown, so 20,000 matches cost one list of row ids.
class MatchTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MatchTableModel(QObject* parent = nullptr);
    ~MatchTableModel() override;

    void setColumns(const QList<MatchColumn>& columns);
    const QList<MatchColumn>& columns() const { return m_columns; }
    // The matches of a search on the table the cursor reads.
    void setMatches(const Cursor& source, const QVector<Table::TextMatch>& matches);
    void clear();
    // The table was written: read the cells again.
    void refreshValues();

    int matchCount() const { return int(m_matches.size()); }
    RowId rowIdAt(int match) const;
    QVector<RowId> rowIds() const;
    QString title(int column) const;
    QString cell(int match, int column) const; // as stored, line breaks included

    // The match list as the job frame and the address listing read it.
    const MatchList& matchList() const { return m_list; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    class List : public MatchList {
    public:
        explicit List(const MatchTableModel& m) : model(m) {}
        int matchCount() const override { return model.matchCount(); }
        int columnCount() const override { return model.columnCount(); }
        QString columnTitle(int column) const override { return model.title(column); }
        QString cell(int match, int column) const override { return model.cell(match, column); }
        const MatchTableModel& model;
    };

    const QStringList* rowTexts(int match) const;
    void resolveFields();

    List m_list{*this};
    QList<MatchColumn> m_columns;
    const Cursor* m_source = nullptr;
    QVector<Table::TextMatch> m_matches;
    QVector<int> m_columnFields; // table field of each grid column; -1 when the table lacks it
    mutable QCache<int, QStringList> m_cache;
    mutable quint64 m_cacheGeneration = 0;
};

} // namespace ks
