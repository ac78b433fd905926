#include "view/trace_summary.h"

#include <algorithm>

namespace kresograf {
namespace {

SampleRange Merge(SampleRange a, SampleRange b) {
    return {std::min(a.Min, b.Min), std::max(a.Max, b.Max)};
}

SampleRange ScanNodes(SampleRange r, const SampleRange* nodes, uint32_t begin, uint32_t end) {
    for (uint32_t i = begin; i < end; ++i) {
        r = Merge(r, nodes[i]);
    }
    return r;
}

constexpr uint32_t RoundUp(uint32_t v, uint32_t step) {
    return (v + step - 1) / step * step;
}

static_assert(sizeof(SampleRange) * TraceSummary::Fanout == 64, "one sibling group per line");

}  // namespace

SampleRange ScanSampleRange(const int32_t* samples, uint32_t begin, uint32_t end) {
    int32_t lo = std::numeric_limits<int32_t>::max();
    int32_t hi = std::numeric_limits<int32_t>::min();
    for (uint32_t k = begin; k < end; ++k) {
        lo = std::min(lo, samples[k]);
        hi = std::max(hi, samples[k]);
    }
    return {lo, hi};
}

void TraceSummary::Clear() {
    count_ = 0;
    capacity_ = 0;
    levelStart_ = std::vector<uint32_t>();
    levelSize_ = std::vector<uint32_t>();
    nodes_ = std::vector<SampleRange, LineAllocator<SampleRange>>();
}

void TraceSummary::Layout(uint32_t capacity) {
    // The tables of the previous layout are reused when they are large enough.
    capacity_ = capacity;
    count_ = 0;
    levelStart_.clear();
    levelSize_.clear();
    const uint32_t blocks = capacity / BlockSize;
    if (blocks == 0) {
        nodes_.clear();
        return;
    }
    uint32_t total = 0;
    for (uint32_t size = blocks;; size = (size + Fanout - 1) / Fanout) {
        levelStart_.push_back(total);
        levelSize_.push_back(size);
        total += RoundUp(size, Fanout);
        if (size == 1) {
            break;
        }
    }
    nodes_.resize(total);
    if (nodes_.capacity() > 2 * static_cast<std::size_t>(total)) {
        nodes_.shrink_to_fit();
    }
}

void TraceSummary::Build(const int32_t* samples, uint32_t count, uint32_t capacity) {
    Layout(std::max(count, capacity));
    Extend(samples, count);
}

void TraceSummary::Extend(const int32_t* samples, uint32_t count) {
    if (count > capacity_ || count < count_) {
        Build(samples, count, capacity_);
        return;
    }
    const uint32_t oldBlocks = count_ / BlockSize;
    const uint32_t blocks = count / BlockSize;
    count_ = count;
    if (blocks == oldBlocks) {
        return;
    }
    // A fixed-length inner loop over plain int32 extremes, which the compiler turns into
    // vector min/max over each block.
    SampleRange* level0 = nodes_.data();
    for (uint32_t b = oldBlocks; b < blocks; ++b) {
        const int32_t* p = samples + static_cast<std::size_t>(b) * BlockSize;
        int32_t lo = p[0];
        int32_t hi = p[0];
        for (uint32_t i = 1; i < BlockSize; ++i) {
            lo = std::min(lo, p[i]);
            hi = std::max(hi, p[i]);
        }
        level0[b] = {lo, hi};
    }
    // Above, only the nodes over new blocks change. A node whose children are not all there
    // yet holds those that are; queries never read it until it is complete, and the next
    // extension renews it.
    uint32_t changed = oldBlocks;
    uint32_t filled = blocks;
    for (std::size_t l = 1; l < levelStart_.size(); ++l) {
        const SampleRange* below = nodes_.data() + levelStart_[l - 1];
        SampleRange* here = nodes_.data() + levelStart_[l];
        const uint32_t from = changed / Fanout;
        const uint32_t to = (filled + Fanout - 1) / Fanout;
        for (uint32_t i = from; i < to; ++i) {
            here[i] = ScanNodes({}, below, i * Fanout, std::min(i * Fanout + Fanout, filled));
        }
        changed = from;
        filled = to;
    }
}

uint64_t TraceSummary::MemoryBytes() const {
    return static_cast<uint64_t>(nodes_.capacity()) * sizeof(SampleRange) +
           static_cast<uint64_t>(levelStart_.capacity() + levelSize_.capacity()) * sizeof(uint32_t);
}

void TraceSummary::Prefetch(const int32_t* samples, uint32_t index) const {
    if (index / BlockSize >= count_ / BlockSize) {
        return;  // the short tail: not worth it, and its block would run past the samples
    }
    const int32_t* block = samples + (index - index % BlockSize);
    __builtin_prefetch(block);
    __builtin_prefetch(block + BlockSize / 2);
    __builtin_prefetch(block + BlockSize - 1);
    // The two lowest levels: higher ones are shared by many neighbouring edges.
    uint32_t node = index / BlockSize;
    for (std::size_t l = 0; l < levelStart_.size() && l < 2; ++l, node /= Fanout) {
        if (node < levelSize_[l]) {
            __builtin_prefetch(nodes_.data() + levelStart_[l] + node);
        }
    }
}

SampleRange TraceSummary::Query(const int32_t* samples, uint32_t begin, uint32_t end) const {
    if (begin >= end) {
        return {};
    }
    const uint32_t blocks = count_ / BlockSize;
    uint32_t lo = RoundUp(begin, BlockSize) / BlockSize;
    uint32_t hi = std::min(end / BlockSize, blocks);
    if (lo >= hi) {
        return ScanSampleRange(samples, begin, end);
    }
    SampleRange r = Merge(ScanSampleRange(samples, begin, lo * BlockSize),
                          ScanSampleRange(samples, hi * BlockSize, end));
    // Bottom-up: at each level the nodes up to the next group boundary on the left and from
    // the last group boundary on the right are taken; the whole groups between are the nodes
    // of the next level.
    for (std::size_t l = 0;; ++l) {
        const SampleRange* nodes = nodes_.data() + levelStart_[l];
        const uint32_t loUp = RoundUp(lo, Fanout);
        const uint32_t hiDown = hi / Fanout * Fanout;
        if (loUp >= hiDown) {
            return ScanNodes(r, nodes, lo, hi);
        }
        r = ScanNodes(ScanNodes(r, nodes, lo, loUp), nodes, hiDown, hi);
        lo = loUp / Fanout;
        hi = hiDown / Fanout;
    }
}

}  // namespace kresograf
