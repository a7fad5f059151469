#pragma once
// Polls like the session tick until the predicate holds or time runs out.
#include <chrono>
#include <thread>

template <typename F>
bool WaitFor(F done, double seconds, int everyMs = 20) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(everyMs));
  }
  return done();
}
