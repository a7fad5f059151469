#pragma once
// Picture in picture over a running session: where the small picture stands,
// the alpha of each picture, the swap, the mirrors, the mouse on the picture
// and the reopening of the last pair. No widgets: the window maps the cursors
// and runs the commands these ask for.
#include <optional>
#include <string>

#include "engine/session.h"
#include "engine/video_mixer.h"
#include "platform/prompt.h"
#include "playlist/play_list.h"
#include "settings/settings_store.h"

namespace pip {

inline constexpr int kStandardPosition = 101;
inline constexpr int kFreePosition = 102;
inline constexpr float kAlphaA = 0.8f, kAlphaB = 0.6f;

enum class Edge { Left, Top, Right, Bottom };
enum class Cursor { Default, SizeWE, SizeNS, SizeNWSE, SizeNESW, Hand, SizeAll };
// ReverseType: the small picture's mirror state.
enum Reverse { kNoReverse = 0, kUpDown = 1, kLeftRight = 2, kBoth = 3 };

// Standard positions 1..5: top left, top right, bottom left, bottom right, centre.
engine::NormalisedRect StandardRect(int position);
// A rectangle coordinate as the stored percentage, to the nearest integer.
int Percent(float value);

class PipSession {
 public:
  PipSession(engine::Session& session, engine::VideoMixer& mixer,
             const settings::SettingsStore& store, platform::Prompt& prompt,
             playlist::PlayList& playList);

  // Mixer streams of the big and the small picture; 0 and 1 after every open.
  int StreamA = 0, StreamB = 1;
  int ReverseType = kNoReverse;

  // Picture in picture needs a mixing renderer; without one nothing here acts.
  bool Available() const;
  // Whether a two-file graph is there for the mixer calls to act on.
  bool MixerPresent() const;

  // Builds and starts the session on A and B, the play list holding the pair.
  bool OpenPip(const std::string& fileA, const std::string& fileB);
  // The steps after the graph runs: streams, stored placement, alpha.
  void AfterOpen();
  void SetStandardPosition(int position);
  void SetFreePosition(int left, int top, int right, int bottom);
  void ApplyStoredPipPosition();
  // Moves one edge by the slider's change since `last`, which then follows the slider.
  void MoveEdge(Edge edge, int position, int& last);
  void SetPipAlpha(int stream, int percent);
  void SwapPictures();
  void FlipUpDown();
  void FlipLeftRight();
  void FlipBoth();
  void ResetFlip();
  void DetectReverseType();
  engine::NormalisedRect SmallRect() const;
  // A stream's alpha in whole percent, cut off as the slider shows it.
  int AlphaPercent(int stream) const;

  // The mouse on the video panel (panel pixels). Each answers the cursor to
  // show; a move right after a press answers nothing.
  Cursor MouseDown(int x, int y, Cursor shown);
  std::optional<Cursor> MouseMove(int x, int y, bool leftHeld, engine::Size client);
  // True when the press ended a drag: the window then runs the play command.
  bool MouseUp();

  // The start-up reopening of the stored pair, resumed by the rule of files.
  bool ReloadLastPip(int memoryLastPos, std::int64_t resumeSeconds);

 private:
  void SetSmallRect(const engine::NormalisedRect& rect);
  void StoreFree(const engine::NormalisedRect& rect);

  engine::Session& session_;
  engine::VideoMixer& mixer_;
  const settings::SettingsStore& store_;
  platform::Prompt& prompt_;
  playlist::PlayList& playList_;
  int lastX_ = 0, lastY_ = 0;
  float pressWidth_ = 0, pressHeight_ = 0;
  bool moved_ = false;
  bool skipMove_ = false;
};

}  // namespace pip
