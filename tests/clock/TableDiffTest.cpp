#include "clock/TableDiff.h"

#include "clock/ClockTable.h"
#include "tests/clock/TestLines.h"

#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

namespace quintara::clock {
namespace {

const auto &Years = quintara::testing::Years2026;

using testing::Line;

TEST(TableDiff, IgnoringDatesKeepsOnlyDatesThatNameOtherFirings)
{
    const QDate d(2026, 12, 7);
    const QList<std::tuple<const char *, ClockLine, QDate, bool>> cases{
        {"daily, three days on", Line(d, 7, 0, Continue, Days, 1), d.addDays(3), true},
        {"every other week, one week on", Line(d, 7, 0, Continue, Weeks, 2), d.addDays(7), false},
        {"every other week, four back", Line(d, 7, 0, Continue, Weeks, 2), d.addDays(-28), true},
        {"every 90 minutes, a day on", Line(d, 7, 0, Simulation, Minutes, 90), d.addDays(1), true},
        {"every 7 minutes, a day on", Line(d, 7, 0, Simulation, Minutes, 7), d.addDays(1), false},
        {"monthly, 31 January to 28 February", Line(QDate(2027, 1, 31), 7, 0, Continue, Months, 1),
         QDate(2027, 2, 28), true},
        {"monthly, a day off", Line(QDate(2027, 1, 15), 7, 0, Continue, Months, 1),
         QDate(2027, 2, 16), false},
        {"once", Line(d, 7, 0, Continue, Once, 0), d.addDays(1), false},
        {"workday table, whatever its unit", Line(d, 7, 0, Workday, Once, 0), d.addDays(-5), true},
        {"a count of 0 never steps", Line(d, 7, 0, Continue, Days, 0), d.addDays(1), false},
    };
    for (const auto &[what, line, otherDate, same] : cases) {
        ClockTable a;
        a.Lines[3] = line;
        ClockTable b = a;
        SetReferenceDate(b.Lines[3], otherDate);
        EXPECT_EQ(DiffTables(a, b, {Years}).equal(), same) << what;
        EXPECT_EQ(DiffTables(b, a, {Years}).equal(), same) << what;
        EXPECT_FALSE(DiffTables(a, b).equal()) << what;
    }

    // Leftover bytes of a free line are no difference (kinds, fields and chain bytes are
    // compared through the command line's diff); the models are told apart.
    ClockTable free;
    free.Lines[50].Hour = 3;
    free.ModelIndex = 3;
    EXPECT_EQ(DiffTables(ClockTable{}, free).lines.size(), 0);
    EXPECT_EQ(DiffTables(ClockTable{}, free).models, (std::pair<quint8, quint8>{0, 3}));

    // Bytes that name no day differ even where dates are ignored (which fields differ when the
    // repetition does too is pinned by the command line's diff).
    ClockTable a;
    a.Lines[3] = Line(d, 7, 0, Continue, Days, 1);
    std::tie(a.Lines[3].Month, a.Lines[3].Day) = std::pair(2, 31);
    ClockTable b = a;
    b.Lines[3].Day = 30;
    EXPECT_FALSE(DiffTables(a, b, {Years}).equal());
}

} // namespace
} // namespace quintara::clock
