#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <tuple>

#include "base/frame_link.h"
#include "view/axis_labels.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FixedMeasure;

// Five scans a quarter second apart (1 ms per unit), two channels:
//   channel 1: -110, 220, 0, 100, 50   channel 2: -220, 440, 0, 110, 330
// in a 400 x 300 window: plot (66, 22) .. (334, 278), 268 x 256 pixels.
class PlotPicture : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::FillSet(doc, {0, 250, 500, 750, 1000},
                         {{-110, 220, 0, 100, 50}, {-220, 440, 0, 110, 330}});
        testing::RegisterTiming(doc, 8000, 1);
        settings.ChannelScale[0] = 0.01f;
        settings.ChannelScale[1] = 0.001f;
        view.SetAxisMetrics(FixedMeasure);
        view.OnUpdate(HintInitial);
    }

    CZefraKrgDoc doc;
    SettingsRecord settings;
    PlotView view{doc, &settings};
};

TEST_F(PlotPicture, ScreenPictureOfAKnownDocument) {
    ASSERT_EQ(view.AxisColumnWidth, 66);
    ASSERT_EQ(view.AxisBandHeight, 22);
    const Picture p = view.BuildPicture(400, 300, FixedMeasure, true);
    EXPECT_TRUE(p.FillBackground && p.HasPlot && p.FillPlot && p.RaisedEdge);
    EXPECT_TRUE(p.AxisLines.empty());
    EXPECT_EQ(p.Plot, (PictureRect{66, 22, 334, 278}));
    EXPECT_EQ(p.Clip, (PictureRect{68, 24, 332, 276}));

    // Time: " 1000.00 " is 54 px, n = trunc(268 / 54 + 1) = 5, step 250: ticks 250, 500, 750 at
    // trunc(268 x t / 1000 + 66), baseline 300 - 11.
    // Left values: 2 x 11 px per label, n = trunc(256 / 22 + 1) = 12, step = 330 / 11 = 30;
    // rows trunc(278 - 256 x (t + 110) / 330). Right: step 660 / 11 = 60, from -180 upwards.
    // Labels 4 .. 15 climb the left axis, 16 .. 27 the right one; the ends and the turn.
    const std::vector<std::tuple<std::size_t, const char*, int32_t, int32_t>> expected = {
        {0, " 250.00 ", 133, 289}, {2, " 750.00 ", 267, 289}, {3, " [ms] ", 400, 289},
        {4, " 0.000 ", 66, 192},   {7, " -0.900 ", 66, 262},  {8, " 0.300 ", 66, 169},
        {14, " 2.100 ", 66, 29},   {15, "Kan.1 ", 66, 11},    {16, " -0.180 ", 400, 262},
        {26, " 0.420 ", 400, 29},  {27, "Kan.2 ", 400, 11},
    };
    ASSERT_EQ(p.Labels.size(), 28u);
    for (const auto& [i, text, x, y] : expected) {
        EXPECT_EQ(p.Labels[i].Text, text) << i;
        EXPECT_EQ(p.Labels[i].Anchor, (PicturePoint{x, y})) << i;
    }
    for (std::size_t i = 0; i < p.Labels.size(); ++i) {
        const uint32_t colour = i < 4 ? 0u : i < 16 ? 0xFFFFFFu : 0x808080u;
        EXPECT_EQ(p.Labels[i].Color, colour) << i;
    }

    // Grid lines on the ticks: three times, then eleven values, each as a pair of ends.
    ASSERT_EQ(p.Grid.size(), 28u);
    EXPECT_EQ(p.Grid[0], (PicturePoint{133, 278}));
    EXPECT_EQ(p.Grid[5], (PicturePoint{267, 22}));
    EXPECT_EQ(p.Grid[6], (PicturePoint{66, 192}));
    EXPECT_EQ(p.Grid[27], (PicturePoint{334, 29}));

    ASSERT_EQ(p.Traces.size(), 2u);
    EXPECT_EQ(p.Traces[0].Color, 0xFFFFFFu);
    auto columns = [](std::vector<int32_t> ys) {
        const int32_t xs[] = {66, 133, 200, 267, 334};
        std::vector<PicturePoint> points;
        for (std::size_t k = 0; k < ys.size(); ++k) {
            points.insert(points.end(), {{xs[k], ys[k]}, {xs[k], ys[k]}});
        }
        return points;
    };
    EXPECT_EQ(p.Traces[0].Points, columns({278, 22, 193, 115, 154}));
    EXPECT_EQ(p.Traces[1].Color, 0x808080u);
    EXPECT_EQ(p.Traces[1].Points, columns({278, 22, 193, 150, 65}));

    view.ToggleGrid();
    EXPECT_TRUE(view.BuildPicture(400, 300, FixedMeasure, true).Grid.empty());
}

TEST_F(PlotPicture, PaperPictureUsesPrintPensAndBlackLabels) {
    view.BuildPicture(400, 300, FixedMeasure, true);
    const auto screenMapping = view.TraceMappings[0];
    // The print font: 10 px per character, 20 px high: column 110, band 40.
    auto printMeasure = [](std::string_view text) {
        return TextSize{static_cast<int32_t>(text.size()) * 10, 20};
    };
    const Picture p = view.BuildPicture(800, 600, printMeasure, false);
    EXPECT_FALSE(p.OnScreen || p.FillBackground || p.FillPlot || p.RaisedEdge);
    const PictureRect plot{110, 40, 690, 560};
    EXPECT_EQ(p.Plot, plot);
    EXPECT_EQ(p.Clip, plot);
    // Default colours negated: channel 1 white -> black, channel 2 grey 0x808080 -> 0x7F7F7F.
    EXPECT_EQ(p.AxisLines, (std::vector<PictureLine>{{{110, 40}, {690, 40}, 0, 10},
                                                     {{690, 560}, {110, 560}, 0, 10},
                                                     {{109, 40}, {109, 560}, 0x000000, 1},
                                                     {{691, 40}, {691, 560}, 0x7F7F7F, 1}}));
    for (const auto& label : p.Labels) {
        EXPECT_EQ(label.Color, 0u) << label.Text;
    }
    ASSERT_EQ(p.Traces.size(), 2u);
    EXPECT_EQ(p.Traces[0].Color, 0x000000u);
    EXPECT_EQ(p.Traces[1].Color, 0x7F7F7Fu);
    EXPECT_EQ(p.Traces[0].Points.front(), (PicturePoint{110, 560}));
    // The screen's mapping and plot stay for the markers and the mouse.
    EXPECT_EQ(view.TraceMappings[0], screenMapping);
    EXPECT_EQ(view.PlotRect, (PictureRect{66, 22, 334, 278}));
}

TEST_F(PlotPicture, SmallWindowNoMainWindowOrOneSample) {
    // 44 px high is twice the band: only grey.
    Picture p = view.BuildPicture(400, 44, FixedMeasure, true);
    EXPECT_FALSE(p.HasPlot || !p.Labels.empty() || !p.Traces.empty());
    EXPECT_FALSE(view.BuildPicture(132, 300, FixedMeasure, true).HasPlot);
    EXPECT_TRUE(view.BuildPicture(133, 45, FixedMeasure, true).HasPlot);

    PlotView orphan(doc, nullptr);
    orphan.SetAxisMetrics(FixedMeasure);
    orphan.OnUpdate(HintInitial);
    EXPECT_FALSE(orphan.BuildPicture(400, 300, FixedMeasure, true).HasPlot);
    // On paper it still prints, with values in stored units.
    p = orphan.BuildPicture(400, 300, FixedMeasure, false);
    ASSERT_TRUE(p.HasPlot);
    EXPECT_EQ(p.Labels[4].Text, " 0.000 ");
    EXPECT_EQ(p.Labels[5].Text, " -30.000 ");

    // One sample: one column at the left edge.
    testing::FillSet(doc, {500}, {{120}});
    view.OnUpdate(HintInitial);
    EXPECT_EQ(view.XEnd, 500);
    // Flat: the previous width (1000) is kept around the value.
    EXPECT_EQ(testing::YRange(view, 0), (testing::Range{-380, 620}));
    p = view.BuildPicture(400, 300, FixedMeasure, true);
    ASSERT_EQ(p.Traces.size(), 1u);
    // Inside the clip (68 ..) rather than at MulDiv's -1 just outside the plot.
    const int32_t y = 278 - 128;  // 500 of 1000 above the bottom of 256 px
    EXPECT_EQ(p.Traces[0].Points, (std::vector<PicturePoint>{{68, y}, {68, y}}));
    // The time axis has only its unit.
    EXPECT_EQ(p.Labels[0].Text, " [ms] ");

    // Visible-range autoscale over the empty range [0, 0) keeps the range.
    view.Autoscale();
    EXPECT_EQ(testing::YRange(view, 0), (testing::Range{-380, 620}));
}

TEST_F(PlotPicture, TimeAxisReadsTheRegisteredParameters) {
    // The working block is edited for the next acquisition; the shown data keep their timing.
    doc.SetWorking(AcquisitionParams{.Divisor = 80000, .Prescaler = 100}, TriggerParams{});
    testing::RegisterTiming(doc, 8, 1);  // 0.001 ms per unit
    EXPECT_FLOAT_EQ(view.TimeStep(), 0.001f);
    // " 1.00 " is 36 px: n = 8, step ceil(1000 / 7, 2) = 142.86 units = 0.14 ms.
    EXPECT_EQ(view.BuildPicture(400, 300, FixedMeasure, true).Labels[0].Text, " 0.14 ");
    // Another set shown: the registered block still gives the timing.
    doc.CurrentSet = 1;
    testing::FillSet(doc, {0, 250, 500, 750, 1000}, {{1, 2, 3, 4, 5}});
    view.OnUpdate(HintNewShot);
    EXPECT_EQ(view.BuildPicture(400, 300, FixedMeasure, true).Labels[0].Text, " 0.14 ");
}

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
    EXPECT_EQ(std::pair(fast.FirstVisible[0], fast.LastVisible[0]), std::pair(999, 150001));
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

TEST(AxisLabels, NumbersUseTheDecimalPointWhateverTheLocale) {
    // A Polish locale writes a comma in printf; the labels must not follow it.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "pl_PL.UTF-8") == nullptr) {
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    }
    EXPECT_EQ(AxisLabel(1234.5678, 2), " 1234.57 ");
    EXPECT_EQ(AxisLabel(2.0005, 3), " 2.001 ");  // 2.0005 is just above, as the binary value is
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(AxisLabels, CeilToDecimalsTickStepAndTimeUnits) {
    EXPECT_DOUBLE_EQ(CeilToDecimals(100.0, 3), 100.0);
    EXPECT_DOUBLE_EQ(CeilToDecimals(0.001001, 2), 0.01);
    // No room for two labels, or nothing to divide: at most one tick, never a zero step.
    EXPECT_TRUE(std::isinf(TickStep(1000, 1, 2)));
    EXPECT_TRUE(std::isinf(TickStep(0, 5, 2)));
    // A font that measures nothing must not divide by zero.
    EXPECT_GT(MaxLabelCount(300, 0), 0);

    // TimeStep, first, last, unit: 0.125 ms x 8000 units is exactly one second, still ms.
    const std::tuple<float, int32_t, int32_t, const char*> cases[] = {
        {0.125f, 0, 8000, " [ms] "}, {0.125f, 0, 8001, " [s] "},  {0.125f, 100, 8100, " [ms] "},
        {1000.0f, 0, 60, " [s] "},   {1000.0f, 0, 61, " [min] "}, {1000.5f, 0, 1, " [min] "},
        {100.5f, 0, 1, " [s] "},     {100.0f, 0, 1, " [ms] "}};
    for (const auto& [step, first, last, unit] : cases) {
        EXPECT_EQ(ChooseTimeUnit(step, first, last).Text, unit) << step << " " << last;
    }
    EXPECT_DOUBLE_EQ(ChooseTimeUnit(1000.5f, 0, 1).Factor, 1000.5 / 60000.0);
}

TimeAxisInput TimeInput(int32_t xStart, int32_t xEnd) {
    TimeAxisInput in;
    in.XStart = xStart;
    in.XEnd = xEnd;
    in.TimeStep = 0.125f;
    in.Plot = {66, 22, 566, 278};
    in.BandHeight = 22;
    in.ClientWidth = 632;
    in.ClientHeight = 300;
    return in;
}

TEST(AxisLabels, TimeTicksAnchorAtZeroAndSkipTheEdges) {
    std::vector<PictureLabel> labels;
    std::vector<PicturePoint> grid;
    // -1000 .. 3000 units at 0.125 ms: 500 ms, labels " -125.00 " / " 375.00 " (9 chars = 54 px)
    // in 500 px: n = 10, step = ceil(4000 / 9, 2) = 444.45.
    DrawTimeAxis(TimeInput(-1000, 3000), FixedMeasure, labels, grid);
    ASSERT_EQ(labels.size(), 10u);
    EXPECT_EQ(labels[0].Text, " 0.00 ");
    EXPECT_EQ(labels[1].Text, " -55.56 ");                  // -444.45 x 0.125 = -55.55625
    EXPECT_EQ(labels[8].Text, " 333.34 ");                  // 6 x 444.45 = 2666.7 units
    EXPECT_EQ(labels[9].Anchor, (PicturePoint{632, 289}));  // the unit
    // Zero sits a quarter into the plot: trunc(500 x 1000 / 4000 + 66) = 191.
    EXPECT_EQ(labels[0].Anchor, (PicturePoint{191, 289}));
    // -444.45: 500 x 555.55 / 4000 + 66 = 135.44 -> 135.
    EXPECT_EQ(labels[1].Anchor.X, 135);
    ASSERT_EQ(grid.size(), 18u);
    EXPECT_EQ(grid[1], (PicturePoint{191, 22}));

    // 10 .. 3000: the first tick at the window's start (zero is left outside).
    labels.clear();
    DrawTimeAxis(TimeInput(10, 3000), FixedMeasure, labels, grid);
    EXPECT_EQ(labels.front().Text, " 1.25 ");
    EXPECT_EQ(labels.front().Anchor.X, 66);

    // A zero-width window (one sample) gives no tick and no division by zero.
    labels.clear();
    grid.clear();
    DrawTimeAxis(TimeInput(40, 40), FixedMeasure, labels, grid);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].Text, " [ms] ");
    EXPECT_TRUE(grid.empty());
}

TEST(AxisLabels, ValueTicksOfARangeWithoutZero) {
    std::vector<PictureLabel> labels;
    std::vector<PicturePoint> grid;
    ValueAxesInput in;
    in.Active = 2;
    in.Right = 5;
    in.YMinR = 0;
    in.YMaxR = 1000;
    in.Plot = {66, 22, 566, 322};
    in.ColumnWidth = 66;
    in.ClientWidth = 632;
    auto measure14 = [](std::string_view) { return TextSize{1, 14}; };  // 28 px: n = 11
    // The screen picture's test covers a range around zero; a range without zero starts at its
    // bottom, and the right labels start at the right's bottom.
    in.YMinA = 100;
    in.YMaxA = 1100;
    DrawValueAxes(in, measure14, labels, grid);
    ASSERT_GE(labels.size(), 12u);
    EXPECT_EQ(labels[0].Text, " 100.000 ");
    EXPECT_EQ(labels[0].Anchor.Y, 322);
    EXPECT_EQ(labels[9].Text, " 1000.000 ");
    EXPECT_EQ(labels[11].Text, " 0.000 ");
    EXPECT_EQ(labels[11].Anchor.Y, 322);
}

}  // namespace
}  // namespace kresograf
