#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "analysis/spectrum.h"

namespace kresograf {

struct SpectrumResult {
    // The number of the request it answers.
    uint64_t Id = 0;
    SpectrumStatus Status = SpectrumStatus::Ok;
    // Samples asked for (also when there was no spectrum).
    std::size_t Count = 0;
    Spectrum Data;
};

// Computes the spectra a window asks for: a short run at once on the caller's thread, a long one
// on a helper thread from a copy of its samples (the document may change or close meanwhile;
// here as well when the system gives no thread).
// The helper works on the newest request only: one handed in while another waits replaces it,
// so a window that asks faster than spectra are computed waits for nothing stale.
class SpectrumWorker {
  public:
    // Called on the helper thread with each result it computed that was still the newest
    // request when it was done.
    using Deliver = std::function<void(SpectrumResult&&)>;

    // Runs of up to inlineSamples samples are computed on the caller's thread.
    explicit SpectrumWorker(Deliver deliver, std::size_t inlineSamples = 65536);
    // Waits for the spectrum being computed, if any; a waiting request is dropped.
    ~SpectrumWorker();
    SpectrumWorker(const SpectrumWorker&) = delete;
    SpectrumWorker& operator=(const SpectrumWorker&) = delete;

    // A new request, which makes every earlier one stale. Returns the result when it was
    // computed here (always with here set); otherwise the samples are copied (unless there are
    // too many to compute anyway) and the result comes through Deliver.
    std::optional<SpectrumResult> Request(const SampleRun& run, SpectrumWindow window,
                                          std::size_t peakCount, bool here = false);
    // False once a later request was made; a result that arrives late is then to be dropped.
    bool IsLatest(uint64_t id) const { return latest_.load() == id; }
    // Requests handed to the helper and not yet answered or dropped.
    bool Busy() const;

  private:
    struct Job {
        uint64_t Id = 0;
        std::vector<int32_t> Samples;
        SampleRun Run;
        SpectrumWindow Window = SpectrumWindow::Hann;
        std::size_t PeakCount = 0;
    };
    void Loop();

    Deliver deliver_;
    std::size_t inlineSamples_;
    std::atomic<uint64_t> latest_{0};
    SpectrumEngine here_;
    SpectrumEngine helperEngine_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> waiting_;
    bool running_ = false;
    bool stop_ = false;
    std::thread helper_;
};

}  // namespace kresograf
