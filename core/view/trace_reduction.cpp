#include "view/trace_reduction.h"

#include <algorithm>
#include <cmath>

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

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Finds where the pixel column of one scan ends. The clamped x of a scan is monotonic in the
// scan index (time non-decreasing, mapping monotonic in time), so the scans of one column form
// one contiguous run and its end can be searched for instead of walked to.
class ColumnFinder {
  public:
    ColumnFinder(const int32_t* scanTime, const TraceMapping& mapping, int64_t first, int64_t end)
        : scanTime_(scanTime), mapping_(mapping), first_(first), end_(end) {
        firstTime_ = scanTime[first];
        timeSpan_ = static_cast<double>(scanTime[end - 1]) - static_cast<double>(firstTime_);
        predictable_ = mapping.XSpan > 0 && mapping.PixelWidth > 0 && timeSpan_ > 0;
    }

    int32_t Column(int64_t k) const { return ClampCoordinate(MapX(mapping_, scanTime_[k])); }

    // Where the scans of pixel column x are expected to start: the first time of the column
    // from the inverse mapping, placed among the scans as if they were evenly spaced. Exact
    // for evenly spaced scans, a starting point for the search otherwise; -1 when the mapping
    // does not grow with time.
    int64_t Predict(int32_t x) const {
        if (!predictable_) {
            return -1;
        }
        // The smallest a with MulDiv(a, width, span) >= m = x - origin. Rounding halves away
        // from zero makes that a * width / span >= m - 1/2 for m >= 1 and > m - 1/2 below.
        const int64_t m = static_cast<int64_t>(x) - mapping_.OriginX;
        const int64_t num = (2 * m - 1) * mapping_.XSpan;
        const int64_t den = 2 * static_cast<int64_t>(mapping_.PixelWidth);
        const int64_t a = m >= 1 ? -FloorDiv(-num, den) : FloorDiv(num, den) + 1;
        const int64_t t = mapping_.XStart + a * (int64_t{1} << mapping_.Shift);
        const double share = static_cast<double>(t - firstTime_) / timeSpan_;
        // Evenly spaced scans put the edge on a whole index; the small margin keeps rounding
        // from pushing it one further.
        const double k = static_cast<double>(first_) +
                         std::ceil(share * static_cast<double>(end_ - 1 - first_) - 1e-6);
        return k <= static_cast<double>(first_) ? first_
               : k >= static_cast<double>(end_) ? end_
                                                : static_cast<int64_t>(k);
    }

    // First index after begin (at most end) whose column differs from x, the column of begin;
    // its column goes to nextX. The search starts at guess and gallops from there.
    int64_t RunEnd(int64_t begin, int32_t x, int64_t guess, int32_t& nextX) const {
        int64_t lo = begin;  // known to be in the column
        int64_t hi = 0;      // known to be past it
        const int64_t g = std::clamp(guess, begin + 1, end_);
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
    int64_t first_;
    int64_t end_;
    int64_t firstTime_ = 0;
    double timeSpan_ = 0;
    bool predictable_ = false;
};

// How many columns ahead the memory of a column is asked for.
constexpr int32_t kEdgeAhead = 4;
constexpr std::size_t kQueryAhead = 8;
// Shorter columns lie close together and are fetched well enough by the hardware.
constexpr int64_t kPrefetchMinRun = 256;

}  // namespace

void ReduceTrace(const int32_t* scanTime, const int32_t* samples, const TraceSummary& summary,
                 int32_t first, int32_t last, const TraceMapping& mapping,
                 std::vector<PicturePoint>& points) {
    points.clear();
    if (first < 0 || last < first) {
        return;
    }
    // First the column edges, held in the output as (x, first scan), (x, last scan); then the
    // extremes of each column, whose memory is known exactly by then and is asked for a few
    // columns ahead. Two passes keep many cache misses in flight instead of one chain.
    const int64_t end = static_cast<int64_t>(last) + 1;
    const ColumnFinder finder(scanTime, mapping, first, end);
    int64_t begin = first;
    int32_t x = finder.Column(begin);
    int64_t length = 1;
    while (begin < end) {
        const int64_t predicted = x < 32767 ? finder.Predict(x + 1) : end;
        int32_t nextX = x;
        const int64_t next =
            finder.RunEnd(begin, x, predicted > begin ? predicted : begin + length, nextX);
        points.push_back({x, static_cast<int32_t>(begin)});
        points.push_back({x, static_cast<int32_t>(next - 1)});
        length = next - begin;
        begin = next;
        x = nextX;
        if (length >= kPrefetchMinRun && x <= 32767 - kEdgeAhead) {
            const int64_t ahead = finder.Predict(x + kEdgeAhead);
            if (ahead > first && ahead < end) {
                __builtin_prefetch(scanTime + ahead - 1);
                __builtin_prefetch(scanTime + ahead);
            }
        }
    }
    const std::size_t columns = points.size() / 2;
    for (std::size_t c = 0; c < columns; ++c) {
        if (c + kQueryAhead < columns) {
            summary.Prefetch(samples, static_cast<uint32_t>(points[2 * (c + kQueryAhead)].Y));
        }
        const uint32_t from = static_cast<uint32_t>(points[2 * c].Y);
        const uint32_t to = static_cast<uint32_t>(points[2 * c + 1].Y) + 1;
        const SampleRange r = summary.Query(samples, from, to);
        // The y of a value is monotonic in it (either way, or flat), so the extremes of the
        // values give the extremes of the column's y.
        const int32_t yOfMin = ClampCoordinate(MapY(mapping, r.Min));
        const int32_t yOfMax = ClampCoordinate(MapY(mapping, r.Max));
        points[2 * c].Y = std::min(yOfMin, yOfMax);
        points[2 * c + 1].Y = std::max(yOfMin, yOfMax);
    }
}

}  // namespace kresograf
