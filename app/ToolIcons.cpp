#include "app/ToolIcons.h"

#include "common/Paths.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ks {

namespace {

const QColor Ink(0x3b, 0x4a, 0x57);
const QColor Accent(0x1f, 0x6f, 0xd0);
const QColor Green(0x2e, 0x9d, 0x4f);
const QColor Red(0xd2, 0x3f, 0x31);

// A head and shoulders in a 24-unit box.
void person(QPainter& p, const QColor& c, qreal dx = 0) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(5.5 + dx, 3, 7, 7));
    QPainterPath body;
    body.moveTo(2 + dx, 20);
    body.cubicTo(2 + dx, 13.5, 16 + dx, 13.5, 16 + dx, 20);
    body.closeSubpath();
    p.drawPath(body);
}

void badge(QPainter& p, const QColor& c, bool plus) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(13, 12, 10, 10));
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15.5, 17), QPointF(20.5, 17));
    if (plus)
        p.drawLine(QPointF(18, 14.5), QPointF(18, 19.5));
}

void tray(QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath t;
    t.moveTo(3, 14);
    t.lineTo(3, 20.5);
    t.lineTo(21, 20.5);
    t.lineTo(21, 14);
    p.drawPath(t);
}

void arrow(QPainter& p, const QColor& c, bool down) {
    p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal top = 3, bottom = 15;
    p.drawLine(QPointF(12, top), QPointF(12, bottom));
    const qreal tip = down ? bottom : top;
    const qreal back = down ? bottom - 5 : top + 5;
    p.drawLine(QPointF(7, back), QPointF(12, tip));
    p.drawLine(QPointF(17, back), QPointF(12, tip));
}

void draw(QPainter& p, ToolIcons::Glyph g, const QColor& c) {
    using G = ToolIcons::Glyph;
    const QPen line(c, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (g) {
    case G::Add:
        person(p, c);
        badge(p, Green, true);
        break;
    case G::Remove:
        person(p, c);
        badge(p, Red, false);
        break;
    case G::Edit: {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        QPainterPath pencil;
        pencil.moveTo(15.5, 3.5);
        pencil.lineTo(20.5, 8.5);
        pencil.lineTo(9, 20);
        pencil.lineTo(3.5, 20.5);
        pencil.lineTo(4, 15);
        pencil.closeSubpath();
        p.drawPath(pencil);
        p.setPen(QPen(Qt::white, 1.3));
        p.drawLine(QPointF(13.5, 5.5), QPointF(18.5, 10.5));
        break;
    }
    case G::Dial: {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        QPainterPath h;
        h.moveTo(6.5, 2.5);
        h.lineTo(9.5, 7.5);
        h.lineTo(7.5, 10);
        h.cubicTo(8.5, 12.5, 11.5, 15.5, 14, 16.5);
        h.lineTo(16.5, 14.5);
        h.lineTo(21.5, 17.5);
        h.lineTo(19, 21.5);
        h.cubicTo(10, 21.5, 2.5, 14, 2.5, 5);
        h.closeSubpath();
        p.drawPath(h);
        break;
    }
    case G::Print:
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(7, 3, 10, 5));
        p.setBrush(c);
        p.drawRoundedRect(QRectF(3, 8, 18, 9), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 14, 10, 7));
        p.setPen(QPen(c, 1.2));
        p.drawLine(QPointF(9, 17), QPointF(15, 17));
        break;
    case G::Search:
        p.setPen(QPen(c, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3.5, 3.5, 11, 11));
        p.setPen(QPen(c, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13.5, 13.5), QPointF(20, 20));
        break;
    case G::Import:
        tray(p, c);
        arrow(p, c, true);
        break;
    case G::Export:
        tray(p, c);
        arrow(p, c, false);
        break;
    case G::Backup: {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        QPainterPath disk;
        disk.moveTo(3.5, 3.5);
        disk.lineTo(17, 3.5);
        disk.lineTo(20.5, 7);
        disk.lineTo(20.5, 20.5);
        disk.lineTo(3.5, 20.5);
        disk.closeSubpath();
        p.drawPath(disk);
        p.setBrush(c);
        p.drawRect(QRectF(7.5, 3.5, 8, 5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(7, 13, 10, 7.5));
        break;
    }
    case G::Exit:
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(13, 7), QPointF(13, 3.5));
        p.drawLine(QPointF(13, 3.5), QPointF(3.5, 3.5));
        p.drawLine(QPointF(3.5, 3.5), QPointF(3.5, 20.5));
        p.drawLine(QPointF(3.5, 20.5), QPointF(13, 20.5));
        p.drawLine(QPointF(13, 20.5), QPointF(13, 17));
        p.setPen(QPen(Red, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(8.5, 12), QPointF(20.5, 12));
        p.drawLine(QPointF(16.5, 8), QPointF(20.5, 12));
        p.drawLine(QPointF(16.5, 16), QPointF(20.5, 12));
        break;
    }
}

QPixmap render(ToolIcons::Glyph g, const QColor& c, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p, g, c);
    return pm;
}

} // namespace

QIcon ToolIcons::icon(Glyph glyph) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        icon.addPixmap(render(glyph, Ink, size), QIcon::Normal);
        icon.addPixmap(render(glyph, Accent, size), QIcon::Active);
        QColor faded = Ink;
        faded.setAlpha(90);
        icon.addPixmap(render(glyph, faded, size), QIcon::Disabled);
    }
    return icon;
}

QIcon ToolIcons::appIcon() {
    QIcon icon;
    const QString dir = sharedDataDirectory() + QStringLiteral("/data/");
    for (const QString& name : {QStringLiteral("kestrum-48.png"), QStringLiteral("kestrum-128.png"), QStringLiteral("kestrum.png")})
        if (QFile::exists(dir + name))
            icon.addFile(dir + name);
    return icon.isNull() ? QIcon::fromTheme(QStringLiteral("kestrum")) : icon;
}

} // namespace ks
