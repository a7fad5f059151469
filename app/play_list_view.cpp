// The play list as the window works it: the page of tiles, its tool bar,
// add, delete, empty, load and save as, previous and next.
#include <QTimer>

#include "app/main_form.h"
#include "app/play_list_page.h"
#include "assets/skin_layout.h"
#include "platform/safe_file.h"

namespace app {

namespace {
// The play list files' dialogs: this filter, the Project folder, this name.
constexpr const char* kPlayListFileFilter =
    "VelmorDvd List Files(*.vmplf)|*.vmplf|All Files(*.*)|*";
constexpr const char* kPlayListFileName = "vmpPlayListFile";

bool HasExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}
}  // namespace

void TOrvaneMain_Form::MakeToolBarButtons(QWidget* bar, std::initializer_list<ToolBarButton> buttons) {
  for (const ToolBarButton& b : buttons) {
    *b.target = MakeImage(bar, b.name, {});
    (*b.target)->setGeometry(b.place.dx, b.place.y, b.place.w, b.place.h);
    if (b.tip) (*b.target)->setToolTip(b.tip);
    const QString picture = b.picture;
    std::function<void()> action = b.action;
    if (b.onUp) action = [this, act = b.action] { QTimer::singleShot(0, this, act); };
    BindSkinButton(*b.target, [picture] { return picture; }, UpPicture::Normal, action, b.onUp);
  }
}

void TOrvaneMain_Form::BuildPlayListPage() {
  namespace p = skin::panel;
  MakeToolBarButtons(
      PLTool_P,
      {{&Add_XI, "Add_XI", p::kAdd, "Add_Normal_btn.bmp", nullptr, [this] { AddFilesToPlayList(); }, false},
       {&DelPlItem_XI, "DelPlItem_XI", p::kDelete, "Del_Normal_Btn.bmp", nullptr,
        [this] { DeletePlayListEntry(playListPage_->ToolBarEntry()); }, true},
       {&EmptyPL_XI, "EmptyPL_XI", p::kEmpty, "Empty_Normal_Btn.bmp", nullptr, [this] { EmptyPlayList(); },
        true},
       {&Load_XI, "Load_XI", p::kLoad, "Load_Normal_btn.bmp", nullptr, [this] { LoadPlayListFile(); }, false},
       {&Saveas_XI, "Saveas_XI", p::kSaveAs, "Save_Normal_Btn.bmp", nullptr, [this] { SavePlayListAs(); },
        false}});

  PlayListPage::Parts parts;
  parts.page = PL_P;
  parts.content = playListScroll_.content;
  parts.toolBar = PLTool_P;
  parts.toolBarHome = MediaFile_P;
  parts.font = font();
  parts.loadPicture = [this](tximage* image, const QString& file) { LoadSkinPicture(image, file); };
  parts.iconFor = [this](const std::string& path) -> QString {
    switch (session_.PlayType) {
      case engine::kPlayDvd: return "Play_Dvd.bmp";
      case engine::kPlayPip: return "Play_Pip_s.bmp";
      default: return engine::IsAudioOnlyFile(path) ? "Play_Audio.bmp" : "Play_Media_s.bmp";
    }
  };
  parts.toolBarWanted = [this] { return FilesInPlay(); };
  playListPage_ = new PlayListPage(parts, playList_, this);
  playListPage_->onPlayEntry = [this](int index) { PlayEntry(index); };
}

bool TOrvaneMain_Form::FilesInPlay() const {
  return session_.PlayType == engine::kPlayMedia || session_.PlayType == engine::kPlayAudio;
}

void TOrvaneMain_Form::RefreshPlayList(int index) {
  if (!playListPage_ || ShowListForPlayType()) return;
  const bool rebuilt = playListVersion_ != playList_.Version;
  playListVersion_ = playList_.Version;
  if (rebuilt) {
    // A new list starts at its top, and shows its page.
    playListScroll_.content->move(0, 10);
    if (!playList_.Empty()) ShowPlayListPage(false);
  }
  playListPage_->Refresh();
  UpdateScrollBar(1);
  if (index >= 0 && index < playList_.Count())
    PlaceListContent(1, playListPage_->ScrollTopFor(index));
  playListPage_->Refresh();
}

void TOrvaneMain_Form::PlayEntry(int index) {
  // The list holds the two pictures: the other entry comes to the front.
  if (session_.PlayType == engine::kPlayPip && session_.IsPlaying) {
    if (index != pip_->StreamA) pip_->SwapPictures();
    return;
  }
  if (!FilesInPlay()) return;
  setCursor(Qt::BusyCursor);
  session_.PlayEntry(index, MemoryLastPos == 1);
  unsetCursor();
}

void TOrvaneMain_Form::AddFilesToPlayList() {
  if (!FilesInPlay()) return;
  const std::vector<std::string> files =
      parts_.prompt->OpenFiles("添加文件", "", playlist::kMediaFileFilter, true);
  bool added = false;
  for (const std::string& file : files) added |= playList_.Append(file);
  if (!added) return;
  playListVersion_ = playList_.Version;  // appended tiles: the page stays as it is
  if (session_.IsPlaying) AfterListEdit();
  playListPage_->Refresh();
  UpdateScrollBar(1);
  // The newest tile comes into view.
  PlaceListContent(1, playListPage_->ScrollTopFor(playList_.Count() - 1));
  playListPage_->Refresh();
}

// After an add or a delete while something plays: the buttons follow the list.
void TOrvaneMain_Form::AfterListEdit() {
  EnableControl(engine::Control::TransportButtons, true);
  session_.UpdatePrevNextButtons();
  EnableControl(engine::Control::SeekTrack, true);
  EnableControl(engine::Control::VolumeTrack, true);
  UpdateTransportButtons();
}

void TOrvaneMain_Form::DeletePlayListEntry(int index) {
  if (!FilesInPlay() || index < 0 || index >= playList_.Count()) return;
  if (!session_.CurrentMediaFile.empty() && playList_.IndexOf(session_.CurrentMediaFile) == index) {
    session_.CloseSession();
    UpdateTransportButtons();
    AudioEQ_P->hide();
    session_.CurrentMediaFile.clear();
    SetMediaName("");
  }
  playList_.Remove(index);
  // The list just moved up under the same version: no rebuild, the page stays.
  playListVersion_ = playList_.Version;
  if (session_.IsPlaying) AfterListEdit();
  playListPage_->Refresh();
  UpdateScrollBar(1);
}

void TOrvaneMain_Form::EmptyPlayList() {
  session_.CloseSession();
  UpdateTransportButtons();
  playList_.Clear();
  playListVersion_ = playList_.Version;
  session_.CurrentMediaFile.clear();
  SetMediaName("");
  AudioEQ_P->hide();
  playListPage_->SendToolBarHome();
  playListScroll_.content->move(0, 10);
  playListPage_->Refresh();
  UpdateScrollBar(1);
}

void TOrvaneMain_Form::LoadPlayListFile() {
  // The folder with the file name in it: the dialog starts there with the name filled in.
  const std::vector<std::string> chosen = parts_.prompt->OpenFiles(
      "加载播放列表", platform::EnsureTrailingSeparator(folders_.project) + kPlayListFileName,
      kPlayListFileFilter, false);
  if (chosen.empty()) return;
  playList_.LoadFile(chosen.front(), session_.CurrentMediaFile);
  session_.CloseSession();
  session_.PlayType = engine::kPlayMedia;
  UpdateTransportButtons();
  playListPage_->SendToolBarHome();
  AudioEQ_P->hide();
  // Rebuilt and shown even when the file was missing and the list stayed.
  playListVersion_ = ~playList_.Version;
  RefreshPlayList(-1);
  ShowPlayListPage(false);
}

void TOrvaneMain_Form::SavePlayListAs() {
  if (playList_.Empty()) return;
  std::string path = parts_.prompt->SaveFile("另存播放列表",
                                             folders_.project,
                                             kPlayListFileName, kPlayListFileFilter);
  if (path.empty()) return;
  if (!HasExtension(path)) path += ".vmplf";
  if (!platform::WriteFileAtomically(path, playList_.StoredText()))
    parts_.prompt->Inform(platform::kPromptCaption, "无法保存播放列表文件:\n" + path,
                          platform::Prompt::Icon::Error);
}

}  // namespace app
