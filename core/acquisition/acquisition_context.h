#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "acquisition/acquisition_preparation.h"
#include "card/card_port.h"
#include "document/recording_file.h"

namespace kresograf {

class CZefraKrgDoc;
class FrameLink;
struct SettingsRecord;

// What an acquisition worker works with besides its document.
struct AcquisitionContext {
    SettingsRecord& Settings;
    CardPort& Card;
    FrameLink& Frame;
    // The card's address when the run started; the card is attached there once the
    // configuration has passed its checks, never before.
    uint32_t Address = 0;
    // Where a recording's file goes.
    RecordingPlace Place;
};

// A run that passed its checks and reached the card.
struct StartedRun {
    PreparedAcquisition Prepared;
    // The set it fills: the one not shown.
    uint32_t Set = 0;
    // Words to keep; never more than the room made for them.
    uint32_t Count = 0;
};

// Makes room in the set a prepared run fills, before the card starts: returns the scans it can
// take, or nothing with the message to show.
using RoomMaker = std::function<std::optional<uint32_t>(const PreparedAcquisition& prepared,
                                                        uint32_t set, UserMessage& message)>;

// The way both modes start: the working block prepared (a shot limited to the base size), a
// block that cannot run refused with its message, room made for the data, the words to keep
// counted, the card attached and sent the configuration. False when the run ended there (its
// message shown, the way out taken); result then holds the worker's result.
bool StartRun(AcquisitionContext& context, CZefraKrgDoc& doc, bool recording, const RoomMaker& room,
              StartedRun& run, int& result);

// The arrays of a set held in memory as a card reader fills them, with the prepared scan list as
// channel map. Marks the set as changing (its generation).
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
