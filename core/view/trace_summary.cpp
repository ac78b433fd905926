#include "view/trace_summary.h"

#include <algorithm>

namespace kresograf {
namespace {

SampleRange Merge(SampleRange a, SampleRange b) {
    return {std::min(a.Min, b.Min), std::max(a.Max, b.Max)};
}

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
    levelStart_ = std::vector<uint32_t>();
    nodes_ = std::vector<SampleRange>();
}

void TraceSummary::Build(const int32_t* samples, uint32_t count) {
    // The tables of the previous set are reused when they are large enough.
    count_ = count;
    levelStart_.clear();
    nodes_.clear();
    const uint32_t blocks = count / BlockSize;
    if (blocks == 0) {
        return;
    }
    uint32_t total = 0;
    for (uint32_t size = blocks;; size = size / 2 + size % 2) {
        levelStart_.push_back(total);
        total += size;
        if (size == 1) {
            break;
        }
    }
    levelStart_.push_back(total);
    nodes_.resize(total);
    if (nodes_.capacity() > 2 * static_cast<std::size_t>(total)) {
        nodes_.shrink_to_fit();
    }

    // A fixed-length inner loop over plain int32 extremes, which the compiler turns into
    // vector min/max over each block.
    SampleRange* level0 = nodes_.data();
    for (uint32_t b = 0; b < blocks; ++b) {
        const int32_t* p = samples + static_cast<std::size_t>(b) * BlockSize;
        int32_t lo = p[0];
        int32_t hi = p[0];
        for (uint32_t i = 1; i < BlockSize; ++i) {
            lo = std::min(lo, p[i]);
            hi = std::max(hi, p[i]);
        }
        level0[b] = {lo, hi};
    }
    for (std::size_t l = 1; l + 1 < levelStart_.size(); ++l) {
        const SampleRange* below = nodes_.data() + levelStart_[l - 1];
        const uint32_t belowSize = levelStart_[l] - levelStart_[l - 1];
        SampleRange* here = nodes_.data() + levelStart_[l];
        const uint32_t pairs = belowSize / 2;
        for (uint32_t i = 0; i < pairs; ++i) {
            here[i] = Merge(below[2 * i], below[2 * i + 1]);
        }
        if (belowSize % 2 != 0) {
            here[pairs] = below[belowSize - 1];
        }
    }
}

uint64_t TraceSummary::MemoryBytes() const {
    return static_cast<uint64_t>(nodes_.capacity()) * sizeof(SampleRange) +
           static_cast<uint64_t>(levelStart_.capacity()) * sizeof(uint32_t);
}

SampleRange TraceSummary::Query(const int32_t* samples, uint32_t begin, uint32_t end) const {
    if (begin >= end) {
        return {};
    }
    const uint32_t blocks = count_ / BlockSize;
    uint32_t firstBlock = begin / BlockSize + (begin % BlockSize != 0 ? 1 : 0);
    uint32_t endBlock = std::min(end / BlockSize, blocks);
    if (firstBlock >= endBlock) {
        return ScanSampleRange(samples, begin, end);
    }
    SampleRange r = Merge(ScanSampleRange(samples, begin, firstBlock * BlockSize),
                          ScanSampleRange(samples, endBlock * BlockSize, end));
    // Bottom-up over the levels: a left edge that is a right child and a right edge that is a
    // left child are taken at this level; what is between is covered by whole parents.
    for (std::size_t level = 0; firstBlock < endBlock; ++level) {
        const SampleRange* nodes = nodes_.data() + levelStart_[level];
        if (firstBlock % 2 != 0) {
            r = Merge(r, nodes[firstBlock++]);
        }
        if (endBlock % 2 != 0) {
            r = Merge(r, nodes[--endBlock]);
        }
        firstBlock /= 2;
        endBlock /= 2;
    }
    return r;
}

}  // namespace kresograf
