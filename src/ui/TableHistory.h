#pragma once

#include "clock/ClockTable.h"

#include <QObject>
#include <QUndoStack>

#include <functional>

namespace quintara::ui {

// The undo history of the clock table. Every command changes the table as it always did and
// then records the step from the state before it; undo and redo put whole states back, so a
// step restores every byte it touched. The table's changed flag follows the history: back at
// the state last saved (or opened), the table is unchanged.
class TableHistory : public QObject {
    Q_OBJECT
public:
    // What a step puts back: the lines, the file they belong to and the central-unit model
    // with its clock-line limit that the file brought.
    struct State {
        std::array<clock::ClockLine, clock::ClockLineCount> lines{};
        QString fileName;
        quint8 fileVersion = 0;
        quint8 modelIndex = 0;
        qint16 maxClockLines = 0;

        friend bool operator==(const State &, const State &) = default;
    };

    explicit TableHistory(clock::ClockTable &table, QObject *parent = nullptr);

    State current() const;
    // Records the change from `before` to the table as it stands, as one step; nothing when
    // nothing changed (the changed flag then follows the history again). Answers whether a step
    // was recorded. Only a step that swapped the whole table (open, new, receive) puts the file
    // name and the model back: undoing an edit after Save As keeps the name, and after reading
    // a project its model.
    bool record(const State &before, const QString &text, bool swapsFile = false);
    // The table as it stands is the one in its file (saved, opened, or a new empty table).
    void markSaved();
    // Starts the history afresh from the table as it stands, changed or not (the start-up's
    // opening of a file is nothing to undo).
    void forget();
    // The table's changed flag from the history.
    void followChanges();

    QUndoStack &stack() { return m_stack; }

    // Runs after undo or redo put a state back (the window repaints and drops its selection).
    std::function<void()> onRestored;

private:
    class Step;
    void restore(const State &state, bool withFile);

    clock::ClockTable &m_table;
    QUndoStack m_stack;
    bool m_restoring = false;
};

} // namespace quintara::ui
