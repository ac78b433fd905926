#include "analysis/spectrum_input.h"

#include "document/zefra_krg_doc.h"

namespace kresograf {

SampleRun ChannelRun(const CZefraKrgDoc& doc, uint32_t set, int channel, uint32_t first,
                     uint32_t last, double voltsPerUnit, double unitMs) {
    SampleRun run;
    run.VoltsPerUnit = voltsPerUnit;
    if (first > last) {
        return run;
    }
    const SetSamples read = doc.ReadSet(set);
    const ScanTimes times = read.Times;
    const SampleColumn column = read.Columns[channel];
    run.Data = SampleColumn(column.At(first), column.Stride);
    run.Count = static_cast<std::size_t>(last - first) + 1;
    if (last > first) {
        const double span = static_cast<double>(times[last]) - times[first];
        run.ScanSeconds = span * unitMs / 1000.0 / (last - first);
    }
    return run;
}

}  // namespace kresograf
