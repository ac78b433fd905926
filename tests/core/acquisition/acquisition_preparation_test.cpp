#include "acquisition/acquisition_preparation.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "acquisition/params_pages.h"
#include "base/settings_record.h"
#include "support/scan_list.h"

namespace kresograf {
namespace {

// The scan list as unsigned entries, gain flag included.
std::vector<int> Entries(const AcquisitionParams& p) {
    std::vector<int> entries;
    for (int i = 0; i < p.ChannelCount; ++i) {
        entries.push_back(static_cast<uint8_t>(p.Channels[i]));
    }
    return entries;
}

// The empty scan list and unequal pair gains, with their messages, are checked by the modes' tests.
TEST(AcquisitionPreparationTest, RefusalsAndTheShotLimit) {
    SettingsRecord settings;
    PreparedAcquisition out;
    TriggerParams trigger;
    settings.ChannelGain[2] = 0x80;  // pair 1 is inputs 2 and 3; single-ended they are fine
    EXPECT_EQ(PrepareAcquisition(ScanList({2, 3}), trigger, settings, true, out),
              PrepareResult::Ok);
    // Channels outside the inputs never reach the card.
    for (const AcquisitionParams& p :
         {ScanList({0, 8}), PairList({4}), ScanList({-1}), PairList({0, 1, 2, 3, 0})}) {
        EXPECT_EQ(PrepareAcquisition(p, trigger, settings, true, out), PrepareResult::BadChannel);
    }
    AcquisitionParams noRate = ScanList({0});
    noRate.Prescaler = 0;
    EXPECT_EQ(PrepareAcquisition(noRate, trigger, settings, true, out), PrepareResult::BadRate);

    // Shots are limited to the base arrays; recordings grow them.
    AcquisitionParams p = ScanList({0, 1, 2}, 8000, 900'000);
    ASSERT_EQ(PrepareAcquisition(p, TriggerParams{}, settings, true, out), PrepareResult::Ok);
    EXPECT_EQ(out.Card.TotalSamples, 600'000u);
    EXPECT_EQ(out.Registered.TotalSamples, 600'000u);
    ASSERT_EQ(PrepareAcquisition(p, TriggerParams{}, settings, false, out), PrepareResult::Ok);
    EXPECT_EQ(out.Card.TotalSamples, 900'000u);
    p.TotalSamples = 600'002;  // 200 000 scans and a part: not more than 200 000
    ASSERT_EQ(PrepareAcquisition(p, TriggerParams{}, settings, true, out), PrepareResult::Ok);
    EXPECT_EQ(out.Card.TotalSamples, 600'002u);
}

TEST(AcquisitionPreparationTest, GainFlagsThresholdAndTriggerFirst) {
    SettingsRecord settings;
    settings.ChannelGain[4] = 0x80;
    settings.ChannelGain[5] = 0x80;
    settings.ChannelGain[3] = 0x81;
    TriggerParams trigger{TriggerAnalog, 5, EdgeRising, 0, -1.0f};
    AcquisitionParams working = ScanList({0, 3, 5});
    working.Running = 1;
    PreparedAcquisition out;
    ASSERT_EQ(PrepareAcquisition(working, trigger, settings, true, out), PrepareResult::Ok);
    // {0, 3, 5} with the trigger on input 5 becomes {5, 0, 3}, gain flags kept with their inputs.
    EXPECT_EQ(Entries(out.Card), (std::vector<int>{0x85, 0x00, 0x83}));
    EXPECT_EQ(out.CardTrigger, (TriggerParams{TriggerAnalog, 0, EdgeRising, -409, -1.0f}));
    // The registered block is the one started with: no flags, no reordering, not running.
    EXPECT_EQ(out.Registered, ScanList({0, 3, 5}));
    EXPECT_EQ(out.RegisteredTrigger, (TriggerParams{TriggerAnalog, 5, EdgeRising, -409, -1.0f}));

    // The trigger on the first input leaves the order.
    trigger.Channel = 0;
    ASSERT_EQ(PrepareAcquisition(working, trigger, settings, true, out), PrepareResult::Ok);
    EXPECT_EQ(Entries(out.Card), (std::vector<int>{0x00, 0x83, 0x85}));

    // Digital triggers and automatic edges leave the scan order as entered.
    trigger.Channel = 5;
    trigger.Type = TriggerDigital;
    ASSERT_EQ(PrepareAcquisition(working, trigger, settings, true, out), PrepareResult::Ok);
    EXPECT_EQ(out.Card.Channels[0], 0);
    EXPECT_EQ(out.CardTrigger.Channel, 5);
    trigger.Type = TriggerAnalog;
    trigger.Edge = EdgeAutomatic;
    ASSERT_EQ(PrepareAcquisition(working, trigger, settings, true, out), PrepareResult::Ok);
    EXPECT_EQ(out.Card.Channels[0], 0);

    // An analog trigger on an input that is not scanned runs as automatic.
    trigger.Edge = EdgeFalling;
    trigger.Channel = 6;
    ASSERT_EQ(PrepareAcquisition(working, trigger, settings, true, out), PrepareResult::Ok);
    EXPECT_EQ(out.CardTrigger.Edge, EdgeAutomatic);
    EXPECT_EQ(out.RegisteredTrigger.Edge, EdgeAutomatic);

    // Differential pair 2 with both gains high: entry 2 becomes 0x82.
    AcquisitionParams pairs = PairList({2});
    ASSERT_EQ(PrepareAcquisition(pairs, TriggerParams{}, settings, true, out), PrepareResult::Ok);
    EXPECT_EQ(Entries(out.Card), (std::vector<int>{0x82}));
}

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
