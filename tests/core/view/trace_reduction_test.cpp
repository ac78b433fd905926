#include "view/trace_reduction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

#include "document/trace_summary.h"
#include "document/zefra_krg_doc.h"
#include "view/trace_mapping.h"

namespace kresograf {
namespace {

constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();

struct Trace {
    std::vector<int32_t> Time;
    std::vector<int32_t> Values;
    TraceSummary Summary;

    void Summarise() { Summary.Build(Values.data(), static_cast<uint32_t>(Values.size())); }
};

// Both reductions over the same input, with the summary and without one; returns the points.
std::vector<PicturePoint> ExpectSame(const Trace& tr, int32_t first, int32_t last,
                                     const TraceMapping& m) {
    std::vector<PicturePoint> plain{{1, 2}};
    std::vector<PicturePoint> fast{{3, 4}};
    std::vector<PicturePoint> unsummarised;
    ReduceTracePlain(tr.Time.data(), tr.Values.data(), first, last, m, plain);
    ReduceTrace(tr.Time.data(), tr.Values.data(), tr.Summary, first, last, m, fast);
    ReduceTrace(tr.Time.data(), tr.Values.data(), TraceSummary{}, first, last, m, unsummarised);
    EXPECT_EQ(fast, plain) << "first " << first << " last " << last << " XSpan " << m.XSpan
                           << " Shift " << m.Shift << " YSpan " << m.YSpan;
    EXPECT_EQ(unsummarised, plain);
    return plain;
}

TEST(TraceReductionTest, PlainReductionKeepsTheExtremesOfEachColumnInOrder) {
    Trace tr;
    tr.Time = {0, 1, 2, 3, 4, 5};
    tr.Values = {5, 50, 20, 70, 10, 90};
    tr.Summarise();
    // x = round(t / 2) + 10, y = 100 - value.
    const TraceMapping m = ComputeTraceMapping(0, 8, 0, 100, PictureRect{10, 0, 14, 100});
    const std::vector<PicturePoint> expected = {{10, 95}, {10, 95}, {11, 50}, {11, 80},
                                                {12, 30}, {12, 90}, {13, 10}, {13, 10}};
    EXPECT_EQ(ExpectSame(tr, 0, 5, m), expected);
    EXPECT_EQ(ExpectSame(tr, 2, 2, m), (std::vector<PicturePoint>{{11, 80}, {11, 80}}));
    EXPECT_TRUE(ExpectSame(tr, 3, 2, m).empty());
    EXPECT_TRUE(ExpectSame(tr, -1, -1, m).empty());
}

TEST(TraceReductionTest, EdgeCasesMatchThePlainReduction) {
    const PictureRect plot{50, 20, 550, 420};
    Trace tr;
    tr.Time.resize(5000);
    tr.Values.resize(5000);
    for (int32_t k = 0; k < 5000; ++k) {
        tr.Time[k] = k - 2500;
        tr.Values[k] = (k * 7919) % 1000 - 500;
    }
    tr.Summarise();
    const int32_t n = 4999;

    // One column: the whole trace in one pixel, a line from the highest to the lowest value.
    EXPECT_EQ(ExpectSame(tr, 0, n, ComputeTraceMapping(-2500, 100000000, -500, 500, plot)),
              (std::vector<PicturePoint>{{50, 20}, {50, 420}}));
    // Values far above and below the range, and windows far after and before the data, clamp to
    // the 16-bit edges (the mapping's test checks the clamping): every scan shares one column.
    for (const int32_t far : {100000, -100010}) {
        ExpectSame(tr, 0, n, ComputeTraceMapping(-2500, 2500, far, far + 10, plot));
        const auto column = ComputeTraceMapping(far * 10, far * 10 + 100, -500, 500, plot);
        EXPECT_EQ(ExpectSame(tr, 0, n, column).size(), 2u);
    }
    // Spans beyond 15 bits, zoomed in, flat or turned-round windows and a collapsed plot
    // (mappings that fall with time or have no width still group by column).
    ExpectSame(tr, 2400, 2600, ComputeTraceMapping(-100, 100, -500, 500, plot));
    const PictureRect collapsed{50, 20, 40, 10};
    for (const auto& [x1, x2, y1, y2, rect] :
         std::vector<std::tuple<int, int, int, int, PictureRect>>{
             {-0x3FFFFFFC, 0x3FFFFFFC, -327680, 327680, plot},
             {-2500, 2500, 3, 3, plot},
             {0, 0, -500, 500, plot},
             {2500, -2500, -500, 500, plot},
             {-2500, 2500, -500, 500, collapsed},
             {-2500, 2500, 500, -500, plot}}) {
        ExpectSame(tr, 0, n, ComputeTraceMapping(x1, x2, y1, y2, rect));
    }

    // Times out of order break the search's promise: the polyline may differ from the plain
    // one, but every read stays inside first..last and every column keeps two points.
    Trace shuffled = tr;
    std::shuffle(shuffled.Time.begin(), shuffled.Time.end(), std::mt19937(8));
    std::vector<PicturePoint> points;
    ReduceTrace(shuffled.Time.data(), shuffled.Values.data(), shuffled.Summary, 100, 4000,
                ComputeTraceMapping(-2500, 2500, -500, 500, plot), points);
    EXPECT_EQ(points.size() % 2, 0u);
    EXPECT_LE(points.size(), 2u * 3901);

    // Scans without a channel all carry the same time.
    std::fill(tr.Time.begin(), tr.Time.end(), 17);
    points = ExpectSame(tr, 0, n, ComputeTraceMapping(0, 1000, -500, 500, plot));
    ASSERT_EQ(points.size(), 2u);

    // Values at the ends of 32 bits saturate instead of wrapping.
    for (int32_t k = 0; k <= n; ++k) {
        tr.Time[k] = k;
        tr.Values[k] = k % 3 == 0 ? kMax32 : k % 3 == 1 ? kMin32 : kMax32 - k;
    }
    tr.Summarise();
    ExpectSame(tr, 0, n, ComputeTraceMapping(0, 5000, -327680, 327680, plot));
    ExpectSame(tr, 0, n, ComputeTraceMapping(0, 5000, 0, 1, plot));
    ExpectSame(tr, 0, n, ComputeTraceMapping(0, 5000, kMin32, kMax32, plot));
}

TEST(TraceReductionTest, RandomWindowsMatchThePlainReduction) {
    std::mt19937 rng(2024);
    auto uniform = [&](int64_t lo, int64_t hi) {
        return static_cast<int32_t>(std::uniform_int_distribution<int64_t>(lo, hi)(rng));
    };
    for (int round = 0; round < 300; ++round) {
        Trace tr;
        const int32_t n = uniform(1, round % 10 == 0 ? 200000 : 20000);
        tr.Time.resize(n);
        tr.Values.resize(n);
        // Steps of mixed sizes with ties and gaps, starting before zero.
        int64_t t = uniform(-100000, 1000);
        const int kind = round % 4;
        for (int32_t k = 0; k < n; ++k) {
            tr.Time[k] = static_cast<int32_t>(t);
            const uint32_t r = rng() % 100;
            t += kind == 0 ? 1 : r < 10 ? 0 : r < 95 ? uniform(1, 3) : uniform(1, 5000);
            t = std::min<int64_t>(t, kMax32);
        }
        const int32_t amplitude = round % 7 == 0 ? kMax32 : uniform(1, 400000);
        for (int32_t k = 0; k < n; ++k) {
            tr.Values[k] = kind == 3 ? static_cast<int32_t>(k % 997) * 50 - 20000
                                     : uniform(-int64_t{amplitude} - 1, amplitude);
        }
        tr.Summarise();

        const int64_t dataSpan = int64_t{tr.Time.back()} - tr.Time.front() + 1;
        int32_t x1 = uniform(tr.Time.front() - dataSpan / 4, tr.Time.back());
        int32_t x2 = uniform(int64_t{x1} + 1, int64_t{x1} + 1 + dataSpan + dataSpan / 2);
        if (round % 13 == 0) {
            x1 = uniform(-0x3FFFFFFC, 0);
            x2 = uniform(0x100000, 0x3FFFFFFC);
        }
        const int32_t yMid = uniform(-300000, 300000);
        const int32_t ySpan = uniform(0, 200000);
        const int32_t width = uniform(3, 1931);
        const int32_t height = uniform(3, 1100);
        const int32_t left = uniform(0, 80);
        const int32_t top = uniform(0, 40);
        const TraceMapping m =
            ComputeTraceMapping(x1, x2, yMid - ySpan / 2, yMid + ySpan / 2,
                                PictureRect{left, top, left + width, top + height});
        int32_t first = 0;
        int32_t last = 0;
        FindScanRange(tr.Time.data(), static_cast<uint32_t>(n), x1, x2, first, last);
        ExpectSame(tr, first, last, m);
        const int32_t a = uniform(0, n - 1);
        const int32_t b = uniform(0, n - 1);
        ExpectSame(tr, std::min(a, b), std::max(a, b), m);
        if (HasFailure()) {
            FAIL() << "round " << round;
        }
    }
}

TEST(TraceReductionTest, SaturatedEndsOfTheMappingShareTheOutermostColumn) {
    // One pixel per time unit, the multiply-divide saturating over the last thousand scans at
    // either end of the time range: those scans share the outermost column.
    for (const bool top : {true, false}) {
        Trace tr;
        for (int32_t k = 0; k <= 5000; ++k) {
            tr.Time.push_back(top ? kMax32 - 5000 + k : kMin32 + k);
            tr.Values.push_back(k % 11);
        }
        tr.Summarise();
        TraceMapping m;
        m.XSpan = m.PixelWidth = 1;
        m.XStart = top ? -1000 : 1000;
        m.OriginX = top ? kMin32 + 100 : kMax32 - 100;
        m.YSpan = 10;
        m.PixelHeight = -100;
        const auto points = ExpectSame(tr, 0, 5000, m);
        ASSERT_EQ(points.size(), 2u * 4001);
        EXPECT_EQ(top ? points.back() : points.front(),
                  top ? (PicturePoint{99, 0}) : (PicturePoint{-101, -100}));
    }
}

// Rounding to nearest with halves away from zero, worked out from the remainder.
int32_t ReferenceMulDiv(int64_t a, int64_t b, int64_t d) {
    if (d == 0) {
        return -1;
    }
    __extension__ using Wide = __int128;
    const Wide num = static_cast<Wide>(a) * b;
    Wide q = num / d;
    const Wide rem = num % d;
    const Wide twiceRem = rem < 0 ? -2 * rem : 2 * rem;
    const Wide absD = d < 0 ? -static_cast<Wide>(d) : static_cast<Wide>(d);
    if (twiceRem >= absD) {
        q += ((num < 0) != (d < 0)) ? -1 : 1;
    }
    return q > kMax32 ? kMax32 : q < kMin32 ? kMin32 : static_cast<int32_t>(q);
}

TEST(TraceMappingTest, MulDivRoundsHalvesAwayFromZeroAndSaturates) {
    constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
    constexpr int64_t k21 = int64_t{1} << 21;
    constexpr int64_t k40 = int64_t{1} << 40;
    constexpr int64_t k62 = int64_t{1} << 62;
    // a, b, d, result: zero divisors and products beyond 64 bits; the random runs below meet
    // the halves, the signs and the saturation.
    // clang-format off
    const int64_t cases[] = {0, 5, 0, -1,   123, 456, 0, -1,   k40, k40, k62, k21 / 8,
                             -3 * k40, k21, k62, -2,   kMin64, kMin64, kMin64, kMin32};
    // clang-format on
    for (std::size_t i = 0; i < std::size(cases); i += 4) {
        EXPECT_EQ(MulDiv(cases[i], cases[i + 1], cases[i + 2]), cases[i + 3]) << i / 4;
    }
    std::mt19937_64 rng(7);
    for (int i = 0; i < 200000; ++i) {
        const int bits = 1 + static_cast<int>(rng() % 62);
        const int64_t mask = (int64_t{1} << bits) - 1;
        const int64_t a = static_cast<int64_t>(rng() & static_cast<uint64_t>(mask)) - mask / 2;
        const int64_t b = static_cast<int64_t>(rng() % 70001) - 35000;
        const int64_t d = static_cast<int64_t>(rng() % 66001) - 33000;
        ASSERT_EQ(MulDiv(a, b, d), ReferenceMulDiv(a, b, d)) << a << " " << b << " " << d;
        ASSERT_EQ(MulDiv(b, a, d), ReferenceMulDiv(b, a, d)) << b << " " << a << " " << d;
    }
}

TEST(TraceMappingTest, SpansFitFifteenBitsAndMappingShiftsRoundsAndSaturates) {
    // Shift 2, XSpan 16384, width 16384: one pixel per four time units.
    const PictureRect plot{10, 0, 16394, 100};
    const TraceMapping m = ComputeTraceMapping(0, 65536, 0, 100, plot);
    ASSERT_EQ(m.Shift, 2);
    // Before the window the shift floors: -1 and -4 are one pixel left, -5 two.
    EXPECT_EQ((std::vector{MapX(m, 3), MapX(m, 4), MapX(m, -1), MapX(m, -4), MapX(m, -5)}),
              (std::vector{10, 11, 9, 9, 8}));

    // y = bottom - value, halves away from zero: -0.5 -> -1, 0.5 -> 1, -1.5 -> -2.
    const TraceMapping y = ComputeTraceMapping(0, 10, 0, 200, PictureRect{0, 0, 10, 100});
    EXPECT_EQ((std::vector{MapY(y, 1), MapY(y, -1), MapY(y, 3)}), (std::vector{99, 101, 98}));

    // A flat value range maps everything one pixel below the bottom.
    const TraceMapping flat = ComputeTraceMapping(0, 10, 5, 5, PictureRect{0, 0, 10, 100});
    EXPECT_EQ(MapY(flat, kMax32), 99);

    TraceMapping far{};
    far.XSpan = 1;
    far.PixelWidth = 32767;
    far.OriginX = 100;
    far.XStart = kMin32;
    EXPECT_EQ(MapX(far, kMax32), kMax32);
    far.XStart = kMax32;
    far.OriginX = -100;
    EXPECT_EQ(std::pair(MapX(far, kMin32), ClampCoordinate(MapX(far, kMin32))),
              std::pair(kMin32, -32768));

    const TraceMapping u =
        ComputeTraceMapping(1000, 1000 + 65536, 0, 1, PictureRect{5, 0, 1005, 10});
    // -16.384 -> -16, times 4.
    EXPECT_EQ(std::pair(UnmapX(u, 505), UnmapX(u, 4)), std::pair(1000 + 32768, 1000 - 64));

    // Spans are halved until they fit fifteen bits.
    const PictureRect wide{40, 20, 540, 501};  // 500 x 481
    // Pixel height -481 -> -241 -> -121, arithmetic shifts.
    TraceMapping s = ComputeTraceMapping(1000, 101000, -35000, 35000, wide);
    EXPECT_EQ(std::tie(s.XSpan, s.Shift, s.YSpan, s.PixelHeight),
              std::tuple(25000, 2, 17500, -121));
    s = ComputeTraceMapping(-0x3FFFFFFC, 0x3FFFFFFC, 0, 32767, wide);
    EXPECT_EQ(std::tie(s.XSpan, s.Shift, s.PixelHeight), std::tuple(32767, 16, -481));
    EXPECT_EQ(ComputeTraceMapping(0, 32768, 0, 0, wide).Shift, 1);
}

}  // namespace
}  // namespace kresograf
