#include "presentation/HealthText.h"

#include "clock/ClockTable.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <QSet>

namespace quintara::ui {

namespace {

namespace Text = settings::TextId::Health;

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The date bytes as they stand, the year read with the two-digit window where it can be.
QString storedDate(const clock::ClockLine &line, clock::YearWindow years)
{
    const int year = years.fullYear(line.Year);
    return QStringLiteral("%1-%2-%3")
        .arg(year >= 0 ? year : line.Year)
        .arg(twoDigits(line.Month), twoDigits(line.Day));
}

QString functionName(const clock::ClockLine &line)
{
    const QString code = settings::FunctionTypeCode(line.FunctionType).trimmed();
    return (code.isEmpty() ? QString::number(line.FunctionType) : code) + QLatin1Char(' ') +
           QString::number(line.FunctionNumber);
}

} // namespace

QString MomentText(const clock::Moment &moment)
{
    return moment.date().toString(Qt::ISODate) + QLatin1Char(' ') + twoDigits(moment.hour()) +
           QLatin1Char(':') + twoDigits(moment.minute());
}

QString HealthText(const clock::HealthProblem &problem, const clock::ClockTable &table,
                   const settings::Strings &strings, clock::YearWindow years)
{
    const clock::ClockLine *line = table.line(problem.line);
    if (!line)
        return {};
    const QString index = QString::number(problem.line);
    const auto text = [&](int id) { return strings.GetResString(id); };
    using clock::HealthKind;
    switch (problem.kind) {
    case HealthKind::BeyondModel:
        return text(Text::BeyondModel).arg(index, QString::number(table.usableLines()));
    case HealthKind::InvalidTime:
        return text(Text::InvalidTime)
            .arg(index, twoDigits(line->Hour) + QLatin1Char(':') + twoDigits(line->Minute));
    case HealthKind::InvalidDate:
        return text(Text::InvalidDate).arg(index, storedDate(*line, years));
    case HealthKind::InvalidTable:
        return text(Text::InvalidTable).arg(index, QString::number(line->Table));
    case HealthKind::InvalidRepeat:
        return text(Text::InvalidRepeat)
            .arg(index, QString::number(line->RepeatCount), QString::number(line->RepeatUnit));
    case HealthKind::Past:
        return text(Text::Past)
            .arg(index,
                 MomentText(clock::Moment::fromDateTime(clock::ReferenceDateTime(*line, years))));
    case HealthKind::UnknownFunction:
        return text(Text::UnknownFunction).arg(index, functionName(*line));
    case HealthKind::Conflict:
        return text(Text::Conflict)
            .arg(index, QString::number(problem.other), MomentText(problem.at));
    case HealthKind::HolidaysRunOut:
        return text(Text::HolidaysRunOut).arg(index, problem.at.date().toString(Qt::ISODate));
    }
    return {};
}

QString HealthSummaryHeading(const std::vector<clock::HealthProblem> &problems,
                             const settings::Strings &strings)
{
    // Both lines of a conflict are lines that will not work as intended.
    QSet<int> lines;
    for (const clock::HealthProblem &problem : problems) {
        lines.insert(problem.line);
        if (problem.kind == clock::HealthKind::Conflict && problem.other >= 0)
            lines.insert(problem.other);
    }
    if (lines.size() == 1)
        return strings.GetResString(Text::SummaryHeadingOne);
    return strings.GetResString(Text::SummaryHeading).arg(lines.size());
}

QString HealthyText(const settings::Strings &strings)
{
    return strings.GetResString(Text::NoProblems);
}

std::array<QStringList, clock::ClockLineCount>
HealthTextsByLine(const std::vector<clock::HealthProblem> &problems, const clock::ClockTable &table,
                  const settings::Strings &strings, clock::YearWindow years)
{
    std::array<QStringList, clock::ClockLineCount> texts;
    for (const clock::HealthProblem &problem : problems) {
        const QString text = HealthText(problem, table, strings, years);
        if (problem.line >= 0 && problem.line < clock::ClockLineCount)
            texts[std::size_t(problem.line)].append(text);
        if (problem.other >= 0 && problem.other < clock::ClockLineCount)
            texts[std::size_t(problem.other)].append(text);
    }
    return texts;
}

} // namespace quintara::ui
