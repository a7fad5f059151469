// OrvanePlayer: program entry.
#include <QApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_form.h"
#include "app/qt_prompt.h"
#include "app/video_surface.h"
#include "engine/dvd_gst_graph.h"
#include "engine/gst_audio_stream.h"
#include "engine/gst_file_graph.h"
#include "engine/gst_pip_graph.h"
#include "engine/media_detector.h"
#include "engine/media_engines.h"
#include "engine/session.h"
#include "platform/media_path.h"
#include "platform/process_memory.h"
#include "platform/program_folders.h"

int main(int argc, char** argv) {
  platform::KeepFreedMemoryReturnable();
  // "/o" and "/a" must reach us exactly as given, before Qt takes its options.
  std::vector<std::string> args(argv + 1, argv + argc);
  // Window placement, stay-on-top and the global hot key need X11.
  if (std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  // The OpenGL question takes a child process a moment: asked now, answered
  // when the renderer is chosen. A forced 1007 or 1000 does not need it.
  app::OpenGlProbe openGl(app::GlProbeProgram(platform::ExecutableDirectory()));
  const std::string forced = std::getenv("ORVANE_RENDERER") ? std::getenv("ORVANE_RENDERER") : "";
  if (forced != "1007" && forced != "1000") openGl.Start();
  engine::GstFileGraph graph;
  // The file named at start is built while the window is: the open takes it over.
  const std::vector<std::string> files = app::ShowTimeFiles(args, platform::PathExists);
  if (!files.empty() && platform::IsRegularFile(files.front()) &&
      !engine::IsAudioOnlyFile(files.front()) && forced != "1000")
    graph.PrerollEarly(files.front());
  QApplication application(argc, argv);
  // No application display name: Qt would append it to every window title,
  // and the message boxes' captions must stay exactly as worded. The main
  // window carries the application title itself.

  engine::GstPipGraph pipGraph;
  engine::MediaDetector detector;
  detector.AnswerFrom(&graph);
  engine::GstAudioStream audio;
  engine::GstDvdGraph dvd;
  app::QtPrompt prompt;
  app::MainFormParts parts;
  parts.graph = &graph;
  parts.pipGraph = &pipGraph;
  parts.detector = &detector;
  parts.audio = &audio;
  parts.prompt = &prompt;
  parts.programDirectory = platform::ExecutableDirectory();
  parts.args = args;
  parts.openGl = &openGl;
  parts.dvd = &dvd;
  app::TOrvaneMain_Form form(parts);
  prompt.SetParent(&form);
  form.show();
  return application.exec();
}
