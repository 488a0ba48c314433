#include "ui/LineListView.h"

#include "presentation/ClockLineFilter.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/FunctionPresenter.h"
#include "settings/NameTables.h"
#include "tests/ui/WindowTestSupport.h"

#include <QSignalSpy>

using namespace quintara;
using Model = ui::ClockLineListModel;

namespace {

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
        for (const auto &[index, kind, type, number] : lines)
            table.Lines[std::size_t(index)] = clock::ClockLine::fromBytes(
                {quint8(index % 60), 8, 7, 12, 26, quint8(kind), 3, 1, quint8(type),
                 quint8(number), 255, 255, 254});
        model.refresh();
        view.resize(900, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QTableView *list() const { return view.tableView(); }
    void click(int line, Qt::KeyboardModifiers modifiers = {}) const
    {
        const auto cell = view.filter()->index(view.filter()->rowOfLine(line), Model::TimeColumn);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers,
                          list()->visualRect(cell).center());
    }
    QList<int> shownLines() const
    {
        QList<int> lines;
        for (int r = 0; r < view.filter()->rowCount(); ++r)
            lines << view.filter()->lineAt(r);
        return lines;
    }

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

// Clicks, keys and double clicks signal the lines; the highlight never stays behind the current
// row, and Shift extends from the row last chosen, by the user or by the program.
TEST_F(LineListViewTest, ClicksAndKeysChooseSignalAndKeepTheHighlightWithTheCurrentRow)
{
    QSignalSpy selection(&view, &ui::LineListView::selectionChanged);
    QSignalSpy activated(&view, &ui::LineListView::lineActivated);
    QSignalSpy deletes(&view, &ui::LineListView::deleteRequested);
    list()->setFocus();
    click(12);
    click(4, Qt::ControlModifier);
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(deletes.last().at(0).value<QList<int>>(), (QList<int>{4, 12}));
    click(70);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {},
                       list()->visualRect(list()->currentIndex()).center());
    EXPECT_EQ(activated.last().at(0).toInt(), 70);

    // Following the week view does not echo back, and the row it chose is the anchor.
    selection.clear();
    view.selectLine(12);
    EXPECT_TRUE(view.currentLine() == 12 && selection.isEmpty());
    click(70, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedLines(), (QList<int>{12, 30, 70}));
    // Keys that would move the current row without the highlight take it along.
    QTest::keyClick(list(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(view.selectedLines(), QList<int>{30});
    QTest::keyClick(list(), Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(view.selectedLines(), (QList<int>{4, 7, 12, 30}));

    // With the current row unhighlighted among several highlighted ones there is no one line
    // to open; nothing highlighted, nothing to delete.
    click(4, Qt::ControlModifier);
    EXPECT_EQ(view.activeLine(), -1);
    QTest::keyClick(list(), Qt::Key_Return);
    view.selectLine(-1);
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(QList<qsizetype>({activated.size(), deletes.size()}), QList<qsizetype>({1, 1}));
}

// The filter row and the header drive the filter model (whose rules the presentation layer's
// tests pin); the selection outlives a refresh and the combos a change of language.
TEST_F(LineListViewTest, FilterRowAndHeaderSortTheList)
{
    auto *tables = view.findChild<QComboBox *>(QStringLiteral("CboTable"));
    auto *search = view.findChild<QLineEdit *>(QStringLiteral("TxtSearch"));
    tables->setCurrentIndex(tables->findData(clock::Workday));
    EXPECT_EQ(shownLines(), (QList<int>{4, 12}));
    tables->setCurrentIndex(0);
    QTest::keyClicks(search, QStringLiteral("hall"));
    EXPECT_EQ(shownLines(), (QList<int>{4, 12, 70}));
    search->clear();
    QHeaderView *header = list()->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(Model::IndexColumn) + 5, header->height() / 2));
    EXPECT_EQ(shownLines(), (QList<int>{70, 30, 12, 7, 4})); // descending now

    // The selection outlives a refresh; a deleted line leaves it, and says so.
    view.selectLine(7);
    QSignalSpy selection(&view, &ui::LineListView::selectionChanged);
    model.refresh();
    EXPECT_TRUE(view.selectedLines() == QList<int>{7} && selection.isEmpty());
    table.Lines[7].FunctionType = 0;
    model.refresh();
    EXPECT_TRUE(view.selectedLines().isEmpty() && selection.size() == 1);

    // Another language: the combos keep their choice.
    tables->setCurrentIndex(tables->findData(clock::Special));
    strings.setLanguageOffset(settings::LanguageStep);
    names = settings::FillNameTables(strings);
    view.translate();
    EXPECT_EQ(tables->itemText(0), "Alle dagtabellen");
    EXPECT_EQ(shownLines(), QList<int>{70});
}

} // namespace
