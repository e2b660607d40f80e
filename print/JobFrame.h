#pragma once

#include "print/ViewHost.h"
#include "store/engine/Filter.h"

#include <QStringList>
#include <QVector>

namespace ks {

class Cursor;
class TfrmGlobal;
struct RowKey;

// The steps that bracket every print and export job: the saved view, the selection marks and the
// job filter.
class JobFrame {
public:
    JobFrame(TfrmGlobal& data, ViewHost& host);

    // False (nothing saved) when the view is empty.
    bool SaveView();
    void RestoreView();
    bool hasSavedView() const { return m_saved; }

    // Marks exactly the selected rows (the current row when none is selected).
    void MarkSelection();
    // Clears every mark, then marks the records named by the match list's rows; returns how many
    // were marked. Leaves "All Categories" and the unique index in use.
    int MarkSearchMatches(const MatchList& matches);

    // The job filter: saved before a job narrows the table, put back after it.
    void saveJobFilter();
    void setJobFilter(const Filter& filter); // an empty filter switches filtering off
    void restoreJobFilter();

private:
    TfrmGlobal& m_data;
    ViewHost& m_host;
    Cursor& m_cursor;

    bool m_saved = false;
    QString m_indexName;
    QString m_indexFieldNames;
    QString m_categoryText;
    RowId m_current = 0;
    QVector<QStringList> m_selectedKeys;

    Filter m_jobFilter;
    bool m_jobFiltered = false;
};

} // namespace ks
