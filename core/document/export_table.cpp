#include "document/export_table.h"

#include <algorithm>
#include <memory>

namespace kresograf {

ExportTable::ExportTable(const CZefraKrgDoc& doc, const std::array<bool, 8>& channels)
    : registered_(doc.RegisteredParams()), trigger_(doc.RegisteredTrigger()) {
    const uint32_t set = doc.CurrentSet.load();
    read_ = doc.ReadSet(set);
    scans_ = std::min(doc.SampleCount[set], read_.Capacity);
    for (uint32_t c = 0; c < 8; ++c) {
        if (channels[c] && doc.ChannelPresent[set][c] != 0) {
            inputs_.push_back(c);
            samples_.push_back(read_.Columns[c]);
        }
    }
}

FileResult ExportTable::Walk(uint32_t blockScans, const ExportProgress& progress,
                             const std::function<FileResult(const ExportBlock&)>& write) const {
    blockScans = std::max<uint32_t>(1, std::min(blockScans, std::max<uint32_t>(1, scans_)));
    const std::size_t columns = inputs_.size();
    // Written before they are read, so never cleared.
    std::unique_ptr<int32_t[]> samples(new int32_t[std::size_t{blockScans} * columns]);
    std::unique_ptr<int32_t[]> ticks(new int32_t[blockScans]);
    for (uint32_t first = 0; first < scans_; first += blockScans) {
        const uint32_t n = std::min(blockScans, scans_ - first);
        for (std::size_t k = 0; k < columns; ++k) {
            const SampleColumn from(samples_[k].At(first), samples_[k].Stride);
            int32_t* to = samples.get() + k;
            for (uint32_t i = 0; i < n; ++i, to += columns) {
                *to = from[i];
            }
        }
        for (uint32_t i = 0; i < n; ++i) {
            ticks[i] = read_.Times[first + i];
        }
        if (read_.Store != nullptr && read_.Store->Lost()) {
            return FileResult{FileReadError, SamplesLostMessage()};
        }
        FileResult result = write(ExportBlock{first, n, samples.get(), ticks.get()});
        if (!result.Ok()) {
            return result;
        }
        if (progress && !progress(uint64_t{first} + n, scans_)) {
            return FileResult{FileCancelled, std::nullopt};
        }
    }
    return {};
}

}  // namespace kresograf
