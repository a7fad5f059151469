#include "engine/video_mixer.h"

#include <algorithm>

namespace engine {

namespace {
std::mutex pictureMemoryMutex;
std::shared_ptr<PictureMemory> pictureMemory;
}  // namespace

void SetPictureMemory(std::shared_ptr<PictureMemory> memory) {
  std::lock_guard<std::mutex> lock(pictureMemoryMutex);
  pictureMemory = std::move(memory);
}

std::shared_ptr<PictureMemory> CurrentPictureMemory() {
  std::lock_guard<std::mutex> lock(pictureMemoryMutex);
  return pictureMemory;
}

void FrameSlot::Put(std::shared_ptr<const VideoFrame> frame) {
  std::shared_ptr<const VideoFrame> old;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    old.swap(latest_);
    latest_ = std::move(frame);
  }
  ++count_;
  // `old` is released outside the lock: freeing a buffer may take a while.
}

std::shared_ptr<const VideoFrame> FrameSlot::Latest() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return latest_;
}

void FrameSlot::Clear() {
  std::shared_ptr<const VideoFrame> old;
  std::lock_guard<std::mutex> lock(mutex_);
  old.swap(latest_);
}

void VideoMixer::Reset() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = 0; i < kStreams; ++i) {
      alpha_[i] = 1;
      rect_[i] = NormalisedRect{};
    }
    destination_ = PixelRect{};
  }
  borderColor_ = 0;
  for (FrameSlot& slot : slots_) slot.Clear();
}

void VideoMixer::SetAlpha(int stream, float alpha) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    alpha_[Index(stream)] = std::clamp(alpha, 0.0f, 1.0f);
  }
  // A paused picture gets no new frame to show the change with.
  if (listener_) listener_();
}

float VideoMixer::Alpha(int stream) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return alpha_[Index(stream)];
}

void VideoMixer::SetOutputRect(int stream, const NormalisedRect& rect) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    rect_[Index(stream)] = rect;
  }
  if (listener_) listener_();
}

NormalisedRect VideoMixer::OutputRect(int stream) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return rect_[Index(stream)];
}

void VideoMixer::SetVideoPosition(const PixelRect& destination) {
  std::lock_guard<std::mutex> lock(mutex_);
  destination_ = destination;
}

PixelRect VideoMixer::GetVideoPosition() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return destination_;
}

void VideoMixer::Deliver(int stream, std::shared_ptr<const VideoFrame> frame) {
  Slot(stream).Put(std::move(frame));
  if (listener_) listener_();
}

}  // namespace engine
