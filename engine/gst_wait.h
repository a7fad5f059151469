#pragma once
// Waiting on a pipeline's bus with a time limit, shared by the graph and the detector.
#include <gst/gst.h>

namespace engine {

// Waits until the pipeline finishes its pending state change (a preroll, also
// after a flushing seek). False on an error message or when the limit passes.
bool WaitForAsyncDone(GstElement* pipeline, GstClockTime limit);

}  // namespace engine
