#include "card/clock.h"

#include <chrono>
#include <thread>

namespace kresograf {

uint32_t SteadyClock::TickMs() {
    return static_cast<uint32_t>(NowMicros() / 1000);
}

uint64_t SteadyClock::NowMicros() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void SteadyClock::SleepMs(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace kresograf
