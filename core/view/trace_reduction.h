#pragma once

#include <cstdint>
#include <vector>

#include "document/trace_summary.h"
#include "view/picture.h"
#include "view/trace_mapping.h"

namespace kresograf {

// Reduces scans first..last (inclusive) of one channel to at most two points per pixel column:
// per column the smallest and the largest y, in sample order, coordinates clamped to 16 bits.
// This walks every scan; it is the definition the faster reduction must match point for point.
// A negative first or last before first gives no points.
void ReduceTracePlain(ScanTimes scanTime, SampleColumn samples, int32_t first, int32_t last,
                      const TraceMapping& mapping, std::vector<PicturePoint>& points);

// The same polyline as ReduceTracePlain, point for point, at a cost that follows the number of
// pixel columns rather than the number of scans: the column edges are found by search on the
// scan index (from the inverse mapping when it rises with time) and each column's extremes come
// from the summary of the channel's samples. scanTime must be non-decreasing over first..last;
// times out of order give some other polyline, never a read outside first..last. The summary
// must have been built over samples as they are now; an empty or shorter one only makes the
// reduction slower. points is also the working space: at most two points per distinct 16-bit
// x, so a buffer reserved for 131072 points is never reallocated.
void ReduceTrace(ScanTimes scanTime, SampleColumn samples, const TraceSummary& summary,
                 int32_t first, int32_t last, const TraceMapping& mapping,
                 std::vector<PicturePoint>& points);

}  // namespace kresograf
