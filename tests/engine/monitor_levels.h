#pragma once
// Root-mean-square level of each channel heard on the test sound server's
// null sink monitor (scripts/test sets PULSE_SINK).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct Levels {
  double left = 0, right = 0;          // RMS in 16-bit sample units
  double peakLeft = 0, peakRight = 0;  // full scale = 1.0
};

inline Levels RecordMonitor(double seconds) {
  const char* sink = std::getenv("PULSE_SINK");
  int bytes = static_cast<int>(seconds * 44100) * 4;
  std::string command = std::string("parec -d ") + sink +
                        ".monitor --raw --format=s16le --channels=2 --rate=44100 "
                        "--latency-msec=20 2>/dev/null | head -c " +
                        std::to_string(bytes);
  FILE* pipe = ::popen(command.c_str(), "r");
  std::vector<std::int16_t> samples(static_cast<size_t>(bytes / 2));
  size_t got = pipe ? std::fread(samples.data(), 2, samples.size(), pipe) : 0;
  if (pipe) ::pclose(pipe);
  Levels levels;
  size_t frames = got / 2;
  for (size_t i = 0; i < frames; ++i) {
    levels.left += double(samples[2 * i]) * samples[2 * i];
    levels.right += double(samples[2 * i + 1]) * samples[2 * i + 1];
    levels.peakLeft = std::max(levels.peakLeft, std::abs(samples[2 * i] / 32768.0));
    levels.peakRight = std::max(levels.peakRight, std::abs(samples[2 * i + 1] / 32768.0));
  }
  if (frames) levels.left = std::sqrt(levels.left / frames), levels.right = std::sqrt(levels.right / frames);
  return levels;
}

// Records short windows until the levels satisfy done or the time is up;
// changes made on samples already queued at the server take a while to be heard.
template <class Done>
inline Levels RecordUntil(Done done, double seconds = 5.0) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  Levels levels = RecordMonitor(0.2);
  while (!done(levels) && std::chrono::steady_clock::now() < end) levels = RecordMonitor(0.2);
  return levels;
}
