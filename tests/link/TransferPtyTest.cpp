// Table transfer end to end: QtSerialLine on a pseudo-terminal against the simulator executable
// loaded with the demo installation.
#include "link/Transfer.h"

#include "clock/ClockTable.h"
#include "link/PortDevice.h"
#include "link/QtSerialLine.h"
#include "platform/EventPump.h"
#include "project/ProjectFileReader.h"
#include "project/ProjectModel.h"
#include "settings/Settings.h"
#include "settings/Strings.h"
#include "tables/TableCompiler.h"
#include "tables/TableSet.h"
#include "tables/TableSlots.h"
#include "tests/support/CentralSimProcess.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompter.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace quintara::link {
namespace {

QString DemoPath()
{
    const QByteArray root = qgetenv("QUINTARA_SOURCE_DIR");
    if (root.isEmpty())
        return QStringLiteral(QUINTARA_DEMO_PROJECT);
    return QDir(QString::fromLocal8Bit(root)).filePath(QStringLiteral("examples/demo.nbt"));
}

// A clock table of the kind the demo house has: lights, a dimmer, moods, shutters.
void DemoClockLines(clock::ClockTable &table, QDate today)
{
    const auto add = [&](int index, int hour, int minute, int dayTable, int unit, int count,
                         int type, int number, int level, int daysAgo) {
        clock::ClockLine &line = table.Lines[static_cast<std::size_t>(index)];
        line.Hour = static_cast<quint8>(hour);
        line.Minute = static_cast<quint8>(minute);
        clock::SetReferenceDate(line, today.addDays(-daysAgo));
        line.Table = static_cast<quint8>(dayTable);
        line.RepeatUnit = static_cast<quint8>(unit);
        line.RepeatCount = static_cast<quint8>(count);
        line.FunctionType = static_cast<quint8>(type);
        line.FunctionNumber = static_cast<quint8>(number);
        line.Level = static_cast<quint8>(level);
    };
    add(0, 7, 0, clock::Workday, clock::Days, 1, 1, 3, 255, 10);
    add(1, 22, 30, clock::Continue, clock::Days, 1, 1, 3, 0, 3);
    add(2, 18, 15, clock::Simulation, clock::Days, 1, 2, 1, 127, 7);
    add(3, 8, 0, clock::Weekend, clock::Days, 1, 6, 2, 255, 2);
    add(5, 6, 45, clock::Continue, clock::Workdays, 1, 10, 1, 255, 20);
    add(8, 12, 0, clock::Special, clock::Weeks, 2, 2, 4, 3, 30);
    add(13, 23, 59, clock::Continue, clock::Once, 0, 8, 5, 255, -2);
    add(42, 0, 10, clock::Continue, clock::Months, 1, 15, 1, 0, 45);
}

class TransferPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.device.startsWith(QStringLiteral("/dev/"))) << sim.device.toStdString();
        settings::Settings values;
        values.nbtFile = DemoPath();
        project::ProjectReadContext context{*demo, values, strings, {}};
        ASSERT_EQ(project::ReadProjectFile(context), project::ReadOutcome::Read);
        link.setup.portNumber = 1;
        link.setup.baudRate = 19200;
    }

    testing::CentralSimProcess sim{QStringLiteral(QUINTARA_CENTRAL_SIM),
                                   {QStringLiteral("--project"), DemoPath()}};
    QtSerialLine line{[this](int port) { return port == 1 ? sim.device : QString(); }};
    platform::QtEventPump pump;
    testing::ScriptedPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn(), prompter};
    CentralLink link{line, pump, prompter, strings};
    testing::FixedClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0))};
    std::unique_ptr<project::ProjectModel> demo = std::make_unique<project::ProjectModel>();
};

TEST_F(TransferPty, TheClockTableGoesToTheUnitAndComesBackTheSame)
{
    clock::ClockTable sent;
    sent.MaxClockLines = static_cast<qint16>(demo->Limits.ClockLines);
    ASSERT_EQ(sent.MaxClockLines, 100);
    DemoClockLines(sent, clock.at.date());

    tables::TableSet set;
    ASSERT_EQ(SendClockTable(link, set, sent, *demo, clock, true), 0);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_FALSE(line.isOpen());

    clock::ClockTable received;
    received.MaxClockLines = 100;
    tables::TableSet back;
    ASSERT_EQ(ReceiveClockTable(link, back, received, *demo, clock), 0);
    for (int i = 0; i < 100; ++i) {
        clock::ClockLine expected = sent.Lines[static_cast<std::size_t>(i)];
        if (i >= clock::TableKindCount)
            expected.FirstLine = 0; // only the five chain heads travel
        EXPECT_EQ(received.Lines[static_cast<std::size_t>(i)], expected) << i;
    }
    // The normalisation gave the workday line yesterday's date; the chain of table 0 starts
    // at line 1.
    EXPECT_EQ(clock::ReferenceDate(received.Lines[0]), QDate(2026, 12, 8));
    EXPECT_EQ(received.Lines[0].FirstLine, 1);
}

TEST_F(TransferPty, ReceivingEverythingGivesTheProjectTheUnitWasProgrammedWith)
{
    auto model = std::make_unique<project::ProjectModel>();
    project::NewProject(*model, 19200, 0);
    project::SelectModel(*model, demo->ModelIndex, strings);
    tables::TableSet set;
    ASSERT_EQ(ReceiveEverything(link, set, *model, 19200), 0);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(model->Flags[1].Name.trimmedRight(), QStringLiteral("Flags 1"));

    tables::TableSet fromDemo;
    tables::TableSet fromReceived;
    ASSERT_TRUE(tables::TableCompiler(fromDemo, *demo, strings).BuildAllTables().ok);
    ASSERT_TRUE(tables::TableCompiler(fromReceived, *model, strings).BuildAllTables().ok);
    namespace slot = tables::TableSlot;
    for (int n = 0; n < tables::TableSet::SlotCount; ++n) {
        // Sensor names and message texts are not part of what the unit sends back.
        if (n == slot::Sensors || n == slot::Messages)
            continue;
        EXPECT_EQ(fromReceived[n].Length, fromDemo[n].Length) << n;
        EXPECT_EQ(fromReceived[n].Data, fromDemo[n].Data) << n;
    }
}

} // namespace
} // namespace quintara::link
