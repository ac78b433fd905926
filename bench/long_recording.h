#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "document/zefra_krg_doc.h"

namespace kresograf {

// Fills one set with a recording of eight inputs, each a different slow sine with some fast
// ripple, scans 8 units apart at 95 000 Hz, and makes it the shown set.
inline void FillLongRecording(CZefraKrgDoc& doc, uint32_t set, uint32_t scans) {
    doc.ResizeSet(set, scans);
    int32_t* time = doc.ScanTime[set].Data();
    for (uint32_t k = 0; k < scans; ++k) {
        time[k] = static_cast<int32_t>(k * 8);
    }
    for (int c = 0; c < 8; ++c) {
        int32_t* samples = doc.Samples[set][c].Data();
        const double period = 200'000.0 * (c + 1);
        for (uint32_t k = 0; k < scans; ++k) {
            samples[k] =
                static_cast<int32_t>(12000.0 * std::sin(2 * std::numbers::pi * k / period) +
                                     800.0 * std::sin(k * 0.37 + c));
        }
    }
    AcquisitionParams params;
    params.Divisor = 84;
    params.ChannelCount = 8;
    params.Channels = {0, 1, 2, 3, 4, 5, 6, 7};
    params.TotalSamples = scans * 8;
    doc.Register(params, TriggerParams{});
    doc.ChannelPresent[set].fill(1);
    doc.SampleCount[set] = scans;
    doc.CurrentSet = set;
}

}  // namespace kresograf
