#include "capture/picture_files.h"

#include <jpeglib.h>

#include <chrono>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <random>

#include "engine/bitmap_file.h"
#include "platform/safe_file.h"

namespace capture {

namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

bool EncodeJpeg(const engine::RgbPicture& picture, std::string& out) {
  jpeg_compress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.mgr);
  error.mgr.error_exit = OnJpegError;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(picture.width);
  info.image_height = static_cast<JDIMENSION>(picture.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(picture.rgb.data()) +
                   static_cast<size_t>(info.next_scanline) * static_cast<size_t>(picture.width) * 3;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  out.assign(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return true;
}

size_t NameStart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string MakeCaptureName() {
  static std::mt19937 generator;
  generator.seed(static_cast<std::mt19937::result_type>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<int> digit(0, 9);
  std::string name;
  for (int i = 0; i < 12; ++i) name.push_back(static_cast<char>('0' + digit(generator)));
  return name;
}

std::string CaptureFolder(const std::string& stored, const std::string& tempFolder) {
  std::string folder = !stored.empty() && stored.front() == '/' ? stored : tempFolder;
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool HasExtension(const std::string& path) {
  const size_t start = NameStart(path);
  const size_t dot = path.find_last_of('.');
  return dot != std::string::npos && dot > start && dot + 1 < path.size();
}

std::string JpegNameFor(const std::string& path) {
  const size_t start = NameStart(path);
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot <= start) return path + kJpegType;
  return path.substr(0, dot) + kJpegType;
}

bool SameTypeName(const std::string& type, const char* wanted) {
  const std::string w(wanted);
  if (type.size() != w.size()) return false;
  for (size_t i = 0; i < w.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(type[i])) != std::tolower(static_cast<unsigned char>(w[i])))
      return false;
  return true;
}

bool ConvertToJpeg(const std::string& bmpPath, const std::string& jpegPath) {
  const std::optional<std::string> bytes = platform::ReadWholeFile(bmpPath);
  if (!bytes) return false;
  engine::RgbPicture picture;
  if (!engine::DecodeBitmap(*bytes, picture)) return false;
  std::string jpeg;
  if (!EncodeJpeg(picture, jpeg)) return false;
  return platform::WriteFileAtomically(jpegPath, jpeg);
}

}  // namespace capture
