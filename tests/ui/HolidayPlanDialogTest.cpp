#include "tests/ui/PlanDialogTestSupport.h"

#include "presentation/AgendaModel.h"
#include "ui/HolidayPlanDialog.h"
#include "ui/PlanAgendaPreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace quintara::testing::window {
namespace {

struct HolidayPlanDialogTest : PlanDialogTest {
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

    // Planning again lists the vacation planned before: removing it is the user's choice.
    ui::HolidayPlanDialog again(program, presenter, describer, history, dialogs);
    ASSERT_EQ(again.sourceList()->count(), 1);
    EXPECT_EQ(again.sourceList()->item(0)->text(), QStringLiteral("Vacation 2027-07-12 to 2027-07-30"));
    again.countryBox()->setCurrentIndex(0);
    const QList<clock::ClockLine> away{
        clock::DayStartRegimeLine(QDate(2027, 7, 12), clock::Regime::PresenceSimulation, false),
        clock::DayStartRegimeLine(QDate(2027, 7, 31), clock::Regime::Automatic, false)};
    EXPECT_EQ(again.plan().lines, away);
    history.stack().undo();
    EXPECT_EQ(linesInUse(), 1);
}

TEST_F(HolidayPlanDialogTest, TheAgendaShowsThePlannedLinesFiringOnTheDaysOff)
{
    put(0, Line(Today, 7, 0, 1, 0, 0));
    ui::HolidayPlanDialog dialog(program, presenter, describer, history, dialogs);
    dialog.countryBox()->setCurrentIndex(dialog.countryBox()->findData(int(plan::Country::NL)));
    dialog.addVacation({QDate(2027, 7, 12), QDate(2027, 7, 30)});
    ASSERT_TRUE(dialog.plan().planned());

    // The switch to the holiday regime on the first day off of every period, as far as the
    // agenda reaches; yearly periods once a year.
    const ui::AgendaModel &agenda = dialog.agenda()->model();
    ASSERT_FALSE(agenda.firings().empty());
    const QDate last = agenda.firings().back().moment.date();
    QSet<QDate> expected;
    for (const plan::DayOffPeriod &period : dialog.plan().periods)
        for (QDate first = period.first; first <= last && (first == period.first || period.yearly);
             first = first.addYears(1))
            if (first > Today)
                expected << first;
    QSet<QDate> switchedOff;
    for (const clock::Firing &firing : agenda.firings()) {
        const clock::ClockLine &line = agenda.table().Lines[std::size_t(firing.line)];
        EXPECT_TRUE(dialog.plan().added.contains(firing.line));
        if (line.FunctionNumber != clock::Regime::Automatic)
            switchedOff << firing.moment.date();
    }
    EXPECT_EQ(switchedOff, expected);
    EXPECT_TRUE(expected.contains(QDate(2027, 7, 12)));
    EXPECT_TRUE(dialog.agenda()->tableView()->model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());

    // With every line, the table's own line is there too and not marked, and nothing changed.
    dialog.agenda()->onlyPlannedBox()->setChecked(false);
    const auto own = std::find_if(agenda.firings().begin(), agenda.firings().end(),
                                  [](const clock::Firing &firing) { return firing.line == 0; });
    ASSERT_NE(own, agenda.firings().end());
    const QModelIndex shown = dialog.agenda()->tableView()->model()->index(
        int(own - agenda.firings().begin()), 0);
    EXPECT_FALSE(shown.data(Qt::FontRole).value<QFont>().bold());
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
