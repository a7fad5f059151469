#include "app/qt_prompt.h"

#include <QFileDialog>
#include <QMessageBox>

#include "companion/velmor/velmor_use_window.h"

namespace app {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void QtPrompt::Inform(const std::string& caption, const std::string& text, Icon icon) {
  QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Information,
                  Q(caption), Q(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtPrompt::Ask(const std::string& caption, const std::string& text) {
  return QMessageBox::question(parent_, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

// "Text|*.a;*.b|All|*" as Qt writes it: "Text (*.a *.b);;All (*)".
QString QtFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList groups;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    groups << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
  return groups.join(";;");
}

std::vector<std::string> QtPrompt::OpenFiles(const std::string& caption, const std::string& folder,
                                             const std::string& filter, bool multiple) {
  std::vector<std::string> result;
  if (multiple) {
    for (const QString& f : QFileDialog::getOpenFileNames(parent_, Q(caption), Q(folder), QtFilter(filter)))
      result.push_back(f.toStdString());
  } else {
    QString f = QFileDialog::getOpenFileName(parent_, Q(caption), Q(folder), QtFilter(filter));
    if (!f.isEmpty()) result.push_back(f.toStdString());
  }
  return result;
}

std::string QtPrompt::SaveFile(const std::string& caption, const std::string& folder,
                               const std::string& fileName, const std::string& filter) {
  QString start = Q(folder);
  if (!fileName.empty()) start += "/" + Q(fileName);
  return QFileDialog::getSaveFileName(parent_, Q(caption), start, QtFilter(filter)).toStdString();
}

std::string QtPrompt::ChooseFolder(const std::string& caption, const std::string& folder) {
  return QFileDialog::getExistingDirectory(parent_, Q(caption), Q(folder)).toStdString();
}

// The player always speaks Chinese to the companion dialogs.
constexpr int kLanguage = 2;

bool QtPrompt::AskGotoTime(std::int64_t totalLength, int playType, std::int64_t* seconds) {
  std::uint8_t cancelled = 1;
  velmor::CreateGotoMediaForm(parent_, kLanguage, totalLength, playType, seconds, &cancelled);
  return cancelled == 0;
}

void QtPrompt::ShowMediaProperties(const std::string& path, const std::string& durationText,
                                   int width, int height, double frameRate) {
  velmor::CreateMediaPropertyForm(parent_, path, durationText, width, height, frameRate, kLanguage);
}

}  // namespace app
