#include "link/ClockConversion.h"

#include "clock/ClockTable.h"
#include "clock/LevelTable.h"
#include "clock/Occurrences.h"
#include "project/ProjectModel.h"
#include "tables/TableBytes.h"
#include "tables/TableSet.h"

#include <algorithm>
#include <array>

namespace quintara::link {

namespace {

using clock::ClockLine;
using clock::LineStep;
using clock::Moment;

void NormaliseLine(ClockLine &line, const QDateTime &now)
{
    if (line.Table == clock::Workday || line.Table == clock::Weekend) {
        clock::SetReferenceDate(line, now.date().addDays(-1));
        return;
    }
    const clock::YearWindow years = clock::YearWindow::around(now);
    const QDateTime reference = clock::ReferenceDateTime(line, years);
    if (!reference.isValid())
        return;
    const Moment nowMinute = Moment::fromDateTime(now);
    // Moments are whole minutes: with seconds past it, the current minute already lies before now.
    const bool nowHasSeconds = now.time().second() != 0 || now.time().msec() != 0;
    const Moment firstNotBeforeNow =
        nowHasSeconds ? clock::StepMoment(nowMinute, LineStep{LineStep::Minutes, 1}, 1) : nowMinute;
    const Moment start = Moment::fromDateTime(reference);

    if (line.RepeatUnit == clock::Once) {
        if (start < firstNotBeforeNow)
            line.FunctionType = 0;
        return;
    }
    // Without a count (or with a unit no editor makes) the line cannot step towards now.
    const LineStep step = clock::RepeatStep(line.RepeatUnit, line.RepeatCount);
    if (step.kind == LineStep::None)
        return;

    // Forward to the first occurrence not before now, then back from that date to the latest
    // one not after now; with month steps the two walks need not retrace each other.
    const Moment ahead = clock::PushForward(start, step, firstNotBeforeNow);
    clock::SetReferenceDate(line, ahead.date());
    const QDateTime aheadReference = clock::ReferenceDateTime(line, years);
    if (!aheadReference.isValid())
        return;
    const Moment back = clock::PushBack(Moment::fromDateTime(aheadReference), step, nowMinute);
    clock::SetReferenceDate(line, back.date());
}

quint8 LevelToCentral(const ClockLine &line)
{
    if (line.FunctionType == project::FunctionType::Dimmer)
        return static_cast<quint8>(clock::RawToPercent(line.Level));
    return line.Level == 255 ? 1 : line.Level;
}

quint8 LevelFromCentral(quint8 functionType, quint8 stored)
{
    if (functionType == project::FunctionType::Dimmer)
        return static_cast<quint8>(clock::PercentToRaw(stored));
    return stored == 1 ? 255 : stored;
}

} // namespace

void NormaliseClockDates(clock::ClockTable &clockTable, const QDateTime &now)
{
    for (int i = 0; i < clockTable.usableLines(); ++i) {
        ClockLine &line = clockTable.Lines[static_cast<std::size_t>(i)];
        if (line.inUse())
            NormaliseLine(line, now);
    }
}

void ClockTableToCentral(clock::ClockTable &clockTable, tables::TableSet &tables, int tableNumber,
                         const std::optional<QDateTime> &clockSetting)
{
    if (!tables::TableSet::IsSlot(tableNumber))
        return;
    const int n = clockTable.usableLines();
    auto &lines = clockTable.Lines;

    for (int i = 0; i < n; ++i) {
        lines[static_cast<std::size_t>(i)].NextLine = NotChained;
        lines[static_cast<std::size_t>(i)].FirstLine = ChainEnd;
    }
    // Each line joins the end of its day-table's chain, so chains run in index order. A line
    // whose table byte names no day-table (only foreign input holds one) joins no chain.
    std::array<int, clock::TableKindCount> last;
    last.fill(-1);
    for (int i = 0; i < n; ++i) {
        ClockLine &line = lines[static_cast<std::size_t>(i)];
        if (!line.inUse() || line.Table >= clock::TableKindCount)
            continue;
        const int k = line.Table;
        if (last[static_cast<std::size_t>(k)] < 0) {
            if (k < n)
                lines[static_cast<std::size_t>(k)].FirstLine = static_cast<quint8>(i);
        } else {
            lines[static_cast<std::size_t>(last[static_cast<std::size_t>(k)])].NextLine =
                static_cast<quint8>(i);
        }
        line.NextLine = ChainEnd;
        last[static_cast<std::size_t>(k)] = i;
    }

    tables::CentralTable &table = tables[tableNumber];
    table.Work.fill(0);
    tables::TableWriter out(table.Work);
    for (int i = 0; i < n; ++i) {
        const ClockLine &line = lines[static_cast<std::size_t>(i)];
        out.putByte(line.Hour);
        out.putByte(line.Minute);
        out.putByte(line.Day);
        out.putByte(line.Month);
        out.putByte(0);
        out.putByte(line.Year);
        out.putByte(line.Table);
    }
    for (int i = 0; i < n; ++i)
        out.putByte(lines[static_cast<std::size_t>(i)].RepeatUnit);
    for (int i = 0; i < n; ++i)
        out.putByte(lines[static_cast<std::size_t>(i)].RepeatCount);
    for (int i = 0; i < n; ++i)
        out.putByte(lines[static_cast<std::size_t>(i)].FunctionType);
    for (int i = 0; i < n; ++i)
        out.putByte(lines[static_cast<std::size_t>(i)].FunctionNumber);
    for (int i = 0; i < n; ++i)
        out.putByte(LevelToCentral(lines[static_cast<std::size_t>(i)]));
    for (int i = 0; i < n; ++i)
        out.putByte(lines[static_cast<std::size_t>(i)].NextLine);
    for (int k = 0; k < clock::TableKindCount; ++k)
        out.putByte(k < n ? lines[static_cast<std::size_t>(k)].FirstLine : ChainEnd);
    if (clockSetting) {
        const QDate date = clockSetting->date();
        const QTime time = clockSetting->time();
        out.putByte(time.hour());
        out.putByte(time.minute());
        out.putByte(date.day());
        out.putByte(date.month());
        out.putByte(time.second());
        out.putByte(date.year() % 100);
        out.putByte(date.dayOfWeek() % 7 + 1); // Sunday = 1 .. Saturday = 7
    } else {
        for (int i = 0; i < 7; ++i)
            out.putByte(0);
    }
    table.LastIndex = CentralClockLength(n);
}

void ClockTableFromCentral(clock::ClockTable &clockTable, tables::TableSet &tables, int tableNumber)
{
    if (!tables::TableSet::IsSlot(tableNumber))
        return;
    const int n = clockTable.usableLines();
    auto &lines = clockTable.Lines;
    tables::CentralTable &table = tables[tableNumber];
    tables::TableReader in(table.Received);
    for (int i = 0; i < n; ++i) {
        ClockLine &line = lines[static_cast<std::size_t>(i)];
        line.Hour = in.byte();
        line.Minute = in.byte();
        line.Day = in.byte();
        line.Month = in.byte();
        in.skip(1);
        line.Year = in.byte();
        line.Table = in.byte();
    }
    for (int i = 0; i < n; ++i)
        lines[static_cast<std::size_t>(i)].RepeatUnit = in.byte();
    for (int i = 0; i < n; ++i)
        lines[static_cast<std::size_t>(i)].RepeatCount = in.byte();
    for (int i = 0; i < n; ++i)
        lines[static_cast<std::size_t>(i)].FunctionType = in.byte();
    for (int i = 0; i < n; ++i)
        lines[static_cast<std::size_t>(i)].FunctionNumber = in.byte();
    for (int i = 0; i < n; ++i) {
        ClockLine &line = lines[static_cast<std::size_t>(i)];
        line.Level = LevelFromCentral(line.FunctionType, in.byte());
    }
    for (int i = 0; i < n; ++i)
        lines[static_cast<std::size_t>(i)].NextLine = in.byte();
    for (int k = 0; k < clock::TableKindCount; ++k) {
        const quint8 head = in.byte();
        if (k < n)
            lines[static_cast<std::size_t>(k)].FirstLine = head;
    }
    table.LastIndex = CentralClockLength(n);
}

} // namespace quintara::link
