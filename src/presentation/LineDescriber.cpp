#include "presentation/LineDescriber.h"

#include "clock/ClockTable.h"
#include "presentation/DateText.h"
#include "presentation/FunctionPresenter.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

namespace quintara::ui {

namespace {

QString TwoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString LineDescriber::functionText(const clock::ClockLine &line) const
{
    return m_presenter.DescribeFunction(line.FunctionType, line.FunctionNumber,
                                        DescribeMode::CodeNumber, false);
}

QString LineDescriber::levelText(const clock::ClockLine &line) const
{
    return m_presenter.values().LevelText(ValueKind::Level, line.Level, line.FunctionType);
}

QString LineDescriber::tableText(const clock::ClockLine &line) const
{
    if (line.Table >= clock::TableKindCount)
        return QString::number(line.Table);
    return m_strings.GetResString(clock::TableKindNameIds[line.Table]).trimmed();
}

QString LineDescriber::timeText(const clock::ClockLine &line)
{
    return TwoDigits(line.Hour) + u':' + TwoDigits(line.Minute);
}

QString LineDescriber::dateText(const clock::ClockLine &line) const
{
    const int year = years().fullYear(line.Year);
    return DateText::of(m_strings).parts(line.Day, line.Month, year >= 0 ? year : line.Year);
}

QString LineDescriber::repeatText(const clock::ClockLine &line) const
{
    namespace Text = settings::TextId::LineList;
    // A workday or weekend table line fires on each of those days whatever its repetition says.
    if (line.Table == clock::Workday)
        return m_strings.GetResString(Text::EveryOne + clock::Workdays - clock::Minutes);
    if (line.Table == clock::Weekend)
        return m_strings.GetResString(Text::EveryOne + clock::WeekendDays - clock::Minutes);
    if (line.RepeatUnit >= clock::Minutes && line.RepeatUnit <= clock::WeekendDays) {
        const int unit = line.RepeatUnit - clock::Minutes;
        if (line.RepeatCount == 1)
            return m_strings.GetResString(Text::EveryOne + unit);
        return m_strings.GetResString(Text::EveryMany + unit).arg(line.RepeatCount);
    }
    // Once, or a unit the program has no words for (a damaged line): as the editor names it.
    QString unit = m_names.repeatName(line.RepeatUnit).trimmed();
    if (unit.isEmpty())
        unit = QString::number(line.RepeatUnit);
    if (line.RepeatUnit == clock::Once)
        return unit;
    return m_strings.GetResString(Text::Every).arg(line.RepeatCount).arg(unit);
}

std::pair<QString, QString> LineDescriber::panelSummary(const clock::ClockLine &line) const
{
    const QString what = functionText(line) + u' ' + levelText(line);
    const QDateTime reference = clock::ReferenceDateTime(line, years());
    const QString when = reference.isValid()
                             ? DateText::of(m_strings).dayAndMonth(reference.date()) + u' ' +
                                   reference.time().toString(QStringLiteral("HH:mm"))
                             : QString();
    return {what, when + u' ' + repeatText(line)};
}

} // namespace quintara::ui
