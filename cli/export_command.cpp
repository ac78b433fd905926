#include "export_command.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/translation.h"
#include "command_args.h"
#include "document/data_export.h"
#include "document/kgd_file.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {
namespace {

std::atomic<bool> Stop{false};

extern "C" void OnStop(int) {
    Stop = true;
}

// The progress line on a terminal: shown once an export has taken a second, redrawn when its
// percentage changes, wiped at the end.
class ProgressLine {
  public:
    explicit ProgressLine(bool terminal) : terminal_(terminal) {}
    ~ProgressLine() {
        if (shown_) {
            std::fprintf(stderr, "\r\033[K");
        }
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool operator()(uint64_t done, uint64_t total) {
        if (terminal_) {
            const auto now = std::chrono::steady_clock::now();
            const uint64_t percent = total == 0 ? 100 : done * 100 / total;
            if (now - start_ >= std::chrono::seconds(1) && percent != percent_) {
                percent_ = percent;
                shown_ = true;
                std::fprintf(stderr, "\r%s\033[K", ExportProgressText(done, total).c_str());
            }
        }
        return !Stop.load();
    }

  private:
    bool terminal_;
    bool shown_ = false;
    uint64_t percent_ = 101;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace

int ExportCommand(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    ExportRequest request;
    std::optional<ExportFormat> format;
    std::string channels;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--time") {
            request.WriteTime = true;
        } else if (option == "--channels" || option == "--format") {
            if (i + 1 >= args.size()) {
                return UsageError(FillText(Tr("Brak wartości opcji %s."), {option}));
            }
            const std::string& value = args[++i];
            if (option == "--channels") {
                channels = value;
            } else if (!(format = ParseExportFormat(value))) {
                return UsageError(FillText(
                    Tr("Nieznany format eksportu: \"%s\" (text, csv albo hdf5)."), {value}));
            }
        } else if (option.size() > 1 && option[0] == '-') {
            return UsageError(FillText(Tr("Nieznana opcja: %s."), {option}));
        } else {
            positional.push_back(option);
        }
    }
    if (positional.size() != 2) {
        return UsageError(Tr("Podaj plik .kgd i plik wynikowy."));
    }
    request.Format = format.value_or(ExportFormatOf(positional[1]));
    request.SourceName = std::filesystem::path(positional[0]).filename().string();

    CZefraKrgDoc doc;
    const FileResult opened = OpenDocument(doc, positional[0]);
    if (!opened.Ok()) {
        return FileFailure(opened);
    }
    const uint32_t set = doc.CurrentSet.load();
    if (channels.empty()) {
        for (int c = 0; c < 8; ++c) {
            request.Channels[c] = doc.ChannelPresent[set][c] != 0;
        }
    } else {
        std::size_t start = 0;
        while (start <= channels.size()) {
            const std::size_t end = std::min(channels.find(',', start), channels.size());
            const std::string part = channels.substr(start, end - start);
            char* tail = nullptr;
            const long channel = std::strtol(part.c_str(), &tail, 10);
            if (part.empty() || *tail != '\0' || channel < 1 || channel > 8) {
                return UsageError(FillText(
                    Tr("Niepoprawna lista kanałów: \"%s\" (kanały 1..8, np. 1,3,4)."), {channels}));
            }
            if (doc.ChannelPresent[set][channel - 1] == 0) {
                return Fail(
                    FillText(Tr("Kanał %s nie zawiera danych w pliku."), {std::to_string(channel)}),
                    ExitFailed);
            }
            request.Channels[channel - 1] = true;
            start = end + 1;
        }
    }

    // Ctrl+C stops the export between two blocks, and the unfinished file is removed.
    Stop = false;
    std::signal(SIGINT, OnStop);
    std::signal(SIGTERM, OnStop);
    FileResult written;
    {
        ProgressLine line(isatty(STDERR_FILENO) != 0);
        written = ExportData(doc, positional[1], request,
                             [&line](uint64_t done, uint64_t total) { return line(done, total); });
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (written.Code == FileCancelled) {
        return Fail(Tr(ExportCancelledText), ExitFailed);
    }
    if (!written.Ok()) {
        return FileFailure(written);
    }
    return ExitOk;
}

}  // namespace kresograf
