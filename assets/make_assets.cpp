// Draws the pictures the program folder needs: the program icon and the
// default skin's placeholder pictures (the full skin is drawn later).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

QImage Logo(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(182, 126, 24));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
  QPainterPath triangle;
  triangle.moveTo(size * 0.38, size * 0.28);
  triangle.lineTo(size * 0.38, size * 0.72);
  triangle.lineTo(size * 0.74, size * 0.5);
  triangle.closeSubpath();
  p.setBrush(QColor(24, 24, 28));
  p.drawPath(triangle);
  return image;
}

bool Save(const QImage& image, const QString& path, const char* format) {
  if (image.save(path, format)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) return 2;
  QDir root(QString::fromLocal8Bit(argv[1]));
  bool ok = Save(Logo(16), root.filePath("Image/logo_s.ico"), "ICO") &&
            Save(Logo(32), root.filePath("Image/logo_m.ico"), "ICO");
  QImage face(16, 16, QImage::Format_RGB32);
  face.fill(QColor(32, 32, 36));
  ok = ok && Save(face, root.filePath("Skin/Default/Placeholder.bmp"), "BMP");
  return ok ? 0 : 1;
}
