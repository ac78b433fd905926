#include "view/trace_mapping.h"

#include <limits>

namespace kresograf {
namespace {

int32_t Saturate(int64_t v) {
    return v > std::numeric_limits<int32_t>::max()   ? std::numeric_limits<int32_t>::max()
           : v < std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::min()
                                                     : static_cast<int32_t>(v);
}

}  // namespace

int32_t MulDiv(int64_t a, int64_t b, int64_t d) {
    if (d == 0) {
        return -1;
    }
    // Pixel arithmetic stays far inside 64 bits; only extreme inputs need the wide path.
    constexpr int64_t narrow = int64_t{1} << 31;
    constexpr int64_t narrowD = int64_t{1} << 62;
    if (a > -narrow && a < narrow && b > -narrow && b < narrow && d > -narrowD && d < narrowD) {
        int64_t num = a * b;
        const bool negative = (num < 0) != (d < 0);
        num = num < 0 ? -num : num;
        const int64_t den = d < 0 ? -d : d;
        int64_t q = (num + den / 2) / den;  // halves away from zero (on the magnitude)
        q = negative ? -q : q;
        return Saturate(q);
    }
    __extension__ using Wide = __int128;
    Wide num = static_cast<Wide>(a) * b;
    Wide den = d;
    const bool negative = (num < 0) != (den < 0);
    if (num < 0) {
        num = -num;
    }
    if (den < 0) {
        den = -den;
    }
    Wide q = (num + den / 2) / den;  // halves away from zero (on the magnitude)
    if (negative) {
        q = -q;
    }
    if (q > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (q < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(q);
}

TraceMapping ComputeTraceMapping(int32_t xStart, int32_t xEnd, int32_t yMin, int32_t yMax,
                                 const PictureRect& plot) {
    TraceMapping m;
    int64_t xSpan = static_cast<int64_t>(xEnd) - xStart;
    while (xSpan > 32767) {
        xSpan >>= 1;
        ++m.Shift;
    }
    int64_t ySpan = static_cast<int64_t>(yMax) - yMin;
    int64_t pixelHeight = -static_cast<int64_t>(plot.Height());
    while (ySpan > 32767) {
        ySpan >>= 1;
        pixelHeight >>= 1;
    }
    m.XSpan = static_cast<int32_t>(xSpan);
    m.YSpan = static_cast<int32_t>(ySpan);
    m.PixelWidth = plot.Width();
    m.PixelHeight = static_cast<int32_t>(pixelHeight);
    m.OriginX = plot.Left;
    m.OriginY = plot.Bottom;
    m.YBase = yMin;
    m.XStart = xStart;
    return m;
}

int32_t MapX(const TraceMapping& m, int32_t scanTime) {
    const int64_t a = (static_cast<int64_t>(scanTime) - m.XStart) >> m.Shift;
    return Saturate(static_cast<int64_t>(MulDiv(a, m.PixelWidth, m.XSpan)) + m.OriginX);
}

int32_t MapY(const TraceMapping& m, int32_t value) {
    const int64_t a = static_cast<int64_t>(value) - m.YBase;
    return Saturate(static_cast<int64_t>(MulDiv(a, m.PixelHeight, m.YSpan)) + m.OriginY);
}

int32_t UnmapX(const TraceMapping& m, int32_t pixelX) {
    const int64_t t = (static_cast<int64_t>(
                           MulDiv(static_cast<int64_t>(pixelX) - m.OriginX, m.XSpan, m.PixelWidth))
                       << m.Shift) +
                      m.XStart;
    return Saturate(t);
}

}  // namespace kresograf
