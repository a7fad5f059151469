#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/bitmap_file.h"
#include "engine/media_detector.h"
#include "media/test_media.h"
#include "platform/safe_file.h"

using namespace engine;
namespace fs = std::filesystem;

namespace {

int CountOf(const MediaDetector& d, StreamType type) {
  int n = 0;
  for (int i = 0; i < d.OutputStreams(); ++i) n += d.Stream(i).type == type;
  return n;
}

const DetectedStream* FirstVideo(const MediaDetector& d) {
  for (int i = 0; i < d.OutputStreams(); ++i)
    if (d.Stream(i).type == StreamType::Video) return &d.Stream(i);
  return nullptr;
}

// A bitmap read back through the decoder the capture folder uses; the header
// bytes themselves are pinned by Bitmap24ByteLayout.
struct Bmp {
  std::string bytes;
  RgbPicture picture;
  int width = 0, height = 0;
  struct Bgr { int b, g, r; };
  // x, y counted from the top-left corner, as the picture is seen.
  Bgr At(int x, int y) const {
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return {picture.rgb[at + 2], picture.rgb[at + 1], picture.rgb[at]};
  }
};

void ReadBmp(const std::string& path, int w, int h, Bmp& bmp) {
  auto data = platform::ReadWholeFile(path);
  ASSERT_TRUE(data.has_value()) << path;
  const std::string& b = *data;
  const int row = (w * 3 + 3) / 4 * 4;
  ASSERT_EQ(b.size(), 54u + static_cast<size_t>(row) * h);
  RgbPicture picture;
  ASSERT_TRUE(DecodeBitmap(b, picture)) << path;
  ASSERT_EQ(picture.width, w);
  ASSERT_EQ(picture.height, h);
  for (int y = 0; y < h; ++y)
    for (int i = w * 3; i < row; ++i) ASSERT_EQ(b[54 + y * row + i], 0) << "padding of row " << y;
  bmp = {b, std::move(picture), w, h};
}

struct TempDir : ::testing::Test {
  fs::path dir;
  void SetUp() override {
    std::string t = (fs::temp_directory_path() / "orvane-media-XXXXXX").string();
    ASSERT_NE(::mkdtemp(t.data()), nullptr);
    dir = t;
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Out(const std::string& name) const { return (dir / name).string(); }
  bool Empty() const { return fs::is_empty(dir); }
};

}  // namespace

TEST(MediaDetectorFacts, VideoClipWithAudio) {
  MediaDetector d;
  ASSERT_TRUE(d.put_Filename(TestClip("video-2s-320x240.mp4")));
  ASSERT_EQ(d.OutputStreams(), 2);
  EXPECT_EQ(CountOf(d, StreamType::Video), 1);
  EXPECT_EQ(CountOf(d, StreamType::Audio), 1);
  const DetectedStream* v = FirstVideo(d);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->width, 320);
  EXPECT_EQ(v->height, 240);
  EXPECT_DOUBLE_EQ(v->frameRate, 25.0);
  for (int i = 0; i < 2; ++i) EXPECT_NEAR(d.Stream(i).lengthSeconds, 2.0, 0.1);

  ASSERT_TRUE(d.put_Filename(TestClip("video-2s-1920x1080.mp4")));
  ASSERT_NE(v = FirstVideo(d), nullptr);
  EXPECT_EQ(v->width, 1920);
  EXPECT_EQ(v->height, 1080);
  ASSERT_TRUE(d.put_Filename(TestClip("video-10s-640x360.mp4")));
  ASSERT_NE(v = FirstVideo(d), nullptr);
  EXPECT_EQ(v->width, 640);
  EXPECT_NEAR(v->lengthSeconds, 10.0, 0.1);
  ASSERT_TRUE(d.put_Filename(TestClip("video-2s-320x240.webm")));
  EXPECT_EQ(CountOf(d, StreamType::Video), 1);
  EXPECT_EQ(CountOf(d, StreamType::Audio), 1);
}

// Anamorphic video is shown at its display size: the stored width scaled by
// the pixel aspect ratio, the height kept.
TEST(MediaDetectorFacts, AnamorphicVideoReportsItsDisplaySize) {
  MediaDetector d;
  ASSERT_TRUE(d.put_Filename(TestClip("anamorphic-2s-720x576.mp4")));
  const DetectedStream* v = FirstVideo(d);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->width, 1024);
  EXPECT_EQ(v->height, 576);
}

TEST(MediaDetectorFacts, AudioFilesHaveOneAudioStreamOnly) {
  MediaDetector d;
  // The ID3 tag in front of the MP3 is no stream of its own.
  for (const char* name : {"tone-3s.mp3", "tone-3s-id3v1.mp3", "tone-3s.wav", "tone-3s.ogg"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(d.put_Filename(TestClip(name)));
    ASSERT_EQ(d.OutputStreams(), 1);
    EXPECT_EQ(d.Stream(0).type, StreamType::Audio);
    EXPECT_NEAR(d.Stream(0).lengthSeconds, 3.0, 0.2);
    EXPECT_EQ(d.Stream(0).width, 0);
    EXPECT_EQ(d.Stream(0).frameRate, 0);
  }
}

TEST(MediaDetectorFacts, StillPictureIsVideoWithoutFrameRate) {
  MediaDetector d;
  ASSERT_TRUE(d.put_Filename(TestClip("still-320x240.png")));
  ASSERT_EQ(d.OutputStreams(), 1);
  EXPECT_EQ(d.Stream(0).type, StreamType::Video);
  EXPECT_EQ(d.Stream(0).width, 320);
  EXPECT_EQ(d.Stream(0).height, 240);
  EXPECT_EQ(d.Stream(0).frameRate, 0);
}

TEST_F(TempDir, UnreadableFilesFailAndDropEarlierStreams) {
  const std::string empty = Out("empty.mp4");
  ASSERT_TRUE(platform::WriteFileAtomically(empty, ""));
  MediaDetector d;
  for (const std::string& path :
       {TestClip("random.mp4"), TestClip("truncated.mp4"), TestClip("tiny.mp3"),
        TestClip("no-such-clip.mp4"), dir.string(), empty, std::string()}) {
    SCOPED_TRACE(path);
    ASSERT_TRUE(d.put_Filename(TestClip("video-2s-320x240.mp4")));
    EXPECT_FALSE(d.put_Filename(path));
    EXPECT_EQ(d.OutputStreams(), 0);
    // The failed file, not the earlier one, is the current file.
    EXPECT_FALSE(d.WriteBitmapBits(0, 32, 24, Out("frame.bmp")));
  }
  fs::remove(empty);
  EXPECT_TRUE(Empty());
}

// SMPTE bars: the top two thirds are seven bars, white on the left.
void ExpectBars(const Bmp& bmp) {
  const int y = bmp.height / 4;
  auto bar = [&](int i) { return bmp.At(bmp.width * (2 * i + 1) / 14, y); };
  // Channel levels survive YUV coding and scaling only roughly.
  auto is = [](const Bmp::Bgr& c, bool b, bool g, bool r) {
    auto level = [](int v, bool on) { return on ? v >= 170 : v <= 60; };
    return level(c.b, b) && level(c.g, g) && level(c.r, r);
  };
  auto text = [](const Bmp::Bgr& c) {
    return std::to_string(c.b) + "," + std::to_string(c.g) + "," + std::to_string(c.r);
  };
  EXPECT_TRUE(is(bar(0), true, true, true)) << "white: " << text(bar(0));
  EXPECT_TRUE(is(bar(1), false, true, true)) << "yellow: " << text(bar(1));
  EXPECT_TRUE(is(bar(2), true, true, false)) << "cyan: " << text(bar(2));
  EXPECT_TRUE(is(bar(5), false, false, true)) << "red: " << text(bar(5));
  EXPECT_TRUE(is(bar(6), true, false, false)) << "blue: " << text(bar(6));
  // The bottom quarter holds other patterns, so rows in the wrong order fail above.
}

TEST_F(TempDir, FrameIsWrittenAtTheAskedSize) {
  MediaDetector d;
  ASSERT_TRUE(d.put_Filename(TestClip("video-2s-320x240.mp4")));
  struct Size { int w, h; };
  // 161 needs a padded row; the others scale up, keep and squeeze the picture.
  for (Size s : {Size{320, 240}, Size{161, 97}, Size{640, 480}, Size{100, 300}}) {
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
    const std::string out = Out("frame.bmp");
    ASSERT_TRUE(d.WriteBitmapBits(0.5, s.w, s.h, out));
    Bmp bmp;
    ASSERT_NO_FATAL_FAILURE(ReadBmp(out, s.w, s.h, bmp));
    ExpectBars(bmp);
  }
  ASSERT_TRUE(d.put_Filename(TestClip("video-2s-1920x1080.mp4")));
  ASSERT_TRUE(d.WriteBitmapBits(1.0, 192, 108, Out("hd.bmp")));
  Bmp bmp;
  ASSERT_NO_FATAL_FAILURE(ReadBmp(Out("hd.bmp"), 192, 108, bmp));
  ExpectBars(bmp);
  ASSERT_TRUE(d.put_Filename(TestClip("still-320x240.png")));
  ASSERT_TRUE(d.WriteBitmapBits(0, 70, 50, Out("still.bmp")));
  ASSERT_NO_FATAL_FAILURE(ReadBmp(Out("still.bmp"), 70, 50, bmp));
  ExpectBars(bmp);
}

TEST_F(TempDir, FrameFollowsTheTime) {
  MediaDetector d;
  ASSERT_TRUE(d.put_Filename(TestClip("video-2s-320x240.webm")));
  ASSERT_TRUE(d.WriteBitmapBits(0, 160, 120, Out("a.bmp")));
  ASSERT_TRUE(d.WriteBitmapBits(1.5, 160, 120, Out("b.bmp")));
  ASSERT_TRUE(d.WriteBitmapBits(0, 160, 120, Out("c.bmp")));
  Bmp a, b, c;
  ASSERT_NO_FATAL_FAILURE(ReadBmp(Out("a.bmp"), 160, 120, a));
  ASSERT_NO_FATAL_FAILURE(ReadBmp(Out("b.bmp"), 160, 120, b));
  ASSERT_NO_FATAL_FAILURE(ReadBmp(Out("c.bmp"), 160, 120, c));
  int differing = 0;
  for (size_t i = 54; i < a.bytes.size(); ++i)
    differing += std::abs(static_cast<unsigned char>(a.bytes[i]) -
                          static_cast<unsigned char>(b.bytes[i])) > 60;
  EXPECT_GT(differing, 300) << "the ball has moved by 1.5 s";
  EXPECT_EQ(a.bytes, c.bytes) << "the same time gives the same frame";
}

TEST_F(TempDir, FrameFailuresWriteNothing) {
  MediaDetector d;
  const std::string out = Out("frame.bmp");
  EXPECT_FALSE(d.WriteBitmapBits(0, 32, 24, out)) << "no file set";
  ASSERT_TRUE(d.put_Filename(TestClip("video-2s-320x240.mp4")));
  EXPECT_FALSE(d.WriteBitmapBits(0, 0, 24, out));
  EXPECT_FALSE(d.WriteBitmapBits(0, 32, -1, out));
  EXPECT_FALSE(d.WriteBitmapBits(-1, 32, 24, out));
  EXPECT_FALSE(d.WriteBitmapBits(0, 32, 24, Out("no-such-folder/frame.bmp")));
  ASSERT_TRUE(d.put_Filename(TestClip("tone-3s.mp3")));
  EXPECT_FALSE(d.WriteBitmapBits(0, 32, 24, out)) << "no video";
  EXPECT_TRUE(Empty());
}

TEST_F(TempDir, TimePastTheEndEndsPromptly) {
  MediaDetector d;
  ASSERT_TRUE(d.put_Filename(TestClip("video-2s-320x240.mp4")));
  for (double t : {2.0, 100.0}) {
    SCOPED_TRACE(t);
    const auto start = std::chrono::steady_clock::now();
    const std::string out = Out("end.bmp");
    if (d.WriteBitmapBits(t, 64, 48, out)) {
      Bmp bmp;
      ASSERT_NO_FATAL_FAILURE(ReadBmp(out, 64, 48, bmp));
      ExpectBars(bmp);
    } else {
      EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(12));
  }
}

TEST_F(TempDir, Bitmap24ByteLayout) {
  // Rows top-down, B G R, with one spare byte at the end of each source row.
  const unsigned char pixels[] = {1, 2, 3, 4, 5, 6, 99,  //
                                  7, 8, 9, 10, 11, 12, 99};
  const std::string out = Out("2x2.bmp");
  ASSERT_TRUE(WriteBitmap24(out, 2, 2, pixels, 7));
  const unsigned char want[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                     // file header
      40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,     // size, w, h, planes, bpp, BI_RGB
      16, 0, 0, 0, 0x13, 0x0b, 0, 0, 0x13, 0x0b, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      7, 8, 9, 10, 11, 12, 0, 0,  // bottom row first
      1, 2, 3, 4, 5, 6, 0, 0};
  EXPECT_EQ(platform::ReadWholeFile(out), std::string(reinterpret_cast<const char*>(want), sizeof want));

  EXPECT_FALSE(WriteBitmap24(Out("bad.bmp"), 0, 2, pixels, 7));
  EXPECT_FALSE(WriteBitmap24(Out("bad.bmp"), 2, -2, pixels, 7));
  EXPECT_FALSE(WriteBitmap24(Out("bad.bmp"), 2, 2, nullptr, 7));
  EXPECT_FALSE(WriteBitmap24(Out("bad.bmp"), 2, 2, pixels, 5)) << "stride shorter than a row";
  EXPECT_FALSE(fs::exists(Out("bad.bmp")));
}
