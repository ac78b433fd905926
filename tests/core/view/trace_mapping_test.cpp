#include "view/trace_mapping.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

namespace kresograf {
namespace {

constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();

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
