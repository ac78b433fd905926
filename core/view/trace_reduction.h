#pragma once

#include <cstdint>
#include <vector>

#include "view/picture.h"
#include "view/trace_mapping.h"

namespace kresograf {

// Reduces scans first..last (inclusive) of one channel to at most two points per pixel column:
// per column the smallest and the largest y, in sample order, coordinates clamped to 16 bits.
// This walks every scan; it is the definition the faster reduction must match point for point.
void ReduceTracePlain(const int32_t* scanTime, const int32_t* samples, int32_t first, int32_t last,
                      const TraceMapping& mapping, std::vector<PicturePoint>& points);

}  // namespace kresograf
