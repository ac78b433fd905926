#include "peaks_command.h"

#include <cstdio>
#include <cstdlib>

#include "analysis/spectrum.h"
#include "analysis/spectrum_input.h"
#include "analysis/spectrum_texts.h"
#include "base/settings_record.h"
#include "base/translation.h"
#include "command_args.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {
namespace {

constexpr long MaxPeaks = 1000;

}  // namespace

int SpectrumCommand(const std::vector<std::string>& args) {
    SpectrumWindow window = SpectrumWindow::Hann;
    std::size_t peaks = 5;
    const auto takeOwn = [&](const std::string& option, const std::string& value) {
        if (option == "--window") {
            const std::optional<SpectrumWindow> named = SpectrumWindowFromKey(value);
            if (!named) {
                return UsageError(FillText(
                    Tr("Nieznane okno: \"%s\" (hann, hamming, blackman albo rect)."), {value}));
            }
            window = *named;
            return ExitOk;
        }
        char* end = nullptr;
        const long count = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || count < 1 || count > MaxPeaks) {
            return UsageError(FillText(Tr("Niepoprawna liczba prążków: \"%s\" (od 1 do %s)."),
                                       {value, std::to_string(MaxPeaks)}));
        }
        peaks = static_cast<std::size_t>(count);
        return ExitOk;
    };
    FileWindowArgs parsed;
    if (const int status = ParseFileWindowArgs(args, {"--window", "--peaks"}, takeOwn, parsed);
        status != ExitOk) {
        return status;
    }
    CZefraKrgDoc doc;
    FileWindow range;
    if (const int status = OpenFileWindow(parsed, doc, range); status != ExitOk) {
        return status;
    }
    const SettingsRecord settings;
    SpectrumEngine engine;
    Spectrum spectrum;
    for (int c = 0; c < 8; ++c) {
        if (!range.Chosen[c]) {
            continue;
        }
        const SampleRun run = ChannelRun(doc, range.Set, c, range.First, range.Last,
                                         settings.ChannelScale[c], range.UnitMs);
        const SpectrumStatus status = engine.Compute(run, window, peaks, spectrum);
        if (status != SpectrumStatus::Ok) {
            return Fail(SpectrumStatusText(status, run.Count), ExitFailed);
        }
        for (const SpectrumPeak& peak : spectrum.Peaks) {
            std::printf("%s\n", SpectrumPeakLine(c, peak).c_str());
        }
    }
    return ExitOk;
}

}  // namespace kresograf
