#include "base/acquisition_params.h"

#include <cmath>
#include <limits>

namespace kresograf {

double AcquisitionDurationSeconds(const AcquisitionParams& params) {
    return static_cast<double>(params.TotalSamples) * params.Divisor / CardClockHz;
}

void RecomputeTotalSamples(AcquisitionParams& params, float durationSeconds) {
    if (params.ChannelCount <= 0 || params.Divisor == 0) {
        return;
    }
    const uint64_t unit = params.Prescaler == 1
                              ? static_cast<uint64_t>(params.ChannelCount) * 2
                              : static_cast<uint64_t>(params.ChannelCount) * params.Prescaler;
    if (unit == 0) {
        return;
    }
    // The product is taken in single precision, as the duration itself is held.
    const float conversions =
        durationSeconds * static_cast<float>(CardClockHz) / static_cast<float>(params.Divisor);
    uint64_t total = 0;
    if (std::isfinite(conversions) && conversions > 0.0f) {
        const float limit = static_cast<float>(std::numeric_limits<uint32_t>::max());
        total = conversions >= limit ? std::numeric_limits<uint32_t>::max()
                                     : static_cast<uint64_t>(conversions);
    }
    const uint64_t remainder = total % unit;
    uint64_t quotient = total / unit + (remainder > unit / 2 ? 1 : 0);
    if (quotient == 0) {
        quotient = 1;
    }
    const uint64_t maxQuotient = std::numeric_limits<uint32_t>::max() / unit;
    if (quotient > maxQuotient) {
        quotient = maxQuotient;
    }
    params.TotalSamples = static_cast<uint32_t>(quotient * unit);
}

}  // namespace kresograf
