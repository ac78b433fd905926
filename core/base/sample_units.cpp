#include "base/sample_units.h"

#include <cmath>

namespace kresograf {

int16_t ThresholdToCounts(float volts, float channelScale) {
    const double counts = static_cast<double>(volts) / channelScale / 10.0;
    if (!std::isfinite(counts)) {
        return 0;
    }
    // Truncate toward zero, then keep the low 16 bits as the card's register would.
    const double clamped = std::trunc(counts < -2147483648.0  ? -2147483648.0
                                      : counts > 2147483647.0 ? 2147483647.0
                                                              : counts);
    return static_cast<int16_t>(static_cast<int32_t>(clamped));
}

}  // namespace kresograf
