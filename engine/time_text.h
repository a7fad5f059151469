#pragma once
#include <cstdint>
#include <string>

namespace engine {

// Round half to even, as the player rounds positions.
std::int64_t RoundHalfEven(double value);
// 100-ns units to whole seconds, half to even.
std::int64_t UnitsToSeconds(std::int64_t units);
// "%d:%2.2d:%2.2d" of hours, minutes and seconds.
std::string TimeText(std::int64_t seconds);
// Where a bar seek lands: trunc(length x offset / travel), within 0 .. length.
std::int64_t BarTarget(std::int64_t length, int offset, int travel);

}  // namespace engine
