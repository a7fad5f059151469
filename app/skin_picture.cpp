#include "app/skin_picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <algorithm>
#include <csetjmp>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace app {

namespace {
// The entry of dir whose name equals part without regard to case, or empty.
QString MatchEntry(const QDir& dir, const QString& part) {
  if (QFileInfo::exists(dir.filePath(part))) return part;
  for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
    if (entry.compare(part, Qt::CaseInsensitive) == 0) return entry;
  return {};
}

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void QuietJpegMessage(j_common_ptr) {}
}  // namespace

QString FindSkinFile(const QString& folder, const QString& name) {
  const QString exact = QDir(folder).filePath(name);
  if (QFileInfo::exists(exact)) return exact;
  // Walk from the root so a folder spelled otherwise ("skin/default") is found too.
  const QString full = QDir::cleanPath(exact);
  const bool absolute = full.startsWith('/');
  QDir dir(absolute ? "/" : ".");
  const QStringList parts = full.split('/', Qt::SkipEmptyParts);
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QString match = MatchEntry(dir, parts[i]);
    if (match.isEmpty()) return {};
    if (i + 1 == parts.size()) return dir.filePath(match);
    if (!dir.cd(match)) return {};
  }
  return {};
}

namespace {
// Only plain values live in this frame, so the error jump leaves nothing half-destroyed.
bool DecodeJpeg(const QByteArray& bytes, std::vector<unsigned char>& pixels, int& width,
                int& height) {
  jpeg_decompress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  error.manager.output_message = QuietJpegMessage;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  // Skin pictures are small; anything huge is not one.
  if (info.output_width == 0 || info.output_height == 0 || info.output_width > 16384 ||
      info.output_height > 16384 || info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  width = static_cast<int>(info.output_width);
  height = static_cast<int>(info.output_height);
  pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels.data() + static_cast<size_t>(info.output_scanline) * width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}
}  // namespace

QImage DecodeJpegFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  if (bytes.isEmpty()) return {};
  std::vector<unsigned char> pixels;
  int width = 0, height = 0;
  if (!DecodeJpeg(bytes, pixels, width, height)) return {};
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    std::copy_n(pixels.data() + static_cast<size_t>(y) * width * 3, width * 3, image.scanLine(y));
  return image;
}

QImage ReadSkinPicture(const QString& path) {
  if (path.isEmpty()) return {};
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "jpg" || suffix == "jpeg") return DecodeJpegFile(path);
  return QImage(path);
}

}  // namespace app
