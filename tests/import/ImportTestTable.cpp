#include "ImportTestTable.h"

#include <QFile>

using namespace ks;

ImportTestTable::ImportTestTable() {
    m_connection = std::make_unique<Connection>(m_dir.path());
    const QList<FieldDef> fields{
        {QStringLiteral("Last"), FieldType::String, 20, QStringLiteral("Last Name"), true},
        {QStringLiteral("First"), FieldType::String, 20, QStringLiteral("First Name"), true},
        {QStringLiteral("Phone"), FieldType::String, 15, {}, true},
        {QStringLiteral("City"), FieldType::String, 20, {}, true},
        {QStringLiteral("Notes"), FieldType::Memo, 0, {}, true},
        {QStringLiteral("Active"), FieldType::Logical, 0, {}, true},
        {QStringLiteral("Amount"), FieldType::Float, 0, {}, true},
        {QStringLiteral("Born"), FieldType::Date, 0, {}, true},
        {QStringLiteral("Seen"), FieldType::DateTime, 0, {}, true},
        {QStringLiteral("Visits"), FieldType::Integer, 0, {}, true}};
    const QList<IndexDef> indexes{{QStringLiteral("KEY"),
                                   {QStringLiteral("Last"), QStringLiteral("First"), QStringLiteral("Phone")},
                                   {},
                                   true,
                                   false}};
    m_connection->createTable(QStringLiteral("People.ADT"), fields, indexes);
    m_cursor = std::make_unique<Cursor>(*m_connection, QStringLiteral("People.ADT"));
    m_cursor->open();
}

ImportTestTable::~ImportTestTable() {
    m_cursor.reset();
    m_connection.reset();
}

QString ImportTestTable::writeFile(const QString& name, const QByteArray& bytes) const {
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

void ImportTestTable::add(const QString& last, const QString& first, const QString& phone,
                          const QString& city) {
    m_cursor->append();
    m_cursor->setValue(QStringLiteral("Last"), last);
    m_cursor->setValue(QStringLiteral("First"), first);
    m_cursor->setValue(QStringLiteral("Phone"), phone);
    m_cursor->setValue(QStringLiteral("City"), city);
    m_cursor->post();
}

QStringList ImportTestTable::rows() {
    QStringList out;
    for (m_cursor->first(); !m_cursor->eof(); m_cursor->next())
        out << QStringList{m_cursor->text(QStringLiteral("Last")), m_cursor->text(QStringLiteral("First")),
                           m_cursor->text(QStringLiteral("Phone")), m_cursor->text(QStringLiteral("City"))}
                   .join(QLatin1Char('|'));
    return out;
}

QStringList ImportTestTable::column(const QString& field) {
    QStringList out;
    for (m_cursor->first(); !m_cursor->eof(); m_cursor->next())
        out << m_cursor->text(field);
    return out;
}
