#include "engine/session.h"

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
                 platform::Prompt& prompt, playlist::PlayList& playList, PipGraph* pipGraph)
    : graph_(graph),
      detector_(detector),
      audio_(audio),
      view_(view),
      prompt_(prompt),
      playList_(playList),
      pipGraph_(pipGraph ? pipGraph : &noPipGraph_),
      mediaFileRoad_(*this, graph, detector, view, prompt),
      pictureInPictureRoad_(*this, *pipGraph_, detector, view, prompt),
      audioOnlyRoad_(*this, audio, view),
      dvdRoad_(*this, view, prompt) {}

SessionRoad& Session::Road() {
  switch (PlayType) {
    case kPlayMedia:
      return mediaFileRoad_;
    case kPlayPip:
      return pictureInPictureRoad_;
    case kPlayAudio:
      return audioOnlyRoad_;
    case kPlayDvd:
      return dvdRoad_;
    default:
      return noRoad_;
  }
}

bool Session::OpenCurrentMedia() {
  // A pipe, device, folder or missing path is refused before anything reads it.
  if (!IsMediaFile || !IsMediaFile(CurrentMediaFile)) return false;
  // The file's kind picks the road; the road sets the play type once it plays.
  SessionRoad& road = IsAudioOnlyFile(CurrentMediaFile) ? static_cast<SessionRoad&>(audioOnlyRoad_)
                                                        : mediaFileRoad_;
  return road.Open(CurrentMediaFile);
}

bool Session::OpenPip() { return pictureInPictureRoad_.Open(PipMediaFileA); }

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
  Road().Close();
  IsPlaying = false;
  IsPaused = false;
  IsStopped = 1;
  EnterReadyState();
  view_.SetTimer(Timer::MediaName, false);
  view_.EnableControl(Control::CaptureButton, false);
  view_.EnableControl(Control::FullButton, false);
  view_.ResetSeekBar();
  view_.HidePlayListTool();
}

void Session::ShowMediaInfo() {
  EverShown = true;
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
  SessionRoad& road = Road();
  view_.SetTimeText(TimeText(0) + " / " + road.DurationText());
  // A sound-only type shows the spectrum, the equaliser and the tag instead of picture controls.
  const bool soundOnly = road.SoundOnly();
  view_.SetTimer(Timer::Spectrum, soundOnly);
  view_.SetEqualiserVisible(soundOnly);
  view_.SetTagVisible(soundOnly);
  view_.EnableControl(Control::SplitterButton, !soundOnly);
  view_.EnableControl(Control::CaptureButton, road.CaptureAvailable());
  view_.EnableControl(Control::FullButton, !soundOnly);
  view_.SetStatusText(kStatusPlaying);
  view_.SetTimer(Timer::Session, true);
  view_.SetTimer(Timer::MediaName, true);
  view_.EnableControl(Control::FileMenuItems, true);
  view_.EnableControl(Control::PlayControlMenuItems, true);
  view_.EnableControl(Control::TransportButtons, true);
  view_.EnableControl(Control::SeekTrack, true);
  UpdatePrevNextButtons();
  view_.RefreshButtonPictures();
}

void Session::PauseSession() {
  Road().Pause();
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
  Road().Resume();
  IsPlaying = true;
  IsPaused = false;
  IsStopped = 0;
  view_.SetTimer(Timer::Session, true);
  view_.SetStatusText(kStatusPlaying);
  view_.EnableControl(Control::TransportButtons, true);
  UpdatePrevNextButtons();
  view_.SetTimer(Timer::MediaName, true);
}

void Session::TogglePlayPause() {
  // With nothing open a pause would mark a session that does not exist as
  // paused; the key plays instead, as the Play/Pause button does.
  if (!IsPlaying) {
    PlayCommand();
    view_.RefreshButtonPictures();
    return;
  }
  if (Road().TakesToggle()) {
    view_.RefreshButtonPictures();
    return;
  }
  if (!Road().TogglesPlayPause()) return;
  if (IsPaused)
    ResumeSession();
  else
    PauseSession();
  view_.RefreshButtonPictures();
}

void Session::PlayCommand() {
  // A disc resumes, plays its title from the first chapter, or opens again.
  if (PlayType == kPlayDvd) {
    dvdRoad_.PlayDvd();
    return;
  }
  if (IsPlaying) {
    ResumeSession();
    return;
  }
  // An emptied or freshly loaded list has no file to play again.
  if (Road().StepsPlayList() && CurrentMediaFile.empty()) return;
  // Picture in picture and DVD reopen through their own sessions; a pair
  // that does not open says nothing.
  if (Road().ReopensOnPlay()) OpenAndShow(PlayType != kPlayPip);
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
  const bool opened = PlayType == kPlayPip ? OpenPip() : OpenCurrentMedia();
  if (!opened) {
    LeaveFailedOpen();
    if (reportFailure) ReportOpenFailure(CurrentMediaFile);
    return false;
  }
  // A reopen after a stop in full screen gets its frame back, as every open does.
  view_.LeaveFullScreenAtOpen();
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
  SessionRoad& road = Road();
  if (!IsPlaying || !road.EngineOpen()) return;
  TickIdle = false;
  IsStopped = 0;
  if (road.TickPosition()) EndOfMedia();
  TickIdle = true;
}

void Session::StopAtEnd() {
  view_.ResetSeekBar();
  view_.SetTimer(Timer::Session, false);
  IsPlaying = false;
  IsStopped = 1;
  // The position shown goes back to 0 and a graph is sought there before it stops.
  Road().StopAtEnd();
  view_.SetTimeText("");
  view_.SetResolutionText("");
  view_.SetStatusText(kStatusStopped);
  CloseSession();
  // The buttons show the stopped state, as after every change of play state.
  view_.RefreshButtonPictures();
  view_.RunAfterPlayAction();
}

bool Session::AdvanceTo(int index, bool leaveFullScreen, bool fullScreenAtOpen) {
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
    return false;
  }
  ShowMediaInfo();
  if (fullScreenAtOpen) view_.FullScreenAtOnce();
  return true;
}

void Session::StepPlayList(bool next) {
  if (!IsPlaying || playList_.Empty()) return;
  if (playList_.PlayListIndex >= playList_.Count()) playList_.PlayListIndex = -1;
  CloseSession();
  playList_.StepIndex(next);
  if (playList_.PlayListIndex < 0) playList_.PlayListIndex = 0;
  AdvanceTo(playList_.PlayListIndex, true, false);
}

void Session::PlayPrevious() {
  if (Road().StepsPlayList())
    StepPlayList(false);
  else
    Road().StepPrevNext(false);
}

void Session::PlayNext() {
  if (Road().StepsPlayList())
    StepPlayList(true);
  else
    Road().StepPrevNext(true);
}

bool Session::PlayEntry(int index, bool memoryLastPos) {
  if (index < 0 || index >= playList_.Count()) return false;
  CloseSession();
  PlayRate = 1.0;
  const std::string path = playList_.PlayListPaths[static_cast<size_t>(index)];
  if (MergeIntoHistory) MergeIntoHistory({path});
  if (!AdvanceTo(index, false)) return false;
  // Text that is not a number plays from the start.
  std::int64_t start = playlist::StartSeconds(playList_.PlayListStartPositions[static_cast<size_t>(index)]);
  const bool audio = PlayType == kPlayAudio;
  if (start == (audio ? AudioLength : UnitsToSeconds(MediaLength))) start = 0;
  if (memoryLastPos && start > 0) {
    if (audio)
      SeekAudioSeconds(start);
    else
      SeekSeconds(start);
  }
  return true;
}

void Session::UpdatePrevNextButtons() {
  bool on = false;
  if (PlayType == kPlayMedia || PlayType == kPlayAudio)
    on = playList_.Count() > 1;
  else if (PlayType == kPlayDvd)
    on = DvdListCount > 1;
  else if (PlayType == kPlayPip)
    on = true;
  view_.EnableControl(Control::PrevNextButtons, on);
}

void Session::EndOfMedia() {
  int mode = Road().FollowsPlayMode() ? PlayMode : 0;
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
      // A file that cannot play is named and passed over; one round at most.
      for (int tries = playList_.Count(); !AdvanceTo(playList_.PlayListIndex, true) && --tries > 0;)
        playList_.StepIndex(true);
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
