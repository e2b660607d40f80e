#include "import/wizard/TWizardPictures.h"

#include <QLinearGradient>
#include <QPainter>

namespace ks {

QPixmap TWizardPictures::logo() {
    QPixmap pm(95, 200);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, 200);
    g.setColorAt(0, QColor(128, 0, 0));
    g.setColorAt(1, QColor(250, 235, 215));
    p.fillRect(pm.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    // A sheet of rows flowing into a card: data coming into the address book.
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(18, 30, 50, 62);
    for (int y = 40; y < 88; y += 8)
        p.drawLine(24, y, 62, y);
    p.setBrush(Qt::white);
    QPolygon arrow;
    arrow << QPoint(40, 100) << QPoint(54, 100) << QPoint(54, 118) << QPoint(62, 118) << QPoint(47, 134)
          << QPoint(32, 118) << QPoint(40, 118);
    p.drawPolygon(arrow);
    p.setBrush(QColor(255, 250, 240));
    p.setPen(QPen(QColor(128, 0, 0), 1));
    p.drawRoundedRect(16, 142, 62, 40, 4, 4);
    p.drawEllipse(24, 150, 14, 14);
    p.drawLine(44, 154, 70, 154);
    p.drawLine(44, 162, 70, 162);
    p.drawLine(24, 172, 70, 172);
    return pm;
}

QPixmap TWizardPictures::key() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 110, 0), 2));
    p.drawEllipse(QRectF(1.5, 4.5, 7, 7));
    p.drawLine(QPointF(8.5, 8), QPointF(15, 8));
    p.drawLine(QPointF(12, 8), QPointF(12, 11));
    p.drawLine(QPointF(14.5, 8), QPointF(14.5, 11));
    return pm;
}

} // namespace ks
