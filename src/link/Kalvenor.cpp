#include "link/Kalvenor.h"

#include "link/LinkLog.h"

#include "link/SerialLine.h"
#include "link/Ticker.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QVersionNumber>

#include <cmath>

namespace quintara::link {

namespace {

// Message types and the function kinds the operations name themselves.
constexpr qint16 MsgSet = 1;
constexpr qint16 MsgGet = 2;
constexpr qint16 KindRelay = 1;
constexpr qint16 KindDimmer = 2;
constexpr qint16 KindLocalMood = 8;
constexpr qint16 KindTimedLocalMood = 9;
constexpr qint16 KindGeneralMood = 10;
constexpr qint16 KindTouchPanelKey = 52;

// Report types (first data byte).
constexpr int ReportKey = 4;
constexpr int ReportSensor = 6;
constexpr int ReportState = 8;

constexpr qint16 ChecksumErrorCode = 255;

// How long one round of the send wait may sleep for an event.

bool InRange(qint16 value, int low, int high)
{
    return value >= low && value <= high;
}

bool OnOffOrSpecial(qint16 state)
{
    return state == 0 || state == 1 || state == 255;
}

const char *StatusText(int code)
{
    switch (code) {
    case 0:
        return "All OK";
    case 1:
        return "Invalid CheckSum";
    case 2:
        return "Invalid Command";
    case 3:
        return "Invalid Command-Lenght";
    case 5:
        return "Switch Not Assigned/Active";
    case 7:
        return "Load level out of range";
    case 10:
        return "Load not Available";
    case 14:
        return "Function not available";
    default:
        return nullptr;
    }
}

constexpr int DimmerLevel(int percent)
{
    return percent * 255 / 100;
}

// A state report says what an output or function is now: one signal for each kind.
void EmitStateReport(Kalvenor &control, int kind, qint16 outp, int value)
{
    const qint16 state = value != 0 ? 1 : 0;
    switch (kind) {
    case 1:
        emit control.Relay(outp, state);
        break;
    case 2:
        emit control.Dimmer(outp, LevelToPercent(value));
        break;
    case 3:
        emit control.Proces(outp, state);
        break;
    case 8:
        emit control.LocalMood(outp, state);
        break;
    case 9:
        emit control.TimedLocalMood(outp, state);
        break;
    case 10:
        emit control.GeneralMood(outp, state);
        break;
    case 14:
        emit control.Regime(outp);
        break;
    case 15:
        emit control.Flag(outp, state);
        break;
    case 31:
        emit control.Audio(outp, static_cast<qint16>(value));
        break;
    case 60:
        emit control.Condition(outp, state);
        break;
    default:
        break;
    }
}

} // namespace

quint8 FrameChecksum(std::span<const quint8> frame)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i)
        sum += frame[i];
    return static_cast<quint8>(sum & 255u);
}

qint16 LevelToPercent(int raw)
{
    for (int p = 0; p <= 100; ++p) {
        if (DimmerLevel(p) == raw)
            return static_cast<qint16>(p);
    }
    return raw == 3 ? 255 : 0;
}

double LightValue(int raw)
{
    const double light = std::pow(10.0, raw / 40.0) - 1.0;
    const int decimals = light > 20.0 ? 0 : light >= 1.0 ? 1 : 2;
    return QString::number(light, 'f', decimals).toDouble();
}

Kalvenor::Kalvenor(SerialLine &line, Ticker &ticker, QObject *parent)
    : QObject(parent), m_line(line), m_ticker(ticker)
{
    connect(&m_line, &SerialLine::bytesArrived, this, &Kalvenor::onBytesArrived);
    connect(&m_line, &SerialLine::failed, this, [this] {
        m_ticker.stop();
        m_frameIn.reset();
    });
    // A tick with nothing waiting gives up a frame begun: the rest of it is not coming.
    connect(&m_ticker, &Ticker::tick, this, [this] {
        if (m_line.bytesWaiting() == 0)
            m_frameIn.reset();
    });
}

Kalvenor::~Kalvenor()
{
    EndComm();
}

qint16 Kalvenor::InitComm(qint16 Port, qint16 Baudrate)
{
    m_ticker.stop();
    m_line.close();
    m_frameIn.reset();

    const bool portAccepted = m_line.setPortNumber(Port);
    const QString parameters = QString::number(Baudrate) + QStringLiteral(",n,8,1");
    const bool parametersAccepted = m_line.setParameters(parameters);

    if (!portAccepted || m_line.portNumber() != Port)
        return -2;
    if (!parametersAccepted || m_line.parameters() != parameters)
        return -3;
    if (!m_line.open() || !m_line.isOpen())
        return -1;
    m_ticker.start(TickMs);
    return 0;
}

qint16 Kalvenor::EndComm()
{
    m_ticker.stop();
    m_line.close();
    m_frameIn.reset();
    return 0;
}

QString Kalvenor::GetVersion() const
{
    const QString name = QCoreApplication::instance()
                             ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
                             : QCoreApplication::applicationName();
    QVersionNumber version = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    if (version.isNull())
        version = QVersionNumber::fromString(QStringLiteral(QUINTARA_VERSION));
    return QStringLiteral("%1 version %2.%3.%4")
        .arg(name)
        .arg(version.majorVersion())
        .arg(version.minorVersion())
        .arg(version.microVersion());
}

bool Kalvenor::isOpen() const
{
    return m_line.isOpen();
}

qint16 Kalvenor::KeyPress(qint16 TP, qint16 Key)
{
    if (!InRange(TP, 0, 100))
        return -2;
    if (!InRange(Key, 1, 8))
        return -3;
    const std::array<qint16, 4> message{MsgSet, KindTouchPanelKey, TP, Key};
    return SendFrame(message);
}

qint16 Kalvenor::SetFunction(qint16 Fnc, qint16 Outp, qint16 State)
{
    if (!InRange(Outp, 0, 144))
        return -2;
    if (!InRange(State, 0, 255))
        return -3;
    const std::array<qint16, 4> message{MsgSet, Fnc, Outp, State};
    return SendFrame(message);
}

qint16 Kalvenor::SetDimmer(qint16 Outp, qint16 State)
{
    if (!InRange(Outp, 1, 120))
        return -2;
    if (!InRange(State, 0, 100) && State != 255)
        return -3;
    const std::array<qint16, 4> message{MsgSet, KindDimmer, Outp, State};
    return SendFrame(message);
}

qint16 Kalvenor::SetRelay(qint16 Outp, qint16 State)
{
    return sendOnOff(KindRelay, Outp, 1, 144, State);
}

qint16 Kalvenor::SetLocalMood(qint16 Outp, qint16 State)
{
    return sendOnOff(KindLocalMood, Outp, 0, 99, State);
}

qint16 Kalvenor::SetGeneralMood(qint16 Outp)
{
    if (!InRange(Outp, 0, 19))
        return -2;
    const std::array<qint16, 4> message{MsgSet, KindGeneralMood, Outp, 255};
    return SendFrame(message);
}

qint16 Kalvenor::SetTimedLocalMood(qint16 Outp, qint16 State)
{
    return sendOnOff(KindTimedLocalMood, Outp, 0, 9, State);
}

qint16 Kalvenor::GetRelayState(qint16 Outp)
{
    return sendGet(KindRelay, Outp, 144);
}

qint16 Kalvenor::GetDimmerLevel(qint16 Outp)
{
    return sendGet(KindDimmer, Outp, 120);
}

qint16 Kalvenor::GetFunctionState(qint16 Fnc, qint16 Outp)
{
    return sendGet(Fnc, Outp, 144);
}

qint16 Kalvenor::sendOnOff(qint16 kind, qint16 outp, int firstOutp, int lastOutp, qint16 state)
{
    if (!InRange(outp, firstOutp, lastOutp))
        return -2;
    if (!OnOffOrSpecial(state))
        return -3;
    const std::array<qint16, 4> message{MsgSet, kind, outp, state};
    return SendFrame(message);
}

qint16 Kalvenor::sendGet(qint16 kind, qint16 outp, int lastOutp)
{
    if (!InRange(outp, 1, lastOutp) && outp != 255)
        return -2;
    const std::array<qint16, 3> message{MsgGet, kind, outp};
    return SendFrame(message);
}

qint16 Kalvenor::SendFrame(std::span<const qint16> message)
{
    if (message.empty() || message.size() > MaxFrameData || !m_line.isOpen())
        return -1;
    // An unchecked argument (a function kind) that is no byte cannot be sent; refuse the whole
    // frame rather than send a truncated one.
    for (qint16 value : message) {
        if (!InRange(value, 0, 255))
            return -1;
    }

    const auto length = static_cast<quint8>(message.size() + 2);
    unsigned sum = FrameStart + length;
    bool written = m_line.writeByte(FrameStart) && m_line.writeByte(length);
    for (std::size_t i = 0; written && i < message.size(); ++i) {
        written = m_line.writeByte(static_cast<quint8>(message[i]));
        sum += static_cast<unsigned>(message[i]);
    }
    written = written && m_line.writeByte(static_cast<quint8>(sum & 255u));
    if (!written)
        return -1;
    qCDebug(lcFrame) << "sent" << message.size() << "data bytes, first" << message.front();

    if (!m_line.isOpen())
        return -1;
    m_ticker.start(TickMs);
    return 0;
}

void Kalvenor::onBytesArrived()
{
    while (m_line.bytesWaiting() > 0) {
        const auto byte = m_line.readByte();
        if (!byte)
            break;
        // The frame is a copy and the receiver ready again: a handler of the event may send, let
        // events run, and so receive the next frame in the middle of this one's dispatch.
        if (const std::optional<FrameReceiver::Frame> frame = m_frameIn.take(*byte))
            dispatchFrame(frame->view());
    }
}

std::optional<FrameReceiver::Frame> FrameReceiver::take(quint8 byte)
{
    if (!m_receiving) {
        if (byte == FrameStart) {
            m_receiving = true;
            m_frame[0] = byte;
            m_received = 1;
        }
        return std::nullopt;
    }
    if (m_received >= MaxFrameSize) {
        // Unreachable: the length byte completes every frame by MaxFrameSize.
        reset();
        return std::nullopt;
    }
    m_frame[m_received++] = byte;
    if (m_received <= 2 || m_received <= m_frame[1])
        return std::nullopt;
    const Frame frame{m_frame, static_cast<std::size_t>(m_received)};
    reset();
    return frame;
}

void FrameReceiver::reset()
{
    m_receiving = false;
    m_received = 0;
}

void Kalvenor::dispatchFrame(std::span<const quint8> frame)
{
    // A length below 3 leaves no room for data: such a frame says nothing.
    if (frame[1] < 3)
        return;
    if (FrameChecksum(frame) != frame.back()) {
        qCDebug(lcFrame) << "received a frame with a wrong checksum";
        emit ErrMsg(ChecksumErrorCode, QStringLiteral("Communication problem"));
        return;
    }
    qCDebug(lcFrame) << "received" << QByteArray(reinterpret_cast<const char *>(frame.data()),
                                                 static_cast<qsizetype>(frame.size()))
                                          .toHex(' ');

    const int type = frame[2];
    const std::size_t dataBytes = frame.size() - 3;
    if (type == ReportKey || type == ReportSensor || type == ReportState) {
        // A report uses three bytes after its type; a shorter one is ignored whole.
        if (dataBytes < 4)
            return;
        const int kind = frame[3];
        const auto outp = static_cast<qint16>(frame[4]);
        const int value = frame[5];
        if (type == ReportKey)
            emit TpKey(static_cast<qint16>(kind), outp, static_cast<qint16>(value));
        else if (type == ReportSensor)
            decodeSensorReport(kind, outp, value);
        else
            EmitStateReport(*this, kind, outp, value);
        return;
    }
    if (const char *text = StatusText(type))
        emit ErrMsg(static_cast<qint16>(type), QString::fromLatin1(text));
}

void Kalvenor::decodeSensorReport(int kind, qint16 outp, int value)
{
    constexpr double NoReading = 255.0;
    const bool noReading = value >= 240;
    const double temperature = value / 2.0 - 40.0;
    switch (kind) {
    case 1:
        emit Temperature(outp, noReading ? NoReading : temperature);
        break;
    case 2:
        emit Humidity(outp, noReading ? NoReading : static_cast<double>(value));
        break;
    case 3:
    case 4:
    case 5:
        if (noReading) {
            emit Light(outp, NoReading);
        } else {
            m_lightValue = LightValue(value);
            emit Light(outp, m_lightValue);
        }
        break;
    case 129:
        emit TemperatureSet(outp, temperature);
        break;
    case 131:
    case 132:
    case 133:
        m_lightValue = LightValue(value);
        emit LightSet(outp, m_lightValue);
        break;
    default:
        break;
    }
}

} // namespace quintara::link
