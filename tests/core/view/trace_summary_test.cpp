#include "view/trace_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace kresograf {
namespace {

SampleRange BruteRange(const std::vector<int32_t>& v, uint32_t begin, uint32_t end) {
    SampleRange r;
    for (uint32_t k = begin; k < end; ++k) {
        r.Min = std::min(r.Min, v[k]);
        r.Max = std::max(r.Max, v[k]);
    }
    return r;
}

std::vector<int32_t> RandomSamples(std::mt19937& rng, uint32_t count, bool extremes) {
    std::vector<int32_t> v(count);
    std::uniform_int_distribution<int32_t> small(-2000, 2000);
    std::uniform_int_distribution<int32_t> full(std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max());
    for (auto& s : v) {
        s = extremes ? full(rng) : small(rng);
    }
    if (extremes && count > 2) {
        v[count / 3] = std::numeric_limits<int32_t>::min();
        v[2 * count / 3] = std::numeric_limits<int32_t>::max();
    }
    return v;
}

TEST(TraceSummaryTest, QueriesMatchBruteForceOnAnyRange) {
    std::mt19937 rng(11);
    const uint32_t sizes[] = {0, 1, 2, 31, 32, 33, 63, 64, 65, 96, 1000, 4096, 4097, 70001};
    for (const uint32_t n : sizes) {
        for (const bool extremes : {false, true}) {
            const std::vector<int32_t> v = RandomSamples(rng, n, extremes);
            TraceSummary s;
            s.Build(v.data(), n);
            ASSERT_EQ(s.Count(), n);
            std::vector<std::pair<uint32_t, uint32_t>> ranges = {{0, n}, {0, 0}, {n, n}};
            for (uint32_t k = 0; k < n && k < 200; ++k) {
                ranges.push_back({k, k + 1});
                ranges.push_back({n - 1 - k, n});
                ranges.push_back({0, k});
            }
            for (uint32_t b = 0; b * TraceSummary::BlockSize <= n; b += 1 + b / 4) {
                const uint32_t at = b * TraceSummary::BlockSize;
                ranges.push_back({at, n});
                ranges.push_back({0, at});
                ranges.push_back({at == 0 ? 0 : at - 1, std::min(n, at + 1)});
                ranges.push_back({at, std::min(n, at + 3 * TraceSummary::BlockSize)});
            }
            std::uniform_int_distribution<uint32_t> pick(0, n);
            for (int i = 0; i < 3000; ++i) {
                uint32_t a = pick(rng);
                uint32_t b = pick(rng);
                ranges.push_back({std::min(a, b), std::max(a, b)});
            }
            for (const auto& [a, b] : ranges) {
                const SampleRange expected = BruteRange(v, a, b);
                ASSERT_EQ(s.Query(v.data(), a, b), expected) << n << " [" << a << ", " << b << ")";
                ASSERT_EQ(ScanSampleRange(v.data(), a, b), expected);
            }
        }
    }
}

TEST(TraceSummaryTest, EmptyStaleOrShortSummariesStillAnswerExactly) {
    std::mt19937 rng(5);
    std::vector<int32_t> v = RandomSamples(rng, 5000, false);
    TraceSummary empty;
    EXPECT_TRUE(empty.Query(v.data(), 10, 10).Empty());
    EXPECT_EQ(empty.Query(v.data(), 0, 5000), BruteRange(v, 0, 5000));

    // Built over a prefix only: the rest is read from the array.
    TraceSummary prefix;
    prefix.Build(v.data(), 1000);
    EXPECT_EQ(prefix.Query(v.data(), 3, 4999), BruteRange(v, 3, 4999));
    EXPECT_EQ(prefix.Query(v.data(), 1500, 2500), BruteRange(v, 1500, 2500));

    // A rebuild over other data forgets the old tables.
    TraceSummary s;
    s.Build(v.data(), 5000);
    std::vector<int32_t> w(300, 7);
    w[150] = -9;
    s.Build(w.data(), 300);
    EXPECT_EQ(s.Count(), 300u);
    EXPECT_EQ(s.Query(w.data(), 0, 300), (SampleRange{-9, 7}));
    EXPECT_EQ(s.Query(w.data(), 160, 300), (SampleRange{7, 7}));
    s.Clear();
    EXPECT_EQ(s.Count(), 0u);
    EXPECT_EQ(s.MemoryBytes(), 0u);
}

TEST(TraceSummaryTest, MemoryStaysUnderFifteenPercentOfTheSamples) {
    for (const uint32_t n : {32u, 1000u, 1u << 20, (1u << 20) + 17}) {
        std::vector<int32_t> v(n, 1);
        TraceSummary s;
        s.Build(v.data(), n);
        EXPECT_LE(s.MemoryBytes(), n * sizeof(int32_t) * 15 / 100 + 64) << n;
        EXPECT_GT(s.MemoryBytes(), 0u);
    }
}

}  // namespace
}  // namespace kresograf
