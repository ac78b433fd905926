#include "analysis/spectrum_worker.h"

#include <new>
#include <system_error>
#include <utility>

namespace kresograf {

SpectrumWorker::SpectrumWorker(Deliver deliver, std::size_t inlineSamples)
    : deliver_(std::move(deliver)), inlineSamples_(inlineSamples) {}

SpectrumWorker::~SpectrumWorker() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        waiting_.reset();
    }
    wake_.notify_all();
    if (helper_.joinable()) {
        helper_.join();
    }
}

std::optional<SpectrumResult> SpectrumWorker::Request(const SampleRun& run, SpectrumWindow window,
                                                      std::size_t peakCount, bool here) {
    const uint64_t id = latest_.fetch_add(1) + 1;
    const bool copied = run.Count >= MinSpectrumSamples && run.Count <= MaxSpectrumSamples &&
                        run.Data.Base != nullptr;
    const auto computeHere = [&] {
        {
            std::lock_guard lock(mutex_);
            waiting_.reset();
        }
        SpectrumResult result;
        result.Id = id;
        result.Count = run.Count;
        result.Status = here_.Compute(run, window, peakCount, result.Data);
        return result;
    };
    if (here || run.Count <= inlineSamples_ || !copied) {
        return computeHere();
    }
    Job job;
    job.Id = id;
    job.Window = window;
    job.PeakCount = peakCount;
    job.Run = run;
    try {
        job.Samples.resize(run.Count);
    } catch (const std::bad_alloc&) {
        SpectrumResult result;
        result.Id = id;
        result.Count = run.Count;
        result.Status = SpectrumStatus::OutOfMemory;
        return result;
    }
    for (std::size_t k = 0; k < job.Samples.size(); ++k) {
        job.Samples[k] = run.Data[k];
    }
    job.Run.Data = job.Samples.data();
    bool started = true;
    {
        std::lock_guard lock(mutex_);
        waiting_ = std::move(job);
        if (!helper_.joinable()) {
            try {
                helper_ = std::thread(&SpectrumWorker::Loop, this);
            } catch (const std::system_error&) {
                // No thread to be had (memory): this one is computed here, as a short one is.
                started = false;
            }
        }
    }
    if (!started) {
        return computeHere();
    }
    wake_.notify_one();
    return std::nullopt;
}

bool SpectrumWorker::Busy() const {
    std::lock_guard lock(mutex_);
    return running_ || waiting_.has_value();
}

void SpectrumWorker::Loop() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stop_ || waiting_.has_value(); });
        if (stop_) {
            return;
        }
        Job job = std::move(*waiting_);
        waiting_.reset();
        running_ = true;
        lock.unlock();
        SpectrumResult result;
        result.Id = job.Id;
        result.Count = job.Run.Count;
        result.Status = helperEngine_.Compute(job.Run, job.Window, job.PeakCount, result.Data);
        job.Samples = {};
        if (IsLatest(job.Id)) {
            deliver_(std::move(result));
        }
        lock.lock();
        running_ = false;
    }
}

}  // namespace kresograf
