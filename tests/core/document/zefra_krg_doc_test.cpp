#include "document/zefra_krg_doc.h"
#include "document/registered_params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace kresograf {
namespace {

// The two linear passes the visible range has always been defined by: {first, last}.
std::pair<int32_t, int32_t> LinearVisibleRange(const std::vector<int32_t>& t, int32_t x1,
                                               int32_t x2) {
    const int32_t n = static_cast<int32_t>(t.size());
    if (n == 1) {
        const int32_t inside = (x1 <= t[0] && t[0] <= x2) ? 0 : -1;
        return {inside, inside};
    }
    int32_t first = -1;
    int32_t last = -1;
    for (int32_t k = 0, c = 0; k < n; ++k) {
        t[k] < x1 ? c = k : first = c;
    }
    for (int32_t k = n - 1, c = n - 1; k >= 0; --k) {
        t[k] > x2 ? c = k : last = c;
    }
    return {first, last};
}

TEST(DocumentTest, NewDocumentAndDeleteContents) {
    // A new document takes no sample memory until a shot needs it.
    CZefraKrgDoc doc;
    EXPECT_EQ(doc.SetCapacity(1), 0u);
    EXPECT_EQ(doc.ChannelPresent[1], (std::array<uint32_t, 8>{1, 1, 1, 1, 1, 1, 1, 1}));
    // Documents alive together differ even when made in the same second; none has the id 0.
    std::vector<std::unique_ptr<CZefraKrgDoc>> docs;
    std::set<uint32_t> ids = {0};
    for (int i = 0; i < 5; ++i) {
        docs.push_back(std::make_unique<CZefraKrgDoc>());
        EXPECT_TRUE(ids.insert(docs.back()->DocId).second);
    }

    ASSERT_TRUE(doc.ResizeSet(1, 300'000));
    doc.CurrentSet = 1;
    doc.SampleCount = {5, 7};
    doc.ChannelPresent[0].fill(0);
    doc.ChannelPresent[1].fill(0);
    doc.Params[1].Divisor = 84;
    doc.DeleteContents();
    // Set 0 shows again, empty, with every input; the registered block stays.
    EXPECT_EQ(std::tuple(doc.CurrentSet.load(), doc.SampleCount[0] + doc.SampleCount[1],
                         doc.ChannelPresent[0][4], doc.ChannelPresent[1][4], doc.SetCapacity(1),
                         doc.Params[1].Divisor),
              std::tuple(0u, 0u, 1u, 0u, 0u, 84u));
}

TEST(DocumentTest, ResizesOfTheArrays) {
    // Resizing keeps the prefix and reports a refused allocation.
    CZefraKrgDoc doc;
    ASSERT_TRUE(doc.ReserveShotSet(0));
    EXPECT_EQ(doc.SetCapacity(0), BaseCapacity);
    doc.Samples[0][2][199'999] = 42;
    ASSERT_TRUE(doc.ResizeSet(0, 500'000));
    EXPECT_EQ(doc.Samples[0][2][199'999], 42);
    EXPECT_EQ(doc.SetCapacity(0), 500'000u);
    int allowed = 3;
    doc.Allocation = [&](std::size_t) { return allowed-- > 0; };
    EXPECT_FALSE(doc.ResizeSet(1, 400'000));
    EXPECT_EQ(std::tuple(doc.Samples[1][2].Size(), doc.Samples[1][3].Size(), doc.SetCapacity(1)),
              std::tuple(400'000u, 0u, 0u));
    // A shot without the memory leaves nothing half-grown.
    allowed = 3;
    EXPECT_FALSE(doc.ReserveShotSet(1));
    EXPECT_EQ(doc.Samples[1][2].Size(), 0u);
}

TEST(DocumentTest, VisibleRangeMatchesTheLinearPasses) {
    CZefraKrgDoc doc;
    doc.ResizeSet(0, 64);
    std::mt19937 rng(7);
    auto uniform = [&](int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(rng);
    };
    // Empty and single-scan documents and windows between two scans come up often enough.
    for (int round = 0; round < 400; ++round) {
        std::vector<int32_t> t(static_cast<std::size_t>(uniform(0, 40)));
        int32_t v = uniform(-50, 50);
        for (std::size_t i = 0; i < t.size(); ++i) {
            v += uniform(0, 3);  // ties included
            t[i] = doc.ScanTime[0][i] = v;
        }
        doc.SampleCount[0] = static_cast<uint32_t>(t.size());
        for (int q = 0; q < 20; ++q) {
            const int32_t x1 = uniform(-80, 150);
            const int32_t x2 = uniform(-80, 150);
            std::pair<int32_t, int32_t> found;
            doc.FindVisibleRange(x1, x2, found.first, found.second);
            ASSERT_EQ(found, LinearVisibleRange(t, x1, x2)) << t.size() << " " << x1 << " " << x2;
        }
    }
}

TEST(DocumentTest, CommandStatesFollowTheToken) {
    CZefraKrgDoc a;
    CZefraKrgDoc b;
    a.SampleCount[0] = 10;
    b.SampleCount[0] = 10;
    EXPECT_EQ(a.QueryCommand(DocCommand::RegisteredParams, 0), (CommandState{true, false}));
    EXPECT_FALSE(CZefraKrgDoc().QueryCommand(DocCommand::RegisteredParams, 0).Enabled);

    // a acquires in oscilloscope mode.
    a.OscRunning = 1;
    const uint32_t token = a.DocId;
    EXPECT_EQ(a.QueryCommand(DocCommand::OscilloscopeStart, token), (CommandState{true, true}));
    EXPECT_EQ(a.QueryCommand(DocCommand::RecordingStart, token), (CommandState{false, false}));
    EXPECT_EQ(b.QueryCommand(DocCommand::RecordingStart, token), (CommandState{false, false}));
    for (DocCommand c :
         {DocCommand::Save, DocCommand::SaveAs, DocCommand::Print, DocCommand::ExportAscii,
          DocCommand::Generator, DocCommand::RegisteredParams}) {
        EXPECT_FALSE(a.QueryCommand(c, token).Enabled);
        EXPECT_TRUE(b.QueryCommand(c, token).Enabled);
    }
    EXPECT_EQ(a.CloseCheck(token),
              (UserMessage{"UWAGA", "Nie można zamknąć dokumentu - trwa akwizycja",
                           MessageIcon::Exclamation}));
    EXPECT_FALSE(b.CloseCheck(token).has_value());
    EXPECT_FALSE(a.CloseCheck(0).has_value());
}

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
