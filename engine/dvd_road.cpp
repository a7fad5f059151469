// Type 2: opening a disc, its list of titles and chapters, the tick by the
// navigator's domain, moving through a title and the disc's own menus.
#include "engine/dvd_road.h"

#include <algorithm>

#include "engine/session.h"
#include "engine/time_text.h"
#include "engine/volume.h"

namespace engine {

namespace {
// Five seconds of the session's 100 ms tick.
constexpr int kLeavingMenuTicks = 50;

// The picture as shown: the title's display aspect applied to its height.
void DisplaySize(const DvdVideoAttributes& a, int* width, int* height) {
  *height = a.sourceHeight;
  *width = a.wide ? a.sourceHeight * 16 / 9 : a.sourceHeight * 4 / 3;
}

// The disc's rate status has a blank before the "x" of a faster rate.
std::string DvdRateStatus(double rate) { return RateStatus(rate, "    ", rate > 1 ? " " : ""); }
}  // namespace

bool DvdRoad::Open(const std::string& path) {
  chosenSubpicture_ = chosenAudio_ = -1;
  subpicturesOff_ = false;
  return OpenDisc(path, false);
}

// keepWindow: the window stays as it is and the picture is fitted into it.
bool DvdRoad::OpenDisc(const std::string& path, bool keepWindow) {
  Session& s = session_;
  if (path.empty()) {
    prompt_.Inform(platform::kPromptCaption, kDvdInvalid);
    return false;
  }
  if (!graph_) return false;
  if (!graph_->RenderFile(path, s.RendererKind)) {
    std::string text = kDvdInvalid;
    if (graph_->LastFailure() == DvdGraph::OpenFailure::Encrypted)
      text += "\n光盘已加密, 无法读取 (需要 libdvdcss)。";
    prompt_.Inform(platform::kPromptCaption, text);
    return false;
  }
  chosenAngle_ = 1;
  // Told before it runs, the navigator goes straight to the title, and to
  // the resume time in it: once a title shows, a time seek stalls the
  // picture for a second or two while the pipeline fills again.
  if (startTitle_ > 0) {
    if (startChapter_ > 1)
      graph_->PlayChapterInTitle(startTitle_, startChapter_);
    else
      graph_->PlayTitle(startTitle_);
    std::int64_t length = 0;
    if (resumeTitle_ == startTitle_ && resumeSeconds_ > 0 &&
        graph_->TitleSeconds(resumeTitle_, &length) && resumeSeconds_ < length)
      graph_->PlayAtTime(resumeSeconds_);
  }
  startTitle_ = startChapter_ = resumeTitle_ = 0;
  FillDvdList();
  s.KeepOriginalRatio = static_cast<double>(s.VideoHeight) / s.VideoWidth;
  s.HasVideo = true;
  if (keepWindow) {
    s.ApplyGraphAudio(*graph_);
    s.FitVideoToWindow();
  } else {
    const Size screen = view_.ScreenSize();
    view_.ShowMainWindow(ShowMaximisedFor(screen.width, screen.height, s.VideoWidth, s.VideoHeight));
    s.ApplyGraphAudio(*graph_);
    const int whileOpen = s.ReadWhileOpenMedia ? s.ReadWhileOpenMedia() : 1;
    s.PlayType = kPlayDvd;  // the fitting below places this graph's picture
    if (view_.MainWindowMaximised() || whileOpen == 2)
      s.FitVideoToWindow();
    else
      s.FitWindowToVideo();
  }
  graph_->Run();
  s.IsPlaying = true;
  s.IsPaused = false;
  s.IsStopped = 0;
  return true;
}

void DvdRoad::FillDvdList() {
  Session& s = session_;
  s.VideoWidth = std::max(s.VideoWidth, kMinimumVideoWidth);
  s.VideoHeight = std::max(s.VideoHeight, kMinimumVideoHeight);
  DvdVideoAttributes attributes;
  if (graph_->TitleAttributes(1, &attributes)) {
    int width = 0, height = 0;
    DisplaySize(attributes, &width, &height);
    s.VideoWidth = std::max(width, kMinimumVideoWidth);
    s.VideoHeight = std::max(height, kMinimumVideoHeight);
  }
  const int titles = graph_->Titles();
  if (titles <= 0) return;
  DvdList.clear();
  for (int t = 1; t <= titles; ++t) {
    DvdList.push_back(DvdTitleLine(t));
    const int chapters = graph_->Chapters(t);
    if (chapters < 0) break;
    for (int c = 1; c <= chapters; ++c) DvdList.push_back(DvdChapterLine(t, c));
  }
}

bool DvdRoad::OpenDvd(const std::string& path) {
  Session& s = session_;
  s.CloseSession();
  s.DvdPath = path;
  s.PlayRate = 1.0;
  if (!Open(path)) {
    startTitle_ = startChapter_ = resumeTitle_ = 0;
    s.IsPlaying = false;
    s.IsPaused = false;
    s.EnterReadyState();
    view_.RefreshButtonPictures();
    return false;
  }
  view_.LeaveFullScreenAtOpen();
  ShowDvdNavigation();
  return true;
}

void DvdRoad::ShowDvdNavigation() {
  Session& s = session_;
  // The common part of showing a session first, then what a disc shows instead.
  s.ShowMediaInfo();
  DvdItems = ParseDvdList(DvdList);
  s.DvdListCount = static_cast<int>(DvdItems.size());
  ++MenusGeneration;
  view_.EnableControl(Control::FileMenuItems, true);
  view_.EnableControl(Control::DvdMenuItems, true);
  view_.EnableControl(Control::PreviousChapter, false);
  view_.EnableControl(Control::NextChapter, false);
  view_.SetTimer(Timer::Session, true);
  view_.SetTimer(Timer::MediaName, true);
  view_.RefreshButtonPictures();
  view_.EnableControl(Control::PrevNextButtons, false);
  view_.EnableControl(Control::BackwardForwardButtons, false);
  view_.SetStatusText(kStatusDvdMenu);
  menuStatus_ = true;
  view_.SetTimeText("");
  view_.RefreshPlayList(-1);
}

void DvdRoad::ResumeAt(int title, std::int64_t seconds) {
  resumeTitle_ = title;
  resumeSeconds_ = seconds;
  startTitle_ = title;
  startChapter_ = 0;
}

void DvdRoad::JumpToDvdItem(int index) {
  Session& s = session_;
  if (!graph_) return;
  if (index < 0 || index >= static_cast<int>(DvdItems.size())) return;
  const DvdItem item = DvdItems[static_cast<size_t>(index)];
  const int title = item.IsChapter() ? item.a : item.b;
  const int chapter = item.IsChapter() ? item.b : 1;
  if (!graph_->Exists() || graph_->Domain() != kDvdDomainTitle) {
    // Without a graph, or from a menu, the disc opens again at the item.
    startTitle_ = title;
    startChapter_ = chapter;
    if (!OpenDvd(s.DvdPath)) return;
    view_.RefreshPlayList(index);
  } else {
    graph_->PlayChapterInTitle(title, chapter);
  }
  leavingMenuTicks_ = kLeavingMenuTicks;
  view_.SetTimer(Timer::Session, true);
  s.PlayRate = 1.0;
  view_.SetStatusText(kStatusPlaying);
  menuStatus_ = false;
}

void DvdRoad::PlayDvd() {
  Session& s = session_;
  if (!graph_) return;
  if (!graph_->Exists()) {
    OpenDvd(s.DvdPath);
    return;
  }
  if (s.IsPlaying) {
    s.ResumeSession();
    return;
  }
  s.PlayRate = 1.0;
  int title = 0, chapter = 0;
  if (CurrentTitle(&title, &chapter)) graph_->PlayChapterInTitle(title, 1);
}

void DvdRoad::ShowDvdMenu(int menu) {
  if (session_.IsPlaying && graph_ && graph_->Exists()) graph_->ShowMenu(menu);
}

bool DvdRoad::ToVideo(int x, int y, int* vx, int* vy) {
  const VideoRect& area = session_.VideoArea;
  int width = 0, height = 0;
  if (area.width <= 0 || area.height <= 0 || !graph_->PictureSize(&width, &height)) return false;
  *vx = static_cast<int>(static_cast<long long>(x - area.left) * width / area.width);
  *vy = static_cast<int>(static_cast<long long>(y - area.top) * height / area.height);
  return true;
}

int DvdRoad::DvdMouseMove(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
  if (!graph_ || !graph_->Exists()) return 0;
  const int current = graph_->CurrentSubpicture();
  int vx = 0, vy = 0;
  if (!ToVideo(x, y, &vx, &vy)) return 0;
  const int button = graph_->ButtonAt(vx, vy);
  if (button < 1 || button > 36) return 0;
  graph_->SetSubpictureState(true);
  graph_->SelectSubpictureStream(current);
  graph_->SelectButtonAt(vx, vy);
  return button;
}

bool DvdRoad::TakesToggle() {
  if (!graph_ || !graph_->Exists()) return true;
  const DvdDomain domain = graph_->Domain();
  if (domain == kDvdDomainTitle) return false;
  // A click on a menu activates the button under the last mouse point.
  if (domain == kDvdDomainVideoManagerMenu || domain == kDvdDomainVideoTitleSetMenu) {
    int vx = 0, vy = 0;
    if (ToVideo(mouseX_, mouseY_, &vx, &vy)) graph_->ActivateAtPosition(vx, vy);
    session_.IsPlaying = true;
    leavingMenuTicks_ = kLeavingMenuTicks;
    view_.SetTimer(Timer::Session, true);
  }
  return true;
}

void DvdRoad::Close() {
  if (graph_) graph_->Release();
}

void DvdRoad::Pause() {
  if (graph_ && graph_->Exists()) graph_->Pause();
}

void DvdRoad::Resume() {
  if (!graph_ || !graph_->Exists()) return;
  session_.PlayRate = 1.0;
  if (graph_->Rate() != 1.0) graph_->PlayForwards(1.0);
  graph_->Run();
}

bool DvdRoad::CurrentTitle(int* title, int* chapter) {
  std::int64_t seconds = 0;
  return graph_ && graph_->Exists() && graph_->Location(title, chapter, &seconds);
}

bool DvdRoad::InTitle() { return graph_ && graph_->Exists() && graph_->Domain() == kDvdDomainTitle; }

void DvdRoad::ShowMenuDomain() {
  view_.SetStatusText(kStatusDvdMenu);
  menuStatus_ = true;
  view_.SetResolutionText("");
  view_.SetTimeText("");
  view_.ResetSeekBar();
  view_.SetTimer(Timer::Session, false);
  view_.EnableControl(Control::PrevNextButtons, false);
  view_.EnableControl(Control::BackwardForwardButtons, false);
  view_.EnableControl(Control::FileMenuItems, true);
  view_.EnableControl(Control::PlayControlMenuItems, false);
  view_.EnableControl(Control::DvdMenuItems, true);
  view_.EnableControl(Control::PreviousChapter, false);
  view_.EnableControl(Control::NextChapter, false);
  // The buttons' pictures follow the buttons only when refreshed; the tick
  // stops here, so this is once per menu.
  view_.RefreshButtonPictures();
}

bool DvdRoad::ShowTitleDomain() {
  Session& s = session_;
  const bool fromMenu = menuStatus_;
  if (menuStatus_) {
    // A rate step taken while the title was starting still holds.
    view_.SetStatusText(DvdRateStatus(s.PlayRate));
    menuStatus_ = false;
  }
  view_.EnableControl(Control::FileMenuItems, true);
  view_.EnableControl(Control::PlayControlMenuItems, true);
  view_.EnableControl(Control::DvdMenuItems, true);
  view_.SetResolutionText(std::to_string(s.VideoWidth) + " × " + std::to_string(s.VideoHeight));
  int title = 0, chapter = 0;
  std::int64_t seconds = 0;
  if (!graph_->Location(&title, &chapter, &seconds)) return false;
  DvdPosition = seconds;
  std::int64_t length = 0;
  graph_->TitleSeconds(title, &length);
  DvdTitleLength = length;
  s.MediaPositionSeconds = DvdPosition;
  view_.SetTimeText(TimeText(DvdPosition) + " / " + TimeText(DvdTitleLength));
  if (DvdTitleLength > 0) view_.SetSeekBar(std::min(DvdPosition, DvdTitleLength), DvdTitleLength);
  const int chapters = graph_->Chapters(title);
  const bool several = chapters >= 2;
  view_.EnableControl(Control::PreviousChapter, several && chapter != 1);
  view_.EnableControl(Control::NextChapter, several && chapter != chapters);
  view_.EnableControl(Control::BackwardForwardButtons, true);
  if (fromMenu) view_.RefreshButtonPictures();
  return DvdPosition == DvdTitleLength;
}

bool DvdRoad::TickPosition() {
  switch (graph_->Domain()) {
    case kDvdDomainVideoManagerMenu:
    case kDvdDomainVideoTitleSetMenu:
      // The menu the click left is still shown: the tick goes on until the
      // title shows, or stops after a while (the button led to another menu).
      if (leavingMenuTicks_ > 0 && --leavingMenuTicks_ > 0) return false;
      ShowMenuDomain();
      return false;
    case kDvdDomainTitle:
      leavingMenuTicks_ = 0;
      if (graph_->PlaybackStuck()) return ReopenAtSamePlace();
      return ShowTitleDomain();
    case kDvdDomainStop:
      // The disc stopped after the title it showed last: that title has ended.
      DvdPosition = DvdTitleLength;
      return true;
    default:
      return false;
  }
}

// Seen on loaded machines after a seek: the sound server stops taking the
// graph's sound, its clock stands still and the picture with it; neither a
// seek nor a pause mends it. The disc is opened again at the same title and
// time. True (the session ends) only when that fails.
bool DvdRoad::ReopenAtSamePlace() {
  Session& s = session_;
  int title = 0, chapter = 0;
  std::int64_t seconds = 0;
  if (!graph_->Location(&title, &chapter, &seconds)) return false;
  ResumeAt(title, seconds);
  const int angle = chosenAngle_;
  if (!OpenDisc(s.DvdPath, true)) return true;
  if (s.PlayRate != 1.0) graph_->PlayForwards(s.PlayRate);
  if (chosenAudio_ >= 0) graph_->SelectAudioStream(chosenAudio_);
  if (chosenSubpicture_ >= 0 || subpicturesOff_) graph_->SetSubpictureState(!subpicturesOff_);
  if (chosenSubpicture_ >= 0) graph_->SelectSubpictureStream(chosenSubpicture_);
  if (angle != 1) SelectAngle(angle);
  return false;
}

void DvdRoad::StopAtEnd() {
  session_.MediaPositionSeconds = 0;
  graph_->SetPositionAbsolute(0);
  graph_->StopWhenReady();
}

void DvdRoad::StepPrevNext(bool next) {
  if (!graph_ || !graph_->Exists()) return;
  if (next)
    graph_->PlayNextChapter();
  else
    graph_->PlayPrevChapter();
}

void DvdRoad::SeekSeconds(std::int64_t seconds) {
  if (InTitle()) graph_->PlayAtTime(seconds);
}

bool DvdRoad::ReadyToMove() { return session_.IsPlaying && session_.TickIdle && InTitle(); }

void DvdRoad::SeekFromBar(int offset, int travel) {
  if (!ReadyToMove() || travel <= 0) return;
  const std::int64_t target =
      std::clamp<std::int64_t>(DvdTitleLength * offset / travel, 0, DvdTitleLength);
  view_.SetTimeText(TimeText(target) + " / " + TimeText(DvdTitleLength));
  graph_->PlayAtTime(target);
}

void DvdRoad::Skip(int direction) {
  if (!ReadyToMove()) return;
  const auto& read = session_.ReadSkipSeconds;
  std::int64_t target = DvdPosition;
  if (direction == 1)
    target = std::min(DvdPosition + (read ? read(1) : 5), DvdTitleLength);
  else if (direction == 2)
    target = std::max<std::int64_t>(DvdPosition - (read ? read(2) : 5), 0);
  else
    return;
  graph_->PlayAtTime(target);
}

// Without a graph (the title ended) the rates change nothing, the status included.
std::string DvdRoad::Accelerate() {
  if (!graph_ || !graph_->Exists()) return "";
  double& rate = session_.PlayRate;
  rate = rate >= 1 && rate < 8 ? rate * 2 : 1.0;
  const bool taken = graph_->PlayForwards(rate);
  return taken ? DvdRateStatus(rate) : kStatusPlaying;
}

std::string DvdRoad::Decelerate() {
  if (!graph_ || !graph_->Exists()) return "";
  double& rate = session_.PlayRate;
  if (rate > 1)
    rate = 1.0;
  else if (rate > 0)
    rate /= 2;
  else
    rate = 1.0;
  const bool taken = graph_->PlayForwards(rate);
  return taken ? DvdRateStatus(rate) : kStatusPlaying;
}

void DvdRoad::GotoCommand() {
  std::int64_t seconds = 0;
  if (prompt_.AskGotoTime(DvdTitleLength, kPlayDvd, &seconds)) SeekSeconds(seconds);
}

void DvdRoad::ApplyMute() {
  if (graph_ && graph_->Exists())
    graph_->put_Volume(session_.isSlience ? kVolumeSilence : VolumeForLevel(session_.SoundLevel));
}

void DvdRoad::FitVideo() { session_.FitVideoToWindow(); }

std::string DvdRoad::DurationText() { return TimeText(DvdTitleLength); }

namespace {
// Languages in stream order, each once; reading stops at the first stream that fails.
template <typename Read>
void DistinctLanguages(int streams, Read read, std::vector<std::string>* codes) {
  codes->clear();
  for (int i = 0; i < streams; ++i) {
    std::string code;
    if (!read(i, &code)) break;
    if (std::find(codes->begin(), codes->end(), code) == codes->end()) codes->push_back(code);
  }
}
}  // namespace

bool DvdRoad::SubpictureLanguages(std::vector<std::string>* codes) {
  if (!session_.IsPlaying || !graph_ || !graph_->Exists() || graph_->CurrentSubpicture() < 0)
    return false;
  DistinctLanguages(
      graph_->SubpictureStreams(),
      [this](int i, std::string* c) { return graph_->SubpictureLanguage(i, c); }, codes);
  return true;
}

bool DvdRoad::AudioLanguages(std::vector<std::string>* codes) {
  if (!session_.IsPlaying || !graph_ || !graph_->Exists()) return false;
  const int streams = graph_->AudioStreams();
  if (streams <= 0) return false;
  DistinctLanguages(
      streams, [this](int i, std::string* c) { return graph_->AudioLanguage(i, c); }, codes);
  return true;
}

void DvdRoad::SelectSubpicture(int position) {
  if (!graph_ || !graph_->Exists()) return;
  graph_->SetSubpictureState(true);
  graph_->SelectSubpictureStream(position - 2);
  chosenSubpicture_ = position - 2;
  subpicturesOff_ = false;
}

void DvdRoad::SubpictureOff() {
  if (!graph_ || !graph_->Exists()) return;
  graph_->SetSubpictureState(false);
  subpicturesOff_ = true;
}

bool DvdRoad::SelectAudio(int position) {
  if (!graph_ || !graph_->Exists() || !graph_->SelectAudioStream(position)) return false;
  chosenAudio_ = position;
  return true;
}

int DvdRoad::AngleCount() { return graph_ && graph_->Exists() ? graph_->Angles() : 0; }

void DvdRoad::SelectAngle(int angle) {
  chosenAngle_ = angle;
  if (graph_ && graph_->Exists()) graph_->SelectAngle(angle);
}

}  // namespace engine
