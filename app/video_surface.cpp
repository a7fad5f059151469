#include "app/video_surface.h"

#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QScreen>
#include <QTextLayout>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "engine/media_engines.h"
#include "platform/x11_window.h"
#include "platform/program_folders.h"

extern char** environ;

namespace app {

namespace {

// Set ORVANE_TRACE_FIRST_FRAME to have the first drawn frame's time printed
// (CLOCK_MONOTONIC, for the playback benchmark).
void TraceFirstFrame() {
  static bool done = false;
  if (done || !std::getenv("ORVANE_TRACE_FIRST_FRAME")) return;
  done = true;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(stderr, "first-frame %lld\n",
               static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}

// The display's shared memory, for the pictures a graph scales for the window.
class DisplayPictureMemory final : public engine::PictureMemory {
 public:
  unsigned char* Allocate(std::size_t bytes, std::uint32_t* handle) override {
    return platform::AttachSharedPicture(bytes, handle);
  }
  void Free(unsigned char* memory, std::uint32_t handle) override {
    platform::DetachSharedPicture(memory, handle);
  }
};

bool SoftwareRasteriser(const QString& rendererName) {
  const QString name = rendererName.toLower();
  return name.contains("llvmpipe") || name.contains("softpipe") || name.contains("software") ||
         name.contains("swrast");
}

}  // namespace

VideoPanel::VideoPanel(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setMouseTracking(true);
}

void VideoPanel::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (onMouseMove) onMouseMove(event->position().toPoint());
}

void VideoPanel::mousePressEvent(QMouseEvent* event) {
  // Taken, so the release comes here too.
  if (event->button() == Qt::LeftButton) return event->accept();
  QWidget::mousePressEvent(event);
}

void VideoPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  // The release that ends a double click is no second click.
  const bool click = rect().contains(event->position().toPoint()) && !afterDoubleClick_;
  afterDoubleClick_ = false;
  if (click && onClick) onClick();
}

void VideoPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  afterDoubleClick_ = true;
  if (onDoubleClick) onDoubleClick();
}

void VideoPanel::MakeNativeForSink() {
  native_ = true;
  setAutoFillBackground(false);
  setAttribute(Qt::WA_NativeWindow);
  setAttribute(Qt::WA_PaintOnScreen);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_OpaquePaintEvent);
  winId();
}

QPaintEngine* VideoPanel::paintEngine() const {
  return native_ ? nullptr : QWidget::paintEngine();
}

void VideoPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (surface_) surface_->setGeometry(rect());
  if (onResize) onResize();
}

void VideoPanel::paintEvent(QPaintEvent* event) {
  if (!native_) QWidget::paintEvent(event);
  const bool drawn = onExpose && onExpose();
  if (!native_ || drawn) return;
  // Qt paints nothing in the sink's window: without a sink the panel is
  // black, around the children (the logo) that Qt draws there itself.
  QRegion black = event->region();
  for (QObject* object : children())
    if (auto* child = qobject_cast<QWidget*>(object); child && child->isVisible())
      black -= child->geometry();
  for (const QRect& part : black) platform::FillNativeWindow(this, part, qRgb(0, 0, 0));
}

namespace {
// One line of the tag text laid out with the label's tab stops.
struct TagLine {
  std::unique_ptr<QTextLayout> layout;
  qreal width = 0, height = 0;
};

TagLine LayOutTagLine(const QString& text, const QFont& font, const std::array<qreal, 2>& stops) {
  TagLine line;
  line.layout = std::make_unique<QTextLayout>(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabArray({stops[0], stops[1]});
  line.layout->setTextOption(option);
  line.layout->beginLayout();
  QTextLine l = line.layout->createLine();
  if (l.isValid()) {
    l.setLineWidth(1e6);
    l.setPosition(QPointF(0, 0));
    line.width = l.naturalTextWidth();
    line.height = l.height();
  }
  line.layout->endLayout();
  if (line.height <= 0) line.height = QFontMetricsF(font).lineSpacing();
  return line;
}
}  // namespace

TagLabel::TagLabel(QWidget* parent) : QLabel(parent) {}

std::array<qreal, 2> TagLabel::TabStops() const {
  const QFontMetricsF metrics(font());
  qreal widest = 0;
  for (const QString& line : text().split('\n')) {
    const qsizetype tab = line.indexOf('\t');
    if (tab >= 0) widest = std::max(widest, metrics.horizontalAdvance(line.left(tab)));
  }
  // Half a line's height after the widest name, then the values' column.
  const qreal gap = metrics.height() / 2;
  return {std::ceil(widest + gap), std::ceil(widest + 2 * gap)};
}

QSize TagLabel::sizeHint() const {
  if (text().isEmpty()) return {0, 0};
  const std::array<qreal, 2> stops = TabStops();
  qreal width = 0, height = 0;
  for (const QString& text : text().split('\n')) {
    const TagLine line = LayOutTagLine(text, font(), stops);
    width = std::max(width, line.width);
    height += line.height;
  }
  return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

void TagLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  const std::array<qreal, 2> stops = TabStops();
  const QFontMetricsF metrics(font());
  qreal y = 0;
  for (QString text : this->text().split('\n')) {
    const qsizetype tab = text.lastIndexOf('\t');
    const qreal room = width() - (tab >= 0 ? stops[1] : 0);
    const QString value = text.mid(tab + 1);
    const QString shown = room > 0 ? metrics.elidedText(value, Qt::ElideRight, room) : QString();
    text = text.left(tab + 1) + shown;
    const TagLine line = LayOutTagLine(text, font(), stops);
    line.layout->draw(&painter, QPointF(0, y));
    y += line.height;
  }
}

void PaintMixer(QPainter& painter, const engine::VideoMixer& mixer, const QRect& area) {
  painter.setClipRect(area);
  const QColor border = QColor::fromRgb(mixer.BorderColor());
  engine::PixelRect d = mixer.GetVideoPosition();
  if (d.Width() <= 0 || d.Height() <= 0) {
    painter.fillRect(area, border);
    return;
  }
  std::shared_ptr<const engine::VideoFrame> frames[engine::VideoMixer::kStreams];
  QRectF targets[engine::VideoMixer::kStreams];
  for (int stream = 0; stream < engine::VideoMixer::kStreams; ++stream) {
    std::shared_ptr<const engine::VideoFrame> frame = mixer.Slot(stream).Latest();
    if (!frame || !frame->data || frame->width <= 0 || frame->height <= 0) continue;
    engine::NormalisedRect r = mixer.OutputRect(stream);
    double x0 = d.left + r.left * d.Width(), x1 = d.left + r.right * d.Width();
    double y0 = d.top + r.top * d.Height(), y1 = d.top + r.bottom * d.Height();
    targets[stream] = QRectF(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0));
    frames[stream] = std::move(frame);
  }
  // The background only where no opaque first picture covers it whole pixels:
  // filling the picture's area too cost as much as drawing the picture.
  QRegion background(area);
  if (frames[0] && !targets[0].isEmpty() && mixer.Alpha(0) >= 1.0) {
    const QRectF& t = targets[0];
    const QPoint inner0(static_cast<int>(std::ceil(t.left())), static_cast<int>(std::ceil(t.top())));
    const QPoint inner1(static_cast<int>(std::floor(t.right())), static_cast<int>(std::floor(t.bottom())));
    if (inner1.x() > inner0.x() && inner1.y() > inner0.y())
      background -= QRect(inner0, QPoint(inner1.x() - 1, inner1.y() - 1));
  }
  for (const QRect& part : background) painter.fillRect(part, border);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  bool drew = false;
  for (int stream = 0; stream < engine::VideoMixer::kStreams; ++stream) {
    const std::shared_ptr<const engine::VideoFrame>& frame = frames[stream];
    const QRectF& target = targets[stream];
    if (!frame || target.isEmpty()) continue;
    // Wraps the decoder's memory: `frame` keeps it alive while we draw.
    QImage image(frame->data, frame->width, frame->height, frame->stride, QImage::Format_RGB32);
    const engine::NormalisedRect r = mixer.OutputRect(stream);
    const bool flipX = r.left > r.right, flipY = r.top > r.bottom;
    painter.save();
    painter.setOpacity(mixer.Alpha(stream));
    if (flipX || flipY) {
      QTransform mirror;
      mirror.translate(target.center().x(), target.center().y());
      mirror.scale(flipX ? -1 : 1, flipY ? -1 : 1);
      mirror.translate(-target.center().x(), -target.center().y());
      painter.setTransform(mirror, true);
    }
    painter.drawImage(target, image);
    painter.restore();
    drew = true;
  }
  if (drew) TraceFirstFrame();
}

PainterVideoSurface::PainterVideoSurface(engine::VideoMixer& mixer, QWidget* panel)
    : QWidget(panel), mixer_(mixer) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PainterVideoSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintMixer(painter, mixer_, rect());
}

void PainterVideoSurface::ShowNow() {
  if (!PutLatest()) update();
}

bool PainterVideoSurface::PutLatest() {
  if (mixer_.Slot(1).Latest()) return false;  // two pictures: the painter blends them
  const std::shared_ptr<const engine::VideoFrame> frame = mixer_.Slot(0).Latest();
  if (!frame || !frame->handle || mixer_.Alpha(0) < 1.0f) return false;
  const engine::NormalisedRect r = mixer_.OutputRect(0);
  if (r.left != 0 || r.top != 0 || r.right != 1 || r.bottom != 1) return false;  // a part, or mirrored
  const engine::PixelRect d = mixer_.GetVideoPosition();
  if (d.Width() != frame->width || d.Height() != frame->height) return false;  // not scaled for it yet
  const QRect target(d.left, d.top, d.Width(), d.Height());
  // A widget over the picture (they are few) would be drawn over.
  if (QWidget* panel = parentWidget()) {
    const QRect inPanel = target.translated(pos());
    for (QObject* child : panel->children()) {
      auto* widget = qobject_cast<QWidget*>(child);
      if (widget && widget != this && widget->isVisible() && widget->geometry().intersects(inPanel))
        return false;
    }
  }
  if (!platform::PutSharedPicture(this, frame->handle, QSize(frame->width, frame->height), frame->stride,
                                  target.topLeft()))
    return false;
  TraceFirstFrame();
  return true;
}

GlVideoSurface::GlVideoSurface(engine::VideoMixer& mixer, QWidget* panel)
    : QOpenGLWidget(panel), mixer_(mixer) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GlVideoSurface::paintGL() {
  QPainter painter(this);
  PaintMixer(painter, mixer_, rect());
}

OpenGlProbe::OpenGlProbe(std::string program) : program_(std::move(program)) {}

OpenGlProbe::~OpenGlProbe() { Stop(); }

void OpenGlProbe::Start() {
  if (started_) return;
  started_ = true;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  char* argv[] = {program_.data(), nullptr};
  deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLimitMs);
  if (::posix_spawn(&pid_, program_.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (pid_ > 0)
    output_ = fds[0];
  else
    ::close(fds[0]);
}

std::string OpenGlProbe::Renderer() {
  Start();
  if (pid_ <= 0) return answer_;
  auto left = [this] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now())
        .count();
  };
  std::string text;
  while (output_ >= 0) {
    if (left() <= 0 || text.size() > 4096) return Stop(), answer_;
    pollfd p{output_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left()));
    if (ready < 0 && errno != EINTR) return Stop(), answer_;
    if (ready <= 0) continue;
    char buffer[512];
    const ssize_t n = ::read(output_, buffer, sizeof buffer);
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
    } else if (n == 0) {
      ::close(output_);
      output_ = -1;
    } else if (errno != EINTR) {
      return Stop(), answer_;
    }
  }
  // The output has ended; a child that then hangs (a driver's teardown) counts as failed.
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if ((done < 0 && errno != EINTR) || left() <= 0) return Stop(), answer_;
    ::usleep(2000);
  }
  pid_ = -1;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    answer_ = text;
  }
  return answer_;
}

void OpenGlProbe::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
  if (output_ >= 0) ::close(output_);
  output_ = -1;
}

bool OpenGlAvailable(OpenGlProbe& probe) {
  QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") return probe.Stop(), false;
  // On a screen of fewer than 24 bits the toolkit's OpenGL widgets are
  // composed as black: the raster engine draws there.
  if (const QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->depth() < 24)
    return probe.Stop(), false;
  const QString renderer = QString::fromLocal8Bit(probe.Renderer());
  if (renderer.isEmpty()) return false;
  // A software rasteriser draws on the CPU, slower than the raster engine.
  return !SoftwareRasteriser(renderer) || qEnvironmentVariableIsSet("ORVANE_ALLOW_SOFTWARE_GL") ||
         qgetenv("ORVANE_RENDERER") == "1009";
}

bool OpenGlAvailable(const std::string& probeProgram) {
  OpenGlProbe probe(probeProgram);
  return OpenGlAvailable(probe);
}

std::string GlProbeProgram(const std::string& programDirectory) {
  return platform::EnsureTrailingSeparator(programDirectory) + "OrvaneGlProbe";
}

QWidget* CreateVideoSurface(int rendererKind, engine::VideoMixer& mixer, VideoPanel* panel) {
  QWidget* surface = nullptr;
  if (rendererKind == engine::kRendererMixer9)
    surface = new GlVideoSurface(mixer, panel);
  else if (rendererKind == engine::kRendererMixer7)
    surface = new PainterVideoSurface(mixer, panel);
  if (!surface) {
    panel->MakeNativeForSink();
    return nullptr;
  }
  surface->setObjectName("VideoSurface");
  surface->setGeometry(panel->rect());
  surface->lower();
  // Frames arrive on streaming threads: post one repaint at a time.
  auto pending = std::make_shared<std::atomic<bool>>(false);
  // The graph is released before the surface goes, so `surface` outlives every
  // call; a repaint posted just before it goes is dropped with it.
  auto* painted = qobject_cast<PainterVideoSurface*>(surface);
  if (painted) engine::SetPictureMemory(std::make_shared<DisplayPictureMemory>());
  mixer.SetFrameListener([pending, surface, painted] {
    if (pending->exchange(true)) return;
    QMetaObject::invokeMethod(
        surface,
        [pending, surface, painted] {
          pending->store(false);
          if (painted)
            painted->ShowNow();
          else
            surface->update();
        },
        Qt::QueuedConnection);
  });
  panel->SetSurface(surface);
  return surface;
}

}  // namespace app
