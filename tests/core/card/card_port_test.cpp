#include "card/card_port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "acquisition/frame_link.h"
#include "card/clock.h"
#include "card/manual_clock.h"
#include "fake_card_io.h"
#include "support/recording_frame_link.h"

namespace kresograf {
namespace {

using Words = std::vector<uint16_t>;

uint16_t FloatLow(float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    return static_cast<uint16_t>(bits & 0xFFFF);
}
uint16_t FloatHigh(float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    return static_cast<uint16_t>(bits >> 16);
}

// A card link on a scripted card whose clock moves 10 us per tick read, so a 100 ms time-out
// ends after 10 000 polls.
struct Link {
    ManualClock clock{0, 10};
    FakeCardIo io{clock};
    CardPort port{io, clock};
    RecordingFrameLink frame;
    std::atomic<uint32_t> run{1};
    Link() { port.SetBaseAddress(0x100); }
};

TEST(CardPortHandshakeTest, RegistersAndResetSequence) {
    Link link;
    link.clock.SetStep(0);
    link.port.Reset();
    const auto& log = link.io.Log;
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].Port, 0x108);
    EXPECT_EQ(log[0].Value, 0x00FF);
    EXPECT_EQ(log[1].Port, 0x104);
    EXPECT_EQ(log[1].Value, 0xFFFF);
    EXPECT_EQ(log[1].Micros, 0u);
    EXPECT_EQ(log[2].Port, 0x108);
    EXPECT_EQ(log[2].Value, 0);
    EXPECT_EQ(log[2].Micros, 100'000u);  // released after 100 ms
    EXPECT_EQ(link.clock.PeekMicros(), 600'000u);
    EXPECT_EQ(link.port.ControlShadow(), 0xFFFF);

    link.io.Log.clear();
    link.io.ToSend = {0x1234};
    EXPECT_EQ(link.port.WriteWord(0xBEEF), CardOk);
    uint16_t word = 0;
    EXPECT_EQ(link.port.ReadWord(word), CardOk);
    EXPECT_EQ(word, 0x1234);
    EXPECT_EQ(link.io.Received, Words{0xBEEF});
    // Data out, strobe low, ack, strobe high, ack; then strobe low, ack, data in, strobe high.
    ASSERT_GE(log.size(), 9u);
    EXPECT_EQ(log[0].Port, 0x100);
    EXPECT_EQ(log[1].Port, 0x104);
    EXPECT_EQ(log[1].Value, 0xFFFE);
    EXPECT_EQ(log[2].Port, 0x106);
    EXPECT_EQ(log[3].Value, 0xFFFF);
    EXPECT_EQ(link.io.At(0x102).size(), 1u);
    EXPECT_EQ(link.port.ControlShadow(), 0xFFFF);

    // Only the low 16 bits of the base form port numbers.
    link.port.SetBaseAddress(0x10300);
    link.io.Log.clear();
    link.port.ReadData(word);
    EXPECT_EQ(log.back().Port, 0x302);
}

TEST(CardPortHandshakeTest, TimeoutsAfterAbout100Milliseconds) {
    {
        Link link;
        link.io.AckMode = FakeCardIo::Ack::StuckHigh;
        const uint64_t start = link.clock.PeekMicros();
        EXPECT_EQ(link.port.WriteWord(7), CardTimeout);
        const uint64_t waited = link.clock.PeekMicros() - start;
        EXPECT_GE(waited, 100'000u);
        EXPECT_LE(waited, 100'100u);
        EXPECT_EQ(link.port.ControlShadow() & 1, 0);  // the strobe stays low

        uint16_t word = 0x5555;
        EXPECT_EQ(link.port.ReadWord(word), CardTimeout);
        EXPECT_EQ(word, 0x5555);
        EXPECT_TRUE(link.io.At(0x102).empty());  // the data register is never read
    }
    {
        // The acknowledge clears but never returns: the word is delivered all the same.
        Link link;
        link.io.AckMode = FakeCardIo::Ack::NeverReturns;
        link.io.ToSend = {0x0ABC};
        uint16_t word = 0;
        EXPECT_EQ(link.port.ReadWord(word), CardTimeout);
        EXPECT_EQ(word, 0x0ABC);
        // The next read starts with the acknowledge already clear: one status read, no wait.
        link.io.Log.clear();
        const uint64_t before = link.clock.PeekMicros();
        word = 0;
        EXPECT_EQ(link.port.ReadWord(word), CardTimeout);
        const auto& log = link.io.Log;
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[0].Port, 0x104);
        EXPECT_EQ(log[1].Port, 0x106);
        EXPECT_EQ(log[2].Port, 0x102);
        EXPECT_LE(log[2].Micros - before, 30u);
        EXPECT_EQ(word, 0x0ABC);
    }
    {
        // A tick counter about to wrap still gives a 100 ms time-out.
        ManualClock clock((uint64_t{1} << 32) * 1000 - 50'000, 10);
        FakeCardIo io(clock);
        io.AckMode = FakeCardIo::Ack::StuckHigh;
        CardPort port(io, clock);
        port.SetBaseAddress(0x100);
        const uint64_t start = clock.PeekMicros();
        EXPECT_EQ(port.WriteWord(1), CardTimeout);
        EXPECT_NEAR(static_cast<double>(clock.PeekMicros() - start), 100'000.0, 1'100.0);
    }
}

TEST(CardPortFrameTest, AcquisitionFrames) {
    Link link;
    AcquisitionParams p;
    p.Divisor = 0x12345678;
    p.ChannelCount = 3;
    p.SingleEnded = 1;
    p.Channels = {0, 3, static_cast<int8_t>(0x87)};
    p.TotalSamples = 1000;
    TriggerParams t;
    EXPECT_EQ(link.port.SendCommand(CmdScopeShot, p, t), CardOk);
    EXPECT_EQ(link.io.Received, (Words{0, 0x5678, 0x1234, 3, 0xF7, 0xA7, 0x87, 1006, 0, 0x0800}));

    link.io.Received.clear();
    p.Divisor = 84;
    p.SingleEnded = 0;
    p.ChannelCount = 2;
    p.Channels = {0, static_cast<int8_t>(0x83)};
    p.TotalSamples = 0xFFFF;
    t = {TriggerAnalog, 0, EdgeFalling, -409, -1.0f};
    EXPECT_EQ(link.port.SendCommand(CmdRecordStream, p, t), CardOk);
    EXPECT_EQ(link.io.Received, (Words{1, 84, 0, 2, 0xF3, 0x83, 0x0003, 0x0001, 0x0799}));

    // Threshold bits: -409 >> 2 = -103 -> 0x399 at x1; x10 makes -4090 -> -1023 -> 0x001.
    EXPECT_EQ(TriggerWord(p, t) & 0x3FF, 0x399);
    p.Channels[0] = static_cast<int8_t>(0x80);
    EXPECT_EQ(TriggerWord(p, t), 0x0401);
    // The 16-bit product wraps as the card's register does: 4000 x 10 = 40000 -> -25536.
    t.ThresholdCounts = 4000;
    EXPECT_EQ(TriggerWord(p, t) & 0x3FF, (-25536 >> 2) & 0x3FF);
    t = {TriggerDigital, 5, EdgeRising, 300, 1.0f};
    EXPECT_EQ(TriggerWord(p, t), 0xD000);
    t.Edge = EdgeFalling;
    EXPECT_EQ(TriggerWord(p, t), 0xD400);
    t.Edge = EdgeAutomatic;
    EXPECT_EQ(TriggerWord(p, t), 0x0800);
    t = {TriggerAnalog, 1, EdgeAutomatic, -409, -1.0f};
    EXPECT_EQ(TriggerWord(p, t), 0x0800);

    // Single-ended multiplexer bits for all inputs; no gain bit is ever sent there.
    const uint16_t se[] = {0xF7, 0xB7, 0xE7, 0xA7, 0xD7, 0x97, 0xC7, 0x87};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ChannelWord(static_cast<int8_t>(i), 1), se[i]);
        EXPECT_EQ(ChannelWord(static_cast<int8_t>(i | 0x80), 1), se[i]);
    }
    const uint16_t diff[] = {0xF3, 0xE3, 0xD3, 0xC3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ChannelWord(static_cast<int8_t>(i), 0), diff[i]);
        EXPECT_EQ(ChannelWord(static_cast<int8_t>(i | 0x80), 0), diff[i] - 0x40);
    }
}

TEST(CardPortFrameTest, OutputAndBareFrames) {
    Link link;
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
    FormulaRequest f;
    f.Divisor = 8000;
    f.SourceCount = 2;
    f.SingleEnded = 1;
    f.Sources = {1, static_cast<int8_t>(0x84)};
    f.Formula = 2;
    f.Weights = {2.0f, 0.5f};
    f.CoefA = 1.5f;
    f.CoefB = -1.0f;
    EXPECT_EQ(link.port.SendCommand(CmdFormulaOutput, f), CardOk);
    EXPECT_EQ(link.io.Received,
              (Words{4, 8000, 0, 2, 0xB7, 0xD7, 0, 0, 0, 2, FloatLow(2.0f), FloatHigh(2.0f),
                     FloatLow(0.5f), FloatHigh(0.5f), FloatLow(1.5f), FloatHigh(1.5f),
                     FloatLow(-1.0f), FloatHigh(-1.0f)}));

    link.io.Received.clear();
    EXPECT_EQ(link.port.SendCommand(CmdStopOutput), CardOk);
    EXPECT_EQ(link.port.SendCommand(6), CardOk);
    EXPECT_EQ(link.port.SendCommand(0xFFFF), CardOk);
    EXPECT_EQ(link.io.Received, (Words{2, 6, 0xFFFF}));

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
    AcquisitionParams p;
    TriggerParams t;
    auto refused = [&](const AcquisitionParams& params, const TriggerParams& trigger) {
        return link.port.SendCommand(CmdScopeShot, params, trigger) == CardBadChannel &&
               link.io.Log.empty();
    };
    p.ChannelCount = 2;
    p.Channels = {0, 8};
    EXPECT_TRUE(refused(p, t));  // input 8
    p.Channels = {0, static_cast<int8_t>(0x88)};
    EXPECT_TRUE(refused(p, t));  // input 8 at high gain
    p.SingleEnded = 0;
    p.Channels = {3, 4};
    EXPECT_TRUE(refused(p, t));  // pair 4
    p.Channels = {0, 1};
    p.ChannelCount = 5;
    EXPECT_TRUE(refused(p, t));  // five pairs
    p.SingleEnded = 1;
    p.ChannelCount = 9;
    EXPECT_TRUE(refused(p, t));
    p.ChannelCount = -1;
    EXPECT_TRUE(refused(p, t));
    p.ChannelCount = 2;
    t = {TriggerAnalog, 2, EdgeRising, 0, 0.0f};
    EXPECT_TRUE(refused(p, t));  // trigger on a position not scanned
    t = {TriggerDigital, 8, EdgeRising, 0, 0.0f};
    EXPECT_TRUE(refused(p, t));
    t = {};
    p.TotalSamples = 0xFFFFFFFF;
    EXPECT_TRUE(refused(p, t));  // the extra scans would wrap the count
    p.TotalSamples = 10;
    EXPECT_EQ(link.port.SendCommand(CmdAnalogOutput, p, t), CardBadChannel);

    FormulaRequest f;
    f.SourceCount = 1;
    f.Sources = {9};
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
}

// The arrays a reader stores into, with a sentinel past the end of each.
struct Arrays {
    static constexpr int32_t Sentinel = 0x7EADBEEF;
    std::vector<std::vector<int32_t>> Samples;
    std::vector<int32_t> Times;
    ReadTarget Target;

    Arrays(std::size_t scans, std::array<uint8_t, 8> map, int8_t channelCount,
           uint32_t prescaler = 1)
        : Samples(8, std::vector<int32_t>(scans + 1, Sentinel)), Times(scans + 1, Sentinel) {
        Target.ScanTime = Times.data();
        for (int i = 0; i < 8; ++i) {
            Target.Samples[i] = Samples[i].data();
        }
        Target.ChannelMap = map;
        Target.ChannelCount = channelCount;
        Target.Prescaler = prescaler;
    }
};

uint16_t DataWord(int position, int count) {
    return static_cast<uint16_t>((count & 0xFFF) | (position << 12));
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
        uint32_t count = 6;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(count, 3u);
        EXPECT_EQ(a.Times, (std::vector<int32_t>{0, 2, 4, Arrays::Sentinel}));
        EXPECT_EQ(a.Samples[2], (std::vector<int32_t>{0, -20, -40, Arrays::Sentinel}));
        EXPECT_EQ(a.Samples[5], (std::vector<int32_t>{1, 3, 5, Arrays::Sentinel}));
        EXPECT_EQ(link.io.ToSend.size(), 1u);
        EXPECT_EQ(link.io.Received, Words{0});  // the closing word
        EXPECT_EQ(link.frame.Statuses(), (std::vector<uint32_t>{2, 0}));
    }
    {
        // 0x1FFF: position 1, count -1; stored as is at high gain, times ten otherwise.
        for (uint8_t map : {uint8_t{0x83}, uint8_t{0x03}}) {
            Link link;
            Arrays a(1, {0x00, map}, 2);
            link.io.ToSend = {0, 0, 0, 0, DataWord(0, 5), 0x1FFF};
            uint32_t count = 2;
            EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardOk);
            EXPECT_EQ(a.Samples[3][0], map == 0x83 ? -1 : -10);
            EXPECT_EQ(a.Samples[0][0], 50);
        }
    }
    {
        // Prescaler 3 over two channels: words 0, 3, 6, 9 are kept, each in its own array.
        Link link;
        Arrays a(2, {0x81, 0x82}, 2, 3);
        link.io.ToSend = {0, 0, 0, 0};
        for (int i = 0; i < 12; ++i) {
            link.io.ToSend.push_back(DataWord(i % 2, i));
        }
        uint32_t count = 4;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(count, 2u);
        EXPECT_EQ(a.Samples[1][0], 0);
        EXPECT_EQ(a.Samples[2][0], 3);
        EXPECT_EQ(a.Samples[1][1], 6);
        EXPECT_EQ(a.Samples[2][1], 9);
        EXPECT_EQ(link.io.ToSend.size(), 2u);  // ten words read after the discards
    }
    {
        // A count that is not whole scans stores whole scans only: arrays of count / 2 hold it.
        Link link;
        Arrays a(2, {0x80, 0x81}, 2);
        link.io.ToSend = {0, 0, 0, 0};
        for (int i = 0; i < 5; ++i) {
            link.io.ToSend.push_back(DataWord(i % 2, 7));
        }
        uint32_t count = 5;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(count, 2u);
        EXPECT_EQ(a.Samples[0][2], Arrays::Sentinel);
        EXPECT_EQ(a.Times[2], Arrays::Sentinel);
    }
    {
        // A word whose position leads to no array is not stored anywhere.
        Link link;
        Arrays a(1, {0x00, 0x09}, 1);
        a.Target.Samples[1] = nullptr;
        link.io.ToSend = {0, 0, DataWord(1, 3)};
        uint32_t count = 1;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(a.Samples[0][0], Arrays::Sentinel);
    }
}

TEST(CardPortReadShotTest, WaitingPostsAndFailures) {
    {
        // Busy and untriggered for two polls, then triggered, then done.
        Link link;
        link.io.StatusBits = [](uint64_t n) -> uint16_t {
            if (n < 3) {
                return StatusShotBusy;
            }
            return n < 5 ? StatusShotBusy | StatusTriggered : StatusTriggered;
        };
        Arrays a(1, {0x00}, 1);
        link.io.ToSend = {0, 0, DataWord(0, 1)};
        uint32_t count = 1;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(link.frame.Statuses(), (std::vector<uint32_t>{1, 4, 2, 0}));
        EXPECT_EQ(link.clock.SleptMs(), 5u * 200u);
        for (const auto& call : link.frame.Calls()) {
            EXPECT_FALSE(call.Sent);
        }
    }
    {
        // A data word times out: the scans already stored stay and are counted.
        Link link;
        Arrays a(3, {0x00, 0x01}, 2);
        link.io.ToSend = {0, 0, 0, 0, DataWord(0, 1), DataWord(1, 2), DataWord(0, 3)};
        uint32_t count = 6;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardTimeout);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(a.Samples[1][0], 20);
        EXPECT_EQ(link.frame.Statuses(), (std::vector<uint32_t>{2, 0}));
        EXPECT_TRUE(link.io.Received.empty());
    }
    {
        // A discarded word times out.
        Link link;
        Arrays a(1, {0x00, 0x01}, 2);
        link.io.ToSend = {0, 0, 0};
        uint32_t count = 2;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardTimeout);
        EXPECT_EQ(count, 0u);
    }
    {
        // The closing word is refused.
        Link link;
        link.io.WritesAccepted = 0;
        Arrays a(1, {0x00}, 1);
        link.io.ToSend = {0, 0, DataWord(0, 1)};
        uint32_t count = 1;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardClosingTimeout);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(link.frame.Statuses().back(), 0u);
    }
    {
        // Targets that lead outside the eight arrays are refused before any transfer.
        Link link;
        Arrays a(1, {0x08}, 1);
        uint32_t count = 1;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardBadChannel);
        a.Target.ChannelMap[0] = 0;
        a.Target.ChannelCount = 0;
        EXPECT_EQ(link.port.ReadShot(a.Target, count, link.run, link.frame), CardBadChannel);
        EXPECT_EQ(link.port.ReadStream(a.Target, count, link.run, link.frame), CardBadChannel);
        EXPECT_EQ(link.io.StatusReads, 0u);
    }
}

TEST(CardPortReadShotTest, StopWhileWaitingForTheTriggerEndsWithin200Ms) {
    SteadyClock clock;
    ManualClock logClock;
    FakeCardIo io(logClock);
    io.StatusBits = [](uint64_t) -> uint16_t { return StatusShotBusy; };
    io.WritesAccepted = 1;
    CardPort port(io, clock);
    port.SetBaseAddress(0x100);
    RecordingFrameLink frame;
    std::atomic<uint32_t> run{1};
    Arrays a(10, {0x00}, 1);
    uint32_t count = 10;
    int result = -1;
    std::thread worker([&] { result = port.ReadShot(a.Target, count, run, frame); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto stop = std::chrono::steady_clock::now();
    run = 0;
    worker.join();
    const auto took = std::chrono::steady_clock::now() - stop;
    EXPECT_LT(took, std::chrono::milliseconds(600));
    EXPECT_EQ(result, CardOk);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(frame.Statuses(), (std::vector<uint32_t>{1, 0}));
    EXPECT_EQ(io.Received, Words{0});  // the shot is closed on the card
}

// Status bits of a stream whose toggle changes on every status read.
uint16_t Toggling(uint64_t n, uint64_t overrunFrom = UINT64_MAX) {
    uint16_t bits = StatusTriggered;
    if (n % 2 == 1) {
        bits |= StatusDataToggle;  // read 0 shows clear: the first word
    }
    if (n < overrunFrom) {
        bits |= StatusBufferIntact;
    }
    return bits;
}

TEST(CardPortReadStreamTest, StoresUpToTheLimitAndDetectsOverrun) {
    {
        Link link;
        link.io.StatusBits = [](uint64_t n) { return Toggling(n); };
        link.io.StreamData = {0xAAAA, 0, 0, 0, 0};
        for (int i = 0; i < 10; ++i) {
            link.io.StreamData.push_back(DataWord(i % 2, i));
        }
        Arrays a(3, {0x84, 0x06}, 2);
        uint32_t count = 6;
        EXPECT_EQ(link.port.ReadStream(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(count, 3u);
        EXPECT_EQ(a.Samples[4], (std::vector<int32_t>{0, 2, 4, Arrays::Sentinel}));
        EXPECT_EQ(a.Samples[6], (std::vector<int32_t>{10, 30, 50, Arrays::Sentinel}));
        EXPECT_EQ(a.Times, (std::vector<int32_t>{0, 2, 4, Arrays::Sentinel}));
        EXPECT_EQ(link.io.StreamData.size(), 4u);
        EXPECT_EQ(link.io.Received, Words{0});
        EXPECT_EQ(link.frame.Statuses(), (std::vector<uint32_t>{3, 0}));
    }
    {
        // Status read 6 + j announces kept word j; bit 3 clears from read 11 on, so words 0..4
        // are stored and word 5 is refused.
        Link link;
        link.io.StatusBits = [](uint64_t n) { return Toggling(n, 11); };
        link.io.StreamData = {0xAAAA, 0, 0, 0, 0};
        for (int i = 0; i < 10; ++i) {
            link.io.StreamData.push_back(DataWord(i % 2, i));
        }
        Arrays a(10, {0x00, 0x01}, 2);
        uint32_t count = 0;
        EXPECT_EQ(link.port.ReadStream(a.Target, count, link.run, link.frame), CardOverrun);
        EXPECT_EQ(count, 2u);
        EXPECT_EQ(a.Samples[0][2], 40);
        EXPECT_EQ(a.Samples[1][2], Arrays::Sentinel);
        EXPECT_EQ(link.frame.Statuses(), (std::vector<uint32_t>{3, 0}));
        EXPECT_EQ(link.io.Received, Words{0});
    }
    {
        // An unchanged toggle means no new word: nothing is read twice.
        Link link;
        link.io.StatusBits = [](uint64_t n) { return Toggling(n / 3); };
        link.io.StreamData = {0xAAAA, 0, 0};
        for (int i = 0; i < 4; ++i) {
            link.io.StreamData.push_back(DataWord(0, i));
        }
        Arrays a(4, {0x02}, 1);
        uint32_t count = 4;
        EXPECT_EQ(link.port.ReadStream(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(a.Samples[2], (std::vector<int32_t>{0, 10, 20, 30, Arrays::Sentinel}));
    }
}

// Clears the run flag after a number of status reads, as a user's stop would.
uint16_t StopAfter(std::atomic<uint32_t>& run, uint64_t n, uint64_t reads, uint16_t bits) {
    if (n >= reads) {
        run = 0;
    }
    return bits;
}

TEST(CardPortReadStreamTest, StopsWhileWaitingAndWhileDiscarding) {
    {
        // The trigger never comes.
        Link link;
        link.io.StatusBits = [&](uint64_t n) {
            return StopAfter(link.run, n, 1000, StatusBufferIntact | StatusDataToggle);
        };
        Arrays a(1, {0x00}, 1);
        uint32_t count = 0;
        EXPECT_EQ(link.port.ReadStream(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(link.frame.Statuses(), (std::vector<uint32_t>{1, 3, 0}));
        EXPECT_EQ(link.io.Received, Words{0});
    }
    {
        // Triggered, but the card sends one word and falls silent during the discards.
        Link link;
        link.io.StatusBits = [&](uint64_t n) {
            // The toggle reads clear throughout: one change from its starting state, one word.
            return StopAfter(link.run, n, 5000, StatusBufferIntact | StatusTriggered);
        };
        Arrays a(1, {0x00, 0x01}, 2);
        uint32_t count = 0;
        EXPECT_EQ(link.port.ReadStream(a.Target, count, link.run, link.frame), CardOk);
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(link.io.DataReads, 2u);  // the latch read and the one word
        EXPECT_EQ(link.io.Received, Words{0});
        EXPECT_EQ(link.frame.Statuses(), (std::vector<uint32_t>{3, 0}));
    }
}

}  // namespace
}  // namespace kresograf
