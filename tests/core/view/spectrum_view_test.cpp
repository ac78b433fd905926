#include "view/spectrum_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/frame_link.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FixedMeasure;

const PictureLabel* FindLabel(const Picture& p, const std::string& text) {
    const auto found = std::find_if(p.Labels.begin(), p.Labels.end(),
                                    [&](const PictureLabel& l) { return l.Text == text; });
    return found == p.Labels.end() ? nullptr : &*found;
}

// The highest point of the trace (least y).
PicturePoint Top(const Picture& p) {
    const std::vector<PicturePoint>& points = p.Traces.at(0).Points;
    return *std::min_element(points.begin(), points.end(),
                             [](PicturePoint a, PicturePoint b) { return a.Y < b.Y; });
}

TEST(SpectrumPicture, PeakSitsWhereItsAxesSayOnEveryScale) {
    // 0 … 1000 Hz; 2.828 V RMS (+9.0 dBV) at 400 Hz over 1 mV (-60 dBV).
    std::vector<double> rms(1001, 0.001);
    rms[400] = 2.828;
    // Peak 2 hardly rises from the bottom: not numbered.
    const SpectrumPlotData data{rms.data(), rms.size(), 1.0, 2, {{400.0, 2.828}, {700.0, 0.01}}};
    SettingsRecord settings;
    Picture p;

    BuildSpectrumPicture(p, data, {}, 400, 300, FixedMeasure, settings, true);
    ASSERT_TRUE(p.HasPlot);
    EXPECT_TRUE(p.FillPlot && p.FillBackground);
    PicturePoint top = Top(p);
    const PictureLabel* hz = FindLabel(p, " 400 ");
    const PictureLabel* low = FindLabel(p, " 2.5 ");
    const PictureLabel* high = FindLabel(p, " 3.0 ");
    ASSERT_TRUE(hz && low && high);
    EXPECT_NEAR(top.X, hz->Anchor.X, 1);
    EXPECT_LT(top.Y, low->Anchor.Y);
    EXPECT_GT(top.Y, high->Anchor.Y);
    EXPECT_EQ(high->Color, settings.ChannelColors[2]);
    EXPECT_EQ(p.Traces[0].Color, settings.ChannelColors[2]);
    ASSERT_TRUE(FindLabel(p, "1") && FindLabel(p, "Kan.3 ") && FindLabel(p, " [V RMS] "));
    EXPECT_NEAR(FindLabel(p, "1")->Anchor.X, top.X, 1);
    EXPECT_EQ(FindLabel(p, "2"), nullptr);
    EXPECT_NE(FindLabel(p, " [Hz] "), nullptr);

    // Logarithmic frequency and dBV: decades from 1 Hz, the peak under the +10 dBV line.
    BuildSpectrumPicture(p, data, {FrequencyAxis::Logarithmic, AmplitudeAxis::Dbv}, 400, 300,
                         FixedMeasure, settings, true);
    top = Top(p);
    for (const char* decade : {" 1 ", " 10 ", " 100 ", " 1000 "}) {
        ASSERT_NE(FindLabel(p, decade), nullptr) << decade;
    }
    const int32_t x10 = FindLabel(p, " 10 ")->Anchor.X;
    const int32_t x100 = FindLabel(p, " 100 ")->Anchor.X;
    const int32_t x1000 = FindLabel(p, " 1000 ")->Anchor.X;
    EXPECT_NEAR(x100 - x10, x1000 - x100, 1);
    EXPECT_GT(top.X, x100);
    EXPECT_LT(top.X, x1000);
    ASSERT_NE(FindLabel(p, " [dBV] "), nullptr);
    const auto tenDb = std::find_if(p.Labels.begin(), p.Labels.end(), [](const PictureLabel& l) {
        return l.Text == " 10 " && l.Align == LabelAlign::BaselineRight;
    });
    ASSERT_NE(tenDb, p.Labels.end());
    EXPECT_GT(top.Y, tenDb->Anchor.Y);
    EXPECT_LT(top.Y, tenDb->Anchor.Y + 20);

    // On paper: no background, black labels, the print colours, the edges and axis lines.
    settings.ChannelColors[2] = 0x00FF00;
    BuildSpectrumPicture(p, data, {}, 400, 300, FixedMeasure, settings, false);
    EXPECT_FALSE(p.FillBackground || p.FillPlot);
    EXPECT_EQ(p.Traces[0].Color, 0xFF00FFu);
    EXPECT_TRUE(std::all_of(p.Labels.begin(), p.Labels.end(),
                            [](const PictureLabel& l) { return l.Color == 0; }));
    EXPECT_EQ(p.AxisLines.size(), 4u);

    // No data: the plot alone.
    BuildSpectrumPicture(p, {}, {}, 400, 300, FixedMeasure, settings, true);
    EXPECT_TRUE(p.HasPlot && p.Traces.empty() && p.Labels.empty());
}

TEST(SpectrumPicture, SpanIsTheWindowOrTheMarkers) {
    CZefraKrgDoc doc;
    SettingsRecord settings;
    testing::FillSet(doc, testing::Ramp(100, 2), {{}, testing::Ramp(100)});
    testing::RegisterTiming(doc, 8000, 1);  // 1 ms per unit
    PlotView view(doc, &settings);
    view.OnUpdate(HintInitial);
    ASSERT_EQ(view.ActiveChannel, 1);
    view.XStart = 9;
    view.XEnd = 50;
    std::optional<SpectrumSpan> span = SpectrumSpanOf(view, doc, settings);
    ASSERT_TRUE(span.has_value());
    EXPECT_EQ(std::pair(span->First, span->Last), std::pair(5u, 25u));
    EXPECT_DOUBLE_EQ(span->FromSeconds, 0.010);
    EXPECT_DOUBLE_EQ(span->ToSeconds, 0.050);
    view.Markers[1] = {60, 40, 1};
    span = SpectrumSpanOf(view, doc, settings);
    EXPECT_EQ(std::pair(span->First, span->Last), std::pair(40u, 60u));
    view.Markers[1].Shown = 0;
    view.XStart = 300;
    view.XEnd = 400;
    EXPECT_FALSE(SpectrumSpanOf(view, doc, settings).has_value());
    view.ActiveChannel = 0;
    view.XStart = 0;
    EXPECT_FALSE(SpectrumSpanOf(view, doc, settings).has_value());
}

}  // namespace
}  // namespace kresograf
