#pragma once
// Capture files on disk: the capture folder, the random twelve-digit names,
// the scratch file, and bitmaps turned into JPEG files.
#include <string>

namespace capture {

inline constexpr const char* kScratchName = "OrvaneCatch";
inline constexpr const char* kBitmapType = ".bmp";
inline constexpr const char* kJpegType = ".jpg";

// Twelve random decimal digits, drawn from a generator seeded from the clock.
std::string MakeCaptureName();

// The folder captures go to, with a trailing separator: the stored path, or the
// Temp folder when the stored one is empty, missing or relative (a relative
// folder would follow the working folder, which is nobody's choice).
std::string CaptureFolder(const std::string& stored, const std::string& tempFolder);

// Whether the file name (not its folder) has an extension.
bool HasExtension(const std::string& path);
// The name with its final extension replaced by ".jpg", or ".jpg" added.
std::string JpegNameFor(const std::string& path);
bool SameTypeName(const std::string& type, const char* wanted);  // letter case ignored

// Loads a 24- or 32-bit uncompressed bitmap and writes it as a JPEG file with
// the encoder's default settings. The JPEG path may be the bitmap's own: the
// picture is read whole before anything is written, and the JPEG replaces its
// path in one rename. False, with the JPEG path as it was, when either side fails.
bool ConvertToJpeg(const std::string& bmpPath, const std::string& jpegPath);

}  // namespace capture
