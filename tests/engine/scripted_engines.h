#pragma once
// Small scripted engines for session logic: they can fail, report positions and end.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/media_engines.h"
#include "engine/session_view.h"
#include "platform/prompt.h"

struct ScriptedGraph : engine::MediaGraph {
  std::set<std::string> unplayable;
  std::int64_t length = 100000000;  // 10 s
  std::int64_t current = 0;
  bool exists = false, running = false;
  double rate = 1.0;
  std::vector<std::string> rendered;
  bool RenderFile(const std::string& path, int) override {
    exists = false;
    if (unplayable.count(path)) return false;
    rendered.push_back(path);
    exists = true;
    current = 0;
    return true;
  }
  bool Exists() const override { return exists; }
  void Run() override { running = true; }
  void Pause() override { running = false; }
  void StopWhenReady() override { running = false; }
  void Release() override { exists = running = false; }
  bool GetPositions(std::int64_t* c, std::int64_t* s) override {
    *c = current;
    *s = length;
    return exists;
  }
  void SetPositionAbsolute(std::int64_t c) override { current = c; }
  void SetRate(double r) override { rate = r; }
  void NativeVideoSize(int* w, int* h) const override { *w = 320, *h = 240; }
};

struct ScriptedAudio : engine::AudioStream {
  std::set<std::string> unplayable;
  double lengthSeconds = 0.4;
  std::int64_t position = 0;  // bytes, 1000 per second
  bool open = false, playing = false;
  std::vector<std::string> created;
  bool CreateFileStream(const std::string& path) override {
    open = !unplayable.count(path);
    if (open) created.push_back(path);
    position = 0;
    return open;
  }
  bool IsOpen() const override { return open; }
  void Play(bool restart) override {
    playing = true;
    if (restart) position = 0;
  }
  void Pause() override { playing = false; }
  void Stop() override { playing = false; }
  void Free() override { open = playing = false; }
  std::int64_t LengthBytes() const override { return static_cast<std::int64_t>(lengthSeconds * 1000); }
  std::int64_t PositionBytes() const override { return position; }
  double BytesToSeconds(std::int64_t b) const override { return b / 1000.0; }
  std::int64_t SecondsToBytes(double s) const override { return static_cast<std::int64_t>(s * 1000); }
  void SetPositionBytes(std::int64_t b) override { position = b; }
};

struct RecordingPrompt : platform::Prompt {
  std::vector<std::pair<std::string, std::string>> shown;
  void Inform(const std::string& c, const std::string& t, Icon) override { shown.emplace_back(c, t); }
  bool Ask(const std::string&, const std::string&) override { return false; }
  std::vector<std::string> OpenFiles(const std::string&, const std::string&, const std::string&,
                                     bool) override { return {}; }
  std::string SaveFile(const std::string&, const std::string&, const std::string&,
                       const std::string&) override { return {}; }
  std::string ChooseFolder(const std::string&, const std::string&) override { return {}; }
};

struct RecordingView : engine::SessionView {
  std::string status, time, resolution, name;
  std::map<engine::Timer, bool> timers;
  std::map<engine::Control, bool> controls;
  bool equaliser = false, tag = false;
  int afterPlay = 0, seekResets = 0;
  std::int64_t seekCurrent = -1, seekStop = -1;
  void SetStatusText(const std::string& t) override { status = t; }
  void SetTimeText(const std::string& t) override { time = t; }
  void SetResolutionText(const std::string& t) override { resolution = t; }
  void SetMediaName(const std::string& t) override { name = t; }
  void SetSeekBar(std::int64_t c, std::int64_t s) override { seekCurrent = c, seekStop = s; }
  void ResetSeekBar() override { ++seekResets; }
  void SetTimer(engine::Timer t, bool on) override { timers[t] = on; }
  void EnableControl(engine::Control c, bool on) override { controls[c] = on; }
  void SetEqualiserVisible(bool v) override { equaliser = v; }
  void SetTagVisible(bool v) override { tag = v; }
  void SetMediaFilePanelWidth(int) override {}
  void HidePlayListTool() override {}
  void RefreshButtonPictures() override {}
  void ShowStoppedButtonPictures() override {}
  void RepaintVideo() override {}
  void RepaintSpectrum() override {}
  void RefreshPlayList(int) override {}
  void LeaveFullScreenAtOpen() override {}
  void FullScreenAtOnce() override {}
  void RunAfterPlayAction() override { ++afterPlay; }
};
