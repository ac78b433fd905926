#include "document/scan_store.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "document/recording_file.h"

namespace kresograf {
namespace {

uint32_t Positions(const std::array<uint32_t, 8>& present, std::array<int, 8>& position) {
    int k = 0;
    for (int c = 0; c < 8; ++c) {
        position[c] = present[c] != 0 ? k++ : -1;
    }
    return static_cast<uint32_t>(k);
}

}  // namespace

ScanStore::ScanStore(std::shared_ptr<MappedFile> mapping, uint64_t dataOffset,
                     const std::array<uint32_t, 8>& present)
    : mapping_(std::move(mapping)), present_(present) {
    data_ = mapping_->Data() + dataOffset;
    inputs_ = Positions(present_, position_);
}

ScanStore::ScanStore(std::vector<uint8_t> scans, const std::array<uint32_t, 8>& present)
    : memory_(std::move(scans)), present_(present) {
    // No scans at all: the columns still start somewhere (and are never read).
    static const std::array<int32_t, 8> none{};
    data_ = memory_.empty() ? reinterpret_cast<const uint8_t*>(none.data()) : memory_.data();
    inputs_ = Positions(present_, position_);
}

SampleColumn ScanStore::Column(int input) const {
    const int k = Position(input);
    if (k < 0) {
        // An input the set does not hold reads as zeros, wherever a reader looks.
        static const int32_t zero = 0;
        return {reinterpret_cast<const uint8_t*>(&zero), 0};
    }
    return {data_ + 4 * static_cast<std::size_t>(k), 4 * std::size_t{inputs_}};
}

const TraceSummary& ScanStore::Summary(int input) const {
    static const TraceSummary none;
    const int k = Position(input);
    return k < 0 ? none : summaries_[k];
}

void ScanStore::LayoutSummaries(uint32_t capacity) {
    for (uint32_t k = 0; k < inputs_; ++k) {
        summaries_[k].Layout(capacity);
    }
}

void ScanStore::Summarise(uint32_t count) {
    if (inputs_ == 0) {
        return;
    }
    std::array<TraceSummary*, 8> each{};
    for (uint32_t k = 0; k < inputs_; ++k) {
        each[k] = &summaries_[k];
    }
    TraceSummary::ExtendInterleaved(data_, 0, inputs_, count, each.data());
}

int ScanStore::SummariseFrom(int fd, uint64_t dataOffset, uint32_t count) {
    if (inputs_ == 0) {
        return 0;
    }
    std::array<TraceSummary*, 8> each{};
    for (uint32_t k = 0; k < inputs_; ++k) {
        each[k] = &summaries_[k];
    }
    const std::size_t scanBytes = std::size_t{4} * inputs_;
    const uint32_t block = summaries_[0].Block();
    const uint32_t step = std::max<uint32_t>(
        block, static_cast<uint32_t>((std::size_t{1} << 20) / scanBytes) / block * block);
    std::vector<uint8_t> buffer(std::size_t{step} * scanBytes);
    for (uint32_t first = summaries_[0].NextBlockStart(); first < count;) {
        const uint32_t n = std::min(step, count - first);
        const std::size_t bytes = std::size_t{n} * scanBytes;
        for (std::size_t done = 0; done < bytes;) {
            const ssize_t got =
                ::pread(fd, buffer.data() + done, bytes - done,
                        static_cast<off_t>(dataOffset + uint64_t{first} * scanBytes + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return got < 0 ? errno : EIO;
            }
            done += static_cast<std::size_t>(got);
        }
        TraceSummary::ExtendInterleaved(buffer.data(), first, inputs_, first + n, each.data());
        first += n;
    }
    return 0;
}

uint64_t ScanStore::SummaryBytes() const {
    uint64_t bytes = 0;
    for (const TraceSummary& s : summaries_) {
        bytes += s.MemoryBytes();
    }
    return bytes;
}

}  // namespace kresograf
