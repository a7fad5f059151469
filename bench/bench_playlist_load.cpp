// Start-up with a stored play list of 10,000 entries: the main window made,
// the list loaded and its page shown, against reading the file alone.
//
//   cmake --build build --target bench_playlist_load
//   QT_QPA_PLATFORM=offscreen ./build/bench/bench_playlist_load [--entries N] [--runs N]
//
// The window runs on its real engines in a fresh program folder beside the
// built skin; the list's last file does not exist, so nothing is played and
// only the list's own cost is measured. Medians of the runs are printed.
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/main_form.h"
#include "app/qt_prompt.h"
#include "engine/gst_audio_stream.h"
#include "engine/gst_file_graph.h"
#include "engine/media_detector.h"
#include "platform/safe_file.h"

namespace {
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
}  // namespace

int main(int argc, char** argv) {
  int entries = 10000, runs = 5;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--entries") entries = std::atoi(argv[i + 1]);
    if (std::string(argv[i]) == "--runs") runs = std::atoi(argv[i + 1]);
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);

  char t[] = "/tmp/orvane-bench-XXXXXX";
  const std::string root = ::mkdtemp(t);
  for (const char* d : {"/Ini", "/Project", "/Temp"}) ::mkdir((root + d).c_str(), 0755);
  ::symlink(ORVANE_PROGRAM_DIR "/Skin", (root + "/Skin").c_str());
  std::string list;
  for (int i = 0; i < entries; ++i) list += "/nowhere/clip-" + std::to_string(i) + ".mp4===0\r\n";
  const std::string listFile = root + "/Project/PlayFileList";

  std::vector<double> read, window;
  engine::GstFileGraph graph;
  engine::MediaDetector detector;
  engine::GstAudioStream audio;
  app::QtPrompt prompt;
  for (int run = 0; run < runs; ++run) {
    platform::WriteFileAtomically(listFile, list);
    auto start = Clock::now();
    std::optional<std::string> text = platform::ReadWholeFile(listFile);
    read.push_back(Since(start));
    if (!text) return 1;

    app::MainFormParts parts{&graph, &audio, &prompt, root, {}, &detector, engine::kRendererMixer7,
                             nullptr};
    start = Clock::now();
    {
      app::TOrvaneMain_Form form(parts);
      form.show();
      form.FormShow();
      form.FormActivate();
      QCoreApplication::processEvents();
      window.push_back(Since(start));
      if (form.playList().Count() != entries || !form.PlayListShown) {
        std::fprintf(stderr, "the list was not shown (%d entries)\n", form.playList().Count());
        return 1;
      }
    }
    ::unlink((root + "/Ini/Default.ini").c_str());
  }
  std::system(("rm -rf '" + root + "'").c_str());
  const double r = Median(read), w = Median(window);
  std::printf("play list of %d entries, medians of %d runs\n", entries, runs);
  std::printf("  read the file:                    %8.2f ms\n", r);
  std::printf("  window made, list loaded, shown:  %8.2f ms  (%.0fx the read; target < 1000 ms)\n",
              w, r > 0 ? w / r : 0.0);
  return 0;
}
