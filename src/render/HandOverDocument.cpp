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

// A cell is one line on paper: a message of several lines runs on.
QString CellText(const QModelIndex &index)
{
    return index.data(Qt::DisplayRole).toString().replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// The notes a table's row carries (the health check's warnings on a line), none without.
QStringList RowNotes(const DocumentTable &table, int row)
{
    return table.noteColumn < 0
               ? QStringList()
               : table.rows->index(row, table.noteColumn).data(table.noteRole).toStringList();
}

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
        const WeekPainter painter(pictures);
        // The legend across the page below the week, its pictures as tall as its words.
        const QFont legendFont = sized(8);
        const QFontMetricsF legendMetrics(legendFont, &m_device);
        const auto legend = WeekPainter::LayOutLegend(week.legendCaptions, legendMetrics,
                                                      room.width(), legendMetrics.height() / 14);
        const qreal gap = 6 * m_point;
        // The day names as wide as they need; the week the rest of the page's width, its rows as
        // tall as the page leaves them, up to the window's proportions.
        const QFont dayFont = sized(9);
        const qreal column = WeekPainter::DayCaptionsWidth(dayFont, &m_device, week.monday) + gap;
        const qreal across = (room.width() - column) / WeekViewModel::CanvasWidth;
        const qreal down = std::min(across, (room.height() - legend.size.height() - gap) /
                                                WeekViewModel::CanvasHeight);
        const QRectF area(room.left() + column, room.top(), room.width() - column,
                          WeekViewModel::CanvasHeight * down);
        WeekPainter::paintDayCaptions(m_painter,
                                      QRectF(room.left(), room.top(), column, area.height()), area,
                                      week.monday, dayFont, Qt::black);
        painter.paint(m_painter, area,
                      WeekScene{week.model, week.table, week.workdays, std::nullopt, week.nights},
                      QFont(), down);
        painter.paintLegend(m_painter, QPointF(room.left(), area.bottom() + gap), legend,
                            legendFont);
    }

    void table(const DocumentTable &table)
    {
        const QAbstractItemModel &rows = *table.rows;
        const TableLook look = lookOf(rows);
        // A row's notes run across the page below it, from its second column on.
        const qreal noteLeft = m_page.left() + (look.widths.size() > 1 ? look.widths[0] : 0);
        const QRectF noteRoom(noteLeft, 0, m_page.right() - noteLeft, m_page.height());

        qreal y = 0;
        const auto newPage = [&] {
            y = startPage();
            m_painter.setFont(sized(11, true));
            const QFontMetricsF title(m_painter.font(), &m_device);
            m_painter.drawText(QPointF(m_page.left(), y + title.ascent()), table.title);
            y += title.height() + 4 * m_point;
            y = headerRow(rows, look, y);
        };
        newPage();
        for (int r = 0; r < rows.rowCount(); ++r) {
            const QString notes = RowNotes(table, r).join(u'\n');
            const qreal notesHeight =
                notes.isEmpty()
                    ? 0
                    : look.noteMetrics.boundingRect(noteRoom, Qt::TextWordWrap, notes).height() +
                          2 * m_point;
            if (y + look.rowHeight + notesHeight > m_page.bottom())
                newPage();
            row(table, r, look, y, !notes.isEmpty());
            y += look.rowHeight;
            if (!notes.isEmpty()) {
                m_painter.setFont(look.note);
                m_painter.drawText(QRectF(noteLeft, y, noteRoom.width(), notesHeight),
                                   Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, notes);
                y += notesHeight;
            }
        }
    }

private:
    // The fonts and measures of a table on this page.
    struct TableLook {
        QFont font, bold, note;
        QFontMetricsF metrics, boldMetrics, noteMetrics;
        qreal swatch, padding, rowHeight;
        std::vector<qreal> widths;
    };

    TableLook lookOf(const QAbstractItemModel &rows) const
    {
        const QFont font = sized(8);
        QFont bold = font, note = font;
        bold.setBold(true);
        note.setItalic(true);
        const QFontMetricsF metrics(font, &m_device);
        const QFontMetricsF boldMetrics(bold, &m_device);
        const qreal swatch = metrics.height() * 0.7;
        const qreal padding = 6 * m_point;
        return {font,
                bold,
                note,
                metrics,
                boldMetrics,
                QFontMetricsF(note, &m_device),
                swatch,
                padding,
                metrics.height() * 1.35,
                columnWidths(rows, metrics, boldMetrics, swatch + padding / 2, padding)};
    }

    // The column headings and the rule below them; answers where the rows begin.
    qreal headerRow(const QAbstractItemModel &rows, const TableLook &look, qreal y)
    {
        m_painter.setFont(look.bold);
        qreal x = m_page.left();
        for (std::size_t c = 0; c < look.widths.size(); ++c) {
            const QString text = rows.headerData(int(c), Qt::Horizontal).toString();
            const qreal room = look.widths[c] - look.padding;
            m_painter.drawText(QRectF(x, y, room, look.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                               look.boldMetrics.elidedText(text, Qt::ElideRight, room));
            x += look.widths[c];
        }
        y += look.rowHeight;
        m_painter.drawLine(QPointF(m_page.left(), y), QPointF(m_page.right(), y));
        return y;
    }

    // A row's cells at `y`; a row with notes shows a mark in the notes' column.
    void row(const DocumentTable &table, int r, const TableLook &look, qreal y, bool noted)
    {
        qreal x = m_page.left();
        for (std::size_t c = 0; c < look.widths.size(); ++c) {
            const QModelIndex index = table.rows->index(r, int(c));
            const QVariant foreground = index.data(Qt::ForegroundRole);
            m_painter.setPen(foreground.canConvert<QColor>() ? foreground.value<QColor>()
                                                             : QColor(Qt::black));
            qreal textLeft = x;
            const QVariant decoration = index.data(Qt::DecorationRole);
            if (decoration.canConvert<QColor>()) {
                const QRectF box(x, y + (look.rowHeight - look.swatch) / 2, look.swatch,
                                 look.swatch);
                m_painter.fillRect(box, decoration.value<QColor>());
                m_painter.drawRect(box);
                textLeft += look.swatch + look.padding / 2;
            }
            const bool mark = noted && int(c) == table.noteColumn;
            m_painter.setFont(mark ? look.bold : look.font);
            const qreal room = std::max(0.0, x + look.widths[c] - look.padding - textLeft);
            m_painter.drawText(
                QRectF(textLeft, y, room, look.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                mark ? QStringLiteral("!")
                     : look.metrics.elidedText(CellText(index), Qt::ElideRight, room));
            x += look.widths[c];
        }
        m_painter.setPen(Qt::black);
    }

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
