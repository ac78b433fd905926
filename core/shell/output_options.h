#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/output_request.h"
#include "base/rate_table.h"
#include "document/file_result.h"
#include "generation/formula_output.h"
#include "generation/sample_file.h"
#include "generation/waveform_generator.h"
#include "shell/acquisition_options.h"

namespace kresograf {

enum class OutputCommand { Generate, Formula, Play };

// One of kresograf-cli's output commands as asked for: what to play, and whether to write the
// values to a file instead, or to watch the output with the oscilloscope, or to play until
// stopped. The acquisition options are those of "scope"; for formula and play, --rate is the
// output's rate and the oscilloscope's alike.
struct OutputCommandLine {
    OutputCommand Command = OutputCommand::Generate;
    GeneratorSettings Generator;
    // Inputs, weights, formula and coefficients; the gains and scales come from the settings.
    FormulaSettings Formula;
    std::string File;
    bool Digital = false;
    std::size_t RateRow = DefaultRateRow;
    std::string SamplesPath;
    int ScopeShots = 0;  // 0: no oscilloscope
    AcquisitionOptions Acquisition;
};

// Parses the arguments after the command's name. False with a Polish message when an argument
// is unknown, missing or out of range.
bool ParseOutputCommand(OutputCommand command, const std::vector<std::string>& args,
                        OutputCommandLine& line, std::string& error);

// A value in volts with two decimals, as the generator's sliders hold it, in hundredths.
// nullopt when the text is no number or lies outside lo..hi hundredths.
std::optional<int32_t> ParseHundredths(std::string_view text, int32_t lo, int32_t hi);

// The values an output command would send, one per line: volts with "%.9g" (they read back bit
// for bit), bytes in decimal.
std::string AnalogSamplesText(const std::vector<float>& samples);
std::string DigitalSamplesText(const std::vector<uint8_t>& samples);
// The formula request's fields, one per line as "Name value…".
std::string FormulaRequestText(const FormulaRequest& request);
// Writes text to path, replacing the file only once it is complete.
FileResult WriteTextFile(const std::string& path, const std::string& text);

}  // namespace kresograf
