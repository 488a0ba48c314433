// Feeds arbitrary bytes to the clock file reader and walks every line it produced through the
// occurrence rules, as opening a file and painting the week view would.
#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "project/ProjectModel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    clock::ClockTable table;

    const QByteArrayView image(reinterpret_cast<const char *>(data), qsizetype(size));
    const clock::ClockFileResult result = clock::ReadClockImage(table, image);
    if (table.MaxClockLines < 0 || table.MaxClockLines > clock::ClockLineCount)
        std::abort();
    // A file read whole writes back byte for byte, the model byte as the model it selected.
    if (result.done()) {
        QByteArray expected = image.first(clock::ClockFileSize).toByteArray();
        expected[4] = char(project::EffectiveModelIndex(quint8(expected[4])));
        if (clock::ClockFileImage(table) != expected)
            std::abort();
    }

    const QDate thisMonday(2026, 12, 7);
    clock::CheckDates(table, thisMonday);
    const clock::YearWindow years = clock::YearWindow::around(thisMonday);
    const clock::WorkdayFlagSet workdays = project::ProjectModel().WorkdayFlags();
    for (const int weeksAhead : {0, 520}) {
        const QDate monday = thisMonday.addDays(7 * weeksAhead);
        for (int i = 0; i < clock::ClockLineCount; ++i) {
            const clock::ClockLine &line = table.Lines[static_cast<std::size_t>(i)];
            (void)clock::ReferenceOccurrence(line, monday, years);
            for (auto purpose : {clock::WalkPurpose::Markers, clock::WalkPurpose::HitTest}) {
                clock::OccurrenceWalk walk(line, monday, workdays, purpose, years);
                int count = 0;
                while (const auto occurrence = walk.next()) {
                    if (occurrence->row < 0 || occurrence->row > 6 ||
                        ++count > clock::OccurrenceWalk::MaxStepsInWeek)
                        std::abort();
                }
            }
        }
    }
    return 0;
}
