#include "presentation/TimeInput.h"

namespace quintara::ui {

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool AllDigits(QStringView text)
{
    for (QChar c : text) {
        if (!IsAsciiDigit(c))
            return false;
    }
    return true;
}

// The separator between hour and minutes, or -1; -2 when there is more than one.
qsizetype SeparatorAt(QStringView text)
{
    qsizetype at = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u':' || text[i] == u'.') {
            if (at >= 0)
                return -2;
            at = i;
        }
    }
    return at;
}

std::optional<QTime> TimeOf(QStringView hour, QStringView minute)
{
    const int h = hour.toInt();
    const int m = minute.isEmpty() ? 0 : minute.toInt();
    if (h > 23 || m > 59)
        return std::nullopt;
    return QTime(h, m);
}

} // namespace

std::optional<QTime> ParseTypedTime(QStringView text)
{
    text = text.trimmed();
    const qsizetype separator = SeparatorAt(text);
    if (separator == -2)
        return std::nullopt;
    if (separator >= 0) {
        const QStringView hour = text.left(separator);
        const QStringView minute = text.mid(separator + 1);
        if (hour.isEmpty() || hour.size() > 2 || minute.size() != 2 || !AllDigits(hour) ||
            !AllDigits(minute))
            return std::nullopt;
        return TimeOf(hour, minute);
    }
    if (text.isEmpty() || text.size() > 4 || !AllDigits(text))
        return std::nullopt;
    // "7" and "07" are hours; "730" and "0730" carry two digits of minutes.
    const qsizetype hourDigits = text.size() <= 2 ? text.size() : text.size() - 2;
    return TimeOf(text.left(hourDigits), text.mid(hourDigits));
}

TypedTimeState CheckTypedTime(QStringView text)
{
    if (ParseTypedTime(text))
        return TypedTimeState::Acceptable;
    text = text.trimmed();
    const qsizetype separator = SeparatorAt(text);
    if (separator == -2)
        return TypedTimeState::Invalid;
    if (separator < 0)
        return text.size() <= 4 && AllDigits(text) ? TypedTimeState::Intermediate
                                                   : TypedTimeState::Invalid;
    const QStringView hour = text.left(separator);
    const QStringView minute = text.mid(separator + 1);
    const bool shaped = hour.size() <= 2 && minute.size() <= 2 && AllDigits(hour) &&
                        AllDigits(minute);
    return shaped ? TypedTimeState::Intermediate : TypedTimeState::Invalid;
}

QString TimeFieldText(QTime time)
{
    return time.toString(QStringLiteral("HH:mm"));
}

} // namespace quintara::ui
