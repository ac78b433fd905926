#pragma once

#include <cstdint>
#include <vector>

#include "view/picture.h"
#include "view/trace_mapping.h"
#include "view/trace_summary.h"

namespace kresograf {

// Reduces scans first..last (inclusive) of one channel to at most two points per pixel column:
// per column the smallest and the largest y, in sample order, coordinates clamped to 16 bits.
// This walks every scan; it is the definition the faster reduction must match point for point.
// A negative first or last before first gives no points.
void ReduceTracePlain(const int32_t* scanTime, const int32_t* samples, int32_t first, int32_t last,
                      const TraceMapping& mapping, std::vector<PicturePoint>& points);

// The same polyline as ReduceTracePlain, point for point, at a cost that follows the number of
// pixel columns rather than the number of scans: column boundaries are searched on the scan
// index and each column's extremes come from the summary of the channel's samples. scanTime
// must be non-decreasing over first..last. The summary should be built over samples; a summary
// that is empty or shorter only makes the reduction slower, never different.
void ReduceTrace(const int32_t* scanTime, const int32_t* samples, const TraceSummary& summary,
                 int32_t first, int32_t last, const TraceMapping& mapping,
                 std::vector<PicturePoint>& points);

}  // namespace kresograf
