#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QtGlobal>

#include "tools/central-sim/LineFault.h"
#include "tools/central-sim/TransferSide.h"

#include <array>
#include <optional>

namespace quintara::sim {

// A QBN central unit as the PC sees it over the serial line: bytes in, bytes out, time given
// by the caller. The same engine serves the pseudo-terminal simulator and in-process tests.
//
// Bytes outside a frame go to the transfer side (handshake, tables, modem stand-in) first.
class CentralUnit {
public:
    // A frame that stops arriving is dropped after this long without a byte.
    static constexpr qint64 FrameTimeoutMs = 1000;

    struct Faults {
        // Every frame sent carries a checksum one too high.
        bool corruptChecksum = false;
        // Nothing at all is sent.
        bool silence = false;
        // A few bytes of line noise (never the start byte) go out before every frame.
        bool noise = false;
    };

    struct Counters {
        int frames = 0;        // complete frames received, good or bad
        int badChecksums = 0;  // of which with a wrong checksum
        int droppedFrames = 0; // incomplete frames dropped on time-out
    };

    explicit CentralUnit(quint32 noiseSeed = 1) : m_noiseState(noiseSeed | 1u) {}
    CentralUnit(const CentralUnit &) = delete;
    CentralUnit &operator=(const CentralUnit &) = delete;

    // Bytes that arrived from the PC at nowMs (monotonic milliseconds).
    void receive(QByteArrayView bytes, qint64 nowMs);
    // Lets time pass without input.
    void advanceTo(qint64 nowMs);

    // What the unit has sent since the last call.
    QByteArray takeOutput();
    bool hasOutput() const { return !m_output.isEmpty(); }

    // State of an output, mood, flag... by function kind and number, as a raw byte.
    quint8 state(quint8 kind, quint8 number) const;
    void setState(quint8 kind, quint8 number, quint8 value);

    // Reports the unit sends on its own.
    void sendKeyReport(quint8 panel, quint8 key, quint8 extra = 0);
    void sendSensorReport(quint8 kind, quint8 number, quint8 raw);
    void sendStateReport(quint8 kind, quint8 number); // the state it holds
    // Any frame around the given data bytes (at most 253).
    void sendFrame(QByteArrayView data);
    // Bytes as they are, outside any frame.
    void sendRaw(QByteArrayView bytes);

    Faults faults;
    // Damage on the line: what the PC sends before the unit hears it, and what the unit sends
    // before it leaves. The n-th byte counts from each completed handshake.
    LineFault lineIn{17};
    LineFault lineOut{23};
    const Counters &counters() const { return m_counters; }

    // The table-transfer side: its memory tables, configuration, faults and counters.
    TransferSide &transfer() { return m_transfer; }
    const TransferSide &transfer() const { return m_transfer; }

    // Status codes of the replies.
    static constexpr quint8 StatusOk = 0;
    static constexpr quint8 StatusBadChecksum = 1;
    static constexpr quint8 StatusBadCommand = 2;
    static constexpr quint8 StatusBadLength = 3;
    static constexpr quint8 StatusLevelOutOfRange = 7;
    static constexpr quint8 StatusLoadNotAvailable = 10;

private:
    void receiveByte(quint8 byte);
    void handleFrame(int size);
    void handleMessage(const quint8 *data, int count);
    quint8 handleSet(quint8 kind, quint8 number, quint8 value);
    void handleGet(quint8 kind, quint8 number);
    void sendStatus(quint8 code);
    quint8 nextNoiseByte();

    static int key(quint8 kind, quint8 number) { return kind * 256 + number; }

    std::array<quint8, 256> m_frame{};
    int m_received = 0;
    bool m_receiving = false;
    qint64 m_lastByteMs = 0;

    QHash<int, quint8> m_states;
    QByteArray m_output;
    Counters m_counters;
    quint32 m_noiseState;
    int m_handshakesSeen = 0;
    // Where in the output the count of lineOut starts again; none when -1.
    qsizetype m_outputRestartAt = -1;
    TransferSide m_transfer{m_output};
};

} // namespace quintara::sim
