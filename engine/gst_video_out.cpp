#include "engine/gst_video_out.h"

#include <gst/app/gstappsink.h>
#include <gst/video/videooverlay.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "engine/video_mixer.h"

#include <libyuv/scale_argb.h>

namespace engine {

namespace {

// The formats the scaler reads as they come; a converter ahead brings others
// to the nearest of them.
constexpr const char* kScalerCaps =
    "video/x-raw,format={I420,YV12,NV12,Y42B,Y444,BGRx,BGRA,RGBx,RGBA}";

AVPixelFormat SwsFormat(GstVideoFormat format) {
  switch (format) {
    case GST_VIDEO_FORMAT_I420:
    case GST_VIDEO_FORMAT_YV12: return AV_PIX_FMT_YUV420P;  // planes taken by component
    case GST_VIDEO_FORMAT_NV12: return AV_PIX_FMT_NV12;
    case GST_VIDEO_FORMAT_Y42B: return AV_PIX_FMT_YUV422P;
    case GST_VIDEO_FORMAT_Y444: return AV_PIX_FMT_YUV444P;
    case GST_VIDEO_FORMAT_BGRx: return AV_PIX_FMT_BGR0;
    case GST_VIDEO_FORMAT_BGRA: return AV_PIX_FMT_BGRA;
    case GST_VIDEO_FORMAT_RGBx: return AV_PIX_FMT_RGB0;
    case GST_VIDEO_FORMAT_RGBA: return AV_PIX_FMT_RGBA;
    default: return AV_PIX_FMT_NONE;
  }
}

int SwsColorSpace(GstVideoColorMatrix matrix) {
  switch (matrix) {
    case GST_VIDEO_COLOR_MATRIX_BT709: return SWS_CS_ITU709;
    case GST_VIDEO_COLOR_MATRIX_FCC: return SWS_CS_FCC;
    case GST_VIDEO_COLOR_MATRIX_SMPTE240M: return SWS_CS_SMPTE240M;
    case GST_VIDEO_COLOR_MATRIX_BT2020: return SWS_CS_BT2020;
    default: return SWS_CS_ITU601;
  }
}

// Rows start on 64-byte boundaries, as the scaler's vector code wants them.
constexpr std::size_t kRowAlign = 64;

// Pictures of one size handed out again once the window has let them go:
// a fresh 3 MB picture per frame would fault in every page of it. They come
// from the window's picture memory where it gives one, else from the heap.
class PictureStore : public std::enable_shared_from_this<PictureStore> {
 public:
  struct Picture {
    std::shared_ptr<unsigned char> memory;
    std::uint32_t handle = 0;
  };
  // Shared with the window only when it may be put as it is (see Convert).
  Picture Take(std::size_t bytes, bool shared) {
    std::shared_ptr<PictureMemory> from = shared ? CurrentPictureMemory() : nullptr;
    Block block;
    std::vector<Block> dropped;
    std::shared_ptr<PictureMemory> droppedFrom;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (bytes != bytes_ || from != from_) {
        dropped.swap(free_);
        droppedFrom = std::move(from_);
        bytes_ = bytes;
        from_ = from;
      }
      if (!free_.empty()) {
        block = free_.back();
        free_.pop_back();
      }
    }
    for (const Block& b : dropped) Release(droppedFrom, b);
    if (!block.memory && from) {
      block.memory = from->Allocate(bytes, &block.handle);
      if (!block.memory) from.reset();  // none to give: the heap, for this one
    }
    if (!block.memory) {
      block.memory = static_cast<unsigned char*>(::operator new(bytes, std::align_val_t(kRowAlign)));
      block.handle = 0;
    }
    std::weak_ptr<PictureStore> store = weak_from_this();
    Picture picture;
    picture.handle = block.handle;
    picture.memory = std::shared_ptr<unsigned char>(block.memory, [store, bytes, from, block](unsigned char*) {
      if (auto s = store.lock()) return s->Give(block, bytes, from);
      Release(from, block);
    });
    return picture;
  }
  ~PictureStore() {
    for (const Block& b : free_) Release(from_, b);
  }

 private:
  struct Block {
    unsigned char* memory = nullptr;
    std::uint32_t handle = 0;
  };
  static constexpr std::size_t kKept = 3;  // the window's, the slot's and the one being made
  static void Release(const std::shared_ptr<PictureMemory>& from, const Block& block) {
    if (block.handle && from)
      from->Free(block.memory, block.handle);
    else
      ::operator delete(block.memory, std::align_val_t(kRowAlign));
  }
  void Give(const Block& block, std::size_t bytes, const std::shared_ptr<PictureMemory>& from) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      // A heap picture made while the window's memory had none is not kept.
      if (bytes == bytes_ && from == from_ && (block.handle || !from) && free_.size() < kKept)
        return free_.push_back(block);
    }
    Release(from, block);
  }
  std::mutex mutex_;
  std::size_t bytes_ = 0;
  std::shared_ptr<PictureMemory> from_;
  std::vector<Block> free_;
};

}  // namespace

class FrameScaler {
 public:
  FrameScaler() = default;
  ~FrameScaler() {
    if (context_) sws_freeContext(context_);
  }
  // Returns whether the size is a new one.
  bool Ask(int width, int height) {
    const std::uint64_t size =
        width > 0 && height > 0 ? (static_cast<std::uint64_t>(width) << 32) | static_cast<std::uint32_t>(height)
                                : 0;
    return asked_.exchange(size) != size;
  }
  bool Asked() const { return asked_.load() != 0; }
  std::function<void()> newSize;  // called, on the asking thread, when a new size is asked
  // The sample (taken over) as a BGRx frame of the size asked; null when it cannot be.
  std::shared_ptr<const VideoFrame> Convert(GstSample* sample);

 private:
  struct Key {
    int width = 0, height = 0, outWidth = 0, outHeight = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int colorSpace = 0;
    bool fullRange = false;
    bool operator==(const Key&) const = default;
  };
  SwsContext* ContextFor(const Key& key);

  std::atomic<std::uint64_t> asked_{0};
  std::mutex mutex_;  // the context; a preroll and a sample may come from different threads
  SwsContext* context_ = nullptr;
  Key key_;
  std::vector<std::uint8_t> unscaled_;  // the picture converted at its own size
  std::shared_ptr<PictureStore> store_ = std::make_shared<PictureStore>();
};

SwsContext* FrameScaler::ContextFor(const Key& key) {
  if (context_ && key == key_) return context_;
  if (context_) sws_freeContext(context_);
  key_ = key;
  // Two-tap bilinear both ways, as videoscale's bilinear method was; the
  // scaler's wider bilinear (four taps when shrinking 1080p to a window)
  // cost 15-25 % more per frame.
  context_ = sws_getContext(key.width, key.height, key.format, key.outWidth, key.outHeight,
                            AV_PIX_FMT_BGR0, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
  if (context_) {
    const int* coefficients = sws_getCoefficients(key.colorSpace);
    sws_setColorspaceDetails(context_, coefficients, key.fullRange ? 1 : 0,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
  }
  return context_;
}

std::shared_ptr<const VideoFrame> FrameScaler::Convert(GstSample* sample) {
  if (!sample) return nullptr;
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(sample);
  if (!caps || !gst_video_info_from_caps(&info, caps)) {
    gst_sample_unref(sample);
    return nullptr;
  }
  const std::uint64_t asked = asked_.load();
  int outWidth = asked ? static_cast<int>(asked >> 32) : GST_VIDEO_INFO_WIDTH(&info);
  int outHeight = asked ? static_cast<int>(asked & 0xffffffffu) : GST_VIDEO_INFO_HEIGHT(&info);
  const GstVideoFormat format = GST_VIDEO_INFO_FORMAT(&info);
  // Already what the window draws: handed over as it is, without a copy.
  if (format == GST_VIDEO_FORMAT_BGRx && outWidth == GST_VIDEO_INFO_WIDTH(&info) &&
      outHeight == GST_VIDEO_INFO_HEIGHT(&info))
    return MapSample(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstVideoFrame in;
  if (!buffer || SwsFormat(format) == AV_PIX_FMT_NONE ||
      !gst_video_frame_map(&in, &info, buffer, GST_MAP_READ)) {
    gst_sample_unref(sample);
    return nullptr;
  }
  Key key;
  key.width = GST_VIDEO_INFO_WIDTH(&info);
  key.height = GST_VIDEO_INFO_HEIGHT(&info);
  key.outWidth = outWidth;
  key.outHeight = outHeight;
  key.format = SwsFormat(format);
  key.colorSpace = SwsColorSpace(info.colorimetry.matrix);
  key.fullRange = info.colorimetry.range == GST_VIDEO_COLOR_RANGE_0_255;
  // An interlaced picture is two pictures a field apart in time: each field is
  // scaled on its own, as videoscale does, so that the fields do not blend.
  // A 4:2:0 field's chroma rows alternate too, in pairs of luma rows.
  const int rowsPerChromaRow = GST_VIDEO_FORMAT_INFO_H_SUB(info.finfo, 1) ? 4 : 2;
  const bool fields = GST_VIDEO_FRAME_IS_INTERLACED(&in) && key.height % rowsPerChromaRow == 0 &&
                      outHeight % 2 == 0 && outHeight >= 2;
  if (fields) {
    key.height /= 2;
    key.outHeight /= 2;
  }
  const int stride = static_cast<int>((static_cast<std::size_t>(outWidth) * 4 + kRowAlign - 1) /
                                      kRowAlign * kRowAlign);
  // A picture at its own size, before the window has asked one, is drawn
  // scaled at most: the window's memory, which costs more to make and to
  // free, is for pictures at the size it asked.
  PictureStore::Picture picture = store_->Take(static_cast<std::size_t>(stride) * outHeight, asked != 0);
  std::shared_ptr<unsigned char>& pixels = picture.memory;
  // A YUV picture shown larger than it is is converted at its own size by
  // swscale's unscaled converter and then enlarged by libyuv's BGRx filter:
  // half the time of swscale's scaled path. Shrunk, the one pass is as quick
  // and needs no picture between the steps, which would also crowd the
  // decoder out of the cache.
  const bool twoSteps = GST_VIDEO_INFO_IS_YUV(&info) &&
                        static_cast<std::int64_t>(key.outWidth) * key.outHeight >
                            static_cast<std::int64_t>(key.width) * key.height;
  const int outHeightPerPass = key.outHeight;
  if (twoSteps) {
    key.outWidth = key.width;
    key.outHeight = key.height;
  }
  bool scaled = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (SwsContext* context = ContextFor(key)) {
      const uint8_t* planes[4] = {};
      int strides[4] = {};
      // By component, so that YV12's swapped planes read as I420's.
      const bool yuv = GST_VIDEO_INFO_IS_YUV(&info);
      const int n = yuv ? static_cast<int>(GST_VIDEO_INFO_N_PLANES(&info)) : 1;
      for (int i = 0; i < n; ++i) {
        const int component = yuv && n == 3 ? i : -1;
        planes[i] = static_cast<const uint8_t*>(component >= 0 ? GST_VIDEO_FRAME_COMP_DATA(&in, component)
                                                                : GST_VIDEO_FRAME_PLANE_DATA(&in, i));
        strides[i] = component >= 0 ? GST_VIDEO_FRAME_COMP_STRIDE(&in, component)
                                    : GST_VIDEO_FRAME_PLANE_STRIDE(&in, i);
      }
      const int unscaledStride = key.width * 4;
      if (twoSteps) unscaled_.resize(static_cast<std::size_t>(unscaledStride) * key.height);
      const int passes = fields ? 2 : 1;
      scaled = true;
      for (int field = 0; field < passes; ++field) {
        const uint8_t* from[4] = {};
        int fromStrides[4] = {};
        for (int i = 0; i < n; ++i) {
          from[i] = planes[i] + field * strides[i];
          fromStrides[i] = strides[i] * passes;
        }
        uint8_t* out[4] = {pixels.get() + field * stride, nullptr, nullptr, nullptr};
        int outStrides[4] = {stride * passes, 0, 0, 0};
        if (twoSteps) {
          out[0] = unscaled_.data();
          outStrides[0] = unscaledStride;
        }
        scaled = scaled && sws_scale(context, from, fromStrides, 0, key.height, out, outStrides) == key.outHeight;
        if (scaled && twoSteps)
          scaled = libyuv::ARGBScale(unscaled_.data(), unscaledStride, key.width, key.height,
                                     pixels.get() + field * stride, stride * passes, outWidth,
                                     outHeightPerPass, libyuv::kFilterBilinear) == 0;
      }
    }
  }
  gst_video_frame_unmap(&in);
  gst_sample_unref(sample);
  if (!scaled) return nullptr;
  auto frame = std::make_shared<VideoFrame>();
  frame->width = outWidth;
  frame->height = outHeight;
  frame->stride = stride;
  frame->data = pixels.get();
  frame->keep = std::move(pixels);
  frame->handle = picture.handle;
  return frame;
}

namespace {

// Where an appsink's frames go. A sink made before its window has no mixer
// yet: it keeps the latest frame until one is attached.
//
// A scaled sink keeps its prerolled sample, the picture a paused graph
// shows, and converts it again when the window asks another size: the first
// picture of a file is shown as soon as the window has asked its size, not
// one frame later, and a paused picture stays sharp when the window is
// resized. A playing graph's next frame comes soon enough: nothing more is
// held while it plays.
struct SinkTarget {
  std::mutex mutex;
  VideoMixer* mixer = nullptr;
  int stream = 0;
  std::unique_ptr<FrameScaler> scaler;
  std::shared_ptr<const VideoFrame> held;  // unscaled sinks, mapped already: the attach only hands it on
  GstSample* prerolled = nullptr;          // scaled sinks: the paused picture's sample
  std::uint64_t taken = 0;                 // samples taken so far: a converted older one is not shown

  ~SinkTarget() {
    if (prerolled) gst_sample_unref(prerolled);
  }

  GstFlowReturn Take(GstSample* sample, bool preroll) {
    if (!sample) return GST_FLOW_OK;
    std::uint64_t mine = 0;
    {
      std::lock_guard<std::mutex> lock(mutex);
      mine = ++taken;
      if (scaler) {
        if (prerolled) gst_sample_unref(prerolled);
        prerolled = preroll ? gst_sample_ref(sample) : nullptr;
        if (!mixer) {  // converted once attached, when the window may have asked its size
          gst_sample_unref(sample);
          return GST_FLOW_OK;
        }
      }
    }
    std::shared_ptr<const VideoFrame> frame = scaler ? scaler->Convert(sample) : MapSample(sample);
    if (!frame) return GST_FLOW_OK;
    std::lock_guard<std::mutex> lock(mutex);
    if (!mixer) {
      held = std::move(frame);
      return GST_FLOW_OK;
    }
    if (mine == taken) mixer->Deliver(stream, std::move(frame));
    return GST_FLOW_OK;
  }

  // The paused picture again, at the size now asked.
  void ConvertPrerolledAgain() {
    GstSample* sample = nullptr;
    std::uint64_t mine = 0;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!mixer || !prerolled || !scaler) return;
      sample = gst_sample_ref(prerolled);
      mine = taken;
    }
    std::shared_ptr<const VideoFrame> frame = scaler->Convert(sample);
    std::lock_guard<std::mutex> lock(mutex);
    if (frame && mixer && mine == taken) mixer->Deliver(stream, std::move(frame));
  }
};

constexpr char kTargetKey[] = "orvane-sink-target";

GstFlowReturn OnSample(GstAppSink* sink, gpointer target) {
  return static_cast<SinkTarget*>(target)->Take(gst_app_sink_pull_sample(sink), false);
}

GstFlowReturn OnPreroll(GstAppSink* sink, gpointer target) {
  return static_cast<SinkTarget*>(target)->Take(gst_app_sink_pull_preroll(sink), true);
}

}  // namespace

MappedSample::~MappedSample() {
  if (!sample) return;
  gst_video_frame_unmap(&frame);
  gst_sample_unref(sample);
}

std::shared_ptr<const VideoFrame> MapSample(GstSample* sample) {
  if (!sample) return nullptr;
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  auto mapped = std::make_shared<MappedSample>();
  if (!caps || !buffer || !gst_video_info_from_caps(&info, caps) ||
      !gst_video_frame_map(&mapped->frame, &info, buffer, GST_MAP_READ)) {
    gst_sample_unref(sample);
    return nullptr;
  }
  mapped->sample = sample;
  auto frame = std::make_shared<VideoFrame>();
  frame->width = GST_VIDEO_FRAME_WIDTH(&mapped->frame);
  frame->height = GST_VIDEO_FRAME_HEIGHT(&mapped->frame);
  frame->stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped->frame, 0);
  frame->data = static_cast<const unsigned char*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped->frame, 0));
  frame->keep = mapped;
  return frame;
}

GstFlowReturn DeliverSample(GstSample* sample, VideoMixer* mixer, int stream) {
  if (auto frame = MapSample(sample)) mixer->Deliver(stream, std::move(frame));
  return GST_FLOW_OK;
}

GstElement* MixerSink(VideoMixer* mixer, int stream, FrameScaler** scaler) {
  GstElement* sink = gst_element_factory_make("appsink", nullptr);
  if (!sink) return nullptr;
  GstCaps* caps = gst_caps_from_string(scaler ? kScalerCaps : "video/x-raw,format=BGRx");
  g_object_set(sink, "caps", caps, "sync", TRUE, "max-buffers", 1u, "drop", TRUE,
               "enable-last-sample", FALSE, "qos", TRUE, nullptr);
  gst_caps_unref(caps);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = OnSample;
  callbacks.new_preroll = OnPreroll;
  auto* target = new SinkTarget;
  target->mixer = mixer;
  target->stream = stream;
  if (scaler) {
    target->scaler = std::make_unique<FrameScaler>();
    target->scaler->newSize = [target] { target->ConvertPrerolledAgain(); };
    *scaler = target->scaler.get();
  }
  g_object_set_data(G_OBJECT(sink), kTargetKey, target);
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, target,
                             [](gpointer p) { delete static_cast<SinkTarget*>(p); });
  return sink;
}

void AttachMixer(GstElement* mixerSink, VideoMixer* mixer) {
  auto* target = static_cast<SinkTarget*>(g_object_get_data(G_OBJECT(mixerSink), kTargetKey));
  if (!target || !mixer) return;
  std::shared_ptr<const VideoFrame> held;
  {
    std::lock_guard<std::mutex> lock(target->mutex);
    target->mixer = mixer;
    held = std::move(target->held);
  }
  if (held) mixer->Deliver(target->stream, std::move(held));
  // A graph built before the window asked a size (the one started with the
  // program) is converted once the window's fit asks one: at its own size now
  // it would cost a 1080p conversion that is thrown away at once.
  if (target->scaler && target->scaler->Asked()) target->ConvertPrerolledAgain();
}

void AskSize(FrameScaler* scaler, int width, int height) {
  if (scaler && scaler->Ask(width, height) && width > 0 && height > 0 && scaler->newSize) scaler->newSize();
}

GstElement* ScalingMixerSink(VideoMixer* mixer, int stream, FrameScaler** scaler,
                             GstElement** appsink) {
  GstElement* sink = MixerSink(mixer, stream, scaler);
  if (!sink) return nullptr;
  if (appsink) *appsink = sink;
  GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
  if (!convert) return sink;
  GstElement* bin = gst_bin_new(nullptr);
  gst_bin_add_many(GST_BIN(bin), convert, sink, nullptr);
  gst_element_link(convert, sink);
  GstPad* pad = gst_element_get_static_pad(convert, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
  gst_object_unref(pad);
  return bin;
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
  // Frames come at the size they are drawn, so the window only copies them;
  // the sink scales and converts them in one pass.
  GstElement* sink = ScalingMixerSink(mixer, 0, &scaler_, &appsink_);
  if (!sink) return false;
  // The mixing renderer starts every graph as one opaque full-size stream on black.
  if (mixer) mixer->Reset();
  videoSink_ = GST_ELEMENT(gst_object_ref_sink(sink));
  g_object_set(playbin, "video-sink", videoSink_, nullptr);
  return true;
}

PlaybinOutput& PlaybinOutput::operator=(PlaybinOutput&& other) noexcept {
  if (this == &other) return *this;
  Release();
  std::swap(videoSink_, other.videoSink_);
  std::swap(overlay_, other.overlay_);
  std::swap(appsink_, other.appsink_);
  std::swap(sizeFilter_, other.sizeFilter_);
  std::swap(scaler_, other.scaler_);
  std::swap(panorama_, other.panorama_);
  return *this;
}

void PlaybinOutput::AttachMixer(VideoMixer* mixer) {
  if (!appsink_ || !mixer) return;
  mixer->Reset();
  engine::AttachMixer(appsink_, mixer);
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

void PlaybinOutput::Release() {
  if (videoSink_) gst_object_unref(videoSink_);
  videoSink_ = nullptr;
  overlay_ = nullptr;
  appsink_ = nullptr;
  sizeFilter_ = nullptr;
  scaler_ = nullptr;
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
  if (destination.Width() > 0 && destination.Height() > 0)
    AskSize(scaler_, destination.Width(), destination.Height());
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
