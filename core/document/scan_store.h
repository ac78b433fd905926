#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/mapped_file.h"
#include "document/sample_column.h"
#include "document/trace_summary.h"

namespace kresograf {

class RecordingFile;

// A set's samples as whole scans interleaved over the inputs present, in input order, exactly
// as the native file holds them: read in place from a file through its mapping (an opened file,
// a recording), or from memory. Input c's sample of scan k is the little-endian word at
// Data() + (k x Inputs() + Position(c)) x 4. Its min/max summaries, one per input, are built in
// one pass over the scans, or as a recording's scans arrive; every view of the document shares
// them.
class ScanStore {
  public:
    // Scans read in place from a mapping, the first at byte dataOffset.
    ScanStore(std::shared_ptr<MappedFile> mapping, uint64_t dataOffset,
              const std::array<uint32_t, 8>& present);
    // Scans held in memory.
    ScanStore(std::vector<uint8_t> scans, const std::array<uint32_t, 8>& present);

    // An input the store does not hold reads as zeros.
    SampleColumn Column(int input) const;
    // Word of input in a scan; -1 for an input the store does not hold.
    int Position(int input) const { return input >= 0 && input < 8 ? position_[input] : -1; }
    uint32_t Inputs() const { return inputs_; }
    const std::array<uint32_t, 8>& Present() const { return present_; }
    const uint8_t* Data() const { return data_; }

    // Whole scans readers may read (a recording's grow while it runs).
    uint32_t Scans() const { return scans_.load(std::memory_order_acquire); }
    void Publish(uint32_t scans) { scans_.store(scans, std::memory_order_release); }

    // The summaries: laid out for capacity scans once, before anyone reads them; Summarise takes
    // in the scans up to count in one pass over them.
    void LayoutSummaries(uint32_t capacity);
    void Summarise(uint32_t count);
    // The same from the file behind the store, read a megabyte at a time with pread (the data at
    // byte dataOffset): opening a file faults in none of its pages. 0 or the errno (EIO for a
    // file that ended early).
    int SummariseFrom(int fd, uint64_t dataOffset, uint32_t count);
    // An empty summary for an input the store does not hold.
    const TraceSummary& Summary(int input) const;
    uint64_t SummaryBytes() const;

    // Part of the file went away under the mapping: what was read since may be zeros.
    bool Lost() const { return mapping_ != nullptr && mapping_->Lost(); }
    void MarkLost() const {
        if (mapping_ != nullptr) {
            mapping_->MarkLost();
        }
    }

    // The file the program wrote the scans to, while it has it: saved by moving it, removed
    // when the document lets go of it unsaved.
    std::shared_ptr<RecordingFile> File;

  private:
    std::shared_ptr<MappedFile> mapping_;
    std::vector<uint8_t> memory_;
    const uint8_t* data_ = nullptr;
    std::array<uint32_t, 8> present_{};
    std::array<int, 8> position_{-1, -1, -1, -1, -1, -1, -1, -1};
    uint32_t inputs_ = 0;
    std::atomic<uint32_t> scans_{0};
    std::array<TraceSummary, 8> summaries_;
};

}  // namespace kresograf
