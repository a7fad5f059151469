#include "companion/zeltpack/zeltpack.h"

#include <zlib.h>

#include <limits>

namespace zeltpack {

namespace {
constexpr std::int32_t kFailed = -1;
constexpr size_t kChunk = 64 * 1024;
// Past this a crafted stream is taken as a bomb rather than a history list.
constexpr size_t kMaxOutput = size_t(1) << 31;
}  // namespace

std::int32_t MyCompression(const ByteStream& source, ByteStream& destination, int level) {
  destination.clear();
  if (level < Z_DEFAULT_COMPRESSION || level > Z_BEST_COMPRESSION) return kFailed;
  if (source.size() > std::numeric_limits<uLong>::max()) return kFailed;
  uLongf size = compressBound(static_cast<uLong>(source.size()));
  destination.resize(size);
  if (compress2(destination.data(), &size, source.data(), static_cast<uLong>(source.size()), level) != Z_OK) {
    destination.clear();
    return kFailed;
  }
  destination.resize(size);
  return 0;
}

std::int32_t MyDeCompression(const ByteStream& source, ByteStream& destination) {
  destination.clear();
  if (source.empty()) return 0;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return kFailed;
  stream.next_in = const_cast<Bytef*>(source.data());
  stream.avail_in = static_cast<uInt>(std::min<size_t>(source.size(), std::numeric_limits<uInt>::max()));
  size_t consumed = 0;
  int status = Z_OK;
  while (status == Z_OK) {
    const size_t have = destination.size();
    if (have >= kMaxOutput) break;
    destination.resize(have + kChunk);
    stream.next_out = destination.data() + have;
    stream.avail_out = static_cast<uInt>(kChunk);
    if (stream.avail_in == 0 && consumed < source.size()) {
      stream.next_in = const_cast<Bytef*>(source.data() + consumed);
      stream.avail_in = static_cast<uInt>(std::min<size_t>(source.size() - consumed, std::numeric_limits<uInt>::max()));
    }
    const uInt before = stream.avail_in;
    status = inflate(&stream, Z_NO_FLUSH);
    consumed += before - stream.avail_in;
    destination.resize(have + (kChunk - stream.avail_out));
    // No progress with input left over means the stream is cut short.
    if (status == Z_BUF_ERROR) break;
  }
  inflateEnd(&stream);
  if (status != Z_STREAM_END) {
    destination.clear();
    return kFailed;
  }
  return 0;
}

}  // namespace zeltpack
