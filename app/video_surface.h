#pragma once
// The video panel and the two mixing-renderer surfaces that draw into it.
#include <QLabel>
#include <QOpenGLWidget>
#include <QWidget>
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "engine/video_mixer.h"

class QPainter;

namespace app {

// Video_P: a black panel that reports its resizes and exposures.
class VideoPanel : public QWidget {
  Q_OBJECT
 public:
  explicit VideoPanel(QWidget* parent);
  std::function<void()> onResize;
  // Asks the sink to draw again; false when no sink draws in the panel.
  std::function<bool()> onExpose;
  // Mouse moves (panel coordinates), left clicks and double clicks over the video.
  std::function<void(QPoint)> onMouseMove;
  std::function<void()> onClick;
  std::function<void()> onDoubleClick;
  // For the sink's own window: Qt must not paint over what the sink draws.
  void MakeNativeForSink();
  // The mixing renderer's surface, kept covering the whole panel.
  void SetSurface(QWidget* surface) { surface_ = surface; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  QPaintEngine* paintEngine() const override;

 private:
  bool native_ = false;
  bool afterDoubleClick_ = false;
  QWidget* surface_ = nullptr;
};

// mp3Info_L: lines of a field name, two tabs and a value. The two tab stops
// put every value in one column just right of the widest name; a value wider
// than the label is given is cut short with an ellipsis.
class TagLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TagLabel(QWidget* parent);
  // Where the first and the second tab of a line end, in pixels from the left.
  std::array<qreal, 2> TabStops() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return {0, 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Draws both mixer streams at their rectangles and alphas inside the
// destination rectangle, on the border colour, clipped to `area`.
void PaintMixer(QPainter& painter, const engine::VideoMixer& mixer, const QRect& area);

// Kind 1007: the mixer drawn with QPainter on the raster engine.
// A new frame that is one opaque picture at its drawn size, in memory the
// display shares, goes to the display straight (no copy into the toolkit's
// picture of the window, no repaint of it); anything else is repainted.
class PainterVideoSurface : public QWidget {
  Q_OBJECT
 public:
  PainterVideoSurface(engine::VideoMixer& mixer, QWidget* panel);
  // For a new frame, or a changed alpha or rectangle.
  void ShowNow();
  // The latest frame straight to the display, when it can go there (see above).
  bool PutLatest();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  engine::VideoMixer& mixer_;
};

// Kind 1009: the mixer drawn with OpenGL.
class GlVideoSurface : public QOpenGLWidget {
  Q_OBJECT
 public:
  GlVideoSurface(engine::VideoMixer& mixer, QWidget* panel);

 protected:
  void paintGL() override;

 private:
  engine::VideoMixer& mixer_;
};

// Which OpenGL renderer the display gives, asked of `program` (OrvaneGlProbe)
// in a child process, so that this process maps no OpenGL driver for the
// question. Started early, it works while the player starts up.
class OpenGlProbe {
 public:
  static constexpr int kLimitMs = 5000;  // from Start to the answer
  explicit OpenGlProbe(std::string program);
  ~OpenGlProbe();
  OpenGlProbe(const OpenGlProbe&) = delete;
  OpenGlProbe& operator=(const OpenGlProbe&) = delete;
  // Runs the program, once; without a QApplication too.
  void Start();
  // Its renderer string, started if need be; empty when it cannot run, fails
  // or gives no answer within the limit.
  std::string Renderer();
  // A child still running is killed; no answer comes any more.
  void Stop();

 private:
  std::string program_;
  bool started_ = false;
  int pid_ = -1, output_ = -1;
  std::chrono::steady_clock::time_point deadline_;
  std::string answer_;
};

// Whether a hardware OpenGL context can be had on this display (never on the
// offscreen platform, where the OpenGL surface cannot be shown). A software
// rasteriser counts only with ORVANE_ALLOW_SOFTWARE_GL set or 1009 forced.
bool OpenGlAvailable(OpenGlProbe& probe);
bool OpenGlAvailable(const std::string& probeProgram);
// OrvaneGlProbe in the program folder.
std::string GlProbeProgram(const std::string& programDirectory);

// Makes a surface for the renderer kind over the whole panel, wires the
// mixer's frame notice to a coalesced repaint, and returns it (null for 1000).
QWidget* CreateVideoSurface(int rendererKind, engine::VideoMixer& mixer, VideoPanel* panel);

}  // namespace app
