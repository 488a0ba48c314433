#include "presentation/BatchSetup.h"

#include "platform/Clock.h"
#include "presentation/SiteHealth.h"

namespace quintara::ui {

book::Fetched<BatchStart> NewBatch(book::BatchQueue &queue, book::BatchKind kind,
                                   const std::vector<qint64> &siteIds, const platform::Clock &clock)
{
    book::Fetched<qint64> created =
        queue.create(kind, siteIds, clock.now(), book::CurrentUserName());
    if (!created.ok())
        return book::Failed<BatchStart>(std::move(created));
    book::Fetched<BatchStart> start;
    start.value = {created.value, kind};
    return start;
}

book::Fetched<std::optional<BatchStart>> StoppedBatch(book::BatchQueue &queue)
{
    book::Fetched<std::optional<qint64>> last = queue.unfinished();
    if (!last.ok())
        return book::Failed<std::optional<BatchStart>>(std::move(last));
    book::Fetched<std::optional<BatchStart>> stopped;
    if (!last.value)
        return stopped;
    book::Fetched<book::BatchKind> kind = queue.kind(*last.value);
    if (!kind.ok())
        return book::Failed<std::optional<BatchStart>>(std::move(kind));
    stopped.value = BatchStart{*last.value, kind.value};
    return stopped;
}

book::LinkWork BatchLinkWork(const settings::Strings &strings, const platform::Clock &clock,
                             const QString &settingsFile)
{
    return book::LinkWork(strings, clock, SiteProblemCounter(strings, clock), settingsFile);
}

} // namespace quintara::ui
