#pragma once
// The DVD engine: a graph on a disc or a DVD-Video folder with the navigator's
// commands and the disc's facts. It is a MediaGraph too, so the volume, the
// channel and the picture's place go through the same calls as a file's;
// positions there are the current title's, in 100-ns units.
#include <cstdint>
#include <string>

#include "engine/media_engines.h"

namespace engine {

// Where the navigator is, as the session reads it.
enum DvdDomain {
  kDvdDomainNone = 0,
  kDvdDomainFirstPlay = 1,
  kDvdDomainVideoManagerMenu = 2,
  kDvdDomainVideoTitleSetMenu = 3,
  kDvdDomainTitle = 4,
  kDvdDomainStop = 5,
};

// The disc's own menus, by the number the menu items stand for.
enum DvdMenu {
  kDvdMenuTitle = 2,
  kDvdMenuRoot = 3,
  kDvdMenuSubpicture = 4,
  kDvdMenuAudio = 5,
  kDvdMenuAngle = 6,
  kDvdMenuChapter = 7,
};

// Display aspect of a title as the disc declares it.
struct DvdVideoAttributes {
  int sourceWidth = 0, sourceHeight = 0;
  bool wide = false;  // 16:9, else 4:3
};

class DvdGraph : public MediaGraph {
 public:
  // Why the last open failed, for the one message the user sees.
  enum class OpenFailure { None, Unreadable, Encrypted };

  // RenderFile opens the disc or folder at the path (never a media file):
  // false, with nothing held, when it is no readable DVD-Video.
  virtual OpenFailure LastFailure() const = 0;

  // Facts. Counts are 0 and reads false when the disc does not say.
  virtual int Titles() = 0;
  // Chapters of a title; -1 when the title does not exist.
  virtual int Chapters(int title) = 0;
  virtual bool TitleAttributes(int title, DvdVideoAttributes* attributes) = 0;
  virtual bool TitleSeconds(int title, std::int64_t* seconds) = 0;
  virtual DvdDomain Domain() = 0;
  // The title and chapter playing and the whole seconds into the title.
  virtual bool Location(int* title, int* chapter, std::int64_t* seconds) = 0;
  // True (once) when a title's moving picture has stood still while playing:
  // the sound output stopped taking sound, and only a new graph mends that.
  virtual bool PlaybackStuck() { return false; }
  // Streams of the title playing; a language is an ISO 639 code ("" unknown).
  virtual int AudioStreams() = 0;
  virtual bool AudioLanguage(int stream, std::string* code) = 0;
  virtual int SubpictureStreams() = 0;
  virtual bool SubpictureLanguage(int stream, std::string* code) = 0;
  virtual int CurrentSubpicture() = 0;  // -1 when unknown
  virtual int Angles() = 0;             // of the title playing, 0 unknown
  // The size of the picture decoded now, which mouse points are given in.
  virtual bool PictureSize(int* width, int* height) = 0;
  // The menu button under a point in video coordinates, 0 for none.
  virtual int ButtonAt(int x, int y) = 0;

  // Commands; false when the navigator refuses.
  virtual bool PlayTitle(int title) = 0;
  virtual bool PlayChapterInTitle(int title, int chapter) = 0;
  virtual bool PlayPrevChapter() = 0;
  virtual bool PlayNextChapter() = 0;
  virtual bool ShowMenu(int menu) = 0;
  virtual bool PlayAtTime(std::int64_t seconds) = 0;
  virtual bool PlayForwards(double rate) = 0;
  virtual bool SelectButtonAt(int x, int y) = 0;
  virtual bool ActivateAtPosition(int x, int y) = 0;
  virtual bool SelectSubpictureStream(int stream) = 0;
  virtual bool SetSubpictureState(bool shown) = 0;
  virtual bool SelectAudioStream(int stream) = 0;
  virtual bool SelectAngle(int angle) = 0;
};

}  // namespace engine
