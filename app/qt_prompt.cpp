#include "app/qt_prompt.h"

#include "pip/open_pip_form.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

#include "capture/save_option_form.h"
#include "companion/velmor/velmor_use_window.h"
#include "platform/media_path.h"

namespace app {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  if (!reply) return XCB_ATOM_NONE;
  xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

// A box without a caption: Qt would name its window after the program, the
// player shows it with an empty title.
void ClearWindowTitle(QWidget& box) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return;
  xcb_connection_t* connection = x11->connection();
  const auto window = static_cast<xcb_window_t>(box.winId());
  const xcb_atom_t name = Atom(connection, "_NET_WM_NAME");
  const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
  if (name != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, name, utf8, 8, 0, "");
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                      XCB_ATOM_STRING, 8, 0, "");
  xcb_flush(connection);
}

int Run(QMessageBox& box, const std::string& caption) {
  if (caption.empty()) ClearWindowTitle(box);
  return box.exec();
}
}  // namespace

void QtPrompt::Inform(const std::string& caption, const std::string& text, Icon icon) {
  QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Information,
                  Q(caption), Q(text), QMessageBox::Ok, parent_);
  Run(box, caption);
}

namespace {
// A question is answered by its buttons only: Escape and the close box would
// otherwise count as No, and a No may throw away what the user meant to keep.
class QuestionBox final : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() != Qt::Key_Escape) QMessageBox::keyPressEvent(event);
  }
  // A button's answer closes the box without a close event.
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};
}  // namespace

bool QtPrompt::Ask(const std::string& caption, const std::string& text) {
  // The player's questions show the information icon, as its messages do.
  QuestionBox box(QMessageBox::Information, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No,
                  parent_);
  return Run(box, caption) == QMessageBox::Yes;
}

// "Text|*.a;*.b|All|*" as Qt writes it: "Text (*.a *.b);;All (*)".
QString QtFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList groups;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = QString(parts[i + 1]).replace(';', ' ');
    // "Bmp Files(*.bmp)" already shows its patterns; Qt reads them from the end.
    if (parts[i].endsWith("(" + patterns + ")"))
      groups << parts[i];
    else
      groups << parts[i] + " (" + patterns + ")";
  }
  return groups.join(";;");
}

std::vector<std::string> QtPrompt::OpenFiles(const std::string& caption, const std::string& folder,
                                             const std::string& filter, bool multiple) {
  std::vector<std::string> result;
  // Full paths whatever the dialog answers: they are stored and reopened later.
  if (multiple) {
    for (const QString& f : QFileDialog::getOpenFileNames(parent_, Q(caption), Q(folder), QtFilter(filter)))
      result.push_back(platform::AbsolutePath(f.toStdString()));
  } else {
    QString f = QFileDialog::getOpenFileName(parent_, Q(caption), Q(folder), QtFilter(filter));
    if (!f.isEmpty()) result.push_back(platform::AbsolutePath(f.toStdString()));
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

bool QtPrompt::ManageHistory(const std::vector<std::string>& history) {
  std::int32_t changed = 0;
  velmor::CreateManageHistoryForm(parent_, history, &changed, kLanguage);
  return changed == 1;
}

void QtPrompt::ShowAbout(const std::string& caption, const std::string& text) {
  QDialog box(parent_);
  box.setWindowTitle(Q(caption));
  if (parent_) box.setFont(parent_->font());
  auto* layout = new QVBoxLayout(&box);
  // Lines holding a tab become a two-column table: with tab stops, one long
  // caption pushed its key out of line with the others.
  QString html;
  bool inTable = false;
  for (const QString& line : Q(text).split('\n')) {
    const QStringList cells = line.split('\t');
    if (cells.size() > 1) {
      if (!inTable) html += "<table cellspacing=\"0\" cellpadding=\"0\">";
      inTable = true;
      html += "<tr><td style=\"padding-right: 24px; white-space: pre\">" + cells[0].toHtmlEscaped() +
              "</td><td style=\"white-space: pre\">" + cells.mid(1).join(' ').toHtmlEscaped() +
              "</td></tr>";
      continue;
    }
    if (inTable) html += "</table>";
    inTable = false;
    html += "<div style=\"white-space: pre\">" + (line.isEmpty() ? QString(" ") : line.toHtmlEscaped()) +
            "</div>";
  }
  if (inTable) html += "</table>";
  auto* label = new QLabel(html, &box);
  label->setTextFormat(Qt::RichText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(label);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("确定"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  layout->addWidget(buttons);
  box.exec();
}

std::string QtPrompt::SaveFileOfType(const std::string& caption, const std::string& folder,
                                     const std::string& fileName, const std::string& filter,
                                     int* filterIndex) {
  QString start = Q(folder);
  if (!fileName.empty()) start = fileName.front() == '/' ? Q(fileName) : start + "/" + Q(fileName);
  const QString filters = QtFilter(filter);
  QString chosen;
  const QString path =
      QFileDialog::getSaveFileName(parent_, Q(caption), start, filters, &chosen);
  if (filterIndex) *filterIndex = static_cast<int>(filters.split(";;").indexOf(chosen)) + 1;
  return path.toStdString();
}

bool QtPrompt::ChooseSaveOption(const platform::SaveOptions& options, std::string* folder,
                                std::string* type) {
  capture::TSaveOption_Form form(options, parent_);
  if (form.exec() != QDialog::Accepted) return false;
  *folder = form.ChosenFolder.toStdString();
  *type = form.ChosenType.toStdString();
  return true;
}

int QtPrompt::ChoosePipFiles(int language, std::string* fileA, std::string* fileB) {
  // The dialog's own messages and file choice come back through this prompt.
  return pip::ShowOpenPipDialog(*this, language, parent_ ? parent_->font() : QFont(), parent_,
                                fileA, fileB);
}

}  // namespace app
