#pragma once

#include <cstdint>

namespace kresograf {

// Time as the card link and the simulated card see it. Tests use a clock that only moves when
// told, so a 100 ms time-out costs no wall time.
class Clock {
  public:
    virtual ~Clock() = default;
    // A millisecond tick counter; it may wrap, so callers compare unsigned differences.
    virtual uint32_t TickMs() = 0;
    // Microseconds since an arbitrary start; never wraps in practice.
    virtual uint64_t NowMicros() = 0;
    virtual void SleepMs(uint32_t milliseconds) = 0;
};

// The machine's monotonic clock.
class SteadyClock : public Clock {
  public:
    uint32_t TickMs() override;
    uint64_t NowMicros() override;
    void SleepMs(uint32_t milliseconds) override;
};

}  // namespace kresograf
