#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include "companion/velmor/dialog_text.h"
#include "companion/velmor/velmor_use_window.h"

namespace velmor {

void CreateMediaPropertyForm(QWidget* owner, const std::string& mediaPath,
                             const std::string& durationText, std::int32_t width,
                             std::int32_t height, double frameRate, int language) {
  QDialog dialog(owner);
  dialog.setObjectName("MediaPropertyForm");
  dialog.setWindowTitle(Text(language, "媒体属性", "Media properties"));
  auto* form = new QFormLayout(&dialog);
  auto row = [&](const char* name, const char* chinese, const char* english, const QString& value) {
    auto* label = new QLabel(value, &dialog);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(Text(language, chinese, english), label);
  };
  row("Path_L", "文件:", "File:", QString::fromStdString(mediaPath));
  row("Duration_L", "时长:", "Duration:", QString::fromStdString(durationText));
  row("Size_L", "画面大小:", "Picture size:", QString("%1 x %2").arg(width).arg(height));
  row("FrameRate_L", "帧率:", "Frame rate:",
      frameRate > 0 ? QString::number(frameRate, 'f', 3) + Text(language, " 帧/秒", " fps")
                    : Text(language, "无", "none"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(Text(language, "确定", "OK"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  form->addRow(buttons);
  dialog.exec();
}

}  // namespace velmor
