#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace ks {

// What a running import shows: a caption, a status line, five counters and a cancel request. The
// engine decides when to redraw; a window (or a test) only shows. Runs without one are silent.
class ImportProgress {
public:
    enum Counter { Added, Updated, Deleted, Errors, Processed };

    virtual ~ImportProgress() = default;

    virtual void start(const QString& caption, bool showCounters) = 0;
    virtual void setStatus(const QString& text) = 0;
    virtual void setCounter(Counter which, int value) = 0;
    // Repaints and lets pending events run, which is how a cancel click gets through.
    virtual void refresh() = 0;
    virtual bool cancelRequested() const = 0;
    virtual void finish() = 0;

    // Makes the progress shown for a run; may give nullptr when it can't be created.
    using Factory = std::function<std::unique_ptr<ImportProgress>()>;
    // The factory used by components that have none of their own (the program installs its window).
    static void setDefaultFactory(Factory factory);
    static const Factory& defaultFactory();
};

} // namespace ks
