#pragma once

#include <array>
#include <cstdint>

namespace kresograf {

// Samples for the card's analog (float volts, code 3) or digital (bytes, code 5) output.
struct OutputRequest {
    uint32_t Divisor = 0;
    uint32_t Count = 0;
    const float* AnalogSamples = nullptr;     // code 3
    const uint8_t* DigitalSamples = nullptr;  // code 5
};

// The card computes its analog output from weighted inputs (code 4). Only the first SourceCount
// entries of Sources and Weights count.
struct FormulaRequest {
    uint32_t Divisor = 0;
    int8_t SourceCount = 0;
    int8_t SingleEnded = 1;
    std::array<int8_t, 8> Sources{};
    int8_t Formula = 0;
    std::array<float, 8> Weights{};
    float CoefA = 0.0f;
    float CoefB = 0.0f;
};

}  // namespace kresograf
