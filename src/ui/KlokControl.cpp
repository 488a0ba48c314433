#include "ui/KlokControl.h"

#include "clock/ClockTable.h"
#include "ui/Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace quintara::ui {

QColor TableColour(int table)
{
    switch (table) {
    case 1:
        return QColor(255, 0, 0);
    case 2:
        return QColor(0, 0, 255);
    case 3:
        return QColor(0, 255, 0);
    case 4:
        return QColor(255, 255, 0);
    default:
        return QColor(0, 0, 0);
    }
}

KlokControl::KlokControl(const clock::ClockTable &table, const Pictures &pictures, QWidget *parent)
    : QWidget(parent), m_table(table), m_pictures(pictures)
{
    setFixedSize(MarkerWidth, MarkerHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void KlokControl::setClkIndex(int index)
{
    const int value = static_cast<qint16>(index);
    if (value == m_clkIndex)
        return;
    m_clkIndex = value;
    emit propertyChanged(QStringLiteral("ClkIndex"));
}

void KlokControl::setClkCount(int count)
{
    const int value = static_cast<qint16>(count);
    if (value == m_clkCount)
        return;
    m_clkCount = value;
    emit propertyChanged(QStringLiteral("ClkCount"));
}

void KlokControl::setBackStyle(int style)
{
    m_backStyle = style;
    emit propertyChanged(QStringLiteral("BackStyle"));
}

void KlokControl::setBorderStyle(int style)
{
    m_borderStyle = style;
    emit propertyChanged(QStringLiteral("BorderStyle"));
}

int KlokControl::lineIndex() const
{
    int index = -1;
    if (m_clkIndex >= 0)
        index = m_clkIndex;
    else if (m_clkIndex <= -2)
        index = -2 - m_clkIndex;
    return m_table.line(index) ? index : -1;
}

void KlokControl::Refresh()
{
    if (const clock::ClockLine *line = m_table.line(lineIndex()))
        m_picture = MarkerPicture(line->FunctionType, line->Level);
    update();
}

void KlokControl::paintEvent(QPaintEvent *)
{
    const int index = lineIndex();
    const clock::ClockLine *line = m_table.line(index);
    if (!line)
        return;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_pictures.drawMarker(
        painter, m_picture,
        QRectF(0, 0, Pictures::MarkerPictureWidth, Pictures::MarkerPictureHeight));

    const QColor colour = TableColour(line->Table);
    // A dark rim keeps the yellow and green triangles visible on the light backgrounds.
    painter.setPen(QPen(colour == Qt::black ? colour : colour.darker(160), 0.8));
    painter.setBrush(colour);
    if (m_table.SelectedLine == index + 1) {
        QPainterPath up;
        up.moveTo(2, 30);
        up.lineTo(5, 25);
        up.lineTo(8, 30);
        up.closeSubpath();
        painter.drawPath(up);
    }
    QPainterPath down;
    down.moveTo(2, 20);
    down.lineTo(8, 20);
    down.lineTo(5, 25);
    down.closeSubpath();
    painter.drawPath(down);

    if (m_clkCount > 1) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(8);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 32, width() + 4, height() - 32), Qt::AlignLeft | Qt::AlignTop,
                         QString::number(m_clkCount));
    }
}

} // namespace quintara::ui
