#include "view/spectrum_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/settings_record.h"
#include "base/translation.h"
#include "document/zefra_krg_doc.h"
#include "view/axis_labels.h"
#include "view/plot_view.h"

namespace kresograf {
namespace {

constexpr uint32_t Black = 0x000000;
constexpr int32_t PrintEdgeWidth = 10;
// The lowest level a dBV axis reaches below its top, and what nothing at all reads.
constexpr double DbvRange = 140.0;
constexpr double Silence = -400.0;

// The smallest of 1, 2 or 5 times a power of ten that is at least raw.
double NiceStep(double raw) {
    if (!(raw > 0.0) || !std::isfinite(raw)) {
        return 1.0;
    }
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw * (1 - 1e-9)) {
            return m * power;
        }
    }
    return 10 * power;
}

// The decimals a multiple of step needs.
int DecimalsOf(double step) {
    return std::clamp(-static_cast<int>(std::floor(std::log10(step) + 1e-9)), 0, 9);
}

int32_t Pixel(double v) {
    return static_cast<int32_t>(std::clamp(std::floor(v), -1e9, 1e9));
}

// Where a frequency falls across the plot, and back.
struct FrequencyMap {
    bool Log = false;
    double Low = 0.0;
    double High = 1.0;
    double Left = 0.0;
    double Width = 1.0;

    double X(double f) const {
        const double at = Log ? std::log(f / Low) / std::log(High / Low) : (f - Low) / (High - Low);
        return Left + Width * at;
    }
    double F(double x) const {
        const double at = (x - Left) / Width;
        return Log ? Low * std::pow(High / Low, at) : Low + (High - Low) * at;
    }
};

struct AmplitudeMap {
    bool Db = false;
    double Low = 0.0;
    double High = 1.0;
    double Bottom = 0.0;
    double Height = 1.0;

    double Value(double rms) const {
        if (!Db) {
            return rms;
        }
        return rms > 0.0 ? 20.0 * std::log10(rms) : Silence;
    }
    // Kept within two pixels of the plot: what lies beyond is clipped, the direction stays.
    int32_t Y(double rms) const {
        const double y = Bottom - Height * (Value(rms) - Low) / (High - Low);
        return Pixel(std::clamp(y, Bottom - Height - 2, Bottom + 2));
    }
};

}  // namespace

void BuildSpectrumPicture(Picture& picture, const SpectrumPlotData& data, SpectrumAxes axes,
                          int32_t width, int32_t height, const TextMeasure& measure,
                          const SettingsRecord& settings, bool onScreen) {
    picture.Restart(width, height, onScreen);
    picture.GridColor = settings.GridColor;

    const int32_t columnWidth = measure("  000.000  ").Width;
    const int32_t bandHeight = 2 * measure("000.000").Height;
    if (height <= 2 * bandHeight || width <= 2 * columnWidth) {
        return;
    }
    const PictureRect plot{columnWidth, bandHeight, width - columnWidth, height - bandHeight};
    const int c = std::clamp(data.Channel, 0, 7);
    const uint32_t traceColor = onScreen ? settings.ChannelColors[c] : settings.PrintColor(c);
    const uint32_t valueColor = onScreen ? settings.ChannelColors[c] : Black;
    picture.HasPlot = true;
    picture.Plot = plot;
    picture.FillPlot = onScreen;
    picture.RaisedEdge = onScreen;
    picture.Clip =
        onScreen ? PictureRect{plot.Left + 2, plot.Top + 2, plot.Right - 2, plot.Bottom - 2} : plot;
    if (!onScreen) {
        picture.AxisLines.push_back(
            {{plot.Left, plot.Top}, {plot.Right, plot.Top}, Black, PrintEdgeWidth});
        picture.AxisLines.push_back(
            {{plot.Right, plot.Bottom}, {plot.Left, plot.Bottom}, Black, PrintEdgeWidth});
        picture.AxisLines.push_back(
            {{columnWidth - 1, plot.Top}, {columnWidth - 1, plot.Bottom}, traceColor, 1});
        picture.AxisLines.push_back({{width - columnWidth + 1, plot.Top},
                                     {width - columnWidth + 1, plot.Bottom},
                                     traceColor,
                                     1});
    }
    const bool log = axes.Frequency == FrequencyAxis::Logarithmic;
    // A logarithmic axis starts at the first bin above 0 Hz, and needs two of them.
    const std::size_t firstBin = log ? 1 : 0;
    if (data.Rms == nullptr || !(data.BinHz > 0.0) || data.Bins < firstBin + 2) {
        return;
    }
    const std::size_t lastBin = data.Bins - 1;
    const double* rms = data.Rms;

    // The frequency axis.
    const FrequencyMap fmap{log, firstBin * data.BinHz, lastBin * data.BinHz, double(plot.Left),
                            double(plot.Width())};
    const int32_t textRow = height - bandHeight / 2;
    auto frequencyTick = [&](double f, int decimals) {
        const int32_t px = Pixel(fmap.X(f));
        picture.Labels.push_back(
            {AxisLabel(f, decimals), {px, textRow}, LabelAlign::BaselineCentre, Black});
        picture.Grid.push_back({px, plot.Bottom});
        picture.Grid.push_back({px, plot.Top});
    };
    if (log) {
        // Decades, and their 2 and 5 where there is room for them.
        const int from = static_cast<int>(std::floor(std::log10(fmap.Low)));
        const int to = static_cast<int>(std::ceil(std::log10(fmap.High)));
        const double decadeWidth = plot.Width() / std::log10(fmap.High / fmap.Low);
        const double labelWidth = measure(AxisLabel(fmap.High, std::max(0, -from))).Width;
        const bool fine = decadeWidth >= 3 * labelWidth;
        for (int e = from; e <= to; ++e) {
            for (const double m : {1.0, 2.0, 5.0}) {
                const double f = m * std::pow(10.0, e);
                if ((m == 1.0 || fine) && f >= fmap.Low * (1 - 1e-9) &&
                    f <= fmap.High * (1 + 1e-9)) {
                    frequencyTick(f, std::max(0, -e));
                }
            }
        }
    } else {
        // The labels' width depends on the step's decimals, and the step on the width.
        double step = fmap.High;
        for (int pass = 0; pass < 2; ++pass) {
            const double labelWidth = measure(AxisLabel(fmap.High, DecimalsOf(step))).Width;
            step = NiceStep(fmap.High / (std::max(2, MaxLabelCount(plot.Width(), labelWidth)) - 1));
        }
        for (int i = 0; i * step <= fmap.High * (1 + 1e-9); ++i) {
            frequencyTick(i * step, DecimalsOf(step));
        }
    }
    picture.Labels.push_back(
        {std::string(" [Hz] "), {width, textRow}, LabelAlign::BaselineRight, Black});

    // The amplitude axis, over the bins shown.
    AmplitudeMap amap{axes.Amplitude == AmplitudeAxis::Dbv, 0.0, 1.0, double(plot.Bottom),
                      double(plot.Height())};
    double largest = 0.0;
    double smallest = std::numeric_limits<double>::infinity();
    for (std::size_t k = firstBin; k <= lastBin; ++k) {
        largest = std::max(largest, rms[k]);
        smallest = std::min(smallest, rms[k]);
    }
    const int32_t count = std::max(2, MaxLabelCount(plot.Height(), 2.0 * measure("0").Height));
    double step = 1.0;
    if (amap.Db) {
        const double top = largest > 0.0 ? 10 * std::ceil(amap.Value(largest) / 10 + 1e-9) : 0.0;
        const double bottom = smallest > 0.0 ? 10 * std::floor(amap.Value(smallest) / 10) : -1e9;
        amap.High = top;
        amap.Low = std::max(std::min(bottom, top - 40.0), top - DbvRange);
        step = NiceStep((amap.High - amap.Low) / (count - 1));
    } else {
        // A little room over the largest, on a whole step.
        const double top = largest > 0.0 ? largest * 1.05 : 1e-3;
        step = NiceStep(top / (count - 1));
        amap.High = std::ceil(top / step - 1e-9) * step;
    }
    const int decimals = DecimalsOf(step);
    const auto firstTick = static_cast<int64_t>(std::ceil(amap.Low / step - 1e-9));
    const auto lastTick = static_cast<int64_t>(std::floor(amap.High / step + 1e-9));
    for (int64_t i = firstTick; i <= lastTick; ++i) {
        // From a whole count of steps, so 0 is never "-0.0".
        const double t = static_cast<double>(i) * step;
        const int32_t py =
            Pixel(amap.Bottom - amap.Height * (t - amap.Low) / (amap.High - amap.Low));
        picture.Labels.push_back(
            {AxisLabel(t, decimals), {columnWidth, py}, LabelAlign::BaselineRight, valueColor});
        picture.Grid.push_back({columnWidth, py});
        picture.Grid.push_back({width - columnWidth, py});
    }
    picture.Labels.push_back({FillText(Tr("Kan.%s "), {std::to_string(c + 1)}),
                              {columnWidth, bandHeight / 2},
                              LabelAlign::BaselineRight,
                              valueColor});
    picture.Labels.push_back({std::string(amap.Db ? " [dBV] " : " [V RMS] "),
                              {width, bandHeight / 2},
                              LabelAlign::BaselineRight,
                              valueColor});

    // The spectrum, one pixel column at a time: the least and the largest amplitude of the bins
    // in the column, in the order they come, so the line runs on from the column before.
    PictureTrace trace;
    trace.Channel = c;
    trace.Color = traceColor;
    for (int32_t px = plot.Left; px < plot.Right; ++px) {
        const auto binAt = [&](double x) {
            const double k = std::ceil(fmap.F(x) / data.BinHz - 1e-9);
            return static_cast<std::size_t>(std::clamp(k, double(firstBin), double(lastBin + 1)));
        };
        const std::size_t from = binAt(px);
        const std::size_t to = px + 1 == plot.Right ? lastBin + 1 : binAt(px + 1);
        if (from >= to) {
            continue;
        }
        std::size_t low = from;
        std::size_t high = from;
        for (std::size_t k = from + 1; k < to; ++k) {
            low = rms[k] < rms[low] ? k : low;
            high = rms[k] > rms[high] ? k : high;
        }
        const int32_t yLow = amap.Y(rms[low]);
        const int32_t yHigh = amap.Y(rms[high]);
        if (yLow == yHigh) {
            trace.Points.push_back({px, yLow});
        } else if (low < high) {
            trace.Points.insert(trace.Points.end(), {{px, yLow}, {px, yHigh}});
        } else {
            trace.Points.insert(trace.Points.end(), {{px, yHigh}, {px, yLow}});
        }
    }
    picture.Traces.push_back(std::move(trace));

    // The peaks, numbered from the strongest, just above their tops; not those that do not
    // rise a label's height above the bottom, where they would only hide each other.
    const int32_t lowest = plot.Bottom - measure("0").Height;
    for (std::size_t i = 0; i < data.Peaks.size(); ++i) {
        const SpectrumMark& peak = data.Peaks[i];
        const double x = fmap.X(peak.Hz);
        const int32_t y = amap.Y(peak.Rms);
        if (!(x >= plot.Left && x < plot.Right) || y > lowest) {
            continue;
        }
        picture.Labels.push_back(
            {std::to_string(i + 1), {Pixel(x), y - 3}, LabelAlign::BaselineCentre, valueColor});
    }
}

std::optional<SpectrumSpan> SpectrumSpanOf(const PlotView& plot, const CZefraKrgDoc& doc,
                                           const SettingsRecord& settings) {
    const int c = plot.ActiveChannel;
    const uint32_t n = plot.SampleCount();
    if (!plot.ChannelPresent(c) || n == 0) {
        return std::nullopt;
    }
    SpectrumSpan span;
    span.Channel = c;
    span.Set = plot.LinkedSet();
    const ScanTimes times = doc.Times(span.Set);
    const MarkerRecord& m = plot.Markers[c];
    if (m.Shown != 0 && m.Left < n && m.Right < n) {
        span.First = std::min(m.Left, m.Right);
        span.Last = std::max(m.Left, m.Right);
    } else {
        const uint32_t first = LowerBound(times, n, plot.XStart);
        const uint32_t end = UpperBound(times, n, plot.XEnd);
        if (first >= end) {
            return std::nullopt;
        }
        span.First = first;
        span.Last = end - 1;
    }
    span.UnitMs = plot.TimeStep();
    span.FromSeconds = times[span.First] * span.UnitMs / 1000.0;
    span.ToSeconds = times[span.Last] * span.UnitMs / 1000.0;
    span.VoltsPerUnit = settings.ChannelScale[c];
    return span;
}

}  // namespace kresograf
