#include "render/WeekPainter.h"

#include "clock/ClockTable.h"
#include "presentation/DateText.h"
#include "presentation/WeekViewModel.h"
#include "render/Pictures.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace quintara::render {

using ui::WeekViewModel;

namespace {

// The part of a marker picture above its stem.
constexpr int PlateHeight = 14;

} // namespace

QColor TableColour(int table)
{
    return WeekColours().table(table);
}

void WeekPainter::setColours(const WeekColours &colours)
{
    m_colours = colours;
    m_markers.clear();
}

QPointF WeekPainter::toArea(QPointF logical, const QRectF &area)
{
    return ui::WeekProjection(area).toArea(logical);
}

QPoint WeekPainter::toLogical(QPointF point, const QRectF &area)
{
    return ui::WeekProjection(area).toLogical(point);
}

void WeekPainter::paint(QPainter &painter, const QRectF &area, const WeekScene &scene,
                        const QFont &font, qreal unit) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const auto at = [&](qreal x, qreal y) { return toArea(QPointF(x, y), area); };
    constexpr int pitch = WeekViewModel::RowPitch;

    paintDays(painter, area, scene, unit);

    // The hour labels keep their size; they stand in the gap below each row, under its grid
    // lines at 0, 6, 12, 18 h, where no marker or stack count reaches.
    QFont hourFont = font;
    if (unit == 1.0)
        hourFont.setPointSizeF(7.5);
    else // on paper, as large beside the week as on the screen
        hourFont.setPixelSize(std::max(1, qRound(10 * unit)));
    painter.setFont(hourFont);
    painter.setPen(m_colours.text);
    for (int row = 0; row < 7; ++row) {
        for (int k = 0; k < 5; ++k) {
            const QPointF anchor = at(120 * k + 20, 66 + pitch * row);
            const QString text = k < 4 ? QStringLiteral("%1:00").arg(6 * k, 2, 10, QLatin1Char('0'))
                                       : QStringLiteral("23:59");
            painter.drawText(QRectF(anchor.x() - 20 * unit, anchor.y(), 40 * unit, 14 * unit),
                             Qt::AlignHCenter | Qt::AlignTop, text);
        }
    }

    if (scene.now) {
        const QPointF point = at(scene.now->x(), scene.now->y());
        const qreal half = at(0, 25).y() - area.top();
        painter.fillRect(QRectF(point.x() - unit, point.y() - half, 2 * unit, 2 * half),
                         m_colours.now);
    }

    paintBands(painter, area, scene, unit);

    // In the model's order: the marker placed last on a spot lies on top and shows the count.
    for (const ui::WeekMarker &marker : scene.model.markers()) {
        const clock::ClockLine &line = scene.table.Lines[std::size_t(marker.line)];
        const QPointF point = at(marker.x, marker.y);
        // Whole pixels on the screen, so markers on one spot cover each other exactly.
        const QPointF topLeft =
            unit == 1.0 ? QPointF(point.toPoint()) - MarkerPoint : point - MarkerPoint * unit;
        paintMarker(painter, topLeft, line, scene.table.SelectedLine == marker.line + 1,
                    marker.stack, unit);
    }
    if (scene.focus)
        paintFocus(painter, at(scene.focus->x(), scene.focus->y()), unit);
    painter.restore();
}

void WeekPainter::paintDays(QPainter &painter, const QRectF &area, const WeekScene &scene,
                            qreal unit) const
{
    const auto at = [&](qreal x, qreal y) { return toArea(QPointF(x, y), area); };
    constexpr int pitch = WeekViewModel::RowPitch;
    // Rows, night shade and grid on whole pixels: antialiased hairlines would fade below the
    // contrast their colours are chosen for.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int row = 0; row < 7; ++row) {
        const QRectF day(at(0, 15 + pitch * row), at(WeekViewModel::CanvasWidth, 65 + pitch * row));
        painter.fillRect(day, scene.workdays[std::size_t(row)] == 1 ? m_colours.workday
                                                                    : m_colours.dayOff);
    }
    for (const ui::WeekNight &night : scene.nights)
        painter.fillRect(QRectF(at(night.fromX, 15 + pitch * night.row),
                                at(night.toX, 65 + pitch * night.row)),
                         NightShade);
    const QPen major(m_colours.majorLine, 2 * unit, Qt::SolidLine, Qt::FlatCap);
    const QPen minor(m_colours.minorLine, unit, Qt::SolidLine, Qt::FlatCap);
    for (int row = 0; row < 7; ++row) {
        const int top = 15 + pitch * row;
        for (int hour = 0; hour <= 24; ++hour) {
            const bool isMajor = hour % 6 == 0;
            const qreal x = 20 + 20 * hour;
            painter.setPen(isMajor ? major : minor);
            painter.drawLine(at(x, top + (isMajor ? 6 : 12)), at(x, top + (isMajor ? 44 : 38)));
        }
    }
    painter.setRenderHint(QPainter::Antialiasing);
}

void WeekPainter::paintBands(QPainter &painter, const QRectF &area, const WeekScene &scene,
                             qreal unit) const
{
    const auto at = [&](qreal x, qreal y) { return toArea(QPointF(x, y), area); };
    // Plain rectangles: a week of dense series is a hundred bands across the screen.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const ui::WeekBand &band : scene.model.bands()) {
        // On whole pixels on the screen, where the markers and the hit boxes are.
        const auto onPixel = [unit](QPointF p) { return unit == 1.0 ? QPointF(p.toPoint()) : p; };
        const QPointF from = onPixel(at(band.fromX, band.y));
        const QPointF to = onPixel(at(band.toX, band.y));
        QRectF outer(from.x(), from.y() - 3 * unit, to.x() - from.x() + unit, 6 * unit);
        // A single firing's band is as wide as the marker it stands for, and as wide as a click
        // on it reaches.
        if (outer.width() < (MarkerWidth + 1) * unit)
            outer = QRectF(from.x() - MarkerPoint.x() * unit, outer.top(), (MarkerWidth + 1) * unit,
                           outer.height());
        painter.fillRect(outer, m_colours.ink);
        painter.fillRect(outer.adjusted(unit, unit, -unit, -unit),
                         m_colours.table(scene.table.Lines[std::size_t(band.line)].Table));
    }
    painter.setRenderHint(QPainter::Antialiasing);
}

void WeekPainter::paintFocus(QPainter &painter, QPointF point, qreal unit) const
{
    // A frame around the whole marker, clear of its picture, in the outline colour with a halo
    // inside it, so that it reads on the ground and against the marker alike.
    const QRectF box(point.x() - (MarkerPoint.x() + 2.5) * unit,
                     point.y() - (MarkerPoint.y() + 2.5) * unit, (MarkerWidth + 5) * unit,
                     (MarkerHeight + 5) * unit);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(m_colours.ink, 2 * unit));
    painter.drawRect(box);
    painter.setPen(QPen(m_colours.halo, unit));
    painter.drawRect(box.adjusted(1.5 * unit, 1.5 * unit, -1.5 * unit, -1.5 * unit));
    painter.restore();
}

void WeekPainter::paintPlate(QPainter &painter) const
{
    painter.setPen(QPen(m_colours.minorLine, 1));
    painter.setBrush(m_colours.plate);
    painter.drawRoundedRect(QRectF(0.5, 0.5, Pictures::MarkerPictureWidth - 1, PlateHeight - 1),
                            2, 2);
}

void WeekPainter::paintMarker(QPainter &painter, QPointF topLeft, const clock::ClockLine &line,
                              bool selected, int stack, qreal unit) const
{
    // On screen a marker stands on whole pixels, unscaled: the same look is the same pixels.
    // Paper keeps the vectors.
    const QPaintDevice *device = painter.device();
    const int type = device ? device->devType() : QInternal::UnknownDevice;
    const bool screen = unit == 1.0 &&
                        (type == QInternal::Widget || type == QInternal::Image ||
                         type == QInternal::Pixmap) &&
                        painter.worldTransform().type() <= QTransform::TxTranslate;
    if (!screen) {
        drawMarker(painter, topLeft, line, selected, stack, unit);
        return;
    }
    painter.drawPixmap(topLeft, cachedMarker(line, selected, stack, device->devicePixelRatioF()));
}

const QPixmap &WeekPainter::cachedMarker(const clock::ClockLine &line, bool selected, int stack,
                                         qreal ratio) const
{
    const quint64 key = quint64(MarkerPicture(line.FunctionType, line.Level)) |
                        quint64(line.Table) << 8 | quint64(selected) << 16 |
                        quint64(std::clamp(stack, 0, 0xFFFF)) << 24 |
                        quint64(qRound(ratio * 100)) << 40;
    auto found = m_markers.constFind(key);
    if (found != m_markers.constEnd())
        return *found;
    QPixmap pixmap((QSizeF(MarkerWidth + 4, MarkerHeight) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter into(&pixmap);
        into.setRenderHint(QPainter::Antialiasing);
        drawMarker(into, QPointF(0, 0), line, selected, stack, 1.0);
    }
    return *m_markers.insert(key, pixmap);
}

void WeekPainter::drawMarker(QPainter &painter, QPointF topLeft, const clock::ClockLine &line,
                             bool selected, int stack, qreal unit) const
{
    painter.save();
    painter.translate(topLeft);
    painter.scale(unit, unit);
    painter.setClipRect(QRectF(0, 0, MarkerWidth + 4, MarkerHeight), Qt::IntersectClip);
    paintPlate(painter);
    painter.save();
    painter.setClipRect(QRectF(0, 0, Pictures::MarkerPictureWidth, PlateHeight), Qt::IntersectClip);
    m_pictures.drawMarker(
        painter, MarkerPicture(line.FunctionType, line.Level),
        QRectF(0, 0, Pictures::MarkerPictureWidth, Pictures::MarkerPictureHeight));
    painter.restore();
    // The stem down to the triangle.
    painter.setPen(QPen(m_colours.ink, 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(5.5, PlateHeight), QPointF(5.5, 20));

    // The outline carries the triangle's contrast, the fill the table's hue.
    painter.setPen(QPen(m_colours.ink, 1));
    painter.setBrush(m_colours.table(line.Table));
    if (selected) {
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

    if (stack > 1) {
        // In the marker's own pixels, so that it scales with the marker on paper.
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(11);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(m_colours.ink);
        painter.drawText(QRectF(0, 32, MarkerWidth + 4, MarkerHeight - 32),
                         Qt::AlignLeft | Qt::AlignTop, QString::number(stack));
    }
    painter.restore();
}

void WeekPainter::paintDayCaptions(QPainter &painter, const QRectF &column, const QRectF &area,
                                   QDate monday, QFont font, const QColor &colour)
{
    // The longest day name must end before the week area begins.
    const qreal room = column.width() - 7;
    QFontMetricsF metrics(font, painter.device());
    qreal widest = 0;
    for (int row = 0; row < 7; ++row)
        widest = std::max(widest, metrics.horizontalAdvance(QLocale().toString(
                                      monday.addDays(row), QStringLiteral("dddd:"))));
    if (widest > room) {
        font.setStretch(std::max(60, int(100 * room / widest)));
        metrics = QFontMetricsF(font, painter.device());
    }
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    for (int row = 0; row < 7; ++row) {
        const QDate date = monday.addDays(row);
        const qreal top = toArea(QPointF(0, 20 + WeekViewModel::RowPitch * row), area).y();
        const qreal left = column.left() + 5;
        painter.drawText(QPointF(left, top + metrics.ascent()),
                         QLocale().toString(date, QStringLiteral("dddd:")));
        painter.drawText(QPointF(left, top + metrics.height() + metrics.ascent()),
                         ui::DateText().date(date));
    }
    painter.restore();
}

QStringList WeekPainter::LegendCaptions(const settings::NameTables &names,
                                        const settings::Strings &strings)
{
    return {
        strings.GetResString(settings::TextId::Level::On),
        strings.GetResString(settings::TextId::Level::Off),
        names.functionTypeName(51), names.functionTypeName(54).left(9),
        names.functionTypeName(66), names.functionTypeName(65).left(7),
        names.functionTypeName(26), names.functionTypeName(25),
        names.functionTypeName(24),
    };
}

void WeekPainter::paintLegend(QPainter &painter, QPointF origin, const QStringList &captions,
                              QFont font) const
{
    // The picture part of each marker, above its triangles, and its caption.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);
    for (int k = 1; k <= Pictures::MarkerPictureCount; ++k) {
        painter.save();
        painter.translate(90 * k - 80, 0);
        paintPlate(painter);
        painter.setClipRect(0, 0, Pictures::MarkerPictureWidth, PlateHeight);
        m_pictures.drawMarker(
            painter, k, QRectF(0, 0, Pictures::MarkerPictureWidth, Pictures::MarkerPictureHeight));
        painter.restore();
    }
    if (font.pixelSize() <= 0)
        font.setPointSize(6);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    for (int k = 1; k <= Pictures::MarkerPictureCount && k <= captions.size(); ++k)
        painter.drawText(QPointF(90 * k - 67, 5 + metrics.ascent()), captions[k - 1]);
    painter.restore();
}

} // namespace quintara::render
