#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <optional>
#include <span>

namespace quintara::link {

class SerialLine;
class Ticker;

// Frame bytes: start, length, data..., checksum. The length counts every byte before the
// checksum, so a frame carries at most 253 data bytes.
inline constexpr quint8 FrameStart = 2;
inline constexpr int MaxFrameData = 253;
inline constexpr int MaxFrameSize = MaxFrameData + 3;

// Sum of every byte of a received frame except its last (the checksum), modulo 256.
quint8 FrameChecksum(std::span<const quint8> frame);

// Percentage 0..100 of a raw dimmer level from the central unit: exact for the levels the
// dimmer table holds, 255 for the special raw level 3, 0 for anything else.
qint16 LevelToPercent(int raw);

// Light in the central unit's logarithmic scale, rounded as shown to the user: a whole number
// above 20, one decimal from 1 to 20, two below 1.
double LightValue(int raw);

// Rebuilds frames from the bytes as they come: bytes before a start byte are passed over, and
// the length byte says where the frame ends.
class FrameReceiver {
public:
    struct Frame {
        std::array<quint8, MaxFrameSize> bytes{};
        std::size_t size = 0;
        std::span<const quint8> view() const { return {bytes.data(), size}; }
    };

    // The frame this byte completes, a copy: the receiver is ready for the next one at once.
    std::optional<Frame> take(quint8 byte);
    // Forgets a frame begun.
    void reset();

private:
    // A complete frame resets the count, so it never fills up.
    std::array<quint8, MaxFrameSize> m_frame{};
    int m_received = 0;
    bool m_receiving = false;
};

// The on-line link to a running central unit: frames messages onto the serial line, rebuilds
// frames from the bytes that come back and raises one signal per status reply or report.
// Operations answer 0 (frame written), -1 (line not open or failing), -2 / -3 (first / second
// checked argument out of range; nothing sent).
class Kalvenor final : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 1000;

    // The line and the tick timer are the caller's and outlive the control. Operations queue
    // their frame and return: it leaves as the caller's events run, and before the port closes.
    Kalvenor(SerialLine &line, Ticker &ticker, QObject *parent = nullptr);
    ~Kalvenor() override;

    qint16 InitComm(qint16 Port, qint16 Baudrate);
    qint16 EndComm();
    // "<executable> version <major>.<minor>.<revision>"
    QString GetVersion() const;

    qint16 KeyPress(qint16 TP, qint16 Key);
    qint16 SetFunction(qint16 Fnc, qint16 Outp, qint16 State);
    qint16 SetDimmer(qint16 Outp, qint16 State);
    qint16 SetRelay(qint16 Outp, qint16 State);
    qint16 SetLocalMood(qint16 Outp, qint16 State);
    qint16 SetGeneralMood(qint16 Outp);
    qint16 SetTimedLocalMood(qint16 Outp, qint16 State);
    qint16 GetRelayState(qint16 Outp);
    qint16 GetDimmerLevel(qint16 Outp);
    qint16 GetFunctionState(qint16 Fnc, qint16 Outp);

    bool isOpen() const;
    // The light value of the last light report.
    double lightValue() const { return m_lightValue; }

signals:
    void ErrMsg(qint16 Code, const QString &Msg);
    void TpKey(qint16 Arg1, qint16 Arg2, qint16 Arg3);
    void Relay(qint16 Outp, qint16 State);
    void Dimmer(qint16 Outp, qint16 Level);
    void LocalMood(qint16 Outp, qint16 State);
    void TimedLocalMood(qint16 Outp, qint16 State);
    void GeneralMood(qint16 Outp, qint16 State);
    void Temperature(qint16 Outp, double Value);
    void Light(qint16 Outp, double Value);
    void Humidity(qint16 Outp, double Value);
    void Audio(qint16 Outp, qint16 Value);
    void TemperatureSet(qint16 Outp, double Value);
    void LightSet(qint16 Outp, double Value);
    void Regime(qint16 Outp);
    void Flag(qint16 Outp, qint16 State);
    void Proces(qint16 Outp, qint16 State);
    void Condition(qint16 Outp, qint16 State);

private:
    qint16 SendFrame(std::span<const qint16> message);
    // A set of an on/off function: -2 for an output outside first..last, -3 for a state other
    // than 0, 1 or 255.
    qint16 sendOnOff(qint16 kind, qint16 outp, int firstOutp, int lastOutp, qint16 state);
    // A get of outputs 1..last, or 255 for all of them; -2 otherwise.
    qint16 sendGet(qint16 kind, qint16 outp, int lastOutp);
    void onBytesArrived();
    void dispatchFrame(std::span<const quint8> frame);
    void decodeSensorReport(int kind, qint16 outp, int value);

    SerialLine &m_line;
    Ticker &m_ticker;
    FrameReceiver m_frameIn;
    double m_lightValue = 0.0;
};

} // namespace quintara::link
