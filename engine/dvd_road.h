#pragma once
// Type 2: a DVD on the DVD engine. Besides the road's operations it holds
// the DVD list and what the window's DVD items and the mouse on the picture do.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/dvd_engine.h"
#include "engine/dvd_list.h"
#include "engine/session_road.h"
#include "engine/session_view.h"
#include "platform/prompt.h"

namespace engine {

class Session;

inline constexpr const char* kDvdNotReady = "DVD光盘没有准备好!";
inline constexpr const char* kDvdInvalid = "DVD光盘无效或错误!";

class DvdRoad final : public SessionRoad {
 public:
  DvdRoad(Session& session, SessionView& view, platform::Prompt& prompt)
      : session_(session), view_(view), prompt_(prompt) {}
  void SetGraph(DvdGraph* graph) { graph_ = graph; }
  DvdGraph* Graph() const { return graph_; }

  // The DVD list and its parsed items (the play list page shows the lines).
  std::vector<std::string> DvdList;
  std::vector<DvdItem> DvdItems;
  std::int64_t DvdPosition = 0;     // seconds into the title, set by the tick
  std::int64_t DvdTitleLength = 0;  // seconds
  // Grows whenever the sub-picture, audio-language and angle submenus must be
  // rebuilt at their next opening.
  unsigned MenusGeneration = 0;

  // Closes what plays, opens the disc or folder at `path` and shows its
  // navigation; a disc that cannot be read is reported once and leaves the
  // ready state. DvdPath becomes the path either way.
  bool OpenDvd(const std::string& path);
  // The next OpenDvd starts in this title and moves to `seconds` once it
  // shows: the resume of the last session.
  void ResumeAt(int title, std::int64_t seconds);
  void JumpToDvdItem(int index);
  // Play while the play type is DVD.
  void PlayDvd();
  void ShowDvdMenu(int menu);
  // The mouse over the video panel (panel coordinates): the button under it
  // is highlighted; its number (1..36) or 0.
  int DvdMouseMove(int x, int y);
  // The title and chapter of the picture shown; false in menus.
  bool CurrentTitle(int* title, int* chapter);

  // The three submenus' contents: ISO 639 codes, one per language, in stream
  // order; false when the disc cannot say (the items are disabled then).
  bool SubpictureLanguages(std::vector<std::string>* codes);
  bool AudioLanguages(std::vector<std::string>* codes);
  // Entry p of the sub-picture submenu (0 "off", 1 the separator, languages
  // from 2) selects stream p - 2; of the audio submenu, stream p.
  void SelectSubpicture(int position);
  void SubpictureOff();
  bool SelectAudio(int position);
  // Angles of the title (0: none known) and the one chosen, kept while the disc plays.
  int AngleCount();
  int ChosenAngle() const { return chosenAngle_; }
  void SelectAngle(int angle);

  // SessionRoad
  bool Open(const std::string& path) override;
  void Close() override;
  void Pause() override;
  void Resume() override;
  bool TogglesPlayPause() const override { return true; }
  bool TakesToggle() override;
  bool EngineOpen() const override { return graph_ && graph_->Exists(); }
  bool TickPosition() override;
  void StopAtEnd() override;
  bool FollowsPlayMode() const override { return false; }
  void StepPrevNext(bool next) override;
  void SeekSeconds(std::int64_t seconds) override;
  void SeekFromBar(int offset, int travel) override;
  void Skip(int direction) override;
  std::string Accelerate() override;
  std::string Decelerate() override;
  void GotoCommand() override;
  void ApplyMute() override;
  void FitVideo() override;
  std::string DurationText() override;

 private:
  bool OpenDisc(const std::string& path, bool keepWindow);
  void FillDvdList();
  void ShowDvdNavigation();
  void ShowMenuDomain();
  bool ShowTitleDomain();
  bool ReopenAtSamePlace();
  bool InTitle();
  bool ReadyToMove();
  // A point of the video panel in the picture's own coordinates.
  bool ToVideo(int x, int y, int* vx, int* vy);

  Session& session_;
  SessionView& view_;
  platform::Prompt& prompt_;
  DvdGraph* graph_ = nullptr;
  int mouseX_ = 0, mouseY_ = 0;
  bool menuStatus_ = false;  // the status reads "播放菜单"
  // Ticks left to wait for the navigator to leave a menu after a button was
  // activated or an item jumped to: it shows the title only once the title's
  // first picture is out, and a loaded machine takes longer than one tick.
  int leavingMenuTicks_ = 0;
  int chosenAngle_ = 1;
  // The viewer's sub-picture and audio choices on this disc, given again
  // when the disc is opened again at the same place (-1: none made).
  int chosenSubpicture_ = -1, chosenAudio_ = -1;
  bool subpicturesOff_ = false;
  int resumeTitle_ = 0;
  std::int64_t resumeSeconds_ = 0;
  // Where the next open starts: the navigator cannot leave a still menu for
  // a title it is told to play, so a jump from a menu opens the disc there.
  int startTitle_ = 0, startChapter_ = 0;
};

}  // namespace engine
