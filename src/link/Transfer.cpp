#include "link/Transfer.h"

#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/LinkLog.h"
#include "link/SerialLine.h"
#include "link/TrafficTrace.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Prompter.h"
#include "project/ProjectModel.h"
#include "settings/ProfileFile.h"
#include "settings/Strings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quintara::link {

namespace {

// Longest sleep of one wait round. Bytes and clicks wake the pump earlier; the carrier line
// raises no event, so this is also how often it is looked at.
constexpr int WaitSliceMs = 20;

constexpr quint8 LineFeed = 10;
constexpr quint8 CarriageReturn = 13;

constexpr int RetryCaptionId = 38;
constexpr int FlagsTextId = 77;
constexpr int CreatingTablesId = 670;
constexpr int ProgressId = 674;
constexpr int AttemptId = 675; // "attempt %1 of %2"
constexpr int OtherPortId = 909;
constexpr int DamagedAnswerId = 2380;
constexpr int ExpectedCameId = 2381; // "expected %1, came %2"
constexpr int NothingId = 2382;
constexpr int MayHoldNewId = 2383;

constexpr int Attempts = 4; // the first and three retries
// How long the line must stay silent after a table's last block, or after an answer the unit
// adds nothing to, for it to count as complete.
constexpr int QuietMs = 100;
constexpr int HeaderTries = 2;

int Percent(double value)
{
    return static_cast<int>(std::lround(value));
}

// The codes' texts have the codes' ids, but for the one added to them.
int TextIdOfCode(int code)
{
    return code == LinkCode::DamagedAnswer ? DamagedAnswerId : code;
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

bool IsModelIdentification(quint8 byte)
{
    for (int model = 0; model < project::ModelCount; ++model) {
        if (ModelIdentification(model) == byte)
            return true;
    }
    return false;
}

// A table header of the same direction as `header`, for another table.
bool IsOtherHeader(quint8 echo, quint8 header)
{
    return echo != header && (echo & 0xE0) == (header & 0xE0) &&
           tables::TableSet::IsSlot(echo & 31);
}

QByteArray OneByte(quint8 byte)
{
    return QByteArray(1, static_cast<char>(byte));
}

} // namespace

quint8 HandshakeKeyFromSettings(const settings::ProfileFile &file)
{
    const QString text =
        file.readString(QStringLiteral("Link"), QStringLiteral("Key"), {}, 20).trimmed();
    bool ok = false;
    const uint value = text.toUInt(&ok, 0);
    return ok && value <= 255 ? static_cast<quint8>(value) : DefaultHandshakeKey;
}

quint8 HandshakeResponse(quint8 challenge, quint8 key)
{
    const int r = challenge ^ key;
    return static_cast<quint8>(r >= 128 ? (2 * r) % 256 : r);
}

QString FailureText(int code, const settings::Strings &strings)
{
    return strings.GetResString(LinkCode::CommunicationProblem) + QStringLiteral(":\n") +
           strings.GetResString(TextIdOfCode(code));
}

quint8 ModelIdentification(int modelIndex)
{
    switch (project::EffectiveModelIndex(modelIndex)) {
    case 0:
        return 136;
    case 1:
    case 2:
        return 17;
    case 4:
        return 204;
    default:
        return 85;
    }
}

CentralLink::CentralLink(SerialLine &line, platform::EventPump &pump, platform::Prompter &prompter,
                         const settings::Strings &strings)
    : m_line(line), m_pump(pump), m_prompter(prompter), m_strings(strings)
{
    m_failedConnection =
        QObject::connect(&m_line, &SerialLine::failed, &m_line, [this] { onLineFailed(); });
}

CentralLink::~CentralLink()
{
    QObject::disconnect(m_failedConnection);
}

void CentralLink::onLineFailed()
{
    m_lineFailed = true;
    m_lineFailure = true;
}

QString CentralLink::portDescription() const
{
    const QString device = m_line.device().isEmpty()
                               ? QStringLiteral("COM%1").arg(setup.portNumber)
                               : m_line.device();
    const QString reason = m_line.lastError();
    return reason.isEmpty() ? device : device + QStringLiteral(": ") + reason;
}

bool CentralLink::OpenPort()
{
    m_lineFailed = false;
    if (!m_line.setPortNumber(setup.portNumber))
        return false;
    if (!m_line.setParameters(QStringLiteral("%1,n,8,1").arg(setup.baudRate)))
        return false;
    return m_line.open();
}

void CentralLink::ClosePort()
{
    traceWaitingBytes();
    m_line.close();
}

void CentralLink::step(const QString &name)
{
    if (trace)
        trace->setStep(name);
}

void CentralLink::traceWaitingBytes()
{
    if (!trace || !m_line.isOpen())
        return;
    // Bytes nobody asked for are often the clue: they go into the trace before they go.
    step(QStringLiteral("discarded"));
    quint8 byte = 0;
    while (m_line.bytesWaiting() > 0 && readByte(byte)) {
    }
}

void CentralLink::clearLine()
{
    traceWaitingBytes();
    m_line.clearQueues();
}

void CentralLink::ShowProgress(int percent)
{
    // A progress base smaller than what is sent must not push the bar past its end.
    percent = std::clamp(percent, 0, 100);
    if (!observer.progress)
        return;
    QString label = QStringLiteral("%1: %2%").arg(m_strings.GetResString(ProgressId)).arg(percent);
    // A connection that is tried again says so: "Progress: 2% (attempt 2 of 4)".
    if (m_connecting && m_attempt > 0)
        label += QStringLiteral(" (%1)").arg(
            m_strings.GetResString(AttemptId).arg(m_attempt).arg(Attempts));
    observer.progress(percent, label);
}

void CentralLink::ShowProgressText(int id)
{
    if (observer.progress)
        observer.progress(0, m_strings.GetResString(ProgressId) + QStringLiteral(": ") +
                                 m_strings.GetResString(id));
}

int CentralLink::waitFor(int ms, const std::function<bool()> &done, int timeoutCode)
{
    const qint64 deadline = m_pump.msecs() + ms;
    for (;;) {
        // A port that broke in the middle ends the attempt like any failed step.
        if (m_lineFailed)
            return LinkCode::CommunicationProblem;
        if (m_stopRequested)
            return LinkCode::Stopped;
        const qint64 remaining = deadline - m_pump.msecs();
        if (remaining <= 0)
            return timeoutCode;
        if (done && done())
            return LinkCode::Ok;
        m_pump.processEvents(static_cast<int>(std::min<qint64>(remaining, WaitSliceMs)));
    }
}

int CentralLink::Wait(int ms)
{
    return waitFor(ms, {}, LinkCode::Ok);
}

int CentralLink::WaitInput(int ms)
{
    return waitFor(ms, [this] { return m_line.bytesWaiting() > 0; }, LinkCode::InputTimedOut);
}

int CentralLink::WaitSent()
{
    for (;;) {
        if (m_lineFailed)
            return LinkCode::CommunicationProblem;
        const qint64 now = m_pump.msecs();
        if (m_transferDeadline && now >= *m_transferDeadline)
            return LinkCode::TooLong;
        if (m_stopRequested)
            return LinkCode::Stopped;
        if (m_line.outputQueueLength() == 0)
            return LinkCode::Ok;
        int slice = WaitSliceMs;
        if (m_transferDeadline)
            slice = static_cast<int>(std::clamp<qint64>(*m_transferDeadline - now, 1, WaitSliceMs));
        m_pump.processEvents(slice);
    }
}

void CentralLink::restartTransferTimer()
{
    m_transferDeadline = m_pump.msecs() + TransferTimerMs;
}

bool CentralLink::write(quint8 byte)
{
    if (!m_line.writeByte(byte)) {
        m_lineFailed = true;
        m_lineFailure = true;
        return false;
    }
    if (trace)
        trace->record(m_pump.msecs(), TrafficTrace::Direction::Sent, byte);
    return true;
}

bool CentralLink::writeText(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    for (char c : bytes) {
        if (!write(static_cast<quint8>(c)))
            return false;
    }
    return true;
}

bool CentralLink::readByte(quint8 &byte)
{
    const auto read = m_line.readByte();
    if (!read)
        return false;
    byte = *read;
    if (trace)
        trace->record(m_pump.msecs(), TrafficTrace::Direction::Received, byte);
    return true;
}

bool CentralLink::strayInput() const
{
    return m_line.bytesWaiting() > 0;
}

int CentralLink::failOnStrayInput()
{
    if (!strayInput())
        return LinkCode::Ok;
    step(QStringLiteral("discarded"));
    QByteArray came;
    quint8 byte = 0;
    while (m_line.bytesWaiting() > 0 && readByte(byte))
        came.append(static_cast<char>(byte));
    return unexpected(LinkCode::WrongAck, false, {}, came);
}

int CentralLink::readWithin(int ms, quint8 &byte, int timeoutCode)
{
    const int waited = WaitInput(ms);
    if (waited == LinkCode::InputTimedOut)
        return timeoutCode;
    if (waited != LinkCode::Ok)
        return waited;
    return readByte(byte) ? LinkCode::Ok : timeoutCode;
}

int CentralLink::unexpected(int reason, bool defined, QByteArray expected, QByteArray came)
{
    m_answer = UnexpectedAnswer{reason, std::move(expected), std::move(came)};
    return defined ? reason : LinkCode::DamagedAnswer;
}

bool CentralLink::openPortOrReport()
{
    if (OpenPort())
        return true;
    // Headed like every other failure of the link, the port's own reason once, then the remedy.
    m_prompter.show(m_strings.GetResString(LinkCode::CommunicationProblem) +
                        QStringLiteral(":\n") + portDescription() + QLatin1Char('\n') +
                        m_strings.GetResString(OtherPortId),
                    platform::ErrorTitle, platform::Buttons::Ok, platform::Icon::Critical);
    return false;
}

int CentralLink::connectionSent()
{
    restartTransferTimer();
    const int r = WaitSent();
    m_transferDeadline.reset();
    return r;
}

int CentralLink::Connect()
{
    ShowProgress(0);
    step(QStringLiteral("modem"));
    // The fixed pauses end the attempt on a Cancel too: nothing more goes out after it.
    if (const int r = Wait(1000))
        return r;
    clearLine();
    ShowProgress(1);

    const auto carrier = [this] { return m_line.carrierDetect(); };
    if (setup.connectedWithModem && !m_line.carrierDetect()) {
        write(LineFeed);
        write(CarriageReturn);
        if (const int r = Wait(100))
            return r;
        writeText(setup.initString.trimmed());
        write(LineFeed);
        write(CarriageReturn);
        if (const int r = connectionSent())
            return r;
        if (const int r = Wait(100))
            return r;
        writeText(QStringLiteral("ATDT") + setup.telephoneNumber.trimmed());
        write(LineFeed);
        write(CarriageReturn);
        if (const int r = connectionSent())
            return r;
        if (const int r = waitFor(50000, carrier, LinkCode::ModemConnected))
            return r;
    }
    if (const int r = Wait(1000))
        return r;

    if (setup.callBackNecessary && setup.connectedWithModem) {
        writeText(FirstAccessCode);
        write(CarriageReturn);
        // The remote modem hangs up, then calls back and the local one answers.
        if (const int r = waitFor(
                5000, [this] { return !m_line.carrierDetect(); }, LinkCode::ModemConnected))
            return r;
        if (const int r = waitFor(50000, carrier, LinkCode::ModemConnected))
            return r;
        if (const int r = Wait(1000))
            return r;
    }

    clearLine();
    step(QStringLiteral("handshake"));
    write(LinkByte::Escape);
    write(0);
    writeText(FirstAccessCode);
    if (const int r = connectionSent())
        return r;
    if (const int r = Wait(1000))
        return r;

    ShowProgress(2);
    write(LinkByte::Escape);
    write(255);
    writeText(SecondAccessCode);
    if (const int r = connectionSent())
        return r;

    QByteArray name;
    for (int i = 0; i < 3; ++i) {
        quint8 byte = 0;
        if (const int r = readWithin(1500, byte, LinkCode::NoAnswer))
            return r;
        name.append(static_cast<char>(byte));
    }
    if (name != "QBN") {
        // The unit adds nothing until it is spoken to: more bytes mean one of these came twice.
        const int more = WaitInput(QuietMs);
        if (more == LinkCode::Stopped || more == LinkCode::CommunicationProblem)
            return more;
        return unexpected(LinkCode::NoOrOldCentral, more == LinkCode::InputTimedOut, "QBN",
                          name);
    }

    ShowProgress(3);
    const quint8 identification = ModelIdentification(setup.modelIndex);
    write(LinkByte::Escape);
    write(identification);
    write(LinkByte::Version);
    if (const int r = connectionSent())
        return r;

    ShowProgress(4);
    // A1, A2, V1, V2, one byte not used, the challenge.
    constexpr int answerWaits[] = {1500, 500, 1000, 500, 500, 100};
    quint8 answer[6] = {};
    for (int i = 0; i < 6; ++i) {
        if (const int r = readWithin(answerWaits[i], answer[i], LinkCode::NoAnswer))
            return r;
    }
    write(HandshakeResponse(answer[5], setup.handshakeKey));
    if (const int r = connectionSent())
        return r;

    quint8 final = 0;
    if (const int r = readWithin(500, final, LinkCode::NoInit))
        return r;
    // The unit took the response, so the challenge, and the bytes before it, came where they
    // belong: a byte lost or repeated on the way would have shifted it.
    const bool inStep = final == LinkByte::Ack && !strayInput();
    if (answer[0] != identification || answer[1] != identification) {
        const bool otherModel =
            answer[0] == answer[1] && IsModelIdentification(answer[0]) && inStep;
        return unexpected(LinkCode::WrongCentral, otherModel,
                          OneByte(identification) + OneByte(identification),
                          OneByte(answer[0]) + OneByte(answer[1]));
    }
    if (answer[2] != LinkByte::Version)
        return unexpected(LinkCode::SoftwareIncompatible, inStep, OneByte(LinkByte::Version),
                          OneByte(answer[2]));
    if (final != LinkByte::Ack)
        return unexpected(LinkCode::WrongInit, final == LinkByte::InitRefused && !strayInput(),
                          OneByte(LinkByte::Ack), OneByte(final));
    return LinkCode::Ok;
}

int CentralLink::exchangeHeader(quint8 header, bool answerWithAck)
{
    step(QStringLiteral("header %1").arg(header & 31));
    int code = LinkCode::NoTable;
    for (int tries = 0; tries < HeaderTries; ++tries) {
        write(header);
        if (const int r = WaitSent())
            return r;
        quint8 echo = 0;
        const int waited = WaitInput(4800);
        if (waited == LinkCode::Stopped || waited == LinkCode::CommunicationProblem)
            return waited;
        if (waited != LinkCode::Ok) {
            code = LinkCode::NoTable;
            continue;
        }
        if (answerWithAck)
            write(LinkByte::Ack);
        if (!readByte(echo)) {
            code = LinkCode::NoTable;
            continue;
        }
        if (echo == header)
            return LinkCode::Ok;
        code = unexpected(LinkCode::WrongTable, IsOtherHeader(echo, header), OneByte(header),
                          OneByte(echo));
    }
    // The unit may still wait for a header; the end byte sends it back to idle.
    write(LinkByte::End);
    return code;
}

int CentralLink::SendTable(tables::TableSet &tables, int n)
{
    if (!tables::TableSet::IsSlot(n))
        return LinkCode::WrongTable;
    qCDebug(lcTransfer) << "sending table" << n << "of" << tables[n].Length << "bytes";
    if (const int r = Wait(100))
        return r;
    if (const int r = exchangeHeader(static_cast<quint8>(LinkByte::SendHeader + n), false))
        return r;

    const tables::CentralTable &table = tables[n];
    const int length = std::min<int>(table.Length, tables::TableAreaSize);
    const double total = tables.BytesTotal > 0 ? static_cast<double>(tables.BytesTotal) : 1.0;
    int pos = 0;
    int k = 0;
    int count = 0;
    do {
        if (const int r = failOnStrayInput())
            return r;
        count = std::min(LinkByte::BlockData, length - pos);
        step(QStringLiteral("block %1").arg(k));
        const auto header = static_cast<quint8>(16 * (k % 16) + count);
        unsigned sum = header;
        write(header);
        for (int i = 0; i < count; ++i) {
            const quint8 byte = table.Data[static_cast<std::size_t>(pos + i)];
            sum += byte;
            write(byte);
        }
        write(static_cast<quint8>(sum & 255u));
        pos += count;
        if (const int r = WaitSent())
            return r;
        // The unit keeps a table once its last block has come: whatever follows, it may hold
        // the new one now.
        if (pos >= length && count < LinkByte::BlockData)
            m_unitMayHoldNew = true;
        step(QStringLiteral("ack"));
        quint8 ack = 0;
        if (const int r = readWithin(800, ack, LinkCode::NoAck))
            return r;
        if (ack != LinkByte::Ack)
            return unexpected(LinkCode::WrongAck, ack == LinkByte::Nak, OneByte(LinkByte::Ack),
                              OneByte(ack));
        ++k;
        ShowProgress(Percent(5 + 94 * (m_bytesBefore + pos) / total));
    } while (pos < length);

    if (count == LinkByte::BlockData) {
        // A full last block leaves the unit waiting for more: the empty block closes the table.
        if (const int r = failOnStrayInput())
            return r;
        step(QStringLiteral("block %1").arg(k));
        const auto header = static_cast<quint8>(16 * (k % 16));
        write(header);
        write(header);
        if (const int r = WaitSent())
            return r;
        m_unitMayHoldNew = true;
        step(QStringLiteral("ack"));
        quint8 ack = 0;
        if (const int r = readWithin(800, ack, LinkCode::NoMessage))
            return r;
        if (ack != LinkByte::Ack)
            return unexpected(LinkCode::WrongMessage, ack == LinkByte::Nak,
                              OneByte(LinkByte::Ack), OneByte(ack));
    }
    ShowProgress(Percent(5 + 94 * (m_bytesBefore + length) / total));
    return LinkCode::Ok;
}

int CentralLink::longestTable(int n) const
{
    if (n == tables::TableSet::ClockSlot)
        return CentralClockLength(project::LimitsOfModel(setup.modelIndex).ClockLines);
    return tables::TableAreaSize;
}

int CentralLink::ReceiveTable(tables::TableSet &tables, int n)
{
    if (!tables::TableSet::IsSlot(n))
        return LinkCode::WrongTable;
    qCDebug(lcTransfer) << "receiving table" << n;
    if (const int r = Wait(100))
        return r;
    if (const int r = exchangeHeader(static_cast<quint8>(LinkByte::ReceiveHeader + n), true))
        return r;

    const int tableCount = tables.TableCount;
    const bool single = tableCount == 1;
    const double end = single ? 100.0 : (n + 1.0) / (tableCount + 1.0) * 94 + 5;
    double progress = single ? 5.0 : static_cast<double>(Percent(n / (tableCount + 1.0) * 94 + 5));
    ShowProgress(Percent(progress));

    tables::CentralTable &table = tables[n];
    const int longest = longestTable(n);
    int pos = 0;
    for (int k = 0;; ++k) {
        step(QStringLiteral("block %1").arg(k));
        quint8 header = 0;
        if (const int r = readWithin(800, header, LinkCode::NoAck))
            return r;
        // A lost or damaged header makes a data byte look like one: the block number tells.
        if (header >> 4 != k % 16) {
            write(LinkByte::Nak);
            return LinkCode::NoAck;
        }
        const int count = header & 15;
        unsigned sum = header;
        // A unit that keeps sending full blocks would run past what the table can hold.
        if (pos + count > longest) {
            write(LinkByte::Nak);
            return LinkCode::WrongTable;
        }
        for (int i = 0; i < count; ++i) {
            quint8 byte = 0;
            if (const int r = readWithin(800, byte, LinkCode::NoAck))
                return r;
            sum += byte;
            table.Received[static_cast<std::size_t>(pos++)] = byte;
            if (progress + 0.25 < end) {
                progress += 0.25;
                ShowProgress(Percent(progress));
            }
        }
        quint8 checksum = 0;
        if (const int r = readWithin(800, checksum, LinkCode::NoAck))
            return r;
        step(QStringLiteral("ack"));
        // The unit says nothing more until the block is acknowledged; more bytes mean it
        // heard an acknowledgement twice or this block was not what it seemed.
        if (checksum != (sum & 255u) || strayInput()) {
            write(LinkByte::Nak);
            return LinkCode::NoAck;
        }
        write(LinkByte::Ack);
        if (count < LinkByte::BlockData) {
            const int padEnd = std::min(pos + LinkByte::BlockData - count, tables::TableAreaSize);
            std::fill(table.Received.begin() + pos, table.Received.begin() + padEnd, quint8{0});
            table.ReceivedLength = static_cast<quint16>(pos);
            break;
        }
    }
    // The unit is silent after the last block of a table. Bytes now mean that what looked like
    // the last block was the middle of one (a header lost where the block number wraps to 0).
    const int quiet = WaitInput(QuietMs);
    if (quiet == LinkCode::Ok) {
        write(LinkByte::Nak);
        return LinkCode::NoAck;
    }
    if (quiet != LinkCode::InputTimedOut)
        return quiet;
    if (!single)
        ShowProgress(Percent(end));
    return LinkCode::Ok;
}

void CentralLink::showFailure()
{
    for (int i = 0; i < 5; ++i) {
        m_prompter.beep();
        Wait(100);
    }
    const QString text = FailureMessage();
    if (m_unitMayHoldNew && !offerWhenUnitMayHoldNew.isEmpty()) {
        m_offerTaken = m_prompter.show(text + QStringLiteral("\n\n") + offerWhenUnitMayHoldNew,
                                       platform::ErrorTitle, platform::Buttons::YesNo,
                                       platform::Icon::Critical,
                                       platform::Answer::Yes) == platform::Answer::Yes;
        return;
    }
    m_prompter.show(text, platform::ErrorTitle, platform::Buttons::Ok, platform::Icon::Critical);
}

QString CentralLink::FailureMessage() const
{
    QString text = FailureText(m_lastCode, m_strings);
    if (m_lastCode == LinkCode::DamagedAnswer && m_answer)
        text += QLatin1Char('\n') + m_strings.GetResString(ExpectedCameId)
                                        .arg(BytesText(m_answer->expected, m_strings),
                                             BytesText(m_answer->came, m_strings));
    // "Communication problem" twice says nothing: a port that broke is named with its reason.
    if (m_lastCode == LinkCode::CommunicationProblem && m_lineFailure)
        text += QLatin1Char('\n') + portDescription();
    if (m_unitMayHoldNew)
        text += QLatin1Char('\n') + m_strings.GetResString(MayHoldNewId);
    return text;
}

int CentralLink::beginAttempt()
{
    m_connecting = true;
    const int connected = Connect();
    m_connecting = false;
    if (connected)
        return connected;
    m_prompter.beep();
    ShowProgress(5);
    m_bytesBefore = 0;
    return LinkCode::Ok;
}

int CentralLink::exchangeEnd(quint8 &answer)
{
    step(QStringLiteral("end"));
    write(LinkByte::End);
    return readWithin(800, answer, LinkCode::NoEnding);
}

int CentralLink::attemptSend(tables::TableSet &tables, std::optional<int> n)
{
    if (const int r = beginAttempt())
        return r;
    for (int i = 0; i <= tables.TableCount && i < tables::TableSet::SlotCount; ++i) {
        restartTransferTimer();
        if (n) {
            tables.TableCount = 1;
            if (const int r = SendTable(tables, *n))
                return r;
            break;
        }
        if (i != tables::TableSet::UnusedSlot && i != tables::TableSet::ClockSlot) {
            if (const int r = SendTable(tables, i))
                return r;
        }
        m_bytesBefore += tables[i].Length;
    }
    if (const int r = failOnStrayInput())
        return r;
    quint8 answer = 0;
    if (const int r = exchangeEnd(answer))
        return r;
    if (answer == LinkByte::End)
        return LinkCode::Ok;
    // A unit that will not close the transfer refuses the end byte.
    return unexpected(LinkCode::WrongEnding, answer == LinkByte::Nak, OneByte(LinkByte::End),
                      OneByte(answer));
}

int CentralLink::attemptReceive(tables::TableSet &tables, std::optional<int> n, int modelIndex)
{
    if (const int r = beginAttempt())
        return r;
    for (int i = 0; i <= tables.TableCount && i < tables::TableSet::SlotCount; ++i) {
        restartTransferTimer();
        if (n) {
            tables.TableCount = 1;
            if (const int r = ReceiveTable(tables, *n))
                return r;
            break;
        }
        if (i == tables::TableSet::UnusedSlot ||
            (i == tables::TableSet::ClockSlot && modelIndex != 4))
            continue;
        if (const int r = ReceiveTable(tables, i))
            return r;
    }
    // Whatever the unit answers to the end byte, the tables have arrived.
    quint8 answer = 0;
    return exchangeEnd(answer);
}

qint16 CentralLink::runAttempts(const std::function<int()> &attempt, bool offerRetry)
{
    m_transferDeadline.reset();
    m_lastCode = LinkCode::CommunicationProblem;
    m_lineFailure = false;
    m_answer.reset();
    m_unitMayHoldNew = false;
    m_offerTaken = false;
    const bool append = std::exchange(appendToTrace, false);
    if (trace && !append)
        trace->begin(m_pump.msecs());
    if (!openPortOrReport()) {
        m_busy = false;
        return -1;
    }
    // The wrong answer of the attempt before, if one ended it.
    std::optional<UnexpectedAnswer> previousAnswer;
    for (int round = 1;; ++round) {
        m_attempt = round;
        m_lastCode = LinkCode::CommunicationProblem;
        m_answer.reset();
        // A port that broke during the last attempt is opened again for the next.
        if (m_line.isOpen() || OpenPort())
            m_lastCode = attempt();
        m_attempt = 0;
        // The answer that ended this attempt, when it gave the code.
        std::optional<UnexpectedAnswer> answer;
        if (m_answer && m_lastCode == m_answer->reason)
            answer = m_answer;
        // Named by an answer the unit gave only once: a damaged byte, not the unit's word.
        if (answer && answer != previousAnswer)
            m_lastCode = LinkCode::DamagedAnswer;
        previousAnswer = answer;
        qCDebug(lcTransfer) << "attempt" << round << "of" << Attempts << "ended with"
                            << m_lastCode;
        m_transferDeadline.reset();
        if (m_lastCode == LinkCode::Ok) {
            ShowProgress(100);
            ClosePort();
            m_busy = false;
            return 0;
        }
        if (m_lastCode == LinkCode::Stopped)
            break;
        if (round == Attempts) {
            showFailure();
            if (offerRetry && observer.sendCaption)
                observer.sendCaption(m_strings.GetResString(RetryCaptionId));
            break;
        }
    }
    ShowProgress(0);
    ClosePort();
    m_busy = false;
    return -1;
}

qint16 CentralLink::SendTables(tables::TableSet &tables, std::optional<int> n)
{
    if (n && !tables::TableSet::IsSlot(*n))
        return -1;
    m_busy = true;
    return runAttempts([&] { return attemptSend(tables, n); }, true);
}

qint16 CentralLink::ReceiveTables(tables::TableSet &tables, project::ProjectModel &model,
                                  std::optional<int> n)
{
    if (n && !tables::TableSet::IsSlot(*n))
        return -1;
    m_busy = true;
    // The set built from the project is the base of the progress display.
    for (const platform::Notice &notice :
         tables::TableCompiler(tables, model, m_strings).BuildAllTables().notices)
        m_prompter.show(notice);
    for (int i = 0; i <= tables.TableCount && i < tables::TableSet::SlotCount; ++i) {
        tables[i].ReceivedLength = 0;
        tables[i].Received.fill(0);
    }
    return runAttempts([&] { return attemptReceive(tables, n, model.ModelIndex); }, false);
}

QList<ModemCommand> ModemProgrammingCommands(bool callBack, const QString &callBackNumber)
{
    if (!callBack)
        return {{QStringLiteral("AT&F&D0&K0K0S0=1%C0E0&W"), 100}};
    return {
        {QStringLiteral("AT*P0:") + FirstAccessCode + QLatin1Char(':') + callBackNumber.trimmed(),
         100},
        {QStringLiteral("ATS200=16"), 500},
        {QStringLiteral("AT&D0&K0K0S0=1%C0E0&W"), 100}};
}

int ProgramModem(CentralLink &link, bool callBack, const QString &callBackNumber)
{
    return link.ProgramModem(ModemProgrammingCommands(callBack, callBackNumber));
}

int CentralLink::ProgramModem(const QList<ModemCommand> &commands)
{
    m_busy = true;
    m_stopRequested = false;
    int code = LinkCode::Ok;
    if (trace)
        trace->begin(m_pump.msecs());
    if (!openPortOrReport()) {
        m_busy = false;
        return LinkCode::CommunicationProblem;
    }
    step(QStringLiteral("modem"));
    restartTransferTimer();
    clearLine();
    write(LineFeed);
    write(CarriageReturn);
    code = Wait(100);
    clearLine();
    for (const ModemCommand &command : commands) {
        if (code != LinkCode::Ok)
            break;
        writeText(command.text);
        write(LineFeed);
        write(CarriageReturn);
        code = WaitSent();
        if (code != LinkCode::Ok)
            break;
        code = Wait(command.pauseMs);
        if (code != LinkCode::Ok)
            break;
        QByteArray answer;
        quint8 byte = 0;
        while (m_line.bytesWaiting() > 0 && readByte(byte))
            answer.append(static_cast<char>(byte));
        if (!answer.contains("OK")) {
            code = LinkCode::ModemConnected;
            break;
        }
    }
    m_transferDeadline.reset();
    ClosePort();
    if (code == LinkCode::Ok) {
        m_prompter.show(QStringLiteral("OK"), platform::ErrorTitle);
    } else if (code != LinkCode::Stopped) {
        m_prompter.show(FailureText(code, m_strings), platform::ErrorTitle, platform::Buttons::Ok,
                        platform::Icon::Critical);
    }
    m_busy = false;
    return code;
}

qint16 SendClockTable(CentralLink &link, tables::TableSet &tables, clock::ClockTable &clockTable,
                      project::ProjectModel &model, const platform::Clock &clock,
                      bool setCentralClock)
{
    link.ClearStop();
    link.setup.modelIndex = model.ModelIndex;
    NormaliseClockDates(clockTable, clock.now());
    link.ShowProgressText(CreatingTablesId);
    tables.Reset();
    ClockTableToCentral(clockTable, tables, tables::TableSet::ClockSlot,
                        setCentralClock ? std::optional<QDateTime>(clock.now()) : std::nullopt);
    tables.BytesTotal = 0;
    tables.FinishTable(tables::TableSet::ClockSlot);
    tables.BytesTotal += tables[tables::TableSet::ClockSlot].Length;
    link.ShowProgress(0);
    return link.SendTables(tables, tables::TableSet::ClockSlot);
}

qint16 ReceiveClockTable(CentralLink &link, tables::TableSet &tables, clock::ClockTable &clockTable,
                         project::ProjectModel &model, const platform::Clock &clock)
{
    link.ClearStop();
    link.setup.modelIndex = model.ModelIndex;
    NormaliseClockDates(clockTable, clock.now());
    link.ShowProgressText(CreatingTablesId);
    tables.Reset();
    if (link.ReceiveTables(tables, model, tables::TableSet::ClockSlot) != 0)
        return -1;
    link.ShowProgressText(CreatingTablesId);
    ClockTableFromCentral(clockTable, tables, tables::TableSet::ClockSlot);
    return 0;
}

qint16 ReceiveEverything(CentralLink &link, tables::TableSet &tables, project::ProjectModel &model,
                         qint32 baudRate)
{
    link.ClearStop();
    link.setup.modelIndex = model.ModelIndex;
    link.ShowProgressText(CreatingTablesId);
    link.ShowProgress(0);
    if (link.ReceiveTables(tables, model) != 0)
        return -1;
    link.ShowProgressText(CreatingTablesId);
    AdoptReceivedProject(tables, model, link.strings(), baudRate);
    return 0;
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

} // namespace quintara::link
