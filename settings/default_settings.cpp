#include "settings/default_settings.h"

#include "settings/command_table.h"

namespace settings {

namespace {

std::string BuildConstant() {
  static const char* const kHead[] = {
      "[File]",
      "Language=1",
      "CaptureImagePath=",
      "DefaultImageType=.bmp",
      "AskSaveOption=1",
      "ClearHistoryExit=0",
      "",
      "[Play]",
      "StayOnTop=0",
      "AfterPlay=0",
      "isSlience=0",
      "SoundLevel=30",
      "SoundBalance=0",
      "QuickOnce=5",
      "SlowOnce=5",
      "",
      "[View]",
      "TitleAndMenu=1",
      "ControlBar=1",
      "StatusBar=1",
      "PlayList=1",
      "FullScreenByStart=1",
      "HideControlBarTime=5",
      "VideoScale=0",
      "VideoRoom=2",
      "",
      "[Navigate]",
      "Subpicture=1",
      "",
      "[PlayControl]",
      "WhileOpenMedia=1",
      "MemoryLastPos=1",
      "AddAlliedMedia=1",
      "FullScreenAtonce=0",
      "MinimizeToTray=1",
      "PlayMode=0",
      "LastPlayType=1",
      "LastPos=0",
      "ReloadLast=1",
      "TitleJump=0",
      "FinisJump=0",
      "LastMediaFile=",
      "LastDvd=",
      "",
      "[Pip]",
      "SmallPosition=3",
      "pipMediaFileA=",
      "pipMediaFileB=",
      "",
      "[ShortCut]",
  };
  std::string text;
  for (const char* line : kHead) {
    text += line;
    text += '\r';
  }
  for (size_t i = 0; i < kCommands.size(); ++i) {
    text += kCommands[i].key;
    text += '=';
    text += kCommands[i].defaultKey;
    if (i + 1 < kCommands.size()) text += '\r';
  }
  return text;
}

}  // namespace

const std::string& DefaultSettingsConstant() {
  static const std::string text = BuildConstant();
  return text;
}

std::string DefaultSettingsFileText() {
  const std::string& constant = DefaultSettingsConstant();
  std::string out;
  out.reserve(constant.size() + 64);
  size_t start = 0;
  while (true) {
    size_t cr = constant.find('\r', start);
    out.append(constant, start, cr == std::string::npos ? std::string::npos : cr - start);
    out += "\r\n";
    if (cr == std::string::npos) break;
    start = cr + 1;
  }
  return out;
}

}  // namespace settings
