#include "document/trace_summary.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>

namespace kresograf {
namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;

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

// Extremes of n samples from p, Stride bytes apart. With Stride fixed at 4 the loop becomes
// vector min/max over unaligned loads.
template <std::size_t Stride>
SampleRange BlockRange(const uint8_t* p, uint32_t n, std::size_t stride = Stride) {
    int32_t lo = std::numeric_limits<int32_t>::max();
    int32_t hi = std::numeric_limits<int32_t>::min();
    for (uint32_t i = 0; i < n; ++i) {
        int32_t v;
        std::memcpy(&v, p + i * (Stride != 0 ? Stride : stride), sizeof v);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    return {lo, hi};
}

// Four inputs side by side, one vector register.
typedef int32_t Lanes __attribute__((vector_size(16)));

// The level-0 blocks [from, to) of P interleaved inputs, each scan row read once: a row of a
// multiple of four inputs is that many vector min/max operations.
template <uint32_t P>
void InterleavedBlocks(const uint8_t* scans, uint32_t firstScan, uint32_t blockShift, uint32_t from,
                       uint32_t to, SampleRange* const* level0) {
    if constexpr (P % 4 == 0) {
        constexpr uint32_t V = P / 4;
        const uint32_t block = 1u << blockShift;
        for (uint32_t b = from; b < to; ++b) {
            const uint8_t* row =
                scans + ((static_cast<std::size_t>(b) << blockShift) - firstScan) * P * 4;
            std::array<Lanes, V> lo;
            std::array<Lanes, V> hi;
            lo.fill(Lanes{} + std::numeric_limits<int32_t>::max());
            hi.fill(Lanes{} + std::numeric_limits<int32_t>::min());
            for (uint32_t i = 0; i < block; ++i, row += P * 4) {
                for (uint32_t j = 0; j < V; ++j) {
                    Lanes v;
                    std::memcpy(&v, row + 16 * j, sizeof v);
                    lo[j] = v < lo[j] ? v : lo[j];
                    hi[j] = v > hi[j] ? v : hi[j];
                }
            }
            for (uint32_t k = 0; k < P; ++k) {
                level0[k][b] = {lo[k / 4][k % 4], hi[k / 4][k % 4]};
            }
        }
        return;
    }
    const uint32_t block = 1u << blockShift;
    for (uint32_t b = from; b < to; ++b) {
        const uint8_t* row =
            scans + ((static_cast<std::size_t>(b) << blockShift) - firstScan) * P * 4;
        std::array<int32_t, P> lo;
        std::array<int32_t, P> hi;
        lo.fill(std::numeric_limits<int32_t>::max());
        hi.fill(std::numeric_limits<int32_t>::min());
        for (uint32_t i = 0; i < block; ++i, row += P * 4) {
            for (uint32_t k = 0; k < P; ++k) {
                int32_t v;
                std::memcpy(&v, row + 4 * k, sizeof v);
                lo[k] = std::min(lo[k], v);
                hi[k] = std::max(hi[k], v);
            }
        }
        for (uint32_t k = 0; k < P; ++k) {
            level0[k][b] = {lo[k], hi[k]};
        }
    }
}

// The same for one whole block of samples 4 bytes apart; a block of the fixed BlockSize unrolls
// completely.
SampleRange ContiguousBlock(const uint8_t* p, uint32_t block) {
    if (block != TraceSummary::BlockSize) {
        return BlockRange<4>(p, block);
    }
    int32_t lo = std::numeric_limits<int32_t>::max();
    int32_t hi = std::numeric_limits<int32_t>::min();
    for (uint32_t i = 0; i < TraceSummary::BlockSize; ++i) {
        int32_t v;
        std::memcpy(&v, p + 4 * i, sizeof v);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    return {lo, hi};
}

using InterleavedFn = void (*)(const uint8_t*, uint32_t, uint32_t, uint32_t, uint32_t,
                               SampleRange* const*);
constexpr std::array<InterleavedFn, 9> InterleavedFns{nullptr,
                                                      InterleavedBlocks<1>,
                                                      InterleavedBlocks<2>,
                                                      InterleavedBlocks<3>,
                                                      InterleavedBlocks<4>,
                                                      InterleavedBlocks<5>,
                                                      InterleavedBlocks<6>,
                                                      InterleavedBlocks<7>,
                                                      InterleavedBlocks<8>};

}  // namespace

void* AllocateLines(std::size_t bytes) {
    if (bytes < HugePage) {
        return ::operator new (bytes, std::align_val_t{64});
    }
    void* p = ::operator new (bytes, std::align_val_t{HugePage});
    ::madvise(p, bytes / HugePage * HugePage, MADV_HUGEPAGE);
    return p;
}

void FreeLines(void* p, std::size_t bytes) {
    ::operator delete (p, std::align_val_t{bytes < HugePage ? 64 : HugePage});
}

SampleRange ScanSampleRange(SampleColumn samples, uint32_t begin, uint32_t end) {
    if (begin >= end) {
        return {};
    }
    return samples.Stride == sizeof(int32_t)
               ? BlockRange<4>(samples.At(begin), end - begin)
               : BlockRange<0>(samples.At(begin), end - begin, samples.Stride);
}

TraceSummary::TraceSummary(const TraceSummary& other)
    : count_(other.Count()),
      capacity_(other.capacity_),
      blockShift_(other.blockShift_),
      levelStart_(other.levelStart_),
      levelSize_(other.levelSize_),
      nodes_(other.nodes_) {}

TraceSummary& TraceSummary::operator=(const TraceSummary& other) {
    if (this != &other) {
        count_.store(other.Count(), std::memory_order_release);
        capacity_ = other.capacity_;
        blockShift_ = other.blockShift_;
        levelStart_ = other.levelStart_;
        levelSize_ = other.levelSize_;
        nodes_ = other.nodes_;
    }
    return *this;
}

void TraceSummary::Clear() {
    count_.store(0, std::memory_order_release);
    capacity_ = 0;
    blockShift_ = 5;
    levelStart_ = std::vector<uint32_t>();
    levelSize_ = std::vector<uint32_t>();
    nodes_ = std::vector<SampleRange, LineAllocator<SampleRange>>();
}

void TraceSummary::Layout(uint32_t capacity) {
    // The tables of the previous layout are reused when they are large enough.
    capacity_ = capacity;
    count_.store(0, std::memory_order_release);
    levelStart_.clear();
    levelSize_.clear();
    blockShift_ = 5;
    while ((capacity >> blockShift_) > MaxBlocks) {
        ++blockShift_;
    }
    const uint32_t blocks = capacity >> blockShift_;
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

void TraceSummary::Build(SampleColumn samples, uint32_t count, uint32_t capacity) {
    Layout(std::max(count, capacity));
    Extend(samples, count);
}

void TraceSummary::Extend(SampleColumn samples, uint32_t count) {
    const uint32_t known = count_.load(std::memory_order_relaxed);
    if (count > capacity_ || count < known) {
        Build(samples, count, capacity_);
        return;
    }
    const uint32_t oldBlocks = known >> blockShift_;
    const uint32_t blocks = count >> blockShift_;
    if (blocks != oldBlocks) {
        SampleRange* level0 = nodes_.data();
        const uint32_t block = Block();
        for (uint32_t b = oldBlocks; b < blocks; ++b) {
            const uint8_t* p = samples.At(static_cast<std::size_t>(b) << blockShift_);
            level0[b] = samples.Stride == sizeof(int32_t) ? ContiguousBlock(p, block)
                                                          : BlockRange<0>(p, block, samples.Stride);
        }
        FinishLevels(oldBlocks, blocks);
    }
    count_.store(count, std::memory_order_release);
}

uint32_t TraceSummary::NextBlockStart() const {
    return Count() >> blockShift_ << blockShift_;
}

bool TraceSummary::ExtendInterleaved(const uint8_t* scans, uint32_t firstScan, uint32_t inputs,
                                     uint32_t count, TraceSummary* const* summaries) {
    if (inputs == 0 || inputs > 8) {
        return true;
    }
    TraceSummary& first = *summaries[0];
    const uint32_t known = first.count_.load(std::memory_order_relaxed);
    if (count > first.capacity_ || count < known) {
        if (firstScan != 0) {
            return false;
        }
        for (uint32_t k = 0; k < inputs; ++k) {
            summaries[k]->Build(SampleColumn(scans + 4 * k, 4 * inputs), count,
                                summaries[k]->capacity_);
        }
        return true;
    }
    const uint32_t oldBlocks = known >> first.blockShift_;
    const uint32_t blocks = count >> first.blockShift_;
    if (firstScan > (oldBlocks << first.blockShift_)) {
        return false;
    }
    if (blocks != oldBlocks) {
        std::array<SampleRange*, 8> level0{};
        for (uint32_t k = 0; k < inputs; ++k) {
            level0[k] = summaries[k]->nodes_.data();
        }
        InterleavedFns[inputs](scans, firstScan, first.blockShift_, oldBlocks, blocks,
                               level0.data());
        for (uint32_t k = 0; k < inputs; ++k) {
            summaries[k]->FinishLevels(oldBlocks, blocks);
        }
    }
    for (uint32_t k = 0; k < inputs; ++k) {
        summaries[k]->count_.store(count, std::memory_order_release);
    }
    return true;
}

void TraceSummary::FinishLevels(uint32_t oldBlocks, uint32_t blocks) {
    // Above level 0, only the nodes over new blocks change. A node whose children are not all
    // there yet holds those that are; queries never read it until it is complete, and the next
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

void TraceSummary::Prefetch(SampleColumn samples, uint32_t index) const {
    const uint32_t blocks = Count() >> blockShift_;
    if ((index >> blockShift_) >= blocks) {
        return;  // the short tail: not worth it, and its block would run past the samples
    }
    const uint32_t start = index >> blockShift_ << blockShift_;
    const uint32_t block = Block();
    // The block's first, middle and last sample: the whole of a 32-sample block of one input.
    // Interleaved scans are left to the processor's own stride prefetcher: their inputs share
    // the lines, and asking for each of them again per input costs more than it saves.
    if (samples.Stride == sizeof(int32_t)) {
        __builtin_prefetch(samples.At(start));
        __builtin_prefetch(samples.At(start + block / 2));
        __builtin_prefetch(samples.At(start + block - 1));
    }
    // The two lowest levels: higher ones are shared by many neighbouring edges.
    uint32_t node = index >> blockShift_;
    for (std::size_t l = 0; l < levelStart_.size() && l < 2; ++l, node /= Fanout) {
        if (node < levelSize_[l]) {
            __builtin_prefetch(nodes_.data() + levelStart_[l] + node);
        }
    }
}

SampleRange TraceSummary::Query(SampleColumn samples, uint32_t begin, uint32_t end) const {
    if (begin >= end) {
        return {};
    }
    const uint32_t blocks = Count() >> blockShift_;
    uint32_t lo = (begin >> blockShift_) + ((begin & (Block() - 1)) != 0 ? 1 : 0);
    uint32_t hi = std::min(end >> blockShift_, blocks);
    if (lo >= hi) {
        return ScanSampleRange(samples, begin, end);
    }
    SampleRange r = Merge(ScanSampleRange(samples, begin, lo << blockShift_),
                          ScanSampleRange(samples, hi << blockShift_, end));
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
