#include "view/marker_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/fixed_format.h"
#include "base/translation.h"
#include "document/zefra_krg_doc.h"
#include "view/plot_view.h"

namespace kresograf {
namespace {

std::string Volts3(double v) {
    return FormatFixed(v, 3) + " V";
}

std::string Volts4(double v) {
    return FormatFixed(v, 4) + " V";
}

}  // namespace

SampleStatistics ComputeSampleStatistics(SampleColumn samples, uint32_t first, uint32_t last,
                                         double voltsPerUnit) {
    SampleStatistics s;
    if (first > last) {
        return s;
    }
    int32_t low = std::numeric_limits<int32_t>::max();
    int32_t high = std::numeric_limits<int32_t>::min();
    // The sum is exact in 64 bits for any count a set can hold; the squares would not be.
    int64_t sum = 0;
    double squares = 0.0;
    for (uint32_t k = first;; ++k) {
        const int32_t v = samples[k];
        low = std::min(low, v);
        high = std::max(high, v);
        sum += v;
        squares += static_cast<double>(v) * v;
        if (k == last) {
            break;
        }
    }
    s.Count = last - first + 1;
    const double n = s.Count;
    s.Min = low * voltsPerUnit;
    s.Max = high * voltsPerUnit;
    s.Mean = static_cast<double>(sum) / n * voltsPerUnit;
    s.Rms = std::sqrt(squares / n) * std::abs(voltsPerUnit);
    s.PeakToPeak = (static_cast<double>(high) - low) * std::abs(voltsPerUnit);
    if (voltsPerUnit < 0) {
        std::swap(s.Min, s.Max);
    }
    return s;
}

std::optional<double> FrequencyOf(double deltaSeconds) {
    if (deltaSeconds == 0.0) {
        return std::nullopt;
    }
    return 1.0 / std::abs(deltaSeconds);
}

std::string MarkerFrequencyText(double deltaSeconds) {
    const std::optional<double> f = FrequencyOf(deltaSeconds);
    if (!f) {
        return "1/Δt: - (Δt = 0)";
    }
    return "1/Δt: " + FormatFixed(*f, 3) + " Hz";
}

std::string MarkerMinText(const SampleStatistics& s) {
    return "Min: " + Volts3(s.Min);
}

std::string MarkerMaxText(const SampleStatistics& s) {
    return "Max: " + Volts3(s.Max);
}

std::string MarkerMeanText(const SampleStatistics& s) {
    return FillText(Tr("Średnia: %s"), {Volts3(s.Mean)});
}

std::string MarkerRmsText(const SampleStatistics& s) {
    return "RMS: " + Volts3(s.Rms);
}

std::string MarkerPeakToPeakText(const SampleStatistics& s) {
    return "P-p: " + Volts3(s.PeakToPeak);
}

double ScanUnitMs(uint32_t divisor, uint32_t prescaler) {
    return divisor / 8000.0 * prescaler;
}

bool ScanWindow(ScanTimes scanTimes, uint32_t count, double unitMs, double fromSeconds,
                double toSeconds, uint32_t& first, uint32_t& last) {
    // Compared in ms with a margin far below one unit, so "--to 0.0105" keeps the scan at
    // exactly 10.5 ms although 0.0105 has no exact binary form. An open end stays infinite.
    const double fromMs = fromSeconds * 1000.0;
    const double toMs = toSeconds * 1000.0;
    const double low = fromMs - 1e-9 * std::max(1.0, std::abs(fromMs));
    const double high = toMs + 1e-9 * std::max(1.0, std::abs(toMs));
    bool found = false;
    for (uint32_t k = 0; k < count; ++k) {
        const double t = scanTimes[k] * unitMs;
        if (t < low || t > high) {
            continue;
        }
        if (!found) {
            first = k;
            found = true;
        }
        last = k;
    }
    return found;
}

std::string MeasureChannelLine(int channel, const SampleStatistics& s) {
    return FillText(Tr("kanał %s: min %s, max %s, średnia %s, RMS %s, p-p %s"),
                    {std::to_string(channel + 1), Volts4(s.Min), Volts4(s.Max), Volts4(s.Mean),
                     Volts4(s.Rms), Volts4(s.PeakToPeak)});
}

std::string MeasureTimeLine(double deltaSeconds) {
    const std::optional<double> f = FrequencyOf(deltaSeconds);
    return "Δt = " + FormatFixed(deltaSeconds, 6) +
           " s, 1/Δt = " + (f ? FormatFixed(*f, 4) + " Hz" : std::string("-"));
}

std::optional<MarkerStatistics> PlotView::MarkerStatisticsOf(int channel) const {
    const MarkerRecord& m = Markers[channel];
    const uint32_t n = SampleCount();
    if (m.Shown == 0 || m.Left >= n || m.Right >= n) {
        return std::nullopt;
    }
    MarkerStatistics result;
    const AcquisitionParams params = ShownParams();
    const double unitMs = ScanUnitMs(params.Divisor, params.Prescaler);
    const ScanTimes times = Times();
    result.DeltaSeconds = (static_cast<double>(times[m.Right]) - times[m.Left]) * unitMs / 1000.0;
    result.Values = ComputeSampleStatistics(SamplesOf(channel), std::min(m.Left, m.Right),
                                            std::max(m.Left, m.Right), VoltFactor(channel));
    return result;
}

}  // namespace kresograf
