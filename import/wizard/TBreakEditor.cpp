#include "import/wizard/TBreakEditor.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace ks {

namespace {
constexpr int kMargin = 4;
}

TBreakEditor::TBreakEditor(QWidget* parent) : QWidget(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setMouseTracking(false);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setMinimumHeight(rulerHeight() + kVisibleRows * lineHeight() + 2 * kMargin);
}

QSize TBreakEditor::sizeHint() const {
    return {380, rulerHeight() + kVisibleRows * lineHeight() + 2 * kMargin};
}

int TBreakEditor::charWidth() const {
    return qMax(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
}
int TBreakEditor::lineHeight() const {
    return fontMetrics().height();
}
int TBreakEditor::rulerHeight() const {
    return fontMetrics().height() + 12;
}

int TBreakEditor::visibleColumns() const {
    return qMax(1, (width() - 2 * kMargin) / charWidth());
}

void TBreakEditor::setRows(const QStringList& rows) {
    m_rows = rows;
    m_topRow = qBound(0, m_topRow, qMax(0, int(m_rows.size()) - 1));
    update();
}

void TBreakEditor::setBreaks(const QList<int>& breaks) {
    m_breaks = breaks;
    std::sort(m_breaks.begin(), m_breaks.end());
    m_breaks.erase(std::unique(m_breaks.begin(), m_breaks.end()), m_breaks.end());
    m_breaks.removeIf([](int b) { return b < 1; });
    update();
}

void TBreakEditor::setHorizontalOffset(int characters) {
    m_offset = qBound(0, characters, kColumns);
    update();
}

void TBreakEditor::setTopRow(int row) {
    m_topRow = qMax(0, row);
    update();
}

QPoint TBreakEditor::pointForColumn(int column) const {
    return {kMargin + (column - m_offset) * charWidth(), rulerHeight() + lineHeight()};
}

int TBreakEditor::columnAt(int x) const {
    return m_offset + qRound(double(x - kMargin) / charWidth());
}

void TBreakEditor::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int cw = charWidth();
    const int lh = lineHeight();
    const int rh = rulerHeight();
    const int columns = visibleColumns();
    const QFontMetrics fm = fontMetrics();

    // Ruler: a tick at every position, a longer one at every fifth, the number above every tenth.
    p.setPen(palette().color(QPalette::Text));
    for (int i = 0; i <= columns; ++i) {
        const int pos = m_offset + i;
        const int x = kMargin + i * cw;
        const int len = pos % 5 == 0 ? 6 : 3;
        p.drawLine(x, rh - 2 - len, x, rh - 2);
        if (pos % 10 == 0 && pos > 0) {
            const QString n = QString::number(pos);
            p.drawText(x - fm.horizontalAdvance(n) / 2, fm.ascent(), n);
        }
    }
    p.drawLine(kMargin, rh - 2, width() - kMargin, rh - 2);

    // Rows from the vertical scroll position, shifted by the horizontal offset.
    for (int r = 0; r < kVisibleRows && m_topRow + r < m_rows.size(); ++r) {
        const QString line = m_rows.at(m_topRow + r).mid(m_offset, columns + 1);
        p.drawText(kMargin, rh + r * lh + fm.ascent(), line);
    }

    // Breaks: an arrow on the ruler and a line through the rows; the one being dragged is dotted.
    for (int i = 0; i < m_breaks.size(); ++i) {
        const int b = m_breaks.at(i);
        if (b < m_offset || b > m_offset + columns)
            continue;
        const int x = kMargin + (b - m_offset) * cw;
        QPainterPath arrow;
        arrow.moveTo(x, rh - 2);
        arrow.lineTo(x - 4, rh - 9);
        arrow.lineTo(x + 4, rh - 9);
        arrow.closeSubpath();
        p.fillPath(arrow, palette().color(QPalette::Text));
        p.setPen(QPen(palette().color(QPalette::Text), 1, i == m_dragging ? Qt::DotLine : Qt::SolidLine));
        p.drawLine(x, rh, x, height() - kMargin);
    }
}

void TBreakEditor::mousePressEvent(QMouseEvent* event) {
    if (m_readOnly || event->button() != Qt::LeftButton)
        return;
    const int col = columnAt(event->position().toPoint().x());
    if (col <= 0)
        return;
    const qsizetype at = m_breaks.indexOf(col);
    if (at >= 0) {
        m_dragging = int(at);
        update();
        return;
    }
    m_breaks.insert(std::lower_bound(m_breaks.begin(), m_breaks.end(), col), col);
    update();
    emit breaksChanged();
}

void TBreakEditor::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging < 0)
        return;
    const int col = qBound(1, columnAt(event->position().toPoint().x()), kColumns);
    if (col == m_breaks.at(m_dragging) || m_breaks.contains(col))
        return; // never onto another break
    m_breaks[m_dragging] = col;
    // Keep the list sorted and follow the dragged break through the sort.
    std::sort(m_breaks.begin(), m_breaks.end());
    m_dragging = int(m_breaks.indexOf(col));
    update();
    emit breaksChanged();
}

void TBreakEditor::mouseReleaseEvent(QMouseEvent*) {
    if (m_dragging >= 0) {
        m_dragging = -1;
        update();
    }
}

void TBreakEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_readOnly || event->button() != Qt::LeftButton)
        return;
    const int col = columnAt(event->position().toPoint().x());
    if (m_breaks.removeOne(col)) {
        m_dragging = -1;
        update();
        emit breaksChanged();
    }
}

} // namespace ks
