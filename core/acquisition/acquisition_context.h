#pragma once

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
};

// The arrays of a set as a card reader fills them, with the prepared scan list as channel map.
ReadTarget TargetFor(CZefraKrgDoc& doc, uint32_t set, const PreparedAcquisition& prepared);

// Makes a filled set the shown one: its inputs' presence, its count, the block it was acquired
// with as the registered block, then the flip and the modified flag.
void CommitSet(CZefraKrgDoc& doc, uint32_t set, uint32_t scans,
               const PreparedAcquisition& prepared);

}  // namespace kresograf
