#pragma once
// Where the generated test clips are: $ORVANE_TEST_MEDIA, else the build tree's
// tests/media (scripts/test and tests/media/make-clips fill it).
#include <cstdlib>
#include <string>

inline std::string TestClip(const std::string& name) {
  const char* dir = std::getenv("ORVANE_TEST_MEDIA");
  return std::string(dir && *dir ? dir : ORVANE_TEST_MEDIA_DEFAULT) + "/" + name;
}
