#pragma once
// Zeltpack: zlib compression of in-memory byte streams, for the stored history.
// Both calls return 0 on success and a negative status on any failure; the
// destination is then left empty.
#include <cstdint>
#include <vector>

namespace zeltpack {

using ByteStream = std::vector<std::uint8_t>;

// level: zlib's 0..9 (the player passes 3).
std::int32_t MyCompression(const ByteStream& source, ByteStream& destination, int level);
// An empty source gives an empty destination.
std::int32_t MyDeCompression(const ByteStream& source, ByteStream& destination);

}  // namespace zeltpack
