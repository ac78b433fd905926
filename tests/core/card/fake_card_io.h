#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "card/card_port.h"
#include "card/manual_clock.h"
#include "card/port_io.h"

namespace kresograf {

// A scripted card: logs every register access with the clock's time, takes written words and
// hands out queued ones through the handshake, with a chosen acknowledge and status bits 1..4.
class FakeCardIo : public PortIo {
  public:
    enum class Ack {
        Follow,        // mirrors the strobe
        StuckHigh,     // never drops
        NeverReturns,  // drops on the strobe, never rises again
    };
    struct Access {
        uint16_t Port = 0;
        uint16_t Value = 0;
        uint64_t Micros = 0;
    };

    explicit FakeCardIo(ManualClock& clock, uint16_t base = 0x100) : clock_(clock), base_(base) {}

    Ack AckMode = Ack::Follow;
    bool AckLevel = true;
    // Words the write handshake still accepts; past that the card stops answering writes.
    uint64_t WritesAccepted = UINT64_MAX;
    std::deque<uint16_t> ToSend;      // read handshake
    std::deque<uint16_t> StreamData;  // direct data register reads
    uint16_t DataIn = 0;
    // Status bits 1..4 as a function of the number of status reads so far.
    std::function<uint16_t(uint64_t)> StatusBits = [](uint64_t) { return StatusBufferIntact; };

    std::vector<uint16_t> Received;
    std::vector<Access> Log;
    uint64_t StatusReads = 0;
    uint64_t DataReads = 0;

    uint16_t InWord(uint16_t port) override {
        uint16_t value = 0xFFFF;
        if (port == base_ + RegStatus) {
            value = static_cast<uint16_t>((StatusBits(StatusReads++) & 0x1E) | (AckLevel ? 1 : 0));
        } else if (port == base_ + RegDataIn) {
            ++DataReads;
            if (!StreamData.empty()) {
                DataIn = StreamData.front();
                StreamData.pop_front();
            }
            value = DataIn;
        }
        Log.push_back({port, value, clock_.PeekMicros()});
        return value;
    }

    void OutWord(uint16_t port, uint16_t value) override {
        Log.push_back({port, value, clock_.PeekMicros()});
        if (port == base_ + RegDataOut) {
            dataOut_ = value;
            written_ = true;
        } else if (port == base_ + RegControl) {
            Strobe((value & 1) != 0);
        }
    }

  private:
    void Strobe(bool high) {
        if (high) {
            AckLevel = AckLevel || AckMode == Ack::Follow;
            return;
        }
        if (AckMode == Ack::StuckHigh || !AckLevel) {
            return;
        }
        if (written_ && WritesAccepted > 0) {
            --WritesAccepted;
            written_ = false;
            Received.push_back(dataOut_);
        } else if (!written_ && !ToSend.empty()) {
            DataIn = ToSend.front();
            ToSend.pop_front();
        } else {
            return;  // the card does not answer
        }
        AckLevel = false;
    }

    ManualClock& clock_;
    uint16_t base_;
    uint16_t dataOut_ = 0;
    bool written_ = false;
};

}  // namespace kresograf
