// kresograf-cli: records, inspects and exports QB730 measurements without a display.

#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "acquisition/acquisition_runner.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "base/translation.h"
#include "card/card_factory.h"
#include "card/card_port.h"
#include "card/clock.h"
#include "cli_frame_link.h"
#include "command_args.h"
#include "document/kgd_file.h"
#include "document/registered_params.h"
#include "document/zefra_krg_doc.h"
#include "export_command.h"
#include "measure_command.h"
#include "output_commands.h"
#include "peaks_command.h"
#include "shell/acquisition_options.h"

namespace kresograf {
namespace {

constexpr const char* Usage =
    N_("Użycie:\n"
       "  kresograf-cli scope [opcje akwizycji] [--shots N] [-o|--output PLIK.kgd]\n"
       "  kresograf-cli record PLIK.kgd [opcje akwizycji]\n"
       "  kresograf-cli info PLIK.kgd\n"
       "  kresograf-cli export PLIK.kgd WYJŚCIE [--format text|csv|hdf5] [--time] [--channels "
       "LISTA]\n"
       "  kresograf-cli generate|formula|play … (wyjścia karty: kresograf-cli --help)\n"
       "  kresograf-cli measure PLIK.kgd [--from SEKUNDY] [--to SEKUNDY] [--channels LISTA]\n"
       "  kresograf-cli spectrum PLIK.kgd [--from SEKUNDY] [--to SEKUNDY] [--channels LISTA]\n"
       "                         [--window hann|hamming|blackman|rect] [--peaks N]\n"
       "  kresograf-cli -h|--help\n"
       "\n"
       "Opcje akwizycji:\n"
       "  --rate HZ              częstotliwość z tabeli: 95000 … 50 albo 1/1, 1/2, 1/3, 1/4, 1/10, "
       "1/30\n"
       "  --duration SEKUNDY     czas trwania (domyślnie 1)\n"
       "  --channels LISTA       kanały 1..8, np. 1,3,4 (w pracy różnicowej pary 1..4)\n"
       "  --differential         praca różnicowa\n"
       "  --gain N=x10           wzmocnienie kanału N (x1 lub x10), opcja powtarzalna\n"
       "  --trigger auto|rising|falling\n"
       "  --trigger-type analog|digital\n"
       "  --trigger-channel N    kanał wyzwalania 1..8\n"
       "  --threshold WOLTY      próg wyzwalania analogowego\n"
       "  --card simulated|ports karta symulowana (domyślnie) albo prawdziwa karta QB730\n"
       "  --address 0x100        adres bazowy karty\n");

std::atomic<bool> Interrupted{false};

extern "C" void OnInterrupt(int) {
    Interrupted = true;
}

std::string Seconds(double s) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f s", s);
    return buffer;
}

// Runs one acquisition (oscilloscope or recording) on the chosen card until it ends by itself or
// Ctrl+C stops it. Returns the exit status; the data stay in doc.
int Acquire(CZefraKrgDoc& doc, const AcquisitionOptions& options, SettingsRecord& settings,
            bool recording, int shots, const std::string& recordingPath = {}) {
    AcquisitionParams params;
    TriggerParams trigger;
    std::string error;
    if (!options.Finish(params, trigger, settings, error)) {
        return UsageError(error);
    }
    if (trigger.Type == TriggerAnalog && trigger.Edge != EdgeAutomatic &&
        std::find(params.Channels.begin(), params.Channels.begin() + params.ChannelCount,
                  trigger.Channel) == params.Channels.begin() + params.ChannelCount) {
        const std::string warning =
            FillText(Tr("Uwaga: kanał wyzwalania %s nie jest mierzony - wyzwalanie automatyczne."),
                     {std::to_string(trigger.Channel + 1)});
        std::fprintf(stderr, "%s\n", warning.c_str());
    }
    doc.SetWorking(params, trigger);

    SteadyClock clock;
    UserMessage openError;
    std::unique_ptr<PortIo> io = OpenCardIo(options.Card.Kind, settings, clock, openError);
    if (!io) {
        return Fail(openError.Title + ": " + openError.Text, ExitFailed);
    }
    CardPort card(*io, clock);
    CliFrameLink frame(doc, settings, recording ? 0 : shots);
    AcquisitionRunner runner(settings, card, frame);
    runner.SetRecordingPlace(RecordingPlace{recordingPath, {}, {}, {}});

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    const bool started = recording ? runner.ToggleRecording(doc) : runner.ToggleOscilloscope(doc);
    if (!started) {
        // The memory message has been printed: no thread could be had.
        return ExitFailed;
    }
    const bool progress = recording && isatty(STDERR_FILENO) != 0;
    const double expected = AcquisitionDurationSeconds(params);
    bool stopAsked = false;
    while (runner.Busy()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (Interrupted.load() && !stopAsked) {
            stopAsked = true;
            doc.OscRunning = 0;
            doc.RecRunning = 0;
        }
        if (progress) {
            // The card's time runs from the moment it started streaming, after the trigger; the
            // scans are those the reader has stored.
            double elapsed = 0;
            if (const uint64_t since = frame.StreamingSince()) {
                using namespace std::chrono;
                const auto now = static_cast<uint64_t>(
                    duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
                elapsed = std::min(expected, (now - since) / 1e6);
            }
            const uint32_t scans = doc.Live() ? doc.LiveScans.load(std::memory_order_acquire)
                                              : doc.SampleCount[doc.CurrentSet.load()];
            std::lock_guard lock(frame.Output);
            const std::string line = FillText(Tr("%s / %s  skany: %s  %s"),
                                              {Seconds(elapsed), Seconds(expected),
                                               std::to_string(scans), StatusText(frame.Status())});
            std::fprintf(stderr, "\r%s\033[K", line.c_str());
        }
    }
    runner.Join();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (progress) {
        std::fprintf(stderr, "\r\033[K");
    }
    return frame.Failed() ? ExitFailed : ExitOk;
}

// Splits the arguments of scope and record into acquisition options and the command's own.
struct ParsedArgs {
    AcquisitionOptions Options;
    std::vector<std::string> Positional;
    std::string Output;
    int Shots = 3;
};

bool ParseAcquisitionArgs(const std::vector<std::string>& args, bool allowOutput, ParsedArgs& out,
                          std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            const bool own =
                arg == "--shots" || (allowOutput && (arg == "-o" || arg == "--output"));
            if (!own && !AcquisitionOptions::IsAcquisitionOption(arg)) {
                error = FillText(Tr("Nieznana opcja: %s."), {arg});
                return false;
            }
            const bool takesValue = own || AcquisitionOptions::TakesValue(arg);
            if (takesValue && i + 1 >= args.size()) {
                error = FillText(Tr("Brak wartości opcji %s."), {arg});
                return false;
            }
            const std::string value = takesValue ? args[++i] : std::string();
            if (arg == "--shots") {
                char* end = nullptr;
                const long shots = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || shots < 1 || shots > 1'000'000) {
                    error = FillText(Tr("Niepoprawna liczba strzałów: \"%s\" (co najmniej 1)."),
                                     {value});
                    return false;
                }
                out.Shots = static_cast<int>(shots);
            } else if (own) {
                out.Output = value;
            } else if (!out.Options.Take(arg, value, error)) {
                return false;
            }
        } else {
            out.Positional.push_back(arg);
        }
    }
    return true;
}

int Scope(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    std::string error;
    if (!ParseAcquisitionArgs(args, true, parsed, error)) {
        return UsageError(error);
    }
    if (!parsed.Positional.empty()) {
        return UsageError(FillText(Tr("Nieoczekiwany argument: %s."), {parsed.Positional.front()}));
    }
    SettingsRecord settings;
    CZefraKrgDoc doc;
    const int status = Acquire(doc, parsed.Options, settings, false, parsed.Shots);
    if (!parsed.Output.empty()) {
        if (doc.SampleCount[doc.CurrentSet.load()] == 0) {
            return Fail(Tr("Brak danych do zapisania: żaden strzał się nie zakończył."),
                        ExitFailed);
        }
        const FileResult saved = SaveDocument(doc, parsed.Output);
        if (!saved.Ok()) {
            return FileFailure(saved);
        }
    }
    return status;
}

int Record(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    std::string error;
    if (!ParseAcquisitionArgs(args, false, parsed, error)) {
        return UsageError(error);
    }
    if (parsed.Positional.size() != 1) {
        return UsageError(Tr("Podaj jeden plik wynikowy .kgd."));
    }
    // The file is written as the scans arrive: created (a folder that cannot take it fails)
    // before the card starts, made durable every second, in place once it holds a scan.
    SettingsRecord settings;
    CZefraKrgDoc doc;
    const int status = Acquire(doc, parsed.Options, settings, true, 0, parsed.Positional.front());
    if (status == ExitUsage) {
        return status;
    }
    if (doc.SampleCount[doc.CurrentSet.load()] == 0) {
        if (status == ExitOk) {
            std::fprintf(stderr, "%s\n", Tr("Nie zarejestrowano żadnych danych."));
        }
        return ExitFailed;
    }
    return status;
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return UsageError(Tr("Podaj jeden plik .kgd."));
    }
    if (args.front().size() > 1 && args.front()[0] == '-') {
        return UsageError(FillText(Tr("Nieznana opcja: %s."), {args.front()}));
    }
    CZefraKrgDoc doc;
    const FileResult opened = OpenDocument(doc, args.front());
    if (!opened.Ok()) {
        return FileFailure(opened);
    }
    for (const auto& line : RegisteredParamsTexts(doc)) {
        std::printf("%s\n", line.c_str());
    }
    return ExitOk;
}

}  // namespace
}  // namespace kresograf

int main(int argc, char** argv) {
    using namespace kresograf;
    InitTranslations(FindCatalogueRoot());
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args.front() == "--help" || args.front() == "-h") {
        std::fputs(Tr(Usage), args.empty() ? stderr : stdout);
        if (!args.empty()) {
            std::printf("\n%s\n%s", Tr("Wyjścia karty:"), Tr(OutputUsage));
        }
        return args.empty() ? ExitUsage : ExitOk;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "scope") {
        return Scope(args);
    }
    if (command == "record") {
        return Record(args);
    }
    if (command == "info") {
        return Info(args);
    }
    if (command == "export") {
        return ExportCommand(args);
    }
    if (command == "generate") {
        return GenerateCommand(args);
    }
    if (command == "formula") {
        return FormulaCommand(args);
    }
    if (command == "play") {
        return PlayCommand(args);
    }
    if (command == "measure") {
        return MeasureCommand(args);
    }
    if (command == "spectrum") {
        return SpectrumCommand(args);
    }
    return UsageError(FillText(Tr("Nieznane polecenie: %s."), {command}));
}
