#include "link/Transfer.h"

#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/LinkLog.h"
#include "link/LinkTimings.h"
#include "link/SerialLine.h"
#include "link/TrafficTrace.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"

#include <algorithm>
#include <utility>

namespace quintara::link {

namespace {

constexpr int RetryCaptionId = 38;
constexpr int FlagsTextId = 77;
constexpr int CreatingTablesId = 670;
constexpr int OtherPortId = 909;
constexpr int DamagedAnswerId = 2380;
constexpr int ExpectedCameId = 2381; // "expected %1, came %2"
constexpr int NothingId = 2382;
constexpr int MayHoldNewId = 2383;
constexpr int HostNotFoundId = 2387; // the network's faults, in the codes' order; "%1" the address
constexpr int WhatToCheckId = 2419;  // "%1 at %2 baud: check the cable, ..."

// The codes' texts have the codes' ids, but for the ones added to them.
int TextIdOfCode(int code)
{
    if (code == LinkCode::DamagedAnswer)
        return DamagedAnswerId;
    if (code >= LinkCode::HostNotFound && code <= LinkCode::LineSettingsRefused)
        return HostNotFoundId + code - LinkCode::HostNotFound;
    return code;
}

// "192", "81 66 78": bytes as the protocol's tables give them.
QString BytesText(const QByteArray &bytes, const settings::Strings &strings)
{
    if (bytes.isEmpty())
        return strings.GetResString(NothingId);
    QStringList values;
    for (const char c : bytes)
        values << QString::number(static_cast<quint8>(c));
    return values.join(QLatin1Char(' '));
}

platform::Notice Failure(int textId, QString text, QStringList arguments = {})
{
    return {textId, std::move(arguments), std::move(text), platform::ProgramTitle,
            platform::Icon::Critical};
}

} // namespace

QString FailureText(int code, const settings::Strings &strings)
{
    return strings.GetResString(LinkCode::CommunicationProblem) + QStringLiteral(":\n") +
           strings.GetResString(TextIdOfCode(code));
}

CentralLink::CentralLink(SerialLine &line, const platform::EventPump &time,
                         const settings::Strings &strings)
    : m_strings(strings), m_line(line, time)
{
}

bool CentralLink::beginJob(Job job)
{
    m_job = job;
    m_round = 0;
    m_outcome = {};
    m_outcome.status = LinkCode::CommunicationProblem;
    m_answer.reset();
    m_previousAnswer.reset();
    m_unitMayHoldNew = false;
    m_progress.startJob(false, 0); // the step of an earlier job is not this one's
    m_line.stopTransferTimer();
    m_line.forgetBreak();
    const bool append = std::exchange(appendToTrace, false);
    if (m_line.trace && (!append || job == Job::ModemProgramming))
        m_line.trace->begin(m_line.now());
    if (m_line.open(setup.portNumber, setup.baudRate))
        return true;
    // Headed like every other failure of the link, the port's own reason once, then the remedy.
    const QString port = m_line.portDescription(setup.portNumber);
    m_outcome.tell(Failure(OtherPortId,
                           m_strings.GetResString(LinkCode::CommunicationProblem) +
                               QStringLiteral(":\n") + port + QLatin1Char('\n') +
                               m_strings.GetResString(OtherPortId),
                           {port}));
    m_job = Job::None;
    return false;
}

void CentralLink::planTables(std::optional<int> n, int modelIndex)
{
    tables::TableSet &tables = *m_tables;
    m_plan.clear();
    if (n) {
        tables.TableCount = 1;
        m_plan.append({*n, 0});
        return;
    }
    qint64 before = 0;
    for (int i = 0; i <= tables.TableCount && i < tables::TableSet::SlotCount; ++i) {
        const bool skipped =
            i == tables::TableSet::UnusedSlot ||
            (i == tables::TableSet::ClockSlot && (m_job == Job::Send || modelIndex != 4));
        if (!skipped)
            m_plan.append({i, before});
        before += tables[i].Length;
    }
}

int CentralLink::plannedBlocks() const
{
    // A table ends with a block shorter than a full one, empty when it fills its last block.
    int blocks = 0;
    for (const PlannedTable &planned : m_plan)
        blocks += std::min<int>((*m_tables)[planned.n].Length, tables::TableAreaSize) /
                      LinkByte::BlockData +
                  1;
    return blocks;
}

void CentralLink::startSend(tables::TableSet &tables, std::optional<int> n)
{
    if (n && !tables::TableSet::IsSlot(*n)) {
        m_outcome = {};
        m_outcome.status = LinkCode::WrongTable;
        return;
    }
    m_tables = &tables;
    if (!beginJob(Job::Send))
        return;
    planTables(n, setup.modelIndex);
    nextAttempt();
}

void CentralLink::startReceive(tables::TableSet &tables, project::ProjectModel &model,
                               std::optional<int> n)
{
    if (n && !tables::TableSet::IsSlot(*n)) {
        m_outcome = {};
        m_outcome.status = LinkCode::WrongTable;
        return;
    }
    // The set built from the project is the base of the progress display.
    const platform::Notices built =
        tables::TableCompiler(tables, model, m_strings).BuildAllTables().notices;
    for (int i = 0; i <= tables.TableCount && i < tables::TableSet::SlotCount; ++i) {
        tables[i].ReceivedLength = 0;
        tables[i].Received.fill(0);
    }
    m_tables = &tables;
    const bool started = beginJob(Job::Receive);
    // What the build had to say comes before whatever the job tells.
    m_outcome.notices.insert(m_outcome.notices.begin(), built.begin(), built.end());
    if (!started)
        return;
    planTables(n, model.ModelIndex);
    nextAttempt();
}

void CentralLink::startModemProgramming(const QList<ModemCommand> &commands)
{
    m_stopRequested = false;
    if (!beginJob(Job::ModemProgramming))
        return;
    m_phase = Phase::Modem;
    handle(m_modem.start(commands));
}

void CentralLink::nextAttempt()
{
    ++m_round;
    m_notes = {};
    m_outcome.status = LinkCode::CommunicationProblem;
    m_progress.setAttempt(m_round, Attempts);
    // A port that broke during the last attempt is opened again for the next.
    if (!m_line.isOpen() && !m_line.open(setup.portNumber, setup.baudRate)) {
        attemptEnded(LinkCode::CommunicationProblem);
        return;
    }
    m_phase = Phase::Connecting;
    m_progress.setConnecting(true);
    handle(m_connection.start(setup));
}

void CentralLink::RequestStop()
{
    m_stopRequested = true;
    advance();
}

void CentralLink::advance()
{
    // A stop asked for from inside a step is seen at the next look.
    if (m_advancing)
        return;
    m_advancing = true;
    while (Busy()) {
        const std::optional<int> waited = m_line.poll(m_stopRequested);
        if (!waited)
            break;
        resume(*waited);
    }
    m_advancing = false;
}

void CentralLink::resume(int waited)
{
    switch (m_phase) {
    case Phase::Connecting:
        handle(m_connection.resume(waited));
        return;
    case Phase::Tables:
        handle(m_table.resume(waited));
        return;
    case Phase::Ending:
        handle(waited == LinkCode::Ok ? endAnswered() : waited);
        return;
    case Phase::Modem:
        handle(m_modem.resume(waited));
        return;
    case Phase::Closing:
        // A Cancel while what is queued leaves drops it: nothing waits for it any more.
        if (waited == LinkCode::Stopped)
            m_line.serial().clearOutput();
        close();
        return;
    }
}

// One attempt runs the same way in both directions: the connection, the planned tables, the
// end byte. Each part answers Pending while it waits, else its result.
void CentralLink::handle(int result)
{
    while (result != Pending) {
        if (result != LinkCode::Ok) {
            attemptEnded(result);
            return;
        }
        switch (m_phase) {
        case Phase::Connecting:
            m_progress.setConnecting(false);
            m_progress.startJob(m_job == Job::Send, m_job == Job::Send ? plannedBlocks() : 0);
            if (observer.beep)
                observer.beep();
            m_progress.show(5);
            m_nextTable = 0;
            m_phase = Phase::Tables;
            result = nextTable();
            break;
        case Phase::Tables:
            result = nextTable();
            break;
        case Phase::Ending:
        case Phase::Modem:
            attemptEnded(LinkCode::Ok);
            return;
        case Phase::Closing:
            close();
            return;
        }
    }
}

int CentralLink::nextTable()
{
    if (m_nextTable == m_plan.size())
        return endTransfer();
    const PlannedTable planned = m_plan[m_nextTable++];
    m_progress.startTable(static_cast<int>(m_nextTable), static_cast<int>(m_plan.size()));
    m_line.restartTransferTimer();
    const int longest =
        planned.n == tables::TableSet::ClockSlot
            ? CentralClockLength(project::LimitsOfModel(setup.modelIndex).ClockLines)
            : tables::TableAreaSize;
    const Direction direction = m_job == Job::Send ? Direction::Send : Direction::Receive;
    return m_table.start(direction, *m_tables, planned.n, planned.bytesBefore, longest);
}

int CentralLink::endTransfer()
{
    if (m_job == Job::Send && m_line.strayInput()) {
        m_line.step(QStringLiteral("discarded"));
        return m_notes.unexpected(LinkCode::WrongAck, false, {}, m_line.readWaiting());
    }
    m_phase = Phase::Ending;
    m_line.step(QStringLiteral("end"));
    m_line.write(LinkByte::End);
    m_line.byte(Timing::BlockByteMs, LinkCode::NoEnding);
    return Pending;
}

int CentralLink::endAnswered()
{
    // Whatever the unit answers to the end byte of a receive, the tables have arrived; a unit
    // that will not close a send refuses the end byte.
    const quint8 answer = m_line.lastByte();
    if (m_job == Job::Receive || answer == LinkByte::End)
        return LinkCode::Ok;
    return m_notes.unexpected(LinkCode::WrongEnding, answer == LinkByte::Nak,
                              OneByte(LinkByte::End), OneByte(answer));
}

void CentralLink::attemptEnded(int code)
{
    m_line.stopTransferTimer();
    m_progress.setConnecting(false);
    m_progress.setAttempt(0, Attempts);
    if (m_job == Job::ModemProgramming) {
        finish(code);
        return;
    }
    m_unitMayHoldNew = m_unitMayHoldNew || m_notes.unitMayHoldNew;
    m_answer = m_notes.answer;
    // The answer that ended this attempt, when it gave the code.
    std::optional<UnexpectedAnswer> answer;
    if (m_answer && code == m_answer->reason)
        answer = m_answer;
    // Named by an answer the unit gave only once: a damaged byte, not the unit's word.
    if (answer && answer != m_previousAnswer)
        code = LinkCode::DamagedAnswer;
    m_previousAnswer = answer;
    qCDebug(lcTransfer) << "attempt" << m_round << "of" << Attempts << "ended with" << code;
    if (code == LinkCode::Ok || code == LinkCode::Stopped || m_round == Attempts ||
        LinkCode::EndsTheJob(code)) {
        finish(code);
        return;
    }
    nextAttempt();
}

void CentralLink::finish(int code)
{
    m_outcome.status = code;
    m_outcome.unitMayHoldNew = m_unitMayHoldNew;
    if (m_job == Job::ModemProgramming) {
        if (code == LinkCode::Ok)
            m_outcome.tell(
                {0, {}, QStringLiteral("OK"), platform::ProgramTitle, platform::Icon::None});
        else if (code != LinkCode::Stopped)
            m_outcome.tell(Failure(TextIdOfCode(code), FailureMessage()));
    } else if (code == LinkCode::Ok) {
        m_progress.done();
        m_progress.show(100);
    } else if (code == LinkCode::Stopped) {
        // Nothing to tell in a box, but the dialog says what the unit holds now.
        m_progress.cancelled(m_job == Job::Send && m_unitMayHoldNew);
    } else {
        tellFailure();
        m_progress.show(0);
    }
    // After a Cancel nothing more goes out; after a failure what is queued may leave first.
    if (code == LinkCode::Stopped)
        m_line.serial().clearOutput();
    if (code == LinkCode::Ok || code == LinkCode::Stopped || !m_line.isOpen()) {
        close();
        return;
    }
    m_phase = Phase::Closing;
    m_line.sent(Timing::DrainMs);
}

void CentralLink::close()
{
    m_line.close();
    m_round = 0;
    m_job = Job::None;
}

void CentralLink::tellFailure()
{
    m_outcome.beeps = 5;
    QStringList arguments;
    if (m_outcome.status == LinkCode::DamagedAnswer && m_answer)
        arguments << BytesText(m_answer->expected, m_strings)
                  << BytesText(m_answer->came, m_strings);
    else if (LinkCode::IsLineFault(m_outcome.status))
        arguments << m_line.device();
    m_outcome.tell(Failure(TextIdOfCode(m_outcome.status), FailureMessage(), arguments));
    if (m_job == Job::Send && observer.sendCaption)
        observer.sendCaption(m_strings.GetResString(RetryCaptionId));
}

// "COM1 (/dev/ttyUSB0)": the port as the dialog names it and what is behind it.
QString CentralLink::portAndDevice() const
{
    const QString port = QStringLiteral("COM%1").arg(setup.portNumber);
    const QString device = m_line.device();
    return device.isEmpty() || device == port ? port : port + QStringLiteral(" (") + device + u')';
}

QString CentralLink::FailureMessage() const
{
    const int code = m_outcome.status;
    const QString headline =
        m_strings.GetResString(LinkCode::CommunicationProblem) + QStringLiteral(":\n");
    QString text;
    // "Communication problem" twice says nothing: a port that broke is named with its reason,
    // a network fault with the address.
    if (code == LinkCode::CommunicationProblem && m_line.brokeDuringTransfer())
        text = headline + m_line.portDescription(setup.portNumber);
    else if (LinkCode::IsLineFault(code) && code != LinkCode::CommunicationProblem)
        text = headline + m_strings.GetResString(TextIdOfCode(code)).arg(m_line.device());
    else
        text = FailureText(code, m_strings);
    if (code == LinkCode::NoAnswer)
        text += QLatin1Char('\n') + m_strings.GetResString(WhatToCheckId)
                                        .arg(portAndDevice(), QString::number(setup.baudRate));
    if (code == LinkCode::DamagedAnswer && m_answer)
        text += QLatin1Char('\n') + m_strings.GetResString(ExpectedCameId)
                                        .arg(BytesText(m_answer->expected, m_strings),
                                             BytesText(m_answer->came, m_strings));
    if (m_unitMayHoldNew)
        text += QLatin1Char('\n') + m_strings.GetResString(MayHoldNewId);
    return text;
}

namespace {

// Runs a job the flows start and gives its outcome.
template <typename Start> TransferOutcome Run(CentralLink &link, const Drive &drive, Start start)
{
    start();
    if (link.Busy())
        drive(link);
    return link.outcome();
}

void PrepareClockTransfer(CentralLink &link, clock::ClockTable &clockTable,
                          project::ProjectModel &model, const platform::Clock &clock,
                          tables::TableSet &tables)
{
    link.ClearStop();
    link.setup.modelIndex = model.ModelIndex;
    NormaliseClockDates(clockTable, clock.now());
    link.ShowProgressText(CreatingTablesId);
    tables.Reset();
}

} // namespace

TransferOutcome SendClockTable(CentralLink &link, const Drive &drive, tables::TableSet &tables,
                               clock::ClockTable &clockTable, project::ProjectModel &model,
                               const platform::Clock &clock, bool setCentralClock)
{
    PrepareClockTransfer(link, clockTable, model, clock, tables);
    ClockTableToCentral(clockTable, tables, tables::TableSet::ClockSlot,
                        setCentralClock ? std::optional<QDateTime>(clock.now()) : std::nullopt);
    tables.BytesTotal = 0;
    tables.FinishTable(tables::TableSet::ClockSlot);
    tables.BytesTotal += tables[tables::TableSet::ClockSlot].Length;
    link.ShowProgress(0);
    return Run(link, drive, [&] { link.startSend(tables, tables::TableSet::ClockSlot); });
}

TransferOutcome ReceiveClockTable(CentralLink &link, const Drive &drive, tables::TableSet &tables,
                                  clock::ClockTable &clockTable, project::ProjectModel &model,
                                  const platform::Clock &clock)
{
    PrepareClockTransfer(link, clockTable, model, clock, tables);
    const TransferOutcome outcome =
        Run(link, drive, [&] { link.startReceive(tables, model, tables::TableSet::ClockSlot); });
    if (outcome.ok()) {
        link.ShowProgressText(CreatingTablesId);
        ClockTableFromCentral(clockTable, tables, tables::TableSet::ClockSlot);
    }
    return outcome;
}

TransferOutcome ReceiveEverything(CentralLink &link, const Drive &drive, tables::TableSet &tables,
                                  project::ProjectModel &model, qint32 baudRate)
{
    link.ClearStop();
    link.setup.modelIndex = model.ModelIndex;
    link.ShowProgressText(CreatingTablesId);
    link.ShowProgress(0);
    const TransferOutcome outcome = Run(link, drive, [&] { link.startReceive(tables, model); });
    if (outcome.ok()) {
        link.ShowProgressText(CreatingTablesId);
        AdoptReceivedProject(tables, model, link.strings(), baudRate);
    }
    return outcome;
}

void AdoptReceivedProject(tables::TableSet &tables, project::ProjectModel &model,
                          const settings::Strings &strings, qint32 baudRate)
{
    project::NewProject(model, baudRate, strings.LanguageOffset());
    tables::TableCompiler(tables, model, strings).DecodeAllTables();
    const int flags = std::clamp(model.Limits.Flags, 0, project::FlagSlots);
    const QString name = strings.GetResString(FlagsTextId);
    for (int i = 0; i < flags; ++i)
        model.Flags[static_cast<std::size_t>(i)].Name =
            name + QLatin1Char(' ') + QString::number(i);
}

TransferOutcome ProgramModem(CentralLink &link, const Drive &drive, bool callBack,
                             const QString &callBackNumber)
{
    return Run(link, drive, [&] {
        link.startModemProgramming(ModemProgrammingCommands(callBack, callBackNumber));
    });
}

} // namespace quintara::link
