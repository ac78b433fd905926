#include "generation/waveform_generator.h"

#include <charconv>
#include <cmath>

#include "base/fixed_format.h"
#include "base/translation.h"
#include "generation/generation_texts.h"

namespace kresograf {
namespace {

constexpr double TwoPi = 6.2831853072;
constexpr double SamplesPerSecond = 80000.0;

// Phase and threshold of the square and the triangle, in unsigned 32-bit arithmetic: a sample
// is low while its phase does not exceed the threshold.
struct Steps {
    uint32_t Frequency;
    uint32_t Threshold;
    bool Low(uint32_t i) const { return (i * Frequency) % GeneratorSamples <= Threshold; }
};

Steps SquareSteps(const GeneratorSettings& s) {
    const uint32_t threshold =
        ((GeneratorSamples - 2 * s.Frequency) * static_cast<uint32_t>(s.Param)) / 100;
    return {s.Frequency, threshold};
}

// A run of +-1 samples from first to last becomes a ramp ending at the opposite level.
void Rescale(std::vector<float>& s, uint32_t first, uint32_t last, uint32_t previousEnd, double a,
             double o) {
    const double n = static_cast<double>(last - previousEnd);
    for (uint32_t j = first; j <= last; ++j) {
        const double k = static_cast<double>(j - previousEnd);
        s[j] = static_cast<float>(static_cast<double>(s[j]) * (a - (2.0 * a / n) * k));
        s[j] = static_cast<float>(static_cast<double>(s[j]) + o);
    }
}

}  // namespace

std::vector<float> GenerateWaveform(const GeneratorSettings& settings) {
    const double a = settings.Amplitude / 100.0;
    const double o = settings.Offset / 100.0;
    const double f = settings.Frequency;
    std::vector<float> s;
    switch (settings.Shape) {
        case WaveSine:
            s.resize(GeneratorSamples);
            for (uint32_t i = 0; i < GeneratorSamples; ++i) {
                s[i] = static_cast<float>(a * std::sin(f * TwoPi * i / SamplesPerSecond));
                s[i] = static_cast<float>(static_cast<double>(s[i]) + o);
            }
            break;
        case WaveSquare: {
            s.resize(GeneratorSamples);
            const Steps steps = SquareSteps(settings);
            for (uint32_t i = 0; i < GeneratorSamples; ++i) {
                s[i] = steps.Low(i) ? static_cast<float>(-a) : static_cast<float>(a);
                s[i] = static_cast<float>(static_cast<double>(s[i]) + o);
            }
            break;
        }
        case WaveTriangle: {
            s.resize(GeneratorSamples);
            const Steps steps = SquareSteps(settings);
            s[0] = -1.0f;
            uint32_t last = 0;
            for (uint32_t i = 1; i < GeneratorSamples; ++i) {
                s[i] = steps.Low(i) ? -1.0f : 1.0f;
                if (s[i] * s[i - 1] < 0.0f) {
                    Rescale(s, last + 1, i - 1, last, a, o);
                    last = i - 1;
                }
            }
            Rescale(s, last + 1, GeneratorSamples - 1, last, a, o);
            s[0] = static_cast<float>(-a + o);
            break;
        }
        default:
            break;
    }
    return s;
}

std::string AmplitudeLabel(int32_t hundredths) {
    return FillText(Tr("Amplituda: %s V"), {FormatFixed(hundredths / 100.0, 2)});
}

std::string OffsetLabel(int32_t hundredths, bool initial) {
    return FillText(initial ? Tr("Skladowa stała: %s V") : Tr("Składowa stała: %s V"),
                    {FormatFixed(hundredths / 100.0, 2)});
}

std::optional<std::string> ParamLabel(int32_t shape, int32_t param) {
    if (shape == WaveSquare) {
        return FillText(Tr("Wypełnienie: %s %%"), {std::to_string(param)});
    }
    if (shape == WaveTriangle) {
        return FillText(Tr("Nachylenie: %s %%"), {std::to_string(param)});
    }
    return std::nullopt;
}

UserMessage UnsignedRangeMessage(uint32_t lo, uint32_t hi) {
    return {texts::ValidationTitle,
            FillText(Tr("Wprowadź liczbę całkowitą z przedziału od %s do %s."),
                     {std::to_string(lo), std::to_string(hi)}),
            MessageIcon::Exclamation};
}

bool ParseFrequency(std::string_view text, uint32_t& frequency, UserMessage& message) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        message = {texts::ValidationTitle, Tr(texts::NotUnsignedText), MessageIcon::Exclamation};
        return false;
    }
    if (value > MaxGeneratorFrequency) {
        message = UnsignedRangeMessage(0, MaxGeneratorFrequency);
        return false;
    }
    frequency = value;
    return true;
}

}  // namespace kresograf
