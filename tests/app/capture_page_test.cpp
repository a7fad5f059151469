// The capture page as the user works it: the capture button, tiles and their
// tool bar, the close sequence's question, and the save-option dialog.
#include <QApplication>
#include <QMetaObject>

#include <QTimer>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "capture/save_option_form.h"
#include "engine/bitmap_file.h"
#include "platform/safe_file.h"
#include "form_fixture.h"

namespace {
struct Frames : capture::FrameSource {
  int grabs = 0;
  // When set, a grab waits (2 s at most) for the window to have handled an event.
  std::atomic<bool>* windowAlive = nullptr;
  bool Open(const std::string&, int* w, int* h) override { return *w = 8, *h = 6, true; }
  bool WriteBitmapBits(double, int w, int h, const std::string& path) override {
    for (int i = 0; windowAlive && !*windowAlive && i < 200; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (windowAlive && !*windowAlive) return false;
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * 3, static_cast<unsigned char>(++grabs));
    return engine::WriteBitmap24(path, w, h, px.data(), w * 3);
  }
};

struct CapturePageFixture : FormFixture {
  Frames frames;
  std::unique_ptr<TOrvaneMain_Form> form;
  void Play() {
    app::MainFormParts parts{&graph, &audio, &prompt, root, {}, &detector, engine::kRendererMixer7,
                             systemVolume};
    parts.frameSource = &frames;
    form = std::make_unique<TOrvaneMain_Form>(parts);
    form->FormShow();
    form->FormActivate();
    form->show();
    ASSERT_TRUE(form->session().OpenFiles({root + "/clip.mp4"}));
    QCoreApplication::processEvents();
  }
  void Click(QWidget* w) {
    Send(w, QEvent::MouseButtonPress);
    Send(w, QEvent::MouseButtonRelease);
    QCoreApplication::processEvents();  // delete and empty act after the release
  }
  const std::vector<capture::CaptureTile*>& Tiles() { return form->capturePage()->Tiles(); }
  std::vector<std::string> TempFiles() {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(folders.temp))
      names.push_back(e.path().filename().string());
    return names;
  }
};
}  // namespace

TEST_F(CapturePageFixture, CaptureButtonStacksTilesAndTheToolBarWorksTheHoveredOne) {
  Play();
  Click(form->Capture_XI);
  ASSERT_EQ(Tiles().size(), 1u);
  EXPECT_TRUE(form->CaptureListShown);
  EXPECT_EQ(form->ListPage, 2);
  EXPECT_TRUE(form->Capture_P->isVisible());
  EXPECT_EQ(QRect(Tiles()[0]->mapTo(form->Capture_P, QPoint(0, 0)), Tiles()[0]->size()),
            QRect(10, 10, 140, 100));
  EXPECT_EQ(Tiles()[0]->caption.toStdString(), form->captures().Items()[0].targetPath);
  EXPECT_TRUE(graph.running) << "the picture plays on";

  // Enough tiles to scroll: the newest is in view, the thumb shows.
  for (int i = 0; i < 6; ++i) form->commands().Run(app::Command::CaptureScreen);
  ASSERT_EQ(Tiles().size(), 7u);
  EXPECT_TRUE(form->Scroll_P->isVisible());
  const QRect last(Tiles().back()->mapTo(form->Capture_P, QPoint(0, 0)), Tiles().back()->size());
  EXPECT_TRUE(last.top() >= 0 && last.bottom() < form->Capture_P->height()) << last.top();

  // Over the third picture: the tool bar sits in its tile, which alone is lit.
  capture::CaptureTile* third = Tiles()[2];
  Send(third->image, QEvent::Enter);
  EXPECT_EQ(form->catchTool_P->parentWidget(), third);
  EXPECT_TRUE(form->catchTool_P->isVisible());
  EXPECT_EQ(form->catchTool_P->pos(), QPoint(2, 78));
  EXPECT_EQ(third->palette().color(QPalette::Window), app::kHighlightColour);
  const std::string fourth = form->captures().Items()[3].targetPath;
  const int fourthTop = Tiles()[3]->y();
  Click(form->Delete_XI);
  ASSERT_EQ(Tiles().size(), 6u);
  EXPECT_EQ(Tiles()[2]->caption.toStdString(), fourth);
  EXPECT_EQ(Tiles()[2]->y(), fourthTop - 110);
  EXPECT_FALSE(form->catchTool_P->isVisible());

  Send(Tiles()[0]->image, QEvent::Enter);
  Click(form->Empty_XI);
  EXPECT_TRUE(Tiles().empty());
  EXPECT_TRUE(form->captures().Items().empty());
  // Emptied captures are not asked about.
  form->FormClose();
  EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(CapturePageFixture, TheWindowLivesOnUnderTheWaitCursorWhileAFrameIsTaken) {
  Play();
  std::atomic<bool> alive{false};
  frames.windowAlive = &alive;
  Qt::CursorShape during = Qt::ArrowCursor;
  QTimer::singleShot(0, form.get(), [&] {
    if (QApplication::overrideCursor()) during = QApplication::overrideCursor()->shape();
    alive = true;
  });
  form->commands().Run(app::Command::CaptureScreen);
  EXPECT_EQ(Tiles().size(), 1u) << "the grab waited for a window that could not move";
  EXPECT_EQ(during, Qt::WaitCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(graph.running);
}

TEST_F(CapturePageFixture, ClosingOffersOnlyCapturesNeverSaved) {
  Play();
  form->commands().Run(app::Command::CaptureScreen);
  form->commands().Run(app::Command::CaptureScreen);
  // The first saved through the dialog to another folder.
  std::filesystem::create_directory(root + "/elsewhere");
  prompt.saveTypedAnswer = root + "/elsewhere/mine.bmp";
  Send(Tiles()[0]->image, QEvent::Enter);
  Click(form->Save_XI);
  ASSERT_TRUE(std::filesystem::exists(root + "/elsewhere/mine.bmp"));

  form->store().Write("File", "DefaultImageType", ".jpg");
  prompt.askAnswer = true;
  form->FormClose();
  ASSERT_EQ(prompt.asked, (std::vector<std::string>{"截取的图片没有保存,是否保存?"}));
  const std::string second = form->captures().Items()[1].targetPath;
  const std::string jpeg = second.substr(0, second.size() - 4) + ".jpg";
  EXPECT_TRUE(std::filesystem::exists(jpeg));
  EXPECT_FALSE(std::filesystem::exists(second));
  EXPECT_EQ(prompt.shown.back().second, "图片保存成功!");
  EXPECT_EQ(TempFiles().size(), 2u) << "the scratch file and the one JPEG";
}

TEST_F(CapturePageFixture, AFailedSaveAtCloseKeepsThePlayerOpenWithTheCapture) {
  Play();
  form->commands().Run(app::Command::CaptureScreen);
  const std::string target = form->captures().Items()[0].targetPath;
  const std::filesystem::path folder = std::filesystem::path(target).parent_path();
  // The capture folder became a file: the write cannot succeed.
  std::filesystem::remove_all(folder);
  platform::WriteFileAtomically(folder.string(), "x");
  prompt.askAnswer = true;
  EXPECT_FALSE(form->FormClose());
  ASSERT_EQ(form->captures().Items().size(), 1u);
  EXPECT_FALSE(form->captures().Items()[0].saved);
  EXPECT_EQ(prompt.shown.back().first, "提示信息");

  std::filesystem::remove(folder);
  std::filesystem::create_directory(folder);
  EXPECT_TRUE(form->FormClose());
  EXPECT_TRUE(std::filesystem::exists(target));
}

TEST_F(CapturePageFixture, SaveOptionDialogStoresItsBoxesAtOnceAndReturnsItsChoice) {
  platform::SaveOptions options;
  options.folder = "/pictures/";
  options.type = ".jpg";
  std::vector<std::string> stored;
  options.saveAsDefault = [&](const std::string& f, const std::string& t) { stored.push_back(f + t); };
  options.dontAskChanged = [&](bool d) { stored.push_back(d ? "dont" : "ask"); };
  capture::TSaveOption_Form form(options, nullptr);
  EXPECT_FALSE(form.Path_E->isEnabled()) << "the default option is used at open";
  form.UseDef_CB->click();
  form.chooseFolder = [](const QString&, const QString&) { return QString("/chosen"); };
  form.Other_SB->click();
  form.DontAsk_CB->click();
  form.DontAsk_CB->click();
  form.SaveType_Cob->setCurrentIndex(0);
  form.SaveAsDef_CB->click();
  EXPECT_EQ(stored, (std::vector<std::string>{"dont", "ask", "/chosen.bmp"}));
  QMetaObject::invokeMethod(form.Save_Btn, "click", Qt::QueuedConnection);
  ASSERT_EQ(form.exec(), QDialog::Accepted);
  EXPECT_EQ(form.ChosenFolder + form.ChosenType, "/chosen.bmp");
}
