#pragma once

#include <cstdint>

namespace kresograf {

class CZefraKrgDoc;
struct AcquisitionContext;

// Records one long run into the document's spare set until TotalSamples conversions arrived or
// RecRunning is cleared; then shows it and opens the registered-parameters dialog. The scans go
// to a file (context.Place) as they arrive and the set reads them back from it, so a recording
// is bounded by the disk, not by memory, and a crash loses at most its last second. Runs on the
// worker thread; releases the token as its last act.
int RunRecording(AcquisitionContext& context, CZefraKrgDoc& doc);

// The most scans a recording over inputs inputs may hold: the file's scan times (k x inputs)
// must stay within 32 bits for the file to open again.
uint32_t RecordingRoom(uint32_t inputs);

}  // namespace kresograf
