#include "presentation/FunctionPresenter.h"
#include "settings/NameTables.h"
#include "tests/ui/WindowTestSupport.h"

#include <QSignalSpy>

using namespace quintara;
using namespace quintara::testing::window;
using Model = ui::ClockLineListModel;

namespace {

// Five lines in use among the 100, one of them beyond the 50 the central unit uses.
struct LineListViewTest : ProgramTest {
    LineListViewTest()
    {
        useModelZero();
        program.names = settings::FillNameTables(program.strings);
        program.project.OutputModules[0].ModuleType = 101;
        program.project.OutputModules[0].Channels[4].Name = QStringLiteral("Hall");
        program.clockTable.MaxClockLines = 50;
        const int lines[][4] = {
            {4, 1, 1, 5}, {7, 2, 2, 3}, {12, 1, 1, 5}, {30, 0, 14, 1}, {70, 4, 1, 5}};
        for (const auto &[index, kind, type, number] : lines)
            put(index, Line(QDate(2026, 12, 7), 8, index % 60, kind, 3, 1, type, number));
        model.refresh();
        view.resize(900, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QTableView *list() const { return view.tableView(); }
    QList<int> shownLines() const
    {
        QList<int> lines;
        for (int r = 0; r < view.filter()->rowCount(); ++r)
            lines << view.filter()->lineAt(r);
        return lines;
    }

    ui::ValueFormatter values{program.strings, QLocale::c()};
    ui::FunctionPresenter presenter{program.project, program.names, program.strings, values};
    Model model{program.clockTable,
                ui::LineDescriber(presenter, program.names, program.strings, program.clock)};
    ui::LineListView view{model};
};

// Clicks, keys and double clicks signal the lines; the highlight never stays behind the current
// row, and Shift extends from the row last chosen, by the user or by the program. The filter row
// and the header filter and sort; the selection outlives a refresh, the combos a language.
TEST_F(LineListViewTest, ChoosingFilteringAndSortingTheList)
{
    QSignalSpy selection(&view, &ui::LineListView::selectionChanged);
    QSignalSpy activated(&view, &ui::LineListView::lineActivated);
    QSignalSpy deletes(&view, &ui::LineListView::deleteRequested);
    list()->setFocus();
    ClickLine(view, 12);
    ClickLine(view, 4, Qt::ControlModifier);
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(deletes.last().at(0).value<QList<int>>(), (QList<int>{4, 12}));
    ClickLine(view, 70);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {},
                       list()->visualRect(list()->currentIndex()).center());
    EXPECT_EQ(activated.last().at(0).toInt(), 70);

    // Following the week view does not echo back, and the row it chose is the anchor.
    selection.clear();
    view.selectLine(12);
    EXPECT_TRUE(view.currentLine() == 12 && selection.isEmpty());
    ClickLine(view, 70, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedLines(), (QList<int>{12, 30, 70}));
    // Keys that would move the current row without the highlight take it along.
    QTest::keyClick(list(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(view.selectedLines(), QList<int>{30});
    QTest::keyClick(list(), Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.selectedLines(), (QList<int>{4, 7, 12, 30}));
    // With the current row unhighlighted among several highlighted ones there is no one line
    // to open.
    ClickLine(view, 4, Qt::ControlModifier);
    EXPECT_EQ(view.activeLine(), -1);

    // The filter row and the header drive the filter model (whose rules the presentation
    // layer's tests pin).
    auto *tables = view.findChild<QComboBox *>(QStringLiteral("CboTable"));
    tables->setCurrentIndex(tables->findData(clock::Workday));
    EXPECT_EQ(shownLines(), (QList<int>{4, 12}));
    tables->setCurrentIndex(0);
    QTest::keyClicks(view.findChild<QLineEdit *>(QStringLiteral("TxtSearch")), "hall");
    EXPECT_EQ(shownLines(), (QList<int>{4, 12, 70}));
    view.findChild<QLineEdit *>(QStringLiteral("TxtSearch"))->clear();
    QHeaderView *header = list()->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(Model::IndexColumn) + 5, header->height() / 2));
    EXPECT_EQ(shownLines(), (QList<int>{70, 30, 12, 7, 4})); // descending now

    // The selection outlives a refresh; a deleted line leaves it, and says so.
    view.selectLine(7);
    selection.clear();
    model.refresh();
    EXPECT_TRUE(view.selectedLines() == QList<int>{7} && selection.isEmpty());
    program.clockTable.Lines[7].FunctionType = 0;
    model.refresh();
    EXPECT_TRUE(view.selectedLines().isEmpty() && selection.size() == 1);

    // Another language: the combos keep their choice.
    tables->setCurrentIndex(tables->findData(clock::Special));
    program.strings.setLanguageOffset(settings::LanguageStep);
    program.names = settings::FillNameTables(program.strings);
    view.translate();
    EXPECT_EQ(tables->itemText(0), "Alle dagtabellen");
    EXPECT_EQ(shownLines(), QList<int>{70});
}

} // namespace
