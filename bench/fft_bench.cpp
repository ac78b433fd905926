// The spectrum of one input against the bare transform under it: window, transform, amplitudes
// and peaks of 1 048 576 samples, and FFTW's real transform of the same size alone, planned the
// same way (estimated) and in place like it (BM_FftwOnly), or into a second array
// (BM_FftwOutOfPlace). The spectrum's own work should cost at most half the transform.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "analysis/spectrum.h"

namespace {

// A 50 Hz sine of 4 V with its harmonics and noise, at 95 000 scans per second, in stored units.
std::vector<int32_t> Samples(std::size_t n) {
    std::vector<int32_t> v(n);
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0.0, 0.05);
    for (std::size_t k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / 95000.0;
        const double volts = 4 * std::sin(2 * std::numbers::pi * 50 * t) +
                             0.3 * std::sin(2 * std::numbers::pi * 150 * t) + noise(rng);
        v[k] = static_cast<int32_t>(std::lround(volts * 4096));
    }
    return v;
}

void BM_Spectrum(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<int32_t> samples = Samples(n);
    kresograf::SpectrumEngine engine;
    kresograf::Spectrum spectrum;
    const kresograf::SampleRun run{samples.data(), n, 1.0 / 4096, 1.0 / 95000};
    for (auto _ : state) {
        engine.Compute(run, kresograf::SpectrumWindow::Hann, 5, spectrum);
        benchmark::DoNotOptimize(spectrum.Peaks.data());
    }
    if (spectrum.Peaks.empty() || std::abs(spectrum.Peaks[0].FrequencyHz - 50) > 0.01) {
        state.SkipWithError("the spectrum lost the 50 Hz sine");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(n));
}
BENCHMARK(BM_Spectrum)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// FFTW's transform of n points alone, in place as the spectrum runs it or into a second array.
void FftwTransform(benchmark::State& state, bool inPlace) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::vector<int32_t> samples = Samples(n);
    double* in = fftw_alloc_real(2 * (n / 2 + 1));
    fftw_complex* out =
        inPlace ? reinterpret_cast<fftw_complex*>(in) : fftw_alloc_complex(n / 2 + 1);
    const fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
    for (std::size_t k = 0; k < n; ++k) {
        in[k] = samples[k];
    }
    for (auto _ : state) {
        // In place the input is gone after each transform; it is laid in again untimed.
        if (inPlace) {
            state.PauseTiming();
            for (std::size_t k = 0; k < n; ++k) {
                in[k] = samples[k];
            }
            state.ResumeTiming();
        }
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftw_destroy_plan(plan);
    if (!inPlace) {
        fftw_free(out);
    }
    fftw_free(in);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(n));
}

void BM_FftwOnly(benchmark::State& state) {
    FftwTransform(state, true);
}
BENCHMARK(BM_FftwOnly)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_FftwOutOfPlace(benchmark::State& state) {
    FftwTransform(state, false);
}
BENCHMARK(BM_FftwOutOfPlace)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
