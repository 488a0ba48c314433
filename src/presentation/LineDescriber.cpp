#include "presentation/LineDescriber.h"

#include "clock/ClockTable.h"
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
    return TwoDigits(line.Day) + u'/' + TwoDigits(line.Month) + u'/' +
           QString::number(year >= 0 ? year : line.Year);
}

QString LineDescriber::repeatText(const clock::ClockLine &line) const
{
    QString unit = m_names.repeatName(line.RepeatUnit).trimmed();
    if (unit.isEmpty())
        unit = QString::number(line.RepeatUnit);
    if (line.RepeatUnit == clock::Once)
        return unit;
    return m_strings.GetResString(settings::TextId::LineList::Every)
        .arg(line.RepeatCount)
        .arg(unit);
}

std::pair<QString, QString> LineDescriber::panelSummary(const clock::ClockLine &line) const
{
    const QString what = functionText(line) + u' ' + levelText(line);
    QString when = clock::ReferenceDateTime(line, years()).toString(QStringLiteral("dd/MM hh:mm"));
    return {what, when + u' ' + repeatText(line)};
}

} // namespace quintara::ui
