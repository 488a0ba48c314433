#include "link/Connection.h"

#include "link/LinkLine.h"
#include "link/LinkTimings.h"
#include "link/SerialLine.h"
#include "link/TransferProgress.h"
#include "project/ProjectModel.h"
#include "settings/ProfileFile.h"

#include <utility>

namespace quintara::link {

namespace {

bool IsModelIdentification(quint8 byte)
{
    for (int model = 0; model < project::ModelCount; ++model) {
        if (ModelIdentification(model) == byte)
            return true;
    }
    return false;
}

} // namespace

int AttemptNotes::unexpected(int reason, bool defined, QByteArray expected, QByteArray came)
{
    answer = UnexpectedAnswer{reason, std::move(expected), std::move(came)};
    return defined ? reason : LinkCode::DamagedAnswer;
}

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

int Connection::start(const LinkSetup &setup)
{
    m_setup = setup;
    m_progress.show(0);
    m_line.step(QStringLiteral("modem"));
    // The fixed pauses end the attempt on a Cancel too: nothing more goes out after it.
    m_line.pause(Timing::SettleMs);
    return next(State::Settling);
}

int Connection::sendThen(State state)
{
    m_line.sent(Timing::TransferTimerMs);
    return next(state);
}

int Connection::resume(int waited)
{
    // Only the wait after a wrong name looks at how it ended: silence is what it hopes for.
    if (m_state == State::AfterWrongName) {
        if (waited == LinkCode::Stopped || LinkCode::IsLineFault(waited))
            return waited;
        return m_notes.unexpected(LinkCode::NoOrOldCentral, waited == LinkCode::InputTimedOut,
                                  "QBN", m_name);
    }
    if (waited != LinkCode::Ok)
        return waited;

    switch (m_state) {
    case State::Settling:
        return settled();
    case State::WakingModem:
        m_line.writeLine(m_setup.initString.trimmed());
        return sendThen(State::SendingInit);
    case State::SendingInit:
        m_line.pause(Timing::ModemCommandMs);
        return next(State::AfterInit);
    case State::AfterInit:
        m_line.writeLine(QStringLiteral("ATDT") + m_setup.telephoneNumber.trimmed());
        return sendThen(State::SendingDial);
    case State::SendingDial:
        m_line.carrier(true, Timing::CarrierMs, LinkCode::ModemConnected);
        return next(State::Dialling);
    case State::Dialling:
        m_line.pause(Timing::SettleMs);
        return next(State::AfterCarrier);
    case State::AfterCarrier:
        return dialled();
    case State::CallBackHangUp:
        m_line.carrier(true, Timing::CarrierMs, LinkCode::ModemConnected);
        return next(State::CallBackCarrier);
    case State::CallBackCarrier:
        m_line.pause(Timing::SettleMs);
        return next(State::AfterCallBack);
    case State::AfterCallBack:
        return handshake();
    case State::SendingFirstAccess:
        m_line.pause(Timing::SettleMs);
        return next(State::AfterFirstAccess);
    case State::AfterFirstAccess:
        m_progress.show(2);
        m_line.write(HandshakeFrame::SecondAccess());
        return sendThen(State::SendingSecondAccess);
    case State::SendingSecondAccess:
        m_name.clear();
        m_line.byte(Timing::NameByteMs, LinkCode::NoAnswer);
        return next(State::Name);
    case State::Name:
        return nameByte(m_line.lastByte());
    case State::AfterWrongName:
        break;
    case State::SendingIdentification:
        m_progress.show(4);
        m_answered = 0;
        m_line.byte(Timing::IdentificationAnswerMs[0], LinkCode::NoAnswer);
        return next(State::Identification);
    case State::Identification:
        return identificationByte(m_line.lastByte());
    case State::SendingResponse:
        m_line.byte(Timing::InitVerdictMs, LinkCode::NoInit);
        return next(State::Verdict);
    case State::Verdict:
        return verdict(m_line.lastByte());
    }
    return LinkCode::CommunicationProblem;
}

int Connection::settled()
{
    m_line.clear();
    m_progress.show(1);
    if (m_setup.connectedWithModem && !m_line.serial().carrierDetect()) {
        m_line.writeLine({});
        m_line.pause(Timing::ModemCommandMs);
        return next(State::WakingModem);
    }
    m_line.pause(Timing::SettleMs);
    return next(State::AfterCarrier);
}

int Connection::dialled()
{
    if (!m_setup.callBackNecessary || !m_setup.connectedWithModem)
        return handshake();
    m_line.write(FirstAccessCode.toLatin1());
    m_line.write(LinkByte::CarriageReturn);
    // The remote modem hangs up, then calls back and the local one answers.
    m_line.carrier(false, Timing::HangUpMs, LinkCode::ModemConnected);
    return next(State::CallBackHangUp);
}

int Connection::handshake()
{
    m_line.clear();
    m_line.step(QStringLiteral("handshake"));
    m_line.write(HandshakeFrame::FirstAccess());
    return sendThen(State::SendingFirstAccess);
}

int Connection::nameByte(quint8 byte)
{
    m_name.append(static_cast<char>(byte));
    if (m_name.size() < 3) {
        m_line.byte(Timing::NameByteMs, LinkCode::NoAnswer);
        return Pending;
    }
    if (m_name != "QBN") {
        // The unit adds nothing until it is spoken to: more bytes mean one of these came twice.
        m_line.input(Timing::QuietMs);
        return next(State::AfterWrongName);
    }
    m_progress.show(3);
    m_line.write(HandshakeFrame::Identification(ModelIdentification(m_setup.modelIndex)));
    return sendThen(State::SendingIdentification);
}

int Connection::identificationByte(quint8 byte)
{
    m_answer[static_cast<std::size_t>(m_answered++)] = byte;
    if (m_answered < static_cast<int>(m_answer.size())) {
        m_line.byte(Timing::IdentificationAnswerMs[m_answered], LinkCode::NoAnswer);
        return Pending;
    }
    m_line.write(HandshakeResponse(m_answer[5], m_setup.handshakeKey));
    return sendThen(State::SendingResponse);
}

int Connection::verdict(quint8 final)
{
    const quint8 identification = ModelIdentification(m_setup.modelIndex);
    // The unit took the response, so the challenge, and the bytes before it, came where they
    // belong: a byte lost or repeated on the way would have shifted it.
    const bool inStep = final == LinkByte::Ack && !m_line.strayInput();
    if (m_answer[0] != identification || m_answer[1] != identification) {
        const bool otherModel =
            m_answer[0] == m_answer[1] && IsModelIdentification(m_answer[0]) && inStep;
        return m_notes.unexpected(LinkCode::WrongCentral, otherModel,
                                  OneByte(identification) + OneByte(identification),
                                  OneByte(m_answer[0]) + OneByte(m_answer[1]));
    }
    if (m_answer[2] != LinkByte::Version)
        return m_notes.unexpected(LinkCode::SoftwareIncompatible, inStep,
                                  OneByte(LinkByte::Version), OneByte(m_answer[2]));
    if (final != LinkByte::Ack)
        return m_notes.unexpected(LinkCode::WrongInit,
                                  final == LinkByte::InitRefused && !m_line.strayInput(),
                                  OneByte(LinkByte::Ack), OneByte(final));
    return LinkCode::Ok;
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

int ModemProgramming::start(const QList<ModemCommand> &commands)
{
    m_commands = commands;
    m_next = 0;
    m_line.step(QStringLiteral("modem"));
    m_line.restartTransferTimer();
    m_line.clear();
    m_line.writeLine({});
    m_line.pause(Timing::ModemCommandMs);
    m_state = State::Waking;
    return Pending;
}

int ModemProgramming::sendCommand()
{
    if (m_next == m_commands.size())
        return LinkCode::Ok;
    m_line.writeLine(m_commands[m_next].text);
    m_line.sent();
    m_state = State::Sending;
    return Pending;
}

int ModemProgramming::resume(int waited)
{
    if (waited != LinkCode::Ok)
        return waited;
    switch (m_state) {
    case State::Waking:
        m_line.clear();
        return sendCommand();
    case State::Sending:
        m_line.pause(m_commands[m_next].pauseMs);
        m_state = State::Answering;
        return Pending;
    case State::Answering:
        if (!m_line.readWaiting().contains("OK"))
            return LinkCode::ModemConnected;
        ++m_next;
        return sendCommand();
    }
    return LinkCode::CommunicationProblem;
}

} // namespace quintara::link
