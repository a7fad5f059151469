#pragma once
// The mixing renderer's state: two input streams, each with an alpha and a
// normalised output rectangle, drawn inside a destination rectangle of the
// video panel. Frames come from streaming threads through a latest-frame slot;
// the window draws them on the GUI thread.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace engine {

// Left > right or top > bottom mirrors the picture on that axis.
struct NormalisedRect {
  float left = 0, top = 0, right = 1, bottom = 1;
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// One decoded picture in 32-bit B, G, R, x order; `keep` owns the memory.
struct VideoFrame {
  int width = 0, height = 0, stride = 0;
  const unsigned char* data = nullptr;
  std::shared_ptr<void> keep;
  std::uint32_t handle = 0;  // of picture memory (below); 0 for any other memory
};

// Memory for the pictures a graph scales for the window, given by the window
// so that it can hand a picture to the display as it is. Allocations are few
// (a handful per picture size) and may come from any thread.
class PictureMemory {
 public:
  virtual ~PictureMemory() = default;
  // `bytes` of memory aligned to 64 bytes and its handle (not 0); null when
  // there is none to give: the graph then takes the heap.
  virtual unsigned char* Allocate(std::size_t bytes, std::uint32_t* handle) = 0;
  virtual void Free(unsigned char* memory, std::uint32_t handle) = 0;
};
// For graphs made from now on and pictures they make; null: the heap.
void SetPictureMemory(std::shared_ptr<PictureMemory> memory);
std::shared_ptr<PictureMemory> CurrentPictureMemory();

class FrameSlot {
 public:
  void Put(std::shared_ptr<const VideoFrame> frame);
  std::shared_ptr<const VideoFrame> Latest() const;
  void Clear();
  std::uint64_t Count() const { return count_.load(); }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<const VideoFrame> latest_;
  std::atomic<std::uint64_t> count_{0};
};

class VideoMixer {
 public:
  static constexpr int kStreams = 2;

  // Back to one opaque full-size stream per input, no frames, no position.
  void Reset();
  void SetAlpha(int stream, float alpha);
  float Alpha(int stream) const;
  void SetOutputRect(int stream, const NormalisedRect& rect);
  NormalisedRect OutputRect(int stream) const;
  void SetVideoPosition(const PixelRect& destination);
  PixelRect GetVideoPosition() const;
  std::uint32_t BorderColor() const { return borderColor_.load(); }
  void SetBorderColor(std::uint32_t rgb) { borderColor_ = rgb; }

  FrameSlot& Slot(int stream) { return slots_[Index(stream)]; }
  const FrameSlot& Slot(int stream) const { return slots_[Index(stream)]; }

  // Called on a streaming thread after a frame arrives, and after an alpha or
  // an output rectangle changes; it must only post work to the GUI thread.
  // Set before any graph runs, cleared only once none runs.
  void SetFrameListener(std::function<void()> listener) { listener_ = std::move(listener); }
  void Deliver(int stream, std::shared_ptr<const VideoFrame> frame);

 private:
  static int Index(int stream) { return stream <= 0 ? 0 : kStreams - 1; }
  mutable std::mutex mutex_;
  float alpha_[kStreams] = {1, 1};
  NormalisedRect rect_[kStreams];
  PixelRect destination_;
  std::atomic<std::uint32_t> borderColor_{0};
  FrameSlot slots_[kStreams];
  std::function<void()> listener_;
};

}  // namespace engine
