#include "document/registered_params.h"

#include <gtest/gtest.h>

namespace kresograf {
namespace {

AcquisitionParams Block(uint32_t divisor, uint32_t prescaler, int8_t channels, uint32_t total) {
    return {.Divisor = divisor,
            .Prescaler = prescaler,
            .ChannelCount = channels,
            .TotalSamples = total};
}

TEST(RegisteredParamsTest, AllLinesOfATableRateAndTheTriggerLines) {
    // A digital trigger marked automatic shows dashes whatever else it holds.
    const TriggerParams automatic{TriggerDigital, 3, EdgeAutomatic, 0, 2.0f};
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

    const TriggerParams digital{TriggerDigital, 4, EdgeFalling, 0, 1.25f};
    const TriggerParams analog{TriggerAnalog, 0, EdgeRising, 0, -0.5f};
    const auto digitalLines = RegisteredParamsTexts(1, Block(8000, 1, 1, 10), digital);
    const auto analogLines = RegisteredParamsTexts(1, Block(8000, 1, 1, 10), analog);
    EXPECT_EQ(std::vector(digitalLines.begin() + LineTriggerType, digitalLines.end() - 1),
              (std::vector<std::string>{"Wyzwalanie cyfrowe", "Kanał: 5", "Zbocze: opadające",
                                        "Próg: 1.250 V"}));
    EXPECT_EQ(std::vector(analogLines.begin() + LineTriggerType, analogLines.end() - 1),
              (std::vector<std::string>{"Wyzwalanie analogowe", "Kanał: 1", "Zbocze: narastające",
                                        "Próg: -0.500 V"}));
}

TEST(RegisteredParamsTest, SingleLinesAndTheDocumentsRegisteredBlock) {
    struct Case {
        uint32_t Count;
        AcquisitionParams Params;
        std::size_t Line;
        const char* Text;
    };
    const Case cases[] = {
        {10, Block(84, 1, 3, 1000), LineChannelRate,
         "Częstotliwość próbkowania na kanał: 31667 Hz"},
        // 4 500 Hz / 8 = 562.5: halves go up.
        {1, Block(1778, 1, 8, 2), LineChannelRate, "Częstotliwość próbkowania na kanał: 563 Hz"},
        {5, Block(160000, 500, 2, 4), LineRate, "Częstotliwość próbkowania: 1 / 10 Hz"},
        // 12 s at 1 / 2 Hz: TotalSamples counts conversions, (600 - 2) x 160 000 / 8 000 000.
        {5, Block(160000, 100, 2, 600), LineDuration, "Czas akwizycji: 11.96 s"},
        {5, Block(8000, 1, 1, 120'002), LineDuration, "Czas akwizycji: 2.00 min"},
        {5, Block(8000, 1, 1, 59'992), LineDuration, "Czas akwizycji: 59.99 s"},
        // Sizes beyond 2 GB are counted, not wrapped.
        {300'000'000, Block(84, 1, 8, 1000), LineFileSize, "Rozmiar pliku: 9600000378 bajtów"},
        // A pair outside the table: the rate comes from the pair itself, 8 MHz / 100 = 80 kHz.
        {2, Block(100, 1, 3, 8002), LineRate, "Częstotliwość próbkowania: 80000 Hz"},
        // Below one hertz the period is shown: 8 MHz / (160 000 x 3 000) = 1 / 60 Hz.
        {2, Block(160000, 3000, 2, 3), LineRate, "Częstotliwość próbkowania: 1 / 60 Hz"},
        // No clock, no inputs or fewer than two samples: nothing to divide by.
        {2, Block(0, 1, 1, 1000), LineRate, "Częstotliwość próbkowania: -"},
        {2, Block(8000, 0, 1, 1000), LineRate, "Częstotliwość próbkowania: -"},
        {7, Block(8000, 1, 0, 1000), LineChannelRate, "Częstotliwość próbkowania na kanał: -"},
        {7, Block(160000, 500, -2, 1000), LineFileSize, "Rozmiar pliku: -"},
        {1, Block(8000, 1, 1, 1), LineDuration, "Czas akwizycji: 0.00 ms"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RegisteredParamsTexts(c.Count, c.Params, TriggerParams{})[c.Line], c.Text);
    }

    // A document shows its registered block with the shown set's count.
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
