#include "app/history_menu.h"

#include <QAction>
#include <QMenu>
#include <cstdio>

#include "platform/media_path.h"
#include "platform/safe_file.h"

namespace app {

namespace {
std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

HistoryMenu::HistoryMenu(const Items& items, const settings::SettingsStore& store,
                         const platform::ProgramFolders& folders, platform::Prompt& prompt,
                         OpenFile openFile, QObject* parent)
    : QObject(parent),
      items_(items),
      store_(store),
      folders_(folders),
      prompt_(prompt),
      openFile_(std::move(openFile)) {
  if (items_.menu) connect(items_.menu, &QMenu::aboutToShow, this, &HistoryMenu::MakePendingItems);
}

std::string HistoryMenu::HistoryFile() const {
  return platform::EnsureTrailingSeparator(folders_.project) + "HistoryList";
}

std::string HistoryMenu::HistoryTempFile() const {
  return platform::EnsureTrailingSeparator(folders_.program) + "HistoryTemp";
}

void HistoryMenu::LoadHistory() {
  if (loaded_) return;
  loaded_ = true;
  const playlist::History::LoadResult result = history_.Load(HistoryFile());
  if (result.status == playlist::History::LoadResult::SetAside) {
    prompt_.Inform(platform::kPromptCaption, "历史记录文件已损坏,原文件已另存为\n" +
                                                 result.keptAs + "\n历史记录将从空开始。");
  } else if (result.status == playlist::History::LoadResult::Failed) {
    saveFailureShown_ = true;  // the saves it refuses need no second box
    prompt_.Inform(platform::kPromptCaption, "无法读取历史记录文件\n" + HistoryFile() +
                                                 "\n本次运行不会改写它,历史记录将从空开始。");
  }
  RemoveItems();
  AddItems(history_.Paths());
}

void HistoryMenu::MergeIntoHistory(const std::vector<std::string>& paths) {
  LoadHistory();
  const std::vector<std::string> added = history_.Merge(paths);
  if (added.empty()) return;
  AddItems(added);
  SaveHistory();
}

void HistoryMenu::ClearHistory() {
  LoadHistory();
  RemoveItems();
  history_.Clear();
  SaveHistory();
}

void HistoryMenu::ToggleClearHistoryExit() {
  store_.WriteIntEnsured("File", "ClearHistoryExit", items_.clearAtExit->isChecked() ? 1 : 0);
}

void HistoryMenu::ManageHistory() {
  LoadHistory();
  if (!prompt_.ManageHistory(history_.Paths())) return;
  // No file means the dialog left nothing: the history becomes empty.
  std::vector<std::string> edited;
  if (std::optional<std::string> text = platform::ReadWholeFile(HistoryTempFile()))
    edited = playlist::SplitTextLines(*text);
  RemoveItems();
  history_.Replace(edited);
  AddItems(history_.Paths());
  SaveHistory();
}

void HistoryMenu::ClearAtExit() {
  if (store_.ReadInt("File", "ClearHistoryExit") == 1) ClearHistory();
}

void HistoryMenu::AddItems(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    std::string name = FileName(path);
    // One item per name: the first path of that name is the one it opens.
    if (!names_.insert(name).second) continue;
    pending_.emplace_back(std::move(name), path);
  }
  if (items_.menu && items_.menu->isVisible()) MakePendingItems();
}

void HistoryMenu::MakePendingItems() {
  for (auto& [name, path] : pending_) {
    // "&" would mark a mnemonic and vanish from the caption.
    QAction* item = items_.menu->addAction(QString::fromStdString(name).replace("&", "&&"));
    item->setObjectName("HistoryItem");
    connect(item, &QAction::triggered, this, [this, path = path] { OpenItem(path); });
    entries_.push_back({item, std::move(name), std::move(path)});
  }
  pending_.clear();
}

void HistoryMenu::RemoveItems() {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    items_.menu->removeAction(it->item);
    it->item->deleteLater();
  }
  entries_.clear();
  pending_.clear();
  names_.clear();
}

void HistoryMenu::OpenItem(const std::string& path) {
  // A file gone since keeps its item and does nothing.
  if (!platform::FileExists(path)) return;
  openFile_(path);
}

void HistoryMenu::SaveHistory() {
  if (history_.Save(HistoryFile())) return;
  std::fprintf(stderr, "cannot save the history to %s\n", HistoryFile().c_str());
  // Said once: a folder that refuses one save refuses every merge after it.
  if (saveFailureShown_) return;
  saveFailureShown_ = true;
  prompt_.Inform(platform::kPromptCaption, "无法保存历史记录文件\n" + HistoryFile());
}

}  // namespace app
