#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "document/sample_column.h"

namespace kresograf {

// Minimum, maximum, mean, RMS and peak-to-peak of a run of samples, in volts.
struct SampleStatistics {
    uint32_t Count = 0;
    double Min = 0.0;
    double Max = 0.0;
    double Mean = 0.0;
    double Rms = 0.0;
    double PeakToPeak = 0.0;
};

// Over samples[first] … samples[last], both included (first <= last), each sample times
// voltsPerUnit.
SampleStatistics ComputeSampleStatistics(SampleColumn samples, uint32_t first, uint32_t last,
                                         double voltsPerUnit);

// What the markers window adds under a channel whose markers are on: the time between the two
// markers and the statistics of the samples from one to the other.
struct MarkerStatistics {
    // Right minus left, in seconds.
    double DeltaSeconds = 0.0;
    SampleStatistics Values;
};

// 1 / |Δt| in Hz; none when both times are equal.
std::optional<double> FrequencyOf(double deltaSeconds);

// The markers window's extra items, three decimals like the marker items.
std::string MarkerFrequencyText(double deltaSeconds);
std::string MarkerMinText(const SampleStatistics& s);
std::string MarkerMaxText(const SampleStatistics& s);
std::string MarkerMeanText(const SampleStatistics& s);
std::string MarkerRmsText(const SampleStatistics& s);
std::string MarkerPeakToPeakText(const SampleStatistics& s);

// Duration of one ScanTime unit in ms: divisor / 8000 x prescaler.
double ScanUnitMs(uint32_t divisor, uint32_t prescaler);

// The scans whose times (ScanTime x unitMs, in seconds) lie in [fromSeconds, toSeconds].
// False when none does.
bool ScanWindow(ScanTimes scanTimes, uint32_t count, double unitMs, double fromSeconds,
                double toSeconds, uint32_t& first, uint32_t& last);

// The measure command's lines: one per input, and the window's duration.
//   "kanał 3: min -1.9492 V, max 1.9512 V, średnia 0.0123 V, RMS 1.1234 V, p-p 3.9004 V"
//   "Δt = 0.010400 s, 1/Δt = 96.1538 Hz"
std::string MeasureChannelLine(int channel, const SampleStatistics& s);
std::string MeasureTimeLine(double deltaSeconds);

}  // namespace kresograf
