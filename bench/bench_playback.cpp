// Playback: OrvanePlayer against two peers, gst-play-1.0 and mpv, on one
// generated 20 s 1080p30 H.264 + AAC clip, in turn, N runs each (3 by default),
// medians compared. Also the idle player's memory (no file, after 3 s) and, with
// --minutes N, each side's memory over N minutes of looped play.
// Audio only: the player and gst-play-1.0 on a generated 25 s stereo MP3, the
// player with its spectrum drawn as for any audio file, and the player's CPU
// paused on that MP3 (space sent to its window) and idle with no file.
// gst-play-1.0 builds playbin from the same registry as the player, so decodebin
// picks the same decoders; the bench reads which ones each side created and says
// if they differ. mpv decodes with the same FFmpeg and scales in software.
//
//   cmake --build build --target bench_playback && ./build/bench/bench_playback
//   [--runs N] [--minutes N] [--renderer 1009|1007|1000] [--audio-sink DESC, all
//   sides; also taken from $ORVANE_AUDIO_SINK] [--peer-videosink DESC] [--clip FILE]
//   [--mp3 FILE] [--only video|audio] [--player PATH]
//
// It needs an X server and sound output. Under Xvfb with a PulseAudio null sink:
//   Xvfb :77 -screen 0 1920x1080x24 &  export DISPLAY=:77
//   pulseaudio --start --exit-idle-time=-1
//   pactl load-module module-null-sink sink_name=test_null && export PULSE_SINK=test_null
// or simply: scripts/with-test-env ./build/bench/bench_playback
// With no sound server, let every side play audio into a clocked sink:
//   ./build/bench/bench_playback --audio-sink "fakesink sync=true"
// (the player gets ORVANE_AUDIO_SINK, gst-play-1.0 gets --audiosink, mpv --ao=null).
// gst-play-1.0's default video sink is what autoplugging settles on; on Xvfb it
// tries kmssink first, which costs over a second: --peer-videosink ximagesink
// leaves that out of its first frame. mpv runs as
//   mpv --no-config --vo=x11 --ao=pulse --hwdec=no
//
// CPU is user + system time of the child, peak memory its ru_maxrss (wait4), as
// /usr/bin/time reports them: both include children the side waited for, such as
// the player's short-lived OpenGL probe; the player's own VmHWM is shown beside.
// First frame counts from just before posix_spawn. The player prints the
// CLOCK_MONOTONIC time of its first drawn frame (ORVANE_TRACE_FIRST_FRAME).
// gst-play-1.0 prints nothing of the kind, so the GStreamer sides run with
// GST_DEBUG=GST_BUS:5 and the bench takes the bus post of the video sink's change
// to PAUSED: a sink commits PAUSED right after its preroll call, which is where a
// video sink shows the first frame. mpv logs "first video frame after restart
// shown" once its video output has shown it. Log times count from the logger's
// start; the bench anchors them by the smallest (arrival - log time) over all
// lines, which overstates every event by the pipe's quickest delivery
// (microseconds).
// The audio-only sides run without the bus log, which would cost CPU of its own.
// Paused and idle CPU are the utime + stime the player's /proc/PID/stat gains
// over a window of some seconds, once start-up is over, as % of one core.
#include <fcntl.h>
#include <gst/gst.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <filesystem>
#include <functional>
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
constexpr double kIdleSeconds = 3.0;
constexpr double kMp3Seconds = 25.0;
// Paused and idle CPU: the player is paused at kPauseAt s and its CPU counted
// from kQuietFrom to kQuietTo s.
constexpr double kPauseAt = 3.0, kQuietFrom = 4.0, kQuietTo = 9.0;
constexpr const char* kMpvShown = "first video frame after restart shown";

long long NowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1'000'000'000LL + t.tv_nsec;
}

struct Run {
  std::string error;  // empty when the child played to its end (or was stopped as asked)
  double cpuSeconds = 0, wallSeconds = 0, maxRssMb = 0;
  double ownHwmMb = -1;           // the child's own VmHWM, last read before it ended
  double rssAtMb = -1;            // VmRSS at ChildOptions::rssAtSeconds
  double lastRssMb = -1;          // VmRSS last read before it ended
  double windowCpuPercent = -1;   // % of a core over ChildOptions::cpuFrom..cpuTo
  double serverCpuSeconds = -1;   // the X and sound servers' CPU over the run (-1: not found)
  long long tracedFrameNs = -1;   // player's own trace, from spawn
  long long sinkPausedNs = -1;    // video sink committed PAUSED, from spawn
  long long shownFrameNs = -1;    // mpv showed its first frame, from spawn
  long long logStartNs = -1;      // gst_init or mpv's log start, from spawn
  std::string videoSink;
  std::set<std::string> decoders;
};

struct ChildOptions {
  double minWallSeconds = 0;    // an earlier end is an error
  double stopAfterSeconds = 0;  // SIGTERM then, which is no error (0: runs to its end)
  double rssAtSeconds = 0;      // VmRSS read once then (0: never)
  bool readStdout = false;      // mpv logs to stdout
  long long limitNs = kChildLimitNs;
  double cpuFrom = 0, cpuTo = 0;  // CPU counted between these times (cpuTo 0: not at all)
  double actAt = 0;                              // act is called then with the child's pid
  std::function<std::string(pid_t)> act;        // a non-empty answer is an error
};

// utime + stime of a live process and all its threads, in seconds; < 0 once gone.
double ProcessCpuSeconds(pid_t pid) {
  FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (!file) return -1;
  char text[1024] = {};
  const size_t n = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  text[n] = 0;
  // The command name may hold blanks and parentheses: fields count from the last ')'.
  const char* after = std::strrchr(text, ')');
  unsigned long long utime = 0, stime = 0;
  if (!after || std::sscanf(after + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                            &stime) != 2)
    return -1;
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// The X server of $DISPLAY and the sound server of $XDG_RUNTIME_DIR: the work a
// side hands them (putting its pictures, mixing its sound) is its cost too,
// and a side that scaled on the server would hide it there.
std::vector<pid_t> ServerPids() {
  const char* display = std::getenv("DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string screen = display ? display : "";
  if (auto dot = screen.find('.', screen.find(':')); dot != std::string::npos) screen.erase(dot);
  auto read = [](const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "r")) {
      char buffer[4096];
      for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
      std::fclose(file);
    }
    std::replace(text.begin(), text.end(), '\0', '\n');
    return text;
  };
  std::vector<pid_t> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) continue;
    const std::string comm = read("/proc/" + name + "/comm");
    if (!screen.empty() && (comm == "Xvfb\n" || comm == "Xorg\n" || comm == "X\n") &&
        ("\n" + read("/proc/" + name + "/cmdline")).find("\n" + screen + "\n") != std::string::npos)
      found.push_back(std::stoi(name));
    if (runtime && (comm == "pulseaudio\n" || comm == "pipewire-pulse\n") &&
        read("/proc/" + name + "/environ").find(std::string("\nXDG_RUNTIME_DIR=") + runtime + "\n") !=
            std::string::npos)
      found.push_back(std::stoi(name));
  }
  return found;
}

double ServersCpuSeconds(const std::vector<pid_t>& pids) {
  double sum = 0;
  for (pid_t pid : pids) {
    const double cpu = ProcessCpuSeconds(pid);
    if (cpu < 0) return -1;
    sum += cpu;
  }
  return pids.empty() ? -1 : sum;
}

// A GStreamer debug line starts "H:MM:SS.NNNNNNNNN ", an mpv line with
// --msg-time "[   S.UUUUUU] "; returns -1 for any other line.
long long LogTime(const std::string& line) {
  unsigned h, m, s;
  char frac[10] = {};
  if (std::sscanf(line.c_str(), "%u:%2u:%2u.%9[0-9]", &h, &m, &s, frac) == 4 && std::strlen(frac) == 9)
    return ((h * 60LL + m) * 60 + s) * 1'000'000'000LL + std::atoll(frac);
  double seconds = 0;
  int used = 0;
  if (std::sscanf(line.c_str(), "[%lf]%n", &seconds, &used) == 1 && used > 0 && seconds >= 0)
    return std::llround(seconds * 1e9);
  return -1;
}

// VmRSS and VmHWM of a live process in MB; false once it is gone.
bool ReadMemory(pid_t pid, double* rssMb, double* hwmMb) {
  FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
  if (!file) return false;
  char line[256];
  bool rss = false, hwm = false;
  while (std::fgets(line, sizeof line, file)) {
    long kb = 0;
    if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) *rssMb = kb / 1024.0, rss = true;
    if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) *hwmMb = kb / 1024.0, hwm = true;
  }
  std::fclose(file);
  return rss && hwm;  // a zombie has neither
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

// Runs argv to its end, the stop time or the time limit, reading its stderr
// (and stdout if asked) line by line and its memory every tenth of a second.
Run RunChild(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
             const ChildOptions& options = {}) {
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
  if (options.readStdout)
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  pid_t pid = 0;
  static const std::vector<pid_t> servers = ServerPids();
  const double serversBefore = ServersCpuSeconds(servers);
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

  long long anchor = -1;  // the log's zero in CLOCK_MONOTONIC, as read off the lines
  long long shownAt = -1;   // log time of mpv's first shown frame
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
    if (shownAt < 0 && line.find(kMpvShown) != std::string::npos) shownAt = at;
    if (line.find("posting on bus state-changed message") == std::string::npos ||
        line.find("new-state=(GstState)paused") == std::string::npos)
      return;
    auto name = line.find(", element '");
    if (name == std::string::npos) return;
    name += 11;
    paused.emplace(line.substr(name, line.find('\'', name) - name), at);  // first post wins
  };
  bool open = true, exited = false, stopped = false, acted = false;
  double cpuAtFrom = -1;
  long long cpuFromNs = 0;
  int status = 0;
  rusage usage{};
  while (!exited) {
    const long long now = NowNs();
    if (now - start > options.limitNs) {
      ::kill(pid, SIGKILL);
      ::wait4(pid, &status, 0, &usage);
      run.error = argv[0] + " did not end within " + std::to_string(options.limitNs / 1'000'000'000) +
                  " s and was killed";
      break;
    }
    double rss = 0, hwm = 0;
    if (ReadMemory(pid, &rss, &hwm)) {
      run.lastRssMb = rss;
      run.ownHwmMb = hwm;
      if (options.rssAtSeconds > 0 && run.rssAtMb < 0 && now - start >= options.rssAtSeconds * 1e9)
        run.rssAtMb = rss;
    }
    if (options.act && !acted && now - start >= options.actAt * 1e9) {
      acted = true;
      if (std::string why = options.act(pid); !why.empty()) {
        ::kill(pid, SIGKILL);
        ::wait4(pid, &status, 0, &usage);
        run.error = why;
        break;
      }
    }
    if (options.cpuTo > 0 && cpuAtFrom < 0 && now - start >= options.cpuFrom * 1e9)
      cpuAtFrom = ProcessCpuSeconds(pid), cpuFromNs = now;
    if (options.cpuTo > 0 && cpuAtFrom >= 0 && run.windowCpuPercent < 0 && now - start >= options.cpuTo * 1e9) {
      if (double at = ProcessCpuSeconds(pid); at >= 0)
        run.windowCpuPercent = 100.0 * (at - cpuAtFrom) / ((now - cpuFromNs) / 1e9);
    }
    if (options.stopAfterSeconds > 0 && !stopped && now - start >= options.stopAfterSeconds * 1e9) {
      ::kill(pid, SIGTERM);
      stopped = true;
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
  if (const double after = ServersCpuSeconds(servers); serversBefore >= 0 && after >= 0)
    run.serverCpuSeconds = after - serversBefore;
  // Once stopped, how it ends is its own affair (mpv exits with status 4).
  if (run.error.empty() && !stopped) {
    if (WIFSIGNALED(status))
      run.error = argv[0] + " was killed by signal " + std::to_string(WTERMSIG(status));
    else if (WEXITSTATUS(status) != 0)
      run.error = argv[0] + " exited with status " + std::to_string(WEXITSTATUS(status));
    else if (run.wallSeconds < options.minWallSeconds)
      run.error = argv[0] + " ended after " + std::to_string(run.wallSeconds) + " s, too soon to have played";
    else if (options.stopAfterSeconds > 0)
      run.error = argv[0] + " ended after " + std::to_string(run.wallSeconds) + " s, before it was stopped";
  }
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
  if (anchor >= 0) run.logStartNs = anchor - start;
  if (best >= 0 && anchor >= 0) run.sinkPausedNs = anchor + best - start;
  if (shownAt >= 0 && anchor >= 0) run.shownFrameNs = anchor + shownAt - start;
  return run;
}

// The executable and everything beside it (companion libraries, the OpenGL
// probe, the folders) but the demo clip.
bool CopyProgramFolder(const fs::path& executable, const fs::path& to) {
  std::error_code ec;
  if (!fs::create_directories(to, ec) || !fs::copy_file(executable, to / "OrvanePlayer", ec)) return false;
  for (const auto& entry : fs::directory_iterator(executable.parent_path(), ec)) {
    const fs::path name = entry.path().filename();
    if (name == "Demo" || name == executable.filename()) continue;
    fs::copy(entry.path(), to / name, fs::copy_options::recursive, ec);
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

// Default settings; the player closes after the clip, or with `repeat` plays it
// again and again.
bool PrepareIni(const fs::path& folder, bool repeat) {
  std::string ini = (folder / "Ini" / "Default.ini").string();
  return platform::WriteFileAtomically(ini, settings::DefaultSettingsFileText()) &&
         platform::WritePrivateProfileString("Play", "AfterPlay", repeat ? "0" : "1", ini) &&
         platform::WritePrivateProfileString("PlayControl", "PlayMode", repeat ? "3" : "0", ini) &&
         platform::WritePrivateProfileString("PlayControl", "ReloadLast", "0", ini);
}

int Fail(const std::string& why, int code = 1) {
  std::fprintf(stderr, "bench_playback: %s\n", why.c_str());
  return code;
}

int Usage() {
  return Fail("usage: bench_playback [--runs N] [--minutes N] [--renderer 1009|1007|1000] "
              "[--audio-sink DESC] [--peer-videosink DESC] [--clip FILE] [--mp3 FILE] [--only video|audio] "
              "[--player PATH]", 2);
}

enum Side { kPlayer, kGstPlay, kMpv, kSides };
const char* const kSideNames[kSides] = {"player", "gst-play", "mpv"};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3, minutes = 0;
  std::string renderer, peerVideoSink, clip, mp3, only, player = ORVANE_PLAYER_PATH;
  std::string audioSink = std::getenv("ORVANE_AUDIO_SINK") ? std::getenv("ORVANE_AUDIO_SINK") : "";
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (i + 1 >= argc) return Usage();
    std::string value = argv[++i];
    if (option == "--runs") runs = std::atoi(value.c_str());
    else if (option == "--minutes") minutes = std::atoi(value.c_str());
    else if (option == "--renderer") renderer = value;
    else if (option == "--audio-sink") audioSink = value;
    else if (option == "--peer-videosink") peerVideoSink = value;
    else if (option == "--clip") clip = value;
    else if (option == "--mp3") mp3 = value;
    else if (option == "--only") only = value;
    else if (option == "--player") player = value;
    else return Usage();
  }
  if (runs < 1 || runs > 20 || minutes < 0 || minutes > 600) return Usage();
  if (!renderer.empty() && renderer != "1009" && renderer != "1007" && renderer != "1000") return Usage();
  if (!only.empty() && only != "video" && only != "audio") return Usage();
  const bool video = only != "audio", audio = only != "video";
  if (!std::getenv("DISPLAY")) return Fail("DISPLAY is not set; start an X server (Xvfb) first");
  std::error_code ec;
  if (!fs::is_regular_file(player, ec)) return Fail("no player at " + player);
  if (clip.empty() || mp3.empty()) {
    Run made = RunChild({ORVANE_SOURCE_DIR "/bench/make-bench-clip", ORVANE_BENCH_CLIP_DIR}, {});
    if (!made.error.empty()) return Fail("making the clips failed: " + made.error);
    if (clip.empty()) clip = ORVANE_BENCH_CLIP_DIR "/bench-1080p30.mp4";
    if (mp3.empty()) mp3 = ORVANE_BENCH_CLIP_DIR "/bench-music.mp3";
  }
  if (!fs::is_regular_file(clip, ec)) return Fail("no clip at " + clip);
  if (!fs::is_regular_file(mp3, ec)) return Fail("no MP3 at " + mp3);
  clip = fs::absolute(clip).string();
  mp3 = fs::absolute(mp3).string();
  // The first playbin after a plugin change rebuilds the registry; keep that out of the figures.
  if (Run warm = RunChild({"gst-inspect-1.0", "playbin"}, {}); !warm.error.empty()) return Fail(warm.error);
  gst_init(nullptr, nullptr);

  // A private copy of the program folder, so the build's Ini stays as it is.
  char tmpl[] = "/tmp/orvane-bench-playback-XXXXXX";
  if (!::mkdtemp(tmpl)) return std::perror("mkdtemp"), 1;
  fs::path work = tmpl, pristine = work / "pristine", folder = work / "OrvanePlayer";
  if (!CopyProgramFolder(player, pristine))
    return fs::remove_all(work, ec), Fail("cannot copy the program folder of " + player);
  auto freshFolder = [&](bool repeat) {
    fs::remove_all(folder, ec);
    if (CopyProgramFolder(pristine / "OrvanePlayer", folder) && PrepareIni(folder, repeat)) return true;
    Fail("cannot prepare " + folder.string());
    return false;
  };

  std::map<std::string, std::string> common = {{"GST_DEBUG", "GST_BUS:5"}, {"GST_DEBUG_NO_COLOR", "1"}};
  std::map<std::string, std::string> playerEnv = common;
  playerEnv["ORVANE_TRACE_FIRST_FRAME"] = "1";
  if (!renderer.empty()) playerEnv["ORVANE_RENDERER"] = renderer;
  if (!audioSink.empty()) playerEnv["ORVANE_AUDIO_SINK"] = audioSink;
  std::vector<std::string> gstPlayArgs = {"gst-play-1.0", "--no-interactive"};
  if (!audioSink.empty()) gstPlayArgs.insert(gstPlayArgs.end(), {"--audiosink", audioSink});
  if (!peerVideoSink.empty()) gstPlayArgs.insert(gstPlayArgs.end(), {"--videosink", peerVideoSink});
  std::vector<std::string> mpvArgs = {"mpv", "--no-config", "--vo=x11", audioSink.empty() ? "--ao=pulse" : "--ao=null",
                                      "--hwdec=no", "--quiet", "--msg-time", "--msg-level=all=warn,cplayer=debug"};
  ChildOptions mpvOptions;
  mpvOptions.readStdout = true;

  if (video) {
    std::printf("clip %s; %d runs each, in turn; audio: %s\n", clip.c_str(), runs,
                audioSink.empty() ? "default output" : (audioSink + " (mpv: --ao=null)").c_str());
    std::printf("player renderer: %s; gst-play-1.0 video sink: %s; mpv: --vo=x11 --hwdec=no\n",
                renderer.empty() ? "its own choice" : renderer.c_str(),
                peerVideoSink.empty() ? "its default" : peerVideoSink.c_str());
  }
  std::vector<Run> sides[kSides];
  std::vector<Run> idle;
  bool failed = false;
  for (int round = 1; video && round <= runs && !failed; ++round) {
    // The idle player: no file, its memory after 3 s.
    if (!freshFolder(false)) break;
    ChildOptions idleOptions;
    idleOptions.stopAfterSeconds = kIdleSeconds;
    Run still = RunChild({(folder / "OrvanePlayer").string()}, playerEnv, idleOptions);
    if (!still.error.empty()) {
      std::fprintf(stderr, "run %d, idle player: %s\n", round, still.error.c_str());
      break;
    }
    std::printf("run %d %-8s rss %5.1f MB  own peak %5.1f MB  (no file, after %.0f s)\n", round, "idle",
                still.lastRssMb, still.ownHwmMb, kIdleSeconds);
    idle.push_back(still);
    for (int side = 0; side < kSides; ++side) {
      if (side == kPlayer && !freshFolder(false)) {
        failed = true;
        break;
      }
      ChildOptions options = side == kMpv ? mpvOptions : ChildOptions{};
      options.minWallSeconds = kClipSeconds * 0.75;
      std::vector<std::string> args = side == kPlayer    ? std::vector<std::string>{(folder / "OrvanePlayer").string()}
                                      : side == kGstPlay ? gstPlayArgs
                                                         : mpvArgs;
      args.push_back(clip);
      Run run = RunChild(args, side == kPlayer ? playerEnv : common, options);
      if (!run.error.empty()) {
        std::fprintf(stderr, "run %d, %s: %s\n", round, kSideNames[side], run.error.c_str());
        failed = true;
        break;
      }
      long long frame = side == kPlayer ? (run.tracedFrameNs >= 0 ? run.tracedFrameNs : run.sinkPausedNs)
                        : side == kGstPlay ? run.sinkPausedNs
                                           : run.shownFrameNs;
      std::printf("run %d %-8s cpu %5.2f s (servers %5.2f s)  rss %5.1f MB  own peak %5.1f MB  wall %4.1f s  "
                  "first frame %s",
                  round, kSideNames[side], run.cpuSeconds, run.serverCpuSeconds, run.maxRssMb, run.ownHwmMb,
                  run.wallSeconds, Ms(frame).c_str());
      if (side != kMpv)
        std::printf("  (sink PAUSED %s, %s)", Ms(run.sinkPausedNs).c_str(),
                    run.videoSink.empty() ? "no video sink seen" : run.videoSink.c_str());
      std::printf("\n");
      std::fflush(stdout);
      sides[side].push_back(run);
    }
  }
  if (video) {
    const bool complete = std::all_of(std::begin(sides), std::end(sides),
                                      [runs](const std::vector<Run>& v) { return v.size() == static_cast<size_t>(runs); });
    if (!complete) return fs::remove_all(work, ec), 1;

    std::string ourDecoders = Join(sides[kPlayer][0].decoders), peerDecoders = Join(sides[kGstPlay][0].decoders);
    if (ourDecoders == peerDecoders) std::printf("decoders, player and gst-play: %s\n", ourDecoders.c_str());
    else std::printf("DECODERS DIFFER: player %s; gst-play %s\n", ourDecoders.c_str(), peerDecoders.c_str());

    auto median = [](const std::vector<Run>& v, auto field) {
      std::vector<double> values;
      for (const Run& r : v) values.push_back(field(r));
      return Median(values);
    };
    auto all = [](const std::vector<Run>& v, long long Run::*field) {
      return std::all_of(v.begin(), v.end(), [field](const Run& r) { return r.*field >= 0; });
    };
    // Kind 1000 draws in the sink itself, so there the sink's PAUSED is the player's first frame.
    const bool traced = all(sides[kPlayer], &Run::tracedFrameNs);
    const bool frames = (traced || all(sides[kPlayer], &Run::sinkPausedNs)) &&
                        all(sides[kGstPlay], &Run::sinkPausedNs) && all(sides[kMpv], &Run::shownFrameNs);
    auto ratio = [](double ours, double peer, double target) {
      char text[48];
      std::snprintf(text, sizeof text, "%6.2fx %-4s", ours / peer,
                    target <= 0 ? "" : ours / peer <= target ? "ok" : "OVER");
      return std::string(text);
    };
    // One target against both peers, or (mpvTarget) its own against mpv.
    auto row = [&](const char* name, auto playerField, auto gstField, auto mpvField, double target,
                   double mpvTarget = -1) {
      double ours = median(sides[kPlayer], playerField), gst = median(sides[kGstPlay], gstField),
             mpv = median(sides[kMpv], mpvField);
      if (mpvTarget < 0) mpvTarget = target;
      const auto times = [](double t) { return std::to_string(t).substr(0, 4) + "x"; };
      const std::string targets = target <= 0          ? "(no target)"
                                  : mpvTarget == target ? "<= " + times(target)
                                                        : "<= " + times(target) + " / " + times(mpvTarget);
      std::printf("%-16s %9.2f %9.2f %9.2f   %s %s  %s\n", name, ours, gst, mpv, ratio(ours, gst, target).c_str(),
                  ratio(ours, mpv, mpvTarget).c_str(), targets.c_str());
    };
    auto cpu = [](const Run& r) { return r.cpuSeconds; };
    auto rss = [](const Run& r) { return r.maxRssMb; };
    auto own = [](const Run& r) { return r.ownHwmMb; };
    auto playerFrame = [traced](const Run& r) { return (traced ? r.tracedFrameNs : r.sinkPausedNs) / 1e6; };
    auto paused = [](const Run& r) { return r.sinkPausedNs / 1e6; };
    auto shown = [](const Run& r) { return r.shownFrameNs / 1e6; };
    std::printf("\n%-16s %9s %9s %9s   %-12s %-12s %s\n", "median", "player", "gst-play", "mpv", "vs gst-play",
                "vs mpv", "target");
    row("CPU time, s", cpu, cpu, cpu, 1.0, 0.6);
    if (std::all_of(std::begin(sides), std::end(sides), [](const std::vector<Run>& v) {
          return std::all_of(v.begin(), v.end(), [](const Run& r) { return r.serverCpuSeconds >= 0; });
        })) {
      auto withServers = [](const Run& r) { return r.cpuSeconds + r.serverCpuSeconds; };
      row("+ X, sound, s", withServers, withServers, withServers, 0);
    }
    row("peak RSS, MB", rss, rss, rss, 1.3);
    row("own VmHWM, MB", own, own, own, 0);
    if (frames) row("first frame, ms", playerFrame, paused, shown, 1.2);
    else std::printf("first frame: not seen on every run\n");
    std::vector<double> idleRss, idleHwm;
    for (const Run& r : idle) idleRss.push_back(r.lastRssMb), idleHwm.push_back(r.ownHwmMb);
    const double idleMedian = Median(idleRss);
    std::printf("idle player, MB  %9.2f (VmRSS after %.0f s, no file; own peak %.2f)  target <= 50 MB %s\n",
                idleMedian, kIdleSeconds, Median(idleHwm), idleMedian <= 50 ? "ok" : "OVER");
    std::printf("\n+ X, sound: CPU time with the X server's and the sound server's over the run\n");
    std::printf("peak RSS: ru_maxrss from wait4, children included (the player's OpenGL probe);\n"
                "own VmHWM: the process alone, read every 0.1 s until it ended\n");
    std::printf("first frame, player: %s\n", traced ? "its trace of the first frame drawn in its window"
                                                    : "its video sink committing PAUSED (no drawn frame traced)");
    std::printf("first frame, gst-play: its video sink committing PAUSED, after showing the preroll frame;\n"
                "first frame, mpv: its log of the first video frame shown;\n"
                "  log times anchored to CLOCK_MONOTONIC, late by the pipe's quickest delivery\n");
    std::fflush(stdout);
  }

  if (audio) {
    // No bus log here: nothing is timed, and logging costs CPU of its own.
    std::map<std::string, std::string> audioEnv = playerEnv, peerEnv;
    audioEnv.erase("GST_DEBUG");
    audioEnv.erase("ORVANE_TRACE_FIRST_FRAME");
    std::vector<std::string> gstPlayAudio = {"gst-play-1.0", "--no-interactive"};
    if (!audioSink.empty()) gstPlayAudio.insert(gstPlayAudio.end(), {"--audiosink", audioSink});
    const fs::path commandLog = work / "commands.txt";
    audioEnv["ORVANE_COMMAND_LOG"] = commandLog.string();
    // Space to the player's window, as a user pauses; its command log says whether it paused.
    auto pause = [&](pid_t pid) -> std::string {
      const std::string id = std::to_string(pid);
      Run key = RunChild({"sh", "-c",
                          "w=$(timeout 5 xdotool search --sync --onlyvisible --pid " + id +
                              " | head -n 1) && [ -n \"$w\" ] && xdotool windowfocus --sync \"$w\" key space"},
                         {});
      if (!key.error.empty()) return "pausing the player failed: " + key.error;
      for (int i = 0; i < 20; ++i) {
        if (auto log = platform::ReadWholeFile(commandLog.string()); log && log->find("Play/Pause") != std::string::npos)
          return "";
        ::usleep(50'000);
      }
      return "the player ran no Play/Pause after space";
    };
    std::printf("%saudio only: %s; %d runs each, in turn; audio: %s\n", video ? "\n" : "", mp3.c_str(), runs,
                audioSink.empty() ? "default output" : audioSink.c_str());
    std::vector<double> ours, peer, pausedCpu, idleCpu;
    for (int round = 1; round <= runs; ++round) {
      ChildOptions play;
      play.minWallSeconds = kMp3Seconds * 0.75;
      if (!freshFolder(false)) return fs::remove_all(work, ec), 1;
      Run run = RunChild({(folder / "OrvanePlayer").string(), mp3}, audioEnv, play);
      if (run.error.empty()) {
        std::printf("run %d %-8s cpu %5.2f s  rss %5.1f MB  wall %4.1f s  (MP3)\n", round, "player", run.cpuSeconds,
                    run.maxRssMb, run.wallSeconds);
        ours.push_back(run.cpuSeconds);
        std::vector<std::string> args = gstPlayAudio;
        args.push_back(mp3);
        run = RunChild(args, peerEnv, play);
      }
      if (run.error.empty()) {
        std::printf("run %d %-8s cpu %5.2f s  rss %5.1f MB  wall %4.1f s  (MP3)\n", round, "gst-play", run.cpuSeconds,
                    run.maxRssMb, run.wallSeconds);
        peer.push_back(run.cpuSeconds);
        ChildOptions paused;
        paused.actAt = kPauseAt;
        paused.act = pause;
        paused.cpuFrom = kQuietFrom;
        paused.cpuTo = kQuietTo;
        paused.stopAfterSeconds = kQuietTo + 0.5;
        fs::remove(commandLog, ec);
        if (!freshFolder(false)) return fs::remove_all(work, ec), 1;
        run = RunChild({(folder / "OrvanePlayer").string(), mp3}, audioEnv, paused);
        if (run.error.empty() && run.windowCpuPercent < 0) run.error = "the paused player ended before it was counted";
      }
      if (run.error.empty()) {
        std::printf("run %d %-8s cpu %5.2f %% of a core  (MP3 paused at %.0f s, counted %.0f-%.0f s)\n", round,
                    "paused", run.windowCpuPercent, kPauseAt, kQuietFrom, kQuietTo);
        pausedCpu.push_back(run.windowCpuPercent);
        ChildOptions still;
        still.cpuFrom = kQuietFrom;
        still.cpuTo = kQuietTo;
        still.stopAfterSeconds = kQuietTo + 0.5;
        if (!freshFolder(false)) return fs::remove_all(work, ec), 1;
        run = RunChild({(folder / "OrvanePlayer").string()}, audioEnv, still);
        if (run.error.empty() && run.windowCpuPercent < 0) run.error = "the idle player ended before it was counted";
      }
      if (run.error.empty()) {
        std::printf("run %d %-8s cpu %5.2f %% of a core  (no file, counted %.0f-%.0f s)\n", round, "idle",
                    run.windowCpuPercent, kQuietFrom, kQuietTo);
        idleCpu.push_back(run.windowCpuPercent);
      }
      std::fflush(stdout);
      if (!run.error.empty()) {
        std::fprintf(stderr, "run %d, audio only: %s\n", round, run.error.c_str());
        return fs::remove_all(work, ec), 1;
      }
    }
    auto spread = [](const std::vector<double>& v) {
      char text[48];
      std::snprintf(text, sizeof text, "(%.2f-%.2f)", *std::min_element(v.begin(), v.end()),
                    *std::max_element(v.begin(), v.end()));
      return std::string(text);
    };
    const double oursCpu = Median(ours), peerCpu = Median(peer), pausedMedian = Median(pausedCpu),
                 idleMedian = Median(idleCpu);
    std::printf("\n%-16s %9s %9s   %-12s %s\n", "median", "player", "gst-play", "vs gst-play", "target");
    std::printf("%-16s %9.2f %9.2f   %6.2fx %-4s  <= 1.20x   runs: player %s, gst-play %s\n", "MP3 CPU, s", oursCpu,
                peerCpu, oursCpu / peerCpu, oursCpu / peerCpu <= 1.2 ? "ok" : "OVER", spread(ours).c_str(),
                spread(peer).c_str());
    std::printf("%-16s %9.2f %% of a core, paused on the MP3  target < 1 %% %s   runs: %s\n", "paused player", pausedMedian,
                pausedMedian < 1 ? "ok" : "OVER", spread(pausedCpu).c_str());
    std::printf("%-16s %9.2f %% of a core, no file             target < 1 %% %s   runs: %s\n", "idle player", idleMedian,
                idleMedian < 1 ? "ok" : "OVER", spread(idleCpu).c_str());
    std::printf("\nMP3 CPU: user + system time of the whole run (wait4), the player with its spectrum\n"
                "shown and closing itself at the end; paused and idle: utime + stime from /proc/PID/stat\n");
    std::fflush(stdout);
  }

  if (video && minutes > 0) {
    // Each side plays the clip over and over for the whole time, then is stopped.
    const double seconds = minutes * 60.0;
    std::printf("\nlong play, %d min each, one side after the other (VmRSS, MB):\n", minutes);
    std::printf("%-10s %12s %12s %12s %12s\n", "side", "after 1 min", "at the end", "own peak", "growth");
    for (int side = 0; side < kSides; ++side) {
      if (side == kPlayer && !freshFolder(true)) break;
      ChildOptions options = side == kMpv ? mpvOptions : ChildOptions{};
      options.stopAfterSeconds = seconds;
      options.rssAtSeconds = std::min(60.0, seconds);
      options.limitNs = static_cast<long long>((seconds + 60) * 1e9);
      std::vector<std::string> args;
      if (side == kPlayer) {
        args = {(folder / "OrvanePlayer").string(), clip};
      } else if (side == kGstPlay) {
        // gst-play-1.0 has no loop: the clip as often as the time holds, and one more.
        args = gstPlayArgs;
        for (int i = 0; i <= static_cast<int>(seconds / kClipSeconds) + 1; ++i) args.push_back(clip);
      } else {
        args = mpvArgs;
        args.insert(args.end(), {"--loop-file=inf", clip});
      }
      // No bus log: nothing is timed here.
      std::map<std::string, std::string> quiet = side == kPlayer ? playerEnv : common;
      quiet.erase("GST_DEBUG");
      Run run = RunChild(args, quiet, options);
      if (!run.error.empty()) {
        std::fprintf(stderr, "long play, %s: %s\n", kSideNames[side], run.error.c_str());
        continue;
      }
      std::printf("%-10s %12.1f %12.1f %12.1f %+11.1f\n", kSideNames[side], run.rssAtMb, run.lastRssMb,
                  run.ownHwmMb, run.lastRssMb - run.rssAtMb);
      std::fflush(stdout);
    }
  }
  fs::remove_all(work, ec);
  return 0;
}
