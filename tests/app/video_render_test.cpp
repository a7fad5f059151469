// Known pixels of the colour-bar clip on screen, for each renderer kind,
// through the real window, graph and detector under an X server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

#include "app/main_form.h"
#include "app/video_surface.h"
#include "engine/gst_audio_stream.h"
#include "engine/gst_file_graph.h"
#include "engine/media_detector.h"
#include "engine/scripted_engines.h"
#include "media/test_media.h"

using app::TOrvaneMain_Form;

namespace {

// A real window on the real engines, in a fresh program folder with the default skin.
struct WindowFixture : ::testing::Test {
  std::string root;
  engine::GstFileGraph graph;
  engine::MediaDetector detector;
  engine::GstAudioStream audio;
  RecordingPrompt prompt;
  std::unique_ptr<TOrvaneMain_Form> form;

  void SetUp() override {
    char t[] = "/tmp/orvane-render-XXXXXX";
    root = ::mkdtemp(t);
    for (const char* d : {"/Ini", "/Project", "/Temp"}) ::mkdir((root + d).c_str(), 0755);
    ::symlink(ORVANE_PROGRAM_DIR_DEFAULT "/Skin", (root + "/Skin").c_str());
  }
  void TearDown() override {
    form.reset();
    std::system(("rm -rf '" + root + "'").c_str());
  }
  // A plain white window over the whole of ours, shown and drawn.
  std::unique_ptr<QWidget> ShowCover() {
    auto cover = std::make_unique<QWidget>();
    cover->setWindowFlag(Qt::FramelessWindowHint);
    cover->setGeometry(QRect(form->geometry().topLeft(), form->size()));
    cover->setStyleSheet("background: white");
    cover->show();
    Wait(300);
    return cover;
  }
  void Wait(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      QThread::msleep(5);
    }
  }
};

struct RenderFixture : WindowFixture, ::testing::WithParamInterface<int> {
  // Opens the clip paused on its first frame, as the window shows it.
  void Open(const std::string& clip) {
    app::MainFormParts parts{&graph, &audio, &prompt, root, {clip}, &detector, GetParam()};
    form = std::make_unique<TOrvaneMain_Form>(parts);
    form->show();
    // The start opens the file from the event loop; a loaded machine takes longer.
    for (int waited = 0; waited < 5000 && !form->session().IsPlaying && prompt.shown.empty();
         waited += 50)
      Wait(50);
    ASSERT_TRUE(form->session().IsPlaying) << (prompt.shown.empty() ? "" : prompt.shown[0].second);
    form->session().PauseSession();
    graph.SetPositionAbsolute(0);
    Wait(700);
  }
  QImage Screen() {
    QPoint origin = form->Video_P->mapTo(form.get(), QPoint(0, 0));
    return form->screen()
        ->grabWindow(form->winId(), origin.x(), origin.y(), form->Video_P->width(),
                     form->Video_P->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }
};

// The seven bars across the top of the picture, as high/low channels.
const int kBars[7][3] = {{1, 1, 1}, {1, 1, 0}, {0, 1, 1}, {0, 1, 0}, {1, 0, 1}, {1, 0, 0}, {0, 0, 1}};

bool ShowsBar(const QImage& image, int x, int y, const int* rgb) {
  const QColor c = image.pixelColor(x, y);
  const int got[3] = {c.red(), c.green(), c.blue()};
  for (int i = 0; i < 3; ++i)
    if (rgb[i] ? got[i] <= 150 : got[i] >= 70) return false;
  return true;
}

void ExpectBar(const QImage& image, int x, int y, const int* rgb, const char* what) {
  QColor c = image.pixelColor(x, y);
  int got[3] = {c.red(), c.green(), c.blue()};
  for (int i = 0; i < 3; ++i) {
    if (rgb[i])
      EXPECT_GT(got[i], 150) << what << " at " << x << "," << y;
    else
      EXPECT_LT(got[i], 70) << what << " at " << x << "," << y;
  }
}

// Samples the spectrum box's place in a shot of the video panel (at `origin`
// in the shot) against the frame the mixer drew there: nothing may hide it.
void ExpectPictureUnderSpectrumBox(TOrvaneMain_Form& form, const QImage& shot, QPoint origin) {
  std::shared_ptr<const engine::VideoFrame> frame = form.mixer().Slot(0).Latest();
  ASSERT_TRUE(frame && frame->data);
  const QImage picture(frame->data, frame->width, frame->height, frame->stride,
                       QImage::Format_RGB32);
  const engine::PixelRect d = form.mixer().GetVideoPosition();
  ASSERT_GT(d.Width(), 0);
  const QRect box = form.FFTBox->geometry();
  int compared = 0, differing = 0;
  for (int y = box.top(); y <= box.bottom(); y += 3) {
    for (int x = box.left(); x <= box.right(); x += 3) {
      const int fx = (x - d.left) * picture.width() / d.Width();
      const int fy = (y - d.top) * picture.height() / d.Height();
      if (!picture.rect().contains(fx, fy)) continue;
      const QColor want = picture.pixelColor(fx, fy), got = shot.pixelColor(origin + QPoint(x, y));
      ++compared;
      if (std::abs(want.red() - got.red()) > 40 || std::abs(want.green() - got.green()) > 40 ||
          std::abs(want.blue() - got.blue()) > 40)
        ++differing;
    }
  }
  EXPECT_GT(compared, 400);
  // Scaling may blend a pixel or two where two bars meet; a box hides hundreds.
  EXPECT_LE(differing, compared / 50) << differing << " of " << compared << " differ";
}

}  // namespace

TEST_P(RenderFixture, NoSpectrumBoxOverThePlayingPicture) {
  if (GetParam() == engine::kRendererDefault) GTEST_SKIP() << "the sink draws its own window";
  if (GetParam() == engine::kRendererMixer9 && !app::OpenGlAvailable(app::GlProbeProgram(ORVANE_PROGRAM_DIR_DEFAULT)))
    GTEST_SKIP() << "no OpenGL on this display";
  ASSERT_NO_FATAL_FAILURE(Open(TestClip("video-2s-320x240.mp4")));
  form->session().ResumeSession();
  Wait(300);
  ASSERT_TRUE(form->session().IsPlaying && !form->session().IsPaused);
  EXPECT_FALSE(form->FFTBox->isVisible());
  ExpectPictureUnderSpectrumBox(*form, Screen(), QPoint(0, 0));
}

TEST_P(RenderFixture, BarsAppearWhereThePictureIs) {
  if (GetParam() == engine::kRendererMixer9 && !app::OpenGlAvailable(app::GlProbeProgram(ORVANE_PROGRAM_DIR_DEFAULT)))
    GTEST_SKIP() << "no OpenGL on this display";
  ASSERT_NO_FATAL_FAILURE(Open(TestClip("video-2s-320x240.mp4")));
  // A 320 x 240 clip is shown in a 540 x 260 video area that it fills.
  EXPECT_EQ(form->Video_P->width(), 540);
  EXPECT_EQ(form->Video_P->height(), 260);
  // A sink drawing in its own window may show the sought frame a little later.
  auto barsShownAt = [&](int left, int width) {
    auto shown = [&](const QImage& shot) {
      for (int bar = 0; bar < 7; ++bar)
        if (!ShowsBar(shot, left + (2 * bar + 1) * width / 14, 110, kBars[bar])) return false;
      return shot.width() == 540;
    };
    QImage shot = Screen();
    for (int waited = 0; waited < 3000 && !shown(shot); waited += 100) {
      Wait(100);
      shot = Screen();
    }
    return shot;
  };
  QImage image = barsShownAt(0, 540);
  if (const char* dir = std::getenv("ORVANE_ARTIFACTS"))
    image.save(QString("%1/render-%2.png").arg(dir).arg(GetParam()));
  ASSERT_EQ(image.width(), 540);
  for (int bar = 0; bar < 7; ++bar)
    ExpectBar(image, (2 * bar + 1) * 540 / 14, 110, kBars[bar], "bar");

  // Paused, the picture takes a new rectangle at once, also where the sink
  // itself cannot scale: 4:3 in the 540 x 260 area is 346 x 260 from x 97.
  const int mode = form->session().ScaleMode;
  form->session().ScaleMode = engine::kScale43;
  form->session().FitVideo();
  image = barsShownAt(97, 346);
  for (int bar = 0; bar < 7; ++bar)
    ExpectBar(image, 97 + (2 * bar + 1) * 346 / 14, 110, kBars[bar], "bar at 4:3");
  form->session().ScaleMode = mode;
  form->session().FitVideo();
  Wait(300);

  if (GetParam() == engine::kRendererDefault) return;
  // The mixer mirrors and fades stream 0 and keeps a black border outside it.
  engine::VideoMixer& mixer = form->mixer();
  mixer.SetOutputRect(0, {1, 0, 0, 1});
  mixer.SetVideoPosition({100, 0, 440, 260});
  form->RepaintVideo();
  Wait(300);
  image = Screen();
  ExpectBar(image, 50, 110, (const int[]){0, 0, 0}, "border");
  ExpectBar(image, 490, 110, (const int[]){0, 0, 0}, "border");
  for (int bar = 0; bar < 7; ++bar)
    ExpectBar(image, 100 + (2 * bar + 1) * 340 / 14, 110, kBars[6 - bar], "mirrored bar");
  mixer.SetAlpha(0, 0.5f);
  form->RepaintVideo();
  Wait(300);
  image = Screen();
  QColor white = image.pixelColor(440 - 340 / 14, 110);  // the white bar, now on the right
  EXPECT_NEAR(white.red(), 128, 30);
  EXPECT_NEAR(white.green(), 128, 30);
}

// While a clip plays, each new picture reaches the screen, where the window
// draws it, and not only when something else repaints the window.
TEST_P(RenderFixture, APlayingPictureMovesOnScreen) {
  if (GetParam() == engine::kRendererMixer9 && !app::OpenGlAvailable(app::GlProbeProgram(ORVANE_PROGRAM_DIR_DEFAULT)))
    GTEST_SKIP() << "no OpenGL on this display";
  ASSERT_NO_FATAL_FAILURE(Open(TestClip("streamable-10s.webm")));  // a ball moving on bars
  form->session().ResumeSession();
  Wait(300);
  ASSERT_TRUE(form->session().IsPlaying && !form->session().IsPaused);
  QImage last = Screen();
  int changes = 0;
  for (int shot = 0; shot < 5; ++shot) {
    Wait(250);
    QImage now = Screen();
    if (now != last) ++changes;
    last = now;
  }
  EXPECT_GE(changes, 4);

  // Paused, then covered by another window and uncovered: the paused picture
  // comes back, not an older one the window painted before.
  form->session().PauseSession();
  Wait(300);
  const QImage paused = Screen();
  std::unique_ptr<QWidget> cover = ShowCover();
  ASSERT_TRUE(Screen() != paused) << "the cover is over the picture";
  cover->hide();
  Wait(300);
  EXPECT_TRUE(Screen() == paused) << "the paused picture after the cover";
}

// The whole window idle and while the demo clip plays, kept as pictures of the build.
using WindowScreenshots = WindowFixture;

TEST_F(WindowScreenshots, IdleAndPlayingTheDemoClip) {
  QDir().mkpath(ORVANE_SCREENSHOT_DIR);
  auto shot = [](TOrvaneMain_Form& form, const char* name) {
    QImage image = form.screen()->grabWindow(form.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    image.save(QString(ORVANE_SCREENSHOT_DIR) + "/" + name);
    return image;
  };
  {
    app::MainFormParts parts{&graph, &audio, &prompt, root, {}, &detector, engine::kRendererMixer7};
    TOrvaneMain_Form form(parts);
    form.show();
    Wait(400);
    const QImage idle = shot(form, "window-idle.png");
    ASSERT_EQ(idle.size(), QSize(689, 446));
    EXPECT_TRUE(form.MainLogo_I->isVisible());
    // The title bar and the control bar show the skin's own pixels.
    const QString skin = ORVANE_PROGRAM_DIR_DEFAULT "/Skin/Default/";
    const QImage title(skin + "Title_Left.bmp"), bar(skin + "Ctrl_Left.bmp");
    for (QPoint p : {QPoint(60, 3), QPoint(84, 27), QPoint(30, 26)})
      EXPECT_EQ(idle.pixel(p), title.pixel(p)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(190, 5), QPoint(5, 40), QPoint(200, 81)})
      EXPECT_EQ(idle.pixel(p + QPoint(0, 446 - 82)), bar.pixel(p)) << p.x() << "," << p.y();
  }
  {
    const std::string demo = ORVANE_PROGRAM_DIR_DEFAULT "/Demo/demo.mp4";
    app::MainFormParts parts{&graph, &audio, &prompt, root, {demo}, &detector,
                             engine::kRendererMixer7};
    TOrvaneMain_Form form(parts);
    form.show();
    Wait(1500);
    ASSERT_TRUE(form.session().IsPlaying) << (prompt.shown.empty() ? "" : prompt.shown[0].second);
    const QImage playing = shot(form, "window-playing.png");
    EXPECT_FALSE(form.MainLogo_I->isVisible());
    EXPECT_EQ(form.Status_L->text().toStdString(), "播放中");
    EXPECT_GT(form.VideoBar_XI->x(), form.VideoPro_XI->x());  // the seek thumb has moved on
    const QPoint centre = form.Video_P->mapTo(&form, form.Video_P->rect().center());
    EXPECT_GT(qGray(playing.pixel(centre)), 20);  // a picture, not the black panel
    ExpectPictureUnderSpectrumBox(form, playing, form.Video_P->mapTo(&form, QPoint(0, 0)));
    // With the play list beside the picture.
    form.ShowPlayListPage(false);
    Wait(500);
    const QImage withList = shot(form, "window-side-panel.png");
    EXPECT_EQ(withList.width(), form.width());
    EXPECT_TRUE(form.MediaFile_P->isVisible());
    EXPECT_TRUE(form.session().IsPlaying);
    EXPECT_EQ(form.Status_L->text().toStdString(), "播放中");
  }
}

TEST_F(WindowFixture, FullScreenAtOpenWaitsForAPicture) {
  app::MainFormParts parts{&graph, &audio, &prompt, root, {}, &detector, engine::kRendererMixer7};
  form = std::make_unique<TOrvaneMain_Form>(parts);
  form->show();
  Wait(200);
  form->store().WriteInt("PlayControl", "FullScreenAtonce", 1);
  // Sound in an MP4 container plays as a media file, in the window.
  ASSERT_TRUE(form->session().OpenFiles({TestClip("tone-3s.m4a")}));
  EXPECT_EQ(form->session().PlayType, engine::kPlayMedia);
  EXPECT_FALSE(form->session().HasVideo);
  Wait(200);
  EXPECT_FALSE(form->IsFullScreen);
  EXPECT_FALSE(form->isFullScreen());
  ASSERT_TRUE(form->session().OpenFiles({TestClip("video-2s-320x240.mp4")}));
  EXPECT_TRUE(form->session().HasVideo);
  EXPECT_TRUE(form->IsFullScreen);
}

// The moving name and the spectrum are put straight into the window: on
// screen they must look as the widgets paint themselves, move, and come back
// after another window has covered them.
TEST_F(WindowFixture, NameAndSpectrumOnScreenAsTheyPaintAndAfterBeingCovered) {
  app::MainFormParts parts{&graph, &audio, &prompt, root, {}, &detector, engine::kRendererMixer7};
  form = std::make_unique<TOrvaneMain_Form>(parts);
  form->show();
  Wait(300);
  ASSERT_TRUE(form->session().OpenFiles({TestClip("tone-10s.wav")}));
  ASSERT_EQ(form->session().PlayType, engine::kPlayAudio);
  Wait(800);
  auto onScreen = [&](QWidget* widget) {
    const QPoint at = widget->mapTo(form.get(), QPoint(0, 0));
    return form->screen()
        ->grabWindow(form->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  };
  auto painted = [](QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  };
  QWidget* strip = form->ScrollMedia_P;
  const QImage name = onScreen(strip);
  EXPECT_TRUE(name == painted(strip)) << "the name strip on screen";
  const int x = form->CurMedia_L->x();
  Wait(300);
  EXPECT_LT(form->CurMedia_L->x(), x);
  EXPECT_TRUE(onScreen(strip) != name) << "the name moves on screen, not only in the label";
  EXPECT_TRUE(onScreen(strip) == painted(strip)) << "the moved name on screen";
  // The toolkit's own copy, shown again at an expose, now holds the name
  // where it stands; it then moves on.
  strip->repaint();
  Wait(300);

  form->session().PauseSession();
  Wait(200);
  const QImage bars = form->FFTBox->picture().convertToFormat(QImage::Format_RGB32);
  QImage black(bars.size(), bars.format());
  black.fill(Qt::black);
  ASSERT_TRUE(bars != black) << "a tone shows bars";
  EXPECT_TRUE(onScreen(form->FFTBox) == bars) << "the spectrum on screen";

  // Another window over both, then gone.
  std::unique_ptr<QWidget> cover = ShowCover();
  ASSERT_TRUE(onScreen(form->FFTBox) != bars) << "the cover is over the spectrum";
  cover->hide();
  Wait(300);
  EXPECT_TRUE(onScreen(form->FFTBox) == bars) << "the spectrum after the cover";
  EXPECT_TRUE(onScreen(strip) == painted(strip)) << "the name strip after the cover";
}

INSTANTIATE_TEST_SUITE_P(Kinds, RenderFixture,
                         ::testing::Values(engine::kRendererMixer7, engine::kRendererDefault,
                                           engine::kRendererMixer9),
                         [](const auto& info) { return std::to_string(info.param); });

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  // Xvfb has only a software rasteriser; the OpenGL kind is still drawn there.
  qputenv("ORVANE_ALLOW_SOFTWARE_GL", "1");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
