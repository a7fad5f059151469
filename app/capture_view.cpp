// Frame capture as the window works it: the capture button and command, the
// capture page's tiles and tool bar, and the grab that keeps the window alive.
#include <QApplication>
#include <QEventLoop>
#include <thread>

#include "app/main_form.h"
#include "assets/skin_layout.h"

namespace app {

void TOrvaneMain_Form::BuildCapturePage() {
  namespace p = skin::panel;
  MakeToolBarButtons(
      catchTool_P,
      {{&SaveAll_XI, "SaveAll_XI", p::kSaveAllCapture, "SaveAll_Normal_btn.bmp", "Save all",
        [this] { SaveAllCaptures(); }, false},
       {&Save_XI, "Save_XI", p::kSaveCapture, "Save_Normal_Btn.bmp", "Save", [this] { SaveCapture(); },
        false},
       {&Delete_XI, "Delete_XI", p::kDeleteCapture, "Del_Normal_Btn.bmp", "Delete",
        [this] { DeleteCapture(); }, true},
       {&Empty_XI, "Empty_XI", p::kEmptyCaptures, "Empty_Normal_Btn.bmp", "Empty",
        [this] { EmptyCaptures(); }, true}});

  capture::CapturePage::Parts page;
  page.content = captureScroll_.content;
  page.toolBar = catchTool_P;
  page.toolBarHome = MediaFile_P;
  page.font = font();
  page.highlight = kHighlightColour;
  capturePage_ = new capture::CapturePage(page, this);

  capture::FrameSource* source = parts_.frameSource;
  if (!source) {
    ownFrameSource_ = capture::MakeDetectorFrameSource();
    source = ownFrameSource_.get();
  }
  capture::Captures::Parts parts;
  parts.session = &session_;
  parts.source = source;
  parts.prompt = parts_.prompt;
  parts.store = &store_;
  parts.tempFolder = folders_.temp;
  parts.runBusy = [this](const std::function<bool()>& job) { return RunCaptureJob(job); };
  parts.showBusy = [](bool on) {
    if (on)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  };
  captures_ = std::make_unique<capture::Captures>(parts);
  captures_->onAdded = [this](int index) { AddCaptureTile(index); };
  captures_->onRemoved = [this](int index) {
    if (index < 0) {
      capturePage_->Clear();
      captureScroll_.content->move(0, 10);
    } else {
      capturePage_->RemoveTile(index);
    }
    LayOutCapturePage();
  };
}

// The frame is decoded on a thread of its own while the window goes on
// painting; input waits until the grab is done, under the wait cursor.
bool TOrvaneMain_Form::RunCaptureJob(const std::function<bool()>& job) {
  captureBusy_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  bool result = false;
  QEventLoop loop;
  std::thread worker([&] {
    result = job();
    QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  QApplication::restoreOverrideCursor();
  captureBusy_ = false;
  return result;
}

void TOrvaneMain_Form::CaptureFrame() {
  if (captureBusy_) return;
  captures_->CaptureFrame();
  // A resumed session shows its pause picture again.
  UpdateTransportButtons();
}

void TOrvaneMain_Form::AddCaptureTile(int index) {
  const capture::Capture& c = captures_->Items()[static_cast<size_t>(index)];
  QImage picture = QImage::fromData(reinterpret_cast<const uchar*>(c.bitmap.data()),
                                    static_cast<int>(c.bitmap.size()), "BMP");
  ShowCaptureListPage(false);
  capturePage_->AddTile(QString::fromStdString(c.targetPath), picture);
  LayOutCapturePage();
  if (ListPage != 2) return;
  // The new tile comes into view at the bottom of the visible rows.
  const int visible = (Capture_P->height() - 10) / capture::kTilePitch * capture::kTilePitch + 10;
  const int bottom = captureScroll_.content->y() + capture::kTilePitch * (index + 1);
  if (bottom > visible) PlaceListContent(2, visible - capture::kTilePitch * (index + 1));
}

void TOrvaneMain_Form::LayOutCapturePage() {
  if (ListPage == 2) UpdateScrollBar(2);
}

void TOrvaneMain_Form::SaveCapture() { captures_->SaveCapture(capturePage_->ToolBarTile()); }

void TOrvaneMain_Form::SaveAllCaptures() { captures_->SaveAllCaptures(); }

void TOrvaneMain_Form::DeleteCapture() {
  const int index = capturePage_->ToolBarTile();
  capturePage_->SendToolBarHome();
  captures_->DeleteCapture(index);
}

void TOrvaneMain_Form::EmptyCaptures() { captures_->EmptyCaptures(); }

}  // namespace app
