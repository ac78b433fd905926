#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/sample_column.h"

namespace kresograf {

// The window a run of samples is weighed with before its transform.
enum class SpectrumWindow : uint8_t { Hann, Hamming, Blackman, Rectangular };
inline constexpr SpectrumWindow SpectrumWindows[] = {SpectrumWindow::Hann, SpectrumWindow::Hamming,
                                                     SpectrumWindow::Blackman,
                                                     SpectrumWindow::Rectangular};

// A run of one input's samples as they are stored: Count values read through a column (an
// array, or one input of a file's interleaved scans read in place), each VoltsPerUnit volts per
// unit, one scan ScanSeconds after the other.
struct SampleRun {
    SampleColumn Data;
    std::size_t Count = 0;
    double VoltsPerUnit = 1.0 / 4096.0;
    double ScanSeconds = 0.0;
};

struct SpectrumPeak {
    double FrequencyHz = 0.0;
    // The RMS value of the sinusoid the peak stands for.
    double Rms = 0.0;
};

// The amplitude spectrum of a run.
struct Spectrum {
    // Frequency step between the entries of Rms: 1 / (Count x ScanSeconds).
    double BinHz = 0.0;
    // Count / 2 + 1 amplitudes from 0 Hz up, in V RMS: a sinusoid on a bin reads its RMS value
    // whatever the window (the window's coherent gain corrected); the 0 Hz entry reads the mean.
    std::vector<double> Rms;
    // The strongest local maxima, strongest first, their frequency and amplitude interpolated
    // between the bins. 0 Hz is never a peak.
    std::vector<SpectrumPeak> Peaks;
    std::size_t Samples = 0;
    SpectrumWindow Window = SpectrumWindow::Hann;
};

enum class SpectrumStatus { Ok, TooFewSamples, TooManySamples, NoTimeBase, OutOfMemory };

// Fewest and most samples a spectrum is computed from. The most keep the transform's memory
// near 200 MB.
inline constexpr std::size_t MinSpectrumSamples = 16;
inline constexpr std::size_t MaxSpectrumSamples = std::size_t{1} << 24;

// 20 log10(rms / 1 V); -400 dBV for nothing at all.
double ToDbv(double rms);

// Computes spectra, keeping its buffers for the next run (a run of the same length allocates
// nothing). One engine serves one thread at a time; engines on several threads share the
// transform's plans.
class SpectrumEngine {
  public:
    SpectrumEngine();
    ~SpectrumEngine();
    SpectrumEngine(const SpectrumEngine&) = delete;
    SpectrumEngine& operator=(const SpectrumEngine&) = delete;

    // The spectrum of run with up to peakCount peaks, into out (whose buffers are reused). On
    // anything but Ok, out is left empty.
    SpectrumStatus Compute(const SampleRun& run, SpectrumWindow window, std::size_t peakCount,
                           Spectrum& out);

  private:
    struct Buffers;
    std::unique_ptr<Buffers> buffers_;
};

}  // namespace kresograf
