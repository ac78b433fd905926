#include "measure_command.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "base/settings_record.h"
#include "base/translation.h"
#include "document/kgd_file.h"
#include "document/zefra_krg_doc.h"
#include "view/marker_statistics.h"

namespace kresograf {
namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

int Fail(const std::string& message, int code) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return code;
}

// A wrong command line: the message and where to read more, status 2 (as every command).
int UsageError(const std::string& message) {
    return Fail(message + "\n" + Tr("Więcej informacji: kresograf-cli --help"), ExitUsage);
}

bool ParseSeconds(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(value);
}

// "1,3,4" -> inputs 0, 2, 3.
bool ParseChannels(const std::string& text, std::array<bool, 8>& chosen) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const std::string part = text.substr(start, end - start);
        char* tail = nullptr;
        const long channel = std::strtol(part.c_str(), &tail, 10);
        if (part.empty() || *tail != '\0' || channel < 1 || channel > 8) {
            return false;
        }
        chosen[channel - 1] = true;
        start = end + 1;
    }
    return true;
}

}  // namespace

int MeasureCommand(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    double from = -std::numeric_limits<double>::infinity();
    double to = std::numeric_limits<double>::infinity();
    std::string channels;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--from" || option == "--to" || option == "--channels") {
            if (i + 1 >= args.size()) {
                return UsageError(FillText(Tr("Brak wartości opcji %s."), {option}));
            }
            const std::string& value = args[++i];
            if (option == "--channels") {
                channels = value;
            } else if (!ParseSeconds(value, option == "--from" ? from : to)) {
                return UsageError(
                    FillText(Tr("Niepoprawny czas w opcji %s: \"%s\" (sekundy, np. 0.25)."),
                             {option, value}));
            }
        } else if (option.size() > 1 && option[0] == '-') {
            return UsageError(FillText(Tr("Nieznana opcja: %s."), {option}));
        } else {
            positional.push_back(option);
        }
    }
    if (positional.size() != 1) {
        return UsageError(Tr("Podaj jeden plik .kgd."));
    }
    if (from > to) {
        return UsageError(Tr("Początek przedziału (--from) leży po jego końcu (--to)."));
    }
    CZefraKrgDoc doc;
    const FileResult opened = OpenDocument(doc, positional.front());
    if (!opened.Ok()) {
        if (opened.Message) {
            return Fail(opened.Message->Title + ": " + opened.Message->Text, ExitFailed);
        }
        return ExitFailed;
    }
    const uint32_t set = doc.CurrentSet.load();
    std::array<bool, 8> chosen{};
    if (channels.empty()) {
        for (int c = 0; c < 8; ++c) {
            chosen[c] = doc.ChannelPresent[set][c] != 0;
        }
    } else if (!ParseChannels(channels, chosen)) {
        return UsageError(FillText(
            Tr("Niepoprawna lista kanałów: \"%s\" (kanały 1..8, np. 1,3,4)."), {channels}));
    }
    for (int c = 0; c < 8; ++c) {
        if (chosen[c] && doc.ChannelPresent[set][c] == 0) {
            return Fail(
                FillText(Tr("Kanał %s nie zawiera danych w pliku."), {std::to_string(c + 1)}),
                ExitFailed);
        }
    }
    const AcquisitionParams params = doc.RegisteredParams();
    const double unitMs = ScanUnitMs(params.Divisor, params.Prescaler);
    const ScanTimes times = doc.Times(set);
    uint32_t first = 0;
    uint32_t last = 0;
    if (!ScanWindow(times, doc.SampleCount[set], unitMs, from, to, first, last)) {
        return Fail(Tr("Brak próbek w podanym przedziale czasu."), ExitFailed);
    }
    const SettingsRecord settings;
    std::vector<std::string> lines;
    for (int c = 0; c < 8; ++c) {
        if (chosen[c]) {
            const SampleStatistics s =
                ComputeSampleStatistics(doc.Column(set, c), first, last, settings.ChannelScale[c]);
            lines.push_back(MeasureChannelLine(c, s));
        }
    }
    // The file read in place may have been cut short meanwhile: then these are not its data.
    if (const auto lost = doc.CheckSamples()) {
        return Fail(lost->Title + ": " + lost->Text, ExitFailed);
    }
    const double deltaSeconds = (static_cast<double>(times[last]) - times[first]) * unitMs / 1000.0;
    lines.push_back(MeasureTimeLine(deltaSeconds));
    for (const std::string& line : lines) {
        std::printf("%s\n", line.c_str());
    }
    return ExitOk;
}

}  // namespace kresograf
