// The DVD graph: playbin on the disc's own bin (rsndvdbin), whose source
// element is the navigator. Commands go to that element as navigation events
// and seeks in its title and chapter formats; its answers come back as queries
// and as the events a pad probe sees leave it (highlighted button, chosen
// sub-picture stream). The picture takes the same sinks as a file's.
#include "engine/dvd_gst_graph.h"

#include <gst/video/navigation.h>
#include <gst/video/video-event.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/dvd_disc_facts.h"
#include "engine/gst_wait.h"
#include "engine/sound_server.h"
#include "engine/video_mixer.h"

namespace engine {

namespace {

// A disc that shows no picture by then is taken as failed rather than hang the window.
constexpr GstClockTime kOpenTimeLimit = 10 * GST_SECOND;
constexpr GstClockTime kSeekTimeLimit = 3 * GST_SECOND;
// A chapter seek lands on the chapter's first frame, give or take a frame.
constexpr std::int64_t kChapterStartSlack = 100;

GstFormat Format(const char* nick) {
  const GstFormat format = gst_format_get_by_nick(nick);
  return format;
}

// The disc's bin makes its navigator without a factory: it is known by its type.
bool IsNavigator(GstElement* element) {
  return std::strcmp(G_OBJECT_TYPE_NAME(element), "resinDvdSrc") == 0;
}

GstElement* FindNavigator(GstBin* bin) {
  GstIterator* it = gst_bin_iterate_recurse(bin);
  GValue item = G_VALUE_INIT;
  GstElement* found = nullptr;
  while (!found && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    auto* element = GST_ELEMENT(g_value_get_object(&item));
    if (IsNavigator(element)) found = GST_ELEMENT(gst_object_ref(element));
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return found;
}

bool DvdEventNamed(GstEvent* event, const char* name) {
  const GstStructure* s = gst_event_get_structure(event);
  if (!s || !gst_structure_has_name(s, "application/x-gst-dvd")) return false;
  const gchar* what = gst_structure_get_string(s, "event");
  return what && std::strcmp(what, name) == 0;
}

}  // namespace

GstDvdGraph::GstDvdGraph() {
  gst_init(nullptr, nullptr);
  HoldSoundServerLoop();
}

GstDvdGraph::~GstDvdGraph() { Release(); }

GstPadProbeReturn GstDvdGraph::OnSourceEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<GstDvdGraph*>(data);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (!event) return GST_PAD_PROBE_OK;
  const GstStructure* s = gst_event_get_structure(event);
  if (DvdEventNamed(event, "dvd-spu-highlight")) {
    std::lock_guard<std::mutex> lock(self->seenMutex_);
    gst_structure_get_int(s, "button", &self->seen_.button);
    gst_structure_get_int(s, "sx", &self->seen_.left);
    gst_structure_get_int(s, "sy", &self->seen_.top);
    gst_structure_get_int(s, "ex", &self->seen_.right);
    gst_structure_get_int(s, "ey", &self->seen_.bottom);
  } else if (DvdEventNamed(event, "dvd-spu-reset-highlight")) {
    std::lock_guard<std::mutex> lock(self->seenMutex_);
    self->seen_.button = 0;
    self->seen_.right = self->seen_.bottom = -1;
  } else if (DvdEventNamed(event, "dvd-set-subpicture-track")) {
    std::lock_guard<std::mutex> lock(self->seenMutex_);
    // The disc re-chooses at every program chain; a stream the user chose stays.
    if (self->chosenSubpicture_ >= 0 &&
        !gst_structure_has_field(s, "orvane-choice")) {
      GstStructure* mine = gst_structure_copy(s);
      gst_structure_set(mine, "logical-id", G_TYPE_INT, self->chosenSubpicture_, "physical-id",
                        G_TYPE_INT, self->chosenSubpicture_, "forced-only", G_TYPE_BOOLEAN,
                        !self->subpictureShown_, nullptr);
      gst_event_unref(event);
      event = gst_event_new_custom(GST_EVENT_CUSTOM_DOWNSTREAM, mine);
      GST_PAD_PROBE_INFO_DATA(info) = event;
      s = gst_event_get_structure(event);
    }
    int logical = 0;
    // The navigator marks a hidden stream in the high bits.
    if (gst_structure_get_int(s, "logical-id", &logical)) self->seen_.subpicture = logical & 0x1f;
    gboolean forced = FALSE;
    gst_structure_get_boolean(s, "forced-only", &forced);
    self->seen_.subpictureForcedOnly = forced;
  }
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn GstDvdGraph::OnShownEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<GstDvdGraph*>(data);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (!event) return GST_PAD_PROBE_OK;
  gboolean still = FALSE;
  if (gst_video_event_parse_still_frame(event, &still)) {
    std::lock_guard<std::mutex> lock(self->seenMutex_);
    self->seen_.still = still;
    return GST_PAD_PROBE_OK;
  }
  if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
    std::lock_guard<std::mutex> lock(self->seenMutex_);
    self->seen_.still = false;
    return GST_PAD_PROBE_OK;
  }
  if (GST_EVENT_TYPE(event) != GST_EVENT_TAG) return GST_PAD_PROBE_OK;
  GstTagList* tags = nullptr;
  gst_event_parse_tag(event, &tags);
  gchar* text = nullptr;
  if (!tags || !gst_tag_list_get_string(tags, GST_TAG_TITLE, &text)) return GST_PAD_PROBE_OK;
  // "Title 2, Chapter 1[, Angle ...][, disc name]" or "DVD Menu[, disc name]".
  int title = 0, chapter = 0;
  const bool inTitle = std::sscanf(text, "Title %d, Chapter %d", &title, &chapter) == 2;
  const bool inMenu = std::strncmp(text, "DVD Menu", 8) == 0;
  g_free(text);
  if (inTitle || inMenu) {
    std::lock_guard<std::mutex> lock(self->seenMutex_);
    self->seen_.placeKnown = true;
    self->seen_.title = inTitle ? title : 0;
    self->seen_.chapter = inTitle ? chapter : 0;
  }
  return GST_PAD_PROBE_OK;
}

bool GstDvdGraph::RenderFile(const std::string& path, int rendererKind) {
  Release();
  if (path.empty()) return false;
  disc_ = DvdDisc::Open(path, &failure_);
  if (!disc_) return false;
  pipeline_ = gst_element_factory_make("playbin", nullptr);
  if (!pipeline_) {
    disc_.reset();
    failure_ = OpenFailure::Unreadable;
    return false;
  }
  kind_ = rendererKind;
  path_ = path;
  // The disc's bin passes its URI's location on still escaped, so a folder
  // with a blank or CJK in its name would not be found: the path goes to its
  // device property as it is.
  g_object_set(pipeline_, "uri", "dvd://", nullptr);
  g_signal_connect(pipeline_, "source-setup",
                   G_CALLBACK(+[](GstElement*, GstElement* source, gpointer data) {
                     if (g_object_class_find_property(G_OBJECT_GET_CLASS(source), "device"))
                       g_object_set(source, "device", static_cast<const char*>(data), nullptr);
                   }),
                   const_cast<char*>(path_.c_str()));
  // The navigator's own events are watched from the moment it exists.
  g_signal_connect(pipeline_, "deep-element-added",
                   G_CALLBACK(+[](GstBin*, GstBin*, GstElement* element, gpointer data) {
                     auto* self = static_cast<GstDvdGraph*>(data);
                     if (!IsNavigator(element)) return;
                     if (GstPad* pad = gst_element_get_static_pad(element, "src")) {
                       gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM,
                                         OnSourceEvent, self, nullptr);
                       gst_object_unref(pad);
                     }
                   }),
                   this);
  if (out_.SetVideoSink(pipeline_, rendererKind, output_)) {
    if (GstPad* pad = gst_element_get_static_pad(out_.VideoSink(), "sink")) {
      gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, OnShownEvent, this, nullptr);
      gst_object_unref(pad);
    }
  }
  out_.SetAudioSink(pipeline_, pan_);
  g_object_set(pipeline_, "volume", gain_, nullptr);

  bool ok = gst_element_set_state(pipeline_, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE &&
            WaitForAsyncDone(pipeline_, kOpenTimeLimit);
  if (ok) {
    source_ = FindNavigator(GST_BIN(pipeline_));
    if (source_) sourcePad_ = gst_element_get_static_pad(source_, "src");
    ok = sourcePad_ != nullptr;
  }
  if (!ok) {
    Release();
    failure_ = OpenFailure::Unreadable;
    return false;
  }
  rate_ = 1.0;
  ended_ = false;
  return true;
}

void GstDvdGraph::Release() {
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
  }
  if (sourcePad_) gst_object_unref(sourcePad_);
  if (source_) gst_object_unref(source_);
  sourcePad_ = nullptr;
  source_ = nullptr;
  out_.Release();
  if (output_.mixer && kind_ != kRendererDefault) output_.mixer->Reset();
  disc_.reset();
  ended_ = false;
  rate_ = 1.0;
  chosenSubpicture_ = -1;
  subpictureShown_ = true;
  clockWatch_.Reset();
  std::lock_guard<std::mutex> lock(seenMutex_);
  seen_ = Seen();
}

void GstDvdGraph::DrainBus() {
  if (!pipeline_) return;
  GstBus* bus = gst_element_get_bus(pipeline_);
  while (GstMessage* message = gst_bus_pop(bus)) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
      ended_ = true;
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      std::fprintf(stderr, "DVD playback stopped: %s\n", error ? error->message : "unknown error");
      if (error) g_error_free(error);
      ended_ = true;
    }
    gst_message_unref(message);
  }
  gst_object_unref(bus);
}

bool GstDvdGraph::SendToSource(GstEvent* event) {
  if (!sourcePad_) {
    gst_event_unref(event);
    return false;
  }
  // Upstream events enter the navigator through its own pad.
  return gst_pad_send_event(sourcePad_, event);
}

bool GstDvdGraph::Query(GstFormat format, gint64* value) {
  return sourcePad_ && format != GST_FORMAT_UNDEFINED &&
         gst_pad_query_position(sourcePad_, format, value);
}

bool GstDvdGraph::SeekSource(GstFormat format, gint64 value) {
  if (format == GST_FORMAT_UNDEFINED) return false;
  GstState state = GST_STATE_NULL, pending = GST_STATE_NULL;
  gst_element_get_state(pipeline_, &state, &pending, 0);
  const bool sent = SendToSource(gst_event_new_seek(1.0, format, GST_SEEK_FLAG_FLUSH,
                                                    GST_SEEK_TYPE_SET, value, GST_SEEK_TYPE_NONE, -1));
  if (sent) ended_ = false;
  // Before it runs, the graph prerolls at the new place first, so that the
  // first position read afterwards is already there and not the old one.
  if (sent && state == GST_STATE_PAUSED && pending == GST_STATE_VOID_PENDING)
    WaitForAsyncDone(pipeline_, kSeekTimeLimit);
  return sent;
}

bool GstDvdGraph::SendNavigation(GstStructure* structure) {
  return SendToSource(gst_event_new_navigation(structure));
}

bool GstDvdGraph::GetPositions(std::int64_t* current, std::int64_t* stop) {
  if (!pipeline_) return false;
  int title = 0, chapter = 0;
  std::int64_t seconds = 0, total = 0;
  Location(&title, &chapter, &seconds);
  if (title > 0) TitleSeconds(title, &total);
  gint64 position = 0;
  std::int64_t now = 0;
  if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) && position > 0)
    now = position / 100;
  if (ended_) now = total * 10000000;
  if (current) *current = now;
  if (stop) *stop = total * 10000000;
  return true;
}

void GstDvdGraph::SetPositions(std::int64_t current, int flags) {
  if ((flags & 3) == kSeekingNoPositioning) return;
  PlayAtTime(current / 10000000);
}

void GstDvdGraph::put_Volume(int volume) {
  gain_ = GainOf(volume);
  if (pipeline_) g_object_set(pipeline_, "volume", gain_, nullptr);
}

void GstDvdGraph::put_Balance(int balance) {
  pan_ = PanOf(balance);
  out_.SetPan(pan_);
}

void GstDvdGraph::SetVideoPosition(const PixelRect& destination) {
  out_.SetVideoPosition(output_.mixer, kind_, destination);
}

void GstDvdGraph::SetWindowPosition(int left, int top, int width, int height) {
  out_.SetWindowPosition(kind_, left, top, width, height);
}

void GstDvdGraph::Expose() { out_.Expose(kind_); }

int GstDvdGraph::Titles() { return disc_ ? disc_->Titles() : 0; }

int GstDvdGraph::Chapters(int title) { return disc_ ? disc_->Chapters(title) : -1; }

bool GstDvdGraph::TitleAttributes(int title, DvdVideoAttributes* attributes) {
  return disc_ && disc_->Attributes(title, attributes);
}

bool GstDvdGraph::TitleSeconds(int title, std::int64_t* seconds) {
  return disc_ && disc_->Seconds(title, seconds);
}

DvdDomain GstDvdGraph::Domain() {
  if (!pipeline_) return kDvdDomainNone;
  DrainBus();
  if (ended_) return kDvdDomainStop;
  {
    std::lock_guard<std::mutex> lock(seenMutex_);
    if (seen_.placeKnown)
      return seen_.title > 0 ? kDvdDomainTitle : kDvdDomainVideoManagerMenu;
  }
  gint64 title = -1;
  if (!Query(Format("title"), &title) || title < 0) return kDvdDomainFirstPlay;
  return title == 0 ? kDvdDomainVideoManagerMenu : kDvdDomainTitle;
}

int GstDvdGraph::ShownTitle() {
  {
    std::lock_guard<std::mutex> lock(seenMutex_);
    if (seen_.placeKnown) return seen_.title;
  }
  gint64 title = 0;
  return Query(Format("title"), &title) && title > 0 ? static_cast<int>(title) : 0;
}

bool GstDvdGraph::Location(int* title, int* chapter, std::int64_t* seconds) {
  if (!pipeline_) return false;
  int t = 0, c = 0;
  {
    std::lock_guard<std::mutex> lock(seenMutex_);
    t = seen_.title;
    c = seen_.chapter;
    if (!seen_.placeKnown) {
      gint64 title = 0, part = 0;
      if (Query(Format("title"), &title)) t = static_cast<int>(title);
      if (Query(Format("chapter"), &part)) c = static_cast<int>(part);
    }
  }
  if (t <= 0) return false;
  gint64 position = 0;
  // The stream time runs from the start of the title.
  if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) || position < 0)
    position = 0;
  // The navigator names a chapter as it reads it, which is ahead of the
  // picture: the chapter shown is the one whose start the position passed.
  std::vector<std::int64_t> starts;
  if (disc_ && disc_->ChapterStarts(t, &starts)) {
    const std::int64_t ms = position / GST_MSECOND + kChapterStartSlack;
    c = static_cast<int>(std::upper_bound(starts.begin(), starts.end(), ms) - starts.begin());
    c = std::max(c, 1);
  }
  *title = t;
  *chapter = c;
  *seconds = position / GST_SECOND;
  return true;
}

int GstDvdGraph::AudioStreams() {
  const int title = ShownTitle();
  return disc_ && title > 0 ? disc_->AudioStreams(title) : 0;
}

bool GstDvdGraph::AudioLanguage(int stream, std::string* code) {
  const int title = ShownTitle();
  return disc_ && title > 0 && disc_->AudioLanguage(title, stream, code);
}

int GstDvdGraph::SubpictureStreams() {
  const int title = ShownTitle();
  return disc_ && title > 0 ? disc_->SubpictureStreams(title) : 0;
}

bool GstDvdGraph::SubpictureLanguage(int stream, std::string* code) {
  const int title = ShownTitle();
  return disc_ && title > 0 && disc_->SubpictureLanguage(title, stream, code);
}

int GstDvdGraph::CurrentSubpicture() {
  if (ShownTitle() <= 0) return -1;
  std::lock_guard<std::mutex> lock(seenMutex_);
  if (chosenSubpicture_ >= 0) return chosenSubpicture_;
  // Before the disc names one, the first stream is the current one.
  return std::max(seen_.subpicture, 0);
}

int GstDvdGraph::Angles() {
  if (!sourcePad_) return 0;
  GstQuery* query = gst_navigation_query_new_angles();
  guint current = 0, angles = 0;
  if (gst_pad_query(sourcePad_, query)) gst_navigation_query_parse_angles(query, &current, &angles);
  gst_query_unref(query);
  return static_cast<int>(angles);
}

bool GstDvdGraph::PictureSize(int* width, int* height) {
  if (!pipeline_) return false;
  // The disc's bin hands out decoded pictures: their size is the disc's own,
  // before any scaler on the way to the window.
  GstElement* disc = nullptr;
  g_object_get(pipeline_, "source", &disc, nullptr);
  if (!disc) return false;
  bool known = false;
  GstIterator* pads = gst_element_iterate_src_pads(disc);
  GValue item = G_VALUE_INIT;
  while (!known && gst_iterator_next(pads, &item) == GST_ITERATOR_OK) {
    if (GstCaps* caps = gst_pad_get_current_caps(GST_PAD(g_value_get_object(&item)))) {
      const GstStructure* s = gst_caps_get_structure(caps, 0);
      known = gst_structure_has_name(s, "video/x-raw") && gst_structure_get_int(s, "width", width) &&
              gst_structure_get_int(s, "height", height) && *width > 0 && *height > 0;
      gst_caps_unref(caps);
    }
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(pads);
  gst_object_unref(disc);
  return known;
}

// The navigator highlights the button under the mouse as it moves; the
// highlight that comes out says which button that is and where it lies.
int GstDvdGraph::ButtonAt(int x, int y) {
  if (!SelectButtonAt(x, y)) return 0;
  std::lock_guard<std::mutex> lock(seenMutex_);
  const Seen& s = seen_;
  const bool inside = x >= s.left && x <= s.right && y >= s.top && y <= s.bottom;
  return inside ? s.button : 0;
}

// A playing menu may sit in a still picture, which the navigator never leaves
// for a title or chapter seek: the caller would wait for ever. Before the
// graph runs, and in titles, these seeks are safe.
bool GstDvdGraph::SeekSafe() {
  GstState state = GST_STATE_NULL;
  gst_element_get_state(pipeline_, &state, nullptr, 0);
  return state != GST_STATE_PLAYING || Domain() == kDvdDomainTitle;
}

bool GstDvdGraph::PlayTitle(int title) {
  return pipeline_ && SeekSafe() && SeekSource(Format("title"), title);
}

bool GstDvdGraph::PlayChapterInTitle(int title, int chapter) {
  if (!pipeline_ || !SeekSafe()) return false;
  int current = 0, currentChapter = 0;
  std::int64_t seconds = 0;
  if (!Location(&current, &currentChapter, &seconds) || current != title) {
    if (!PlayTitle(title)) return false;
  }
  return chapter == 1 && current != title ? true : SeekSource(Format("chapter"), chapter);
}

// The navigator's own program steps count from where it reads, which runs
// ahead of the picture by the queued data: "next" a second before a chapter's
// end skipped one. Steps are chapter seeks from the chapter shown instead.
bool GstDvdGraph::StepChapter(int step) {
  int title = 0, chapter = 0;
  std::int64_t seconds = 0;
  if (!pipeline_ || !SeekSafe() || !Location(&title, &chapter, &seconds) || chapter < 1)
    return false;
  const int target = chapter + step;
  if (target < 1 || target > Chapters(title)) return false;
  return SeekSource(Format("chapter"), target);
}

bool GstDvdGraph::PlayPrevChapter() { return StepChapter(-1); }

bool GstDvdGraph::PlayNextChapter() { return StepChapter(1); }

bool GstDvdGraph::ShowMenu(int menu) {
  GstNavigationCommand command = GST_NAVIGATION_COMMAND_INVALID;
  switch (menu) {
    case kDvdMenuTitle: command = GST_NAVIGATION_COMMAND_DVD_TITLE_MENU; break;
    case kDvdMenuRoot: command = GST_NAVIGATION_COMMAND_DVD_ROOT_MENU; break;
    case kDvdMenuSubpicture: command = GST_NAVIGATION_COMMAND_DVD_SUBPICTURE_MENU; break;
    case kDvdMenuAudio: command = GST_NAVIGATION_COMMAND_DVD_AUDIO_MENU; break;
    case kDvdMenuAngle: command = GST_NAVIGATION_COMMAND_DVD_ANGLE_MENU; break;
    case kDvdMenuChapter: command = GST_NAVIGATION_COMMAND_DVD_CHAPTER_MENU; break;
    default: return false;
  }
  if (!sourcePad_) return false;
  return SendToSource(gst_navigation_event_new_command(command));
}

bool GstDvdGraph::PlayAtTime(std::int64_t seconds) {
  if (!sourcePad_) return false;
  // Near a title's end the navigator may have left it (for its menu or its
  // stop) while the picture still shows it: the title shown is entered again
  // first, or the time would be sought in wherever the navigator went.
  const int shown = ShownTitle();
  gint64 reading = 0;
  if (shown > 0 && (ended_ || !Query(Format("title"), &reading) || reading != shown))
    SeekSource(Format("title"), shown);
  return SeekSource(GST_FORMAT_TIME, std::max<std::int64_t>(seconds, 0) * GST_SECOND);
}

// Only a title's moving picture counts: a menu or a still may rest the clock
// on purpose.
bool GstDvdGraph::PlaybackStuck() {
  if (!pipeline_ || ended_) return false;
  {
    std::lock_guard<std::mutex> lock(seenMutex_);
    if (!seen_.placeKnown || seen_.title <= 0 || seen_.still) {
      clockWatch_.Reset();
      return false;
    }
  }
  if (!clockWatch_.StandsStill(pipeline_, kClockStandingLimit)) return false;
  std::fprintf(stderr, "DVD playback: the sound output stood still\n");
  return true;
}

bool GstDvdGraph::PlayForwards(double rate) {
  if (!pipeline_ || rate <= 0) return false;
  // Just after another flushing seek the position is unknown until the graph
  // has settled at the new place: a rate step straight after another was lost.
  gst_element_get_state(pipeline_, nullptr, nullptr, kSeekTimeLimit);
  // Right after a title starts the new position may not be known yet either.
  gint64 position = 0;
  const gint64 giveUp = g_get_monotonic_time() + kSeekTimeLimit / GST_USECOND;
  while (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position)) {
    if (g_get_monotonic_time() >= giveUp) return false;
    g_usleep(20000);
  }
  if (!gst_element_seek(pipeline_, rate, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, GST_SEEK_TYPE_SET,
                        position, GST_SEEK_TYPE_NONE, -1))
    return false;
  rate_ = rate;
  return true;
}

bool GstDvdGraph::SelectButtonAt(int x, int y) {
  if (!sourcePad_) return false;
  return SendNavigation(gst_structure_new("application/x-gst-navigation", "event", G_TYPE_STRING,
                                          "mouse-move", "button", G_TYPE_INT, 0, "pointer_x",
                                          G_TYPE_DOUBLE, static_cast<double>(x), "pointer_y",
                                          G_TYPE_DOUBLE, static_cast<double>(y), nullptr));
}

bool GstDvdGraph::ActivateAtPosition(int x, int y) {
  if (!sourcePad_) return false;
  // The navigator acts on the release of the first button.
  return SendNavigation(gst_structure_new(
      "application/x-gst-navigation", "event", G_TYPE_STRING, "mouse-button-release", "button",
      G_TYPE_INT, 1, "pointer_x", G_TYPE_DOUBLE, static_cast<double>(x), "pointer_y",
      G_TYPE_DOUBLE, static_cast<double>(y), nullptr));
}

void GstDvdGraph::ChooseSubpicture(int stream, bool forcedOnly) {
  {
    std::lock_guard<std::mutex> lock(seenMutex_);
    chosenSubpicture_ = stream;
    seen_.subpicture = stream;
    seen_.subpictureForcedOnly = forcedOnly;
  }
  if (!source_) return;
  {
    std::lock_guard<std::mutex> lock(choice_->mutex);
    choice_->stream = stream;
    choice_->forcedOnly = forcedOnly;
  }
  // A paused graph holds its stream lock while it prerolls, so a pushed event
  // would wait for the resume: it goes from a GStreamer thread instead, and
  // carries whatever choice is the latest by the time it gets through.
  auto* held = new std::shared_ptr<Choice>(choice_);
  gst_element_call_async(
      source_,
      +[](GstElement* source, gpointer data) {
        Choice& choice = **static_cast<std::shared_ptr<Choice>*>(data);
        int stream = 0;
        gboolean forcedOnly = FALSE;
        {
          std::lock_guard<std::mutex> lock(choice.mutex);
          stream = choice.stream;
          forcedOnly = choice.forcedOnly;
        }
        GstPad* pad = gst_element_get_static_pad(source, "src");
        if (!pad) return;
        // The same request the navigator itself sends down, marked as ours.
        GstStructure* s = gst_structure_new(
            "application/x-gst-dvd", "event", G_TYPE_STRING, "dvd-set-subpicture-track",
            "logical-id", G_TYPE_INT, stream, "physical-id", G_TYPE_INT, stream, "forced-only",
            G_TYPE_BOOLEAN, forcedOnly, "orvane-choice", G_TYPE_BOOLEAN, TRUE, nullptr);
        gst_pad_push_event(pad, gst_event_new_custom(GST_EVENT_CUSTOM_DOWNSTREAM, s));
        gst_object_unref(pad);
      },
      held, +[](gpointer data) { delete static_cast<std::shared_ptr<Choice>*>(data); });
}

bool GstDvdGraph::SelectSubpictureStream(int stream) {
  if (stream < 0 || stream >= SubpictureStreams()) return false;
  ChooseSubpicture(stream, !subpictureShown_);
  return true;
}

bool GstDvdGraph::SetSubpictureState(bool shown) {
  subpictureShown_ = shown;
  const int stream = CurrentSubpicture();
  if (stream < 0) return false;
  // "Forced only" leaves the disc's compulsory pictures and hides the rest.
  ChooseSubpicture(stream, !shown);
  return true;
}

bool GstDvdGraph::SelectAudioStream(int stream) {
  if (stream < 0 || stream >= std::min(AudioStreams(), 8)) return false;
  const char key[2] = {static_cast<char>('1' + stream), 0};
  return SendNavigation(gst_structure_new("application/x-gst-navigation", "event", G_TYPE_STRING,
                                          "key-press", "key", G_TYPE_STRING, key, nullptr));
}

bool GstDvdGraph::SelectAngle(int angle) {
  if (!sourcePad_) return false;
  for (int tries = 0; tries < 9; ++tries) {
    GstQuery* query = gst_navigation_query_new_angles();
    guint current = 0, angles = 0;
    const bool known = gst_pad_query(sourcePad_, query);
    if (known) gst_navigation_query_parse_angles(query, &current, &angles);
    gst_query_unref(query);
    if (!known || angle < 1 || angle > static_cast<int>(angles)) return false;
    if (static_cast<int>(current) == angle) return true;
    SendToSource(gst_navigation_event_new_command(GST_NAVIGATION_COMMAND_NEXT_ANGLE));
  }
  return false;
}

}  // namespace engine
