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
    const std::vector<std::pair<int32_t, int32_t>> windows = {
        {1000, 150000}, {-5000, 7000}, {1234, 1300}, {70001, 70001}, {199990, 400000}};
    for (const auto& [start, end] : windows) {
        for (bool onScreen : {true, false}) {
            for (PlotView* v : {&fast, &plain}) {
                v->XStart = start;
                v->XEnd = end;
            }
            const Picture a = fast.BuildPicture(Width, Height, FixedMeasure, onScreen);
            const Picture b = plain.BuildPicture(Width, Height, FixedMeasure, onScreen);
            ASSERT_EQ(a.Traces.size(), b.Traces.size()) << start;
            for (std::size_t i = 0; i < a.Traces.size(); ++i) {
                EXPECT_EQ(a.Traces[i].Points, b.Traces[i].Points) << start << " " << onScreen;
                // 200 000 scans in 500 px: two points a column, at most two columns over.
                if (start == 1000 && onScreen) {
                    EXPECT_LE(a.Traces[i].Points.size(), 1004u);
                    EXPECT_GE(a.Traces[i].Points.size(), 1000u);
                    EXPECT_EQ(fast.FirstVisible[0], 999);
                    EXPECT_EQ(fast.LastVisible[0], 150001);
                }
            }
        }
    }
    // One summary per channel for the whole run.
    EXPECT_EQ(fast.SummaryBuilds(), 3u);
    EXPECT_EQ(plain.SummaryBuilds(), 0u);

    // New data in the set: each summary is rebuilt once, and the picture follows the new samples.
    doc.Samples[0][1][10] = 30000;
    ++doc.Generation[0];
    fast.OnUpdate(HintNewShot);
    for (PlotView* v : {&fast, &plain}) {
        v->XStart = 0;
        v->XEnd = 100;
        v->YMax[1] = 40000;
    }
    const Picture a = fast.BuildPicture(Width, Height, FixedMeasure, true);
    const Picture b = plain.BuildPicture(Width, Height, FixedMeasure, true);
    EXPECT_EQ(a.Traces[1].Points, b.Traces[1].Points);
    fast.BuildPicture(Width, Height, FixedMeasure, true);
    EXPECT_EQ(fast.SummaryBuilds(), 6u);
}

}  // namespace
}  // namespace kresograf
