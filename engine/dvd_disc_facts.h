#pragma once
// What a DVD-Video disc or folder says about itself, read with libdvdread
// and libdvdnav: titles, chapters, times, the picture, languages and angles.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/dvd_engine.h"

namespace engine {

class DvdDisc {
 public:
  // Opens the disc; null with the reason when it is none we can play.
  static std::unique_ptr<DvdDisc> Open(const std::string& path, DvdGraph::OpenFailure* failure);
  ~DvdDisc();
  DvdDisc(const DvdDisc&) = delete;
  DvdDisc& operator=(const DvdDisc&) = delete;

  int Titles() const;
  int Chapters(int title) const;  // -1: no such title
  int Angles(int title) const;
  bool Seconds(int title, std::int64_t* seconds) const;
  // Where each chapter of the title starts, in ms from the title's start;
  // false when the chapters do not all lie in the title's first program chain.
  bool ChapterStarts(int title, std::vector<std::int64_t>* starts) const;
  bool Attributes(int title, DvdVideoAttributes* attributes) const;
  int AudioStreams(int title) const;
  bool AudioLanguage(int title, int stream, std::string* code) const;
  int SubpictureStreams(int title) const;
  bool SubpictureLanguage(int title, int stream, std::string* code) const;

 private:
  struct Handles;
  explicit DvdDisc(std::unique_ptr<Handles> handles);
  std::unique_ptr<Handles> h_;
};

// True when the first packs of the title's video carry scrambled packets
// (CSS): without libdvdcss they cannot be read.
bool ScrambledPacks(const unsigned char* sectors, int count);

}  // namespace engine
