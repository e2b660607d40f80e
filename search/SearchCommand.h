#pragma once

namespace ks {

class ContactHost;
class JobFrame;
class SearchHost;
class TfrmGlobal;
class TfrmSearch;
class ViewHost;

// The main window's "&Search": the dialog runs inside the saved view; after "&Go To Record" only the
// found record stays selected.
class SearchCommand {
public:
    SearchCommand(TfrmGlobal& data, ViewHost& view, ContactHost& host, SearchHost& search, JobFrame& frame, TfrmSearch& dialog);
    void run();

private:
    TfrmGlobal& m_data;
    ViewHost& m_view;
    ContactHost& m_host;
    SearchHost& m_search;
    JobFrame& m_frame;
    TfrmSearch& m_dialog;
};

} // namespace ks
