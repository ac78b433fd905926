// Trace reduction of a full picture: eight channels of ten million scans each in a plot 1920 x
// 1080, by the summary-based reduction and by the per-scan walk, and the cost of building the
// summaries.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "document/trace_summary.h"
#include "view/trace_mapping.h"
#include "view/trace_reduction.h"

namespace {

using kresograf::ComputeTraceMapping;
using kresograf::PicturePoint;
using kresograf::PictureRect;
using kresograf::TraceMapping;
using kresograf::TraceSummary;

constexpr int kChannels = 8;
constexpr uint32_t kScans = 10'000'000;
constexpr PictureRect kPlot{60, 24, 60 + 1920, 24 + 1080};

struct Data {
    std::vector<int32_t> Time;
    std::array<std::vector<int32_t>, kChannels> Samples;
    std::array<TraceSummary, kChannels> Summaries;
};

// Sines of different periods with noise, in the range of the card's values.
const Data& TheData() {
    static const Data data = [] {
        Data d;
        d.Time.resize(kScans);
        for (uint32_t k = 0; k < kScans; ++k) {
            d.Time[k] = static_cast<int32_t>(k);
        }
        uint32_t noise = 12345;
        for (int c = 0; c < kChannels; ++c) {
            auto& s = d.Samples[c];
            s.resize(kScans);
            const double period = 20000.0 * (c + 1);
            for (uint32_t k = 0; k < kScans; ++k) {
                noise = noise * 1664525u + 1013904223u;
                s[k] = static_cast<int32_t>(20000.0 * std::sin(k * 6.283185307 / period)) +
                       static_cast<int32_t>(noise >> 22) - 512;
            }
            d.Summaries[c].Build(s.data(), kScans);
        }
        return d;
    }();
    return data;
}

// The visible range: one scan beyond each edge of the window.
void VisibleRange(const std::vector<int32_t>& t, int32_t x1, int32_t x2, int32_t& first,
                  int32_t& last) {
    const auto lo = std::lower_bound(t.begin(), t.end(), x1);
    const auto hi = std::upper_bound(t.begin(), t.end(), x2);
    first = lo == t.end() ? -1 : std::max<int32_t>(0, static_cast<int32_t>(lo - t.begin()) - 1);
    last = hi == t.begin() ? -1
                           : std::min<int32_t>(static_cast<int32_t>(t.size()) - 1,
                                               static_cast<int32_t>(hi - t.begin()));
}

// 0: the whole set; 1: a tenth of it in the middle; 2 and 3: those panned by one pixel.
void Window(int64_t view, int32_t& x1, int32_t& x2) {
    const int32_t full = static_cast<int32_t>(kScans) - 1;
    const int32_t span = view % 2 == 0 ? full : full / 10;
    x1 = view % 2 == 0 ? 0 : full / 2;
    x2 = x1 + span;
    if (view >= 2) {
        const int32_t pixel = span / kPlot.Width();
        x1 += pixel;
        x2 += pixel;
    }
}

template <bool Fast>
void BM_ReducePicture(benchmark::State& state) {
    const Data& d = TheData();
    int32_t x1 = 0;
    int32_t x2 = 0;
    Window(state.range(0), x1, x2);
    std::vector<PicturePoint> points;
    points.reserve(262144);
    std::size_t pointCount = 0;
    for (auto _ : state) {
        pointCount = 0;
        for (int c = 0; c < kChannels; ++c) {
            const TraceMapping m = ComputeTraceMapping(x1, x2, -32768, 32767, kPlot);
            int32_t first = 0;
            int32_t last = 0;
            VisibleRange(d.Time, x1, x2, first, last);
            if (Fast) {
                kresograf::ReduceTrace(d.Time.data(), d.Samples[c].data(), d.Summaries[c], first,
                                       last, m, points);
            } else {
                kresograf::ReduceTracePlain(d.Time.data(), d.Samples[c].data(), first, last, m,
                                            points);
            }
            pointCount += points.size();
            benchmark::DoNotOptimize(points.data());
        }
    }
    state.counters["points"] = static_cast<double>(pointCount);
}

void BM_SummaryBuild(benchmark::State& state) {
    const Data& d = TheData();
    TraceSummary summary;
    for (auto _ : state) {
        summary.Build(d.Samples[0].data(), kScans);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kScans);
    // Shown with an SI prefix: 270p means 0.27 ns per sample.
    state.counters["sec_per_sample"] = benchmark::Counter(
        static_cast<double>(kScans),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["memory_ratio"] =
        static_cast<double>(summary.MemoryBytes()) / (static_cast<double>(kScans) * 4.0);
}

void Views(benchmark::internal::Benchmark* b) {
    b->ArgName("view")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_SummaryBuild)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ReducePicture, true)->Apply(Views);
BENCHMARK_TEMPLATE(BM_ReducePicture, false)->Apply(Views);

}  // namespace

BENCHMARK_MAIN();
