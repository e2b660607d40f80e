#pragma once

#include "import/engine/ImportProgress.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace ks {

// The window a running import shows: an animation, the status line, the counters and Cancel. It
// stays up until the run ends; Cancel (or closing it) only asks the run to stop before its next row.
class TfrmImportProgress : public QDialog, public ImportProgress {
    Q_OBJECT
public:
    explicit TfrmImportProgress(QWidget* parent = nullptr);
    ~TfrmImportProgress() override;

    void start(const QString& caption, bool showCounters) override;
    void setStatus(const QString& text) override;
    void setCounter(Counter which, int value) override;
    void refresh() override;
    bool cancelRequested() const override { return m_cancelled; }
    void finish() override;

    // Makes one of these windows per run (what the program installs as the default).
    static Factory factory();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void btnCancelClick();

    QProgressBar* m_animation;
    QLabel* m_status;
    QProgressBar* m_progress;
    QWidget* m_counters;
    QLabel* m_values[5];
    QPushButton* m_cancel;
    bool m_cancelled = false;
};

} // namespace ks
