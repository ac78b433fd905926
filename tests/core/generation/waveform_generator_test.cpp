#include "generation/waveform_generator.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kresograf {
namespace {

std::vector<float> Wave(int32_t shape, uint32_t f, int32_t a, int32_t o, int32_t param) {
    return GenerateWaveform({shape, f, a, o, param});
}

TEST(WaveformGeneratorTest, FrequencyOrAmplitudeZeroAndTheShapes) {
    // A = 2 V, O = 0.5 V.
    const auto sine = Wave(WaveSine, 0, 200, 50, 0);
    ASSERT_EQ(sine.size(), 80'000u);
    EXPECT_EQ(sine[0], 0.5f);
    const auto square = Wave(WaveSquare, 0, 200, 50, 100);
    EXPECT_EQ(std::tie(square[0], square[79'999]), std::tuple(-1.5f, -1.5f));
    // One ramp over the whole buffer: step 4 / 79 999 V.
    const auto triangle = Wave(WaveTriangle, 0, 200, 50, 50);
    EXPECT_EQ(triangle[0], -1.5f);
    EXPECT_FLOAT_EQ(triangle[1], -1.5f + 4.0f / 79'999.0f);
    EXPECT_FLOAT_EQ(triangle[40'000], 0.5f + 2.0f / 79'999.0f);
    EXPECT_EQ(triangle[79'999], 2.5f);

    for (int32_t shape : {WaveSine, WaveSquare, WaveTriangle}) {
        const auto flat = Wave(shape, 1000, 0, -120, 30);
        for (uint32_t i : {0u, 1u, 39u, 40u, 12'345u, 79'999u}) {
            EXPECT_EQ(flat[i], -1.2f) << shape << " " << i;
        }
    }

    const auto half = Wave(WaveSquare, 1000, 100, 0, 50);
    for (uint32_t p : {0u, 80u, 79'920u}) {
        EXPECT_EQ(std::tie(half[p], half[p + 39], half[p + 40], half[p + 79]),
                  std::tuple(-1.0f, -1.0f, 1.0f, 1.0f));
    }
    // At 100 % only the last sample of each period is high, at 0 % only the first is low.
    const auto full = Wave(WaveSquare, 1000, 100, 0, 100);
    EXPECT_EQ(std::tie(full[78], full[79]), std::tuple(-1.0f, 1.0f));
    const auto none = Wave(WaveSquare, 1000, 100, 0, 0);
    EXPECT_EQ(std::tie(none[80], none[81]), std::tuple(-1.0f, 1.0f));

    // Rising 0..39 in steps of 2/39 V, falling 40..79 from 0.95 V in steps of 0.05 V, then
    // rising again from -0.95 V.
    const auto tri = Wave(WaveTriangle, 1000, 100, 0, 50);
    EXPECT_EQ(std::tie(tri[0], tri[39], tri[79], tri[79'999]),
              std::tuple(-1.0f, 1.0f, -1.0f, -1.0f));
    EXPECT_FLOAT_EQ(tri[1], -1.0f + 2.0f / 39.0f);
    EXPECT_FLOAT_EQ(tri[40], 0.95f);
    EXPECT_FLOAT_EQ(tri[80], -0.95f);
    EXPECT_FLOAT_EQ(tri[79'960], 0.95f);

    // At 10 kHz, eight samples per period; with Param 50 the threshold is 30 000: phases 0,
    // 10 000, 20 000 and 30 000 are low.
    const auto fast = Wave(WaveSquare, 10'000, 250, 0, 50);
    const float expected[] = {-2.5f, -2.5f, -2.5f, -2.5f, 2.5f, 2.5f, 2.5f, 2.5f};
    for (uint32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(fast[i], expected[i % 8]) << i;
    }
    const auto quick = Wave(WaveSine, 10'000, 100, 0, 0);
    EXPECT_FLOAT_EQ(quick[2], 1.0f);
    EXPECT_FLOAT_EQ(quick[6], -1.0f);
}

TEST(WaveformGeneratorTest, LabelsAndFrequencyField) {
    EXPECT_EQ(AmplitudeLabel(250), "Amplituda: 2.50 V");
    EXPECT_EQ(OffsetLabel(-499), "Składowa stała: -4.99 V");
    EXPECT_EQ(OffsetLabel(0, true), "Skladowa stała: 0.00 V");
    EXPECT_EQ(ParamLabel(WaveSquare, 30), "Wypełnienie: 30 %");
    EXPECT_EQ(ParamLabel(WaveTriangle, 100), "Nachylenie: 100 %");
    EXPECT_FALSE(ParamLabel(WaveSine, 10).has_value());

    uint32_t f = 7;
    UserMessage message;
    EXPECT_TRUE(ParseFrequency(" 10000 ", f, message) && f == 10'000u);
    EXPECT_TRUE(ParseFrequency("0", f, message) && f == 0u);
    for (const char* bad : {"", "-1", "12a", "1.5", "99999999999"}) {
        f = 7;
        EXPECT_FALSE(ParseFrequency(bad, f, message)) << bad;
        EXPECT_EQ(message.Text, "Proszę wprowadzić dodatnią liczbę całkowitą.");
        EXPECT_EQ(f, 7u);
    }
    EXPECT_FALSE(ParseFrequency("10001", f, message));
    EXPECT_EQ(message.Text, "Wprowadź liczbę całkowitą z przedziału od 0 do 10000.");
}

}  // namespace
}  // namespace kresograf
