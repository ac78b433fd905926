#include "generation/sample_file.h"

#include <filesystem>
#include <fstream>
#include <string_view>

#include "base/translation.h"
#include "generation/decimal_scan.h"
#include "generation/generation_texts.h"

namespace kresograf {
namespace {

// Longer words are no number anyone writes; reading stops at them.
constexpr std::size_t MaxWord = 4096;

bool Space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The next white-space separated word, empty at the end of the input.
std::string NextWord(std::istream& in) {
    std::streambuf& buffer = *in.rdbuf();
    int c = buffer.sgetc();
    while (c != std::char_traits<char>::eof() && Space(c)) {
        c = buffer.snextc();
    }
    std::string word;
    while (c != std::char_traits<char>::eof() && !Space(c) && word.size() <= MaxWord) {
        word.push_back(static_cast<char>(c));
        c = buffer.snextc();
    }
    return word;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A hexadecimal number at the start of text: its length (0 = none) and its low 8 bits.
std::size_t HexPrefix(std::string_view text, uint8_t& low) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigit(text[i + 2]) >= 0) {
        i += 2;
    }
    const std::size_t first = i;
    unsigned value = 0;
    while (i < text.size() && HexDigit(text[i]) >= 0) {
        value = (value * 16 + static_cast<unsigned>(HexDigit(text[i]))) & 0xFF;
        ++i;
    }
    if (i == first) {
        return 0;
    }
    low = static_cast<uint8_t>(negative ? (256 - value) & 0xFF : value);
    return i;
}

}  // namespace

SampleFile ReadSamples(std::istream& in, bool digital) {
    SampleFile samples;
    samples.Digital = digital;
    while (samples.Count() < MaxFileSamples) {
        const std::string word = NextWord(in);
        if (word.empty() || word.size() > MaxWord) {
            break;
        }
        std::string_view rest = word;
        while (!rest.empty() && samples.Count() < MaxFileSamples) {
            std::size_t length = 0;
            if (digital) {
                uint8_t value = 0;
                length = HexPrefix(rest, value);
                if (length > 0) {
                    samples.Bytes.push_back(value);
                }
            } else {
                length = DecimalPrefix(rest);
                if (length > 0) {
                    samples.Analog.push_back(static_cast<float>(DecimalValue(rest, length)));
                }
            }
            if (length == 0) {
                return samples;
            }
            rest.remove_prefix(length);
        }
    }
    return samples;
}

bool ReadSampleFile(const std::string& path, bool digital, SampleFile& samples,
                    UserMessage& message) {
    std::error_code error;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, error)) {
        in.open(path);
    }
    if (!in.is_open()) {
        message = {Tr(texts::FileErrorTitle), Tr(texts::FileOpenErrorText), MessageIcon::Stop};
        return false;
    }
    SampleFile read = ReadSamples(in, digital);
    if (read.Count() == 0) {
        message = {Tr(texts::NoDataTitle), Tr(texts::NoSamplesText), MessageIcon::Exclamation};
        return false;
    }
    samples = std::move(read);
    return true;
}

std::string OutputKindLabel(bool digital) {
    return Tr(digital ? texts::DigitalKind : texts::AnalogKind);
}

std::string ReadCountLabel(std::size_t count) {
    return FillText(Tr("Odczytano poprawnie %s danych."), {std::to_string(count)});
}

}  // namespace kresograf
