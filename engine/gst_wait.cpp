#include "engine/gst_wait.h"

#include <algorithm>

namespace engine {

namespace {

// How often a wait that may stall looks for streaming threads, and how many
// looks in a row must find none: between typefinding and a parser taking over
// in pull mode no task may run for a moment, more so on a busy machine.
constexpr GstClockTime kStallCheck = 50 * GST_MSECOND;
constexpr int kStallChecks = 10;

// True while some pad's streaming task runs, or the pipeline is still changing.
bool AnyStreamingTask(GstElement* pipeline) {
  bool running = false, done = false;
  GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(pipeline));
  GValue element = G_VALUE_INIT;
  while (!running && !done) {
    switch (gst_iterator_next(elements, &element)) {
      case GST_ITERATOR_OK: {
        GstIterator* pads = gst_element_iterate_pads(GST_ELEMENT(g_value_get_object(&element)));
        GValue pad = G_VALUE_INIT;
        GstIteratorResult next = GST_ITERATOR_DONE;
        while (!running && (next = gst_iterator_next(pads, &pad)) == GST_ITERATOR_OK) {
          running = gst_pad_get_task_state(GST_PAD(g_value_get_object(&pad))) == GST_TASK_STARTED;
          g_value_reset(&pad);
        }
        if (next == GST_ITERATOR_RESYNC) running = true;
        g_value_unset(&pad);
        gst_iterator_free(pads);
        g_value_reset(&element);
        break;
      }
      case GST_ITERATOR_RESYNC:
        running = true;
        break;
      default:
        done = true;
    }
  }
  g_value_unset(&element);
  gst_iterator_free(elements);
  return running;
}

}  // namespace

bool WaitForAsyncDone(GstElement* pipeline, GstClockTime limit, bool giveUpWhenStalled) {
  GstBus* bus = gst_element_get_bus(pipeline);
  const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(limit / GST_USECOND);
  bool done = false;
  int idle = 0;
  while (!done) {
    gint64 left = deadline - g_get_monotonic_time();
    if (left <= 0) break;
    GstClockTime wait = static_cast<GstClockTime>(left) * GST_USECOND;
    if (giveUpWhenStalled) wait = std::min(wait, kStallCheck);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, wait, static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR));
    if (!message) {
      if (!giveUpWhenStalled) break;
      idle = AnyStreamingTask(pipeline) ? 0 : idle + 1;
      if (idle >= kStallChecks) break;
      continue;
    }
    bool error = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR;
    done = !error && GST_MESSAGE_SRC(message) == GST_OBJECT(pipeline);
    gst_message_unref(message);
    if (error) break;
  }
  gst_object_unref(bus);
  return done;
}

}  // namespace engine
