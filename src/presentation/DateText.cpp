#include "presentation/DateText.h"

#include "settings/Strings.h"

#include <array>

namespace quintara::ui {

namespace {

// The program's languages in the order of the string table's columns.
constexpr std::array<QLocale::Language, 7> TextLanguages = {
    QLocale::English, QLocale::Dutch,   QLocale::French,    QLocale::German,
    QLocale::Spanish, QLocale::Italian, QLocale::Portuguese};

QString TwoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

DateText::DateText(QLocale::Language language)
    : m_separator(language == QLocale::Dutch    ? u'-'
                  : language == QLocale::German ? u'.'
                                                : u'/')
{
}

DateText DateText::of(const settings::Strings &strings)
{
    const int index = strings.LanguageOffset() / 10000;
    return DateText(index >= 0 && index < int(TextLanguages.size())
                        ? TextLanguages[std::size_t(index)]
                        : QLocale::English);
}

QString DateText::format() const
{
    return QStringLiteral("dd") + m_separator + QStringLiteral("MM") + m_separator +
           QStringLiteral("yyyy");
}

QString DateText::date(QDate date) const
{
    return date.toString(format());
}

QString DateText::dateTime(const QDateTime &moment) const
{
    return moment.toString(format() + QStringLiteral(" HH:mm"));
}

QString DateText::dayAndDate(QDate date, const QLocale &locale) const
{
    return locale.toString(date, QStringLiteral("ddd ") + format());
}

QString DateText::dayAndMonth(QDate date) const
{
    return TwoDigits(date.day()) + m_separator + TwoDigits(date.month());
}

QString DateText::parts(int day, int month, int year) const
{
    return TwoDigits(day) + m_separator + TwoDigits(month) + m_separator + QString::number(year);
}

} // namespace quintara::ui
