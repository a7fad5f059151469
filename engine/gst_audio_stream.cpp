#include "engine/gst_audio_stream.h"

#include <strings.h>

#include <gst/audio/audio.h>

#include "engine/gst_wait.h"
#include "engine/sound_server.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace engine {

namespace {

bool IsAiffName(const std::string& path) {
  return path.size() >= 4 && ::strcasecmp(path.c_str() + path.size() - 4, ".aif") == 0;
}

// An open that has not prerolled by then is taken as failed rather than hang the window.
constexpr GstClockTime kOpenTimeLimit = 10 * GST_SECOND;
// A seek prerolls again before the position is read back.
constexpr GstClockTime kSeekTimeLimit = 2 * GST_SECOND;
constexpr GstClockTime kScanTimeLimit = 3 * GST_SECOND;

constexpr double kMaxEqGain = 15.0;
// Centre and width stay below 0.4 of the rate: nearer Nyquist the peaking
// filter's poles approach the unit circle and the band turns into a broadband
// gain. At 44.1 kHz and above no band the player sets is clamped.
constexpr double kEqLimitOfRate = 0.4;

// Goes to PAUSED and waits for the preroll; an error posted alongside a
// completed preroll fails the open too.
bool WaitForPreroll(GstElement* pipeline) {
  GstStateChangeReturn change = gst_element_set_state(pipeline, GST_STATE_PAUSED);
  if (change == GST_STATE_CHANGE_FAILURE) return false;
  if (change == GST_STATE_CHANGE_ASYNC && !WaitForAsyncDone(pipeline, kOpenTimeLimit, true))
    return false;
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* error = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
  if (error) gst_message_unref(error);
  gst_object_unref(bus);
  return error == nullptr;
}

// A muted volume marks its silence as a gap. pulsesink's clock has been seen to
// stop on gaps and not start again when the volume comes back, so silence goes
// out as plain samples.
GstPadProbeReturn FillGaps(GstPad*, GstPadProbeInfo* info, gpointer) {
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (buffer && GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_GAP)) {
    buffer = gst_buffer_make_writable(buffer);
    GST_BUFFER_FLAG_UNSET(buffer, GST_BUFFER_FLAG_GAP);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
  }
  return GST_PAD_PROBE_OK;
}

// The time of the last frame a parse-only run through the file reaches: for
// streams that tell no duration until played for a while (MPEG audio without
// a header). Parsing is quick; a long file takes some tens of milliseconds.
gint64 ScanDuration(const std::string& path) {
  GstElement* scan = gst_parse_launch("filesrc name=source ! parsebin ! fakesink sync=false", nullptr);
  if (!scan) return -1;
  GstElement* source = gst_bin_get_by_name(GST_BIN(scan), "source");
  if (source) {
    g_object_set(source, "location", path.c_str(), nullptr);
    gst_object_unref(source);
  }
  gint64 end = -1;
  if (source && gst_element_set_state(scan, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
    GstBus* bus = gst_element_get_bus(scan);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, kScanTimeLimit, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    if (message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS &&
        !gst_element_query_position(scan, GST_FORMAT_TIME, &end))
      end = -1;
    if (message) gst_message_unref(message);
    gst_object_unref(bus);
  }
  gst_element_set_state(scan, GST_STATE_NULL);
  gst_object_unref(scan);
  return end;
}

GstElement* MakeAudioSink() {
  if (const char* description = std::getenv("ORVANE_AUDIO_SINK"); description && *description) {
    if (GstElement* sink = gst_parse_bin_from_description(description, TRUE, nullptr)) return sink;
  }
  return gst_element_factory_make("autoaudiosink", nullptr);
}

}  // namespace

GstAudioStream::GstAudioStream() {
  gst_init(nullptr, nullptr);
  HoldSoundServerLoop();
  ring_.assign(static_cast<size_t>(kRingSize), 0.0f);
  gst_segment_init(&segment_, GST_FORMAT_TIME);
  fft_ = gst_fft_f32_new(kFftSize, FALSE);
  // Hann window; the sum scales a full-scale sine to 1 in its bin.
  for (int i = 0; i < kFftSize; ++i) {
    window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * G_PI * i / kFftSize));
    windowSum_ += window_[i];
  }
}

GstAudioStream::~GstAudioStream() {
  Free();
  if (fft_) gst_fft_f32_free(fft_);
}

void GstAudioStream::OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  auto* self = static_cast<GstAudioStream*>(data);
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (!caps) caps = gst_pad_query_caps(pad, nullptr);
  bool audio = false;
  if (caps && gst_caps_get_size(caps) > 0)
    audio = g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
  if (caps) gst_caps_unref(caps);
  if (!audio) return;
  GstPad* sink = gst_element_get_static_pad(self->input_, "sink");
  // The first audio stream plays; any further one is left unlinked.
  if (!gst_pad_is_linked(sink)) gst_pad_link(pad, sink);
  gst_object_unref(sink);
}

GstPadProbeReturn GstAudioStream::OnTap(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<GstAudioStream*>(data);
  if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
      buffer && (info->type & GST_PAD_PROBE_TYPE_BUFFER)) {
    self->Tap(buffer);
    return GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (!event || !(info->type & GST_PAD_PROBE_TYPE_EVENT_BOTH)) return GST_PAD_PROBE_OK;
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_CAPS: {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      GstAudioInfo audio;
      if (caps && gst_audio_info_from_caps(&audio, caps)) {
        std::lock_guard<std::mutex> lock(self->tapMutex_);
        self->tapRate_ = GST_AUDIO_INFO_RATE(&audio);
        self->tapChannels_ = GST_AUDIO_INFO_CHANNELS(&audio);
      }
      break;
    }
    case GST_EVENT_SEGMENT: {
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      std::lock_guard<std::mutex> lock(self->tapMutex_);
      if (segment) gst_segment_copy_into(segment, &self->segment_);
      self->written_ = 0;
      self->headTime_ = GST_CLOCK_TIME_NONE;
      break;
    }
    case GST_EVENT_FLUSH_STOP: {
      // The samples before a seek belong to another position.
      std::lock_guard<std::mutex> lock(self->tapMutex_);
      self->written_ = 0;
      self->headTime_ = GST_CLOCK_TIME_NONE;
      break;
    }
    default:
      break;
  }
  return GST_PAD_PROBE_OK;
}

void GstAudioStream::Tap(GstBuffer* buffer) {
  std::lock_guard<std::mutex> lock(tapMutex_);
  if (tapRate_ <= 0 || tapChannels_ <= 0) return;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
  const auto* samples = reinterpret_cast<const float*>(map.data);
  const std::int64_t frames = static_cast<std::int64_t>(map.size / sizeof(float)) / tapChannels_;
  const float scale = 1.0f / static_cast<float>(tapChannels_);
  for (std::int64_t f = 0; f < frames; ++f) {
    float sum = 0;
    for (int c = 0; c < tapChannels_; ++c) sum += samples[f * tapChannels_ + c];
    ring_[static_cast<size_t>(written_ & (kRingSize - 1))] = sum * scale;
    ++written_;
  }
  gst_buffer_unmap(buffer, &map);
  const GstClockTime span = gst_util_uint64_scale(static_cast<guint64>(frames), GST_SECOND,
                                                  static_cast<guint64>(tapRate_));
  GstClockTime start = GST_BUFFER_PTS(buffer);
  if (GST_CLOCK_TIME_IS_VALID(start))
    start = gst_segment_to_stream_time(&segment_, GST_FORMAT_TIME, start);
  if (GST_CLOCK_TIME_IS_VALID(start))
    headTime_ = start + span;
  else if (GST_CLOCK_TIME_IS_VALID(headTime_))
    headTime_ += span;
}

void GstAudioStream::ResetTap() {
  std::lock_guard<std::mutex> lock(tapMutex_);
  written_ = 0;
  headTime_ = GST_CLOCK_TIME_NONE;
  tapRate_ = tapChannels_ = 0;
  gst_segment_init(&segment_, GST_FORMAT_TIME);
}

bool GstAudioStream::CreateFileStream(const std::string& path) {
  // Inside decodebin the AIFF parser may push its first buffer before its pad
  // is exposed ("not-linked") when the machine is busy; on its own its pad is
  // linked before it starts, so AIFF goes straight to it. Anything it refuses
  // gets the decoder's sniffing.
  if (IsAiffName(path) && OpenStream(path, "aiffparse")) return true;
  return OpenStream(path, "decodebin");
}

bool GstAudioStream::OpenStream(const std::string& path, const char* decoderName) {
  Free();
  if (path.empty()) return false;
  GError* error = nullptr;
  // Float samples through the equaliser; byte positions are those of 16-bit PCM.
  const std::string description =
      std::string("filesrc name=source ! ") + decoderName + " name=decoder "
      "audioconvert name=input ! audio/x-raw,format=F32LE,layout=interleaved "
      "! equalizer-nbands name=equaliser num-bands=20 ! volume name=volume "
      "! audioconvert ! audioresample name=output";
  pipeline_ = gst_parse_launch(description.c_str(), &error);
  if (error) {
    g_error_free(error);
    if (pipeline_) gst_object_unref(pipeline_);
    pipeline_ = nullptr;
    return false;
  }
  GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline_), "source");
  GstElement* decoder = gst_bin_get_by_name(GST_BIN(pipeline_), "decoder");
  GstElement* output = gst_bin_get_by_name(GST_BIN(pipeline_), "output");
  input_ = gst_bin_get_by_name(GST_BIN(pipeline_), "input");
  equaliser_ = gst_bin_get_by_name(GST_BIN(pipeline_), "equaliser");
  volume_ = gst_bin_get_by_name(GST_BIN(pipeline_), "volume");
  GstElement* sink = MakeAudioSink();
  bool built = source && decoder && output && input_ && equaliser_ && volume_ && sink;
  if (built) {
    g_object_set(source, "location", path.c_str(), nullptr);
    // A parser's output pad exists from the start; a decoder's appears later.
    if (GstPad* out = gst_element_get_static_pad(decoder, "src")) {
      GstPad* in = gst_element_get_static_pad(input_, "sink");
      built = gst_pad_link(out, in) == GST_PAD_LINK_OK;
      gst_object_unref(in);
      gst_object_unref(out);
    } else {
      g_signal_connect(decoder, "pad-added", G_CALLBACK(OnPadAdded), this);
    }
    gst_bin_add(GST_BIN(pipeline_), sink);
    sink_ = GST_ELEMENT(gst_object_ref(sink));
    built = built && gst_element_link(output, sink);
  } else if (sink) {
    gst_object_unref(sink);
  }
  for (GstElement* e : {source, decoder, output})
    if (e) gst_object_unref(e);
  if (!built) {
    Free();
    return false;
  }

  // Every band peaks (the element makes its first and last ones shelves) and
  // starts flat, so adding effects never changes the pipeline.
  const guint bands = gst_child_proxy_get_children_count(GST_CHILD_PROXY(equaliser_));
  for (guint i = 0; i < bands; ++i) {
    GObject* band = gst_child_proxy_get_child_by_index(GST_CHILD_PROXY(equaliser_), i);
    g_object_set(band, "type", 0 /* peak */, "gain", 0.0, "freq", 1000.0, "bandwidth", 1000.0,
                 nullptr);
    g_object_unref(band);
  }
  g_object_set(volume_, "volume", static_cast<gdouble>(level_), nullptr);

  // The spectrum taps the equalised samples ahead of the volume.
  GstPad* tap = gst_element_get_static_pad(volume_, "sink");
  gst_pad_add_probe(tap,
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                 GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                 GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                    OnTap, this, nullptr);
  GstPad* volumeOut = gst_element_get_static_pad(volume_, "src");
  gst_pad_add_probe(volumeOut, GST_PAD_PROBE_TYPE_BUFFER, FillGaps, nullptr, nullptr);
  gst_object_unref(volumeOut);

  bool opened = WaitForPreroll(pipeline_);
  if (opened) {
    GstCaps* caps = gst_pad_get_current_caps(tap);
    GstAudioInfo info;
    opened = caps && gst_audio_info_from_caps(&info, caps) && GST_AUDIO_INFO_RATE(&info) > 0 &&
             GST_AUDIO_INFO_CHANNELS(&info) > 0;
    if (opened) {
      rate_ = GST_AUDIO_INFO_RATE(&info);
      channels_ = GST_AUDIO_INFO_CHANNELS(&info);
    }
    if (caps) gst_caps_unref(caps);
  }
  gst_object_unref(tap);
  if (!opened) {
    Free();
    return false;
  }
  QueryLength();
  if (length_ <= 0) length_ = FramesAt(ScanDuration(path)) * FrameBytes();
  handleBase_ = nextHandleBase_;
  nextHandleBase_ += kEqBands;
  return true;
}

void GstAudioStream::Free() {
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
  }
  for (GstElement** e : {&input_, &equaliser_, &volume_, &sink_}) {
    if (*e) gst_object_unref(*e);
    *e = nullptr;
  }
  // Streaming threads are joined by now: the tap is idle.
  ResetTap();
  rate_ = channels_ = 0;
  length_ = lastPosition_ = 0;
  ended_ = playing_ = false;
  effects_ = 0;
}

std::int64_t GstAudioStream::FramesAt(gint64 time) const {
  if (time <= 0 || rate_ <= 0) return 0;
  return static_cast<std::int64_t>(
      gst_util_uint64_scale(static_cast<guint64>(time), static_cast<guint64>(rate_), GST_SECOND));
}

void GstAudioStream::QueryLength() const {
  gint64 duration = 0;
  if (pipeline_ && gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) &&
      duration > 0)
    length_ = FramesAt(duration) * FrameBytes();
}

void GstAudioStream::DrainBus() const {
  if (!pipeline_) return;
  GstBus* bus = gst_element_get_bus(pipeline_);
  while (GstMessage* message = gst_bus_pop(bus)) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_EOS:
      // A stream that breaks off while playing ends there.
      case GST_MESSAGE_ERROR:
        ended_ = true;
        break;
      case GST_MESSAGE_DURATION_CHANGED:
        // The length the stream opened with stays: the end reads as that
        // length, and later estimates while playing may differ.
        if (length_ <= 0) QueryLength();
        break;
      default:
        break;
    }
    gst_message_unref(message);
  }
  gst_object_unref(bus);
}

void GstAudioStream::SeekTo(std::int64_t frames) {
  if (!pipeline_ || rate_ <= 0) return;
  DrainBus();  // an end queued before the flush belongs to the old position
  // Rounded up, so the position reads back as the same whole frame.
  const GstClockTime time = gst_util_uint64_scale_ceil(static_cast<guint64>(std::max<std::int64_t>(0, frames)),
                                                       GST_SECOND, static_cast<guint64>(rate_));
  if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME,
                               static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                               static_cast<gint64>(time)))
    return;
  ended_ = false;
  lastPosition_ = frames * FrameBytes();
  gst_element_get_state(pipeline_, nullptr, nullptr, kSeekTimeLimit);
}

void GstAudioStream::Play(bool restart) {
  if (!pipeline_) return;
  if (restart) SeekTo(0);
  gst_element_set_state(pipeline_, GST_STATE_PLAYING);
  playing_ = true;
}

void GstAudioStream::Pause() {
  if (!pipeline_) return;
  gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  playing_ = false;
}

void GstAudioStream::Stop() {
  if (!pipeline_) return;
  gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  playing_ = false;
  SeekTo(0);
}

std::int64_t GstAudioStream::LengthBytes() const {
  DrainBus();
  return length_;
}

std::int64_t GstAudioStream::PositionBytes() const {
  if (!pipeline_) return 0;
  DrainBus();
  if (ended_) return length_;
  gint64 position = 0;
  if (gst_element_query_position(sink_ ? sink_ : pipeline_, GST_FORMAT_TIME, &position) && position >= 0)
    lastPosition_ = FramesAt(position) * FrameBytes();
  if (length_ > 0) lastPosition_ = std::min(lastPosition_, length_);
  return lastPosition_;
}

double GstAudioStream::BytesToSeconds(std::int64_t bytes) const {
  if (rate_ <= 0 || channels_ <= 0) return 0;
  return static_cast<double>(bytes) / (static_cast<double>(rate_) * FrameBytes());
}

std::int64_t GstAudioStream::SecondsToBytes(double seconds) const {
  if (rate_ <= 0 || channels_ <= 0 || !(seconds > 0)) return 0;
  // The small allowance keeps a whole frame whole after a trip through seconds.
  return static_cast<std::int64_t>(std::floor(seconds * rate_ + 1e-6)) * FrameBytes();
}

void GstAudioStream::SetPositionBytes(std::int64_t bytes) {
  if (!pipeline_ || channels_ <= 0) return;
  bytes = std::clamp<std::int64_t>(bytes, 0, std::max<std::int64_t>(0, length_));
  SeekTo(bytes / FrameBytes());
}

void GstAudioStream::SetVolume(float level) {
  if (!std::isfinite(level)) return;
  level_ = std::clamp(level, 0.0f, 1.0f);
  if (volume_) g_object_set(volume_, "volume", static_cast<gdouble>(level_), nullptr);
}

bool GstAudioStream::IsActivePlaying() const {
  if (!pipeline_ || !playing_) return false;
  DrainBus();
  return !ended_;
}

bool GstAudioStream::GetSpectrum(float (&values)[kSpectrumValues]) {
  std::fill(std::begin(values), std::end(values), 0.0f);
  if (!IsActivePlaying() || !fft_) return false;
  gint64 position = -1;
  if (!gst_element_query_position(sink_ ? sink_ : pipeline_, GST_FORMAT_TIME, &position) || position < 0)
    return true;

  // The samples ending at the position being heard, which trails the ones
  // just tapped by the sink's latency.
  float samples[kFftSize] = {};
  {
    std::lock_guard<std::mutex> lock(tapMutex_);
    if (tapRate_ > 0 && GST_CLOCK_TIME_IS_VALID(headTime_) && written_ > 0) {
      std::int64_t end = written_;
      const auto head = static_cast<gint64>(headTime_);
      if (head > position)
        end -= static_cast<std::int64_t>(gst_util_uint64_scale(
            static_cast<guint64>(head - position), static_cast<guint64>(tapRate_), GST_SECOND));
      const std::int64_t oldest = std::max<std::int64_t>(0, written_ - kRingSize);
      if (end - kFftSize < oldest) end = std::min(written_, oldest + kFftSize);
      for (int i = 0; i < kFftSize; ++i) {
        const std::int64_t index = end - kFftSize + i;
        if (index >= oldest) samples[i] = ring_[static_cast<size_t>(index & (kRingSize - 1))];
      }
    }
  }
  for (int i = 0; i < kFftSize; ++i) samples[i] *= window_[i];
  GstFFTF32Complex spectrum[kFftSize / 2 + 1];
  gst_fft_f32_fft(fft_, samples, spectrum);
  const float scale = 2.0f / windowSum_;
  for (int k = 0; k < kSpectrumValues; ++k)
    values[k] = std::hypot(spectrum[k].r, spectrum[k].i) * scale;
  return true;
}

int GstAudioStream::AddEqEffect() {
  if (!pipeline_ || !equaliser_ || effects_ >= kEqBands) return 0;
  ++effects_;
  return handleBase_ + effects_;
}

bool GstAudioStream::SetEqParameters(int handle, float centre, float bandwidth, float gain) {
  const int effect = handle - handleBase_ - 1;
  if (!equaliser_ || rate_ <= 0 || effect < 0 || effect >= effects_) return false;
  if (!std::isfinite(centre) || !std::isfinite(bandwidth) || !std::isfinite(gain)) return false;
  const double limit = kEqLimitOfRate * rate_;
  const double frequency = std::clamp<double>(centre, 1.0, limit);
  // Semitones to Hz between the band edges, geometric about the centre.
  const double octaves = std::max<double>(0.0, bandwidth) / 12.0;
  const double width =
      std::min(limit, frequency * (std::exp2(octaves / 2) - std::exp2(-octaves / 2)));
  // A band reaches only +12 dB: two identical bands at half the gain add up in dB.
  const double half = std::clamp<double>(gain, -kMaxEqGain, kMaxEqGain) / 2;
  for (int i : {2 * effect, 2 * effect + 1}) {
    GObject* band = gst_child_proxy_get_child_by_index(GST_CHILD_PROXY(equaliser_),
                                                       static_cast<guint>(i));
    if (!band) return false;
    g_object_set(band, "freq", frequency, "bandwidth", width, "gain", half, nullptr);
    g_object_unref(band);
  }
  return true;
}

}  // namespace engine
