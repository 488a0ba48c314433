#pragma once

#include "presentation/WeekNights.h"
#include "render/Pictures.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QPagedPaintDevice;
class QWidget;

namespace quintara::clock {
struct ClockTable;
struct TableDiff;
} // namespace quintara::clock

namespace quintara::render {
struct DocumentHead;
struct DocumentTable;
} // namespace quintara::render

namespace quintara::ui {

struct Program;
class AgendaModel;
class ClockLineListModel;
class FileCommands;
class LineDescriber;
class WeekViewModel;

// What leaves the window other than the clock file: the week on show, the list of lines and
// the agenda through the print preview or into a PDF, the lines as comma-separated values, and
// the table compared with another one. The table is only read.
class Exports {
public:
    // week and firstShownDay: the week as the window shows it, kept by the window.
    Exports(Program &program, FileCommands &files, const LineDescriber &describer,
            ClockLineListModel &lineModel, AgendaModel &agendaModel, const WeekViewModel &week,
            const QDate &firstShownDay, QWidget *parent);

    // Brings the list and the agenda up to date before they are painted.
    std::function<void()> refreshTables;
    // Where the sun is down in the week on show (none when nobody fills it).
    std::function<std::vector<WeekNight>()> weekNights;
    // The range the agenda last showed.
    std::function<std::pair<QDate, QDate>()> agendaDates;
    // Shows a comparison (CompareDialog unless a test puts its own here).
    std::function<void(const clock::TableDiff &, const clock::ClockTable &, const QString &)>
        compareDialog;
    // Says where an export was written ("Written to %1", the native path).
    std::function<void(const QString &)> written;

    void Print();
    // Into a PDF file (asked for, or the one given: false, with the message shown, when it
    // failed).
    void ExportPdf();
    bool ExportPdf(const QString &path);
    // The list of lines as comma-separated values, in words as the list shows them (asked for,
    // or into the file given).
    void ExportCsv();
    bool ExportCsv(const QString &path);
    // Shows where the open table and another clock file differ; the file is only read.
    void CompareWithFile();
    bool CompareWithFile(const QString &path);
    // Shows where the open table and another one (a file's, the central unit's) differ.
    void showComparison(const clock::TableDiff &diff, const clock::ClockTable &other,
                        const QString &otherName);
    // Two tables neither of which is in the editor, described by their own project.
    struct Side {
        const clock::ClockTable &table;
        QString name;
    };
    void showComparison(const Side &mine, const Side &other, const LineDescriber &describer);

private:
    QString text(int id) const;
    // Asks where an export goes, named after the clock file, with the extension added when the
    // name has none.
    std::optional<QString> chooseExportFile(int titleId, int filesId, const QString &extension);
    bool writeExport(const QString &path, const QByteArray &bytes);
    render::DocumentHead handOverHead() const;
    QList<render::DocumentTable> handOverTables() const;
    int paintHandOver(QPagedPaintDevice &device);

    Program &m_program;
    FileCommands &m_files;
    const LineDescriber &m_describer;
    ClockLineListModel &m_lineModel;
    AgendaModel &m_agendaModel;
    const WeekViewModel &m_week;
    const QDate &m_firstShownDay;
    QWidget *m_parent;
    render::Pictures m_pictures;
};

} // namespace quintara::ui
