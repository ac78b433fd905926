#include "command_args.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/translation.h"
#include "document/kgd_file.h"
#include "document/zefra_krg_doc.h"
#include "view/marker_statistics.h"

namespace kresograf {
namespace {

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

int Fail(const std::string& message, int code) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return code;
}

int UsageError(const std::string& message) {
    return Fail(message + "\n" + Tr("Więcej informacji: kresograf-cli --help"), ExitUsage);
}

int FileFailure(const FileResult& result) {
    if (result.Message) {
        return Fail(result.Message->Title + ": " + result.Message->Text, ExitFailed);
    }
    return ExitFailed;
}

int ParseFileWindowArgs(const std::vector<std::string>& args, const std::vector<std::string>& own,
                        const OwnOption& takeOwn, FileWindowArgs& out) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool isOwn = std::find(own.begin(), own.end(), option) != own.end();
        if (isOwn || option == "--from" || option == "--to" || option == "--channels") {
            if (i + 1 >= args.size()) {
                return UsageError(FillText(Tr("Brak wartości opcji %s."), {option}));
            }
            const std::string& value = args[++i];
            if (isOwn) {
                if (const int status = takeOwn(option, value); status != ExitOk) {
                    return status;
                }
            } else if (option == "--channels") {
                out.Channels = value;
            } else if (!ParseSeconds(value, option == "--from" ? out.From : out.To)) {
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
    if (out.From > out.To) {
        return UsageError(Tr("Początek przedziału (--from) leży po jego końcu (--to)."));
    }
    out.File = positional.front();
    return ExitOk;
}

int OpenFileWindow(const FileWindowArgs& args, CZefraKrgDoc& doc, FileWindow& out) {
    const FileResult opened = OpenDocument(doc, args.File);
    if (!opened.Ok()) {
        return FileFailure(opened);
    }
    out.Set = doc.CurrentSet.load();
    out.Chosen = {};
    if (args.Channels.empty()) {
        for (int c = 0; c < 8; ++c) {
            out.Chosen[c] = doc.ChannelPresent[out.Set][c] != 0;
        }
    } else if (!ParseChannels(args.Channels, out.Chosen)) {
        return UsageError(FillText(
            Tr("Niepoprawna lista kanałów: \"%s\" (kanały 1..8, np. 1,3,4)."), {args.Channels}));
    }
    for (int c = 0; c < 8; ++c) {
        if (out.Chosen[c] && doc.ChannelPresent[out.Set][c] == 0) {
            return Fail(
                FillText(Tr("Kanał %s nie zawiera danych w pliku."), {std::to_string(c + 1)}),
                ExitFailed);
        }
    }
    const AcquisitionParams params = doc.RegisteredParams();
    out.UnitMs = ScanUnitMs(params.Divisor, params.Prescaler);
    if (!ScanWindow(doc.Times(out.Set), doc.SampleCount[out.Set], out.UnitMs, args.From, args.To,
                    out.First, out.Last)) {
        return Fail(Tr("Brak próbek w podanym przedziale czasu."), ExitFailed);
    }
    return ExitOk;
}

}  // namespace kresograf
