#pragma once

#include <algorithm>
#include <initializer_list>

#include "base/acquisition_params.h"

namespace kresograf {

// A parameter block scanning the given inputs, the rest as a new document holds it.
inline AcquisitionParams ScanList(std::initializer_list<int8_t> inputs, uint32_t divisor = 8000,
                                  uint32_t total = 1000) {
    AcquisitionParams p;
    p.Divisor = divisor;
    p.TotalSamples = total;
    p.ChannelCount = static_cast<int8_t>(inputs.size());
    std::copy(inputs.begin(), inputs.end(), p.Channels.begin());
    return p;
}

// The same over differential pairs.
inline AcquisitionParams PairList(std::initializer_list<int8_t> pairs, uint32_t divisor = 8000,
                                  uint32_t total = 1000) {
    AcquisitionParams p = ScanList(pairs, divisor, total);
    p.SingleEnded = 0;
    return p;
}

}  // namespace kresograf
