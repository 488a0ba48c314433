#include "ui/FocusFrameStyle.h"

#include "render/WeekColours.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace quintara::ui {

QColor FocusFrameStyle::FrameColour(const QPalette &palette)
{
    const QColor highlight = palette.color(QPalette::Highlight);
    return render::ContrastRatio(highlight, palette.color(QPalette::Window)) >= 3.0
               ? highlight
               : palette.color(QPalette::WindowText);
}

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const
{
    if (element != PE_FrameFocusRect) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(
        QPen(FrameColour(option->palette), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option->rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

void FrameWhileFocused(QWidget &widget)
{
    // A frame of the widget's own: a ring around it would lie outside a parent it fills.
    widget.setStyleSheet(QStringLiteral("%1:focus { border: 2px solid %2; }")
                             .arg(QLatin1String(widget.metaObject()->className()),
                                  FocusFrameStyle::FrameColour(widget.palette()).name()));
}

} // namespace quintara::ui
