#pragma once

#include "store/engine/FieldDef.h"

#include <QList>
#include <QString>

namespace ks {

// The contact table: file, fields (in this order) and stored indexes.
namespace Contact {
inline const QString TableFile = QStringLiteral("Kestrum95.ADT");
inline const QString TipsFile = QStringLiteral("KestrumTips.ADT");

inline const QString LastName = QStringLiteral("Business or Last Name");
inline const QString FirstName = QStringLiteral("First Name");
inline const QString HomePhone = QStringLiteral("Home Phone");
inline const QString Category = QStringLiteral("Category");
inline const QString ContactField = QStringLiteral("Contact");
inline const QString BusinessPhone = QStringLiteral("Business Phone");
inline const QString AlternatePhone = QStringLiteral("Alternate Phone");
inline const QString Fax = QStringLiteral("Fax");
inline const QString AddressOne = QStringLiteral("Address One");
inline const QString AddressTwo = QStringLiteral("Address Two");
inline const QString City = QStringLiteral("City");
inline const QString State = QStringLiteral("State");
inline const QString Zip = QStringLiteral("Zip");
inline const QString Country = QStringLiteral("Country");
inline const QString Notes = QStringLiteral("Notes");
inline const QString EMail = QStringLiteral("E-Mail");
inline const QString User1 = QStringLiteral("User 1");
inline const QString User2 = QStringLiteral("User 2");
inline const QString User3 = QStringLiteral("User 3");
inline const QString BusinessFlag = QStringLiteral("Business Entry Flag");
inline const QString RealPrint = QStringLiteral("RealPrint");

inline const QString UniqueIndex = QStringLiteral("BUSINESS OR LAST NAME&FIRST NAME&HOME PHONE");
inline const QString RowKeyFields = QStringLiteral("Business or Last Name;First Name;Home Phone");
inline const QString SortIndex = QStringLiteral("Ind2");
inline const QString AllCategories = QStringLiteral("All Categories");

// All 21 fields, in table order.
QList<FieldDef> fields();
// The first 20 (everything but RealPrint): the aux cursor's fields and the backup's columns.
QStringList auxFieldNames();
// The six stored indexes.
QList<IndexDef> indexes();
// The tips table: one memo field "Tip" per record.
QList<FieldDef> tipFields();
} // namespace Contact

// The three strings that name one contact: last/business name, first name, home phone.
struct RowKey {
    QString lastName;
    QString firstName;
    QString homePhone;
    bool isBlank() const { return lastName.trimmed().isEmpty() && firstName.trimmed().isEmpty() && homePhone.trimmed().isEmpty(); }
    bool operator==(const RowKey& o) const = default;
};

} // namespace ks
