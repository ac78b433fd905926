#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "base/frame_link.h"
#include "view/marker_statistics.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FixedMeasure;

TEST(PlotMarkers, PlacementNeverPicksTheFirstSample) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    testing::FillSet(doc, testing::Ramp(1000), {testing::Ramp(1000)});
    PlotView view(doc, &settings);
    view.SetAxisMetrics(FixedMeasure);
    view.OnUpdate(HintInitial);  // 0 .. 999
    view.BuildPicture(400, 300, FixedMeasure, true);
    // Pixel 71: MulDiv(5, 999, 268) = 19; pixel 329: MulDiv(263, 999, 268) = 980.
    EXPECT_EQ(view.MarkersCommand().MarkerChannels, 0x01);
    EXPECT_EQ(view.Markers[0], (MarkerRecord{19, 980, 1}));
    view.MarkersCommand();
    EXPECT_EQ(view.Markers[0], (MarkerRecord{19, 980, 0}));

    // The plot's left edge is time 0, the first sample's own time: not placed.
    EXPECT_FALSE(view.SetMarkerAtPixel(0, 66, MarkerSide::Left));
    EXPECT_TRUE(view.SetMarkerAtPixel(0, 67, MarkerSide::Left));
    EXPECT_EQ(view.Markers[0].Left, 4u);
    // Past the last sample: nothing to land on.
    view.XEnd = 5000;
    view.BuildPicture(400, 300, FixedMeasure, true);
    EXPECT_FALSE(view.SetMarkerAtPixel(0, 330, MarkerSide::Right));
    EXPECT_EQ(view.Markers[0].Right, 980u);

    // Panned from the data to a window wholly before the first sample: the command and a click
    // place nothing, and markers already on are not drawn.
    testing::FillSet(doc, testing::Ramp(100, 10, 1000), {testing::Ramp(100)});
    view.OnUpdate(HintInitial);
    view.BuildPicture(400, 300, FixedMeasure, true);
    view.XStart = 0;
    view.XEnd = 500;
    view.BuildPicture(400, 300, FixedMeasure, true);
    view.MarkersCommand();
    EXPECT_EQ(view.Markers[0].Shown, 0u);
    EXPECT_FALSE(view.RightButtonDown({200, 150}, true).MarkerChannels);
    view.Markers[0] = {5, 50, 1};
    EXPECT_TRUE(view.MarkerOverlays().empty());
}

TEST(PlotMarkers, ReadoutTextsInBothForms) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    settings.ChannelScale[0] = 0.001f;
    std::vector<int32_t> values(100, 0);
    values[20] = 100;
    values[60] = -200;
    testing::FillSet(doc, testing::Ramp(100), {values});
    testing::RegisterTiming(doc, 1000, 1);  // 0.125 ms
    PlotView view(doc, &settings);
    view.OnUpdate(HintInitial);
    view.Markers[0] = {20, 60, 1};
    MarkerItemTexts t = FormatMarkerItems(view.MarkerReadoutOf(0));
    EXPECT_EQ(
        t, (MarkerItemTexts{"Lewy: x = 2.500 ms   y = 0.100 V", "Prawy: x = 7.500 ms  y = -0.200 V",
                            "Delta: x = 5.000 ms  y = -0.300 V"}));

    testing::RegisterTiming(doc, 80000, 1);  // exactly 10 ms: seconds
    t = FormatMarkerItems(view.MarkerReadoutOf(0));
    EXPECT_EQ(t.Left, "Lewy: x = 0.200 s   y = 0.100 V");
    EXPECT_EQ(t.Delta, "Delta: x = 0.400 s   y = -0.300 V");
    testing::RegisterTiming(doc, 79920, 1);  // 9.99 ms
    EXPECT_FALSE(view.MarkerReadoutOf(0).InSeconds);

    view.Markers[0].Shown = 0;
    t = FormatMarkerItems(view.MarkerReadoutOf(0));
    EXPECT_EQ(t, (MarkerItemTexts{"Lewy :", "Prawy :", "Delta :"}));
    EXPECT_EQ(MarkerChannelNodeText(7), "Znaczniki kanału 8");
}

TEST(PlotMarkers, OverlaysAreClippedToThePlot) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    testing::FillSet(doc, testing::Ramp(1001), {testing::Ramp(1001), {}, testing::Ramp(1001)});
    PlotView view(doc, &settings);
    view.SetAxisMetrics(FixedMeasure);
    view.OnUpdate(HintInitial);  // 0 .. 1000 in time and value
    view.BuildPicture(400, 300, FixedMeasure, true);
    // Sample 500 sits at (200, 150); sample 1000 at the top-right corner (334, 22).
    view.Markers[0] = {500, 1000, 1};
    view.Markers[2] = {3, 4, 0};
    const auto overlays = view.MarkerOverlays();
    ASSERT_EQ(overlays.size(), 2u);
    EXPECT_EQ(overlays[0].Dest, (PictureRect{192, 142, 209, 159}));
    EXPECT_EQ(overlays[1].Centre, (PicturePoint{334, 22}));
    EXPECT_EQ(overlays[1].Dest, (PictureRect{326, 22, 334, 31}));
    EXPECT_EQ(overlays[1].SourceOffset, (PicturePoint{0, 8}));

    // Outside the visible range nothing is drawn.
    view.XStart = 600;
    view.XEnd = 700;
    view.BuildPicture(400, 300, FixedMeasure, true);
    EXPECT_TRUE(view.MarkerOverlays().empty());
}

TEST(PlotMarkers, SpriteIsABorderWithGapsAndACrossWithAHole) {
    const MarkerSpritePattern p = MarkerSprite();
    long drawn = 0;
    for (const auto& row : p) {
        drawn += std::count(row.begin(), row.end(), true);
    }
    EXPECT_EQ(drawn, 60 + 28);  // border 64 - 4 gaps, cross 29 - the centre
    EXPECT_TRUE(p[0][0] && p[16][16] && p[8][1] && p[15][8]);
    EXPECT_FALSE(p[8][8] || p[0][8] || p[16][8] || p[8][0] || p[8][16] || p[1][1]);
}

TEST(MarkerStatistics, ViewMeasuresBetweenItsMarkersEitherWayRound) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    settings.ChannelScale[0] = 0.001f;
    testing::FillSet(doc, testing::Ramp(100), {testing::Ramp(100)});
    testing::RegisterTiming(doc, 84, 1);  // 0.0105 ms per unit
    PlotView view(doc, &settings);
    view.OnUpdate(HintInitial);
    EXPECT_FALSE(view.MarkerStatisticsOf(0).has_value());
    view.Markers[0] = {60, 20, 1};
    const auto m = view.MarkerStatisticsOf(0);
    ASSERT_TRUE(m.has_value());
    EXPECT_NEAR(m->DeltaSeconds, -0.00042, 1e-12);
    EXPECT_EQ(m->Values.Count, 41u);
    // RMS: sqrt(71340 / 41) mV.
    EXPECT_EQ((std::vector{MarkerFrequencyText(m->DeltaSeconds), MarkerMinText(m->Values),
                           MarkerMaxText(m->Values), MarkerMeanText(m->Values),
                           MarkerRmsText(m->Values), MarkerPeakToPeakText(m->Values)}),
              (std::vector<std::string>{"1/Δt: 2380.952 Hz", "Min: 0.020 V", "Max: 0.060 V",
                                        "Średnia: 0.040 V", "RMS: 0.042 V", "P-p: 0.040 V"}));
    view.Markers[0] = {30, 30, 1};
    EXPECT_EQ(MarkerFrequencyText(view.MarkerStatisticsOf(0)->DeltaSeconds), "1/Δt: - (Δt = 0)");

    // A recording shown live is timed by its own block, not by the data registered before it.
    doc.BeginLive(LiveRecording{.Set = 0,
                                .PlannedScans = 100,
                                .Params = AcquisitionParams{.Divisor = 8000, .Prescaler = 1},
                                .Present = {1}});
    doc.LiveScans = 100;
    view.OnRecordingProgress();
    view.Markers[0] = {20, 60, 1};
    EXPECT_EQ(MarkerFrequencyText(view.MarkerStatisticsOf(0)->DeltaSeconds), "1/Δt: 25.000 Hz");
    EXPECT_EQ(FormatMarkerItems(view.MarkerReadoutOf(0)).Delta,
              "Delta: x = 40.000 ms  y = 0.040 V");

    // Extreme stored values neither overflow the sum nor the squares.
    const int32_t extremes[] = {INT32_MAX, INT32_MAX, INT32_MIN};
    const SampleStatistics s = ComputeSampleStatistics(extremes, 0, 2, 1.0);
    EXPECT_DOUBLE_EQ(s.Mean, 715827882.0);
    EXPECT_NEAR(s.Rms, 2147483647.3333, 1e-3);  // sqrt((2 x 2147483647^2 + 2147483648^2) / 3)
    EXPECT_DOUBLE_EQ(s.PeakToPeak, 4294967295.0);
}

TEST(MarkerStatistics, MeasureLinesAndTimeWindow) {
    SampleStatistics s;
    s.Min = -1.94921;
    s.Max = 1.95119;
    s.Mean = 0.01234;
    s.Rms = 1.12341;
    s.PeakToPeak = 3.9004;
    EXPECT_EQ(MeasureChannelLine(2, s),
              "kanał 3: min -1.9492 V, max 1.9512 V, średnia 0.0123 V, RMS 1.1234 V, p-p 3.9004 V");
    EXPECT_EQ(MeasureTimeLine(0.0104), "Δt = 0.010400 s, 1/Δt = 96.1538 Hz");
    EXPECT_EQ(MeasureTimeLine(0.0), "Δt = 0.000000 s, 1/Δt = -");

    const std::vector<int32_t> times = testing::Ramp(100);
    const double unitMs = ScanUnitMs(4000, 1);  // 0.5 ms
    EXPECT_DOUBLE_EQ(ScanUnitMs(84, 3), 0.0315);
    uint32_t first = 0;
    uint32_t last = 0;
    ASSERT_TRUE(ScanWindow(times.data(), 100, unitMs, 0.010, 0.0105, first, last));
    EXPECT_EQ(std::pair(first, last), std::pair(20u, 21u));
    constexpr double open = std::numeric_limits<double>::infinity();
    ASSERT_TRUE(ScanWindow(times.data(), 100, unitMs, -open, 0.0, first, last));
    EXPECT_EQ(last, 0u);
    ASSERT_TRUE(ScanWindow(times.data(), 100, unitMs, 0.049, open, first, last));
    EXPECT_EQ(std::pair(first, last), std::pair(98u, 99u));
    EXPECT_FALSE(ScanWindow(times.data(), 100, unitMs, 0.0101, 0.0104, first, last));
}

}  // namespace
}  // namespace kresograf
