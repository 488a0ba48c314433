#pragma once

#include "clock/YearWindow.h"
#include "plan/PresenceSimulation.h"

#include <QString>

namespace quintara::ui {

// "18:00-23:30"
QString WindowText(const plan::TimeWindow &window);
// Why there is no simulation; functions are named "TYPE:NUMBER".
QString SimulationRefusalText(const plan::PresenceSimulation &plan,
                              const plan::SimulationRequest &request);
// One planned line: "line 12: Mon 18:23 every week  <level> <function>"; `functionText` and
// `levelText` as the front end describes the line.
QString SimulationLineText(int index, const clock::ClockLine &line, clock::YearWindow years,
                           const QString &levelText, const QString &functionText);
// Line indexes as a list reads them: "3 4 17".
QString LineIndexesText(const QList<int> &indexes);
// What the lines do and when, and the seed that makes them again.
QString SimulationNoteText(const plan::PresenceSimulation &plan);

} // namespace quintara::ui
