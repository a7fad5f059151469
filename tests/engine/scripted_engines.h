#pragma once
// Small scripted engines for session logic: they can fail, report positions and end.
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

#include "engine/media_detector.h"
#include "engine/media_engines.h"
#include "engine/session.h"
#include "engine/session_view.h"
#include "platform/prompt.h"

struct ScriptedGraph : engine::MediaGraph {
  std::set<std::string> unplayable;
  std::int64_t length = 100000000;  // 10 s
  std::int64_t current = 0;
  bool exists = false, running = false;
  double rate = 1.0;
  int volume = 1, balance = 1, steps = 0;
  engine::PixelRect videoPosition{-1, -1, -1, -1};
  std::vector<int> windowPosition;
  std::vector<std::string> rendered;
  bool stuck = false;  // the next tick finds the playback stuck
  void SetVideoOutput(const engine::VideoOutput&) override {}
  bool RenderFile(const std::string& path, int) override {
    exists = running = false;
    if (unplayable.count(path)) return false;
    rendered.push_back(path);
    exists = true;
    current = 0;
    rate = 1.0;
    return true;
  }
  bool Exists() const override { return exists; }
  void Run() override { running = true; }
  void Pause() override { running = false; }
  void Stop() override { running = false; }
  void StopWhenReady() override { running = false; }
  void Release() override { exists = running = false; }
  bool GetPositions(std::int64_t* c, std::int64_t* s) override {
    *c = current;
    *s = length;
    return exists;
  }
  void SetPositions(std::int64_t c, int flags) override {
    if (flags & 3) current = c;
  }
  bool refuseRate = false;
  bool SetRate(double r) override {
    if (refuseRate) return false;
    rate = r;
    return true;
  }
  double Rate() const override { return rate; }
  bool Step() override { return ++steps, exists; }
  void put_Volume(int v) override { volume = v; }
  void put_Balance(int b) override { balance = b; }
  void SetVideoPosition(const engine::PixelRect& d) override { videoPosition = d; }
  void SetWindowPosition(int l, int t, int w, int h) override { windowPosition = {l, t, w, h}; }
  void Expose() override {}
  bool PlaybackStuck() override { return std::exchange(stuck, false); }
};

// Facts of one video stream (or none) for every file.
struct ScriptedDetector : engine::MediaFacts {
  std::vector<engine::DetectedStream> streams{
      {engine::StreamType::Audio, 0, 10, 0, 0}, {engine::StreamType::Video, 25, 10, 320, 240}};
  bool readable = true;
  int opened = 0;
  bool put_Filename(const std::string&) override { return ++opened, readable; }
  int OutputStreams() const override { return readable ? static_cast<int>(streams.size()) : 0; }
  const engine::DetectedStream& Stream(int i) const override { return streams[static_cast<size_t>(i)]; }
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
  float volume = 1.0f;
  void SetVolume(float level) override { volume = level; }
  bool IsActivePlaying() const override { return open && playing; }
  float spectrum[engine::kSpectrumValues] = {};
  bool GetSpectrum(float (&values)[engine::kSpectrumValues]) override {
    const bool heard = IsActivePlaying();
    for (int i = 0; i < engine::kSpectrumValues; ++i) values[i] = heard ? spectrum[i] : 0.0f;
    return heard;
  }
  std::vector<std::tuple<int, float, float, float>> eqSet;
  int effects = 0;
  int AddEqEffect() override { return open ? ++effects : 0; }
  bool SetEqParameters(int h, float c, float b, float g) override {
    eqSet.emplace_back(h, c, b, g);
    return open && h > 0 && h <= effects;
  }
};

struct RecordingPrompt : platform::Prompt {
  std::vector<std::pair<std::string, std::string>> shown;
  void Inform(const std::string& c, const std::string& t, Icon) override { shown.emplace_back(c, t); }
  bool Ask(const std::string&, const std::string& t) override {
    asked.push_back(t);
    return askAnswer;
  }
  std::vector<std::string> openAnswer;  // what the open dialog returns
  std::string openFilter;
  std::vector<std::string> OpenFiles(const std::string&, const std::string&, const std::string& f,
                                     bool) override {
    openFilter = f;
    return openAnswer;
  }
  std::string saveAnswer;  // what the save dialog returns
  std::string SaveFile(const std::string&, const std::string&, const std::string&,
                       const std::string&) override { return saveAnswer; }
  std::string ChooseFolder(const std::string&, const std::string&) override { return {}; }
  // The go-to answer: seconds, or nothing for cancel.
  std::optional<std::int64_t> gotoAnswer;
  std::vector<std::pair<std::int64_t, int>> gotoAsked;  // total length, play type
  bool AskGotoTime(std::int64_t total, int type, std::int64_t* seconds) override {
    gotoAsked.emplace_back(total, type);
    if (gotoAnswer) *seconds = *gotoAnswer;
    return gotoAnswer.has_value();
  }
  std::vector<std::string> properties;
  void ShowMediaProperties(const std::string& path, const std::string& duration, int w, int h,
                           double fps) override {
    properties.push_back(path + "|" + duration + "|" + std::to_string(w) + "x" + std::to_string(h) +
                         "|" + std::to_string(fps));
  }
  std::vector<std::string> about;  // the About box's texts
  void ShowAbout(const std::string&, const std::string& text) override { about.push_back(text); }
  // The history editor: what it was shown, and its result (true: "HistoryTemp" written).
  std::vector<std::vector<std::string>> historyShown;
  bool historyAnswer = false;
  bool ManageHistory(const std::vector<std::string>& history) override {
    historyShown.push_back(history);
    return historyAnswer;
  }
  // Questions and their answer (Ask above answers No).
  std::vector<std::string> asked;
  bool askAnswer = false;
  // The picture save dialog: the chosen name and filter entry.
  std::string saveTypedAnswer;
  int saveTypedFilter = 1;
  std::vector<std::string> saveTypedAsked;  // the file name it started from
  std::string SaveFileOfType(const std::string&, const std::string&, const std::string& name,
                             const std::string&, int* filter) override {
    saveTypedAsked.push_back(name);
    *filter = saveTypedFilter;
    return saveTypedAnswer;
  }
  // The save-option dialog: what it was opened with; no answer is its close box.
  std::vector<platform::SaveOptions> saveOptionsShown;
  std::optional<std::pair<std::string, std::string>> saveOptionsAnswer;
  bool ChooseSaveOption(const platform::SaveOptions& o, std::string* folder,
                        std::string* type) override {
    saveOptionsShown.push_back(o);
    if (!saveOptionsAnswer) return false;
    *folder = saveOptionsAnswer->first;
    *type = saveOptionsAnswer->second;
    return true;
  }
};

struct RecordingView : engine::SessionView {
  std::string status, time, resolution, name;
  std::vector<std::string> times;  // every time text, in order
  std::map<engine::Timer, bool> timers;
  std::map<engine::Control, bool> controls;
  bool equaliser = false, tag = false;
  int afterPlay = 0, seekResets = 0;
  std::int64_t seekCurrent = -1, seekStop = -1;
  void SetStatusText(const std::string& t) override { status = t; }
  void SetTimeText(const std::string& t) override { time = t, times.push_back(t); }
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
  // The controls as the button pictures last showed them.
  std::map<engine::Control, bool> drawn;
  void RefreshButtonPictures() override { drawn = controls; }
  void ShowStoppedButtonPictures() override {}
  void RepaintVideo() override {}
  void RepaintSpectrum() override {}
  void RefreshPlayList(int) override {}
  void LeaveFullScreenAtOpen() override {}
  void FullScreenAtOnce() override {}
  void RunAfterPlayAction() override { ++afterPlay; }

  // A window with a 540 x 380 panel inside 689 x 446, on a 1366 x 768 screen.
  engine::Size panel{540, 380}, window{689, 446}, screen{1366, 768};
  bool maximised = false;
  std::vector<int> moved;
  engine::Size VideoPanelClientSize() const override { return panel; }
  engine::Size MainWindowSize() const override { return window; }
  engine::Size ScreenSize() const override { return screen; }
  bool MainWindowMaximised() const override { return maximised; }
  void ShowMainWindow(bool m) override { maximised = m; }
  void MoveMainWindow(int l, int t, int w, int h) override {
    moved = {l, t, w, h};
    panel.width += w - window.width;
    panel.height += h - window.height;
    window = {w, h};
  }
};

// A session on scripted engines with a recording window and prompt.
struct ScriptedSessionParts {
  ScriptedGraph graph;
  ScriptedDetector detector;
  ScriptedAudio audio;
  RecordingView view;
  RecordingPrompt prompt;
  playlist::PlayList list;
  engine::Session session{graph, detector, audio, view, prompt, list};
  // The scripted engines play made-up paths that name no real file.
  ScriptedSessionParts() { session.IsMediaFile = [](const std::string&) { return true; }; }
};

// A scripted disc: its facts and navigator state are set by the test, and the
// commands it was given are recorded.
struct ScriptedDvdGraph : engine::DvdGraph {
  bool readable = true, exists = false, running = false;
  engine::DvdDomain domain = engine::kDvdDomainVideoManagerMenu;
  std::vector<int> chapters{3, 1};  // per title
  std::vector<std::int64_t> titleSeconds{5400, 120};
  engine::DvdVideoAttributes attributes{720, 480, false};
  int title = 0, chapter = 0;
  std::int64_t seconds = 0;
  std::vector<std::string> audio{"en", "fr"}, subpictures{"en", "de"};
  int currentSubpicture = 0, angles = 1, angle = 1;
  bool subpictureShown = true;
  double rate = 1.0;
  bool refuseRate = false;
  bool stuck = false;  // the next tick finds the playback stuck
  int opens = 0;
  std::vector<std::string> commands;  // in order, e.g. "time 60", "rate 2.00", "menu 3"

  void SetVideoOutput(const engine::VideoOutput&) override {}
  bool RenderFile(const std::string&, int) override {
    ++opens;
    exists = readable;
    domain = engine::kDvdDomainVideoManagerMenu;
    title = chapter = 0;
    seconds = 0;
    return readable;
  }
  bool Exists() const override { return exists; }
  void Run() override { running = true; }
  void Pause() override { running = false; }
  void Stop() override { running = false; }
  void StopWhenReady() override { running = false, commands.push_back("stop when ready"); }
  void Release() override { exists = running = false; }
  bool GetPositions(std::int64_t* c, std::int64_t* s) override {
    *c = seconds * 10000000;
    *s = title > 0 ? titleSeconds[static_cast<size_t>(title - 1)] * 10000000 : 0;
    return exists;
  }
  void SetPositions(std::int64_t c, int flags) override {
    if (flags & 3) PlayAtTime(c / 10000000);
  }
  bool SetRate(double r) override { return PlayForwards(r); }
  double Rate() const override { return rate; }
  bool Step() override { return false; }
  void put_Volume(int) override {}
  void put_Balance(int) override {}
  void SetVideoPosition(const engine::PixelRect&) override {}
  void SetWindowPosition(int, int, int, int) override {}
  void Expose() override {}

  OpenFailure LastFailure() const override { return readable ? OpenFailure::None : OpenFailure::Unreadable; }
  int Titles() override { return static_cast<int>(chapters.size()); }
  int Chapters(int t) override {
    return t >= 1 && t <= Titles() ? chapters[static_cast<size_t>(t - 1)] : -1;
  }
  bool TitleAttributes(int, engine::DvdVideoAttributes* a) override { return *a = attributes, true; }
  bool TitleSeconds(int t, std::int64_t* s) override {
    if (t < 1 || t > Titles()) return false;
    *s = titleSeconds[static_cast<size_t>(t - 1)];
    return true;
  }
  engine::DvdDomain Domain() override { return exists ? domain : engine::kDvdDomainNone; }
  bool PlaybackStuck() override { return std::exchange(stuck, false); }
  bool Location(int* t, int* c, std::int64_t* s) override {
    if (!exists || title <= 0) return false;
    *t = title, *c = chapter, *s = seconds;
    return true;
  }
  int AudioStreams() override { return static_cast<int>(audio.size()); }
  bool AudioLanguage(int i, std::string* code) override {
    if (i < 0 || i >= AudioStreams()) return false;
    return *code = audio[static_cast<size_t>(i)], true;
  }
  int SubpictureStreams() override { return static_cast<int>(subpictures.size()); }
  bool SubpictureLanguage(int i, std::string* code) override {
    if (i < 0 || i >= SubpictureStreams()) return false;
    return *code = subpictures[static_cast<size_t>(i)], true;
  }
  int CurrentSubpicture() override { return title > 0 ? currentSubpicture : -1; }
  int Angles() override { return angles; }
  bool PictureSize(int* w, int* h) override { return *w = 720, *h = 480, exists; }
  int ButtonAt(int, int) override { return 0; }
  bool PlayTitle(int t) override { return PlayChapterInTitle(t, 1); }
  bool PlayChapterInTitle(int t, int c) override {
    commands.push_back("chapter " + std::to_string(t) + "-" + std::to_string(c));
    domain = engine::kDvdDomainTitle;
    title = t, chapter = c, seconds = 0;
    return true;
  }
  bool PlayPrevChapter() override { return commands.push_back("previous"), true; }
  bool PlayNextChapter() override { return commands.push_back("next"), true; }
  bool ShowMenu(int menu) override { return commands.push_back("menu " + std::to_string(menu)), true; }
  bool PlayAtTime(std::int64_t s) override {
    commands.push_back("time " + std::to_string(s));
    seconds = s;
    return true;
  }
  bool PlayForwards(double r) override {
    commands.push_back("rate " + engine::RateText(r));
    if (refuseRate) return false;
    rate = r;
    return true;
  }
  bool SelectButtonAt(int, int) override { return false; }
  bool ActivateAtPosition(int, int) override { return commands.push_back("activate"), true; }
  bool SelectSubpictureStream(int i) override {
    commands.push_back("subpicture " + std::to_string(i));
    currentSubpicture = i;
    return true;
  }
  bool SetSubpictureState(bool shown) override {
    commands.push_back(shown ? "subpictures on" : "subpictures off");
    subpictureShown = shown;
    return true;
  }
  bool SelectAudioStream(int i) override { return commands.push_back("audio " + std::to_string(i)), true; }
  bool SelectAngle(int a) override { return commands.push_back("angle " + std::to_string(a)), angle = a, true; }
};
