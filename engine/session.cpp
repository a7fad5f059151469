#include "engine/session.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

#include "engine/time_text.h"

namespace engine {

bool IsAudioOnlyFile(const std::string& path) {
  static const char* const kExtensions[] = {".mp3", ".mp2", ".mp1", ".ogg", ".wav", ".aif"};
  std::string name = FileNameOf(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot);
  for (const char* e : kExtensions)
    if (::strcasecmp(ext.c_str(), e) == 0) return true;
  return false;
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

Session::Session(MediaGraph& graph, MediaFacts& detector, AudioStream& audio, SessionView& view,
                 platform::Prompt& prompt, playlist::PlayList& playList)
    : graph_(graph),
      detector_(detector),
      audio_(audio),
      view_(view),
      prompt_(prompt),
      playList_(playList) {}

bool Session::OpenCurrentMedia() {
  // A pipe, device, folder or missing path is refused before anything reads it.
  if (!IsMediaFile || !IsMediaFile(CurrentMediaFile)) return false;
  if (IsAudioOnlyFile(CurrentMediaFile)) {
    view_.SetMediaFilePanelWidth(190);
    if (!OpenAudio(CurrentMediaFile)) return false;
    CreateEqEffects();
    return true;
  }
  if (RendererKind != kRendererDefault && RendererKind != kRendererMixer7 &&
      RendererKind != kRendererMixer9)
    return false;
  return BuildFileGraph(CurrentMediaFile);
}

void Session::EnterReadyState() {
  view_.SetTimer(Timer::Session, false);
  view_.EnableControl(Control::FileMenuItems, false);
  view_.EnableControl(Control::PlayControlMenuItems, false);
  view_.EnableControl(Control::DvdMenuItems, false);
  view_.SetStatusText(kStatusReady);
  view_.SetResolutionText("");
  view_.SetTimeText("");
  view_.EnableControl(Control::TransportButtons, false);
  view_.EnableControl(Control::PlayPauseButton, true);
  view_.EnableControl(Control::VolumeTrack, true);
  view_.RepaintVideo();
}

void Session::CloseSession() {
  if (PlayType == kPlayAudio) {
    CloseAudio();
  } else {
    graph_.Release();
    IsPlaying = false;
    IsPaused = false;
    IsStopped = 1;
  }
  EnterReadyState();
  view_.SetTimer(Timer::MediaName, false);
  view_.EnableControl(Control::CaptureButton, false);
  view_.EnableControl(Control::FullButton, false);
  if (PlayType == kPlayAudio) view_.SetTimer(Timer::Spectrum, false);
  view_.ResetSeekBar();
  view_.HidePlayListTool();
  if (PlayType == kPlayAudio) {
    view_.SetTagVisible(false);
    view_.RepaintSpectrum();
  }
}

void Session::ShowMediaInfo() {
  switch (PlayType) {
    case kPlayPip:
      view_.SetMediaName(FileNameOf(PipMediaFileA) + "          " + FileNameOf(PipMediaFileB));
      break;
    case kPlayDvd:
      view_.SetMediaName("Playing Dvd   " + DvdPath);
      break;
    default:
      view_.SetMediaName(FileNameOf(CurrentMediaFile));
  }
  if (PlayType == kPlayAudio) {
    AudioDurationText = TimeText(AudioLength);
    view_.SetTimeText(TimeText(0) + " / " + AudioDurationText);
    view_.SetTimer(Timer::Spectrum, true);
    view_.SetEqualiserVisible(true);
    view_.SetTagVisible(true);
    view_.EnableControl(Control::SplitterButton, false);
    view_.EnableControl(Control::CaptureButton, false);
    view_.EnableControl(Control::FullButton, false);
  } else {
    MediaLengthSeconds = UnitsToSeconds(MediaLength);
    MediaDurationText = TimeText(MediaLengthSeconds);
    view_.SetTimeText(TimeText(0) + " / " + MediaDurationText);
    view_.SetTimer(Timer::Spectrum, false);
    view_.SetEqualiserVisible(false);
    view_.SetTagVisible(false);
    view_.EnableControl(Control::SplitterButton, true);
    view_.EnableControl(Control::CaptureButton, true);
    view_.EnableControl(Control::FullButton, true);
  }
  view_.SetStatusText(kStatusPlaying);
  view_.SetTimer(Timer::Session, true);
  view_.SetTimer(Timer::MediaName, true);
  view_.EnableControl(Control::FileMenuItems, true);
  view_.EnableControl(Control::PlayControlMenuItems, true);
  view_.EnableControl(Control::TransportButtons, true);
  view_.EnableControl(Control::SeekTrack, true);
  view_.RefreshButtonPictures();
}

void Session::PauseSession() {
  if (PlayType == kPlayAudio)
    PauseAudio();
  else if (graph_.Exists())
    graph_.Pause();
  IsPlaying = true;
  IsPaused = true;
  IsStopped = 0;
  view_.SetTimer(Timer::Session, false);
  view_.SetStatusText(kStatusPaused);
  view_.EnableControl(Control::BackwardForwardButtons, false);
  view_.SetTimer(Timer::MediaName, false);
  view_.RefreshButtonPictures();
}

void Session::ResumeSession() {
  if (PlayType == kPlayAudio) {
    PlayAudio();
  } else if (graph_.Exists()) {
    PlayRate = 1.0;
    graph_.SetRate(PlayRate);
    graph_.Run();
  }
  IsPlaying = true;
  IsPaused = false;
  IsStopped = 0;
  view_.SetTimer(Timer::Session, true);
  view_.SetStatusText(kStatusPlaying);
  view_.EnableControl(Control::TransportButtons, true);
  view_.SetTimer(Timer::MediaName, true);
}

void Session::TogglePlayPause() {
  if (PlayType == kPlayDvd) return;  // the DVD domains arrive with DVD playback
  if (IsPaused)
    ResumeSession();
  else
    PauseSession();
  view_.RefreshButtonPictures();
}

void Session::PlayCommand() {
  if (IsPlaying) {
    ResumeSession();
    return;
  }
  if (PlayType == kPlayMedia || PlayType == kPlayAudio) OpenAndShow(true);
  // Picture in picture and DVD reopen through their own sessions.
}

void Session::StopCommand() {
  CloseSession();
  view_.RefreshButtonPictures();
  view_.SetEqualiserVisible(false);
  view_.ShowStoppedButtonPictures();
}

void Session::ReportOpenFailure(const std::string& path) {
  prompt_.Inform(platform::kPromptCaption, "无法播放此文件:\n" + path);
}

// Nothing plays: stay ready rather than claim "播放中" with a dead timer.
void Session::LeaveFailedOpen() {
  IsPlaying = false;
  IsPaused = false;
  EnterReadyState();
  view_.RefreshButtonPictures();
}

bool Session::OpenAndShow(bool reportFailure) {
  if (!OpenCurrentMedia()) {
    LeaveFailedOpen();
    if (reportFailure) ReportOpenFailure(CurrentMediaFile);
    return false;
  }
  ShowMediaInfo();
  view_.FullScreenAtOnce();
  return true;
}

bool Session::OpenFile(const std::string& path) {
  std::string previous = CurrentMediaFile;
  PlayRate = 1.0;
  CloseSession();
  CurrentMediaFile = path;
  if (RefreshTagText) RefreshTagText(previous, CurrentMediaFile);
  if (!OpenCurrentMedia()) {
    LeaveFailedOpen();
    view_.RefreshPlayList(playList_.PlayListIndex);
    ReportOpenFailure(path);
    return false;
  }
  view_.LeaveFullScreenAtOpen();
  view_.RefreshPlayList(playList_.PlayListIndex);
  ShowMediaInfo();
  view_.FullScreenAtOnce();
  return true;
}

bool Session::OpenFileCommand() {
  const std::vector<std::string> files =
      prompt_.OpenFiles("打开文件", "", playlist::kMediaFileFilter, true);
  if (files.empty()) return false;
  return OpenFiles(files);
}

bool Session::OpenFiles(const std::vector<std::string>& files) {
  if (files.empty()) return false;
  playList_.Replace(files);
  if (MergeIntoHistory) MergeIntoHistory(files);
  return OpenFile(files.front());
}

void Session::SessionTick() {
  switch (PlayType) {
    case kPlayMedia:
    case kPlayPip:
      TickMedia();
      break;
    case kPlayAudio:
      TickAudio();
      break;
    default:
      break;  // the DVD tick arrives with DVD playback
  }
}

void Session::TickMedia() {
  if (!IsPlaying || !graph_.Exists()) return;
  TickIdle = false;
  IsStopped = 0;
  std::int64_t current = 0, stop = 0;
  graph_.GetPositions(&current, &stop);
  // Some files only estimate their length at open; the length shown follows it.
  if (stop > 0 && stop != MediaLength) {
    MediaLength = stop;
    MediaLengthSeconds = UnitsToSeconds(MediaLength);
    MediaDurationText = TimeText(MediaLengthSeconds);
  }
  if (stop > 0) view_.SetSeekBar(std::min(current, stop), stop);
  std::int64_t seconds = UnitsToSeconds(current);
  view_.SetTimeText(TimeText(seconds) + " / " + MediaDurationText);
  MediaPositionSeconds = seconds;
  view_.SetResolutionText(std::to_string(VideoWidth) + " × " + std::to_string(VideoHeight));
  // An unknown length (0) or one the position has passed is no end.
  if (stop > 0 && current == stop) EndOfMedia();
  TickIdle = true;
}

void Session::TickAudio() {
  if (!IsPlaying || !audio_.IsOpen()) return;
  TickIdle = false;
  IsStopped = 0;
  std::int64_t seconds = AudioPositionSeconds();
  if (AudioLength != 0) view_.SetSeekBar(seconds, AudioLength);
  view_.SetTimeText(TimeText(seconds) + " / " + AudioDurationText);
  LastAudioPositionSeconds = seconds;
  if (seconds == AudioLength) EndOfMedia();
  TickIdle = true;
}

void Session::StopAtEnd() {
  if (PlayType == kPlayAudio)
    LastAudioPositionSeconds = 0;
  else
    MediaPositionSeconds = 0;
  view_.ResetSeekBar();
  view_.SetTimer(Timer::Session, false);
  IsPlaying = false;
  IsStopped = 1;
  if (PlayType != kPlayAudio) {
    graph_.SetPositionAbsolute(0);
    graph_.StopWhenReady();
  }
  view_.SetTimeText("");
  view_.SetResolutionText("");
  view_.SetStatusText(kStatusStopped);
  CloseSession();
  // The buttons show the stopped state, as after every change of play state.
  view_.RefreshButtonPictures();
  view_.RunAfterPlayAction();
}

void Session::AdvanceTo(int index, bool leaveFullScreen) {
  std::string previous = CurrentMediaFile;
  playList_.PlayListIndex = index;
  CurrentMediaFile = playList_.PlayListPaths[static_cast<size_t>(index)];
  if (RefreshTagText) RefreshTagText(previous, CurrentMediaFile);
  bool opened = OpenCurrentMedia();
  if (opened && leaveFullScreen) view_.LeaveFullScreenAtOpen();
  view_.RefreshPlayList(index);
  if (!opened) {
    LeaveFailedOpen();
    ReportOpenFailure(CurrentMediaFile);
    return;
  }
  ShowMediaInfo();
  view_.FullScreenAtOnce();
}

void Session::EndOfMedia() {
  int mode = PlayType == kPlayPip ? 0 : PlayMode;
  // An empty list has nothing to go on with: it ends as with no play mode.
  if ((mode == 1 || mode == 2) && playList_.Empty()) mode = 0;
  switch (mode) {
    case 0:
      StopAtEnd();
      break;
    case 1: {
      PlayRate = 1.0;
      CloseSession();
      // With no entry selected the list starts from its first entry.
      if (playList_.PlayListIndex < 0 || playList_.PlayListIndex >= playList_.Count())
        playList_.PlayListIndex = 0;
      else
        playList_.StepIndex(true);
      AdvanceTo(playList_.PlayListIndex, true);
      break;
    }
    case 2:
      CloseSession();
      PlayRate = 1.0;
      AdvanceTo(playList_.RandomIndex(), false);
      break;
    case 3:
      PlayRate = 1.0;
      OpenAndShow(true);
      break;
    default:
      break;
  }
}

}  // namespace engine
