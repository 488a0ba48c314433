#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "clock/HealthCheck.h"
#include "platform/Clock.h"
#include "ui/presentation/HealthText.h"

#include <QJsonArray>

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
    std::optional<QSet<int>> listed;
    if (session.hasProject())
        listed = session.presenter().ListedFunctions();
    const std::vector<clock::HealthProblem> problems =
        clock::CheckHealth(table, clock.now(), session.workdays(), listed);

    if (output.json) {
        QJsonArray list;
        for (const clock::HealthProblem &problem : problems) {
            QJsonObject object{
                {QStringLiteral("line"), problem.line},
                {QStringLiteral("kind"), QString(clock::HealthKindName(problem.kind))},
                {QStringLiteral("text"), ui::HealthText(problem, table, session.strings())},
            };
            if (problem.kind == clock::HealthKind::Conflict) {
                object.insert(QStringLiteral("other"), problem.other);
                object.insert(QStringLiteral("at"), MomentJson(problem.at));
            }
            list.append(object);
        }
        WriteJson(out, QJsonObject{{QStringLiteral("problems"), list}});
    } else if (problems.empty()) {
        out << ui::HealthyText(session.strings()) << '\n';
    } else {
        for (const clock::HealthProblem &problem : problems)
            out << ui::HealthText(problem, table, session.strings()) << '\n';
    }
    return problems.empty() ? ExitOk : ExitProblems;
}

} // namespace quintara::cli
