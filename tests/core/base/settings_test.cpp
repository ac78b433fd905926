#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "base/frame_link.h"
#include "base/rate_table.h"
#include "base/sample_units.h"
#include "base/settings_record.h"
#include "base/settings_store.h"
#include "base/translation.h"

namespace kresograf {
namespace {

TEST(SettingsTest, EmptyStoreGivesDefaultsReadInOrder) {
    MemorySettingsStore store;
    SettingsRecord s;
    s.Load(store);
    EXPECT_EQ(std::tie(s.PortAddress, s.NegateOnPrint, s.GridColor),
              std::tuple(256u, 1u, 0x606060u));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(s.ChannelGain[i], 0);
        uint32_t bits = 0;
        std::memcpy(&bits, &s.ChannelScale[i], 4);
        EXPECT_EQ(bits, 0x39800000u);
    }
    const std::vector<std::string> order = {
        "App/NegColor",   "App/Color0", "App/Color1", "App/Color2", "App/Color3",
        "App/Color4",     "App/Color5", "App/Color6", "App/Color7", "App/ColorN",
        "Device/Address", "Device/CH0", "Device/CH1", "Device/CH2", "Device/CH3",
        "Device/CH4",     "Device/CH5", "Device/CH6", "Device/CH7"};
    EXPECT_EQ(store.Reads, order);
    EXPECT_TRUE(store.Writes.empty());
}

TEST(SettingsTest, GainsKeepLowByteAndSavingWritesEveryKeyRead) {
    MemorySettingsStore store;
    store.Values[{"Device", "CH3"}] = 0x1FF;
    store.Values[{"Device", "Address"}] = 0x300;
    store.Values[{"App", "Color2"}] = 0x123456;
    SettingsRecord s;
    s.Load(store);
    EXPECT_EQ(std::tuple(s.ChannelGain[3], s.HighGain(3), s.HighGain(2), s.PortAddress,
                         s.ChannelColors[2]),
              std::tuple(0xFF, true, false, 0x300u, 0x123456u));

    // Saving writes back every key loading reads, and no other.
    s.Save(store);
    auto sorted = [](std::vector<std::string> keys) {
        std::sort(keys.begin(), keys.end());
        return keys;
    };
    EXPECT_EQ(sorted(store.Writes), sorted(store.Reads));
    EXPECT_EQ((store.Values[{"Device", "CH3"}]), 0xFFu);
}

TEST(SettingsTest, UnitsThresholdsStatusTextsAndTextFilling) {
    EXPECT_EQ(ThresholdToCounts(1.0f, DefaultChannelScale), 409);
    EXPECT_EQ(ThresholdToCounts(-1.0f, DefaultChannelScale), -409);  // toward zero
    EXPECT_EQ(ThresholdToCounts(1e30f, DefaultChannelScale), -1);    // low 16 bits of INT32_MAX
    EXPECT_EQ(SignExtend12(0x1FFF), -1);
    EXPECT_EQ(SignExtend12(0x0800), -2048);
    EXPECT_EQ(SignExtend12(0x07FF), 2047);
    EXPECT_EQ(StoreCount(-1, true), -1);
    EXPECT_EQ(StoreCount(-1, false), -10);

    EXPECT_EQ(StatusText(1), "Wyzwalanie w toku");
    EXPECT_EQ(StatusText(2), "Transmisja w toku");
    EXPECT_EQ(StatusText(3), "Akwizycja i transmisja w toku");
    EXPECT_EQ(StatusText(4), "Akwizycja w toku");
    EXPECT_EQ(StatusText(5), "Nie wybrano żadnego kanału");

    // A translation may put the values in another order.
    EXPECT_EQ(FillText("%2$s of channel %1$s", {"3", "Markers"}), "Markers of channel 3");
    EXPECT_EQ(FillText("Wypełnienie: %s %%", {"50"}), "Wypełnienie: 50 %");
    // A placeholder without its value is left out; a lone or unknown one stays as written.
    EXPECT_EQ(FillText("%s and %s", {"a"}), "a and ");
    EXPECT_EQ(FillText("100 % %d %", {}), "100 % %d %");
}

TEST(RateTableTest, RowsDivisorsAndLabels) {
    const auto& t = RateTable();
    // 8 MHz / 90 000 Hz = 88.89 rounds up, / 4 500 Hz = 1777.78 too (the first row's 84.21
    // rounds down: a compile-time check of the table).
    EXPECT_EQ(std::tie(t[1].Divisor, t[19].Divisor), std::tuple(89u, 1'778u));
    // The slow rows between the first and the last take the same branch with the table's values.
    EXPECT_EQ(std::tuple(RateLabel(t[0]), RateLabel(t[46]), RateLabel(t[51])),
              std::tuple("95000 Hz", "1 / 1 Hz", "1 / 30 Hz"));
    EXPECT_EQ(std::tie(t[52].Frequency, t[52].Prescaler), std::tuple(0u, 0u));
    EXPECT_EQ(FindRateRow(8000, 1), 26);
    EXPECT_EQ(FindRateRow(160'000, 500), 50);
    EXPECT_EQ(FindRateRow(160'000, 7), -1);
    EXPECT_EQ(FindRateRow(0, 0), -1);  // the terminating row is not a rate
}

}  // namespace
}  // namespace kresograf
