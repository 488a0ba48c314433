#pragma once

#include "clock/Occurrences.h"
#include "presentation/WeekNights.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QAbstractItemModel;
class QPagedPaintDevice;

namespace quintara::clock {
struct ClockTable;
}
namespace quintara::settings {
class Strings;
}
namespace quintara::ui {
class WeekViewModel;
}

namespace quintara::render {

class Pictures;

// What the head of every page says: label and value pairs (project file, clock file, central
// unit, date printed) and the word before the page number.
struct DocumentHead {
    QList<std::pair<QString, QString>> fields;
    QString pageWord;
};

// The head of a hand-over: the project (its file's name, or what stands in for it), the clock
// file's name, the central unit's model and usable lines, and when it was printed, in the
// language of `strings`.
DocumentHead MakeDocumentHead(const settings::Strings &strings, const QString &project,
                              const QString &clockFile, int modelIndex, int usableLines,
                              const QDateTime &printed);

// The week as the window draws it.
struct DocumentWeek {
    const ui::WeekViewModel &model;
    const clock::ClockTable &table;
    clock::WorkdayFlagSet workdays{};
    QDate monday;
    QStringList legendCaptions;
    std::vector<ui::WeekNight> nights{};
};

// A table printed after the week: its title and its rows (the display texts of a model, with
// its header; a QColor decoration shows as a swatch, a foreground colour greys a row). The
// cells of `noteColumn` may carry notes, a QStringList under `noteRole` (the list's warnings):
// the cell shows a mark and the notes follow their row in words.
struct DocumentTable {
    QString title;
    const QAbstractItemModel *rows = nullptr;
    int noteColumn = -1;
    int noteRole = 0;
};

// The hand-over document onto a printer or a PDF: the week on the first page, scaled to the
// page with its day names and legend, then each table over as many pages as it needs, the
// head on every page. Answers the number of pages painted; 0 when the device can't be painted.
int PaintHandOver(QPagedPaintDevice &device, const Pictures &pictures, const DocumentHead &head,
                  const DocumentWeek &week, const QList<DocumentTable> &tables);

// A document of tables alone, the head on every page.
int PaintTables(QPagedPaintDevice &device, const DocumentHead &head,
                const QList<DocumentTable> &tables);

// A document painted into the bytes of a PDF file, to be written whole; empty when nothing
// could be painted.
QByteArray PaintPdf(const QString &title, QPageLayout::Orientation orientation,
                    const std::function<int(QPagedPaintDevice &device)> &paint);

} // namespace quintara::render
