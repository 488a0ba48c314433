#include "clock/RegimeLines.h"

#include "clock/ClockTable.h"
#include "project/ProjectModel.h"

namespace quintara::clock {

namespace {

constexpr int MonthsInYear = 12;

} // namespace

ClockLine DayStartRegimeLine(QDate date, int regime, bool yearly, bool afterYearlyLine)
{
    ClockLine line;
    line.Hour = 0;
    line.Minute = afterYearlyLine ? 1 : 0;
    SetReferenceDate(line, date);
    line.Table = Continue;
    line.RepeatUnit = yearly ? Months : Once;
    line.RepeatCount = yearly ? MonthsInYear : 0;
    line.FunctionType = project::FunctionType::Regime;
    line.FunctionNumber = static_cast<quint8>(regime);
    line.Level = RegimeLevel;
    return line;
}

bool IsDayStartRegimeLine(const ClockLine &line)
{
    const bool onceOrYearly = (line.RepeatUnit == Once && line.RepeatCount == 0) ||
                              (line.RepeatUnit == Months && line.RepeatCount == MonthsInYear);
    return line.FunctionType == project::FunctionType::Regime && line.Table == Continue &&
           line.Hour == 0 && line.Minute <= 1 && onceOrYearly;
}

} // namespace quintara::clock
