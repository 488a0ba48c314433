// The table transfer through a damaged line on virtual time: whatever the line drops, repeats or
// turns over, a transfer either delivers exactly the unit's bytes or fails with a code. The one
// damage no receiver can see is counted apart: bits turned over in one block (its checksum
// included) whose changes cancel in its 8-bit sum. A failure names a reason only where the unit
// gave that reason's answer, and a failed send whose table the unit took says so. The same holds
// with the unit behind a TCP connection on loopback, raw and with Telnet COM port control, and
// the network itself neither loses nor changes a data byte on the way.
#include "link/Transfer.h"

#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/Connection.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"
#include "tests/link/LinkRig.h"
#include "tools/central-sim/CentralUnit.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>

namespace quintara::link {
namespace {

using sim::LineFault;
using Slot = tables::TableSet;

// The longest a transfer may take on virtual time: four attempts of the slowest failure (two
// header tries of 4.8 s, or a table's 50 s transfer timer) and the connection.
constexpr qint64 LongestTransferMs = 4 * (60000 + 10000);

// A clock table's central form as the send flow makes it: a few lines in use, the rest zero,
// trailing zeros trimmed. Zeros are what makes a lost header dangerous.
QByteArray CentralForm(std::mt19937 &random, int modelIndex)
{
    clock::ClockTable table;
    table.MaxClockLines = static_cast<qint16>(project::LimitsOfModel(modelIndex).ClockLines);
    const int lines = static_cast<int>(random() % 12);
    for (int i = 0; i < lines; ++i) {
        const auto index = static_cast<std::size_t>(random() % table.MaxClockLines);
        const auto byte = [&](int low, int high) {
            return static_cast<quint8>(low + static_cast<int>(random() % (high - low + 1)));
        };
        table.Lines[index] = clock::ClockLine::fromBytes(
            {byte(0, 59), byte(0, 23), byte(1, 28), byte(1, 12), byte(20, 40), byte(0, 4),
             byte(0, 7), byte(0, 5), byte(1, 10), byte(1, 100), byte(0, 255), 0, 0});
    }
    tables::TableSet set;
    ClockTableToCentral(table, set, Slot::ClockSlot, std::nullopt);
    set.FinishTable(Slot::ClockSlot);
    return {reinterpret_cast<const char *>(set[Slot::ClockSlot].Data.data()),
            set[Slot::ClockSlot].Length};
}

// A short table, mostly zeros.
QByteArray ShortTable(std::mt19937 &random)
{
    QByteArray bytes(static_cast<int>(random() % 46), '\0');
    for (char &c : bytes) {
        if (random() % 3 == 0)
            c = static_cast<char>(random() % 256);
    }
    return bytes;
}

// Whether the two tables differ only where the protocol cannot see it: in blocks of the same
// length whose 8-bit sums differ by nothing, or by one bit that the same damage turned over in
// the block's checksum (two bits of the same weight turned over in opposite directions, or two
// top bits alike).
bool BlockSumsAlike(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype at = 0; at < a.size(); at += LinkByte::BlockData) {
        int difference = 0;
        for (qsizetype i = at; i < std::min<qsizetype>(at + LinkByte::BlockData, a.size()); ++i)
            difference += static_cast<quint8>(a[i]) - static_cast<quint8>(b[i]);
        const int d = difference & 255;
        const auto oneBit = [](int v) { return v != 0 && (v & (v - 1)) == 0; };
        if (d != 0 && !oneBit(d) && !oneBit(256 - d))
            return false;
    }
    return true;
}

struct Tally {
    int transfers = 0;
    int delivered = 0;
    int failed = 0;
    int falseSuccesses = 0;
    int blind = 0; // damage that no block's sum shows: bits turned over that cancel
    int hangs = 0;
    int misnamed = 0;      // a reason named that the unit never gave
    int mayHoldUnsaid = 0; // a failed send whose table the unit holds, not said
    int networkDamage = 0; // data bytes the network lost, changed or added; rounds it hung
    long faults = 0;
};

// What carries the bytes between the link and the unit: a line in memory (none), or a
// NetworkLine over loopback to a server in the test.
using Wire = std::optional<NetworkAddress::Kind>;

// One transfer of a table through a line that damages both directions.
class DamagedLine {
public:
    DamagedLine(Wire wire, LineFault::Kind kind, double rate, quint32 seed,
                project::ProjectModel &project)
        : m_rig(&project, wire), m_seed(seed)
    {
        m_rig.unit.lineIn = LineFault(seed * 2 + 1);
        m_rig.unit.lineOut = LineFault(seed * 2 + 2);
        m_rig.unit.lineIn.setRandom(kind, rate);
        m_rig.unit.lineOut.setRandom(kind, rate);
    }

    void send(int n, const QByteArray &bytes, Tally &tally)
    {
        m_rig.tables[n].Length = static_cast<quint16>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), m_rig.tables[n].Data.begin());
        m_rig.tables.BytesTotal = bytes.size();
        // What the unit held before stays after a failure; a success must replace it exactly.
        QByteArray &held = m_rig.side().tables[static_cast<std::size_t>(n)];
        held = QByteArray(3, '\x55');
        m_rig.link.startSend(m_rig.tables, n);
        const bool ok = m_rig.finish() == LinkCode::Ok;
        if (!ok && held == bytes && !m_rig.outcome.unitMayHoldNew)
            ++tally.mayHoldUnsaid;
        count(tally, ok, held, bytes);
    }

    void receive(int n, const QByteArray &bytes, Tally &tally)
    {
        m_rig.side().tables[static_cast<std::size_t>(n)] = bytes;
        const bool ok = m_rig.receive(n) == LinkCode::Ok;
        const tables::CentralTable &table = m_rig.tables[n];
        const QByteArray got(reinterpret_cast<const char *>(table.Received.data()),
                             table.ReceivedLength);
        const bool paddedWithZeros =
            std::all_of(table.Received.begin() + table.ReceivedLength, table.Received.end(),
                        [](quint8 b) { return b == 0; });
        count(tally, ok, paddedWithZeros ? got : QByteArray("not padded"), bytes);
    }

private:
    // Whether the code names an answer this unit never gave. It is of the link's model and
    // version, knows the key and answers every end byte with the end byte; it refuses a
    // response (a damaged one), a block (damaged on the way) and echoes the header it heard.
    bool misnamed(int code) const
    {
        const sim::TransferSide::Counters &counters = m_rig.unit.transfer().counters();
        switch (code) {
        case LinkCode::NoOrOldCentral:
        case LinkCode::WrongCentral:
        case LinkCode::SoftwareIncompatible:
        case LinkCode::WrongEnding:
            return true;
        case LinkCode::WrongInit:
            return counters.refusals == 0;
        case LinkCode::WrongAck:
        case LinkCode::WrongMessage:
            return counters.badBlocks == 0;
        case LinkCode::WrongTable:
            return m_rig.unit.lineIn.injected() == 0;
        default:
            return false;
        }
    }

    void count(Tally &tally, bool ok, const QByteArray &got, const QByteArray &sent)
    {
        ++tally.transfers;
        tally.faults += m_rig.unit.lineIn.injected() + m_rig.unit.lineOut.injected();
        tally.hangs += m_rig.pump.msecs() > LongestTransferMs;
        if (const auto &loopback = m_rig.loopback) {
            const int damage = loopback->damagedBytes() + int(loopback->stuck());
            EXPECT_EQ(damage, 0) << "the network lost, changed or added data, or hung";
            tally.networkDamage += damage;
        }
        if (!ok) {
            ++tally.failed;
            const int code = m_rig.link.LastCode();
            EXPECT_TRUE(code >= LinkCode::CommunicationProblem && code <= LinkCode::DamagedAnswer)
                << code;
            if (misnamed(code)) {
                ++tally.misnamed;
                ADD_FAILURE() << "seed " << m_seed << " named " << code
                              << " though the unit never gave its answer: "
                              << m_rig.link.FailureMessage().toStdString();
            }
        } else if (got == sent) {
            ++tally.delivered;
        } else if (BlockSumsAlike(got, sent)) {
            ++tally.blind;
        } else {
            ++tally.falseSuccesses;
        }
    }

    testing::LinkRig m_rig;
    quint32 m_seed; // names the case in a failure
};

class TransferProperty : public ::testing::TestWithParam<Wire> {};

TEST_P(TransferProperty, ADamagedLineNeverGivesAFalseSuccess)
{
    // Transfers per kind of damage, rate and direction; more in a long run. The network's round
    // trips cost real time: it runs a tenth as many, enough for any damage of its own.
    const int longRun = qEnvironmentVariableIntValue("QUINTARA_PROPERTY_RUNS");
    const int memoryRuns = longRun > 0 ? longRun : 250;
    const int runs = !GetParam() ? memoryRuns : std::max(3, memoryRuns / 10);
    const QList<std::pair<LineFault::Kind, const char *>> kinds = {
        {LineFault::Kind::Drop, "drop"},
        {LineFault::Kind::Duplicate, "duplicate"},
        {LineFault::Kind::Corrupt, "flip"},
        {LineFault::Kind::Any, "any"}};
    std::mt19937 random(2026);
    // The projects of both models, made once.
    std::array<std::unique_ptr<project::ProjectModel>, 2> projects;
    const settings::Strings strings{settings::StringTable::builtIn()};
    for (int i = 0; i < 2; ++i) {
        projects[i] = std::make_unique<project::ProjectModel>();
        project::NewProject(*projects[i], 19200, 0);
        project::SelectModel(*projects[i], i == 0 ? 0 : 3, strings);
    }
    Tally total;
    quint32 seed = 1;
    for (const auto &[kind, name] : kinds) {
        Tally byKind;
        for (const double rate : {0.001, 0.005, 0.01, 0.02, 0.05}) {
            for (int run = 0; run < runs; ++run) {
                // Clock tables of both sizes, and short tables that often pass a damaged
                // line: where a damaged block could slip through, it is in those.
                const int modelIndex = run % 4 == 0 ? 0 : 3;
                project::ProjectModel &project = *projects[modelIndex == 0 ? 0 : 1];
                const bool clockTable = run % 2 == 0;
                const QByteArray bytes =
                    clockTable ? CentralForm(random, modelIndex) : ShortTable(random);
                const int n = clockTable ? Slot::ClockSlot : 5;
                DamagedLine(GetParam(), kind, rate, seed++, project).send(n, bytes, byKind);
                DamagedLine(GetParam(), kind, rate, seed++, project).receive(n, bytes, byKind);
            }
        }
        std::printf("%-9s transfers %5d  bytes damaged %6ld  delivered %5d  failed %5d  "
                    "false successes %d  unseen by the block sums %d  hangs %d  misnamed %d  "
                    "new table held unsaid %d  network damage %d\n",
                    name, byKind.transfers, byKind.faults, byKind.delivered, byKind.failed,
                    byKind.falseSuccesses, byKind.blind, byKind.hangs, byKind.misnamed,
                    byKind.mayHoldUnsaid, byKind.networkDamage);
        EXPECT_EQ(byKind.falseSuccesses + byKind.hangs + byKind.misnamed + byKind.mayHoldUnsaid +
                      byKind.networkDamage,
                  0)
            << name;
        // Only bits turned over can cancel in a sum; lost and repeated bytes are always found.
        EXPECT_TRUE(byKind.blind == 0 || kind == LineFault::Kind::Corrupt ||
                    kind == LineFault::Kind::Any)
            << name;
        total.transfers += byKind.transfers;
        total.delivered += byKind.delivered;
    }
    // Both outcomes occur: the damage is neither too light to matter nor too heavy to pass.
    EXPECT_GT(total.delivered, total.transfers / 10);
    EXPECT_LT(total.delivered, total.transfers);
}

using Kind = NetworkAddress::Kind;
INSTANTIATE_TEST_SUITE_P(
    Wires, TransferProperty, ::testing::Values(Wire(), Wire(Kind::Raw), Wire(Kind::ComPortControl)),
    [](const ::testing::TestParamInfo<Wire> &info) {
        return std::string(!info.param ? "Memory" : *info.param == Kind::Raw ? "Tcp" : "Rfc2217");
    });

} // namespace
} // namespace quintara::link
