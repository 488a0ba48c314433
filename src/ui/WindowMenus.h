#pragma once

#include <QString>

#include <array>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;

namespace quintara::ui {

struct Program;
class Exports;
class FileCommands;
class LineCommands;
class LineViews;
class TableHistory;

// The main window's menus and toolbar: each item runs a command of the window's parts, and the
// toolbar's filter buttons say which day tables the week shows.
class WindowMenus {
public:
    static constexpr int FirstFilterButton = 8;
    static constexpr int SaveButton = 5;

    // What the items run.
    struct Parts {
        FileCommands &files;
        LineCommands &lines;
        Exports &exports;
        LineViews &views;
        TableHistory &history;
    };

    // Builds the menus into the window's menu bar and the toolbar on the surface.
    WindowMenus(QMainWindow &window, QWidget &surface, Program &program, Parts parts);

    // A filter button was switched: the week shows the tables anew.
    std::function<void()> filtersChanged;
    // Selects a line as the list does (the edit command in the list works on its line).
    std::function<void(int line)> selectLine;
    // Communication > Compare with central unit (filled by whoever provides the dialog).
    std::function<void()> compare;
    // File > Site book (filled by whoever provides the window).
    std::function<void()> sites;
    // Options › Location and Edit › Retime to the sun.
    std::function<void()> chooseLocation;
    std::function<void()> retimeToSun;
    // Plans holidays and vacations as regime lines.
    std::function<void()> planHolidays;
    // Plans presence simulation in the Simulation table.
    std::function<void()> planSimulation;

    QToolBar *toolbar() const { return m_toolbar; }
    QMenu *editMenu() const { return m_edit; }
    QAction *toolbarButton(int index) const; // 1..12
    // Whether the week shows the day table; tables no editor makes are always shown.
    bool tableShown(int table) const;
    void showTable(int table);
    // The menu titles and the filters' tool tips in the language in force.
    void translate();

private:
    void buildFileMenu();
    void buildEditMenu();
    void buildOtherMenus();
    void buildToolbar(QWidget &surface);
    void toolbarClicked(const QString &key);
    // The edit command: in the list, on its highlighted line.
    void editChosen();
    void about();

    QMainWindow &m_window;
    Program &m_program;
    Parts m_parts;
    QToolBar *m_toolbar = nullptr;
    std::array<QAction *, 13> m_buttons{};
    QMenu *m_edit = nullptr;
    QMenu *m_communication = nullptr;
};

} // namespace quintara::ui
