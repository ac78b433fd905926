#include "view/trace_reduction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kresograf {

void ReduceTracePlain(ScanTimes scanTime, SampleColumn samples, int32_t first, int32_t last,
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
    ColumnFinder(ScanTimes scanTime, const TraceMapping& mapping, int64_t first, int64_t end)
        : scanTime_(scanTime), mapping_(mapping), first_(first), end_(end) {
        firstTime_ = scanTime[first];
        const int64_t span = static_cast<int64_t>(scanTime[end - 1]) - firstTime_;
        perTime_ = span > 0 ? static_cast<double>(end - 1 - first) / static_cast<double>(span) : 0;
        rising_ = mapping.XSpan > 0 && mapping.PixelWidth > 0;
    }

    int32_t Column(int64_t k) const { return ClampCoordinate(MapX(mapping_, scanTime_[k])); }

    // With a mapping that rises with time: the first time whose clamped x is at least x.
    int64_t Threshold(int32_t x) const {
        constexpr int64_t never = int64_t{1} << 40;  // beyond any difference of two times
        if (x <= -32768) {
            return -never;
        }
        if (x > 32767) {
            return never;
        }
        // x' >= x exactly when MulDiv(a, width, span) >= m, a the shifted time offset.
        const int64_t m = static_cast<int64_t>(x) - mapping_.OriginX;
        if (m > std::numeric_limits<int32_t>::max()) {
            return never;
        }
        if (m <= std::numeric_limits<int32_t>::min()) {
            return -never;
        }
        // Halves round away from zero, so MulDiv(a, w, s) >= m means a * w / s >= m - 1/2 for
        // m >= 1 and a * w / s > m - 1/2 otherwise.
        const int64_t num = (2 * m - 1) * mapping_.XSpan;
        const int64_t den = 2 * static_cast<int64_t>(mapping_.PixelWidth);
        int64_t a = m >= 1 ? -FloorDiv(-num, den) : FloorDiv(num, den) + 1;
        a = std::clamp(a, -never, never);
        return mapping_.XStart + a * (int64_t{1} << mapping_.Shift);
    }

    // Where the first scan at or after time t is expected: exact for evenly spaced scans.
    int64_t Locate(int64_t t) const {
        // The small margin keeps rounding from pushing a whole index one further.
        const double at = static_cast<double>(t - firstTime_) * perTime_ - 1e-6;
        if (at <= 0) {
            return first_;
        }
        if (at >= static_cast<double>(end_ - first_)) {
            return end_;
        }
        const int64_t whole = static_cast<int64_t>(at);
        return first_ + whole + (static_cast<double>(whole) < at ? 1 : 0);
    }

    // Where the scans of column x are expected to start; -1 when that cannot be told without
    // searching.
    int64_t Predict(int32_t x) { return rising_ ? EdgeOf(x).Index : -1; }

    // First index after begin (at most end) whose column differs from x, the column of begin.
    // length is the previous column's, the guess when the mapping does not rise with time.
    int64_t ColumnEnd(int64_t begin, int32_t x, int64_t length) {
        if (!rising_) {
            return Search(begin, begin + length, [&](int64_t k) { return Column(k) != x; });
        }
        if (x >= 32767) {
            return end_;
        }
        const Edge& edge = EdgeOf(x + 1);
        const int64_t t = edge.Time;
        return Search(begin, edge.Index, [&](int64_t k) { return scanTime_[k] >= t; });
    }

  private:
    // First index in (begin, end] at which past holds (end counts as past), past being false
    // at begin and monotonic. Starts at guess and gallops from there.
    template <typename Past>
    int64_t Search(int64_t begin, int64_t guess, Past past) const {
        auto isPast = [&](int64_t k) { return k >= end_ || past(k); };
        int64_t lo = begin;  // not past
        int64_t hi = 0;      // past
        const int64_t g = std::clamp(guess, begin + 1, end_);
        if (isPast(g)) {
            hi = g;
            for (int64_t step = 1;; step *= 2) {
                const int64_t probe = hi - step;
                if (probe <= lo) {
                    break;
                }
                if (!isPast(probe)) {
                    lo = probe;
                    break;
                }
                hi = probe;
            }
        } else {
            lo = g;
            for (int64_t step = 1;; step *= 2) {
                const int64_t probe = lo + step;
                if (isPast(probe)) {
                    hi = std::min(probe, end_);
                    break;
                }
                lo = probe;
            }
        }
        while (hi - lo > 1) {
            const int64_t mid = lo + (hi - lo) / 2;
            (isPast(mid) ? hi : lo) = mid;
        }
        return hi;
    }

    // The first time of a column and where its scans are expected to start, worked out once:
    // the edge a prefetch looked ahead to is the one the search needs a few columns later.
    struct Edge {
        int32_t X = std::numeric_limits<int32_t>::min();
        int64_t Time = 0;
        int64_t Index = 0;
    };
    const Edge& EdgeOf(int32_t x) {
        Edge& e = edges_[static_cast<uint32_t>(x) % edges_.size()];
        if (e.X != x) {
            e.X = x;
            e.Time = Threshold(x);
            e.Index = Locate(e.Time);
        }
        return e;
    }

    std::array<Edge, 8> edges_{};
    ScanTimes scanTime_;
    const TraceMapping& mapping_;
    int64_t first_;
    int64_t end_;
    int64_t firstTime_ = 0;
    double perTime_ = 0;
    bool rising_ = false;
};

// How many columns ahead the memory of a column is asked for.
constexpr int32_t kEdgeAhead = 4;
constexpr std::size_t kQueryAhead = 8;
// Shorter columns lie close together and are fetched well enough by the hardware.
constexpr int64_t kPrefetchMinRun = 256;

}  // namespace

void ReduceTrace(ScanTimes scanTime, SampleColumn samples, const TraceSummary& summary,
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
    ColumnFinder finder(scanTime, mapping, first, end);
    int64_t begin = first;
    int32_t x = finder.Column(begin);
    int64_t length = 1;
    while (begin < end) {
        const int64_t next = finder.ColumnEnd(begin, x, length);
        points.push_back({x, static_cast<int32_t>(begin)});
        points.push_back({x, static_cast<int32_t>(next - 1)});
        length = next - begin;
        begin = next;
        if (begin == end) {
            break;
        }
        x = finder.Column(begin);
        if (length >= kPrefetchMinRun && x < 32767 - kEdgeAhead) {
            const int64_t ahead = finder.Predict(x + kEdgeAhead + 1);
            if (ahead > first && ahead < end && scanTime.Data != nullptr) {
                __builtin_prefetch(scanTime.Data + ahead - 1);
                __builtin_prefetch(scanTime.Data + ahead);
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
