#include "presentation/HealthText.h"
#include "presentation/Csv.h"

#include "clock/ClockTable.h"
#include "settings/Strings.h"
#include "tests/clock/TestLines.h"
#include "tests/support/TestYears.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

using clock::HealthKind;
using clock::HealthProblem;
const auto &Years = quintara::testing::Years2026;

TEST(HealthTextTest, ProblemsReadAsSentencesWithTheirLinesAndMomentsInEveryLanguage)
{
    settings::Strings strings{settings::StringTable::builtIn()};
    clock::ClockTable table;
    table.MaxClockLines = 50;
    table.Lines[7] = table.Lines[60] =
        clock::testing::Line(QDate(2026, 12, 8), 23, 5, clock::Continue, clock::Once, 0, 255, 12);
    std::tie(table.Lines[60].Day, table.Lines[60].Month) = std::pair(31, 2);

    const HealthProblem conflict{7, HealthKind::Conflict, 9,
                                 clock::Moment::fromDate(QDate(2027, 8, 13), 7, 0)};
    EXPECT_EQ(HealthText(conflict, table, strings, Years),
              "Lines 7 and 9 switch the same function to different levels, first at "
              "2027-08-13 07:00");
    EXPECT_EQ(HealthText({60, HealthKind::InvalidDate}, table, strings, Years),
              "Line 60: 2026-02-31 is no real date");
    EXPECT_TRUE(
        HealthText({7, HealthKind::UnknownFunction}, table, strings, Years).contains(" 12,"));

    // Every text and every language has its own sentence with every placeholder filled.
    for (int language = 0; language < settings::LanguageCount; ++language) {
        strings.setLanguageOffset(language * 10000);
        QSet<QString> texts;
        for (int kind = 0; kind <= int(HealthKind::HolidaysRunOut); ++kind) {
            const QString text =
                HealthText({7, HealthKind(kind), 9, conflict.at}, table, strings, Years);
            EXPECT_TRUE(!text.contains('%') && text.contains('7')) << text.toStdString();
            texts.insert(text);
        }
        EXPECT_EQ(texts.size(), int(HealthKind::HolidaysRunOut) + 1);
        // A conflict names two lines; one line alone is one line.
        EXPECT_TRUE(HealthSummaryHeading({conflict, {60, HealthKind::InvalidDate}}, strings)
                        .startsWith("3 "));
        EXPECT_TRUE(HealthSummaryHeading({{60, HealthKind::InvalidDate}, {60, HealthKind::Past}},
                                         strings)
                        .startsWith("1 "));
    }
}

TEST(HealthTextTest, CsvQuotesOnlyWhatNeedsItAndEndsRecordsInCrLf)
{
    EXPECT_EQ(CsvRecord({"2027-01-01", "07:00", "Hall, upstairs", "say \"on\"", "a\nb", ""}),
              "2027-01-01,07:00,\"Hall, upstairs\",\"say \"\"on\"\"\",\"a\nb\",\r\n");
    EXPECT_EQ(CsvField("Küche 100 %"), "Küche 100 %");
}

} // namespace
} // namespace quintara::ui
