// The audio-only path on scripted engines, the tag text of real files, the
// spectrum heights and the equaliser knob rule.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <unistd.h>

#include "engine/equaliser.h"
#include "engine/scripted_engines.h"
#include "engine/spectrum_bars.h"
#include "engine/tag_text.h"
#include "media/test_media.h"

using namespace engine;

namespace {

struct AudioPathFixture : ::testing::Test, ScriptedSessionParts {
  bool Open(const std::string& path = "/m/song.mp3") { return session.OpenFile(path); }
};

// A file of `body` bytes followed by `tail`.
std::string WriteFile(const std::string& name, size_t body, const std::string& tail) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << std::string(body, '\x55') << tail;
  return path;
}

std::string Field(const std::string& text, size_t size) {
  std::string f = text.substr(0, size);
  f.resize(size, '\0');
  return f;
}

std::string Tag(const std::string& title, const std::string& artist = "", const std::string& year = "") {
  return "TAG" + Field(title, 30) + Field(artist, 30) + Field("", 30) + Field(year, 4) +
         Field("", 30) + "\x0c";
}

}  // namespace

TEST_F(AudioPathFixture, OpenSizesTheAreaSetsTheVolumeAndCreatesTenEffects) {
  session.SoundLevel = 30;
  audio.lengthSeconds = 183.5;  // rounds half to even
  ASSERT_TRUE(Open());
  EXPECT_FLOAT_EQ(audio.volume, 0.3f);
  EXPECT_EQ(session.PlayType, kPlayAudio);
  EXPECT_TRUE(session.IsPlaying && session.TickIdle && !session.IsPaused);
  EXPECT_EQ(session.AudioLength, 184);
  EXPECT_EQ(view.time, "0:00:00 / 0:03:04");
  EXPECT_EQ(session.VideoWidth, 540);
  EXPECT_EQ(session.VideoHeight, 260);
  EXPECT_DOUBLE_EQ(session.KeepOriginalRatio, 260.0 / 540);
  // Window grown by what the 540 x 380 panel lacks for 540 x 260, centred.
  EXPECT_EQ(view.moved, (std::vector<int>{338, 221, 689, 326}));
  EXPECT_EQ(session.EqEffects, (std::array<int, kEqBands>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_TRUE(view.timers[Timer::Spectrum]);

  session.SetEqBand(4, -15);
  ASSERT_EQ(audio.eqSet.size(), 1u);
  EXPECT_EQ(audio.eqSet[0], std::make_tuple(5, 1000.0f, 20.0f, -15.0f));
  session.SetEqBand(10, 3);  // no such band
  EXPECT_EQ(audio.eqSet.size(), 1u);

  session.PauseSession();
  EXPECT_TRUE(session.IsPlaying && session.IsPaused);
  EXPECT_FALSE(audio.playing);
  session.ResumeSession();
  EXPECT_TRUE(audio.playing && !session.IsPaused);
  session.StopCommand();
  EXPECT_FALSE(audio.open);
  EXPECT_EQ(session.IsStopped, 1);
  EXPECT_FALSE(view.timers[Timer::Spectrum]);
}

TEST_F(AudioPathFixture, AMaximisedWindowIsRestoredAndFittedAndALevelOutOfRangeIsClamped) {
  view.maximised = true;
  session.SoundLevel = 250;
  ASSERT_TRUE(Open());
  EXPECT_FALSE(view.maximised);
  EXPECT_EQ(view.moved.size(), 4u);
  EXPECT_FLOAT_EQ(audio.volume, 1.0f);
}

TEST_F(AudioPathFixture, AStreamThatDoesNotOpenLeavesNoLengthAndNoTimer) {
  audio.unplayable.insert("/m/bad.mp3");
  session.AudioLength = 7;
  EXPECT_FALSE(Open("/m/bad.mp3"));
  EXPECT_NE(session.PlayType, kPlayAudio);
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(session.AudioLength, 7);
  EXPECT_FALSE(view.timers[Timer::Session]);
  EXPECT_EQ(view.status, kStatusReady);
  EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(AudioPathFixture, SeeksClampToTheLengthAndWaitForTheTick) {
  audio.lengthSeconds = 200.4;
  ASSERT_TRUE(Open());
  session.SeekAudioFromBar(700, 500);  // beyond the end
  EXPECT_EQ(audio.position, 200000);
  EXPECT_EQ(view.time, "0:03:20 / 0:03:20");
  session.SeekAudioFromBar(-5, 500);
  EXPECT_EQ(audio.position, 0);
  session.SeekAudioFromBar(250, 500);  // trunc(100.2)
  EXPECT_EQ(audio.position, 100000);
  session.SeekAudioFromBar(1, 0);  // no track: nothing moves
  EXPECT_EQ(audio.position, 100000);
  session.SeekAudioSeconds(-3);
  EXPECT_EQ(audio.position, 0);
  session.SeekAudioSeconds(1000);
  EXPECT_EQ(audio.position, 200000);

  // Nothing moves while a tick is running or when nothing plays.
  session.TickIdle = false;
  session.SeekAudioSeconds(5);
  EXPECT_EQ(audio.position, 200000);
  session.TickIdle = true;
  session.StopCommand();
  session.SeekAudioSeconds(5);
  EXPECT_EQ(audio.position, 200000);
}

TEST(TagText, FieldsOfTheLastRecord) {
  EXPECT_EQ(BuildTagText(WriteFile("short.mp3", 100, "")), "标  题\t\t\r艺术家\t\t\r专  辑\t\t\r发行年\t\t\r评  论\t\t");
  EXPECT_EQ(BuildTagText("/no/such/file.mp3"), BuildTagText(WriteFile("short.mp3", 100, "")));
  EXPECT_EQ(ReadId3v1Tag(WriteFile("untagged.mp3", 4000, "")).comment, "没有相关信息");
  EXPECT_EQ(ReadId3v1Tag(WriteFile("untagged.mp3", 4000, "")).title, "");

  const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
  Id3v1Tag tag = ReadId3v1Tag(WriteFile("full.mp3", 500, Tag(thirty, "Me", "1999")));
  EXPECT_EQ(tag.title, thirty);  // no zero byte: the whole field
  EXPECT_EQ(tag.artist, "Me");
  EXPECT_EQ(tag.year, "1999");
  // Exactly 128 bytes: the whole file is the tag.
  EXPECT_EQ(ReadId3v1Tag(WriteFile("only.mp3", 0, Tag("x"))).title, "x");

  EXPECT_EQ(BuildTagText(TestClip("tone-3s-id3v1.mp3")),
            "标  题\t\t测试标题\r艺术家\t\tArtist\r专  辑\t\tAlbum\r发行年\t\t2026\r评  论\t\t");
}

TEST(TagText, FieldsDecodeAsUtf8ThenGb18030ThenLatin1) {
  EXPECT_EQ(DecodeTagField("Caf\xc3\xa9"), "Café");
  EXPECT_EQ(DecodeTagField("\xb2\xe2\xca\xd4"), "测试");  // GB18030
  // A character cut in half by the field's end is dropped.
  EXPECT_EQ(DecodeTagField("\xb2\xe2\xca"), "测");
  EXPECT_EQ(DecodeTagField("\xff\xfe"), "ÿþ");  // neither: Latin-1
  EXPECT_EQ(DecodeTagField("\xed\xa0\x80"), "í\xc2\xa0\xc2\x80");  // a surrogate is not UTF-8
}

TEST(SpectrumBars, BarsFallByThreeAndPeaksByOne) {
  SpectrumBars bars;
  float values[kSpectrumValues] = {};
  values[0] = 0.05f;   // 25
  values[1] = -0.02f;  // the magnitude counts: 10
  values[2] = 1.0f;    // at most the picture's height
  values[3] = std::numeric_limits<float>::quiet_NaN();
  bars.Update(values);
  EXPECT_EQ(bars.bar[0], 25);
  EXPECT_EQ(bars.peak[0], 25);
  EXPECT_EQ(bars.bar[1], 10);
  EXPECT_EQ(bars.bar[2], 40);
  EXPECT_EQ(bars.bar[3], 0);

  float quiet[kSpectrumValues] = {};
  quiet[0] = 0.03f;  // 15: below both
  bars.Update(quiet);
  EXPECT_EQ(bars.bar[0], 22);
  EXPECT_EQ(bars.peak[0], 24);
  for (int i = 0; i < 8; ++i) bars.Update(quiet);
  EXPECT_EQ(bars.bar[0], 15);   // held up by the value
  EXPECT_EQ(bars.peak[0], 16);
  EXPECT_EQ(bars.bar[1], 0);    // never below zero
  EXPECT_EQ(bars.peak[1], 1);
  quiet[0] = 0.0399f;  // 19.95 truncates to 19, above the bar
  bars.Update(quiet);
  EXPECT_EQ(bars.bar[0], 19);
  EXPECT_EQ(bars.peak[0], 19);
}

TEST(EqualiserKnob, FollowsTheMouseInsideItsTrack) {
  // Tracks: top 7, height 50; knobs 7 high, design top 29.
  EXPECT_EQ(EqKnobMouseMove(29, 7, 3, 7, 50).gain, 0);  // delta 0
  EXPECT_EQ(EqKnobMouseMove(29, 7, 3, 7, 50).knobTop, 29);
  EXPECT_EQ(EqKnobMouseMove(29, 7, -100, 7, 50).knobTop, 7);
  EXPECT_EQ(EqKnobMouseMove(29, 7, -100, 7, 50).gain, 15);
  EXPECT_EQ(EqKnobMouseMove(29, 7, 100, 7, 50).knobTop, 50);
  EXPECT_EQ(EqKnobMouseMove(29, 7, 100, 7, 50).gain, -15);
  EqKnobMove move = EqKnobMouseMove(29, 7, 13, 7, 50);  // down by 10
  EXPECT_EQ(move.knobTop, 39);
  EXPECT_EQ(move.gain, 15 - static_cast<int>(32.0 / 43 * 30));
  // A knob left outside its track does not move.
  EXPECT_EQ(EqKnobMouseMove(60, 7, 3, 7, 50).knobTop, 60);
  EXPECT_EQ(EqKnobMouseMove(60, 7, 3, 7, 50).gain, -15);
}
