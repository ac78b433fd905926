#include "analysis/spectrum_worker.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <condition_variable>
#include <cstdio>
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

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST(SpectrumWorkerTest, WithoutMemoryForTheHelperTheSpectrumIsComputedHere) {
    const double rate = 10000;
    const std::vector<int32_t> samples = Sine(100, 20000, rate);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The child ends here whatever happens, so it never runs the tests that follow.
        int code = 3;
        try {
            SpectrumWorker worker([](SpectrumResult&&) { std::_Exit(2); }, 1000);
            // A megabyte more data than the process uses: room for the copy, none for a stack
            // of the size asked (larger than any stack an earlier thread left for reuse).
            pthread_attr_t large;
            pthread_attr_init(&large);
            pthread_attr_setstacksize(&large, 64u << 20);
            pthread_setattr_default_np(&large);
            unsigned long long kib = 0;
            char line[128];
            std::FILE* status = std::fopen("/proc/self/status", "r");
            while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
                std::sscanf(line, "VmData: %llu kB", &kib);
            }
            std::fclose(status);
            const rlimit limit{(kib + 1024) * 1024, (kib + 1024) * 1024};
            ::setrlimit(RLIMIT_DATA, &limit);
            const auto result = worker.Request(
                {samples.data(), samples.size(), 1.0 / 4096, 1 / rate}, SpectrumWindow::Hann, 1);
            code = result && !result->Data.Peaks.empty() &&
                           std::abs(result->Data.Peaks[0].FrequencyHz - 100) < 0.01
                       ? 0
                       : 1;
        } catch (...) {
        }
        std::_Exit(code);
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}
#endif

}  // namespace
}  // namespace kresograf
