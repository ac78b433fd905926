#pragma once

#include <cstddef>
#include <memory>

namespace kresograf {

// Memory for an in-place real transform, aligned as the transform's vector code wants it.
struct FftBufferDeleter {
    void operator()(double* p) const;
};
using FftBuffer = std::unique_ptr<double[], FftBufferDeleter>;
// Room for `doubles` values; null when the memory is not there.
FftBuffer AllocateFftBuffer(std::size_t doubles);

// The forward transform of n real points, in place in a buffer of n + 2 doubles from
// AllocateFftBuffer: afterwards it holds the n / 2 + 1 complex values (re, im)
// X[k] = sum over j of x[j] e^(-2 pi i j k / n).
//
// A plan is made once per size and kept for every later transform of that size, on any thread.
// Making (and destroying) plans is serialised, since the library's planner is not thread-safe;
// executing a plan is, and runs in parallel.
class RealFft {
  public:
    // The transform of n points (2 <= n <= MaxSize), its plan made on first use of the size with
    // `buffer` (which it neither reads nor writes); null when no plan could be made.
    static std::shared_ptr<const RealFft> ForSize(std::size_t n, double* buffer);

    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    std::size_t Size() const { return n_; }
    void Execute(double* buffer) const;

    static constexpr std::size_t MaxSize = std::size_t{1} << 30;

  private:
    RealFft(void* plan, std::size_t n) : plan_(plan), n_(n) {}
    void* plan_;
    std::size_t n_;
};

}  // namespace kresograf
