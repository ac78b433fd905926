// How fast the card link moves words from the simulated card. The card converts at most 95 000
// words per second; the host side must keep up with twenty times that so a slow machine still
// has room. Time on the card is a ManualClock, so only the host's work and the card model's own
// work are measured.
//
// Both readers must do no allocation per word: operator new is counted around each read, and a
// read that allocates at all fails the benchmark.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "base/frame_link.h"
#include "card/card_port.h"
#include "card/manual_clock.h"
#include "card/simulated_card.h"

namespace {

std::atomic<uint64_t> allocations{0};

}  // namespace

// Out of line, so the compiler does not pair an inlined malloc with a delete elsewhere.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}

[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace kresograf {
namespace {

class NullFrame : public FrameLink {
  public:
    void SendMessage(uint32_t, uint32_t) override {}
    void PostMessage(uint32_t, uint32_t) override {}
    void ShowMessageBox(const UserMessage&) override {}
    void ShowRegisteredParams(const RegisteredParamsRequest&) override {}
};

struct Target {
    std::vector<std::vector<int32_t>> Samples;
    std::vector<int32_t> Times;
    ReadTarget Read;

    Target(const AcquisitionParams& p, std::size_t scans)
        : Samples(8, std::vector<int32_t>(scans)), Times(scans) {
        Read.ScanTime = Times.data();
        for (int i = 0; i < 8; ++i) {
            Read.Samples[i] = Samples[i].data();
        }
        Read.ChannelCount = p.ChannelCount;
        Read.Prescaler = 1;
        for (int i = 0; i < p.ChannelCount; ++i) {
            Read.ChannelMap[i] = static_cast<uint8_t>(p.Channels[i]);
        }
    }
};

AcquisitionParams Fastest(int channels, uint32_t total) {
    AcquisitionParams p;
    p.Divisor = 84;  // 95 000 conversions per second
    p.ChannelCount = static_cast<int8_t>(channels);
    for (int i = 0; i < channels; ++i) {
        p.Channels[i] = static_cast<int8_t>(i);
    }
    p.TotalSamples = total;
    return p;
}

void ReadShotFromSimulatedCard(benchmark::State& state) {
    ManualClock clock;
    SimulatedCard card(clock);
    CardPort port(card, clock);
    port.SetBaseAddress(0x100);
    NullFrame frame;
    std::atomic<uint32_t> run{1};
    const AcquisitionParams p = Fastest(static_cast<int>(state.range(0)), 95'000);
    Target target(p, p.TotalSamples / p.ChannelCount);
    uint64_t words = 0;
    uint64_t allocated = 0;
    uint64_t frameAllocated = 0;
    for (auto _ : state) {
        const uint64_t beforeFrame = allocations.load();
        if (port.SendCommand(CmdScopeShot, p, TriggerParams{}) != CardOk) {
            state.SkipWithError("the card refused the frame");
            break;
        }
        frameAllocated += allocations.load() - beforeFrame;
        uint32_t count = p.TotalSamples;
        const uint64_t before = allocations.load();
        const int result = port.ReadShot(target.Read, count, run, frame);
        allocated += allocations.load() - before;
        if (result != CardOk || count != p.TotalSamples / p.ChannelCount) {
            state.SkipWithError("the shot was not read whole");
            break;
        }
        words += p.TotalSamples + 2u * p.ChannelCount;
        benchmark::DoNotOptimize(target.Samples[0].data());
    }
    if (allocated != 0) {
        state.SkipWithError("ReadShot allocated");
    }
    state.SetItemsProcessed(static_cast<int64_t>(words));
    state.counters["allocations"] = static_cast<double>(allocated);
    // One buffer per frame: shows the counting works.
    state.counters["frame_allocations"] =
        benchmark::Counter(static_cast<double>(frameAllocated), benchmark::Counter::kAvgIterations);
}
BENCHMARK(ReadShotFromSimulatedCard)->Arg(1)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// The card's clock moves 10 us with every status read, a little less than one conversion at
// 95 000 per second: the host polls about once per word, never falls 4 096 words behind and never
// waits long for the next one.
void ReadStreamFromSimulatedCard(benchmark::State& state) {
    ManualClock clock(0, 10);
    SimulatedCard card(clock);
    CardPort port(card, clock);
    port.SetBaseAddress(0x100);
    NullFrame frame;
    std::atomic<uint32_t> run{1};
    const AcquisitionParams p = Fastest(static_cast<int>(state.range(0)), 190'000);
    Target target(p, p.TotalSamples / p.ChannelCount);
    uint64_t words = 0;
    uint64_t allocated = 0;
    uint64_t frameAllocated = 0;
    for (auto _ : state) {
        const uint64_t beforeFrame = allocations.load();
        if (port.SendCommand(CmdRecordStream, p, TriggerParams{}) != CardOk) {
            state.SkipWithError("the card refused the frame");
            break;
        }
        frameAllocated += allocations.load() - beforeFrame;
        uint32_t count = p.TotalSamples;
        const uint64_t before = allocations.load();
        const int result = port.ReadStream(target.Read, count, run, frame);
        allocated += allocations.load() - before;
        if (result != CardOk || count != p.TotalSamples / p.ChannelCount) {
            state.SkipWithError("the stream was not read whole");
            break;
        }
        words += p.TotalSamples + 2u * p.ChannelCount;
        benchmark::DoNotOptimize(target.Samples[0].data());
    }
    if (allocated != 0) {
        state.SkipWithError("ReadStream allocated");
    }
    state.SetItemsProcessed(static_cast<int64_t>(words));
    state.counters["allocations"] = static_cast<double>(allocated);
    // One buffer per frame: shows the counting works.
    state.counters["frame_allocations"] =
        benchmark::Counter(static_cast<double>(frameAllocated), benchmark::Counter::kAvgIterations);
}
BENCHMARK(ReadStreamFromSimulatedCard)->Arg(1)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kresograf

BENCHMARK_MAIN();
