#include "acquisition/params_pages.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/scan_list.h"

namespace kresograf {
namespace {

TEST(ParamsPagesTest, LoadShowsRateDurationAndChannels) {
    GeneralPage page;
    AcquisitionParams p;  // a new document's block
    ASSERT_TRUE(LoadGeneral(page, p));
    EXPECT_EQ(std::tie(page.RateSelection, page.RateText, page.DurationText),
              std::tuple(26, "1000 Hz", "1.00 s"));
    EXPECT_EQ(page.Active,
              (std::vector<bool>{true, false, false, false, false, false, false, false}));

    // 95 000 Hz, three inputs, 1 s: 95 238 conversions read back just under a second.
    p = ScanList({0, 1, 2}, 84, 95238);
    LoadGeneral(page, p);
    EXPECT_EQ(page.DurationText, "1000.00 ms");

    // Longer than 2^32 conversion-divisor products: 1 / 30 Hz for 10 000 scans of one input.
    p = ScanList({0}, 160000, 15'000'000);
    p.Prescaler = 1500;
    LoadGeneral(page, p);
    EXPECT_EQ(std::tie(page.DurationText, page.RateText), std::tuple("5000.00 min", "1 / 30 Hz"));

    // A pair from elsewhere: nothing selected, its own rate shown.
    p = ScanList({1}, 4000);
    p.Prescaler = 3;
    LoadGeneral(page, p);
    EXPECT_EQ(std::tie(page.RateIndex, page.RateText), std::tuple(-1, "667 Hz"));

    // Differential with a channel that has no row: ignored. A running block keeps the edits.
    p = PairList({0, 6, 3});
    p.Running = 1;
    page.RateSelection = 5;
    EXPECT_FALSE(LoadGeneral(page, p));
    EXPECT_EQ(page.Active, (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(std::tie(page.RateSelection, page.RateText), std::tuple(5, "1000 Hz"));
}

TEST(ParamsPagesTest, RateAndDurationSetTheTotal) {
    GeneralPage page;
    AcquisitionParams p;
    TriggerParams t;
    LoadGeneral(page, p);
    page.RateSelection = 24;  // 2000 Hz, one input
    ApplyRate(page, p);
    EXPECT_EQ(std::tie(p.Divisor, p.TotalSamples), std::tuple(4000u, 2000u));

    page.Active = {true, true, true, false, false, false, false, false};
    ChannelsToggled(page, p, t);
    page.RateSelection = 0;  // 95 000 Hz, three inputs, 1 s
    ApplyRate(page, p);
    EXPECT_EQ(p.TotalSamples, 95238u);

    // 1000 Hz, three inputs: unit 6. 9 conversions go down to 6, 10 up to 12, 500 ms to 498.
    page.RateSelection = 26;
    ApplyRate(page, p);
    page.Unit = 0;
    const std::pair<float, uint32_t> cases[] = {{9.0f, 6}, {10.0f, 12}, {500.0f, 498},
                                                {0.0f, 6}, {-5.0f, 6},  {1e12f, 4294967292u}};
    for (auto [ms, total] : cases) {
        ApplyDuration(page, p, ms);
        EXPECT_EQ(p.TotalSamples, total) << ms;
    }
    ApplyDuration(page, p, 500.0f);
    EXPECT_EQ(page.DurationText, "500.00 ms");
    // A refused number: the previous value in the unit now chosen.
    page.Unit = 1;
    ApplyDuration(page, p, std::nullopt);
    EXPECT_EQ(std::tie(page.DurationText, p.TotalSamples), std::tuple("8.33 min", 499998u));

    // 1 / 10 Hz with two inputs: the unit is 1 000 conversions.
    page.Active = {true, true, false, false, false, false, false, false};
    ChannelsToggled(page, p, t);
    page.RateSelection = 50;
    ApplyDuration(page, p, 1.0f);
    ApplyRate(page, p);
    EXPECT_EQ(std::tie(page.RateText, p.TotalSamples), std::tuple("1 / 10 Hz", 1000u));
}

TEST(ParamsPagesTest, ChannelsDifferentialAndTheTriggerRule) {
    GeneralPage page;
    AcquisitionParams p = ScanList({0, 5, 6});
    TriggerParams t{TriggerAnalog, 5, EdgeRising};
    LoadGeneral(page, p);
    SetDifferential(page, p, t, true);
    EXPECT_EQ(p.ChannelCount, 1);
    EXPECT_EQ(t.Edge, EdgeAutomatic);
    SetDifferential(page, p, t, false);
    EXPECT_EQ(page.Active,
              (std::vector<bool>{true, false, false, false, false, false, false, false}));

    page.Active[3] = true;
    ChannelsToggled(page, p, t);
    t.Channel = 3;
    t.Edge = EdgeFalling;
    page.Active[3] = false;
    ChannelsToggled(page, p, t);
    EXPECT_EQ(t.Edge, EdgeAutomatic);

    // The store writes mode, applied rate, list and total; the list's selection is not applied.
    page.Active = {false, true, false, false, false, false, false, true};
    page.RateIndex = 24;
    page.RateSelection = 3;
    page.DurationSeconds = 0.5f;
    t.Type = TriggerDigital;
    t.Edge = EdgeRising;
    StoreGeneral(page, p, t);
    EXPECT_EQ(p, ScanList({1, 7}, 4000, 1000));
    EXPECT_EQ(t.Edge, EdgeRising);
    // No channel: the total stays.
    page.Active.assign(8, false);
    page.DurationSeconds = 3.0f;
    StoreGeneral(page, p, t);
    EXPECT_EQ(p.TotalSamples, 1000u);
}

TEST(ParamsPagesTest, TriggerPageAndEditNumbers) {
    TriggerPage page;
    AcquisitionParams p = ScanList({1, 4});
    // Input 3 is not listed: the trigger turns automatic on channel 2's item.
    TriggerParams t{TriggerAnalog, 3, EdgeRising, 0, 2.37f};
    LoadTrigger(page, p, t);
    EXPECT_EQ(std::tie(t.Edge, t.Channel, page.SliderPos), std::tuple(EdgeAutomatic, 1, 737));
    ASSERT_EQ(page.Channels.size(), 2u);
    EXPECT_FALSE(page.TypeEnabled || page.ChannelEnabled || page.SliderEnabled);
    EXPECT_TRUE(page.EdgeEnabled);

    TriggerEdgeChosen(page, t, EdgeFalling);
    EXPECT_TRUE(page.TypeEnabled && page.ChannelEnabled && page.SliderEnabled);
    TriggerChannelChosen(page, t, 1);
    EXPECT_EQ(t.Channel, 4);
    TriggerTypeChosen(page, p, t, TriggerDigital);
    EXPECT_EQ(t.Channel, 0);
    EXPECT_FALSE(page.SliderEnabled);

    const std::pair<int, const char*> slider[] = {{0, "-5.000"}, {1000, "5.000"}, {737, "2.370"}};
    for (auto [position, text] : slider) {
        TriggerSliderMoved(page, t, position);
        EXPECT_EQ(FormatEditValue(t.ThresholdVolts), text);
    }

    p.Running = 1;
    LoadTrigger(page, p, t);
    EXPECT_FALSE(page.EdgeEnabled || page.TypeEnabled || page.ChannelEnabled || page.SliderEnabled);

    EXPECT_EQ(ParseEditValue(" \t1.5 \t"), 1.5f);
    for (const char* refused : {"", "  ", "abc", "1.5x", "1,5", ".0", "1e99", "nan", "- 1"}) {
        EXPECT_EQ(ParseEditValue(refused), std::nullopt) << refused;
    }
    EXPECT_EQ(NotANumberMessage().Text, "Wprowadź poprawną liczbę.");
}

}  // namespace
}  // namespace kresograf
