// Picture in picture: the player mixing two 720p clips (one pipeline, one
// window) against the two clips played by two gst-play-1.0 processes at once.
// CPU (user + system) and peak memory (ru_maxrss) of each side over the same
// stretch of play, medians of N runs, printed with the player/peers ratios.
//
//   cmake --build build --target bench_pip && scripts/with-test-env ./build/bench/bench_pip
//   [--runs N] [--seconds S] [--renderer 1007|1009] [--audio-sink DESC]
//
// Both clips are made once by gst-launch-1.0 (20 s, 1280 x 720 at 30 fps,
// H.264 + AAC) in the build tree. The player reopens the pair at start as the
// last session; each side is stopped with SIGTERM after S seconds (10 by
// default). The peers draw with ximagesink, unscaled; the player scales both
// pictures to its video area and blends them. The peers' peak memory is the sum
// of the two processes' peaks, which were resident at the same time.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/profile_store.h"
#include "platform/safe_file.h"
#include "settings/default_settings.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

struct Usage {
  double cpu = 0, peakMb = 0;
};

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> all(env);
  for (char** e = environ; *e; ++e) all.emplace_back(*e);
  for (const auto& e : all) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Lets the processes play for `seconds`, stops them and adds up what they used.
Usage PlayFor(const std::vector<pid_t>& pids, double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  Usage total;
  for (pid_t pid : pids) {
    if (pid <= 0) continue;
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    for (int i = 0; i < 100 && ::wait4(pid, &status, WNOHANG, &usage) != pid; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (::kill(pid, 0) == 0) {
      ::kill(pid, SIGKILL);
      ::wait4(pid, &status, 0, &usage);
    }
    total.cpu += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    total.peakMb += usage.ru_maxrss / 1024.0;
  }
  return total;
}

bool MakeClip(const fs::path& path, const char* pattern, int frequency) {
  if (fs::exists(path) && fs::file_size(path) > 0) return true;
  fs::create_directories(path.parent_path());
  const std::string part = path.string() + ".part";
  const std::string command =
      "gst-launch-1.0 -q -e videotestsrc num-buffers=600 pattern=" + std::string(pattern) +
      " horizontal-speed=6 ! video/x-raw,width=1280,height=720,framerate=30/1,format=I420"
      " ! x264enc speed-preset=ultrafast key-int-max=30 ! h264parse ! queue ! mux."
      " audiotestsrc num-buffers=600 samplesperbuffer=1600 volume=0.3 freq=" +
      std::to_string(frequency) +
      " ! audio/x-raw,rate=48000,channels=2 ! audioconvert ! avenc_aac ! aacparse ! queue ! mux."
      " mp4mux name=mux ! filesink location=\"" + part + "\" >/dev/null";
  if (std::system(command.c_str()) != 0) return false;
  fs::rename(part, path);
  return true;
}

// A copy of the program folder whose settings reopen the pair at start.
bool PrepareFolder(const fs::path& from, const fs::path& to, const fs::path& a, const fs::path& b) {
  std::error_code ec;
  fs::create_directories(to, ec);
  for (const auto& entry : fs::directory_iterator(from, ec)) {
    if (entry.path().filename() == "Demo") continue;
    fs::copy(entry.path(), to / entry.path().filename(),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (ec) return false;
  }
  for (const auto& entry : fs::directory_iterator(to / "Ini", ec)) fs::remove(entry.path(), ec);
  const std::string ini = (to / "Ini" / "Default.ini").string();
  using platform::WritePrivateProfileString;
  return platform::WriteFileAtomically(ini, settings::DefaultSettingsFileText()) &&
         WritePrivateProfileString("PlayControl", "LastPlayType", "3", ini) &&
         WritePrivateProfileString("PlayControl", "ReloadLast", "1", ini) &&
         WritePrivateProfileString("PlayControl", "MemoryLastPos", "0", ini) &&
         WritePrivateProfileString("Pip", "pipMediaFileA", a.string(), ini) &&
         WritePrivateProfileString("Pip", "pipMediaFileB", b.string(), ini) &&
         WritePrivateProfileString("Pip", "PositionType", "101", ini) &&
         WritePrivateProfileString("Pip", "SmallPosition", "4", ini);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  double seconds = 10;
  std::string renderer = "1007", audioSink;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    else if (flag == "--seconds") seconds = std::max(1.0, std::atof(argv[i + 1]));
    else if (flag == "--renderer") renderer = argv[i + 1];
    else if (flag == "--audio-sink") audioSink = argv[i + 1];
    else return std::fprintf(stderr, "bench_pip: unknown option %s\n", argv[i]), 2;
  }
  if (audioSink.empty() && std::getenv("ORVANE_AUDIO_SINK")) audioSink = std::getenv("ORVANE_AUDIO_SINK");
  if (!std::getenv("DISPLAY")) return std::fprintf(stderr, "bench_pip: needs an X display\n"), 1;
  const fs::path clips = ORVANE_BENCH_CLIP_DIR;
  const fs::path a = clips / "bench-720p-a.mp4", b = clips / "bench-720p-b.mp4";
  if (!MakeClip(a, "smpte", 440) || !MakeClip(b, "ball", 660))
    return std::fprintf(stderr, "bench_pip: could not make the clips\n"), 1;
  const fs::path player = ORVANE_PLAYER_PATH;
  const fs::path work = fs::temp_directory_path() / ("orvane-bench-pip-" + std::to_string(::getpid()));

  std::vector<double> playerCpu, playerMb, peersCpu, peersMb;
  for (int run = 0; run < runs; ++run) {
    fs::remove_all(work);
    if (!PrepareFolder(player.parent_path(), work, a, b))
      return std::fprintf(stderr, "bench_pip: could not copy the program folder\n"), 1;
    std::vector<std::string> env = {"QT_QPA_PLATFORM=xcb", "ORVANE_RENDERER=" + renderer};
    if (!audioSink.empty()) env.push_back("ORVANE_AUDIO_SINK=" + audioSink);
    const Usage mixed = PlayFor({Spawn({(work / player.filename()).string()}, env)}, seconds);
    std::vector<std::string> peer = {"gst-play-1.0", "--videosink=ximagesink"};
    if (!audioSink.empty()) peer.push_back("--audiosink=" + audioSink);
    std::vector<pid_t> pids;
    for (const fs::path& clip : {a, b}) {
      std::vector<std::string> args = peer;
      args.push_back(clip.string());
      pids.push_back(Spawn(args, {}));
    }
    const Usage apart = PlayFor(pids, seconds);
    std::printf("run %d: player %.2f s CPU, %.1f MB peak; two gst-play-1.0 %.2f s CPU, %.1f MB peak\n",
                run + 1, mixed.cpu, mixed.peakMb, apart.cpu, apart.peakMb);
    playerCpu.push_back(mixed.cpu);
    playerMb.push_back(mixed.peakMb);
    peersCpu.push_back(apart.cpu);
    peersMb.push_back(apart.peakMb);
  }
  fs::remove_all(work);
  const double pc = Median(playerCpu), pm = Median(playerMb), gc = Median(peersCpu), gm = Median(peersMb);
  std::printf("\ntwo 720p clips for %.0f s, renderer %s, medians of %d runs\n", seconds,
              renderer.c_str(), runs);
  std::printf("%-22s %10s %12s\n", "", "CPU s", "peak MB");
  std::printf("%-22s %10.2f %12.1f\n", "player (mixed)", pc, pm);
  std::printf("%-22s %10.2f %12.1f\n", "2 x gst-play-1.0", gc, gm);
  std::printf("%-22s %10.2f %12.2f\n", "ratio player/peers", gc > 0 ? pc / gc : 0, gm > 0 ? pm / gm : 0);
  return 0;
}
