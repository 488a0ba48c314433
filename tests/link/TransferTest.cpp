// Connection, handshake and table transfer against the simulator's engine on virtual time.
#include "link/Transfer.h"

#include "link/ClockConversion.h"
#include "link/LinkTimings.h"
#include "link/TrafficTrace.h"
#include "project/ProjectModel.h"
#include "settings/ProfileFile.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"
#include "clock/ClockTable.h"
#include "tests/link/FakeSerialLine.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompter.h"
#include "tools/central-sim/CentralUnit.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace quintara::link {
namespace {

using sim::CentralUnit;
using sim::TransferSide;
using Step = TransferSide::SilentStep;
using testing::Bytes;
using testing::FakeSerialLine;
using testing::VirtualPump;

// The link on a fake line with the simulator's engine behind it, on virtual time.
struct Rig {
    // Without the unit the test plays the far end itself.
    explicit Rig(bool withUnit = true)
    {
        if (withUnit)
            testing::ConnectCentralUnit(unit, line, pump);
        // The carrier line follows the simulated modem.
        pump.addHook([this](qint64) { line.carrier = unit.transfer().carrier(); });
        link.setup.portNumber = 1;
        link.observer.progress = [this](int percent, const QString &label) {
            progress.append(percent);
            lastLabel = label;
            labels.append(label);
        };
        link.observer.sendCaption = [this](const QString &text) { caption = text; };
        link.observer.beep = [this] { prompter.beep(); };
        useModel(0);
    }

    // The project's and the unit's model.
    void useModel(int modelIndex)
    {
        project::NewProject(*model, 19200, 0);
        project::SelectModel(*model, modelIndex, strings);
        link.setup.modelIndex = modelIndex;
        unit.transfer().config().identification = ModelIdentification(modelIndex);
    }

    TransferSide &side() { return unit.transfer(); }
    // The parts of one attempt on their own, on a line of their own: the connection, and one
    // table on an open line. The part's code, -1 when the port did not open.
    int connect()
    {
        if (!parts.open(link.setup.portNumber, link.setup.baudRate))
            return -1;
        Connection connection(parts, progressParts, notes);
        return runPart(connection, connection.start(link.setup));
    }
    int sendTable(int n) { return runTable(Direction::Send, n); }
    int receiveTable(int n) { return runTable(Direction::Receive, n); }
    int runTable(Direction direction, int n)
    {
        TableTransfer table(parts, progressParts, notes);
        return runPart(table, table.start(direction, tables, n, 0, tables::TableAreaSize));
    }
    template <typename Part> int runPart(Part &part, int result)
    {
        while (result == Pending) {
            pump.processEvents(parts.msUntilNextLook());
            if (const auto waited = parts.poll(link.StopRequested()))
                result = part.resume(*waited);
        }
        return result;
    }

    // Jobs run as a front end runs them: its events until the job is done, then what the
    // outcome says (the beeps, then the messages). 0 on success, -1 on failure.
    qint16 send(std::optional<int> n) { link.startSend(tables, n); return finish(); }
    qint16 receive(std::optional<int> n = std::nullopt)
    {
        link.startReceive(tables, *model, n);
        return finish();
    }
    qint16 finish()
    {
        if (link.Busy())
            drive(link);
        return told(link.outcome());
    }
    qint16 told(const TransferOutcome &outcome)
    {
        for (int i = 0; i < outcome.beeps; ++i)
            prompter.beep();
        for (const platform::Notice &notice : outcome.notices)
            prompter.show(notice.text, notice.title, platform::Buttons::Ok, notice.icon);
        return outcome.ok() ? 0 : -1;
    }
    int program(bool callBack, const QString &number)
    {
        const TransferOutcome outcome = ProgramModem(link, drive, callBack, number);
        told(outcome);
        return outcome.status;
    }

    // A send area of `size` bytes 1, 2, 3... for table n, the whole transfer's bytes.
    void fillSendArea(int n, int size)
    {
        tables[n].Length = static_cast<quint16>(size);
        for (int i = 0; i < size; ++i)
            tables[n].Data[static_cast<std::size_t>(i)] = static_cast<quint8>(i % 250 + 1);
        tables.BytesTotal = size;
    }
    QByteArray sendArea(int n) const
    {
        return QByteArray(reinterpret_cast<const char *>(tables[n].Data.data()), tables[n].Length);
    }

    // The failure message as the user sees it.
    QString failureText(int code) const
    {
        return strings.GetResString(650) + QStringLiteral(":\n") + strings.GetResString(code);
    }

    // The block headers of the table whose header follows the handshake's 24 bytes.
    QList<int> blockHeaders(quint8 h) const
    {
        QList<int> headers;
        const QByteArray &w = line.written;
        if (w.size() <= HandshakeBytes || static_cast<quint8>(w.at(HandshakeBytes)) != h)
            return headers;
        qsizetype at = HandshakeBytes + 1;
        while (at < w.size()) {
            const int header = static_cast<quint8>(w.at(at));
            headers.append(header);
            at += (header & 15) + 2;
            if ((header & 15) < 15)
                break;
        }
        return headers;
    }
    static constexpr int HandshakeBytes = 24;

    VirtualPump pump;
    FakeSerialLine line{pump};
    CentralUnit unit;
    testing::ScriptedPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn()};
    CentralLink link{line, pump, strings};
    Drive drive = testing::VirtualDrive(pump);
    LinkLine parts{line, pump};
    TransferProgress progressParts{strings, link.observer};
    AttemptNotes notes;
    tables::TableSet tables;
    std::unique_ptr<project::ProjectModel> model = std::make_unique<project::ProjectModel>();
    QList<int> progress;
    QString lastLabel;
    QStringList labels;
    QString caption;
};

TEST(Transfer, HandshakeIdentifiesTheUnitTwoSecondsAfterTheStart)
{
    Rig r;
    qint64 firstByteAt = -1;
    r.pump.addHook([&](qint64 now) {
        if (firstByteAt < 0 && !r.line.written.isEmpty())
            firstByteAt = now;
    });
    EXPECT_EQ(r.connect(), LinkCode::Ok);
    EXPECT_EQ(r.side().counters().handshakes, 1);
    EXPECT_TRUE(r.side().connected());
    // No modem: nothing but the handshake, about two seconds after the start.
    EXPECT_GE(firstByteAt, 2000);
    EXPECT_LT(firstByteAt, 2100);
    const QByteArray expected =
        Bytes({240, 0}) + "QZMRWTPX" + Bytes({240, 255}) + "XPTWRMZQ" + Bytes({240, 136, 33});
    EXPECT_EQ(r.line.written.left(expected.size()), expected);
    EXPECT_EQ(r.line.written.size(), expected.size() + 1);
    EXPECT_EQ(r.progress, (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(r.lastLabel, QStringLiteral("Progress: 4%"));
    EXPECT_EQ(r.line.parameters(), QStringLiteral("19200,n,8,1"));
}

TEST(Transfer, HandshakeFailuresGiveTheirCodes)
{
    struct Case {
        const char *what;
        std::function<void(Rig &)> arrange;
        int code;
    };
    const QList<Case> cases = {
        {"not QBN", [](Rig &r) { r.side().config().name = "QBM"; }, 653},
        {"silent after the second code",
         [](Rig &r) { r.side().faults.silentAt = Step::AccessCode; }, 652},
        {"silent after the identification",
         [](Rig &r) { r.side().faults.silentAt = Step::Identification; }, 652},
        {"model 3 PC, model 0 unit", [](Rig &r) { r.link.setup.modelIndex = 3; }, 666},
        {"version 34, final byte 192", [](Rig &r) { r.side().config().version = 34; }, 667},
        {"another key: final byte not 192", [](Rig &r) { r.side().config().key = 0x11; }, 655},
        {"no final byte", [](Rig &r) { r.side().faults.silentAt = Step::Init; }, 654},
        {"unit with another key that the PC knows",
         [](Rig &r) {
             r.side().config().key = 0x11;
             r.link.setup.handshakeKey = 0x11;
         },
         0},
    };
    for (const Case &c : cases) {
        Rig r;
        c.arrange(r);
        EXPECT_EQ(r.connect(), c.code) << c.what;
    }

    // Silence after the second access code costs the three waits of 1.5 s at most.
    Rig r;
    r.side().faults.silentAt = Step::AccessCode;
    EXPECT_EQ(r.connect(), LinkCode::NoAnswer);
    EXPECT_LE(r.pump.msecs(), 3000 + 1500 + 100);
}

TEST(Transfer, HandshakeKeyAndIdentification)
{
    EXPECT_EQ(HandshakeResponse(0x00, 0xA5), (2 * 0xA5) % 256);
    EXPECT_EQ(HandshakeResponse(0xA5, 0xA5), 0);
    EXPECT_EQ(HandshakeResponse(0x25, 0xA5), 0x80 * 2 % 256);
    EXPECT_EQ(HandshakeResponse(0xA4, 0xA5), 1);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const settings::ProfileFile profile(dir.filePath(QStringLiteral("Ventora.ini")));
    EXPECT_EQ(HandshakeKeyFromSettings(profile), DefaultHandshakeKey);
    for (const auto &[text, key] : QList<std::pair<QByteArray, int>>{{"0x3c", 0x3C},
                                                                     {"17", 17},
                                                                     {"256", DefaultHandshakeKey},
                                                                     {"x", DefaultHandshakeKey}}) {
        QFile file(profile.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Link]\nKey=" + text + "\n");
        file.close();
        EXPECT_EQ(HandshakeKeyFromSettings(profile), key) << text.toStdString();
    }
}

TEST(Transfer, ModemDialsWaitsForCarrierAndTheCallBack)
{
    {
        // Dialling: blank line, init string, ATDT, then the carrier.
        Rig r;
        r.side().config().modem = true;
        r.link.setup.connectedWithModem = true;
        r.link.setup.initString = QStringLiteral("  ATZ0 ");
        r.link.setup.telephoneNumber = QStringLiteral(" 0123 45 ");
        EXPECT_EQ(r.connect(), 0);
        EXPECT_TRUE(r.line.written.startsWith("\n\rATZ0\n\rATDT0123 45\n\r" + Bytes({240, 0})));
        EXPECT_EQ(r.side().modemLines(), (QStringList{"ATZ0", "ATDT0123 45"}));
    }
    {
        // Call-back: the first code, the remote hangs up and calls back.
        Rig r;
        r.side().config().modem = true;
        r.link.setup.connectedWithModem = true;
        r.link.setup.callBackNecessary = true;
        r.link.setup.initString = QStringLiteral("ATZ0");
        r.link.setup.telephoneNumber = QStringLiteral("5");
        EXPECT_EQ(r.connect(), 0);
        EXPECT_TRUE(r.line.written.startsWith("\n\rATZ0\n\rATDT5\n\rQZMRWTPX\r" + Bytes({240, 0})));
        EXPECT_EQ(r.side().counters().handshakes, 1);
    }
    {
        // A line still up: no dialling; the call-back box alone does nothing.
        Rig r;
        r.link.setup.connectedWithModem = true;
        r.link.setup.initString = QStringLiteral("ATZ0");
        r.line.carrier = true;
        EXPECT_EQ(r.connect(), 0);
        EXPECT_TRUE(r.line.written.startsWith(Bytes({240, 0})));

        Rig s;
        s.link.setup.callBackNecessary = true;
        EXPECT_EQ(s.connect(), 0);
        EXPECT_TRUE(s.line.written.startsWith(Bytes({240, 0})));
    }
    {
        // No carrier within 50 s, and no hang-up after the call-back code.
        Rig r;
        r.side().config().modem = true;
        r.side().faults.modemSilent = true;
        r.link.setup.connectedWithModem = true;
        EXPECT_EQ(r.connect(), LinkCode::ModemConnected);
        EXPECT_GE(r.pump.msecs(), 50000);

        Rig s;
        s.link.setup.connectedWithModem = true;
        s.link.setup.callBackNecessary = true;
        s.line.carrier = true;
        s.pump.addHook([&](qint64) { s.line.carrier = true; });
        EXPECT_EQ(s.connect(), LinkCode::ModemConnected);
    }
    {
        // Dialling and a call-back that take longer than a table's transfer timer: the timer
        // guards the tables only, so the first attempt goes through with one call.
        Rig r;
        r.side().config().modem = true;
        r.side().config().dialMs = 30000;
        r.side().config().callBackMs = 30000;
        r.link.setup.connectedWithModem = true;
        r.link.setup.callBackNecessary = true;
        r.link.setup.initString = QStringLiteral("ATZ0");
        r.link.setup.telephoneNumber = QStringLiteral("5");
        r.fillSendArea(18, 300);
        EXPECT_EQ(r.send(18), 0);
        EXPECT_GT(r.pump.msecs(), 60000);
        EXPECT_EQ(r.side().modemLines().filter(QStringLiteral("ATDT")).size(), 1);
        EXPECT_EQ(r.side().tables[18], r.sendArea(18));
    }
    {
        // The modem in front of the unit hears the call-back code also while the unit is
        // connected, and hangs up.
        Rig r;
        r.side().config().modem = true;
        r.link.setup.connectedWithModem = true;
        r.link.setup.initString = QStringLiteral("ATZ0");
        ASSERT_EQ(r.connect(), 0);
        ASSERT_TRUE(r.side().connected());
        for (const char c : QByteArray("QZMRWTPX\r"))
            r.line.writeByte(static_cast<quint8>(c));
        for (int i = 0; i < 50; ++i)
            r.pump.processEvents(20);
        EXPECT_FALSE(r.side().carrier());
    }
    {
        // Cancel while dialling.
        Rig r;
        r.side().config().modem = true;
        r.side().config().dialMs = 20000;
        r.link.setup.connectedWithModem = true;
        r.pump.addHook([&](qint64 now) {
            if (now >= 5000)
                r.link.RequestStop();
        });
        EXPECT_EQ(r.connect(), LinkCode::Stopped);
        EXPECT_LT(r.pump.msecs(), 5100);
    }
}

TEST(Transfer, SendingTheClockTableEndsWithTheEndByte)
{
    Rig r;
    r.fillSendArea(18, 1312);
    EXPECT_EQ(r.send(18), 0);
    EXPECT_EQ(r.tables.TableCount, 1);
    EXPECT_EQ(r.side().tables[18], r.sendArea(18));
    EXPECT_EQ(r.side().counters().headers, 1);
    EXPECT_EQ(r.side().counters().endings, 1);
    EXPECT_TRUE(r.line.written.endsWith(Bytes({96})));
    EXPECT_FALSE(r.line.isOpen());
    EXPECT_FALSE(r.link.Busy());
    EXPECT_EQ(r.prompter.beeps, 1); // the connection is up
    EXPECT_EQ(r.progress.last(), 100);
    EXPECT_EQ(r.lastLabel, QStringLiteral("Progress: 100%"));
    // 88 blocks of which the last carries seven bytes; the progress climbs to 99 with them.
    EXPECT_EQ(r.blockHeaders(160 + 18).size(), 88);
    EXPECT_TRUE(std::is_sorted(r.progress.begin() + 5, r.progress.end()));
    EXPECT_TRUE(r.progress.contains(99));
}

TEST(Transfer, BlocksCarryAtMostFifteenBytesAndANumberThatWraps)
{
    struct Case {
        int size;
        QList<int> headers;
    };
    QList<int> seventeen;
    for (int k = 0; k < 16; ++k)
        seventeen.append(16 * k + 15);
    seventeen.append(0 + 5); // block 16 is number 0 again
    const QList<Case> cases = {
        {0, {0}},
        {15, {15, 16}},
        {16, {15, 16 + 1}},
        {16 * 15 + 5, seventeen},
    };
    for (const Case &c : cases) {
        Rig r;
        r.fillSendArea(3, c.size);
        ASSERT_EQ(r.connect(), 0);
        EXPECT_EQ(r.sendTable(3), 0) << c.size;
        EXPECT_EQ(r.blockHeaders(160 + 3), c.headers) << c.size;
        EXPECT_EQ(r.side().tables[3], r.sendArea(3)) << c.size;
    }
    // The checksum of a block is its header and data bytes modulo 256.
    Rig r;
    r.fillSendArea(0, 2);
    r.tables[0].Data[0] = 200;
    r.tables[0].Data[1] = 100;
    ASSERT_EQ(r.connect(), 0);
    ASSERT_EQ(r.sendTable(0), 0);
    EXPECT_TRUE(r.line.written.endsWith(Bytes({160, 2, 200, 100, (2 + 200 + 100) % 256})));
}

TEST(Transfer, AJobRunsOnlyAsItsCallerAdvancesItAndCancelEndsItAtOnce)
{
    Rig r;
    r.fillSendArea(18, 40);
    r.link.startSend(r.tables, 18);
    // Started, the job waits for its caller: it has run no events and sent nothing yet.
    EXPECT_TRUE(r.link.Busy());
    EXPECT_EQ(r.pump.calls, 0);
    EXPECT_TRUE(r.line.written.isEmpty());
    EXPECT_EQ(r.link.msUntilNextLook(), Timing::AdvanceSliceMs);
    while (r.line.written.isEmpty()) {
        r.pump.processEvents(r.link.msUntilNextLook());
        r.link.advance();
    }
    EXPECT_EQ(r.pump.msecs(), 2000);
    // Cancel in the middle of the handshake ends the job there and then, silently.
    r.link.RequestStop();
    EXPECT_FALSE(r.link.Busy());
    EXPECT_FALSE(r.line.isOpen());
    EXPECT_EQ(r.link.LastCode(), LinkCode::Stopped);
    EXPECT_TRUE(r.link.outcome().notices.empty());
    EXPECT_EQ(r.link.outcome().beeps, 0);
}

TEST(Transfer, FailedAttemptsAreRetriedThreeTimesThenReported)
{
    struct Case {
        const char *what;
        std::function<void(Rig &)> arrange;
        int code;
        bool lastBlockSent = false; // the unit may hold the new table
        int tableSize = 40;
    };
    const QList<Case> cases = {
        {"no header echo", [](Rig &r) { r.side().faults.silentAt = Step::Header; }, 656},
        {"wrong header echo", [](Rig &r) { r.side().faults.wrongHeaderEcho = true; }, 657},
        {"no acknowledgement", [](Rig &r) { r.side().faults.silentAt = Step::Block; }, 658},
        {"negative acknowledgement", [](Rig &r) { r.side().faults.nak = true; }, 659},
        {"closing block unanswered", [](Rig &r) { r.side().faults.silentAt = Step::EmptyBlock; },
         660, true, 30},
        {"closing block refused", [](Rig &r) { r.side().faults.nakClosingBlock = true; }, 661,
         true, 30},
        {"no answer to the end byte", [](Rig &r) { r.side().faults.silentAt = Step::Ending; }, 662,
         true},
        {"end byte refused", [](Rig &r) { r.side().faults.wrongEnding = true; }, 663, true},
        {"output never drains", [](Rig &r) { r.line.stuckOutput = true; }, 651},
    };
    const QString mayHold = QStringLiteral("\nThe central unit may already hold the new table.");
    for (const Case &c : cases) {
        Rig r;
        c.arrange(r);
        r.fillSendArea(18, c.tableSize);
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.send(18), -1) << c.what;
        EXPECT_EQ(r.link.LastCode(), c.code) << c.what;
        ASSERT_EQ(r.prompter.shown.size(), 1) << c.what;
        EXPECT_EQ(r.prompter.shown[0].text,
                  r.failureText(c.code) + (c.lastBlockSent ? mayHold : QString()))
            << c.what;
        EXPECT_EQ(r.link.outcome().unitMayHoldNew, c.lastBlockSent) << c.what;
        EXPECT_EQ(r.prompter.shown[0].title, platform::ErrorTitle);
        EXPECT_EQ(r.prompter.shown[0].icon, platform::Icon::Critical);
        EXPECT_EQ(r.caption, QStringLiteral("Retry")) << c.what;
        EXPECT_EQ(r.progress.last(), 0) << c.what;
        EXPECT_FALSE(r.line.isOpen()) << c.what;
        if (c.code != 651) {
            // Four connections, each announced by a beep, then the five beeps of the message.
            EXPECT_EQ(r.side().counters().handshakes, 4) << c.what;
            EXPECT_EQ(r.prompter.beeps, 4 + 5) << c.what;
        }
        if (c.code == 656 || c.code == 657) {
            // Two header tries an attempt, then the end byte.
            EXPECT_EQ(r.side().counters().headers, 8) << c.what;
            EXPECT_EQ(r.side().counters().endings, 4) << c.what;
        }
    }
    EXPECT_EQ(Rig().failureText(658), QStringLiteral("Communication problem:\nNo Ack"));
}

TEST(Transfer, ASuccessfulRetryShowsNothingAndCancelEndsWithoutAMessage)
{
    {
        // The first attempt fails; the second goes through.
        Rig r;
        r.side().faults.nak = true;
        r.pump.addHook([&](qint64) {
            if (r.side().counters().handshakes >= 2)
                r.side().faults.nak = false;
        });
        r.fillSendArea(18, 100);
        EXPECT_EQ(r.send(18), 0);
        EXPECT_TRUE(r.prompter.shown.isEmpty());
        EXPECT_EQ(r.side().tables[18], r.sendArea(18));
        // While connecting, the label says which attempt runs.
        EXPECT_TRUE(r.labels.contains(QStringLiteral("Progress: 2% (attempt 1 of 4)")));
        EXPECT_TRUE(r.labels.contains(QStringLiteral("Progress: 4% (attempt 2 of 4)")));
        EXPECT_FALSE(r.labels.contains(QStringLiteral("Progress: 2% (attempt 3 of 4)")));
        EXPECT_EQ(r.labels.filter(QStringLiteral("attempt")).size(), 2 * 5);
    }
    {
        // A port that does not open: one message, headed like the others, its reason once.
        Rig r;
        r.link.setup.portNumber = 3;
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.send(18), -1);
        ASSERT_EQ(r.prompter.shown.size(), 1);
        EXPECT_EQ(r.prompter.shown[0].text,
                  QStringLiteral("Communication problem:\n/dev/fake3: No such file or "
                                 "directory\nSelect other communication port"));
        EXPECT_TRUE(r.line.written.isEmpty());
    }
    {
        // The port breaks in the middle: a failed attempt like any other.
        Rig r;
        r.pump.addHook([&](qint64 now) {
            if (now >= 2500 && r.line.isOpen())
                r.line.fail();
        });
        r.fillSendArea(18, 100);
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.send(18), -1);
        EXPECT_EQ(r.link.LastCode(), LinkCode::CommunicationProblem);
        // Named with the device and the operating system's reason.
        EXPECT_EQ(r.prompter.shown.value(0).text,
                  r.failureText(650) + QStringLiteral("\n/dev/fake1: device gone"));
    }
}

TEST(Transfer, CancelEndsATransferWithinATenthOfASecondWhereverItWaits)
{
    // Cancel every 97 ms through a send and a receive over a modem to a unit that never echoes
    // a header: the fixed pauses, dialling, the carrier, the handshake's reads, the header's
    // long wait and the retries.
    for (const bool send : {true, false}) {
        for (qint64 stopAt = 0; stopAt < 16000; stopAt += 97) {
            Rig r;
            r.side().config().modem = true;
            r.link.setup.connectedWithModem = true;
            r.link.setup.initString = QStringLiteral("ATZ0");
            r.link.setup.telephoneNumber = QStringLiteral("0301234567");
            r.side().faults.silentAt = Step::Header;
            qint64 stoppedAt = -1;
            qsizetype writtenBefore = 0;
            r.pump.addHook([&](qint64 now) {
                if (stoppedAt < 0 && now >= stopAt) {
                    stoppedAt = now;
                    writtenBefore = r.line.written.size();
                    r.link.RequestStop();
                }
            });
            r.fillSendArea(18, 100);
            const qint16 result = send ? r.send(18)
                                       : r.receive(18);
            EXPECT_EQ(result, -1) << stopAt;
            EXPECT_EQ(r.link.LastCode(), LinkCode::Stopped) << send << ' ' << stopAt;
            EXPECT_LE(r.pump.msecs() - stoppedAt, 100) << send << ' ' << stopAt;
            // Nothing more goes out once Cancel is pressed, and no message comes.
            EXPECT_EQ(r.line.written.size(), writtenBefore) << send << ' ' << stopAt;
            EXPECT_TRUE(r.prompter.shown.isEmpty()) << stopAt;
            EXPECT_FALSE(r.line.isOpen()) << stopAt;
        }
    }
}

TEST(Transfer, AFailedSendSaysWhenTheUnitMayHoldTheNewTable)
{
    const QString mayHold = QStringLiteral("\nThe central unit may already hold the new table.");
    {
        // The first attempt delivers the table but hears no answer to its end byte; the retries
        // fail before a table. The last code is theirs, but the unit holds the new table.
        Rig r;
        r.side().faults.silentAt = Step::Ending;
        r.pump.addHook([&](qint64) {
            if (r.side().counters().endings >= 1)
                r.side().faults.silentAt = Step::AccessCode;
        });
        r.fillSendArea(18, 40);
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.send(18), -1);
        EXPECT_EQ(r.link.LastCode(), LinkCode::NoAnswer);
        EXPECT_EQ(r.side().tables[18], r.sendArea(18));
        EXPECT_EQ(r.prompter.shown.value(0).text, r.failureText(652) + mayHold);
    }
    // The window's offer to compare comes with that message, and only with it.
    for (const bool delivered : {true, false}) {
        Rig r;
        r.side().faults.silentAt = delivered ? Step::Ending : Step::Header;
        r.fillSendArea(18, 40);
        r.link.startSend(r.tables, 18);
        r.drive(r.link);
        ASSERT_EQ(r.link.outcome().notices.size(), 1u);
        EXPECT_EQ(r.link.outcome().unitMayHoldNew, delivered);
        EXPECT_EQ(r.link.outcome().notices[0].text,
                  delivered ? r.failureText(662) + mayHold : r.failureText(656));
    }
}

TEST(Transfer, OnlyAnAnswerTheUnitGivesAgainNamesItsReason)
{
    // Answers no unit of this protocol gives: said as what was expected and what came.
    {
        Rig r;
        r.side().config().identification = 77; // no model's
        EXPECT_EQ(r.connect(), LinkCode::DamagedAnswer);
        EXPECT_EQ(r.notes.answer->expected, Bytes({136, 136}));
        EXPECT_EQ(r.notes.answer->came, Bytes({77, 77}));
    }
    {
        // A version that is not ours, but the response was refused: the bytes slipped.
        Rig r;
        r.side().config().version = 34;
        r.side().config().key = 0x11;
        EXPECT_EQ(r.connect(), LinkCode::DamagedAnswer);
    }
    {
        // Every attempt hears version 34: the unit means it.
        Rig r;
        r.side().config().version = 34;
        r.fillSendArea(18, 40);
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.send(18), -1);
        EXPECT_EQ(r.prompter.shown.value(0).text, r.failureText(667));
    }
    {
        // Three attempts find no header echo, the last hears version 34 once: that is no word
        // of the unit's.
        Rig r;
        r.side().faults.silentAt = Step::Header;
        r.pump.addHook([&](qint64) {
            if (r.side().counters().headers >= 6) {
                r.side().faults.silentAt = Step::None;
                r.side().config().version = 34;
            }
        });
        r.fillSendArea(18, 40);
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.send(18), -1);
        EXPECT_EQ(r.link.LastCode(), LinkCode::DamagedAnswer);
        EXPECT_EQ(r.prompter.shown.value(0).text,
                  QStringLiteral("Communication problem:\nDamaged or unexpected answer\n"
                                 "Expected: 33, came: 34"));
    }
}

TEST(Transfer, ReceivingTablesFromTheUnitsMemory)
{
    {
        Rig r;
        r.side().tables[18] = QByteArray(1312, '\x07');
        EXPECT_EQ(r.receive(18), 0);
        EXPECT_EQ(r.tables.TableCount, 1);
        EXPECT_EQ(r.tables[18].ReceivedLength, 1312);
        EXPECT_EQ(r.tables[18].Received[1311], 7);
        EXPECT_EQ(r.tables[18].Received[1312], 0);
        EXPECT_EQ(r.side().counters().tablesServed, 1);
        EXPECT_EQ(r.side().counters().endings, 1);
        EXPECT_EQ(r.progress.last(), 100);
    }
    // All tables: 18 only from a model-4 unit, 11 never.
    for (const int modelIndex : {0, 4}) {
        Rig r;
        r.useModel(modelIndex);
        for (int n = 0; n < 21; ++n)
            r.side().tables[static_cast<std::size_t>(n)] = QByteArray(n + 1, static_cast<char>(n));
        EXPECT_EQ(r.receive(), 0);
        EXPECT_EQ(r.side().counters().tablesServed, modelIndex == 4 ? 20 : 19);
        EXPECT_EQ(r.line.written.contains(static_cast<char>(128 + 18)), modelIndex == 4);
        EXPECT_FALSE(r.line.written.contains(static_cast<char>(128 + 11)));
        EXPECT_EQ(r.tables[20].Received[20], 20);
        EXPECT_EQ(r.tables[18].Received[0], modelIndex == 4 ? 18 : 0);
        EXPECT_TRUE(std::is_sorted(r.progress.begin() + 5, r.progress.end()));
    }
}

// A unit played by the test: echoes the receive header and answers the start with one block.
void ServeOneBlock(Rig &r, const QByteArray &block, QByteArray &answers)
{
    r.pump.addHook([&r, block, &answers, started = false](qint64) mutable {
        for (char c : r.line.takeSent()) {
            const auto byte = static_cast<quint8>(c);
            if (byte == 128 + 5 && !started) {
                r.line.deliver(QByteArray(1, c));
            } else if (byte == 192 && !started) {
                started = true;
                r.line.deliver(block);
            } else {
                answers.append(c);
            }
        }
    });
}

TEST(Transfer, AReceivedBlockIsCheckedByItsChecksum)
{
    for (const int checksum : {63, 64}) {
        Rig r(false);
        QByteArray answers;
        ServeOneBlock(r, Bytes({3, 10, 20, 30, checksum}), answers);
        r.tables[5].Received.fill(0xEE);
        ASSERT_TRUE(r.parts.open(1, 19200));
        EXPECT_EQ(r.receiveTable(5), checksum == 63 ? 0 : LinkCode::NoAck);
        EXPECT_EQ(r.line.written.right(1), Bytes({checksum == 63 ? 192 : 224}));
        // Nothing else was said; the acknowledgement leaves while the link listens for the
        // silence after the table, the negative one ends the attempt at once.
        EXPECT_EQ(answers, checksum == 63 ? Bytes({192}) : QByteArray());
        EXPECT_EQ(r.tables[5].Received[0], 10);
        EXPECT_EQ(r.tables[5].Received[2], 30);
        if (checksum == 63) {
            for (int i = 3; i < 15; ++i)
                EXPECT_EQ(r.tables[5].Received[static_cast<std::size_t>(i)], 0) << i;
            EXPECT_EQ(r.tables[5].Received[15], 0xEE);
        }
    }
}

TEST(Transfer, ReceiveFailuresAndAUnitThatNeverEndsItsTable)
{
    struct Case {
        const char *what;
        std::function<void(Rig &)> arrange;
        int code;
    };
    const QList<Case> cases = {
        {"no header echo", [](Rig &r) { r.side().faults.silentAt = Step::Header; }, 656},
        {"wrong header echo", [](Rig &r) { r.side().faults.wrongHeaderEcho = true; }, 657},
        {"no block", [](Rig &r) { r.side().faults.silentAt = Step::Block; }, 658},
        {"wrong checksum", [](Rig &r) { r.side().faults.corruptBlockChecksum = true; }, 658},
        {"no answer to the end byte", [](Rig &r) { r.side().faults.silentAt = Step::Ending; }, 662},
    };
    for (const Case &c : cases) {
        Rig r;
        c.arrange(r);
        r.side().tables[18] = QByteArray(30, '\x01');
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.receive(18), -1) << c.what;
        EXPECT_EQ(r.prompter.shown.value(0).text, r.failureText(c.code)) << c.what;
        EXPECT_TRUE(r.caption.isEmpty()) << c.what; // only a send changes the caption
        EXPECT_EQ(r.side().counters().handshakes, 4) << c.what;
        if (c.code == 656 || c.code == 657) {
            EXPECT_EQ(r.side().counters().headers, 8) << c.what;
        }
    }
    {
        // Any answer to the end byte will do when receiving.
        Rig r;
        r.side().faults.wrongEnding = true;
        r.side().tables[18] = QByteArray(30, '\x01');
        EXPECT_EQ(r.receive(18), 0);
    }
    {
        // Full blocks forever would run past the receive area: the attempt ends instead.
        Rig r;
        r.side().faults.endlessTable = true;
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.receive(5), -1);
        EXPECT_EQ(r.link.LastCode(), LinkCode::WrongTable);
        EXPECT_EQ(r.prompter.shown.value(0).text, r.failureText(657));
        EXPECT_EQ(r.tables[5].Received[9989], 9989 % 15 + 1); // up to the last block that fits
        EXPECT_EQ(r.tables[5].Received[9990], 0);
    }
    {
        // A table of exactly the area's size still fits.
        Rig r;
        r.side().tables[5] = QByteArray(tables::TableAreaSize, '\x02');
        EXPECT_EQ(r.receive(5), 0);
        EXPECT_EQ(r.tables[5].Received[tables::TableAreaSize - 1], 2);
    }
    // The clock table can be no longer than its central form for the model: 13 N + 12.
    for (const auto &[modelIndex, length, code] :
         QList<std::tuple<int, int, int>>{{0, 1312, 0}, {0, 1313, 657}, {3, 662, 0}, {3, 663, 657}}) {
        Rig r;
        r.useModel(modelIndex);
        r.side().tables[18] = QByteArray(length, '\x04');
        r.prompter.answerAllWithDefault();
        EXPECT_EQ(r.receive(18), code == 0 ? 0 : -1) << length;
        EXPECT_EQ(r.link.LastCode(), code) << length;
    }
    {
        // Receiving everything from a model-4 unit checks table 18 alike.
        Rig r;
        r.useModel(4);
        r.side().tables[18] = QByteArray(663, '\x04');
        r.prompter.answerAllWithDefault();
        EXPECT_EQ(r.told(ReceiveEverything(r.link, r.drive, r.tables, *r.model, 19200)), -1);
        EXPECT_EQ(r.link.LastCode(), LinkCode::WrongTable);
    }
}

// One byte damaged on the line, at the same place in every attempt.
struct LineCase {
    const char *what;
    bool fromUnit; // else from the PC
    sim::LineFault::Kind kind;
    int nth; // after each handshake
    int code;
};
using Kind = sim::LineFault::Kind;

// What the dropped-header report found: with the header of a block lost, its data bytes (zeros
// in a clock table with few lines) looked like an empty closing block with a good checksum.
TEST(Transfer, ADamagedLineNeverEndsATableEarly)
{
    // The unit's n-th byte after each handshake: 1 the header echo, then 17 per full block.
    const auto blockHeader = [](int k) { return 2 + 17 * k; };
    const QList<LineCase> cases = {
        {"header of block 4 lost", true, Kind::Drop, blockHeader(4), 658},
        {"header of block 16 lost: its number is 0 again", true, Kind::Drop, blockHeader(16), 658},
        {"a data byte lost", true, Kind::Drop, blockHeader(4) + 3, 658},
        {"a header turned over", true, Kind::Corrupt, blockHeader(2), 658},
        // The PC's bytes: 1 the header, 2 the start, 3 the acknowledgement of block 0.
        {"an acknowledgement twice: the unit runs ahead", false, Kind::Duplicate, 3, 658},
        {"an acknowledgement lost", false, Kind::Drop, 4, 658},
    };
    clock::ClockTable lines;
    lines.MaxClockLines = 100;
    lines.Lines[0] = clock::ClockLine::fromBytes({0, 7, 1, 12, 26, 0, 3, 1, 1, 3, 255, 0, 0});
    lines.Lines[1] = clock::ClockLine::fromBytes({30, 22, 2, 12, 26, 2, 3, 1, 2, 1, 127, 0, 0});
    tables::TableSet form;
    ClockTableToCentral(lines, form, 18, std::nullopt);
    form.FinishTable(18);
    const QByteArray unitTable(reinterpret_cast<const char *>(form[18].Data.data()),
                               form[18].Length);
    ASSERT_GT(unitTable.size(), 16 * 15);
    ASSERT_EQ(unitTable.mid(4 * 15, 2), Bytes({0, 0}));

    for (const LineCase &c : cases) {
        Rig r;
        r.side().tables[18] = unitTable;
        (c.fromUnit ? r.unit.lineOut : r.unit.lineIn).setNth(c.kind, c.nth);
        clock::ClockTable table;
        table.MaxClockLines = 100;
        table.Lines[7] = clock::ClockLine::fromBytes({1, 2, 3, 4, 26, 0, 3, 1, 1, 9, 255, 0, 0});
        testing::FixedClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 0))};
        clock::ClockTable before = table;
        NormaliseClockDates(before, clock.now());
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.told(ReceiveClockTable(r.link, r.drive, r.tables, table, *r.model, clock)), -1) << c.what;
        EXPECT_EQ(r.link.LastCode(), c.code) << c.what;
        EXPECT_EQ(r.side().counters().handshakes, 4) << c.what;
        EXPECT_EQ(table.Lines, before.Lines) << c.what;
    }
    {
        // Met once only, the fault costs one attempt; the retry brings the table.
        Rig r;
        r.side().tables[18] = unitTable;
        r.unit.lineOut.setNth(Kind::Drop, blockHeader(4));
        r.pump.addHook([&](qint64) {
            if (r.side().counters().handshakes >= 2)
                r.unit.lineOut.clear();
        });
        EXPECT_EQ(r.receive(18), 0);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(r.tables[18].Received.data()),
                             r.tables[18].ReceivedLength),
                  unitTable);
    }
}

TEST(Transfer, ADamagedLineFailsASend)
{
    // The PC's n-th byte after each handshake: 1 the header, 2 the header of block 0; the
    // unit's: 1 the echo, 2 the acknowledgement of block 0.
    const QList<LineCase> cases = {
        {"header of block 1 lost", false, Kind::Drop, 2 + 17, 659},
        {"a data byte lost", false, Kind::Drop, 5, 658},
        {"a data byte turned over", false, Kind::Corrupt, 5, 659},
        // Where the unit should be silent: no answer the protocol has a name for.
        {"an acknowledgement twice", true, Kind::Duplicate, 2, LinkCode::DamagedAnswer},
        {"an acknowledgement lost", true, Kind::Drop, 3, 658},
    };
    for (const LineCase &c : cases) {
        Rig r;
        r.fillSendArea(18, 100);
        (c.fromUnit ? r.unit.lineOut : r.unit.lineIn).setNth(c.kind, c.nth);
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.send(18), -1) << c.what;
        EXPECT_EQ(r.link.LastCode(), c.code) << c.what;
        EXPECT_EQ(r.side().counters().handshakes, 4) << c.what;
    }
}

TEST(Transfer, TheTraceHoldsEveryByteOfTheLineWithItsStep)
{
    Rig r;
    TrafficTrace trace;
    r.link.setTrace(&trace);
    r.fillSendArea(18, 20);
    ASSERT_EQ(r.send(18), 0);
    const QString text = trace.text();
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Both directions, every byte, each run under its step and time.
    EXPECT_TRUE(lines.contains(QStringLiteral(
        "    2000  PC>  handshake    F0 00 51 5A 4D 52 57 54 50 58                   ..QZMRWTPX")))
        << text.toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("<CU  handshake    51 42 4E ")).size(), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("PC>  header 18    B2")).size(), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("<CU  header 18    B2")).size(), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("PC>  block 1      15 10 11 12 13 14 6F")).size(), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("<CU  ack          C0")).size(), 2);
    EXPECT_EQ(lines.filter(QStringLiteral("<CU  end          60")).size(), 1);
    EXPECT_EQ(trace.byteCount(), r.line.written.size() + 3 + 6 + 1 + 1 + 2 + 1);
    EXPECT_FALSE(text.contains(QStringLiteral("fake"))); // the line's bytes and steps only

    // Written all at once; the next transfer begins a new trace.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    ASSERT_TRUE(trace.save(path, r.strings));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), text);
    QString error;
    EXPECT_FALSE(
        trace.save(dir.filePath(QStringLiteral("no/such/folder/trace.txt")), r.strings, &error));
    EXPECT_FALSE(error.isEmpty());

    // Bytes that nobody read are kept too: an acknowledgement that came twice.
    r.unit.lineOut.setNth(sim::LineFault::Kind::Duplicate, 2);
    r.prompter.answerAllWithDefault();
    ASSERT_EQ(r.send(18), -1);
    EXPECT_FALSE(trace.text().contains(QStringLiteral("PC>  end")));
    EXPECT_EQ(trace.text().count(QStringLiteral("<CU  discarded    C0")), 4);
}

TEST(Transfer, ModemProgrammingSendsItsLinesAndWantsOK)
{
    // The second line waits longer for its answer; the texts are checked as the modem hears them.
    const auto withCallBack = ModemProgrammingCommands(true, QStringLiteral(" 0987 "));
    ASSERT_EQ(withCallBack.size(), 3);
    EXPECT_EQ(withCallBack[1].pauseMs, 500);
    {
        Rig r;
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.program(true, QStringLiteral("0987")), 0);
        EXPECT_EQ(r.side().modemLines(),
                  (QStringList{"AT*P0:QZMRWTPX:0987", "ATS200=16", "AT&D0&K0K0S0=1%C0E0&W"}));
        EXPECT_EQ(r.line.written,
                  "\n\rAT*P0:QZMRWTPX:0987\n\rATS200=16\n\rAT&D0&K0K0S0=1%C0E0&W\n\r");
        EXPECT_EQ(r.prompter.shown.value(0).text, QStringLiteral("OK"));
        EXPECT_FALSE(r.line.isOpen());
    }
    {
        Rig r;
        r.side().faults.modemSilent = true;
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.program(true, QStringLiteral("1")), LinkCode::ModemConnected);
        EXPECT_EQ(r.side().modemLines().size(), 1);
        EXPECT_EQ(r.prompter.shown.value(0).text, r.failureText(668));
        EXPECT_EQ(r.prompter.shown.value(0).text.section(QLatin1Char('\n'), 1),
                  QStringLiteral("Modem connected?"));
    }
    {
        Rig r;
        r.prompter.expect(platform::Answer::Ok);
        EXPECT_EQ(r.program(false, {}), 0);
        EXPECT_EQ(r.side().modemLines(), QStringList{"AT&F&D0&K0K0S0=1%C0E0&W"});
    }
}

} // namespace
} // namespace quintara::link
