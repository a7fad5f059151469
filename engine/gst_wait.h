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

// pulsesink shares one main loop among its instances and frees it when the
// last one goes back to NULL; a sink starting on another thread at that moment
// is left with a freed loop and aborts. One sink held open for the life of the
// process keeps the loop alive. Call after gst_init; once is enough.
void HoldSoundServerLoop();

}  // namespace engine
