#include "view/axis_labels.h"
#include "base/fixed_format.h"
#include "base/translation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kresograf {
namespace {

int32_t TruncToPixel(double v) {
    if (!(v == v)) {
        return 0;
    }
    const double t = std::trunc(v);
    if (t >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (t <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(t);
}

std::string ChannelCaption(int channel) {
    return FillText(Tr("Kan.%s "), {std::to_string(channel + 1)});
}

}  // namespace

double CeilToDecimals(double x, int n) {
    const double scale = std::pow(10.0, n);
    return std::ceil(x * scale) / scale;
}

std::string AxisLabel(double value, int precision) {
    std::string text(1, ' ');
    text += FormatFixed(value, precision);
    text += ' ';
    return text;
}

TimeUnit ChooseTimeUnit(float timeStep, int32_t xStart, int32_t xEnd) {
    const double step = timeStep;
    const double span = (static_cast<double>(xEnd) - xStart) * step;
    if (step > 1000.0 || span > 60000.0) {
        return {" [min] ", step / 60000.0};
    }
    if (step > 100.0 || span > 1000.0) {
        return {" [s] ", step / 1000.0};
    }
    return {" [ms] ", step};
}

int32_t MaxLabelCount(double room, double labelSize) {
    if (!(labelSize > 0.0)) {
        labelSize = 1.0;
    }
    return TruncToPixel(room / labelSize + 1.0);
}

double TickStep(double range, int32_t labelCount, int decimals) {
    const double step = CeilToDecimals(range / (labelCount - 1), decimals);
    // A zero step (empty range) would never leave the tick loops.
    return step > 0.0 ? step : std::numeric_limits<double>::infinity();
}

void DrawTimeAxis(const TimeAxisInput& in, const TextMeasure& measure,
                  std::vector<PictureLabel>& labels, std::vector<PicturePoint>& grid) {
    const TimeUnit unit = ChooseTimeUnit(in.TimeStep, in.XStart, in.XEnd);
    const double xStart = in.XStart;
    const double xEnd = in.XEnd;
    const int32_t labelWidth = std::max(measure(AxisLabel(xStart * unit.Factor, 2)).Width,
                                        measure(AxisLabel(xEnd * unit.Factor, 2)).Width);
    const double plotWidth = in.Plot.Width();
    const double range = xEnd - xStart;
    const double step = TickStep(range, MaxLabelCount(plotWidth, labelWidth), 2);
    const int32_t baseline = in.ClientHeight - (in.BandHeight >> 1);

    auto tick = [&](double t) {
        // A zero-width window (one sample) puts its only tick at the left edge.
        const int32_t px = range > 0.0
                               ? TruncToPixel(plotWidth * (t - xStart) / range + in.Plot.Left)
                               : in.Plot.Left;
        labels.push_back(
            {AxisLabel(t * unit.Factor, 2), {px, baseline}, LabelAlign::BaselineCentre, in.Color});
        grid.push_back({px, in.ClientHeight - in.BandHeight});
        grid.push_back({px, in.BandHeight});
    };

    if (xStart <= 0.0 && 0.0 <= xEnd) {
        for (double t = 0.0; xStart < t; t -= step) {
            tick(t);
        }
        for (double t = step; t < xEnd; t += step) {
            tick(t);
        }
    } else {
        for (double t = xStart; t < xEnd; t += step) {
            tick(t);
        }
    }
    labels.push_back(
        {std::string(unit.Text), {in.ClientWidth, baseline}, LabelAlign::BaselineRight, in.Color});
}

void DrawValueAxes(const ValueAxesInput& in, const TextMeasure& measure,
                   std::vector<PictureLabel>& labels, std::vector<PicturePoint>& grid) {
    const double labelHeight = 2.0 * measure(AxisLabel(0.0 * in.FactorA, 3)).Height;
    const double plotHeight = in.Plot.Height();
    const int32_t n = MaxLabelCount(plotHeight, labelHeight);
    const double yMinA = in.YMinA;
    const double yMaxA = in.YMaxA;
    const double yMinR = in.YMinR;
    const double yMaxR = in.YMaxR;
    const double rangeA = yMaxA - yMinA;
    const double rangeR = yMaxR - yMinR;
    const double stepA = TickStep(rangeA, n, 3);
    const double stepR = TickStep(rangeR, n, 3);

    auto rowOf = [&](double v, double yMin, double range) {
        return range > 0.0 ? TruncToPixel(in.Plot.Bottom - plotHeight * (v - yMin) / range)
                           : in.Plot.Bottom;
    };

    std::size_t segments = 0;
    auto tick = [&](double t) {
        const int32_t py = rowOf(t, yMinA, rangeA);
        labels.push_back({AxisLabel(t * in.FactorA, 3),
                          {in.ColumnWidth, py},
                          LabelAlign::BaselineRight,
                          in.ColorA});
        grid.push_back({in.ColumnWidth, py});
        grid.push_back({in.ClientWidth - in.ColumnWidth, py});
        ++segments;
    };

    double vR = 0.0;
    if (yMinA <= 0.0 && 0.0 <= yMaxA) {
        // The right channel's value on the row of the active channel's zero, followed down to
        // the lowest tick.
        vR = rangeA > 0.0 ? yMaxR - yMaxA * rangeR / rangeA : yMaxR;
        for (double t = 0.0; yMinA < t; t -= stepA) {
            tick(t);
            vR -= stepR;
        }
        vR += stepR;
        for (double t = stepA; t < yMaxA; t += stepA) {
            tick(t);
        }
    } else {
        vR = yMinR;
        for (double t = yMinA; t < yMaxA; t += stepA) {
            tick(t);
        }
    }
    labels.push_back({ChannelCaption(in.Active),
                      {in.ColumnWidth, in.Plot.Top >> 1},
                      LabelAlign::BaselineRight,
                      in.ColorA});

    for (std::size_t i = 0; i < segments; ++i) {
        const double v = vR;
        vR += stepR;
        labels.push_back({AxisLabel(v * in.FactorR, 3),
                          {in.ClientWidth, rowOf(v, yMinR, rangeR)},
                          LabelAlign::BaselineRight,
                          in.ColorR});
    }
    labels.push_back({ChannelCaption(in.Right),
                      {in.ClientWidth, in.Plot.Top >> 1},
                      LabelAlign::BaselineRight,
                      in.ColorR});
}

}  // namespace kresograf
