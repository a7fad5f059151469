#pragma once
// What the graphs do about the sound server's (PulseAudio through pulsesink) quirks.
#include <gst/gst.h>

namespace engine {

// pulsesink shares one main loop among its instances and frees it when the
// last one goes back to NULL; a sink starting on another thread at that moment
// is left with a freed loop and aborts. One sink held open for the life of the
// process keeps the loop alive. Call after gst_init; once is enough.
void HoldSoundServerLoop();

// How long a playing pipeline's clock may stand still before it counts as
// stuck: longer than a sink at its longest latency (2 s) may hold a started
// stream back.
inline constexpr GstClockTime kClockStandingLimit = 3 * GST_SECOND;

// On a loaded machine the sound server now and then never takes up a stream
// that a flushing seek restarted: pulsesink's clock, which is the pipeline's,
// then stands still, and the picture with it. This notices a clock that has
// stood still while the pipeline plays.
class StandingClockWatch {
 public:
  // True (once) when the pipeline has been playing with its clock standing
  // still for `limit`; false while it is not playing, and the count restarts.
  bool StandsStill(GstElement* pipeline, GstClockTime limit);
  void Reset() { last_ = GST_CLOCK_TIME_NONE; }

 private:
  GstClockTime last_ = GST_CLOCK_TIME_NONE;  // the clock's time when last seen moved
  gint64 seenAt_ = 0;                          // monotonic microseconds of that sight
};

}  // namespace engine
