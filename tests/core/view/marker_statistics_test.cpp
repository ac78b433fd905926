#include <gtest/gtest.h>

#include <limits>

#include "base/frame_link.h"
#include "view/marker_statistics.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

TEST(MarkerStatistics, ValuesOverAnInclusiveRun) {
    const int32_t samples[] = {10, -20, 30, 40};
    SampleStatistics s = ComputeSampleStatistics(samples, 0, 3, 0.5);
    EXPECT_EQ(s.Count, 4u);
    EXPECT_DOUBLE_EQ(s.Min, -10.0);
    EXPECT_DOUBLE_EQ(s.Max, 20.0);
    EXPECT_DOUBLE_EQ(s.Mean, 7.5);
    EXPECT_NEAR(s.Rms, 13.6930639, 1e-7);  // sqrt(3000 / 4) / 2
    EXPECT_DOUBLE_EQ(s.PeakToPeak, 30.0);
    s = ComputeSampleStatistics(samples, 1, 2, 0.5);
    EXPECT_EQ(s.Count, 2u);
    EXPECT_DOUBLE_EQ(s.Min, -10.0);
    EXPECT_DOUBLE_EQ(s.Max, 15.0);
    EXPECT_DOUBLE_EQ(s.Mean, 2.5);
    EXPECT_NEAR(s.Rms, 12.7475488, 1e-7);  // sqrt(1300 / 2) / 2
    // Extreme stored values neither overflow the sum nor the squares.
    const int32_t extremes[] = {INT32_MAX, INT32_MAX, INT32_MIN};
    s = ComputeSampleStatistics(extremes, 0, 2, 1.0);
    EXPECT_DOUBLE_EQ(s.Mean, 715827882.0);
    EXPECT_DOUBLE_EQ(s.PeakToPeak, 4294967295.0);
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
    EXPECT_EQ(MarkerFrequencyText(m->DeltaSeconds), "1/Δt: 2380.952 Hz");
    EXPECT_EQ(MarkerMinText(m->Values), "Min: 0.020 V");
    EXPECT_EQ(MarkerMaxText(m->Values), "Max: 0.060 V");
    EXPECT_EQ(MarkerMeanText(m->Values), "Średnia: 0.040 V");
    EXPECT_EQ(MarkerRmsText(m->Values), "RMS: 0.042 V");  // sqrt(71340 / 41) mV
    EXPECT_EQ(MarkerPeakToPeakText(m->Values), "P-p: 0.040 V");
    view.Markers[0] = {30, 30, 1};
    EXPECT_EQ(MarkerFrequencyText(view.MarkerStatisticsOf(0)->DeltaSeconds), "1/Δt: - (Δt = 0)");
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
    EXPECT_EQ(first, 20u);
    EXPECT_EQ(last, 21u);
    ASSERT_TRUE(ScanWindow(times.data(), 100, unitMs, -1.0, 1e9, first, last));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 99u);
    constexpr double open = std::numeric_limits<double>::infinity();
    ASSERT_TRUE(ScanWindow(times.data(), 100, unitMs, -open, 0.0, first, last));
    EXPECT_EQ(last, 0u);
    ASSERT_TRUE(ScanWindow(times.data(), 100, unitMs, 0.049, open, first, last));
    EXPECT_EQ(first, 98u);
    EXPECT_EQ(last, 99u);
    EXPECT_FALSE(ScanWindow(times.data(), 100, unitMs, 1.0, 2.0, first, last));
    EXPECT_FALSE(ScanWindow(times.data(), 100, unitMs, 0.0101, 0.0104, first, last));
}

}  // namespace
}  // namespace kresograf
