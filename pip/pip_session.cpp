#include "pip/pip_session.h"

#include <cmath>
#include <utility>

#include "engine/time_text.h"

namespace pip {

namespace {
constexpr const char* kSection = "Pip";
constexpr int kBand = 10;  // pixels around an edge that grab it
}  // namespace

engine::NormalisedRect StandardRect(int position) {
  switch (position) {
    case 1: return {0.0f, 0.0f, 0.5f, 0.5f};
    case 2: return {0.5f, 0.0f, 1.0f, 0.5f};
    case 3: return {0.0f, 0.5f, 0.5f, 1.0f};
    case 4: return {0.5f, 0.5f, 1.0f, 1.0f};
    default: return {0.25f, 0.25f, 0.75f, 0.75f};
  }
}

// Float sums such as 0.2 + 0.1 land a hair below the percentage they mean.
int Percent(float value) { return static_cast<int>(std::lround(static_cast<double>(value) * 100.0)); }

PipSession::PipSession(engine::Session& session, engine::VideoMixer& mixer,
                       const settings::SettingsStore& store, platform::Prompt& prompt,
                       playlist::PlayList& playList)
    : session_(session), mixer_(mixer), store_(store), prompt_(prompt), playList_(playList) {}

bool PipSession::Available() const { return session_.RendererKind != engine::kRendererDefault; }

bool PipSession::MixerPresent() const { return Available() && session_.pipGraph().Exists(); }

bool PipSession::OpenPip(const std::string& fileA, const std::string& fileB) {
  if (!Available()) return false;
  if (fileA.empty() || fileB.empty()) {
    prompt_.Inform(platform::kPromptCaption, "无效或错误的媒体文件!");
    return false;
  }
  session_.PipMediaFileA = fileA;
  session_.PipMediaFileB = fileB;
  // File A is the main file: its facts size the picture.
  session_.CurrentMediaFile = fileA;
  return session_.OpenPip();
}

void PipSession::AfterOpen() {
  StreamA = 0;
  StreamB = 1;
  ApplyStoredPipPosition();
  mixer_.SetAlpha(StreamA, kAlphaA);
  mixer_.SetAlpha(StreamB, kAlphaB);
}

engine::NormalisedRect PipSession::SmallRect() const { return mixer_.OutputRect(StreamB); }

int PipSession::AlphaPercent(int stream) const {
  return static_cast<int>(mixer_.Alpha(stream) * 100.0f);
}

void PipSession::SetSmallRect(const engine::NormalisedRect& rect) {
  if (MixerPresent()) mixer_.SetOutputRect(StreamB, rect);
}

void PipSession::StoreFree(const engine::NormalisedRect& rect) {
  store_.WriteIntEnsured(kSection, "PositionType", kFreePosition);
  store_.WriteIntEnsured(kSection, "SmallLeft", Percent(rect.left));
  store_.WriteIntEnsured(kSection, "SmallTop", Percent(rect.top));
  store_.WriteIntEnsured(kSection, "SmallRight", Percent(rect.right));
  store_.WriteIntEnsured(kSection, "SmallBottom", Percent(rect.bottom));
}

// The small picture's stream also after a swap: a standard position moves the
// small picture, never the big one.
void PipSession::SetStandardPosition(int position) {
  if (!Available() || position < 1 || position > 5) return;
  SetSmallRect(StandardRect(position));
  store_.WriteIntEnsured(kSection, "SmallPosition", position);
  store_.WriteIntEnsured(kSection, "PositionType", kStandardPosition);
}

void PipSession::SetFreePosition(int left, int top, int right, int bottom) {
  if (!Available()) return;
  SetSmallRect({left / 100.0f, top / 100.0f, right / 100.0f, bottom / 100.0f});
  store_.WriteIntEnsured(kSection, "SmallLeft", left);
  store_.WriteIntEnsured(kSection, "SmallTop", top);
  store_.WriteIntEnsured(kSection, "SmallRight", right);
  store_.WriteIntEnsured(kSection, "SmallBottom", bottom);
}

void PipSession::ApplyStoredPipPosition() {
  if (!Available()) return;
  const int type = store_.ReadInt(kSection, "PositionType");
  if (type == kStandardPosition) {
    SetStandardPosition(store_.ReadInt(kSection, "SmallPosition"));
  } else if (type == kFreePosition) {
    const int left = store_.ReadInt(kSection, "SmallLeft");
    const int top = store_.ReadInt(kSection, "SmallTop");
    int right = store_.ReadInt(kSection, "SmallRight");
    int bottom = store_.ReadInt(kSection, "SmallBottom");
    // A picture as wide or tall as the whole area would hide the big one.
    if (right - left >= 100) right = left + 50;
    if (bottom - top >= 100) bottom = top + 50;
    SetFreePosition(left, top, right, bottom);
  }
}

void PipSession::MoveEdge(Edge edge, int position, int& last) {
  if (!Available()) return;
  const float delta = static_cast<float>(position - last) / 100.0f;
  last = position;
  if (!MixerPresent()) return;
  engine::NormalisedRect rect = SmallRect();
  switch (edge) {
    case Edge::Left: rect.left += delta; break;
    case Edge::Top: rect.top += delta; break;
    case Edge::Right: rect.right += delta; break;
    case Edge::Bottom: rect.bottom += delta; break;
  }
  SetSmallRect(rect);
  StoreFree(rect);
}

void PipSession::SetPipAlpha(int stream, int percent) {
  if (MixerPresent()) mixer_.SetAlpha(stream, static_cast<float>(percent) / 100.0f);
}

void PipSession::SwapPictures() {
  if (!MixerPresent()) return;
  const engine::NormalisedRect first = mixer_.OutputRect(0), second = mixer_.OutputRect(1);
  mixer_.SetOutputRect(0, second);
  mixer_.SetOutputRect(1, first);
  std::swap(StreamA, StreamB);
}

void PipSession::FlipUpDown() {
  if (!MixerPresent()) return;
  engine::NormalisedRect r = SmallRect();
  std::swap(r.top, r.bottom);
  SetSmallRect(r);
  StoreFree(r);
}

void PipSession::FlipLeftRight() {
  if (!MixerPresent()) return;
  engine::NormalisedRect r = SmallRect();
  std::swap(r.left, r.right);
  SetSmallRect(r);
  StoreFree(r);
}

void PipSession::FlipBoth() {
  if (!MixerPresent()) return;
  engine::NormalisedRect r = SmallRect();
  std::swap(r.left, r.right);
  std::swap(r.top, r.bottom);
  SetSmallRect(r);
  StoreFree(r);
}

void PipSession::ResetFlip() {
  if (!MixerPresent()) return;
  engine::NormalisedRect r = SmallRect();
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  SetSmallRect(r);
  StoreFree(r);
}

void PipSession::DetectReverseType() {
  const engine::NormalisedRect r = SmallRect();
  if (r.right > r.left && r.bottom > r.top)
    ReverseType = kNoReverse;
  else if (r.left > r.right && r.bottom > r.top)
    ReverseType = kLeftRight;
  else if (r.top > r.bottom && r.right > r.left)
    ReverseType = kUpDown;
  else if (r.left > r.right && r.top > r.bottom)
    ReverseType = kBoth;
}

Cursor PipSession::MouseDown(int x, int y, Cursor shown) {
  lastX_ = x;
  lastY_ = y;
  moved_ = false;
  const engine::NormalisedRect r = SmallRect();
  pressWidth_ = r.right - r.left;
  pressHeight_ = r.bottom - r.top;
  skipMove_ = true;
  return shown == Cursor::Hand ? Cursor::SizeAll : shown;
}

std::optional<Cursor> PipSession::MouseMove(int x, int y, bool leftHeld, engine::Size client) {
  if (!MixerPresent()) return std::nullopt;
  // The press itself may come back as a move; it moves nothing.
  if (skipMove_) {
    skipMove_ = false;
    if (x == lastX_ && y == lastY_) return std::nullopt;
  }
  DetectReverseType();
  engine::NormalisedRect r = SmallRect();
  const engine::PixelRect d = mixer_.GetVideoPosition();
  const int w = d.Width(), h = d.Height();
  if (w <= 0 || h <= 0) return std::nullopt;
  const int offX = (client.width - w) / 2, offY = (client.height - h) / 2;
  const int pl = static_cast<int>(r.left * w) + offX, pr = static_cast<int>(r.right * w) + offX;
  const int pt = static_cast<int>(r.top * h) + offY, pb = static_cast<int>(r.bottom * h) + offY;
  // The visual edges, and the rectangle coordinate that lies on each.
  const bool mirrorX = pl > pr, mirrorY = pt > pb;
  const int left = mirrorX ? pr : pl, right = mirrorX ? pl : pr;
  const int top = mirrorY ? pb : pt, bottom = mirrorY ? pt : pb;
  float& leftC = mirrorX ? r.right : r.left;
  float& rightC = mirrorX ? r.left : r.right;
  float& topC = mirrorY ? r.bottom : r.top;
  float& bottomC = mirrorY ? r.top : r.bottom;
  const float dx = static_cast<float>(x - lastX_) / w, dy = static_cast<float>(y - lastY_) / h;
  const bool inY = y > top + 1 && y < bottom - 1, inX = x > left + 1 && x < right - 1;
  const bool roomLeft = left > offX, roomRight = right < w + offX;
  const bool roomTop = top > offY, roomBottom = bottom < h + offY;

  Cursor cursor = Cursor::Default;
  if (std::abs(x - left) <= kBand && inY && roomLeft) {
    cursor = Cursor::SizeWE;
    if (leftHeld) leftC += dx;
  } else if (std::abs(x - right) <= kBand && inY && roomRight) {
    cursor = Cursor::SizeWE;
    if (leftHeld) rightC += dx;
  } else if (x > left - kBand && x <= left && y > top - kBand && y <= top && roomLeft && roomTop) {
    cursor = Cursor::SizeNWSE;
    if (leftHeld) leftC += dx, topC += dy;
  } else if (x >= right - kBand && x < right + kBand && y >= bottom - kBand && y < bottom + kBand &&
             roomRight && roomBottom) {
    cursor = Cursor::SizeNWSE;
    if (leftHeld) rightC += dx, bottomC += dy;
  } else if (x >= right && x < right + kBand && y >= top - kBand && y < top && roomTop && roomRight) {
    cursor = Cursor::SizeNESW;
    if (leftHeld) rightC += dx, topC += dy;
  } else if (x > left - kBand && x <= left && y >= bottom && y < bottom + kBand && roomLeft &&
             roomBottom) {
    cursor = Cursor::SizeNESW;
    if (leftHeld) leftC += dx, bottomC += dy;
  } else if (std::abs(y - top) <= kBand && inX && roomTop) {
    cursor = Cursor::SizeNS;
    if (leftHeld) topC += dy;
  } else if (std::abs(y - bottom) <= kBand && inX && roomBottom) {
    cursor = Cursor::SizeNS;
    if (leftHeld) bottomC += dy;
  } else if (x > left + kBand && x < right - kBand && y > top + kBand && y < bottom - kBand) {
    cursor = leftHeld ? Cursor::SizeAll : Cursor::Hand;
    if (leftHeld) {
      // Moved whole: the size taken at the press stays, mirrored or not.
      r.left += dx;
      r.top += dy;
      r.right = r.left + pressWidth_;
      r.bottom = r.top + pressHeight_;
    }
  }
  moved_ = true;
  SetSmallRect(r);
  if (leftHeld) StoreFree(r);
  lastX_ = x;
  lastY_ = y;
  return cursor;
}

bool PipSession::MouseUp() {
  skipMove_ = false;
  if (!moved_) return false;
  moved_ = false;
  return true;
}

bool PipSession::ReloadLastPip(int memoryLastPos, std::int64_t resumeSeconds) {
  const auto stored = [this](const char* key) {
    std::string path = store_.ReadText(kSection, key);
    return path == settings::kValueNoFind ? std::string() : path;
  };
  const std::string a = stored("pipMediaFileA"), b = stored("pipMediaFileB");
  session_.PipMediaFileA = a;
  session_.PipMediaFileB = b;
  playList_.Replace({a, b});
  playList_.PlayListIndex = 0;
  session_.PlayRate = 1.0;
  if (!OpenPip(a, b)) return false;
  // Closed at its very end, the pair starts again from the beginning.
  if (resumeSeconds == engine::UnitsToSeconds(session_.MediaLength)) resumeSeconds = 0;
  if (memoryLastPos == 1 && resumeSeconds > 0) session_.SeekSeconds(resumeSeconds);
  return true;
}

}  // namespace pip
