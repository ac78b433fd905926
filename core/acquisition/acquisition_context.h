#pragma once

#include <atomic>
#include <cstdint>

#include "card/card_port.h"

namespace kresograf {

class CZefraKrgDoc;
class FrameLink;
struct PreparedAcquisition;
struct SettingsRecord;

// What an acquisition worker works with besides its document.
struct AcquisitionContext {
    SettingsRecord& Settings;
    CardPort& Card;
    FrameLink& Frame;
    // The card's address when the run started; the card is attached there once the
    // configuration has passed its checks, never before.
    uint32_t Address = 0;
};

// The arrays of a set as a card reader fills them, with the prepared scan list as channel map.
// Marks the set as changing (its generation).
ReadTarget TargetFor(CZefraKrgDoc& doc, uint32_t set, const PreparedAcquisition& prepared);

// Makes a filled set the shown one: its inputs' presence, its count, the block it was acquired
// with as the registered block, then the flip and the modified flag.
void CommitSet(CZefraKrgDoc& doc, uint32_t set, uint32_t scans,
               const PreparedAcquisition& prepared);

// Every way out of a mode ends here: the run flag, Running of the working block, WM_ACQ_ENDED
// when the mode ended as a mode (not refused at its start), and the token last of all, so
// nothing of this worker reaches the main frame once another acquisition may start.
int EndAcquisition(AcquisitionContext& context, CZefraKrgDoc& doc, std::atomic<uint32_t>& runFlag,
                   int result, bool ended);

}  // namespace kresograf
