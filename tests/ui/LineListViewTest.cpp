#include "ui/LineListView.h"

#include "clock/ClockTable.h"
#include "platform/Clock.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"
#include "tests/support/ScriptedPrompter.h"
#include "presentation/ClockLineFilter.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/FunctionPresenter.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace quintara;

namespace {

using Model = ui::ClockLineListModel;

// Five lines in use among the 100, one of them beyond the 50 the central unit uses.
struct LineListViewTest : ::testing::Test {
    LineListViewTest()
    {
        project::NewProject(project, 19200, 0);
        project::SelectModel(project, 0, strings);
        project.OutputModules[0].ModuleType = 101;
        project.OutputModules[0].Channels[4].Name = QStringLiteral("Hall");
        table.MaxClockLines = 50;
        const int lines[][4] = {
            {4, 1, 1, 5}, {7, 2, 2, 3}, {12, 1, 1, 5}, {30, 0, 14, 1}, {70, 4, 1, 5}};
        for (const auto &[index, kind, type, number] : lines) {
            clock::ClockLine &line = table.Lines[std::size_t(index)];
            line = clock::ClockLine::fromBytes({quint8(index % 60), 8, 7, 12, 26, quint8(kind), 3,
                                                1, quint8(type), quint8(number), 255, 255, 254});
        }
        model.refresh();
        view.resize(900, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QTableView *list() const { return view.tableView(); }
    QPoint rowCentre(int line) const
    {
        const int row = view.filter()->rowOfLine(line);
        return list()->visualRect(view.filter()->index(row, Model::TimeColumn)).center();
    }
    QList<int> shownLines() const
    {
        QList<int> lines;
        for (int r = 0; r < view.filter()->rowCount(); ++r)
            lines << view.filter()->lineAt(r);
        return lines;
    }

    quintara::testing::ScriptedPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn()};
    project::ProjectModel project;
    settings::NameTables names = settings::FillNameTables(strings);
    ui::ValueFormatter values{strings, QLocale::c()};
    ui::FunctionPresenter presenter{project, names, strings, values};
    platform::FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))};
    clock::ClockTable table;
    Model model{table, ui::LineDescriber(presenter, names, strings, clock)};
    ui::LineListView view{model};
};

TEST_F(LineListViewTest, ClicksKeysAndDoubleClicksSignalTheLines)
{
    QSignalSpy selection(&view, &ui::LineListView::selectionChanged);
    QSignalSpy current(&view, &ui::LineListView::currentLineChanged);
    QSignalSpy activated(&view, &ui::LineListView::lineActivated);
    QSignalSpy deletes(&view, &ui::LineListView::deleteRequested);

    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(12));
    ASSERT_FALSE(selection.isEmpty());
    EXPECT_EQ(selection.last().at(0).value<QList<int>>(), QList<int>{12});
    EXPECT_EQ(current.last().at(0).toInt(), 12);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(4));
    EXPECT_EQ(view.selectedLines(), (QList<int>{4, 12}));

    QTest::keyClick(list(), Qt::Key_Delete);
    ASSERT_EQ(deletes.size(), 1);
    EXPECT_EQ(deletes.last().at(0).value<QList<int>>(), (QList<int>{4, 12}));

    QTest::keyClick(list(), Qt::Key_Return);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated.last().at(0).toInt(), 4);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(70));
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(70));
    EXPECT_EQ(activated.last().at(0).toInt(), 70);

    // Following the week view does not echo back.
    selection.clear();
    view.selectLine(30);
    EXPECT_EQ(view.selectedLines(), QList<int>{30});
    EXPECT_EQ(view.currentLine(), 30);
    EXPECT_TRUE(selection.isEmpty());
    view.selectLine(-1);
    EXPECT_TRUE(view.selectedLines().isEmpty());

    QTest::keyClick(list(), Qt::Key_Delete); // nothing selected: nothing asked
    EXPECT_EQ(deletes.size(), 1);
}

// The item view's extended selection, with the highlight never left behind the current row
// and Shift extending from the row last chosen, by the user or by the program.
TEST_F(LineListViewTest, TheHighlightGoesWithTheCurrentRowAndShiftExtendsFromTheAnchor)
{
    QSignalSpy activated(&view, &ui::LineListView::lineActivated);
    list()->setFocus();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(4));
    view.selectLine(12); // the week chose line 12
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(70));
    EXPECT_EQ(view.selectedLines(), (QList<int>{12, 30, 70}));
    EXPECT_EQ(view.currentLine(), 70);
    QTest::keyClick(list(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedLines(), (QList<int>{12, 30}));

    // A plain click inside the selection leaves that row alone.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(30));
    EXPECT_EQ(view.selectedLines(), QList<int>{30});

    // Keys that would move the current row without the highlight take it along.
    QTest::keyClick(list(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.currentLine(), 4);
    EXPECT_EQ(view.selectedLines(), QList<int>{4});
    QTest::keyClick(list(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(view.selectedLines(), QList<int>{7});
    QTest::keyClick(list(), Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.selectedLines(), (QList<int>{7, 12, 30, 70}));
    EXPECT_EQ(view.activeLine(), 70);

    // Enter opens the highlighted line; with the current row unhighlighted among several
    // highlighted ones there is no one line to open.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(70));
    EXPECT_EQ(view.selectedLines(), (QList<int>{7, 12, 30}));
    EXPECT_EQ(view.activeLine(), -1);
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_TRUE(activated.isEmpty());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(12));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(30));
    EXPECT_EQ(view.selectedLines(), QList<int>{7});
    QTest::keyClick(list(), Qt::Key_Return);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated.last().at(0).toInt(), 7);
}

TEST_F(LineListViewTest, FilterRowAndHeaderSortTheList)
{
    auto *tables = view.findChild<QComboBox *>(QStringLiteral("CboTable"));
    auto *types = view.findChild<QComboBox *>(QStringLiteral("CboFunctionType"));
    auto *search = view.findChild<QLineEdit *>(QStringLiteral("TxtSearch"));
    ASSERT_TRUE(tables && types && search);
    EXPECT_EQ(tables->count(), 6);
    EXPECT_EQ(tables->itemText(2), "Workday table");
    EXPECT_EQ(search->placeholderText(), "Search");

    tables->setCurrentIndex(tables->findData(clock::Workday));
    EXPECT_EQ(shownLines(), (QList<int>{4, 12}));
    tables->setCurrentIndex(0);
    types->setCurrentIndex(types->findData(14));
    EXPECT_EQ(shownLines(), QList<int>{30});
    types->setCurrentIndex(0);
    QTest::keyClicks(search, QStringLiteral("hall"));
    EXPECT_EQ(shownLines(), (QList<int>{4, 12, 70}));
    search->clear();

    QHeaderView *header = list()->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(Model::IndexColumn) + 5, header->height() / 2));
    EXPECT_EQ(shownLines(), (QList<int>{70, 30, 12, 7, 4})); // descending now
    EXPECT_GT(header->sectionSize(Model::FunctionColumn), header->sectionSize(Model::TimeColumn));

    // The selection outlives a refresh; a deleted line leaves it, and says so.
    view.selectLine(7);
    QSignalSpy selection(&view, &ui::LineListView::selectionChanged);
    model.refresh();
    EXPECT_EQ(view.selectedLines(), QList<int>{7});
    EXPECT_TRUE(selection.isEmpty());
    table.Lines[7].FunctionType = 0;
    model.refresh();
    EXPECT_TRUE(view.selectedLines().isEmpty());
    EXPECT_EQ(selection.size(), 1);

    // Another language: the combos keep their choice.
    tables->setCurrentIndex(tables->findData(clock::Special));
    strings.setLanguageOffset(settings::LanguageStep);
    names = settings::FillNameTables(strings);
    view.translate();
    EXPECT_EQ(tables->currentData().toInt(), clock::Special);
    EXPECT_EQ(tables->itemText(0), "Alle dagtabellen");
    EXPECT_EQ(shownLines(), QList<int>{70});
}

} // namespace
