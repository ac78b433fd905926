#include "card/simulated_card.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "card/card_port.h"
#include "card/clock.h"

namespace kresograf {

namespace {

constexpr uint64_t TicksPerMicro = 8;
constexpr uint16_t PortSpan = 10;
// Trigger search per status read: bounds the work after a long jump of the clock.
constexpr uint64_t MaxScansPerSearch = 1u << 18;

// Single-ended inputs by multiplexer bits 4..6 (the inverse of the host's table).
constexpr std::array<int8_t, 8> InputByMux = {7, 5, 3, 1, 6, 4, 2, 0};

// Signal periods in card ticks.
constexpr uint64_t Sine50Period = 160'000;
constexpr uint64_t Square20Period = 400'000;
constexpr uint64_t Triangle5Period = 1'600'000;
constexpr uint64_t Sine1kPeriod = 8'000;
constexpr uint64_t SineSlowPeriod = 40'000'000;
// Digital input d changes level every DigitalHalfPeriod / (d + 1) ticks.
constexpr uint64_t DigitalHalfPeriod = 800'000;

double Sine(uint64_t tick, uint64_t period, double amplitude) {
    const double phase = static_cast<double>(tick % period) / static_cast<double>(period);
    return amplitude * std::sin(2.0 * std::numbers::pi * phase);
}

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

float FloatFromWords(uint16_t low, uint16_t high) {
    const uint32_t bits = static_cast<uint32_t>(low) | (static_cast<uint32_t>(high) << 16);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint32_t U32(uint16_t low, uint16_t high) {
    return static_cast<uint32_t>(low) | (static_cast<uint32_t>(high) << 16);
}

double OutputWordVolts(uint16_t word) {
    const int c = std::clamp(2048 - static_cast<int>(word), -2048, 2048);
    return c * 5.0 / 2048.0;
}

}  // namespace

SimulatedCard::SimulatedCard(Clock& clock, uint32_t baseAddress)
    : clock_(clock),
      base_(static_cast<uint16_t>(baseAddress & 0xFFFF)),
      epochMicros_(clock.NowMicros()),
      frame_(MaxFrameWords) {
    analog_.Words.resize(MaxFrameWords);
    digital_.Words.resize(MaxFrameWords);
}

void SimulatedCard::SetInputGain(int input, bool high) {
    if (input >= 0 && input < 8) {
        inputHigh_[input].store(high);
    }
}

void SimulatedCard::SetFault(SimulatedFault fault, uint32_t words) {
    faultWords_.store(words);
    fault_.store(fault);
}

double SimulatedCard::TestSignal(int input, uint64_t tick) {
    switch (input) {
        case 0:
            return Sine(tick, Sine50Period, 4.0);
        case 1:
            return tick % Square20Period < Square20Period / 2 ? 2.0 : -2.0;
        case 2: {
            const double phase =
                static_cast<double>(tick % Triangle5Period) / static_cast<double>(Triangle5Period);
            return phase < 0.5 ? -3.0 + 12.0 * phase : 9.0 - 12.0 * phase;
        }
        case 3:
            return Sine(tick, Sine1kPeriod, 0.4);
        case 4:
            return Sine(tick, SineSlowPeriod, 2.5);
        case 5: {
            // Uniform on +-a has RMS a / sqrt(3).
            const double unit = static_cast<double>(Mix(tick) >> 11) * 0x1.0p-53 * 2.0 - 1.0;
            return 1.0 + unit * 0.1 * std::numbers::sqrt3;
        }
        case 6:
            return -1.5;
        default:
            return 0.0;
    }
}

bool SimulatedCard::DigitalInput(int input, uint64_t tick) {
    const uint64_t factor = static_cast<uint64_t>(input & 0x07) + 1;
    return ((tick * factor / DigitalHalfPeriod) & 1) != 0;
}

int16_t SimulatedCard::Convert(double volts, bool highGain) {
    const double counts = std::round((highGain ? volts * 10.0 : volts) / 5.0 * 2048.0);
    if (!(counts > -2048.0)) {
        return -2048;
    }
    return static_cast<int16_t>(std::min(counts, 2047.0));
}

uint64_t SimulatedCard::NowTick() {
    const uint64_t now = clock_.NowMicros();
    return now > epochMicros_ ? (now - epochMicros_) * TicksPerMicro : 0;
}

bool SimulatedCard::DigitalLevel(int input, uint64_t tick) const {
    if (digital_.Kind != OutputKind::Samples || tick < digital_.StartTick) {
        return DigitalInput(input, tick);
    }
    const uint64_t step = (tick - digital_.StartTick) / digital_.Divisor;
    return ((digital_.Words[step % digital_.Count] >> (input & 0x07)) & 1) != 0;
}

uint64_t SimulatedCard::NextPlayedEdge(int input, uint64_t after) const {
    const auto level = [&](uint64_t step) {
        return ((digital_.Words[step % digital_.Count] >> (input & 0x07)) & 1) != 0;
    };
    const uint64_t first =
        after >= digital_.StartTick ? (after - digital_.StartTick) / digital_.Divisor + 1 : 1;
    // The pattern repeats, so one turn through it finds every edge it has.
    for (uint64_t step = first; step <= first + digital_.Count; ++step) {
        if (level(step) != triggerFalling_ && level(step - 1) == triggerFalling_) {
            return digital_.StartTick + step * digital_.Divisor;
        }
    }
    return 0;
}

double SimulatedCard::InputVolts(int input, uint64_t tick) const {
    return input == 7 ? OutputVoltsAt(tick) : TestSignal(input, tick);
}

double SimulatedCard::AnalogOutputVolts() {
    return OutputVoltsAt(NowTick());
}

uint8_t SimulatedCard::DigitalOutputs() {
    if (digital_.Kind == OutputKind::None || digital_.Count == 0) {
        return 0;
    }
    const uint64_t now = NowTick();
    const uint64_t step =
        now > digital_.StartTick ? (now - digital_.StartTick) / digital_.Divisor : 0;
    return static_cast<uint8_t>(digital_.Words[step % digital_.Count] & 0xFF);
}

uint16_t SimulatedCard::InWord(uint16_t port) {
    const uint16_t offset = static_cast<uint16_t>(port - base_);
    if (offset >= PortSpan) {
        return 0xFFFF;
    }
    if (fault_.load(std::memory_order_relaxed) == SimulatedFault::Dead) {
        return 0;
    }
    switch (offset) {
        case RegDataIn:
            return ReadDataIn();
        case RegStatus:
            return Status();
        default:
            return 0xFFFF;  // write-only registers and the gaps between them
    }
}

void SimulatedCard::OutWord(uint16_t port, uint16_t value) {
    const uint16_t offset = static_cast<uint16_t>(port - base_);
    if (offset >= PortSpan || fault_.load(std::memory_order_relaxed) == SimulatedFault::Dead) {
        return;
    }
    switch (offset) {
        case RegDataOut:
            dataOut_ = value;
            dataOutWritten_ = true;
            break;
        case RegControl:
            Control(value);
            break;
        case RegReset:
            if (value != 0) {
                reset_ = true;
                ForgetAll();
            } else if (reset_) {
                reset_ = false;
                ack_ = strobe_;
            }
            break;
        default:
            break;
    }
}

void SimulatedCard::ForgetAll() {
    mode_ = Mode::Idle;
    frameLength_ = 0;
    analog_.Kind = OutputKind::None;
    digital_.Kind = OutputKind::None;
    dataOutWritten_ = false;
    overrun_ = false;
    triggered_ = false;
    ack_ = false;
}

uint16_t SimulatedCard::Status() {
    if (reset_) {
        return 0;
    }
    if (!strobe_ && ack_) {
        TryAnswer();  // a shot's words may have become ready while the strobe is low
    }
    uint16_t status = ack_ ? StatusAck : 0;
    if (!overrun_) {
        status |= StatusBufferIntact;
    }
    switch (mode_) {
        case Mode::Idle:
            status |= StatusDataToggle;
            break;
        case Mode::Shot:
            UpdateShot();
            status |= StatusDataToggle;
            if (!shotDone_) {
                status |= StatusShotBusy;
            }
            break;
        case Mode::Stream: {
            UpdateStream();
            const uint32_t offered = handedOver_ + (produced_ > handedOver_ ? 1 : 0);
            if ((offered & 1) == 0) {
                status |= StatusDataToggle;
            }
            if (overrun_) {
                status &= static_cast<uint16_t>(~StatusBufferIntact);
            }
            break;
        }
    }
    if (triggered_ && mode_ != Mode::Idle) {
        status |= StatusTriggered;
    }
    if (fault_.load(std::memory_order_relaxed) == SimulatedFault::StuckAck) {
        status |= StatusAck;
    }
    return status;
}

uint16_t SimulatedCard::ReadDataIn() {
    if (reset_ || mode_ != Mode::Stream) {
        return dataIn_;
    }
    if (!latchCleared_) {
        latchCleared_ = true;
        return dataIn_;
    }
    // The word offered is the one the last status read announced.
    if (produced_ > handedOver_) {
        dataIn_ = ConversionWord(handedOver_);
        ++handedOver_;
    }
    return dataIn_;
}

void SimulatedCard::Control(uint16_t value) {
    const bool strobe = (value & 0x0001) != 0;
    strobe_ = strobe;
    if (reset_) {
        return;
    }
    if (strobe) {
        ack_ = true;
        return;
    }
    if (ack_) {
        TryAnswer();
    }
}

void SimulatedCard::TryAnswer() {
    if (dataOutWritten_) {
        dataOutWritten_ = false;
        ack_ = false;
        Receive(dataOut_);
        return;
    }
    if (mode_ != Mode::Shot) {
        return;
    }
    UpdateShot();
    if (shotDone_ && handedOver_ < total_ && !FaultStopsWord(handedOver_)) {
        dataIn_ = ConversionWord(handedOver_);
        ++handedOver_;
        ack_ = false;
    }
}

bool SimulatedCard::FaultStopsWord(uint32_t index) const {
    return fault_.load(std::memory_order_relaxed) == SimulatedFault::StopsAfterWords &&
           index >= faultWords_.load(std::memory_order_relaxed);
}

void SimulatedCard::Receive(uint16_t word) {
    if (mode_ != Mode::Idle && frameLength_ == 0) {
        EndAcquisition();
        if (word == 0) {
            return;  // the closing word
        }
    }
    frame_[frameLength_++] = word;
    const int64_t length = FrameLength();
    if (length < 0) {
        frameLength_ = 0;  // a frame no card takes: drop it and wait for the next code
        return;
    }
    if (length > 0 && frameLength_ >= static_cast<std::size_t>(length)) {
        Execute();
        frameLength_ = 0;
    }
}

int64_t SimulatedCard::FrameLength() const {
    const uint16_t code = frame_[0];
    switch (code) {
        case CmdScopeShot:
        case CmdRecordStream: {
            if (frameLength_ < 4) {
                return 0;
            }
            const int16_t channels = static_cast<int16_t>(frame_[3]);
            return channels < 0 || channels > 8 ? -1 : 4 + channels + 3;
        }
        case CmdAnalogOutput:
        case CmdDigitalOutput: {
            if (frameLength_ < 8) {
                return 0;
            }
            const uint32_t count = U32(frame_[5], frame_[6]);
            return count > MaxFrameWords - 8 ? -1 : 8 + static_cast<int64_t>(count);
        }
        case CmdFormulaOutput: {
            if (frameLength_ < 4) {
                return 0;
            }
            const int16_t sources = static_cast<int16_t>(frame_[3]);
            return sources < 0 || sources > 8 ? -1 : 4 + sources + 3 + 1 + 2 * sources + 4;
        }
        default:
            return 1;
    }
}

SimulatedCard::Source SimulatedCard::DecodeChannel(uint16_t word) const {
    Source source;
    if ((word & 0x04) != 0) {
        source.Plus = InputByMux[(word >> 4) & 0x07];
        source.High = inputHigh_[source.Plus].load(std::memory_order_relaxed);
    } else {
        const int pair = 3 - ((word >> 4) & 0x03);
        source.Plus = static_cast<int8_t>(2 * pair);
        source.Minus = static_cast<int8_t>(2 * pair + 1);
        source.High = (word & 0x40) == 0;
    }
    return source;
}

void SimulatedCard::Execute() {
    const uint16_t code = frame_[0];
    lastCode_ = code;
    ++framesReceived_;
    switch (code) {
        case CmdScopeShot:
        case CmdRecordStream: {
            divisor_ = std::max<uint32_t>(1, U32(frame_[1], frame_[2]));
            channelCount_ = static_cast<int16_t>(frame_[3]);
            for (int i = 0; i < channelCount_; ++i) {
                positions_[i] = DecodeChannel(frame_[4 + i]);
            }
            total_ = U32(frame_[4 + channelCount_], frame_[5 + channelCount_]);
            const uint16_t trigger = frame_[6 + channelCount_];
            triggerFalling_ = ((trigger >> 10) & 0x03) == 1;
            triggerPosition_ = (trigger >> 12) & 0x07;
            if (((trigger >> 10) & 0x03) == 2) {
                triggerKind_ = TriggerKind::Automatic;
            } else if ((trigger & 0x8000) != 0) {
                triggerKind_ = TriggerKind::Digital;
            } else {
                triggerKind_ = TriggerKind::Analog;
                const int16_t bits = static_cast<int16_t>(trigger & 0x3FF);
                thresholdCount_ =
                    static_cast<int16_t>(((bits & 0x200) != 0 ? bits - 0x400 : bits) * 4);
            }
            StartAcquisition(code == CmdScopeShot ? Mode::Shot : Mode::Stream);
            break;
        }
        case CmdStopOutput:
            analog_.Kind = OutputKind::None;
            digital_.Kind = OutputKind::None;
            break;
        case CmdAnalogOutput:
        case CmdDigitalOutput: {
            PlayedOutput& output = code == CmdAnalogOutput ? analog_ : digital_;
            output.Divisor = std::max<uint32_t>(1, U32(frame_[1], frame_[2]));
            output.Count = U32(frame_[5], frame_[6]);
            std::copy_n(frame_.begin() + 8, output.Count, output.Words.begin());
            output.StartTick = NowTick();
            output.Kind = output.Count > 0 ? OutputKind::Samples : OutputKind::None;
            break;
        }
        case CmdFormulaOutput: {
            const int sources = static_cast<int16_t>(frame_[3]);
            formulaSourceCount_ = sources;
            for (int i = 0; i < sources; ++i) {
                formulaSources_[i] = DecodeChannel(frame_[4 + i]);
            }
            std::size_t at = 4 + static_cast<std::size_t>(sources) + 3;
            formula_ = static_cast<int16_t>(frame_[at++]);
            for (int i = 0; i < sources; ++i, at += 2) {
                formulaWeights_[i] = FloatFromWords(frame_[at], frame_[at + 1]);
            }
            coefA_ = FloatFromWords(frame_[at], frame_[at + 1]);
            coefB_ = FloatFromWords(frame_[at + 2], frame_[at + 3]);
            analog_.Divisor = std::max<uint32_t>(1, U32(frame_[1], frame_[2]));
            analog_.StartTick = NowTick();
            analog_.Kind = OutputKind::Formula;
            break;
        }
        default:
            break;
    }
}

void SimulatedCard::StartAcquisition(Mode mode) {
    mode_ = mode;
    configTick_ = NowTick();
    triggered_ = false;
    shotDone_ = false;
    handedOver_ = 0;
    produced_ = 0;
    latchCleared_ = false;
    overrun_ = false;
    searchedScans_ = 0;
    startTick_ = configTick_;
    const uint64_t scanTicks = static_cast<uint64_t>(channelCount_) * divisor_;
    if (channelCount_ == 0) {
        // Nothing to scan: the acquisition is over as soon as it starts.
        triggered_ = true;
        total_ = 0;
        return;
    }
    switch (triggerKind_) {
        case TriggerKind::Automatic:
            triggered_ = true;
            break;
        case TriggerKind::Analog:
            if (triggerPosition_ < channelCount_) {
                lastTriggerCount_ =
                    Count(positions_[triggerPosition_],
                          configTick_ + static_cast<uint64_t>(triggerPosition_) * divisor_);
            }
            break;
        case TriggerKind::Digital: {
            if (digital_.Kind == OutputKind::Samples) {
                triggerTick_ = NextPlayedEdge(triggerPosition_, configTick_);
                if (triggerTick_ == 0) {
                    triggerTick_ = std::numeric_limits<uint64_t>::max();  // a pattern without that
                                                                          // edge never triggers
                    break;
                }
            } else {
                // The next boundary m where the level becomes 1 (odd m, rising) or 0 (even m).
                const uint64_t factor = static_cast<uint64_t>(triggerPosition_) + 1;
                uint64_t m = configTick_ * factor / DigitalHalfPeriod + 1;
                if (((m & 1) != 0) == triggerFalling_) {
                    ++m;
                }
                triggerTick_ = (m * DigitalHalfPeriod + factor - 1) / factor;
            }
            const uint64_t scans = (triggerTick_ - configTick_ + scanTicks - 1) / scanTicks;
            startTick_ = configTick_ + scans * scanTicks;
            break;
        }
    }
}

void SimulatedCard::EndAcquisition() {
    mode_ = Mode::Idle;
    overrun_ = false;
    triggered_ = false;
}

bool SimulatedCard::Crossed(int16_t before, int16_t after) const {
    return triggerFalling_ ? (before > thresholdCount_ && after <= thresholdCount_)
                           : (before < thresholdCount_ && after >= thresholdCount_);
}

void SimulatedCard::UpdateTrigger(uint64_t now) {
    if (triggered_) {
        return;
    }
    if (triggerKind_ == TriggerKind::Digital) {
        triggered_ = now >= triggerTick_;
        return;
    }
    if (triggerKind_ != TriggerKind::Analog || triggerPosition_ >= channelCount_) {
        return;  // a trigger on a position not scanned never comes
    }
    const uint64_t scanTicks = static_cast<uint64_t>(channelCount_) * divisor_;
    const uint64_t offset = static_cast<uint64_t>(triggerPosition_) * divisor_;
    if (now < configTick_ + offset) {
        return;
    }
    const uint64_t lastScan =
        std::min((now - configTick_ - offset) / scanTicks, searchedScans_ + MaxScansPerSearch);
    const Source& source = positions_[triggerPosition_];
    for (uint64_t k = searchedScans_ + 1; k <= lastScan; ++k) {
        const uint64_t scanStart = configTick_ + k * scanTicks;
        const int16_t count = Count(source, scanStart + offset);
        if (Crossed(lastTriggerCount_, count)) {
            triggered_ = true;
            startTick_ = scanStart;
            searchedScans_ = k;
            return;
        }
        lastTriggerCount_ = count;
    }
    searchedScans_ = std::max(searchedScans_, lastScan);
}

void SimulatedCard::UpdateShot() {
    if (shotDone_) {
        return;
    }
    const uint64_t now = NowTick();
    UpdateTrigger(now);
    if (triggered_ && now >= startTick_ + static_cast<uint64_t>(total_) * divisor_) {
        shotDone_ = true;
    }
}

void SimulatedCard::UpdateStream() {
    const uint64_t now = NowTick();
    UpdateTrigger(now);
    if (!triggered_ || now < startTick_) {
        return;
    }
    uint64_t produced = std::min<uint64_t>(total_, (now - startTick_) / divisor_);
    if (fault_.load(std::memory_order_relaxed) == SimulatedFault::StopsAfterWords) {
        produced = std::min<uint64_t>(produced, faultWords_.load(std::memory_order_relaxed));
    }
    produced_ = static_cast<uint32_t>(produced);
    if (produced_ - handedOver_ > BufferWords) {
        // The oldest words are overwritten; the loss stays flagged until the stream ends.
        overrun_ = true;
        handedOver_ = produced_ - BufferWords;
    }
}

int16_t SimulatedCard::Count(const Source& source, uint64_t tick) const {
    double volts = InputVolts(source.Plus, tick);
    if (source.Minus >= 0) {
        volts -= InputVolts(source.Minus, tick);
    }
    return Convert(volts, source.High);
}

uint16_t SimulatedCard::ConversionWord(uint32_t index) const {
    const uint32_t position = index % static_cast<uint32_t>(channelCount_);
    const uint64_t tick = startTick_ + static_cast<uint64_t>(index) * divisor_;
    const int16_t count = Count(positions_[position], tick);
    return static_cast<uint16_t>((static_cast<uint16_t>(count) & 0x0FFF) | (position << 12));
}

double SimulatedCard::OutputVoltsAt(uint64_t tick) const {
    if (analog_.Kind == OutputKind::None || tick < analog_.StartTick) {
        return 0.0;
    }
    const uint64_t step = (tick - analog_.StartTick) / analog_.Divisor;
    if (analog_.Kind == OutputKind::Samples) {
        return OutputWordVolts(analog_.Words[step % analog_.Count]);
    }
    return FormulaVolts(analog_.StartTick + step * analog_.Divisor);
}

double SimulatedCard::FormulaVolts(uint64_t tick) const {
    double x = 0.0;
    for (int i = 0; i < formulaSourceCount_; ++i) {
        const Source& source = formulaSources_[i];
        // The looped-back input would feed the formula its own output; it reads 0 V here.
        double volts = source.Plus == 7 ? 0.0 : TestSignal(source.Plus, tick);
        if (source.Minus >= 0 && source.Minus != 7) {
            volts -= TestSignal(source.Minus, tick);
        }
        x += static_cast<double>(formulaWeights_[i]) * Convert(volts, source.High);
    }
    const double a = coefA_;
    const double b = coefB_;
    double y = 0.0;
    switch (formula_) {
        case 0:
            y = a * x + b;
            break;
        case 1:
            y = b * x > 0.0 ? a * std::log(b * x) : 0.0;
            break;
        case 2:
            y = b * std::exp(std::min(a + x, 700.0));
            break;
        default:
            break;
    }
    if (!std::isfinite(y)) {
        y = 0.0;
    }
    return OutputWordVolts(AnalogOutputWord(static_cast<float>(std::clamp(y, -5.0, 5.0))));
}

}  // namespace kresograf
