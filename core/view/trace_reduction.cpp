#include "view/trace_reduction.h"

#include <algorithm>

namespace kresograf {

void ReduceTracePlain(const int32_t* scanTime, const int32_t* samples, int32_t first, int32_t last,
                      const TraceMapping& mapping, std::vector<PicturePoint>& points) {
    points.clear();
    if (first < 0) {
        return;
    }
    int32_t column = 0;
    for (int32_t k = first; k <= last; ++k) {
        const int32_t x = ClampCoordinate(MapX(mapping, scanTime[k]));
        const int32_t y = ClampCoordinate(MapY(mapping, samples[k]));
        if (k == first || x != column) {
            points.push_back({x, y});
            points.push_back({x, y});
            column = x;
        } else {
            auto& low = points[points.size() - 2];
            auto& high = points[points.size() - 1];
            if (y < low.Y) {
                low.Y = y;
            }
            if (y > high.Y) {
                high.Y = y;
            }
        }
    }
}

namespace {

// Finds where the pixel column of one scan ends. The clamped x of a scan is monotonic in the
// scan index (time non-decreasing, mapping monotonic in time), so the scans of one column form
// one contiguous run and its end can be searched for instead of walked to.
class ColumnFinder {
  public:
    ColumnFinder(const int32_t* scanTime, const TraceMapping& mapping, int64_t end)
        : scanTime_(scanTime), mapping_(mapping), end_(end) {}

    int32_t Column(int64_t k) const { return ClampCoordinate(MapX(mapping_, scanTime_[k])); }

    // First index after begin (at most end) whose column differs from x, the column of begin;
    // its column goes to nextX. The search starts at begin + guess, the previous column's
    // length, which is right or one off for evenly spaced scans, and gallops from there.
    int64_t RunEnd(int64_t begin, int32_t x, int64_t guess, int32_t& nextX) const {
        int64_t lo = begin;  // known to be in the column
        int64_t hi = 0;      // known to be past it
        const int64_t g = std::min(begin + std::max<int64_t>(guess, 1), end_);
        if (Differs(g, x, nextX)) {
            hi = g;
            for (int64_t step = 1;; step *= 2) {
                const int64_t probe = hi - step;
                int32_t probeX = 0;
                if (probe <= lo) {
                    break;
                }
                if (!Differs(probe, x, probeX)) {
                    lo = probe;
                    break;
                }
                hi = probe;
                nextX = probeX;
            }
        } else {
            lo = g;
            for (int64_t step = 1;; step *= 2) {
                const int64_t probe = lo + step;
                if (probe >= end_) {
                    hi = end_;
                    break;
                }
                if (Differs(probe, x, nextX)) {
                    hi = probe;
                    break;
                }
                lo = probe;
            }
        }
        while (hi - lo > 1) {
            const int64_t mid = lo + (hi - lo) / 2;
            int32_t midX = 0;
            if (Differs(mid, x, midX)) {
                hi = mid;
                nextX = midX;
            } else {
                lo = mid;
            }
        }
        return hi;
    }

  private:
    bool Differs(int64_t k, int32_t x, int32_t& column) const {
        if (k >= end_) {
            return true;
        }
        column = Column(k);
        return column != x;
    }

    const int32_t* scanTime_;
    const TraceMapping& mapping_;
    int64_t end_;
};

}  // namespace

void ReduceTrace(const int32_t* scanTime, const int32_t* samples, const TraceSummary& summary,
                 int32_t first, int32_t last, const TraceMapping& mapping,
                 std::vector<PicturePoint>& points) {
    points.clear();
    if (first < 0 || last < first) {
        return;
    }
    const int64_t end = static_cast<int64_t>(last) + 1;
    const ColumnFinder finder(scanTime, mapping, end);
    int64_t begin = first;
    int32_t x = finder.Column(begin);
    int64_t guess = 1;
    while (begin < end) {
        int32_t nextX = x;
        const int64_t next = finder.RunEnd(begin, x, guess, nextX);
        const SampleRange r =
            summary.Query(samples, static_cast<uint32_t>(begin), static_cast<uint32_t>(next));
        // The y of a value is monotonic in it (either way, or flat), so the extremes of the
        // values give the extremes of the column's y.
        const int32_t yOfMin = ClampCoordinate(MapY(mapping, r.Min));
        const int32_t yOfMax = ClampCoordinate(MapY(mapping, r.Max));
        points.push_back({x, std::min(yOfMin, yOfMax)});
        points.push_back({x, std::max(yOfMin, yOfMax)});
        guess = next - begin;
        begin = next;
        x = nextX;
    }
}

}  // namespace kresograf
