// Design geometry and colours of the default skin. The skin generator draws
// every picture from these numbers and the main window places its controls by
// them, so pictures and positions cannot drift apart.
#pragma once

namespace skin {

struct Colour {
  int r, g, b;
};

// Where a control's x is measured from once its panel has been laid out.
enum class Anchor {
  kLeft,          // panel left edge
  kRight,         // panel right edge (dx is negative)
  kCentreLeft,    // left edge of the stretched centre piece
  kCentreRight,   // right edge of the stretched centre piece
  kRightPiece,    // left edge of the fixed right piece
  kCentred,       // centred in the panel, rounded toward zero; dx ignored
};

struct Place {
  Anchor anchor;
  int dx, y, w, h;
};

// A strip that follows the stretched centre piece: width = centre width + dw.
struct Strip {
  int dx, y, dw, h;
};

inline constexpr Colour kHighlight{182, 126, 24};
inline constexpr Colour kBlack{0, 0, 0};
// Both list tool bars sit on this colour; their button pictures carry it.
inline constexpr Colour kToolBar{0, 0, 0};
inline constexpr Colour kPageHead{0, 0, 0};

// Window (client pixels at design size).
inline constexpr int kClientW = 689;
inline constexpr int kClientH = 446;
inline constexpr int kEdgeW = 7;       // Left_P, Right_P
inline constexpr int kBottomH = 4;     // Bottom_P
inline constexpr int kBottomCornerW = 7;
// The logo centred on the black video area while nothing plays.
inline constexpr int kMainLogoW = 260;
inline constexpr int kMainLogoH = 72;

namespace title {
inline constexpr int kH = 28;
inline constexpr int kLeftW = 85;
inline constexpr int kRightW = 78;
inline constexpr int kCentreW = 8;  // drawn width; stretched in the window
inline constexpr Place kSmallLogo{Anchor::kLeft, 1, 4, 20, 20};
inline constexpr Place kMin{Anchor::kRightPiece, 20, 6, 16, 16};
inline constexpr Place kMax{Anchor::kRightPiece, 40, 6, 16, 16};
inline constexpr Place kClose{Anchor::kRightPiece, 60, 6, 16, 16};
inline constexpr Place kHelpMenu{Anchor::kRightPiece, -35, 5, 35, 18};
inline constexpr Place kPlaylistMenu{Anchor::kRightPiece, -95, 5, 60, 18};
inline constexpr Place kViewMenu{Anchor::kRightPiece, -130, 5, 35, 18};
inline constexpr Place kPipMenu{Anchor::kRightPiece, -190, 5, 60, 18};
inline constexpr Place kDvdnavMenu{Anchor::kRightPiece, -250, 5, 60, 18};
inline constexpr Place kPlayMenu{Anchor::kRightPiece, -285, 5, 35, 18};
inline constexpr Place kFileMenu{Anchor::kRightPiece, -320, 5, 35, 18};

constexpr int Left(const Place& p, int titleW) {
  switch (p.anchor) {
    case Anchor::kRightPiece: return titleW - kRightW + p.dx;
    case Anchor::kRight: return titleW + p.dx;
    case Anchor::kCentred: return (titleW - p.w) / 2;
    default: return p.dx;
  }
}
}  // namespace title

// The control bar DvdCtrl_P; y values are relative to its top.
namespace bar {
inline constexpr int kH = 82;
inline constexpr int kLeftW = 201;
inline constexpr int kRightW = 174;
inline constexpr int kCentreW = 8;  // drawn width; stretched in the window

inline constexpr Place kVolume{Anchor::kLeft, 10, 8, 20, 20};
inline constexpr Place kSoundTrack{Anchor::kLeft, 34, 15, 90, 6};
inline constexpr Place kSoundThumb{Anchor::kLeft, 34, 13, 12, 10};
inline constexpr Place kPlayPause{Anchor::kLeft, 14, 42, 32, 32};
inline constexpr Place kStop{Anchor::kLeft, 52, 45, 26, 26};
inline constexpr Place kPrevious{Anchor::kLeft, 86, 48, 20, 20};
inline constexpr Place kBackward{Anchor::kLeft, 110, 48, 20, 20};
inline constexpr Place kForward{Anchor::kLeft, 134, 48, 20, 20};
inline constexpr Place kNext{Anchor::kLeft, 158, 48, 20, 20};
inline constexpr Place kUrl{Anchor::kCentred, 0, 3, 170, 15};

inline constexpr Strip kMediaStrip{0, 22, 0, 18};
inline constexpr Strip kSeekTrack{2, 64, -4, 6};
inline constexpr Place kSeekThumb{Anchor::kCentreLeft, 2, 62, 12, 10};
inline constexpr Place kStatus{Anchor::kCentreLeft, 4, 44, 110, 14};
inline constexpr Place kResolution{Anchor::kCentreLeft, 120, 44, 90, 14};
inline constexpr Place kTime{Anchor::kCentreRight, -110, 44, 110, 14};

inline constexpr Place kBalanceL{Anchor::kRightPiece, 40, 9, 14, 12};
inline constexpr Place kBalanceTrack{Anchor::kRightPiece, 60, 13, 66, 6};
inline constexpr Place kBalanceThumb{Anchor::kRightPiece, 87, 11, 12, 10};  // 50 %
inline constexpr Place kBalanceR{Anchor::kRightPiece, 132, 9, 14, 12};
inline constexpr Place kOpen{Anchor::kRightPiece, 23, 48, 20, 20};
inline constexpr Place kCapture{Anchor::kRightPiece, 47, 48, 20, 20};
inline constexpr Place kPlayList{Anchor::kRightPiece, 71, 48, 20, 20};
inline constexpr Place kFull{Anchor::kRightPiece, 95, 48, 20, 20};
inline constexpr Place kOption{Anchor::kRightPiece, 119, 48, 20, 20};

// The recessed display behind the strip, the labels and the seek bar. It
// spans the centre piece and ends in rounded caps inside the fixed pieces.
inline constexpr int kScreenTop = 20;
inline constexpr int kScreenBottom = 76;  // exclusive
inline constexpr int kScreenCap = 8;

constexpr int CentreW(int barW) { return barW - kLeftW - kRightW; }
constexpr int Left(const Place& p, int barW) {
  switch (p.anchor) {
    case Anchor::kCentreLeft: return kLeftW + p.dx;
    case Anchor::kCentreRight: return barW - kRightW + p.dx;
    case Anchor::kRightPiece: return barW - kRightW + p.dx;
    case Anchor::kRight: return barW + p.dx;
    case Anchor::kCentred: return (barW - p.w) / 2;
    default: return p.dx;
  }
}
constexpr int Left(const Strip& s) { return kLeftW + s.dx; }
constexpr int Width(const Strip& s, int barW) { return CentreW(barW) + s.dw; }
}  // namespace bar

// The side panel MediaFile_P and its floating tool bars.
namespace panel {
inline constexpr int kW = 190;
inline constexpr int kSplitterW = 4;
inline constexpr int kPageHeadH = 20;
inline constexpr int kScrollW = 16;
inline constexpr int kScrollArrowH = 16;
inline constexpr int kScrollThumbH = 40;  // drawn height; stretched to fit
inline constexpr int kScrollTrackH = 32;  // drawn height; stretched to fit
inline constexpr Place kPlayListLabel{Anchor::kLeft, 2, 1, 70, 18};
inline constexpr Place kCaptureListLabel{Anchor::kLeft, 74, 1, 70, 18};
inline constexpr Place kCloseList{Anchor::kRight, -18, 2, 16, 16};

// Play-list tile and the tool bar shown inside it.
inline constexpr int kTileW = 164, kTileH = 44, kTileLeft = 4, kTilePitch = 50;
inline constexpr int kTileBgW = 160, kTileBgH = 40;  // Txt_BG.jpg at (2, 2)
inline constexpr Place kTileIcon{Anchor::kLeft, 2, 2, 20, 20};
inline constexpr Place kTileText{Anchor::kLeft, 22, 6, 140, 13};
inline constexpr Place kPlayTool{Anchor::kLeft, 2, 22, 160, 20};
inline constexpr Place kAdd{Anchor::kLeft, 60, 0, 20, 20};
inline constexpr Place kDelete{Anchor::kLeft, 80, 0, 20, 20};
inline constexpr Place kEmpty{Anchor::kLeft, 100, 0, 20, 20};
inline constexpr Place kLoad{Anchor::kLeft, 120, 0, 20, 20};
inline constexpr Place kSaveAs{Anchor::kLeft, 140, 0, 20, 20};

// Capture tile and its tool bar (80 x 20, four buttons 20 wide).
inline constexpr int kCaptureW = 140, kCaptureH = 100, kCaptureLeft = 10, kCapturePitch = 110;
inline constexpr Place kCaptureTool{Anchor::kLeft, 2, 100 - 22, 80, 20};
inline constexpr Place kSaveAllCapture{Anchor::kLeft, 0, 0, 20, 20};
inline constexpr Place kSaveCapture{Anchor::kLeft, 20, 0, 20, 20};
inline constexpr Place kDeleteCapture{Anchor::kLeft, 40, 0, 20, 20};
inline constexpr Place kEmptyCaptures{Anchor::kLeft, 60, 0, 20, 20};
}  // namespace panel

}  // namespace skin
