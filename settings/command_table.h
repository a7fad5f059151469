#pragma once
// The 29 commands in their fixed order: the order of the [ShortCut] keys, of
// the action objects and of the menu items that run them.
#include <array>
#include <cstddef>

namespace settings {

struct CommandInfo {
  const char* key;         // key in [ShortCut], the command's identifier
  const char* defaultKey;  // its value in the default settings text
  const char* action;      // the action object
  const char* item;        // the main popup menu's item
  const char* caption;     // that item's caption
};

inline constexpr std::array<CommandInfo, 29> kCommands = {{
    {"OpenFile", "Ctrl+O", "aOpenFile", "pOpenFile", "打开文件..."},
    {"OpenDvdDirectory", "Ctrl+D", "aOpenDvdDirectory", "pOpendvddirectory", "打开dvd目录..."},
    {"Close", "Ctrl+C", "aClose", "pClose", "关闭"},
    {"CaptureScreen", "F6", "aCaptureScreen", "pCapturescreen", "截屏..."},
    {"Property", "Ctrl+Alt+P", "aProperty", "pProperty", "属性..."},
    {"Play/Pause", "Space", "aPlayPause", "pPlayPause", "播放/暂停"},
    {"Stop", "Ctrl+S", "aStop", "pStop", "停止"},
    {"SingleFrameStep", "F11", "aSingleFrameStep", "pSingleframestep", "单帧步进"},
    {"PlayPrevious", "PgUp", "aPlayPrevious", "pPlayPrevious", "上一个"},
    {"PlayNext", "PgDn", "aPlayNext", "pPlayNext", "下一个"},
    {"Goto", "Ctrl+G", "aGoto", "pGoto", "转到..."},
    {"Forward", "Ctrl+Right", "aForward", "pForward", "快进"},
    {"Backward", "Ctrl+Left", "aBackward", "pBackward", "快退"},
    {"AcceleratePlay", "Ctrl+Up", "aAcceleratePlay", "pAccelerateplay", "加速播放"},
    {"DeceleratePlay", "Ctrl+Down", "aDeceleratePlay", "pDecelerateplay", "减速播放"},
    {"NormalPlay", "Ctrl+R", "aNormalPlay", "pNormalplay", "正常播放"},
    {"PreviousFrame", "Left", "aPreviousFrame", "pPreviousframe", "上一帧"},
    {"NextFrame", "Right", "aNextFrame", "pNextframe", "下一帧"},
    {"HoistVolume", "Up", "aHoistVolume", "pHoistvolume", "提升音量"},
    {"DebaseVolume", "Down", "aDebaseVolume", "pDebasevolume", "降低音量"},
    {"Slience", "Ctrl+M", "aSlience", "pSlience", "静音"},
    {"Stereo", "F10", "aStereo", "pStereo", "立体声"},
    {"LeftTrack", "Alt+L", "aLeftTrack", "pLefttrack", "左声道"},
    {"RightTrack", "Alt+R", "aRightTrack", "pRighttrack", "右声道"},
    {"BossKey", "Ctrl+F12", "aBossKey", "pBosskey", "老板键"},
    {"ControlPanel", "Ctrl+Alt+C", "aControlPanel", "pControlpanel", "控制面板..."},
    {"Option", "Ctrl+Alt+O", "aOption", "pOption", "选项..."},
    {"PlayList", "Ctrl+L", "aPlayList", "pPlaylistView", "播放列表"},
    {"FullScreen", "Enter", "aFullScreen", "pFullscreen", "全屏"},
}};

// Positions in the table, for the commands other rooms name.
enum class Command : std::size_t {
  OpenFile, OpenDvdDirectory, Close, CaptureScreen, Property, PlayPause, Stop,
  SingleFrameStep, PlayPrevious, PlayNext, Goto, Forward, Backward, AcceleratePlay,
  DeceleratePlay, NormalPlay, PreviousFrame, NextFrame, HoistVolume, DebaseVolume, Slience,
  Stereo, LeftTrack, RightTrack, BossKey, ControlPanel, Option, PlayList, FullScreen,
};
inline constexpr std::size_t kCommandCount = kCommands.size();
static_assert(static_cast<std::size_t>(Command::FullScreen) + 1 == kCommandCount);

}  // namespace settings
