#include "shell/output_options.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "base/rate_table.h"
#include "base/translation.h"
#include "document/byte_stream.h"

namespace kresograf {
namespace {

// Joins texts by appending: GCC 12 warns falsely on "text" + std::string.
std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

std::string Quoted(std::string_view text) {
    return Cat({"\"", text, "\""});
}

bool ParseInt(std::string_view text, long long& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool TakeShape(std::string_view name, int32_t& shape) {
    if (name == "sine") {
        shape = WaveSine;
    } else if (name == "square") {
        shape = WaveSquare;
    } else if (name == "triangle") {
        shape = WaveTriangle;
    } else {
        return false;
    }
    return true;
}

bool TakeFormula(std::string_view name, int8_t& formula) {
    if (name == "linear") {
        formula = FormulaLinear;
    } else if (name == "ln") {
        formula = FormulaLog;
    } else if (name == "exp") {
        formula = FormulaExp;
    } else {
        return false;
    }
    return true;
}

// "N=WEIGHT,N=WEIGHT": inputs 1..8, or pairs 1..4 in differential work.
bool TakeSources(std::string_view list, bool differential, FormulaSettings& formula,
                 std::string& error) {
    const int rows = differential ? DifferentialRows : SingleEndedRows;
    formula.Active.fill(false);
    // Pairs are all sources in differential work; those not listed add nothing.
    formula.Weights.fill(differential ? "0" : DefaultWeightText());
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string_view item = list.substr(start, end - start);
        const std::size_t equals = item.find('=');
        long long row = 0;
        float weight = 0.0f;
        UserMessage unused;
        if (equals == std::string_view::npos || !ParseInt(item.substr(0, equals), row) || row < 1 ||
            row > rows || !ParseCoefficient(item.substr(equals + 1), weight, unused)) {
            error = FillText(
                differential ? Tr("Niepoprawne źródła: \"%s\" (pary 1..4 z wagami, np. 1=0.5,2=1).")
                             : Tr("Niepoprawne źródła: \"%s\" (kanały 1..8 z wagami, np. "
                                  "2=2,5=0.5)."),
                {list});
            return false;
        }
        formula.Active[row - 1] = true;
        formula.Weights[row - 1] = std::string(item.substr(equals + 1));
        start = end + 1;
    }
    return true;
}

bool TakeOutputRate(std::string_view value, std::size_t& row, std::string& error) {
    const std::optional<std::size_t> found = ParseRate(value);
    if (!found || *found >= UnprescaledRateCount) {
        error = FillText(Tr("Niepoprawna częstotliwość wyjścia: \"%s\" (95000 … 50 Hz z tabeli)."),
                         {value});
        return false;
    }
    row = *found;
    return true;
}

}  // namespace

std::optional<int32_t> ParseHundredths(std::string_view text, int32_t lo, int32_t hi) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    const double hundredths = std::round(value * 100.0);
    if (hundredths < lo || hundredths > hi) {
        return std::nullopt;
    }
    return static_cast<int32_t>(hundredths);
}

bool ParseOutputCommand(OutputCommand command, const std::vector<std::string>& args,
                        OutputCommandLine& line, std::string& error) {
    line.Command = command;
    std::vector<std::string> positional;
    std::optional<std::string> sources;
    std::optional<std::string> rate;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--digital" && command == OutputCommand::Play) {
            line.Digital = true;
            continue;
        }
        if (arg == "--differential" && command == OutputCommand::Formula) {
            // The formula's pairs; the oscilloscope then scans single inputs.
            line.Formula.Differential = true;
            continue;
        }
        const bool generator =
            command == OutputCommand::Generate &&
            (arg == "--frequency" || arg == "--amplitude" || arg == "--offset" || arg == "--param");
        const bool formula = command == OutputCommand::Formula &&
                             (arg == "--a" || arg == "--b" || arg == "--sources");
        const bool own = generator || formula || arg == "--samples" || arg == "--scope";
        if (!own && !AcquisitionOptions::IsAcquisitionOption(arg)) {
            error = FillText(Tr("Nieznana opcja: %s."), {arg});
            return false;
        }
        if (!own && !AcquisitionOptions::TakesValue(arg)) {
            if (!line.Acquisition.Take(arg, "", error)) {
                return false;
            }
            continue;
        }
        if (i + 1 >= args.size()) {
            error = FillText(Tr("Brak wartości opcji %s."), {arg});
            return false;
        }
        const std::string& value = args[++i];
        UserMessage message;
        if (arg == "--frequency") {
            if (!ParseFrequency(value, line.Generator.Frequency, message)) {
                error = message.Text;
                return false;
            }
        } else if (arg == "--amplitude" || arg == "--offset") {
            const bool amplitude = arg == "--amplitude";
            const auto hundredths = amplitude ? ParseHundredths(value, 0, MaxAmplitude)
                                              : ParseHundredths(value, -MaxOffset, MaxOffset);
            if (!hundredths) {
                error = FillText(
                    amplitude ? Tr("Niepoprawna amplituda: \"%s\" (od 0.00 do 4.99 V co 0.01 V).")
                              : Tr("Niepoprawna składowa stała: \"%s\" (od -4.99 do 4.99 V co "
                                   "0.01 V)."),
                    {value});
                return false;
            }
            (amplitude ? line.Generator.Amplitude : line.Generator.Offset) = *hundredths;
        } else if (arg == "--param") {
            long long percent = 0;
            if (!ParseInt(value, percent) || percent < 0 || percent > MaxParam) {
                error = FillText(Tr("Niepoprawny parametr: \"%s\" (od 0 do 100 %%)."), {value});
                return false;
            }
            line.Generator.Param = static_cast<int32_t>(percent);
        } else if (arg == "--a" || arg == "--b") {
            if (!ParseCoefficient(value, arg == "--a" ? line.Formula.A : line.Formula.B, message)) {
                error = Cat({message.Text, " (", arg, " ", Quoted(value), ")"});
                return false;
            }
        } else if (arg == "--sources") {
            sources = value;
        } else if (arg == "--samples") {
            line.SamplesPath = value;
        } else if (arg == "--scope") {
            long long shots = 0;
            if (!ParseInt(value, shots) || shots < 1 || shots > 1'000'000) {
                error =
                    FillText(Tr("Niepoprawna liczba strzałów: \"%s\" (co najmniej 1)."), {value});
                return false;
            }
            line.ScopeShots = static_cast<int>(shots);
        } else {
            if (arg == "--rate" && command != OutputCommand::Generate) {
                // The output's rate, which the oscilloscope then shares.
                if (!TakeOutputRate(value, line.RateRow, error)) {
                    return false;
                }
            }
            if (!line.Acquisition.Take(arg, value, error)) {
                return false;
            }
        }
    }

    if (positional.size() != 1) {
        error = command == OutputCommand::Generate
                    ? Tr("Podaj kształt: sine, square albo triangle.")
                : command == OutputCommand::Formula ? Tr("Podaj wzór: linear, ln albo exp.")
                                                    : Tr("Podaj jeden plik z próbkami.");
        return false;
    }
    if (command == OutputCommand::Generate && !TakeShape(positional[0], line.Generator.Shape)) {
        error = FillText(Tr("Nieznany kształt: \"%s\" (sine, square, triangle)."), {positional[0]});
        return false;
    }
    if (command == OutputCommand::Formula) {
        if (!TakeFormula(positional[0], line.Formula.Formula)) {
            error = FillText(Tr("Nieznany wzór: \"%s\" (linear, ln, exp)."), {positional[0]});
            return false;
        }
        if (!sources) {
            error = Tr("Podaj źródła: --sources N=WAGA[,N=WAGA…].");
            return false;
        }
        if (!TakeSources(*sources, line.Formula.Differential, line.Formula, error)) {
            return false;
        }
        line.Formula.RateRow = line.RateRow;
    }
    if (command == OutputCommand::Play) {
        line.File = positional[0];
    }
    if (!line.SamplesPath.empty() && line.ScopeShots > 0) {
        error = Tr("Opcje --samples i --scope wykluczają się.");
        return false;
    }
    return true;
}

std::string AnalogSamplesText(const std::vector<float>& samples) {
    std::string text;
    text.reserve(samples.size() * 14);
    char buffer[32];
    for (float v : samples) {
        const int n = std::snprintf(buffer, sizeof buffer, "%.9g\n", static_cast<double>(v));
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

std::string DigitalSamplesText(const std::vector<uint8_t>& samples) {
    std::string text;
    text.reserve(samples.size() * 4);
    for (uint8_t b : samples) {
        text += std::to_string(b);
        text += '\n';
    }
    return text;
}

std::string FormulaRequestText(const FormulaRequest& request) {
    char buffer[32];
    auto real = [&](float v) {
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
        return std::string(buffer);
    };
    std::string sources;
    std::string weights;
    for (int i = 0; i < request.SourceCount; ++i) {
        sources.append(Cat({" ", std::to_string(static_cast<uint8_t>(request.Sources[i]))}));
        weights.append(Cat({" ", real(request.Weights[i])}));
    }
    return Cat({"Divisor ", std::to_string(request.Divisor), "\nSourceCount ",
                std::to_string(request.SourceCount), "\nSingleEnded ",
                std::to_string(request.SingleEnded), "\nSources", sources, "\nFormula ",
                std::to_string(request.Formula), "\nWeights", weights, "\nCoefA ",
                real(request.CoefA), "\nCoefB ", real(request.CoefB), "\n"});
}

FileResult WriteTextFile(const std::string& path, const std::string& text) {
    ReplacingFile file(path);
    if (const int error = file.Open()) {
        return WriteFailure(error);
    }
    if (!file.Write(text.data(), text.size())) {
        return WriteFailure(file.Error());
    }
    if (const int error = file.Commit()) {
        return WriteFailure(error);
    }
    return {};
}

}  // namespace kresograf
