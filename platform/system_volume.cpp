// The system volume on the PulseAudio server: one connection, kept while the
// server lives, driven synchronously on the caller's thread with a time limit.
#include "platform/system_volume.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <string>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTimeLimit = std::chrono::milliseconds(1000);
// After a failed connection the server is not asked again for this long, so a
// slider dragged without a server stays smooth.
constexpr auto kRetryPause = std::chrono::seconds(3);

enum class Side { Left, Right, Neither };

Side SideOf(pa_channel_position_t p) {
  switch (p) {
    case PA_CHANNEL_POSITION_FRONT_LEFT:
    case PA_CHANNEL_POSITION_REAR_LEFT:
    case PA_CHANNEL_POSITION_FRONT_LEFT_OF_CENTER:
    case PA_CHANNEL_POSITION_SIDE_LEFT:
    case PA_CHANNEL_POSITION_TOP_FRONT_LEFT:
    case PA_CHANNEL_POSITION_TOP_REAR_LEFT:
      return Side::Left;
    case PA_CHANNEL_POSITION_FRONT_RIGHT:
    case PA_CHANNEL_POSITION_REAR_RIGHT:
    case PA_CHANNEL_POSITION_FRONT_RIGHT_OF_CENTER:
    case PA_CHANNEL_POSITION_SIDE_RIGHT:
    case PA_CHANNEL_POSITION_TOP_FRONT_RIGHT:
    case PA_CHANNEL_POSITION_TOP_REAR_RIGHT:
      return Side::Right;
    default:
      return Side::Neither;
  }
}

int ToChannelVolume(pa_volume_t v) {
  const double scaled = std::round(static_cast<double>(v) * kChannelVolumeMax / PA_VOLUME_NORM);
  return static_cast<int>(std::clamp(scaled, 0.0, static_cast<double>(kChannelVolumeMax)));
}

pa_volume_t ToPulseVolume(int v) {
  v = std::clamp(v, 0, kChannelVolumeMax);
  return static_cast<pa_volume_t>(std::lround(static_cast<double>(v) * PA_VOLUME_NORM / kChannelVolumeMax));
}

struct SinkFacts {
  bool found = false;
  std::string name;
  pa_channel_map map{};
  pa_cvolume volume{};
};

class PulseSystemVolume final : public SystemVolume {
 public:
  ~PulseSystemVolume() override { Disconnect(); }

  bool GetVolume(SoundDevice device, ChannelVolumes* volumes) override {
    SinkFacts sink;
    if (!volumes || !Sink(device, &sink)) return false;
    pa_volume_t left = PA_VOLUME_MUTED, right = PA_VOLUME_MUTED;
    bool hasLeft = false, hasRight = false;
    for (unsigned i = 0; i < sink.volume.channels && i < sink.map.channels; ++i) {
      const Side side = SideOf(sink.map.map[i]);
      if (side == Side::Left) hasLeft = true, left = std::max(left, sink.volume.values[i]);
      if (side == Side::Right) hasRight = true, right = std::max(right, sink.volume.values[i]);
    }
    // An output without both sides (mono) has one level for both.
    if (!hasLeft || !hasRight) left = right = pa_cvolume_max(&sink.volume);
    volumes->left = ToChannelVolume(left);
    volumes->right = ToChannelVolume(right);
    return true;
  }

  bool SetVolume(SoundDevice device, const ChannelVolumes& volumes) override {
    SinkFacts sink;
    if (!Sink(device, &sink)) return false;
    pa_cvolume target = sink.volume;
    const pa_volume_t left = ToPulseVolume(volumes.left), right = ToPulseVolume(volumes.right);
    bool hasLeft = false, hasRight = false;
    for (unsigned i = 0; i < sink.map.channels; ++i) {
      hasLeft |= SideOf(sink.map.map[i]) == Side::Left;
      hasRight |= SideOf(sink.map.map[i]) == Side::Right;
    }
    for (unsigned i = 0; i < target.channels && i < sink.map.channels; ++i) {
      const Side side = SideOf(sink.map.map[i]);
      // Channels of neither side (centre, bass) follow the louder one.
      target.values[i] = hasLeft && hasRight && side == Side::Left    ? left
                         : hasLeft && hasRight && side == Side::Right ? right
                                                                      : std::max(left, right);
    }
    bool ok = false;
    pa_operation* op = pa_context_set_sink_volume_by_name(
        context_, sink.name.c_str(), &target,
        [](pa_context*, int success, void* done) { *static_cast<bool*>(done) = success != 0; },
        &ok);
    return Wait(op) && ok;
  }

 private:
  bool Connected() {
    if (context_ && pa_context_get_state(context_) == PA_CONTEXT_READY) return true;
    Disconnect();
    if (failedAt_ && Clock::now() - *failedAt_ < kRetryPause) return false;
    loop_ = pa_mainloop_new();
    context_ = loop_ ? pa_context_new(pa_mainloop_get_api(loop_), "OrvanePlayer") : nullptr;
    bool ready = false;
    if (context_ && pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
      ready = Run([this] {
        const pa_context_state_t s = pa_context_get_state(context_);
        return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
      }) && pa_context_get_state(context_) == PA_CONTEXT_READY;
    }
    if (!ready) {
      Disconnect();
      failedAt_ = Clock::now();
      return false;
    }
    failedAt_.reset();
    return true;
  }

  void Disconnect() {
    if (context_) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
      context_ = nullptr;
    }
    if (loop_) {
      pa_mainloop_free(loop_);
      loop_ = nullptr;
    }
  }

  // Runs the loop until done() or the time limit; false on the limit or a lost server.
  bool Run(const std::function<bool()>& done) {
    const auto deadline = Clock::now() + kTimeLimit;
    while (!done()) {
      const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
      if (left.count() <= 0) return false;
      if (pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0) return false;
      if (pa_mainloop_poll(loop_) < 0) return false;
      if (pa_mainloop_dispatch(loop_) < 0) return false;
    }
    return true;
  }

  bool Wait(pa_operation* op) {
    if (!op) return false;
    const bool finished = Run([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
    if (!finished) pa_operation_cancel(op);
    const bool done = pa_operation_get_state(op) == PA_OPERATION_DONE;
    pa_operation_unref(op);
    // A server that stopped answering is asked again from scratch next time.
    if (!finished) Disconnect();
    return done;
  }

  static void TakeSink(pa_context*, const pa_sink_info* info, int eol, void* data) {
    auto* sink = static_cast<SinkFacts*>(data);
    if (eol || !info || sink->found) return;
    sink->found = true;
    sink->name = info->name ? info->name : "";
    sink->map = info->channel_map;
    sink->volume = info->volume;
  }

  static void TakeBalancedSink(pa_context* c, const pa_sink_info* info, int eol, void* data) {
    if (!eol && info && pa_channel_map_can_balance(&info->channel_map)) TakeSink(c, info, eol, data);
  }

  bool Sink(SoundDevice device, SinkFacts* sink) {
    if (!Connected()) return false;
    if (device == SoundDevice::FirstBalanced) {
      // Sinks arrive in index order: the first that can balance is kept.
      if (!Wait(pa_context_get_sink_info_list(context_, TakeBalancedSink, sink))) return false;
      if (sink->found) return true;
    }
    std::string name;
    pa_operation* op = pa_context_get_server_info(
        context_,
        [](pa_context*, const pa_server_info* info, void* data) {
          if (info && info->default_sink_name)
            *static_cast<std::string*>(data) = info->default_sink_name;
        },
        &name);
    if (!Wait(op) || name.empty()) return false;
    return Wait(pa_context_get_sink_info_by_name(context_, name.c_str(), TakeSink, sink)) &&
           sink->found;
  }

  pa_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  std::optional<Clock::time_point> failedAt_;
};

}  // namespace

std::unique_ptr<SystemVolume> MakePulseSystemVolume() {
  return std::make_unique<PulseSystemVolume>();
}

}  // namespace platform
