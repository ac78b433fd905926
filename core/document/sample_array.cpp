#include "document/sample_array.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kresograf {

bool SampleArray::Resize(std::size_t entries, const AllocationGate& gate) {
    if (entries == size_) {
        return true;
    }
    std::unique_ptr<int32_t[]> fresh;
    if (entries != 0 && (!gate || gate(entries))) {
        fresh.reset(new (std::nothrow) int32_t[entries]);
    }
    if (entries != 0 && !fresh) {
        if (entries < size_) {
            // Shrinking never fails: without a smaller block the array keeps its memory.
            size_ = entries;
            return true;
        }
        return false;
    }
    const std::size_t kept = std::min(entries, size_);
    if (kept != 0) {
        std::memcpy(fresh.get(), data_.get(), kept * sizeof(int32_t));
    }
    data_ = std::move(fresh);
    size_ = entries;
    filled_ = false;
    return true;
}

void SampleArray::Fill(int32_t value) {
    const std::size_t reached = std::min(touched_.load(std::memory_order_relaxed), size_);
    const std::size_t end = filled_ && fillValue_ == value ? reached : size_;
    std::fill(data_.get(), data_.get() + end, value);
    fillValue_ = value;
    filled_ = true;
    touched_.store(0, std::memory_order_relaxed);
}

}  // namespace kresograf
