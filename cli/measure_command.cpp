#include "measure_command.h"

#include <cstdio>
#include <string>
#include <vector>

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
    std::vector<std::string> lines;
    for (int c = 0; c < 8; ++c) {
        if (window.Chosen[c]) {
            const SampleStatistics s = ComputeSampleStatistics(
                doc.Column(window.Set, c), window.First, window.Last, settings.ChannelScale[c]);
            lines.push_back(MeasureChannelLine(c, s));
        }
    }
    // The file read in place may have been cut short meanwhile: then these are not its data.
    if (const auto lost = doc.CheckSamples()) {
        std::fprintf(stderr, "%s: %s\n", lost->Title.c_str(), lost->Text.c_str());
        return ExitFailed;
    }
    const ScanTimes times = doc.Times(window.Set);
    const double deltaSeconds =
        (static_cast<double>(times[window.Last]) - times[window.First]) * window.UnitMs / 1000.0;
    lines.push_back(MeasureTimeLine(deltaSeconds));
    for (const std::string& line : lines) {
        std::printf("%s\n", line.c_str());
    }
    return ExitOk;
}

}  // namespace kresograf
