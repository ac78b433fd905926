#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "view/picture.h"

namespace kresograf {

class CZefraKrgDoc;
class PlotView;
struct SettingsRecord;

enum class FrequencyAxis : uint8_t { Linear, Logarithmic };
enum class AmplitudeAxis : uint8_t { Rms, Dbv };

// One peak as the spectrum window marks it: its frequency and RMS value.
struct SpectrumMark {
    double Hz = 0.0;
    double Rms = 0.0;
};

// A spectrum as its picture needs it: Bins amplitudes in V RMS from 0 Hz, BinHz apart, of one
// channel, and the peaks to number on it (strongest first).
struct SpectrumPlotData {
    const double* Rms = nullptr;
    std::size_t Bins = 0;
    double BinHz = 0.0;
    int Channel = 0;
    std::vector<SpectrumMark> Peaks;
};

struct SpectrumAxes {
    FrequencyAxis Frequency = FrequencyAxis::Linear;
    AmplitudeAxis Amplitude = AmplitudeAxis::Rms;
};

// The spectrum window's picture, laid out and coloured as a plot window's: on screen grey
// around a black plot with a raised edge, the frequency labels and " [Hz] " under it, the
// amplitude labels and "Kan.N " in the channel's colour on the left and the amplitude's unit at
// the top right, a dotted grid, the spectrum as one trace reduced to a pixel column each, and
// the peaks numbered above them; on paper no background, black labels, edges and axis lines,
// print colours. The frequency runs from 0 Hz (from the first bin on a logarithmic axis) to
// the last bin; the amplitude from 0 V to a little over the largest shown, or in whole ten dB
// from above the largest down to at most 140 dB below it. Without data only the empty plot.
void BuildSpectrumPicture(Picture& picture, const SpectrumPlotData& data, SpectrumAxes axes,
                          int32_t width, int32_t height, const TextMeasure& measure,
                          const SettingsRecord& settings, bool onScreen);

// The samples of a plot window the spectrum window shows: its active channel between the
// channel's markers when they are on, else over the scans inside the window's time span.
struct SpectrumSpan {
    int Channel = 0;
    uint32_t Set = 0;
    uint32_t First = 0;
    uint32_t Last = 0;
    // Milliseconds per ScanTime unit, and the span's ends in seconds.
    double UnitMs = 0.0;
    double FromSeconds = 0.0;
    double ToSeconds = 0.0;
    double VoltsPerUnit = 0.0;
};
// None when the active channel has no data or no scan lies in the span. Reads the set the view
// is linked to, up to the scans it has seen (a running recording's complete ones).
std::optional<SpectrumSpan> SpectrumSpanOf(const PlotView& plot, const CZefraKrgDoc& doc,
                                           const SettingsRecord& settings);

}  // namespace kresograf
