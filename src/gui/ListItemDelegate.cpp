#include "ListItemDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QRawFont>

void ListItemDelegate::applyTo(QAbstractItemView* view)
{
    QFont font = view->font();
    // The Japanese font that the window's own texts fall back to, so that one font file serves every text;
    // where none is installed the desktop's own font stands in. Looked up once: the lists share the font.
    static const QString japanese = QRawFont::fromFont(font, QFontDatabase::Japanese).familyName();
    font.setFamilies({japanese, font.family()});
    font.setPointSizeF(pointSize);
    view->setFont(font);
    view->setItemDelegate(new ListItemDelegate(view));
}

QRect ListItemDelegate::textRect(const QRect& cell)
{
    return cell.adjusted(leftMargin, 0, 0, 0);
}

void ListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    // The style draws the background, the selection and the focus; the text is drawn here with less margin.
    item.text.clear();
    const QWidget* widget = item.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    QPalette::ColorGroup group = QPalette::Disabled;
    if (item.state & QStyle::State_Enabled)
        group = item.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QRect rect = textRect(item.rect);
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(group, item.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                  : QPalette::Text));
    painter->drawText(rect, int(item.displayAlignment) | Qt::TextSingleLine,
                      QFontMetrics(item.font).elidedText(text, item.textElideMode, rect.width()));
    painter->restore();
}
