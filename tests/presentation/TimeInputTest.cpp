#include "presentation/TimeInput.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

TEST(TypedTime, TheWaysPeopleTypeATimeOfDayAreTakenOtherTextsRefusedAndTheFieldShowsIt)
{
    constexpr auto Ok = TypedTimeState::Acceptable;
    // The shape of a time, but no possible one (or not yet one): typed out, then refused whole.
    constexpr auto Later = TypedTimeState::Intermediate;
    // Never a time, whatever follows: the keystroke itself is refused.
    constexpr auto Never = TypedTimeState::Invalid;
    // No state: only that it is no time.
    const QList<std::tuple<QString, std::optional<QTime>, std::optional<TypedTimeState>>> cases{
        // clang-format off
        {"0730", QTime(7, 30), Ok}, {"7:30", QTime(7, 30), Ok}, {"07.30", QTime(7, 30), Ok},
        {"730", QTime(7, 30), Ok}, {"07:30", QTime(7, 30), Ok}, {" 7.30 ", QTime(7, 30), Ok},
        {"7", QTime(7, 0), Ok}, {"23", QTime(23, 0), Ok}, {"0", QTime(0, 0), Ok},
        {"2359", QTime(23, 59), Ok}, {"0000", QTime(0, 0), Ok}, {"000", QTime(0, 0), Ok},
        {"256", QTime(2, 56), Ok}, {"23:59", QTime(23, 59), Ok},
        {"2561", {}, Later}, {"24:00", {}, Later}, {"7:75", {}, Later}, {"7:5", {}, Later},
        {"7:", {}, Later}, {"", {}, Later}, {"24", {}, Later},
        {"2400", {}, {}}, {"775", {}, {}}, {"99", {}, {}}, {"  ", {}, {}},
        {"7a", {}, Never}, {"abc", {}, Never}, {"7:30:00", {}, Never}, {"7.3.0", {}, Never},
        {"12345", {}, Never}, {"123:4", {}, Never}, {"7:300", {}, Never}, {"-730", {}, Never},
        {":30x", {}, Never}, {"7 30", {}, Never},
        // clang-format on
    };
    for (const auto &[typed, time, state] : cases) {
        EXPECT_EQ(ParseTypedTime(typed), time) << qPrintable(typed);
        EXPECT_TRUE(!state || CheckTypedTime(typed) == *state) << qPrintable(typed);
    }
    // Digits of other scripts are not taken for hours.
    EXPECT_EQ(CheckTypedTime(QStringLiteral("\u0667:30")), Never);
    // The field shows two-digit hours and minutes, and takes that back.
    EXPECT_EQ(TimeFieldText(QTime(7, 5)), "07:05");
    EXPECT_EQ(ParseTypedTime(TimeFieldText(QTime(23, 59))), QTime(23, 59));
}

} // namespace
} // namespace quintara::ui
