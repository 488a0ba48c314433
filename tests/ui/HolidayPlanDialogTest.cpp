#include "tests/ui/WindowTestSupport.h"

#include "presentation/FunctionPresenter.h"
#include "project/ProjectFileReader.h"
#include "settings/NameTables.h"
#include "presentation/LineDescriber.h"
#include "presentation/ValueFormat.h"
#include "ui/HolidayPlanDialog.h"
#include "ui/TableHistory.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace quintara::testing::window {
namespace {

struct HolidayPlanDialogTest : ProgramTest {
    ui::ValueFormatter values{program.strings};
    ui::FunctionPresenter presenter{program.project, program.names, program.strings, values};
    ui::LineDescriber describer{presenter, program.names, program.strings, program.clock};
    ui::TableHistory history{program.clockTable};

    HolidayPlanDialogTest()
    {
        // The demo installation has the clock functions.
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
    QStringList periods(const ui::HolidayPlanDialog &dialog) const
    {
        QStringList texts;
        for (int row = 0; row < dialog.periodList()->count(); ++row)
            texts << dialog.periodList()->item(row)->text();
        return texts;
    }
};

TEST_F(HolidayPlanDialogTest, ThePlanFollowsTheChoicesAndIsAppliedAsOneUndoStep)
{
    put(0, Line(Today, 7, 0, 1, 0, 0));
    ui::HolidayPlanDialog dialog(program, presenter, describer, history, dialogs);
    dialog.countryBox()->setCurrentIndex(dialog.countryBox()->findData(int(plan::Country::NL)));
    ASSERT_TRUE(dialog.plan().planned()) << dialog.summary()->text().toStdString();
    EXPECT_TRUE(dialog.applyButton()->isEnabled());
    const qsizetype planned = dialog.plan().lines.size();

    // Unticking Christmas leaves its two yearly lines out, and it can be ticked back.
    QListWidgetItem *christmas = nullptr;
    for (int row = 0; row < dialog.periodList()->count(); ++row)
        if (dialog.periodList()->item(row)->text().startsWith(u"2026-12-25..2026-12-26"))
            christmas = dialog.periodList()->item(row);
    ASSERT_NE(christmas, nullptr) << periods(dialog).join(u'\n').toStdString();
    christmas->setCheckState(Qt::Unchecked);
    EXPECT_EQ(dialog.plan().lines.size(), planned - 2);
    EXPECT_TRUE(periods(dialog).last().endsWith(QStringLiteral("(left out)")));

    dialog.addVacation({QDate(2027, 7, 12), QDate(2027, 7, 30)});
    EXPECT_TRUE(periods(dialog).join(u'\n').contains(QStringLiteral("2027-07-12..2027-07-30")));
    const qsizetype adding = dialog.plan().lines.size();

    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(linesInUse(), 1 + adding);
    EXPECT_TRUE(program.clockTable.TableChanged);
    ASSERT_EQ(history.stack().count(), 1);
    history.stack().undo();
    EXPECT_EQ(linesInUse(), 1);
}

TEST_F(HolidayPlanDialogTest, ATableTooFullIsRefusedAndNothingCanBeApplied)
{
    for (int i = 0; i < program.clockTable.MaxClockLines; ++i)
        put(i, Line(Today, 7, i % 60, 1, 0, 0));
    ui::HolidayPlanDialog dialog(program, presenter, describer, history, dialogs);
    dialog.countryBox()->setCurrentIndex(dialog.countryBox()->findData(int(plan::Country::GB)));
    EXPECT_EQ(dialog.plan().status, plan::HolidayPlanStatus::DoesNotFit);
    EXPECT_TRUE(dialog.summary()->text().startsWith(QStringLiteral("the plan needs")))
        << dialog.summary()->text().toStdString();
    EXPECT_FALSE(dialog.applyButton()->isEnabled());
    dialog.accept();
    EXPECT_EQ(history.stack().count(), 0);
}

} // namespace
} // namespace quintara::testing::window
