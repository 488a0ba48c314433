#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <optional>

namespace quintara::sim {

// The table-transfer side of a central unit: the identification handshake, tables received
// into its memory and served back in acknowledged blocks, and a Hayes-modem stand-in in front
// of it. Bytes come from the engine that owns it, answers go to that engine's output.
class TransferSide {
public:
    static constexpr int TableCount = 21;
    // The longest table the unit's memory holds.
    static constexpr int MaxTableSize = 10001;
    // A half-received block is given up after this long without a byte.
    static constexpr qint64 BlockTimeoutMs = 1000;
    // The quiet after the last block of a table received before it is acknowledged and kept.
    static constexpr qint64 SettleMs = 10;

    // Where the unit stays silent on purpose.
    enum class SilentStep {
        None,
        AccessCode,     // no "QBN" after the second access code
        Identification, // no answer to the identification
        Init,           // no final byte after the response
        Header,         // no echo of a table header
        Block,          // no acknowledgement of a block received, no block sent when serving
        EmptyBlock,     // no acknowledgement of the closing empty block
        Ending,         // no answer to the end byte
    };

    struct Config {
        quint8 key = 0xA5;           // the handshake key
        quint8 identification = 136; // model identification answered (136 = model 0)
        quint8 version = 33;         // V1
        quint8 minorVersion = 1;     // V2, not checked by the PC
        QByteArray name = "QBN";     // what the second access code is answered with
        bool modem = false;          // a modem line: no carrier until dialled
        qint64 dialMs = 3000;        // ATDT to carrier
        qint64 hangUpMs = 500;       // call-back code to the remote modem hanging up
        qint64 callBackMs = 4000;    // hang-up to the call-back's carrier
    };

    struct Faults {
        SilentStep silentAt = SilentStep::None;
        bool wrongHeaderEcho = false;      // echo every header one too high
        bool nak = false;                  // answer received blocks with a negative acknowledgement
        bool nakClosingBlock = false;      // the same for the empty block closing a table only
        bool corruptBlockChecksum = false; // served blocks carry a checksum one too high
        bool wrongEnding = false;          // refuse the end byte (a negative acknowledgement)
        bool modemSilent = false;          // the modem answers no command line
        bool endlessTable = false;         // serve full blocks forever
        // The next table received is kept with its byte at this offset (modulo its length)
        // one higher, though every block was acknowledged; then this clears itself.
        std::optional<int> corruptStoreAt;
    };

    struct Counters {
        int handshakes = 0;     // identifications completed with the right response
        int refusals = 0;       // responses refused as wrong
        int headers = 0;        // table headers seen
        int tablesReceived = 0; // tables stored into memory
        int tablesServed = 0;   // tables sent back completely
        int badBlocks = 0;      // blocks received with a wrong checksum
        int endings = 0;        // end bytes answered
    };

    explicit TransferSide(QByteArray &output, quint32 seed = 7);

    // Takes the byte when the transfer side or the modem owns the line now; false leaves it to
    // the frame protocol.
    bool receiveByte(quint8 byte, qint64 nowMs);
    // Lets time pass: block time-outs, modem dialling and call-back.
    void advanceTo(qint64 nowMs);

    // Whether the handshake has been passed and no end byte came since.
    bool connected() const { return m_state != State::Idle && m_state != State::Handshake; }
    bool carrier() const { return !m_config.modem || m_online; }

    Config &config() { return m_config; }
    Faults faults;
    const Counters &counters() const { return m_counters; }
    // The command lines the modem was given (the last hundred), without their line end.
    const QStringList &modemLines() const { return m_modemLines; }

    // The unit's memory tables (what was received, or loaded from a project).
    std::array<QByteArray, TableCount> tables;

private:
    enum class State {
        Idle,
        Handshake,     // inside the three handshake groups
        Connected,     // waiting for a header or the end byte
        ReceiveBlocks, // the PC sends a table
        Closing,       // its last block received, waiting for the line to stay quiet
        AwaitStart,    // header echoed, waiting for the PC's acknowledgement to start serving
        Serving,       // a block sent, waiting for its acknowledgement
    };

    void handshakeByte(quint8 byte);
    void connectedByte(quint8 byte);
    void receiveBlockByte(quint8 byte);
    void answerBlock(bool closing);
    void closeTable();
    void servingByte(quint8 byte);
    void serveBlock();
    void modemText(quint8 byte, qint64 nowMs);
    void modemLine(const QByteArray &line, qint64 nowMs);
    void send(quint8 byte);
    void send(const QByteArray &bytes);
    quint8 nextChallenge();

    QByteArray &m_output;
    Config m_config;
    Counters m_counters;
    State m_state = State::Idle;
    qint64 m_lastByteMs = 0;

    // Handshake.
    int m_stage = 0;    // 0: none, 1: first access code, 2: "QBN" sent, 3: challenge sent
    QByteArray m_group; // the current group after its escape byte
    quint8 m_challenge = 0;
    quint32 m_random;

    // Blocks.
    int m_table = 0;
    QByteArray m_building;       // the table being received
    QByteArray m_block;          // the block being received: header, data, checksum
    int m_blockNumber = 0;       // of the block being received, counted from 0 in its table
    bool m_closingEmpty = false; // the last block is the empty one after a full block
    int m_servePos = 0;
    int m_serveBlockNumber = 0;
    int m_lastServedCount = 0;
    bool m_servedLast = false;

    // Modem.
    bool m_online = false;
    QByteArray m_text;   // command text being typed
    QByteArray m_recent; // the last bytes heard on line, for the call-back code
    qint64 m_carrierOnAt = -1;
    qint64 m_carrierOffAt = -1;
    QStringList m_modemLines;
};

} // namespace quintara::sim
