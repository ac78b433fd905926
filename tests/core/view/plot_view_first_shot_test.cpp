#include <gtest/gtest.h>

#include "base/frame_link.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

// A view opened on an empty document holds placeholder scales (0 … 10000, -500 … 500); the first
// shot that arrives fits them to the data, later shots keep what the user set.
TEST(PlotViewFirstShot, PlaceholderScalesFollowTheFirstShotOnly) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    PlotView view(doc, &settings);
    view.OnUpdate(HintInitial);
    EXPECT_EQ(view.XEnd, 10000);
    EXPECT_EQ(view.YMax[0], 500);

    std::vector<std::vector<int32_t>> values(8);
    values[0] = {-16000, 0, 16000, 0, -16000};
    testing::FillSet(doc, testing::Ramp(5, 2), values);
    view.OnUpdate(HintNewShot);
    EXPECT_EQ(view.XStart, 0);
    EXPECT_EQ(view.XEnd, 8);
    EXPECT_EQ(view.YMin[0], -16000);
    EXPECT_EQ(view.YMax[0], 16000);
    EXPECT_EQ(view.History().Index(), 0);

    view.FixYZero();
    values[0] = {-100, 0, 100, 0, -100};
    testing::FillSet(doc, testing::Ramp(5, 2), values);
    view.OnUpdate(HintNewShot);
    EXPECT_EQ(view.YMin[0], -16000);
    EXPECT_EQ(view.YMax[0], 16000);
}

}  // namespace
}  // namespace kresograf
