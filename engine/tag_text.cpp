#include "engine/tag_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/media_path.h"

namespace engine {

namespace {

constexpr std::streamoff kTagSize = 128;

bool ValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t extra;
    unsigned code;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c < 0xE0) {
      extra = 1, code = c & 0x1F;
    } else if (c >= 0xE0 && c < 0xF0) {
      extra = 2, code = c & 0x0F;
    } else if (c >= 0xF0 && c < 0xF5) {
      extra = 3, code = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= s.size()) return false;  // cut off at the end
    for (size_t k = 1; k <= extra; ++k) {
      const auto n = static_cast<unsigned char>(s[i + k]);
      if ((n & 0xC0) != 0x80) return false;
      code = (code << 6) | (n & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not text.
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

// GB18030 to UTF-8, false on any invalid sequence. A character the 30-byte
// field cut in half is dropped.
bool FromGb18030(const std::string& in, std::string& out) {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string source = in;
  char* from = source.data();
  size_t left = source.size();
  std::string result(source.size() * 4 + 4, '\0');
  char* to = result.data();
  size_t room = result.size();
  bool ok = true;
  while (left > 0) {
    if (iconv(cd, &from, &left, &to, &room) != static_cast<size_t>(-1)) continue;
    ok = errno == EINVAL;  // an incomplete character at the end
    break;
  }
  iconv_close(cd);
  if (!ok) return false;
  result.resize(result.size() - room);
  out = result;
  return true;
}

std::string FieldAt(const char* record, int offset, int size) {
  const char* start = record + offset;
  const void* zero = std::memchr(start, 0, static_cast<size_t>(size));
  const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - start)
                             : static_cast<size_t>(size);
  return DecodeTagField(std::string(start, length));
}

}  // namespace

std::string DecodeTagField(const std::string& bytes) {
  if (ValidUtf8(bytes)) return bytes;
  std::string text;
  if (FromGb18030(bytes, text)) return text;
  text.clear();
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

Id3v1Tag ReadId3v1Tag(const std::string& path) {
  Id3v1Tag tag;
  // Opening a named pipe would block until a writer came: only regular files.
  if (!platform::IsRegularFile(path)) return tag;
  std::ifstream file(path, std::ios::binary);
  if (!file) return tag;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size < kTagSize) return tag;
  char record[kTagSize];
  file.seekg(size - kTagSize);
  if (!file.read(record, kTagSize)) return tag;
  if (std::memcmp(record, "TAG", 3) != 0) {
    tag.comment = "没有相关信息";
    return tag;
  }
  tag.title = FieldAt(record, 3, 30);
  tag.artist = FieldAt(record, 33, 30);
  tag.album = FieldAt(record, 63, 30);
  tag.year = FieldAt(record, 93, 4);
  tag.comment = FieldAt(record, 97, 30);
  return tag;
}

std::string BuildTagText(const std::string& path) {
  const Id3v1Tag tag = ReadId3v1Tag(path);
  return "标  题\t\t" + tag.title + "\r艺术家\t\t" + tag.artist + "\r专  辑\t\t" + tag.album +
         "\r发行年\t\t" + tag.year + "\r评  论\t\t" + tag.comment;
}

}  // namespace engine
