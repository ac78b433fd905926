#include "view/axis_labels.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <tuple>

#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FixedMeasure;

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
