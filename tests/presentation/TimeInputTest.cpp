#include "presentation/TimeInput.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

TEST(TypedTime, TheWaysPeopleTypeATimeOfDay)
{
    const struct {
        const char *typed;
        QTime time;
    } accepted[] = {
        {"0730", QTime(7, 30)}, {"7:30", QTime(7, 30)},  {"07.30", QTime(7, 30)},
        {"730", QTime(7, 30)},  {"07:30", QTime(7, 30)}, {" 7.30 ", QTime(7, 30)},
        {"7", QTime(7, 0)},     {"23", QTime(23, 0)},    {"0", QTime(0, 0)},
        {"2359", QTime(23, 59)}, {"0000", QTime(0, 0)},  {"000", QTime(0, 0)},
        {"256", QTime(2, 56)},  {"23:59", QTime(23, 59)},
    };
    for (const auto &c : accepted) {
        EXPECT_EQ(ParseTypedTime(QString::fromLatin1(c.typed)), c.time) << c.typed;
        EXPECT_EQ(CheckTypedTime(QString::fromLatin1(c.typed)), TypedTimeState::Acceptable)
            << c.typed;
    }
}

TEST(TypedTime, ImpossibleTimesAndOtherTextsAreRefused)
{
    // The shape of a time, but no possible one (or not yet one): typed out, then refused whole.
    for (const char *typed : {"2561", "24:00", "2400", "7:75", "775", "24", "99", "7:5", "7:",
                              "", "  ", "123:4"}) {
        EXPECT_EQ(ParseTypedTime(QString::fromLatin1(typed)), std::nullopt) << typed;
    }
    for (const char *typed : {"2561", "24:00", "7:75", "7:5", "7:", "", "24"})
        EXPECT_EQ(CheckTypedTime(QString::fromLatin1(typed)), TypedTimeState::Intermediate)
            << typed;
    // Never a time, whatever follows: the keystroke itself is refused.
    for (const char *typed : {"7a", "abc", "7:30:00", "7.3.0", "12345", "123:4", "7:300", "-730",
                              ":30x", "7 30"}) {
        EXPECT_EQ(ParseTypedTime(QString::fromLatin1(typed)), std::nullopt) << typed;
        EXPECT_EQ(CheckTypedTime(QString::fromLatin1(typed)), TypedTimeState::Invalid) << typed;
    }
    // Digits of other scripts are not taken for hours.
    EXPECT_EQ(CheckTypedTime(QStringLiteral("\u0667:30")), TypedTimeState::Invalid);
}

TEST(TypedTime, FieldTextHasTwoDigitHoursAndMinutes)
{
    EXPECT_EQ(TimeFieldText(QTime(7, 5)), "07:05");
    EXPECT_EQ(TimeFieldText(QTime(23, 59)), "23:59");
    EXPECT_EQ(ParseTypedTime(TimeFieldText(QTime(0, 0))), QTime(0, 0));
}

} // namespace
} // namespace quintara::ui
