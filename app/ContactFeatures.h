#pragma once

#include <QObject>
#include <memory>

namespace ks {

class ContactCommands;
class SearchCommand;
class TKestrumEditForm;
class TKestrumMainForm;
class TfrmSearch;

// The entry commands and the search of the main window: owns the edit dialog, the search dialog and
// the command objects, and hands every place of these commands (toolbar, menus, grid pop-up, double
// click) its handler. Lives as long as the main window, which is its parent.
class ContactFeatures : public QObject {
    Q_OBJECT
public:
    explicit ContactFeatures(TKestrumMainForm& main);
    ~ContactFeatures() override;

    // The search dialog takes the grid's columns as they are when it is made, so it comes last,
    // after every window that may change them.
    void createSearchDialog();

    TKestrumEditForm& editForm() const { return *m_editForm; }
    TfrmSearch* searchDialog() const { return m_searchDialog.get(); }
    ContactCommands& commands() const { return *m_commands; }

private:
    TKestrumMainForm& m_main;
    std::unique_ptr<TKestrumEditForm> m_editForm;
    std::unique_ptr<ContactCommands> m_commands;
    std::unique_ptr<TfrmSearch> m_searchDialog;
    std::unique_ptr<SearchCommand> m_search;
};

} // namespace ks
