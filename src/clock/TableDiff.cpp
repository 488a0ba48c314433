#include "clock/TableDiff.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"

#include <array>

namespace quintara::clock {

namespace {

constexpr std::array<LineField, 3> DateFields = {LineField::Day, LineField::Month, LineField::Year};

bool IsDateField(LineField field)
{
    return field == LineField::Day || field == LineField::Month || field == LineField::Year;
}

bool SameDate(const ClockLine &a, const ClockLine &b)
{
    for (const LineField field : DateFields) {
        if (LineFieldValue(a, field) != LineFieldValue(b, field))
            return false;
    }
    return true;
}

} // namespace

QString LineFieldName(LineField field)
{
    static constexpr std::array<const char *, LineFieldCount> Names = {
        "minute",     "hour",        "day",          "month",          "year", "table",
        "repeatUnit", "repeatCount", "functionType", "functionNumber", "level"};
    return QString::fromLatin1(Names.at(static_cast<std::size_t>(field)));
}

quint8 LineFieldValue(const ClockLine &line, LineField field)
{
    return line.toBytes()[static_cast<std::size_t>(field)];
}

bool SameFirings(const ClockLine &a, const ClockLine &b, YearWindow years)
{
    if (SameDate(a, b))
        return true;
    if (a.Minute != b.Minute || a.Hour != b.Hour || a.Table != b.Table ||
        a.RepeatUnit != b.RepeatUnit || a.RepeatCount != b.RepeatCount)
        return false;
    const QDateTime ra = ReferenceDateTime(a, years);
    const QDateTime rb = ReferenceDateTime(b, years);
    if (!ra.isValid() || !rb.isValid())
        return false;
    const LineStep step = WalkStep(a);
    Moment earlier = Moment::fromDateTime(ra);
    Moment later = Moment::fromDateTime(rb);
    if (later < earlier)
        std::swap(earlier, later);
    return PushForward(earlier, step, later) == later;
}

TableDiff DiffTables(const ClockTable &a, const ClockTable &b, const DiffOptions &options)
{
    TableDiff diff;
    if (a.ModelIndex != b.ModelIndex)
        diff.models = std::pair{a.ModelIndex, b.ModelIndex};
    for (int i = 0; i < ClockLineCount; ++i) {
        const ClockLine &la = a.Lines[static_cast<std::size_t>(i)];
        const ClockLine &lb = b.Lines[static_cast<std::size_t>(i)];
        if (!la.inUse() && !lb.inUse())
            continue;
        if (la.inUse() != lb.inUse()) {
            diff.lines.append(
                {i,
                 la.inUse() ? LineDifference::Kind::OnlyInA : LineDifference::Kind::OnlyInB,
                 {}});
            continue;
        }
        const bool datesAlike =
            options.ignoreDatesIn && SameFirings(la, lb, *options.ignoreDatesIn);
        LineDifference line{i, LineDifference::Kind::Changed, {}};
        for (int f = 0; f < LineFieldCount; ++f) {
            const auto field = static_cast<LineField>(f);
            const quint8 va = LineFieldValue(la, field);
            const quint8 vb = LineFieldValue(lb, field);
            if (va != vb && !(datesAlike && IsDateField(field)))
                line.fields.append({field, va, vb});
        }
        if (!line.fields.isEmpty())
            diff.lines.append(line);
    }
    return diff;
}

} // namespace quintara::clock
