#pragma once

#include "platform/Prompter.h"
#include "ui/Pictures.h"
#include "ui/presentation/FunctionPresenter.h"
#include "ui/presentation/ValueFormat.h"

#include <QDate>
#include <QMainWindow>
#include <QRect>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QTabBar;
class QTimer;
class QToolBar;

namespace quintara::link {
class Kalvenor;
class QtSerialLine;
class QtTicker;
} // namespace quintara::link

namespace quintara::ui {

struct Program;
class FileDialogs;
class KlokControl;

// The clock file named after a project file: its name without folder and extension + ".clk".
QString ClockFileNameFor(const QString &projectPath);

// The main window: the week view of the clock table with its markers, the information panels
// of the lines under the last click, and the commands of the menus, toolbar and buttons.
class FrmKlokken : public QMainWindow {
    Q_OBJECT
public:
    // Geometry of the window's surface below the menu bar, in pixels.
    static constexpr int SurfaceWidth = 900;
    static constexpr int SurfaceHeight = 580;
    static constexpr QRect PicGeometry{80, 40, 520, 504};
    static constexpr QRect ScrollGeometry{600, 48, 17, 489};

    static constexpr int ReferenceMarkers = 100;
    static constexpr int PoolSize = 200;
    // A full repaint hands out pool markers while the counter stays below this.
    static constexpr int PoolLimit = 199;
    static constexpr int MaxHits = 10;
    static constexpr int FirstFilterButton = 8;

    // How PaintAClock is called: a full repaint, while dragging, or at the end of a drag and
    // on a selection change.
    enum MouseSet { FullRepaint = 0, Dragging = 1, Settled = 2 };

    FrmKlokken(Program &program, FileDialogs &dialogs, QWidget *parent = nullptr);
    ~FrmKlokken() override;

    // --- Week view -----------------------------------------------------------------------
    // Full repaint from the clock table (the scroll bar's change handler).
    void ScrWeeks_Change();
    void PaintAClock(int line, int mouseSet);
    // Fills the hit list with the lines (index + 1) under the point of the week area.
    int CheckCoord(int x, int y);
    void SetSelected(int newCount, int newIndex);
    // Day backgrounds from the project's workday flags.
    void PlaceDayBackgrounds();
    // Title, save button and project labels (the 500 ms timer runs this).
    void RefreshStatus();

    QDate FirstShownDay() const { return m_firstShownDay; }
    int hitCount() const { return m_hitCount; }
    int poolCounter() const { return m_poolCounter; }

    // --- Commands ------------------------------------------------------------------------
    void NewTable();
    void ReadProject();
    // Reads the project file the settings name (start-up), keeping the window's view of it.
    void ReadProjectFromSettings();
    void OpenClockFile();
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

    // --- Parts, for the start-up and for tests -------------------------------------------
    QWidget *Pic() const { return m_pic; }
    QScrollBar *ScrWeeks() const { return m_scrWeeks; }
    KlokControl *Klok(int index) const;
    KlokControl *KlokR(int index) const;     // 1..200
    QAction *toolbarButton(int index) const; // 1..12
    QTabBar *TabClk() const { return m_tabClk; }
    QMenu *mmuEdit() const { return m_mmuEdit; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    class Surface;
    class WeekArea;
    class PictureBox;
    friend class Surface;
    friend class WeekArea;

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
    void paintDayCaptions(QPainter &painter);
    void toolbarClicked(const QString &key);
    void tabChosen(int index);

    bool tableShown(int table) const;
    void stackCount(KlokControl *marker);
    void hideLine(int line);
    void moveLine(int line, int column, int row);
    void fillPanel(int panel, int line);
    void highlightPanel(int panel, bool chosen);
    void bringIntoView(int line);
    void applyProject();
    // Asks before a changed table is dropped; false when the command must stop.
    bool mayDropChanges();
    void showSystemError(const QString &description);
    void runOnlineTest();

    Program &m_program;
    FileDialogs &m_dialogs;
    Pictures m_pictures;
    ValueFormatter m_values;
    FunctionPresenter m_presenter;

    Surface *m_surface = nullptr;
    QToolBar *m_tlb = nullptr;
    std::array<QAction *, 13> m_tlbButtons{};
    QMenu *m_mmuEdit = nullptr;
    QMenu *m_mmuCom = nullptr;
    QWidget *m_pic = nullptr; // the WeekArea
    QScrollBar *m_scrWeeks = nullptr;
    std::array<PictureBox *, 7> m_imgDay{};
    std::array<KlokControl *, ReferenceMarkers> m_klok{};
    std::array<KlokControl *, PoolSize + 1> m_klokR{}; // [0] unused
    QTabBar *m_tabClk = nullptr;
    std::array<QWidget *, MaxHits> m_picFnc{};
    std::array<PictureBox *, MaxHits> m_imgFnc{};
    std::array<QLabel *, MaxHits> m_lblFunctieA{};
    std::array<QLabel *, MaxHits> m_lblFunctieB{};
    std::array<QLabel *, 2> m_lblProject{};
    QPushButton *m_cmdAdd = nullptr;
    QPushButton *m_cmdEdit = nullptr;
    QPushButton *m_cmdDelete = nullptr;
    QPushButton *m_cmdTest = nullptr;
    QTimer *m_globalTimer = nullptr;
    // LinkOcx and what it runs on, made at the first on-line test.
    std::unique_ptr<link::QtSerialLine> m_serialLine;
    std::unique_ptr<link::QtTicker> m_ticker;
    std::unique_ptr<link::Kalvenor> m_linkOcx;

    QDate m_firstShownDay;
    int m_poolCounter = 0;
    int m_dragIndex = 0; // line index + 1, 0 = no drag
    QPoint m_lastMouse;
    std::array<int, MaxHits> m_hits{};
    int m_hitCount = 0;
    int m_lastTab = -1;
};

} // namespace quintara::ui
