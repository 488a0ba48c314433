#pragma once

#include "platform/Prompter.h"
#include "render/Pictures.h"
#include "ui/QtLanguage.h"
#include "ui/TableHistory.h"
#include "presentation/AgendaModel.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/LineDescriber.h"
#include "presentation/ValueFormat.h"
#include "presentation/WeekViewModel.h"

#include <QDate>
#include <QMainWindow>
#include <QRect>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QPagedPaintDevice;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QTabBar;
class QStackedWidget;
class QTimer;
class QToolBar;

namespace quintara::clock {
struct ClockLine;
struct HealthProblem;
struct TableDiff;
struct Placement;
struct ClockTable;
} // namespace quintara::clock

namespace quintara::link {
class Kalvenor;
class QtSerialLine;
class QtTicker;
} // namespace quintara::link

namespace quintara::project {
struct ProjectModel;
}

namespace quintara::render {
struct DocumentHead;
struct DocumentTable;
} // namespace quintara::render

namespace quintara::ui {

struct Program;
class FileDialogs;
struct FileDialogRequest;
class AgendaView;
class InfoPanel;
class LineListView;
class PictureBox;
class WeekView;

// The clock file named after a project file: its name without folder and extension + ".clk".
QString ClockFileNameFor(const QString &projectPath);

// The main window: the week view of the clock table with its markers, the information panels
// of the lines under the last click, and the commands of the menus, toolbar and buttons.
class FrmKlokken : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int MaxHits = 10;
    static constexpr int FirstFilterButton = 8;

    // How PaintAClock is called: a full repaint, while dragging, or at the end of a drag and
    // on a selection change. Every one rebuilds the week-view model.
    enum MouseSet { FullRepaint = 0, Dragging = 1, Settled = 2 };

    FrmKlokken(Program &program, FileDialogs &dialogs, QWidget *parent = nullptr);
    ~FrmKlokken() override;

    // --- Week view -----------------------------------------------------------------------
    // Full repaint from the clock table (the scroll bar's change handler).
    void ScrWeeks_Change();
    // Shows the week that many weeks after the current one (held to the scroll bar's range).
    void showWeek(int week);
    void PaintAClock(int line, int mouseSet);
    // Fills the hit list with the lines (index + 1) under the pixel of the week area.
    int CheckCoord(int x, int y);
    void SetSelected(int newCount, int newIndex);
    // Day backgrounds from the project's workday flags.
    void PlaceDayBackgrounds();
    // What the week view's tooltip says at a pixel of it: each line whose marker lies there.
    QString markerToolTip(QPoint at) const;
    // Title, save button and project labels (the 500 ms timer runs this).
    void RefreshStatus();

    QDate FirstShownDay() const { return m_firstShownDay; }
    int hitCount() const { return m_hitCount; }
    // What the week view draws.
    const WeekViewModel &weekModel() const { return m_model; }

    // --- Commands ------------------------------------------------------------------------
    void NewTable();
    // proposed: a project file the dialog starts on; in its folder when it does not exist.
    void ReadProject(const QString &proposed = {});
    // Reads the project file the settings name (start-up), keeping the window's view of it.
    void ReadProjectFromSettings();
    // The central unit's configuration has become the project.
    void ProjectReceived();
    void OpenClockFile();
    // Opens the given clock file; false (with the message shown) when it was refused, and
    // then the table in force stays as it was.
    bool OpenClockFile(const QString &path);
    void Save();
    void SaveAs();
    void AddLine(int table);
    void EditLine();
    void DeleteLine();
    void About();
    void Transmit();
    void Receive();
    void OnlineTest();
    platform::Answer SaveChangesPrompt();
    // The week on show, the list of lines and the agenda: through the print preview, or into
    // a PDF file (asked for, or the one given: false, with the message shown, when it failed).
    // Duplicate the chosen lines into the lowest free ones, copy them to the clipboard, paste
    // lines from it: each all or nothing, one step of the history.
    void DuplicateLines();
    void CopyLines();
    void PasteLines();
    // Deletes the lines after one question, as one step.
    void DeleteLines(const QList<int> &lines);
    // The lines the edit commands work on: those selected in the list when it is on show,
    // else the selected line of the week.
    QList<int> chosenLines() const;
    // Whether the list of all lines is the view on show.
    bool listShown() const;
    // Selects a line as the list does: the week of its next firing comes on show.
    void selectLine(int line);
    // The lines in use as comma-separated values (asked for, or into the file given).
    void ExportCsv();
    bool ExportCsv(const QString &path);
    // Shows where the open table and another clock file differ; the file is only read.
    void CompareWithFile();
    bool CompareWithFile(const QString &path);
    // Shows where the open table and another one (a file's, the central unit's) differ.
    void showComparison(const clock::TableDiff &diff, const clock::ClockTable &other,
                        const QString &otherName);
    void Print();
    void ExportPdf();
    bool ExportPdf(const QString &path);

    // The clock line editor (FrmClkEdit::Edit unless a test puts its own here): edits the
    // selected line in the given mode, answers whether OK closed it.
    std::function<bool(int editMode)> editLine;
    // The link commands. Transmit and Receive are filled by whoever provides the
    // communication dialog; the on-line test drives the window's own link control unless a
    // test puts something else here.
    // The file dialogs the window asks; commands installed from outside use them too.
    FileDialogs &fileDialogs() { return m_dialogs; }

    std::function<void()> onTransmit;
    std::function<void()> onReceive;
    std::function<void()> onTest;
    // Communication > Compare with central unit: filled by whoever provides the dialog.
    std::function<void()> onCompare;
    // Shows a comparison (CompareDialog unless a test puts its own here).
    std::function<void(const clock::TableDiff &, const clock::ClockTable &, const QString &)>
        compareDialog;

    // --- Parts, for the start-up and for tests -------------------------------------------
    WeekView *Pic() const { return m_pic; }
    QScrollBar *ScrWeeks() const { return m_scrWeeks; }
    QAction *toolbarButton(int index) const; // 1..12
    QTabBar *TabClk() const;
    QMenu *mmuEdit() const { return m_mmuEdit; }
    LineListView *lineList() const { return m_lineList; }
    AgendaView *agenda() const { return m_agenda; }
    // Shows the week (0), the list of lines (1) or the agenda (2).
    void showView(int view);
    TableHistory &history() { return m_history; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    class Surface;
    friend class Surface;

    // Opens at the size the layouts ask for, within the screen, or as the user last left it.
    void fitToScreen();
    void layOut();
    // A view beside the week, with its tab.
    void addView(QWidget *page);
    void buildViews();
    // The list and the agenda follow the table when they are on show, else when they come on.
    void refreshViews();
    // After lines were duplicated or pasted: a step of the history and the first of them
    // chosen, or why none was placed.
    void linesPlaced(const TableHistory::State &before, const clock::Placement &placement,
                     int count, int stepId);
    // The list's rows and the health check's warnings on them.
    void refreshList();
    void buildMenus();
    void buildToolbar();
    void buildWeekArea();
    void buildSidePanel();
    void buildLegend();
    void translate();

    // Mouse on the week area, in its coordinates.
    void weekMousePress(Qt::MouseButton button, QPoint pos, QPoint globalPos);
    void weekMouseMove(Qt::MouseButtons buttons, QPoint pos);
    void weekMouseRelease(QPoint pos);
    void weekDoubleClick();
    void toolbarClicked(const QString &key);
    void tabChosen(int index);

    bool tableShown(int table) const;
    // Repaints the week the scroll bar names without bringing the reference dates up to date.
    void showTableAsIs();
    // Places every marker of the shown week from the week-view model.
    void placeMarkers();
    // The red line at the present moment on today's row, when today is on show.
    void placeNowLine();
    void moveLine(int line, int column, int row);
    // What the panel and the tooltips say of a line: its function and level, and its time and
    // repetition.
    std::pair<QString, QString> lineSummary(const clock::ClockLine &line) const;
    // The week view's keys: arrows, Tab and Backtab go from marker to marker, Shift+arrows
    // move the selected line by a quarter of an hour or a day. False for other keys.
    bool weekKey(int key, Qt::KeyboardModifiers modifiers);
    // The row the keyboard works on for the line: the focus row when the line has a marker
    // there, else the row of its first marker.
    int markerRow(int line) const;
    // Selects the line through its marker in the row (or at the point given).
    void selectMarkerOf(int line, int row, std::optional<QPoint> at = std::nullopt);
    void bringIntoView(int line);
    void applyProject();
    // Name tables, form texts and Qt's own texts follow the language in force (a project
    // brings its own).
    void followLanguage();
    // Asks before a changed table is dropped; false when the command must stop.
    bool mayDropChanges();
    // The clock file's name, or for a table without one the name Save As offers.
    QString tableName() const;
    // Asks before a save replaces an existing file that is not the table's own (No being the
    // default); true when the save may go on.
    bool mayReplace(const QString &path);
    // Writes the table to its file; the file is then the table's own and the table unchanged.
    bool writeTable();
    // Shows the open or save dialog; the folder of a chosen file becomes the current one.
    std::optional<QString> chooseFile(bool save, const FileDialogRequest &request);
    // After the whole table was swapped: repaint, and no selection or panel of a gone line.
    void tableReplaced();
    // An undo or redo put a state back: repaint, keeping the selection while its line lives.
    void historyRestored();
    // The text of a string id, for the steps of the history.
    QString text(int id) const;
    void showSystemError(const QString &description);
    void runOnlineTest();
    // What the health check says of the table in force, with the project's functions when a
    // project is in force.
    std::vector<clock::HealthProblem> healthProblems() const;
    // How the table's two-digit years read today.
    clock::YearWindow years() const;
    // Before sending: what will not work as intended, and whether to send all the same.
    bool mayTransmit();
    // A clock file read as Open reads it, into a table and model of its own; nothing (with the
    // message shown) when it was refused.
    struct ReadBeside {
        clock::ClockTable table;
        std::unique_ptr<project::ProjectModel> model;
    };
    std::optional<ReadBeside> readClockFileBeside(const QString &path);
    // Asks where an export goes, named after the clock file, with the extension added when the
    // name has none.
    std::optional<QString> chooseExportFile(int titleId, int filesId, const QString &extension);
    render::DocumentHead handOverHead() const;
    QList<render::DocumentTable> handOverTables() const;
    int paintHandOver(QPagedPaintDevice &device);

    Program &m_program;
    FileDialogs &m_dialogs;
    render::Pictures m_pictures;
    ValueFormatter m_values;
    FunctionPresenter m_presenter;
    TableHistory m_history;
    LineDescriber m_describer;
    ClockLineListModel m_lineModel;
    AgendaModel m_agendaModel;
    // The health check's texts of the table as the list last showed it, line by line.
    std::array<QStringList, clock::ClockLineCount> m_warnings;

    Surface *m_surface = nullptr;
    QToolBar *m_tlb = nullptr;
    std::array<QAction *, 13> m_tlbButtons{};
    QMenu *m_mmuEdit = nullptr;
    QMenu *m_mmuCom = nullptr;
    WeekView *m_pic = nullptr;
    QScrollBar *m_scrWeeks = nullptr;
    PictureBox *m_captions = nullptr;
    PictureBox *m_legend = nullptr;
    InfoPanel *m_panel = nullptr;
    QTabBar *m_viewTabs = nullptr;
    QStackedWidget *m_views = nullptr; // the week, the list of lines, the agenda
    LineListView *m_lineList = nullptr;
    AgendaView *m_agenda = nullptr;
    bool m_viewsStale = true; // the table changed while the list and agenda were hidden
    int m_viewsLanguage = -1; // the language offset the views' texts are in
    // The lines the views were last told of.
    std::array<clock::ClockLine, clock::ClockLineCount> m_viewsLines{};
    int m_viewsMaxLines = -1;
    QTimer *m_globalTimer = nullptr;
    // LinkOcx and what it runs on, made at the first on-line test.
    std::unique_ptr<link::QtSerialLine> m_serialLine;
    std::unique_ptr<link::QtTicker> m_ticker;
    std::unique_ptr<link::Kalvenor> m_linkOcx;

    WeekViewModel m_model;
    QDate m_firstShownDay;
    int m_dragIndex = 0; // line index + 1, 0 = no drag
    QPoint m_lastMouse;
    QPoint m_pressPos;
    int m_focusRow = 0; // the row of the selected line's marker the keyboard moves from
    bool m_dragStarted = false;
    TableHistory::State m_dragBefore; // the table as a drag found it
    std::array<int, MaxHits> m_hits{};
    int m_hitCount = 0;
    int m_lastTab = -1;
    // The file the table was read from or last written to, whole; empty for none.
    QString m_tableFile;
    // The project in force came from the central unit, not from a file.
    bool m_receivedProject = false;
    QtLanguage m_qtLanguage;
    int m_namesLanguage = -1; // the language offset the name tables were filled in
};

} // namespace quintara::ui
