// Playback: OrvanePlayer against gst-play-1.0 on one generated 20 s 1080p30
// H.264 + AAC clip, alternately, N runs each (3 by default), medians compared.
// Both sides build playbin from the same registry, so decodebin picks the same
// decoders; the bench reads which ones each side created and says if they differ.
//
//   cmake --build build --target bench_playback && ./build/bench/bench_playback
//   [--runs N] [--renderer 1009|1007|1000] [--audio-sink DESC, both sides; also taken
//   from $ORVANE_AUDIO_SINK] [--peer-videosink DESC] [--clip FILE] [--player PATH]
//
// It needs an X server and sound output. Under Xvfb with a PulseAudio null sink:
//   Xvfb :77 -screen 0 1920x1080x24 &  export DISPLAY=:77
//   pulseaudio --start --exit-idle-time=-1
//   pactl load-module module-null-sink sink_name=test_null && export PULSE_SINK=test_null
// With no sound server, let both sides play audio into a clocked fakesink:
//   ./build/bench/bench_playback --audio-sink "fakesink sync=true"
// (the player gets ORVANE_AUDIO_SINK, gst-play-1.0 gets --audiosink).
// gst-play-1.0's default video sink is what autoplugging settles on; on Xvfb it
// tries kmssink first, which costs over a second: --peer-videosink ximagesink
// leaves that out of its first frame.
//
// CPU is user + system time of the child, peak memory its ru_maxrss (wait4).
// First frame counts from just before posix_spawn. The player prints the
// CLOCK_MONOTONIC time of its first drawn frame (ORVANE_TRACE_FIRST_FRAME).
// gst-play-1.0 prints nothing of the kind, so both sides run with GST_DEBUG=
// GST_BUS:5 and the bench takes the bus post of the video sink's change to
// PAUSED: a sink commits PAUSED right after its preroll call, which is where a
// video sink shows the first frame. Log times count from gst_init; the bench
// anchors them by the smallest (arrival - log time) over all lines, which
// overstates every event by the pipe's quickest delivery (microseconds).
#include <fcntl.h>
#include <gst/gst.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/profile_store.h"
#include "platform/safe_file.h"
#include "settings/default_settings.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

constexpr long long kChildLimitNs = 60'000'000'000LL;
constexpr double kClipSeconds = 20.0;

long long NowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

struct Run {
  std::string error;  // empty when the child played to its end
  double cpuSeconds = 0, wallSeconds = 0, maxRssMb = 0;
  long long tracedFrameNs = -1;   // player's own trace, from spawn
  long long sinkPausedNs = -1;    // video sink committed PAUSED, from spawn
  long long gstInitNs = -1;       // gst_init, from spawn
  std::string videoSink;
  std::set<std::string> decoders;
};

// A debug line starts "H:MM:SS.NNNNNNNNN "; returns -1 for any other line.
long long LogTime(const std::string& line) {
  unsigned h, m, s;
  char frac[10] = {};
  if (std::sscanf(line.c_str(), "%u:%2u:%2u.%9[0-9]", &h, &m, &s, frac) != 4 || std::strlen(frac) != 9)
    return -1;
  return ((h * 60LL + m) * 60 + s) * 1'000'000'000LL + std::atoll(frac);
}

// Element names are the factory's name and a count ("avdec_h264-0", "ximagesink0");
// autovideosink names its child after itself.
std::string FactoryName(std::string element) {
  if (auto cut = element.find("-actual-sink"); cut != std::string::npos) element.resize(cut);
  while (!element.empty() && std::isdigit(static_cast<unsigned char>(element.back())))
    element.pop_back();
  if (!element.empty() && element.back() == '-') element.pop_back();
  return element;
}

std::string Klass(const std::string& element) {
  GstElementFactory* factory = gst_element_factory_find(FactoryName(element).c_str());
  const char* klass = factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : nullptr;
  std::string text = klass ? klass : "";
  if (factory) gst_object_unref(factory);
  return text;
}

// Runs argv to its end or the time limit, reading its stderr line by line.
Run RunChild(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
             double minWallSeconds = 0) {
  Run run;
  std::vector<std::string> envText;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e, key = entry.substr(0, entry.find('='));
    if (!env.count(key) && key != "GST_DEBUG_FILE") envText.push_back(entry);
  }
  for (const auto& [key, value] : env) envText.push_back(key + "=" + value);
  std::vector<char*> args, envp;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  for (const auto& e : envText) envp.push_back(const_cast<char*>(e.c_str()));
  args.push_back(nullptr);
  envp.push_back(nullptr);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return run.error = "pipe: " + std::string(strerror(errno)), run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  pid_t pid = 0;
  long long start = NowNs();
  int failed = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (failed) {
    ::close(fds[0]);
    return run.error = "cannot start " + argv[0] + ": " + strerror(failed), run;
  }
  ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
  ::fcntl(fds[0], F_SETPIPE_SZ, 1 << 20);  // start-up bursts of log lines must not block the child

  long long anchor = -1;  // gst_init's CLOCK_MONOTONIC, as read off the lines
  std::map<std::string, long long> paused;  // element -> log time of its PAUSED
  std::deque<std::string> tail;             // last plain lines, for error reports
  std::string pending;
  auto handle = [&](const std::string& line, long long arrived) {
    if (line.rfind("first-frame ", 0) == 0) {
      if (run.tracedFrameNs < 0) run.tracedFrameNs = std::atoll(line.c_str() + 12) - start;
      return;
    }
    long long at = LogTime(line);
    if (at < 0) {
      tail.push_back(line);
      if (tail.size() > 4) tail.pop_front();
      return;
    }
    if (anchor < 0 || arrived - at < anchor) anchor = arrived - at;
    if (line.find("posting on bus state-changed message") == std::string::npos ||
        line.find("new-state=(GstState)paused") == std::string::npos)
      return;
    auto name = line.find(", element '");
    if (name == std::string::npos) return;
    name += 11;
    paused.emplace(line.substr(name, line.find('\'', name) - name), at);  // first post wins
  };
  bool open = true, exited = false;
  int status = 0;
  rusage usage{};
  while (!exited) {
    if (NowNs() - start > kChildLimitNs) {
      ::kill(pid, SIGKILL);
      ::wait4(pid, &status, 0, &usage);
      run.error = argv[0] + " did not end within " + std::to_string(kChildLimitNs / 1'000'000'000) +
                  " s and was killed";
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    ::poll(&p, open ? 1 : 0, open ? 100 : 20);
    exited = ::wait4(pid, &status, WNOHANG, &usage) == pid;
    // Read until the pipe is empty; once the child is gone that drains it.
    char buffer[65536];
    while (open) {
      ssize_t n = ::read(fds[0], buffer, sizeof buffer);
      if (n <= 0) {
        open = n < 0 && (errno == EAGAIN || errno == EINTR);
        break;
      }
      long long arrived = NowNs();
      pending.append(buffer, n);
      for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
        handle(pending.substr(0, end), arrived);
    }
  }
  ::close(fds[0]);
  run.wallSeconds = (NowNs() - start) / 1e9;
  run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.maxRssMb = usage.ru_maxrss / 1024.0;
  if (run.error.empty() && WIFSIGNALED(status))
    run.error = argv[0] + " was killed by signal " + std::to_string(WTERMSIG(status));
  else if (run.error.empty() && WEXITSTATUS(status) != 0)
    run.error = argv[0] + " exited with status " + std::to_string(WEXITSTATUS(status));
  else if (run.error.empty() && run.wallSeconds < minWallSeconds)
    run.error = argv[0] + " ended after " + std::to_string(run.wallSeconds) + " s, too soon to have played";
  for (const auto& line : tail) run.error += run.error.empty() ? "" : "\n    " + line;

  // The earliest video sink to commit PAUSED; the player's mixers hand frames to Qt via appsink.
  long long best = -1;
  for (const auto& [element, at] : paused) {
    std::string klass = Klass(element);
    if (klass.find("Decoder") != std::string::npos && klass.find("Bin") == std::string::npos)
      run.decoders.insert(FactoryName(element));
    bool video = klass.find("Sink") != std::string::npos && klass.find("Video") != std::string::npos;
    if ((video || element.rfind("appsink", 0) == 0) && (best < 0 || at < best)) {
      best = at;
      run.videoSink = element;
    }
  }
  if (anchor >= 0) run.gstInitNs = anchor - start;
  if (best >= 0 && anchor >= 0) run.sinkPausedNs = anchor + best - start;
  return run;
}

// The executable and its folders; the demo clip is not needed.
bool CopyProgramFolder(const fs::path& executable, const fs::path& to) {
  std::error_code ec;
  if (!fs::create_directories(to, ec) || !fs::copy_file(executable, to / "OrvanePlayer", ec)) return false;
  for (const auto& entry : fs::directory_iterator(executable.parent_path(), ec)) {
    if (!entry.is_directory() || entry.path().filename() == "Demo") continue;
    fs::copy(entry.path(), to / entry.path().filename(), fs::copy_options::recursive, ec);
    if (ec) return false;
  }
  return !ec;
}

std::string Ms(long long ns) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f ms", ns / 1e6);
  return ns < 0 ? "n/a" : text;
}

std::string Join(const std::set<std::string>& names) {
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "none seen" : text;
}

bool PrepareIni(const fs::path& folder) {
  std::string ini = (folder / "Ini" / "Default.ini").string();
  return platform::WriteFileAtomically(ini, settings::DefaultSettingsFileText()) &&
         platform::WritePrivateProfileString("Play", "AfterPlay", "1", ini) &&
         platform::WritePrivateProfileString("PlayControl", "ReloadLast", "0", ini);
}

int Fail(const std::string& why, int code = 1) {
  std::fprintf(stderr, "bench_playback: %s\n", why.c_str());
  return code;
}

int Usage() {
  return Fail("usage: bench_playback [--runs N] [--renderer 1009|1007|1000] [--audio-sink DESC] "
              "[--peer-videosink DESC] [--clip FILE] [--player PATH]", 2);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  std::string renderer, peerVideoSink, clip, player = ORVANE_PLAYER_PATH;
  std::string audioSink = std::getenv("ORVANE_AUDIO_SINK") ? std::getenv("ORVANE_AUDIO_SINK") : "";
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (i + 1 >= argc) return Usage();
    std::string value = argv[++i];
    if (option == "--runs") runs = std::atoi(value.c_str());
    else if (option == "--renderer") renderer = value;
    else if (option == "--audio-sink") audioSink = value;
    else if (option == "--peer-videosink") peerVideoSink = value;
    else if (option == "--clip") clip = value;
    else if (option == "--player") player = value;
    else return Usage();
  }
  if (runs < 1 || runs > 20) return Usage();
  if (!renderer.empty() && renderer != "1009" && renderer != "1007" && renderer != "1000") return Usage();
  if (!std::getenv("DISPLAY")) return Fail("DISPLAY is not set; start an X server (Xvfb) first");
  std::error_code ec;
  if (!fs::is_regular_file(player, ec)) return Fail("no player at " + player);
  if (clip.empty()) {
    Run made = RunChild({ORVANE_SOURCE_DIR "/bench/make-bench-clip", ORVANE_BENCH_CLIP_DIR}, {});
    if (!made.error.empty()) return Fail("making the clip failed: " + made.error);
    clip = ORVANE_BENCH_CLIP_DIR "/bench-1080p30.mp4";
  }
  if (!fs::is_regular_file(clip, ec)) return Fail("no clip at " + clip);
  clip = fs::absolute(clip).string();
  // The first playbin after a plugin change rebuilds the registry; keep that out of the figures.
  if (Run warm = RunChild({"gst-inspect-1.0", "playbin"}, {}); !warm.error.empty()) return Fail(warm.error);
  gst_init(nullptr, nullptr);

  // A private copy of the program folder, so the build's Ini stays as it is.
  char tmpl[] = "/tmp/orvane-bench-playback-XXXXXX";
  if (!::mkdtemp(tmpl)) return std::perror("mkdtemp"), 1;
  fs::path work = tmpl, pristine = work / "pristine", folder = work / "OrvanePlayer";
  if (!CopyProgramFolder(player, pristine))
    return fs::remove_all(work, ec), Fail("cannot copy the program folder of " + player);

  std::map<std::string, std::string> common = {{"GST_DEBUG", "GST_BUS:5"}, {"GST_DEBUG_NO_COLOR", "1"}};
  std::map<std::string, std::string> playerEnv = common;
  playerEnv["ORVANE_TRACE_FIRST_FRAME"] = "1";
  if (!renderer.empty()) playerEnv["ORVANE_RENDERER"] = renderer;
  if (!audioSink.empty()) playerEnv["ORVANE_AUDIO_SINK"] = audioSink;
  std::vector<std::string> peerArgs = {"gst-play-1.0", "--no-interactive"};
  if (!audioSink.empty()) peerArgs.insert(peerArgs.end(), {"--audiosink", audioSink});
  if (!peerVideoSink.empty()) peerArgs.insert(peerArgs.end(), {"--videosink", peerVideoSink});
  peerArgs.push_back(clip);

  std::printf("clip %s; %d runs each, alternately; audio sink, both sides: %s\n", clip.c_str(), runs,
              audioSink.empty() ? "default" : audioSink.c_str());
  std::printf("player renderer: %s; peer video sink: %s\n", renderer.empty() ? "its own choice" : renderer.c_str(),
              peerVideoSink.empty() ? "gst-play-1.0's default" : peerVideoSink.c_str());
  std::vector<Run> sides[2];
  for (int i = 0; i < runs * 2; ++i) {
    int side = i % 2;
    fs::remove_all(folder, ec);
    if (side == 0 && (!CopyProgramFolder(pristine / "OrvanePlayer", folder) || !PrepareIni(folder))) {
      Fail("cannot prepare " + folder.string());
      break;
    }
    Run run = side == 0 ? RunChild({(folder / "OrvanePlayer").string(), clip}, playerEnv, kClipSeconds * 0.75)
                        : RunChild(peerArgs, common, kClipSeconds * 0.75);
    if (!run.error.empty()) {
      std::fprintf(stderr, "run %d: %s\n", i / 2 + 1, run.error.c_str());
      break;
    }
    std::printf("run %d %-6s cpu %5.2f s  rss %5.1f MB  wall %4.1f s  gst_init %s  sink PAUSED %s (%s)"
                "  drawn %s\n", i / 2 + 1, side == 0 ? "player" : "peer", run.cpuSeconds, run.maxRssMb,
                run.wallSeconds, Ms(run.gstInitNs).c_str(), Ms(run.sinkPausedNs).c_str(),
                run.videoSink.empty() ? "no video sink seen" : run.videoSink.c_str(),
                Ms(run.tracedFrameNs).c_str());
    std::fflush(stdout);
    sides[side].push_back(run);
  }
  fs::remove_all(work, ec);
  const std::vector<Run>&ours = sides[0], &peers = sides[1];
  if (peers.size() != static_cast<size_t>(runs)) return 1;

  auto median = [](const std::vector<Run>& v, auto field) {
    std::vector<double> values;
    for (const Run& r : v) values.push_back(field(r));
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  };
  std::string ourDecoders = Join(ours[0].decoders), peerDecoders = Join(peers[0].decoders);
  if (ourDecoders == peerDecoders) std::printf("decoders, both sides: %s\n", ourDecoders.c_str());
  else std::printf("DECODERS DIFFER: player %s; peer %s\n", ourDecoders.c_str(), peerDecoders.c_str());
  auto has = [](const std::vector<Run>& v, long long Run::*field) {
    return std::all_of(v.begin(), v.end(), [field](const Run& r) { return r.*field >= 0; });
  };
  // Kind 1000 draws in the sink itself, so there the sink's PAUSED is the player's first frame.
  bool traced = has(ours, &Run::tracedFrameNs), ourSinks = has(ours, &Run::sinkPausedNs);
  bool peerSinks = has(peers, &Run::sinkPausedNs);
  auto first = [traced](const Run& r) { return (traced ? r.tracedFrameNs : r.sinkPausedNs) / 1e6; };
  auto paused = [](const Run& r) { return r.sinkPausedNs / 1e6; };
  auto row = [&](const char* name, auto ourField, auto peerField, double target) {
    double player = median(ours, ourField), peer = median(peers, peerField);
    std::printf("%-16s %9.2f %9.2f %6.2fx  ", name, player, peer, player / peer);
    if (target > 0) std::printf("<= %.2fx %s\n", target, player / peer <= target ? "ok" : "OVER");
    else std::printf("(like for like, no target)\n");
  };
  auto cpu = [](const Run& r) { return r.cpuSeconds; };
  auto rss = [](const Run& r) { return r.maxRssMb; };
  std::printf("\n%-16s %9s %9s %7s  %s\n", "median", "player", "peer", "ratio", "target");
  row("CPU time, s", cpu, cpu, 1.10);
  row("peak RSS, MB", rss, rss, 1.3);
  if (peerSinks && (traced || ourSinks)) row("first frame, ms", first, paused, 1.2);
  else std::printf("first frame: not seen on every run\n");
  if (ourSinks && peerSinks) row("sink PAUSED, ms", paused, paused, 0);
  std::printf("\nfirst frame, player: %s\n", traced ? "its trace of the first frame drawn in its window"
                                                     : "its video sink committing PAUSED (no drawn frame traced)");
  std::printf("first frame, peer: its video sink committing PAUSED, after showing the preroll frame;\n"
              "  log times anchored to CLOCK_MONOTONIC, late by the pipe's quickest delivery\n");
  return 0;
}
