#include "engine/gst_file_graph.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/gst_wait.h"
#include "engine/video_mixer.h"

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

// Keeps a decoded sample mapped for as long as the window may draw it.
struct MappedSample {
  GstSample* sample = nullptr;
  GstVideoFrame frame{};
  ~MappedSample() {
    gst_video_frame_unmap(&frame);
    gst_sample_unref(sample);
  }
};

GstFlowReturn Deliver(GstSample* sample, VideoMixer* mixer) {
  if (!sample) return GST_FLOW_OK;
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  if (!caps || !buffer || !gst_video_info_from_caps(&info, caps)) {
    gst_sample_unref(sample);
    return GST_FLOW_OK;
  }
  auto mapped = std::make_shared<MappedSample>();
  mapped->sample = sample;
  if (!gst_video_frame_map(&mapped->frame, &info, buffer, GST_MAP_READ)) {
    mapped->sample = nullptr;
    gst_sample_unref(sample);
    std::memset(&mapped->frame, 0, sizeof mapped->frame);
    return GST_FLOW_OK;
  }
  auto frame = std::make_shared<VideoFrame>();
  frame->width = GST_VIDEO_FRAME_WIDTH(&mapped->frame);
  frame->height = GST_VIDEO_FRAME_HEIGHT(&mapped->frame);
  frame->stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped->frame, 0);
  frame->data = static_cast<const unsigned char*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped->frame, 0));
  frame->keep = mapped;
  mixer->Deliver(0, std::move(frame));
  return GST_FLOW_OK;
}

GstFlowReturn OnSample(GstAppSink* sink, gpointer mixer) {
  return Deliver(gst_app_sink_pull_sample(sink), static_cast<VideoMixer*>(mixer));
}

GstFlowReturn OnPreroll(GstAppSink* sink, gpointer mixer) {
  return Deliver(gst_app_sink_pull_preroll(sink), static_cast<VideoMixer*>(mixer));
}

// Xv scales on the server; without an Xv adaptor (Xvfb) the plain X sink
// cannot, and `scales` comes back false.
GstElement* WindowSink(bool* scales) {
  *scales = true;
  if (GstElement* xv = gst_element_factory_make("xvimagesink", nullptr)) {
    if (gst_element_set_state(xv, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
      gst_element_set_state(xv, GST_STATE_NULL);
      return xv;
    }
    gst_element_set_state(xv, GST_STATE_NULL);
    gst_object_unref(xv);
  }
  *scales = false;
  return gst_element_factory_make("ximagesink", nullptr);
}

// A sink behind our own scaler and converter: scaled first (fewer pixels to
// convert when shrinking), stretched to the size the filter asks, never letterboxed.
GstElement* ScaledSink(GstElement* sink, GstElement** sizeFilter) {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* scale = gst_element_factory_make("videoscale", nullptr);
  GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
  GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
  if (!convert || !scale || !filter) {
    for (GstElement* e : {convert, scale, filter})
      if (e) gst_object_unref(e);
    gst_object_unref(bin);
    return sink;
  }
  g_object_set(scale, "add-borders", FALSE, nullptr);
  // A resize asks for a new size while frames flow: frames of the old size
  // still pass until the new one is agreed, instead of stopping the stream
  // as "not negotiated".
  gst_util_set_object_arg(G_OBJECT(filter), "caps-change-mode", "delayed");
  gst_bin_add_many(GST_BIN(bin), scale, convert, filter, sink, nullptr);
  gst_element_link_many(scale, convert, filter, sink, nullptr);
  GstPad* pad = gst_element_get_static_pad(scale, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
  gst_object_unref(pad);
  *sizeFilter = filter;
  return bin;
}

void AskSize(GstElement* sizeFilter, const char* format, int width, int height) {
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, width, "height",
                                      G_TYPE_INT, height, "pixel-aspect-ratio",
                                      GST_TYPE_FRACTION, 1, 1, nullptr);
  if (format) gst_caps_set_simple(caps, "format", G_TYPE_STRING, format, nullptr);
  g_object_set(sizeFilter, "caps", caps, nullptr);
  gst_caps_unref(caps);
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
  if (change == GST_STATE_CHANGE_ASYNC && !WaitForAsyncDone(pipeline, kBuildTimeLimit))
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

namespace {
// Every open builds new streaming threads and frame pools. With glibc's
// defaults each thread may take an arena of its own, and after a large frame
// is freed an arena keeps up to twice its size unreturned at its top, so
// memory climbed with every reopen (repeat play) though nothing leaked. So:
// one arena; frames stay on the heap (a fresh mapping per frame costs a page
// fault per page, and the decoder copies every frame it still refers to);
// 16 MiB may stay at the top, room for the frames in passage; and a released
// graph gives its freed pages back (Release). Set as the program loads,
// before any thread has taken an arena.
const bool kFreedMemoryReturnable = [] {
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 16 << 20);
  return true;
}();
}  // namespace

GstFileGraph::GstFileGraph() {
  gst_init(nullptr, nullptr);
  HoldSoundServerLoop();
}

GstFileGraph::~GstFileGraph() { Release(); }

GstElement* GstFileGraph::MakeVideoSink(int rendererKind) {
  if (rendererKind == kRendererDefault) {
    bool scales = true;
    GstElement* sink = WindowSink(&scales);
    if (!sink) return nullptr;
    // Mouse and keys belong to the panel, and the panel decides the aspect.
    g_object_set(sink, "handle-events", FALSE, "force-aspect-ratio", FALSE, nullptr);
    if (output_.window)
      gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), output_.window);
    overlay_ = sink;
    return scales ? sink : ScaledSink(sink, &sizeFilter_);
  }
  if (!output_.mixer) return nullptr;
  GstElement* sink = gst_element_factory_make("appsink", nullptr);
  if (!sink) return nullptr;
  GstCaps* caps = gst_caps_from_string("video/x-raw,format=BGRx");
  g_object_set(sink, "caps", caps, "sync", TRUE, "max-buffers", 1u, "drop", TRUE,
               "enable-last-sample", FALSE, "qos", TRUE, nullptr);
  gst_caps_unref(caps);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = OnSample;
  callbacks.new_preroll = OnPreroll;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, output_.mixer, nullptr);
  // The mixing renderer starts every graph as one opaque full-size stream on black.
  output_.mixer->Reset();
  // Frames come at the size they are drawn, so the window only copies them.
  return ScaledSink(sink, &sizeFilter_);
}

bool GstFileGraph::RenderFile(const std::string& path, int rendererKind) {
  Release();
  if (path.empty()) return false;
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (!uri) return false;
  pipeline_ = gst_element_factory_make("playbin", nullptr);
  if (!pipeline_) {
    g_free(uri);
    return false;
  }
  kind_ = rendererKind;
  path_ = path;
  g_object_set(pipeline_, "uri", uri, nullptr);
  g_free(uri);
  if (GstElement* sink = MakeVideoSink(rendererKind)) {
    videoSink_ = GST_ELEMENT(gst_object_ref_sink(sink));
    g_object_set(pipeline_, "video-sink", videoSink_, nullptr);
    if (sizeFilter_) {
      // Our own scaler stretches to the drawn size; playbin's would letterbox.
      constexpr guint kNativeVideo = 0x40;
      guint flags = 0;
      g_object_get(pipeline_, "flags", &flags, nullptr);
      g_object_set(pipeline_, "flags", flags | kNativeVideo, nullptr);
    }
  }
  // The tempo keeps its pitch ahead of playbin's audio queue; the balance sits
  // in the sink, after that queue, so a channel change is heard at once and
  // not a second later.
  if (GstElement* filter = gst_parse_bin_from_description("scaletempo", TRUE, nullptr))
    g_object_set(pipeline_, "audio-filter", filter, nullptr);
  std::string sinkDescription =
      // Panned as stereo: a mono input would be spread, not balanced.
      "audioconvert ! audio/x-raw,channels=2 ! audiopanorama name=balance method=simple ! ";
  const char* audioSink = std::getenv("ORVANE_AUDIO_SINK");
  sinkDescription += audioSink && *audioSink ? audioSink : "autoaudiosink";
  if (GstElement* sink = gst_parse_bin_from_description(sinkDescription.c_str(), TRUE, nullptr)) {
    panorama_ = gst_bin_get_by_name(GST_BIN(sink), "balance");
    // "simple": a full pan silences the other channel instead of mixing it in.
    if (panorama_) g_object_set(panorama_, "panorama", pan_, nullptr);
    g_object_set(pipeline_, "audio-sink", sink, nullptr);
  }
  g_object_set(pipeline_, "volume", gain_, nullptr);
  g_signal_connect(pipeline_, "element-setup", G_CALLBACK(SetUpElement), nullptr);

  bool failed = !WaitForPreroll(pipeline_);
  if (failed) {
    Release();
    return false;
  }
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

void GstFileGraph::Run() {
  if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
}

void GstFileGraph::Pause() {
  if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

// A stopped file graph keeps its position and picture, as a paused one does.
void GstFileGraph::Stop() { Pause(); }

void GstFileGraph::StopWhenReady() {
  if (!pipeline_) return;
  gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  gst_element_get_state(pipeline_, nullptr, nullptr, GST_SECOND);
}

void GstFileGraph::Release() {
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
  }
  if (videoSink_) {
    gst_object_unref(videoSink_);
    videoSink_ = nullptr;
  }
  overlay_ = nullptr;
  sizeFilter_ = nullptr;
  path_.clear();
  if (panorama_) {
    gst_object_unref(panorama_);
    panorama_ = nullptr;
  }
  // Streaming threads are joined by now: no frame can arrive after this.
  if (output_.mixer && kind_ != kRendererDefault) output_.mixer->Reset();
  malloc_trim(0);  // the graph's frames and pools, freed just now
  stop_ = 0;
  lastCurrent_ = 0;
  ended_ = false;
  rate_ = 1.0;
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
  current = std::max<std::int64_t>(0, current);
  int seekFlags = GST_SEEK_FLAG_FLUSH;
  seekFlags |= (flags & kSeekingSeekToKeyFrame) ? GST_SEEK_FLAG_KEY_UNIT : GST_SEEK_FLAG_ACCURATE;
  if (gst_element_seek(pipeline_, rate_, GST_FORMAT_TIME, static_cast<GstSeekFlags>(seekFlags),
                       GST_SEEK_TYPE_SET, current * 100, GST_SEEK_TYPE_NONE, -1)) {
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
  if (!gst_element_seek(pipeline_, rate, GST_FORMAT_TIME,
                        static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                        GST_SEEK_TYPE_SET, position, GST_SEEK_TYPE_NONE, -1))
    return false;
  rate_ = rate;
  return true;
}

bool GstFileGraph::Step() {
  if (!pipeline_ || !videoSink_) return false;
  GstState state = GST_STATE_NULL;
  gst_element_get_state(pipeline_, &state, nullptr, GST_SECOND);
  if (state != GST_STATE_PAUSED) return false;
  return gst_element_send_event(videoSink_,
                                gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE));
}

void GstFileGraph::put_Volume(int volume) {
  volume = std::clamp(volume, kVolumeSilence, 0);
  gain_ = volume <= kVolumeSilence ? 0.0 : std::pow(10.0, volume / 2000.0);
  if (pipeline_) g_object_set(pipeline_, "volume", gain_, nullptr);
}

void GstFileGraph::put_Balance(int balance) {
  pan_ = static_cast<float>(std::clamp(balance, -10000, 10000) / 10000.0);
  if (panorama_) g_object_set(panorama_, "panorama", pan_, nullptr);
}

void GstFileGraph::SetVideoPosition(const PixelRect& destination) {
  if (!output_.mixer || kind_ == kRendererDefault) return;
  output_.mixer->SetVideoPosition(destination);
  if (sizeFilter_ && destination.Width() > 0 && destination.Height() > 0)
    AskSize(sizeFilter_, "BGRx", destination.Width(), destination.Height());
}

void GstFileGraph::SetWindowPosition(int left, int top, int width, int height) {
  if (kind_ != kRendererDefault || !overlay_ || width <= 0 || height <= 0) return;
  if (sizeFilter_) AskSize(sizeFilter_, nullptr, width, height);
  gst_video_overlay_set_render_rectangle(GST_VIDEO_OVERLAY(overlay_), left, top, width, height);
  gst_video_overlay_expose(GST_VIDEO_OVERLAY(overlay_));
}

void GstFileGraph::Expose() {
  if (kind_ == kRendererDefault && overlay_) gst_video_overlay_expose(GST_VIDEO_OVERLAY(overlay_));
}

}  // namespace engine
