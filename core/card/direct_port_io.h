#pragma once

#include <cstdint>
#include <memory>

#include "base/user_message.h"
#include "card/port_io.h"

namespace kresograf {

// The card's registers as real I/O ports, through Linux ioperm and inw/outw. Only x86 machines
// have I/O ports; elsewhere Open always fails with a message saying so. The process needs root
// or the CAP_SYS_RAWIO capability.
//
// The runner binds the card link to the configured address at every start, and the address may
// change while the program runs. So Open asks at once for every window the card's address list
// offers (0x000..0x3FF, ten ports each), plus the window at base when that lies beyond. A port
// outside what was granted is never touched (a read gives 0xFFFF, a write is dropped, as for an
// address where no card answers): the handshake then fails with its message instead of the
// process dying.
class DirectPortIo : public PortIo {
  public:
    // The card's register window: base..base+9.
    static constexpr uint32_t PortSpan = 10;
    // The ports of every window the address list offers: bases 0x000..0x3FF.
    static constexpr uint32_t ListedPorts = 0x400 + PortSpan - 1;

    // Asks for the ten ports from base on. On refusal returns null and fills error.
    static std::unique_ptr<DirectPortIo> Open(uint32_t base, UserMessage& error);
    ~DirectPortIo() override;
    DirectPortIo(const DirectPortIo&) = delete;
    DirectPortIo& operator=(const DirectPortIo&) = delete;

    uint16_t InWord(uint16_t port) override;
    void OutWord(uint16_t port, uint16_t value) override;

    uint32_t Base() const { return base_; }
    // True when an instance opened at base may touch port.
    static bool Granted(uint32_t base, uint32_t port);

  private:
    explicit DirectPortIo(uint32_t base) : base_(base) {}

    uint32_t base_;
};

// The message shown when the card's ports cannot be reached.
UserMessage PortAccessDeniedMessage(uint32_t base);
// The message shown when this machine has no I/O ports at all.
UserMessage PortIoUnsupportedMessage();

}  // namespace kresograf
