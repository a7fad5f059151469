#include "engine/bitmap_file.h"

#include <cstdint>

#include "platform/safe_file.h"

namespace engine {

namespace {

void PutU16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xff));
  out.push_back(static_cast<char>((v >> 8) & 0xff));
}

void PutU32(std::string& out, uint32_t v) {
  PutU16(out, v & 0xffff);
  PutU16(out, v >> 16);
}

uint32_t U32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               static_cast<unsigned char>(b[at + 1]) << 8);
}

}  // namespace

bool WriteBitmap24(const std::string& path, int width, int height, const unsigned char* bgr,
                   int stride) {
  if (path.empty() || !bgr || width <= 0 || height <= 0) return false;
  const uint64_t rowBytes = static_cast<uint64_t>(width) * 3;
  if (static_cast<int64_t>(stride) < static_cast<int64_t>(rowBytes)) return false;
  const uint64_t paddedRow = (rowBytes + 3) & ~uint64_t{3};
  const uint64_t imageSize = paddedRow * static_cast<uint64_t>(height);
  constexpr uint32_t kHeaders = 14 + 40;
  if (imageSize + kHeaders > UINT32_MAX) return false;

  std::string out;
  out.reserve(kHeaders + imageSize);
  // BITMAPFILEHEADER
  out += "BM";
  PutU32(out, static_cast<uint32_t>(kHeaders + imageSize));
  PutU16(out, 0);
  PutU16(out, 0);
  PutU32(out, kHeaders);
  // BITMAPINFOHEADER; a positive height means the rows are stored bottom-up.
  PutU32(out, 40);
  PutU32(out, static_cast<uint32_t>(width));
  PutU32(out, static_cast<uint32_t>(height));
  PutU16(out, 1);   // planes
  PutU16(out, 24);  // bits per pixel
  PutU32(out, 0);   // BI_RGB
  PutU32(out, static_cast<uint32_t>(imageSize));
  PutU32(out, 2835);  // 72 dpi
  PutU32(out, 2835);
  PutU32(out, 0);
  PutU32(out, 0);

  const std::string padding(paddedRow - rowBytes, '\0');
  for (int y = height - 1; y >= 0; --y) {
    const unsigned char* row = bgr + static_cast<size_t>(y) * static_cast<size_t>(stride);
    out.append(reinterpret_cast<const char*>(row), rowBytes);
    out += padding;
  }
  return platform::WriteFileAtomically(path, out);
}

bool DecodeBitmap(const std::string& b, RgbPicture& out) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return false;
  const uint32_t offset = U32(b, 10);
  const uint32_t infoSize = U32(b, 14);
  if (infoSize < 40) return false;
  const int32_t width = static_cast<int32_t>(U32(b, 18));
  const int32_t rawHeight = static_cast<int32_t>(U32(b, 22));
  const uint16_t bits = U16(b, 28);
  const uint32_t compression = U32(b, 30);
  if ((bits != 24 && bits != 32) || compression != 0) return false;
  if (width <= 0 || width > 65500 || rawHeight == 0 || rawHeight < -65500 || rawHeight > 65500)
    return false;
  const bool bottomUp = rawHeight > 0;
  const int height = bottomUp ? rawHeight : -rawHeight;
  const uint64_t bytesPerPixel = bits / 8;
  const uint64_t stride = (static_cast<uint64_t>(width) * bytesPerPixel + 3) & ~uint64_t{3};
  if (offset < 54 || offset + stride * static_cast<uint64_t>(height) > b.size()) return false;
  out.width = width;
  out.height = height;
  out.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (int y = 0; y < height; ++y) {
    const int fileRow = bottomUp ? height - 1 - y : y;
    const size_t from = offset + static_cast<size_t>(fileRow) * stride;
    unsigned char* to = out.rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
    for (int x = 0; x < width; ++x) {
      const size_t px = from + static_cast<size_t>(x) * bytesPerPixel;
      to[3 * x] = static_cast<unsigned char>(b[px + 2]);
      to[3 * x + 1] = static_cast<unsigned char>(b[px + 1]);
      to[3 * x + 2] = static_cast<unsigned char>(b[px]);
    }
  }
  return true;
}

}  // namespace engine
