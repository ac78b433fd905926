#pragma once

namespace kresograf {

class CZefraKrgDoc;
struct AcquisitionContext;

// Thread results, read by nobody but the tests.
inline constexpr int ModeStopped = 0;
inline constexpr int ModeCardFailed = 1;
inline constexpr int ModePairGain = 3;
inline constexpr int ModeNoChannel = 4;  // also: no room (memory, disk) for the data

// Repeats shots into the document's spare set until OscRunning is cleared. Runs on the worker
// thread; the caller has taken the acquisition token, which this releases as its last act.
int RunOscilloscope(AcquisitionContext& context, CZefraKrgDoc& doc);

}  // namespace kresograf
