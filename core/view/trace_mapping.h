#pragma once

#include <cstdint>

#include "view/picture.h"

namespace kresograf {

// a x b / d rounded to the nearest integer, halves away from zero, with a wide intermediate;
// -1 when d is 0. A result beyond 32 bits saturates, so the mapping stays monotonic.
int32_t MulDiv(int64_t a, int64_t b, int64_t d);

// The mapping of one channel's data to pixels, fixed at a render.
struct TraceMapping {
    int32_t XSpan = 0;
    int32_t YSpan = 0;
    int32_t PixelWidth = 0;
    int32_t PixelHeight = 0;
    int32_t OriginX = 0;
    int32_t OriginY = 0;
    int32_t YBase = 0;
    int32_t Shift = 0;
    int32_t XStart = 0;

    friend bool operator==(const TraceMapping&, const TraceMapping&) = default;
};

// Halves the spans until they fit in 15 bits, as the drawing calls need.
TraceMapping ComputeTraceMapping(int32_t xStart, int32_t xEnd, int32_t yMin, int32_t yMax,
                                 const PictureRect& plot);

// Pixel of a scan time and of a stored value, before clamping.
int32_t MapX(const TraceMapping& m, int32_t scanTime);
int32_t MapY(const TraceMapping& m, int32_t value);
// Pixel x back to a scan time.
int32_t UnmapX(const TraceMapping& m, int32_t pixelX);

// Drawing coordinates are kept within 16 bits.
constexpr int32_t ClampCoordinate(int32_t v) {
    return v < -32768 ? -32768 : v > 32767 ? 32767 : v;
}

}  // namespace kresograf
