// The site book at an installer's scale: 10,000 sites of 20 versions each (QUINTARA_BENCH_SITES
// sets another count), in an SQLite book made once in a temporary folder.
#include "book/Batch.h"
#include "book/SiteBook.h"
#include "platform/Clock.h"
#include "book/SiteFolders.h"
#include "settings/Settings.h"
#include "settings/Strings.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

using namespace quintara;
using namespace quintara::book;

namespace {

constexpr int VersionsPerSite = 20;

QByteArray FileBytes(const char *path)
{
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int SiteCount()
{
    const int count = qEnvironmentVariableIntValue("QUINTARA_BENCH_SITES");
    return count > 0 ? count : 10000;
}

// The book every benchmark reads, made at the first use.
class BigBook {
public:
    static BigBook &instance()
    {
        static BigBook book;
        return book;
    }
    BookLocation location;
    qint64 middleSite = 0;
    double bytesPerVersion = 0;

private:
    BigBook()
    {
        location.path = m_dir.filePath(QStringLiteral("big.sqlite"));
        SiteBook book;
        book.open(location);
        const QByteArray project = FileBytes(QUINTARA_DEMO_PROJECT);
        QByteArray table = FileBytes(QUINTARA_DEMO_CLOCK_FILE).left(1308);
        const QDateTime start(QDate(2030, 1, 7), QTime(8, 0), Qt::UTC);
        const int sites = SiteCount();
        for (int n = 0; n < sites; ++n) {
            Site site;
            site.name = QStringLiteral("Site %1").arg(n, 5, 10, QLatin1Char('0'));
            site.customer = QStringLiteral("Customer %1").arg(n * 7919 % sites);
            site.address = QStringLiteral("Street %1, Town %2").arg(n % 200).arg(n % 37);
            site.model = n % 5;
            site.tags = {QStringLiteral("region %1").arg(n % 12)};
            std::vector<TableVersion> versions;
            for (int v = 0; v < VersionsPerSite; ++v) {
                TableVersion version;
                version.event = VersionEvent(v % 6);
                version.time = start.addSecs(3600LL * (n + v * sites));
                version.user = QStringLiteral("tech");
                table[20 + v] = char(n + v); // every version a table of its own
                version.clockImage = table;
                versions.push_back(std::move(version));
            }
            const Fetched<qint64> added = book.addSite(site, project, std::move(versions));
            if (n == sites / 2)
                middleSite = added.value;
        }
        bytesPerVersion = double(QFileInfo(location.path).size()) / (sites * VersionsPerSite);
    }
    QTemporaryDir m_dir;
};

// What the Sites view does when it opens: the book opened and every site's row read.
void BM_OpenSitesList(benchmark::State &state)
{
    BigBook &big = BigBook::instance();
    for (auto _ : state) {
        SiteBook book;
        book.open(big.location);
        benchmark::DoNotOptimize(book.sites().value.size());
    }
    state.counters["bytesPerVersion"] = big.bytesPerVersion;
}
BENCHMARK(BM_OpenSitesList)->Unit(benchmark::kMillisecond);

// One key typed into the search field.
void BM_SearchKey(benchmark::State &state)
{
    SiteBook book;
    book.open(BigBook::instance().location);
    SiteFilter filter;
    filter.text = QStringLiteral("town 1");
    for (auto _ : state)
        benchmark::DoNotOptimize(book.sites(filter).value.size());
}
BENCHMARK(BM_SearchKey)->Unit(benchmark::kMillisecond);

void BM_SiteHistory(benchmark::State &state)
{
    SiteBook book;
    book.open(BigBook::instance().location);
    for (auto _ : state)
        benchmark::DoNotOptimize(book.history(BigBook::instance().middleSite).value.size());
}
BENCHMARK(BM_SiteHistory)->Unit(benchmark::kMillisecond);

// Everything a batch does per site besides the transfer: the queue's claim and record, the
// site's project and table read, the received table kept as a version. Compare with the
// transfer itself (a receive of the clock table takes about 2.5 s on a 19200 Bd line).
class InstantWork final : public SiteWork {
public:
    WorkResult run(BatchKind, const Site &, const QByteArray &, const QByteArray &image) override
    {
        WorkResult result;
        result.ok = true;
        TableVersion version;
        version.event = VersionEvent::Received;
        version.time = QDateTime::currentDateTimeUtc();
        version.clockImage = image;
        version.trace = QString(4000, QLatin1Char('x'));
        result.version = version;
        return result;
    }
    void requestStop() override {}
};

void BM_BatchBookkeepingPerSite(benchmark::State &state)
{
    SiteBook book;
    book.open(BigBook::instance().location);
    BatchQueue queue(book, BatchQueue::ThisWorker());
    InstantWork work;
    const platform::SystemClock clock;
    const std::vector<qint64> sites(100, BigBook::instance().middleSite);
    for (auto _ : state) {
        state.PauseTiming();
        const qint64 batch =
            queue.create(BatchKind::Backup, sites, clock.now(), QStringLiteral("tech")).value;
        state.ResumeTiming();
        const Fetched<BatchSummary> done = RunBatch(book, queue, batch, work, clock, {}, {});
        if (!done.ok() || done.value.failed() != 0)
            state.SkipWithError(done.notices.empty() ? "a site failed" : qPrintable(done.notices[0].text));
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_BatchBookkeepingPerSite)->Unit(benchmark::kMillisecond);

// 1,000 site folders, each a project and three clock files, into a new book.
void BM_Import1000Folders(benchmark::State &state)
{
    QTemporaryDir tree;
    const QByteArray project = FileBytes(QUINTARA_DEMO_PROJECT);
    const QByteArray table = FileBytes(QUINTARA_DEMO_CLOCK_FILE);
    for (int n = 0; n < 1000; ++n) {
        const QString folder = tree.filePath(QStringLiteral("site%1").arg(n));
        QDir().mkpath(folder);
        for (const QString &name : {QStringLiteral("/Site%1.nbt"), QStringLiteral("/a.clk"),
                                    QStringLiteral("/b.clk"), QStringLiteral("/c.clk")}) {
            QFile file(folder + (name.contains(QLatin1Char('%')) ? name.arg(n) : name));
            file.open(QIODevice::WriteOnly);
            file.write(name.endsWith(QLatin1String(".nbt")) ? project : table);
        }
    }
    const settings::Settings settings;
    const settings::Strings strings(settings::StringTable::builtIn());
    for (auto _ : state) {
        QTemporaryDir place;
        BookLocation location;
        location.path = place.filePath(QStringLiteral("import.sqlite"));
        SiteBook book;
        book.open(location);
        const Fetched<ImportedFiles> imported =
            ImportFolder(book, tree.path(), {QStringLiteral("tech"), &settings, &strings, {}});
        benchmark::DoNotOptimize(imported.value.versions);
    }
}
BENCHMARK(BM_Import1000Folders)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
