#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"
#include "view/picture.h"
#include "view/plot_view.h"

namespace kresograf::testing {

// Label font of the tests: 6 px per character, 11 px high. Column 66 px, band 22 px.
inline TextSize FixedMeasure(std::string_view text) {
    return {static_cast<int32_t>(text.size()) * 6, 11};
}

// Puts scans into the current set: scan k at times[k], channel c's samples from values[c]
// (missing channels are absent from the set).
inline void FillSet(CZefraKrgDoc& doc, const std::vector<int32_t>& times,
                    const std::vector<std::vector<int32_t>>& values) {
    const uint32_t set = doc.CurrentSet.load();
    const auto n = static_cast<uint32_t>(times.size());
    if (doc.SetCapacity(set) < n) {
        doc.ResizeSet(set, n);
    }
    for (int c = 0; c < 8; ++c) {
        const bool present = c < static_cast<int>(values.size()) && !values[c].empty();
        doc.ChannelPresent[set][c] = present ? 1 : 0;
        for (uint32_t k = 0; k < n; ++k) {
            doc.ScanTime[set][k] = times[k];
            doc.Samples[set][c][k] = present ? values[c][k] : 0;
        }
    }
    doc.SampleCount[set] = n;
    ++doc.Generation[set];
}

// One ScanTime unit of divisor / 8000 x prescaler ms in the registered block.
inline void RegisterTiming(CZefraKrgDoc& doc, uint32_t divisor, uint32_t prescaler) {
    doc.Register(AcquisitionParams{.Divisor = divisor, .Prescaler = prescaler}, TriggerParams{});
}

inline std::vector<int32_t> Ramp(int32_t n, int32_t step = 1, int32_t start = 0) {
    std::vector<int32_t> v;
    for (int32_t k = 0; k < n; ++k) {
        v.push_back(start + k * step);
    }
    return v;
}

// A channel's value range, or the time window, as one comparable pair.
using Range = std::pair<int32_t, int32_t>;
inline Range YRange(const PlotView& view, int channel) {
    return {view.YMin[channel], view.YMax[channel]};
}
inline Range XRange(const PlotView& view) {
    return {view.XStart, view.XEnd};
}

}  // namespace kresograf::testing
