#include "analysis/spectrum.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <new>
#include <numbers>

#include "analysis/real_fft.h"

namespace kresograf {
namespace {

// A window of the cosine-sum family, w[k] = A0 - A1 cos(2 pi k / n) + A2 cos(4 pi k / n), in
// its periodic form (the one whose transform falls exactly on the bins).
struct CosineSum {
    double A0 = 1.0;
    double A1 = 0.0;
    double A2 = 0.0;
};

CosineSum WindowCoefficients(SpectrumWindow window) {
    switch (window) {
        case SpectrumWindow::Hann:
            return {0.5, 0.5, 0.0};
        case SpectrumWindow::Hamming:
            return {0.54, 0.46, 0.0};
        case SpectrumWindow::Blackman:
            return {0.42, 0.5, 0.08};
        case SpectrumWindow::Rectangular:
            break;
    }
    return {1.0, 0.0, 0.0};
}

double Sinc(double x) {
    if (x == 0.0) {
        return 1.0;
    }
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

// The window's transform at v bins from a tone, for a long run: how much of the tone's
// amplitude a bin v away from it receives, times A0 at v = 0.
double Kernel(const CosineSum& c, double v) {
    return c.A0 * Sinc(v) + c.A1 / 2 * (Sinc(v - 1) + Sinc(v + 1)) +
           c.A2 / 2 * (Sinc(v - 2) + Sinc(v + 2));
}

// Where between the bins a tone lies whose bins k - 1, k, k + 1 read left, centre, right, in
// bins from k (-0.5 ... 0.5). The difference of the neighbours over the centre rises steadily
// with the offset for each of these windows, so it is found by halving the interval.
double ToneOffset(const CosineSum& c, double left, double centre, double right) {
    const double measured = (right - left) / centre;
    double low = -0.5;
    double high = 0.5;
    for (int i = 0; i < 48; ++i) {
        const double mid = (low + high) / 2;
        const double ratio = (std::abs(Kernel(c, 1 - mid)) - std::abs(Kernel(c, 1 + mid))) /
                             std::abs(Kernel(c, mid));
        (ratio < measured ? low : high) = mid;
    }
    return (low + high) / 2;
}

}  // namespace

double ToDbv(double rms) {
    return rms > 0.0 ? 20.0 * std::log10(rms) : -400.0;
}

struct SpectrumEngine::Buffers {
    FftBuffer Transform;
    std::size_t TransformDoubles = 0;
    std::vector<double> Weights;
    std::size_t WeightsSize = 0;
    SpectrumWindow WeightsWindow = SpectrumWindow::Hann;
    double WeightSum = 0.0;
    // Peak candidates: raw amplitude and bin.
    std::vector<std::pair<double, std::size_t>> Candidates;
};

SpectrumEngine::SpectrumEngine() : buffers_(std::make_unique<Buffers>()) {}

SpectrumEngine::~SpectrumEngine() = default;

namespace {

// The window's weights for n points and their sum. Cosines by rotation, exact again every few
// thousand points, so the table costs a multiplication per point rather than a cosine.
double FillWeights(std::vector<double>& weights, std::size_t n, const CosineSum& c) {
    weights.resize(n);
    const double theta = 2 * std::numbers::pi / static_cast<double>(n);
    const double stepCos = std::cos(theta);
    const double stepSin = std::sin(theta);
    constexpr std::size_t Block = 4096;
    double sum = 0.0;
    for (std::size_t start = 0; start < n; start += Block) {
        double re = std::cos(theta * static_cast<double>(start));
        double im = std::sin(theta * static_cast<double>(start));
        const std::size_t end = std::min(n, start + Block);
        for (std::size_t k = start; k < end; ++k) {
            const double w = c.A0 - c.A1 * re + c.A2 * (2 * re * re - 1);
            weights[k] = w;
            sum += w;
            const double next = re * stepCos - im * stepSin;
            im = re * stepSin + im * stepCos;
            re = next;
        }
    }
    return sum;
}

using Candidate = std::pair<double, std::size_t>;

// The local maxima of the amplitudes above 0 Hz, the strongest peakCount of them after
// interpolation, strongest first. Only the strongest raw maxima are interpolated: the rest
// cannot overtake the last one kept even with the most a bin between two can lose (half a bin
// off); where they could, more are taken.
void FindPeaks(Spectrum& out, const CosineSum& c, std::size_t peakCount,
               std::vector<Candidate>& candidates) {
    const std::vector<double>& r = out.Rms;
    // 0 Hz is no peak: its own lobe falls away from it, so the first bin cannot be a maximum
    // through it.
    const std::size_t first = 1;
    if (r.size() < 3) {
        return;
    }
    const std::size_t last = r.size() - 2;
    // Below this the amplitudes are the transform's rounding, not the signal (a constant's
    // bins off 0 Hz are zero to about 1e-16 of it).
    const double floor = *std::max_element(r.begin(), r.end()) * 1e-10;
    const double largestGain = Kernel(c, 0.0) / std::abs(Kernel(c, 0.5));
    for (std::size_t keep = 2 * peakCount + 8;; keep *= 4) {
        candidates.clear();
        std::size_t total = 0;
        for (std::size_t k = first; k <= last; ++k) {
            if (!(r[k] > r[k - 1] && r[k] >= r[k + 1] && r[k] > floor)) {
                continue;
            }
            ++total;
            if (candidates.size() < keep) {
                candidates.emplace_back(r[k], k);
                std::push_heap(candidates.begin(), candidates.end(), std::greater<>());
            } else if (r[k] > candidates.front().first) {
                std::pop_heap(candidates.begin(), candidates.end(), std::greater<>());
                candidates.back() = {r[k], k};
                std::push_heap(candidates.begin(), candidates.end(), std::greater<>());
            }
        }
        out.Peaks.clear();
        for (const auto& [raw, k] : candidates) {
            const double offset = ToneOffset(c, r[k - 1], raw, r[k + 1]);
            out.Peaks.push_back({(static_cast<double>(k) + offset) * out.BinHz,
                                 raw * Kernel(c, 0.0) / std::abs(Kernel(c, offset))});
        }
        std::sort(out.Peaks.begin(), out.Peaks.end(),
                  [](const SpectrumPeak& a, const SpectrumPeak& b) { return a.Rms > b.Rms; });
        if (out.Peaks.size() > peakCount) {
            out.Peaks.resize(peakCount);
        }
        const bool allSeen = total == candidates.size();
        if (allSeen || (out.Peaks.size() == peakCount &&
                        out.Peaks.back().Rms >= candidates.front().first * largestGain)) {
            return;
        }
    }
}

}  // namespace

SpectrumStatus SpectrumEngine::Compute(const SampleRun& run, SpectrumWindow window,
                                       std::size_t peakCount, Spectrum& out) {
    out.Rms.clear();
    out.Peaks.clear();
    out.BinHz = 0.0;
    out.Samples = 0;
    out.Window = window;
    if (run.Count < MinSpectrumSamples || run.Data == nullptr) {
        return SpectrumStatus::TooFewSamples;
    }
    if (run.Count > MaxSpectrumSamples) {
        return SpectrumStatus::TooManySamples;
    }
    if (!(run.ScanSeconds > 0.0) || !std::isfinite(run.ScanSeconds)) {
        return SpectrumStatus::NoTimeBase;
    }
    const std::size_t n = run.Count;
    const std::size_t bins = n / 2 + 1;
    const CosineSum c = WindowCoefficients(window);
    Buffers& b = *buffers_;
    try {
        if (b.TransformDoubles < 2 * bins || b.TransformDoubles > 8 * bins) {
            b.Transform.reset();
            b.TransformDoubles = 0;
            b.Transform = AllocateFftBuffer(2 * bins);
            if (!b.Transform) {
                return SpectrumStatus::OutOfMemory;
            }
            b.TransformDoubles = 2 * bins;
        }
        const std::shared_ptr<const RealFft> fft = RealFft::ForSize(n, b.Transform.get());
        if (!fft) {
            return SpectrumStatus::OutOfMemory;
        }
        if (b.WeightsSize != n || b.WeightsWindow != window) {
            b.WeightsSize = 0;
            b.WeightSum = FillWeights(b.Weights, n, c);
            b.WeightsSize = n;
            b.WeightsWindow = window;
        }
        double* x = b.Transform.get();
        const double* w = b.Weights.data();
        const int32_t* data = run.Data;
        if (run.Stride == 1) {
            for (std::size_t k = 0; k < n; ++k) {
                x[k] = data[k] * w[k];
            }
        } else {
            for (std::size_t k = 0; k < n; ++k, data += run.Stride) {
                x[k] = *data * w[k];
            }
        }
        fft->Execute(x);

        // |X[k]| of a sinusoid of amplitude A on bin k is A / 2 x the weights' sum; its RMS value
        // is A / sqrt 2. The 0 Hz and (for even n) the last bin have no mirror image.
        const double unit = std::abs(run.VoltsPerUnit) / b.WeightSum;
        const double scale = std::numbers::sqrt2 * unit;
        out.Rms.resize(bins);
        double* rms = out.Rms.data();
        const std::size_t paired = n % 2 == 0 ? bins - 1 : bins;
        for (std::size_t k = 1; k < paired; ++k) {
            const double re = x[2 * k];
            const double im = x[2 * k + 1];
            rms[k] = std::sqrt(re * re + im * im) * scale;
        }
        rms[0] = std::abs(x[0]) * unit;
        if (paired != bins) {
            rms[bins - 1] = std::abs(x[2 * (bins - 1)]) * unit;
        }
        out.BinHz = 1.0 / (static_cast<double>(n) * run.ScanSeconds);
        out.Samples = n;

        if (peakCount > 0) {
            FindPeaks(out, c, peakCount, b.Candidates);
        }
    } catch (const std::bad_alloc&) {
        out.Rms.clear();
        out.Peaks.clear();
        out.BinHz = 0.0;
        out.Samples = 0;
        return SpectrumStatus::OutOfMemory;
    }
    return SpectrumStatus::Ok;
}

}  // namespace kresograf
