// Captures on the real engine (the colour-bar clips) and on a scripted frame
// source: what lands on disk, what the user is told, what stays in the list.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <regex>
#include <sys/stat.h>

#include "capture/captures.h"
#include "capture/picture_files.h"
#include "engine/bitmap_file.h"
#include "engine/scripted_engines.h"
#include "pip/scripted_pip_graph.h"
#include "media/test_media.h"
#include "platform/safe_file.h"
#include "settings/default_settings.h"

namespace fs = std::filesystem;
using capture::Captures;

namespace {

// Frames made up on the spot: each grab's picture carries its number.
struct ScriptedFrames : capture::FrameSource {
  std::vector<std::string> opened;
  std::vector<double> times;
  bool fail = false;
  int grabs = 0;
  bool Open(const std::string& file, int* w, int* h) override {
    opened.push_back(file);
    *w = 4, *h = 2;
    return true;
  }
  bool WriteBitmapBits(double seconds, int w, int h, const std::string& path) override {
    times.push_back(seconds);
    if (fail) return false;
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * 3, static_cast<unsigned char>(++grabs));
    return engine::WriteBitmap24(path, w, h, px.data(), w * 3);
  }
};

struct CaptureTest : ::testing::Test {
  fs::path root;
  std::string temp;
  ScriptedSessionParts s;
  ScriptedPipGraph pipGraph;
  engine::Session pipSession{s.graph, s.detector, s.audio, s.view, s.prompt, s.list, &pipGraph};
  ScriptedFrames frames;
  std::unique_ptr<capture::FrameSource> detector;
  settings::SettingsStore store;
  std::unique_ptr<Captures> captures;

  void SetUp() override {
    char t[] = "/tmp/orvane-capture-XXXXXX";
    root = ::mkdtemp(t);
    temp = (root / "Temp").string() + "/";
    fs::create_directory(temp);
    store.SetPath((root / "Default.ini").string());
    store.EnsureSettingsFile();
    store.Write("File", "CaptureImagePath", temp);
    Use(frames);
  }
  void TearDown() override {
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
    for (auto& e : fs::recursive_directory_iterator(root))
      if (e.is_directory()) fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root);
  }
  void Use(capture::FrameSource& source, engine::Session* session = nullptr) {
    Captures::Parts p;
    p.session = session ? session : &s.session;
    p.source = &source;
    p.prompt = &s.prompt;
    p.store = &store;
    p.tempFolder = temp;
    captures = std::make_unique<Captures>(p);
  }
  // A session playing (or paused in) a file at 1.5 s.
  void Playing(int type, const std::string& file = "/media/clip.mp4", bool paused = false) {
    ASSERT_TRUE(s.session.OpenFile("/media/clip.mp4"));
    s.session.PlayType = type;
    s.session.CurrentMediaFile = file;
    s.graph.current = 15000000;
    if (paused) s.session.PauseSession();
  }
  // A pair opened as the window opens it, on a scripted two-file graph.
  void PlayingPip(capture::FrameSource& source, const std::string& a, const std::string& b) {
    Use(source, &pipSession);
    pipSession.IsMediaFile = [](const std::string&) { return true; };
    pipSession.RendererKind = engine::kRendererMixer7;
    pipSession.PipMediaFileA = a;
    pipSession.PipMediaFileB = b;
    ASSERT_TRUE(pipSession.OpenPip());
    pipGraph.file.current = 15000000;
  }
  std::vector<std::string> Files(const fs::path& folder) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// SMPTE bars: the top half holds seven bars at 75 %, white on the left.
// Levels survive YUV coding, scaling and JPEG only roughly.
void ExpectBars(const QImage& image) {
  const QRgb wanted[] = {0xffffff, 0xffff00, 0x00ffff, 0x00ff00, 0xff00ff, 0xff0000, 0x0000ff};
  auto level = [](int v, int want) { return want ? v >= 150 : v <= 70; };
  for (int i = 0; i < 7; ++i) {
    const QColor got = image.pixelColor(image.width() * (2 * i + 1) / 14, image.height() / 4);
    const QColor want(wanted[i]);
    EXPECT_TRUE(level(got.red(), want.red()) && level(got.green(), want.green()) &&
                level(got.blue(), want.blue()))
        << "bar " << i << ": " << got.red() << "," << got.green() << "," << got.blue();
  }
}

TEST_F(CaptureTest, RealEngineSavesTheBarsAsBitmapAndJpegAtTheVideoSize) {
  detector = capture::MakeDetectorFrameSource();
  Use(*detector);
  Playing(engine::kPlayMedia, TestClip("video-2s-320x240.mp4"));
  ASSERT_EQ(captures->CaptureFrame(), 1);
  const std::string target = captures->Items()[0].targetPath;
  EXPECT_TRUE(std::regex_match(target, std::regex(temp + "[0-9]{12}\\.bmp"))) << target;

  store.WriteInt("File", "AskSaveOption", 0);
  ASSERT_TRUE(captures->SaveCapture(0));
  QImage bmp(QString::fromStdString(target), "BMP");
  ASSERT_EQ(bmp.size(), QSize(320, 240));
  ExpectBars(bmp);

  store.Write("File", "DefaultImageType", ".jpg");
  ASSERT_TRUE(captures->SaveCapture(0));
  const std::string jpeg = target.substr(0, target.size() - 4) + ".jpg";
  EXPECT_FALSE(fs::exists(target)) << "only the JPEG is left";
  QImage decoded(QString::fromStdString(jpeg), "JPEG");
  ASSERT_EQ(decoded.size(), QSize(320, 240));
  ExpectBars(decoded);
  EXPECT_EQ(s.prompt.shown.back().second, jpeg + " 保存成功!");
}

TEST_F(CaptureTest, RealEnginePictureInPictureCapturesEachFile) {
  detector = capture::MakeDetectorFrameSource();
  PlayingPip(*detector, TestClip("video-2s-320x240.mp4"), TestClip("video-10s-640x360.mp4"));
  ASSERT_EQ(captures->CaptureFrame(), 2);
  EXPECT_TRUE(pipGraph.file.running) << "the pair plays on";
  store.WriteInt("File", "AskSaveOption", 0);
  captures->SaveAllCaptures();
  const QSize sizes[] = {{320, 240}, {640, 360}};
  for (int i = 0; i < 2; ++i) {
    QImage image(QString::fromStdString(captures->Items()[i].targetPath), "BMP");
    EXPECT_EQ(image.size(), sizes[i]);
    ExpectBars(image);
  }
}

TEST_F(CaptureTest, OnlyFilesAndPictureInPictureAreCapturedAndThePlayStateIsKept) {
  for (int type : {engine::kPlayDvd, engine::kPlayAudio}) {
    Playing(type);
    EXPECT_EQ(captures->CaptureFrame(), 0);
  }
  EXPECT_TRUE(frames.opened.empty());
  EXPECT_TRUE(s.prompt.shown.empty()) << "nothing is said";

  // Two grabs: two names, the scratch file holds the second frame, and the
  // session plays on at the position it was taken at.
  Playing(engine::kPlayMedia);
  ASSERT_EQ(captures->CaptureFrame(), 1);
  ASSERT_EQ(captures->CaptureFrame(), 1);
  ASSERT_EQ(captures->Items().size(), 2u);
  EXPECT_NE(captures->Items()[0].targetPath, captures->Items()[1].targetPath);
  EXPECT_EQ(platform::ReadWholeFile(temp + "OrvaneCatch.bmp"), captures->Items()[1].bitmap);
  EXPECT_NE(captures->Items()[0].bitmap, captures->Items()[1].bitmap);
  EXPECT_EQ(frames.times, (std::vector<double>{1.5, 1.5}));
  EXPECT_TRUE(s.graph.running && !s.session.IsPaused);

  // A paused session stays paused.
  Playing(engine::kPlayMedia, "/media/clip.mp4", true);
  ASSERT_EQ(captures->CaptureFrame(), 1);
  EXPECT_TRUE(s.session.IsPaused && !s.graph.running);
}

TEST_F(CaptureTest, FailedGrabsAreReportedForFilesOnly) {
  // Nothing open.
  s.session.PlayType = engine::kPlayMedia;
  EXPECT_EQ(captures->CaptureFrame(), 0);
  ASSERT_EQ(s.prompt.shown.size(), 1u);
  EXPECT_EQ(s.prompt.shown[0], (std::pair<std::string, std::string>{"提示信息", "无法截屏!"}));

  frames.fail = true;
  Playing(engine::kPlayMedia);
  EXPECT_EQ(captures->CaptureFrame(), 0);
  EXPECT_EQ(s.prompt.shown.size(), 2u);
  EXPECT_TRUE(captures->Items().empty());
  EXPECT_TRUE(s.graph.running) << "resumed after a failed grab";

  frames.opened.clear();
  PlayingPip(frames, "/a.mp4", "/b.mp4");
  EXPECT_EQ(captures->CaptureFrame(), 0);
  EXPECT_EQ(frames.opened.size(), 2u) << "both files were tried";
  EXPECT_EQ(s.prompt.shown.size(), 2u) << "picture in picture fails quietly";
  EXPECT_TRUE(captures->Items().empty());
}

TEST_F(CaptureTest, CaptureFolderIsTheStoredAbsoluteOneElseTemp) {
  Playing(engine::kPlayMedia);
  for (const char* stored : {"", "pictures/", "Value no find"}) {
    store.Write("File", "CaptureImagePath", stored);
    ASSERT_EQ(captures->CaptureFrame(), 1);
    EXPECT_EQ(fs::path(captures->Items().back().targetPath).parent_path(), fs::path(temp).parent_path())
        << "stored '" << stored << "'";
  }
  fs::create_directory(root / "mine");
  store.Write("File", "CaptureImagePath", (root / "mine").string());  // no separator
  ASSERT_EQ(captures->CaptureFrame(), 1);
  EXPECT_EQ(fs::path(captures->Items().back().targetPath).parent_path(), root / "mine");
  EXPECT_TRUE(fs::exists(root / "mine" / "OrvaneCatch.bmp"));
}

TEST_F(CaptureTest, SavingUnderOtherNamesKeepsTheJpegAndReportsFailures) {
  Playing(engine::kPlayMedia);
  ASSERT_EQ(captures->CaptureFrame(), 1);
  fs::create_directory(root / "a.bmp.d");
  // A name with another extension: its JPEG replaces only that extension,
  // and the JPEG just written is never deleted.
  s.prompt.saveTypedFilter = 2;
  for (const char* name : {"a.bmp.d/x.png", "a.bmp.d/y", "a.bmp.d/z.jpg"}) {
    s.prompt.saveTypedAnswer = (root / name).string();
    EXPECT_TRUE(captures->SaveCapture(0)) << name;
  }
  EXPECT_EQ(Files(root / "a.bmp.d"), (std::vector<std::string>{"x.jpg", "y.jpg", "z.jpg"}));
  for (const char* name : {"x.jpg", "y.jpg", "z.jpg"})
    EXPECT_EQ(QImage(QString::fromStdString((root / "a.bmp.d" / name).string()), "JPEG").size(),
              QSize(4, 2));
  EXPECT_EQ(s.prompt.saveTypedAsked[0], captures->Items()[0].targetPath);

  // A read-only folder (for a user who writes anywhere, a file where the
  // folder should be): the user is told, nothing is marked saved.
  ASSERT_EQ(captures->CaptureFrame(), 1);
  fs::path locked = root / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(locked.c_str(), W_OK) == 0) {
    locked = root / "not-a-folder";
    platform::WriteFileAtomically(locked.string(), "x");
  }
  for (int filter : {1, 2}) {
    s.prompt.saveTypedFilter = filter;
    s.prompt.saveTypedAnswer = (locked / "p.bmp").string();
    EXPECT_FALSE(captures->SaveCapture(1));
    EXPECT_EQ(s.prompt.shown.back().second, (locked / "p.bmp").string() + " 保存失败!");
    EXPECT_FALSE(captures->Items()[1].saved);
  }
  EXPECT_FALSE(fs::exists(locked / "p.bmp") || fs::exists(locked / "p.jpg"));
}

TEST_F(CaptureTest, SaveAllGoesIntoTheChosenFolderOrNowhere) {
  Playing(engine::kPlayMedia);
  ASSERT_EQ(captures->CaptureFrame(), 1);
  ASSERT_EQ(captures->CaptureFrame(), 1);
  // Asked, and closed with its close box: nothing is written or said.
  captures->SaveAllCaptures();
  ASSERT_EQ(s.prompt.saveOptionsShown.size(), 1u);
  EXPECT_EQ(s.prompt.saveOptionsShown[0].folder, temp);
  EXPECT_EQ(Files(temp), (std::vector<std::string>{"OrvaneCatch.bmp"}));
  EXPECT_TRUE(s.prompt.shown.empty());

  // A folder chosen without its separator: the files land inside it.
  fs::create_directory(root / "out");
  s.prompt.saveOptionsAnswer = {{(root / "out").string(), ".jpg"}};
  captures->SaveAllCaptures();
  const std::vector<std::string> saved = Files(root / "out");
  ASSERT_EQ(saved.size(), 2u);
  for (const std::string& name : saved) EXPECT_TRUE(std::regex_match(name, std::regex("[0-9]{12}\\.jpg")));
  EXPECT_EQ(s.prompt.shown.back().second, "图片保存成功!");
  EXPECT_TRUE(captures->Items()[0].saved && captures->Items()[1].saved);

  // The dialog's check boxes store their settings at once.
  s.prompt.saveOptionsShown[1].dontAskChanged(true);
  EXPECT_EQ(store.ReadInt("File", "AskSaveOption"), 0);
  s.prompt.saveOptionsShown[1].saveAsDefault("/pictures/", ".jpg");
  EXPECT_EQ(store.ReadText("File", "CaptureImagePath"), "/pictures/");
  EXPECT_EQ(store.ReadText("File", "DefaultImageType"), ".jpg");
}

TEST_F(CaptureTest, ConvertToJpegRefusesWhatIsNoBitmap) {
  const std::string junk = (root / "junk.bmp").string();
  platform::WriteFileAtomically(junk, "BMnot a picture at all, but long enough to have a header.......");
  EXPECT_FALSE(capture::ConvertToJpeg(junk, (root / "junk.jpg").string()));
  EXPECT_FALSE(capture::ConvertToJpeg((root / "none.bmp").string(), (root / "none.jpg").string()));
  EXPECT_FALSE(fs::exists(root / "junk.jpg"));
  EXPECT_EQ(capture::JpegNameFor("/a.bmp.d/x.BMP"), "/a.bmp.d/x.jpg");
  EXPECT_EQ(capture::JpegNameFor("/a.b/x"), "/a.b/x.jpg");
}

}  // namespace
