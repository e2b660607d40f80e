#pragma once

#include <QLabel>

namespace ks {

// A value of the detail pane that acts as a link: drawn in the active-caption colour with a hand
// cursor, clickable with the left button.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyColour();
};

} // namespace ks
