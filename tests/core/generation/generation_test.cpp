#include "generation/formula_output.h"
#include "generation/sample_file.h"
#include "generation/waveform_generator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "document/file_test_support.h"

namespace kresograf {
namespace {

FormulaSettings Settings() {
    FormulaSettings s;
    s.ChannelScale.fill(1.0f / 4096.0f);
    s.Weights.fill("1.000000");
    return s;
}

TEST(FormulaOutputTest, SourcesWeightsGainCoefficientsRefusalsAndNumberFields) {
    FormulaSettings s = Settings();
    s.Active[1] = true;
    s.Active[4] = true;
    s.Weights[1] = std::string("2");
    s.Weights[4] = std::string(" 0.5");
    s.A = 2.5f;
    s.B = -0.25f;
    FormulaRequest r;
    UserMessage message;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(std::tie(r.SourceCount, r.Sources[0], r.Sources[1], r.CoefA, r.CoefB, r.Divisor),
              std::tuple(2, 1, 4, 2.5f, -0.25f, 8000u));
    // 2 x 10 / 4096 and 0.5 x 10 / 4096 V per code.
    EXPECT_EQ(std::tie(r.Weights[0], r.Weights[1]), std::tuple(0.0048828125f, 0.001220703125f));

    // Input 5 at x10: bit 7 set, its weight per code ten times smaller.
    s.ChannelGain[4] = 0x80;
    s.RateRow = 0;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(static_cast<uint8_t>(r.Sources[1]), 0x84);
    EXPECT_EQ(std::tie(r.Weights[1], r.Divisor), std::tuple(0.0001220703125f, 84u));  // 0.5 / 4096

    // Letters count as 0; a number followed by letters counts as the number.
    s.Weights[1] = std::string("abc");
    s.Weights[4] = std::string("-1e1V");
    s.ChannelGain[4] = 0;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(std::tie(r.Weights[0], r.Weights[1]), std::tuple(0.0f, -0.0244140625f));  // -10 x 10

    // Y = A exp(B X) goes to the card as sign(A) exp(ln |A| + B X): B scales the weights.
    s.Formula = FormulaExp;
    s.Active[4] = false;
    s.Weights[1] = std::string("2");
    s.A = -2.0f;
    s.B = 3.0f;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    // 2 x 10 / 4096 x 3 V per code, ln 2.
    EXPECT_EQ(std::tie(r.Formula, r.Weights[0], r.CoefA, r.CoefB),
              std::tuple(2, 0.0146484375f, 0.6931472f, -1.0f));
    s.A = 0.0f;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(std::tie(r.CoefA, r.CoefB), std::tuple(0.0f, 0.0f));

    // Refusals leave the request as it was.
    s = Settings();
    r.Divisor = 1234;
    EXPECT_FALSE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(message,
              (UserMessage{"Brak danych", "Żaden kanał nie został wybrany jako źródło danych.",
                           MessageIcon::Exclamation}));
    EXPECT_EQ(r.Divisor, 1234u);

    // Pair 3 (inputs 7 and 8) mixes gains: refused though no row is active.
    s.Differential = true;
    s.ChannelGain[6] = 0x80;
    EXPECT_FALSE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(message, (UserMessage{"Błąd konfiguracji",
                                    "Kanały tworzące parę różnicową posiadają różne wzmocnienie.",
                                    MessageIcon::Stop}));

    // All four pairs, each with its own weight; pair 1 at x10.
    s.ChannelGain = {0x80, 0x80, 0, 0, 0, 0, 0, 0};
    s.Weights[2] = std::string("4");
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    // Pair 1 weighs 1 / 4096 V per code, pair 3 4 x 10 / 4096.
    EXPECT_EQ(std::tie(r.SingleEnded, r.SourceCount, r.Sources[0], r.Sources[3]),
              std::tuple(0, 4, static_cast<int8_t>(0x80), 3));
    EXPECT_EQ(std::tie(r.Weights[0], r.Weights[2]), std::tuple(0.000244140625f, 0.009765625f));

    // A weight no float holds, typed or made by the exponential's B, is refused like A and B.
    r.Divisor = 1234;
    for (const auto& [weight, formula] :
         {std::pair{"1e50", FormulaLinear}, {"1e39", FormulaLinear}, {"1e30", FormulaExp}}) {
        s.Weights[1] = weight;
        s.Formula = formula;
        s.B = 1e30f;
        EXPECT_FALSE(BuildFormulaRequest(s, r, message)) << weight;
        EXPECT_EQ(message, (UserMessage{"Kresograf", "Wprowadź poprawną liczbę.",
                                        MessageIcon::Exclamation}));
    }
    EXPECT_EQ(r.Divisor, 1234u);

    EXPECT_EQ(LeadingNumber("  3.25e2x"), 325.0);
    EXPECT_EQ(LeadingNumber("1e"), 1.0);
    EXPECT_EQ(LeadingNumber("inf"), 0.0);
    float v = 9.0f;
    EXPECT_TRUE(ParseCoefficient("\t-1.5 ", v, message));
    EXPECT_EQ(v, -1.5f);
    for (const char* bad : {"", "1,5", "abc", "2 x", "1e39"}) {
        v = 9.0f;
        EXPECT_FALSE(ParseCoefficient(bad, v, message)) << bad;
        EXPECT_EQ(message.Text, "Wprowadź poprawną liczbę.");
        EXPECT_EQ(v, 9.0f);
    }
    EXPECT_EQ(ChannelRowLabel(2), "Kanał 3");
}

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

SampleFile Read(const std::string& text, bool digital) {
    std::istringstream in(text);
    return ReadSamples(in, digital);
}

TEST(SampleFileTest, FormsFilesLimitsAndMessages) {
    EXPECT_EQ(Read("1.5 -2\n3e-1\n", false).Analog, (std::vector<float>{1.5f, -2.0f, 0.3f}));
    EXPECT_EQ(ReadCountLabel(3), "Odczytano poprawnie 3 danych.");
    // Hexadecimal reading stops at the decimal point.
    EXPECT_EQ(Read("1.5 -2\n3e-1\n", true).Bytes, std::vector<uint8_t>{1});

    EXPECT_EQ(Read("ff\t100\r\n0x1F ABCDEF -1", true).Bytes,
              (std::vector<uint8_t>{0xFF, 0x00, 0x1F, 0xEF, 0xFF}));

    // A word first: nothing for the analog output, a number for the digital one.
    EXPECT_EQ(Read("Kanal1 1.0 2.0", false).Count(), 0u);
    EXPECT_EQ(Read("face 1", true).Bytes, (std::vector<uint8_t>{0xCE, 0x01}));

    filetest::TempFolder folder;
    const std::string big = folder.File("duzy.dat");
    {
        std::ofstream out(big);
        for (int i = 0; i < 150'000; ++i) {
            out << (i % 7) << '\n';
        }
    }
    SampleFile samples;
    UserMessage message;
    ASSERT_TRUE(ReadSampleFile(big, false, samples, message));
    EXPECT_EQ(samples.Count(), 120'000u);
    EXPECT_EQ(samples.Analog[119'999], 119'999 % 7);

    const std::string empty = folder.File("pusty.dat");
    std::ofstream(empty).close();
    EXPECT_FALSE(ReadSampleFile(empty, true, samples, message));
    EXPECT_EQ(message, (UserMessage{"Brak danych", "Brak poprawnie odczytanych danych.",
                                    MessageIcon::Exclamation}));

    for (const std::string& path : {folder.File("brak.dat"), folder.Path.string()}) {
        EXPECT_FALSE(ReadSampleFile(path, false, samples, message));
        EXPECT_EQ(message,
                  (UserMessage{"Błąd pliku", "Błąd podczas próby otwarcia pliku do odczytu.",
                               MessageIcon::Stop}));
    }
}

}  // namespace
}  // namespace kresograf
