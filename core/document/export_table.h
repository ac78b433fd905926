#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/acquisition_params.h"
#include "document/file_result.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

// Told how many of all scans an export has written; answers false to stop it. Asked after every
// block of scans, many times a second, so it should look at the clock before anything costly.
using ExportProgress = std::function<bool(uint64_t done, uint64_t total)>;

// Scans [First, First + Count) of an export table: the samples row by row (Count x Columns) and
// each scan's time in conversions from the start.
struct ExportBlock {
    uint32_t First = 0;
    uint32_t Count = 0;
    const int32_t* Samples = nullptr;
    const int32_t* Ticks = nullptr;
};

// A scan's time in periods of the card's 8 MHz clock (conversions x Divisor x Prescaler), exact.
// 128 bits: a file may hold any 32-bit Divisor and Prescaler.
__extension__ typedef __int128 ClockPeriods;

// The shown set as every export reads it: the chosen present inputs in ascending order, scan by
// scan, with each scan's time and the registered block that describes them. The writers see the
// document through this alone, so how a set keeps its samples matters in this one place.
class ExportTable {
  public:
    ExportTable(const CZefraKrgDoc& doc, const std::array<bool, 8>& channels);

    uint32_t Scans() const { return scans_; }
    std::size_t Columns() const { return inputs_.size(); }
    // The columns' inputs, 0-based, ascending.
    const std::vector<uint32_t>& Inputs() const { return inputs_; }
    const AcquisitionParams& Registered() const { return registered_; }
    const TriggerParams& Trigger() const { return trigger_; }
    // Divisor x Prescaler of the registered block: clock periods per stored conversion.
    uint64_t PeriodsPerTick() const {
        return uint64_t{registered_.Divisor} * registered_.Prescaler;
    }
    ClockPeriods PeriodsOf(int32_t ticks) const {
        return static_cast<ClockPeriods>(ticks) * static_cast<ClockPeriods>(PeriodsPerTick());
    }

    // Hands write the scans in blocks of at most blockScans, in order; after each block progress
    // hears how far the walk is and may stop it (FileCancelled). The first failure of write ends
    // the walk and is returned; a set whose file was cut short under the program ends it with
    // the file error (what was read are zeros, not the data).
    FileResult Walk(uint32_t blockScans, const ExportProgress& progress,
                    const std::function<FileResult(const ExportBlock&)>& write) const;

  private:
    std::vector<uint32_t> inputs_;
    // Holds the set readable while the table lives.
    SetSamples read_;
    std::vector<SampleColumn> samples_;
    uint32_t scans_ = 0;
    AcquisitionParams registered_;
    TriggerParams trigger_;
};

}  // namespace kresograf
