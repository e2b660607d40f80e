#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

namespace ks {

// Shows fixed-width rows under a character ruler with the field breaks as arrows and lines. A click
// on a column adds a break there, a click on a break starts dragging it, a double click deletes it.
// A break at position b ends a field after character b (positions from 1).
class TBreakEditor : public QWidget {
    Q_OBJECT
public:
    explicit TBreakEditor(QWidget* parent = nullptr);

    void setRows(const QStringList& rows);
    const QStringList& rows() const { return m_rows; }
    void setBreaks(const QList<int>& breaks);
    const QList<int>& breaks() const { return m_breaks; }
    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly; }

    void setHorizontalOffset(int characters);
    int horizontalOffset() const { return m_offset; }
    void setTopRow(int row);
    int topRow() const { return m_topRow; }
    int visibleColumns() const;
    static constexpr int kVisibleRows = 5;
    static constexpr int kColumns = 1000; // how far the ruler reaches

    // Where a column's break line is drawn, and which column a point is nearest to.
    QPoint pointForColumn(int column) const;
    int columnAt(int x) const;

    QSize sizeHint() const override;

signals:
    void breaksChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int charWidth() const;
    int lineHeight() const;
    int rulerHeight() const;

    QStringList m_rows;
    QList<int> m_breaks;
    int m_offset = 0;
    int m_topRow = 0;
    int m_dragging = -1; // index into m_breaks while a break is dragged
    bool m_readOnly = false;
};

} // namespace ks
