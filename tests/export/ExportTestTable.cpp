#include "ExportTestTable.h"

#include "store/engine/Table.h"

namespace ks {

namespace {
const QList<FieldDef> kFields{
    {QStringLiteral("Name"), FieldType::String, 12, {}, true},
    {QStringLiteral("Notes"), FieldType::Memo, 0, {}, true},
    {QStringLiteral("Active"), FieldType::Logical, 0, {}, true},
    {QStringLiteral("Qty"), FieldType::Integer, 0, {}, true},
    {QStringLiteral("Id"), FieldType::AutoInc, 0, {}, true},
    {QStringLiteral("Price"), FieldType::Float, 0, {}, true},
    {QStringLiteral("Cost"), FieldType::Currency, 0, {}, true},
    {QStringLiteral("Born"), FieldType::Date, 0, {}, true},
    {QStringLiteral("Alarm"), FieldType::Time, 0, {}, true},
    {QStringLiteral("Stamp"), FieldType::DateTime, 0, {}, true},
};
} // namespace

ExportTestTable::ExportTestTable() {
    m_connection = std::make_unique<Connection>(m_dir.path());
    m_connection->createTable(QStringLiteral("Types.ADT"), kFields, {});
    m_cursor = std::make_unique<Cursor>(*m_connection, QStringLiteral("Types.ADT"));
    m_cursor->open();
    Cursor& c = *m_cursor;

    c.append();
    c.setValue(QStringLiteral("Name"), QStringLiteral("Baker"));
    c.setValue(QStringLiteral("Notes"), QStringLiteral("Line one\r\nline \"two\"; end"));
    c.setValue(QStringLiteral("Active"), true);
    c.setValue(QStringLiteral("Qty"), 1234567);
    c.setValue(QStringLiteral("Price"), 1234.5);
    c.setValue(QStringLiteral("Cost"), 12.5);
    c.setValue(QStringLiteral("Born"), QDate(2024, 3, 5));
    c.setValue(QStringLiteral("Alarm"), QTime(14, 7));
    c.setValue(QStringLiteral("Stamp"), QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
    c.post();

    c.append();
    c.setValue(QStringLiteral("Name"), QStringLiteral("O\"Neil; Jr."));
    c.setValue(QStringLiteral("Notes"), QStringLiteral("tab\there, a;b"));
    c.setValue(QStringLiteral("Active"), false);
    c.setValue(QStringLiteral("Qty"), -42);
    c.setValue(QStringLiteral("Price"), -0.5);
    c.setValue(QStringLiteral("Cost"), 0.0);
    c.setValue(QStringLiteral("Born"), QDate(1999, 12, 31));
    c.setValue(QStringLiteral("Alarm"), QTime(0, 0));
    c.setValue(QStringLiteral("Stamp"), QDateTime(QDate(1999, 12, 31), QTime(23, 59)));
    c.post();

    c.append();
    c.setValue(QStringLiteral("Name"), QStringLiteral("Müller €"));
    c.post();

    c.append();
    c.setValue(QStringLiteral("Qty"), 0);
    c.setValue(QStringLiteral("Notes"), QStringLiteral("just\nLF"));
    c.post();
    c.first();
}

void ExportTestTable::addRows(int count) {
    Cursor& c = *m_cursor;
    auto table = c.table();
    table->beginTransaction();
    for (int i = 0; i < count; ++i) {
        c.append();
        c.setValue(QStringLiteral("Name"), QStringLiteral("Row %1").arg(i));
        c.setValue(QStringLiteral("Qty"), i);
        c.setValue(QStringLiteral("Id"), i + 5); // given, so the engine need not number 100,000 rows
        c.setValue(QStringLiteral("Price"), i * 1.5);
        c.post();
    }
    table->commit();
    c.first();
}

} // namespace ks
