#include "analysis/spectrum.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <numbers>
#include <numeric>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

#include "analysis/spectrum_input.h"
#include "analysis/spectrum_texts.h"
#include "analysis/spectrum_worker.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {
namespace {

constexpr double Pi = std::numbers::pi;

// A signal in volts sampled at rate for seconds, stored as the card stores it (1/4096 V).
std::vector<int32_t> Stored(const std::function<double(double)>& volts, double rate,
                            double seconds) {
    std::vector<int32_t> samples(static_cast<std::size_t>(std::lround(rate * seconds)));
    for (std::size_t k = 0; k < samples.size(); ++k) {
        samples[k] = static_cast<int32_t>(std::lround(volts(k / rate) * 4096));
    }
    return samples;
}

Spectrum Compute(const std::vector<int32_t>& samples, double rate, SpectrumWindow window,
                 std::size_t peaks, SpectrumStatus expected = SpectrumStatus::Ok) {
    SpectrumEngine engine;
    Spectrum out;
    EXPECT_EQ(engine.Compute({samples.data(), samples.size(), 1.0 / 4096, 1.0 / rate}, window,
                             peaks, out),
              expected);
    return out;
}

TEST(SpectrumTest, SinesReadTheirFrequencyAndRmsBetweenBinsThroughEveryWindow) {
    // The simulated input 1: 50 Hz, 4 V, sampled 2 s, on a 1 V offset that is no peak; then
    // tones 0.4 and 0.25 bins off the bins.
    struct Tone {
        double Hz;
        double Amplitude;
    };
    for (const SpectrumWindow window : SpectrumWindows) {
        for (const Tone tone : {Tone{50.0, 4.0}, Tone{50.3, 4.0}, Tone{1234.625, 0.5}}) {
            const auto samples = Stored(
                [&](double t) { return 1.0 + tone.Amplitude * std::sin(2 * Pi * tone.Hz * t); },
                5000, 2.0);
            const Spectrum s = Compute(samples, 5000, window, 3);
            SCOPED_TRACE(SpectrumWindowName(window) + " " + std::to_string(tone.Hz));
            EXPECT_DOUBLE_EQ(s.BinHz, 0.5);
            ASSERT_EQ(s.Rms.size(), 5001u);
            // Off the bins the window's mean holds a little of the tone.
            EXPECT_NEAR(s.Rms[0], 1.0, 0.02);
            ASSERT_FALSE(s.Peaks.empty());
            EXPECT_NEAR(s.Peaks[0].FrequencyHz, tone.Hz, 0.005);
            EXPECT_NEAR(s.Peaks[0].Rms, tone.Amplitude / std::numbers::sqrt2,
                        tone.Amplitude * 0.002);
            for (const SpectrumPeak& p : s.Peaks) {
                EXPECT_GT(p.FrequencyHz, 2.0);
                EXPECT_LE(p.Rms, s.Peaks[0].Rms);
            }
        }
    }
}

TEST(SpectrumTest, StrongestPeakIsFoundAfterInterpolation) {
    // Half a bin off, a 1 V tone reads only 0.85 V on its bins through Hann: below eleven
    // 0.9 V tones on their bins, which it still beats.
    const auto samples = Stored(
        [](double t) {
            double v = std::sin(2 * Pi * 150.25 * t);
            for (int i = 0; i <= 10; ++i) {
                v += 0.9 * std::sin(2 * Pi * (50 + 5 * i) * t);
            }
            return v;
        },
        5000, 2.0);
    const Spectrum s = Compute(samples, 5000, SpectrumWindow::Hann, 1);
    ASSERT_EQ(s.Peaks.size(), 1u);
    EXPECT_NEAR(s.Peaks[0].FrequencyHz, 150.25, 0.005);
    EXPECT_NEAR(s.Peaks[0].Rms, 1 / std::numbers::sqrt2, 0.002);
}

TEST(SpectrumTest, ManyTonesGiveTheStrongestInOrder) {
    // 30 tones of shuffled amplitudes, more than the peaks the engine keeps at a time, and the
    // strongest two bins below half the scan rate; five asked for.
    std::vector<std::pair<double, double>> tones;  // amplitude, Hz
    std::mt19937 rng(9);
    std::vector<int> order(31);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), rng);
    for (int i = 0; i < 31; ++i) {
        tones.emplace_back(i < 30 ? 0.1 + 0.02 * order[i] : 0.8, i < 30 ? 50.0 + 75 * i : 2499.0);
    }
    const auto samples = Stored(
        [&](double t) {
            double v = 0;
            for (const auto& [amplitude, hz] : tones) {
                v += amplitude * std::sin(2 * Pi * hz * t);
            }
            return v;
        },
        5000, 2.0);
    const Spectrum s = Compute(samples, 5000, SpectrumWindow::Hann, 5);
    std::sort(tones.rbegin(), tones.rend());
    ASSERT_EQ(s.Peaks.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(s.Peaks[i].FrequencyHz, tones[i].second, 0.005);
        EXPECT_NEAR(s.Peaks[i].Rms, tones[i].first / std::numbers::sqrt2, 0.002);
    }
}

TEST(SpectrumTest, AmplitudesMatchAPlainDiscreteFourierTransform) {
    // Random samples of one input among three interleaved ones, even and odd lengths.
    std::mt19937 rng(5);
    std::uniform_int_distribution<int32_t> pick(-20000, 20000);
    // One engine for all: its buffers grow and its weights change with the window.
    SpectrumEngine engine;
    for (const std::size_t n : {16u, 37u, 64u}) {
        std::vector<int32_t> interleaved(3 * n);
        for (auto& v : interleaved) {
            v = pick(rng);
        }
        for (const SpectrumWindow window : {SpectrumWindow::Rectangular, SpectrumWindow::Hann}) {
            std::vector<double> w(n, 1.0);
            double sum = 0;
            for (std::size_t j = 0; j < n; ++j) {
                if (window == SpectrumWindow::Hann) {
                    w[j] = 0.5 - 0.5 * std::cos(2 * Pi * j / n);
                }
                sum += w[j];
            }
            Spectrum s;
            ASSERT_EQ(
                engine.Compute(
                    {SampleColumn(reinterpret_cast<const uint8_t*>(interleaved.data() + 1), 12), n,
                     0.25, 0.001},
                    window, 0, s),
                SpectrumStatus::Ok);
            ASSERT_EQ(s.Rms.size(), n / 2 + 1);
            EXPECT_DOUBLE_EQ(s.BinHz, 1000.0 / n);
            for (std::size_t k = 0; k <= n / 2; ++k) {
                std::complex<double> x;
                for (std::size_t j = 0; j < n; ++j) {
                    x += interleaved[3 * j + 1] * w[j] * std::polar(1.0, -2 * Pi * j * k / n);
                }
                const bool mirrored = k != 0 && 2 * k != n;
                const double expected = std::abs(x) * 0.25 / sum * (mirrored ? std::sqrt(2.0) : 1);
                EXPECT_NEAR(s.Rms[k], expected, 1e-9 * (1 + expected)) << n << " " << k;
            }
        }
    }
}

TEST(SpectrumTest, RefusesRunsItCannotTransform) {
    const std::vector<int32_t> samples(16, 100);
    SpectrumEngine engine;
    Spectrum s;
    EXPECT_EQ(engine.Compute({samples.data(), 15, 1.0, 0.001}, SpectrumWindow::Hann, 5, s),
              SpectrumStatus::TooFewSamples);
    EXPECT_EQ(engine.Compute({samples.data(), 16, 1.0, 0.0}, SpectrumWindow::Hann, 5, s),
              SpectrumStatus::NoTimeBase);
    EXPECT_EQ(engine.Compute({samples.data(), MaxSpectrumSamples + 1, 1.0, 0.001},
                             SpectrumWindow::Hann, 5, s),
              SpectrumStatus::TooManySamples);
    EXPECT_TRUE(s.Rms.empty());
    // A constant has its mean at 0 Hz and no peak.
    ASSERT_EQ(engine.Compute({samples.data(), 16, 1.0 / 4096, 0.001}, SpectrumWindow::Hann, 5, s),
              SpectrumStatus::Ok);
    EXPECT_DOUBLE_EQ(s.Rms[0], 100.0 / 4096);
    EXPECT_TRUE(s.Peaks.empty());
}

TEST(SpectrumTest, RunOfADocumentAndTexts) {
    CZefraKrgDoc doc;
    doc.ResizeSet(1, 100);
    for (uint32_t k = 0; k < 100; ++k) {
        doc.ScanTime[1][k] = static_cast<int32_t>(2 * k);
        doc.Samples[1][3][k] = static_cast<int32_t>(k);
    }
    // Two inputs at divisor 84: scans 0.021 ms apart.
    const SampleRun run = ChannelRun(doc, 1, 3, 10, 59, 0.5, 84 / 8000.0);
    EXPECT_EQ(run.Data.Base, reinterpret_cast<const uint8_t*>(doc.Samples[1][3].Data() + 10));
    EXPECT_EQ(std::tuple(run.Count, run.VoltsPerUnit), std::tuple(50u, 0.5));
    EXPECT_NEAR(run.ScanSeconds, 0.021e-3, 1e-15);

    EXPECT_EQ(SpectrumPeakLine(0, {49.996, 2.82843}), "kanał 1: 50.00 Hz, 2.828 V RMS");
    EXPECT_EQ(SpectrumPeakCells({60.004, 0.6}),
              (std::array<std::string, 3>{"60.00", "0.600", "-4.4"}));
    for (const SpectrumWindow window : SpectrumWindows) {
        EXPECT_EQ(SpectrumWindowFromKey(SpectrumWindowKey(window)), window);
    }
    EXPECT_FALSE(SpectrumWindowFromKey("hanning").has_value());
}

TEST(SpectrumWorkerTest, HelperComputesOnlyTheNewestRequestFromItsOwnCopy) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<SpectrumResult> delivered;
    bool release = false;
    SpectrumWorker worker(
        [&](SpectrumResult&& result) {
            std::unique_lock lock(mutex);
            delivered.push_back(std::move(result));
            changed.notify_all();
            changed.wait(lock, [&] { return release; });
        },
        1000);
    const double rate = 10000;
    auto sine = [&](double hz, double seconds) {
        return Stored([hz](double t) { return std::sin(2 * Pi * hz * t); }, rate, seconds);
    };
    std::vector<int32_t> samples = sine(100, 2.0);
    const SampleRun run{samples.data(), samples.size(), 1.0 / 4096, 1 / rate};
    EXPECT_FALSE(worker.Request(run, SpectrumWindow::Hann, 1).has_value());
    {
        // The helper is held in its first delivery; of the three requests made meanwhile only
        // the last is computed, and from the samples as they were when it was made.
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return delivered.size() == 1; });
        for (const double hz : {200.0, 300.0, 400.0}) {
            samples = sine(hz, 2.0);
            EXPECT_FALSE(worker
                             .Request({samples.data(), samples.size(), 1.0 / 4096, 1 / rate},
                                      SpectrumWindow::Hann, 1)
                             .has_value());
        }
        samples.assign(samples.size(), 0);
        release = true;
        changed.notify_all();
        changed.wait(lock, [&] { return delivered.size() == 2; });
    }
    while (worker.Busy()) {
        std::this_thread::yield();
    }
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(std::tuple(delivered[0].Id, delivered[1].Id, worker.IsLatest(1), worker.IsLatest(4)),
              std::tuple(1u, 4u, false, true));
    ASSERT_EQ(delivered[1].Data.Peaks.size(), 1u);
    EXPECT_NEAR(delivered[1].Data.Peaks[0].FrequencyHz, 400.0, 0.01);

    // A short run is answered at once, and makes the helper's result stale.
    const std::vector<int32_t> shortRun = sine(1000, 0.1);
    const auto here = worker.Request({shortRun.data(), shortRun.size(), 1.0 / 4096, 1 / rate},
                                     SpectrumWindow::Hann, 1);
    ASSERT_TRUE(here.has_value());
    EXPECT_EQ(here->Id, 5u);
    EXPECT_NEAR(here->Data.Peaks.at(0).FrequencyHz, 1000.0, 0.01);
}

TEST(SpectrumWorkerTest, WithoutAThreadTheSpectrumIsComputedHere) {
    // Threads asking for a stack larger than the address space cannot start.
    pthread_attr_t usual;
    pthread_attr_t huge;
    pthread_getattr_default_np(&usual);
    pthread_attr_init(&huge);
    pthread_attr_setstacksize(&huge, std::size_t{1} << 47);
    pthread_setattr_default_np(&huge);
    const double rate = 10000;
    const std::vector<int32_t> samples =
        Stored([](double t) { return std::sin(2 * Pi * 100 * t); }, rate, 2.0);
    std::optional<SpectrumResult> result;
    {
        SpectrumWorker worker([](SpectrumResult&&) { ADD_FAILURE(); }, 1000);
        result = worker.Request({samples.data(), samples.size(), 1.0 / 4096, 1 / rate},
                                SpectrumWindow::Hann, 1);
    }
    pthread_setattr_default_np(&usual);
    ASSERT_TRUE(result.has_value());
    EXPECT_NEAR(result->Data.Peaks.at(0).FrequencyHz, 100, 0.01);
}

}  // namespace
}  // namespace kresograf
