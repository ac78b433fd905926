#include "document/registered_params.h"

#include <gtest/gtest.h>

namespace kresograf {
namespace {

AcquisitionParams Block(uint32_t divisor, uint32_t prescaler, int8_t channels,
                        uint32_t totalSamples) {
    AcquisitionParams params;
    params.Divisor = divisor;
    params.Prescaler = prescaler;
    params.ChannelCount = channels;
    params.TotalSamples = totalSamples;
    return params;
}

TEST(RegisteredParamsTest, LinesOfTableRates) {
    TriggerParams automatic;
    automatic.Type = TriggerDigital;
    automatic.Channel = 3;
    automatic.ThresholdVolts = 2.0f;
    const std::array<std::string, 9> expected = {
        "Czas akwizycji: 998.00 ms",
        "Częstotliwość próbkowania: 1000 Hz",
        "Częstotliwość próbkowania na kanał: 1000 Hz",
        "Liczba aktywnych kanałów: 1",
        "Wyzwalanie automatyczne",
        "Kanał: -",
        "Zbocze: -",
        "Próg: -",
        "Rozmiar pliku: 4378 bajtów",
    };
    EXPECT_EQ(RegisteredParamsTexts(1000, Block(8000, 1, 1, 1000), automatic), expected);

    struct Case {
        uint32_t Count;
        AcquisitionParams Params;
        std::size_t Line;
        const char* Text;
    };
    for (const Case& c : {
             Case{10, Block(84, 1, 3, 1000), LineChannelRate,
                  "Częstotliwość próbkowania na kanał: 31667 Hz"},
             Case{10, Block(84, 1, 3, 1000), LineFileSize, "Rozmiar pliku: 498 bajtów"},
             // 4 500 Hz / 8 = 562.5: halves go up.
             Case{1, Block(1778, 1, 8, 2), LineChannelRate,
                  "Częstotliwość próbkowania na kanał: 563 Hz"},
             Case{5, Block(160000, 500, 2, 4), LineRate, "Częstotliwość próbkowania: 1 / 10 Hz"},
             Case{5, Block(160000, 500, 2, 4), LineChannelRate,
                  "Częstotliwość próbkowania na kanał: 1 / 20 Hz"},
             // (4 - 2) x 160 000 / 8 000 000 x 500 = 20 s.
             Case{5, Block(160000, 500, 2, 4), LineDuration, "Czas akwizycji: 20.00 s"},
             Case{5, Block(8000, 1, 1, 120'002), LineDuration, "Czas akwizycji: 2.00 min"},
             Case{5, Block(8000, 1, 1, 1'002), LineDuration, "Czas akwizycji: 1.00 s"},
             Case{5, Block(8000, 1, 1, 59'992), LineDuration, "Czas akwizycji: 59.99 s"},
             // Sizes beyond 2 GB are counted, not wrapped.
             Case{300'000'000, Block(84, 1, 8, 1000), LineFileSize,
                  "Rozmiar pliku: 9600000378 bajtów"},
         }) {
        EXPECT_EQ(RegisteredParamsTexts(c.Count, c.Params, automatic)[c.Line], c.Text);
    }
}

TEST(RegisteredParamsTest, TriggerLines) {
    TriggerParams digital;
    digital.Type = TriggerDigital;
    digital.Channel = 4;
    digital.Edge = EdgeFalling;
    digital.ThresholdVolts = 1.25f;
    TriggerParams analog;
    analog.Type = TriggerAnalog;
    analog.Channel = 0;
    analog.Edge = EdgeRising;
    analog.ThresholdVolts = -0.5f;
    const auto digitalLines = RegisteredParamsTexts(1, Block(8000, 1, 1, 10), digital);
    const auto analogLines = RegisteredParamsTexts(1, Block(8000, 1, 1, 10), analog);
    EXPECT_EQ(std::vector(digitalLines.begin() + LineTriggerType, digitalLines.end() - 1),
              (std::vector<std::string>{"Wyzwalanie cyfrowe", "Kanał: 5", "Zbocze: opadające",
                                        "Próg: 1.250 V"}));
    EXPECT_EQ(std::vector(analogLines.begin() + LineTriggerType, analogLines.end() - 1),
              (std::vector<std::string>{"Wyzwalanie analogowe", "Kanał: 1", "Zbocze: narastające",
                                        "Próg: -0.500 V"}));
}

TEST(RegisteredParamsTest, BlocksNoAcquisitionMakes) {
    const TriggerParams automatic;
    // A pair outside the table: the rates come from the pair itself, 8 MHz / 100 = 80 kHz.
    auto lines = RegisteredParamsTexts(2, Block(100, 1, 3, 8002), automatic);
    EXPECT_EQ(lines[LineDuration], "Czas akwizycji: 100.00 ms");
    EXPECT_EQ(lines[LineRate], "Częstotliwość próbkowania: 80000 Hz");
    EXPECT_EQ(lines[LineChannelRate], "Częstotliwość próbkowania na kanał: 26667 Hz");
    // Below one hertz the period is shown: 8 MHz / (160 000 x 3 000) = 1 / 60 Hz.
    lines = RegisteredParamsTexts(2, Block(160000, 3000, 2, 3), automatic);
    EXPECT_EQ(lines[LineRate], "Częstotliwość próbkowania: 1 / 60 Hz");
    EXPECT_EQ(lines[LineChannelRate], "Częstotliwość próbkowania na kanał: 1 / 120 Hz");
    EXPECT_EQ(lines[LineDuration], "Czas akwizycji: 1.00 min");
    for (const auto& block : {Block(0, 1, 1, 1000), Block(8000, 0, 1, 1000)}) {
        lines = RegisteredParamsTexts(2, block, automatic);
        EXPECT_EQ(lines[LineDuration], "Czas akwizycji: 0.00 ms");
        EXPECT_EQ(lines[LineRate], "Częstotliwość próbkowania: -");
        EXPECT_EQ(lines[LineChannelRate], "Częstotliwość próbkowania na kanał: -");
    }

    lines = RegisteredParamsTexts(7, Block(8000, 1, 0, 1000), automatic);
    EXPECT_EQ(lines[LineChannelRate], "Częstotliwość próbkowania na kanał: -");
    EXPECT_EQ(lines[LineChannelCount], "Liczba aktywnych kanałów: 0");
    EXPECT_EQ(lines[LineFileSize], "Rozmiar pliku: 378 bajtów");
    lines = RegisteredParamsTexts(7, Block(160000, 500, -2, 1000), automatic);
    EXPECT_EQ(lines[LineChannelRate], "Częstotliwość próbkowania na kanał: -");
    EXPECT_EQ(lines[LineFileSize], "Rozmiar pliku: -");

    for (uint32_t total : {0u, 1u, 2u}) {
        EXPECT_EQ(RegisteredParamsTexts(1, Block(8000, 1, 1, total), automatic)[LineDuration],
                  "Czas akwizycji: 0.00 ms");
    }
}

TEST(RegisteredParamsTest, DocumentUsesTheRegisteredBlock) {
    CZefraKrgDoc doc;
    doc.CurrentSet = 1;
    doc.SampleCount = {5, 1000};
    doc.Params[0] = Block(84, 1, 8, 1);
    doc.Register(Block(8000, 1, 1, 1000), TriggerParams{});
    EXPECT_EQ(RegisteredParamsTexts(doc)[LineDuration], "Czas akwizycji: 998.00 ms");
    EXPECT_EQ(RegisteredParamsTexts(doc)[LineFileSize], "Rozmiar pliku: 4378 bajtów");
    doc.CurrentSet = 0;
    EXPECT_EQ(RegisteredParamsTexts(doc)[LineFileSize], "Rozmiar pliku: 398 bajtów");
}

}  // namespace
}  // namespace kresograf
