// Connection, handshake, table transfer and the clock table's read-back against the simulator's
// engine on virtual time.
#include "link/Transfer.h"

#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/LinkTimings.h"
#include "link/TrafficTrace.h"
#include "link/Verify.h"
#include "platform/Files.h"
#include "settings/ProfileFile.h"
#include "tables/TableSet.h"
#include "tests/link/LinkRig.h"
#include "tests/support/FixedClock.h"
#include "tools/central-sim/CentralUnit.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quintara::link {
namespace {

using sim::TransferSide;
using Step = TransferSide::SilentStep;
using Result = VerifyOutcome::Result;
using testing::Bytes;

using Rig = testing::LinkRig;

TEST(Transfer, ASendWaitsForItsCallerThenIdentifiesTheUnitAndSendsTheTableInBlocks)
{
    Rig r;
    qint64 firstByteAt = -1;
    r.pump.addHook([&](qint64 now) {
        if (firstByteAt < 0 && !r.line.written.isEmpty())
            firstByteAt = now;
    });
    r.fillSendArea(18, 1312);
    r.link.startSend(r.tables, 18);
    // Started, the job waits for its caller: it has run no events and sent nothing yet.
    EXPECT_EQ(std::tuple(r.link.Busy(), r.pump.calls, r.line.written.size(),
                         r.link.msUntilNextLook()),
              std::tuple(true, 0, 0, Timing::AdvanceSliceMs));
    EXPECT_EQ(r.finish(), 0);
    // No modem: the handshake about two seconds after the start, the table, the end byte.
    EXPECT_TRUE(firstByteAt >= 2000 && firstByteAt < 2100) << firstByteAt;
    EXPECT_EQ(std::tuple(r.line.written.left(23), r.line.written.back(), r.line.parameters()),
              std::tuple(Bytes({240, 0}) + "QZMRWTPX" + Bytes({240, 255}) + "XPTWRMZQ" +
                             Bytes({240, 136, 33}),
                         char(96), QStringLiteral("19200,n,8,1")));
    EXPECT_EQ(r.side().tables[18], r.sendArea(18));
    // One beep: the connection is up.
    const TransferSide::Counters &unit = r.side().counters();
    EXPECT_EQ(QList<int>({unit.handshakes, unit.headers, unit.endings, r.tables.TableCount,
                          r.beeps}),
              QList<int>({1, 1, 1, 1, 1}));
    // 88 blocks of at most 15 bytes, numbered 0..15 over and over, the last of seven bytes; the
    // progress climbs to 99 with them.
    const QList<int> headers = r.blockHeaders(160 + 18);
    EXPECT_EQ(headers.mid(14, 4) + headers.mid(87), QList<int>({239, 255, 15, 31, 119}));
    EXPECT_EQ(r.progress.mid(0, 5), (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(std::is_sorted(r.progress.begin() + 5, r.progress.end()) &&
                r.progress.contains(99));
    // The label names the step: the block on its way, then the end.
    EXPECT_TRUE(r.labels.contains("Progress: 5% – sending block 1 of 88"));
    EXPECT_FALSE(r.labels.filter("block 88 of 88").isEmpty());
    EXPECT_EQ(r.labels.last(), QStringLiteral("Progress: 100% – done"));
    // The next job starts afresh: connecting, not done.
    r.labels.clear();
    EXPECT_EQ(r.send(18, 100), 0);
    EXPECT_EQ(r.labels.filter("done").size(), 1);
}

TEST(Transfer, HandshakeFailuresGiveTheirCodes)
{
    // What the unit is and where it falls silent, the PC's model and key, the code.
    const quint8 key = DefaultHandshakeKey;
    const int damaged = LinkCode::DamagedAnswer;
    const QList<std::tuple<const char *, TransferSide::Config, Step, int, quint8, int>> cases = {
        {"not QBN", {.name = "QBM"}, Step::None, 0, key, 653},
        {"silent after the second code", {}, Step::AccessCode, 0, key, 652},
        {"model 3 PC, model 0 unit", {}, Step::None, 3, key, 666},
        {"version 34, final byte 192", {.version = 34}, Step::None, 0, key, 667},
        {"another key: final byte not 192", {.key = 0x11}, Step::None, 0, key, 655},
        {"no final byte", {}, Step::Init, 0, key, 654},
        {"unit with another key that the PC knows", {.key = 0x11}, Step::None, 0, 0x11, 0},
        // Answers no unit of this protocol gives are no reason of the unit's.
        {"another version, response refused", {.key = 0x11, .version = 34}, Step::None, 0, key,
         damaged},
        {"no model's identification", {.identification = 77}, Step::None, 0, key, damaged},
    };
    for (const auto &[what, unit, silentAt, pcModel, pcKey, code] : cases) {
        Rig r;
        r.side().config() = unit;
        r.side().faults.silentAt = silentAt;
        r.link.setup.modelIndex = pcModel;
        r.link.setup.handshakeKey = pcKey;
        EXPECT_EQ(r.connect(), code) << what;
        // Even silence after the second access code costs the three waits of 1.5 s at most.
        EXPECT_LE(r.pump.msecs(), 3000 + 1500 + 100) << what;
    }
}

// A unit that never answers: the message names the port, what is behind it and the speed,
// and what to check.
TEST(Transfer, NoAnswerSaysWhereItListenedAndWhatToCheck)
{
    Rig r;
    r.side().faults.silentAt = Step::AccessCode;
    EXPECT_EQ(r.send(18, 100), LinkCode::NoAnswer);
    ASSERT_EQ(r.outcome.notices.size(), 1u);
    EXPECT_TRUE(r.outcome.notices[0].text.endsWith(
        "\nCOM1 (/dev/fake1) at 19200 baud: check the cable, that the central unit is switched "
        "on and that it is connected to this port."))
        << r.outcome.notices[0].text.toStdString();
}

TEST(Transfer, TheHandshakeKeyComesFromTheSettingsFile)
{
    QTemporaryDir dir;
    const settings::ProfileFile profile(dir.filePath(QStringLiteral("Ventora.ini")));
    EXPECT_EQ(HandshakeKeyFromSettings(profile), DefaultHandshakeKey);
    ASSERT_FALSE(platform::WriteWholeFile(profile.path(), "[Link]\nKey=0x3c\n"));
    EXPECT_EQ(HandshakeKeyFromSettings(profile), 0x3C);
    ASSERT_FALSE(platform::WriteWholeFile(profile.path(), "[Link]\nKey=256\n"));
    EXPECT_EQ(HandshakeKeyFromSettings(profile), DefaultHandshakeKey);
}

TEST(Transfer, ModemDialsWaitsForCarrierAndTheCallBack)
{
    const QByteArray handshake = Bytes({240, 0});
    const QByteArray dial = "\n\rATZ0\n\rATDT0123 45\n\r";
    const int noModem = LinkCode::ModemConnected;
    // Modems at no end, at the PC's with a line that is up, or at both; the call-back box, a
    // modem that answers nothing; the code and how the line begins.
    const QList<std::tuple<const char *, int, bool, bool, int, QByteArray>> cases = {
        {"dialling, then the carrier", 2, false, false, 0, dial + handshake},
        {"the remote hangs up and calls back", 2, true, false, 0, dial + "QZMRWTPX\r" + handshake},
        {"a line still up: no dialling", 1, false, false, 0, handshake},
        {"the call-back box alone does nothing", 0, true, false, 0, handshake},
        {"no carrier within 50 s", 2, false, true, noModem, {}},
        {"no hang-up after the call-back code", 1, true, false, noModem, {}},
    };
    for (const auto &[what, modems, callBack, silent, code, startsWith] : cases) {
        Rig r;
        r.useModem(callBack);
        r.link.setup.connectedWithModem = modems > 0;
        r.side().config().modem = modems == 2;
        r.side().faults.modemSilent = silent;
        r.line.carrier = modems == 1;
        EXPECT_EQ(r.connect(), code) << what;
        EXPECT_TRUE(r.line.written.startsWith(startsWith)) << what;
        EXPECT_EQ(r.side().counters().handshakes, code == 0 ? 1 : 0) << what;
        EXPECT_GE(r.pump.msecs(), silent ? 50000 : 0) << what;
    }
    {
        // Dialling and a call-back that take longer than a table's transfer timer: the timer
        // guards the tables only, so the first attempt goes through with one call.
        Rig r;
        r.useModem(true);
        r.side().config().dialMs = r.side().config().callBackMs = 30000;
        EXPECT_EQ(r.send(18, 300), 0);
        EXPECT_GT(r.pump.msecs(), 60000);
        EXPECT_EQ(r.side().modemLines(), (QStringList{"ATZ0", "ATDT0123 45"}));
        EXPECT_EQ(r.side().tables[18], r.sendArea(18));
    }
    // The modem in front of the unit hears the call-back code also while the unit is
    // connected, and hangs up.
    Rig r;
    r.useModem();
    ASSERT_EQ(r.connect(), 0);
    ASSERT_TRUE(r.side().connected());
    for (const char c : QByteArray("QZMRWTPX\r"))
        r.line.writeByte(static_cast<quint8>(c));
    for (int i = 0; i < 50; ++i)
        r.pump.processEvents(20);
    EXPECT_FALSE(r.side().carrier());
}

TEST(Transfer, FailedAttemptsAreRetriedThreeTimesThenReported)
{
    const auto silent = [](Step step) {
        return [step](Rig &r) { r.side().faults.silentAt = step; };
    };
    using F = TransferSide::Faults;
    const auto fault = [](bool F::*flag) {
        return [flag](Rig &r) { r.side().faults.*flag = true; };
    };
    const bool send = true;
    const bool receive = false;
    // What fails, the code, whether the unit may hold the new table, on a table of two full blocks.
    const QList<std::tuple<const char *, bool, std::function<void(Rig &)>, int, bool>> cases = {
        {"no header echo", send, silent(Step::Header), 656, false},
        {"wrong header echo", send, fault(&F::wrongHeaderEcho), 657, false},
        {"no acknowledgement", send, silent(Step::Block), 658, false},
        {"negative acknowledgement", send, fault(&F::nak), 659, false},
        {"closing block unanswered", send, silent(Step::EmptyBlock), 660, true},
        {"closing block refused", send, fault(&F::nakClosingBlock), 661, true},
        {"no answer to the end byte", send, silent(Step::Ending), 662, true},
        {"end byte refused", send, fault(&F::wrongEnding), 663, true},
        {"output never drains", send, [](Rig &r) { r.line.stuckOutput = true; }, 651, false},
        // Every attempt hears version 34: the unit means it.
        {"another version", send, [](Rig &r) { r.side().config().version = 34; }, 667, false},
        {"no block", receive, silent(Step::Block), 658, false},
        {"wrong block checksum", receive, fault(&F::corruptBlockChecksum), 658, false},
        {"no answer to the end byte of a receive", receive, silent(Step::Ending), 662, false},
    };
    const QString mayHold = QStringLiteral("\nThe central unit may already hold the new table.");
    for (const auto &[what, sending, arrange, code, lastBlockSent] : cases) {
        Rig r;
        arrange(r);
        r.side().tables[18] = QByteArray(30, '\x01');
        EXPECT_EQ(sending ? r.send(18, 30) : r.receive(18), code) << what;
        ASSERT_EQ(r.outcome.notices.size(), 1u) << what;
        const platform::Notice &notice = r.outcome.notices[0];
        EXPECT_EQ(notice.text, r.failureText(code) + (lastBlockSent ? mayHold : QString())) << what;
        EXPECT_EQ(std::pair(notice.title, notice.icon),
                  std::pair(platform::ProgramTitle, platform::Icon::Critical));
        EXPECT_EQ(r.outcome.unitMayHoldNew, lastBlockSent) << what;
        // Only a send changes the caption, and its progress falls back to 0.
        EXPECT_EQ(r.caption, sending ? QStringLiteral("Retry") : QString()) << what;
        if (sending) {
            EXPECT_EQ(r.progress.last(), 0) << what;
        }
        // Four connections, each announced by a beep, then the five beeps of the message.
        if (code != 651 && code != 667) {
            EXPECT_EQ(QList<int>({r.side().counters().handshakes, r.beeps}), QList<int>({4, 9}))
                << what;
        }
        // A block whose checksum is wrong is refused, which ends the attempt at once.
        if (r.side().faults.corruptBlockChecksum) {
            EXPECT_EQ(r.line.written.count(char(224)), 4);
        }
    }
}

TEST(Transfer, ARetryThatSucceedsShowsNothingAndAPortThatBreaksIsNamed)
{
    {
        // The first attempt fails, the second goes through; the label says which attempt runs.
        Rig r;
        r.pump.addHook([&](qint64) { r.side().faults.nak = r.side().counters().handshakes < 2; });
        EXPECT_EQ(r.send(18, 100), 0);
        EXPECT_TRUE(r.outcome.notices.empty() && r.side().tables[18] == r.sendArea(18));
        const QStringList attempts = r.labels.filter(QStringLiteral("attempt"));
        EXPECT_EQ(std::tuple(attempts.size(), attempts.first(), attempts.last()),
                  std::tuple(2 * 5, "Progress: 0% – connecting (attempt 1 of 4)",
                             "Progress: 4% – connecting (attempt 2 of 4)"));
    }
    // The port breaks in the middle: a failed attempt like any other, named with the device
    // and the operating system's reason.
    Rig r;
    r.pump.addHook([&](qint64 now) {
        if (now >= 2500 && r.line.isOpen())
            r.line.fail();
    });
    EXPECT_EQ(r.send(18, 100), LinkCode::CommunicationProblem);
    EXPECT_EQ(r.message(), QStringLiteral("Communication problem:\n/dev/fake1: device gone"));
}

TEST(Transfer, CancelEndsATransferAtOnceWhereverItWaits)
{
    // Cancel every 97 ms through a send over a modem to a unit that never echoes a header: the
    // pauses, dialling, the carrier, the handshake, the header's wait, the retries.
    for (qint64 stopAt = 0; stopAt < 16000; stopAt += 97) {
        Rig r;
        r.useModem();
        r.side().faults.silentAt = Step::Header;
        qint64 stoppedAt = -1;
        qsizetype writtenBefore = 0;
        r.pump.addHook([&](qint64 now) {
            if (stoppedAt < 0 && now >= stopAt) {
                stoppedAt = now;
                writtenBefore = r.line.written.size();
                r.link.RequestStop();
                EXPECT_FALSE(r.link.Busy()) << stopAt; // ended without another advance
            }
        });
        EXPECT_EQ(r.send(18, 100), LinkCode::Stopped) << stopAt;
        // Nothing more goes out once Cancel is pressed, and no message or beep comes.
        EXPECT_EQ(std::tuple(r.pump.msecs() - stoppedAt <= 100, r.line.written.size(),
                             r.outcome.notices.size(), r.outcome.beeps),
                  std::tuple(true, writtenBefore, 0u, 0))
            << stopAt;
    }
}

TEST(Transfer, OnlyAnAnswerTheUnitGivesAgainNamesItsReason)
{
    // Three attempts find no header echo, the last hears version 34 once: that is no word of
    // the unit's.
    Rig r;
    r.side().faults.silentAt = Step::Header;
    r.pump.addHook([&](qint64) {
        if (r.side().counters().headers >= 6) {
            r.side().faults.silentAt = Step::None;
            r.side().config().version = 34;
        }
    });
    EXPECT_EQ(r.send(18, 40), LinkCode::DamagedAnswer);
    EXPECT_EQ(r.message(), QStringLiteral("Communication problem:\nDamaged or unexpected "
                                          "answer\nExpected: 33, came: 34"));
}

TEST(Transfer, ReceiveTakesWhatFitsAndEndsAUnitThatNeverEndsItsTable)
{
    // The clock table can be no longer than its central form for the model: 13 N + 12; any
    // other table fits when no longer than the area; any answer to the end byte will do.
    const QList<std::tuple<int, int, int, int>> cases = {
        {0, 18, 1312, 0}, {0, 18, 1313, 657}, {3, 18, 662, 0}, {3, 18, 663, 657},
        {0, 5, tables::TableAreaSize, 0}};
    for (const auto &[modelIndex, n, length, code] : cases) {
        Rig r;
        r.useModel(modelIndex);
        r.side().faults.wrongEnding = true;
        r.side().tables[static_cast<std::size_t>(n)] = QByteArray(length, '\x04');
        EXPECT_EQ(r.receive(n), code) << length;
        if (code == 0) {
            EXPECT_EQ(r.tables[n].ReceivedLength, length);
            EXPECT_EQ(r.tables[n].Received[static_cast<std::size_t>(length - 1)], 4);
            EXPECT_EQ(QList<int>({r.tables.TableCount, r.side().counters().tablesServed,
                                  r.progress.last()}),
                      QList<int>({1, 1, 100}));
        }
    }
    {
        // Full blocks forever would run past the receive area: the attempt ends instead.
        Rig r;
        r.side().faults.endlessTable = true;
        EXPECT_EQ(r.receive(5), LinkCode::WrongTable);
        EXPECT_EQ(r.message(), r.failureText(657));
        // Up to the last block that fits.
        EXPECT_EQ(std::pair(r.tables[5].Received[9989], r.tables[5].Received[9990]),
                  std::pair(quint8(9989 % 15 + 1), quint8(0)));
    }
    // All tables: 18 only from a model-4 unit, and there checked alike; 11 never (21 served at
    // most).
    for (const int modelIndex : {0, 4}) {
        Rig r;
        r.useModel(modelIndex);
        for (int n = 0; n < 21; ++n)
            r.side().tables[static_cast<std::size_t>(n)] = QByteArray(n + 1, static_cast<char>(n));
        EXPECT_EQ(r.receive(), 0);
        EXPECT_EQ(r.side().counters().tablesServed, modelIndex == 4 ? 20 : 19);
        r.side().tables[18] = QByteArray(663, '\x04');
        EXPECT_EQ(r.told(ReceiveEverything(r.link, r.drive, r.tables, *r.model, 19200)),
                  modelIndex == 4 ? LinkCode::WrongTable : 0);
    }
}

// With the header of a block lost, its data bytes (zeros in a clock table with few lines) once
// looked like an empty closing block with a good checksum.
TEST(Transfer, ADamagedLineNeverEndsATableEarlyAndFailsASend)
{
    // One byte damaged at the same place in every attempt, counted after each handshake (the
    // line fault test of the command line has the plainer cases): receiving, from the unit,
    // what, where, the code. The unit serves a header echo, then 17 bytes per full block.
    using Kind = sim::LineFault::Kind;
    const QList<std::tuple<const char *, bool, bool, Kind, int, int>> cases = {
        {"block 16's header lost: number 0 again", true, true, Kind::Drop, 2 + 17 * 16, 658},
        {"a header turned over", true, true, Kind::Corrupt, 2 + 17 * 2, 658},
        {"an acknowledgement lost", true, false, Kind::Drop, 4, 658},
        {"a sent data byte turned over", false, false, Kind::Corrupt, 5, 659},
        {"the unit's acknowledgement lost", false, true, Kind::Drop, 3, 658},
    };
    // A table in use at its start only, as a clock table with few lines is.
    const QByteArray unitTable = QByteArray(15, '\x07') + QByteArray(16 * 15 + 5, '\0');
    for (const auto &[what, receiving, fromUnit, kind, nth, code] : cases) {
        Rig r;
        (fromUnit ? r.unit.lineOut : r.unit.lineIn).setNth(kind, nth);
        r.side().tables[18] = unitTable;
        EXPECT_EQ(receiving ? r.receive(18) : r.send(18, 100), code) << what;
        EXPECT_EQ(r.side().counters().handshakes, 4) << what;
    }
}

TEST(Transfer, ModemProgrammingSendsItsLinesAndWantsOK)
{
    // The texts are checked as the modem hears them.
    const QList<std::tuple<bool, QString, bool, int, QStringList>> cases = {
        {false, {}, false, 0, {"AT&F&D0&K0K0S0=1%C0E0&W"}},
        {true, "1", true, LinkCode::ModemConnected, {"AT*P0:QZMRWTPX:1"}},
    };
    for (const auto &[callBack, number, silent, code, modemLines] : cases) {
        Rig r;
        r.side().faults.modemSilent = silent;
        EXPECT_EQ(r.told(ProgramModem(r.link, r.drive, callBack, number)), code) << code;
        EXPECT_EQ(r.side().modemLines(), modemLines);
        EXPECT_EQ(r.message(), code == 0 ? "OK" : "Communication problem:\nModem connected?");
        EXPECT_FALSE(r.line.isOpen());
    }
}

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
    Rig r;
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
