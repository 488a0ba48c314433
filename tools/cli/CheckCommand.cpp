#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "clock/HealthCheck.h"
#include "platform/Clock.h"
#include "presentation/HealthText.h"

namespace quintara::cli {

namespace {

QString MomentJson(const clock::Moment &moment)
{
    return ui::MomentText(moment).replace(QLatin1Char(' '), QLatin1Char('T'));
}

} // namespace

int RunCheck(Session &session, const QString &clockFile, const platform::Clock &clock,
             const OutputOptions &output, QTextStream &out)
{
    if (!session.ReadClock(clockFile))
        return ExitFailed;
    const clock::ClockTable &table = session.clockTable();
    const QDateTime now = clock.now();
    const std::vector<clock::HealthProblem> problems = session.health(now);
    const clock::YearWindow years = clock::YearWindow::around(now);

    if (output.json) {
        // Written by hand to keep the keys in the documented order.
        out << "{\"problems\":[";
        for (std::size_t i = 0; i < problems.size(); ++i) {
            const clock::HealthProblem &problem = problems[i];
            out << (i > 0 ? ",{" : "{") << "\"line\":" << problem.line << ",\"kind\":\""
                << clock::HealthKindName(problem.kind) << "\",\"text\":"
                << JsonString(ui::HealthText(problem, table, session.strings(), years));
            if (problem.kind == clock::HealthKind::Conflict)
                out << ",\"other\":" << problem.other << ",\"at\":\"" << MomentJson(problem.at)
                    << '"';
            else if (problem.kind == clock::HealthKind::HolidaysRunOut)
                out << ",\"at\":\"" << problem.at.date().toString(Qt::ISODate) << '"';
            out << '}';
        }
        out << "]}\n";
    } else if (problems.empty()) {
        out << ui::HealthyText(session.strings()) << '\n';
    } else {
        for (const clock::HealthProblem &problem : problems)
            out << ui::HealthText(problem, table, session.strings(), years) << '\n';
    }
    return problems.empty() ? ExitOk : ExitProblems;
}

} // namespace quintara::cli
