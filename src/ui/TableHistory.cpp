#include "ui/TableHistory.h"

namespace quintara::ui {

class TableHistory::Step : public QUndoCommand {
public:
    Step(TableHistory &history, State before, State after, const QString &text, bool swapsFile)
        : QUndoCommand(text), m_history(history), m_before(std::move(before)),
          m_after(std::move(after)), m_swapsFile(swapsFile)
    {
    }
    void undo() override { m_history.restore(m_before, m_swapsFile); }
    void redo() override
    {
        // Pushed after the command did its work: the first redo finds the table done.
        if (m_done)
            m_history.restore(m_after, m_swapsFile);
        m_done = true;
    }

private:
    TableHistory &m_history;
    State m_before;
    State m_after;
    bool m_swapsFile = false;
    bool m_done = false;
};

TableHistory::TableHistory(clock::ClockTable &table, QObject *parent)
    : QObject(parent), m_table(table)
{
    // Undo and redo move the index after the step ran: only then is the clean state right.
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] {
        followChanges();
        if (m_restoring && onRestored)
            onRestored();
        m_restoring = false;
    });
}

TableHistory::State TableHistory::current() const
{
    return {m_table.Lines, m_table.ClockFileName, m_table.ClockFileVersion, m_table.ModelIndex,
            m_table.MaxClockLines};
}

bool TableHistory::record(const State &before, const QString &text, bool swapsFile)
{
    State after = current();
    if (after == before) {
        followChanges();
        return false;
    }
    m_stack.push(new Step(*this, before, std::move(after), text, swapsFile));
    followChanges();
    return true;
}

void TableHistory::markSaved()
{
    m_stack.setClean();
    followChanges();
}

void TableHistory::forget()
{
    const bool changed = m_table.TableChanged;
    m_stack.clear();
    if (changed)
        m_stack.resetClean();
    followChanges();
}

void TableHistory::followChanges()
{
    m_table.TableChanged = !m_stack.isClean();
}

void TableHistory::restore(const State &state, bool withFile)
{
    m_table.Lines = state.lines;
    if (withFile) {
        m_table.ClockFileName = state.fileName;
        m_table.ClockFileVersion = state.fileVersion;
        m_table.ModelIndex = state.modelIndex;
        m_table.MaxClockLines = state.maxClockLines;
    }
    m_restoring = true;
}

} // namespace quintara::ui
