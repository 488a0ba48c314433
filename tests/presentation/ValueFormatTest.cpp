#include "presentation/ValueFormat.h"

#include "settings/Strings.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

using namespace ValueKind;

constexpr int Relay = 1;
constexpr int Dimmer = 2;
constexpr int Flag = 15;

class Values : public ::testing::Test {
protected:
    // A level field of a function type holding a raw value.
    static ValueField Field(int type, int raw) { return {{}, QString::number(type * 256 + raw)}; }

    // Types into the field and leaves it; returns the text shown then.
    QString Type(ValueField &field, const QString &typed, int kind = Level, int min = 0,
                 int max = 100)
    {
        field.text = typed;
        corrected = values.ApplyTypedValue(field, kind, min, max);
        return field.text;
    }
    // Steps the field up (+) and down (-), each step with the bounds given in the kind's own
    // terms; returns what it shows after each step.
    QStringList Steps(ValueField field, const char *directions, int kind = Level, int low = 0,
                      int high = 100)
    {
        QStringList shown;
        for (const char *d = directions; *d; ++d) {
            int min = low, max = high;
            values.StepValue(*d == '+' ? StepDirection::Up : StepDirection::Down, field, kind, min,
                             max);
            shown << field.text;
        }
        return shown;
    }

    settings::Strings strings{settings::StringTable::builtIn()};
    ValueFormatter values{strings, QLocale::c()};
    bool corrected = false;
};

TEST_F(Values, LenientNumbersAndKindsShowingTheirUnits)
{
    EXPECT_EQ((QStringList{ParseLenientNumber("abc-12.5.7"), ParseLenientNumber("1-2-3"),
                           ParseLenientNumber("12,5 %  "), ParseLenientNumber("abc")}),
              (QStringList{"-12.5", "1-2", "12.5", ""}));
    EXPECT_EQ((std::array<double, 4>{LeadingDecimal("1-2"), LeadingDecimal("-"),
                                     RoundHalfEven(12.5), RoundHalfEven(13.5)}),
              (std::array<double, 4>{1, 0, 12, 14}));

    const QList<std::tuple<int, int, QString>> cases{
        // clang-format off
        {QuarterHours, 9, "02u 15m"}, {Temperature, 120, "20.0 °C"}, {Light, 0, "0.00 Lux"},
        {Light, 40, "9.0 Lux"}, {Light, 80, "99 Lux"}, {Milliseconds, 10, "20 mSec"},
        {Seconds, 90, "90 Sec"}, {HalfSeconds, 5, "2.5 s"}, {Percentage, 40, "40 %"},
        {77, 1234, "1234"},
        // clang-format on
    };
    for (const auto &[kind, raw, shown] : cases)
        EXPECT_EQ(values.ShownText(kind, raw, 0), shown) << kind;

    // The decimal separator is the user's; numbers are never grouped.
    const ValueFormatter german(strings, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.ShownText(Temperature, 121, 0), "20,5 °C");
    EXPECT_EQ(german.ShownText(Number, 12345, 0), "12345");
}

TEST_F(Values, LevelsReadInTheTermsOfTheirFunction)
{
    const QList<std::tuple<int, int, QString, QString>> cases{
        // clang-format off
        {Relay, 0, "Off", "Off"}, {Relay, 255, "On", "On"}, {Relay, 3, "Uncoupled", "Uncoupled"},
        {Relay, 1, "????", "On"}, {Dimmer, 3, "Uncoupled", "Uncoupled"}, {Dimmer, 30, "12 %", "12 %"},
        {Dimmer, 4, "0 %", "0 %"}, {55, 0, "Down", "Down"}, {55, 255, "Up", "Up"}, {55, 9, "????", "????"},
        {51, 6, "6", "6"}, {44, 6, "6", "????"}, {44, 255, "255", "On"}, {Flag, 100, "????", "????"},
        // clang-format on
    };
    for (const auto &[type, raw, shown, listed] : cases)
        EXPECT_EQ(std::pair(values.ShownText(Level, raw, type), values.LevelText(Level, raw, type)),
                  std::pair(shown, listed))
            << type << "/" << raw;
    EXPECT_EQ(QStringList({values.LevelText(Light, 80, 0), values.LevelText(Percentage, 40, 0)}),
              QStringList({"80", "40"}));
}

TEST_F(Values, TypedLevelsAreHeldToTheirBounds)
{
    ValueField relay = Field(Relay, 0), dimmer = Field(Dimmer, 0);
    EXPECT_EQ((std::tuple{Type(relay, "on"), relay.tag, corrected}),
              std::tuple("On", "511", false));
    ValueField flag = Field(Flag, 0), button = Field(44, 0);
    EXPECT_EQ((QStringList{Type(relay, "OFF  "), Type(dimmer, "12.5"), dimmer.tag,
                           Type(dimmer, "102"), Type(flag, "49"),
                           Type(flag, "up") /* every on-word means 100 */, Type(button, "15")}),
              (QStringList{"Off", "12 %", QString::number(512 + 30), "100 %", "Off", "On", "9"}));

    // Nothing readable: the level held before comes back and the field says so.
    for (const QString typed : {"", "abc", "99999999999999999999"}) {
        EXPECT_EQ(Type(relay, typed), "Off");
        EXPECT_TRUE(corrected) << typed.toStdString();
    }

    // Bounds are converted in place.
    dimmer = Field(Dimmer, 30);
    dimmer.text = "5";
    int min = 10, max = 105;
    EXPECT_TRUE(values.ApplyTypedValue(dimmer, Level, min, max));
    EXPECT_EQ(std::tuple(min, max, dimmer.text), std::tuple(25, 256, QString("10 %")));

    ValueField key = Field(52, 0); // button simulation counts keys 1 to 8
    EXPECT_EQ((std::pair{Type(key, "20"), corrected}), std::pair(QString("8"), true));
    ValueField count{{}, "3"};
    ValueField temperature{{}, QString::number(15 * 256 + 120)};
    EXPECT_EQ((QStringList{Type(count, "250", Number), count.tag,
                           Type(temperature, "21", Temperature, 5, 30), temperature.tag,
                           Type(temperature, "40", Temperature, 5, 30)}),
              (QStringList{"100", "100", "21.0 °C", QString::number(15 * 256 + 122), "30.0 °C"}));

    // A conversion that leaves the byte restores the value held.
    ValueField ms{{}, "10"};
    EXPECT_EQ((std::pair{Type(ms, "1000", Milliseconds, 0, 1000), corrected}),
              std::pair(QString("20 mSec"), true));
}

TEST_F(Values, StepsUpAndDown)
{
    EXPECT_EQ(Steps(Field(Relay, 0), "++--"), (QStringList{"On", "On", "Off", "Off"}));
    EXPECT_EQ(Steps(Field(Relay, 3), "-"), QStringList{"On"});
    EXPECT_EQ(Steps(Field(Relay, 3), "+", Level, 0, 105), QStringList{"Uncoupled"});
    EXPECT_EQ(Steps(Field(Dimmer, 127), "+-"), (QStringList{"55 %", "50 %"}));
    EXPECT_EQ(Steps(Field(Dimmer, 255), "+"), QStringList{"100 %"});
    EXPECT_EQ(Steps(Field(Flag, 0), "+-"), (QStringList{"On", "Off"}));
    EXPECT_EQ(Steps(Field(44, 8), "++"), (QStringList{"9", "9"}));
    EXPECT_EQ(Steps({{}, "100"}, "+", Number, 1, 100), QStringList{"100"});
    EXPECT_EQ(Steps({{}, "9"}, "+", QuarterHours, 0, 96), QStringList{"03u 15m"});
    ValueField seconds{"10", "10"};
    int min = 0, max = 600;
    values.StepValue(StepDirection::Up, seconds, Seconds, min, max, 60);
    EXPECT_EQ(seconds.text, "70 Sec");
}

} // namespace
} // namespace quintara::ui
