#include "card/manual_clock.h"

namespace kresograf {

uint64_t ManualClock::Step() {
    const uint64_t step = step_.load(std::memory_order_relaxed);
    if (step == 0) {
        return now_.load(std::memory_order_relaxed);
    }
    return now_.fetch_add(step, std::memory_order_relaxed) + step;
}

uint32_t ManualClock::TickMs() {
    return static_cast<uint32_t>(Step() / 1000);
}

uint64_t ManualClock::NowMicros() {
    return Step();
}

void ManualClock::SleepMs(uint32_t milliseconds) {
    slept_.fetch_add(milliseconds, std::memory_order_relaxed);
    Advance(static_cast<uint64_t>(milliseconds) * 1000);
}

}  // namespace kresograf
