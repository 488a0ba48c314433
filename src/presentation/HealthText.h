#pragma once

#include "clock/HealthCheck.h"

#include "clock/ClockTable.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace quintara::settings {
class Strings;
}
namespace quintara::clock {
struct ClockTable;
}

namespace quintara::ui {

// A problem of the health check as one sentence for people, in the language of `strings`,
// naming lines by their index and moments as YYYY-MM-DD HH:MM; the check's `years`.
QString HealthText(const clock::HealthProblem &problem, const clock::ClockTable &table,
                   const settings::Strings &strings, clock::YearWindow years);

// The heading of a summary of the problems, counting the lines they name.
QString HealthSummaryHeading(const std::vector<clock::HealthProblem> &problems,
                             const settings::Strings &strings);

// The texts of the problems by line, as a list of lines shows them: a conflict under both of
// its lines.
std::array<QStringList, clock::ClockLineCount>
HealthTextsByLine(const std::vector<clock::HealthProblem> &problems, const clock::ClockTable &table,
                  const settings::Strings &strings, clock::YearWindow years);

// What a check that found nothing says.
QString HealthyText(const settings::Strings &strings);

// A moment as the health texts and the command line write it: YYYY-MM-DD HH:MM.
QString MomentText(const clock::Moment &moment);

} // namespace quintara::ui
