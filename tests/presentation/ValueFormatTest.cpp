#include "ui/presentation/ValueFormat.h"

#include "settings/Strings.h"
#include "tests/support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

using namespace ValueKind;

constexpr int Relay = 1;
constexpr int Dimmer = 2;
constexpr int Flag = 15;

class Values : public ::testing::Test {
protected:
    // A level field of a function type, holding a raw value.
    static ValueField Field(int type, int raw, QString text = {})
    {
        return ValueField{std::move(text), QString::number(type * 256 + raw)};
    }

    // Types the text and leaves the field, with the editor's bounds 0 and 100.
    bool Type(ValueField &field, const QString &typed, int kind = Level)
    {
        field.text = typed;
        int min = 0;
        int max = 100;
        return values.ApplyTypedValue(field, kind, min, max);
    }

    testing::ScriptedPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn(), prompter};
    ValueFormatter values{strings, QLocale::c()};
};

TEST_F(Values, LenientNumbersAndSubstrings)
{
    EXPECT_EQ(ParseLenientNumber("abc-12.5.7"), "-12.5");
    EXPECT_EQ(ParseLenientNumber("1-2-3"), "1-2");
    EXPECT_EQ(ParseLenientNumber("12,5 %"), "12.5");
    EXPECT_EQ(ParseLenientNumber("  75   "), "75");
    EXPECT_EQ(ParseLenientNumber("abc"), "");
    EXPECT_EQ(LeadingDecimal("1-2"), 1);
    EXPECT_EQ(LeadingDecimal("-12.5"), -12.5);
    EXPECT_EQ(LeadingDecimal(""), 0);
    EXPECT_EQ(LeadingDecimal("-"), 0);

    EXPECT_EQ(FindSubstring("ON", "UNCOUPLED ON"), 11);
    EXPECT_EQ(FindSubstring("x", "abc"), 0);
    EXPECT_EQ(FindSubstring("a", "abca"), 1);

    EXPECT_EQ(RoundHalfEven(12.5), 12);
    EXPECT_EQ(RoundHalfEven(13.5), 14);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
}

TEST_F(Values, KindsShowTheirUnits)
{
    EXPECT_EQ(values.ShownText(QuarterHours, 9, 0), "02u 15m");
    EXPECT_EQ(values.ShownText(Temperature, 120, 0), "20.0 °C");
    EXPECT_EQ(values.ShownText(Temperature, 121, 0), "20.5 °C");
    EXPECT_EQ(values.ShownText(Light, 0, 0), "0.00 Lux");
    EXPECT_EQ(values.ShownText(Light, 40, 0), "9.0 Lux");
    EXPECT_EQ(values.ShownText(Light, 80, 0), "99 Lux");
    EXPECT_EQ(values.ShownText(Milliseconds, 10, 0), "20 mSec");
    EXPECT_EQ(values.ShownText(Seconds, 90, 0), "90 Sec");
    EXPECT_EQ(values.ShownText(HalfSeconds, 5, 0), "2.5 s");
    EXPECT_EQ(values.ShownText(Percentage, 40, 0), "40 %");
    EXPECT_EQ(values.ShownText(Number, 1234, 0), "1234");
    EXPECT_EQ(values.ShownText(77, 7, 0), "7");

    // The decimal separator is the user's; numbers are never grouped.
    const ValueFormatter german(strings, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.ShownText(Temperature, 120, 0), "20,0 °C");
    EXPECT_EQ(german.ShownText(HalfSeconds, 5, 0), "2,5 s");
    EXPECT_EQ(german.ShownText(Number, 12345, 0), "12345");
}

TEST_F(Values, LevelsReadInTheTermsOfTheirFunction)
{
    EXPECT_EQ(values.ShownText(Level, 0, Relay), "Off");
    EXPECT_EQ(values.ShownText(Level, 255, Relay), "On");
    EXPECT_EQ(values.ShownText(Level, 3, Relay), "Uncoupled");
    EXPECT_EQ(values.ShownText(Level, 1, Relay), "????");
    EXPECT_EQ(values.LevelText(Level, 1, Relay), "On"); // lists read raw 1 as on
    EXPECT_EQ(values.ShownText(Level, 3, Dimmer), "Uncoupled");
    EXPECT_EQ(values.ShownText(Level, 30, Dimmer), "12 %");
    EXPECT_EQ(values.ShownText(Level, 4, Dimmer), "0 %");
    EXPECT_EQ(values.ShownText(Level, 0, 55), "Down");
    EXPECT_EQ(values.ShownText(Level, 255, 55), "Up");
    EXPECT_EQ(values.ShownText(Level, 9, 55), "????");
    EXPECT_EQ(values.ShownText(Level, 6, 51), "6");
    EXPECT_EQ(values.ShownText(Level, 6, 44), "6");
    EXPECT_EQ(values.LevelText(Level, 6, 44), "????"); // lists read it as on/off
    EXPECT_EQ(values.LevelText(Level, 255, 44), "On");
    EXPECT_EQ(values.ShownText(Level, 0, Flag), "Off");
    EXPECT_EQ(values.ShownText(Level, 255, Flag), "On");
    EXPECT_EQ(values.ShownText(Level, 100, Flag), "????");
    EXPECT_EQ(values.LevelText(Light, 80, 0), "80");
    EXPECT_EQ(values.LevelText(Percentage, 40, 0), "40");
    EXPECT_EQ(values.LevelText(Seconds, 90, 0), "90 Sec");
}

TEST_F(Values, TypedRelayLevels)
{
    ValueField field = Field(Relay, 0);
    EXPECT_FALSE(Type(field, "on"));
    EXPECT_EQ(field.tag, "511");
    EXPECT_EQ(field.text, "On");
    Type(field, "30");
    EXPECT_EQ(field.text, "Off");
    Type(field, "75");
    EXPECT_EQ(field.text, "On");
    Type(field, "200");
    EXPECT_EQ(field.text, "Uncoupled");
    EXPECT_EQ(field.tag, QString::number(256 + 3));
    Type(field, "OFF  ");
    EXPECT_EQ(field.tag, "256");
    Type(field, "uncoupled");
    EXPECT_EQ(field.text, "Uncoupled");

    // Nothing readable: the level held before comes back and the field says so.
    field = Field(Relay, 255);
    EXPECT_TRUE(Type(field, ""));
    EXPECT_EQ(field.text, "On");
    EXPECT_TRUE(Type(field, "abc"));
    EXPECT_EQ(field.tag, "511");
    EXPECT_TRUE(Type(field, "99999999999999999999")); // overflow
    EXPECT_EQ(field.tag, "511");
}

TEST_F(Values, TypedDimmerAndOtherLevels)
{
    ValueField field = Field(Dimmer, 0);
    EXPECT_FALSE(Type(field, "12,5"));
    EXPECT_EQ(field.tag, QString::number(512 + 30));
    EXPECT_EQ(field.text, "12 %");
    Type(field, "12.5");
    EXPECT_EQ(field.text, "12 %");
    Type(field, "102");
    EXPECT_EQ(field.text, "100 %");
    Type(field, "150");
    EXPECT_EQ(field.text, "Uncoupled");

    field = Field(Flag, 0);
    Type(field, "49");
    EXPECT_EQ(field.text, "Off");
    Type(field, "up"); // every on-word means 100
    EXPECT_EQ(field.text, "On");
    field = Field(55, 0);
    Type(field, "60");
    EXPECT_EQ(field.text, "Up");
    Type(field, "down");
    EXPECT_EQ(field.text, "Down");
    field = Field(44, 0);
    Type(field, "15");
    EXPECT_EQ(field.text, "9");
    field = Field(51, 0);
    Type(field, "7");
    EXPECT_EQ(field.tag, QString::number(51 * 256 + 7));
}

TEST_F(Values, BoundsAreConvertedInPlaceAndHeld)
{
    ValueField field = Field(Dimmer, 30);
    int min = 10;
    int max = 105;
    field.text = "5";
    EXPECT_TRUE(values.ApplyTypedValue(field, Level, min, max));
    EXPECT_EQ(min, 25);
    EXPECT_EQ(max, 256);
    EXPECT_EQ(field.text, "10 %");

    field = Field(52, 0);
    min = 0;
    max = 100;
    field.text = "20";
    EXPECT_TRUE(values.ApplyTypedValue(field, Level, min, max));
    EXPECT_EQ(min, 1);
    EXPECT_EQ(max, 8);
    EXPECT_EQ(field.text, "8");

    ValueField count{"250", "3"};
    min = 0;
    max = 100;
    EXPECT_TRUE(values.ApplyTypedValue(count, Number, min, max));
    EXPECT_EQ(count.tag, "100");
    EXPECT_EQ(count.text, "100");
    count.text = "7";
    EXPECT_FALSE(values.ApplyTypedValue(count, Number, min, max));
    EXPECT_EQ(count.tag, "7");

    ValueField temperature{"21", QString::number(15 * 256 + 120)};
    min = 5;
    max = 30;
    EXPECT_FALSE(values.ApplyTypedValue(temperature, Temperature, min, max));
    EXPECT_EQ(min, 90);
    EXPECT_EQ(max, 140);
    EXPECT_EQ(temperature.tag, QString::number(15 * 256 + 122));
    EXPECT_EQ(temperature.text, "21.0 °C");

    // A conversion that leaves the byte restores the value held.
    ValueField ms{"1000", "10"};
    min = 0;
    max = 1000;
    EXPECT_TRUE(values.ApplyTypedValue(ms, Milliseconds, min, max));
    EXPECT_EQ(ms.tag, "10");
    EXPECT_EQ(max, 500);
}

TEST_F(Values, StepsUpAndDown)
{
    const auto step = [&](ValueField &field, StepDirection direction, int kind = Level, int min = 0,
                          int max = 100) {
        values.StepValue(direction, field, kind, min, max);
        return field.text;
    };
    ValueField relay = Field(Relay, 0, "Off");
    EXPECT_EQ(step(relay, StepDirection::Up), "On");
    EXPECT_EQ(step(relay, StepDirection::Up), "On");
    EXPECT_EQ(step(relay, StepDirection::Down), "Off");
    EXPECT_EQ(step(relay, StepDirection::Down), "Off");
    relay = Field(Relay, 3, "Uncoupled");
    EXPECT_EQ(step(relay, StepDirection::Down), "On");
    relay = Field(Relay, 255, "On");
    EXPECT_EQ(step(relay, StepDirection::Up, Level, 0, 105), "Uncoupled");

    ValueField dimmer = Field(Dimmer, 127, "50 %");
    EXPECT_EQ(step(dimmer, StepDirection::Up), "55 %");
    EXPECT_EQ(step(dimmer, StepDirection::Down), "50 %");
    dimmer = Field(Dimmer, 0, "0 %");
    EXPECT_EQ(step(dimmer, StepDirection::Down), "0 %");
    dimmer = Field(Dimmer, 255, "100 %");
    EXPECT_EQ(step(dimmer, StepDirection::Up), "100 %");

    ValueField flag = Field(Flag, 0, "Off");
    EXPECT_EQ(step(flag, StepDirection::Up), "On");
    EXPECT_EQ(step(flag, StepDirection::Down), "Off");

    ValueField button = Field(44, 8, "8");
    EXPECT_EQ(step(button, StepDirection::Up), "9");
    EXPECT_EQ(step(button, StepDirection::Up), "9");

    ValueField count{"100", "100"};
    EXPECT_EQ(step(count, StepDirection::Up, Number, 1, 100), "100");
    count = ValueField{"1", "1"};
    EXPECT_EQ(step(count, StepDirection::Down, Number, 1, 100), "1");
    ValueField quarter{"", "9"};
    EXPECT_EQ(step(quarter, StepDirection::Up, QuarterHours, 0, 96), "03u 15m");
    ValueField seconds{"10 Sec", "10"};
    int min = 0;
    int max = 600;
    values.StepValue(StepDirection::Up, seconds, Seconds, min, max, 60);
    EXPECT_EQ(seconds.text, "70 Sec");
    EXPECT_TRUE(prompter.shown.isEmpty());
}

} // namespace
} // namespace quintara::ui
