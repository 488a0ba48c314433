// Sending the clock table with its read-back, against the simulator's engine on virtual time.
#include "link/Verify.h"

#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/TrafficTrace.h"
#include "tests/link/LinkRig.h"
#include "tests/support/FixedClock.h"

#include <gtest/gtest.h>

namespace quintara::link {
namespace {

using Result = VerifyOutcome::Result;

TEST(CentralFormDifferences, EachByteBelongsToItsLineOrChainHeadAndTheClockSettingToNone)
{
    constexpr int n = 50;
    QByteArray sent(CentralClockLength(n), '\0');
    for (int i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<char>(i % 200 + 1);
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

TEST(Verify, TheClockTableIsReadBackAndWhatTheUnitKeptWrongOrCouldNotSayIsTold)
{
    testing::LinkRig r;
    clock::ClockTable table;
    table.MaxClockLines = 100;
    table.Lines[0] = clock::ClockLine::fromBytes(
        {30, 7, 7, 12, 26, clock::Continue, clock::Days, 1, 1, 3, 255, 0, 0});
    table.Lines[17] = clock::ClockLine::fromBytes(
        {15, 22, 7, 12, 26, clock::Simulation, clock::Days, 1, 2, 1, 127, 0, 0});
    const testing::FixedClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 0))};
    const auto sendAndVerify = [&] {
        const VerifyOutcome outcome =
            SendAndVerifyClockTable(r.link, r.drive, r.tables, table, *r.model, clock, true);
        EXPECT_FALSE(r.line.isOpen());
        return std::pair(outcome.result, outcome.message);
    };
    TrafficTrace trace;
    r.link.setTrace(&trace);
    EXPECT_EQ(sendAndVerify(), std::pair(Result::Verified, QStringLiteral("Sent and verified")));
    EXPECT_TRUE(r.link.outcome().notices.empty());
    // A new connection after the send's end byte: the unit is asked for what it kept.
    const sim::TransferSide::Counters &unit = r.side().counters();
    EXPECT_EQ(QList<int>({unit.handshakes, unit.endings, unit.tablesServed}),
              QList<int>({2, 2, 1}));
    // One trace tells both: the send's header and the read-back's.
    EXPECT_TRUE(trace.text().contains(QStringLiteral("PC>  header 18    B2")) &&
                trace.text().contains(QStringLiteral("PC>  header 18    92")));

    // A chain head the unit kept wrong is named as the start of its day-table, not as the line
    // of its index (the command line's and the dialog's tests have lines that differ).
    r.side().faults.corruptStoreAt = 13 * 100 + clock::Simulation;
    EXPECT_EQ(sendAndVerify(),
              std::pair(Result::Different,
                        QStringLiteral("The central unit did not keep the clock table as it was "
                                       "sent. Lines that differ: start of the Simulation table")));
    EXPECT_TRUE(r.link.outcome().notices.empty());

    // The unit takes tables but serves none right: sent, then not read back.
    r.side().faults.corruptBlockChecksum = true;
    const int headers = unit.headers;
    EXPECT_EQ(sendAndVerify(), std::pair(Result::ReadBackFailed,
                                         QStringLiteral("The clock table was sent, but reading it "
                                                        "back to verify it failed.")));
    ASSERT_EQ(r.link.outcome().notices.size(), 1u);
    EXPECT_EQ(r.link.outcome().notices[0].text, r.failureText(LinkCode::NoAck));

    // A unit of another version takes nothing: no read-back is tried.
    r.side().faults.corruptBlockChecksum = false;
    r.side().config().version = 34;
    EXPECT_EQ(sendAndVerify(), std::pair(Result::SendFailed, QString()));
    EXPECT_EQ(r.link.outcome().notices.back().text, r.failureText(LinkCode::SoftwareIncompatible));
    // One header for the send, one for each of the four read-back attempts, and none since.
    EXPECT_EQ(unit.headers, headers + 1 + 4);
}

} // namespace
} // namespace quintara::link
