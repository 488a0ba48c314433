#pragma once

#include "book/Batch.h"
#include "book/LinkWork.h"

#include <optional>
#include <vector>

namespace quintara::platform {
class Clock;
}
namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

// A batch in the book, ready to run.
struct BatchStart {
    qint64 batchId = 0;
    book::BatchKind kind = book::BatchKind::Check;
};

// A new batch over the sites, in their order, begun now by this system's user.
book::Fetched<BatchStart> NewBatch(book::BatchQueue &queue, book::BatchKind kind,
                                   const std::vector<qint64> &siteIds,
                                   const platform::Clock &clock);

// The latest batch that was stopped before its end, to take up again; none when every batch
// came to its end.
book::Fetched<std::optional<BatchStart>> StoppedBatch(book::BatchQueue &queue);

// The work of a batch over each site's own link, its health check counting as the Sites list
// does. `settingsFile` maps port numbers to devices, as for a single transfer.
book::LinkWork BatchLinkWork(const settings::Strings &strings, const platform::Clock &clock,
                             const QString &settingsFile);

} // namespace quintara::ui
