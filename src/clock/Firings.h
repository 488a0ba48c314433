#pragma once

#include "clock/ClockLine.h"
#include "clock/Occurrences.h"

#include <QDateTime>

#include <optional>
#include <utility>
#include <vector>

namespace quintara::clock {

struct ClockTable;

// When a line fires, without the week view's drawing limits: its reference date is first kept
// current at now (CheckDate, as every repaint does), then it fires at its reference moment and at
// every repetition after it that the day filter keeps. A line whose time or date bytes name no
// moment never fires.
class LineFirings {
public:
    LineFirings(const ClockLine &line, const QDateTime &now, const WorkdayFlagSet &workdays);

    const ClockLine &line() const { return m_line; }
    // The reference moment after keeping it current; nothing when the line never fires.
    const std::optional<Moment> &reference() const { return m_reference; }
    const LineStep &step() const { return m_step; }
    // Whether the day filter applies at all (only lines stepping by days have one).
    bool filtered() const { return m_filtered; }
    // Whether the day filter keeps a repetition on that date.
    bool keeps(QDate date) const;

    // Whether the line fires at that minute.
    bool firesAt(const Moment &moment) const;
    // The first firing at or after `from`.
    std::optional<Moment> firstFrom(const Moment &from) const;
    // The first firing after `moment`.
    std::optional<Moment> after(const Moment &moment) const;

private:
    ClockLine m_line;
    WorkdayFlagSet m_workdays{};
    std::optional<Moment> m_reference;
    LineStep m_step;
    bool m_filtered = false;
};

// The firings of one line from `from` through `to` (both included), in time order. Each call
// costs a few steps at most: the start is found by arithmetic, and a repetition the day filter
// would never keep ends the walk after one week of tries.
class FiringWalk {
public:
    // `firings` must outlive the walk.
    FiringWalk(const LineFirings &firings, const Moment &from, const Moment &to);

    std::optional<Moment> next();

private:
    const LineFirings *m_firings;
    std::optional<Moment> m_next;
    Moment m_to;
};

// The first firing of the line at or after now, as a wall-clock value; nothing when it never
// fires again.
std::optional<QDateTime> NextFiring(const ClockLine &line, const QDateTime &now,
                                    const WorkdayFlagSet &workdays);

// The agenda's cap: beyond it the list stops and says it was cut short.
inline constexpr int MaxAgendaFirings = 100'000;

struct Firing {
    Moment moment;
    int line = 0;

    friend bool operator==(const Firing &, const Firing &) = default;
};

// Which lines an agenda shows; nothing set keeps every line.
struct FiringFilter {
    std::optional<int> table;
    std::optional<std::pair<int, int>> function; // type, number

    bool keeps(const ClockLine &line) const;
};

// The firings of every line in use below MaxClockLines that the filter keeps, from `from` through
// `to`, in time order (same minute: ascending line index), at most `maxCount` of them. Lines are
// merged as they are consumed, so the first firing costs no more than one step per line.
class TableFirings {
public:
    TableFirings(const ClockTable &table, const QDateTime &now, const WorkdayFlagSet &workdays,
                 const Moment &from, const Moment &to, const FiringFilter &filter = {},
                 int maxCount = MaxAgendaFirings);
    // The walks point into the lines held here.
    TableFirings(const TableFirings &) = delete;
    TableFirings &operator=(const TableFirings &) = delete;

    std::optional<Firing> next();
    // Whether firings beyond maxCount were left out; known once next() has answered nothing.
    bool truncated() const { return m_truncated; }

private:
    struct Pending {
        Firing firing;
        std::size_t walk = 0;
    };

    std::vector<LineFirings> m_lines; // not resized once walks point into it
    std::vector<FiringWalk> m_walks;
    std::vector<Pending> m_heap; // the next firing of every walk not yet ended
    int m_remaining = 0;
    bool m_truncated = false;
};

} // namespace quintara::clock
