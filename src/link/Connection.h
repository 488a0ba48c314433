#pragma once

#include "link/Frames.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace quintara::settings {
class ProfileFile;
}

namespace quintara::link {

class LinkLine;
class TransferProgress;

// A part of the link answers this while it waits for the line: advance it again when the wait
// has ended. Any other answer is the part's result, 0 or a link code.
inline constexpr int Pending = -1;

// What the unit answered where a step waited for something else.
struct UnexpectedAnswer {
    int reason = 0; // the code this answer names when it is the one the protocol defines for it
    QByteArray expected; // empty: the unit should have been silent
    QByteArray came;
    bool operator==(const UnexpectedAnswer &) const = default;
};

// What an attempt learns on its way, beyond its code.
struct AttemptNotes {
    // The wrong answer that ended the attempt, if one did.
    std::optional<UnexpectedAnswer> answer;
    // The last block of a table has left the line: the unit may hold the new table.
    bool unitMayHoldNew = false;

    // A step heard `came` where it waited for `expected`: the reason when the answer is the
    // one the protocol defines for it, else 669. The answer is kept for the message.
    int unexpected(int reason, bool defined, QByteArray expected, QByteArray came);
};

// The handshake key K both sides share: the unit's challenge C is answered with C XOR K,
// doubled (modulo 256) when that is 128 or more. The settings file may override it with
// "[Link] Key=<0..255>" (decimal, or hexadecimal with 0x) for units programmed with another.
inline constexpr quint8 DefaultHandshakeKey = 0xA5;
quint8 HandshakeKeyFromSettings(const settings::ProfileFile &file);
quint8 HandshakeResponse(quint8 challenge, quint8 key);

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

// The connection on an open port: the modem's dialling, the call-back and the identification
// handshake, as states that each end in a wait on the line.
class Connection {
public:
    Connection(LinkLine &line, TransferProgress &progress, AttemptNotes &notes)
        : m_line(line), m_progress(progress), m_notes(notes)
    {
    }

    int start(const LinkSetup &setup);
    // The wait of the state in force has ended with `waited` (0 or a link code).
    int resume(int waited);

private:
    enum class State {
        Settling,
        WakingModem,
        SendingInit,
        AfterInit,
        SendingDial,
        Dialling,
        AfterCarrier,
        CallBackHangUp,
        CallBackCarrier,
        AfterCallBack,
        SendingFirstAccess,
        AfterFirstAccess,
        SendingSecondAccess,
        Name,
        AfterWrongName,
        SendingIdentification,
        Identification,
        SendingResponse,
        Verdict,
    };
    int next(State state)
    {
        m_state = state;
        return Pending;
    }
    int settled();
    int dialled();
    int handshake();
    int nameByte(quint8 byte);
    int identificationByte(quint8 byte);
    int verdict(quint8 final);
    // An output wait of the connection, with a transfer timer of its own: dialling and a
    // call-back never eat into the time of a table.
    int sendThen(State state);

    LinkLine &m_line;
    TransferProgress &m_progress;
    AttemptNotes &m_notes;
    LinkSetup m_setup;
    State m_state = State::Settling;
    QByteArray m_name;
    std::array<quint8, 6> m_answer{};
    int m_answered = 0;
};

// The lines that program the modem at the central unit's side, in the order they are sent
// (each followed by line feed and carriage return), with the pause before its answer is read.
struct ModemCommand {
    QString text;
    int pauseMs = 100;
};
QList<ModemCommand> ModemProgrammingCommands(bool callBack, const QString &callBackNumber);

// Programming the unit's modem on an open port: each command, then its answer after the
// command's pause. Ends in 0, the failing wait's code, or 668 when an answer lacked "OK".
class ModemProgramming {
public:
    explicit ModemProgramming(LinkLine &line) : m_line(line) {}
    int start(const QList<ModemCommand> &commands);
    int resume(int waited);

private:
    enum class State { Waking, Sending, Answering };
    int sendCommand();

    LinkLine &m_line;
    QList<ModemCommand> m_commands;
    int m_next = 0;
    State m_state = State::Waking;
};

} // namespace quintara::link
