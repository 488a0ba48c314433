#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "platform/Clock.h"
#include "presentation/WeekViewModel.h"

#include <QJsonArray>

#include <vector>

namespace quintara::cli {

namespace {

QString DateText(const clock::Moment &moment)
{
    return moment.date().toString(Qt::ISODate);
}

QString TimeText(const clock::Moment &moment)
{
    return QStringLiteral("%1:%2")
        .arg(moment.hour(), 2, 10, QLatin1Char('0'))
        .arg(moment.minute(), 2, 10, QLatin1Char('0'));
}

QJsonObject OccurrenceJson(const ui::WeekOccurrence &entry)
{
    const clock::Occurrence &o = entry.occurrence;
    return QJsonObject{
        {QStringLiteral("date"), DateText(o.moment)},
        {QStringLiteral("time"), TimeText(o.moment)},
        {QStringLiteral("row"), o.row},
        {QStringLiteral("x"), entry.x},
        {QStringLiteral("reference"), entry.reference},
        {QStringLiteral("marker"), entry.marker},
    };
}

} // namespace

int RunWeek(Session &session, const QString &clockFile, std::optional<QDate> monday,
            const platform::Clock &clock, const OutputOptions &output, QTextStream &out)
{
    if (!session.ReadClock(clockFile))
        return ExitFailed;
    clock::ClockTable &table = session.clockTable();

    // As every repaint of the week view does before it draws.
    const QDate today = clock.now().date();
    clock::CheckDates(table, today);
    const QDate firstShownDay = monday.value_or(clock::MondayOf(today));
    const clock::WorkdayFlagSet workdays = session.workdays();

    QJsonArray jsonLines;
    if (!output.json)
        out << "Week of Monday " << firstShownDay.toString(Qt::ISODate) << " (today "
            << today.toString(Qt::ISODate) << ")\n";
    for (int i = 0; i < table.usableLines(); ++i) {
        const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
        if (!line.inUse())
            continue;
        // What the week view places and hit-tests for the line, its markers flagged.
        const std::vector<ui::WeekOccurrence> occurrences =
            ui::LineOccurrences(line, firstShownDay, workdays, clock::YearWindow::around(today));

        if (output.json) {
            QJsonArray list;
            for (const ui::WeekOccurrence &entry : occurrences)
                list.append(OccurrenceJson(entry));
            jsonLines.append(
                QJsonObject{{QStringLiteral("index"), i}, {QStringLiteral("occurrences"), list}});
            continue;
        }

        out << "line " << i;
        if (session.hasProject())
            out << ": " << session.functionText(line) << "  " << session.levelText(line);
        out << '\n';
        for (const ui::WeekOccurrence &entry : occurrences) {
            const clock::Occurrence &o = entry.occurrence;
            out << "  " << DateText(o.moment) << ' ' << TimeText(o.moment) << "  row " << o.row
                << "  x " << QString::number(entry.x, 'f', 2).rightJustified(6);
            if (entry.reference)
                out << "  reference";
            if (!entry.marker)
                out << "  (no marker)";
            out << '\n';
        }
    }

    if (output.json)
        WriteJson(out, QJsonObject{{QStringLiteral("monday"), firstShownDay.toString(Qt::ISODate)},
                                   {QStringLiteral("lines"), jsonLines}});
    return ExitOk;
}

} // namespace quintara::cli
