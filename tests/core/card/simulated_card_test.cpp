#include "card/simulated_card.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <tuple>
#include <vector>

#include "base/frame_link.h"
#include "card/card_outputs.h"
#include "card/card_port.h"
#include "card/direct_port_io.h"
#include "card/manual_clock.h"
#include "support/recording_frame_link.h"
#include "support/scan_list.h"

namespace kresograf {
namespace {

using Codes = std::vector<uint32_t>;

// A card link on the simulated card, whose clock moves only when told.
struct Bench {
    ManualClock clock;
    SimulatedCard card{clock};
    CardPort port{card, clock};
    RecordingFrameLink frame;
    std::atomic<uint32_t> run{1};
    std::array<std::vector<int32_t>, 8> samples;
    std::vector<int32_t> times;

    Bench() { port.SetBaseAddress(0x100); }

    // Sends a shot of the block, reads it into fresh arrays (a differential pair lands in the
    // array of its first input) and answers the scans read.
    uint32_t Shot(const AcquisitionParams& p, const TriggerParams& t) {
        EXPECT_EQ(port.SendCommand(CmdScopeShot, p, t), CardOk);
        const std::size_t scans = p.TotalSamples / p.ChannelCount;
        ReadTarget target;
        times.assign(scans, 0);
        target.ScanTime = times.data();
        for (int i = 0; i < 8; ++i) {
            samples[i].assign(scans, 0x7EADBEEF);
            target.Samples[i] = samples[i].data();
        }
        target.Prescaler = p.Prescaler;
        target.ChannelCount = p.ChannelCount;
        for (int i = 0; i < p.ChannelCount; ++i) {
            const auto entry = static_cast<uint8_t>(p.Channels[i]);
            target.ChannelMap[i] =
                p.SingleEnded != 0 ? entry
                                   : static_cast<uint8_t>((entry & 0x80) | ((entry & 0x7F) * 2));
        }
        uint32_t count = p.TotalSamples;
        EXPECT_EQ(port.ReadShot(target, count, run, frame), CardOk);
        return count;
    }
};

TEST(SimulatedCardTest, RegisterWindowResetAndHandshake) {
    ManualClock clock;
    SimulatedCard card(clock, 0x300);
    EXPECT_EQ(card.InWord(0x306), StatusAck | StatusDataToggle | StatusBufferIntact);
    for (uint16_t port : {0x106, 0x30A, 0x300}) {  // outside the window, write-only
        EXPECT_EQ(card.InWord(port), 0xFFFF);
    }

    CardPort port(card, clock);
    port.SetBaseAddress(0x300);
    EXPECT_EQ(port.SendCommand(7), CardOk);
    EXPECT_EQ(card.FramesReceived(), 1u);
    // Writes outside the window do not reach the card.
    card.OutWord(0x100, 9);
    card.OutWord(0x104, 0xFFFE);
    EXPECT_EQ(card.InWord(0x306) & StatusAck, StatusAck);
    // Without a shot there is no word to read: the read handshake is never answered.
    clock.SetStep(10);
    uint16_t word = 0;
    EXPECT_EQ(port.ReadWord(word), CardTimeout);
    // A half-sent frame is forgotten by a reset.
    EXPECT_EQ(port.WriteWord(CmdAnalogOutput), CardOk);
    port.Reset();
    EXPECT_EQ(port.SendCommand(9), CardOk);
    EXPECT_EQ(card.LastCode(), 9);
}

TEST(SimulatedCardTest, ShotCarriesTheTestSignals) {
    Bench b;
    AcquisitionParams p = ScanList({6, 1, 0, 2, 4, 5}, 800, 600);
    const uint32_t count = b.Shot(p, {});
    ASSERT_EQ(count, 100u);
    EXPECT_EQ(b.frame.Statuses(), (Codes{2, 0}));
    for (uint32_t k = 0; k < count; ++k) {
        // Input 1's 20 Hz square is +-2 V (+-8192) throughout; input 3's triangle within 3 V.
        ASSERT_EQ(std::abs(b.samples[1][k]), 8190) << k;
        ASSERT_LE(std::abs(b.samples[2][k]), 12290) << k;
    }
    double squares = 0;  // input 5: 1 V with 0.1 V of noise
    for (int32_t v : b.samples[5]) {
        squares += (v / 4096.0 - 1.0) * (v / 4096.0 - 1.0);
    }
    EXPECT_NEAR(std::sqrt(squares / count), 0.1, 0.03);
    // The closing word returned the card to idle.
    EXPECT_EQ(b.card.InWord(0x106), StatusAck | StatusDataToggle | StatusBufferIntact);
}

TEST(SimulatedCardTest, GainTenScalesAndSaturates) {
    Bench b;
    b.card.SetInputGain(0, true);
    b.card.SetInputGain(3, true);
    AcquisitionParams p =
        ScanList({static_cast<int8_t>(0x80), static_cast<int8_t>(0x83)}, 84, 4000);
    ASSERT_EQ(b.Shot(p, {}), 2000u);
    // Input 0 (4 V) at x10 clips at the converter's ends.
    const auto [lo0, hi0] = std::minmax_element(b.samples[0].begin(), b.samples[0].end());
    EXPECT_EQ(std::pair(*lo0, *hi0), std::pair(-2048, 2047));
    // Input 3 (0.4 V, 1 kHz) at x10 is stored as the count: 1/4096 V units, peaks near 1638.
    const auto [lo3, hi3] = std::minmax_element(b.samples[3].begin(), b.samples[3].end());
    EXPECT_NEAR(*hi3, 1638, 5);
    EXPECT_NEAR(*lo3, -1638, 5);

    // Differential: pair 3 is input 6 minus the idle output, gain from the channel word.
    Bench d;
    AcquisitionParams q = PairList({3, static_cast<int8_t>(0x82)}, 800, 40);
    ASSERT_EQ(d.Shot(q, {}), 20u);
    EXPECT_EQ(std::count(d.samples[6].begin(), d.samples[6].end(), -6140), 20);
}

TEST(SimulatedCardTest, AnalogAndDigitalTriggers) {
    // Input 1's square rises through 0 V every 50 ms, first at tick 400 000; digital input 1 is
    // a 10 Hz square that rises with it.
    for (const TriggerParams& t : {TriggerParams{TriggerAnalog, 0, EdgeRising, 0, 0.0f},
                                   TriggerParams{TriggerDigital, 1, EdgeRising, 0, 0.0f}}) {
        Bench b;
        const uint32_t count = b.Shot(ScanList({1}, 800, 100), t);
        EXPECT_EQ(b.card.AcquisitionStartTick(), 400'000u);
        EXPECT_EQ(b.frame.Statuses(), (Codes{1, 4, 2, 0}));
        for (uint32_t k = 0; k < count; ++k) {
            EXPECT_EQ(b.samples[1][k], 8190);
        }
    }
    {
        // Input 2's triangle falls through the threshold of 1 V (409 counts -> 408 on the card).
        Bench b;
        AcquisitionParams p = ScanList({0, 2}, 84, 200);
        TriggerParams t{TriggerAnalog, 1, EdgeFalling, 409, 1.0f};
        const uint32_t count = b.Shot(p, t);
        EXPECT_GT(b.card.AcquisitionStartTick(), 800'000u);  // it falls in its second half period
        EXPECT_LT(b.samples[2][count - 1], b.samples[2][0]);
    }
    // Falling digital edges come at whole periods.
    Bench b;
    b.Shot(ScanList({0}, 800, 10), {TriggerDigital, 1, EdgeFalling, 0, 0.0f});
    EXPECT_EQ(b.card.AcquisitionStartTick() % 800'000, 0u);
}

TEST(SimulatedCardTest, OutputsAndLoopback) {
    Bench b;
    const float volts[] = {1.0f, -1.0f};
    OutputRequest out{8000, 2, volts, nullptr};  // 1 000 samples per second
    ASSERT_EQ(b.port.SendCommand(CmdAnalogOutput, out), CardOk);
    // Input 7 reads the output back: +-409 counts, alternating every millisecond.
    const uint32_t count = b.Shot(ScanList({7}, 800, 20), {});
    for (uint32_t k = 0; k < count; ++k) {
        EXPECT_EQ(std::abs(b.samples[7][k]), 4090);
    }
    EXPECT_EQ(b.samples[7][0], -b.samples[7][10]);  // 10 scans of 100 us apart: one millisecond

    const uint8_t bytes[] = {0x12, 0x34};
    OutputRequest dig{80'000, 2, nullptr, bytes};  // 100 per second
    ASSERT_EQ(b.port.SendCommand(CmdDigitalOutput, dig), CardOk);
    EXPECT_EQ(b.card.DigitalOutputs(), 0x12);
    b.clock.Advance(10'000);
    EXPECT_EQ(b.card.DigitalOutputs(), 0x34);

    // Y = A ln(B X) of a negative X (input 7, -1.5 V) gives 0 V. (The output test of the command
    // line reads a linear formula of the same input back.)
    const FormulaRequest f{.Divisor = 8000,
                           .SourceCount = 1,
                           .Sources = {6},
                           .Formula = 1,
                           .Weights = {10.0f / 4096.0f},
                           .CoefA = 1.0f,
                           .CoefB = 1.0f};
    ASSERT_EQ(b.port.SendCommand(CmdFormulaOutput, f), CardOk);
    EXPECT_EQ(b.card.AnalogOutputVolts(), 0.0);
}

TEST(SimulatedCardTest, PlayedDigitalOutputsDriveTheDigitalInputs) {
    Bench b;
    // 100 bytes per second; input 2 is high in steps 2 and 3 of each turn.
    const uint8_t bytes[] = {0x00, 0x01, 0x04, 0x05};
    ASSERT_EQ(b.port.SendCommand(CmdDigitalOutput, OutputRequest{80'000, 4, nullptr, bytes}),
              CardOk);
    EXPECT_FALSE(b.card.DigitalLevel(2, 159'999));
    EXPECT_TRUE(b.card.DigitalLevel(2, 160'000));
    EXPECT_TRUE(b.card.DigitalLevel(2, 480'000));  // step 6 plays byte 2 again

    b.clock.Advance(5'000);  // tick 40 000, inside step 0
    const AcquisitionParams p = ScanList({0}, 800, 10);
    b.Shot(p, {TriggerDigital, 2, EdgeRising, 0, 0.0f});
    EXPECT_EQ(b.card.AcquisitionStartTick(), 160'000u);
    // The first shot took the clock on; the next falling edge is the start of a later turn.
    b.Shot(p, {TriggerDigital, 2, EdgeFalling, 0, 0.0f});
    const uint64_t falling = b.card.AcquisitionStartTick();
    EXPECT_EQ(falling % 320'000, 0u);
    EXPECT_GT(falling, 320'000u);

    // Input 3 never changes in this pattern: its trigger never comes.
    ASSERT_EQ(b.port.SendCommand(CmdScopeShot, p, {TriggerDigital, 3, EdgeRising, 0, 0.0f}),
              CardOk);
    b.clock.Advance(2'000'000);
    EXPECT_NE(b.card.InWord(0x106) & StatusShotBusy, 0);
    EXPECT_FALSE(b.card.Triggered());

    // The stop gives the inputs back their own square waves.
    ASSERT_EQ(b.port.SendCommand(CmdStopOutput), CardOk);
    for (uint64_t tick : {160'000u, 800'000u, 1'700'000u}) {
        EXPECT_EQ(b.card.DigitalLevel(2, tick), SimulatedCard::DigitalInput(2, tick));
    }
}

TEST(CardOutputsTest, StartsReplaceStopEndsBoth) {
    ManualClock clock(0, 10);  // reads move time on, so time-outs end
    SimulatedCard card(clock);
    CardPort port(card, clock);
    CardOutputs outputs(port);

    const float volts[] = {2.5f};
    ASSERT_EQ(outputs.PlayAnalog(0x100, {100, 1, volts, nullptr}, AnalogOutput::Generator), 0);
    EXPECT_EQ(card.AnalogOutputVolts(), 1024 * 5.0 / 2048);
    const uint8_t bytes[] = {0x5A};
    ASSERT_EQ(outputs.PlayDigital(0x100, {100, 1, nullptr, bytes}), 0);
    // The card was reset once, before the first output: the analog output still plays.
    EXPECT_EQ(std::tuple(card.AnalogOutputVolts(), card.DigitalOutputs(), outputs.Analog(),
                         outputs.DigitalPlaying()),
              std::tuple(1024 * 5.0 / 2048, 0x5A, AnalogOutput::Generator, true));

    ASSERT_EQ(outputs.Stop(0x100), 0);
    EXPECT_EQ(std::tuple(card.AnalogOutputVolts(), card.DigitalOutputs(), outputs.Analog(),
                         outputs.DigitalPlaying()),
              std::tuple(0.0, 0, AnalogOutput::None, false));

    // A card that does not answer: the start fails and nothing is recorded as playing.
    ASSERT_EQ(outputs.PlayAnalog(0x100, {100, 1, volts, nullptr}, AnalogOutput::File), 0);
    card.SetFault(SimulatedFault::Dead);
    EXPECT_EQ(outputs.PlayDigital(0x100, {100, 1, nullptr, bytes}), CardTimeout);
    EXPECT_EQ(outputs.Stop(0x100), CardTimeout);
    EXPECT_EQ(outputs.Analog(), AnalogOutput::File);
}

TEST(DirectPortIoTest, RefusalMessages) {
    EXPECT_EQ(PortAccessDeniedMessage(0x300),
              (UserMessage{"Błąd dostępu do karty",
                           "Nie można uzyskać dostępu do portów karty QB730 pod adresem 0x300. "
                           "Uruchom program jako root lub nadaj mu uprawnienie CAP_SYS_RAWIO (np. "
                           "setcap cap_sys_rawio+ep).",
                           MessageIcon::Stop}));
    EXPECT_EQ(PortIoUnsupportedMessage().Title, "Błąd dostępu do karty");

    // A window reaching past the last port can never be granted, whoever runs the program.
    UserMessage error;
    EXPECT_EQ(DirectPortIo::Open(0xFFF8, error), nullptr);
    EXPECT_EQ(error.Title, "Błąd dostępu do karty");
    EXPECT_NE(error.Text.find("QB730"), std::string::npos);

    // Opened at one listed address, every other listed window stays reachable; beyond the list
    // only the opened window is.
    EXPECT_TRUE(DirectPortIo::Granted(0x100, 0x000));
    EXPECT_TRUE(DirectPortIo::Granted(0x100, 0x3FF + 9));
    EXPECT_FALSE(DirectPortIo::Granted(0x100, 0x3FF + 10));
    EXPECT_TRUE(DirectPortIo::Granted(0x5000, 0x5009));
    EXPECT_FALSE(DirectPortIo::Granted(0x5000, 0x500A));
    EXPECT_FALSE(DirectPortIo::Granted(0x5000, 0x4FFF));
}

}  // namespace
}  // namespace kresograf
