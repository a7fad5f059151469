#include "engine/gst_wait.h"

namespace engine {

bool WaitForAsyncDone(GstElement* pipeline, GstClockTime limit) {
  GstBus* bus = gst_element_get_bus(pipeline);
  const gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(limit / GST_USECOND);
  bool done = false;
  while (!done) {
    gint64 left = deadline - g_get_monotonic_time();
    if (left <= 0) break;
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, static_cast<GstClockTime>(left) * GST_USECOND,
        static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR));
    if (!message) break;
    bool error = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR;
    done = !error && GST_MESSAGE_SRC(message) == GST_OBJECT(pipeline);
    gst_message_unref(message);
    if (error) break;
  }
  gst_object_unref(bus);
  return done;
}

}  // namespace engine
