#include "search/SearchCommand.h"

#include "common/Prompt.h"
#include "print/JobFrame.h"
#include "print/ViewHost.h"
#include "search/SearchHost.h"
#include "search/TfrmSearch.h"
#include "store/ContactHost.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/EngineError.h"

namespace ks {

SearchCommand::SearchCommand(TfrmGlobal& data, ViewHost& view, ContactHost& host, SearchHost& search, JobFrame& frame,
                             TfrmSearch& dialog)
    : m_data(data), m_view(view), m_host(host), m_search(search), m_frame(frame), m_dialog(dialog) {}

void SearchCommand::run() {
    try {
        if (!m_frame.SaveView())
            return;
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
        return;
    }
    m_dialog.exec();
    try {
        m_frame.RestoreView();
        if (m_search.searchGoTo()) {
            const Cursor& c = *m_data.tblPhoneBook();
            QVector<RowId> view;
            view.reserve(c.recordCount());
            for (int i = 0; i < c.recordCount(); ++i)
                view << c.rowIdAt(i);
            if (!view.isEmpty())
                m_host.setRowsSelected(view, false);
        }
        m_view.selectCurrentRow();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

} // namespace ks
