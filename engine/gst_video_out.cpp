#include "engine/gst_video_out.h"

#include <gst/app/gstappsink.h>
#include <gst/video/videooverlay.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

#include "engine/video_mixer.h"

namespace engine {

namespace {

// Where an appsink's frames go. A sink made before its window has no mixer
// yet: it keeps the latest frame until one is attached.
struct SinkTarget {
  std::mutex mutex;
  VideoMixer* mixer = nullptr;
  int stream = 0;
  GstSample* held = nullptr;

  GstFlowReturn Take(GstSample* sample) {
    std::unique_lock<std::mutex> lock(mutex);
    if (!mixer) {
      if (held) gst_sample_unref(held);
      held = sample;
      return GST_FLOW_OK;
    }
    VideoMixer* to = mixer;
    lock.unlock();
    return DeliverSample(sample, to, stream);
  }
  ~SinkTarget() {
    if (held) gst_sample_unref(held);
  }
};

constexpr char kTargetKey[] = "orvane-sink-target";

GstFlowReturn OnSample(GstAppSink* sink, gpointer target) {
  return static_cast<SinkTarget*>(target)->Take(gst_app_sink_pull_sample(sink));
}

GstFlowReturn OnPreroll(GstAppSink* sink, gpointer target) {
  return static_cast<SinkTarget*>(target)->Take(gst_app_sink_pull_preroll(sink));
}

}  // namespace

MappedSample::~MappedSample() {
  if (!sample) return;
  gst_video_frame_unmap(&frame);
  gst_sample_unref(sample);
}

GstFlowReturn DeliverSample(GstSample* sample, VideoMixer* mixer, int stream) {
  if (!sample) return GST_FLOW_OK;
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  auto mapped = std::make_shared<MappedSample>();
  if (!caps || !buffer || !gst_video_info_from_caps(&info, caps) ||
      !gst_video_frame_map(&mapped->frame, &info, buffer, GST_MAP_READ)) {
    gst_sample_unref(sample);
    return GST_FLOW_OK;
  }
  mapped->sample = sample;
  auto frame = std::make_shared<VideoFrame>();
  frame->width = GST_VIDEO_FRAME_WIDTH(&mapped->frame);
  frame->height = GST_VIDEO_FRAME_HEIGHT(&mapped->frame);
  frame->stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped->frame, 0);
  frame->data = static_cast<const unsigned char*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped->frame, 0));
  frame->keep = mapped;
  mixer->Deliver(stream, std::move(frame));
  return GST_FLOW_OK;
}

GstElement* MixerSink(VideoMixer* mixer, int stream) {
  GstElement* sink = gst_element_factory_make("appsink", nullptr);
  if (!sink) return nullptr;
  GstCaps* caps = gst_caps_from_string("video/x-raw,format=BGRx");
  g_object_set(sink, "caps", caps, "sync", TRUE, "max-buffers", 1u, "drop", TRUE,
               "enable-last-sample", FALSE, "qos", TRUE, nullptr);
  gst_caps_unref(caps);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = OnSample;
  callbacks.new_preroll = OnPreroll;
  auto* target = new SinkTarget;
  target->mixer = mixer;
  target->stream = stream;
  g_object_set_data(G_OBJECT(sink), kTargetKey, target);
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, target,
                             [](gpointer p) { delete static_cast<SinkTarget*>(p); });
  return sink;
}

void AttachMixer(GstElement* mixerSink, VideoMixer* mixer) {
  auto* target = static_cast<SinkTarget*>(g_object_get_data(G_OBJECT(mixerSink), kTargetKey));
  if (!target || !mixer) return;
  GstSample* held = nullptr;
  {
    std::lock_guard<std::mutex> lock(target->mutex);
    target->mixer = mixer;
    std::swap(held, target->held);
  }
  if (held) DeliverSample(held, mixer, target->stream);
}

GstElement* StretchingScaler() {
  GstElement* scale = gst_element_factory_make("videoscale", nullptr);
  if (scale) g_object_set(scale, "add-borders", FALSE, nullptr);
  return scale;
}

GstElement* SizeFilter() {
  GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
  // A resize asks for a new size while frames flow: frames of the old size
  // still pass until the new one is agreed, instead of stopping the stream
  // as "not negotiated".
  if (filter) gst_util_set_object_arg(G_OBJECT(filter), "caps-change-mode", "delayed");
  return filter;
}

void AskSize(GstElement* sizeFilter, const char* format, int width, int height) {
  GstCaps* caps = gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, width, "height",
                                      G_TYPE_INT, height, "pixel-aspect-ratio",
                                      GST_TYPE_FRACTION, 1, 1, nullptr);
  if (format) gst_caps_set_simple(caps, "format", G_TYPE_STRING, format, nullptr);
  g_object_set(sizeFilter, "caps", caps, nullptr);
  gst_caps_unref(caps);
}

// Xv scales on the server; without an Xv adaptor (Xvfb) the plain X sink cannot.
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

// Scaled first, then converted: fewer pixels to convert when shrinking.
GstElement* ScaledSink(GstElement* sink, GstElement** sizeFilter) {
  GstElement* bin = gst_bin_new(nullptr);
  GstElement* scale = StretchingScaler();
  GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
  GstElement* filter = SizeFilter();
  if (!convert || !scale || !filter) {
    for (GstElement* e : {convert, scale, filter})
      if (e) gst_object_unref(e);
    gst_object_unref(bin);
    return sink;
  }
  gst_bin_add_many(GST_BIN(bin), scale, convert, filter, sink, nullptr);
  gst_element_link_many(scale, convert, filter, sink, nullptr);
  GstPad* pad = gst_element_get_static_pad(scale, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
  gst_object_unref(pad);
  *sizeFilter = filter;
  return bin;
}

double GainOf(int volume) {
  volume = std::clamp(volume, kVolumeSilence, 0);
  return volume <= kVolumeSilence ? 0.0 : std::pow(10.0, volume / 2000.0);
}

float PanOf(int balance) { return static_cast<float>(std::clamp(balance, -10000, 10000) / 10000.0); }

bool PlaybinOutput::SetVideoSink(GstElement* playbin, int rendererKind, const VideoOutput& output) {
  GstElement* sink = nullptr;
  if (rendererKind == kRendererDefault) {
    bool scales = true;
    GstElement* window = WindowSink(&scales);
    if (!window) return false;
    // Mouse and keys belong to the panel, and the panel decides the aspect.
    g_object_set(window, "handle-events", FALSE, "force-aspect-ratio", FALSE, nullptr);
    if (output.window)
      gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(window), output.window);
    overlay_ = window;
    sink = scales ? window : ScaledSink(window, &sizeFilter_);
  } else {
    if (!output.mixer) return false;
    return SetMixerSink(playbin, output.mixer);
  }
  videoSink_ = GST_ELEMENT(gst_object_ref_sink(sink));
  g_object_set(playbin, "video-sink", videoSink_, nullptr);
  return true;
}

bool PlaybinOutput::SetVideoSinkForLater(GstElement* playbin) { return SetMixerSink(playbin, nullptr); }

bool PlaybinOutput::SetMixerSink(GstElement* playbin, VideoMixer* mixer) {
  GstElement* appsink = MixerSink(mixer, 0);
  if (!appsink) return false;
  appsink_ = appsink;
  // The mixing renderer starts every graph as one opaque full-size stream on black.
  if (mixer) mixer->Reset();
  // Frames come at the size they are drawn, so the window only copies them.
  videoSink_ = GST_ELEMENT(gst_object_ref_sink(ScaledSink(appsink, &sizeFilter_)));
  g_object_set(playbin, "video-sink", videoSink_, nullptr);
  return true;
}

void PlaybinOutput::SetAudioSink(GstElement* playbin, float pan) {
  std::string description =
      // Panned as stereo: a mono input would be spread, not balanced.
      "audioconvert ! audio/x-raw,channels=2 ! audiopanorama name=balance method=simple ! ";
  const char* named = std::getenv("ORVANE_AUDIO_SINK");
  description += named && *named ? named : "autoaudiosink";
  if (GstElement* sink = gst_parse_bin_from_description(description.c_str(), TRUE, nullptr)) {
    panorama_ = gst_bin_get_by_name(GST_BIN(sink), "balance");
    // "simple": a full pan silences the other channel instead of mixing it in.
    if (panorama_) g_object_set(panorama_, "panorama", pan, nullptr);
    g_object_set(playbin, "audio-sink", sink, nullptr);
  }
}

PlaybinOutput& PlaybinOutput::operator=(PlaybinOutput&& other) noexcept {
  if (this == &other) return *this;
  Release();
  std::swap(videoSink_, other.videoSink_);
  std::swap(overlay_, other.overlay_);
  std::swap(appsink_, other.appsink_);
  std::swap(sizeFilter_, other.sizeFilter_);
  std::swap(panorama_, other.panorama_);
  return *this;
}

void PlaybinOutput::AttachMixer(VideoMixer* mixer) {
  if (!appsink_ || !mixer) return;
  mixer->Reset();
  engine::AttachMixer(appsink_, mixer);
}

void PlaybinOutput::Release() {
  if (videoSink_) gst_object_unref(videoSink_);
  videoSink_ = nullptr;
  overlay_ = nullptr;
  appsink_ = nullptr;
  sizeFilter_ = nullptr;
  if (panorama_) gst_object_unref(panorama_);
  panorama_ = nullptr;
}

void PlaybinOutput::SetPan(float pan) {
  if (panorama_) g_object_set(panorama_, "panorama", pan, nullptr);
}

void PlaybinOutput::SetVideoPosition(VideoMixer* mixer, int rendererKind,
                                     const PixelRect& destination) {
  if (!mixer || rendererKind == kRendererDefault) return;
  mixer->SetVideoPosition(destination);
  if (sizeFilter_ && destination.Width() > 0 && destination.Height() > 0)
    AskSize(sizeFilter_, "BGRx", destination.Width(), destination.Height());
}

void PlaybinOutput::SetWindowPosition(int rendererKind, int left, int top, int width, int height) {
  if (rendererKind != kRendererDefault || !overlay_ || width <= 0 || height <= 0) return;
  if (sizeFilter_) AskSize(sizeFilter_, nullptr, width, height);
  gst_video_overlay_set_render_rectangle(GST_VIDEO_OVERLAY(overlay_), left, top, width, height);
  gst_video_overlay_expose(GST_VIDEO_OVERLAY(overlay_));
}

void PlaybinOutput::Expose(int rendererKind) {
  if (rendererKind == kRendererDefault && overlay_)
    gst_video_overlay_expose(GST_VIDEO_OVERLAY(overlay_));
}

}  // namespace engine
