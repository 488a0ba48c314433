#include "presentation/SiteHealth.h"

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "clock/HealthCheck.h"
#include "platform/Clock.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/ValueFormat.h"
#include "project/ProjectFileReader.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "settings/Strings.h"

namespace quintara::ui {

book::ProblemCounter SiteProblemCounter(const settings::Strings &strings,
                                        const platform::Clock &clock)
{
    return [&strings, &clock](const QByteArray &projectFile, const QByteArray &clockImage) {
        clock::ClockTable table;
        clock::ReadClockImage(table, clockImage);
        const settings::Settings settings;
        const project::ProjectRead read = project::ReadProjectData(projectFile, settings, strings);
        if (!read.read())
            return int(clock::CheckHealth(table, clock.now(), {1, 1, 1, 1, 1, 0, 0}).size());
        const settings::NameTables names = settings::FillNameTables(strings);
        const ValueFormatter values(strings, QLocale::c());
        const FunctionPresenter presenter(*read.model, names, strings, values);
        return int(clock::CheckHealth(table, clock.now(), read.model->WorkdayFlags(),
                                      presenter.ListedFunctions())
                       .size());
    };
}

} // namespace quintara::ui
