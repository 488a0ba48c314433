#pragma once

#include "ui/TableHistory.h"

#include <QList>

#include <functional>
#include <memory>

namespace quintara::clock {
struct Placement;
}

namespace quintara::link {
class Kalvenor;
class DeviceLine;
class QtTicker;
} // namespace quintara::link

namespace quintara::ui {

struct Program;
class ClockLineListModel;
class FunctionPresenter;

// The commands on lines of the table: add, edit, delete, duplicate, copy, paste, and the
// on-line test of the chosen line's function. Each change is one step of the history; the
// window follows through the hooks.
class LineCommands {
public:
    LineCommands(Program &program, TableHistory &history, const FunctionPresenter &presenter,
                 ClockLineListModel &lineModel);
    ~LineCommands();

    // The clock line editor: edits the selected line in the given mode, answers whether OK
    // closed it.
    std::function<bool(int editMode)> editLine;
    // The on-line test; the commands' own link control unless something else is put here.
    std::function<void()> onTest;

    // What the window does for the commands.
    // The table's lines changed: bring the dates up to date and repaint.
    std::function<void()> tableChanged;
    // The week on show becomes the one the line's reference date lies in.
    std::function<void(int line)> bringIntoView;
    // Selects a line as the list does: the week of its next firing comes on show.
    std::function<void(int line)> selectLine;
    // The line alone chosen; the hits of the last choice chosen again; nothing chosen.
    std::function<void(int line)> selectOnly;
    std::function<void()> reselect;
    std::function<void()> clearSelection;
    // The lines the commands on several lines work on.
    std::function<QList<int>()> chosenLines;

    void AddLine(int table);
    void EditLine();
    // Deletes the selected line after the question that names it.
    void DeleteLine();
    // Deletes the lines after one question, as one step.
    void DeleteLines(const QList<int> &lines);
    // Duplicate the chosen lines into the lowest free ones, copy them to the clipboard, paste
    // lines from it: each all or nothing, one step of the history.
    void DuplicateLines();
    void CopyLines();
    void PasteLines();
    void OnlineTest();

private:
    // A step of the history on one line: "Edit line 12".
    QString oneLineStep(int id, int index) const;
    // After lines were duplicated or pasted: a step of the history and the first of them
    // chosen, or why none was placed.
    void linesPlaced(const TableHistory::State &before, const clock::Placement &placement,
                     int count, int stepId);
    void runOnlineTest();
    QList<int> chosen() const;
    void call(const std::function<void()> &hook) const;
    void call(const std::function<void(int)> &hook, int line) const;

    Program &m_program;
    TableHistory &m_history;
    const FunctionPresenter &m_presenter;
    ClockLineListModel &m_lineModel;
    // The link control the on-line test drives, made at its first use.
    std::unique_ptr<link::DeviceLine> m_serialLine;
    std::unique_ptr<link::QtTicker> m_ticker;
    std::unique_ptr<link::Kalvenor> m_linkOcx;
};

} // namespace quintara::ui
