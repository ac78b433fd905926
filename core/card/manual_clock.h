#pragma once

#include <atomic>
#include <cstdint>

#include "card/clock.h"

namespace kresograf {

// A clock whose time moves only when told: by Advance, by SleepMs, and, when a step is given, by
// that step on every TickMs and NowMicros call. A busy-polling time-out thus ends after a bounded
// number of polls without costing wall time; with step 0 it never ends unless someone advances
// the clock. Safe to read and advance from several threads.
class ManualClock : public Clock {
  public:
    explicit ManualClock(uint64_t startMicros = 0, uint64_t stepMicros = 0)
        : now_(startMicros), step_(stepMicros) {}

    uint32_t TickMs() override;
    uint64_t NowMicros() override;
    void SleepMs(uint32_t milliseconds) override;

    void Advance(uint64_t micros) { now_.fetch_add(micros, std::memory_order_relaxed); }
    void SetStep(uint64_t stepMicros) { step_.store(stepMicros, std::memory_order_relaxed); }
    // The time now, without stepping.
    uint64_t PeekMicros() const { return now_.load(std::memory_order_relaxed); }
    // Total milliseconds slept through SleepMs.
    uint64_t SleptMs() const { return slept_.load(std::memory_order_relaxed); }

  private:
    uint64_t Step();

    std::atomic<uint64_t> now_;
    std::atomic<uint64_t> step_;
    std::atomic<uint64_t> slept_{0};
};

}  // namespace kresograf
