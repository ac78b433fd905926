#pragma once

#include <array>
#include <cstdint>

namespace kresograf {

// Trigger kinds and edges as the card and the files know them.
inline constexpr int8_t TriggerAnalog = 0;
inline constexpr int8_t TriggerDigital = 1;
inline constexpr int8_t EdgeRising = 0;
inline constexpr int8_t EdgeFalling = 1;
inline constexpr int8_t EdgeAutomatic = 2;

// The card's conversion clock in Hz.
inline constexpr uint32_t CardClockHz = 8'000'000;

// Bit 7 of a scan-list entry marks a high-gain input in the copy prepared for the card.
inline constexpr uint8_t HighGainFlag = 0x80;

// One acquisition's trigger. Copied by value together with its parameter block.
struct TriggerParams {
    int8_t Type = TriggerAnalog;
    int8_t Channel = 0;
    int8_t Edge = EdgeAutomatic;
    int16_t ThresholdCounts = 0;
    float ThresholdVolts = 0.0f;

    friend bool operator==(const TriggerParams&, const TriggerParams&) = default;
};

// One acquisition's description: a plain record, copied whole. The trigger that belongs to a
// block is kept beside it (the document holds Params[s] with Triggers[s]) and passed alongside,
// so a copy never needs re-pointing.
struct AcquisitionParams {
    uint32_t Divisor = 8000;
    uint32_t Prescaler = 1;
    int8_t ChannelCount = 1;
    int8_t SingleEnded = 1;
    std::array<int8_t, 8> Channels{};
    uint32_t TotalSamples = 1000;
    uint32_t Running = 0;

    friend bool operator==(const AcquisitionParams&, const AcquisitionParams&) = default;
};

// Acquisition duration in seconds: TotalSamples x Divisor / 8 000 000.
double AcquisitionDurationSeconds(const AcquisitionParams& params);

// Brings TotalSamples to the whole number of scans that best matches the given duration: a
// multiple of ChannelCount x 2 (ChannelCount x Prescaler when prescaling), at least one such unit.
// With no channel listed there is no unit, and TotalSamples keeps its previous value.
void RecomputeTotalSamples(AcquisitionParams& params, float durationSeconds);

}  // namespace kresograf
