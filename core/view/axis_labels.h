#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_format.h"
#include "view/picture.h"

namespace kresograf {

// ceil(x x 10^n) / 10^n in double precision.
double CeilToDecimals(double x, int n);

// An axis label: the number with one blank on each side.
std::string AxisLabel(double value, int precision);

// The unit of the time labels and the factor that turns ScanTime units into it.
struct TimeUnit {
    std::string_view Text;
    double Factor = 0.0;
};
// timeStep is the duration of one ScanTime unit in ms; the span is xEnd - xStart units.
TimeUnit ChooseTimeUnit(float timeStep, int32_t xStart, int32_t xEnd);

// How many labels of labelSize fit into room: trunc(room / labelSize + 1).
int32_t MaxLabelCount(double room, double labelSize);
// The smallest step with the given decimals that fits n - 1 steps into range. Never zero or
// negative: a window that leaves no room gives an infinite step (one tick at most).
double TickStep(double range, int32_t labelCount, int decimals);

struct TimeAxisInput {
    int32_t XStart = 0;
    int32_t XEnd = 0;
    float TimeStep = 1.0f;
    PictureRect Plot;
    int32_t BandHeight = 0;
    int32_t ClientWidth = 0;
    int32_t ClientHeight = 0;
    uint32_t Color = 0;
};
// Time labels and the unit text under the plot; appends one vertical grid segment (two points)
// per tick.
void DrawTimeAxis(const TimeAxisInput& in, const TextMeasure& measure,
                  std::vector<PictureLabel>& labels, std::vector<PicturePoint>& grid);

struct ValueAxesInput {
    int Active = 0;
    int Right = 1;
    int32_t YMinA = 0;
    int32_t YMaxA = 0;
    int32_t YMinR = 0;
    int32_t YMaxR = 0;
    double FactorA = 1.0;
    double FactorR = 1.0;
    PictureRect Plot;
    int32_t ColumnWidth = 0;
    int32_t ClientWidth = 0;
    uint32_t ColorA = 0;
    uint32_t ColorR = 0;
};
// The active channel's labels on the left, the right-axis channel's on the right, their "Kan."
// captions; appends one horizontal grid segment per left tick.
void DrawValueAxes(const ValueAxesInput& in, const TextMeasure& measure,
                   std::vector<PictureLabel>& labels, std::vector<PicturePoint>& grid);

}  // namespace kresograf
