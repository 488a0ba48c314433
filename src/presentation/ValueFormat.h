#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

// The units in which a one-byte value is shown and typed.
namespace ValueKind {
inline constexpr int Temperature = 1;  // raw = 2 t + 80
inline constexpr int Milliseconds = 2; // raw = ms / 2
inline constexpr int Level = 3;        // by the function type
inline constexpr int Seconds = 4;
inline constexpr int SecondsLong = 5;  // seconds, stepped by 15
inline constexpr int HalfSeconds = 6;  // raw = 2 s
inline constexpr int QuarterHours = 7; // raw = 4 h + m / 15
inline constexpr int Light = 8;        // raw = 40 log10(lux + 1)
inline constexpr int Percentage = 9;
inline constexpr int Number = 10; // and every kind not named here
} // namespace ValueKind

// A text box as a value field sees it: the text shown and the tag holding the state as
// decimal text (function type × 256 + raw value for kinds 1, 3, 8 and 9, the raw value alone
// otherwise).
struct ValueField {
    QString text;
    QString tag;
};

enum class StepDirection { Up, Down };

// The number part of a typed text, leniently: leading junk skipped, ',' read as '.', a second
// separator or minus sign ends it ("abc-12.5.7" gives "-12.5", "1-2-3" gives "1-2").
QString ParseLenientNumber(const QString &typed);
// The decimal number at the start of a text ('.' separates the fraction); 0 when none.
double LeadingDecimal(const QString &text);
// Whole number nearest to value, halves to the even neighbour.
double RoundHalfEven(double value);

// Turns raw values into the texts of their kind and typed texts back into raw values. Texts
// come from the string table; decimal separators follow the given locale.
class ValueFormatter {
public:
    explicit ValueFormatter(const settings::Strings &strings, QLocale locale = QLocale());

    // The text a value field shows for a raw value.
    QString ShownText(int kind, int raw, int functionType) const;
    // The text lists and previews print for a level: as ShownText, except that kinds 8 and 9
    // give the plain number, a relay's raw 1 reads "On", and the audio button's level reads
    // as on/off.
    QString LevelText(int kind, int raw, int functionType) const;

    // Reads the field's text into a raw value held within the bounds (given in the kind's unit,
    // converted to raw values in place), writes tag and text back. True when the value had to
    // be corrected: clamped, empty or unreadable (then the tag's value comes back).
    bool ApplyTypedValue(ValueField &field, int kind, int &min, int &max) const;
    // ApplyTypedValue, then one step up or down within the bounds.
    void StepValue(StepDirection direction, ValueField &field, int kind, int &min, int &max,
                   std::optional<int> step = std::nullopt) const;

    const QLocale &locale() const { return m_locale; }

private:
    QString decimal(double value, int decimals) const;
    QString levelByType(int raw, int functionType, bool forList) const;
    std::optional<int> rawFromNumber(int kind, double number, int functionType) const;
    QString text(int id) const;

    const settings::Strings &m_strings;
    QLocale m_locale;
};

// The tag of a value field: its raw value and the function type carried in it.
struct FieldState {
    int raw = 0;
    int functionType = 0;
};
// Reads a tag; kinds 1, 3, 8 and 9 carry a function type in the high byte.
FieldState ReadTag(const QString &tag, int kind);
QString WriteTag(const FieldState &state, int kind);

} // namespace quintara::ui
