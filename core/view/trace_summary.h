#pragma once

#include <cstdint>
#include <limits>
#include <vector>

namespace kresograf {

// Smallest and largest value of a run of samples. An empty run holds the identities
// (Min = INT32_MAX, Max = INT32_MIN), so merging it changes nothing.
struct SampleRange {
    int32_t Min = std::numeric_limits<int32_t>::max();
    int32_t Max = std::numeric_limits<int32_t>::min();

    bool Empty() const { return Min > Max; }
    friend bool operator==(const SampleRange&, const SampleRange&) = default;
};

// A min/max pyramid over one channel's samples, built once per sample set, so that the extremes
// of any index range cost a few table reads plus at most two partial blocks instead of a walk
// over every sample. Level 0 holds the extremes of each whole block of BlockSize samples; every
// higher level pairs two nodes of the level below. The samples themselves are not kept: queries
// take the same array again, which must not have changed since Build.
class TraceSummary {
  public:
    static constexpr uint32_t BlockSize = 32;

    void Build(const int32_t* samples, uint32_t count);
    void Clear();

    // Number of samples the summary was built over.
    uint32_t Count() const { return count_; }
    // Heap memory held by the tables.
    uint64_t MemoryBytes() const;

    // Extremes of samples[begin, end). Indices at or beyond Count() are read from the array
    // directly, so a summary that is empty or shorter than the array still answers exactly.
    SampleRange Query(const int32_t* samples, uint32_t begin, uint32_t end) const;

  private:
    uint32_t count_ = 0;
    // Level l occupies nodes_[levelStart_[l], levelStart_[l + 1]).
    std::vector<uint32_t> levelStart_;
    std::vector<SampleRange> nodes_;
};

// Extremes of samples[begin, end) by a plain walk.
SampleRange ScanSampleRange(const int32_t* samples, uint32_t begin, uint32_t end);

}  // namespace kresograf
