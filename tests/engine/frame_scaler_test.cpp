// The mixer's scaling sink: decoder formats to BGRx of the asked size, the
// colours kept, and pictures the window still holds never written over.
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "engine/gst_video_out.h"
#include "engine/poll.h"
#include "engine/video_mixer.h"

using namespace engine;

namespace {

struct Bgr {
  int b, g, r;
};

Bgr PixelAt(const VideoFrame& frame, int x, int y) {
  const unsigned char* p = frame.data + static_cast<std::ptrdiff_t>(y) * frame.stride + x * 4;
  return {p[0], p[1], p[2]};
}

::testing::AssertionResult Near(Bgr got, Bgr want, int tolerance = 6) {
  if (std::abs(got.b - want.b) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.r - want.r) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "B,G,R " << got.b << "," << got.g << "," << got.r << " want "
                                       << want.b << "," << want.g << "," << want.r;
}

// A source whose caps the test gives, into the scaling sink of mixer stream 0.
struct Graph {
  GstElement* pipeline = nullptr;
  GstElement* source = nullptr;
  FrameScaler* scaler = nullptr;
  Graph(VideoMixer& mixer, const std::string& source_description) {
    gst_init(nullptr, nullptr);
    pipeline = gst_pipeline_new(nullptr);
    GError* error = nullptr;
    source = gst_parse_bin_from_description(source_description.c_str(), TRUE, &error);
    GstElement* sink = ScalingMixerSink(&mixer, 0, &scaler);
    if (error) {
      ADD_FAILURE() << source_description << ": " << error->message;
      g_error_free(error);
    }
    if (!source || !sink || error) {
      scaler = nullptr;
      return;
    }
    gst_bin_add_many(GST_BIN(pipeline), source, sink, nullptr);
    gst_element_link(source, sink);
  }
  ~Graph() {
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
  }
  bool PlayToTheEnd() {
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* m = gst_bus_timed_pop_filtered(bus, 5 * GST_SECOND,
                                               static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ended = m && GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS;
    if (m) gst_message_unref(m);
    gst_object_unref(bus);
    return ended;
  }
};

// Grey 32 x 16 pictures pushed by the test, scaled to 16 x 8 and playing.
struct GreyGraph : Graph {
  GstElement* src = nullptr;
  explicit GreyGraph(VideoMixer& mixer)
      : Graph(mixer, "appsrc name=src format=time caps=\"video/x-raw,format=GRAY8,width=32,height=16,framerate=0/1\"") {
    if (!scaler) return;
    AskSize(scaler, 16, 8);
    src = gst_bin_get_by_name(GST_BIN(source), "src");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
  }
  ~GreyGraph() {
    if (!src) return;
    gst_app_src_end_of_stream(GST_APP_SRC(src));
    gst_object_unref(src);
  }
  bool Push(std::uint8_t level) {
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, 32 * 16, nullptr);
    gst_buffer_memset(buffer, 0, level, 32 * 16);
    return gst_app_src_push_buffer(GST_APP_SRC(src), buffer) == GST_FLOW_OK;
  }
};

std::string SolidColour(const std::string& caps) {
  // 0x3050c0 in R, G, B: every channel apart from the others and from the ends.
  return "videotestsrc num-buffers=2 pattern=solid-color foreground-color=0xff3050c0 ! capsfilter caps=\"" +
         caps + "\"";
}

}  // namespace

TEST(FrameScaler, EveryDecoderFormatArrivesAsBgrxOfTheAskedSizeInItsColour) {
  const Bgr colour{0xc0, 0x50, 0x30};
  for (const char* caps : {"video/x-raw,format=I420,width=64,height=48",
                           "video/x-raw,format=YV12,width=64,height=48",
                           "video/x-raw,format=NV12,width=64,height=48",
                           "video/x-raw,format=Y444,width=64,height=48",
                           "video/x-raw,format=RGBA,width=64,height=48",
                           // HD colours: the other matrix read from the caps.
                           "video/x-raw,format=I420,width=64,height=48,colorimetry=bt709",
                           "video/x-raw,format=I420,width=64,height=48,colorimetry=bt601",
                           // Not read as it comes: converted ahead of the scaler.
                           "video/x-raw,format=UYVY,width=64,height=48"}) {
    // Shrunk and enlarged: each a road of its own.
    for (const auto& [width, height] : {std::pair{40, 30}, std::pair{100, 75}}) {
      SCOPED_TRACE(caps + std::string(" to ") + std::to_string(width) + "x" + std::to_string(height));
      VideoMixer mixer;
      Graph graph(mixer, SolidColour(caps));
      ASSERT_TRUE(graph.scaler);
      AskSize(graph.scaler, width, height);
      ASSERT_TRUE(graph.PlayToTheEnd());
      auto frame = mixer.Slot(0).Latest();
      ASSERT_TRUE(frame);
      EXPECT_EQ(frame->width, width);
      EXPECT_EQ(frame->height, height);
      EXPECT_GE(frame->stride, width * 4);
      EXPECT_TRUE(Near(PixelAt(*frame, 0, 0), colour));
      EXPECT_TRUE(Near(PixelAt(*frame, width - 1, height - 1), colour));
    }
  }
}

TEST(FrameScaler, UnaskedFramesKeepTheirSizeAndGrowWhenAsked) {
  VideoMixer mixer;
  Graph graph(mixer, SolidColour("video/x-raw,format=BGRx,width=64,height=48"));
  ASSERT_TRUE(graph.PlayToTheEnd());
  ASSERT_TRUE(graph.scaler);
  auto frame = mixer.Slot(0).Latest();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 64);
  EXPECT_EQ(frame->height, 48);
  EXPECT_TRUE(Near(PixelAt(*frame, 63, 47), {0xc0, 0x50, 0x30}, 0));

  VideoMixer bigger;
  Graph grown(bigger, SolidColour("video/x-raw,format=I420,width=64,height=48"));
  ASSERT_TRUE(grown.scaler);
  AskSize(grown.scaler, 200, 100);
  ASSERT_TRUE(grown.PlayToTheEnd());
  frame = bigger.Slot(0).Latest();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 200);
  EXPECT_EQ(frame->height, 100);
  EXPECT_TRUE(Near(PixelAt(*frame, 199, 99), {0xc0, 0x50, 0x30}));
}

// The window may still draw a picture while newer ones arrive: its pixels
// must not be reused for them.
TEST(FrameScaler, APictureStillHeldIsNeverWrittenOver) {
  VideoMixer mixer;
  GreyGraph graph(mixer);
  ASSERT_TRUE(graph.src);
  ASSERT_TRUE(graph.Push(200));
  ASSERT_TRUE(WaitFor([&] { return mixer.Slot(0).Count() >= 1; }, 5));
  std::shared_ptr<const VideoFrame> held = mixer.Slot(0).Latest();
  ASSERT_TRUE(held);
  const Bgr first = PixelAt(*held, 8, 4), corner = PixelAt(*held, 15, 7);
  EXPECT_GT(first.g, 150);
  for (std::uint8_t level : {20, 60, 100, 140, 30, 70}) ASSERT_TRUE(graph.Push(level));
  ASSERT_TRUE(WaitFor([&] { return mixer.Slot(0).Count() >= 7; }, 5));
  EXPECT_TRUE(Near(PixelAt(*held, 8, 4), first, 0));
  EXPECT_TRUE(Near(PixelAt(*held, 15, 7), corner, 0));
  EXPECT_LT(PixelAt(*mixer.Slot(0).Latest(), 8, 4).g, 100);
}

// The two fields of an interlaced picture are a field apart in time: shrunk
// each on its own, a bright top field and a dark bottom one stay apart.
TEST(FrameScaler, InterlacedFieldsAreScaledApart) {
  for (const auto& [width, height] : {std::pair{16, 8}, std::pair{48, 24}}) {
    SCOPED_TRACE(height);
    VideoMixer mixer;
    Graph graph(mixer,
                "appsrc name=src format=time "
                "caps=\"video/x-raw,format=I420,width=32,height=16,framerate=0/1,interlace-mode=interleaved\"");
    ASSERT_TRUE(graph.scaler);
    AskSize(graph.scaler, width, height);
    GstElement* src = gst_bin_get_by_name(GST_BIN(graph.source), "src");
    ASSERT_TRUE(src);
    gst_element_set_state(graph.pipeline, GST_STATE_PLAYING);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, 32 * 16 + 2 * 16 * 8, nullptr);
    for (int row = 0; row < 16; ++row) gst_buffer_memset(buffer, row * 32, row % 2 ? 40 : 200, 32);
    gst_buffer_memset(buffer, 32 * 16, 128, 2 * 16 * 8);
    ASSERT_EQ(gst_app_src_push_buffer(GST_APP_SRC(src), buffer), GST_FLOW_OK);
    ASSERT_TRUE(WaitFor([&] { return mixer.Slot(0).Count() >= 1; }, 5));
    auto frame = mixer.Slot(0).Latest();
    ASSERT_EQ(frame->height, height);
    for (int row = 0; row < height; ++row) {
      SCOPED_TRACE(row);
      if (row % 2)
        EXPECT_LT(PixelAt(*frame, width / 2, row).g, 60);
      else
        EXPECT_GT(PixelAt(*frame, width / 2, row).g, 200);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(src));
    gst_object_unref(src);
  }
}

// Pictures come from the window's picture memory where it gives one, a few
// made and handed out again; each goes back to it once, also when the memory
// is changed while pictures are out. Where it gives none, the heap serves.
TEST(FrameScaler, PicturesComeFromTheWindowsMemoryAndGoBackToItOnce) {
  struct Counting : PictureMemory {
    std::mutex mutex;
    std::map<std::uint32_t, std::size_t> out;  // handle -> bytes
    int made = 0, freed = 0, wrongFrees = 0;
    bool give = true;
    unsigned char* Allocate(std::size_t bytes, std::uint32_t* handle) override {
      std::lock_guard<std::mutex> lock(mutex);
      if (!give) return nullptr;
      *handle = static_cast<std::uint32_t>(++made);
      out[*handle] = bytes;
      return static_cast<unsigned char*>(::operator new(bytes, std::align_val_t(64)));
    }
    void Free(unsigned char* memory, std::uint32_t handle) override {
      std::lock_guard<std::mutex> lock(mutex);
      if (out.erase(handle) != 1) ++wrongFrees;
      ++freed;
      ::operator delete(memory, std::align_val_t(64));
    }
  };
  auto memory = std::make_shared<Counting>();
  SetPictureMemory(memory);
  {
    VideoMixer mixer;
    GreyGraph graph(mixer);
    ASSERT_TRUE(graph.src);
    int width = 16;
    // Grey `level` of the limited range, as it comes out, at the asked width.
    auto shown = [&](int level) {
      auto f = mixer.Slot(0).Latest();
      const int want = std::clamp((level - 16) * 255 / 219, 0, 255);
      return f && f->width == width && std::abs(PixelAt(*f, f->width / 2, f->height / 2).g - want) <= 6;
    };
    auto push = [&](std::uint8_t level) { return graph.Push(level) && WaitFor([&] { return shown(level); }, 5); };
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(push(static_cast<std::uint8_t>(30 + 10 * i)));
    std::shared_ptr<const VideoFrame> frame = mixer.Slot(0).Latest();
    ASSERT_TRUE(frame);
    EXPECT_NE(frame->handle, 0u);
    EXPECT_LE(memory->made, 4);  // handed out again, not made per frame
    // Another size: the old pictures go back as they are let go.
    AskSize(graph.scaler, width = 8, 4);
    ASSERT_TRUE(push(50));
    frame.reset();
    // A memory that has none to give: the heap, and the picture still right.
    memory->give = false;
    AskSize(graph.scaler, width = 12, 6);
    ASSERT_TRUE(push(90));  // the picture right, at the new size
    frame = mixer.Slot(0).Latest();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->handle, 0u);
    frame.reset();
  }
  SetPictureMemory(nullptr);
  EXPECT_GT(memory->made, 0);
  EXPECT_EQ(memory->freed, memory->made);
  EXPECT_TRUE(memory->out.empty());
  EXPECT_EQ(memory->wrongFrees, 0);
}
