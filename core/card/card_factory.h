#pragma once

#include <memory>

#include "base/user_message.h"
#include "card/port_io.h"

namespace kresograf {

// The built-in simulated card or a real one behind the I/O ports.
enum class CardKind { Simulated, Ports };

class Clock;
struct SettingsRecord;

// The ports of the chosen card at the configured address: the built-in simulated card (its input
// gains taken from the settings), or the real card's I/O ports. Null with a message when the
// real card's ports cannot be reached.
std::unique_ptr<PortIo> OpenCardIo(CardKind kind, const SettingsRecord& settings, Clock& clock,
                                   UserMessage& error);

}  // namespace kresograf
