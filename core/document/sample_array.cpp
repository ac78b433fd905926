#include "document/sample_array.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kresograf {

bool SampleArray::Resize(std::size_t entries, const AllocationGate& gate) {
    if (entries == size_) {
        return true;
    }
    if (gate && !gate(entries)) {
        return false;
    }
    std::unique_ptr<int32_t[]> fresh(entries == 0 ? nullptr : new (std::nothrow) int32_t[entries]);
    if (entries != 0 && !fresh) {
        return false;
    }
    const std::size_t kept = std::min(entries, size_);
    if (kept != 0) {
        std::memcpy(fresh.get(), data_.get(), kept * sizeof(int32_t));
    }
    data_ = std::move(fresh);
    size_ = entries;
    return true;
}

void SampleArray::Fill(int32_t value) {
    std::fill(data_.get(), data_.get() + size_, value);
}

}  // namespace kresograf
