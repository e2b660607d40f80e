#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace ks::bench {

// Median seconds of `runs` timed calls; `prepare` runs untimed before each.
double medianSeconds(int runs, const std::function<void()>& work, const std::function<void()>& prepare = {});
// Runs SQL in the sqlite3 shell on `db` and returns the shell's own "Run Time: real" sum for the
// statements after the untimed `setup` statements; negative when the shell is missing.
double sqliteSeconds(const QString& db, const QString& sql, const QString& setup = QString());
double sqliteMedian(int runs, const QString& db, const QString& sql, const QString& setup = QString());
// Peak resident memory of this process in megabytes.
double peakMemoryMb();
// Prints "name: value unit".
void report(const QString& name, double value, const QString& unit);
void reportRatio(const QString& name, double ours, double peer);
int contactCount(int argc, char** argv); // first argument, default 100000

} // namespace ks::bench
