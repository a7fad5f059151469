#pragma once
// A main window on scripted engines in a fresh program folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>

#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/main_form.h"
#include "engine/scripted_engines.h"
#include "platform/safe_file.h"

using app::TOrvaneMain_Form;

namespace {
struct FormFixture : ::testing::Test {
  std::string root;
  platform::ProgramFolders folders;
  ScriptedGraph graph;
  ScriptedDetector detector;
  ScriptedAudio audio;
  RecordingPrompt prompt;
  platform::SystemVolume* systemVolume = nullptr;  // null: the sound server's
  void SetUp() override {
    char t[] = "/tmp/orvane-form-XXXXXX";
    root = ::mkdtemp(t);
    folders = platform::ProgramFoldersFor(root);
    for (const std::string& d : {folders.ini, folders.project, folders.temp})
      ::mkdir(d.c_str(), 0755);
    platform::WriteFileAtomically(root + "/clip.mp4", "x");
    platform::WriteFileAtomically(root + "/song.mp3", "x");
    platform::WriteFileAtomically(root + "/sound.m4a", "x");
    // The generated default skin, so the window shows its real pictures.
    ::symlink(ORVANE_PROGRAM_DIR_DEFAULT "/Skin", (root + "/Skin").c_str());
  }
  void TearDown() override { std::system(("rm -rf '" + root + "'").c_str()); }
  std::string Ini() { return folders.ini + "/Default.ini"; }
  std::unique_ptr<TOrvaneMain_Form> Start(std::vector<std::string> args = {}) {
    app::MainFormParts parts{&graph, &audio, &prompt, root, std::move(args), &detector,
                             engine::kRendererMixer7, systemVolume};
    auto form = std::make_unique<TOrvaneMain_Form>(parts);
    form->FormShow();
    form->FormActivate();
    return form;
  }
};

// The left button as a user works it; a move is a drag with the button held.
inline void Send(QWidget* image, QEvent::Type type, QPointF at = QPointF(2, 2)) {
  if (type == QEvent::Enter) {
    QEnterEvent enter(at, image->mapToGlobal(at), image->mapToGlobal(at));
    QApplication::sendEvent(image, &enter);
  } else if (type == QEvent::Leave) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(image, &leave);
  } else {
    QMouseEvent mouse(type, at, image->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(image, &mouse);
  }
}
}  // namespace
