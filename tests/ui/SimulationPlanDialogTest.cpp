#include "tests/ui/PlanDialogTestSupport.h"

#include "presentation/AgendaModel.h"
#include "ui/FrmKlokken.h"
#include "ui/PlanAgendaPreview.h"
#include "ui/SimulationPlanDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace quintara::testing::window {
namespace {

struct SimulationPlanDialogTest : PlanDialogTest {
    SimulationPlanDialogTest() { put(0, Line(Today, 7, 0, 1, 0, 0)); }

    // Ticks the functions whose entry ends with one of the names.
    static void tick(ui::SimulationPlanDialog &dialog, const QStringList &names)
    {
        QListWidget *list = dialog.functionList();
        for (int row = 0; row < list->count(); ++row) {
            QListWidgetItem *item = list->item(row);
            for (const QString &name : names)
                if (item->text().endsWith(name))
                    item->setCheckState(Qt::Checked);
        }
    }
    static void typeSeed(ui::SimulationPlanDialog &dialog, const QString &seed)
    {
        dialog.seedField()->selectAll();
        QTest::keyClicks(dialog.seedField(), seed);
    }
    static QString seedShown(const ui::SimulationPlanDialog &dialog)
    {
        return dialog.seedField()->text();
    }
};

TEST_F(SimulationPlanDialogTest, ThePlanFollowsTheChoicesAndIsAppliedAsOneUndoStep)
{
    const clock::ClockTable before = program.clockTable;
    ui::SimulationPlanDialog dialog(program, presenter, describer, history);
    // The demo's relays and dimmers, nothing else: its blinds are relays, and the clock line
    // editor lists no blind motors that a simulation could add.
    QStringList offered;
    for (int row = 0; row < dialog.functionList()->count(); ++row)
        offered << dialog.functionList()->item(row)->text();
    EXPECT_EQ(dialog.functionList()->count(), 24 + 14) << offered.join(u'\n').toStdString();
    EXPECT_EQ(dialog.plan().status, plan::SimulationStatus::NoFunction);
    EXPECT_FALSE(dialog.applyButton()->isEnabled());

    tick(dialog, {QStringLiteral("Hall"), QStringLiteral("Hall spots")});
    dialog.morningBox()->setChecked(true);
    typeSeed(dialog, QStringLiteral("27"));
    ASSERT_TRUE(dialog.plan().planned()) << dialog.summary()->text().toStdString();
    EXPECT_EQ(dialog.plan().seed, 27u);
    EXPECT_EQ(dialog.plan().lines.size(), 2 * 7 * 2 * 2);
    EXPECT_TRUE(dialog.summary()->text().contains(QStringLiteral("Seed 27")));
    const QList<clock::ClockLine> seeded = dialog.plan().lines;

    // The agenda shows the coming week with the plan's lines only, each day switched inside
    // the windows.
    const ui::AgendaModel &agenda = dialog.agenda()->model();
    QSet<QDate> days;
    for (const clock::Firing &firing : agenda.firings()) {
        EXPECT_TRUE(dialog.plan().added.contains(firing.line));
        const int minute = firing.moment.minuteOfDay;
        EXPECT_TRUE((6 * 60 + 30 <= minute && minute <= 8 * 60) ||
                    (18 * 60 <= minute && minute <= 23 * 60 + 30));
        days << firing.moment.date();
    }
    EXPECT_EQ(agenda.firings().size(), dialog.plan().lines.size());
    EXPECT_EQ(days.size(), 7);

    // A new seed, other times; the seed typed back, the same times.
    QTest::mouseClick(dialog.newSeedButton(), Qt::LeftButton);
    EXPECT_NE(seedShown(dialog), QStringLiteral("27"));
    EXPECT_NE(dialog.plan().lines, seeded);
    typeSeed(dialog, QStringLiteral("27"));
    EXPECT_EQ(dialog.plan().lines, seeded);
    // The largest seed is taken as it is; one beyond 32 bits never becomes another seed.
    typeSeed(dialog, QStringLiteral("4294967295"));
    EXPECT_EQ(dialog.plan().seed, 4294967295u);
    typeSeed(dialog, QStringLiteral("4294967296"));
    EXPECT_EQ(qint64(dialog.seedField()->value()), qint64(dialog.plan().seed));
    typeSeed(dialog, QStringLiteral("27"));

    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    for (const int index : dialog.plan().added)
        EXPECT_EQ(program.clockTable.Lines[std::size_t(index)].Table, clock::Simulation);
    EXPECT_EQ(program.clockTable.Lines[0], before.Lines[0]);
    EXPECT_TRUE(program.clockTable.TableChanged);
    ASSERT_EQ(history.stack().count(), 1);
    EXPECT_EQ(history.stack().undoText(), QStringLiteral("Plan presence simulation"));
    history.stack().undo();
    EXPECT_EQ(program.clockTable.Lines, before.Lines);
}

TEST_F(SimulationPlanDialogTest, ARefusalSaysWhyAndCancelChangesNothing)
{
    const clock::ClockTable before = program.clockTable;
    ui::SimulationPlanDialog dialog(program, presenter, describer, history);
    tick(dialog, {QStringLiteral("Hall")});
    ASSERT_TRUE(dialog.plan().planned());

    // The evening ends before it begins.
    dialog.eveningTo()->setTime(QTime(17, 0));
    EXPECT_EQ(dialog.plan().status, plan::SimulationStatus::WindowRefused);
    EXPECT_TRUE(dialog.summary()->text().contains(QStringLiteral("evening")))
        << dialog.summary()->text().toStdString();
    EXPECT_FALSE(dialog.applyButton()->isEnabled());
    EXPECT_TRUE(dialog.agenda()->model().firings().empty());
    dialog.accept();
    EXPECT_EQ(history.stack().count(), 0);

    dialog.eveningTo()->setTime(QTime(23, 0));
    ASSERT_TRUE(dialog.plan().planned());
    dialog.reject();
    EXPECT_EQ(program.clockTable.Lines, before.Lines);
    EXPECT_EQ(history.stack().count(), 0);
}

// Edit > Plan presence simulation in the main window, and Edit > Undo after it.
TEST_F(SimulationPlanDialogTest, TheEditMenuPlansAndUndoesInTheMainWindow)
{
    ui::FrmKlokken window(program, dialogs);
    window.show();
    const clock::ClockTable before = program.clockTable;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *found = qobject_cast<ui::SimulationPlanDialog *>(QApplication::activeModalWidget());
        if (!found)
            return;
        user.stop();
        tick(*found, {QStringLiteral("Hall")});
        QTest::mouseClick(found->applyButton(), Qt::LeftButton);
        if (found->isVisible())
            found->reject();
    });
    user.start(5);
    Named<QAction>(&window, QStringLiteral("mmuPlanSimulation"))->trigger();
    EXPECT_NE(program.clockTable.Lines, before.Lines);
    EXPECT_TRUE(std::any_of(program.clockTable.Lines.begin(), program.clockTable.Lines.end(),
                            [](const clock::ClockLine &line) {
                                return line.inUse() && line.Table == clock::Simulation;
                            }));
    Named<QAction>(&window, QStringLiteral("mmuUndo"))->trigger();
    EXPECT_EQ(program.clockTable.Lines, before.Lines);
}

} // namespace
} // namespace quintara::testing::window
