#include "engine/time_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace engine {

std::int64_t RoundHalfEven(double value) {
  return static_cast<std::int64_t>(std::nearbyint(value));  // default mode: to nearest even
}

std::int64_t UnitsToSeconds(std::int64_t units) {
  std::int64_t whole = units / 10000000;
  std::int64_t rest = units % 10000000;
  if (rest < 0) {
    rest += 10000000;
    --whole;
  }
  if (rest > 5000000 || (rest == 5000000 && (whole % 2 != 0))) ++whole;
  return whole;
}

std::string TimeText(std::int64_t seconds) {
  bool negative = seconds < 0;
  std::int64_t s = negative ? -seconds : seconds;
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%s%lld:%2.2lld:%2.2lld", negative ? "-" : "",
                static_cast<long long>(s / 3600), static_cast<long long>(s / 60 % 60),
                static_cast<long long>(s % 60));
  return buffer;
}

std::int64_t BarTarget(std::int64_t length, int offset, int travel) {
  if (travel <= 0 || length <= 0) return 0;
  const auto target =
      static_cast<std::int64_t>(std::trunc(static_cast<double>(length) * offset / travel));
  return std::clamp<std::int64_t>(target, 0, length);
}

}  // namespace engine
