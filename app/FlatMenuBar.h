#pragma once

#include <QToolBar>

class QMenu;
class QToolButton;

namespace ks {

// The main menu shown as a row of flat buttons, one per top-level item; pressing one drops down
// its submenu. When the menu's items change, the buttons are made again.
class FlatMenuBar : public QToolBar {
    Q_OBJECT
public:
    explicit FlatMenuBar(QWidget* parent = nullptr);

    void setMenu(QMenu* menu);
    QMenu* menu() const { return m_menu; }
    QList<QToolButton*> buttons() const { return m_buttons; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();

    QMenu* m_menu = nullptr;
    QList<QToolButton*> m_buttons;
    bool m_rebuildQueued = false;
};

} // namespace ks
