#pragma once

#include "clock/Occurrences.h"
#include "presentation/WeekNights.h"
#include "render/WeekColours.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QStringList>

#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;

namespace quintara::clock {
struct ClockLine;
struct ClockTable;
} // namespace quintara::clock
namespace quintara::settings {
struct NameTables;
class Strings;
} // namespace quintara::settings
namespace quintara::ui {
class WeekViewModel;
}

namespace quintara::render {

class Pictures;

// The drawing colour of a day-table on a light ground; black for a table number no editor makes.
QColor TableColour(int table);

// What a painted week shows: the model's markers and bands over the table's lines, the days
// coloured by the workday flags, the present moment when it lies in the week, and where the
// sun is down when the house's location is known.
struct WeekScene {
    const ui::WeekViewModel &model;
    const clock::ClockTable &table;
    clock::WorkdayFlagSet workdays{};
    std::optional<QPointF> now; // logical point
    std::vector<ui::WeekNight> nights{};
    // The logical point of the marker the keyboard is on, framed; none when the week has no
    // keyboard focus.
    std::optional<QPoint> focus{};
};

// Paints the week view onto any painter: a widget, a printer, a PDF. The week's logical canvas
// (where the model's arithmetic lives) is mapped onto the area it is given; markers, bands,
// the hour labels and the now line keep the size of `unit` painter units per pixel, so on the
// screen they stay as large however big the week is drawn, and on paper they scale with it.
class WeekPainter {
public:
    static constexpr int MarkerWidth = 10;
    static constexpr int MarkerHeight = 50;
    // Where in the marker the occurrence lies.
    static constexpr QPointF MarkerPoint{5, 25};
    static constexpr QColor NightShade = render::NightShade;

    explicit WeekPainter(const Pictures &pictures) : m_pictures(pictures) {}

    // The colours to paint in from now on (paper's light ones until set).
    void setColours(const WeekColours &colours);
    const WeekColours &colours() const { return m_colours; }

    void paint(QPainter &painter, const QRectF &area, const WeekScene &scene, const QFont &font,
               qreal unit = 1.0) const;

    // One marker with its top-left corner at the point: the picture of the line's function,
    // its table's triangle, the second triangle of a selected line, the stack count above 1.
    void paintMarker(QPainter &painter, QPointF topLeft, const clock::ClockLine &line,
                     bool selected, int stack, qreal unit = 1.0) const;

    // How wide a column the day names and dates of the week from `monday` need in the font.
    static qreal DayCaptionsWidth(const QFont &font, const QPaintDevice *device, QDate monday);
    // The day names and dates beside the rows of the week drawn in `area`, within `column`.
    static void paintDayCaptions(QPainter &painter, const QRectF &column, const QRectF &area,
                                 QDate monday, QFont font, const QColor &colour);

    // The legend laid out within a width: each marker picture (drawn `unit` painter units per
    // pixel) with its caption beside it. A caption too long for the row is broken between words,
    // never inside one, and when even that is too wide the entries go on in further rows.
    struct LegendEntry {
        QRectF picture;
        QRectF caption;
        QStringList lines;
    };
    struct LegendLayout {
        std::vector<LegendEntry> entries;
        QSizeF size;
    };
    static LegendLayout LayOutLegend(const QStringList &captions, const QFontMetricsF &metrics,
                                     qreal width, qreal unit = 1.0);
    // The legend so laid out, from the point, in the font it was measured with.
    void paintLegend(QPainter &painter, QPointF origin, const LegendLayout &legend,
                     const QFont &font) const;
    // The legend's captions in the name tables' language.
    static QStringList LegendCaptions(const settings::NameTables &names,
                                      const settings::Strings &strings);

    // The canvas onto the area and back.
    static QPointF toArea(QPointF logical, const QRectF &area);
    static QPoint toLogical(QPointF point, const QRectF &area);

private:
    void paintDays(QPainter &painter, const QRectF &area, const WeekScene &scene,
                   qreal unit) const;
    void paintBands(QPainter &painter, const QRectF &area, const WeekScene &scene,
                    qreal unit) const;
    void paintFocus(QPainter &painter, QPointF point, qreal unit) const;
    // The light plate a picture is drawn on, so that it reads on any ground.
    void paintPlate(QPainter &painter) const;
    // The marker in vector form: what paper gets, and what the screen's cache holds.
    void drawMarker(QPainter &painter, QPointF topLeft, const clock::ClockLine &line,
                    bool selected, int stack, qreal unit) const;
    // The marker drawn once per look and device pixel ratio: a full week has hundreds.
    const QPixmap &cachedMarker(const clock::ClockLine &line, bool selected, int stack,
                                qreal ratio) const;

    const Pictures &m_pictures;
    WeekColours m_colours;
    mutable QHash<quint64, QPixmap> m_markers;
};

} // namespace quintara::render
