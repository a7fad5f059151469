#include "engine/gst_file_graph.h"

#include <gst/video/video.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "engine/gst_wait.h"
#include "engine/sound_server.h"
#include "engine/video_mixer.h"
#include "platform/process_memory.h"

namespace engine {

namespace {

// A build that has not prerolled by then is taken as failed rather than hang the window.
constexpr GstClockTime kBuildTimeLimit = 10 * GST_SECOND;

bool HaveFactory(const char* name) {
  GstElementFactory* factory = gst_element_factory_find(name);
  if (!factory) return false;
  gst_object_unref(factory);
  return true;
}

// Frame threads hold a picture each and delay the first one by as many; up to
// 1080p one thread decodes in real time, so only larger pictures get them.
constexpr int kFrameThreadsAbovePixels = 1920 * 1088;

GstPadProbeReturn ChooseDecoderThreads(GstPad* pad, GstPadProbeInfo* info, gpointer) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS) return GST_PAD_PROBE_OK;
  GstCaps* caps = nullptr;
  gst_event_parse_caps(event, &caps);
  int width = 0, height = 0;
  const GstStructure* st = caps && !gst_caps_is_empty(caps) ? gst_caps_get_structure(caps, 0) : nullptr;
  if (st && gst_structure_get_int(st, "width", &width) && gst_structure_get_int(st, "height", &height)) {
    GstElement* decoder = gst_pad_get_parent_element(pad);
    if (decoder) {
      const bool large = static_cast<std::int64_t>(width) * height > kFrameThreadsAbovePixels;
      gst_util_set_object_arg(G_OBJECT(decoder), "thread-type", large ? "auto" : "slice");
      gst_object_unref(decoder);
    }
  }
  return GST_PAD_PROBE_OK;
}

// Set on every element playbin makes, before it runs.
void SetUpElement(GstElement*, GstElement* element, gpointer) {
  if (!GST_IS_VIDEO_DECODER(element) ||
      !g_object_class_find_property(G_OBJECT_GET_CLASS(element), "thread-type"))
    return;
  if (GstPad* sink = gst_element_get_static_pad(element, "sink")) {
    gst_pad_add_probe(sink, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, ChooseDecoderThreads, nullptr,
                      nullptr);
    gst_object_unref(sink);
  }
}

// The caps a stream had before decoding, reached through the ghost pads
// from the pad that leaves playbin's decoding bin.
bool DecodedFromPicture(GstPad* combinerPad) {
  GstPad* pad = gst_pad_get_peer(combinerPad);
  while (pad && GST_IS_GHOST_PAD(pad)) {
    GstPad* target = gst_ghost_pad_get_target(GST_GHOST_PAD(pad));
    gst_object_unref(pad);
    pad = target;
  }
  if (!pad) return false;
  bool picture = false;
  if (GstElement* decoder = gst_pad_get_parent_element(pad)) {
    if (GST_IS_VIDEO_DECODER(decoder)) {
      GstPad* sink = gst_element_get_static_pad(decoder, "sink");
      GstCaps* caps = sink ? gst_pad_get_current_caps(sink) : nullptr;
      if (caps && !gst_caps_is_empty(caps))
        picture = g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "image/");
      if (caps) gst_caps_unref(caps);
      if (sink) gst_object_unref(sink);
    }
    gst_object_unref(decoder);
  }
  gst_object_unref(pad);
  return picture;
}

// Goes to PAUSED and waits for the preroll; an error ends the wait at once.
bool WaitForPreroll(GstElement* pipeline) {
  GstStateChangeReturn change = gst_element_set_state(pipeline, GST_STATE_PAUSED);
  if (change == GST_STATE_CHANGE_FAILURE) return false;
  // A stalled build is given up: the decoder sometimes loses the error of a
  // truncated file, and nothing else would come before the limit.
  if (change == GST_STATE_CHANGE_ASYNC && !WaitForAsyncDone(pipeline, kBuildTimeLimit, true))
    return false;
  // An error posted alongside a completed preroll fails the build too.
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* error = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
  gst_object_unref(bus);
  if (!error) return true;
  gst_message_unref(error);
  return false;
}

}  // namespace

int ProbeRenderers(const std::function<bool()>& openGlAvailable) {
  gst_init(nullptr, nullptr);
  bool mixing = HaveFactory("appsink") && HaveFactory("videoconvert");
  bool window = HaveFactory("xvimagesink") || HaveFactory("ximagesink");
  int gl = -1;  // asked once, at most
  auto openGl = [&] {
    if (gl < 0) gl = openGlAvailable() ? 1 : 0;
    return gl == 1;
  };
  if (const char* forced = std::getenv("ORVANE_RENDERER")) {
    int kind = std::atoi(forced);
    if (kind == kRendererMixer9 && mixing && openGl()) return kind;
    if (kind == kRendererMixer7 && mixing) return kind;
    if (kind == kRendererDefault && window) return kind;
  }
  if (mixing) return openGl() ? kRendererMixer9 : kRendererMixer7;
  return kRendererDefault;
}

GstFileGraph::GstFileGraph() { gst_init(nullptr, nullptr); }

GstFileGraph::~GstFileGraph() {
  DropEarlyPreroll();
  Release();
}

// A playbin for the file, prerolled; null, with nothing held, when it cannot
// be rendered. `output` null: a mixing kind's sink that waits for its mixer.
GstElement* GstFileGraph::BuildPlaybin(const std::string& path, int rendererKind,
                                       const VideoOutput* output, double gain, float pan,
                                       PlaybinOutput& out) {
  if (path.empty()) return nullptr;
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (!uri) return nullptr;
  GstElement* pipeline = gst_element_factory_make("playbin", nullptr);
  if (!pipeline) {
    g_free(uri);
    return nullptr;
  }
  g_object_set(pipeline, "uri", uri, nullptr);
  g_free(uri);
  if (output ? out.SetVideoSink(pipeline, rendererKind, *output) : out.SetVideoSinkForLater(pipeline)) {
    if (out.OwnScaler()) {
      // Our own scaler stretches to the drawn size; playbin's would letterbox.
      constexpr guint kNativeVideo = 0x40;
      guint flags = 0;
      g_object_get(pipeline, "flags", &flags, nullptr);
      g_object_set(pipeline, "flags", flags | kNativeVideo, nullptr);
    }
  }
  // The tempo keeps its pitch ahead of playbin's audio queue; the balance sits
  // in the sink, after that queue, so a channel change is heard at once and
  // not a second later.
  if (GstElement* filter = gst_parse_bin_from_description("scaletempo", TRUE, nullptr))
    g_object_set(pipeline, "audio-filter", filter, nullptr);
  out.SetAudioSink(pipeline, pan);
  g_object_set(pipeline, "volume", gain, nullptr);
  g_signal_connect(pipeline, "element-setup", G_CALLBACK(SetUpElement), nullptr);
  if (WaitForPreroll(pipeline)) return pipeline;
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  out.Release();
  return nullptr;
}

struct GstFileGraph::EarlyBuild {
  std::string path;
  GstElement* pipeline = nullptr;
  PlaybinOutput out;
  std::thread worker;
};

void GstFileGraph::PrerollEarly(const std::string& path) {
  DropEarlyPreroll();
  auto early = std::make_unique<EarlyBuild>();
  early->path = path;
  EarlyBuild* build = early.get();
  // Built as for the mixing kinds; the open takes it only if it asks for one of them.
  build->worker = std::thread([build, gain = gain_, pan = pan_] {
    build->pipeline = BuildPlaybin(build->path, kRendererMixer7, nullptr, gain, pan, build->out);
  });
  early_ = std::move(early);
  // Meanwhile, on this thread: the sound server's connection, which the build needs later.
  HoldSoundServerLoop();
}

std::unique_ptr<GstFileGraph::EarlyBuild> GstFileGraph::TakeEarlyBuild() {
  std::unique_ptr<EarlyBuild> early = std::move(early_);
  if (early && early->worker.joinable()) early->worker.join();
  return early;
}

void GstFileGraph::DropEarlyPreroll() { FreeEarlyBuild(TakeEarlyBuild()); }

void GstFileGraph::FreeEarlyBuild(std::unique_ptr<EarlyBuild> early) {
  if (!early || !early->pipeline) return;
  gst_element_set_state(early->pipeline, GST_STATE_NULL);
  gst_object_unref(early->pipeline);
  early->pipeline = nullptr;
  early->out.Release();
  platform::ReturnFreedMemory();
}

bool GstFileGraph::RenderFile(const std::string& path, int rendererKind) {
  Release();
  if (path.empty()) return false;
  HoldSoundServerLoop();
  kind_ = rendererKind;
  std::unique_ptr<EarlyBuild> early = TakeEarlyBuild();
  const bool mixing = rendererKind == kRendererMixer7 || rendererKind == kRendererMixer9;
  if (early && early->path == path && mixing && output_.mixer) {
    // The build started with the program: its answer, success or failure, is this open's.
    if (!early->pipeline) return false;
    pipeline_ = early->pipeline;
    early->pipeline = nullptr;
    out_ = std::move(early->out);
    out_.AttachMixer(output_.mixer);
    // Volume and balance may have been set while it was built.
    g_object_set(pipeline_, "volume", gain_, nullptr);
    out_.SetPan(pan_);
  } else {
    FreeEarlyBuild(std::move(early));
    pipeline_ = BuildPlaybin(path, rendererKind, &output_, gain_, pan_, out_);
    if (!pipeline_) {
      Release();  // a frame that came before the failure goes too
      return false;
    }
  }
  path_ = path;
  rate_ = 1.0;
  ended_ = false;
  lastCurrent_ = 0;
  QueryStop();
  return true;
}

// Follows the duration as the demuxer learns it: streamable Matroska and WebM
// and raw elementary streams only estimate it at first and correct it while
// playing, often without a DURATION_CHANGED message.
void GstFileGraph::QueryStop() {
  gint64 duration = 0;
  if (pipeline_ && gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) &&
      duration > 0)
    stop_ = duration / 100;
}

// The stream has ended: the stop is the final duration, or where the stream
// stopped when no duration ever came. It is never 0, so the end can be seen.
void GstFileGraph::SettleEnd() {
  ended_ = true;
  QueryStop();
  if (stop_ > 0) return;
  gint64 position = 0;
  if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) && position > 0)
    lastCurrent_ = std::max<std::int64_t>(lastCurrent_, position / 100);
  stop_ = std::max<std::int64_t>(lastCurrent_, 1);
}

void GstFileGraph::Release() {
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
  }
  out_.Release();
  path_.clear();
  // Streaming threads are joined by now: no frame can arrive after this.
  if (output_.mixer && kind_ != kRendererDefault) output_.mixer->Reset();
  platform::ReturnFreedMemory();  // the graph's frames and pools, freed just now
  stop_ = 0;
  lastCurrent_ = 0;
  ended_ = false;
  rate_ = 1.0;
  windowWidth_ = windowHeight_ = 0;
  clockWatch_.Reset();
}

bool GstFileGraph::NegotiatedStreams(const std::string& path, std::vector<NegotiatedStream>* streams,
                                     std::uint64_t* durationNs) const {
  if (!pipeline_ || path.empty() || path != path_) return false;
  gint64 duration = 0;
  if (!gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) || duration <= 0)
    return false;
  gint videos = 0, audios = 0, texts = 0;
  g_object_get(pipeline_, "n-video", &videos, "n-audio", &audios, "n-text", &texts, nullptr);
  std::vector<NegotiatedStream> found;
  for (gint i = 0; i < videos; ++i) {
    GstPad* pad = nullptr;
    g_signal_emit_by_name(pipeline_, "get-video-pad", i, &pad);
    if (!pad) return false;
    GstCaps* caps = gst_pad_get_current_caps(pad);
    const bool picture = DecodedFromPicture(pad);
    gst_object_unref(pad);
    GstVideoInfo info;
    const bool known = caps && gst_video_info_from_caps(&info, caps);
    if (caps) gst_caps_unref(caps);
    // Still pictures and streams without a fixed rate are read from the file.
    if (!known || picture || info.fps_n <= 0 || info.fps_d <= 0) return false;
    NegotiatedStream v;
    v.type = StreamType::Video;
    v.width = info.width;
    v.height = info.height;
    v.parN = static_cast<unsigned>(std::max(info.par_n, 0));
    v.parD = static_cast<unsigned>(std::max(info.par_d, 0));
    v.rateN = static_cast<unsigned>(info.fps_n);
    v.rateD = static_cast<unsigned>(info.fps_d);
    found.push_back(v);
  }
  for (gint i = 0; i < audios; ++i) found.push_back({StreamType::Audio});
  for (gint i = 0; i < texts; ++i) found.push_back({StreamType::Other});
  *streams = std::move(found);
  *durationNs = static_cast<std::uint64_t>(duration);
  return true;
}

void GstFileGraph::DrainBus() {
  if (!pipeline_) return;
  GstBus* bus = gst_element_get_bus(pipeline_);
  while (GstMessage* message = gst_bus_pop(bus)) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_EOS:
        SettleEnd();
        break;
      case GST_MESSAGE_ERROR: {
        // A stream that breaks off while playing ends there; the play mode goes on.
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        std::fprintf(stderr, "playback stopped: %s\n", error ? error->message : "unknown error");
        if (error) g_error_free(error);
        SettleEnd();
        break;
      }
      case GST_MESSAGE_DURATION_CHANGED:
        QueryStop();
        break;
      default:
        break;
    }
    gst_message_unref(message);
  }
  gst_object_unref(bus);
}

bool GstFileGraph::GetPositions(std::int64_t* current, std::int64_t* stop) {
  if (!pipeline_) return false;
  DrainBus();
  if (ended_) {
    lastCurrent_ = stop_;
  } else {
    // Not held to the stop: an estimated length may lag behind the position,
    // and only the end of the stream is the end.
    QueryStop();
    gint64 position = 0;
    if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) && position >= 0)
      lastCurrent_ = position / 100;
  }
  if (current) *current = lastCurrent_;
  if (stop) *stop = stop_;
  return true;
}

void GstFileGraph::SetPositions(std::int64_t current, int flags) {
  if (!pipeline_ || (flags & 3) == kSeekingNoPositioning) return;
  // Past an estimated stop is still inside the file; past the real end the stream ends.
  // No stop is kept from before: a demuxer that has met its last frame holds
  // that as its stop, a little before the length it gave, and refuses a start
  // past it.
  current = std::max<std::int64_t>(0, current);
  int seekFlags = GST_SEEK_FLAG_FLUSH;
  seekFlags |= (flags & kSeekingSeekToKeyFrame) ? GST_SEEK_FLAG_KEY_UNIT : GST_SEEK_FLAG_ACCURATE;
  if (gst_element_seek(pipeline_, rate_, GST_FORMAT_TIME, static_cast<GstSeekFlags>(seekFlags),
                       GST_SEEK_TYPE_SET, current * 100, GST_SEEK_TYPE_SET, -1)) {
    ended_ = false;
    lastCurrent_ = current;
    DrainBus();  // an EOS queued before the flush belongs to the old position
    ended_ = false;
  }
}

bool GstFileGraph::SetRate(double rate) {
  if (rate <= 0 || !pipeline_) return false;
  if (rate == rate_) return true;
  // A flushing seek at the current position: instant rate changes trip over
  // a seek that is still pending.
  gint64 position = 0;
  if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position)) position = lastCurrent_ * 100;
  if (!SeekAt(rate, position)) return false;
  rate_ = rate;
  return true;
}

bool GstFileGraph::SeekAt(double rate, gint64 position) {
  return gst_element_seek(pipeline_, rate, GST_FORMAT_TIME,
                          static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                          GST_SEEK_TYPE_SET, position, GST_SEEK_TYPE_SET, -1);
}

bool GstFileGraph::Step() {
  GstElement* sink = out_.VideoSink();
  if (!pipeline_ || !sink) return false;
  GstState state = GST_STATE_NULL;
  gst_element_get_state(pipeline_, &state, nullptr, GST_SECOND);
  if (state != GST_STATE_PAUSED) return false;
  return gst_element_send_event(sink, gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE));
}

void GstFileGraph::put_Volume(int volume) {
  gain_ = GainOf(volume);
  if (pipeline_) g_object_set(pipeline_, "volume", gain_, nullptr);
}

void GstFileGraph::put_Balance(int balance) {
  pan_ = PanOf(balance);
  out_.SetPan(pan_);
}

void GstFileGraph::SetVideoPosition(const PixelRect& destination) {
  out_.SetVideoPosition(output_.mixer, kind_, destination);
}

void GstFileGraph::SetWindowPosition(int left, int top, int width, int height) {
  const bool resized = windowWidth_ > 0 && (width != windowWidth_ || height != windowHeight_);
  windowWidth_ = width;
  windowHeight_ = height;
  out_.SetWindowPosition(kind_, left, top, width, height);
  // A sink that cannot scale (no Xv) shows a paused picture at the size it
  // was made for: it is made again at the new size, where the graph stands.
  if (!resized || !pipeline_ || kind_ != kRendererDefault || !out_.OwnScaler() || ended_) return;
  GstState state = GST_STATE_NULL, pending = GST_STATE_NULL;
  gint64 position = 0;
  if (gst_element_get_state(pipeline_, &state, &pending, 0) == GST_STATE_CHANGE_SUCCESS &&
      state == GST_STATE_PAUSED && gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) &&
      SeekAt(rate_, position)) {
    // Drawn again with its borders once there: the expose above drew the old
    // picture, which may reach beyond the new rectangle.
    gst_element_get_state(pipeline_, nullptr, nullptr, GST_SECOND / 2);
    out_.Expose(kind_);
  }
}

void GstFileGraph::Expose() { out_.Expose(kind_); }

// Only a file with a picture counts, and only before its end.
bool GstFileGraph::PlaybackStuck() {
  gint videos = 0;
  if (pipeline_) g_object_get(pipeline_, "n-video", &videos, nullptr);
  if (!pipeline_ || ended_ || videos <= 0) {
    clockWatch_.Reset();
    return false;
  }
  if (!clockWatch_.StandsStill(pipeline_, kClockStandingLimit)) return false;
  std::fprintf(stderr, "playback: the sound output stood still\n");
  return true;
}

}  // namespace engine
