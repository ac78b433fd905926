#include "measure_command.h"

#include <cstdio>

#include "base/settings_record.h"
#include "command_args.h"
#include "document/zefra_krg_doc.h"
#include "view/marker_statistics.h"

namespace kresograf {

int MeasureCommand(const std::vector<std::string>& args) {
    FileWindowArgs parsed;
    if (const int status = ParseFileWindowArgs(args, {}, {}, parsed); status != ExitOk) {
        return status;
    }
    CZefraKrgDoc doc;
    FileWindow window;
    if (const int status = OpenFileWindow(parsed, doc, window); status != ExitOk) {
        return status;
    }
    const SettingsRecord settings;
    for (int c = 0; c < 8; ++c) {
        if (window.Chosen[c]) {
            const SampleStatistics s =
                ComputeSampleStatistics(doc.Samples[window.Set][c].Data(), window.First,
                                        window.Last, settings.ChannelScale[c]);
            std::printf("%s\n", MeasureChannelLine(c, s).c_str());
        }
    }
    const int32_t* times = doc.ScanTime[window.Set].Data();
    const double deltaSeconds =
        (static_cast<double>(times[window.Last]) - times[window.First]) * window.UnitMs / 1000.0;
    std::printf("%s\n", MeasureTimeLine(deltaSeconds).c_str());
    return ExitOk;
}

}  // namespace kresograf
