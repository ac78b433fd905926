#pragma once

#include <cstdint>

namespace kresograf {

// Volts per stored sample unit: 1/4096 V (bit pattern 0x39800000).
inline constexpr float DefaultChannelScale = 1.0f / 4096.0f;
// Stored samples never leave +-327680 units (+-80 V at the default scale).
inline constexpr int32_t StoredLimit = 327680;

// A 12-bit two's-complement card count (bits 0..11 of a data word), sign-extended.
constexpr int16_t SignExtend12(uint16_t word) {
    const int16_t low = static_cast<int16_t>(word & 0x0FFF);
    return static_cast<int16_t>((low & 0x0800) != 0 ? low - 0x1000 : low);
}

// A card count in the stored unit: the count itself at gain x10, ten times it at gain x1.
constexpr int32_t StoreCount(int16_t count, bool highGain) {
    return highGain ? count : count * 10;
}

// Threshold volts in card counts at gain x1, truncated toward zero into 16 bits.
int16_t ThresholdToCounts(float volts, float channelScale);

}  // namespace kresograf
