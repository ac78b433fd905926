#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "document/sample_column.h"

namespace kresograf {

// Smallest and largest value of a run of samples. An empty run holds the identities
// (Min = INT32_MAX, Max = INT32_MIN), so merging it changes nothing.
struct SampleRange {
    int32_t Min = std::numeric_limits<int32_t>::max();
    int32_t Max = std::numeric_limits<int32_t>::min();

    bool Empty() const { return Min > Max; }
    friend bool operator==(const SampleRange&, const SampleRange&) = default;
};

// Memory that starts on a cache line; a large block comes in huge pages where the system gives
// them on request, so building the tables of a long set takes a few page faults, not thousands.
void* AllocateLines(std::size_t bytes);
void FreeLines(void* p, std::size_t bytes);

template <typename T>
struct LineAllocator {
    using value_type = T;

    LineAllocator() = default;
    template <typename U>
    LineAllocator(const LineAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(AllocateLines(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { FreeLines(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const LineAllocator<U>&) const {
        return true;
    }
};

// A min/max pyramid over one input's samples, so that the extremes of any index range cost a
// few table reads plus at most two partial blocks instead of a walk over every sample. It grows
// with the data: Extend summarises only the samples added since the last call, at a cost in
// proportion to them, as long as the count stays within the capacity the tables were laid out
// for. Level 0 holds the extremes of each whole block of Block() samples; each node of a higher
// level those of Fanout nodes of the level below. Every group of Fanout siblings fills one cache
// line, so the entries a range edge needs at one level are one line.
//
// Blocks hold BlockSize samples, or more where that keeps the tables within MaxBlocks blocks: a
// summary of any length takes at most a few megabytes.
//
// The samples themselves are not kept: queries take the same samples again, which must not have
// changed since they were summarised. One thread may extend a summary while others query it, as
// long as the tables were laid out for the whole count beforehand: a node is read only once the
// count published after it covers all of its samples.
class TraceSummary {
  public:
    static constexpr uint32_t BlockSize = 32;
    static constexpr uint32_t Fanout = 8;
    static constexpr uint32_t MaxBlocks = 1u << 19;

    TraceSummary() = default;
    TraceSummary(const TraceSummary& other);
    TraceSummary& operator=(const TraceSummary& other);

    // Summarises samples[0, count) afresh, with tables for at least capacity samples.
    void Build(SampleColumn samples, uint32_t count, uint32_t capacity = 0);
    // Takes in samples[Count(), count): samples[0, Count()) must be as they were. A count beyond
    // the capacity lays the tables out anew and rebuilds; a smaller count than Count() too.
    void Extend(SampleColumn samples, uint32_t count);
    // Lays the tables out for capacity samples, empty.
    void Layout(uint32_t capacity);
    void Clear();

    // Number of samples summarised.
    uint32_t Count() const { return count_.load(std::memory_order_acquire); }
    uint32_t Capacity() const { return capacity_; }
    // Samples per level-0 block.
    uint32_t Block() const { return 1u << blockShift_; }
    // Heap memory held by the tables.
    uint64_t MemoryBytes() const;

    // Extremes of samples[begin, end). Indices at or beyond Count() are read from the samples
    // directly, so a summary that is empty or shorter than the samples still answers exactly.
    SampleRange Query(SampleColumn samples, uint32_t begin, uint32_t end) const;

    // Asks the memory system early for what a query with an edge at index will read: the
    // samples of its block and the table lines above it.
    void Prefetch(SampleColumn samples, uint32_t index) const;

    // Takes in scans [Count(), count) of every input of interleaved scans at once, each scan
    // read once: summaries[k] covers the input at byte k x 4 of each scan of inputs x 4 bytes.
    // scans holds the scans from firstScan on, which must be at most NextBlockStart() (so a
    // file can be summarised a piece at a time). The summaries must have been laid out alike
    // and hold the same count. False, with nothing done, when the scans given do not reach back
    // far enough.
    static bool ExtendInterleaved(const uint8_t* scans, uint32_t firstScan, uint32_t inputs,
                                  uint32_t count, TraceSummary* const* summaries);
    // The first scan the next extension needs: the start of the block Count() lies in.
    uint32_t NextBlockStart() const;

  private:
    // Fills the nodes above level 0 over the level-0 blocks [oldBlocks, blocks).
    void FinishLevels(uint32_t oldBlocks, uint32_t blocks);

    std::atomic<uint32_t> count_{0};
    uint32_t capacity_ = 0;
    uint32_t blockShift_ = 5;
    // Level l: levelSize_[l] nodes from nodes_[levelStart_[l]]; each level starts on a line.
    std::vector<uint32_t> levelStart_;
    std::vector<uint32_t> levelSize_;
    std::vector<SampleRange, LineAllocator<SampleRange>> nodes_;
};

// Extremes of samples[begin, end) by a plain walk.
SampleRange ScanSampleRange(SampleColumn samples, uint32_t begin, uint32_t end);

}  // namespace kresograf
