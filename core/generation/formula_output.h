#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/output_request.h"
#include "base/user_message.h"

namespace kresograf {

enum FormulaKind : int8_t { FormulaLinear = 0, FormulaLog = 1, FormulaExp = 2 };

// Rows of the sources table: eight inputs, or four differential pairs.
inline constexpr int SingleEndedRows = 8;
inline constexpr int DifferentialRows = 4;

// What the formula dialog holds when Start is pressed. Weights are the cells' texts as typed,
// in volts per volt; ChannelScale and ChannelGain are the program's settings per input.
struct FormulaSettings {
    int8_t Formula = FormulaLinear;
    float A = 1.0f;
    float B = 1.0f;
    bool Differential = false;
    std::array<bool, 8> Active{};
    std::array<std::string, 8> Weights{};
    std::size_t RateRow = 26;
    std::array<float, 8> ChannelScale{};
    std::array<uint8_t, 8> ChannelGain{};
};

// The request the card evaluates: weights per raw input code (the exponential's B folded into
// them), the ×10 inputs marked with bit 7 and their weights divided by 10, the exponential's A
// as ln|A| with its sign in B. False with the message to show when a differential pair mixes
// gains or no input was chosen.
bool BuildFormulaRequest(const FormulaSettings& settings, FormulaRequest& request,
                         UserMessage& message);

// A weight cell's text as a number: the longest leading decimal number, blanks before it
// allowed; text without one counts as 0.
double LeadingNumber(std::string_view text);
// A coefficient field: a decimal number with blanks or tabs around it, nothing else. False
// with the message to show otherwise.
bool ParseCoefficient(std::string_view text, float& value, UserMessage& message);

// The weight cell's first text: "1.000000".
std::string DefaultWeightText();
// "Kanał 3" for row 2.
std::string ChannelRowLabel(int row);

}  // namespace kresograf
