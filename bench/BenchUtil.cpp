#include "bench/BenchUtil.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace ks::bench {

double medianSeconds(int runs, const std::function<void()>& work, const std::function<void()>& prepare) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

double sqliteSeconds(const QString& db, const QString& sql, const QString& setup) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {db});
    if (!p.waitForStarted())
        return -1;
    const QString script = setup + QStringLiteral("\n.timer on\n") + sql + QStringLiteral("\n.timer off\n");
    p.write(script.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(-1);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(QStringLiteral("Run Time: real ([0-9.]+)"));
    double total = 0;
    auto it = re.globalMatch(out);
    while (it.hasNext())
        total += it.next().captured(1).toDouble();
    return total;
}

double sqliteMedian(int runs, const QString& db, const QString& sql, const QString& setup) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(sqliteSeconds(db, sql, setup));
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

double peakMemoryMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void report(const QString& name, double value, const QString& unit) {
    std::printf("%s: %.3f %s\n", qPrintable(name), value, qPrintable(unit));
    std::fflush(stdout);
}

void reportRatio(const QString& name, double ours, double peer) {
    if (peer > 0)
        report(name, ours / peer, QStringLiteral("x"));
}

int contactCount(int argc, char** argv) {
    if (argc > 1) {
        bool ok = false;
        const int n = QString::fromLocal8Bit(argv[1]).toInt(&ok);
        if (ok && n > 0)
            return n;
    }
    return 100000;
}

} // namespace ks::bench
