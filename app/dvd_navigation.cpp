// The window's DVD face: the drive menu and the folder command, the DVD
// navigation items and their three submenus, the DVD list on the play list
// page, the mouse over a disc menu, and what is kept between runs.
#include <QLocale>
#include <QMenu>

#include "app/main_form.h"
#include "engine/dvd_drives.h"
#include "engine/dvd_list.h"

namespace app {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

// A disc's ISO 639 code as a language name; a code Qt does not know stays as it is.
QString LanguageName(const std::string& code) {
  const QLocale::Language language = QLocale::codeToLanguage(Q(code), QLocale::ISO639Part1);
  if (code.empty() || language == QLocale::AnyLanguage) return code.empty() ? "?" : Q(code);
  return QLocale::languageToString(language).left(50);
}

// The DVD menu each item shows, in the order of the items after the submenus.
constexpr int kDvdMenus[] = {engine::kDvdMenuTitle,  engine::kDvdMenuRoot,
                             engine::kDvdMenuChapter, engine::kDvdMenuSubpicture,
                             engine::kDvdMenuAudio,  engine::kDvdMenuAngle};
}  // namespace

void TOrvaneMain_Form::BuildDvdNavigation() {
  commands_->Bind(Command::OpenDvdDirectory, [this] { OpenDvdFolder(); });
  connect(dvdItems[0], &QAction::triggered, this, [this] { session_.PlayPrevious(); });
  connect(dvdItems[1], &QAction::triggered, this, [this] { session_.PlayNext(); });
  for (size_t i = 0; i < std::size(kDvdMenus); ++i)
    connect(dvdItems[5 + i], &QAction::triggered, this,
            [this, menu = kDvdMenus[i]] { session_.Dvd().ShowDvdMenu(menu); });
  // The mouse over a disc menu highlights the button under it.
  auto previous = Video_P->onMouseMove;
  Video_P->onMouseMove = [this, previous](QPoint at) {
    if (previous) previous(at);
    DvdMouseMove(at);
  };

  // The DVD list gets a content widget of its own on the play list's page.
  dvdContent_ = new QWidget(PL_P);
  dvdContent_->setObjectName("DvdContent");
  dvdContent_->setGeometry(playListScroll_.content->geometry());
  dvdContent_->hide();
  PlayListPage::Parts parts;
  parts.page = PL_P;
  parts.content = dvdContent_;
  parts.toolBar = PLTool_P;
  parts.toolBarHome = MediaFile_P;
  parts.font = font();
  parts.loadPicture = [this](tximage* image, const QString& file) { LoadSkinPicture(image, file); };
  parts.iconFor = [](const std::string&) { return QString("Play_Dvd.bmp"); };
  parts.toolBarWanted = [] { return false; };
  dvdListPage_ = new PlayListPage(parts, dvdLines_, this);
  dvdListPage_->onPlayEntry = [this](int index) { JumpToDvdItem(index); };
}

bool TOrvaneMain_Form::ShowListForPlayType() {
  const bool dvd = session_.PlayType == engine::kPlayDvd;
  const bool showing = playListScroll_.content == dvdContent_;
  if (dvd != showing && dvdContent_) {
    // The page's scrolling follows whichever list it shows.
    if (dvd) fileContent_ = playListScroll_.content;
    QWidget* next = dvd ? dvdContent_ : fileContent_;
    next->setGeometry(0, 10, playListScroll_.content->width(), next->height());
    playListScroll_.content->hide();
    playListScroll_.content = next;
    next->show();
    if (!dvd) return false;
  }
  if (!dvd) return false;
  const std::vector<std::string>& lines = session_.Dvd().DvdList;
  if (lines != dvdLines_.PlayListPaths) {
    dvdLines_.PlayListPaths = lines;
    dvdLines_.PlayListStartPositions.assign(lines.size(), "0");
    ++dvdLines_.Version;
    dvdContent_->move(0, 10);
    if (!lines.empty()) ShowPlayListPage(false);
  }
  dvdListPage_->Refresh();
  UpdateScrollBar(1);
  return true;
}

void TOrvaneMain_Form::ListDiscDrives() {
  discDrives.clear();
  pOpendvd->clear();
  for (const engine::DiscDrive& drive : engine::ListDiscDrives()) {
    QAction* entry = pOpendvd->addAction(Q(drive.caption));
    // The entry opens its device: the caption only shows it.
    const std::string device = drive.device;
    connect(entry, &QAction::triggered, this, [this, device] { OpenDvdDrive(device); });
    discDrives.emplace_back(device, entry);
  }
  // An empty submenu looks broken: say why there is nothing to choose.
  if (discDrives.empty()) pOpendvd->addAction(Q("(没有光驱)"))->setEnabled(false);
}

void TOrvaneMain_Form::OpenDvdDrive(const std::string& device) {
  std::string label;
  if (!engine::ReadVolumeLabel(device, &label)) {
    parts_.prompt->Inform(platform::kPromptCaption, engine::kDvdNotReady);
    return;
  }
  OpenDvdAt(engine::DiscPath(device));
}

void TOrvaneMain_Form::OpenDvdFolder() {
  const std::string folder = parts_.prompt->ChooseFolder("请选择一个路径:", "");
  if (folder.empty()) return;
  session_.DvdPath = folder;
  // A bare root ("/") is kept but not opened.
  if (folder.size() > 3) OpenDvdAt(folder);
}

void TOrvaneMain_Form::OpenDvdAt(const std::string& path) {
  setCursor(Qt::BusyCursor);
  session_.Dvd().OpenDvd(path);
  unsetCursor();
  ShowListForPlayType();
}

void TOrvaneMain_Form::JumpToDvdItem(int index) {
  if (session_.PlayType != engine::kPlayDvd) return;
  dvdLines_.PlayListIndex = index;
  session_.Dvd().JumpToDvdItem(index);
  dvdListPage_->Refresh();
}

void TOrvaneMain_Form::DvdMouseMove(QPoint at) {
  if (session_.PlayType != engine::kPlayDvd) return;
  const bool button = session_.Dvd().DvdMouseMove(at.x(), at.y()) > 0;
  const Qt::CursorShape shape = button ? Qt::PointingHandCursor : Qt::ArrowCursor;
  for (QWidget* w : {static_cast<QWidget*>(Video_P), videoSurface_})
    if (w && w->cursor().shape() != shape) w->setCursor(shape);
}

void TOrvaneMain_Form::RefreshDvdMenus() {
  engine::DvdRoad& dvd = session_.Dvd();
  QMenu* subpictures = findChild<QMenu*>("pSubpicture_Menu");
  QMenu* audio = findChild<QMenu*>("pDublanguage_Menu");
  QMenu* angles = findChild<QMenu*>("pAngle_Menu");
  if (!subpictures || !audio || !angles) return;
  // A disc opened since the last build: its submenus start again.
  if (dvdMenusBuilt_ != dvd.MenusGeneration) {
    dvdMenusBuilt_ = dvd.MenusGeneration;
    subpictures->clear();
    audio->clear();
  }
  if (session_.PlayType != engine::kPlayDvd || !session_.IsPlaying) return;

  std::vector<std::string> codes;
  if (!dvd.SubpictureLanguages(&codes)) {
    subpictures->menuAction()->setEnabled(false);
    audio->menuAction()->setEnabled(false);
  } else if (subpictures->isEmpty()) {
    auto checkOnly = [subpictures](QAction* chosen) {
      for (QAction* a : subpictures->actions()) a->setChecked(a == chosen);
    };
    QAction* off = subpictures->addAction("关闭字幕");
    off->setCheckable(true);
    off->setChecked(store_.ReadInt("Navigate", "Subpicture") == 0);
    connect(off, &QAction::triggered, this, [this, off, checkOnly] {
      session_.Dvd().SubpictureOff();
      checkOnly(off);
    });
    subpictures->addSeparator();
    for (const std::string& code : codes) {
      QAction* entry = subpictures->addAction(LanguageName(code));
      entry->setCheckable(true);
      connect(entry, &QAction::triggered, this, [this, subpictures, entry, checkOnly] {
        session_.Dvd().SelectSubpicture(static_cast<int>(subpictures->actions().indexOf(entry)));
        checkOnly(entry);
      });
    }
  }
  if (audio->isEmpty() && dvd.AudioLanguages(&codes)) {
    for (const std::string& code : codes) {
      QAction* entry = audio->addAction(LanguageName(code));
      entry->setCheckable(true);
      connect(entry, &QAction::triggered, this, [this, audio, entry] {
        if (!session_.Dvd().SelectAudio(static_cast<int>(audio->actions().indexOf(entry)))) return;
        for (QAction* a : audio->actions()) a->setChecked(a == entry);
      });
    }
  }
  angles->clear();
  const int count = dvd.AngleCount();
  for (int n = 1; n <= count; ++n) {
    QAction* entry = angles->addAction(QString("Angle-%1").arg(n));
    entry->setCheckable(true);
    connect(entry, &QAction::triggered, this, [this, angles, entry] {
      for (QAction* a : angles->actions()) a->setChecked(a == entry);
      session_.Dvd().SelectAngle(entry->text().section('-', 1).toInt());
    });
  }
  // The angle chosen stays chosen; the first one the first time.
  const int chosen = std::clamp(dvd.ChosenAngle(), 1, std::max(count, 1));
  if (count > 0) angles->actions()[chosen - 1]->trigger();
}

std::string TOrvaneMain_Form::DvdListFilePath() const {
  return platform::EnsureTrailingSeparator(folders_.project) + "DvdFileList";
}

void TOrvaneMain_Form::LoadDvdList() {
  engine::DvdRoad& dvd = session_.Dvd();
  dvd.DvdList = engine::LoadDvdListFile(DvdListFilePath());
  dvd.DvdItems = engine::ParseDvdList(dvd.DvdList);
  session_.DvdListCount = static_cast<int>(dvd.DvdItems.size());
}

void TOrvaneMain_Form::SaveDvdList() {
  engine::SaveDvdListFile(DvdListFilePath(), session_.Dvd().DvdList);
}

void TOrvaneMain_Form::ReloadLastDvd() {
  const std::string last = store_.ReadText("PlayControl", "LastDvd");
  if (last == settings::kValueNoFind) return;
  session_.DvdPath = last;
  if (last.size() <= 3) return;
  // The position is in the title played last: that title plays from there.
  if (MemoryLastPos == 1)
    session_.Dvd().ResumeAt(store_.ReadInt("PlayControl", "LastDvdTitle"), ResumePosition);
  OpenDvdAt(last);
}

}  // namespace app
