#pragma once

#include <QString>
#include <QStringList>

namespace ks {

// Deterministic realistic contacts for benchmarks: names with accents and apostrophes, skewed
// categories, multi-line notes, about 15% businesses. The same seed gives the same contacts.
class ContactGenerator {
public:
    explicit ContactGenerator(quint64 seed = 20261211) : m_state(seed) {}

    // The 20 text fields (everything but the selection mark) of contact number `i`.
    QStringList contact(int i);
    // Writes `count` contacts as a CSV file (header line of field names, all values quoted).
    static bool writeCsv(const QString& path, int count);
    // Creates the contact table in `directory` holding `count` contacts.
    static void fillTable(const QString& directory, int count);

private:
    quint64 next();
    int below(int n) { return static_cast<int>(next() % static_cast<quint64>(n)); }
    template <size_t N> const char* pick(const char* const (&a)[N]) { return a[below(static_cast<int>(N))]; }
    quint64 m_state;
};

} // namespace ks
