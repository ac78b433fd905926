#pragma once

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
class SampleArray {
  public:
    SampleArray() = default;
    explicit SampleArray(std::size_t entries) { Resize(entries); }

    bool Resize(std::size_t entries, const AllocationGate& gate = {});

    std::size_t Size() const { return size_; }
    int32_t* Data() { return data_.get(); }
    const int32_t* Data() const { return data_.get(); }
    int32_t& operator[](std::size_t i) { return data_[i]; }
    int32_t operator[](std::size_t i) const { return data_[i]; }

  private:
    std::unique_ptr<int32_t[]> data_;
    std::size_t size_ = 0;
};

}  // namespace kresograf
