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
    return true;
}

}  // namespace kresograf
