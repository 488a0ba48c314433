#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "link/Kalvenor.h"
#include "link/QtSerialLine.h"
#include "link/Ticker.h"
#include "render/WeekPainter.h"
#include "settings/FormTexts.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "ui/AgendaView.h"
#include "ui/FileDialogs.h"
#include "ui/FormTranslation.h"
#include "ui/FrmClkEdit.h"
#include "ui/InfoPanel.h"
#include "ui/LineListView.h"
#include "ui/PictureBox.h"
#include "ui/Program.h"
#include "ui/WeekView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace quintara::ui {

using namespace klokken;

namespace {

// The platform's keys for a standard action; some (Save As among them) exist only under a
// desktop theme, so the usual key stands in where the platform has none.
QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key, const QKeySequence &usual)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? QList<QKeySequence>{usual} : keys;
}

// The toolbar: key, caption id (texts come from the form texts), picture.
struct ToolbarButton {
    const char *key;
    const char *picture;
};
constexpr ToolbarButton ToolbarButtons[] = {
    {"", nullptr},              // 0 unused
    {"NEW", "tlb_new"},         // 1
    {"RCV", "tlb_receive"},     // 2
    {"SEND", "tlb_transmit"},   // 3
    {"OPEN", "tlb_open"},       // 4
    {"SAVE", "tlb_save"},       // 5
    {"PRINT", "tlb_print"},     // 6
    {"", nullptr},              // 7 separator
    {"LST_CONT", "tlb_table0"}, // 8..12: the table filters
    {"LST_WORKD", "tlb_table1"},
    {"LST_WKEND", "tlb_table2"},
    {"LST_SIMU", "tlb_table3"},
    {"LST_SPEC", "tlb_table4"},
};

} // namespace

FrmKlokken::FrmKlokken(Program &program, FileDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_program(program), m_dialogs(dialogs), m_values(program.strings),
      m_presenter(program.project, program.names, program.strings, m_values),
      m_history(program.clockTable),
      m_describer(m_presenter, program.names, program.strings, program.clock),
      m_lineModel(program.clockTable, m_describer), m_agendaModel(program.clockTable, m_describer)
{
    m_history.onRestored = [this] { historyRestored(); };
    setObjectName(QStringLiteral("FrmKlokken"));
    editLine = [this](int editMode) {
        if (!FrmClkEdit::Edit(m_program, editMode, this))
            return false;
        // The edited line's day table must be on show, or the line would vanish from the week.
        if (const auto index = m_program.clockTable.selectedIndex()) {
            const int table = m_program.clockTable.Lines[static_cast<std::size_t>(*index)].Table;
            if (table < clock::TableKindCount)
                m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->setChecked(true);
        }
        return true;
    };
    onTest = [this] { runOnlineTest(); };

    m_surface = new Surface(*this, this);
    m_surface->setObjectName(QStringLiteral("Frame"));
    setCentralWidget(m_surface);

    // The load steps, in their order.
    m_firstShownDay = clock::MondayOf(m_program.clock.now().date());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_program.pump.processEvents();
    buildMenus();
    buildToolbar();
    m_program.names = settings::FillNameTables(m_program.strings);
    m_namesLanguage = m_program.strings.LanguageOffset();
    m_qtLanguage.apply(m_namesLanguage / settings::LanguageStep);
    // A tab bar over a stack rather than a QTabWidget: layouts place its pages even while the
    // window is hidden.
    m_viewTabs = new QTabBar(m_surface);
    m_viewTabs->setObjectName(QStringLiteral("ViewTabs"));
    m_viewTabs->setDocumentMode(true);
    m_viewTabs->setDrawBase(true);
    m_viewTabs->setExpanding(false);
    m_views = new QStackedWidget(m_surface);
    m_views->setObjectName(QStringLiteral("Views"));
    connect(m_viewTabs, &QTabBar::currentChanged, m_views, &QStackedWidget::setCurrentIndex);
    buildWeekArea();
    buildSidePanel();
    buildLegend();
    layOut();
    translate();
    m_program.pump.processEvents();
    for (int table = 0; table < clock::TableKindCount; ++table)
        m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->setChecked(true);
    PlaceDayBackgrounds();
    SetSelected(0, 0);
    QApplication::restoreOverrideCursor();

    m_globalTimer = new QTimer(this);
    m_globalTimer->setObjectName(QStringLiteral("GlobalTimer"));
    connect(m_globalTimer, &QTimer::timeout, this, &FrmKlokken::RefreshStatus);
    m_globalTimer->start(500);
    RefreshStatus();

    fitToScreen();
}

FrmKlokken::~FrmKlokken() = default;

void FrmKlokken::layOut()
{
    auto *column = new QVBoxLayout(m_surface);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_tlb);
    // The week is the first of the views; the list of lines and the agenda are tabs beside it.
    auto *weekPage = new Surface(*this, m_surface);
    weekPage->setObjectName(QStringLiteral("WeekPage"));
    auto *week = new QHBoxLayout(weekPage);
    week->setContentsMargins(0, 4, 0, 0);
    week->setSpacing(0);
    week->addWidget(m_captions);
    week->addWidget(m_pic, 1);
    week->addWidget(m_scrWeeks);
    addView(weekPage);
    buildViews();
    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 6, 8, 4);
    middle->setSpacing(0);
    auto *views = new QVBoxLayout;
    views->setSpacing(0);
    views->addWidget(m_viewTabs);
    views->addWidget(m_views, 1);
    middle->addLayout(views, 1);
    middle->addSpacing(12);
    middle->addWidget(m_panel);
    column->addLayout(middle, 1);
    column->addWidget(m_legend);
}

void FrmKlokken::fitToScreen()
{
    // The size the layouts ask for, held to the screen's free area; then where it was last left.
    resize(sizeHint());
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        // Room for the title bar and the frame, which the window manager adds.
        resize(size().boundedTo(area.size() - QSize(16, 48)));
    }
    CentreForm(*this);
    const QByteArray stored = QByteArray::fromBase64(
        m_program.profile
            .readString(QStringLiteral("Quintara"), QStringLiteral("Geometry"), QString(), 1000)
            .toLatin1());
    if (!stored.isEmpty())
        restoreGeometry(stored);
}

void FrmKlokken::buildMenus()
{
    auto menu = [this](QMenu *parent, const char *name) {
        QMenu *m = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu *parent, const QString &name, auto handler) {
        QAction *action = parent->addAction(QString());
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto named = [](const char *name) { return QString::fromLatin1(name); };

    QMenu *file = menu(nullptr, "mmuFile");
    item(file, named("mmuFileOpenNBT"), [this] { ReadProject(); });
    file->addSeparator();
    item(file, named("mmuFileNew"), [this] { NewTable(); })->setShortcut(QKeySequence::New);
    item(file, named("mmuFileOpenCLK"), [this] {
        OpenClockFile();
    })->setShortcut(QKeySequence::Open);
    item(file, named("mmuFileSave"), [this] { Save(); })->setShortcut(QKeySequence::Save);
    item(file, named("mmuFileSaveAs"), [this] { SaveAs(); })
        ->setShortcuts(
            StandardKeys(QKeySequence::SaveAs, QKeySequence(QStringLiteral("Ctrl+Shift+S"))));
    file->addSeparator();
    item(file, named("mmuFilePrint"), [this] { Print(); })->setShortcut(QKeySequence::Print);
    item(file, named("mmuFileExportPdf"), [this] { ExportPdf(); });
    item(file, named("mmuFileExportCsv"), [this] { ExportCsv(); });
    item(file, named("mmuFileCompare"), [this] { CompareWithFile(); });
    file->addSeparator();
    item(file, named("mmuClose"), [this] { close(); })->setShortcut(QKeySequence::Quit);

    m_mmuEdit = menu(nullptr, "mmuEdit");
    QMenu *editNew = menu(m_mmuEdit, "mmuEditNew");
    // The menu lists the tables in the order of their names, not of their numbers.
    for (int table = 0; table < clock::TableKindCount; ++table)
        item(editNew, QStringLiteral("mmuNieuw_%1").arg(table), [this, table] { AddLine(table); });
    QAction *edit = item(m_mmuEdit, named("mmuEditProp"), [this] {
        // In the list: the highlighted line, or none when several are highlighted elsewhere.
        if (listShown()) {
            const int line = m_lineList->activeLine();
            if (line < 0)
                return;
            if (m_program.clockTable.SelectedLine != line + 1)
                selectLine(line);
        }
        EditLine();
    });
    edit->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    item(m_mmuEdit, named("mmuDelete"), [this] {
        if (listShown())
            DeleteLines(chosenLines());
        else
            DeleteLine();
    })->setShortcut(QKeySequence::Delete);
    m_mmuEdit->addSeparator();
    item(m_mmuEdit, named("mmuDuplicate"), [this] {
        DuplicateLines();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    item(m_mmuEdit, named("mmuCopy"), [this] { CopyLines(); })->setShortcut(QKeySequence::Copy);
    item(m_mmuEdit, named("mmuPaste"), [this] { PasteLines(); })->setShortcut(QKeySequence::Paste);
    m_mmuEdit->addSeparator();
    QUndoStack &steps = m_history.stack();
    QAction *undo = item(m_mmuEdit, named("mmuUndo"), [&steps] { steps.undo(); });
    undo->setShortcut(QKeySequence::Undo);
    undo->setEnabled(false);
    connect(&steps, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&steps, &QUndoStack::undoTextChanged, undo, &QAction::setToolTip);
    QAction *redo = item(m_mmuEdit, named("mmuRedo"), [&steps] { steps.redo(); });
    redo->setShortcuts(
        StandardKeys(QKeySequence::Redo, QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    redo->setEnabled(false);
    connect(&steps, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(&steps, &QUndoStack::redoTextChanged, redo, &QAction::setToolTip);

    m_mmuCom = menu(nullptr, "mmuCom");
    item(m_mmuCom, named("mmuComSend"), [this] { Transmit(); });
    item(m_mmuCom, named("mmuComGet"), [this] { Receive(); });
    item(m_mmuCom, named("mmuComCompare"), [this] {
        if (onCompare)
            onCompare();
    });

    QMenu *help = menu(nullptr, "mnuhelp");
    item(help, named("mnuHelpIndex"), [] {});
    item(help, named("mnuHelpAbout"), [this] { About(); });
}

void FrmKlokken::buildToolbar()
{
    m_tlb = new QToolBar(m_surface);
    m_tlb->setObjectName(QStringLiteral("Tlb"));
    m_tlb->setMovable(false);
    m_tlb->setFloatable(false);
    m_tlb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_tlb->setAttribute(Qt::WA_NoMousePropagation);
    m_tlb->setIconSize(QSize(16, 16));
    m_tlb->setContentsMargins(0, 0, 0, 0);
    QFont captions = m_tlb->font();
    captions.setPointSizeF(7.5);
    m_tlb->setFont(captions);
    m_tlb->setStyleSheet(QStringLiteral("QToolButton { padding: 0px 2px; }"));
    for (int index = 1; index <= 12; ++index) {
        const ToolbarButton &button = ToolbarButtons[index];
        if (!button.picture) {
            m_tlbButtons[static_cast<std::size_t>(index)] = m_tlb->addSeparator();
            continue;
        }
        QAction *action = m_tlb->addAction(
            render::Pictures::icon(QString::fromLatin1(button.picture)), QString());
        action->setObjectName(QStringLiteral("Tlb_%1").arg(index));
        const QString key = QString::fromLatin1(button.key);
        action->setData(key);
        action->setCheckable(index >= FirstFilterButton);
        connect(action, &QAction::triggered, this, [this, key] { toolbarClicked(key); });
        m_tlbButtons[static_cast<std::size_t>(index)] = action;
    }
}

void FrmKlokken::buildLegend()
{
    m_legend = new PictureBox(m_surface, [this](QPainter &painter, const QRect &) {
        render::WeekPainter(m_pictures)
            .paintLegend(painter, QPointF(0, 0),
                         render::WeekPainter::LegendCaptions(m_program.names), font());
    });
    m_legend->setObjectName(QStringLiteral("Legend"));
    m_legend->setFixedHeight(22);
    m_legend->setMinimumWidth(0);
}

void FrmKlokken::translate()
{
    TranslateForm(*this, m_program.strings);
    m_mmuCom->setTitle(m_program.strings.GetResString(settings::CommunicationMenuText));
    static constexpr int ViewNameIds[] = {2470, 2471, 2472};
    for (int view = 0; view < m_viewTabs->count() && view < 3; ++view)
        m_viewTabs->setTabText(view, m_program.strings.GetResString(ViewNameIds[view]));
    // The captions of the filter buttons are short; the tool tips name the whole table.
    static constexpr int TableNameIds[] = {1003, 1005, 1006, 1007, 1004};
    for (int table = 0; table < clock::TableKindCount; ++table)
        m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->setToolTip(
            m_program.strings.GetResString(TableNameIds[table]));
    // The views' texts follow a change of language, not every activation of the window.
    if (m_lineList && m_viewsLanguage != m_program.strings.LanguageOffset()) {
        m_viewsLanguage = m_program.strings.LanguageOffset();
        m_lineList->translate();
        m_agenda->translate();
        m_viewsStale = true;
        refreshViews();
    }
    m_surface->update();
}

void FrmKlokken::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        translate();
    QMainWindow::changeEvent(event);
}

void FrmKlokken::closeEvent(QCloseEvent *event)
{
    if (m_program.clockTable.TableChanged) {
        switch (SaveChangesPrompt()) {
        case platform::Answer::Yes:
            Save();
            if (m_program.clockTable.TableChanged) {
                event->ignore();
                return;
            }
            break;
        case platform::Answer::No:
            break;
        default:
            event->ignore();
            return;
        }
    }
    settings::WriteSettings(m_program.profile, m_program.settings);
    settings::WriteClockSettings(m_program.profile, m_program.settings);
    // A section of our own: the sibling tool has no use for it.
    m_program.profile.writeString(QStringLiteral("Quintara"), QStringLiteral("Geometry"),
                                  QString::fromLatin1(saveGeometry().toBase64()));
    m_globalTimer->stop();
    event->accept();
}

void FrmKlokken::RefreshStatus()
{
    placeNowLine();
    const clock::ClockTable &table = m_program.clockTable;
    m_tlbButtons[5]->setEnabled(table.TableChanged);
    const QString title = QStringLiteral("Quintara - ") + tableName();
    if (windowTitle() != title)
        setWindowTitle(title);
    const QString &path = m_program.settings.nbtFile;
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    m_panel->setProject(m_program.strings.GetResString(1008) + u':',
                        m_receivedProject ? m_program.strings.GetResString(ReceivedProjectId)
                                          : path.mid(slash + 1));
}

void FrmKlokken::addView(QWidget *page)
{
    // The week decides how large the window asks to be; the other views take what it gives.
    if (m_views->count() > 0)
        page->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_views->addWidget(page);
    m_viewTabs->addTab(QString());
}

QTabBar *FrmKlokken::TabClk() const
{
    return m_panel->tabs();
}

QAction *FrmKlokken::toolbarButton(int index) const
{
    return index >= 1 && index <= 12 ? m_tlbButtons[static_cast<std::size_t>(index)] : nullptr;
}

// --- Week view ---------------------------------------------------------------------------

void FrmKlokken::toolbarClicked(const QString &key)
{
    if (key == u"NEW")
        NewTable();
    else if (key == u"RCV")
        Receive();
    else if (key == u"SEND")
        Transmit();
    else if (key == u"OPEN")
        OpenClockFile();
    else if (key == u"SAVE")
        Save();
    else if (key == u"PRINT")
        Print();
    else
        ScrWeeks_Change();
}

} // namespace quintara::ui
