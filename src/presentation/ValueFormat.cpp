#include "presentation/ValueFormat.h"

#include "clock/LevelTable.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quintara::ui {

namespace {

namespace Text = settings::TextId::Level;

namespace Type = project::FunctionType;

// Largest magnitude a typed number may have before it counts as an overflow.
constexpr double TypedLimit = 1e15;

bool carriesFunctionType(int kind)
{
    return kind == ValueKind::Temperature || kind == ValueKind::Level || kind == ValueKind::Light ||
           kind == ValueKind::Percentage;
}

QString trimmedRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

std::optional<qint64> whole(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > TypedLimit)
        return std::nullopt;
    return static_cast<qint64>(RoundHalfEven(value));
}

int lowByte(qint64 value)
{
    return static_cast<int>(((value % 256) + 256) % 256);
}

std::optional<int> withinByte(std::optional<qint64> value)
{
    if (!value || *value < 0 || *value > 255)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<int> asInt(std::optional<qint64> value)
{
    if (!value || *value < std::numeric_limits<int>::min() ||
        *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*value);
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Format "00": at least two digits, the sign in front.
QString twoDigits(int value)
{
    const QString digits = QString::number(std::abs(value)).rightJustified(2, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace

QString ParseLenientNumber(const QString &typed)
{
    const QString text = trimmedRight(typed);
    QString result;
    int separators = 0;
    int minusSigns = 0;
    for (const QChar c : text) {
        const bool separator = c == QLatin1Char(',') || c == QLatin1Char('.');
        const bool minus = c == QLatin1Char('-');
        separators += separator ? 1 : 0;
        minusSigns += minus ? 1 : 0;
        const bool countersLow = separators < 2 && minusSigns < 2;
        if ((isAsciiDigit(c) || minus) && countersLow)
            result += c;
        else if (separator && countersLow)
            result += QLatin1Char('.');
        else if (!result.isEmpty())
            break;
    }
    return result;
}

double LeadingDecimal(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    bool digits = false;
    while (i < text.size() && isAsciiDigit(text.at(i))) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && isAsciiDigit(text.at(i))) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0;
}

double RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

FieldState ReadTag(const QString &tag, int kind)
{
    const double value = LeadingDecimal(tag);
    const qint64 number = std::isfinite(value) && std::fabs(value) < 1e9
                              ? static_cast<qint64>(RoundHalfEven(value))
                              : 0;
    if (carriesFunctionType(kind))
        return FieldState{lowByte(number), lowByte(number >> 8)};
    return FieldState{static_cast<int>(number), 0};
}

QString WriteTag(const FieldState &state, int kind)
{
    return QString::number(carriesFunctionType(kind) ? state.functionType * 256 + state.raw
                                                     : state.raw);
}

ValueFormatter::ValueFormatter(const settings::Strings &strings, QLocale locale)
    : m_strings(strings), m_locale(std::move(locale))
{
    // The number patterns have no thousands grouping.
    m_locale.setNumberOptions(m_locale.numberOptions() | QLocale::OmitGroupSeparator);
}

QString ValueFormatter::text(int id) const
{
    return m_strings.GetResString(id);
}

QString ValueFormatter::decimal(double value, int decimals) const
{
    return m_locale.toString(value, 'f', decimals);
}

QString ValueFormatter::levelByType(int raw, int functionType, bool forList) const
{
    const QString unknown = QStringLiteral("????");
    switch (functionType) {
    case Type::Relay:
        if (raw == 0)
            return text(Text::RelayOff);
        if (raw == 255 || (forList && raw == 1))
            return text(Text::RelayOn);
        if (raw == clock::UncoupledRaw)
            return text(Text::Uncoupled);
        return unknown;
    case Type::Dimmer:
        if (raw == clock::UncoupledRaw)
            return text(Text::Uncoupled);
        return m_locale.toString(clock::RawToPercent(raw)) + QStringLiteral(" %");
    case Type::AudioButton:
        if (forList)
            break;
        return m_locale.toString(raw);
    case Type::Buzzer:
    case Type::Key:
        return m_locale.toString(raw);
    case Type::MotorUpDown:
        if (raw == 0)
            return text(Text::Down);
        if (raw == 255)
            return text(Text::Up);
        return unknown;
    default:
        break;
    }
    if (raw == 0)
        return text(Text::Off);
    if (raw == 255)
        return text(Text::On);
    return unknown;
}

QString ValueFormatter::ShownText(int kind, int raw, int functionType) const
{
    switch (kind) {
    case ValueKind::Temperature:
        return decimal((raw - 200) / 2.0 + 60, 1) + QStringLiteral(" °C");
    case ValueKind::Milliseconds:
        return m_locale.toString(qint64(raw) * 2) + QStringLiteral(" mSec");
    case ValueKind::Level:
        return levelByType(raw, functionType, false);
    case ValueKind::Seconds:
    case ValueKind::SecondsLong:
        return m_locale.toString(raw) + QStringLiteral(" Sec");
    case ValueKind::HalfSeconds:
        return decimal(raw / 2.0, 1) + QStringLiteral(" s");
    case ValueKind::QuarterHours:
        return twoDigits(raw / 4) + QStringLiteral("u ") + twoDigits((raw % 4) * 15) +
               QLatin1Char('m');
    case ValueKind::Light: {
        const double lux = std::pow(10.0, raw / 40.0) - 1;
        const int decimals = lux < 1 ? 2 : lux < 20 ? 1 : 0;
        return decimal(lux, decimals) + QStringLiteral(" Lux");
    }
    case ValueKind::Percentage:
        return m_locale.toString(raw) + QStringLiteral(" %");
    default:
        return m_locale.toString(raw);
    }
}

QString ValueFormatter::LevelText(int kind, int raw, int functionType) const
{
    if (kind == ValueKind::Light || kind == ValueKind::Percentage)
        return m_locale.toString(raw);
    if (kind == ValueKind::Level)
        return levelByType(raw, functionType, true);
    return ShownText(kind, raw, functionType);
}

std::optional<int> ValueFormatter::rawFromNumber(int kind, double number, int functionType) const
{
    switch (kind) {
    case ValueKind::Temperature: {
        const auto raw = whole(2 * number + 80);
        return raw ? std::optional<int>(lowByte(*raw)) : std::nullopt;
    }
    case ValueKind::Milliseconds:
        return withinByte(whole(number / 2));
    case ValueKind::HalfSeconds:
        return withinByte(whole(2 * number));
    case ValueKind::QuarterHours:
        return asInt(whole(4 * number));
    case ValueKind::Light:
        if (!(number + 1 > 0))
            return std::nullopt;
        return withinByte(whole(40 * std::log10(number + 1)));
    case ValueKind::Level:
        break;
    default: // seconds, percentage, plain numbers: the bounds hold them
        return asInt(whole(number));
    }

    const auto typed = whole(number);
    if (!typed)
        return std::nullopt;
    const int value = lowByte(*typed);
    int percent = 0;
    switch (functionType) {
    case Type::Relay:
        percent = value < 50 ? 0 : value <= 104 ? 100 : clock::UncoupledPercent;
        break;
    case Type::Dimmer:
        percent = value <= 100 ? value : value <= 104 ? 100 : clock::UncoupledPercent;
        break;
    case Type::AudioButton:
        return std::min(value, 9);
    case Type::Buzzer:
    case Type::Key:
        return value;
    default:
        percent = value < 50 ? 0 : 100;
        break;
    }
    return clock::PercentToRaw(percent);
}

bool ValueFormatter::ApplyTypedValue(ValueField &field, int kind, int &min, int &max) const
{
    FieldState state = ReadTag(field.tag, kind);
    bool corrected = false;

    QString typed = trimmedRight(field.text).toUpper();
    if (!typed.isEmpty()) {
        if (typed == text(Text::RelayOn).toUpper() || typed == text(Text::On).toUpper() ||
            typed == text(Text::Up).toUpper())
            typed = QStringLiteral("100");
        else if (typed == text(Text::RelayOff).toUpper() || typed == text(Text::Off).toUpper() ||
                 typed == text(Text::Down).toUpper())
            typed = QStringLiteral("0");
        else if (typed == text(Text::Uncoupled).toUpper())
            typed = QStringLiteral("105");
    }

    if (typed.isEmpty()) {
        corrected = true;
    } else {
        const QString number = ParseLenientNumber(typed);
        const bool readable = std::any_of(number.begin(), number.end(), isAsciiDigit);
        const std::optional<int> raw =
            readable ? rawFromNumber(kind, LeadingDecimal(number), state.functionType)
                     : std::nullopt;
        if (raw)
            state.raw = *raw;
        else
            corrected = true; // the value the tag held comes back
    }

    switch (kind) {
    case ValueKind::Temperature:
        min = 2 * min + 80;
        max = 2 * max + 80;
        break;
    case ValueKind::HalfSeconds:
        min *= 2;
        max *= 2;
        break;
    case ValueKind::Milliseconds:
        min = static_cast<int>(RoundHalfEven(min / 2.0));
        max = static_cast<int>(RoundHalfEven(max / 2.0));
        break;
    case ValueKind::Level:
        if (state.functionType == Type::Key) {
            min = 1;
            max = 8;
        } else {
            min = clock::PercentToRaw(min);
            max = max >= clock::UncoupledPercent ? 256 : clock::PercentToRaw(max);
        }
        break;
    default:
        break;
    }

    if (state.raw > max) {
        state.raw = max;
        corrected = true;
    }
    if (state.raw < min) {
        state.raw = min;
        corrected = true;
    }
    field.tag = WriteTag(state, kind);
    field.text = ShownText(kind, state.raw, state.functionType);
    return corrected;
}

void ValueFormatter::StepValue(StepDirection direction, ValueField &field, int kind, int &min,
                               int &max, std::optional<int> step) const
{
    ApplyTypedValue(field, kind, min, max);
    FieldState state = ReadTag(field.tag, kind);

    int size = 1;
    if (kind == ValueKind::QuarterHours) {
        size = 4;
    } else if (kind == ValueKind::Seconds) {
        size = 5;
    } else if (kind == ValueKind::SecondsLong) {
        size = 15;
    } else if (kind == ValueKind::Level) {
        switch (state.functionType) {
        case Type::Relay:
            size = 100;
            break;
        case Type::Dimmer:
            size = 5;
            break;
        case Type::Buzzer:
        case Type::Key:
            size = 1;
            break;
        case Type::AudioButton:
            size = 1;
            max = 9;
            break;
        default:
            size = 255;
            break;
        }
    }
    if (step)
        size = *step;
    const int sign = direction == StepDirection::Up ? 1 : -1;

    if (kind == ValueKind::Level &&
        (state.functionType == Type::Relay || state.functionType == Type::Dimmer)) {
        int percent = clock::RawToPercent(state.raw) + sign * size;
        if (percent <= 100) {
            if (percent > 0 && state.functionType == Type::Relay)
                percent = 100;
        } else {
            percent = max > 255 ? clock::UncoupledPercent : 100;
        }
        state.raw = clock::PercentToRaw(percent);
    } else {
        state.raw += sign * size;
    }

    state.raw = std::max(std::min(state.raw, max), min);
    field.tag = WriteTag(state, kind);
    field.text = ShownText(kind, state.raw, state.functionType);
}

} // namespace quintara::ui
