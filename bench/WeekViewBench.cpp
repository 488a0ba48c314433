// The main window's week view on the offscreen platform: a full repaint with every line in use
// and the marker pool full, hit-testing a crowded week, and the window from nothing to painted.
#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "project/ProjectFileReader.h"
#include "render/Pictures.h"
#include "render/WeekPainter.h"
#include "ui/FileDialogs.h"
#include "ui/FrmKlokken.h"
#include "ui/Program.h"
#include "ui/WeekView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace quintara;

namespace {

const QDate ThisMonday(2026, 12, 7);

struct QuietPrompter final : platform::Prompter {
    platform::Answer ask(const platform::Message &message) override
    {
        return message.defaultButton.value_or(platform::Answer::Ok);
    }
    void beep() override {}
};

struct FixedClock final : platform::Clock {
    QDateTime now() const override { return QDateTime(ThisMonday.addDays(2), QTime(10, 0)); }
};

struct NoPump final : platform::EventPump {
    void processEvents(int) override {}
    qint64 msecs() const override { return 0; }
};

struct NoDialogs final : ui::FileDialogs {
    std::optional<QString> getOpenFileName(QWidget *, const ui::FileDialogRequest &) override
    {
        return std::nullopt;
    }
    std::optional<QString> getSaveFileName(QWidget *, const ui::FileDialogRequest &) override
    {
        return std::nullopt;
    }
};

// The program with the model of 100 clock lines and Monday to Friday as workdays.
struct Bench {
    QuietPrompter prompter;
    FixedClock clock;
    NoPump pump;
    NoDialogs dialogs;
    ui::Program program{prompter, clock, pump,
                        settings::ProfileFile(QStringLiteral("/nonexistent/Ventora.ini"))};

    Bench()
    {
        project::NewProject(program.project, 19200, 0);
        project::SelectModel(program.project, 0, program.strings);
        for (int day = 0; day < 7; ++day)
            program.project.System.Options[project::SystemOption::FirstWorkday + day] = day < 5;
        clock::ApplyModel(program.clockTable, program.project);
    }

    // 100 lines in use, every table and repetition mixed: hourly lines alone overflow the pool.
    void fill()
    {
        QRandomGenerator random(7);
        const int units[] = {clock::Hours, clock::Minutes,  clock::Days,
                             clock::Weeks, clock::Workdays, clock::Once};
        for (int i = 0; i < clock::ClockLineCount; ++i) {
            clock::ClockLine &line = program.clockTable.Lines[static_cast<std::size_t>(i)];
            line.FunctionType = static_cast<quint8>(i % 3 == 0 ? 2 : 1);
            line.FunctionNumber = static_cast<quint8>(1 + i % 8);
            line.Level = 255;
            line.Table = static_cast<quint8>(i % clock::TableKindCount);
            line.RepeatUnit = static_cast<quint8>(units[i % 6]);
            line.RepeatCount = static_cast<quint8>(
                line.RepeatUnit == clock::Minutes ? random.bounded(5, 30) : random.bounded(1, 3));
            line.Hour = static_cast<quint8>(random.bounded(24));
            line.Minute = static_cast<quint8>(15 * random.bounded(4));
            clock::SetReferenceDate(line, ThisMonday.addDays(random.bounded(-30, 7)));
        }
    }
};

void FullRepaint(benchmark::State &state)
{
    Bench bench;
    bench.fill();
    ui::FrmKlokken window(bench.program, bench.dialogs);
    window.ScrWeeks_Change();
    if (window.weekModel().repeatMarkers() != 198)
        state.SkipWithError("the pool is not full");
    for (auto _ : state)
        window.ScrWeeks_Change();
    state.counters["pool"] = window.weekModel().repeatMarkers();
}
BENCHMARK(FullRepaint)->Unit(benchmark::kMicrosecond);

// The worst-case week placed and repainted on a 1920 x 1050 window at scale factor 1 (argument 1)
// and on the same screen at scale factor 2 (argument 2: half the logical size).
void RepaintFullScreenWeek(benchmark::State &state)
{
    const int ratio = int(state.range(0));
    Bench bench;
    bench.fill();
    ui::FrmKlokken window(bench.program, bench.dialogs);
    window.resize(QSize(1920, 1050) / ratio);
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.ScrWeeks_Change();
        window.Pic()->repaint();
    }
    state.counters["pool"] = window.weekModel().repeatMarkers();
    state.counters["width"] = window.Pic()->width();
}
BENCHMARK(RepaintFullScreenWeek)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The week painter alone onto a 1920 x 1080 image of device pixels, at device pixel ratio 1
// and 2: what a repaint costs without the window around it, and what a printed page costs.
void PaintWorstWeek(benchmark::State &state)
{
    const int ratio = int(state.range(0));
    Bench bench;
    bench.fill();
    ui::WeekViewModel model;
    model.build(bench.program.clockTable, ThisMonday, bench.program.project.WorkdayFlags(),
                clock::YearWindow::around(ThisMonday), {true, true, true, true, true});
    render::Pictures pictures;
    const render::WeekPainter painter(pictures);
    QImage image(QSize(1920, 1080), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    const QRectF area(QPointF(0, 0), QSizeF(1920, 1080) / ratio);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter into(&image);
        painter.paint(into, area,
                      render::WeekScene{model, bench.program.clockTable,
                                        bench.program.project.WorkdayFlags(), std::nullopt},
                      QFont());
    }
    state.counters["markers"] = double(model.markers().size());
    state.counters["bands"] = double(model.bands().size());
}
BENCHMARK(PaintWorstWeek)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void CheckCoordCrowdedWeek(benchmark::State &state)
{
    Bench bench;
    bench.fill();
    ui::FrmKlokken window(bench.program, bench.dialogs);
    // Clicks are pixels of the week: drawn 1:1 they are the canvas's own points.
    window.Pic()->resize(window.Pic()->sizeHint());
    window.ScrWeeks_Change();
    // A click on every quarter-hour column of Wednesday.
    int x = 20;
    int found = 0;
    for (auto _ : state) {
        found += window.weekInput().CheckCoord(x, 40 + 70 * 2);
        x = x >= 500 ? 20 : x + 5;
    }
    benchmark::DoNotOptimize(found);
    state.counters["hits/click"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}
BENCHMARK(CheckCoordCrowdedWeek)->Unit(benchmark::kMicrosecond);

// The worst click: between two rows nothing is hit, so every line's whole walk is looked at.
void CheckCoordMiss(benchmark::State &state)
{
    Bench bench;
    bench.fill();
    ui::FrmKlokken window(bench.program, bench.dialogs);
    window.Pic()->resize(window.Pic()->sizeHint());
    window.ScrWeeks_Change();
    int found = 0;
    for (auto _ : state)
        found += window.weekInput().CheckCoord(260, 75);
    if (found != 0)
        state.SkipWithError("the click hit a line");
}
BENCHMARK(CheckCoordMiss)->Unit(benchmark::kMicrosecond);

// The window created, filled from a full table, and painted into a pixmap.
void WindowToPainted(benchmark::State &state)
{
    Bench bench;
    bench.fill();
    for (auto _ : state) {
        ui::FrmKlokken window(bench.program, bench.dialogs);
        window.ScrWeeks_Change();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(WindowToPainted)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
