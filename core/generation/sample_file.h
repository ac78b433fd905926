#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "base/user_message.h"

namespace kresograf {

// The most values an output file gives; the rest of a longer file is ignored.
inline constexpr std::size_t MaxFileSamples = 120'000;

// Values for the analog output (volts) or the digital outputs (one bit pattern per value).
struct SampleFile {
    bool Digital = false;
    std::vector<float> Analog;
    std::vector<uint8_t> Bytes;
    std::size_t Count() const { return Digital ? Bytes.size() : Analog.size(); }
};

// Reads white-space separated values from in: decimal numbers for the analog output, hexadecimal
// numbers (with or without "0x") for the digital outputs, of which the low 8 bits count. Stops at
// the end, at the first text that is not a number of that form (a number may end in the middle
// of a word: "1.5abc" gives 1.5 and stops), or after MaxFileSamples values.
SampleFile ReadSamples(std::istream& in, bool digital);

// Reads a sample file. False with the message to show when it cannot be opened or holds no
// value that could be read.
bool ReadSampleFile(const std::string& path, bool digital, SampleFile& samples,
                    UserMessage& message);

// "Wyjście analogowe" or "Wyjście cyfrowe".
std::string OutputKindLabel(bool digital);
// "Odczytano poprawnie 3 danych."
std::string ReadCountLabel(std::size_t count);

}  // namespace kresograf
