#include "view/plot_view.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/frame_link.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FillSet;
using testing::FixedMeasure;
using testing::Ramp;
using testing::Range;
using testing::XRange;
using testing::YRange;

// The active channel and the right axis's.
Range Channels(const PlotView& view) {
    return {view.ActiveChannel, view.RightChannel};
}

std::vector<std::vector<int32_t>> Present(std::initializer_list<int> channels, int32_t n) {
    std::vector<std::vector<int32_t>> values(8);
    for (int c : channels) {
        values[static_cast<std::size_t>(c)] = std::vector<int32_t>(static_cast<std::size_t>(n), c);
    }
    return values;
}

TEST(PlotViewLinks, ChannelChoiceIsRepairedWithOneCounter) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    PlotView view(doc, &settings);

    struct Case {
        int Active, Right;
        std::initializer_list<int> Present;
        int ExpectActive, ExpectRight;
    };
    const Case cases[] = {
        // Both absent: active takes 2, the right search goes on from 3 and finds 5.
        {0, 1, {2, 5}, 2, 5},
        // Active present, right absent: the right search starts at 0 and may pick the active.
        {4, 6, {4, 7}, 4, 4},
        // Only one channel past the active one: nothing left for the right axis, it follows.
        {0, 1, {6}, 6, 6},
        // Nothing present: both stay.
        {3, 5, {}, 3, 5}};
    for (const Case& c : cases) {
        view.ActiveChannel = c.Active;
        view.RightChannel = c.Right;
        FillSet(doc, Ramp(3), Present(c.Present, 3));
        view.RefreshDocumentLinks();
        EXPECT_EQ(Channels(view), (Range{c.ExpectActive, c.ExpectRight}));
    }
    // The view follows the set the document shows.
    doc.CurrentSet = 1;
    view.RefreshDocumentLinks();
    EXPECT_EQ(view.LinkedSet(), 1u);
}

TEST(PlotViewUpdate, HintsSetWindowScalesMarkersAndHistory) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    PlotView view(doc, &settings);

    // Empty document: markers at 0 on every channel.
    EXPECT_EQ(view.OnUpdate(HintInitial).MarkerChannels, 0xFF);

    // Flat trace at 1000 with the previous range -500 .. 500: 500 .. 1500.
    const std::vector<std::vector<int32_t>> values = {std::vector<int32_t>(50, 1000), Ramp(50, -3)};
    FillSet(doc, Ramp(50, 10), values);
    view.OnUpdate(HintReset);
    EXPECT_EQ(view.XEnd, 490);
    EXPECT_EQ(YRange(view, 0), (Range{500, 1500}));
    EXPECT_EQ(view.YMin[1], -147);
    EXPECT_EQ(view.YMin[5], -500);  // not in the set: the default stays
    EXPECT_EQ(view.Markers[1], (MarkerRecord{0, 49, 0}));

    // A shot keeps the scales and pulls shown markers into the shorter set.
    view.XEnd = 300;
    view.YMax[0] = 7000;
    view.Markers[0] = {45, 48, 1};
    view.Markers[1] = {45, 48, 0};
    FillSet(doc, Ramp(40, 10), values);
    EXPECT_EQ(view.OnUpdate(HintNewShot).MarkerChannels, 0x01);
    EXPECT_EQ(std::pair(view.XEnd, view.YMax[0]), std::pair(300, 7000));
    EXPECT_EQ(view.Markers[0], (MarkerRecord{39, 39, 1}));
    EXPECT_EQ(view.Markers[1], (MarkerRecord{45, 48, 0}));

    // End of a recording: new window and scales, history untouched.
    const int32_t historyIndex = view.History().Index();
    view.OnUpdate(HintRecordingDone);
    EXPECT_EQ(std::pair(view.XEnd, view.YMax[0]), std::pair(390, 1500));
    EXPECT_EQ(view.History().Index(), historyIndex);

    // A recording that produced nothing: markers off, the ranges stay (no inverted range).
    view.YMin[0] = -20;
    view.YMax[0] = 20;
    FillSet(doc, {}, values);
    view.OnUpdate(HintRecordingDone);
    EXPECT_EQ(view.Markers[0].Shown, 0u);
    EXPECT_EQ(YRange(view, 0), (Range{-20, 20}));
    EXPECT_LT(view.XStart, view.XEnd);
}

// A view opened on an empty document holds placeholder scales (0 … 10000, -500 … 500); the first
// shot that arrives fits them to the data, later shots keep what the user set.
TEST(PlotViewFirstShot, PlaceholderScalesFollowTheFirstShotOnly) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    PlotView view(doc, &settings);
    view.OnUpdate(HintInitial);
    EXPECT_EQ(std::pair(view.XEnd, view.YMax[0]), std::pair(10000, 500));

    std::vector<std::vector<int32_t>> values(8);
    values[0] = {-16000, 0, 16000, 0, -16000};
    FillSet(doc, Ramp(5, 2), values);
    view.OnUpdate(HintNewShot);
    EXPECT_EQ(XRange(view), (Range{0, 8}));
    EXPECT_EQ(YRange(view, 0), (Range{-16000, 16000}));
    EXPECT_EQ(view.History().Index(), 0);

    view.FixYZero();
    values[0] = {-100, 0, 100, 0, -100};
    FillSet(doc, Ramp(5, 2), values);
    view.OnUpdate(HintNewShot);
    EXPECT_EQ(YRange(view, 0), (Range{-16000, 16000}));
}

TEST(PlotViewScales, CommandsActOnActiveOrAllShownChannels) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    std::vector<std::vector<int32_t>> values = {
        {5, 50, -40, 7, 9, 100}, {1, 2, 3, 4, 5, 6}, {}, {-9, -8, -7, -6, -5, -4}};
    FillSet(doc, Ramp(6, 100), values);
    PlotView view(doc, &settings);
    view.SetAxisMetrics(FixedMeasure);
    view.OnUpdate(HintInitial);

    // Visible autoscale scans [first, last): window 150 .. 250 gives scans 1 .. 3, so 1 and 2.
    view.XStart = 150;
    view.XEnd = 250;
    view.BuildPicture(400, 300, FixedMeasure, true);
    view.Autoscale();
    EXPECT_EQ(YRange(view, 0), (Range{-40, 50}));
    EXPECT_EQ(view.YMax[1], 6);  // not linked: channel 2 untouched
    view.ToggleLinkedScales();
    view.Autoscale();
    EXPECT_EQ(YRange(view, 1), (Range{2, 3}));
    EXPECT_EQ(view.YMin[3], -8);

    // Align: shown channels other than the active one take its range.
    view.ChannelVisible[3] = 0;
    view.AlignScales();
    EXPECT_EQ(YRange(view, 1), (Range{-40, 50}));
    EXPECT_EQ(view.YMin[3], -8);

    // Fix X zero: -2000 .. 3000 gives 0 .. 5000; a span past the limit is capped.
    view.XStart = -2000;
    view.XEnd = 3000;
    view.FixXZero();
    EXPECT_EQ(XRange(view), (Range{0, 5000}));
    view.XStart = -0x7FFFFFFF;
    view.XEnd = 0x7FFFFFFF;
    view.FixXZero();
    EXPECT_EQ(view.XEnd, TimeLimit);

    // Fix Y zero: 100 .. 401 gives -150 .. 150 (arithmetic shift of 301).
    view.ToggleLinkedScales();
    view.YMin[0] = 100;
    view.YMax[0] = 401;
    view.YMin[1] = 0;
    view.YMax[1] = 10;
    view.FixYZero();
    EXPECT_EQ(YRange(view, 0), (Range{-150, 150}));
    EXPECT_EQ(view.YMax[1], 10);
}

TEST(ZoomHistory, TwentyEntriesWalkedBothWays) {
    ZoomHistory h;
    ViewRange got;
    for (int32_t i = 0; i < 21; ++i) {
        h.Push(ViewRange{.XStart = i});
    }
    EXPECT_EQ(h.Entry(0).XStart, 1);  // the 21st push dropped entry 0
    for (int i = 0; i < 20; ++i) {
        h.Step(false, got);
    }
    EXPECT_EQ(h.Index(), 0);
    EXPECT_EQ(got.XStart, 1);
    h.Step(true, got);
    h.Step(true, got);
    EXPECT_EQ(got.XStart, 3);
    // Pushing after steps back makes the new entry the top; a forward step stays there.
    h.Push(ViewRange{.XStart = 99});
    EXPECT_EQ(h.Top(), 3);
    h.Step(true, got);
    EXPECT_EQ(got.XStart, 99);
}

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

TEST_F(PlotChannels, ItemStatesAndActiveAndRightChoices) {
    EXPECT_EQ(view.ItemState(ChannelMenu::Active, 0), (ChannelItemState{true, true}));
    EXPECT_EQ(view.ItemState(ChannelMenu::RightAxis, 1), (ChannelItemState{true, true}));
    EXPECT_EQ(view.ItemState(ChannelMenu::Visibility, 3), (ChannelItemState{false, false}));
    // Key 4 (channel without data): nothing happens.
    EXPECT_EQ(view.SetActiveChannel(3).Action, ViewAction::None);
    EXPECT_EQ(view.ActiveChannel, 0);
    // Key 3 with linked scales: channel 3 active, scales unlinked.
    view.ToggleLinkedScales();
    EXPECT_EQ(view.SetActiveChannel(2).Action, ViewAction::RenderAndRedraw);
    EXPECT_EQ(std::pair(view.ActiveChannel, view.LinkedScales), std::pair(2, 0u));
    EXPECT_EQ(view.SetActiveChannel(2).Action, ViewAction::None);
    view.SetRightChannel(4);
    view.SwapChannels();
    EXPECT_EQ(Channels(view), (Range{4, 2}));
    // A hidden channel stays switchable but can be neither active nor on the right axis.
    view.ToggleChannel(2);
    EXPECT_EQ(view.ItemState(ChannelMenu::Visibility, 2), (ChannelItemState{true, false}));
    EXPECT_EQ(view.ItemState(ChannelMenu::Active, 2), (ChannelItemState{false, false}));
}

TEST_F(PlotChannels, HidingChannelsKeepsOneShown) {
    // 1 active and 2 right-axis, only those shown: hiding 1 makes 2 active (and right).
    view.ToggleChannel(2);
    view.ToggleChannel(4);
    view.Markers[0].Shown = 1;
    ViewResponse r = view.ToggleChannel(0);
    EXPECT_EQ(std::tuple(r.MarkerChannels, view.Markers[0].Shown), std::tuple(0x01, 0u));
    EXPECT_EQ(Channels(view), (Range{1, 1}));
    // Hiding a right-axis channel that is not active hands the right axis to the active one.
    view.ToggleChannel(0);
    view.SetRightChannel(0);
    view.ToggleChannel(0);
    EXPECT_EQ(view.RightChannel, 1);
    // Active and right-axis at once with another channel shown: the lowest shown one with data
    // takes both (channel 4 has none although its switch is on).
    view.ToggleChannel(4);
    view.ToggleChannel(1);
    EXPECT_EQ(Channels(view), (Range{4, 4}));
    // The last shown channel cannot go.
    r = view.ToggleChannel(4);
    ASSERT_TRUE(r.Message.has_value());
    EXPECT_EQ(*r.Message,
              (UserMessage{"Informacja", "Przynajmniej jeden kanał musi pozostać aktywny",
                           MessageIcon::Exclamation}));
    EXPECT_EQ(std::pair(view.ChannelVisible[4], view.ActiveChannel), std::pair(1u, 4));
}

TEST(ChannelMenuTexts, ItemsAndTitles) {
    EXPECT_EQ(ChannelItemText(ChannelMenu::Visibility, 0), "Kanał &1");
    EXPECT_EQ(ChannelItemText(ChannelMenu::Active, 4), "Kanał &5\t5");
    EXPECT_EQ(ChannelItemText(ChannelMenu::RightAxis, 7), "Kanału &8\tCtrl+8");
    EXPECT_EQ(ChannelSubmenuTitle(ChannelMenu::Active), "&Ustaw jako aktywny ");
    EXPECT_EQ(ChannelSubmenuTitle(ChannelMenu::RightAxis), "Ustaw opis &prawej osi dla");
}

class PlotMouse : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::FillSet(doc, testing::Ramp(1001), {testing::Ramp(1001), testing::Ramp(1001)});
        view.SetAxisMetrics(FixedMeasure);
        view.OnUpdate(HintInitial);
        view.XStart = 0;
        view.XEnd = 1000;
        view.YMin.fill(-500);
        view.YMax.fill(500);
        view.PushHistory();
    }

    CZefraKrgDoc doc;
    SettingsRecord settings;
    PlotView view{doc, &settings};
};

TEST_F(PlotMouse, PanStepsAndTheirLimits) {
    // One pixel over 100 units in 500 px rounds to 0; the correction still moves one unit.
    view.RightButtonDown({110, 100}, false);
    view.XEnd = 100;
    EXPECT_EQ(view.MouseMove({109, 100}, 500, 300).Action, ViewAction::RenderAndRedraw);
    EXPECT_EQ(view.XEnd, 101);
    EXPECT_EQ(view.YMin[0], -500);  // no vertical move, no vertical step

    // A range touching the top refuses to move up (mouse down) but moves down (mouse up).
    view.YMin[0] = 327000;
    view.YMax[0] = 327680;
    view.MouseMove({109, 110}, 500, 300);
    EXPECT_EQ(view.YMax[0], 327680);
    view.MouseMove({109, 100}, 500, 300);
    EXPECT_EQ(testing::YRange(view, 0),
              (testing::Range{327000 - 24, 327680 - 24}));  // MulDiv(680, -10, 300) - 1

    // The time window never passes the limits.
    view.XStart = -TimeLimit + 5;
    view.XEnd = -TimeLimit + 105;
    view.MouseMove({209, 100}, 500, 300);
    EXPECT_EQ(view.XStart, -TimeLimit + 5);

    // The end of the drag is recorded once.
    const int32_t index = view.History().Index();
    EXPECT_EQ(view.RightButtonUp({209, 100}).Action, ViewAction::None);
    EXPECT_EQ(view.History().Index(), index + 1);
    view.RightButtonDown({0, 0}, false);
    view.RightButtonUp({0, 0});
    EXPECT_EQ(view.History().Index(), index + 1);
}

TEST_F(PlotMouse, StretchKeepsTheLeftEdgeAndRefusesInvertedWindows) {
    view.LeftButtonDown({100, 100}, false, false);
    // Right by 100 px narrows: MulDiv(1000, -100, 500) - 1 = -201. Down 30 px widens the range
    // symmetrically: MulDiv(1000, 30, 300) + 1 = 101.
    view.MouseMove({200, 130}, 500, 300);
    EXPECT_EQ(testing::XRange(view), (testing::Range{0, 799}));
    EXPECT_EQ(testing::YRange(view, 0), (testing::Range{-601, 601}));
    EXPECT_EQ(view.YMax[1], 500);
    // A step past the left edge is refused for time; its value part still applies.
    view.MouseMove({700, 100}, 500, 300);
    EXPECT_EQ(view.XEnd, 799);
    EXPECT_EQ(view.YMax[0], 601 - 121);  // MulDiv(1202, -30, 300) - 1
    view.LeftButtonUp({700, 100});

    // Linked: every shown channel stretches, and the time window moves once per channel.
    view.ToggleLinkedScales();
    view.LeftButtonDown({100, 100}, false, false);
    view.MouseMove({90, 100}, 500, 300);
    // MulDiv(799, 10, 500) + 1 = 17 for channel 1, then MulDiv(816, 10, 500) + 1 = 17 again.
    EXPECT_EQ(view.XEnd, 799 + 17 + 17);
}

TEST_F(PlotMouse, RubberBandZoomsToTheRectangle) {
    view.BuildPicture(400, 300, FixedMeasure, true);  // plot (66, 22) .. (334, 278)
    view.LeftButtonDown({100, 50}, false, true);
    view.LeftButtonUp({100, 50});  // an empty band changes nothing
    EXPECT_EQ(view.XEnd, 1000);
    const int32_t index = view.History().Index();
    view.LeftButtonDown({100, 50}, false, true);
    ViewResponse r = view.MouseMove({80, 100}, 400, 300);
    EXPECT_EQ(r.Action, ViewAction::InvalidateBand);
    EXPECT_EQ(r.OldBand, (PictureRect{0, 0, 0, 0}));
    r = view.MouseMove({60, 150}, 400, 300);
    EXPECT_EQ(r.OldBand, (PictureRect{80, 50, 100, 100}));
    EXPECT_EQ(view.ZoomRect, (PictureRect{60, 50, 100, 150}));
    EXPECT_EQ(view.XEnd, 1000);  // nothing moves during the band

    EXPECT_EQ(view.LeftButtonUp({60, 150}).Action, ViewAction::RenderAndRedraw);
    // XEnd = 1000 - MulDiv(1000, 234, 268) = 127; XStart = -MulDiv(1000, 6, 268) = -22;
    // YMax = 500 - MulDiv(1000, 28, 256) = 391; YMin = -500 - MulDiv(1000, -128, 256) = 0.
    EXPECT_EQ(testing::XRange(view), (testing::Range{-22, 127}));
    EXPECT_EQ(testing::YRange(view, 0), (testing::Range{0, 391}));
    EXPECT_EQ(view.History().Index(), index);  // not recorded

    // A double click forward at the top undoes the zoom; back goes to the entry before.
    view.RightDoubleClick();
    EXPECT_EQ(view.YMax[0], 500);
    view.XEnd = 5;
    view.LeftDoubleClick();
    EXPECT_EQ(view.XEnd, 1000);
    EXPECT_EQ(view.YMax[0], 1000);  // the autoscale of the first update
}

TEST_F(PlotMouse, ShiftClicksPlaceMarkersAndKeysMoveThem) {
    view.BuildPicture(400, 300, FixedMeasure, true);
    // Before the first sample: no marker, the stretch still starts.
    ViewResponse r = view.LeftButtonDown({30, 100}, true, false);
    EXPECT_EQ(r.Action, ViewAction::None);
    EXPECT_EQ(std::pair(view.Markers[0].Shown, view.Stretching), std::pair(0u, 1u));
    view.LeftButtonUp({30, 100});

    // Pixel 200: MulDiv(134, 1000, 268) = 500.
    r = view.LeftButtonDown({200, 100}, true, false);
    EXPECT_EQ(r.MarkerChannels, 0x01);
    EXPECT_EQ(std::pair(view.Markers[0].Left, view.Markers[0].Shown), std::pair(500u, 1u));
    view.LeftButtonUp({200, 100});
    view.RightButtonDown({300, 100}, true);
    EXPECT_EQ(view.Markers[0].Right, 873u);  // MulDiv(234, 1000, 268) = 873
    view.RightButtonUp({300, 100});

    // Keys stop at the first and the last sample.
    view.Markers[0].Left = 0;
    EXPECT_EQ(view.MoveMarker(MarkerKey::LeftBack).Action, ViewAction::None);
    EXPECT_EQ(view.MoveMarker(MarkerKey::LeftForward).Action, ViewAction::Redraw);
    EXPECT_EQ(view.Markers[0].Left, 1u);
    view.Markers[0].Right = 1000;
    EXPECT_EQ(view.MoveMarker(MarkerKey::RightForward).Action, ViewAction::None);
    // Keys do nothing while the active channel's markers are off.
    view.Markers[0].Shown = 0;
    EXPECT_EQ(view.MoveMarker(MarkerKey::LeftForward).Action, ViewAction::None);
    EXPECT_EQ(view.Markers[0].Left, 1u);
}

}  // namespace
}  // namespace kresograf
