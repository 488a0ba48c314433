// Table transfer against the central-sim executable loaded with the demo installation, over a
// pseudo-terminal and over loopback TCP (raw, and Telnet with COM port control). Reports, per
// transfer, the time beyond the protocol's own pauses (one second before, one after the dialling
// step and one inside the handshake; 100 ms before every table, and when receiving the 100 ms of
// silence that confirm a table's end) per acknowledged block, the wall time over those pauses,
// and the share of a core the process used.
#include "clock/ClockTable.h"
#include "link/ClockConversion.h"
#include "link/DeviceLine.h"
#include "link/Transfer.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Prompter.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"

#include <QCoreApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <utility>

namespace {

using namespace quintara;

constexpr double ConnectPausesMs = 3000;
constexpr double TablePauseMs = 100;
constexpr double QuietAfterTableMs = 100;

class SilentPrompter final : public platform::Prompter {
public:
    platform::Answer ask(const platform::Message &message) override
    {
        shown.append(message.text);
        return platform::Answer::Ok;
    }
    void beep() override {}
    QStringList shown;
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Acknowledged blocks of a table of `length` bytes: full blocks, then a shorter or empty one.
int Blocks(int length)
{
    return length / 15 + 1;
}

// The simulator, the PC's side of the line and a demo clock table. The wire is "pty", or the
// scheme the simulator listens with on loopback ("tcp", "rfc2217").
struct Bench {
    explicit Bench(const QString &wire)
    {
        QStringList arguments{QStringLiteral("--project"), QStringLiteral(QUINTARA_DEMO_PROJECT)};
        if (wire != u"pty")
            arguments << QStringLiteral("--listen") << wire + QStringLiteral("://127.0.0.1:0");
        sim.setProgram(QStringLiteral(QUINTARA_CENTRAL_SIM));
        sim.setArguments(arguments);
        sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        sim.start();
        sim.waitForStarted(5000);
        while (!sim.canReadLine() && sim.waitForReadyRead(5000)) {
        }
        // The pseudo-terminal's path, or the address it listens on.
        device = QString::fromLocal8Bit(sim.readLine()).trimmed();

        project::NewProject(*model, 19200, 0);
        project::SelectModel(*model, 1, strings); // the demo installation's model
        link.setup.portNumber = 1;
        link.setup.modelIndex = 1;
        clockTable.MaxClockLines = 100;
        // Every line in use, so the table is full length.
        for (int i = 0; i < 100; ++i) {
            clock::ClockLine &line = clockTable.Lines[static_cast<std::size_t>(i)];
            line.Hour = static_cast<quint8>(i % 24);
            line.Minute = static_cast<quint8>(i % 60);
            clock::SetReferenceDate(line, QDate::currentDate());
            line.Table = static_cast<quint8>(i % 5);
            line.RepeatUnit = clock::Days;
            line.RepeatCount = 1;
            line.FunctionType = 1;
            line.FunctionNumber = static_cast<quint8>(i + 1);
            line.Level = 255;
        }
    }
    ~Bench()
    {
        sim.closeWriteChannel();
        if (!sim.waitForFinished(5000))
            sim.kill();
    }

    bool started() const
    {
        return device.startsWith(QStringLiteral("/dev/")) ||
               link::NetworkAddress::isNetwork(device);
    }

    QProcess sim;
    QString device;
    link::DeviceLine line{[this](int) { return device; }};
    platform::QtEventPump pump;
    platform::SystemClock systemClock;
    SilentPrompter prompter;
    settings::Strings strings{settings::StringTable::builtIn()};
    link::CentralLink link{line, pump, strings};
    // The program's own way to run a job: its events, then the link, until it is done.
    link::Drive drive = [this](link::CentralLink &l) {
        while (l.Busy()) {
            pump.processEvents(l.msUntilNextLook());
            l.advance();
        }
    };
    std::unique_ptr<project::ProjectModel> model = std::make_unique<project::ProjectModel>();
    clock::ClockTable clockTable;
    tables::TableSet tables;
};

// Runs one transfer per iteration; `run` answers the number of tables and blocks it moved.
template <typename Run>
void Measure(benchmark::State &state, const char *wire, Run run,
             const std::function<bool(Bench &)> &prepare = {})
{
    Bench bench(QString::fromLatin1(wire));
    if (!bench.started()) {
        state.SkipWithError("central-sim did not start");
        return;
    }
    if (prepare && !prepare(bench)) {
        state.SkipWithError("preparation failed");
        return;
    }
    double extraMsPerBlock = 0;
    double wallOverPauses = 0;
    double cpuShare = 0;
    double blocks = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        const auto [ok, tableCount, blockCount, receiving] = run(bench);
        const double cpu = CpuSeconds() - cpuStart;
        const double wallMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!ok) {
            state.SkipWithError("transfer failed");
            return;
        }
        const double pausesMs =
            ConnectPausesMs + (TablePauseMs + (receiving ? QuietAfterTableMs : 0)) * tableCount;
        extraMsPerBlock += (wallMs - pausesMs) / blockCount;
        wallOverPauses += wallMs / pausesMs;
        cpuShare += cpu * 1000 / wallMs;
        blocks = blockCount;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["blocks"] = blocks;
    state.counters["extra_ms_per_block"] = extraMsPerBlock / n;
    state.counters["wall_over_pauses"] = wallOverPauses / n;
    state.counters["cpu_share"] = cpuShare / n;
}

struct Outcome {
    bool ok;
    int tables;
    int blocks;
    bool receiving = false;
};

void BM_SendClockTable(benchmark::State &state, const char *wire)
{
    Measure(state, wire, [](Bench &b) {
        const bool ok = link::SendClockTable(b.link, b.drive, b.tables, b.clockTable, *b.model,
                                             b.systemClock, true)
                            .ok();
        return Outcome{ok, 1, Blocks(b.tables[tables::TableSet::ClockSlot].Length)};
    });
}

void BM_ReceiveClockTable(benchmark::State &state, const char *wire)
{
    Measure(
        state, wire,
        [](Bench &b) {
            const bool ok = link::ReceiveClockTable(b.link, b.drive, b.tables, b.clockTable,
                                                    *b.model, b.systemClock)
                                .ok();
            return Outcome{ok, 1, Blocks(b.tables[tables::TableSet::ClockSlot].ReceivedLength),
                           true};
        },
        [](Bench &b) {
            // The unit must hold a clock table first.
            return link::SendClockTable(b.link, b.drive, b.tables, b.clockTable, *b.model,
                                        b.systemClock, false)
                .ok();
        });
}

void BM_ReceiveEverything(benchmark::State &state, const char *wire)
{
    Measure(state, wire, [](Bench &b) {
        const bool ok = link::ReceiveEverything(b.link, b.drive, b.tables, *b.model, 19200).ok();
        int tableCount = 0;
        int blockCount = 0;
        for (int n = 0; n < tables::TableSet::SlotCount; ++n) {
            if (n == tables::TableSet::UnusedSlot || n == tables::TableSet::ClockSlot)
                continue;
            ++tableCount;
            blockCount += Blocks(b.tables[n].ReceivedLength);
        }
        return Outcome{ok, tableCount, blockCount, true};
    });
}

// Every transfer over every wire: "BM_SendClockTable/tcp".
void RegisterTransfers()
{
    const std::pair<const char *, void (*)(benchmark::State &, const char *)> transfers[] = {
        {"BM_SendClockTable", BM_SendClockTable},
        {"BM_ReceiveClockTable", BM_ReceiveClockTable},
        {"BM_ReceiveEverything", BM_ReceiveEverything}};
    for (const auto &[name, transfer] : transfers) {
        for (const char *wire : {"pty", "tcp", "rfc2217"}) {
            benchmark::RegisterBenchmark((std::string(name) + '/' + wire).c_str(), transfer, wire)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3)
                ->UseRealTime();
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RegisterTransfers();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
