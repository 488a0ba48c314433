// The program's side of a table transfer against a central unit played by the fuzzer: its bytes
// arrive in chunks at times the input gives, on virtual time, while the link connects, sends or
// receives table 18 and ends. Whatever arrives, the transfer ends in bounded time with success or
// a code, and a received clock table is never longer than its central form.
#include "fuzz/FuzzSupport.h"
#include "link/ClockConversion.h"
#include "link/TrafficTrace.h"
#include "link/Transfer.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"
#include "tables/TableSet.h"
#include "tests/link/FakeSerialLine.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using namespace quintara;

// The unit's answers: chunks, each delivered a given time after the one before.
struct Chunk {
    qint64 atMs;
    QByteArray bytes;
};

// Four attempts of the slowest failure, and the connection's bounded waits.
constexpr qint64 LongestTransferMs = 4 * 120000;

} // namespace

// Input: a byte choosing the direction (bit 0: send) and the model (bits 1-2), then chunks of
// a delay byte (in 20 ms steps), a length byte and that many bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool send = data[0] & 1;
    const int modelIndex = (data[0] >> 1) & 3;
    QList<Chunk> chunks;
    qint64 at = 0;
    for (std::size_t i = 1; i + 1 < size;) {
        at += 20 * data[i];
        const std::size_t length = std::min<std::size_t>(data[i + 1], size - i - 2);
        chunks.append({at, QByteArray(reinterpret_cast<const char *>(data + i + 2),
                                      static_cast<qsizetype>(length))});
        i += 2 + length;
    }

    testing::VirtualPump pump;
    testing::FakeSerialLine line{pump};
    pump.addHook([&line, &chunks, next = qsizetype(0)](qint64 now) mutable {
        while (next < chunks.size() && chunks[next].atMs <= now)
            line.deliver(chunks[next++].bytes);
    });
    fuzzing::SilentPrompter prompter;
    const settings::Strings strings(settings::StringTable::builtIn());
    link::CentralLink link(line, pump, strings);
    link::TrafficTrace trace;
    link.setTrace(&trace);
    link.setup.portNumber = 1;
    auto model = std::make_unique<project::ProjectModel>();
    project::NewProject(*model, 19200, 0);
    project::SelectModel(*model, modelIndex, strings);
    link.setup.modelIndex = modelIndex;

    tables::TableSet set;
    constexpr int Clock = tables::TableSet::ClockSlot;
    const link::Drive drive = [&pump](link::CentralLink &running) {
        // A transfer that never ends is a failure found.
        while (running.Busy() && pump.msecs() <= LongestTransferMs) {
            pump.processEvents(running.msUntilNextLook());
            running.advance();
        }
    };
    int result = 0;
    if (send) {
        set[Clock].Length = 40;
        for (int i = 0; i < 40; ++i)
            set[Clock].Data[static_cast<std::size_t>(i)] = static_cast<quint8>(i * 7);
        set.BytesTotal = 40;
        link.startSend(set, Clock);
        drive(link);
        result = link.outcome().status;
    } else {
        link.startReceive(set, *model, Clock);
        drive(link);
        result = link.outcome().status;
        if (result == 0 &&
            set[Clock].ReceivedLength > link::CentralClockLength(model->Limits.ClockLines))
            std::abort();
    }
    const bool aCode = result == 0 || (result >= link::LinkCode::CommunicationProblem &&
                                       result <= link::LinkCode::DamagedAnswer);
    if (!aCode || pump.msecs() > LongestTransferMs || link.Busy() ||
        line.isOpen())
        std::abort();
    (void)trace.text();
    return 0;
}
