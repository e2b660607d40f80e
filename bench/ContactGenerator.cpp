#include "bench/ContactGenerator.h"

#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"
#include "store/engine/Table.h"

#include <QFile>
#include <cmath>

namespace ks {

namespace {
const char* const Last[] = {"Smith", "Müller", "O'Brien", "García", "Nguyen", "Johnson", "Dubois", "Kowalski",
                            "Rossi", "D'Angelo", "Østergaard", "Brown", "Lefèvre", "Papadopoulos", "Novák",
                            "Andersson", "Wilson", "Taylor", "Čapek", "Schäfer", "MacDonald", "Martín", "Ahmed"};
const char* const First[] = {"Ann", "José", "Zoë", "Björn", "Chloé", "Liam", "Noah", "Émile", "Sören", "Mia",
                             "Olivia", "Ángel", "Hélène", "Jürgen", "Kai", "Lucía", "Ravi", "Yuki", "Fatima", "Tom"};
const char* const Business[] = {"Acme", "Blue Harbor", "Crédit Mutuel", "Dawn & Dusk", "Evergreen", "Fjord",
                                "Granite", "Harbor's Edge", "Iris", "Juniper", "Kite"};
const char* const BusinessKind[] = {"Bakery", "Consulting", "Hardware", "Dental Care", "Printing", "Garage",
                                    "Books", "Florist", "Law Office", "Café"};
const char* const Streets[] = {"Main St", "Oak Avenue", "Rue de la Paix", "Königstraße", "High Street",
                               "Elm Road", "Via Roma", "Maple Drive", "Church Lane", "Calle Mayor"};
const char* const Cities[] = {"Springfield", "Montréal", "München", "Lyon", "Portland", "Zürich", "Göteborg",
                              "Austin", "Kraków", "Toulouse", "Dublin", "Sevilla", "Bergen", "Madison"};
const char* const States[] = {"CA", "NY", "TX", "WA", "OR", "QC", "ON", "BY", "IL", "MA"};
const char* const Countries[] = {"USA", "Canada", "Germany", "France", "Ireland", "Spain", "Sweden", "Poland"};
const char* const Categories[] = {"Family", "Friends", "Work", "Clients", "Suppliers", "Doctors", "School",
                                  "Neighbors", "Club", "Church", "O'Brien Cousins", "Vendors", "Holiday Cards",
                                  "Old Colleagues", "Services", "Emergency", "Book Club", "Tennis", "Garden", "Misc"};
const char* const NoteWords[] = {"call", "after", "lunch", "birthday", "gift", "meeting", "project", "invoice",
                                 "\"urgent\"", "follow-up", "naïve", "résumé", "owes", "me", "a", "coffee;", "tea,"};
} // namespace

quint64 ContactGenerator::next() {
    // splitmix64: fast and deterministic everywhere
    quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

QStringList ContactGenerator::contact(int i) {
    const bool business = below(100) < 15;
    QString last, first, company;
    if (business) {
        last = QStringLiteral("%1 %2").arg(QString::fromUtf8(pick(Business)), QString::fromUtf8(pick(BusinessKind)));
        first = QString::fromUtf8(pick(First));
        company = QString::fromUtf8(pick(First));
    } else {
        last = QString::fromUtf8(pick(Last));
        first = QString::fromUtf8(pick(First));
        company = below(3) == 0 ? QString::fromUtf8(pick(Business)) : QString();
    }
    // Skewed categories: a few big ones, many small; some contacts have none.
    QString category;
    const int r = below(1000);
    if (r >= 50) {
        const double u = static_cast<double>(r - 50) / 950.0;
        const int idx = static_cast<int>(std::floor(std::pow(u, 2.5) * 20));
        category = QString::fromUtf8(Categories[qMin(idx, 19)]);
    }
    // The phone makes the row key unique.
    const QString phone = QStringLiteral("(%1) 555-%2").arg(200 + i / 10000).arg(i % 10000, 4, 10, QLatin1Char('0'));
    QString notes;
    if (below(3) == 0) {
        const int lines = 1 + below(3);
        for (int l = 0; l < lines; ++l) {
            if (l)
                notes += QStringLiteral("\r\n");
            const int words = 3 + below(8);
            for (int w = 0; w < words; ++w)
                notes += (w ? QStringLiteral(" ") : QString()) + QString::fromUtf8(pick(NoteWords));
        }
    }
    const QString city = QString::fromUtf8(pick(Cities));
    const QString mail = QStringLiteral("%1.%2@example.org").arg(first, last).toLower().remove(QLatin1Char(' '));
    return {last,
            first,
            phone,
            category,
            company,
            below(2) ? QStringLiteral("(%1) 555-%2").arg(300 + below(600)).arg(below(10000), 4, 10, QLatin1Char('0')) : QString(),
            below(4) == 0 ? QStringLiteral("555-%1").arg(below(10000), 4, 10, QLatin1Char('0')) : QString(),
            below(6) == 0 ? QStringLiteral("555-%1").arg(below(10000), 4, 10, QLatin1Char('0')) : QString(),
            QStringLiteral("%1 %2").arg(1 + below(9999)).arg(QString::fromUtf8(pick(Streets))),
            below(5) == 0 ? QStringLiteral("Apt %1").arg(1 + below(300)) : QString(),
            city,
            QString::fromUtf8(pick(States)),
            QStringLiteral("%1").arg(10000 + below(89999)),
            QString::fromUtf8(pick(Countries)),
            notes,
            mail,
            below(4) == 0 ? QStringLiteral("www.%1.example.com").arg(last.toLower().remove(QLatin1Char(' ')).remove(QLatin1Char('\''))) : QString(),
            below(3) == 0 ? QStringLiteral("%1/%2/19%3").arg(1 + below(12)).arg(1 + below(28)).arg(40 + below(60)) : QString(),
            below(8) == 0 ? QStringLiteral("next Tuesday") : QString(),
            business ? QStringLiteral("Y") : QStringLiteral("N")};
}

bool ContactGenerator::writeCsv(const QString& path, int count) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    ContactGenerator g;
    auto quote = [](QString s) { return QLatin1Char('"') + s.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'); };
    QStringList header;
    for (const QString& n : Contact::auxFieldNames())
        header << quote(n);
    QByteArray out = header.join(QLatin1Char(',')).toUtf8() + "\r\n";
    for (int i = 0; i < count; ++i) {
        QStringList vals = g.contact(i);
        for (QString& v : vals)
            v = quote(v);
        out += vals.join(QLatin1Char(',')).toUtf8() + "\r\n";
        if (out.size() > (1 << 20)) {
            f.write(out);
            out.clear();
        }
    }
    f.write(out);
    return true;
}

void ContactGenerator::fillTable(const QString& directory, int count) {
    Connection conn(directory);
    if (!conn.tableExists(Contact::TableFile))
        conn.createTable(Contact::TableFile, Contact::fields(), Contact::indexes());
    Cursor c(conn, Contact::TableFile);
    c.open();
    ContactGenerator g;
    const QStringList names = Contact::auxFieldNames();
    c.disableControls();
    for (int i = 0; i < count; ++i) {
        const QStringList vals = g.contact(i);
        c.append();
        for (int f = 0; f < names.size(); ++f)
            c.setValue(f, vals.at(f));
        c.post();
    }
    c.enableControls();
}

} // namespace ks
