#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/acquisition_params.h"
#include "base/output_request.h"

namespace kresograf {

class Clock;
class FrameLink;
class PortIo;

// Register offsets from the card's base address.
inline constexpr uint16_t RegDataOut = 0;
inline constexpr uint16_t RegDataIn = 2;
inline constexpr uint16_t RegControl = 4;
inline constexpr uint16_t RegStatus = 6;
inline constexpr uint16_t RegReset = 8;

// Status register bits.
inline constexpr uint16_t StatusAck = 0x01;
inline constexpr uint16_t StatusShotBusy = 0x02;
inline constexpr uint16_t StatusDataToggle = 0x04;
inline constexpr uint16_t StatusBufferIntact = 0x08;
inline constexpr uint16_t StatusTriggered = 0x10;

// Command codes of the card's frames.
inline constexpr uint16_t CmdScopeShot = 0;
inline constexpr uint16_t CmdRecordStream = 1;
inline constexpr uint16_t CmdStopOutput = 2;
inline constexpr uint16_t CmdAnalogOutput = 3;
inline constexpr uint16_t CmdFormulaOutput = 4;
inline constexpr uint16_t CmdDigitalOutput = 5;

// The most words one frame may hold.
inline constexpr uint32_t MaxFrameWords = 121'000;

// Where a reader stores what it keeps: per input and the scan times. Input i's sample of scan k
// goes to Samples[i][k x Stride]: Stride 1 for an array per input, the number of inputs for
// scans stored interleaved. ChannelMap has one byte per scan position: bits 0..6 the input, bit 7
// high gain. Prescaler 0 counts as 1; a null ScanTime records no times. Published, when given,
// receives the number of complete scans (release) as soon as each scan is stored, for readers on
// other threads.
//
// With RingScans (a power of two) the arrays are a ring: scan k is stored at slot k modulo
// RingScans, and Consumed counts the scans the ring's consumer has taken. The reader never
// overwrites a scan not yet taken: it waits for the slot instead (a real card meanwhile overruns
// its buffer, which is reported as such).
struct ReadTarget {
    int32_t* ScanTime = nullptr;
    std::atomic<uint32_t>* Published = nullptr;
    std::array<int32_t*, 8> Samples{};
    uint32_t Prescaler = 1;
    int8_t ChannelCount = 1;
    std::array<uint8_t, 8> ChannelMap{};
    uint32_t Stride = 1;
    uint32_t RingScans = 0;
    const std::atomic<uint32_t>* Consumed = nullptr;
};

// Results of the card link's operations.
inline constexpr int CardOk = 0;
inline constexpr int CardTimeout = 1;
inline constexpr int CardClosingTimeout = 2;  // ReadShot: the closing word was refused
inline constexpr int CardOverrun = 1;         // ReadStream: the card's buffer overran
inline constexpr int CardBadChannel = 3;      // SendCommand: a channel outside the data model

// Also 3: a request no frame can carry (a frame over MaxFrameWords, a code that does not take the
// record given, missing samples) and, for the readers, a target whose map leads outside the eight
// inputs or to a missing array. Nothing reaches the card then.

// The word that selects one scan-list entry: bits 0..6 the input (single-ended) or pair
// (differential), bit 7 high gain.
uint16_t ChannelWord(int8_t entry, int8_t singleEnded);
// The trigger word of an acquisition frame.
uint16_t TriggerWord(const AcquisitionParams& params, const TriggerParams& trigger);
// An analog output sample in volts as the card's output word: 2048 - c, c = volts / 5 x 2048
// truncated toward zero and limited to -2048..2048 (+5 V gives 0, -5 V gives 4096).
uint16_t AnalogOutputWord(float volts);

// The card link: five 16-bit registers at a base address, a strobe/acknowledge handshake per
// word with 100 ms time-outs, and the command frames and data readers built on it. One caller at
// a time.
class CardPort {
  public:
    CardPort(PortIo& io, Clock& clock);
    virtual ~CardPort() = default;

    void SetBaseAddress(uint32_t base);
    uint32_t BaseAddress() const { return base_; }
    uint16_t ControlShadow() const { return controlShadow_; }

    void Reset();
    // Binds the link to base and resets the card there the first time the program uses a card
    // at that address. A card already reset keeps running whatever it does (an output the user
    // started goes on). True when it reset the card.
    bool Attach(uint32_t base);
    int WriteWord(uint16_t word);
    int ReadWord(uint16_t& word);
    int ReadData(uint16_t& word);

    // Codes 0 and 1: the acquisition configuration of a prepared block with its trigger.
    int SendCommand(uint16_t code, const AcquisitionParams& params, const TriggerParams& trigger);
    // Codes 3 and 5.
    int SendCommand(uint16_t code, const OutputRequest& request);
    // Code 4.
    int SendCommand(uint16_t code, const FormulaRequest& request);
    // Code 2 and any code above 5: the code word alone.
    int SendCommand(uint16_t code);

    // count: in, the words to keep (ReadShot) or the most to keep, 0 = no limit (ReadStream);
    // out, the complete scans stored. Status codes are posted to frame as WM_ACQ_STATUS.
    // Only complete scans within the count are stored, so arrays of count / ChannelCount entries
    // are enough. ReadStream with count 0 stores without bound: only for callers whose arrays can
    // take everything the card will send. Neither reader allocates.
    // ReadShot: 0 = shot stored or stopped while waiting, 1 = a data word timed out, 2 = the
    // closing word timed out. ReadStream: 0 = stopped or limit reached, 1 = the card's buffer
    // overran. Both end the card's shot or stream with the closing word 0 whenever the handshake
    // still works, and return 3 for an unusable target.
    int ReadShot(const ReadTarget& target, uint32_t& count, const std::atomic<uint32_t>& run,
                 FrameLink& frame);
    int ReadStream(const ReadTarget& target, uint32_t& count, const std::atomic<uint32_t>& run,
                   FrameLink& frame);

  private:
    uint16_t Port(uint16_t offset) const;
    // Busy-polls status bit 0 for the wanted state for up to 100 ms; true when it was reached.
    bool WaitAck(bool set);
    void SetStrobe(bool high);
    int SendFrame(const uint16_t* words, std::size_t count);

    PortIo& io_;
    Clock& clock_;
    uint32_t base_ = 0;
    uint16_t controlShadow_ = 0xFFFF;
    std::vector<uint32_t> resetAddresses_;
};

}  // namespace kresograf
