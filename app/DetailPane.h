#pragma once

#include <QHash>
#include <QTabWidget>

class QFormLayout;
class QLabel;
class QPlainTextEdit;

namespace ks {

class LinkLabel;

// The detail pane below the grid: the current record on four tabs (General, Addresses, Notes,
// Misc). It only shows values; the e-mail and web site values report clicks.
class DetailPane : public QTabWidget {
    Q_OBJECT
public:
    explicit DetailPane(QWidget* parent = nullptr);

    // Values by field name; fields not given show empty.
    void showValues(const QHash<QString, QString>& values);
    // The General tab's captions for a business or a personal entry (row 2 only for a business).
    void setBusinessLabels(bool business);

    QString emailText() const;
    QString webSiteText() const;

signals:
    void emailClicked();
    void webSiteClicked();

private:
    QWidget* buildGeneral();
    QWidget* buildAddresses();
    QWidget* buildNotes();
    QWidget* buildMisc();
    QLabel* value(const QString& name, const QString& field);
    LinkLabel* link(const QString& name, const QString& field);
    QLabel* caption(const QString& name, const QString& text);

    QHash<QString, QLabel*> m_values; // field -> value label
    QPlainTextEdit* m_notes = nullptr;
    QFormLayout* m_general = nullptr;
    QLabel* m_rowCaption[8] = {};
    LinkLabel* m_email = nullptr;
    LinkLabel* m_webSite = nullptr;
};

} // namespace ks
