#include "card/card_port.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "base/frame_link.h"
#include "base/sample_units.h"
#include "card/clock.h"
#include "card/port_io.h"

namespace kresograf {

namespace {

constexpr uint32_t HandshakeTimeoutMs = 100;
constexpr uint32_t ShotPollMs = 200;

// Multiplexer bits of a single-ended input and of a differential pair.
constexpr std::array<uint16_t, 8> SingleEndedMux = {0x70, 0x30, 0x60, 0x20, 0x50, 0x10, 0x40, 0x00};
constexpr std::array<uint16_t, 4> DifferentialMux = {0x30, 0x20, 0x10, 0x00};

uint16_t Low(uint32_t value) {
    return static_cast<uint16_t>(value & 0xFFFF);
}

uint16_t High(uint32_t value) {
    return static_cast<uint16_t>(value >> 16);
}

uint16_t SignExtend8(int8_t value) {
    return static_cast<uint16_t>(static_cast<int16_t>(value));
}

void PushFloat(std::vector<uint16_t>& frame, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    frame.push_back(Low(bits));
    frame.push_back(High(bits));
}

// A scan list is sendable when its length fits the mode and every entry names an input (0..7)
// or a pair (0..3); bit 7 of an entry is the gain flag and not part of the number.
bool ScanListValid(int8_t count, int8_t singleEnded, const std::array<int8_t, 8>& entries) {
    const int limit = singleEnded != 0 ? 8 : 4;
    if (count < 0 || count > limit) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if ((static_cast<uint8_t>(entries[i]) & 0x7F) >= limit) {
            return false;
        }
    }
    return true;
}

// A reader's target is usable when every scanned position names one of the eight inputs and
// that input has an array to receive it.
bool TargetValid(const ReadTarget& target) {
    if (target.ChannelCount < 1 || target.ChannelCount > 8) {
        return false;
    }
    for (int p = 0; p < target.ChannelCount; ++p) {
        const uint8_t input = target.ChannelMap[p] & 0x7F;
        if (input > 7 || target.Samples[input] == nullptr) {
            return false;
        }
    }
    return true;
}

// Decodes kept data words into the caller's arrays. Words are placed by their own position bits;
// a scan is complete after every ChannelCount kept words. Nothing is stored at or beyond
// scanLimit, so the caller's arrays bound the writes; a position whose map byte leads nowhere
// (a card sending positions it was not told to scan) is counted but not stored.
class WordStore {
  public:
    WordStore(const ReadTarget& target, uint32_t scanLimit)
        : target_(target),
          channelCount_(static_cast<uint32_t>(target.ChannelCount)),
          scanLimit_(scanLimit),
          prescaler_(target.Prescaler == 0 ? 1 : target.Prescaler),
          counter_(prescaler_ - 1),
          stride_(target.Stride == 0 ? 1 : target.Stride),
          ringMask_(target.RingScans != 0 ? target.RingScans - 1 : ~0u) {}

    // True when the scan being filled has its slot: always without a ring; with one, once the
    // consumer has taken the scan that slot held before.
    bool Room() const {
        return target_.Consumed == nullptr || inScan_ != 0 ||
               scans_ - target_.Consumed->load(std::memory_order_acquire) < target_.RingScans;
    }

    // Prescaling: true when this word read is one to keep. One word in every Prescaler is due;
    // a due word is kept when its scan position is still missing from the scan being filled,
    // otherwise the next word that fills one is. With a prescaler that is a multiple of the
    // channel count every due word would sit at the same position and the other inputs would
    // never receive a value; otherwise the due word itself is always the one kept.
    bool Keep(uint16_t word) {
        if (++counter_ == prescaler_) {
            counter_ = 0;
            due_ = true;
        }
        if (!due_) {
            return false;
        }
        if (prescaler_ > 1 && (filled_ & PositionBit(word)) != 0) {
            return false;
        }
        due_ = false;
        return true;
    }

    void Store(uint16_t word) {
        filled_ |= PositionBit(word);
        if (scans_ < scanLimit_) {
            const uint8_t map = target_.ChannelMap[(word >> 12) & 0x07];
            const uint8_t input = map & 0x7F;
            int32_t* samples = input < 8 ? target_.Samples[input] : nullptr;
            if (samples != nullptr) {
                samples[std::size_t{scans_ & ringMask_} * stride_] =
                    StoreCount(SignExtend12(word), (map & HighGainFlag) != 0);
            }
        }
        ++kept_;
        if (++inScan_ == channelCount_) {
            inScan_ = 0;
            filled_ = 0;
            if (scans_ < scanLimit_) {
                if (target_.ScanTime != nullptr) {
                    target_.ScanTime[scans_] = static_cast<int32_t>(scans_ * channelCount_);
                }
                ++scans_;
                if (target_.Published != nullptr) {
                    target_.Published->store(scans_, std::memory_order_release);
                }
            }
        }
    }

    uint32_t Kept() const { return kept_; }
    static uint32_t PositionBit(uint16_t word) { return 1u << ((word >> 12) & 0x07); }
    uint32_t Scans() const { return scans_; }

  private:
    const ReadTarget& target_;
    uint32_t channelCount_;
    uint32_t scanLimit_;
    uint32_t prescaler_;
    uint32_t counter_;
    uint32_t kept_ = 0;
    uint32_t inScan_ = 0;
    uint32_t scans_ = 0;
    uint32_t filled_ = 0;
    bool due_ = false;
    uint32_t stride_;
    uint32_t ringMask_;
};

}  // namespace

uint16_t ChannelWord(int8_t entry, int8_t singleEnded) {
    const uint8_t e = static_cast<uint8_t>(entry);
    uint16_t word = 0x83;
    if (singleEnded != 0) {
        word += 0x04;
        word += SingleEndedMux[e & 0x07];
    } else {
        word += DifferentialMux[e & 0x03];
        if ((e & HighGainFlag) == 0) {
            word += 0x40;
        }
    }
    return word;
}

uint16_t TriggerWord(const AcquisitionParams& params, const TriggerParams& trigger) {
    if (trigger.Edge == EdgeAutomatic) {
        return 0x0800;
    }
    const uint16_t edgeBits = static_cast<uint16_t>((trigger.Edge & 0x03) << 10);
    const uint16_t channelBits = static_cast<uint16_t>((trigger.Channel & 0x07) << 12);
    if (trigger.Type != TriggerAnalog) {
        return static_cast<uint16_t>(0x8000 | edgeBits | channelBits);
    }
    int16_t t = trigger.ThresholdCounts;
    if ((static_cast<uint8_t>(params.Channels[trigger.Channel & 0x07]) & HighGainFlag) != 0) {
        // The card compares against the raw count of a x10 input; the product wraps at 16 bits
        // as the card's own register does.
        t = static_cast<int16_t>(t * 10);
    }
    const uint16_t thresholdBits = static_cast<uint16_t>((t >> 2) & 0x3FF);
    return static_cast<uint16_t>(thresholdBits | edgeBits | channelBits);
}

uint16_t AnalogOutputWord(float volts) {
    double c = static_cast<double>(volts) / 5.0 * 2048.0;
    // Limit before converting: an out-of-range voltage must saturate on its own side, never
    // wrap to the other rail.
    if (!(c >= -2048.0)) {
        c = std::isnan(c) ? 0.0 : -2048.0;
    } else if (c > 2048.0) {
        c = 2048.0;
    }
    const int16_t counts = static_cast<int16_t>(std::trunc(c));
    return static_cast<uint16_t>(2048 - counts);
}

CardPort::CardPort(PortIo& io, Clock& clock) : io_(io), clock_(clock) {}

void CardPort::SetBaseAddress(uint32_t base) {
    base_ = base;
}

uint16_t CardPort::Port(uint16_t offset) const {
    return static_cast<uint16_t>((base_ & 0xFFFF) + offset);
}

bool CardPort::WaitAck(bool set) {
    const uint16_t statusPort = Port(RegStatus);
    uint16_t status = io_.InWord(statusPort);
    const uint32_t start = clock_.TickMs();
    while (static_cast<uint32_t>(clock_.TickMs() - start) < HandshakeTimeoutMs) {
        if (((status & StatusAck) != 0) == set) {
            break;
        }
        status = io_.InWord(statusPort);
    }
    return ((status & StatusAck) != 0) == set;
}

void CardPort::SetStrobe(bool high) {
    controlShadow_ =
        static_cast<uint16_t>(high ? (controlShadow_ | 0x0001) : (controlShadow_ & ~0x0001));
    io_.OutWord(Port(RegControl), controlShadow_);
}

void CardPort::Reset() {
    io_.OutWord(Port(RegReset), 0x00FF);
    controlShadow_ = 0xFFFF;
    io_.OutWord(Port(RegControl), controlShadow_);
    clock_.SleepMs(100);
    io_.OutWord(Port(RegReset), 0);
    clock_.SleepMs(500);
}

bool CardPort::Attach(uint32_t base) {
    SetBaseAddress(base);
    if (std::find(resetAddresses_.begin(), resetAddresses_.end(), base) != resetAddresses_.end()) {
        return false;
    }
    Reset();
    resetAddresses_.push_back(base);
    return true;
}

int CardPort::WriteWord(uint16_t word) {
    io_.OutWord(Port(RegDataOut), word);
    SetStrobe(false);
    if (!WaitAck(false)) {
        return CardTimeout;
    }
    SetStrobe(true);
    return WaitAck(true) ? CardOk : CardTimeout;
}

int CardPort::ReadWord(uint16_t& word) {
    SetStrobe(false);
    if (!WaitAck(false)) {
        return CardTimeout;
    }
    word = io_.InWord(Port(RegDataIn));
    SetStrobe(true);
    return WaitAck(true) ? CardOk : CardTimeout;
}

int CardPort::ReadData(uint16_t& word) {
    word = io_.InWord(Port(RegDataIn));
    return CardOk;
}

int CardPort::SendFrame(const uint16_t* words, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (WriteWord(words[i]) != CardOk) {
            return CardTimeout;
        }
    }
    return CardOk;
}

int CardPort::SendCommand(uint16_t code, const AcquisitionParams& params,
                          const TriggerParams& trigger) {
    if (code != CmdScopeShot && code != CmdRecordStream) {
        return CardBadChannel;
    }
    if (!ScanListValid(params.ChannelCount, params.SingleEnded, params.Channels)) {
        return CardBadChannel;
    }
    if (trigger.Edge != EdgeAutomatic) {
        // An analog trigger names a scanned position, a digital one a digital input.
        const int limit = trigger.Type == TriggerAnalog ? params.ChannelCount : 8;
        if (trigger.Channel < 0 || trigger.Channel >= limit) {
            return CardBadChannel;
        }
    }
    const uint32_t extra = 2u * static_cast<uint32_t>(params.ChannelCount);
    if (params.TotalSamples > std::numeric_limits<uint32_t>::max() - extra) {
        return CardBadChannel;
    }
    const uint32_t conversions = params.TotalSamples + extra;

    std::vector<uint16_t> frame;
    frame.reserve(8 + static_cast<std::size_t>(params.ChannelCount));
    frame.push_back(code);
    frame.push_back(Low(params.Divisor));
    frame.push_back(High(params.Divisor));
    frame.push_back(SignExtend8(params.ChannelCount));
    for (int i = 0; i < params.ChannelCount; ++i) {
        frame.push_back(ChannelWord(params.Channels[i], params.SingleEnded));
    }
    frame.push_back(Low(conversions));
    frame.push_back(High(conversions));
    frame.push_back(TriggerWord(params, trigger));
    return SendFrame(frame.data(), frame.size());
}

int CardPort::SendCommand(uint16_t code, const OutputRequest& request) {
    constexpr uint32_t header = 8;
    if (code != CmdAnalogOutput && code != CmdDigitalOutput) {
        return CardBadChannel;
    }
    if (request.Count > MaxFrameWords - header) {
        return CardBadChannel;
    }
    const bool analog = code == CmdAnalogOutput;
    if (request.Count > 0 &&
        (analog ? request.AnalogSamples == nullptr : request.DigitalSamples == nullptr)) {
        return CardBadChannel;
    }

    std::vector<uint16_t> frame;
    frame.reserve(header + request.Count);
    frame.push_back(code);
    frame.push_back(Low(request.Divisor));
    frame.push_back(High(request.Divisor));
    frame.push_back(0x0001);
    frame.push_back(0x00F7);
    frame.push_back(Low(request.Count));
    frame.push_back(High(request.Count));
    frame.push_back(0x0800);
    for (uint32_t i = 0; i < request.Count; ++i) {
        frame.push_back(analog ? AnalogOutputWord(request.AnalogSamples[i])
                               : static_cast<uint16_t>(request.DigitalSamples[i]));
    }
    return SendFrame(frame.data(), frame.size());
}

int CardPort::SendCommand(uint16_t code, const FormulaRequest& request) {
    if (code != CmdFormulaOutput) {
        return CardBadChannel;
    }
    if (!ScanListValid(request.SourceCount, request.SingleEnded, request.Sources)) {
        return CardBadChannel;
    }
    const int sources = request.SourceCount;

    std::vector<uint16_t> frame;
    frame.reserve(12 + 3 * static_cast<std::size_t>(sources));
    frame.push_back(code);
    frame.push_back(Low(request.Divisor));
    frame.push_back(High(request.Divisor));
    frame.push_back(SignExtend8(request.SourceCount));
    for (int i = 0; i < sources; ++i) {
        frame.push_back(ChannelWord(request.Sources[i], request.SingleEnded));
    }
    frame.insert(frame.end(), 3, 0x0000);
    frame.push_back(SignExtend8(request.Formula));
    for (int i = 0; i < sources; ++i) {
        PushFloat(frame, request.Weights[i]);
    }
    PushFloat(frame, request.CoefA);
    PushFloat(frame, request.CoefB);
    return SendFrame(frame.data(), frame.size());
}

int CardPort::SendCommand(uint16_t code) {
    // Codes with a payload need their record; alone, code 0 would read as a closing word.
    if (code <= CmdDigitalOutput && code != CmdStopOutput) {
        return CardBadChannel;
    }
    return WriteWord(code);
}

int CardPort::ReadShot(const ReadTarget& target, uint32_t& count, const std::atomic<uint32_t>& run,
                       FrameLink& frame) {
    const uint32_t wanted = count;
    count = 0;
    if (!TargetValid(target)) {
        frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
        return CardBadChannel;
    }
    const uint32_t channelCount = static_cast<uint32_t>(target.ChannelCount);
    const uint16_t statusPort = Port(RegStatus);

    uint16_t status = io_.InWord(statusPort);
    uint32_t posted = StatusIdle;
    while (run.load() != 0 && (status & StatusShotBusy) != 0) {
        status = io_.InWord(statusPort);
        const bool triggered = (status & StatusTriggered) != 0;
        if (posted == StatusIdle && !triggered) {
            frame.PostMessage(WM_ACQ_STATUS, StatusTriggering);
            posted = StatusTriggering;
        } else if (posted == StatusTriggering && triggered) {
            frame.PostMessage(WM_ACQ_STATUS, StatusAcquiring);
            posted = StatusAcquiring;
        }
        clock_.SleepMs(ShotPollMs);
    }
    if ((status & StatusShotBusy) != 0) {
        // Stopped while the card still waits or acquires: end the shot on the card too, so the
        // next frame is not taken for its closing word.
        WriteWord(0);
        frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
        return CardOk;
    }

    frame.PostMessage(WM_ACQ_STATUS, StatusTransferring);
    uint16_t word = 0;
    for (uint32_t i = 0; i < 2 * channelCount; ++i) {
        if (ReadWord(word) != CardOk) {
            frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
            return CardTimeout;
        }
    }
    WordStore store(target, wanted / channelCount);
    while (store.Kept() < wanted) {
        if (ReadWord(word) != CardOk) {
            count = store.Scans();
            frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
            return CardTimeout;
        }
        if (store.Keep(word)) {
            store.Store(word);
        }
    }
    count = store.Scans();
    // The closing word goes out even after a stop: a shot left open on the card would swallow
    // the first word of the next frame.
    if (WriteWord(0) != CardOk && run.load() != 0) {
        frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
        return CardClosingTimeout;
    }
    frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
    return CardOk;
}

int CardPort::ReadStream(const ReadTarget& target, uint32_t& count,
                         const std::atomic<uint32_t>& run, FrameLink& frame) {
    uint16_t word = 0;
    ReadData(word);
    const uint32_t limit = count;
    count = 0;
    if (!TargetValid(target)) {
        frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
        return CardBadChannel;
    }
    const uint32_t channelCount = static_cast<uint32_t>(target.ChannelCount);
    const uint16_t statusPort = Port(RegStatus);

    uint16_t status = io_.InWord(statusPort);
    bool first = true;
    while (run.load() != 0 && (status & StatusTriggered) == 0) {
        status = io_.InWord(statusPort);
        if (first) {
            frame.PostMessage(WM_ACQ_STATUS, StatusTriggering);
            first = false;
        }
    }
    frame.PostMessage(WM_ACQ_STATUS, StatusRecording);

    // The toggle starts set, so the first word shows as bit 2 clear.
    bool toggle = true;
    int result = CardOk;
    for (uint32_t i = 0; i < 2 * channelCount && run.load() != 0;) {
        status = io_.InWord(statusPort);
        const bool now = (status & StatusDataToggle) != 0;
        if (now != toggle) {
            toggle = now;
            ReadData(word);
            ++i;
        }
    }

    WordStore store(target,
                    limit == 0 ? std::numeric_limits<uint32_t>::max() : limit / channelCount);
    while (run.load() != 0 && (limit == 0 || store.Kept() < limit)) {
        status = io_.InWord(statusPort);
        const bool now = (status & StatusDataToggle) != 0;
        if (now == toggle) {
            continue;
        }
        toggle = now;
        ReadData(word);
        if (!store.Keep(word)) {
            continue;
        }
        if ((status & StatusBufferIntact) == 0) {
            result = CardOverrun;
            break;
        }
        if (!store.Room()) {
            // The ring's consumer is behind: its slot is waited for, in wall time (the card's
            // own clock may be one that only moves when read).
            while (!store.Room() && run.load() != 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            if (run.load() == 0) {
                break;
            }
        }
        store.Store(word);
    }
    count = store.Scans();
    // Every exit ends the stream on the card, an overrun included.
    WriteWord(0);
    frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
    return result;
}

}  // namespace kresograf
