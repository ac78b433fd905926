#pragma once

#include <cstdint>

namespace kresograf {

class CZefraKrgDoc;
struct AcquisitionContext;

// Records one long run into the document's spare set, grown first to the run's length, until
// TotalSamples conversions arrived or RecRunning is cleared; then shows it and opens the
// registered-parameters dialog. Runs on the worker thread; releases the token as its last act.
int RunRecording(AcquisitionContext& context, CZefraKrgDoc& doc);

// Grows the spare set's arrays to hold the given number of scans, all or nothing: when one
// sample array cannot grow, those grown before it go back to the base size. A request larger
// than availableBytes is refused before anything is allocated: under memory overcommit the
// allocation would succeed and the process be killed while filling it. Returns false when
// memory ran out.
bool GrowSpareSet(CZefraKrgDoc& doc, uint32_t set, uint32_t scans,
                  uint64_t availableBytes = UINT64_MAX);

// The memory the system can still give this process: available RAM plus free swap (unknown:
// UINT64_MAX).
uint64_t AvailableMemoryBytes();

}  // namespace kresograf
