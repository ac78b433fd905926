#include "analysis/real_fft.h"

#include <fftw3.h>

#include <algorithm>
#include <limits>
#include <list>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace kresograf {
namespace {

// The sizes last used, most recent first. A window that follows a zoom sees a new size with
// every step; a few plans cover going back and forth without keeping each one forever.
constexpr std::size_t CachedPlans = 8;

struct PlanCache {
    // Held while the library's planner runs: making and destroying plans.
    std::mutex Planner;
    // Held while the list changes.
    std::mutex List;
    std::list<std::shared_ptr<const RealFft>> Plans;
};

// Aligned for any vector width the library uses, without its own allocator: only executing a
// plan is documented thread-safe there.
constexpr std::align_val_t BufferAlignment{64};

// Never destroyed: a plan released by a thread at exit still finds its lock.
PlanCache& Cache() {
    static auto* cache = new PlanCache;
    return *cache;
}

}  // namespace

void FftBufferDeleter::operator()(double* p) const {
    ::operator delete[](p, BufferAlignment);
}

FftBuffer AllocateFftBuffer(std::size_t doubles) {
    if (doubles > std::numeric_limits<std::size_t>::max() / sizeof(double)) {
        return nullptr;
    }
    void* memory = ::operator new[](std::max<std::size_t>(doubles, 1) * sizeof(double),
                                    BufferAlignment, std::nothrow);
    return FftBuffer(static_cast<double*>(memory));
}

std::shared_ptr<const RealFft> RealFft::ForSize(std::size_t n, double* buffer) {
    if (n < 2 || n > MaxSize || buffer == nullptr) {
        return nullptr;
    }
    PlanCache& cache = Cache();
    std::vector<std::shared_ptr<const RealFft>> evicted;
    std::lock_guard list(cache.List);
    auto found = std::find_if(cache.Plans.begin(), cache.Plans.end(),
                              [n](const auto& plan) { return plan->n_ == n; });
    if (found != cache.Plans.end()) {
        cache.Plans.splice(cache.Plans.begin(), cache.Plans, found);
        return cache.Plans.front();
    }
    fftw_plan plan = nullptr;
    {
        std::lock_guard planner(cache.Planner);
        // Estimated, not measured: measuring takes seconds at a million points and writes over
        // the buffer, and a new size comes with every zoom.
        plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), buffer,
                                    reinterpret_cast<fftw_complex*>(buffer), FFTW_ESTIMATE);
    }
    if (plan == nullptr) {
        return nullptr;
    }
    std::shared_ptr<const RealFft> made(new RealFft(plan, n));
    cache.Plans.push_front(made);
    while (cache.Plans.size() > CachedPlans) {
        // Destroyed below, after the list's lock: another thread may still be using it.
        evicted.push_back(std::move(cache.Plans.back()));
        cache.Plans.pop_back();
    }
    return made;
}

RealFft::~RealFft() {
    std::lock_guard planner(Cache().Planner);
    fftw_destroy_plan(static_cast<fftw_plan>(plan_));
}

void RealFft::Execute(double* buffer) const {
    fftw_execute_dft_r2c(static_cast<fftw_plan>(plan_), buffer,
                         reinterpret_cast<fftw_complex*>(buffer));
}

}  // namespace kresograf
