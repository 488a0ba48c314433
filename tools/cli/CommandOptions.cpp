#include "tools/cli/CommandOptions.h"

#include "clock/ClockLine.h"
#include "link/PortDevice.h"
#include "platform/Files.h"
#include "project/ProjectModel.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quintara::cli::args {

namespace {

// Digits, with a sign or not: meant as a port number, never as a device in the current folder.
bool LooksLikeNumber(const QString &text)
{
    const QStringView digits =
        text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))
            ? QStringView(text).mid(1)
            : QStringView(text);
    return !digits.isEmpty() &&
           std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); });
}

// The trace is written after the transfer; a file that could not be is said before the line
// is touched.
std::optional<QString> RefusedTrace(const QString &path)
{
    const QFileInfo file(path);
    switch (platform::KindOfPath(path)) {
    case platform::PathKind::Other:
        return QStringLiteral("--trace %1 is not a regular file").arg(path);
    case platform::PathKind::Missing:
        if (!file.absoluteDir().exists())
            return QStringLiteral("--trace %1: its folder does not exist").arg(path);
        if (!QFileInfo(file.absolutePath()).isWritable())
            return QStringLiteral("--trace %1: its folder is not writable").arg(path);
        return std::nullopt;
    case platform::PathKind::RegularFile:
    case platform::PathKind::LinkedFile:
        if (!file.isWritable())
            return QStringLiteral("--trace %1 is not writable").arg(path);
        return std::nullopt;
    }
    return std::nullopt;
}

const QString FunctionMistake =
    QStringLiteral("--function takes TYPE:NUMBER, a type 1..255 and a number 0..255");

// A function reference as --function takes it: type and number.
std::optional<std::pair<int, int>> FunctionFrom(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    const auto type = IntegerIn(parts.value(0), 1, 255);
    const auto number = IntegerIn(parts.value(1), 0, 255);
    if (parts.size() != 2 || !type || !number)
        return std::nullopt;
    return std::pair{*type, *number};
}

// "HH:MM-HH:MM", or nothing.
std::optional<plan::TimeWindow> WindowFrom(const QString &text)
{
    const QStringList times = text.split(QLatin1Char('-'));
    const QTime first = QTime::fromString(times.value(0), QStringLiteral("HH:mm"));
    const QTime last = QTime::fromString(times.value(1), QStringLiteral("HH:mm"));
    if (times.size() != 2 || !first.isValid() || !last.isValid())
        return std::nullopt;
    return plan::TimeWindow::of(first, last);
}

} // namespace

std::optional<int> IntegerIn(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

QDate IsoDate(const QString &text)
{
    return QDate::fromString(text, Qt::ISODate);
}

ParsedCommandLine Mistake(const QString &text)
{
    return {std::nullopt,
            QStringLiteral("quintara-cli: %1\nTry 'quintara-cli --help'.\n").arg(text), ExitUsage};
}

ParsedCommandLine Unwritable(const QString &text)
{
    return {std::nullopt, QStringLiteral("quintara-cli: %1\n").arg(text), ExitFailed};
}

// Fills the agenda's range and filters; the mistake when there is one.
std::optional<QString> ParseAgenda(const CommandParser &in, const Options &options,
                                   Invocation &invocation)
{
    AgendaOptions &agenda = invocation.agenda;
    if (!in.given(options.from) || !in.given(options.to))
        return QStringLiteral("'agenda' needs --from YYYY-MM-DD and --to YYYY-MM-DD");
    agenda.from = IsoDate(in.value(options.from));
    agenda.to = IsoDate(in.value(options.to));
    if (!agenda.from.isValid() || !agenda.to.isValid())
        return QStringLiteral("--from and --to take dates, YYYY-MM-DD");
    if (agenda.to < agenda.from)
        return QStringLiteral("--to lies before --from");
    if (in.given(options.table)) {
        agenda.table = IntegerIn(in.value(options.table), 0, clock::TableKindCount - 1);
        if (!agenda.table)
            return QStringLiteral("--table takes 0 to 4");
    }
    if (in.given(options.function)) {
        agenda.function = FunctionFrom(in.value(options.function));
        if (!agenda.function)
            return FunctionMistake;
    }
    return std::nullopt;
}

// The country and the years of holidays; the mistake when there is one. The years the
// central unit holds are checked when the command runs, against its now.
std::optional<QString> ParseHolidays(const CommandParser &in, const Options &options,
                                     Invocation &invocation)
{
    if (!in.given(options.country) || !in.given(options.fromYear) || !in.given(options.toYear))
        return QStringLiteral("'holidays' needs --country CC, --from YYYY and --to YYYY");
    const std::optional<plan::Country> country = plan::CountryFromCode(in.value(options.country));
    if (!country)
        return QStringLiteral("unknown country '%1': NL, BE, LU, DE, AT, CH, FR, GB, IE, ES, IT "
                              "or PT")
            .arg(in.value(options.country));
    const auto from = IntegerIn(in.value(options.fromYear), 1, 9999);
    const auto to = IntegerIn(in.value(options.toYear), 1, 9999);
    if (!from || !to)
        return QStringLiteral("--from and --to take years, YYYY");
    if (*to < *from)
        return QStringLiteral("--to lies before --from");
    invocation.holidays = {*country, *from, *to};
    return std::nullopt;
}

// The place, the days and the zone of sun; the mistake when there is one. Ranges the
// equations are not kept for are refused when the command runs.
std::optional<QString> ParseSun(const CommandParser &in, const Options &options,
                                Invocation &invocation)
{
    if (!in.given(options.latitude) || !in.given(options.longitude) || !in.given(options.from) ||
        !in.given(options.to))
        return QStringLiteral("'sun' needs --lat, --lon, --from YYYY-MM-DD and --to YYYY-MM-DD");
    bool latitudeRead = false;
    bool longitudeRead = false;
    const double latitude = in.value(options.latitude).toDouble(&latitudeRead);
    const double longitude = in.value(options.longitude).toDouble(&longitudeRead);
    if (!latitudeRead || !longitudeRead)
        return QStringLiteral("--lat and --lon take decimal degrees, as --lat 52.37 --lon 4.89");
    const plan::LocationOutcome location = plan::Location::make(latitude, longitude);
    if (const auto *refusal = std::get_if<plan::LocationRefusal>(&location))
        return refusal->text;
    SunOptions &sun = invocation.sun;
    sun.location = std::get<plan::Location>(location);
    sun.from = IsoDate(in.value(options.from));
    sun.to = IsoDate(in.value(options.to));
    if (!sun.from.isValid() || !sun.to.isValid())
        return QStringLiteral("--from and --to take dates, YYYY-MM-DD");
    if (sun.to < sun.from)
        return QStringLiteral("--to lies before --from");
    sun.zone = QTimeZone::systemTimeZone();
    if (in.given(options.zone)) {
        sun.zone = QTimeZone(in.value(options.zone).toUtf8());
        if (!sun.zone.isValid())
            return QStringLiteral("unknown time zone '%1': a name such as Europe/Amsterdam")
                .arg(in.value(options.zone));
    }
    return std::nullopt;
}

Refusal ParsePrint(const CommandParser &in, const Options &options, Invocation &invocation)
{
    if (!in.given(options.output) || in.value(options.output).isEmpty())
        return Mistake(QStringLiteral("'print' needs -o OUT.pdf"));
    invocation.pdfFile = in.value(options.output);
    if (const std::optional<QString> refused = RefusedOutput(invocation.pdfFile))
        return Unwritable(*refused);
    if (in.given(options.agendaWeeks)) {
        const auto weeks = IntegerIn(in.value(options.agendaWeeks), 0, 53);
        if (!weeks)
            return Mistake(QStringLiteral("--agenda-weeks takes 0 to 53"));
        invocation.agendaWeeks = *weeks;
    }
    return std::nullopt;
}

// The days off and the file written by plan holidays; the mistake when there is one.
Refusal ParsePlan(const CommandParser &in, const Options &options, Invocation &invocation)
{
    PlanOptions &plan = invocation.plan;
    if (!in.given(options.country) || !invocation.projectFile || !in.given(options.output) ||
        in.value(options.output).isEmpty())
        return Mistake(
            QStringLiteral("'plan holidays' needs --country CC, --project FILE.nbt and -o OUT.clk"));
    const std::optional<plan::Country> country = plan::CountryFromCode(in.value(options.country));
    if (!country)
        return Mistake(QStringLiteral("unknown country '%1': NL, BE, LU, DE, AT, CH, FR, GB, IE, "
                                      "ES, IT or PT")
                           .arg(in.value(options.country)));
    plan.country = *country;
    if (in.given(options.regime)) {
        const auto regime = IntegerIn(in.value(options.regime), 0, clock::Regime::Count - 1);
        if (!regime)
            return Mistake(QStringLiteral("--regime takes 0 to 5"));
        plan.regime = *regime;
    }
    for (const QString &text : in.values(options.vacation)) {
        const QStringList days = text.split(QStringLiteral(".."));
        const QDate first = IsoDate(days.value(0));
        const QDate last = IsoDate(days.value(1));
        if (days.size() != 2 || !first.isValid() || !last.isValid())
            return Mistake(QStringLiteral("--vacation takes YYYY-MM-DD..YYYY-MM-DD"));
        if (last < first)
            return Mistake(QStringLiteral("--vacation %1 ends before it begins").arg(text));
        plan.vacations.append({first, last});
    }
    plan.keepEarlierVacations = !in.given(options.dropVacations);
    plan.icsFiles = in.values(options.ics);
    plan.leaveOut = in.values(options.leaveOut);
    plan.output = in.value(options.output);
    if (const std::optional<QString> refused = RefusedOutput(plan.output))
        return Unwritable(*refused);
    return std::nullopt;
}

// The functions, windows and seed of plan simulation; the mistake when there is one. Whether
// they make a simulation is the planner's to say.
Refusal ParseSimulation(const CommandParser &in, const Options &options, Invocation &invocation)
{
    SimulationOptions &simulation = invocation.simulation;
    if (!in.given(options.simulated) || !in.given(options.evening) || !invocation.projectFile ||
        !in.given(options.output) || in.value(options.output).isEmpty())
        return Mistake(QStringLiteral("'plan simulation' needs --function TYPE:NUMBER, --evening "
                                      "HH:MM-HH:MM, --project FILE.nbt and -o OUT.clk"));
    for (const QString &text : in.values(options.simulated)) {
        const std::optional<std::pair<int, int>> function = FunctionFrom(text);
        if (!function)
            return Mistake(FunctionMistake);
        if (!plan::SuitsSimulation(function->first))
            return Mistake(QStringLiteral("--function %1: only lights (type 1 relay, 2 dimmer) "
                                          "and blinds (55) are switched")
                               .arg(text));
        simulation.functions.append(*function);
    }
    const std::optional<plan::TimeWindow> evening = WindowFrom(in.value(options.evening));
    if (!evening)
        return Mistake(QStringLiteral("--evening takes HH:MM-HH:MM"));
    simulation.evening = *evening;
    if (in.given(options.morning)) {
        simulation.morning = WindowFrom(in.value(options.morning));
        if (!simulation.morning)
            return Mistake(QStringLiteral("--morning takes HH:MM-HH:MM"));
    }
    constexpr int MinutesInDay = 24 * 60;
    if (in.given(options.switchings)) {
        const auto switchings = IntegerIn(in.value(options.switchings), 0, MinutesInDay);
        if (!switchings)
            return Mistake(QStringLiteral("--switchings takes a number of switch-ons"));
        simulation.switchings = *switchings;
    }
    if (in.given(options.onTime)) {
        const QStringList minutes = in.value(options.onTime).split(QLatin1Char('-'));
        const auto shortest = IntegerIn(minutes.value(0), 0, MinutesInDay);
        const auto longest = IntegerIn(minutes.value(1), 0, MinutesInDay);
        if (minutes.size() != 2 || !shortest || !longest)
            return Mistake(QStringLiteral("--on-time takes MIN-MAX, in minutes"));
        simulation.minOnMinutes = *shortest;
        simulation.maxOnMinutes = *longest;
    }
    if (in.given(options.seed)) {
        bool read = false;
        const quint32 seed = in.value(options.seed).toUInt(&read);
        if (!read)
            return Mistake(QStringLiteral("--seed takes a number 0 to 4294967295"));
        simulation.seed = seed;
    }
    simulation.output = in.value(options.output);
    if (const std::optional<QString> refused = RefusedOutput(simulation.output))
        return Unwritable(*refused);
    return std::nullopt;
}

// The line, the modem and the extras of send and receive; the mistake when there is one.
std::optional<QString> ParseTransfer(const CommandParser &in, const Options &options,
                                     const QString &name, Invocation &invocation)
{
    TransferOptions &link = invocation.transfer;
    if (!in.given(options.port) || in.value(options.port).isEmpty())
        return QStringLiteral("'%1' needs --port N|DEVICE").arg(name);
    link.port = in.value(options.port);
    if (LooksLikeNumber(link.port) && !IntegerIn(link.port, 1, quintara::link::MaxPortNumber))
        return QStringLiteral("--port takes a port number 1 to %1 or a device")
            .arg(quintara::link::MaxPortNumber);
    if (in.given(options.baud)) {
        const auto baud = IntegerIn(in.value(options.baud), 1, 4000000);
        if (!baud)
            return QStringLiteral("--baud takes a baud rate");
        link.baudRate = *baud;
    }
    if (in.given(options.key)) {
        const auto key = IntegerIn(in.value(options.key), 0, 255);
        if (!key)
            return QStringLiteral("--key takes a decimal number 0 to 255");
        link.key = static_cast<quint8>(*key);
    }
    link.modem = in.given(options.modem);
    link.callBack = in.given(options.callBack);
    // The window derives the init string from the project's modem type; here it is given.
    if (link.modem && !in.given(options.init))
        return QStringLiteral("--modem needs --init TEXT, the modem's init string");
    link.initString = in.value(options.init);
    if (in.given(options.phone))
        link.telephoneNumber = in.value(options.phone);
    link.settingsFile = in.given(options.settingsFile) ? in.value(options.settingsFile)
                                                       : settings::DefaultSettingsPath();
    if (platform::KindOfPath(link.settingsFile) == platform::PathKind::Other)
        return QStringLiteral("--settings %1 is not a regular file").arg(link.settingsFile);
    link.setTime = in.given(options.setTime);
    link.verify = in.given(options.verify);
    if (in.given(options.trace)) {
        if (in.value(options.trace).isEmpty())
            return QStringLiteral("--trace needs a file name");
        link.traceFile = in.value(options.trace);
        if (const std::optional<QString> refused = RefusedTrace(link.traceFile))
            return *refused;
    }
    if (in.given(options.model)) {
        if (invocation.projectFile)
            return QStringLiteral("--model is for a receive without --project");
        const auto model = IntegerIn(in.value(options.model), 0, project::ModelCount - 1);
        if (!model)
            return QStringLiteral("--model takes 0 to 4");
        invocation.model = *model;
    }
    return std::nullopt;
}

} // namespace quintara::cli::args
