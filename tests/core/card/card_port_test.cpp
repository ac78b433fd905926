#include "card/card_port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <utility>
#include <vector>

#include "card/manual_clock.h"
#include "fake_card_io.h"
#include "support/recording_frame_link.h"
#include "support/scan_list.h"

namespace kresograf {
namespace {

using Words = std::vector<uint16_t>;
using Ints = std::vector<int32_t>;
using Codes = std::vector<uint32_t>;

Words Column(const std::vector<FakeCardIo::Access>& log, uint16_t FakeCardIo::Access::*field) {
    Words column;
    for (const auto& access : log) {
        column.push_back(access.*field);
    }
    return column;
}

// A card link on a scripted card whose clock moves 10 us per tick read, so a 100 ms time-out
// ends after 10 000 polls.
struct Link {
    ManualClock clock;
    FakeCardIo io{clock};
    CardPort port{io, clock};
    RecordingFrameLink frame;
    std::atomic<uint32_t> run{1};
    explicit Link(uint64_t start = 0) : clock(start, 10) { port.SetBaseAddress(0x100); }
    // A read of `count` samples: its status and the scans it stored.
    std::pair<int, uint32_t> Shot(const ReadTarget& t, uint32_t count) {
        const int status = port.ReadShot(t, count, run, frame);
        return {status, count};
    }
    std::pair<int, uint32_t> Stream(const ReadTarget& t, uint32_t count) {
        const int status = port.ReadStream(t, count, run, frame);
        return {status, count};
    }
};
using Read = std::pair<int, uint32_t>;

TEST(CardPortHandshakeTest, RegistersAndResetSequence) {
    Link link;
    link.clock.SetStep(0);
    link.port.Reset();
    const auto& log = link.io.Log;
    EXPECT_EQ(Column(log, &FakeCardIo::Access::Port), (Words{0x108, 0x104, 0x108}));
    EXPECT_EQ(Column(log, &FakeCardIo::Access::Value), (Words{0x00FF, 0xFFFF, 0}));
    EXPECT_EQ(log[2].Micros - log[1].Micros, 100'000u);  // released after 100 ms
    EXPECT_EQ(link.clock.PeekMicros(), 600'000u);

    link.io.Log.clear();
    link.io.ToSend = {0x1234};
    EXPECT_EQ(link.port.WriteWord(0xBEEF), CardOk);
    uint16_t word = 0;
    EXPECT_EQ(link.port.ReadWord(word), CardOk);
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(link.io.Received, Words{0xBEEF});
    // Data out, strobe low, ack, strobe high, ack; then strobe low, ack, data in, strobe high, ack.
    EXPECT_EQ(Column(log, &FakeCardIo::Access::Port),
              (Words{0x100, 0x104, 0x106, 0x104, 0x106, 0x104, 0x106, 0x102, 0x104, 0x106}));
    EXPECT_EQ(log[1].Value, 0xFFFE);
    EXPECT_EQ(log[3].Value, 0xFFFF);
}

TEST(CardPortHandshakeTest, TimeoutsAfterAbout100Milliseconds) {
    // Also when the tick counter wraps during the wait.
    for (uint64_t start : {uint64_t{0}, (uint64_t{1} << 32) * 1000 - 50'000}) {
        Link link(start);
        link.io.AckMode = FakeCardIo::Ack::StuckHigh;
        EXPECT_EQ(link.port.WriteWord(7), CardTimeout);
        const double waited = static_cast<double>(link.clock.PeekMicros() - start);
        EXPECT_NEAR(waited, start == 0 ? 100'050.0 : 100'000.0, start == 0 ? 50.0 : 1'100.0);
        uint16_t word = 0x5555;
        EXPECT_EQ(link.port.ReadWord(word), CardTimeout);
        EXPECT_EQ(word, 0x5555);
        EXPECT_EQ(link.io.DataReads, 0u);
    }
    // The acknowledge clears but never returns: the word is delivered all the same.
    Link link;
    link.io.AckMode = FakeCardIo::Ack::NeverReturns;
    link.io.ToSend = {0x0ABC};
    uint16_t word = 0;
    EXPECT_EQ(link.port.ReadWord(word), CardTimeout);
    EXPECT_EQ(word, 0x0ABC);
}

TEST(CardPortFrameTest, AcquisitionOutputAndBareFrames) {
    Link link;
    AcquisitionParams p = ScanList({0, 3, static_cast<int8_t>(0x87)}, 0x12345678, 1000);
    TriggerParams t;
    EXPECT_EQ(link.port.SendCommand(CmdScopeShot, p, t), CardOk);
    EXPECT_EQ(link.io.Received, (Words{0, 0x5678, 0x1234, 3, 0xF7, 0xA7, 0x87, 1006, 0, 0x0800}));

    link.io.Received.clear();
    p = PairList({0, static_cast<int8_t>(0x83)}, 84, 0xFFFF);
    t = {TriggerAnalog, 0, EdgeFalling, -409, -1.0f};
    EXPECT_EQ(link.port.SendCommand(CmdRecordStream, p, t), CardOk);
    EXPECT_EQ(link.io.Received, (Words{1, 84, 0, 2, 0xF3, 0x83, 0x0003, 0x0001, 0x0799}));

    // Threshold bits: -409 >> 2 = -103 -> 0x399 at x1 (above); x10 makes -4090 -> -1023 -> 0x001.
    // The 16-bit product wraps as the card's register does: 4000 x 10 = 40000 -> -25536 -> 0x310.
    p.Channels[0] = static_cast<int8_t>(0x80);
    const std::pair<TriggerParams, uint16_t> triggers[] = {
        {{TriggerAnalog, 0, EdgeFalling, -409, -1.0f}, 0x0401},
        {{TriggerAnalog, 0, EdgeFalling, 4000, 1.0f}, 0x0710},
        {{TriggerDigital, 5, EdgeFalling, 300, 1.0f}, 0xD400},
        {{TriggerAnalog, 1, EdgeAutomatic, -409, -1.0f}, 0x0800},
    };
    for (const auto& [trigger, word] : triggers) {
        EXPECT_EQ(TriggerWord(p, trigger), word);
    }

    link.io.Received.clear();
    const float volts[] = {1.0f, -7.0f, 0.0f, 5.0f, -5.0f, 100.0f, 4.999f};
    OutputRequest analog{8000, 7, volts, nullptr};
    EXPECT_EQ(link.port.SendCommand(CmdAnalogOutput, analog), CardOk);
    EXPECT_EQ(link.io.Received,
              (Words{3, 8000, 0, 1, 0xF7, 7, 0, 0x0800, 1639, 4096, 2048, 0, 4096, 0, 1}));

    link.io.Received.clear();
    const uint8_t bytes[] = {0, 0xFF, 0x80};
    OutputRequest digital{160'000, 3, nullptr, bytes};
    EXPECT_EQ(link.port.SendCommand(CmdDigitalOutput, digital), CardOk);
    EXPECT_EQ(link.io.Received,
              (Words{5, 0x7100, 2, 1, 0xF7, 3, 0, 0x0800, 0x0000, 0x00FF, 0x0080}));

    link.io.Received.clear();
    const FormulaRequest f{.Divisor = 8000,
                           .SourceCount = 2,
                           .SingleEnded = 1,
                           .Sources = {1, static_cast<int8_t>(0x84)},  // no gain bit: single-ended
                           .Formula = 2,
                           .Weights = {2.0f, 0.5f},
                           .CoefA = 1.5f,
                           .CoefB = -1.0f};
    EXPECT_EQ(link.port.SendCommand(CmdFormulaOutput, f), CardOk);
    // Low halves first: 2.0f 0x40000000, 0.5f 0x3F000000, 1.5f 0x3FC00000, -1.0f 0xBF800000.
    EXPECT_EQ(link.io.Received, (Words{4, 8000, 0, 2, 0xB7, 0xD7, 0, 0, 0, 2, 0, 0x4000, 0, 0x3F00,
                                       0, 0x3FC0, 0, 0xBF80}));

    // The largest output frame fills the buffer exactly.
    link.io.Received.clear();
    std::vector<uint8_t> many(MaxFrameWords - 8, 1);
    OutputRequest full{84, MaxFrameWords - 8, nullptr, many.data()};
    EXPECT_EQ(link.port.SendCommand(CmdDigitalOutput, full), CardOk);
    EXPECT_EQ(link.io.Received.size(), MaxFrameWords);

    // A refused word aborts the frame: nothing after it is sent.
    link.io.Received.clear();
    link.io.WritesAccepted = 3;
    EXPECT_EQ(link.port.SendCommand(CmdAnalogOutput, analog), CardTimeout);
    EXPECT_EQ(link.io.Received, (Words{3, 8000, 0}));
}

TEST(CardPortFrameTest, RequestsOutsideTheDataModelSendNothing) {
    Link link;
    struct Case {
        int8_t SingleEnded;
        int8_t ChannelCount;
        int8_t Second;
        TriggerParams Trigger;
        uint32_t Total = 10;
    };
    const Case refused[] = {
        {1, 2, 8, {}},
        {1, 2, static_cast<int8_t>(0x88), {}},
        {0, 2, 4, {}},  // pair 4
        {0, 5, 1, {}},
        {1, 9, 1, {}},
        {1, -1, 1, {}},
        {1, 2, 1, {TriggerAnalog, 2, EdgeRising, 0, 0.0f}},  // a position not scanned
        {1, 2, 1, {TriggerDigital, 8, EdgeRising, 0, 0.0f}},
        {1, 2, 1, {}, 0xFFFFFFFF},  // the extra scans would wrap the count
    };
    AcquisitionParams p;
    for (const Case& c : refused) {
        p.SingleEnded = c.SingleEnded;
        p.ChannelCount = c.ChannelCount;
        p.Channels = {0, c.Second};
        p.TotalSamples = c.Total;
        EXPECT_EQ(link.port.SendCommand(CmdScopeShot, p, c.Trigger), CardBadChannel);
    }
    p.TotalSamples = 10;  // the base of every case above is valid, but not for an output
    EXPECT_EQ(link.port.SendCommand(CmdAnalogOutput, p, {}), CardBadChannel);

    FormulaRequest f{.SourceCount = 1, .Sources = {9}};
    EXPECT_EQ(link.port.SendCommand(CmdFormulaOutput, f), CardBadChannel);
    f.SingleEnded = 0;
    f.Sources = {4};
    EXPECT_EQ(link.port.SendCommand(CmdFormulaOutput, f), CardBadChannel);

    std::vector<float> tooMany(MaxFrameWords - 7);
    OutputRequest o{84, static_cast<uint32_t>(tooMany.size()), tooMany.data(), nullptr};
    EXPECT_EQ(link.port.SendCommand(CmdAnalogOutput, o), CardBadChannel);
    o.Count = 2;
    o.AnalogSamples = nullptr;
    EXPECT_EQ(link.port.SendCommand(CmdAnalogOutput, o), CardBadChannel);
    EXPECT_EQ(link.port.SendCommand(CmdScopeShot), CardBadChannel);  // would read as closing
    EXPECT_TRUE(link.io.Log.empty());
    EXPECT_EQ(link.port.SendCommand(CmdScopeShot, p, {}), CardOk);
}

// The arrays a reader stores into, with a sentinel past the end of each.
struct Arrays {
    static constexpr int32_t Sentinel = 0x7EADBEEF;
    std::vector<Ints> Samples;
    Ints Times;
    ReadTarget Target;

    Arrays(std::size_t scans, std::array<uint8_t, 8> map, int8_t channels, uint32_t prescaler = 1)
        : Samples(8, Ints(scans + 1, Sentinel)), Times(scans + 1, Sentinel) {
        Target.ScanTime = Times.data();
        for (int i = 0; i < 8; ++i) {
            Target.Samples[i] = Samples[i].data();
        }
        Target.ChannelMap = map;
        Target.ChannelCount = channels;
        Target.Prescaler = prescaler;
    }
};

uint16_t DataWord(int position, int count) {
    return static_cast<uint16_t>((count & 0xFFF) | (position << 12));
}

// Queues the two scans a reader discards, then `words` words counting up over the positions.
void Queue(std::deque<uint16_t>& queue, int channels, int words) {
    queue.insert(queue.end(), 2 * channels, 0);
    for (int i = 0; i < words; ++i) {
        queue.push_back(DataWord(i % channels, i));
    }
}

TEST(CardPortReadShotTest, DiscardsPrescalesAndStoresByPosition) {
    {
        Link link;
        Arrays a(3, {0x02, 0x85}, 2);
        for (int i = 0; i < 4; ++i) {
            link.io.ToSend.push_back(DataWord(i % 2, 100 + i));
        }
        for (int i = 0; i < 6; ++i) {
            link.io.ToSend.push_back(DataWord(i % 2, i % 2 == 0 ? -i : i));
        }
        link.io.ToSend.push_back(DataWord(0, 999));  // must stay unread
        EXPECT_EQ(link.Shot(a.Target, 6), (Read{CardOk, 3}));
        EXPECT_EQ(a.Times, (Ints{0, 2, 4, Arrays::Sentinel}));
        EXPECT_EQ(a.Samples[2], (Ints{0, -20, -40, Arrays::Sentinel}));
        EXPECT_EQ(a.Samples[5], (Ints{1, 3, 5, Arrays::Sentinel}));
        EXPECT_EQ(link.io.ToSend.size(), 1u);
        EXPECT_EQ(link.io.Received, Words{0});  // the closing word
        EXPECT_EQ(link.frame.Statuses(), (Codes{2, 0}));
    }
    // Prescaler 3 over two channels keeps words 0, 3, 6, 9. With prescaler 4 every due word sits
    // at position 0, so a due word whose position its scan already holds gives way to the next
    // word that fills the scan: words 0, 5, 8 and 13 are kept, and both inputs receive values.
    for (uint32_t prescaler : {3u, 4u}) {
        Link link;
        Arrays a(2, {0x81, 0x82}, 2, prescaler);
        Queue(link.io.ToSend, 2, 4 * static_cast<int>(prescaler));
        EXPECT_EQ(link.Shot(a.Target, 4), (Read{CardOk, 2}));
        EXPECT_EQ((Ints{a.Samples[1][0], a.Samples[2][0], a.Samples[1][1], a.Samples[2][1]}),
                  prescaler == 3 ? (Ints{0, 3, 6, 9}) : (Ints{0, 5, 8, 13}));
        EXPECT_EQ(link.io.ToSend.size(), 2u);
    }
    {
        // A count that is not whole scans stores whole scans only: arrays of count / 2 hold it.
        Link link;
        Arrays a(2, {0x80, 0x81}, 2);
        Queue(link.io.ToSend, 2, 5);
        EXPECT_EQ(link.Shot(a.Target, 5), (Read{CardOk, 2}));
        EXPECT_EQ(a.Samples[0][2], Arrays::Sentinel);
        EXPECT_EQ(a.Times[2], Arrays::Sentinel);
    }
    {
        // A word whose position leads to no array is not stored anywhere.
        Link link;
        Arrays a(1, {0x00, 0x09}, 1);
        a.Target.Samples[1] = nullptr;
        link.io.ToSend = {0, 0, DataWord(1, 3)};
        EXPECT_EQ(link.Shot(a.Target, 1), (Read{CardOk, 1}));
        EXPECT_EQ(a.Samples[0][0], Arrays::Sentinel);
    }
}

TEST(CardPortReadShotTest, WaitingPostsAndFailures) {
    {
        // Busy and untriggered for two polls, then triggered, then done.
        Link link;
        link.io.StatusBits = [](uint64_t n) -> uint16_t {
            return n < 3   ? StatusShotBusy
                   : n < 5 ? StatusShotBusy | StatusTriggered
                           : StatusTriggered;
        };
        Arrays a(1, {0x00}, 1);
        link.io.ToSend = {0, 0, DataWord(0, 1)};
        EXPECT_EQ(link.Shot(a.Target, 1), (Read{CardOk, 1}));
        EXPECT_EQ(link.frame.Statuses(), (Codes{1, 4, 2, 0}));
        EXPECT_EQ(link.clock.SleptMs(), 5u * 200u);
        for (const auto& call : link.frame.Calls()) {
            EXPECT_FALSE(call.Sent);
        }
    }
    {
        // A data word times out: the scans already stored stay and are counted.
        Link link;
        Arrays a(3, {0x00, 0x01}, 2);
        Queue(link.io.ToSend, 2, 3);
        EXPECT_EQ(link.Shot(a.Target, 6), (Read{CardTimeout, 1}));
        EXPECT_EQ(a.Samples[1][0], 10);
        EXPECT_EQ(link.frame.Statuses(), (Codes{2, 0}));
        EXPECT_TRUE(link.io.Received.empty());
    }
    {
        // The closing word is refused.
        Link link;
        link.io.WritesAccepted = 0;
        Arrays a(1, {0x00}, 1);
        Queue(link.io.ToSend, 1, 1);
        EXPECT_EQ(link.Shot(a.Target, 1), (Read{CardClosingTimeout, 1}));
        EXPECT_EQ(link.frame.Statuses().back(), 0u);
    }
    {
        // The user's stop while the trigger is awaited is seen within one 200 ms poll; nothing is
        // read and the shot is closed on the card.
        Link link;
        link.io.StatusBits = [&](uint64_t n) -> uint16_t {
            link.run = n < 2 ? 1 : 0;
            return StatusShotBusy;
        };
        Arrays a(10, {0x00}, 1);
        EXPECT_EQ(link.Shot(a.Target, 10), (Read{CardOk, 0}));
        EXPECT_EQ(link.clock.SleptMs(), 400u);
        EXPECT_EQ(link.frame.Statuses(), (Codes{1, 0}));
        EXPECT_EQ(link.io.Received, Words{0});
    }
    // Targets that lead outside the eight arrays are refused before any transfer.
    Link link;
    Arrays a(1, {0x08}, 1);
    EXPECT_EQ(link.Shot(a.Target, 1).first, CardBadChannel);
    a.Target.ChannelMap[0] = 0;
    a.Target.ChannelCount = 0;
    EXPECT_EQ(link.Shot(a.Target, 1).first, CardBadChannel);
    EXPECT_EQ(link.Stream(a.Target, 1).first, CardBadChannel);
    EXPECT_EQ(link.io.StatusReads, 0u);
}

// Status bits of a stream whose toggle changes on every status read (read 0 shows it clear: the
// first word), with the buffer bit cleared from read `overrunFrom` on.
uint16_t Toggling(uint64_t n, uint64_t overrunFrom = UINT64_MAX) {
    return static_cast<uint16_t>(StatusTriggered | (n % 2 == 1 ? StatusDataToggle : 0) |
                                 (n < overrunFrom ? StatusBufferIntact : 0));
}

TEST(CardPortReadStreamTest, StoresUpToTheLimitAndDetectsOverrun) {
    {
        Link link;
        link.io.StatusBits = [](uint64_t n) { return Toggling(n); };
        link.io.StreamData = {0xAAAA};  // taken by the read that clears the latch
        Queue(link.io.StreamData, 2, 10);
        Arrays a(3, {0x84, 0x06}, 2);
        EXPECT_EQ(link.Stream(a.Target, 6), (Read{CardOk, 3}));
        EXPECT_EQ(a.Samples[4], (Ints{0, 2, 4, Arrays::Sentinel}));
        EXPECT_EQ(a.Samples[6], (Ints{10, 30, 50, Arrays::Sentinel}));
        EXPECT_EQ(link.io.StreamData.size(), 4u);
        EXPECT_EQ(link.io.Received, Words{0});
        EXPECT_EQ(link.frame.Statuses(), (Codes{3, 0}));
    }
    {
        // Status read 6 + j announces kept word j; bit 3 clears from read 11 on, so words 0..4
        // are stored and word 5 is refused.
        Link link;
        link.io.StatusBits = [](uint64_t n) { return Toggling(n, 11); };
        link.io.StreamData = {0xAAAA};
        Queue(link.io.StreamData, 2, 10);
        Arrays a(10, {0x00, 0x01}, 2);
        EXPECT_EQ(link.Stream(a.Target, 0), (Read{CardOverrun, 2}));
        EXPECT_EQ(a.Samples[0][2], 40);
        EXPECT_EQ(a.Samples[1][2], Arrays::Sentinel);
        EXPECT_EQ(link.io.Received, Words{0});
    }
    // An unchanged toggle means no new word: nothing is read twice.
    Link link;
    link.io.StatusBits = [](uint64_t n) { return Toggling(n / 3); };
    link.io.StreamData = {0xAAAA};
    Queue(link.io.StreamData, 1, 4);
    Arrays a(4, {0x02}, 1);
    EXPECT_EQ(link.Stream(a.Target, 4), (Read{CardOk, 4}));
    EXPECT_EQ(a.Samples[2], (Ints{0, 10, 20, 30, Arrays::Sentinel}));
}

TEST(CardPortReadStreamTest, StopsWhileWaitingAndWhileDiscarding) {
    // The trigger never comes; then: triggered, but the card sends one word and falls silent
    // during the discards (the toggle reads clear throughout: one change from its start).
    for (uint16_t bits : {uint16_t{StatusDataToggle}, uint16_t{StatusTriggered}}) {
        Link link;
        link.io.StatusBits = [&](uint64_t n) {
            if (n >= 1000) {
                link.run = 0;  // the user's stop
            }
            return static_cast<uint16_t>(StatusBufferIntact | bits);
        };
        Arrays a(1, {0x00, 0x01}, 2);
        EXPECT_EQ(link.Stream(a.Target, 0), (Read{CardOk, 0}));
        EXPECT_EQ(link.io.Received, Words{0});
        if (bits == StatusTriggered) {
            EXPECT_EQ(link.frame.Statuses(), (Codes{3, 0}));
            EXPECT_EQ(link.io.DataReads, 2u);  // the latch read and the one word
        } else {
            EXPECT_EQ(link.frame.Statuses(), (Codes{1, 3, 0}));
        }
    }
}

}  // namespace
}  // namespace kresograf
