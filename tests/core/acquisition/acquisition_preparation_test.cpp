#include "acquisition/acquisition_preparation.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace kresograf
