#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "card/port_io.h"

namespace kresograf {

class Clock;

// Failures the simulated card can play for tests.
enum class SimulatedFault {
    None,
    Dead,             // every register reads 0: the acknowledge never comes, writes are ignored
    StuckAck,         // the acknowledge bit reads 1 whatever the strobe does
    StopsAfterWords,  // after the given number of words of a shot or stream it sends no more
};

// The QB730 as a program: five registers at a base address, the strobe/acknowledge handshake,
// the command frames and the data words of the card link, and conversions that take the time
// they take on the card (8 000 000 / Divisor per second of the given clock).
//
// Time inside the card is counted in ticks of its 8 MHz conversion clock since the card object
// was made; every sample is a function of the tick at which it is converted, so traces look the
// same whatever the host's pace.
//
// Test signals on the inputs (numbered 0..7 as in the data model, shown as "Kanał 1".."Kanał 8"):
//   input 0: sine, 50 Hz, 4 V amplitude
//   input 1: square, 20 Hz, +-2 V (+2 V in the first half period)
//   input 2: triangle, 5 Hz, +-3 V (rising from -3 V in the first half period)
//   input 3: sine, 1 kHz, 0.4 V amplitude (made for gain x10)
//   input 4: sine, 0.2 Hz, 2.5 V amplitude
//   input 5: 1 V with noise of about 0.1 V RMS (uniform, a hash of the conversion tick: the same
//            tick always gives the same value)
//   input 6: constant -1.5 V
//   input 7: the analog output looped back: what the output commands play, 0 V when idle
// Differential pair p is input 2p minus input 2p+1. Digital input d (0..7) is a square wave of
// 5 x (d + 1) Hz, low in its first half period; while a digital output plays, digital input d
// reads bit d of the byte played instead (the outputs wired back to the inputs), so a digital
// trigger can be tried with a played pattern.
//
// Conversion: count = round(v / 5 x 2048) at gain x1, round(v x 10 / 5 x 2048) at gain x10,
// clamped to -2048..2047. In differential mode the channel word carries the gain (bit 0x40
// clear = x10). In single-ended mode it carries none, so the card takes each input's gain from
// SetInputGain, which the hosting program calls from its gain settings (default x1); the gains
// are read when an acquisition or formula frame arrives.
//
// Frames: code 0 configures and starts one oscilloscope shot, code 1 a continuous stream; the
// closing word 0 ends either (any other word ends it too and starts a new frame). Code 2 stops
// both outputs. Code 3 plays analog output words cyclically at 8 000 000 / Divisor per second,
// code 5 digital output bytes likewise. Code 4 drives the analog output from a formula of its
// sources, evaluated at the output rate: X = sum of Weights[i] x count of source i (the count at
// the source's gain; the looped-back input reads 0 V inside the formula), then
//   Formula 0: Y = CoefA x X + CoefB
//   Formula 1: Y = CoefA x ln(CoefB x X), 0 V where CoefB x X is not positive
//   Formula 2: Y = CoefB x exp(CoefA + X)
// and Y is limited to +-5 V and quantised as an output word. Codes above 5 do nothing.
//
// A shot: the card scans from the moment its frame arrives and waits for the trigger (automatic:
// at once; analog: the trigger position's count crosses the threshold, bits 0..9 of the trigger
// word sign-extended and shifted left by 2, on the chosen edge; digital: the chosen edge of the
// digital input), then converts TotalSamples + 2 x ChannelCount words starting with the scan in
// which the trigger came. Status bit 1 stays set until the last conversion is done; then the
// words are handed over one per read handshake.
//
// A stream: after the trigger, words come at the card's pace into a 4 096-word buffer. The data
// register holds the oldest unread word, and status bit 2 changes once per word offered (it
// starts set). The first read of the data register after the frame only clears the card's data
// latch and takes no word. When more than 4 096 words wait, the oldest are lost and status bit 3
// clears until the stream ends.
//
// Registers outside base..base+9 read 0xFFFF and ignore writes. Writing a nonzero value to the
// reset register holds the card in reset (it forgets every frame, acquisition and output); 0
// releases it. One thread at a time may use the registers; SetInputGain may be called from any.
class SimulatedCard : public PortIo {
  public:
    static constexpr uint32_t BufferWords = 4096;

    explicit SimulatedCard(Clock& clock, uint32_t baseAddress = 0x100);

    uint16_t InWord(uint16_t port) override;
    void OutWord(uint16_t port, uint16_t value) override;

    void SetInputGain(int input, bool high);
    // words: for StopsAfterWords, how many words of each shot or stream still go out.
    void SetFault(SimulatedFault fault, uint32_t words = 0);

    // The fixed test signal of inputs 0..6 in volts at a card tick (input 7 is the loopback and
    // reads 0 here; InputVolts knows the output).
    static double TestSignal(int input, uint64_t tick);
    static bool DigitalInput(int input, uint64_t tick);
    // Digital input d at a card tick: the test signal, or bit d of the byte played.
    bool DigitalLevel(int input, uint64_t tick) const;
    // The card's 12-bit conversion of a voltage at a gain.
    static int16_t Convert(double volts, bool highGain);

    // Inspection, mostly for tests.
    uint64_t NowTick();
    double InputVolts(int input, uint64_t tick) const;
    double AnalogOutputVolts();
    uint8_t DigitalOutputs();
    // The tick of conversion 0 of the current shot or stream, once triggered.
    uint64_t AcquisitionStartTick() const { return startTick_; }
    bool Triggered() const { return triggered_; }
    uint16_t LastCode() const { return lastCode_; }
    uint32_t FramesReceived() const { return framesReceived_; }

  private:
    enum class Mode { Idle, Shot, Stream };
    enum class TriggerKind { Automatic, Analog, Digital };
    enum class OutputKind { None, Samples, Formula };

    // One scan position or formula source: input plus (minus input minus) at a gain.
    struct Source {
        int8_t Plus = 0;
        int8_t Minus = -1;
        bool High = false;
    };

    struct PlayedOutput {
        OutputKind Kind = OutputKind::None;
        uint32_t Divisor = 1;
        uint32_t Count = 0;
        uint64_t StartTick = 0;
        std::vector<uint16_t> Words;  // sized once to a full frame
    };

    uint16_t Status();
    uint16_t ReadDataIn();
    void Control(uint16_t value);
    void TryAnswer();
    void Receive(uint16_t word);
    // Words the frame in progress needs in all: 0 = not known yet, -1 = a frame no card takes.
    int64_t FrameLength() const;
    void Execute();
    void StartAcquisition(Mode mode);
    void EndAcquisition();
    void ForgetAll();
    Source DecodeChannel(uint16_t word) const;
    void UpdateShot();
    void UpdateStream();
    void UpdateTrigger(uint64_t now);
    bool Crossed(int16_t before, int16_t after) const;
    int16_t Count(const Source& source, uint64_t tick) const;
    uint16_t ConversionWord(uint32_t index) const;
    double OutputVoltsAt(uint64_t tick) const;
    double FormulaVolts(uint64_t tick) const;
    bool FaultStopsWord(uint32_t index) const;
    // The first tick after `after` at which digital input d takes the triggering level, from the
    // played bytes; 0 when the pattern never changes that way.
    uint64_t NextPlayedEdge(int input, uint64_t after) const;

    Clock& clock_;
    uint16_t base_;
    uint64_t epochMicros_;
    std::array<std::atomic<bool>, 8> inputHigh_{};
    std::atomic<SimulatedFault> fault_{SimulatedFault::None};
    std::atomic<uint32_t> faultWords_{0};

    // Handshake.
    bool reset_ = false;
    bool strobe_ = true;
    bool ack_ = true;
    bool dataOutWritten_ = false;
    uint16_t dataOut_ = 0;
    uint16_t dataIn_ = 0;

    // The frame in progress.
    std::vector<uint16_t> frame_;
    std::size_t frameLength_ = 0;
    uint16_t lastCode_ = 0;
    uint32_t framesReceived_ = 0;

    // The acquisition.
    Mode mode_ = Mode::Idle;
    uint32_t divisor_ = 1;
    int channelCount_ = 0;
    std::array<Source, 8> positions_{};
    uint32_t total_ = 0;
    TriggerKind triggerKind_ = TriggerKind::Automatic;
    int triggerPosition_ = 0;
    bool triggerFalling_ = false;
    int16_t thresholdCount_ = 0;
    uint64_t configTick_ = 0;
    uint64_t triggerTick_ = 0;  // digital: the edge
    uint64_t searchedScans_ = 0;
    int16_t lastTriggerCount_ = 0;
    bool triggered_ = false;
    uint64_t startTick_ = 0;
    bool shotDone_ = false;
    uint32_t handedOver_ = 0;  // shot: words handed over; stream: words read by the host
    uint32_t produced_ = 0;    // stream: words converted so far
    bool latchCleared_ = false;
    bool overrun_ = false;

    // The outputs.
    PlayedOutput analog_;
    PlayedOutput digital_;
    std::array<Source, 8> formulaSources_{};
    std::array<float, 8> formulaWeights_{};
    int formulaSourceCount_ = 0;
    int formula_ = 0;
    float coefA_ = 0.0f;
    float coefB_ = 0.0f;
};

}  // namespace kresograf
