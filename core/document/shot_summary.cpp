#include "document/shot_summary.h"

#include "base/fixed_format.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "base/settings_record.h"
#include "base/translation.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {
namespace {

std::string Volts(double value) {
    return FormatFixed(value, 3) + " V";
}

}  // namespace

std::string ShotSummaryLine(int shot, const CZefraKrgDoc& doc, const SettingsRecord& settings) {
    const uint32_t set = doc.CurrentSet.load();
    const uint32_t scans = doc.SampleCount[set];
    std::string line =
        FillText(Tr("shot %s: %s skanów"), {std::to_string(shot), std::to_string(scans)});
    for (int input = 0; input < 8; ++input) {
        if (doc.ChannelPresent[set][input] == 0 || scans == 0) {
            continue;
        }
        const SampleColumn samples = doc.Column(set, input);
        int32_t low = std::numeric_limits<int32_t>::max();
        int32_t high = std::numeric_limits<int32_t>::min();
        int64_t sum = 0;
        for (uint32_t i = 0; i < scans; ++i) {
            low = std::min(low, samples[i]);
            high = std::max(high, samples[i]);
            sum += samples[i];
        }
        const double scale = settings.ChannelScale[input];
        line += FillText(Tr("; kanał %s: min %s, max %s, średnia %s"),
                         {std::to_string(input + 1), Volts(low * scale), Volts(high * scale),
                          Volts(static_cast<double>(sum) / scans * scale)});
    }
    return line;
}

}  // namespace kresograf
