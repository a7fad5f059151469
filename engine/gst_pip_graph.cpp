#include "engine/gst_pip_graph.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/gst_wait.h"
#include "engine/sound_server.h"

namespace engine {

namespace {

constexpr GstClockTime kBuildTimeLimit = 10 * GST_SECOND;

// Adds the elements, links them in order and the last to `downstream`, brings
// them to the pipeline's state and only then links `pad` to the first, so no
// data meets an unlinked pad. Null when any part is missing or refuses.
GstElement* AttachChain(GstElement* pipeline, GstPad* pad, std::vector<GstElement*> chain,
                        GstPad* downstream = nullptr) {
  for (GstElement* e : chain)
    if (!e) {
      for (GstElement* other : chain)
        if (other) gst_object_unref(other);
      return nullptr;
    }
  for (GstElement* e : chain) gst_bin_add(GST_BIN(pipeline), e);
  for (size_t i = 0; i + 1 < chain.size(); ++i)
    if (!gst_element_link(chain[i], chain[i + 1])) return nullptr;
  if (downstream) {
    GstPad* tail = gst_element_get_static_pad(chain.back(), "src");
    const bool linked = gst_pad_link(tail, downstream) == GST_PAD_LINK_OK;
    gst_object_unref(tail);
    if (!linked) return nullptr;
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) gst_element_sync_state_with_parent(*it);
  if (!pad) return chain.front();
  GstPad* sink = gst_element_get_static_pad(chain.front(), "sink");
  const bool linked = gst_pad_link(pad, sink) == GST_PAD_LINK_OK;
  gst_object_unref(sink);
  return linked ? chain.front() : nullptr;
}

GstElement* Make(const char* factory) { return gst_element_factory_make(factory, nullptr); }

bool IsKind(GstPad* pad, const char* prefix) {
  GstCaps* caps = gst_pad_get_current_caps(pad);
  if (!caps) caps = gst_pad_query_caps(pad, nullptr);
  bool match = false;
  if (caps && gst_caps_get_size(caps) > 0)
    match = g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), prefix);
  if (caps) gst_caps_unref(caps);
  return match;
}

}  // namespace

GstPipGraph::GstPipGraph() {
  gst_init(nullptr, nullptr);
  HoldSoundServerLoop();
  for (int i = 0; i < 2; ++i) {
    sources_[i].graph = this;
    sources_[i].stream = i;
  }
}

GstPipGraph::~GstPipGraph() { Release(); }

// A decoded pad's end and flushes, counted per pad, tell when file A has ended.
static GstPadProbeReturn WatchEnd(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* source = static_cast<GstPipGraph::Source*>(data);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  const bool eos = GST_EVENT_TYPE(event) == GST_EVENT_EOS;
  if (eos || GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) source->graph->MarkEnded(*source, pad, eos);
  return GST_PAD_PROBE_OK;
}

void GstPipGraph::MarkEnded(Source& source, GstPad* pad, bool ended) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& p : source.pads)
    if (p.first == pad) p.second = ended;
}

void GstPipGraph::PadAdded(Source& source, GstPad* pad) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!pipeline_) return;
  bool linked = false;
  if (IsKind(pad, "video/"))
    linked = AddVideoBranch(source, pad);
  else if (IsKind(pad, "audio/"))
    linked = AddAudioBranch(source, pad);
  if (!linked) return;
  source.pads.emplace_back(GST_PAD(gst_object_ref(pad)), false);
  const auto events = static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH);
  gst_pad_add_probe(pad, events, WatchEnd, &source, nullptr);
  if (!source.queryPad) source.queryPad = gst_pad_get_peer(pad);
}

bool GstPipGraph::AddVideoBranch(Source& source, GstPad* pad) {
  const int s = source.stream;
  if (videoSinks_[s] || !output_.mixer) return false;  // one picture per file
  GstElement* sink = MixerSink(output_.mixer, s);
  GstElement* filter = SizeFilter();
  if (!sink || !filter) {
    if (sink) gst_object_unref(sink);
    if (filter) gst_object_unref(filter);
    return false;
  }
  if (destination_.Width() > 0 && destination_.Height() > 0)
    AskSize(filter, "BGRx", destination_.Width(), destination_.Height());
  if (!AttachChain(pipeline_, pad,
                   {Make("queue"), StretchingScaler(), Make("videoconvert"), filter, sink}))
    return false;
  videoSinks_[s] = sink;
  sizeFilters_[s] = filter;
  return true;
}

// Each file's sound has its own tempo, balance, volume and output in the one
// pipeline: the outputs share the pipeline's clock and the sound server mixes
// them. A mixer element ahead of one output would play the other rates at
// rate 1 and lose its inputs' segments.
bool GstPipGraph::AddAudioBranch(Source& source, GstPad* pad) {
  if (source.hasSound) return false;  // one sound per file
  GstElement* volume = Make("volume");
  GstElement* panorama = Make("audiopanorama");
  GstElement* stereo = Make("capsfilter");
  const char* named = std::getenv("ORVANE_AUDIO_SINK");
  GstElement* sink = named && *named ? gst_parse_bin_from_description(named, TRUE, nullptr)
                                     : Make("autoaudiosink");
  if (stereo) {
    // Panned as stereo: a mono input would be spread, not balanced.
    GstCaps* caps = gst_caps_from_string("audio/x-raw,channels=2");
    g_object_set(stereo, "caps", caps, nullptr);
    gst_caps_unref(caps);
  }
  // "simple": a full pan silences the other channel instead of mixing it in.
  if (panorama) gst_util_set_object_arg(G_OBJECT(panorama), "method", "simple");
  if (volume) g_object_set(volume, "volume", gain_, nullptr);
  if (panorama) g_object_set(panorama, "panorama", pan_, nullptr);
  if (!AttachChain(pipeline_, pad,
                   {Make("queue"), Make("audioconvert"), Make("scaletempo"), Make("audioconvert"),
                    stereo, panorama, volume, Make("audioconvert"), Make("audioresample"), sink}))
    return false;
  source.hasSound = true;
  audioSinks_[source.stream] = sink;
  volumes_.push_back(GST_ELEMENT(gst_object_ref(volume)));
  panoramas_.push_back(GST_ELEMENT(gst_object_ref(panorama)));
  return true;
}

bool GstPipGraph::RenderFiles(const std::string& fileA, const std::string& fileB, int rendererKind) {
  Release();
  if (fileA.empty() || fileB.empty() || rendererKind == kRendererDefault || !output_.mixer)
    return false;
  pipeline_ = gst_pipeline_new(nullptr);
  // One clock for both outputs and both pictures: the system's, which no
  // output's start or tempo can hold back.
  GstClock* clock = gst_system_clock_obtain();
  gst_pipeline_use_clock(GST_PIPELINE(pipeline_), clock);
  gst_object_unref(clock);
  output_.mixer->Reset();
  const std::string files[2] = {fileA, fileB};
  for (int i = 0; i < 2; ++i) {
    gchar* uri = gst_filename_to_uri(files[i].c_str(), nullptr);
    GstElement* decoder = Make("uridecodebin");
    if (!uri || !decoder) {
      g_free(uri);
      if (decoder) gst_object_unref(decoder);
      Release();
      return false;
    }
    g_object_set(decoder, "uri", uri, nullptr);
    g_free(uri);
    g_signal_connect(decoder, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer data) {
                       auto* source = static_cast<Source*>(data);
                       source->graph->PadAdded(*source, pad);
                     }),
                     &sources_[i]);
    gst_bin_add(GST_BIN(pipeline_), decoder);
    sources_[i].decoder = decoder;
  }
  GstStateChangeReturn change = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  bool ok = change != GST_STATE_CHANGE_FAILURE;
  if (ok && change == GST_STATE_CHANGE_ASYNC) ok = WaitForAsyncDone(pipeline_, kBuildTimeLimit, true);
  if (ok) {
    GstBus* bus = gst_element_get_bus(pipeline_);
    if (GstMessage* error = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
      gst_message_unref(error);
      ok = false;
    }
    gst_object_unref(bus);
  }
  // A file that gave nothing to show or hear is no file.
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sources_[0].pads.empty() || sources_[1].pads.empty()) ok = false;
  }
  if (!ok) {
    Release();
    return false;
  }
  rate_ = 1.0;
  ended_ = false;
  lastCurrent_ = 0;
  QueryStop();
  return true;
}

void GstPipGraph::QueryStop() {
  gint64 duration = 0;
  GstPad* pad = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sources_[0].queryPad) pad = GST_PAD(gst_object_ref(sources_[0].queryPad));
  }
  bool known = pad && gst_pad_peer_query_duration(pad, GST_FORMAT_TIME, &duration);
  if (pad) gst_object_unref(pad);
  if (!known && pipeline_) known = gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration);
  if (known && duration > 0) stop_ = duration / 100;
}

bool GstPipGraph::FileAEnded() const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto& pads = sources_[0].pads;
  return !pads.empty() && std::all_of(pads.begin(), pads.end(), [](const auto& p) { return p.second; });
}

void GstPipGraph::SettleEnd() {
  ended_ = true;
  QueryStop();
  if (stop_ > 0) return;
  gint64 position = 0;
  if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) && position > 0)
    lastCurrent_ = std::max<std::int64_t>(lastCurrent_, position / 100);
  stop_ = std::max<std::int64_t>(lastCurrent_, 1);
}

void GstPipGraph::DrainBus() {
  if (!pipeline_) return;
  GstBus* bus = gst_element_get_bus(pipeline_);
  while (GstMessage* message = gst_bus_pop(bus)) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_EOS:
        SettleEnd();
        break;
      case GST_MESSAGE_ERROR: {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        std::fprintf(stderr, "playback stopped: %s\n", error ? error->message : "unknown error");
        if (error) g_error_free(error);
        SettleEnd();
        break;
      }
      default:
        break;
    }
    gst_message_unref(message);
  }
  gst_object_unref(bus);
  // File B may go on; the end of A is the end.
  if (!ended_ && FileAEnded()) SettleEnd();
}

void GstPipGraph::Release() {
  if (pipeline_) {
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  for (Source& source : sources_) {
    for (auto& p : source.pads) gst_object_unref(p.first);
    source.pads.clear();
    if (source.queryPad) gst_object_unref(source.queryPad);
    source.queryPad = nullptr;
    source.decoder = nullptr;
    source.hasSound = false;
  }
  for (auto* list : {&volumes_, &panoramas_}) {
    for (GstElement* e : *list) gst_object_unref(e);
    list->clear();
  }
  videoSinks_[0] = videoSinks_[1] = nullptr;
  audioSinks_[0] = audioSinks_[1] = nullptr;
  sizeFilters_[0] = sizeFilters_[1] = nullptr;
  // Streaming threads are joined by now: no frame can arrive after this.
  if (output_.mixer) output_.mixer->Reset();
  stop_ = 0;
  lastCurrent_ = 0;
  ended_ = false;
  rate_ = 1.0;
}

bool GstPipGraph::GetPositions(std::int64_t* current, std::int64_t* stop) {
  if (!pipeline_) return false;
  DrainBus();
  if (ended_) {
    lastCurrent_ = stop_;
  } else {
    QueryStop();
    gint64 position = 0;
    if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) && position >= 0)
      lastCurrent_ = position / 100;
  }
  if (current) *current = lastCurrent_;
  if (stop) *stop = stop_;
  return true;
}

void GstPipGraph::SetPositions(std::int64_t current, int flags) {
  if (!pipeline_ || (flags & 3) == kSeekingNoPositioning) return;
  current = std::max<std::int64_t>(0, current);
  SettleSeek();
  int seekFlags = GST_SEEK_FLAG_FLUSH;
  seekFlags |= (flags & kSeekingSeekToKeyFrame) ? GST_SEEK_FLAG_KEY_UNIT : GST_SEEK_FLAG_ACCURATE;
  if (Seek(rate_, static_cast<GstSeekFlags>(seekFlags), current * 100)) {
    lastCurrent_ = current;
    // The flush has reset each pad's end (an end reached since stands);
    // an EOS message queued before it belongs to the old position.
    DrainBus();
    ended_ = false;
  }
}

// Each file is sought once, from one of its sinks (its picture's, else its
// sound's). The pipeline would seek every sink, so each file twice, and a
// file whose second flush meets the first can stop for good: it then neither
// plays on nor ends. No stop is kept from before (see GstFileGraph::SetPositions):
// the shorter file is often sought past its end.
bool GstPipGraph::Seek(double rate, GstSeekFlags flags, std::int64_t position) {
  GstEvent* seek = gst_event_new_seek(rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, position,
                                      GST_SEEK_TYPE_SET, -1);
  bool taken = false;
  for (int s = 0; s < 2; ++s)
    if (GstElement* sink = videoSinks_[s] ? videoSinks_[s] : audioSinks_[s])
      taken |= gst_element_send_event(sink, gst_event_ref(seek)) != FALSE;
  gst_event_unref(seek);
  return taken;
}

// A seek waits for the last one's preroll to finish first.
void GstPipGraph::SettleSeek() {
  gst_element_get_state(pipeline_, nullptr, nullptr, 2 * GST_SECOND);
}

bool GstPipGraph::SetRate(double rate) {
  if (rate <= 0 || !pipeline_) return false;
  if (rate == rate_) return true;
  SettleSeek();
  gint64 position = 0;
  if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position)) position = lastCurrent_ * 100;
  if (!Seek(rate, static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), position))
    return false;
  rate_ = rate;
  return true;
}

bool GstPipGraph::Step() {
  if (!pipeline_) return false;
  GstState state = GST_STATE_NULL;
  gst_element_get_state(pipeline_, &state, nullptr, GST_SECOND);
  if (state != GST_STATE_PAUSED) return false;
  bool stepped = false;
  for (GstElement* sink : videoSinks_)
    if (sink)
      stepped |= gst_element_send_event(sink, gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE));
  return stepped;
}

void GstPipGraph::put_Volume(int volume) {
  gain_ = GainOf(volume);
  std::lock_guard<std::mutex> lock(mutex_);
  for (GstElement* volume : volumes_) g_object_set(volume, "volume", gain_, nullptr);
}

void GstPipGraph::put_Balance(int balance) {
  pan_ = PanOf(balance);
  std::lock_guard<std::mutex> lock(mutex_);
  for (GstElement* panorama : panoramas_) g_object_set(panorama, "panorama", pan_, nullptr);
}

void GstPipGraph::SetVideoPosition(const PixelRect& destination) {
  if (!output_.mixer) return;
  output_.mixer->SetVideoPosition(destination);
  std::lock_guard<std::mutex> lock(mutex_);
  destination_ = destination;
  if (destination.Width() <= 0 || destination.Height() <= 0) return;
  for (GstElement* filter : sizeFilters_)
    if (filter) AskSize(filter, "BGRx", destination.Width(), destination.Height());
}

}  // namespace engine
