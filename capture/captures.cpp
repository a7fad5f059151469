#include "capture/captures.h"

#include <sys/stat.h>

#include <cstdio>

#include "capture/picture_files.h"
#include "engine/media_detector.h"
#include "engine/session.h"
#include "platform/safe_file.h"

namespace capture {

namespace {

class DetectorFrameSource final : public FrameSource {
 public:
  bool Open(const std::string& file, int* width, int* height) override {
    if (!detector_.put_Filename(file)) return false;
    for (int i = 0; i < detector_.OutputStreams(); ++i) {
      const engine::DetectedStream& s = detector_.Stream(i);
      if (s.type != engine::StreamType::Video) continue;
      if (s.width <= 0 || s.height <= 0) return false;
      *width = s.width;
      *height = s.height;
      return true;
    }
    return false;
  }
  bool WriteBitmapBits(double seconds, int width, int height, const std::string& path) override {
    return detector_.WriteBitmapBits(seconds, width, height, path);
  }

 private:
  engine::MediaDetector detector_;
};

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::unique_ptr<FrameSource> MakeDetectorFrameSource() {
  return std::make_unique<DetectorFrameSource>();
}

std::string Captures::Folder() const {
  std::string stored = parts_.store->ReadText("File", "CaptureImagePath");
  if (stored == settings::kValueNoFind) stored.clear();
  return CaptureFolder(stored, parts_.tempFolder);
}

int Captures::CaptureFrame() {
  engine::Session& session = *parts_.session;
  const int type = session.PlayType;
  if (type != engine::kPlayMedia && type != engine::kPlayPip) return 0;
  const bool pip = type == engine::kPlayPip;
  std::int64_t position = 0;
  if (!session.IsPlaying || !parts_.source || !session.CapturePosition(&position)) {
    if (!pip) parts_.prompt->Inform(platform::kPromptCaption, kCannotCapture);
    return 0;
  }
  // The frame is taken from a pipeline of its own; the picture stands still
  // only while it is taken, and what was paused stays paused.
  const bool wasRunning = !session.IsPaused;
  if (wasRunning) session.PauseSession();
  session.CapturePosition(&position);
  const double seconds = static_cast<double>(position) / 10000000.0;
  std::vector<std::string> files;
  if (pip) {
    auto [a, b] = session.PipCaptureFiles();
    files = {a, b};
  } else {
    files = {session.CurrentMediaFile};
  }
  int added = 0;
  for (const std::string& file : files) {
    const std::string target = GrabFrame(file, seconds, pip);
    // The scratch file is read at once: the next grab writes over it.
    if (!target.empty() && Add(target)) ++added;
  }
  if (wasRunning && session.IsPlaying && session.IsPaused) session.ResumeSession();
  return added;
}

std::string Captures::GrabFrame(const std::string& file, double seconds, bool pictureInPicture) {
  const std::string folder = Folder();
  // A Temp folder removed since start-up is made again; deeper folders are the user's.
  ::mkdir(folder.c_str(), 0755);
  const std::string target = folder + MakeCaptureName() + kBitmapType;
  const std::string scratch = ScratchPath();
  FrameSource& source = *parts_.source;
  auto job = [&source, &file, seconds, &scratch] {
    int width = 0, height = 0;
    if (file.empty() || !source.Open(file, &width, &height)) return false;
    return source.WriteBitmapBits(seconds, width, height, scratch);
  };
  const bool ok = parts_.runBusy ? parts_.runBusy(job) : job();
  if (!ok) {
    if (!pictureInPicture) parts_.prompt->Inform(platform::kPromptCaption, kCannotCapture);
    return {};
  }
  return target;
}

bool Captures::Add(const std::string& targetPath) {
  std::optional<std::string> bitmap = platform::ReadWholeFile(ScratchPath());
  if (!bitmap || bitmap->empty()) return false;
  items_.push_back({targetPath, std::move(*bitmap), false});
  if (onAdded) onAdded(static_cast<int>(items_.size()) - 1);
  return true;
}

std::string Captures::WriteCapture(Capture& capture, std::string name, const std::string& type) {
  if (!HasExtension(name)) name += kBitmapType;
  if (!platform::WriteFileAtomically(name, capture.bitmap)) return {};
  if (!SameTypeName(type, kJpegType)) {
    capture.saved = true;
    return name;
  }
  // Only the final extension changes, and the bitmap goes only once a JPEG
  // stands beside it under another name.
  const std::string jpeg = JpegNameFor(name);
  if (!ConvertToJpeg(name, jpeg)) {
    if (jpeg != name) std::remove(name.c_str());
    return {};
  }
  if (jpeg != name) std::remove(name.c_str());
  capture.saved = true;
  return jpeg;
}

bool Captures::SaveCapture(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return false;
  Capture& capture = items_[static_cast<size_t>(index)];
  if (capture.targetPath.empty()) return false;
  const int ask = parts_.store->ReadInt("File", "AskSaveOption");
  std::string type = parts_.store->ReadText("File", "DefaultImageType");
  std::string name = capture.targetPath;
  if (ask == 1) {
    int filter = 0;
    name = parts_.prompt->SaveFileOfType("", parts_.tempFolder, capture.targetPath, kPictureFilter,
                                         &filter);
    if (name.empty()) return false;
    type = filter == 2 ? kJpegType : kBitmapType;
  }
  const std::string shown = WriteCapture(capture, name, type);
  if (shown.empty()) {
    parts_.prompt->Inform(platform::kPromptCaption,
                          (HasExtension(name) ? name : name + kBitmapType) + kFailedSuffix,
                          platform::Prompt::Icon::Error);
    return false;
  }
  parts_.prompt->Inform(platform::kPromptCaption, shown + kSavedSuffix);
  return true;
}

void Captures::SaveAllCaptures() {
  const settings::SettingsStore& store = *parts_.store;
  const int ask = store.ReadInt("File", "AskSaveOption");
  std::string type = store.ReadText("File", "DefaultImageType");
  std::vector<std::pair<int, std::string>> targets;
  for (size_t i = 0; i < items_.size(); ++i)
    if (!items_[i].targetPath.empty()) targets.emplace_back(static_cast<int>(i), items_[i].targetPath);
  if (ask == 1) {
    platform::SaveOptions options;
    options.language = 2;
    options.folder = store.ReadText("File", "CaptureImagePath");
    if (options.folder == settings::kValueNoFind) options.folder.clear();
    options.type = SameTypeName(type, kJpegType) ? kJpegType : kBitmapType;
    options.dontAsk = false;
    options.saveAsDefault = [&store](const std::string& folder, const std::string& chosen) {
      store.Write("File", "CaptureImagePath", folder);
      store.Write("File", "DefaultImageType", chosen);
    };
    options.dontAskChanged = [&store](bool dontAsk) {
      store.WriteInt("File", "AskSaveOption", dontAsk ? 0 : 1);
    };
    std::string folder;
    type.clear();
    if (!parts_.prompt->ChooseSaveOption(options, &folder, &type) || folder.empty() || type.empty())
      return;
    // The chosen folder always ends in a separator, so files land inside it.
    folder = CaptureFolder(folder, parts_.tempFolder);
    for (auto& [index, name] : targets) name = folder + FileNameOf(name);
  }
  SaveMany(targets, type);
}

bool Captures::SaveMany(const std::vector<std::pair<int, std::string>>& targets,
                        const std::string& type) {
  Busy(true);
  std::string failed;
  for (const auto& [index, name] : targets) {
    if (WriteCapture(items_[static_cast<size_t>(index)], name, type).empty())
      failed += "\n" + (HasExtension(name) ? name : name + kBitmapType);
  }
  Busy(false);
  if (failed.empty()) {
    parts_.prompt->Inform(platform::kPromptCaption, kAllSaved);
    return true;
  }
  parts_.prompt->Inform(platform::kPromptCaption, kSomeNotSaved + failed,
                        platform::Prompt::Icon::Error);
  return false;
}

void Captures::DeleteCapture(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  items_.erase(items_.begin() + index);
  if (onRemoved) onRemoved(index);
}

void Captures::EmptyCaptures() {
  items_.clear();
  if (onRemoved) onRemoved(-1);
}

bool Captures::SaveUnsavedAtClose() {
  std::vector<std::pair<int, std::string>> unsaved;
  for (size_t i = 0; i < items_.size(); ++i)
    if (!items_[i].saved) unsaved.emplace_back(static_cast<int>(i), items_[i].targetPath);
  if (unsaved.empty()) return true;
  if (!parts_.prompt->Ask(platform::kPromptCaption, kAskSaveAtClose)) return true;
  return SaveMany(unsaved, parts_.store->ReadText("File", "DefaultImageType"));
}

}  // namespace capture
