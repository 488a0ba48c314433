#include "book/LinkWork.h"

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "link/PortLink.h"
#include "link/Transfer.h"
#include "link/Verify.h"
#include "platform/Clock.h"
#include "project/ProjectFileReader.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"

#include <QStringList>

namespace quintara::book {

namespace {

WorkResult Refused(const QString &why)
{
    WorkResult result;
    result.outcome = -1;
    result.message = why;
    return result;
}

QString NoticesText(const platform::Notices &notices)
{
    QStringList texts;
    for (const platform::Notice &notice : notices)
        texts << notice.text;
    return texts.join(QLatin1Char('\n'));
}

// The table a transfer starts from: the one to send, or an empty one for the project's model to
// receive into; why not when the one to send cannot be read.
std::optional<QString> StartingTable(clock::ClockTable &table, bool sending,
                                     const QByteArray &clockImage,
                                     const project::ProjectModel &model)
{
    if (sending) {
        const clock::ClockFileResult parsed = clock::ReadClockImage(table, clockImage);
        if (!parsed.done())
            return NoticesText(parsed.notices);
        return std::nullopt;
    }
    clock::ApplyModel(table, model);
    table.ClockFileVersion = 1;
    return std::nullopt;
}

// The site's own way to its unit; the project's baud rate when the site names none.
void SetUp(link::LinkSetup &setup, const SiteConnection &connection, qint32 projectBaudRate)
{
    setup.baudRate = connection.baudRate > 0 ? connection.baudRate : projectBaudRate;
    setup.connectedWithModem = connection.modem;
    setup.callBackNecessary = connection.callBack;
    setup.initString = connection.initString;
    setup.telephoneNumber = connection.telephoneNumber;
}

// What one exchange over the line came to: the result to report and the version to keep (its
// table empty when there is none).
struct Exchanged {
    WorkResult result;
    TableVersion version;
};

Exchanged Exchange(BatchKind kind, link::CentralLink &link, const link::Drive &drive,
                   clock::ClockTable &table, project::ProjectModel &model,
                   const platform::Clock &clock, const QByteArray &clockImage)
{
    Exchanged done;
    WorkResult &result = done.result;
    TableVersion &version = done.version;
    tables::TableSet tables;
    if (kind == BatchKind::SendVerify) {
        const link::VerifyOutcome verify =
            link::SendAndVerifyClockTable(link, drive, tables, table, model, clock, false);
        result.ok = verify.verified();
        result.outcome = link.outcome().status;
        result.message = verify.message.isEmpty() ? link.FailureMessage() : verify.message;
        if (verify.result == link::VerifyOutcome::Result::Different) {
            version.event = VersionEvent::VerifyFailed;
            version.detail = LineNumbers(verify.differences.lines);
        } else {
            version.event = result.ok ? VersionEvent::Verified : VersionEvent::Sent;
        }
        version.clockImage = clockImage;
    } else if (kind == BatchKind::Send) {
        const link::TransferOutcome sent =
            link::SendClockTable(link, drive, tables, table, model, clock, false);
        result.ok = sent.ok();
        result.outcome = sent.status;
        result.message = result.ok ? QStringLiteral("Sent") : link.FailureMessage();
        version.event = VersionEvent::Sent;
        version.clockImage = clockImage;
    } else {
        const link::TransferOutcome received =
            link::ReceiveClockTable(link, drive, tables, table, model, clock);
        result.ok = received.ok();
        result.outcome = received.status;
        result.message = result.ok ? QStringLiteral("Received") : link.FailureMessage();
        version.event = VersionEvent::Received;
        if (result.ok)
            version.clockImage = clock::ClockFileImage(table);
    }
    return done;
}

} // namespace

QString LineNumbers(const QList<int> &indexes)
{
    QStringList numbers;
    for (const int index : indexes)
        numbers << QString::number(index + 1);
    return numbers.join(QStringLiteral(", "));
}

LinkWork::LinkWork(const settings::Strings &strings, const platform::Clock &clock,
                   ProblemCounter countProblems, QString settingsFile)
    : m_strings(strings), m_clock(clock), m_countProblems(std::move(countProblems)),
      m_settingsFile(std::move(settingsFile))
{
}

void LinkWork::requestStop()
{
    m_stopped = true;
    if (m_stopLink)
        m_stopLink();
}

WorkResult LinkWork::run(BatchKind kind, const Site &site, const QByteArray &projectFile,
                         const QByteArray &clockImage)
{
    if (kind != BatchKind::Check)
        return transfer(kind, site, projectFile, clockImage);
    if (clockImage.isEmpty())
        return Refused(QStringLiteral("The site has no clock table yet."));
    WorkResult result;
    result.ok = true;
    result.problems = m_countProblems(projectFile, clockImage);
    result.message = QStringLiteral("%1 problem(s)").arg(*result.problems);
    return result;
}

WorkResult LinkWork::transfer(BatchKind kind, const Site &site, const QByteArray &projectFile,
                              const QByteArray &clockImage)
{
    if (m_stopped)
        return Refused(QStringLiteral("Cancelled."));
    const SiteConnection &connection = site.connection;
    if (connection.port.isEmpty())
        return Refused(QStringLiteral("The site has no port: set one first."));
    if (projectFile.isEmpty())
        return Refused(QStringLiteral("The site has no project file."));
    const bool sending = kind == BatchKind::Send || kind == BatchKind::SendVerify;
    if (sending && clockImage.isEmpty())
        return Refused(QStringLiteral("The site has no clock table to send."));

    const settings::Settings settings;
    project::ProjectRead read = project::ReadProjectData(projectFile, settings, m_strings);
    if (!read.read())
        return Refused(NoticesText(read.notices));
    project::ProjectModel &model = *read.model;
    clock::ClockTable table;
    if (const std::optional<QString> unreadable =
            StartingTable(table, sending, clockImage, model))
        return Refused(*unreadable);

    const settings::ProfileFile profile(m_settingsFile);
    link::PortLink onPort(connection.port, profile, m_strings);
    link::CentralLink &link = onPort.link();
    SetUp(link.setup, connection, read.baudRate);
    link.observer.progress = [this](int, const QString &label) {
        if (progressText)
            progressText(label);
    };
    m_stopLink = [&link] { link.RequestStop(); };
    auto [result, version] =
        Exchange(kind, link, onPort.drive(), table, model, m_clock, clockImage);
    m_stopLink = nullptr;
    // A batch's report names the way to the unit beside why it failed.
    if (!result.ok)
        result.message = QStringLiteral("%1: %2").arg(connection.port, result.message);
    // A receive that failed brought no table; every send is kept with what it came to.
    if (!version.clockImage.isEmpty()) {
        version.time = m_clock.now().toUTC();
        version.user = CurrentUserName();
        version.outcome = result.outcome;
        version.trace = onPort.trace().text();
        version.problems = m_countProblems(projectFile, version.clockImage);
        result.version = std::move(version);
    }
    return result;
}

} // namespace quintara::book
