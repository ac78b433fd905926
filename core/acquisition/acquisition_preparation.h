#pragma once

#include <array>
#include <cstdint>

#include "base/acquisition_params.h"
#include "base/user_message.h"

namespace kresograf {

struct SettingsRecord;

// The most scans a shot holds: the base size of a document's arrays.
inline constexpr uint32_t MaxShotScans = 200'000;

enum class PrepareResult { Ok, NoChannel, BadChannel, BadRate, PairGainMismatch, NoScan };

// One acquisition as handed to the card, and as it is registered with the data it produces.
struct PreparedAcquisition {
    // Gain bits in Channels, the analog trigger input first, the trigger naming scan position 0.
    AcquisitionParams Card;
    TriggerParams CardTrigger;
    // The block as started: ThresholdCounts computed, Running 0, no gain bits, no reordering.
    AcquisitionParams Registered;
    TriggerParams RegisteredTrigger;
};

// Checks and prepares a copy of the working block for the card: no channel listed, a channel
// outside the inputs, unequal gains in a differential pair. With limitToShot (a shot) the
// conversions are cut to MaxShotScans scans and a block too short for one scan is refused. An
// analog trigger on an input that is not scanned is taken as automatic.
PrepareResult PrepareAcquisition(const AcquisitionParams& working, const TriggerParams& trigger,
                                 const SettingsRecord& settings, bool limitToShot,
                                 PreparedAcquisition& out);

// The message box that belongs to a refused preparation.
UserMessage PrepareMessage(PrepareResult result);

// Messages of a failed card step. Every handshake failure, sending or receiving, shows the
// reception message.
UserMessage ReceiveFailedMessage();
UserMessage OverrunMessage();

}  // namespace kresograf
