#include <gtest/gtest.h>

#include "base/frame_link.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

class PlotChannels : public ::testing::Test {
  protected:
    // Channels 1, 2, 3 and 5 hold data (indices 0, 1, 2, 4).
    void SetUp() override {
        const auto ramp = testing::Ramp(10);
        testing::FillSet(doc, ramp, {ramp, ramp, ramp, {}, ramp});
        view.OnUpdate(HintInitial);
    }

    CZefraKrgDoc doc;
    SettingsRecord settings;
    PlotView view{doc, &settings};
};

TEST_F(PlotChannels, ItemStates) {
    EXPECT_EQ(view.ItemState(ChannelMenu::Active, 0), (ChannelItemState{true, true}));
    EXPECT_EQ(view.ItemState(ChannelMenu::RightAxis, 1), (ChannelItemState{true, true}));
    EXPECT_EQ(view.ItemState(ChannelMenu::Visibility, 3), (ChannelItemState{false, false}));
    // A hidden channel stays switchable but can be neither active nor on the right axis.
    view.ToggleChannel(2);
    EXPECT_EQ(view.ItemState(ChannelMenu::Visibility, 2), (ChannelItemState{true, false}));
    EXPECT_EQ(view.ItemState(ChannelMenu::Active, 2), (ChannelItemState{false, false}));
}

TEST_F(PlotChannels, ActiveAndRightChoices) {
    // Key 4 (channel without data): nothing happens.
    EXPECT_EQ(view.SetActiveChannel(3).Action, ViewAction::None);
    EXPECT_EQ(view.ActiveChannel, 0);
    // Key 3 with linked scales: channel 3 active, scales unlinked.
    view.ToggleLinkedScales();
    EXPECT_EQ(view.SetActiveChannel(2).Action, ViewAction::RenderAndRedraw);
    EXPECT_EQ(view.ActiveChannel, 2);
    EXPECT_EQ(view.LinkedScales, 0u);
    EXPECT_EQ(view.SetActiveChannel(2).Action, ViewAction::None);
    view.SetRightChannel(4);
    view.SwapChannels();
    EXPECT_EQ(view.ActiveChannel, 4);
    EXPECT_EQ(view.RightChannel, 2);
}

TEST_F(PlotChannels, HidingChannelsKeepsOneShown) {
    // 1 active and 2 right-axis, only those shown: hiding 1 makes 2 active (and right).
    view.ToggleChannel(2);
    view.ToggleChannel(4);
    view.Markers[0].Shown = 1;
    ViewResponse r = view.ToggleChannel(0);
    EXPECT_EQ(r.MarkerChannels, 0x01);
    EXPECT_EQ(view.Markers[0].Shown, 0u);
    EXPECT_EQ(view.ActiveChannel, 1);
    EXPECT_EQ(view.RightChannel, 1);
    // Hiding a right-axis channel that is not active hands the right axis to the active one.
    view.ToggleChannel(0);
    view.SetRightChannel(0);
    view.ToggleChannel(0);
    EXPECT_EQ(view.RightChannel, 1);
    // Active and right-axis at once with another channel shown: the lowest shown one with data
    // takes both (channel 4 has none although its switch is on).
    view.ToggleChannel(4);
    view.ToggleChannel(1);
    EXPECT_EQ(view.ActiveChannel, 4);
    EXPECT_EQ(view.RightChannel, 4);
    // The last shown channel cannot go.
    r = view.ToggleChannel(4);
    ASSERT_TRUE(r.Message.has_value());
    EXPECT_EQ(*r.Message,
              (UserMessage{"Informacja", "Przynajmniej jeden kanał musi pozostać aktywny",
                           MessageIcon::Exclamation}));
    EXPECT_EQ(view.ChannelVisible[4], 1u);
    EXPECT_EQ(view.ActiveChannel, 4);
}

TEST(ChannelMenuTexts, ItemsTitlesAndIds) {
    EXPECT_EQ(ChannelItemText(ChannelMenu::Visibility, 0), "Kanał &1");
    EXPECT_EQ(ChannelItemText(ChannelMenu::Active, 4), "Kanał &5\t5");
    EXPECT_EQ(ChannelItemText(ChannelMenu::RightAxis, 7), "Kanału &8\tCtrl+8");
    EXPECT_EQ(ChannelSubmenuTitle(ChannelMenu::Active), "&Ustaw jako aktywny ");
    EXPECT_EQ(ChannelSubmenuTitle(ChannelMenu::RightAxis), "Ustaw opis &prawej osi dla");
    EXPECT_EQ(ChannelCommandId(ChannelMenu::Visibility, 7), 32987u);
    EXPECT_EQ(ChannelCommandId(ChannelMenu::RightAxis, 3), 32883u);
}

}  // namespace
}  // namespace kresograf
