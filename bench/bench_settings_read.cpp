// Read-integer on a full Default.ini. Nothing is cached, so every read opens
// and parses the file; the peer is a plain read of the same file's bytes,
// which bounds what any uncached reader can do.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/safe_file.h"
#include "settings/default_settings.h"
#include "settings/settings_store.h"

int main() {
  char dir[] = "/tmp/orvane-bench-XXXXXX";
  if (!::mkdtemp(dir)) return 1;
  std::string path = std::string(dir) + "/Default.ini";
  settings::SettingsStore store(path);
  store.EnsureSettingsFile();
  const int rounds = 20000;
  using clock = std::chrono::steady_clock;
  long long sink = 0;

  auto t0 = clock::now();
  for (int i = 0; i < rounds; ++i) sink += store.ReadInt("ShortCut", "FullScreen") +
                                           store.ReadInt("PlayControl", "LastPos");
  auto t1 = clock::now();
  for (int i = 0; i < rounds; ++i) sink += platform::ReadWholeFile(path)->size() * 2;
  auto t2 = clock::now();

  double ours = std::chrono::duration<double, std::micro>(t1 - t0).count() / (2.0 * rounds);
  double peer = std::chrono::duration<double, std::micro>(t2 - t1).count() / (2.0 * rounds);
  std::printf("read-integer: %.2f us per read; raw file read: %.2f us; ratio %.2f (sink %lld)\n",
              ours, peer, ours / peer, sink);
  ::unlink(path.c_str());
  ::rmdir(dir);
  return 0;
}
