#pragma once
// The one media session: play type, flags, open/close/pause/resume, the
// 100 ms session tick and the end of the media by play mode. What an engine
// does differs by play type and sits in that type's road (session_road.h).
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/audio_only_road.h"
#include "engine/dvd_road.h"
#include "engine/media_detector.h"
#include "engine/media_engines.h"
#include "engine/media_file_road.h"
#include "engine/picture_in_picture_road.h"
#include "engine/pip_graph.h"
#include "engine/session_road.h"
#include "engine/video_fit.h"
#include "engine/session_view.h"
#include "platform/media_path.h"
#include "platform/prompt.h"
#include "playlist/play_list.h"

namespace engine {

inline constexpr const char* kStatusReady = "准备完毕";
inline constexpr const char* kStatusPlaying = "播放中";
inline constexpr const char* kStatusPaused = "暂停";
inline constexpr const char* kStatusStopped = "停止";
inline constexpr const char* kStatusDvdMenu = "播放菜单";

enum PlayTypeValue { kPlayNone = 0, kPlayMedia = 1, kPlayDvd = 2, kPlayPip = 3, kPlayAudio = 4 };

bool IsAudioOnlyFile(const std::string& path);
// A rate as the status shows it: two decimals, halves away from zero.
std::string RateText(double rate);
// The status while playing at `rate`: "播放中", then for another rate than 1 the
// blanks, the rate and `beforeX` before its "x", as each play type words it.
std::string RateStatus(double rate, const char* blanks, const char* beforeX = "");
// File name without its folder.
std::string FileNameOf(const std::string& path);

class Session {
 public:
  Session(MediaGraph& graph, MediaFacts& detector, AudioStream& audio, SessionView& view,
          platform::Prompt& prompt, playlist::PlayList& playList, PipGraph* pipGraph = nullptr);

  // State read by every other room; names as the player's documents use them.
  int PlayType = kPlayNone;
  int RendererKind = kRendererMixer7;
  int PlayMode = 0;
  bool IsPlaying = false;
  bool IsPaused = false;
  int IsStopped = 0;
  bool TickIdle = false;
  bool EverShown = false;  // some media has been shown since the start
  double PlayRate = 1.0;
  std::string CurrentMediaFile;
  std::string PipMediaFileA, PipMediaFileB;
  std::string DvdPath;
  std::int64_t MediaLength = 0;  // 100-ns units
  std::int64_t MediaLengthSeconds = 0;
  std::string MediaDurationText;
  std::int64_t AudioLength = 0;  // seconds
  std::string AudioDurationText;
  std::int64_t MediaPositionSeconds = 0;
  std::int64_t LastAudioPositionSeconds = 0;  // shown by the last tick
  int VideoWidth = 1, VideoHeight = 1;
  bool HasVideo = false;  // the open file has a video stream, as the detector found it
  double FrameRate = 0;
  double StreamLength = 0;  // seconds
  int ScaleMode = kScaleKeepOriginal;
  double KeepOriginalRatio = 1.0;  // ratio of mode 0, set by every open
  int SoundLevel = 100;        // Play/SoundLevel, 0 .. 100
  int DirectShowVolume = 0;    // the table value of SoundLevel, hundredths of a decibel
  bool isSlience = false;      // muted
  int SoundBalance = 0;        // 0 stereo, -9999 left only, 9999 right only
  std::array<int, kEqBands> EqEffects{};  // effect handles of the open stream, by band

  // Whether a path may be handed to an engine at all: only a regular file
  // (opening a named pipe would block the window until a writer came).
  std::function<bool(const std::string&)> IsMediaFile = platform::IsRegularFile;

  // PlayControl/WhileOpenMedia, read at every open (1 when unset).
  std::function<int()> ReadWhileOpenMedia;

  // Called when the current media file changes (tag text of audio files).
  std::function<void(const std::string& previous, const std::string& current)> RefreshTagText;
  // Called with the files a play-list change merges into the history.
  std::function<void(const std::vector<std::string>&)> MergeIntoHistory;

  // Opens the current media file with the engine of its kind; true when it plays.
  bool OpenCurrentMedia();
  // Builds and starts the two-file session on PipMediaFileA and PipMediaFileB;
  // true when it plays. Failures are silent.
  bool OpenPip();
  // Picture in picture's own steps: after its graph runs (streams, placement,
  // alpha), and previous/next (the swap).
  std::function<void()> OnPipOpened;
  std::function<void()> OnPipStep;
  // The graph that shows the picture now: the two-file graph while it exists.
  PipGraph& pipGraph() { return *pipGraph_; }
  void CloseSession();
  void ShowMediaInfo();
  void PauseSession();
  void ResumeSession();
  void TogglePlayPause();
  void PlayCommand();
  void StopCommand();
  void SessionTick();

  // The open sequence: close, set the file, open, show. A file that does not
  // open leaves the ready state and is reported once.
  bool OpenFile(const std::string& path);
  // Replaces the play list with the files and opens the first.
  bool OpenFiles(const std::vector<std::string>& files);
  // The open dialog; the chosen files replace the play list and the first plays.
  bool OpenFileCommand();

  void EnterReadyState();
  void ReportOpenFailure(const std::string& path);

  // Previous and next: files step through the play list (wrapping), other
  // types do their road's own step. Only while something is open.
  void PlayPrevious();
  void PlayNext();
  // Plays entry `index` of the play list, from its start position when
  // memoryLastPos is 1 (a position equal to the length plays from 0).
  bool PlayEntry(int index, bool memoryLastPos);
  // Previous_XI and Next_XI: on for files with more than one entry, for
  // picture in picture, and for a DVD list of more than one entry.
  void UpdatePrevNextButtons();
  int DvdListCount = 0;

  // The DVD engine and its road (play type 2).
  void SetDvdEngine(DvdGraph* dvd) { dvdRoad_.SetGraph(dvd); }
  DvdRoad& Dvd() { return dvdRoad_; }
  // Where the picture was last placed in the video panel.
  VideoRect VideoArea;

  // The audio-only path, whatever the current type.
  void SetEqBand(int band, int gain);
  std::int64_t AudioPositionSeconds() const;
  void SeekAudioSeconds(std::int64_t seconds);
  void SeekAudioFromBar(int offset, int travel);

  // Time within the open session. Skip: 1 forward by QuickOnce, 2 back by SlowOnce.
  void SeekSeconds(std::int64_t seconds);
  void SeekFromBar(int offset, int travel);
  void Skip(int direction);
  // The status text for Status_L; empty where rates do not apply.
  std::string Accelerate();
  std::string Decelerate();
  void StepFrame();
  // The go-to dialog, then a seek to the chosen time.
  void GotoCommand();
  // The media properties dialog with the facts recorded at open.
  void ShowMediaProperties();
  // Play/QuickOnce (1) and Play/SlowOnce (2), read at every skip.
  std::function<int(int direction)> ReadSkipSeconds;

  // Volume, mute and channel (volume.cpp). The level is clamped to 0..100.
  void LoadSoundLevel(int stored);
  void SetVolumeLevel(int level);
  // Flips isSlience and silences or restores the output of the play type.
  void ToggleMute();
  // A new SoundBalance, heard only through a graph.
  void SetChannel(int balance);
  // Every graph build ends here: level (or silence while muted) and channel.
  void ApplyGraphAudio(MediaGraph& graph);
  // What the audio stream plays at: level / 100, 0 while muted.
  float AudioStreamVolume() const;

  // The video window and the two ways of fitting it.
  void FitVideo();
  void FitVideoToWindow();
  void FitWindowToVideo();
  // The main window grows or shrinks by what the panel lacks for the video, centred.
  VideoRect ResizeWindowForVideo();
  VideoRect ComputeVideoRect(int mode, int panelWidth, int panelHeight) const;

  // Frame capture: the position of the open media in 100-ns units (false when
  // there is none), and the two files of picture in picture (empty otherwise).
  bool CapturePosition(std::int64_t* units) { return Road().CapturePosition(units); }
  std::pair<std::string, std::string> PipCaptureFiles() const {
    if (PlayType != kPlayPip) return {};
    return {PipMediaFileA, PipMediaFileB};
  }

 private:
  bool OpenAndShow(bool reportFailure);
  void LeaveFailedOpen();
  void EndOfMedia();
  void StopAtEnd();
  bool AdvanceTo(int index, bool leaveFullScreen, bool fullScreenAtOpen = true);
  void StepPlayList(bool next);
  // The road of the current play type.
  SessionRoad& Road();

  void ApplyVideoRect(const VideoRect& rect);
  // The graph showing the picture of the current type.
  MediaGraph& PictureGraph();

  MediaGraph& graph_;
  MediaFacts& detector_;
  AudioStream& audio_;
  SessionView& view_;
  platform::Prompt& prompt_;
  playlist::PlayList& playList_;
  NoPipGraph noPipGraph_;
  PipGraph* pipGraph_;

  // Type 0 takes the road that does nothing.
  SessionRoad noRoad_;
  MediaFileRoad mediaFileRoad_;
  PictureInPictureRoad pictureInPictureRoad_;
  AudioOnlyRoad audioOnlyRoad_;
  DvdRoad dvdRoad_;
};

}  // namespace engine
