#include "tools/cli/TransferCommand.h"

#include "tools/cli/CommandLine.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Session.h"
#include "tools/cli/SignalStop.h"

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "link/PortLink.h"
#include "link/Transfer.h"
#include "link/Verify.h"
#include "platform/Files.h"
#include "platform/Prompter.h"
#include "settings/ProfileFile.h"
#include "tables/TableSet.h"

#include <QTextStream>

#include <cstdio>

namespace quintara::cli {

namespace {

constexpr int HowToSeeWhatItHoldsId = 2385;

void PrintError(const QString &text)
{
    std::fputs(text.toUtf8().append('\n').constData(), stderr);
    std::fflush(stderr);
}

// The line and the link of one transfer, set up as the dialog sets them before it starts.
class CommandLineLink {
public:
    CommandLineLink(Session &session, const TransferOptions &options)
        : m_strings(session.strings()), m_prompter(session.prompter()),
          m_profile(options.settingsFile), m_port(options.port, m_profile, session.strings()),
          m_link(m_port.link())
    {
        const project::ModemRec &modem = session.project().Modem;
        link::LinkSetup &setup = m_link.setup;
        setup.baudRate = options.baudRate.value_or(session.settings().baudRateInUse);
        setup.connectedWithModem = options.modem;
        setup.callBackNecessary = options.callBack;
        setup.initString = options.initString;
        setup.telephoneNumber = options.telephoneNumber.value_or(modem.TelephoneNumber.text());
        if (options.key)
            setup.handshakeKey = *options.key;
        m_link.observer.beep = [this] { m_prompter.beep(); };
        // Every step's text, but the percentages only in tens: a log, not a bar.
        m_link.observer.progress = [this](int percent, const QString &label) {
            const bool percentage = label.endsWith(QLatin1Char('%'));
            if (label == m_lastLabel || (percentage && percent / 10 == m_lastTen))
                return;
            PrintError(label);
            m_lastLabel = label;
            m_lastTen = percentage ? percent / 10 : -1;
        };
    }

    link::CentralLink &link() { return m_link; }
    link::Drive drive() { return m_port.drive(); }
    // What a job that failed has to say, as the window's boxes say it.
    void tell(const link::TransferOutcome &outcome)
    {
        for (int i = 0; i < outcome.beeps; ++i)
            m_prompter.beep();
        for (const platform::Notice &notice : outcome.notices)
            m_prompter.show(notice.text, notice.title, platform::Buttons::Ok, notice.icon);
    }

    // Writes the trace of the transfer when one was asked for. A trace that cannot be written
    // is said, but the exit status tells of the transfer.
    void saveTrace(const QString &path) const
    {
        QString error;
        if (!path.isEmpty() && !m_port.trace().save(path, m_strings, &error))
            PrintError(QStringLiteral("Trace %1: %2").arg(path, error));
    }

    // After a failed send: how to find out which table the unit holds, when it may hold the
    // new one. (The link's message has said why it failed, the port's reason included.)
    void adviseAfterFailedSend(Session &session)
    {
        if (m_link.outcome().unitMayHoldNew)
            PrintError(session.strings().GetResString(HowToSeeWhatItHoldsId));
    }

    // Ctrl-C and SIGTERM stop the transfer as Cancel does; the port closes on the way out.
    SignalStop &signalStop() { return m_signals; }

private:
    const settings::Strings &m_strings;
    platform::Prompter &m_prompter;
    settings::ProfileFile m_profile;
    link::PortLink m_port;
    link::CentralLink &m_link;
    SignalStop m_signals{[this] { m_link.RequestStop(); }};
    QString m_lastLabel;
    int m_lastTen = -1;
};

} // namespace

int RunSend(Session &session, const QString &clockFile, const TransferOptions &options,
            const platform::Clock &clock, QTextStream &out)
{
    if (!session.ReadClock(clockFile))
        return ExitFailed;

    CommandLineLink transfer(session, options);
    tables::TableSet tables;
    if (options.verify) {
        const link::VerifyOutcome outcome = link::SendAndVerifyClockTable(
            transfer.link(), transfer.drive(), tables, session.clockTable(), session.project(),
            clock, options.setTime);
        if (!outcome.verified() && outcome.result != link::VerifyOutcome::Result::Different)
            transfer.tell(transfer.link().outcome());
        transfer.saveTrace(options.traceFile);
        if (transfer.signalStop().caught())
            return transfer.signalStop().exitStatus();
        if (outcome.result == link::VerifyOutcome::Result::SendFailed)
            transfer.adviseAfterFailedSend(session);
        if (!outcome.verified()) {
            if (!outcome.message.isEmpty())
                PrintError(outcome.message);
            return ExitFailed;
        }
        out << outcome.message << '\n';
        return ExitOk;
    }
    const link::TransferOutcome result =
        link::SendClockTable(transfer.link(), transfer.drive(), tables, session.clockTable(),
                             session.project(), clock, options.setTime);
    transfer.tell(result);
    transfer.saveTrace(options.traceFile);
    if (transfer.signalStop().caught())
        return transfer.signalStop().exitStatus();
    if (!result.ok()) {
        transfer.adviseAfterFailedSend(session);
        return ExitFailed;
    }
    out << "Sent the clock table (" << tables[tables::TableSet::ClockSlot].Length << " bytes)\n";
    return ExitOk;
}

int RunReceive(Session &session, const QString &clockFile, const TransferOptions &options,
               const platform::Clock &clock, QTextStream &out)
{
    clock::ClockTable &table = session.clockTable();
    clock::ClearClockTable(table);
    clock::ApplyModel(table, session.project());
    table.ClockFileVersion = 1;
    table.ClockFileName = clockFile;

    CommandLineLink transfer(session, options);
    tables::TableSet tables;
    const link::TransferOutcome result = link::ReceiveClockTable(
        transfer.link(), transfer.drive(), tables, table, session.project(), clock);
    transfer.tell(result);
    transfer.saveTrace(options.traceFile);
    if (transfer.signalStop().caught())
        return transfer.signalStop().exitStatus();
    if (!result.ok())
        return ExitFailed;

    // A new file: nothing of an older one at that name survives, and a failed write leaves the
    // older one as it was. What lies there is looked at again: the transfer took a while.
    if (const std::optional<QString> refused = RefusedOutput(clockFile)) {
        PrintError(*refused);
        return ExitFailed;
    }
    const QByteArray image = clock::ClockFileImage(table);
    if (const auto failure = platform::WriteWholeFile(clockFile, image)) {
        session.prompter().tell(platform::SystemFailureNotice(platform::FileFailure(
            clockFile, settings::WriteFailureText(session.strings(), *failure))));
        return ExitFailed;
    }
    int lines = 0;
    for (const clock::ClockLine &line : table.Lines)
        lines += line.inUse() ? 1 : 0;
    out << "Received " << lines << " clock lines into " << clockFile << '\n';
    return ExitOk;
}

} // namespace quintara::cli
