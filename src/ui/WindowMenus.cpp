#include "ui/WindowMenus.h"

#include "clock/ClockTable.h"
#include "render/Pictures.h"
#include "settings/FormTexts.h"
#include "settings/TextIds.h"
#include "ui/Exports.h"
#include "ui/FileCommands.h"
#include "ui/LineCommands.h"
#include "ui/LineListView.h"
#include "ui/LineViews.h"
#include "ui/Program.h"
#include "ui/TableHistory.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QUndoStack>
#include <QVersionNumber>

namespace quintara::ui {

namespace {

// The platform's keys for a standard action; some (Save As, Quit) exist only under some desktop
// themes, so the usual key stands in where the platform has none.
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

WindowMenus::WindowMenus(QMainWindow &window, QWidget &surface, Program &program, Parts parts)
    : m_window(window), m_program(program), m_parts(parts)
{
    buildFileMenu();
    buildEditMenu();
    buildOtherMenus();
    buildToolbar(surface);
}

void WindowMenus::buildOtherMenus()
{
    m_communication = AddMenu(m_window.menuBar(), "mmuCom");
    AddItem(&m_window, m_communication, "mmuComSend", [this] { m_parts.files.Transmit(); });
    AddItem(&m_window, m_communication, "mmuComGet", [this] { m_parts.files.Receive(); });
    AddItem(&m_window, m_communication, "mmuComCompare", [this] {
        if (compare)
            compare();
    });

    QMenu *help = AddMenu(m_window.menuBar(), "mnuhelp");
    AddItem(&m_window, help, "mnuHelpIndex", [] {});
    AddItem(&m_window, help, "mnuHelpAbout", [this] { about(); });
}

void WindowMenus::buildFileMenu()
{
    QMenu *file = AddMenu(m_window.menuBar(), "mmuFile");
    FileCommands &files = m_parts.files;
    Exports &exports = m_parts.exports;
    AddItem(&m_window, file, "mmuFileOpenNBT", [&files] { files.ReadProject(); });
    // The location belongs to the project file; it has no text in the form texts.
    AddItem(&m_window, file, "mmuFileLocation", [this] {
        if (chooseLocation)
            chooseLocation();
    })->setText(QCoreApplication::translate("WindowMenus", "&Location..."));
    file->addSeparator();
    AddItem(&m_window, file, "mmuFileNew", [&files] {
        files.NewTable();
    })->setShortcuts(StandardKeys(QKeySequence::New, QKeySequence(QStringLiteral("Ctrl+N"))));
    AddItem(&m_window, file, "mmuFileOpenCLK", [&files] {
        files.OpenClockFile();
    })->setShortcuts(StandardKeys(QKeySequence::Open, QKeySequence(QStringLiteral("Ctrl+O"))));
    AddItem(&m_window, file, "mmuFileSave", [&files] {
        files.Save();
    })->setShortcuts(StandardKeys(QKeySequence::Save, QKeySequence(QStringLiteral("Ctrl+S"))));
    AddItem(&m_window, file, "mmuFileSaveAs", [&files] { files.SaveAs(); })
        ->setShortcuts(
            StandardKeys(QKeySequence::SaveAs, QKeySequence(QStringLiteral("Ctrl+Shift+S"))));
    file->addSeparator();
    AddItem(&m_window, file, "mmuFilePrint", [&exports] {
        exports.Print();
    })->setShortcuts(StandardKeys(QKeySequence::Print, QKeySequence(QStringLiteral("Ctrl+P"))));
    AddItem(&m_window, file, "mmuFileExportPdf", [&exports] { exports.ExportPdf(); });
    AddItem(&m_window, file, "mmuFileExportCsv", [&exports] { exports.ExportCsv(); });
    AddItem(&m_window, file, "mmuFileCompare", [&exports] { exports.CompareWithFile(); });
    file->addSeparator();
    // The site book has no text in the form texts: its own caption.
    QAction *book = AddItem(&m_window, file, "mmuFileSites", [this] {
        if (sites)
            sites();
    });
    book->setText(QCoreApplication::translate("WindowMenus", "Site &book..."));
    book->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+B")));
    file->addSeparator();
    AddItem(&m_window, file, "mmuClose", [this] {
        m_window.close();
    })->setShortcuts(StandardKeys(QKeySequence::Quit, QKeySequence(QStringLiteral("Ctrl+Q"))));
}

void WindowMenus::buildEditMenu()
{
    m_edit = AddMenu(m_window.menuBar(), "mmuEdit");
    LineCommands &lines = m_parts.lines;
    LineViews &views = m_parts.views;
    QMenu *editNew = AddMenu(m_edit, "mmuEditNew");
    // The menu lists the tables in the order of their names, not of their numbers.
    for (int table = 0; table < clock::TableKindCount; ++table) {
        const QByteArray name = QStringLiteral("mmuNieuw_%1").arg(table).toLatin1();
        AddItem(&m_window, editNew, name.constData(), [&lines, table] { lines.AddLine(table); });
    }
    AddItem(&m_window, m_edit, "mmuEditProp", [this] {
        editChosen();
    })->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    AddItem(&m_window, m_edit, "mmuDelete", [&lines, &views] {
        if (views.listShown())
            lines.DeleteLines(views.chosenLines());
        else
            lines.DeleteLine();
    })->setShortcuts(StandardKeys(QKeySequence::Delete, QKeySequence(QStringLiteral("Del"))));
    m_edit->addSeparator();
    AddItem(&m_window, m_edit, "mmuDuplicate", [&lines] {
        lines.DuplicateLines();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    AddItem(&m_window, m_edit, "mmuCopy", [&lines] {
        lines.CopyLines();
    })->setShortcuts(StandardKeys(QKeySequence::Copy, QKeySequence(QStringLiteral("Ctrl+C"))));
    AddItem(&m_window, m_edit, "mmuPaste", [&lines] {
        lines.PasteLines();
    })->setShortcuts(StandardKeys(QKeySequence::Paste, QKeySequence(QStringLiteral("Ctrl+V"))));
    m_edit->addSeparator();
    AddItem(&m_window, m_edit, "mmuRetimeSun", [this] {
        if (retimeToSun)
            retimeToSun();
    })->setText(QCoreApplication::translate("WindowMenus", "Ret&ime to the sun..."));
    // The planner has no text in the form texts: its own caption.
    AddItem(&m_window, m_edit, "mmuPlanHolidays", [this] {
        if (planHolidays)
            planHolidays();
    })->setText(QCoreApplication::translate("WindowMenus", "Plan &holidays..."));
    AddItem(&m_window, m_edit, "mmuPlanSimulation", [this] {
        if (planSimulation)
            planSimulation();
    })->setText(QCoreApplication::translate("WindowMenus", "Plan presence &simulation..."));
    m_edit->addSeparator();
    QUndoStack &steps = m_parts.history.stack();
    QAction *undo = AddItem(&m_window, m_edit, "mmuUndo", [&steps] { steps.undo(); });
    undo->setShortcuts(StandardKeys(QKeySequence::Undo, QKeySequence(QStringLiteral("Ctrl+Z"))));
    undo->setEnabled(false);
    QObject::connect(&steps, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    QAction *redo = AddItem(&m_window, m_edit, "mmuRedo", [&steps] { steps.redo(); });
    redo->setShortcuts(
        StandardKeys(QKeySequence::Redo, QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    redo->setEnabled(false);
    QObject::connect(&steps, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    // "Undo Move line 12": the menu says what the key would take back. The stack tells its last
    // change while the window is taken down, after these menus: only the program's texts, which
    // outlive every window, are used.
    const settings::Strings &strings = m_program.strings;
    const auto name = [&strings](QAction *action, int plainId, int namedId, const QString &step) {
        action->setText(step.isEmpty() ? strings.GetResString(plainId)
                                       : strings.GetResString(namedId).arg(step));
        action->setToolTip(step);
    };
    using namespace settings::TextId;
    QObject::connect(&steps, &QUndoStack::undoTextChanged, undo, [=](const QString &step) {
        name(undo, UndoStep::Undo, UndoStep::UndoNamed, step);
    });
    QObject::connect(&steps, &QUndoStack::redoTextChanged, redo, [=](const QString &step) {
        name(redo, UndoStep::Redo, UndoStep::RedoNamed, step);
    });
}

void WindowMenus::editChosen()
{
    // In the list: the highlighted line, or none when several are highlighted elsewhere.
    if (m_parts.views.listShown()) {
        const int line = m_parts.views.list()->activeLine();
        if (line < 0)
            return;
        if (m_program.clockTable.SelectedLine != line + 1 && selectLine)
            selectLine(line);
    }
    m_parts.lines.EditLine();
}

void WindowMenus::buildToolbar(QWidget &surface)
{
    m_toolbar = new QToolBar(&surface);
    m_toolbar->setObjectName(QStringLiteral("Tlb"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setAttribute(Qt::WA_NoMousePropagation);
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setContentsMargins(0, 0, 0, 0);
    QFont captions = m_toolbar->font();
    captions.setPointSizeF(7.5);
    m_toolbar->setFont(captions);
    m_toolbar->setStyleSheet(QStringLiteral("QToolButton { padding: 0px 2px; }"));
    for (int index = 1; index <= 12; ++index) {
        const ToolbarButton &button = ToolbarButtons[index];
        if (!button.picture) {
            m_buttons[static_cast<std::size_t>(index)] = m_toolbar->addSeparator();
            continue;
        }
        QAction *action = m_toolbar->addAction(
            render::Pictures::icon(QString::fromLatin1(button.picture)), QString());
        action->setObjectName(QStringLiteral("Tlb_%1").arg(index));
        const QString key = QString::fromLatin1(button.key);
        action->setData(key);
        action->setCheckable(index >= FirstFilterButton);
        QObject::connect(action, &QAction::triggered, &m_window,
                         [this, key] { toolbarClicked(key); });
        m_buttons[static_cast<std::size_t>(index)] = action;
    }
}
QAction *WindowMenus::toolbarButton(int index) const
{
    return index >= 1 && index <= 12 ? m_buttons[static_cast<std::size_t>(index)] : nullptr;
}

void WindowMenus::toolbarClicked(const QString &key)
{
    if (key == u"NEW")
        m_parts.files.NewTable();
    else if (key == u"RCV")
        m_parts.files.Receive();
    else if (key == u"SEND")
        m_parts.files.Transmit();
    else if (key == u"OPEN")
        m_parts.files.OpenClockFile();
    else if (key == u"SAVE")
        m_parts.files.Save();
    else if (key == u"PRINT")
        m_parts.exports.Print();
    else if (filtersChanged)
        filtersChanged();
}
void WindowMenus::about()
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
bool WindowMenus::tableShown(int table) const
{
    // A table number no editor makes (from a file or the central unit) has no filter button.
    if (table < 0 || table >= clock::TableKindCount)
        return true;
    return m_buttons[static_cast<std::size_t>(FirstFilterButton + table)]->isChecked();
}

void WindowMenus::showTable(int table)
{
    if (table >= 0 && table < clock::TableKindCount)
        m_buttons[static_cast<std::size_t>(FirstFilterButton + table)]->setChecked(true);
}

void WindowMenus::translate()
{
    m_communication->setTitle(m_program.strings.GetResString(settings::CommunicationMenuText));
    // The captions of the filter buttons are short; the tool tips name the whole table.
    for (int table = 0; table < clock::TableKindCount; ++table)
        m_buttons[static_cast<std::size_t>(FirstFilterButton + table)]->setToolTip(
            m_program.strings.GetResString(clock::TableKindNameIds[table]));
}

} // namespace quintara::ui
