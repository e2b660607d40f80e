#pragma once

#include "store/ContactSchema.h"
#include "store/engine/Connection.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace ks {

class Cursor;

// The data module: the connection to the program directory, the two cursors on the contact table,
// the category list and the values the windows share.
class TfrmGlobal : public QObject {
    Q_OBJECT
public:
    // Connects to `directory`. Creates the contact and tips tables when they don't exist.
    explicit TfrmGlobal(const QString& directory, QObject* parent = nullptr);
    ~TfrmGlobal() override;

    static TfrmGlobal* instance(); // the one created last (nullptr when none)

    Connection& AdsConnection1() { return m_connection; }
    Cursor* tblPhoneBook() const { return m_main.get(); }      // all 21 fields
    Cursor* tblAuxPhoneBook() const { return m_aux.get(); }    // fields 1 to 20

    // Opening at start-up: main cursor, upgrade when RealPrint is missing, reopen, aux cursor.
    // Throws EngineError when the table can't be opened.
    void openTables();
    // Adds RealPrint to an old table and shows "Data has been brought up to latest version.".
    void UpgradeTable();
    // "All Categories" then each distinct non-empty Category in index order.
    void BuildCategoryList();
    const QStringList& categoryList() const { return m_categories; }

    RowKey currentRowKey() const;   // row key of the main cursor's current record
    RowKey rowKeyOf(const Cursor& c) const;

    QString CurrentDisplayName;
    RowKey EditedRowKey;

signals:
    // The data-change hook: the main cursor's current record or its data changed while both
    // cursors are open.
    void dataChanged();
    void categoryListChanged();

private:
    void ensureTables();

    Connection m_connection;
    std::unique_ptr<Cursor> m_main;
    std::unique_ptr<Cursor> m_aux;
    QStringList m_categories;
};

} // namespace ks
