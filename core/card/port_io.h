#pragma once

#include <cstdint>

namespace kresograf {

// 16-bit input and output at a port number: a real card's registers or the simulated card.
class PortIo {
  public:
    virtual ~PortIo() = default;
    virtual uint16_t InWord(uint16_t port) = 0;
    virtual void OutWord(uint16_t port, uint16_t value) = 0;
};

}  // namespace kresograf
