#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "project/ProjectModel.h"
#include "clock/Occurrences.h"
#include "render/WeekPainter.h"
#include "settings/FormTexts.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "ui/AgendaView.h"
#include "ui/Exports.h"
#include "ui/FileCommands.h"
#include "ui/FileDialogs.h"
#include "ui/FormTranslation.h"
#include "ui/FrmClkEdit.h"
#include "ui/InfoPanel.h"
#include "ui/LineCommands.h"
#include "ui/LineListView.h"
#include "ui/PictureBox.h"
#include "ui/Program.h"
#include "ui/WeekInput.h"
#include "ui/WeekView.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QVersionNumber>
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
    composeParts();

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
    buildViews();
    buildWeekArea();
    m_input = std::make_unique<WeekInput>(m_program, m_history, m_model, *m_pic, m_firstShownDay);
    m_input->repaint = [this] { placeMarkers(); };
    m_input->selectionShown = [this](const QList<int> &lines, int chosen) {
        showSelection(lines, chosen);
    };
    m_input->contextMenu = [this](QPoint at) { m_mmuEdit->popup(at); };
    m_input->edit = [this] { m_lines->EditLine(); };
    buildSidePanel();
    buildLegend();
    layOut();
    translate();
    m_program.pump.processEvents();
    for (int table = 0; table < clock::TableKindCount; ++table)
        m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->setChecked(true);
    PlaceDayBackgrounds();
    m_input->clearSelection();
    QApplication::restoreOverrideCursor();

    m_globalTimer = new QTimer(this);
    m_globalTimer->setObjectName(QStringLiteral("GlobalTimer"));
    connect(m_globalTimer, &QTimer::timeout, this, &FrmKlokken::RefreshStatus);
    m_globalTimer->start(500);
    RefreshStatus();

    fitToScreen();
}

FrmKlokken::~FrmKlokken() = default;

void FrmKlokken::composeParts()
{
    m_files = std::make_unique<FileCommands>(m_program, m_dialogs, m_history, m_presenter, this);
    m_files->tableReplaced = [this] { tableReplaced(); };
    m_files->projectApplied = [this] { applyProject(); };
    m_files->workdaysChanged = [this] { PlaceDayBackgrounds(); };
    m_files->selectionLost = [this] { m_input->clearSelection(); };
    m_files->onTransmit = [this] {
        if (onTransmit)
            onTransmit();
    };
    m_files->onReceive = [this] {
        if (onReceive)
            onReceive();
    };

    m_lines = std::make_unique<LineCommands>(m_program, m_history, m_presenter, m_lineModel);
    m_lines->editLine = [this](int editMode) {
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
    m_lines->tableChanged = [this] { ScrWeeks_Change(); };
    m_lines->bringIntoView = [this](int line) { bringIntoView(line); };
    m_lines->selectLine = [this](int line) { selectLine(line); };
    m_lines->selectOnly = [this](int line) { m_input->selectOnly(line); };
    m_lines->reselect = [this] { m_input->reselect(); };
    m_lines->clearSelection = [this] { m_input->clearSelection(); };
    m_lines->chosenLines = [this] { return m_lineViews->chosenLines(); };

    m_exports = std::make_unique<Exports>(m_program, *m_files, m_describer, m_lineModel,
                                          m_agendaModel, m_model, m_firstShownDay, this);
    m_exports->refreshTables = [this] { m_lineViews->refreshForPrint(); };
    m_exports->agendaDates = [this] { return m_lineViews->agenda()->dates(); };
}

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
    m_lineViews->addWeek(weekPage);
    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 6, 8, 4);
    middle->setSpacing(0);
    auto *views = new QVBoxLayout;
    views->setSpacing(0);
    views->addWidget(m_lineViews->tabs());
    views->addWidget(m_lineViews->stack(), 1);
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

namespace {

// An item of a menu, named for the form texts, running the handler.
template <typename Handler>
QAction *AddItem(QObject *receiver, QMenu *menu, const char *name, Handler handler)
{
    QAction *action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, receiver, handler);
    return action;
}

// A menu of the menu bar, or a submenu.
template <typename Parent> QMenu *AddMenu(Parent *parent, const char *name)
{
    QMenu *menu = parent->addMenu(QString());
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

void FrmKlokken::buildMenus()
{
    buildFileMenu();
    buildEditMenu();
    m_mmuCom = AddMenu(menuBar(), "mmuCom");
    AddItem(this, m_mmuCom, "mmuComSend", [this] { m_files->Transmit(); });
    AddItem(this, m_mmuCom, "mmuComGet", [this] { m_files->Receive(); });
    AddItem(this, m_mmuCom, "mmuComCompare", [this] {
        if (onCompare)
            onCompare();
    });

    QMenu *help = AddMenu(menuBar(), "mnuhelp");
    AddItem(this, help, "mnuHelpIndex", [] {});
    AddItem(this, help, "mnuHelpAbout", [this] { About(); });
}

void FrmKlokken::buildFileMenu()
{
    QMenu *file = AddMenu(menuBar(), "mmuFile");
    FileCommands &files = *m_files;
    Exports &exports = *m_exports;
    AddItem(this, file, "mmuFileOpenNBT", [&files] { files.ReadProject(); });
    file->addSeparator();
    AddItem(this, file, "mmuFileNew", [&files] { files.NewTable(); })
        ->setShortcut(QKeySequence::New);
    AddItem(this, file, "mmuFileOpenCLK", [&files] { files.OpenClockFile(); })
        ->setShortcut(QKeySequence::Open);
    AddItem(this, file, "mmuFileSave", [&files] { files.Save(); })
        ->setShortcut(QKeySequence::Save);
    AddItem(this, file, "mmuFileSaveAs", [&files] { files.SaveAs(); })
        ->setShortcuts(
            StandardKeys(QKeySequence::SaveAs, QKeySequence(QStringLiteral("Ctrl+Shift+S"))));
    file->addSeparator();
    AddItem(this, file, "mmuFilePrint", [&exports] { exports.Print(); })
        ->setShortcut(QKeySequence::Print);
    AddItem(this, file, "mmuFileExportPdf", [&exports] { exports.ExportPdf(); });
    AddItem(this, file, "mmuFileExportCsv", [&exports] { exports.ExportCsv(); });
    AddItem(this, file, "mmuFileCompare", [&exports] { exports.CompareWithFile(); });
    file->addSeparator();
    AddItem(this, file, "mmuClose", [this] { close(); })->setShortcut(QKeySequence::Quit);
}

void FrmKlokken::buildEditMenu()
{
    m_mmuEdit = AddMenu(menuBar(), "mmuEdit");
    LineCommands &lines = *m_lines;
    QMenu *editNew = AddMenu(m_mmuEdit, "mmuEditNew");
    // The menu lists the tables in the order of their names, not of their numbers.
    for (int table = 0; table < clock::TableKindCount; ++table) {
        const QByteArray name = QStringLiteral("mmuNieuw_%1").arg(table).toLatin1();
        AddItem(this, editNew, name.constData(), [&lines, table] { lines.AddLine(table); });
    }
    AddItem(this, m_mmuEdit, "mmuEditProp", [this] { editChosen(); })
        ->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    AddItem(this, m_mmuEdit, "mmuDelete", [this, &lines] {
        if (m_lineViews->listShown())
            lines.DeleteLines(m_lineViews->chosenLines());
        else
            lines.DeleteLine();
    })->setShortcut(QKeySequence::Delete);
    m_mmuEdit->addSeparator();
    AddItem(this, m_mmuEdit, "mmuDuplicate", [&lines] { lines.DuplicateLines(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    AddItem(this, m_mmuEdit, "mmuCopy", [&lines] { lines.CopyLines(); })
        ->setShortcut(QKeySequence::Copy);
    AddItem(this, m_mmuEdit, "mmuPaste", [&lines] { lines.PasteLines(); })
        ->setShortcut(QKeySequence::Paste);
    m_mmuEdit->addSeparator();
    QUndoStack &steps = m_history.stack();
    QAction *undo = AddItem(this, m_mmuEdit, "mmuUndo", [&steps] { steps.undo(); });
    undo->setShortcut(QKeySequence::Undo);
    undo->setEnabled(false);
    connect(&steps, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&steps, &QUndoStack::undoTextChanged, undo, &QAction::setToolTip);
    QAction *redo = AddItem(this, m_mmuEdit, "mmuRedo", [&steps] { steps.redo(); });
    redo->setShortcuts(
        StandardKeys(QKeySequence::Redo, QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    redo->setEnabled(false);
    connect(&steps, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(&steps, &QUndoStack::redoTextChanged, redo, &QAction::setToolTip);
}

void FrmKlokken::editChosen()
{
    // In the list: the highlighted line, or none when several are highlighted elsewhere.
    if (m_lineViews->listShown()) {
        const int line = m_lineViews->list()->activeLine();
        if (line < 0)
            return;
        if (m_program.clockTable.SelectedLine != line + 1)
            selectLine(line);
    }
    m_lines->EditLine();
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
    // The captions of the filter buttons are short; the tool tips name the whole table.
    static constexpr int TableNameIds[] = {1003, 1005, 1006, 1007, 1004};
    for (int table = 0; table < clock::TableKindCount; ++table)
        m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->setToolTip(
            m_program.strings.GetResString(TableNameIds[table]));
    m_lineViews->translate();
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
        switch (m_files->SaveChangesPrompt()) {
        case platform::Answer::Yes:
            m_files->Save();
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
    const QString title = QStringLiteral("Quintara - ") + m_files->tableName();
    if (windowTitle() != title)
        setWindowTitle(title);
    const QString &path = m_program.settings.nbtFile;
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    m_panel->setProject(m_program.strings.GetResString(1008) + u':',
                        m_files->receivedProject() ? m_program.strings.GetResString(ReceivedProjectTextId)
                                          : path.mid(slash + 1));
}

QTabBar *FrmKlokken::TabClk() const
{
    return m_panel->tabs();
}

QAction *FrmKlokken::toolbarButton(int index) const
{
    return index >= 1 && index <= 12 ? m_tlbButtons[static_cast<std::size_t>(index)] : nullptr;
}

void FrmKlokken::toolbarClicked(const QString &key)
{
    if (key == u"NEW")
        m_files->NewTable();
    else if (key == u"RCV")
        m_files->Receive();
    else if (key == u"SEND")
        m_files->Transmit();
    else if (key == u"OPEN")
        m_files->OpenClockFile();
    else if (key == u"SAVE")
        m_files->Save();
    else if (key == u"PRINT")
        m_exports->Print();
    else
        ScrWeeks_Change();
}

void FrmKlokken::tableReplaced()
{
    ScrWeeks_Change();
    m_input->clearSelection();
}

void FrmKlokken::historyRestored()
{
    m_files->followRestoredName();
    // The project follows the model the table came back with, as it followed the file's.
    if (m_program.project.ModelIndex != m_program.clockTable.ModelIndex) {
        project::SelectModel(m_program.project, m_program.clockTable.ModelIndex, m_program.strings);
        applyProject();
    }
    const std::optional<int> selected = m_program.clockTable.selectedIndex();
    const bool lives = selected && m_program.clockTable.Lines[std::size_t(*selected)].inUse();
    if (lives)
        bringIntoView(*selected);
    // The state comes back byte for byte: no bringing its dates up to date on the way.
    showTableAsIs();
    if (lives)
        m_input->selectOnFocusRow(*selected);
    else
        m_input->clearSelection();
}

void FrmKlokken::applyProject()
{
    clock::ApplyModel(m_program.clockTable, m_program.project);
    followLanguage();
    // The views' function type lists come from the project as well as from the language.
    m_lineViews->translate(true);
    translate();
    RefreshStatus();
}

void FrmKlokken::followLanguage()
{
    const int offset = m_program.strings.LanguageOffset();
    if (offset == m_namesLanguage)
        return;
    m_namesLanguage = offset;
    m_program.names = settings::FillNameTables(m_program.strings);
    m_qtLanguage.apply(offset / settings::LanguageStep);
    translate();
}

void FrmKlokken::ProjectReceived()
{
    m_files->ProjectReceived();
}

void FrmKlokken::showComparison(const clock::TableDiff &diff, const clock::ClockTable &other,
                                const QString &otherName)
{
    m_exports->showComparison(diff, other, otherName);
}

void FrmKlokken::About()
{
    const QVersionNumber version =
        QVersionNumber::fromString(QCoreApplication::applicationVersion());
    const QString text = QStringLiteral("KALVENOR Domotic Systems \nQuintara version %1.%2/%3")
                             .arg(version.majorVersion())
                             .arg(version.minorVersion())
                             .arg(version.microVersion() % 100);
    m_program.prompter.show(text, QStringLiteral("Info"), platform::Buttons::Ok,
                            platform::Icon::Information);
}

} // namespace quintara::ui
