#include "store/ContactSchema.h"

namespace ks::Contact {

QList<FieldDef> fields() {
    auto s = [](const QString& n, int w) { return FieldDef{n, FieldType::String, w, QString(), true}; };
    return {s(LastName, 40),   s(FirstName, 40), s(HomePhone, 30), s(Category, 40),     s(ContactField, 40),
            s(BusinessPhone, 30), s(AlternatePhone, 30), s(Fax, 30), s(AddressOne, 60), s(AddressTwo, 60),
            s(City, 25),       s(State, 2),      s(Zip, 11),       s(Country, 25),
            FieldDef{Notes, FieldType::Memo, 0, QString(), true},
            s(EMail, 255),     s(User1, 255),    s(User2, 40),     s(User3, 40),        s(BusinessFlag, 1),
            FieldDef{RealPrint, FieldType::Logical, 0, QString(), true}};
}

QStringList auxFieldNames() {
    QStringList out;
    for (const FieldDef& f : fields())
        if (f.name != RealPrint)
            out << f.name;
    return out;
}

QList<IndexDef> indexes() {
    return {IndexDef{UniqueIndex, {LastName, FirstName, HomePhone}, {}, true, false},
            IndexDef{QStringLiteral("ACATEGORY"), {Category}, {}, false, false},
            IndexDef{QStringLiteral("ADDRESS ONE"), {AddressOne}, {}, false, false},
            IndexDef{QStringLiteral("USER 1"), {User1}, {}, false, false},
            IndexDef{QStringLiteral("IND"), {Category, HomePhone}, {}, false, false},
            IndexDef{QStringLiteral("IND2"), {LastName, Category}, {}, false, true}};
}

QList<FieldDef> tipFields() {
    return {FieldDef{QStringLiteral("Tip"), FieldType::Memo, 0, QString(), true},
            FieldDef{QStringLiteral("TipNumber"), FieldType::AutoInc, 0, QString(), true}};
}

} // namespace ks::Contact
