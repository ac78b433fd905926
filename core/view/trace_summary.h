#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
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

// Storage that starts on a cache line.
template <typename T>
struct LineAllocator {
    using value_type = T;
    static constexpr std::align_val_t Line{64};

    LineAllocator() = default;
    template <typename U>
    LineAllocator(const LineAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), Line)); }
    void deallocate(T* p, std::size_t) { ::operator delete(p, Line); }
    template <typename U>
    bool operator==(const LineAllocator<U>&) const {
        return true;
    }
};

// A min/max pyramid over one channel's samples, so that the extremes of any index range cost a
// few table reads plus at most two partial blocks instead of a walk over every sample. It grows
// with the data: Extend summarises only the samples added since the last call, at a cost in
// proportion to them, as long as the count stays within the capacity the tables were laid out
// for. Level 0 holds the extremes of each whole block of BlockSize samples; each
// node of a higher level those of Fanout nodes of the level below. Every group of Fanout
// siblings fills one cache line, so the entries a range edge needs at one level are one line.
// The samples themselves are not kept: queries take the same array again, which must not have
// changed since Build.
class TraceSummary {
  public:
    static constexpr uint32_t BlockSize = 32;
    static constexpr uint32_t Fanout = 8;

    // Summarises samples[0, count) afresh, with tables for at least capacity samples.
    void Build(const int32_t* samples, uint32_t count, uint32_t capacity = 0);
    // Takes in samples[Count(), count): samples[0, Count()) must be as they were. A count beyond
    // the capacity lays the tables out anew and rebuilds; a smaller count than Count() too.
    void Extend(const int32_t* samples, uint32_t count);
    void Clear();

    // Number of samples the summary was built over.
    uint32_t Count() const { return count_; }
    // Heap memory held by the tables.
    uint64_t MemoryBytes() const;

    // Extremes of samples[begin, end). Indices at or beyond Count() are read from the array
    // directly, so a summary that is empty or shorter than the array still answers exactly.
    SampleRange Query(const int32_t* samples, uint32_t begin, uint32_t end) const;

    // Asks the memory system early for what a query with an edge at index will read: the
    // samples of its block and the table lines above it.
    void Prefetch(const int32_t* samples, uint32_t index) const;

  private:
    void Layout(uint32_t capacity);

    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
    // Level l: levelSize_[l] nodes from nodes_[levelStart_[l]]; each level starts on a line.
    std::vector<uint32_t> levelStart_;
    std::vector<uint32_t> levelSize_;
    std::vector<SampleRange, LineAllocator<SampleRange>> nodes_;
};

// Extremes of samples[begin, end) by a plain walk.
SampleRange ScanSampleRange(const int32_t* samples, uint32_t begin, uint32_t end);

}  // namespace kresograf
