#include "clock/ClockTable.h"

#include "platform/Clock.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <QTimeZone>

#include <algorithm>

namespace quintara::clock {

ClockLine *ClockTable::line(int index)
{
    return index >= 0 && index < ClockLineCount ? &Lines[static_cast<std::size_t>(index)] : nullptr;
}

const ClockLine *ClockTable::line(int index) const
{
    return index >= 0 && index < ClockLineCount ? &Lines[static_cast<std::size_t>(index)] : nullptr;
}

int ClockTable::usableLines() const
{
    return std::clamp<int>(MaxClockLines, 0, ClockLineCount);
}

std::optional<int> ClockTable::selectedIndex() const
{
    if (SelectedLine < 1 || SelectedLine > ClockLineCount)
        return std::nullopt;
    return SelectedLine - 1;
}

void ClearClockTable(ClockTable &table)
{
    for (ClockLine &line : table.Lines) {
        line.RepeatUnit = 0;
        line.RepeatCount = 0;
        line.FunctionType = 0;
        line.FunctionNumber = 0;
        line.Level = 0;
    }
}

QDate ReferenceDate(const ClockLine &line, YearWindow years)
{
    const int year = years.fullYear(line.Year);
    if (year < 0)
        return {};
    return QDate(year, line.Month, line.Day); // invalid for a day or month that doesn't exist
}

QDateTime ReferenceDateTime(const ClockLine &line, YearWindow years)
{
    const QDate date = ReferenceDate(line, years);
    const QTime time(line.Hour, line.Minute);
    if (!date.isValid() || !time.isValid())
        return {};
    // Clock lines are wall-clock values: a zone-free date-time has no daylight-saving gap.
    return QDateTime(date, time, QTimeZone::utc());
}

void SetReferenceDate(ClockLine &line, QDate date)
{
    line.Day = static_cast<quint8>(date.day());
    line.Month = static_cast<quint8>(date.month());
    line.Year = static_cast<quint8>(((date.year() % 100) + 100) % 100);
}

std::optional<int> FindFreeLine(const ClockTable &table)
{
    for (int i = 0; i < table.usableLines(); ++i) {
        if (!table.Lines[static_cast<std::size_t>(i)].inUse())
            return i;
    }
    return std::nullopt;
}

QDate MondayOf(QDate date)
{
    return date.addDays(1 - date.dayOfWeek());
}

AddLineStart BeginAddLine(ClockTable &table, int tableKind, const platform::Clock &clock)
{
    const std::optional<int> free = FindFreeLine(table);
    if (!free) {
        const QString why =
            table.usableLines() == 0
                ? QStringLiteral(
                      "Geen VENTORA '.NBT' bestand ingeladen, u dient dit eerst te doen!")
                : QStringLiteral("No more memory!");
        return {std::nullopt, {platform::PlainNotice(why)}};
    }

    const QDateTime now = clock.now();
    ClockLine &line = table.Lines[static_cast<std::size_t>(*free)];
    line.FunctionType = 1;
    line.FunctionNumber = 1;
    line.Level = 255;
    line.Hour = static_cast<quint8>(now.time().hour());
    line.Minute = 0;
    SetReferenceDate(line, MondayOf(now.date()));
    line.Table = static_cast<quint8>(tableKind);
    line.RepeatUnit = Days;
    line.RepeatCount = 1;
    table.SelectedLine = static_cast<qint16>(*free + 1);
    return {free, {}};
}

bool FinishAddLine(ClockTable &table, int index)
{
    table.TableChanged = true;
    const ClockLine *line = table.line(index);
    return line && line->inUse();
}

platform::Message DeleteLineQuestion(const QString &levelText, const QString &functionText,
                                     const settings::Strings &strings)
{
    return platform::Message{strings.GetResString(settings::TextId::Edit::DeleteQuestion)
                                 .arg(levelText, functionText),
                             platform::ProgramTitle, platform::Buttons::YesNo, platform::Icon::None,
                             platform::Answer::No};
}

bool DeleteSelectedLine(ClockTable &table)
{
    const std::optional<int> index = table.selectedIndex();
    if (!index)
        return false;
    table.Lines[static_cast<std::size_t>(*index)].FunctionType = 0;
    table.SelectedLine = 0;
    table.TableChanged = true;
    return true;
}

} // namespace quintara::clock
