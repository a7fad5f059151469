#pragma once
// Uncompressed BMP files: the frames the detector writes and the captures read back.
#include <string>
#include <vector>

namespace engine {

// A 24-bit bottom-up BMP of rows given top-down in B, G, R order.
// Written through a temporary file so a failure never leaves half a picture.
bool WriteBitmap24(const std::string& path, int width, int height, const unsigned char* bgr,
                   int stride);

// A picture with rows top-down in R, G, B order, as the JPEG encoder takes them.
struct RgbPicture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
};

// Decodes a 24- or 32-bit uncompressed BMP, bottom-up or top-down. False for
// any other kind, or bytes that end before the rows their header promises.
bool DecodeBitmap(const std::string& bytes, RgbPicture& out);

}  // namespace engine
