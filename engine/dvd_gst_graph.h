#pragma once
// The DVD engine on GStreamer: playbin on the disc's rsndvdbin, navigation
// sent straight to its source element, the facts read with libdvdread and
// libdvdnav from the same folder or device.
#include <gst/gst.h>

#include <memory>
#include <mutex>

#include "engine/dvd_engine.h"
#include "engine/gst_video_out.h"
#include "engine/sound_server.h"

namespace engine {

class DvdDisc;  // the facts side (dvd_disc_facts.cpp)

class GstDvdGraph final : public GstGraph<DvdGraph> {
 public:
  GstDvdGraph();
  ~GstDvdGraph() override;
  GstDvdGraph(const GstDvdGraph&) = delete;
  GstDvdGraph& operator=(const GstDvdGraph&) = delete;

  // MediaGraph: RenderFile opens the disc or folder and waits for its first picture.
  bool RenderFile(const std::string& path, int rendererKind) override;
  void Release() override;
  bool GetPositions(std::int64_t* current, std::int64_t* stop) override;
  void SetPositions(std::int64_t current, int flags) override;
  bool SetRate(double rate) override { return PlayForwards(rate); }
  bool Step() override { return false; }
  void put_Volume(int volume) override;
  void put_Balance(int balance) override;
  void SetVideoPosition(const PixelRect& destination) override;
  void SetWindowPosition(int left, int top, int width, int height) override;
  void Expose() override;

  // DvdGraph
  OpenFailure LastFailure() const override { return failure_; }
  int Titles() override;
  int Chapters(int title) override;
  bool TitleAttributes(int title, DvdVideoAttributes* attributes) override;
  bool TitleSeconds(int title, std::int64_t* seconds) override;
  DvdDomain Domain() override;
  bool Location(int* title, int* chapter, std::int64_t* seconds) override;
  bool PlaybackStuck() override;
  int AudioStreams() override;
  bool AudioLanguage(int stream, std::string* code) override;
  int SubpictureStreams() override;
  bool SubpictureLanguage(int stream, std::string* code) override;
  int CurrentSubpicture() override;
  int Angles() override;
  bool PictureSize(int* width, int* height) override;
  int ButtonAt(int x, int y) override;
  bool PlayTitle(int title) override;
  bool PlayChapterInTitle(int title, int chapter) override;
  bool PlayPrevChapter() override;
  bool PlayNextChapter() override;
  bool ShowMenu(int menu) override;
  bool PlayAtTime(std::int64_t seconds) override;
  bool PlayForwards(double rate) override;
  bool SelectButtonAt(int x, int y) override;
  bool ActivateAtPosition(int x, int y) override;
  bool SelectSubpictureStream(int stream) override;
  bool SetSubpictureState(bool shown) override;
  bool SelectAudioStream(int stream) override;
  bool SelectAngle(int angle) override;

  // What the source's probe saw go by (streaming thread), read on the GUI thread.
  struct Seen {
    int button = 0;                       // the highlighted menu button
    int left = 0, top = 0, right = -1, bottom = -1;  // its rectangle
    int subpicture = -1;                  // logical sub-picture stream chosen
    bool subpictureForcedOnly = false;
    // Where the picture shown is, from the title tags reaching the video sink:
    // the navigator itself reads ahead of what is shown by the queues' length.
    bool placeKnown = false;
    int title = 0, chapter = 0;  // title 0: a menu
    bool still = false;          // a still picture is shown: the clock may rest
  };

 private:
  void DrainBus();
  bool SendToSource(GstEvent* event);
  bool Query(GstFormat format, gint64* value);
  bool SeekSource(GstFormat format, gint64 value);
  bool SendNavigation(GstStructure* structure);
  void ChooseSubpicture(int stream, bool forcedOnly);
  bool StepChapter(int step);
  static GstPadProbeReturn OnSourceEvent(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  static GstPadProbeReturn OnShownEvent(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  int ShownTitle();
  bool SeekSafe();

  GstElement* source_ = nullptr;     // rsndvdsrc inside the disc's bin
  GstPad* sourcePad_ = nullptr;
  PlaybinOutput out_;
  std::unique_ptr<DvdDisc> disc_;
  std::string path_;
  OpenFailure failure_ = OpenFailure::None;
  int kind_ = kRendererMixer7;
  bool ended_ = false;
  int chosenSubpicture_ = -1;  // -1: the disc's own choice
  bool subpictureShown_ = true;
  // The sub-picture request still to reach the stream; shared with the
  // thread that sends it, which may outlive this graph.
  struct Choice {
    std::mutex mutex;
    int stream = 0;
    bool forcedOnly = false;
  };
  std::shared_ptr<Choice> choice_ = std::make_shared<Choice>();

  std::mutex seenMutex_;
  Seen seen_;
  StandingClockWatch clockWatch_;
};

}  // namespace engine
