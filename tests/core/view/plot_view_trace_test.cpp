#include <gtest/gtest.h>

#include "base/frame_link.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FixedMeasure;

// 500 x 300 px of plot: window 632 x 344.
constexpr int32_t Width = 500 + 2 * 66;
constexpr int32_t Height = 300 + 2 * 22;

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

TEST(PlotTraces, LongTracesWithAndWithoutTheSummary) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    std::vector<std::vector<int32_t>> values(3, std::vector<int32_t>(200000));
    uint32_t noise = 7;
    for (auto& channel : values) {
        for (auto& v : channel) {
            noise = noise * 1664525u + 1013904223u;
            v = static_cast<int32_t>(noise >> 20) - 2048;
        }
    }
    testing::FillSet(doc, testing::Ramp(200000), values);
    PlotView fast(doc, &settings);
    PlotView plain(doc, &settings);
    plain.Reduction = TraceReduction::Plain;
    for (PlotView* v : {&fast, &plain}) {
        v->SetAxisMetrics(FixedMeasure);
        v->OnUpdate(HintInitial);
    }
    auto build = [](PlotView& v, int32_t start, int32_t end) {
        v.XStart = start;
        v.XEnd = end;
        return v.BuildPicture(Width, Height, FixedMeasure, true);
    };
    // The two reductions agree on any window by their own tests; here the view hands them its
    // visible range and keeps one summary per channel across pictures.
    const Picture a = build(fast, 1000, 150000);
    ASSERT_EQ(a.Traces.size(), 3u);
    EXPECT_EQ(a.Traces[2].Points, build(plain, 1000, 150000).Traces[2].Points);
    // 200 000 scans in 500 px: two points a column, at most two columns over.
    EXPECT_LE(a.Traces[0].Points.size(), 1004u);
    EXPECT_GE(a.Traces[0].Points.size(), 1000u);
    EXPECT_EQ(fast.FirstVisible[0], 999);
    EXPECT_EQ(fast.LastVisible[0], 150001);
    build(fast, -5000, 7000);
    EXPECT_EQ(fast.SummaryBuilds(), 3u);
    EXPECT_EQ(plain.SummaryBuilds(), 0u);

    // New data in the set: each summary is rebuilt once, and the picture follows the new samples.
    doc.Samples[0][1][10] = 30000;
    ++doc.Generation[0];
    fast.OnUpdate(HintNewShot);
    fast.YMax[1] = plain.YMax[1] = 40000;
    EXPECT_EQ(build(fast, 0, 100).Traces[1].Points, build(plain, 0, 100).Traces[1].Points);
    build(fast, 0, 100);
    EXPECT_EQ(fast.SummaryBuilds(), 6u);
}

}  // namespace
}  // namespace kresograf
