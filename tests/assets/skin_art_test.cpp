// The default skin generator: reproducible output, every listed picture made,
// pictures sized and backed as the shared layout says.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <map>

#include <jpeglib.h>

#include "skin_layout.h"

namespace {

int RunGenerator(const QString& out, const QString& list, QString* errors = nullptr) {
  QProcess proc;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  proc.setProcessEnvironment(env);
  proc.start(ORVANE_ASSETS_TOOL, {out, "--list", list});
  if (!proc.waitForFinished(60000)) return -1;
  if (errors) *errors = QString::fromLocal8Bit(proc.readAllStandardError());
  return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}

QStringList ListedNames() {
  QFile f(ORVANE_SKIN_LIST);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
  QStringList names;
  QTextStream in(&f);
  while (!in.atEnd()) {
    QString line = in.readLine().trimmed();
    if (!line.isEmpty() && !line.startsWith('#')) names << line;
  }
  return names;
}

std::map<QString, QByteArray> Tree(const QString& root) {
  std::map<QString, QByteArray> files;
  QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QString path = it.next();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    files[QDir(root).relativeFilePath(path)] = f.readAll();
  }
  return files;
}

class SkinArt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir;
    ASSERT_EQ(RunGenerator(dir_->filePath("a"), ORVANE_SKIN_LIST), 0);
  }
  static void TearDownTestSuite() { delete dir_; }
  static QImage Pic(const char* name) { return QImage(dir_->filePath(QString("a/Skin/Default/") + name)); }
  static QTemporaryDir* dir_;
};
QTemporaryDir* SkinArt::dir_ = nullptr;

TEST_F(SkinArt, TwoRunsGiveTheSameBytesAndEveryListedName) {
  ASSERT_EQ(RunGenerator(dir_->filePath("b"), ORVANE_SKIN_LIST), 0);
  auto a = Tree(dir_->filePath("a")), b = Tree(dir_->filePath("b"));
  ASSERT_EQ(a.size(), b.size());
  for (const auto& [name, bytes] : a) {
    ASSERT_TRUE(b.count(name)) << qPrintable(name);
    EXPECT_TRUE(bytes == b[name]) << qPrintable(name) << " differs between runs";
  }
  const QStringList names = ListedNames();
  EXPECT_GT(names.size(), 100);
  for (const QString& name : names)
    EXPECT_TRUE(a.count("Skin/Default/" + name)) << qPrintable(name) << " missing";
  EXPECT_TRUE(a.count("Image/logo_s.ico"));
  EXPECT_TRUE(a.count("Image/logo_m.ico"));
}

TEST_F(SkinArt, ListNamingAnUnmadePictureFailsTheRun) {
  const QString list = dir_->filePath("list.txt");
  QFile f(list);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("# comment\nPlay_Normal_Btn.bmp\n\nPlay_Disable_Btn.bmp\nplay_normal_btn.bmp\n");
  f.close();
  QString errors;
  EXPECT_NE(RunGenerator(dir_->filePath("c"), list, &errors), 0);
  EXPECT_TRUE(errors.contains("Play_Disable_Btn.bmp")) << qPrintable(errors);
  EXPECT_TRUE(errors.contains("play_normal_btn.bmp")) << "names are matched with their letter case";
  EXPECT_FALSE(errors.contains("Play_Normal_Btn.bmp"));
}

TEST_F(SkinArt, StatesOfOneFamilyDiffer) {
  const std::vector<std::vector<const char*>> families = {
      {"Play_Normal_Btn.bmp", "Play_Hight_Btn.bmp", "Play_Enter_Btn.bmp"},
      {"Stop_Normal_Btn.bmp", "Stop_Hight_Btn.bmp", "Stop_Enter_Btn.bmp", "Stop_Disable_Btn.bmp"},
      {"ForWard_Normal_Btn.bmp", "ForWard_Hight_Btn.bmp", "Forward_Enter_Btn.bmp", "ForWard_Disable_Btn.bmp"},
      {"ShowPL_Normal_btn.bmp", "ShowPL_Hight_btn.bmp", "ShowPL_Enter_btn.bmp", "ShowPL_Disable_btn.bmp"},
      {"Close_Normal_Btn.bmp", "Close_Hight_Btn.bmp", "Close_Enter_Btn.bmp"},
      {"Url_Normal.bmp", "Url_Hight.bmp", "Url_Enter.bmp"},
      {"Menu_Normal_Menu.bmp", "Menu_Hight_Menu.bmp"},
      {"Sound_Normal_btn.bmp", "Slience_Normal_btn.bmp"},
  };
  for (const auto& family : families)
    for (size_t i = 0; i < family.size(); ++i)
      for (size_t j = i + 1; j < family.size(); ++j) {
        QImage a = Pic(family[i]), b = Pic(family[j]);
        ASSERT_FALSE(a.isNull()) << family[i];
        EXPECT_NE(a, b) << family[i] << " looks like " << family[j];
      }
  // The spellings the mute toggle loads show the same pictures.
  EXPECT_EQ(Pic("Sound_normal_btn.bmp"), Pic("Sound_Normal_btn.bmp"));
  EXPECT_EQ(Pic("sound_slience_btn.bmp"), Pic("Slience_Normal_btn.bmp"));
}

TEST_F(SkinArt, SizesFollowTheLayout) {
  using namespace skin;
  struct Want { const char* name; int w, h; };
  const Want wants[] = {
      {"Min_Normal_Btn.bmp", title::kMin.w, title::kMin.h},
      {"Restore_Enter_Btn.bmp", title::kMax.w, title::kMax.h},
      {"Dvdnav_Hight_menu.bmp", title::kDvdnavMenu.w, title::kDvdnavMenu.h},
      {"Menu_Normal_Menu.bmp", title::kHelpMenu.w, title::kHelpMenu.h},
      {"Title_Left.bmp", title::kLeftW, title::kH},
      {"Title_Right.bmp", title::kRightW, title::kH},
      {"Pause_Normal_Btn.bmp", bar::kPlayPause.w, bar::kPlayPause.h},
      {"Stop_Disable_Btn.bmp", bar::kStop.w, bar::kStop.h},
      {"Next_Hight_Btn.bmp", bar::kNext.w, bar::kNext.h},
      {"Url_Enter.bmp", bar::kUrl.w, bar::kUrl.h},
      {"VideoBar_Normal.bmp", bar::kSeekThumb.w, bar::kSeekThumb.h},
      {"SoundPro.bmp", bar::kSoundTrack.w, bar::kSoundTrack.h},
      {"Ctrl_Left.bmp", bar::kLeftW, bar::kH},
      {"Ctrl_Right.bmp", bar::kRightW, bar::kH},
      {"Frame_Left.bmp", kEdgeW, 32},
      {"Bottom_Center.bmp", 8, kBottomH},
      {"CloseList_Hight_btn.bmp", panel::kCloseList.w, panel::kCloseList.h},
      {"PlayList_Normal.bmp", panel::kPlayListLabel.w, panel::kPlayListLabel.h},
      {"Scroll_Top.bmp", panel::kScrollW, panel::kScrollArrowH},
      {"Play_Dvd.bmp", panel::kTileIcon.w, panel::kTileIcon.h},
      {"SaveAll_Normal_btn.bmp", panel::kSaveAllCapture.w, panel::kSaveAllCapture.h},
  };
  for (const Want& want : wants) {
    QImage img = Pic(want.name);
    ASSERT_FALSE(img.isNull()) << want.name;
    EXPECT_EQ(img.size(), QSize(want.w, want.h)) << want.name;
  }

  // Txt_BG.jpg is read with libjpeg, as the player reads it.
  FILE* f = std::fopen(qPrintable(dir_->filePath("a/Skin/Default/Txt_BG.jpg")), "rb");
  ASSERT_NE(f, nullptr);
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, f);
  ASSERT_EQ(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);
  EXPECT_EQ(int(cinfo.image_width), panel::kTileBgW);
  EXPECT_EQ(int(cinfo.image_height), panel::kTileBgH);
  EXPECT_EQ(cinfo.saw_Adobe_marker, FALSE);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(f);
}

// A button picture is the crop of the piece it sits on, drawn over: its
// untouched corner pixels must be that piece's pixels at the design place.
TEST_F(SkinArt, ButtonsCarryThePixelsOfTheirPanel) {
  using namespace skin;
  struct Case { const char* button; const char* piece; int x, y; };
  const Case cases[] = {
      {"Prev_Normal_Btn.bmp", "Ctrl_Left.bmp", bar::kPrevious.dx, bar::kPrevious.y},
      {"Sound_Normal_btn.bmp", "Ctrl_Left.bmp", bar::kVolume.dx, bar::kVolume.y},
      {"Play_Normal_Btn.bmp", "Ctrl_Left.bmp", bar::kPlayPause.dx, bar::kPlayPause.y},
      {"Option_Normal_btn.bmp", "Ctrl_Right.bmp", bar::kOption.dx, bar::kOption.y},
      {"Track_R.bmp", "Ctrl_Right.bmp", bar::kBalanceR.dx, bar::kBalanceR.y},
      {"Url_Normal.bmp", "Ctrl_Center.bmp", 0, bar::kUrl.y},
      {"VideoBar_Normal.bmp", "Ctrl_Center.bmp", 0, bar::kSeekThumb.y},
      {"Close_Normal_Btn.bmp", "Title_Right.bmp", title::kClose.dx, title::kClose.y},
      {"File_Normal_menu.bmp", "Title_Center.bmp", 0, title::kFileMenu.y},
      {"SmallLogo.bmp", "Title_Left.bmp", title::kSmallLogo.dx, title::kSmallLogo.y},
  };
  for (const Case& c : cases) {
    QImage button = Pic(c.button), piece = Pic(c.piece);
    ASSERT_FALSE(button.isNull() || piece.isNull()) << c.button;
    const int w = button.width(), h = button.height();
    for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
      int px = std::min(c.x + corner.x(), piece.width() - 1);
      if (piece.width() <= 8) px = 0;  // stretched pieces are the same along x
      EXPECT_EQ(button.pixel(corner), piece.pixel(px, c.y + corner.y()))
          << c.button << " corner " << corner.x() << "," << corner.y() << " on " << c.piece;
    }
  }
  // The stretched pieces really are uniform along the stretch.
  for (const char* name : {"Ctrl_Center.bmp", "Title_Center.bmp", "Bottom_Center.bmp", "VideoPro.bmp", "VideoGo.bmp"}) {
    QImage img = Pic(name);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 1; x < img.width(); ++x) ASSERT_EQ(img.pixel(x, y), img.pixel(0, y)) << name << " at " << x << "," << y;
  }
}

}  // namespace
