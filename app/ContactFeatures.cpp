#include "app/ContactFeatures.h"

#include "app/CommandSet.h"
#include "app/ContactGrid.h"
#include "app/TKestrumMainForm.h"
#include "search/SearchCommand.h"
#include "search/TfrmSearch.h"
#include "store/ContactCommands.h"
#include "store/TKestrumEditForm.h"

namespace ks {

namespace {
// The grid's columns in the order shown, as the match list wants them.
QList<MatchColumn> matchColumns(const ContactGrid& grid) {
    QList<MatchColumn> out;
    for (const GridColumn& c : grid.columns())
        out << MatchColumn{c.field, c.displayTitle()};
    return out;
}
} // namespace

ContactFeatures::ContactFeatures(TKestrumMainForm& main) : QObject(&main), m_main(main) {
    setObjectName(QStringLiteral("ContactFeatures"));
    m_editForm = std::make_unique<TKestrumEditForm>(main.data(), &main);
    m_commands = std::make_unique<ContactCommands>(main.data(), main, main, main.jobFrame(), *m_editForm);

    CommandSet& set = main.commands();
    ContactCommands* c = m_commands.get();
    // The grid's double click runs EditEntry as well.
    set.setHandler(Command::AddEntry, [c] { c->Add(); });
    set.setHandler(Command::EditEntry, [c] { c->Edit(); });
    set.setHandler(Command::RemoveEntries, [c] { c->Remove(); });
    set.setHandler(Command::ReIndex, [c] { c->ReIndexData(); });
    set.setHandler(Command::SelectAll, [c] { c->SelectAll(); });
    set.setHandler(Command::SelectNone, [c] { c->SelectNone(); });
    set.setHandler(Command::GoToCategory, [c] { c->GoToCategory(); });
    set.setHandler(Command::AllCategories, [c] { c->AllCategories(); });
}

ContactFeatures::~ContactFeatures() = default;

void ContactFeatures::createSearchDialog() {
    if (m_searchDialog)
        return;
    m_searchDialog = std::make_unique<TfrmSearch>(m_main.data(), m_main, m_main, m_main, m_main.jobFrame(),
                                                  matchColumns(m_main.grid()), &m_main);
    m_search = std::make_unique<SearchCommand>(m_main.data(), m_main, m_main, m_main, m_main.jobFrame(),
                                               *m_searchDialog);
    m_main.commands().setHandler(Command::Search, [this] {
        // Titles and values of the match list both follow the grid as it is now, so a column the
        // user dragged elsewhere never shows one field's values under another's title.
        m_searchDialog->setGridColumns(matchColumns(m_main.grid()));
        m_search->run();
    });
}

} // namespace ks
