#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"

#include "clock/YearWindow.h"
#include "plan/Holidays.h"
#include "platform/Clock.h"

#include <cstdio>

namespace quintara::cli {

int RunHolidays(const HolidayOptions &holidays, int language, const platform::Clock &clock,
                const OutputOptions &output, QTextStream &out)
{
    const plan::HolidaysOutcome outcome =
        plan::PublicHolidays(holidays.country, holidays.fromYear, holidays.toYear, language,
                             clock::YearWindow::around(clock.now()));
    if (const auto *refusal = std::get_if<plan::YearsRefusal>(&outcome)) {
        const QString text =
            refusal->reason == plan::YearsRefused::Reversed
                ? QStringLiteral("--to lies before --from")
                : QStringLiteral("the holidays are known for the years %1 to %2 (the years the "
                                 "central unit's dates hold)")
                      .arg(refusal->supported.first)
                      .arg(refusal->supported.last);
        std::fprintf(stderr, "quintara-cli: %s\n", qUtf8Printable(text));
        return ExitUsage;
    }
    const QList<plan::Holiday> &days = std::get<QList<plan::Holiday>>(outcome);
    if (output.json) {
        QJsonArray list;
        for (const plan::Holiday &day : days)
            list.append(QJsonObject{{QStringLiteral("date"), day.date.toString(Qt::ISODate)},
                                    {QStringLiteral("name"), day.name}});
        // Keys in the documented order: country first.
        out << "{\"country\":" << JsonString(plan::CountryCode(holidays.country))
            << ",\"holidays\":"
            << QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact)) << "}\n";
        return ExitOk;
    }
    const QLocale english(QLocale::English);
    for (const plan::Holiday &day : days)
        out << day.date.toString(Qt::ISODate) << "  "
            << english.dayName(day.date.dayOfWeek(), QLocale::ShortFormat) << "  " << day.name
            << '\n';
    return ExitOk;
}

} // namespace quintara::cli
