// kresograf-cli's output commands: the generator, the formula output and the output from a file.

#include "output_commands.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>

#include "acquisition/acquisition_runner.h"
#include "base/settings_record.h"
#include "base/translation.h"
#include "card/card_factory.h"
#include "card/card_outputs.h"
#include "card/card_port.h"
#include "card/clock.h"
#include "cli_frame_link.h"
#include "document/zefra_krg_doc.h"
#include "shell/output_options.h"

namespace kresograf {

const char* const OutputUsage = N_(
    "  kresograf-cli generate sine|square|triangle [--frequency HZ] [--amplitude WOLTY]\n"
    "                [--offset WOLTY] [--param PROCENT] [wyjście]\n"
    "  kresograf-cli formula linear|ln|exp --sources N=WAGA[,N=WAGA…] [--a A] [--b B]\n"
    "                [--differential] [--rate HZ] [wyjście]\n"
    "  kresograf-cli play PLIK.dat [--digital] [--rate HZ] [wyjście]\n"
    "\n"
    "Wyjście (bez tych opcji generacja trwa do Ctrl+C):\n"
    "  --samples PLIK.txt     zapisuje wysyłane wartości (po jednej w wierszu), karta nietknięta\n"
    "  --scope N              uruchamia wyjście i wykonuje N strzałów oscyloskopu (z opcjami\n"
    "                         akwizycji jak w scope; dla formula i play --rate to też\n"
    "                         częstotliwość oscyloskopu)\n"
    "Generator: amplituda 0…4.99 V, składowa stała -4.99…4.99 V (co 0.01 V), częstotliwość\n"
    "0…10000 Hz, parametr 0…100 % (wypełnienie prostokąta, nachylenie trójkąta).\n"
    "Formula: kanały 1..8 z wagami (V/V); z --differential pary 1..4, pary spoza listy z wagą "
    "0.\n");

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

std::atomic<bool> Interrupted{false};

extern "C" void OnOutputInterrupt(int) {
    Interrupted = true;
}

int Fail(const std::string& message, int code) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return code;
}

int Fail(const UserMessage& message, int code) {
    return Fail(message.Title + ": " + message.Text, code);
}

// What one command sends: the analog samples, the digital bytes or the formula request.
struct Payload {
    std::vector<float> Analog;
    std::vector<uint8_t> Bytes;
    FormulaRequest Formula;
};

// Runs `shots` oscilloscope shots on the card while the output plays, printed as scope prints
// them. Ctrl+C ends them early.
int WatchWithScope(CZefraKrgDoc& doc, SettingsRecord& settings, CardPort& card, int shots) {
    CliFrameLink frame(doc, settings, shots);
    AcquisitionRunner runner(settings, card, frame);
    runner.ToggleOscilloscope(doc);
    bool stopAsked = false;
    while (runner.Busy()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (Interrupted.load() && !stopAsked) {
            stopAsked = true;
            doc.OscRunning = 0;
        }
    }
    runner.Join();
    return frame.Failed() ? ExitFailed : ExitOk;
}

int Run(OutputCommand command, const std::vector<std::string>& args) {
    OutputCommandLine line;
    std::string error;
    if (!ParseOutputCommand(command, args, line, error)) {
        return Fail(error + "\n\n" + Tr("Użycie:") + "\n" + Tr(OutputUsage), ExitUsage);
    }
    // The working block for --scope, and the gains the formula's weights depend on.
    SettingsRecord settings;
    AcquisitionParams params;
    TriggerParams trigger;
    if (!line.Acquisition.Finish(params, trigger, settings, error)) {
        return Fail(error, ExitUsage);
    }

    Payload payload;
    const uint32_t divisor = RateTable()[line.RateRow].Divisor;
    switch (command) {
        case OutputCommand::Generate:
            payload.Analog = GenerateWaveform(line.Generator);
            break;
        case OutputCommand::Formula: {
            line.Formula.ChannelScale = settings.ChannelScale;
            line.Formula.ChannelGain = settings.ChannelGain;
            UserMessage message;
            if (!BuildFormulaRequest(line.Formula, payload.Formula, message)) {
                return Fail(message, ExitFailed);
            }
            break;
        }
        case OutputCommand::Play: {
            SampleFile file;
            UserMessage message;
            if (!ReadSampleFile(line.File, line.Digital, file, message)) {
                return Fail(message, ExitFailed);
            }
            payload.Analog = std::move(file.Analog);
            payload.Bytes = std::move(file.Bytes);
            break;
        }
    }

    if (!line.SamplesPath.empty()) {
        const std::string text = command == OutputCommand::Formula
                                     ? FormulaRequestText(payload.Formula)
                                 : line.Digital ? DigitalSamplesText(payload.Bytes)
                                                : AnalogSamplesText(payload.Analog);
        const FileResult written = WriteTextFile(line.SamplesPath, text);
        if (!written.Ok()) {
            return written.Message ? Fail(*written.Message, ExitFailed) : ExitFailed;
        }
        return ExitOk;
    }

    SteadyClock clock;
    UserMessage openError;
    std::unique_ptr<PortIo> io = OpenCardIo(line.Acquisition.Card.Kind, settings, clock, openError);
    if (!io) {
        return Fail(openError, ExitFailed);
    }
    CardPort card(*io, clock);
    CardOutputs outputs(card);
    const uint32_t address = settings.PortAddress;
    int sent = CardOk;
    if (command == OutputCommand::Formula) {
        sent = outputs.PlayFormula(address, payload.Formula);
    } else if (command == OutputCommand::Generate) {
        sent = outputs.PlayAnalog(address,
                                  {GeneratorDivisor, GeneratorSamples, payload.Analog.data(), {}},
                                  AnalogOutput::Generator);
    } else if (line.Digital) {
        sent = outputs.PlayDigital(
            address,
            {divisor, static_cast<uint32_t>(payload.Bytes.size()), {}, payload.Bytes.data()});
    } else {
        sent = outputs.PlayAnalog(
            address,
            {divisor, static_cast<uint32_t>(payload.Analog.size()), payload.Analog.data(), {}},
            AnalogOutput::File);
    }
    if (sent != CardOk) {
        return Fail(OutputFailedMessage(), ExitFailed);
    }

    std::signal(SIGINT, OnOutputInterrupt);
    std::signal(SIGTERM, OnOutputInterrupt);
    int status = ExitOk;
    if (line.ScopeShots > 0) {
        CZefraKrgDoc doc;
        doc.SetWorking(params, trigger);
        status = WatchWithScope(doc, settings, card, line.ScopeShots);
    } else {
        std::fprintf(stderr, "%s\n", Tr("Generacja trwa. Ctrl+C kończy."));
        while (!Interrupted.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    // The program leaves the card's outputs at rest as it found them.
    if (outputs.Stop(address) != CardOk) {
        return Fail(OutputFailedMessage(), ExitFailed);
    }
    return status;
}

}  // namespace

int GenerateCommand(const std::vector<std::string>& args) {
    return Run(OutputCommand::Generate, args);
}

int FormulaCommand(const std::vector<std::string>& args) {
    return Run(OutputCommand::Formula, args);
}

int PlayCommand(const std::vector<std::string>& args) {
    return Run(OutputCommand::Play, args);
}

}  // namespace kresograf
