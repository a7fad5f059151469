#pragma once
// The media detector: facts about a file's streams without playing it, and
// single frames written as 24-bit bitmaps (frame capture).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace engine {

enum class StreamType { Video, Audio, Other };

struct DetectedStream {
  StreamType type = StreamType::Other;
  double frameRate = 0;      // frames per second, video streams only
  double lengthSeconds = 0;  // length of the stream (the file's when unknown)
  int width = 0, height = 0; // display size (pixel aspect applied), video streams only
};

// What the session reads about a file before showing it; tests may script it.
class MediaFacts {
 public:
  virtual ~MediaFacts() = default;
  virtual bool put_Filename(const std::string& path) = 0;
  virtual int OutputStreams() const = 0;
  virtual const DetectedStream& Stream(int i) const = 0;
};

// One stream as a prerolled graph negotiated it: sizes in stored pixels with
// their aspect, the frame rate as a fraction.
struct NegotiatedStream {
  StreamType type = StreamType::Other;
  int width = 0, height = 0;
  unsigned parN = 1, parD = 1, rateN = 0, rateD = 1;
};

// A graph that has just prerolled a file knows its streams; asking it spares
// a second pipeline with its own decoders beside the graph's.
class PrerolledFacts {
 public:
  virtual ~PrerolledFacts() = default;
  // The streams of the file at `path` and its duration in nanoseconds; false
  // when another file is held or the graph cannot tell every fact the
  // detector gives (a still picture, an unknown rate or length).
  virtual bool NegotiatedStreams(const std::string& path, std::vector<NegotiatedStream>* streams,
                                 std::uint64_t* durationNs) const = 0;
};

class MediaDetector final : public MediaFacts {
 public:
  MediaDetector();
  ~MediaDetector() override;
  MediaDetector(const MediaDetector&) = delete;
  MediaDetector& operator=(const MediaDetector&) = delete;

  // The graph whose file it may answer for; files it does not hold are read here.
  void AnswerFrom(const PrerolledFacts* graph) { graph_ = graph; }
  // Reads the file's streams; false (and no streams) when it cannot be read.
  bool put_Filename(const std::string& path) override;
  int OutputStreams() const override;
  // Stream i of OutputStreams(); i must be in range.
  const DetectedStream& Stream(int i) const override;

  // Decodes the frame at the given time of the file set by put_Filename,
  // scales it to width x height and writes it as a 24-bit BMP file.
  bool WriteBitmapBits(double seconds, int width, int height, const std::string& bmpPath);

 private:
  const PrerolledFacts* graph_ = nullptr;
  std::string path_;
  std::vector<DetectedStream> streams_;
  bool stillImage_ = false;  // a picture has no timeline to seek in
};

}  // namespace engine
