#pragma once

#include <memory>

#include "acquisition/acquisition_options.h"
#include "acquisition/user_message.h"
#include "card/port_io.h"

namespace kresograf {

class Clock;
struct SettingsRecord;

// The ports of the chosen card at the configured address: the built-in simulated card (its input
// gains taken from the settings), or the real card's I/O ports. Null with a message when the
// real card's ports cannot be reached.
std::unique_ptr<PortIo> OpenCardIo(CardKind kind, const SettingsRecord& settings, Clock& clock,
                                   UserMessage& error);

}  // namespace kresograf
