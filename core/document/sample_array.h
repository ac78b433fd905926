#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace kresograf {

// Decides whether an allocation of the given number of entries may go ahead. Empty = always.
// Tests use it to play a machine that runs out of memory.
using AllocationGate = std::function<bool(std::size_t entries)>;

// A resizable array of 32-bit samples. Resizing keeps the prefix; a failed resize leaves the
// array as it was; shrinking always succeeds. Entries past the kept prefix are not initialised.
//
// The array remembers its last fill and how far mutable access may since have reached, so a
// repeated Fill rewrites only that prefix: a document cleared again and again (as the file
// reader does for every file it refuses) does not rewrite its megabytes every time. Write only
// through a pointer or reference taken after the last Fill, and through Data(extent) only below
// extent.
class SampleArray {
  public:
    SampleArray() = default;
    explicit SampleArray(std::size_t entries) { Resize(entries); }

    bool Resize(std::size_t entries, const AllocationGate& gate = {});
    void Fill(int32_t value);

    std::size_t Size() const { return size_; }
    int32_t* Data() {
        Touch(size_);
        return data_.get();
    }
    // Mutable access for writing the first extent entries only.
    int32_t* Data(std::size_t extent) {
        Touch(extent);
        return data_.get();
    }
    const int32_t* Data() const { return data_.get(); }
    int32_t& operator[](std::size_t i) {
        Touch(i + 1);
        return data_[i];
    }
    int32_t operator[](std::size_t i) const { return data_[i]; }

  private:
    void Touch(std::size_t extent) {
        std::size_t reached = touched_.load(std::memory_order_relaxed);
        while (reached < extent &&
               !touched_.compare_exchange_weak(reached, extent, std::memory_order_relaxed)) {
        }
    }

    std::unique_ptr<int32_t[]> data_;
    std::size_t size_ = 0;
    // Entries from touched_ on hold fillValue_ when filled_ is set.
    std::atomic<std::size_t> touched_{0};
    bool filled_ = false;
    int32_t fillValue_ = 0;
};

}  // namespace kresograf
