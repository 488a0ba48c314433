#include "presentation/ClockLineClipboard.h"
#include "presentation/ClockLineFilter.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/Csv.h"

#include "clock/ClockTable.h"
#include "platform/Clock.h"
#include "presentation/FunctionPresenter.h"
#include "project/ProjectModel.h"
#include "settings/NameTables.h"
#include "settings/Strings.h"

#include <QMimeData>

#include <gtest/gtest.h>

namespace quintara::ui {
namespace {

using Model = ClockLineListModel;

clock::ClockLine Line(quint8 hour, quint8 minute, quint8 day, quint8 month, quint8 year,
                      quint8 table, quint8 unit, quint8 count, quint8 type, quint8 number,
                      quint8 level)
{
    return clock::ClockLine::fromBytes(
        {minute, hour, day, month, year, table, unit, count, type, number, level, 255, 254});
}

// A small house: two named outputs, and a table with lines of every sort, one of them kept
// beyond the 50 lines the central unit uses and one whose bytes name no table or unit.
class LineList : public ::testing::Test {
protected:
    LineList()
    {
        project::NewProject(project, 19200, 0);
        project::SelectModel(project, 0, strings);
        project.OutputModules[0].ModuleType = 101;
        project.OutputModules[0].Channels[4].Name = QStringLiteral("Hall");
        project.OutputModules[1].ModuleType = 131;
        project.OutputModules[1].Channels[2].Name = QStringLiteral("Lounge");

        table.MaxClockLines = 50;
        table.Lines[0] = Line(22, 0, 1, 1, 27, clock::Continue, clock::Once, 0, 2, 3, 127);
        table.Lines[2] = Line(7, 30, 7, 12, 26, clock::Workday, clock::Days, 1, 1, 5, 255);
        table.Lines[5] = Line(12, 5, 31, 2, 26, 9, 12, 4, 1, 7, 0);
        table.Lines[9] = Line(6, 15, 14, 2, 26, clock::Weekend, clock::Minutes, 90, 14, 1, 0);
        table.Lines[60] = Line(23, 59, 1, 6, 25, clock::Special, clock::Weeks, 2, 21, 0, 0);
    }

    QStringList Column(const QAbstractItemModel &model, int column,
                       int role = Qt::DisplayRole) const
    {
        QStringList texts;
        for (int r = 0; r < model.rowCount(); ++r)
            texts << model.index(r, column).data(role).toString();
        return texts;
    }

    static QList<int> Lines(const ClockLineFilter &filter)
    {
        QList<int> lines;
        for (int r = 0; r < filter.rowCount(); ++r)
            lines << filter.lineAt(r);
        return lines;
    }

    settings::Strings strings{settings::StringTable::builtIn()};
    project::ProjectModel project;
    settings::NameTables names = settings::FillNameTables(strings);
    ValueFormatter values{strings, QLocale::c()};
    FunctionPresenter presenter{project, names, strings, values};
    platform::FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))};
    LineDescriber describer{presenter, names, strings, clock};
    clock::ClockTable table;
};

TEST_F(LineList, EveryLineInUseIsDescribedInItsColumns)
{
    Model model(table, describer);
    model.setNextFiring([](int line) {
        return line == 2 ? std::optional(QDateTime(QDate(2026, 12, 8), QTime(7, 30)))
                         : std::nullopt;
    });
    model.setWarnings([](int line) {
        return line == 9 ? QStringList{"Fires in the past", "Conflicts with line 2"}
                         : QStringList{};
    });
    model.refresh();

    EXPECT_EQ(Column(model, Model::IndexColumn), (QStringList{"0", "2", "5", "9", "60"}));
    EXPECT_EQ(model.lineTexts(2),
              (QStringList{"2", "Workday table", "07:30", "07/12/2026", "Every workday",
                           "REL 05 Hall", "On", "08/12/2026 07:30"}));
    EXPECT_EQ(model.lineTexts(0), (QStringList{"0", "Continue table", "22:00", "01/01/2027", "Once",
                                               "DIM 03 Lounge", "50 %"}));
    // Bytes that name no table, unit or date are shown as they stand.
    EXPECT_EQ(model.lineTexts(5).mid(1, 4),
              (QStringList{"9", "12:05", "31/02/2026", "Every 4 12"}));
    EXPECT_EQ(model.lineTexts(3), QStringList{});

    const QModelIndex warning = model.index(model.rowOfLine(9), Model::WarningColumn);
    EXPECT_EQ(warning.data(Qt::ToolTipRole).toString(), "Fires in the past\nConflicts with line 2");
    // Read out as text, not only shown as a tool tip.
    EXPECT_EQ(warning.data(Qt::AccessibleTextRole).toString(),
              "Fires in the past; Conflicts with line 2");
    // As a file, the list reads as it does in the window, its warnings spelled out.
    const QStringList csv = LineListCsv(model).split(QStringLiteral("\r\n"));
    EXPECT_EQ(QStringList({csv[0], csv[2], csv[4].section(u',', 8)}),
              QStringList({CsvByteOrderMark + QStringLiteral("No.,Day-table,Time,Reference date,"
                                                             "Repetition,Function,Level,Next "
                                                             "firing,Warnings"),
                           "2,Workday table,07:30,07/12/2026,Every workday,REL 05 Hall,On,"
                           "08/12/2026 07:30,",
                           "Fires in the past; Conflicts with line 2"}));
    // Lines beyond the model are marked with the reason.
    EXPECT_EQ(Column(model, 0, Model::BeyondModelRole),
              (QStringList{"false", "false", "false", "false", "true"}));
    EXPECT_EQ(
        Column(model, Model::FunctionColumn, Qt::ToolTipRole).join('|'),
        "||||Kept in the file but never sent: this central unit uses only the first 50 lines.");

    // Changes to the table and the window's language show on refresh.
    table.Lines[2].Hour = 8;
    table.Lines[9].FunctionType = 0;
    strings.setLanguageOffset(3 * settings::LanguageStep);
    names = settings::FillNameTables(strings);
    EXPECT_EQ(model.rowCount(), 5);
    model.refresh();
    EXPECT_EQ(Column(model, Model::IndexColumn), (QStringList{"0", "2", "5", "60"}));
    EXPECT_EQ(model.lineTexts(2).mid(2, 3), (QStringList{"08:30", "07.12.2026", "Jeden Werktag"}));
    EXPECT_EQ(model.headerData(Model::DateColumn, Qt::Horizontal).toString(), "Bezugsdatum");
    EXPECT_TRUE(LineListCsv(model).contains(
        "\r\n2,Werktagstabelle,08:30,07.12.2026,Jeden Werktag,REL 05 Hall,Ein,"));
}

TEST_F(LineList, EachColumnSortsInItsOwnOrderAndFiltersCombine)
{
    Model model(table, describer);
    model.setNextFiring([](int line) { // lines 0 and 5 never fire
        return line == 0 || line == 5
                   ? std::nullopt
                   : std::optional(QDateTime(QDate(2026, 12, 7), QTime(0, 0)).addDays(100 - line));
    });
    model.refresh();
    ClockLineFilter view;
    view.setSourceModel(&model);
    // Index: 60 before 9, not as text; date: 2025, Feb 2026 (14th, then the 31st as stored),
    // 2027; function: relays, dimmer, regime, sensor.
    const std::pair<int, QList<int>> orders[] = {{Model::TimeColumn, {9, 2, 5, 0, 60}},
                                                 {Model::DateColumn, {60, 9, 5, 2, 0}},
                                                 {Model::NextFiringColumn, {60, 9, 2, 0, 5}},
                                                 {Model::FunctionColumn, {2, 5, 0, 9, 60}},
                                                 {Model::TableColumn, {0, 2, 9, 60, 5}}};
    view.sort(Model::IndexColumn, Qt::DescendingOrder);
    EXPECT_EQ(Lines(view), (QList<int>{60, 9, 5, 2, 0}));
    for (const auto &[column, order] : orders) {
        view.sort(column);
        EXPECT_EQ(Lines(view), order) << column;
    }

    // Filters combine table, function type (the sensor group 65 takes in its members) and text
    // ("  rel 05  " finds the shown "REL  05 Hall").
    view.sort(Model::IndexColumn);
    const int all = ClockLineFilter::All;
    for (const auto &[table, type, text, lines] : QList<std::tuple<int, int, QString, QList<int>>>{
             {clock::Weekend, all, "", {9}}, {all, 1, "", {2, 5}}, {all, 65, "", {60}},
             {all, all, "  rel 05  ", {2}}, {all, all, "2026", {2, 5, 9}},
             {clock::Workday, all, "2026", {2}}}) {
        view.setTableFilter(table);
        view.setFunctionTypeFilter(type);
        view.setTextFilter(text);
        EXPECT_EQ(Lines(view), lines) << table << ' ' << type << ' ' << qPrintable(text);
    }
    EXPECT_EQ(std::pair(view.rowOfLine(9), view.rowOfLine(2)), std::pair(-1, 0));
}

TEST_F(LineList, ClipboardCarriesTextAndRecords)
{
    Model model(table, describer);
    const std::unique_ptr<QMimeData> mime = CopyClockLines(model, {9, 3, 2});
    EXPECT_EQ(mime->text(),
              "9\tWeekend table\t06:15\t14/02/2026\tEvery weekend day\t"
              "REG 01 Regime: Workday\tOff\n"
              "2\tWorkday table\t07:30\t07/12/2026\tEvery workday\tREL 05 Hall\tOn\n");
    const ClockLinesRead read = PasteClockLines(*mime);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.lines, (QList<clock::ClockLine>{table.Lines[9], table.Lines[2]}));

    // The machine form byte for byte: header, then the records in the clock file's order.
    const QByteArray image = QByteArray("QCL\x01\x01", 5) +
                             QByteArray("\x1e\x07\x07\x0c\x1a\x01\x03\x01\x01\x05\xff\xff\xfe", 13);
    EXPECT_EQ(ClockLinesImage({table.Lines[2]}), image);
    EXPECT_EQ(ReadClockLinesImage(image).lines, QList<clock::ClockLine>{table.Lines[2]});

    EXPECT_FALSE(CopyClockLines(model, {3})->hasFormat(ClockLinesMimeType));
}

TEST(ClockLinesImage, DamagedImagesAreRefused)
{
    const QByteArray record("\x1e\x07\x07\x0c\x1a\x01\x03\x01\x01\x05\xff\xff\xfe", 13);
    const QByteArray free(13, '\0');
    const QByteArray header("QCL\x01", 4);
    const QList<std::pair<QByteArray, ClockLinesStatus>> cases{
        {{}, ClockLinesStatus::NotClockLines},
        {"QBN\x01\x01" + record, ClockLinesStatus::NotClockLines},
        {QByteArray("QCL\x00\x01", 5) + record, ClockLinesStatus::NotClockLines},
        {"QCL\x02\x01" + record, ClockLinesStatus::NewerVersion},
        {header, ClockLinesStatus::WrongLength},
        {header + '\0', ClockLinesStatus::BadCount},
        {header + char(101) + record.repeated(101), ClockLinesStatus::BadCount},
        {header + '\x02' + record, ClockLinesStatus::WrongLength},
        {header + '\x01' + record.left(12), ClockLinesStatus::WrongLength},
        {header + '\x02' + record + free, ClockLinesStatus::FreeRecord},
    };
    for (const auto &[image, status] : cases) {
        const ClockLinesRead read = ReadClockLinesImage(image);
        EXPECT_EQ(std::pair(read.status, read.lines.size()), std::pair(status, qsizetype(0)))
            << image.toHex().constData();
    }
    EXPECT_EQ(ReadClockLinesImage(header + char(100) + record.repeated(100)).lines.size(), 100);

    const settings::Strings strings(settings::StringTable::builtIn());
    EXPECT_EQ(PasteRefusalText(ClockLinesStatus::NoClockLines, strings), "");
    EXPECT_TRUE(PasteRefusalText(ClockLinesStatus::FreeRecord, strings).contains("damaged"));
}

} // namespace
} // namespace quintara::ui
