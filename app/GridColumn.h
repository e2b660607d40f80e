#pragma once

#include <QFont>
#include <QList>
#include <QString>

namespace ks {

// One column of the contact grid: the field it shows, its title, width and title font.
struct GridColumn {
    QString field;
    QString title; // empty: the title shows the field name
    int width = 100;
    QFont titleFont;
    bool hasTitleFont = false; // false: the grid's own header font

    QString displayTitle() const { return title.isEmpty() ? field : title; }
};

using GridColumns = QList<GridColumn>;

} // namespace ks
