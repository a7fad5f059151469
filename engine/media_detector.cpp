#include "engine/media_detector.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <gst/video/video.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "engine/bitmap_file.h"
#include "engine/gst_wait.h"
#include "platform/media_path.h"

namespace engine {

namespace {

// A broken or hostile file must not stall the caller for longer than this.
constexpr GstClockTime kDiscoverTimeout = 10 * GST_SECOND;
constexpr GstClockTime kPipelineTimeout = 10 * GST_SECOND;
// Keeps the bitmap's 32-bit size fields valid and the frame buffer sane.
constexpr int kMaxBitmapSide = 16384;

template <typename T>
struct GstPtr {
  T* p = nullptr;
  explicit GstPtr(T* q) : p(q) {}
  ~GstPtr() {
    if (p) gst_object_unref(p);
  }
  GstPtr(const GstPtr&) = delete;
  GstPtr& operator=(const GstPtr&) = delete;
};

std::string FileUri(const std::string& path) {
  GError* err = nullptr;
  gchar* uri = gst_filename_to_uri(path.c_str(), &err);
  if (err) g_error_free(err);
  if (!uri) return {};
  std::string result(uri);
  g_free(uri);
  return result;
}

double ClockToSeconds(GstClockTime t) {
  if (!GST_CLOCK_TIME_IS_VALID(t)) return 0;
  return static_cast<double>(t) / GST_SECOND;
}

// A video stream as the window shows it. Anamorphic pictures are shown at
// their display size: the width scaled by the pixel aspect ratio, the height
// kept (PAL 16:9 is 720 x 576 at 64:45).
DetectedStream VideoStream(int width, int height, unsigned parN, unsigned parD, unsigned rateN,
                           unsigned rateD, double length) {
  DetectedStream d;
  d.type = StreamType::Video;
  d.lengthSeconds = length;
  d.width = width;
  d.height = height;
  if (parN > 0 && parD > 0 && parN != parD && d.width > 0) {
    const double shown = std::round(static_cast<double>(d.width) * parN / parD);
    if (shown >= 1 && shown <= 65535) d.width = static_cast<int>(shown);
  }
  d.frameRate = rateD ? static_cast<double>(rateN) / rateD : 0;
  return d;
}

}  // namespace

MediaDetector::MediaDetector() { gst_init(nullptr, nullptr); }

MediaDetector::~MediaDetector() = default;

bool MediaDetector::put_Filename(const std::string& path) {
  path_.clear();
  streams_.clear();
  stillImage_ = false;
  if (!platform::IsRegularFile(path)) return false;  // a pipe would block the discoverer
  const std::string uri = FileUri(path);
  if (uri.empty()) return false;

  // The graph that has just opened the file answers from what it negotiated.
  std::vector<NegotiatedStream> negotiated;
  std::uint64_t durationNs = 0;
  if (graph_ && graph_->NegotiatedStreams(path, &negotiated, &durationNs) && !negotiated.empty()) {
    const double length = ClockToSeconds(durationNs);
    for (const NegotiatedStream& n : negotiated) {
      if (n.type == StreamType::Video) {
        streams_.push_back(VideoStream(n.width, n.height, n.parN, n.parD, n.rateN, n.rateD, length));
      } else {
        DetectedStream d;
        d.type = n.type;
        d.lengthSeconds = length;
        streams_.push_back(d);
      }
    }
    path_ = path;
    return true;
  }

  GError* err = nullptr;
  GstDiscoverer* discoverer = gst_discoverer_new(kDiscoverTimeout, &err);
  if (err) g_error_free(err);
  if (!discoverer) return false;
  err = nullptr;
  GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri.c_str(), &err);
  if (err) g_error_free(err);
  gst_object_unref(discoverer);
  if (!info) return false;
  if (gst_discoverer_info_get_result(info) != GST_DISCOVERER_OK) {
    gst_discoverer_info_unref(info);
    return false;
  }

  const double length = ClockToSeconds(gst_discoverer_info_get_duration(info));
  std::vector<DetectedStream> found;
  bool still = false;
  GList* list = gst_discoverer_info_get_stream_list(info);
  for (GList* l = list; l; l = l->next) {
    auto* s = static_cast<GstDiscovererStreamInfo*>(l->data);
    if (GST_IS_DISCOVERER_CONTAINER_INFO(s)) continue;
    DetectedStream d;
    d.lengthSeconds = length;
    if (GST_IS_DISCOVERER_VIDEO_INFO(s)) {
      auto* v = GST_DISCOVERER_VIDEO_INFO(s);
      d = VideoStream(static_cast<int>(gst_discoverer_video_info_get_width(v)),
                      static_cast<int>(gst_discoverer_video_info_get_height(v)),
                      gst_discoverer_video_info_get_par_num(v),
                      gst_discoverer_video_info_get_par_denom(v),
                      gst_discoverer_video_info_get_framerate_num(v),
                      gst_discoverer_video_info_get_framerate_denom(v), length);
      if (gst_discoverer_video_info_is_image(v)) still = true;
    } else if (GST_IS_DISCOVERER_AUDIO_INFO(s)) {
      d.type = StreamType::Audio;
    } else {
      // Tag wrappers such as an ID3 header show up as plain entries with a
      // stream behind them; only the stream itself counts.
      GstDiscovererStreamInfo* next = gst_discoverer_stream_info_get_next(s);
      if (next) {
        gst_discoverer_stream_info_unref(next);
        continue;
      }
      d.type = StreamType::Other;
    }
    found.push_back(d);
  }
  gst_discoverer_stream_info_list_free(list);
  gst_discoverer_info_unref(info);
  if (found.empty()) return false;

  path_ = path;
  streams_ = std::move(found);
  stillImage_ = still;
  return true;
}

int MediaDetector::OutputStreams() const { return static_cast<int>(streams_.size()); }

const DetectedStream& MediaDetector::Stream(int i) const {
  return streams_.at(static_cast<size_t>(i));
}

bool MediaDetector::WriteBitmapBits(double seconds, int width, int height,
                                    const std::string& bmpPath) {
  if (path_.empty() || bmpPath.empty()) return false;
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
  if (!std::isfinite(seconds) || seconds < 0) return false;
  bool hasVideo = false;
  for (const DetectedStream& s : streams_) hasVideo = hasVideo || s.type == StreamType::Video;
  if (!hasVideo) return false;
  const std::string uri = FileUri(path_);
  if (uri.empty()) return false;

  // The uri is set as a property rather than parsed, so no quoting is needed.
  // The frame is stretched to the asked size, not letterboxed.
  const std::string launch =
      "uridecodebin name=src caps=video/x-raw(ANY) expose-all-streams=false ! videoconvert ! "
      "videoscale add-borders=false ! video/x-raw,format=BGR,width=" + std::to_string(width) +
      ",height=" + std::to_string(height) + ",pixel-aspect-ratio=1/1 ! appsink name=sink";
  GError* err = nullptr;
  GstElement* raw = gst_parse_launch(launch.c_str(), &err);
  if (err) {
    g_error_free(err);
    if (raw) gst_object_unref(raw);
    return false;
  }
  if (!raw) return false;
  GstPtr<GstElement> pipeline(GST_ELEMENT(gst_object_ref_sink(raw)));
  GstPtr<GstElement> src(gst_bin_get_by_name(GST_BIN(pipeline.p), "src"));
  GstPtr<GstElement> sink(gst_bin_get_by_name(GST_BIN(pipeline.p), "sink"));
  if (!src.p || !sink.p) return false;
  g_object_set(src.p, "uri", uri.c_str(), nullptr);
  g_object_set(sink.p, "enable-last-sample", FALSE, "max-buffers", 1u, nullptr);

  struct StopOnExit {
    GstElement* e;
    ~StopOnExit() { gst_element_set_state(e, GST_STATE_NULL); }
  } stop{pipeline.p};

  const GstStateChangeReturn ret = gst_element_set_state(pipeline.p, GST_STATE_PAUSED);
  if (ret == GST_STATE_CHANGE_FAILURE) return false;
  if (ret == GST_STATE_CHANGE_ASYNC && !WaitForAsyncDone(pipeline.p, kPipelineTimeout)) return false;

  // The preroll frame is already the first one; a still picture cannot seek.
  if (seconds > 0 && !stillImage_) {
    const auto t = static_cast<gint64>(std::llround(seconds * GST_SECOND));
    if (!gst_element_seek_simple(pipeline.p, GST_FORMAT_TIME,
                                 static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                 t))
      return false;
    if (!WaitForAsyncDone(pipeline.p, kPipelineTimeout)) return false;
  }

  // NULL here means end of stream: the time was past the last frame.
  GstSample* sample = gst_app_sink_try_pull_preroll(GST_APP_SINK(sink.p), kPipelineTimeout);
  if (!sample) return false;
  bool ok = false;
  GstVideoInfo vinfo;
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstCaps* caps = gst_sample_get_caps(sample);
  if (buffer && caps && gst_video_info_from_caps(&vinfo, caps) &&
      GST_VIDEO_INFO_FORMAT(&vinfo) == GST_VIDEO_FORMAT_BGR &&
      GST_VIDEO_INFO_WIDTH(&vinfo) == width && GST_VIDEO_INFO_HEIGHT(&vinfo) == height) {
    GstVideoFrame frame;
    if (gst_video_frame_map(&frame, &vinfo, buffer, GST_MAP_READ)) {
      ok = WriteBitmap24(bmpPath, width, height,
                         static_cast<const unsigned char*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                         GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
      gst_video_frame_unmap(&frame);
    }
  }
  gst_sample_unref(sample);
  return ok;
}

}  // namespace engine
