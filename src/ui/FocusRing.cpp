#include "ui/FocusRing.h"

#include <QPainter>

namespace quintara::ui {

void FocusRingDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!(option.state & QStyle::State_HasFocus))
        return;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const qreal width = 2;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(
        QPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text),
             width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option.rect).adjusted(width / 2, width / 2, -width / 2, -width / 2));
    painter->restore();
}

} // namespace quintara::ui
