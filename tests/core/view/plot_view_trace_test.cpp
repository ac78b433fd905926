#include <gtest/gtest.h>

#include "acquisition/frame_link.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FixedMeasure;

// 500 x 300 px of plot: window 632 x 344.
constexpr int32_t Width = 500 + 2 * 66;
constexpr int32_t Height = 300 + 2 * 22;

TEST(PlotTraces, LongTraceKeepsTwoPointsPerColumn) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    std::vector<int32_t> values(200000);
    for (std::size_t k = 0; k < values.size(); ++k) {
        values[k] = static_cast<int32_t>((k * 7919) % 2001) - 1000;
    }
    testing::FillSet(doc, testing::Ramp(200000), {values, values});
    PlotView view(doc, &settings);
    view.SetAxisMetrics(FixedMeasure);
    view.OnUpdate(HintInitial);
    view.XStart = 1000;
    view.XEnd = 150000;
    const Picture p = view.BuildPicture(Width, Height, FixedMeasure, true);
    ASSERT_EQ(p.Traces.size(), 2u);
    for (const auto& trace : p.Traces) {
        EXPECT_LE(trace.Points.size(), 1004u);
        EXPECT_GE(trace.Points.size(), 1000u);
        // Columns strictly ascend, two points each.
        for (std::size_t i = 2; i < trace.Points.size(); i += 2) {
            EXPECT_LT(trace.Points[i - 2].X, trace.Points[i].X);
            EXPECT_EQ(trace.Points[i].X, trace.Points[i + 1].X);
        }
    }
    EXPECT_EQ(view.FirstVisible[0], 999);
    EXPECT_EQ(view.LastVisible[0], 150001);
}

TEST(PlotTraces, WindowEdgeCases) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    // Two scans far apart, the second channel flat far above any range shown.
    testing::FillSet(doc, {0, 1000}, {{0, 100}, {200000, 200000}});
    PlotView view(doc, &settings);
    view.SetAxisMetrics(FixedMeasure);
    view.OnUpdate(HintInitial);
    view.YMin.fill(0);
    view.YMax.fill(100);
    // A window between the two samples: both neighbours drawn, one straight segment.
    view.XStart = 400;
    view.XEnd = 600;
    Picture p = view.BuildPicture(Width, Height, FixedMeasure, true);
    ASSERT_EQ(p.Traces.size(), 2u);
    EXPECT_EQ(view.FirstVisible[0], 0);
    EXPECT_EQ(view.LastVisible[0], 1);
    // x = MulDiv(-400, 500, 200) + 66 = -934, y = 322 (bottom); x = MulDiv(600, 500, 200) + 66 =
    // 1566, y = 22.
    EXPECT_EQ(p.Traces[0].Points,
              (std::vector<PicturePoint>{{-934, 322}, {-934, 322}, {1566, 22}, {1566, 22}}));
    // The flat trace lies far above: MulDiv(199999 ... ) clamps to the 16-bit range.
    EXPECT_EQ(p.Traces[1].Points[0].Y, -32768);

    // One sample outside the window: nothing for that channel.
    testing::FillSet(doc, {5000}, {{1}});
    view.RefreshDocumentLinks();
    p = view.BuildPicture(Width, Height, FixedMeasure, true);
    EXPECT_TRUE(p.Traces.empty());
    EXPECT_EQ(view.FirstVisible[0], -1);
}

}  // namespace
}  // namespace kresograf
