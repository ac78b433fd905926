#include "analysis/spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

// The window's transform over sin(pi v) / pi: the one sine all its terms share is left out,
// so the neighbours of a bin can be compared without computing it. Infinite at whole v.
double KernelOverSine(const CosineSum& c, double v) {
    return c.A0 / v - c.A1 / 2 * (1 / (v - 1) + 1 / (v + 1)) +
           c.A2 / 2 * (1 / (v - 2) + 1 / (v + 2));
}

// Where between the bins a tone lies whose bins k - 1, k, k + 1 read left, centre, right, in
// bins from k (-0.5 ... 0.5). The difference of the neighbours over the centre rises steadily
// with the offset for each of these windows, so it is found by halving the interval.
double ToneOffset(const CosineSum& c, double left, double centre, double right) {
    const double measured = (right - left) / centre;
    double low = -0.5;
    double high = 0.5;
    for (int i = 0; i < 40; ++i) {
        const double mid = (low + high) / 2;
        // The bins around a tone that lies on one have nothing on either side.
        const double ratio =
            mid == 0.0
                ? 0.0
                : (std::abs(KernelOverSine(c, 1 - mid)) - std::abs(KernelOverSine(c, 1 + mid))) /
                      std::abs(KernelOverSine(c, mid));
        (ratio < measured ? low : high) = mid;
    }
    return (low + high) / 2;
}

}  // namespace

double ToDbv(double rms) {
    return rms > 0.0 ? 20.0 * std::log10(rms) : -400.0;
}

namespace {

// The transform of the windowed run at bin k, from the transform of the run itself: a
// cosine-sum window multiplies the run by a0 and by cosines of 1 and 2 cycles over it, which in
// the transform is a0 X[k] - a1/2 (X[k-1] + X[k+1]) + a2/2 (X[k-2] + X[k+2]). Bins beyond
// either end are those of the real run's mirror image, X[-k] = X[n-k] = conj X[k].
struct Windowing {
    const double* X;
    std::ptrdiff_t N;
    double A0;
    double H1;
    double H2;

    void Bin(std::ptrdiff_t k, double& re, double& im) const {
        const bool mirrored = k < 0 || k > N / 2;
        const std::ptrdiff_t at = k < 0 ? -k : (k > N / 2 ? N - k : k);
        re = X[2 * at];
        im = mirrored ? -X[2 * at + 1] : X[2 * at + 1];
    }
    // Near the ends, where the neighbours reach past them.
    void WindowedAtEnd(std::ptrdiff_t k, double& re, double& im) const {
        double r[5];
        double i[5];
        for (int j = 0; j < 5; ++j) {
            Bin(k + j - 2, r[j], i[j]);
        }
        re = A0 * r[2] - H1 * (r[1] + r[3]) + H2 * (r[0] + r[4]);
        im = A0 * i[2] - H1 * (i[1] + i[3]) + H2 * (i[0] + i[4]);
    }
};

using Candidate = std::pair<double, std::size_t>;

// The strongest local maxima of the amplitudes seen so far, as raw amplitude and bin, in a heap
// whose weakest is on top. Bins are handed in as their right neighbours become known, so the
// scan reads what the amplitudes' loop has just written.
class Maxima {
  public:
    void Start(std::size_t keep) {
        list_.clear();
        keep_ = keep;
        threshold_ = 0.0;
    }
    // Bins from … to - 1, whose neighbours r[from - 1] … r[to] are known.
    void Scan(const double* r, std::size_t from, std::size_t to) {
        // Once the list is full only a bin above its weakest can enter; most groups of bins
        // have none, and a group is passed over by its largest.
        constexpr std::size_t Group = 8;
        std::size_t k = from;
        for (; k + Group <= to; k += Group) {
            double largest = r[k];
            for (std::size_t j = 1; j < Group; ++j) {
                largest = std::max(largest, r[k + j]);
            }
            if (largest <= threshold_) {
                continue;
            }
            for (std::size_t j = 0; j < Group; ++j) {
                Consider(r, k + j);
            }
        }
        for (; k < to; ++k) {
            Consider(r, k);
        }
    }
    std::vector<Candidate>& List() { return list_; }
    // Every maximum is in the list.
    bool Complete() const { return list_.size() < keep_; }
    std::size_t Keep() const { return keep_; }

  private:
    void Consider(const double* r, std::size_t k) {
        const double v = r[k];
        if (v <= threshold_ || !(v > r[k - 1] && v >= r[k + 1])) {
            return;
        }
        if (list_.size() == keep_) {
            std::pop_heap(list_.begin(), list_.end(), std::greater<>());
            list_.pop_back();
        }
        list_.emplace_back(v, k);
        std::push_heap(list_.begin(), list_.end(), std::greater<>());
        if (list_.size() == keep_) {
            threshold_ = list_.front().first;
        }
    }

    std::vector<Candidate> list_;
    std::size_t keep_ = 0;
    double threshold_ = 0.0;
};

// The peakCount strongest of the maxima after interpolation, strongest first. Only the
// strongest raw maxima were kept: the rest cannot overtake the last peak even with the most a
// tone between two bins loses there (half a bin off); where they could, the amplitudes are
// scanned again for more.
void FindPeaks(Spectrum& out, const CosineSum& c, std::size_t peakCount, Maxima& maxima) {
    const std::vector<double>& r = out.Rms;
    const double largestGain = Kernel(c, 0.0) / std::abs(Kernel(c, 0.5));
    while (true) {
        std::vector<Candidate>& candidates = maxima.List();
        if (candidates.empty()) {
            return;
        }
        const bool complete = maxima.Complete();
        const double weakest = candidates.front().first;
        // The largest amplitude is a maximum found or lies at an end. Below a ten-billionth of
        // it the amplitudes are the transform's rounding, not the signal (the bins of a constant
        // off 0 Hz are zero to about 1e-16 of it).
        const double top = std::max(
            {r.front(), r.back(), std::max_element(candidates.begin(), candidates.end())->first});
        const double floor = top * 1e-10;
        std::erase_if(candidates, [floor](const Candidate& each) { return each.first <= floor; });
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
        if (complete ||
            (out.Peaks.size() == peakCount && out.Peaks.back().Rms >= weakest * largestGain)) {
            return;
        }
        maxima.Start(4 * maxima.Keep());
        maxima.Scan(r.data(), 1, r.size() - 1);
    }
}

}  // namespace

struct SpectrumEngine::Buffers {
    FftBuffer Transform;
    std::size_t TransformDoubles = 0;
    Maxima Peaks;
};

SpectrumEngine::SpectrumEngine() : buffers_(std::make_unique<Buffers>()) {}

SpectrumEngine::~SpectrumEngine() = default;

SpectrumStatus SpectrumEngine::Compute(const SampleRun& run, SpectrumWindow window,
                                       std::size_t peakCount, Spectrum& out) {
    // Emptied only when there is no spectrum: the amplitudes' buffer keeps its size from one
    // spectrum to the next of the same length, and is not cleared for nothing.
    const auto refuse = [&out](SpectrumStatus status) {
        out.Rms.clear();
        out.Peaks.clear();
        out.BinHz = 0.0;
        out.Samples = 0;
        return status;
    };
    out.Window = window;
    if (run.Count < MinSpectrumSamples || run.Data.Base == nullptr) {
        return refuse(SpectrumStatus::TooFewSamples);
    }
    if (run.Count > MaxSpectrumSamples) {
        return refuse(SpectrumStatus::TooManySamples);
    }
    if (!(run.ScanSeconds > 0.0) || !std::isfinite(run.ScanSeconds)) {
        return refuse(SpectrumStatus::NoTimeBase);
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
                return refuse(SpectrumStatus::OutOfMemory);
            }
            b.TransformDoubles = 2 * bins;
        }
        const std::shared_ptr<const RealFft> fft = RealFft::ForSize(n, b.Transform.get());
        if (!fft) {
            return refuse(SpectrumStatus::OutOfMemory);
        }
        double* x = b.Transform.get();
        const uint8_t* data = run.Data.Base;
        if (run.Data.Stride == sizeof(int32_t)) {
            for (std::size_t k = 0; k < n; ++k) {
                int32_t v;
                std::memcpy(&v, data + 4 * k, sizeof v);
                x[k] = v;
            }
        } else {
            for (std::size_t k = 0; k < n; ++k) {
                x[k] = run.Data[k];
            }
        }
        fft->Execute(x);

        // The window goes in here, on the transform (see Windowing), so the run is read once
        // and no table of weights is kept. |X[k]| of a sinusoid of amplitude A on bin k is then
        // A / 2 x the weights' sum, n a0; its RMS value is A / sqrt 2. The 0 Hz and (for even n)
        // the last bin have no mirror image. The maxima are looked for block by block behind the
        // amplitudes, while they are in cache.
        const auto bigN = static_cast<std::ptrdiff_t>(n);
        const Windowing windowing{x, bigN, c.A0, c.A1 / 2, c.A2 / 2};
        const double unit = std::abs(run.VoltsPerUnit) / (c.A0 * static_cast<double>(n));
        const double scale = std::numbers::sqrt2 * unit;
        out.Rms.resize(bins);
        double* rms = out.Rms.data();
        const auto lastBin = static_cast<std::ptrdiff_t>(bins) - 1;
        const std::ptrdiff_t paired = n % 2 == 0 ? lastBin : lastBin + 1;
        // Bins 0, 1 and the last two take their neighbours through the mirror.
        for (const std::ptrdiff_t k :
             {std::ptrdiff_t{0}, std::ptrdiff_t{1}, lastBin - 1, lastBin}) {
            double re = 0.0;
            double im = 0.0;
            windowing.WindowedAtEnd(k, re, im);
            const bool single = k == 0 || k >= paired;
            rms[k] = std::sqrt(re * re + im * im) * (single ? unit : scale);
        }
        Maxima& maxima = b.Peaks;
        maxima.Start(2 * peakCount + 8);
        const double a0 = c.A0;
        const double h1 = c.A1 / 2;
        const double h2 = c.A2 / 2;
        constexpr std::ptrdiff_t Block = 2048;
        std::ptrdiff_t scanned = 1;
        for (std::ptrdiff_t start = 2; start < lastBin - 1; start += Block) {
            const std::ptrdiff_t end = std::min(lastBin - 1, start + Block);
            for (std::ptrdiff_t k = start; k < end; ++k) {
                const double* p = x + 2 * k;
                const double re = a0 * p[0] - h1 * (p[-2] + p[2]) + h2 * (p[-4] + p[4]);
                const double im = a0 * p[1] - h1 * (p[-1] + p[3]) + h2 * (p[-3] + p[5]);
                rms[k] = std::sqrt(re * re + im * im) * scale;
            }
            if (peakCount > 0 && end - 1 > scanned) {
                maxima.Scan(rms, static_cast<std::size_t>(scanned),
                            static_cast<std::size_t>(end - 1));
                scanned = end - 1;
            }
        }
        if (peakCount > 0 && lastBin > scanned) {
            maxima.Scan(rms, static_cast<std::size_t>(scanned), static_cast<std::size_t>(lastBin));
        }
        out.BinHz = 1.0 / (static_cast<double>(n) * run.ScanSeconds);
        out.Samples = n;
        out.Peaks.clear();
        if (peakCount > 0) {
            FindPeaks(out, c, peakCount, maxima);
        }
    } catch (const std::bad_alloc&) {
        return refuse(SpectrumStatus::OutOfMemory);
    }
    return SpectrumStatus::Ok;
}

}  // namespace kresograf
