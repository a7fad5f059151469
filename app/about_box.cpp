#include "app/about_box.h"

namespace app {

std::string AboutText(const Commands& commands) {
  std::string text = std::string("奥文播放 版本 ") + kVersion + "\n\n";
  text += "制作: 奥文播放开发组\n\n";
  text +=
      "历史:\n"
      "  1.0  播放媒体文件、DVD 和画中画, 换肤界面\n"
      "  2.0  播放列表与历史记录, 截屏, 控制面板, 老板键\n\n";
  text += "快捷键:\n";
  for (std::size_t i = 0; i < settings::kCommandCount; ++i) {
    const Shortcut& key = commands.ShortcutOf(static_cast<Command>(i));
    text += std::string("  ") + settings::kCommands[i].caption + "\t" +
            (key.valid() ? ShortcutText(key).toStdString() : std::string("-")) + "\n";
  }
  return text;
}

}  // namespace app
