// Feeds arbitrary bytes to the iCalendar reader: every day it reads lies in the years asked for
// (or is a yearly one), runs forward, and every refusal says why.
#include "plan/IcsCalendar.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quintara;
    if (size > static_cast<std::size_t>(plan::MaxIcsFileSize))
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const plan::IcsCalendar read = plan::ReadIcs(bytes, 2026, 2075);
    if (!read.read()) {
        if (read.notices.empty() || !read.days.isEmpty())
            std::abort();
        return 0;
    }
    for (const plan::CalendarDays &days : read.days) {
        if (!days.first.isValid() || days.last < days.first || days.first.daysTo(days.last) > 366)
            std::abort();
        if (!days.yearly && (days.last.year() < 2026 || days.first.year() > 2075))
            std::abort();
    }
    return 0;
}
