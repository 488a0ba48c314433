#include "render/HandOverDocument.h"

#include "presentation/DateText.h"
#include "presentation/WeekViewModel.h"
#include "render/WeekPainter.h"

#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <QAbstractItemModel>
#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <functional>
#include <numeric>

namespace quintara::render {

namespace {

using ui::WeekViewModel;

// The day names' column and the legend's height beside and below the week, in the canvas's
// logical pixels.
constexpr int CaptionColumn = 80;

// A cell is one line on paper: a message of several lines runs on.
QString CellText(const QModelIndex &index)
{
    return index.data(Qt::DisplayRole).toString().replace(QLatin1Char('\n'), QLatin1Char(' '));
}

constexpr int LegendHeight = 22;
constexpr qreal LegendWidth = 830;

class Document {
public:
    Document(QPagedPaintDevice &device, QPainter &painter, const DocumentHead &head)
        : m_device(device), m_painter(painter), m_head(head), m_point(device.logicalDpiY() / 72.0),
          m_page(0, 0, device.width(), device.height())
    {
    }

    int pages() const { return m_pages; }

    // The head of a page; answers where the page's content begins.
    qreal startPage()
    {
        if (m_pages > 0)
            m_device.newPage();
        ++m_pages;
        const QFont font = sized(8);
        const QFontMetricsF metrics(font, &m_device);
        m_painter.setFont(font);
        m_painter.setPen(Qt::black);
        qreal x = m_page.left();
        const qreal baseline = m_page.top() + metrics.ascent();
        for (const auto &[label, value] : m_head.fields) {
            const QString text = label + QStringLiteral(": ") + value;
            m_painter.drawText(QPointF(x, baseline), text);
            x += metrics.horizontalAdvance(text) + 18 * m_point;
        }
        const QString number = m_head.pageWord + u' ' + QString::number(m_pages);
        m_painter.drawText(QPointF(m_page.right() - metrics.horizontalAdvance(number), baseline),
                           number);
        const qreal rule = m_page.top() + metrics.height() + 3 * m_point;
        m_painter.drawLine(QPointF(m_page.left(), rule), QPointF(m_page.right(), rule));
        return rule + 8 * m_point;
    }

    void week(const Pictures &pictures, const DocumentWeek &week)
    {
        const qreal top = startPage();
        const QRectF room(m_page.left(), top, m_page.width(), m_page.bottom() - top);
        // One logical pixel of the window's canvas in device pixels: the week fills the page.
        const qreal unit = std::min(room.width() / (CaptionColumn + WeekViewModel::CanvasWidth),
                                    room.height() / (WeekViewModel::CanvasHeight + LegendHeight));
        const QRectF area(room.left() + CaptionColumn * unit, room.top(),
                          WeekViewModel::CanvasWidth * unit, WeekViewModel::CanvasHeight * unit);
        const WeekPainter painter(pictures);
        QFont font;
        font.setPixelSize(std::max(1, qRound(13 * unit)));
        WeekPainter::paintDayCaptions(
            m_painter, QRectF(room.left(), room.top(), CaptionColumn * unit, area.height()), area,
            week.monday, font, Qt::black);
        painter.paint(m_painter, area,
                      WeekScene{week.model, week.table, week.workdays, std::nullopt, week.nights}, QFont(),
                      unit);
        // The legend's nine pictures and captions need more room than the week is wide.
        const qreal legendUnit = std::min(unit, room.width() / LegendWidth);
        m_painter.save();
        m_painter.translate(room.left(), area.bottom() + 4 * unit);
        m_painter.scale(legendUnit, legendUnit);
        QFont legend;
        legend.setPixelSize(8);
        painter.paintLegend(m_painter, QPointF(0, 0), week.legendCaptions, legend);
        m_painter.restore();
    }

    void table(const DocumentTable &table)
    {
        const QAbstractItemModel &rows = *table.rows;
        const int columns = rows.columnCount();
        const QFont font = sized(8);
        QFont bold = font;
        bold.setBold(true);
        const QFontMetricsF metrics(font, &m_device);
        const QFontMetricsF boldMetrics(bold, &m_device);
        const qreal swatch = metrics.height() * 0.7;
        const qreal padding = 6 * m_point;

        const std::vector<qreal> widths =
            columnWidths(rows, metrics, boldMetrics, swatch + padding / 2, padding);
        const qreal rowHeight = metrics.height() * 1.35;

        qreal y = 0;
        const auto headerRow = [&] {
            m_painter.setFont(bold);
            qreal x = m_page.left();
            for (int c = 0; c < columns; ++c) {
                const QString text = rows.headerData(c, Qt::Horizontal).toString();
                m_painter.drawText(
                    QRectF(x, y, widths[std::size_t(c)] - padding, rowHeight),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    boldMetrics.elidedText(text, Qt::ElideRight, widths[std::size_t(c)] - padding));
                x += widths[std::size_t(c)];
            }
            y += rowHeight;
            m_painter.drawLine(QPointF(m_page.left(), y), QPointF(m_page.right(), y));
            m_painter.setFont(font);
        };
        const auto newPage = [&] {
            y = startPage();
            m_painter.setFont(sized(11, true));
            const QFontMetricsF title(m_painter.font(), &m_device);
            m_painter.drawText(QPointF(m_page.left(), y + title.ascent()), table.title);
            y += title.height() + 4 * m_point;
            headerRow();
        };

        newPage();
        for (int r = 0; r < rows.rowCount(); ++r) {
            if (y + rowHeight > m_page.bottom())
                newPage();
            qreal x = m_page.left();
            for (int c = 0; c < columns; ++c) {
                const QModelIndex index = rows.index(r, c);
                const QVariant foreground = index.data(Qt::ForegroundRole);
                m_painter.setPen(foreground.canConvert<QColor>() ? foreground.value<QColor>()
                                                                 : QColor(Qt::black));
                qreal textLeft = x;
                const QVariant decoration = index.data(Qt::DecorationRole);
                if (decoration.canConvert<QColor>()) {
                    const QRectF box(x, y + (rowHeight - swatch) / 2, swatch, swatch);
                    m_painter.fillRect(box, decoration.value<QColor>());
                    m_painter.drawRect(box);
                    textLeft += swatch + padding / 2;
                }
                const qreal room = x + widths[std::size_t(c)] - padding - textLeft;
                m_painter.drawText(QRectF(textLeft, y, std::max(0.0, room), rowHeight),
                                   Qt::AlignLeft | Qt::AlignVCenter,
                                   metrics.elidedText(CellText(index),
                                                      Qt::ElideRight, std::max(0.0, room)));
                x += widths[std::size_t(c)];
            }
            m_painter.setPen(Qt::black);
            y += rowHeight;
        }
    }

private:
    // Each column as wide as its widest text (a colour swatch takes `swatchRoom` more), all of
    // them shrunk to the page when needed.
    std::vector<qreal> columnWidths(const QAbstractItemModel &rows, const QFontMetricsF &metrics,
                                    const QFontMetricsF &boldMetrics, qreal swatchRoom,
                                    qreal padding) const
    {
        const int columns = rows.columnCount();
        std::vector<qreal> widths(std::size_t(std::max(0, columns)), 0);
        for (int c = 0; c < columns; ++c) {
            qreal widest = boldMetrics.horizontalAdvance(
                rows.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
            for (int r = 0; r < rows.rowCount(); ++r) {
                const QModelIndex index = rows.index(r, c);
                qreal width = metrics.horizontalAdvance(CellText(index));
                if (index.data(Qt::DecorationRole).canConvert<QColor>())
                    width += swatchRoom;
                widest = std::max(widest, width);
            }
            widths[std::size_t(c)] = widest + padding;
        }
        const qreal total = std::accumulate(widths.begin(), widths.end(), 0.0);
        if (total > m_page.width()) {
            for (qreal &width : widths)
                width *= m_page.width() / total;
        }
        return widths;
    }

    // A font of the given size in points, held as device pixels so that the painter's scale
    // can't change it.
    QFont sized(qreal points, bool bold = false) const
    {
        QFont font;
        font.setPixelSize(std::max(1, qRound(points * m_point)));
        font.setBold(bold);
        return font;
    }

    QPagedPaintDevice &m_device;
    QPainter &m_painter;
    const DocumentHead &m_head;
    qreal m_point; // device pixels per point
    QRectF m_page;
    int m_pages = 0;
};

QString FileNameOnly(const QString &path)
{
    return path.mid(std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1);
}

} // namespace

DocumentHead MakeDocumentHead(const settings::Strings &strings, const QString &project,
                              const QString &clockFile, int modelIndex, int usableLines,
                              const QDateTime &printed)
{
    namespace Text = settings::TextId::Print;
    DocumentHead head;
    head.fields = {
        {strings.GetResString(Text::ProjectFileLabel), FileNameOnly(project)},
        {strings.GetResString(Text::ClockFileLabel), FileNameOnly(clockFile)},
        {strings.GetResString(Text::CentralUnitLabel),
         strings.GetResString(Text::UnitModel).arg(modelIndex).arg(usableLines)},
        {strings.GetResString(Text::PrintedLabel),
         ui::DateText::of(strings).dateTime(printed)},
    };
    head.pageWord = strings.GetResString(Text::PageWord);
    return head;
}

namespace {

// The pages of a document: what `first` paints (if anything), then each table.
int PaintDocument(QPagedPaintDevice &device, const DocumentHead &head,
                  const std::function<void(Document &)> &first, const QList<DocumentTable> &tables)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    painter.setRenderHint(QPainter::Antialiasing);
    Document document(device, painter, head);
    if (first)
        first(document);
    for (const DocumentTable &table : tables) {
        if (table.rows && table.rows->columnCount() > 0)
            document.table(table);
    }
    painter.end();
    return document.pages();
}

} // namespace

int PaintHandOver(QPagedPaintDevice &device, const Pictures &pictures, const DocumentHead &head,
                  const DocumentWeek &week, const QList<DocumentTable> &tables)
{
    return PaintDocument(
        device, head, [&](Document &document) { document.week(pictures, week); }, tables);
}

int PaintTables(QPagedPaintDevice &device, const DocumentHead &head,
                const QList<DocumentTable> &tables)
{
    return PaintDocument(device, head, {}, tables);
}

QByteArray PaintPdf(const QString &title, QPageLayout::Orientation orientation,
                    const std::function<int(QPagedPaintDevice &device)> &paint)
{
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setResolution(300);
        pdf.setPageOrientation(orientation);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Quintara"));
        if (paint(pdf) == 0)
            return {};
    }
    return bytes.data();
}

} // namespace quintara::render
