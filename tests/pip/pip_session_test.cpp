// Picture in picture over scripted engines: placement, alpha, swap, mirrors,
// the mouse, the stored settings and the session around them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/scripted_engines.h"
#include "pip/scripted_pip_graph.h"
#include "pip/pip_session.h"

using namespace engine;
using pip::Cursor;
using pip::Edge;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct PipFixture : ::testing::Test {
  std::filesystem::path folder;
  ScriptedGraph graph;
  ScriptedPipGraph pipGraph;
  ScriptedDetector detector;
  ScriptedAudio audio;
  RecordingView view;
  RecordingPrompt prompt;
  playlist::PlayList list;
  VideoMixer mixer;
  settings::SettingsStore store;
  Session session{graph, detector, audio, view, prompt, list, &pipGraph};
  pip::PipSession pip{session, mixer, store, prompt, list};

  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("orvane-pip-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    store.SetPath((folder / "Default.ini").string());
    ASSERT_TRUE(store.EnsureSettingsFile());
    session.IsMediaFile = [](const std::string&) { return true; };
    session.OnPipOpened = [this] { pip.AfterOpen(); };
    session.OnPipStep = [this] { pip.SwapPictures(); };
    pipGraph.mixer = &mixer;
    view.panel = {400, 300};
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  void Open() { ASSERT_TRUE(pip.OpenPip("/v/a.mp4", "/v/b.mp4")); }
  int Stored(const char* key) { return store.ReadInt("Pip", key); }
  std::vector<int> StoredRect() {
    return {Stored("SmallLeft"), Stored("SmallTop"), Stored("SmallRight"), Stored("SmallBottom")};
  }
};

void ExpectRect(const NormalisedRect& r, float l, float t, float rt, float b) {
  EXPECT_NEAR(r.left, l, 1e-5);
  EXPECT_NEAR(r.top, t, 1e-5);
  EXPECT_NEAR(r.right, rt, 1e-5);
  EXPECT_NEAR(r.bottom, b, 1e-5);
}

}  // namespace

TEST_F(PipFixture, FreshSettingsOpenBothPicturesWholeAtTheirAlpha) {
  Open();
  EXPECT_EQ(pipGraph.rendered, (std::vector<std::pair<std::string, std::string>>{{"/v/a.mp4", "/v/b.mp4"}}));
  EXPECT_EQ(session.PlayType, kPlayPip);
  EXPECT_TRUE(session.IsPlaying);
  EXPECT_EQ(pip.StreamA, 0);
  EXPECT_EQ(pip.StreamB, 1);
  ExpectRect(mixer.OutputRect(0), 0, 0, 1, 1);
  ExpectRect(mixer.OutputRect(1), 0, 0, 1, 1);
  EXPECT_FLOAT_EQ(mixer.Alpha(0), 0.8f);
  EXPECT_FLOAT_EQ(mixer.Alpha(1), 0.6f);
  EXPECT_TRUE(graph.rendered.empty());  // the file graph is not the one that plays
  // Volume and the picture's place go to the two-file graph while it exists.
  session.SetVolumeLevel(50);
  EXPECT_EQ(pipGraph.file.volume, session.DirectShowVolume);
  EXPECT_GT(mixer.GetVideoPosition().Width(), 0);
}

TEST_F(PipFixture, AnEmptyFileNameIsReportedAndOpensNothing) {
  EXPECT_FALSE(pip.OpenPip("/v/a.mp4", ""));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].first, "提示信息");
  EXPECT_EQ(prompt.shown[0].second, "无效或错误的媒体文件!");
  EXPECT_TRUE(pipGraph.rendered.empty());
  // A pair that cannot be rendered says nothing.
  pipGraph.file.unplayable.insert("/v/bad.mp4");
  EXPECT_FALSE(pip.OpenPip("/v/bad.mp4", "/v/b.mp4"));
  EXPECT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(session.PlayType, kPlayPip);
}

TEST_F(PipFixture, StandardCentreMirroredLeftRightAndResetAsStored) {
  Open();
  pip.SetStandardPosition(5);
  EXPECT_EQ(Stored("PositionType"), 101);
  EXPECT_EQ(Stored("SmallPosition"), 5);
  pip.FlipLeftRight();
  ExpectRect(pip.SmallRect(), 0.75f, 0.25f, 0.25f, 0.75f);
  EXPECT_EQ(StoredRect(), (std::vector<int>{75, 25, 25, 75}));
  EXPECT_EQ(Stored("PositionType"), 102);
  pip.DetectReverseType();
  EXPECT_EQ(pip.ReverseType, pip::kLeftRight);
  pip.FlipBoth();
  pip.DetectReverseType();
  EXPECT_EQ(pip.ReverseType, pip::kUpDown);
  pip.ResetFlip();
  EXPECT_EQ(StoredRect(), (std::vector<int>{25, 25, 75, 75}));
  // A flip twice is no flip; out-of-range positions are ignored.
  pip.FlipUpDown();
  pip.FlipUpDown();
  ExpectRect(pip.SmallRect(), 0.25f, 0.25f, 0.75f, 0.75f);
  pip.SetStandardPosition(6);
  pip.SetStandardPosition(0);
  EXPECT_EQ(Stored("SmallPosition"), 5);
}

TEST_F(PipFixture, APausedPictureIsRedrawnWhenItsPlacementOrAlphaChanges) {
  Open();
  session.PauseSession();
  int repaints = 0;
  mixer.SetFrameListener([&] { ++repaints; });
  pip.SetStandardPosition(1);
  EXPECT_GT(repaints, 0) << "a new place was never shown";
  repaints = 0;
  pip.SwapPictures();
  EXPECT_GT(repaints, 0) << "a swap was never shown";
  repaints = 0;
  pip.SetPipAlpha(pip.StreamB, 30);
  EXPECT_GT(repaints, 0) << "a new alpha was never shown";
}

TEST_F(PipFixture, StoredPlacementIsAppliedAtOpenAndTooWideIsHalved) {
  store.WriteInt("Pip", "PositionType", 102);
  for (auto [key, value] : {std::pair{"SmallLeft", 10}, {"SmallTop", 10}, {"SmallRight", 120}, {"SmallBottom", 40}})
    store.WriteInt("Pip", key, value);
  Open();
  ExpectRect(mixer.OutputRect(1), 0.10f, 0.10f, 0.60f, 0.40f);
  ExpectRect(mixer.OutputRect(0), 0, 0, 1, 1);
  // A stored standard position is applied by its number.
  session.StopCommand();
  store.WriteInt("Pip", "PositionType", 101);
  store.WriteInt("Pip", "SmallPosition", 2);
  session.PlayCommand();  // Play reopens the pair
  EXPECT_EQ(pipGraph.rendered.size(), 2u);
  ExpectRect(mixer.OutputRect(1), 0.5f, 0, 1, 0.5f);
}

TEST_F(PipFixture, SwapExchangesRectanglesAndStreamsAndPositionsFollowTheSmallPicture) {
  list.Replace({"/v/a.mp4", "/v/b.mp4"});
  Open();
  pip.SetStandardPosition(3);
  session.PlayNext();  // previous and next swap while a pair plays
  ExpectRect(mixer.OutputRect(0), 0, 0.5f, 0.5f, 1.0f);
  ExpectRect(mixer.OutputRect(1), 0, 0, 1, 1);
  EXPECT_EQ(pip.StreamA, 1);
  EXPECT_EQ(pip.StreamB, 0);
  EXPECT_FLOAT_EQ(mixer.Alpha(0), 0.8f);  // alpha stays with its stream
  // After a swap a standard position still places the small picture.
  pip.SetStandardPosition(2);
  ExpectRect(mixer.OutputRect(0), 0.5f, 0, 1.0f, 0.5f);
  ExpectRect(mixer.OutputRect(1), 0, 0, 1, 1);
  session.PlayPrevious();
  EXPECT_EQ(pip.StreamA, 0);
  ExpectRect(mixer.OutputRect(1), 0.5f, 0, 1.0f, 0.5f);
  // A new open restores streams and alpha.
  pip.SwapPictures();
  pip.SetPipAlpha(0, 30);
  session.StopCommand();
  session.PlayCommand();
  EXPECT_EQ(pip.StreamA, 0);
  EXPECT_FLOAT_EQ(mixer.Alpha(0), 0.8f);
}

TEST_F(PipFixture, DraggingInsideMovesTheWholePictureAndEdgesResizeIt) {
  Open();
  mixer.SetVideoPosition({0, 0, 400, 300});
  pip.SetStandardPosition(5);  // pixels 100..300 x 75..225
  const Size client{400, 300};
  EXPECT_EQ(pip.MouseMove(200, 150, false, client), Cursor::Hand);
  EXPECT_EQ(pip.MouseDown(200, 150, Cursor::Hand), Cursor::SizeAll);
  EXPECT_EQ(pip.MouseMove(220, 150, true, client), Cursor::SizeAll);
  EXPECT_EQ(pip.MouseMove(240, 150, true, client), Cursor::SizeAll);
  ExpectRect(pip.SmallRect(), 0.35f, 0.25f, 0.85f, 0.75f);
  EXPECT_EQ(Stored("PositionType"), 102);
  EXPECT_EQ(StoredRect(), (std::vector<int>{35, 25, 85, 75}));
  EXPECT_TRUE(pip.MouseUp());  // the release after a drag plays on
  EXPECT_FALSE(pip.MouseUp());

  // The left edge (pixel 140) is grabbed and moved alone; the band follows
  // the edge, so the mouse keeps it while it moves in small steps.
  EXPECT_EQ(pip.MouseMove(142, 150, false, client), Cursor::SizeWE);
  pip.MouseDown(142, 150, Cursor::SizeWE);
  for (int x = 137; x >= 122; x -= 5) EXPECT_EQ(pip.MouseMove(x, 150, true, client), Cursor::SizeWE);
  ExpectRect(pip.SmallRect(), 0.30f, 0.25f, 0.85f, 0.75f);
  pip.MouseUp();
  // Mirrored left-right, the visual left edge is the rectangle's right.
  pip.FlipLeftRight();  // 0.85 .. 0.30: visual left at pixel 120
  pip.MouseDown(120, 150, Cursor::Default);
  for (int x = 115; x >= 100; x -= 5) EXPECT_EQ(pip.MouseMove(x, 150, true, client), Cursor::SizeWE);
  ExpectRect(pip.SmallRect(), 0.85f, 0.25f, 0.25f, 0.75f);
  pip.MouseUp();
  // The bottom-right corner, and nothing at all far outside.
  EXPECT_EQ(pip.MouseMove(340, 225, false, client), Cursor::SizeNWSE);
  EXPECT_EQ(pip.MouseMove(20, 20, false, client), Cursor::Default);
  // A click without a move is a click.
  pip.MouseDown(20, 20, Cursor::Default);
  EXPECT_FALSE(pip.MouseUp());
}

TEST_F(PipFixture, SliderMovesAnEdgeByItsChangeAndStoresRoundedPercentages) {
  Open();
  pip.SetFreePosition(20, 20, 70, 70);
  int last = 20;
  pip.MoveEdge(Edge::Left, 30, last);
  EXPECT_EQ(last, 30);
  ExpectRect(pip.SmallRect(), 0.30f, 0.20f, 0.70f, 0.70f);
  EXPECT_EQ(Stored("PositionType"), 102);
  EXPECT_EQ(Stored("SmallLeft"), 30);
  // 29 % is 0.29f, a hair below 0.29: another edge's move stores it as 29, not 28.
  pip.SetFreePosition(29, 20, 70, 70);
  int right = 70;
  pip.MoveEdge(Edge::Right, 80, right);
  EXPECT_EQ(StoredRect(), (std::vector<int>{29, 20, 80, 70}));
  int bottom = 70;
  pip.MoveEdge(Edge::Bottom, 100, bottom);
  EXPECT_EQ(Stored("SmallBottom"), 100);
  for (float exact : {0.0f, 0.10f, 0.25f, 0.50f, 0.75f, 1.0f})
    EXPECT_EQ(pip::Percent(exact), static_cast<int>(exact * 100 + 0.5f));
}

TEST_F(PipFixture, TheEndOfFileAStopsWhateverThePlayModeAndPlayReopensThePair) {
  list.Replace({"/v/a.mp4", "/v/b.mp4"});
  session.PlayMode = 1;
  Open();
  pipGraph.file.current = pipGraph.file.length;
  session.SessionTick();
  EXPECT_FALSE(session.IsPlaying);
  EXPECT_EQ(session.PlayType, kPlayPip);
  EXPECT_FALSE(pipGraph.Exists());
  EXPECT_EQ(pipGraph.rendered.size(), 1u);  // not the next entry, not again
  EXPECT_TRUE(graph.rendered.empty());
  session.PlayCommand();
  EXPECT_EQ(pipGraph.rendered.size(), 2u);
  EXPECT_TRUE(session.IsPlaying);
  // Opening a file leaves picture in picture behind.
  ASSERT_TRUE(session.OpenFiles({"/v/c.mp4"}));
  EXPECT_FALSE(pipGraph.Exists());
  EXPECT_EQ(session.PlayType, kPlayMedia);
  pip.SwapPictures();
  pip.FlipUpDown();
  ExpectRect(mixer.OutputRect(1), 0, 0, 1, 1);  // no PIP graph: the mixer is left alone
}

TEST_F(PipFixture, ReloadingTheLastPairResumesItsPosition) {
  store.Write("Pip", "pipMediaFileA", "/v/a.mp4");
  store.Write("Pip", "pipMediaFileB", "/v/b.mp4");
  ASSERT_TRUE(pip.ReloadLastPip(1, 4));
  EXPECT_EQ(list.PlayListPaths, (std::vector<std::string>{"/v/a.mp4", "/v/b.mp4"}));
  EXPECT_EQ(pipGraph.file.current, 4 * 10000000LL);
  session.StopCommand();
  // Closed at its very end (10 s), the pair starts from the beginning.
  ASSERT_TRUE(pip.ReloadLastPip(1, 10));
  EXPECT_EQ(pipGraph.file.current, 0);
  session.StopCommand();
  ASSERT_TRUE(pip.ReloadLastPip(0, 4));
  EXPECT_EQ(pipGraph.file.current, 0);
}

TEST_F(PipFixture, WithTheDefaultRendererNothingHappens) {
  session.RendererKind = kRendererDefault;
  const std::string before = ReadAll(store.Path());
  EXPECT_FALSE(pip.OpenPip("/v/a.mp4", "/v/b.mp4"));
  EXPECT_FALSE(pip.OpenPip("", ""));
  EXPECT_TRUE(prompt.shown.empty());
  pip.SetStandardPosition(2);
  pip.SetFreePosition(1, 2, 3, 4);
  int last = 0;
  pip.MoveEdge(Edge::Top, 20, last);
  pip.FlipBoth();
  pip.SwapPictures();
  EXPECT_EQ(ReadAll(store.Path()), before);
  EXPECT_TRUE(pipGraph.rendered.empty());
}
