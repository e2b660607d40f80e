#include "app/FlatMenuBar.h"

#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace ks {

FlatMenuBar::FlatMenuBar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("MenuBar1"));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setFloatable(false);
    // The drop-down arrow would only repeat what a menu bar already says.
    setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"
                                 "QToolButton { padding: 2px 7px; }"));
}

void FlatMenuBar::setMenu(QMenu* menu) {
    if (m_menu)
        m_menu->removeEventFilter(this);
    m_menu = menu;
    if (m_menu)
        m_menu->installEventFilter(this);
    rebuild();
}

bool FlatMenuBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_menu && !m_rebuildQueued &&
        (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionRemoved ||
         event->type() == QEvent::ActionChanged)) {
        m_rebuildQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_rebuildQueued = false;
            rebuild();
        });
    }
    return QToolBar::eventFilter(watched, event);
}

void FlatMenuBar::rebuild() {
    // Each button sits in a widget action that owns it: deleting the action frees the button.
    const QList<QAction*> old = actions();
    m_buttons.clear();
    qDeleteAll(old);
    if (!m_menu)
        return;
    for (QAction* item : m_menu->actions()) {
        if (!item->isVisible() || item->isSeparator())
            continue;
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("btnMenu_") + item->objectName());
        button->setText(item->text());
        button->setAutoRaise(true);
        button->setEnabled(item->isEnabled());
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (QMenu* sub = item->menu()) {
            button->setMenu(sub);
            button->setPopupMode(QToolButton::InstantPopup);
        } else {
            connect(button, &QToolButton::clicked, item, &QAction::trigger);
        }
        addWidget(button);
        m_buttons << button;
    }
}

} // namespace ks
