#pragma once

// What the planners' dialog tests share: a program with the demo installation's project (it
// has lights, dimmers and the clock functions) and the parts a planner's dialog takes.
#include "tests/ui/WindowTestSupport.h"

#include "presentation/FunctionPresenter.h"
#include "presentation/LineDescriber.h"
#include "presentation/ValueFormat.h"
#include "project/ProjectFileReader.h"
#include "settings/NameTables.h"
#include "ui/TableHistory.h"

namespace quintara::testing::window {

struct PlanDialogTest : ProgramTest {
    ui::ValueFormatter values{program.strings};
    ui::FunctionPresenter presenter{program.project, program.names, program.strings, values};
    ui::LineDescriber describer{presenter, program.names, program.strings, program.clock};
    ui::TableHistory history{program.clockTable};

    PlanDialogTest()
    {
        project::ProjectRead read =
            project::ReadProjectFile(DemoProject(), program.settings, program.strings);
        EXPECT_TRUE(read.read());
        project::AdoptProjectRead(read, DemoProject(), program.project, program.settings);
        clock::ApplyModel(program.clockTable, program.project);
        program.clockTable.ClockFileVersion = 1;
        program.names = settings::FillNameTables(program.strings);
    }

    int linesInUse() const
    {
        return int(std::count_if(program.clockTable.Lines.begin(), program.clockTable.Lines.end(),
                                 [](const clock::ClockLine &line) { return line.inUse(); }));
    }
};

} // namespace quintara::testing::window
