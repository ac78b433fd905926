// The complete picture of a plot view over 8 inputs x 10 000 000 scans in a 1920 x 1080 plot
// (a recording as the program holds one: its file read in place): zoomed fully out, zoomed to a
// tenth, and panned by one pixel, with the summary-based trace reduction and with the plain walk
// over every scan.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"
#include "long_recording.h"
#include "view/plot_view.h"

namespace {

using namespace kresograf;

constexpr uint32_t Scans = 10'000'000;
constexpr int32_t PlotWidth = 1920;
constexpr int32_t PlotHeight = 1080;

TextSize Measure(std::string_view text) {
    return {static_cast<int32_t>(text.size()) * 6, 11};
}

struct Scene {
    Scene() { FillLongRecording(doc, 0, Scans); }

    CZefraKrgDoc doc;
    SettingsRecord settings;
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

std::unique_ptr<PlotView> MakeView(TraceReduction reduction) {
    auto view = std::make_unique<PlotView>(TheScene().doc, &TheScene().settings);
    view->SetAxisMetrics(Measure);
    view->OnUpdate(HintInitial);
    view->Reduction = reduction;
    return view;
}

int32_t ClientWidth(const PlotView& v) {
    return PlotWidth + 2 * v.AxisColumnWidth;
}
int32_t ClientHeight(const PlotView& v) {
    return PlotHeight + 2 * v.AxisBandHeight;
}

void RunPicture(benchmark::State& state, TraceReduction reduction, int zoom, bool pan) {
    auto view = MakeView(reduction);
    if (zoom > 1) {
        const int64_t span = static_cast<int64_t>(view->XEnd) - view->XStart;
        view->XStart = static_cast<int32_t>(span / 2 - span / (2 * zoom));
        view->XEnd = static_cast<int32_t>(view->XStart + span / zoom);
    }
    const int32_t w = ClientWidth(*view);
    const int32_t h = ClientHeight(*view);
    // The first picture builds whatever the view keeps between renders.
    benchmark::DoNotOptimize(view->BuildPicture(w, h, Measure, true));
    int direction = 1;
    if (pan) {
        view->RightButtonDown({500, 500}, false);
    }
    std::size_t points = 0;
    for (auto _ : state) {
        if (pan) {
            view->MouseMove({view->LastMouse.X + direction, 500}, w, h);
            direction = -direction;
        }
        const auto picture = view->BuildPicture(w, h, Measure, true);
        points = 0;
        for (const auto& trace : picture.Traces) {
            points += trace.Points.size();
        }
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = static_cast<double>(points);
}

void BM_PictureFullSummary(benchmark::State& s) {
    RunPicture(s, TraceReduction::Summary, 1, false);
}
void BM_PictureFullPlain(benchmark::State& s) {
    RunPicture(s, TraceReduction::Plain, 1, false);
}
void BM_PictureTenthSummary(benchmark::State& s) {
    RunPicture(s, TraceReduction::Summary, 10, false);
}
void BM_PictureTenthPlain(benchmark::State& s) {
    RunPicture(s, TraceReduction::Plain, 10, false);
}
void BM_PicturePanSummary(benchmark::State& s) {
    RunPicture(s, TraceReduction::Summary, 10, true);
}
void BM_PicturePanPlain(benchmark::State& s) {
    RunPicture(s, TraceReduction::Plain, 10, true);
}

BENCHMARK(BM_PictureFullSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureFullPlain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PictureTenthSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureTenthPlain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PicturePanSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PicturePanPlain)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
