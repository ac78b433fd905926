#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kresograf {

static_assert(std::endian::native == std::endian::little,
              "a file's little-endian samples are read in place");

// One input of a sample set as it is read: sample k lies Stride bytes after sample k - 1. A set
// held per input in memory has Stride 4; a set read in place from a file of scans interleaved
// over P inputs has 4 x P, and its words need not be aligned (the file's header is 378 bytes),
// so every sample is read through memcpy, which the compiler makes one unaligned load.
struct SampleColumn {
    const uint8_t* Base = nullptr;
    std::size_t Stride = sizeof(int32_t);

    SampleColumn() = default;
    SampleColumn(const uint8_t* base, std::size_t stride) : Base(base), Stride(stride) {}
    // An array of the input's samples.
    SampleColumn(const int32_t* samples) : Base(reinterpret_cast<const uint8_t*>(samples)) {}

    int32_t operator[](std::size_t k) const {
        int32_t v;
        std::memcpy(&v, Base + k * Stride, sizeof v);
        return v;
    }
    const uint8_t* At(std::size_t k) const { return Base + k * Stride; }
};

// The scan times of a set: an array, or scan k at k x Step. Acquired and opened data have times
// of the second kind (a file rebuilds them so), which a set of any length needs no memory for.
struct ScanTimes {
    const int32_t* Data = nullptr;
    int32_t Step = 1;

    ScanTimes() = default;
    ScanTimes(const int32_t* times) : Data(times) {}
    static ScanTimes Stepped(int32_t step) {
        ScanTimes t;
        t.Step = step;
        return t;
    }

    int32_t operator[](std::size_t k) const {
        return Data != nullptr ? Data[k] : static_cast<int32_t>(static_cast<int64_t>(k) * Step);
    }
};

// The first of n ascending scan times [from, n) for which past holds (n when none), past being
// false up to some scan and true from it on.
template <typename Past>
uint32_t FirstScanWhere(ScanTimes times, uint32_t from, uint32_t n, Past past) {
    uint32_t lo = from;
    uint32_t hi = n;
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (past(times[mid])) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

// The first scan at or after time t, and the first after it.
inline uint32_t LowerBound(ScanTimes times, uint32_t n, int32_t t) {
    return FirstScanWhere(times, 0, n, [t](int32_t time) { return time >= t; });
}
inline uint32_t UpperBound(ScanTimes times, uint32_t n, int32_t t) {
    return FirstScanWhere(times, 0, n, [t](int32_t time) { return time > t; });
}

}  // namespace kresograf
