#pragma once
// Waiting on a pipeline's bus with a time limit, shared by the graph and the detector.
#include <gst/gst.h>

namespace engine {

// Waits until the pipeline finishes its pending state change (a preroll, also
// after a flushing seek). False on an error message or when the limit passes.
// With giveUpWhenStalled, also false once no streaming thread has run for a
// while: decodebin drops the error of an element that fails while it is still
// plugging it (a demuxer that finds nothing in a truncated file), and then
// nothing else would come.
bool WaitForAsyncDone(GstElement* pipeline, GstClockTime limit, bool giveUpWhenStalled = false);

}  // namespace engine
