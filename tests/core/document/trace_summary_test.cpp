#include "document/trace_summary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
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

// Small values, or the whole 32-bit range with both ends present.
std::vector<int32_t> RandomSamples(std::mt19937& rng, uint32_t count, bool extremes) {
    std::uniform_int_distribution<int32_t> pick(extremes ? INT32_MIN : -2000,
                                                extremes ? INT32_MAX : 2000);
    std::vector<int32_t> v(count);
    for (auto& s : v) {
        s = pick(rng);
    }
    if (extremes && count > 2) {
        v[count / 3] = INT32_MIN;
        v[2 * count / 3] = INT32_MAX;
    }
    return v;
}

TEST(TraceSummaryTest, QueriesMatchBruteForceAndTheTablesStaySmall) {
    std::mt19937 rng(11);
    const uint32_t sizes[] = {0, 1, 2, 31, 32, 33, 63, 64, 65, 96, 1000, 4096, 4097, 70001};
    for (const uint32_t n : sizes) {
        for (const bool extremes : {false, true}) {
            const std::vector<int32_t> v = RandomSamples(rng, n, extremes);
            TraceSummary s;
            s.Build(v.data(), n);
            ASSERT_EQ(s.Count(), n);
            std::vector<std::pair<uint32_t, uint32_t>> ranges = {{0, n}, {0, 0}, {n, n}};
            // Single samples and both ends, then ranges around the block edges.
            for (uint32_t k = 0; k < n && k < 200; ++k) {
                ranges.insert(ranges.end(), {{k, k + 1}, {n - 1 - k, n}, {0, k}});
            }
            for (uint32_t b = 0; b * TraceSummary::BlockSize <= n; b += 1 + b / 4) {
                const uint32_t at = b * TraceSummary::BlockSize;
                ranges.insert(ranges.end(), {{at, n},
                                             {0, at},
                                             {at == 0 ? 0 : at - 1, std::min(n, at + 1)},
                                             {at, std::min(n, at + 3 * TraceSummary::BlockSize)}});
            }
            std::uniform_int_distribution<uint32_t> pick(0, n);
            for (int i = 0; i < 3000; ++i) {
                const uint32_t a = pick(rng);
                const uint32_t b = pick(rng);
                ranges.push_back(std::minmax(a, b));
            }
            for (const auto& [a, b] : ranges) {
                const SampleRange expected = BruteRange(v, a, b);
                ASSERT_EQ(s.Query(v.data(), a, b), expected) << n << " [" << a << ", " << b << ")";
                ASSERT_EQ(ScanSampleRange(v.data(), a, b), expected);
            }
        }
    }

    // Past half a million blocks the blocks grow: the tables stay within a few megabytes for
    // any length, and still answer exactly.
    TraceSummary capped;
    capped.Layout(UINT32_MAX);
    EXPECT_EQ(capped.Block(), 8192u);
    EXPECT_LE(capped.MemoryBytes(), 5u << 20);
    // Rising samples: a range's extremes are its first and last, so every edge shows.
    std::vector<int32_t> longer((1u << 24) + 1000);
    for (std::size_t i = 0; i < longer.size(); ++i) {
        longer[i] = static_cast<int32_t>(i);
    }
    TraceSummary coarse;
    coarse.Build(longer.data(), static_cast<uint32_t>(longer.size()));
    EXPECT_EQ(coarse.Block(), 64u);
    std::uniform_int_distribution<uint32_t> anywhere(0, static_cast<uint32_t>(longer.size()));
    for (int i = 0; i < 20; ++i) {
        const auto [a, b] = std::minmax({anywhere(rng), anywhere(rng)});
        ASSERT_EQ(coarse.Query(longer.data(), a, b), BruteRange(longer, a, b)) << a << " " << b;
    }

    // The tables stay under fifteen percent of the samples.
    for (const uint32_t n : {32u, 1000u, 1u << 20, (1u << 20) + 17}) {
        std::vector<int32_t> v(n, 1);
        TraceSummary s;
        s.Build(v.data(), n);
        EXPECT_LE(s.MemoryBytes(), n * sizeof(int32_t) * 15 / 100 + 64) << n;
    }
}

TEST(TraceSummaryTest, GrowingPrefixAndRebuiltSummariesAnswerExactly) {
    std::mt19937 rng(23);
    const std::vector<int32_t> v = RandomSamples(rng, 90'000, true);
    TraceSummary s;
    s.Build(v.data(), 0, 80'000);
    const uint64_t memory = s.MemoryBytes();
    // Steps inside a block, across one, across many groups, then past the capacity laid out.
    uint32_t count = 0;
    for (const uint32_t step : {5u, 27u, 1u, 300u, 2048u, 31u, 40'000u, 37'588u, 9'999u}) {
        count += step;
        s.Extend(v.data(), count);
        ASSERT_EQ(s.Count(), count);
        if (count <= 80'000) {
            EXPECT_EQ(s.MemoryBytes(), memory) << "the tables were laid out again at " << count;
        }
        std::uniform_int_distribution<uint32_t> pick(0, count);
        for (int i = 0; i < 400; ++i) {
            const auto [a, b] = std::minmax({pick(rng), pick(rng)});
            ASSERT_EQ(s.Query(v.data(), a, b), BruteRange(v, a, b)) << count << ": " << a;
        }
        ASSERT_EQ(s.Query(v.data(), 0, count), BruteRange(v, 0, count));
    }
    // Fewer samples than before (other data): built afresh.
    s.Extend(v.data(), 100);
    EXPECT_EQ(s.Query(v.data(), 0, 100), BruteRange(v, 0, 100));

    // Built over a prefix only: the rest is read from the array (a summary never built answers
    // the reduction tests' unsummarised traces).
    TraceSummary prefix;
    prefix.Build(v.data(), 1000);
    EXPECT_EQ(prefix.Query(v.data(), 3, 4999), BruteRange(v, 3, 4999));
    // A build over other data forgets the old tables.
    std::vector<int32_t> w(300, 7);
    w[150] = -9;
    prefix.Build(w.data(), 300);
    EXPECT_EQ(prefix.Query(w.data(), 0, 300), (SampleRange{-9, 7}));
    EXPECT_EQ(prefix.Query(w.data(), 160, 300), (SampleRange{7, 7}));
}

}  // namespace
}  // namespace kresograf
