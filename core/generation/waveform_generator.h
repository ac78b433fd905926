#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/user_message.h"

namespace kresograf {

enum Waveform : int32_t { WaveSine = 0, WaveSquare = 1, WaveTriangle = 2 };

// One second of signal at 80 000 samples per second.
inline constexpr uint32_t GeneratorSamples = 80'000;
// The card is given the 80 000 Hz row (8 000 000 / 100), so the frequency typed is the
// frequency played.
inline constexpr uint32_t GeneratorDivisor = 100;
inline constexpr uint32_t MaxGeneratorFrequency = 10'000;
// Slider ranges, in hundredths of a volt and in percent.
inline constexpr int32_t MaxAmplitude = 499;
inline constexpr int32_t MaxOffset = 499;
inline constexpr int32_t MaxParam = 100;

// The generator's settings as the dialog holds them: amplitude and offset in hundredths of a
// volt, frequency in Hz, the square's duty or the triangle's slope in percent.
struct GeneratorSettings {
    int32_t Shape = WaveSine;
    uint32_t Frequency = 1000;
    int32_t Amplitude = 0;
    int32_t Offset = 0;
    int32_t Param = 0;
};

// The 80 000 samples in volts. Each period of the square and the triangle starts with its low
// part; Param sets the low (rising) share. An unknown shape gives an empty buffer.
std::vector<float> GenerateWaveform(const GeneratorSettings& settings);

// "Amplituda: 2.50 V".
std::string AmplitudeLabel(int32_t hundredths);
// "Składowa stała: -4.99 V"; the dialog's very first text is spelled "Skladowa".
std::string OffsetLabel(int32_t hundredths, bool initial = false);
// "Wypełnienie: 50 %" for a square, "Nachylenie: 50 %" for a triangle, nothing for a sine.
std::optional<std::string> ParamLabel(int32_t shape, int32_t param);

// The frequency field as typed: a non-negative integer, blanks around it allowed, at most
// 10 000. False with the message to show otherwise.
bool ParseFrequency(std::string_view text, uint32_t& frequency, UserMessage& message);
// The message of an unsigned field outside lo..hi.
UserMessage UnsignedRangeMessage(uint32_t lo, uint32_t hi);

}  // namespace kresograf
