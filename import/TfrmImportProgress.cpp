#include "import/TfrmImportProgress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace ks {

TfrmImportProgress::TfrmImportProgress(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint) {
    setObjectName(QStringLiteral("frmImportProgress"));
    setWindowTitle(QStringLiteral("Importing..."));

    // A busy bar stands in for the file-copy animation: it moves whenever events are processed.
    m_animation = new QProgressBar(this);
    m_animation->setObjectName(QStringLiteral("aniImport"));
    m_animation->setRange(0, 0);
    m_animation->setTextVisible(false);
    m_animation->setGeometry(10, 8, 310, 10);

    m_status = new QLabel(QStringLiteral("Importing..."), this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setGeometry(10, 24, 310, 20);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("pbImport"));
    m_progress->setGeometry(10, 46, 310, 6);
    m_progress->hide(); // the engine never shows a fraction: it doesn't know the row count ahead

    m_counters = new QWidget(this);
    m_counters->setObjectName(QStringLiteral("pnlCounters"));
    m_counters->setGeometry(10, 52, 310, 70);
    auto* grid = new QGridLayout(m_counters);
    grid->setContentsMargins(0, 0, 0, 0);
    const char* captions[5] = {"Added:", "Updated:", "Deleted:", "Errors:", "Processed:"};
    const char* names[5] = {"lblAdded", "lblUpdated", "lblDeleted", "lblErrors", "lblProcessed"};
    for (int i = 0; i < 5; ++i) {
        auto* caption = new QLabel(QString::fromLatin1(captions[i]), m_counters);
        caption->setObjectName(QString::fromLatin1(names[i]) + QStringLiteral("Caption"));
        m_values[i] = new QLabel(QStringLiteral("0"), m_counters);
        m_values[i]->setObjectName(QString::fromLatin1(names[i]));
        m_values[i]->setStyleSheet(QStringLiteral("color: blue"));
        const int row = i < 3 ? i : i - 3;
        const int col = i < 3 ? 0 : 2;
        grid->addWidget(caption, row, col);
        grid->addWidget(m_values[i], row, col + 1);
    }

    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(m_cancel, &QPushButton::clicked, this, &TfrmImportProgress::btnCancelClick);
    setFixedSize(330, 160);
    m_cancel->setGeometry(125, 127, 80, 25);
}

TfrmImportProgress::~TfrmImportProgress() = default;

ImportProgress::Factory TfrmImportProgress::factory() {
    return [] { return std::unique_ptr<ImportProgress>(new TfrmImportProgress()); };
}

void TfrmImportProgress::start(const QString& caption, bool showCounters) {
    setWindowTitle(caption);
    m_counters->setVisible(showCounters);
    if (showCounters) {
        setFixedSize(330, 160);
        m_cancel->move(125, 127);
    } else {
        setFixedSize(330, 88);
        m_cancel->move(125, 55);
    }
    show();
    raise();
    refresh();
}

void TfrmImportProgress::setStatus(const QString& text) {
    m_status->setText(text);
}

void TfrmImportProgress::setCounter(Counter which, int value) {
    m_values[which]->setText(QString::number(value));
}

void TfrmImportProgress::refresh() {
    update();
    // Pending events run here: repainting, and a click on Cancel.
    QCoreApplication::processEvents();
}

void TfrmImportProgress::finish() {
    hide();
}

void TfrmImportProgress::btnCancelClick() {
    m_cancelled = true;
}

void TfrmImportProgress::closeEvent(QCloseEvent* event) {
    m_cancelled = true;
    event->ignore();
}

void TfrmImportProgress::reject() {
    m_cancelled = true;
}

} // namespace ks
