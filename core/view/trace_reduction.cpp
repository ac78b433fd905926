#include "view/trace_reduction.h"

namespace kresograf {

void ReduceTracePlain(const int32_t* scanTime, const int32_t* samples, int32_t first, int32_t last,
                      const TraceMapping& mapping, std::vector<PicturePoint>& points) {
    points.clear();
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

}  // namespace kresograf
