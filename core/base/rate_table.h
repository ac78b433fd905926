#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kresograf {

struct RateEntry {
    uint32_t Frequency;
    uint32_t Divisor;
    uint32_t Prescaler;
};

inline constexpr std::size_t RateCount = 52;
// The row the output dialogs stop before: they offer rows 0..45 (no prescaling).
inline constexpr std::size_t UnprescaledRateCount = 46;
// A new document's rate: 1 000 Hz.
inline constexpr std::size_t DefaultRateRow = 26;

// The 52 sampling rates followed by a terminating row of zeros.
const std::array<RateEntry, RateCount + 1>& RateTable();

// Index of the row with this divisor and prescaler, or -1 when no row has them.
int FindRateRow(uint32_t divisor, uint32_t prescaler);

// "%d Hz" for a plain row, "1 / %d Hz" (period in whole seconds) for a prescaled one.
std::string RateLabel(const RateEntry& row);

}  // namespace kresograf
