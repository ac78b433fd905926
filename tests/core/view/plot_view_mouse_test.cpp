#include <gtest/gtest.h>

#include "base/frame_link.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FixedMeasure;

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
