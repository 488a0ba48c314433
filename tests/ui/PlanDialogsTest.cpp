// The planners' dialogs: the presence simulation and the days off.
#include "tests/ui/WindowTestSupport.h"

#include "presentation/AgendaModel.h"
#include "presentation/FunctionPresenter.h"
#include "presentation/LineDescriber.h"
#include "presentation/ValueFormat.h"
#include "project/ProjectFileReader.h"
#include "settings/NameTables.h"
#include "ui/FrmKlokken.h"
#include "ui/HolidayPlanDialog.h"
#include "ui/PlanAgendaPreview.h"
#include "ui/SimulationPlanDialog.h"
#include "ui/TableHistory.h"

namespace quintara::testing::window {
namespace {

// The demo installation's project (it has lights, dimmers and the clock functions), a table
// with one line of its own, and the parts a planner's dialog takes.
struct PlanDialogsTest : ProgramTest {
    ui::ValueFormatter values{program.strings};
    ui::FunctionPresenter presenter{program.project, program.names, program.strings, values};
    ui::LineDescriber describer{presenter, program.names, program.strings, program.clock};
    ui::TableHistory history{program.clockTable};

    PlanDialogsTest()
    {
        project::ProjectRead read =
            project::ReadProjectFile(DemoProject(), program.settings, program.strings);
        EXPECT_TRUE(read.read());
        project::AdoptProjectRead(read, DemoProject(), program.project, program.settings);
        clock::ApplyModel(program.clockTable, program.project);
        program.clockTable.ClockFileVersion = 1;
        program.names = settings::FillNameTables(program.strings);
        put(0, Line(Today, 7, 0, 1, 0, 0));
    }

    int linesInUse() const
    {
        return int(std::count_if(program.clockTable.Lines.begin(), program.clockTable.Lines.end(),
                                 [](const clock::ClockLine &line) { return line.inUse(); }));
    }
    // Ticks the functions whose entry ends with one of the names.
    static void tick(ui::SimulationPlanDialog &dialog, const QStringList &names)
    {
        QListWidget *list = dialog.functionList();
        for (int row = 0; row < list->count(); ++row)
            for (const QString &name : names)
                if (list->item(row)->text().endsWith(name))
                    list->item(row)->setCheckState(Qt::Checked);
    }
    static void typeSeed(ui::SimulationPlanDialog &dialog, const QString &seed)
    {
        dialog.seedField()->selectAll();
        QTest::keyClicks(dialog.seedField(), seed);
    }
    static void choose(ui::HolidayPlanDialog &dialog, plan::Country country)
    {
        dialog.countryBox()->setCurrentIndex(dialog.countryBox()->findData(int(country)));
    }
    static QStringList periods(const ui::HolidayPlanDialog &dialog)
    {
        QStringList texts;
        for (int row = 0; row < dialog.periodList()->count(); ++row)
            texts << dialog.periodList()->item(row)->text();
        return texts;
    }
    // A refused plan says why, and nothing can be applied.
    template <typename Dialog> void expectRefused(Dialog &dialog, const QString &why)
    {
        EXPECT_TRUE(dialog.summary()->text().contains(why))
            << dialog.summary()->text().toStdString();
        EXPECT_TRUE(!dialog.applyButton()->isEnabled() &&
                    dialog.agenda()->model().firings().empty());
        dialog.accept();
        EXPECT_EQ(history.stack().count(), 0);
    }
};

TEST_F(PlanDialogsTest, ASimulationFollowsTheChoicesAndIsAppliedAsOneUndoStep)
{
    const clock::ClockTable before = program.clockTable;
    ui::SimulationPlanDialog dialog(program, presenter, describer, history);
    // The demo's relays and dimmers, nothing else: its blinds are relays, and the clock line
    // editor lists no blind motors that a simulation could add.
    EXPECT_EQ(dialog.functionList()->count(), 24 + 14);
    EXPECT_TRUE(dialog.plan().status == plan::SimulationStatus::NoFunction &&
                !dialog.applyButton()->isEnabled());

    tick(dialog, {QStringLiteral("Hall"), QStringLiteral("Hall spots")});
    dialog.morningBox()->setChecked(true);
    typeSeed(dialog, QStringLiteral("27"));
    ASSERT_TRUE(dialog.plan().planned()) << dialog.summary()->text().toStdString();
    EXPECT_EQ(std::tuple(dialog.plan().seed, dialog.plan().lines.size(),
                         dialog.summary()->text().contains(QStringLiteral("Seed 27"))),
              std::tuple(27u, 2 * 7 * 2 * 2, true));
    const QList<clock::ClockLine> seeded = dialog.plan().lines;

    // The agenda shows the coming week with the plan's lines only (when they fire is the
    // plan's to test).
    const ui::AgendaModel &agenda = dialog.agenda()->model();
    for (const clock::Firing &firing : agenda.firings())
        EXPECT_TRUE(dialog.plan().added.contains(firing.line));
    EXPECT_EQ(agenda.firings().size(), std::size_t(dialog.plan().lines.size()));

    // A new seed, other times; the seed typed back, the same times.
    QTest::mouseClick(dialog.newSeedButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.seedField()->text() != QStringLiteral("27") &&
                dialog.plan().lines != seeded);
    typeSeed(dialog, QStringLiteral("27"));
    EXPECT_EQ(dialog.plan().lines, seeded);
    // The largest seed is taken as it is; one beyond 32 bits never becomes another seed.
    typeSeed(dialog, QStringLiteral("4294967295"));
    EXPECT_EQ(dialog.plan().seed, 4294967295u);
    typeSeed(dialog, QStringLiteral("4294967296"));
    EXPECT_EQ(qint64(dialog.seedField()->value()), qint64(dialog.plan().seed));
    typeSeed(dialog, QStringLiteral("27"));

    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    for (const int index : dialog.plan().added)
        EXPECT_EQ(program.clockTable.Lines[std::size_t(index)].Table, clock::Simulation);
    EXPECT_TRUE(dialog.result() == QDialog::Accepted && program.clockTable.TableChanged &&
                program.clockTable.Lines[0] == before.Lines[0]);
    EXPECT_EQ(std::pair(history.stack().count(), history.stack().undoText()),
              std::pair(1, QStringLiteral("Plan presence simulation")));
    history.stack().undo();
    EXPECT_EQ(program.clockTable.Lines, before.Lines);
}

// Edit > Plan presence simulation in the main window, and Edit > Undo after it.
TEST_F(PlanDialogsTest, TheEditMenuPlansASimulationAndUndoesItInTheMainWindow)
{
    ui::FrmKlokken window(program, dialogs);
    window.show();
    const clock::ClockTable before = program.clockTable;
    const WhenModal<ui::SimulationPlanDialog> user([](ui::SimulationPlanDialog &found) {
        tick(found, {QStringLiteral("Hall")});
        QTest::mouseClick(found.applyButton(), Qt::LeftButton);
    });
    Named<QAction>(&window, QStringLiteral("mmuPlanSimulation"))->trigger();
    EXPECT_TRUE(std::any_of(program.clockTable.Lines.begin(), program.clockTable.Lines.end(),
                            [](const clock::ClockLine &line) {
                                return line.inUse() && line.Table == clock::Simulation;
                            }));
    Named<QAction>(&window, QStringLiteral("mmuUndo"))->trigger();
    EXPECT_EQ(program.clockTable.Lines, before.Lines);
}

TEST_F(PlanDialogsTest, ARefusedPlanSaysWhyAndCancelChangesNothing)
{
    const clock::ClockTable before = program.clockTable;
    ui::SimulationPlanDialog simulation(program, presenter, describer, history);
    EXPECT_EQ(AltLetterFaults(simulation), QStringList());
    tick(simulation, {QStringLiteral("Hall")});
    ASSERT_TRUE(simulation.plan().planned());
    // The evening ends before it begins.
    simulation.eveningTo()->setTime(QTime(17, 0));
    EXPECT_EQ(simulation.plan().status, plan::SimulationStatus::WindowRefused);
    expectRefused(simulation, QStringLiteral("evening"));
    simulation.eveningTo()->setTime(QTime(23, 0));
    ASSERT_TRUE(simulation.plan().planned());
    simulation.reject();
    EXPECT_TRUE(program.clockTable.Lines == before.Lines && history.stack().count() == 0);

    // Days off for a table too full to take them.
    for (int i = 0; i < program.clockTable.MaxClockLines; ++i)
        put(i, Line(Today, 7, i % 60, 1, 0, 0));
    ui::HolidayPlanDialog holidays(program, presenter, describer, history, dialogs);
    EXPECT_EQ(AltLetterFaults(holidays), QStringList());
    choose(holidays, plan::Country::GB);
    EXPECT_EQ(holidays.plan().status, plan::HolidayPlanStatus::DoesNotFit);
    expectRefused(holidays, QStringLiteral("the plan needs"));
}

TEST_F(PlanDialogsTest, DaysOffFollowTheChoicesAndAreAppliedAsOneUndoStep)
{
    ui::HolidayPlanDialog dialog(program, presenter, describer, history, dialogs);
    choose(dialog, plan::Country::NL);
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
    EXPECT_TRUE(dialog.result() == QDialog::Accepted && program.clockTable.TableChanged);
    EXPECT_EQ(std::pair(linesInUse(), history.stack().count()), std::pair(int(1 + adding), 1));

    // Planning again lists the vacation planned before: removing it is the user's choice.
    ui::HolidayPlanDialog again(program, presenter, describer, history, dialogs);
    ASSERT_EQ(again.sourceList()->count(), 1);
    EXPECT_EQ(again.sourceList()->item(0)->text(),
              QStringLiteral("Vacation 2027-07-12 to 2027-07-30"));
    again.countryBox()->setCurrentIndex(0);
    const QList<clock::ClockLine> away{
        clock::DayStartRegimeLine(QDate(2027, 7, 12), clock::Regime::PresenceSimulation, false),
        clock::DayStartRegimeLine(QDate(2027, 7, 31), clock::Regime::Automatic, false)};
    EXPECT_EQ(again.plan().lines, away);
    history.stack().undo();
    EXPECT_EQ(linesInUse(), 1);
}

// The agenda marks the planned lines (on which days they fire is the plan's to test).
TEST_F(PlanDialogsTest, TheAgendaOfTheDaysOffMarksThePlannedLines)
{
    ui::HolidayPlanDialog dialog(program, presenter, describer, history, dialogs);
    choose(dialog, plan::Country::NL);
    ASSERT_TRUE(dialog.plan().planned());
    const ui::AgendaModel &agenda = dialog.agenda()->model();
    ASSERT_FALSE(agenda.firings().empty());
    for (const clock::Firing &firing : agenda.firings())
        EXPECT_TRUE(dialog.plan().added.contains(firing.line));
    const QAbstractItemModel *rows = dialog.agenda()->tableView()->model();
    const auto bold = [rows](std::size_t row) {
        return rows->index(int(row), 0).data(Qt::FontRole).value<QFont>().bold();
    };
    EXPECT_TRUE(bold(0));

    // With every line, the table's own line is there too and not marked, and nothing changed.
    dialog.agenda()->onlyPlannedBox()->setChecked(false);
    const auto own = std::find_if(agenda.firings().begin(), agenda.firings().end(),
                                  [](const clock::Firing &firing) { return firing.line == 0; });
    ASSERT_NE(own, agenda.firings().end());
    EXPECT_TRUE(!bold(std::size_t(own - agenda.firings().begin())) && linesInUse() == 1);
}

} // namespace
} // namespace quintara::testing::window
