// Sending the clock table with its read-back, against the simulator's engine on virtual time.
#include "link/Verify.h"

#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/TrafficTrace.h"
#include "link/Transfer.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompter.h"
#include "tools/central-sim/CentralUnit.h"

#include <gtest/gtest.h>

#include <memory>

namespace quintara::link {
namespace {

using Result = VerifyOutcome::Result;

TEST(CentralFormDifferences, EachByteBelongsToItsLineOrChainHeadAndTheClockSettingToNone)
{
    constexpr int n = 50;
    QByteArray sent(CentralClockLength(n), '\0');
    for (int i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>(i % 200 + 1);
    EXPECT_TRUE(CentralFormDifferences(sent, sent, n).empty());

    QByteArray received = sent;
    // The clock-setting block is the unit's to consume.
    received[CentralClockLength(n) - 1] = 0;
    EXPECT_TRUE(CentralFormDifferences(sent, received, n).empty());

    received[7 * 12 + 6] ^= 1;     // the day-table of line 12
    received[7 * n + 40] ^= 1;     // the repeat unit of line 40
    received[12 * n + 3] ^= 1;     // the chain link of line 3
    received[13 * n + 2] ^= 1;     // the chain head of day-table 2
    received[13 * n + 0] ^= 1;     // the chain head of day-table 0
    received[11 * n + n - 1] ^= 1; // the level of the last line
    EXPECT_EQ(CentralFormDifferences(sent, received, n),
              (CentralFormDifference{{3, 12, 40, 49}, {0, 2}}));

    // Beyond its end a form is zero, as the unit's memory is: a send trimmed of its trailing
    // zeros is no difference, a table that came back short is.
    QByteArray trailingZeros = sent;
    trailingZeros[13 * n + 4] = 0;
    EXPECT_TRUE(CentralFormDifferences(trailingZeros, trailingZeros.left(13 * n + 4), n).empty());
    EXPECT_EQ(CentralFormDifferences(sent, sent.left(13 * n + 4), n),
              (CentralFormDifference{{}, {4}}));
    EXPECT_EQ(CentralFormDifferences(sent, sent.left(7 * n), n).lines.size(), n);
}

struct VerifyRig : ::testing::Test {
    VerifyRig()
    {
        testing::ConnectCentralUnit(unit, line, pump);
        link.setup.portNumber = 1;
        link.observer.progress = [this](int, const QString &label) { labels.append(label); };
        project::NewProject(*model, 19200, 0);
        project::SelectModel(*model, 0, strings);
        clockTable.MaxClockLines = 100;
        clockTable.Lines[0] = clock::ClockLine::fromBytes(
            {30, 7, 7, 12, 26, clock::Continue, clock::Days, 1, 1, 3, 255, 0, 0});
        clockTable.Lines[17] = clock::ClockLine::fromBytes(
            {15, 22, 7, 12, 26, clock::Simulation, clock::Days, 1, 2, 1, 127, 0, 0});
    }

    VerifyOutcome sendAndVerify()
    {
        return SendAndVerifyClockTable(link, drive, tables, clockTable, *model, clock, true);
    }
    sim::TransferSide &side() { return unit.transfer(); }

    testing::VirtualPump pump;
    testing::FakeSerialLine line{pump};
    sim::CentralUnit unit;
    testing::ScriptedPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn()};
    CentralLink link{line, pump, strings};
    Drive drive = testing::VirtualDrive(pump);
    tables::TableSet tables;
    std::unique_ptr<project::ProjectModel> model = std::make_unique<project::ProjectModel>();
    clock::ClockTable clockTable;
    testing::FixedClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 0))};
    QStringList labels;
};

TEST_F(VerifyRig, ATableThatComesBackAsSentIsVerified)
{
    TrafficTrace trace;
    link.setTrace(&trace);
    const VerifyOutcome outcome = sendAndVerify();
    EXPECT_EQ(outcome.result, Result::Verified);
    EXPECT_EQ(outcome.message, QStringLiteral("Sent and verified"));
    EXPECT_TRUE(link.outcome().notices.empty());
    // A new connection after the send's end byte: the unit is asked for what it kept.
    EXPECT_EQ(side().counters().handshakes, 2);
    EXPECT_EQ(side().counters().endings, 2);
    EXPECT_EQ(side().counters().tablesServed, 1);
    EXPECT_TRUE(labels.contains(QStringLiteral("Progress: Reading back")));
    EXPECT_FALSE(line.isOpen());
    // One trace tells both: the send's header and the read-back's.
    EXPECT_TRUE(trace.text().contains(QStringLiteral("PC>  header 18    B2")));
    EXPECT_TRUE(trace.text().contains(QStringLiteral("PC>  header 18    92")));
}

TEST_F(VerifyRig, AByteTheUnitKeptWrongFailsWithTheLinesThatDiffer)
{
    // The level run begins at 11 x 100.
    side().faults.corruptStoreAt = 11 * 100 + 17;
    const VerifyOutcome outcome = sendAndVerify();
    EXPECT_EQ(outcome.result, Result::Different);
    EXPECT_EQ(outcome.differences, (CentralFormDifference{{17}, {}}));
    EXPECT_EQ(outcome.message, QStringLiteral("The central unit did not keep the clock table as "
                                              "it was sent. Lines that differ: 17 (22:15)"));
    EXPECT_TRUE(link.outcome().notices.empty());
    // The fault is spent: the next send is kept as sent.
    EXPECT_EQ(sendAndVerify().result, Result::Verified);

    // A chain head is named as the start of its day-table, not as the line of its index.
    side().faults.corruptStoreAt = 13 * 100 + clock::Simulation;
    const VerifyOutcome chain = sendAndVerify();
    EXPECT_EQ(chain.differences, (CentralFormDifference{{}, {clock::Simulation}}));
    EXPECT_EQ(chain.message, QStringLiteral("The central unit did not keep the clock table as it "
                                            "was sent. Lines that differ: start of the "
                                            "Simulation table"));
}

TEST_F(VerifyRig, AFailedSendOrReadBackSaysWhatTheLinkCouldNot)
{
    // The unit takes tables but serves none right: sent, then not read back.
    side().faults.corruptBlockChecksum = true;
    prompter.answerAllWithDefault();
    const VerifyOutcome notRead = sendAndVerify();
    EXPECT_EQ(notRead.result, Result::ReadBackFailed);
    EXPECT_EQ(notRead.message, QStringLiteral("The clock table was sent, but reading it back to "
                                              "verify it failed."));
    EXPECT_EQ(side().counters().tablesReceived, 1);
    ASSERT_EQ(link.outcome().notices.size(), 1u);
    EXPECT_EQ(link.outcome().notices[0].text, FailureText(LinkCode::NoAck, strings));

    // A unit of another version takes nothing: no read-back is tried.
    side().faults.corruptBlockChecksum = false;
    side().config().version = 34;
    const VerifyOutcome notSent = sendAndVerify();
    EXPECT_EQ(notSent.result, Result::SendFailed);
    EXPECT_TRUE(notSent.message.isEmpty());
    EXPECT_EQ(link.outcome().notices.back().text, FailureText(LinkCode::SoftwareIncompatible, strings));
    // One header for the send, one for each of the four read-back attempts, and none since.
    EXPECT_EQ(side().counters().headers, 1 + 4);
}

TEST_F(VerifyRig, ComparingWithTheUnitLeavesTheOpenTableAlone)
{
    ASSERT_TRUE(sendAndVerify().verified());
    // Sending moved the reference dates on; that is no difference.
    clock::SetReferenceDate(clockTable.Lines[0], QDate(2026, 11, 2));
    clockTable.Lines[40] = clockTable.Lines[17];
    const clock::ClockTable open = clockTable;

    const std::optional<CentralComparison> comparison =
        CompareWithCentral(link, drive, tables, clockTable, *model, clock);
    ASSERT_TRUE(comparison);
    const clock::TableDiff *diff = &comparison->diff;
    EXPECT_TRUE(comparison->unit.Lines[17].inUse());
    ASSERT_EQ(diff->lines.size(), 1);
    EXPECT_EQ(diff->lines[0].line, 40);
    EXPECT_EQ(diff->lines[0].kind, clock::LineDifference::Kind::OnlyInA);
    EXPECT_EQ(clockTable.Lines, open.Lines);
}

} // namespace
} // namespace quintara::link
