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
#include <numeric>

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

namespace {

// Where the day captions begin in their column, and the room they leave at its right.
constexpr qreal DayCaptionIndent = 5;
constexpr qreal DayCaptionRoom = 7;

} // namespace

qreal WeekPainter::DayCaptionsWidth(const QFont &font, const QPaintDevice *device, QDate monday)
{
    const QFontMetricsF metrics(font, device);
    qreal widest = 0;
    for (int row = 0; row < 7; ++row) {
        const QDate date = monday.addDays(row);
        widest = std::max(
            {widest, metrics.horizontalAdvance(QLocale().toString(date, QStringLiteral("dddd:"))),
             metrics.horizontalAdvance(ui::DateText().date(date))});
    }
    return widest + DayCaptionRoom;
}

void WeekPainter::paintDayCaptions(QPainter &painter, const QRectF &column, const QRectF &area,
                                   QDate monday, QFont font, const QColor &colour)
{
    // The longest day name must end before the week area begins.
    const qreal room = column.width() - DayCaptionRoom;
    QFontMetricsF metrics(font, painter.device());
    const qreal widest = DayCaptionsWidth(font, painter.device(), monday) - DayCaptionRoom;
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
        const qreal left = column.left() + DayCaptionIndent;
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
        names.functionTypeName(51),
        names.functionTypeName(54),
        names.functionTypeName(66),
        names.functionTypeName(65),
        names.functionTypeName(26),
        names.functionTypeName(25),
        names.functionTypeName(24),
    };
}

namespace {

qreal WidestLine(const QStringList &lines, const QFontMetricsF &metrics)
{
    qreal widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// The caption on two lines, broken at the space that leaves the longer line shortest; one line
// when it has no space.
QStringList BrokenInTwo(const QString &caption, const QFontMetricsF &metrics)
{
    QStringList best{caption};
    for (qsizetype at = caption.indexOf(u' '); at > 0; at = caption.indexOf(u' ', at + 1)) {
        const QStringList lines{caption.left(at).trimmed(), caption.mid(at + 1).trimmed()};
        if (WidestLine(lines, metrics) < WidestLine(best, metrics))
            best = lines;
    }
    return best;
}

// The captions' lines: the widest broken first, until one row of them fits the width with each
// picture's `room` before its caption and `spacing` between entries.
std::vector<QStringList> CaptionLines(const QStringList &captions, const QFontMetricsF &metrics,
                                      qreal width, qreal room, qreal spacing)
{
    std::vector<QStringList> lines;
    for (const QString &caption : captions)
        lines.push_back({caption});
    const auto rowWidth = [&] {
        qreal sum = -spacing;
        for (const QStringList &entry : lines)
            sum += room + WidestLine(entry, metrics) + spacing;
        return sum;
    };
    std::vector<std::size_t> order(lines.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return WidestLine(lines[a], metrics) > WidestLine(lines[b], metrics);
    });
    for (std::size_t k = 0; k < order.size() && rowWidth() > width; ++k)
        lines[order[k]] = BrokenInTwo(captions[qsizetype(order[k])], metrics);
    return lines;
}

} // namespace

WeekPainter::LegendLayout WeekPainter::LayOutLegend(const QStringList &captions,
                                                    const QFontMetricsF &metrics, qreal width,
                                                    qreal unit)
{
    const QSizeF picture(Pictures::MarkerPictureWidth * unit, PlateHeight * unit);
    const qreal gap = 2 * unit; // between a picture and its caption
    const qreal spacing = metrics.height();
    const std::vector<QStringList> lines =
        CaptionLines(captions, metrics, width, picture.width() + gap, spacing);
    const auto textSize = [&](std::size_t k) {
        return QSizeF(WidestLine(lines[k], metrics),
                      metrics.lineSpacing() * qreal(lines[k].size() - 1) + metrics.height());
    };

    // Left to right, a new row where the next entry would cross the width.
    std::vector<std::pair<int, qreal>> placed; // of each entry: its row and left edge
    std::vector<qreal> heights{0};
    qreal x = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const qreal entryWidth = picture.width() + gap + textSize(k).width();
        if (x > 0 && x + entryWidth > width) {
            heights.push_back(0);
            x = 0;
        }
        placed.emplace_back(int(heights.size()) - 1, x);
        heights.back() = std::max({heights.back(), picture.height(), textSize(k).height()});
        x += entryWidth + spacing;
    }
    // Each entry in the middle of its row's height.
    std::vector<qreal> tops{0};
    for (const qreal height : heights)
        tops.push_back(tops.back() + height + gap);
    LegendLayout legend;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const auto [row, left] = placed[k];
        const qreal top = tops[std::size_t(row)], height = heights[std::size_t(row)];
        const QSizeF text = textSize(k);
        legend.entries.push_back(
            {QRectF(QPointF(left, top + (height - picture.height()) / 2), picture),
             QRectF(QPointF(left + picture.width() + gap, top + (height - text.height()) / 2),
                    text),
             lines[k]});
        legend.size.setWidth(std::max(legend.size.width(), legend.entries.back().caption.right()));
    }
    legend.size.setHeight(tops.back() - gap);
    return legend;
}

void WeekPainter::paintLegend(QPainter &painter, QPointF origin, const LegendLayout &legend,
                              const QFont &font) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    int picture = 0;
    for (const LegendEntry &entry : legend.entries) {
        painter.save();
        painter.translate(entry.picture.topLeft());
        const qreal unit = entry.picture.width() / Pictures::MarkerPictureWidth;
        painter.scale(unit, unit);
        paintPlate(painter);
        painter.setClipRect(0, 0, Pictures::MarkerPictureWidth, PlateHeight);
        m_pictures.drawMarker(
            painter, ++picture,
            QRectF(0, 0, Pictures::MarkerPictureWidth, Pictures::MarkerPictureHeight));
        painter.restore();
        for (qsizetype k = 0; k < entry.lines.size(); ++k)
            painter.drawText(QPointF(entry.caption.left(), entry.caption.top() + metrics.ascent() +
                                                               metrics.lineSpacing() * qreal(k)),
                             entry.lines[k]);
    }
    painter.restore();
}

} // namespace quintara::render
