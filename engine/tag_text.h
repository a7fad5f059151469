#pragma once
// The ID3 version 1 tag at the end of an audio file, as the text shown
// beside the spectrum.
#include <string>

namespace engine {

struct Id3v1Tag {
  std::string title, artist, album, year, comment;  // UTF-8
};

// Empty fields when the file cannot be read; the comment "没有相关信息"
// when the file has no tag.
Id3v1Tag ReadId3v1Tag(const std::string& path);
// One tag field: UTF-8 when it is valid UTF-8, else GB18030, else Latin-1.
std::string DecodeTagField(const std::string& bytes);
// "标  题\t\t<title>\r艺术家\t\t<artist>\r..." with CR between the lines.
std::string BuildTagText(const std::string& path);

}  // namespace engine
