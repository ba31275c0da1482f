#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

// How the work table's lists draw their cells. Column widths are kept in twips and were chosen for a narrow
// Japanese UI font at 9 point: the key list's key column is 450 twips (30 pixels at 96 DPI), the application
// list's 660 twips (44 pixels). With a Latin UI font, or with the three pixels a side that Qt's styles keep
// around a cell's text, "<c5>" and "<App1>" shrink to "<...". So the lists prefer a Japanese font at 9 point
// and draw the text one pixel in from the cell's left edge, letting it run to the right edge.
class ListItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr double pointSize = 9.0;
    static constexpr int leftMargin = 1; // pixels

    using QStyledItemDelegate::QStyledItemDelegate;

    // Gives `view` the lists' font and a delegate of this kind.
    static void applyTo(QAbstractItemView* view);
    // Where the text of a cell is drawn.
    static QRect textRect(const QRect& cell);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
