#include "analysis/spectrum_worker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <mutex>
#include <numbers>
#include <vector>

namespace kresograf {
namespace {

std::vector<int32_t> Sine(double hz, std::size_t n, double rate) {
    std::vector<int32_t> v(n);
    for (std::size_t k = 0; k < n; ++k) {
        v[k] = static_cast<int32_t>(
            std::lround(4096 * std::sin(2 * std::numbers::pi * hz * k / rate)));
    }
    return v;
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
    std::vector<int32_t> samples = Sine(100, 20000, rate);
    const SampleRun run{samples.data(), samples.size(), 1.0 / 4096, 1 / rate};
    EXPECT_FALSE(worker.Request(run, SpectrumWindow::Hann, 1).has_value());
    {
        // The helper is held in its first delivery; of the three requests made meanwhile only
        // the last is computed, and from the samples as they were when it was made.
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return delivered.size() == 1; });
        for (const double hz : {200.0, 300.0, 400.0}) {
            samples = Sine(hz, samples.size(), rate);
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
    EXPECT_EQ(delivered[0].Id, 1u);
    EXPECT_EQ(delivered[1].Id, 4u);
    EXPECT_FALSE(worker.IsLatest(1));
    EXPECT_TRUE(worker.IsLatest(4));
    ASSERT_EQ(delivered[1].Data.Peaks.size(), 1u);
    EXPECT_NEAR(delivered[1].Data.Peaks[0].FrequencyHz, 400.0, 0.01);

    // A short run is answered at once, and makes the helper's result stale.
    const std::vector<int32_t> shortRun = Sine(1000, 1000, rate);
    const auto here = worker.Request({shortRun.data(), shortRun.size(), 1.0 / 4096, 1 / rate},
                                     SpectrumWindow::Hann, 1);
    ASSERT_TRUE(here.has_value());
    EXPECT_EQ(here->Id, 5u);
    EXPECT_NEAR(here->Data.Peaks.at(0).FrequencyHz, 1000.0, 0.01);
}

}  // namespace
}  // namespace kresograf
