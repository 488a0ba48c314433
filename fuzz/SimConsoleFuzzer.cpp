// Runs arbitrary lines through central-sim's console, with line bytes between them: a refused
// line says why, and the unit keeps serving whatever the console did to it.
#include "tools/central-sim/CentralUnit.h"
#include "tools/central-sim/SimCommand.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    sim::CentralUnit unit;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    qint64 now = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        // A line that starts with a tab is bytes from the PC's side of the line instead.
        if (line.startsWith('\t')) {
            now += 7;
            unit.receive(line.mid(1), now);
        } else {
            const sim::CommandResult result = sim::RunCommand(unit, QString::fromLatin1(line));
            // A refused line always says what was wrong ("transfer table" of an empty table
            // rightly answers nothing).
            if (!result.ok && result.reply.isEmpty())
                std::abort();
            if (result.quit)
                break;
        }
        now += 40;
        unit.advanceTo(now);
        if (unit.takeOutput().size() > 64 * 1024)
            std::abort();
    }
    return 0;
}
