// The local clock and the seed source for pseudo-random generators. Both can be fixed so
// that a run is repeatable (tests, `--seed`); by default the seed follows the clock.
#include <chrono>
#include <ctime>
#include <utility>

#include "platform/Platform.h"
#include "platform/PlatformState.h"

namespace platform {
namespace {

TimeOfDay SystemTime() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    TimeOfDay t;
    t.hour = static_cast<std::uint16_t>(local.tm_hour);
    t.minute = static_cast<std::uint16_t>(local.tm_min);
    t.second = static_cast<std::uint16_t>(local.tm_sec);
    t.millisecond = static_cast<std::uint16_t>(millis < 0 ? millis + 1000 : millis);
    return t;
}

}  // namespace

TimeOfDay LocalTime() {
    auto& clock = detail::GetState().clock;
    return clock ? clock() : SystemTime();
}

void SetClock(std::function<TimeOfDay()> clock) {
    detail::GetState().clock = std::move(clock);
}

std::uint32_t RandomSeed() {
    auto& fixed = detail::GetState().fixedSeed;
    if (fixed) return *fixed;
    // Milliseconds since midnight, read from the (possibly fixed) clock.
    TimeOfDay t = LocalTime();
    return ((static_cast<std::uint32_t>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 +
           t.millisecond;
}

void SetFixedRandomSeed(std::optional<std::uint32_t> seed) {
    detail::GetState().fixedSeed = seed;
}

}  // namespace platform
