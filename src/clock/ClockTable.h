#pragma once

#include "clock/ClockLine.h"
#include "clock/YearWindow.h"
#include "platform/Outcome.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

namespace quintara::platform {
class Clock;
} // namespace quintara::platform

namespace quintara::settings {
class Strings;
}

namespace quintara::clock {

inline constexpr int ClockLineCount = 100;

// The one clock table of the program: 100 lines whose index is their identity, and the values
// that travel with it. Only lines 0..MaxClockLines - 1 are used; the file keeps all of them.
struct ClockTable {
    std::array<ClockLine, ClockLineCount> Lines{};
    QString ClockFileName;
    quint8 ClockFileVersion = 0;
    quint8 ModelIndex = 0;
    qint16 MaxClockLines = 0;
    bool TableChanged = false;
    qint16 SelectedLine = 0; // 1-based, 0 = none

    // The line at index, or nullptr when the index names no line.
    ClockLine *line(int index);
    const ClockLine *line(int index) const;

    // MaxClockLines held to 0..100, for loops over the lines in use.
    int usableLines() const;
    // The selected line's index, when SelectedLine names a line.
    std::optional<int> selectedIndex() const;
};

// Frees every line (repeat, function and level bytes to 0) and leaves the other bytes as they
// stand. The caller repaints and clears the selection.
void ClearClockTable(ClockTable &table);

// The reference date of a line, or an invalid date when its bytes name no calendar day.
QDate ReferenceDate(const ClockLine &line, YearWindow years);
// The reference date at the reference time (a wall-clock value without time zone, seconds 0);
// invalid when the bytes name no real date or time.
QDateTime ReferenceDateTime(const ClockLine &line, YearWindow years);
// Stores a date's day, month and year modulo 100; the time bytes are left alone.
void SetReferenceDate(ClockLine &line, QDate date);

// The lowest free index below MaxClockLines.
std::optional<int> FindFreeLine(const ClockTable &table);

// The Monday (weeks begin on Monday) of the week holding date.
QDate MondayOf(QDate date);

// The line a new line goes to, or nothing and why there is none.
struct AddLineStart {
    std::optional<int> line;
    platform::Notices notices;
};

// The first steps of adding a line to table kind `tableKind`: finds the lowest free line (or
// tells why there is none), fills the defaults and selects it. The caller then opens the editor
// and finishes with FinishAddLine.
AddLineStart BeginAddLine(ClockTable &table, int tableKind, const platform::Clock &clock);
// Marks the table changed; answers whether the line survived the editor (to bring it in view).
bool FinishAddLine(ClockTable &table, int index);

// The question before the selected line goes, naming it by its level text and function
// description; Yes deletes.
platform::Message DeleteLineQuestion(const QString &levelText, const QString &functionText,
                                     const settings::Strings &strings);
// Frees the selected line. Answers whether there was one (the caller then repaints).
bool DeleteSelectedLine(ClockTable &table);

} // namespace quintara::clock
