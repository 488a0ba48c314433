#pragma once

#include "clock/ClockTable.h"
#include "clock/TableDiff.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace quintara::platform {
class Clock;
}
namespace quintara::project {
struct ProjectModel;
}
namespace quintara::clock {
struct ClockTable;
}
namespace quintara::tables {
class TableSet;
}

#include "link/Transfer.h"

namespace quintara::link {

// What of the central form is compared after a send: everything before the clock-setting block,
// which the unit takes as an order rather than keeps.
constexpr int CentralClockCompared(int lines)
{
    return 13 * lines + 5;
}

// Where a sent and a received central form differ.
struct CentralFormDifference {
    QList<int> lines;      // indexes, ascending
    QList<int> chainHeads; // day-tables (clock::TableKind) whose first line differs, ascending
    bool empty() const { return lines.isEmpty() && chainHeads.isEmpty(); }
    bool operator==(const CentralFormDifference &) const = default;
};

// The lines and chain heads whose bytes differ between a sent and a received central form of
// `lines` lines, compared up to the clock-setting block. Both forms count as zero beyond their
// ends, as the unit's memory does.
CentralFormDifference CentralFormDifferences(QByteArrayView sent, QByteArrayView received,
                                             int lines);

struct VerifyOutcome {
    enum class Result : quint8 {
        Verified,
        SendFailed,     // the link's outcome says why
        ReadBackFailed, // sent, but the table did not come back (the link's outcome says why)
        Different,      // came back, but not as sent
    };
    Result result = Result::SendFailed;
    // The lines and chain heads that differ, for Different.
    CentralFormDifference differences;
    // What to tell the user: "Sent and verified", the lines that differ, or that the table was
    // sent but could not be read back. Empty after a failed send.
    QString message;

    bool verified() const { return result == Result::Verified; }
};

// Sends the clock table as SendClockTable does, then receives table 18 again on a new
// connection (so what is compared is what the unit kept after the transfer ended) and compares
// it byte for byte with what was sent, up to the clock-setting block. The caller tells what the
// link's outcome says, then the message.
VerifyOutcome SendAndVerifyClockTable(CentralLink &link, const Drive &drive,
                                      tables::TableSet &tables, clock::ClockTable &clockTable,
                                      project::ProjectModel &model, const platform::Clock &clock,
                                      bool setCentralClock);

// Receives table 18 into a copy of the open table (its usable lines replaced by the unit's) and
// compares the open table with it, reference dates that name the same firings counting as equal
// (a send moves them on). The open table is not changed. Nothing when the receive failed (the
// link's outcome says why).
struct CentralComparison {
    clock::TableDiff diff;
    clock::ClockTable unit; // the copy that holds what the unit sent
};
std::optional<CentralComparison> CompareWithCentral(CentralLink &link, const Drive &drive,
                                                    tables::TableSet &tables,
                                                    const clock::ClockTable &open,
                                                    project::ProjectModel &model,
                                                    const platform::Clock &clock);

} // namespace quintara::link
