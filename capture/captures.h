#pragma once
// The captured frames: grabbing them from the open media, the list the capture
// page shows, and saving, deleting and emptying it. Widget-free: the page and
// the dialogs reach the user through the callbacks and platform::Prompt.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/prompt.h"
#include "settings/settings_store.h"

namespace engine {
class Session;
}

namespace capture {

inline constexpr const char* kCannotCapture = "无法截屏!";
inline constexpr const char* kSavedSuffix = " 保存成功!";
inline constexpr const char* kFailedSuffix = " 保存失败!";
inline constexpr const char* kAllSaved = "图片保存成功!";
inline constexpr const char* kSomeNotSaved = "以下图片保存失败:";
inline constexpr const char* kAskSaveAtClose = "截取的图片没有保存,是否保存?";
inline constexpr const char* kPictureFilter = "Bmp Files(*.bmp)|*.bmp|Jpg Files(*.jpg)|*.jpg";

// Where frames come from: a detector of its own, pointed at one file at a time.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // Points the source at the file; true with the size of its first video stream.
  virtual bool Open(const std::string& file, int* width, int* height) = 0;
  // The frame at the time, scaled to width x height, as a 24-bit bitmap file.
  virtual bool WriteBitmapBits(double seconds, int width, int height, const std::string& path) = 0;
};

// The media detector as a frame source.
std::unique_ptr<FrameSource> MakeDetectorFrameSource();

struct Capture {
  std::string targetPath;  // capture folder + name + ".bmp"
  std::string bitmap;      // the frame as a bitmap file, held until the player closes
  bool saved = false;      // written by some save, under whatever name
};

class Captures {
 public:
  struct Parts {
    engine::Session* session = nullptr;
    FrameSource* source = nullptr;
    platform::Prompt* prompt = nullptr;
    const settings::SettingsStore* store = nullptr;
    std::string tempFolder;  // the player's Temp folder, with its separator
    // Runs a job that may take a while and returns its result; the window keeps
    // painting and shows the wait cursor meanwhile. Null: the job runs as is.
    std::function<bool(const std::function<bool()>&)> runBusy;
    // The wait cursor around saves, which run on the GUI thread.
    std::function<void(bool)> showBusy;
  };
  explicit Captures(Parts parts) : parts_(std::move(parts)) {}

  // The command and the button: one capture for a media file, one of each file
  // for picture in picture, nothing for other types. Returns how many were added.
  int CaptureFrame();
  // Writes the frame at the given time to the scratch file; the target path,
  // or empty on failure (reported for media files only).
  std::string GrabFrame(const std::string& file, double seconds, bool pictureInPicture);

  const std::vector<Capture>& Items() const { return items_; }
  // Adds a capture of the scratch file's picture; false when it cannot be read.
  bool Add(const std::string& targetPath);
  bool SaveCapture(int index);
  void SaveAllCaptures();
  void DeleteCapture(int index);
  void EmptyCaptures();
  // False when the user asked to save and a capture could not be written: the
  // player then stays open so the capture is not lost.
  bool SaveUnsavedAtClose();

  std::string Folder() const;
  std::string ScratchPath() const { return Folder() + "OrvaneCatch.bmp"; }

  // A capture was added (its index) or removed (its former index, -1 for all).
  std::function<void(int)> onAdded, onRemoved;

 private:
  // Writes the capture under the name with the type; the name shown, or empty.
  std::string WriteCapture(Capture& capture, std::string name, const std::string& type);
  // Saves the captures by index under the names; reports the result once.
  bool SaveMany(const std::vector<std::pair<int, std::string>>& targets, const std::string& type);
  void Busy(bool on) const {
    if (parts_.showBusy) parts_.showBusy(on);
  }

  Parts parts_;
  std::vector<Capture> items_;
};

}  // namespace capture
