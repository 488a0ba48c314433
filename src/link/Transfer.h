#pragma once

#include "link/Connection.h"
#include "link/Frames.h"
#include "link/LinkLine.h"
#include "link/TableTransfer.h"
#include "link/TransferProgress.h"
#include "platform/Outcome.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace quintara::platform {
class Clock;
class EventPump;
} // namespace quintara::platform
namespace quintara::clock {
struct ClockTable;
}
namespace quintara::settings {
class Strings;
}
namespace quintara::project {
struct ProjectModel;
}
namespace quintara::tables {
class TableSet;
}

namespace quintara::link {

class SerialLine;
class TrafficTrace;

// The failure message of a code: the text of 650, ":", a line feed and the code's own text.
QString FailureText(int code, const settings::Strings &strings);

// How a transfer or the modem programming ended, and what to tell the user.
struct TransferOutcome : platform::Outcome<int> {
    // The status is 0, or the code of the last failed step (650 before any step ran).
    bool ok() const { return status == LinkCode::Ok; }
    // Beeps before the notices, Timing::BeepPauseMs apart: a transfer that failed for good.
    int beeps = 0;
    // A send got as far as the last block of a table leaving the line (in any attempt): the
    // unit may hold the new table, however the transfer ended. The window then offers to
    // compare under the failure's message.
    bool unitMayHoldNew = false;
};

// The link to the central unit for table transfers: a state machine on the serial line. A job
// (send, receive, modem programming) opens the port, connects (modem, call-back,
// identification), moves the tables block by block with up to three retries of the attempt,
// and closes the port; every step ends in a wait on the line.
//
// The link never waits itself and never runs events: the caller runs its own events and calls
// advance() at least every msUntilNextLook() milliseconds while Busy(). RequestStop() ends the
// job at once (Cancel).
class CentralLink {
public:
    // Four attempts: the first and three retries.
    static constexpr int Attempts = 4;

    // All parts are the caller's and outlive the link; `time` is only read.
    CentralLink(SerialLine &line, const platform::EventPump &time,
                const settings::Strings &strings);
    CentralLink(const CentralLink &) = delete;
    CentralLink &operator=(const CentralLink &) = delete;

    LinkSetup setup;
    TransferObserver observer;
    // When set, every byte of each job goes into it (it begins anew with each). The caller's;
    // outlives the link.
    void setTrace(TrafficTrace *trace) { m_line.trace = trace; }
    // The next job adds to the trace instead of beginning it anew (a read-back belongs with
    // the send before it); that job clears it.
    bool appendToTrace = false;

    // With n only table n; without it all tables 0..TableCount but 11 and 18.
    void startSend(tables::TableSet &tables, std::optional<int> n = std::nullopt);
    // Builds the whole set from the project first (the progress base) and clears every
    // received area. Without n all tables but 11, and 18 only for model 4. A table longer than
    // it can be (the clock table's central form for setup.modelIndex) is refused with 657.
    void startReceive(tables::TableSet &tables, project::ProjectModel &model,
                      std::optional<int> n = std::nullopt);
    // Sends the command lines to the modem and reads each answer after its pause: "OK", or
    // the failure message (668 when an answer lacked "OK").
    void startModemProgramming(const QList<ModemCommand> &commands);

    void advance();
    bool Busy() const { return m_job != Job::None; }
    int msUntilNextLook() const { return m_line.msUntilNextLook(); }

    // Cancel: the job ends with 665 and says nothing. Cleared by the caller before each job.
    void RequestStop();
    void ClearStop() { m_stopRequested = false; }
    bool StopRequested() const { return m_stopRequested; }

    // How the last job ended.
    const TransferOutcome &outcome() const { return m_outcome; }
    int LastCode() const { return m_outcome.status; }
    // The answer behind LastCode() when a wrong answer ended the transfer.
    const std::optional<UnexpectedAnswer> &LastAnswer() const { return m_answer; }
    // The message of a failed transfer as the user sees it: the code's text, what the unit
    // answered for 669, the port's reason for a port that broke, and whether the unit may
    // already hold the new tables.
    QString FailureMessage() const;

    // Progress shown as the bar's value and "Progress: <n>%".
    void ShowProgress(int percent) { m_progress.show(percent); }
    // The label "Progress: " followed by the text of id.
    void ShowProgressText(int id) { m_progress.showText(id); }

    const settings::Strings &strings() const { return m_strings; }

private:
    enum class Job { None, Send, Receive, ModemProgramming };

    QString portAndDevice() const;
    // How many blocks the planned tables take on the line.
    int plannedBlocks() const;
    enum class Phase { Connecting, Tables, Ending, Modem, Closing };
    struct PlannedTable {
        int n;
        qint64 bytesBefore;
    };

    bool beginJob(Job job);
    void planTables(std::optional<int> n, int modelIndex);
    void nextAttempt();
    void resume(int waited);
    void handle(int result);
    int nextTable();
    int endTransfer();
    int endAnswered();
    void attemptEnded(int code);
    void finish(int code);
    void close();
    void tellFailure();

    const settings::Strings &m_strings;
    LinkLine m_line;
    TransferProgress m_progress{m_strings, observer};
    AttemptNotes m_notes;
    Connection m_connection{m_line, m_progress, m_notes};
    TableTransfer m_table{m_line, m_progress, m_notes};
    ModemProgramming m_modem{m_line};

    Job m_job = Job::None;
    Phase m_phase = Phase::Connecting;
    bool m_stopRequested = false;
    bool m_advancing = false;
    tables::TableSet *m_tables = nullptr;
    QList<PlannedTable> m_plan;
    qsizetype m_nextTable = 0;
    // The attempt running (1..Attempts).
    int m_round = 0;
    // The wrong answer that ended the last attempt, when it gave the code.
    std::optional<UnexpectedAnswer> m_previousAnswer;
    std::optional<UnexpectedAnswer> m_answer;
    bool m_unitMayHoldNew = false;
    TransferOutcome m_outcome;
};

// Runs the front end's events until the link is idle; each front end has its own.
using Drive = std::function<void(CentralLink &)>;

// The dialog's flows: each clears the stop flag, prepares the set, runs the job through the
// caller's drive and finishes the work on success. The outcome says what to tell the user.

// Normalises the clock dates, sets the table set up empty, converts the clock table into
// table 18 (with the computer's clock when setCentralClock) and sends it.
TransferOutcome SendClockTable(CentralLink &link, const Drive &drive, tables::TableSet &tables,
                               clock::ClockTable &clockTable, project::ProjectModel &model,
                               const platform::Clock &clock, bool setCentralClock);
// Normalises the clock dates, receives table 18 and on success replaces the clock lines with it.
TransferOutcome ReceiveClockTable(CentralLink &link, const Drive &drive, tables::TableSet &tables,
                                  clock::ClockTable &clockTable, project::ProjectModel &model,
                                  const platform::Clock &clock);
// Receives the whole table set and on success makes it the project (AdoptReceivedProject).
TransferOutcome ReceiveEverything(CentralLink &link, const Drive &drive, tables::TableSet &tables,
                                  project::ProjectModel &model, qint32 baudRate);
// Turns a complete receive into the project: an empty project of the same model, the received
// tables decoded into it, and the flags named "Flags 0", "Flags 1", ...
void AdoptReceivedProject(tables::TableSet &tables, project::ProjectModel &model,
                          const settings::Strings &strings, qint32 baudRate);
// Programs the central unit's modem through the link's port.
TransferOutcome ProgramModem(CentralLink &link, const Drive &drive, bool callBack,
                             const QString &callBackNumber);

} // namespace quintara::link
