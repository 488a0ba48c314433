#pragma once

#include "render/Pictures.h"
#include "ui/Exports.h"
#include "ui/FileCommands.h"
#include "ui/LineCommands.h"
#include "ui/LineViews.h"
#include "ui/QtLanguage.h"
#include "ui/SunCommands.h"
#include "ui/TableHistory.h"
#include "ui/WeekInput.h"
#include "ui/WindowMenus.h"
#include "presentation/AgendaModel.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/LineDescriber.h"
#include "presentation/ValueFormat.h"
#include "presentation/WeekViewModel.h"

#include <QDate>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QTabBar;
class QStackedWidget;
class QTimer;
class QToolBar;

namespace quintara::clock {
struct TableDiff;
struct ClockTable;
} // namespace quintara::clock

namespace quintara::book {
struct Site;
struct TableVersion;
struct WorkResult;
} // namespace quintara::book

namespace quintara::ui {

struct Program;
struct SiteChoice;
class FileDialogs;
class AgendaView;
class InfoPanel;
class LineListView;
class PictureBox;
class WeekView;

// The main window: the week view of the clock table with its markers, the list of lines and
// the agenda beside it, the information panels of the lines under the last click, and the
// menus, toolbar and buttons. It lays these out and composes the parts that do the work: the
// week input, the file commands, the line commands and the exports.
class FrmKlokken : public QMainWindow {
    Q_OBJECT
public:
    FrmKlokken(Program &program, FileDialogs &dialogs, QWidget *parent = nullptr);
    ~FrmKlokken() override;

    FileCommands &files() { return *m_files; }
    LineCommands &lines() { return *m_lines; }
    Exports &exports() { return *m_exports; }
    WeekInput &weekInput() { return *m_input; }
    SunCommands &sun() { return *m_sun; }
    TableHistory &history() { return m_history; }
    // The file dialogs the window asks; commands installed from outside use them too.
    FileDialogs &fileDialogs() { return m_dialogs; }

    // --- Week view -----------------------------------------------------------------------
    // Brings the reference dates up to date and repaints (the scroll bar's change handler).
    void ScrWeeks_Change();
    // Shows the week that many weeks after the current one (held to the scroll bar's range).
    void showWeek(int week);
    // Day backgrounds from the project's workday flags.
    void PlaceDayBackgrounds();
    // What the week view's tooltip says at a pixel of it: each line whose marker lies there.
    QString markerToolTip(QPoint at) const;
    // What a screen reader says of a marker of the week (its moment, function, level, table and
    // warnings) and of a day's row.
    QString markerSpeech(const WeekMarker &marker) const;
    QString daySpeech(int row) const;
    // Title, save button and project labels (the 500 ms timer runs this).
    void RefreshStatus();
    // File > Site book: the book opened (once) and its window shown; a site chosen there
    // opens in the editor (true).
    bool showSites();
    // The holiday planner; true when its plan was applied.
    bool planHolidays();
    // The presence simulation planner; true when its plan was applied.
    bool planSimulation();
    // Whether the user has a site book: one named in the settings, or the user's own file.
    bool hasSiteBook() const;
    QDate FirstShownDay() const { return m_firstShownDay; }
    // What the week view draws.
    const WeekViewModel &weekModel() const { return m_model; }

    // The week, the list of lines and the agenda on their tabs.
    LineViews &views() { return *m_lineViews; }
    // Selects a line as the list does: the week of its next firing comes on show.
    void selectLine(int line);

    // --- For the communication dialog ----------------------------------------------------
    // The central unit's configuration has become the project.
    void ProjectReceived();
    void showComparison(const clock::TableDiff &diff, const clock::ClockTable &other,
                        const QString &otherName);
    // Filled by whoever provides the communication dialog.
    std::function<void()> onTransmit;
    std::function<void()> onReceive;
    std::function<void()> onCompare;

    // --- Controls, for the start-up and for tests ----------------------------------------
    WeekView *Pic() const { return m_pic; }
    QScrollBar *ScrWeeks() const { return m_scrWeeks; }
    WindowMenus &menus() { return *m_menus; }
    QTabBar *TabClk() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    class Surface;
    friend class Surface;

    // Two versions of a site side by side, described by the site's own project.
    void compareSiteVersions(const SiteChoice &older, const book::TableVersion &newer);
    // The site's table as its unit holds it now, over the site's connection; Cancel stops it.
    book::WorkResult receiveSiteTable(const book::Site &site, const QByteArray &project,
                                      QWidget *parent);

    void composeParts();
    // Opens at the size it asks for, within the screen, or as the user last left it.
    void fitToScreen();
    void layOut();
    void buildViews();
    void buildWeekArea();
    void buildSidePanel();
    void buildLegend();
    void translate();

    // Repaints the week the scroll bar names without bringing the reference dates up to date.
    void showTableAsIs();
    // Places every marker of the shown week from the week-view model.
    void placeMarkers();
    // The red line at the present moment on today's row, when today is on show.
    void placeNowLine();
    // The week on show becomes the one the line's reference date lies in.
    void bringIntoView(int line);
    // The panels of the lines under the last click, the chosen one highlighted.
    void showSelection(const QList<int> &lines, int chosen);
    void tabChosen(int index);
    // After the whole table was swapped: repaint, and no selection or panel of a gone line.
    void tableReplaced();
    // An undo or redo put a state back: repaint, keeping the selection while its line lives.
    void historyRestored();
    void applyProject();
    // Name tables, form texts and Qt's own texts follow the language in force (a project
    // brings its own).
    void followLanguage();

    Program &m_program;
    FileDialogs &m_dialogs;
    render::Pictures m_pictures;
    ValueFormatter m_values;
    FunctionPresenter m_presenter;
    TableHistory m_history;
    LineDescriber m_describer;
    ClockLineListModel m_lineModel;
    AgendaModel m_agendaModel;
    WeekViewModel m_model;
    QDate m_firstShownDay;

    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<LineCommands> m_lines;
    std::unique_ptr<Exports> m_exports;
    std::unique_ptr<SunCommands> m_sun;
    std::unique_ptr<WeekInput> m_input;

    Surface *m_surface = nullptr;
    std::unique_ptr<WindowMenus> m_menus;
    WeekView *m_pic = nullptr;
    QScrollBar *m_scrWeeks = nullptr;
    PictureBox *m_captions = nullptr;
    PictureBox *m_legend = nullptr;
    InfoPanel *m_panel = nullptr;
    LineViews *m_lineViews = nullptr;
    QTimer *m_globalTimer = nullptr;
    QtLanguage m_qtLanguage;
    int m_namesLanguage = -1; // the language offset the name tables were filled in
};

} // namespace quintara::ui
