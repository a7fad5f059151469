#include "engine/sound_server.h"

#include <cstdlib>
#include <mutex>

namespace engine {

void HoldSoundServerLoop() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char* custom = std::getenv("ORVANE_AUDIO_SINK");
    if (custom && *custom) return;
    GstElement* sink = gst_element_factory_make("pulsesink", nullptr);
    if (!sink) return;
    if (gst_element_set_state(sink, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
      gst_element_set_state(sink, GST_STATE_NULL);
      gst_object_unref(sink);
    }
    // Otherwise kept, never released: it lives as long as the process.
  });
}

bool StandingClockWatch::StandsStill(GstElement* pipeline, GstClockTime limit) {
  GstState state = GST_STATE_NULL, pending = GST_STATE_NULL;
  if (!pipeline || gst_element_get_state(pipeline, &state, &pending, 0) != GST_STATE_CHANGE_SUCCESS ||
      state != GST_STATE_PLAYING || pending != GST_STATE_VOID_PENDING) {
    Reset();
    return false;
  }
  GstClock* clock = gst_element_get_clock(pipeline);
  if (!clock) {
    Reset();
    return false;
  }
  const GstClockTime now = gst_clock_get_time(clock);
  gst_object_unref(clock);
  const gint64 wall = g_get_monotonic_time();
  if (last_ == GST_CLOCK_TIME_NONE || now != last_) {
    last_ = now;
    seenAt_ = wall;
    return false;
  }
  if (static_cast<GstClockTime>(wall - seenAt_) * GST_USECOND < limit) return false;
  Reset();
  return true;
}

}  // namespace engine
