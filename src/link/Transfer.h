#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <optional>

namespace quintara::platform {
class Clock;
class EventPump;
class Prompter;
} // namespace quintara::platform
namespace quintara::settings {
class ProfileFile;
class Strings;
} // namespace quintara::settings
namespace quintara::project {
struct ProjectModel;
}
namespace quintara::clock {
struct ClockTable;
}
namespace quintara::tables {
class TableSet;
}

namespace quintara::link {

class SerialLine;
class TrafficTrace;

// Result codes of the connection and the table transfer; each has its text under the same
// string id. 0 is success.
namespace LinkCode {
inline constexpr int Ok = 0;
inline constexpr int CommunicationProblem = 650; // headline of every failure; also "no step ran"
inline constexpr int TooLong = 651;              // output queue did not drain in time
inline constexpr int NoAnswer = 652;
inline constexpr int NoOrOldCentral = 653;
inline constexpr int NoInit = 654;
inline constexpr int WrongInit = 655;
inline constexpr int NoTable = 656;
inline constexpr int WrongTable = 657;
inline constexpr int NoAck = 658;
inline constexpr int WrongAck = 659;
inline constexpr int NoMessage = 660;
inline constexpr int WrongMessage = 661;
inline constexpr int NoEnding = 662;
inline constexpr int WrongEnding = 663;
inline constexpr int InputTimedOut = 664; // WaitInput only; callers turn it into one of the above
inline constexpr int Stopped = 665;       // Cancel
inline constexpr int WrongCentral = 666;
inline constexpr int SoftwareIncompatible = 667;
inline constexpr int ModemConnected = 668; // no carrier in time, or the modem did not say "OK"
// An answer that none of the codes above names: a byte damaged on the line, or a device that
// does not speak this protocol. Its message says what was expected and what came.
inline constexpr int DamagedAnswer = 669;
} // namespace LinkCode

// Bytes of the handshake and the transfer.
namespace LinkByte {
inline constexpr quint8 Escape = 240; // starts each handshake group
inline constexpr quint8 Version = 33; // protocol version both sides speak
inline constexpr quint8 Ack = 192;
inline constexpr quint8 Nak = 224;
inline constexpr quint8 End = 96;            // '`'
inline constexpr quint8 SendHeader = 160;    // + table number: the PC sends the table
inline constexpr quint8 ReceiveHeader = 128; // + table number: the PC receives the table
inline constexpr quint8 InitRefused = 0;     // the unit's answer to a wrong handshake response
inline constexpr int BlockData = 15;         // data bytes of a full block
} // namespace LinkByte

inline const QString FirstAccessCode = QStringLiteral("QZMRWTPX");
inline const QString SecondAccessCode = QStringLiteral("XPTWRMZQ");

// The handshake key K both sides share: the unit's challenge C is answered with C XOR K,
// doubled (modulo 256) when that is 128 or more. The settings file may override it with
// "[Link] Key=<0..255>" (decimal, or hexadecimal with 0x) for units programmed with another.
inline constexpr quint8 DefaultHandshakeKey = 0xA5;
quint8 HandshakeKeyFromSettings(const settings::ProfileFile &file);
quint8 HandshakeResponse(quint8 challenge, quint8 key);

// The failure message of a code: the text of 650, ":", a line feed and the code's own text.
QString FailureText(int code, const settings::Strings &strings);

// What the unit answered where a step waited for something else.
struct UnexpectedAnswer {
    int reason = 0; // the code this answer names when it is the one the protocol defines for it
    QByteArray expected; // empty: the unit should have been silent
    QByteArray came;
    bool operator==(const UnexpectedAnswer &) const = default;
};

// The identification byte a central-unit model answers with (model index 0..4; others as 3).
quint8 ModelIdentification(int modelIndex);

// What the connection needs to know; the dialog fills it from the settings and the project's
// modem record before each transfer.
struct LinkSetup {
    int portNumber = 2;
    qint32 baudRate = 19200;
    bool connectedWithModem = false;
    bool callBackNecessary = false; // counts only with connectedWithModem
    QString initString;             // blanks at either end are dropped when sent
    QString telephoneNumber;        // likewise
    quint8 handshakeKey = DefaultHandshakeKey;
    int modelIndex = 0; // ModelIndex of the project
};

// What the dialog hears while a transfer runs. Both may be left empty.
struct TransferObserver {
    // The progress bar's value 0..100 and the progress label's text ("Progress: 42%").
    std::function<void(int percent, const QString &label)> progress;
    // The send button's new caption: "Retry" after a send has failed for good.
    std::function<void(const QString &caption)> sendCaption;
};

// The lines that program the modem at the central unit's side, in the order they are sent
// (each followed by line feed and carriage return), with the pause before its answer is read.
struct ModemCommand {
    QString text;
    int pauseMs = 100;
};
QList<ModemCommand> ModemProgrammingCommands(bool callBack, const QString &callBackNumber);

// The link to the central unit for table transfers, on the communication dialog's serial
// line: port opening, waits that keep the user interface alive, the connection with modem and
// identification handshake, and the block transfer of tables with its retries and messages.
//
// Everything runs on the caller's thread; the waits let events run through the pump, so the
// dialog's Cancel button works: connect it to RequestStop(). Every transfer opens and closes
// the port itself; nothing stays open afterwards.
//
// Typical use by the dialog (the flows at the end of this header do all of it):
//     CentralLink link{line, pump, prompter, strings};
//     link.setup = ...;               // port, baud, modem, key, model
//     link.observer.progress = ...;   // progress bar and label
//     link.ClearStop();
//     qint16 ok = SendClockTable(link, tables, clockTable, model, clock, timeSet);
class CentralLink {
public:
    // The transfer timer: how long one table may take to leave the output queue.
    static constexpr int TransferTimerMs = 50000;

    // All parts are the caller's and outlive the link.
    CentralLink(SerialLine &line, platform::EventPump &pump, platform::Prompter &prompter,
                const settings::Strings &strings);
    ~CentralLink();
    CentralLink(const CentralLink &) = delete;
    CentralLink &operator=(const CentralLink &) = delete;

    LinkSetup setup;
    TransferObserver observer;
    // When set, every byte of each transfer and modem programming goes into it (it begins
    // anew with each). The caller's; outlives the link.
    TrafficTrace *trace = nullptr;
    // The next transfer adds to the trace instead of beginning it anew (a read-back belongs
    // with the send before it); that transfer clears it.
    bool appendToTrace = false;

    // Cancel: every wait returns 665 at its next round (within 20 ms), and every step ends on
    // it. Cleared by the caller before each transfer (the flows below do it themselves).
    void RequestStop() { m_stopRequested = true; }
    void ClearStop() { m_stopRequested = false; }
    bool StopRequested() const { return m_stopRequested; }
    // True from the start of a transfer or modem programming until its end.
    bool Busy() const { return m_busy; }

    // Port and waits. OpenPort selects setup.portNumber, sets "<baud>,n,8,1" and opens;
    // false when any of it fails.
    bool OpenPort();
    void ClosePort();
    // A fixed pause; 665 as soon as a stop is requested, 650 when the port broke.
    int Wait(int ms);
    // Until a byte is waiting: 0, or 664 when the time ran out first (even if a byte came with
    // it); 665 and 650 as Wait.
    int WaitInput(int ms);
    // Until the output queue is empty: 0; 651 when the transfer timer ran out, 665 on a stop.
    int WaitSent();

    // Modem dialling, call-back and the identification handshake on the open port.
    int Connect();

    // One table of the set, by table number 0..20; 0 or a link code. The port must be open
    // and connected. An answer that comes twice or out of turn fails the send with 669.
    int SendTable(tables::TableSet &tables, int n);
    // A block whose number is not the next one, or bytes after what looked like the last
    // block, are a damaged block (224, then 658); a table longer than it can be (the clock
    // table's central form for setup.modelIndex) is refused with 657.
    int ReceiveTable(tables::TableSet &tables, int n);

    // Whole transfers with the port opening, up to three retries of the attempt, the end byte,
    // progress and the failure message (five beeps, then "Communication problem:" and the
    // code's text). Cancel ends them without a message. 0 on success, -1 on failure. The
    // transfer timer guards one table at a time; the connection's output waits have bounds of
    // their own, so a line whose output never drains ends the attempt with 651 there too. A
    // port that broke is opened again for the next attempt.
    // With n only table n; without it all tables 0..TableCount but 11 and 18.
    qint16 SendTables(tables::TableSet &tables, std::optional<int> n = std::nullopt);
    // Builds the whole set from the project first (the progress base) and clears every
    // received area. Without n all tables but 11, and 18 only for model 4.
    qint16 ReceiveTables(tables::TableSet &tables, project::ProjectModel &model,
                         std::optional<int> n = std::nullopt);

    // Sends the command lines to the modem on the port and reads each answer after its pause;
    // shows "OK" or the failure message. 0, the failing wait's code, or 668 when an answer
    // lacked "OK".
    int ProgramModem(const QList<ModemCommand> &commands);

    const settings::Strings &strings() const { return m_strings; }

    // How the last transfer ended: 0, or the code of its last failed step (650 before any
    // step ran). A code that an answer of the unit names counts only when the attempt before
    // heard the same answer: a damaged byte does not repeat itself, a unit that means it does.
    // Otherwise the transfer ended with 669.
    int LastCode() const { return m_lastCode; }
    // The answer behind LastCode() when a wrong answer ended the transfer.
    const std::optional<UnexpectedAnswer> &LastAnswer() const { return m_answer; }
    // The message of a failed transfer as the user sees it: the code's text, what the unit
    // answered for 669, the port's reason for a port that broke, and whether the unit may
    // already hold the new tables.
    QString FailureMessage() const;

    // A send got as far as the last block of a table leaving the line (in any attempt): the
    // unit may hold the new table, however the transfer ended.
    bool UnitMayHoldNewTables() const { return m_unitMayHoldNew; }
    // When set, a failed send after which the unit may hold the new tables asks this question
    // under its message (the window offers to compare); the answer is OfferTaken().
    QString offerWhenUnitMayHoldNew;
    bool OfferTaken() const { return m_offerTaken; }

    // Progress shown as the bar's value and "Progress: <n>%".
    void ShowProgress(int percent);
    // The label "Progress: " followed by the text of id.
    void ShowProgressText(int id);

private:
    int waitFor(int ms, const std::function<bool()> &done, int timeoutCode);
    bool write(quint8 byte);
    bool writeText(const QString &text);
    bool readByte(quint8 &byte);
    // WaitInput, then readByte: 0, or timeoutCode when no byte came in time; 665 and 650 as
    // the waits.
    int readWithin(int ms, quint8 &byte, int timeoutCode);
    // A step heard `came` where it waited for `expected`: the reason when the answer is the
    // one the protocol defines for it, else 669. The answer is kept for the message.
    int unexpected(int reason, bool defined, QByteArray expected, QByteArray came);
    // OpenPort, with the message about another port when it fails.
    bool openPortOrReport();
    int exchangeHeader(quint8 header, bool answerWithAck);
    // The most bytes table n can have: the clock table's central form for the model in
    // setup, the whole area for the others.
    int longestTable(int n) const;
    // Bytes waiting where the unit should be silent: an answer came twice or out of turn.
    bool strayInput() const;
    // 0 when nothing is waiting; else the waiting bytes are read and the step fails with 669.
    int failOnStrayInput();
    int beginAttempt();
    // WaitSent for the connection: each of its output waits has a transfer timer of its own,
    // so dialling and a call-back never eat into the time of a table.
    int connectionSent();
    // Sends the end byte and reads the unit's answer: 0, 662 when none came in time, or what
    // ended the wait.
    int exchangeEnd(quint8 &answer);
    int attemptSend(tables::TableSet &tables, std::optional<int> n);
    int attemptReceive(tables::TableSet &tables, std::optional<int> n, int modelIndex);
    // Opens the port and runs attempt up to Attempts times; offerRetry gives the send button
    // its "Retry" caption after the last failure. Ends busy, with the port closed.
    qint16 runAttempts(const std::function<int()> &attempt, bool offerRetry);
    // The five beeps, then FailureMessage() (with the offer, when there is one to make).
    void showFailure();
    void restartTransferTimer();
    void onLineFailed();
    // The protocol step the next bytes of the trace belong to.
    void step(const QString &name);
    // Empties both queues; bytes still waiting go into the trace first.
    void clearLine();
    void traceWaitingBytes();
    // "/dev/ttyUSB0: <the operating system's reason>", for messages about the port.
    QString portDescription() const;

    SerialLine &m_line;
    platform::EventPump &m_pump;
    platform::Prompter &m_prompter;
    const settings::Strings &m_strings;

    bool m_stopRequested = false;
    bool m_busy = false;
    bool m_lineFailed = false;
    // The port broke at some point of this transfer: its message names it.
    bool m_lineFailure = false;
    // The attempt running (1..4; 0 outside), shown with the progress while connecting.
    int m_attempt = 0;
    bool m_connecting = false;
    int m_lastCode = LinkCode::CommunicationProblem;
    // The wrong answer that ended the running attempt (or the last one), if one did.
    std::optional<UnexpectedAnswer> m_answer;
    bool m_unitMayHoldNew = false;
    bool m_offerTaken = false;
    // Deadline of the transfer timer in pump milliseconds; none while it is off.
    std::optional<qint64> m_transferDeadline;
    QMetaObject::Connection m_failedConnection;
    // Bytes of the tables sent before the current one in this attempt, for the progress bar.
    qint64 m_bytesBefore = 0;
};

// The dialog's flows. Each clears the stop flag, runs the transfer and reports failures itself
// (message boxes through the link's prompter); the returned value is 0 on success, -1 on
// failure.

// Normalises the clock dates, sets the table set up empty, converts the clock table into
// table 18 (with the computer's clock when setCentralClock) and sends it.
qint16 SendClockTable(CentralLink &link, tables::TableSet &tables, clock::ClockTable &clockTable,
                      project::ProjectModel &model, const platform::Clock &clock,
                      bool setCentralClock);
// Normalises the clock dates, receives table 18 and on success replaces the clock lines with it.
qint16 ReceiveClockTable(CentralLink &link, tables::TableSet &tables, clock::ClockTable &clockTable,
                         project::ProjectModel &model, const platform::Clock &clock);
// Receives the whole table set and on success makes it the project (AdoptReceivedProject).
// The empty project takes the given baud rate and the link's language.
qint16 ReceiveEverything(CentralLink &link, tables::TableSet &tables, project::ProjectModel &model,
                         qint32 baudRate);
// Turns a complete receive into the project: an empty project of the same model, the received
// tables decoded into it, and the flags named "Flags 0", "Flags 1", ...
void AdoptReceivedProject(tables::TableSet &tables, project::ProjectModel &model,
                          const settings::Strings &strings, qint32 baudRate);

// Programs the central unit's modem through the link's port; shows "OK" or the failure
// message. Returns 0 or the failing code (668 when an answer lacked "OK").
int ProgramModem(CentralLink &link, bool callBack, const QString &callBackNumber);

} // namespace quintara::link
