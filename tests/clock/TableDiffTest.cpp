#include "clock/TableDiff.h"

#include "clock/ClockTable.h"

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

using Kind = LineDifference::Kind;

ClockLine Line(QDate date, int hour, int minute, int table, int unit, int count)
{
    ClockLine line = ClockLine::fromBytes({quint8(minute), quint8(hour), 0, 0, 0, quint8(table),
                                           quint8(unit), quint8(count), 1, 3, 255, 0, 0});
    SetReferenceDate(line, date);
    return line;
}

TEST(TableDiff, LinesInOneOnlyAndChangedFieldsInIndexAndFieldOrder)
{
    ClockTable a;
    a.Lines[0] = Line(QDate(2026, 12, 7), 7, 30, Continue, Days, 1);
    a.Lines[4] = Line(QDate(2026, 12, 7), 8, 0, Weekend, Days, 1);
    a.Lines[9] = Line(QDate(2026, 12, 7), 9, 0, Special, Weeks, 2);
    ClockTable b = a;
    EXPECT_TRUE(DiffTables(a, b).equal());

    // Chain bytes and what free lines keep of their past are no difference.
    b.Lines[0].NextLine = 254;
    b.Lines[0].FirstLine = 0;
    a.Lines[50].Hour = 3;
    b.Lines[50].Hour = 5;
    EXPECT_TRUE(DiffTables(a, b).equal());

    b.Lines[4].FunctionType = 0;
    b.Lines[7] = Line(QDate(2026, 12, 7), 6, 0, Continue, Once, 0);
    b.Lines[9].Level = 127;
    b.Lines[9].Hour = 10;
    const TableDiff diff = DiffTables(a, b);
    EXPECT_FALSE(diff.equal());
    EXPECT_FALSE(diff.models);
    ASSERT_EQ(diff.lines.size(), 3);
    EXPECT_EQ(diff.lines[0].line, 4);
    EXPECT_EQ(diff.lines[0].kind, Kind::OnlyInA);
    EXPECT_EQ(diff.lines[1].line, 7);
    EXPECT_EQ(diff.lines[1].kind, Kind::OnlyInB);
    EXPECT_EQ(diff.lines[2].line, 9);
    EXPECT_EQ(diff.lines[2].kind, Kind::Changed);
    EXPECT_EQ(diff.lines[2].fields,
              (QList<FieldDifference>{{LineField::Hour, 9, 10}, {LineField::Level, 255, 127}}));

    // Another model changes which lines the unit uses: the tables differ.
    ClockTable c = a;
    c.ModelIndex = 3;
    const TableDiff models = DiffTables(a, c);
    EXPECT_FALSE(models.equal());
    EXPECT_TRUE(models.lines.isEmpty());
    EXPECT_EQ(models.models, (std::pair<quint8, quint8>{0, 3}));
}

TEST(TableDiff, IgnoringDatesKeepsOnlyDatesThatNameOtherFirings)
{
    struct Case {
        const char *what;
        ClockLine a;
        QDate otherDate;
        bool same;
    };
    const QDate d(2026, 12, 7);
    const QList<Case> cases = {
        {"daily, three days on", Line(d, 7, 0, Continue, Days, 1), d.addDays(3), true},
        {"every other week, one week on", Line(d, 7, 0, Continue, Weeks, 2), d.addDays(7), false},
        {"every other week, four weeks back", Line(d, 7, 0, Continue, Weeks, 2), d.addDays(-28),
         true},
        {"every 90 minutes, a day on", Line(d, 7, 0, Simulation, Minutes, 90), d.addDays(1), true},
        {"every 7 minutes, a day on", Line(d, 7, 0, Simulation, Minutes, 7), d.addDays(1), false},
        {"every 7 minutes, a week on", Line(d, 7, 0, Simulation, Minutes, 7), d.addDays(7), true},
        {"monthly, 31 January to 28 February", Line(QDate(2027, 1, 31), 7, 0, Continue, Months, 1),
         QDate(2027, 2, 28), true},
        {"monthly, a day off", Line(QDate(2027, 1, 15), 7, 0, Continue, Months, 1),
         QDate(2027, 2, 16), false},
        {"once", Line(d, 7, 0, Continue, Once, 0), d.addDays(1), false},
        {"workday table, whatever its repetition", Line(d, 7, 0, Workday, Once, 0), d.addDays(-5),
         true},
        {"a count of 0 never steps", Line(d, 7, 0, Continue, Days, 0), d.addDays(1), false},
    };
    for (const Case &c : cases) {
        ClockTable a;
        a.Lines[3] = c.a;
        ClockTable b = a;
        SetReferenceDate(b.Lines[3], c.otherDate);
        EXPECT_EQ(DiffTables(a, b, {true}).equal(), c.same) << c.what;
        EXPECT_EQ(DiffTables(b, a, {true}).equal(), c.same) << c.what;
        EXPECT_FALSE(DiffTables(a, b).equal()) << c.what;
    }

    // Once the repetition differs, so do the firings: the dates count again.
    ClockTable a;
    a.Lines[3] = Line(d, 7, 0, Continue, Days, 1);
    ClockTable b = a;
    SetReferenceDate(b.Lines[3], d.addDays(2));
    b.Lines[3].RepeatCount = 2;
    const TableDiff diff = DiffTables(a, b, {true});
    ASSERT_EQ(diff.lines.size(), 1);
    EXPECT_EQ(diff.lines[0].fields.size(), 2);
    EXPECT_EQ(diff.lines[0].fields[0].field, LineField::Day);

    // Bytes that name no day are never taken for the same firings.
    a.Lines[3].Day = 31;
    a.Lines[3].Month = 2;
    b = a;
    b.Lines[3].Day = 30;
    EXPECT_FALSE(DiffTables(a, b, {true}).equal());
}

} // namespace
} // namespace quintara::clock
