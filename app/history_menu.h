#pragma once
// The "历史记录" submenu: its fixed items' actions and one item per file name
// of the history, which the window owns and the session feeds.
#include <QObject>
#include <functional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/program_folders.h"
#include "platform/prompt.h"
#include "playlist/history.h"
#include "settings/settings_store.h"

class QAction;
class QMenu;

namespace app {

class HistoryMenu final : public QObject {
 public:
  struct Items {
    QMenu* menu = nullptr;  // pHistory: the fixed items and a separator come first
    QAction* manage = nullptr;
    QAction* clear = nullptr;
    QAction* clearAtExit = nullptr;
  };
  using OpenFile = std::function<void(const std::string& path)>;

  HistoryMenu(const Items& items, const settings::SettingsStore& store,
              const platform::ProgramFolders& folders, platform::Prompt& prompt,
              OpenFile openFile, QObject* parent);

  // Once, when the window is first shown; everything below loads first if needed,
  // so a stored history is never written over unread.
  void LoadHistory();
  void MergeIntoHistory(const std::vector<std::string>& paths);
  void ClearHistory();
  // The item's click has flipped its check mark: store it at once.
  void ToggleClearHistoryExit();
  void ManageHistory();
  // At close: clears when the stored choice says so.
  void ClearAtExit();

  const playlist::History& history() const { return history_; }
  std::string HistoryFile() const;
  std::string HistoryTempFile() const;
  // The history items in menu order, each with the path it opens.
  struct Entry {
    QAction* item;
    std::string name;
    std::string path;
  };
  const std::vector<Entry>& entries() const { return entries_; }
  // Items still to be made: a menu of many thousand items is made when it
  // opens, not at start-up (each insertion into a menu costs its length).
  void MakePendingItems();

 private:
  void AddItems(const std::vector<std::string>& paths);
  void RemoveItems();
  void OpenItem(const std::string& path);
  void SaveHistory();

  Items items_;
  const settings::SettingsStore& store_;
  const platform::ProgramFolders& folders_;
  platform::Prompt& prompt_;
  OpenFile openFile_;
  playlist::History history_;
  std::vector<Entry> entries_;
  std::vector<std::pair<std::string, std::string>> pending_;  // name, path; after entries_
  std::unordered_set<std::string> names_;  // every caption made or pending
  bool loaded_ = false;
  bool saveFailureShown_ = false;
};

}  // namespace app
