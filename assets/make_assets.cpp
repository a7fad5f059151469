// Draws the pictures of the program folder: the program icons and the whole
// default skin. Every button picture carries the exact crop of the panel it
// sits on (BMP has no alpha), so the pieces are drawn first and the buttons
// on top of crops of them.
//
//   orvane_assets <program folder> [--list skin_files.txt] [--preview <dir>]
//
// With --list the run fails, naming them, when listed pictures were not made.
// With --preview it also writes mock-ups of the window and a sheet of every
// button state into <dir>.
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include "skin_layout.h"

namespace {

using skin::Place;
namespace bar = skin::bar;
namespace title = skin::title;
namespace panel = skin::panel;

enum class State { kNormal, kHight, kEnter, kDisable };
constexpr const char* kStateWord[] = {"Normal", "Hight", "Enter", "Disable"};

QColor Q(skin::Colour c, int a = 255) { return QColor(c.r, c.g, c.b, a); }
QColor Mix(QColor a, QColor b, double t) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t);
}

// Palette of the dark theme.
const QColor kOutline(6, 6, 7);
const QColor kGlyph(206, 206, 212);
const QColor kGlyphDim(76, 76, 82);
const QColor kGlyphHot(250, 196, 92);
const QColor kHot = Q(skin::kHighlight);
const QColor kHotDeep(132, 88, 12);
const QColor kText(178, 178, 186);

QImage Blank(int w, int h, QColor fill = Qt::transparent) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

void Hints(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

// Fonts come from fixed files so that every build draws the same pixels.
QString g_family;
QFont Font(double px, int weight = QFont::Normal) {
  QFont f(g_family);
  f.setPixelSize(static_cast<int>(px));
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setHintingPreference(QFont::PreferVerticalHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  f.setKerning(true);
  return f;
}
void LoadFonts() {
  const char* files[] = {"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
                         "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"};
  for (const char* file : files) {
    int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    if (id < 0) continue;
    for (const QString& family : QFontDatabase::applicationFontFamilies(id))
      if (family == QLatin1String("Noto Sans CJK SC")) g_family = family;
  }
  if (g_family.isEmpty()) {
    std::fprintf(stderr, "Noto Sans CJK missing; captions fall back to DejaVu Sans\n");
    g_family = QStringLiteral("DejaVu Sans");
  }
}

// ---------------------------------------------------------------- shapes

QPainterPath Poly(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points)));
  path.closeSubpath();
  return path;
}
QPainterPath Line(std::initializer_list<QPointF> points) {
  QPainterPath path;
  bool first = true;
  for (QPointF pt : points) {
    if (first) path.moveTo(pt); else path.lineTo(pt);
    first = false;
  }
  return path;
}
QPainterPath Stroke(const QPainterPath& path, double width, Qt::PenCapStyle cap = Qt::RoundCap,
                    Qt::PenJoinStyle join = Qt::RoundJoin) {
  QPainterPathStroker s;
  s.setWidth(width);
  s.setCapStyle(cap);
  s.setJoinStyle(join);
  return s.createStroke(path).simplified();
}
QPainterPath Soft(const QPainterPath& path, double r = 0.9) { return path.united(Stroke(path, r)); }
QPainterPath Box(double x, double y, double w, double h, double r = 0) {
  QPainterPath path;
  if (r > 0) path.addRoundedRect(QRectF(x, y, w, h), r, r); else path.addRect(QRectF(x, y, w, h));
  return path;
}
QPainterPath Disc(double cx, double cy, double r) {
  QPainterPath path;
  path.addEllipse(QPointF(cx, cy), r, r);
  return path;
}
QPainterPath Arc(double cx, double cy, double r, double start, double sweep) {
  QPainterPath path;
  QRectF rect(cx - r, cy - r, 2 * r, 2 * r);
  path.arcMoveTo(rect, start);
  path.arcTo(rect, start, sweep);
  return path;
}
QPainterPath MirrorX(const QPainterPath& path) { return QTransform(-1, 0, 0, 1, 16, 0).map(path); }
QPainterPath Scaled(const QPainterPath& path, double s, double dx, double dy) {
  return QTransform(s, 0, 0, s, dx, dy).map(path);
}

// Glyphs on a 16 x 16 grid.
namespace glyph {
QPainterPath Play() { return Soft(Poly({{4.5, 2.5}, {13.5, 8}, {4.5, 13.5}})); }
QPainterPath Pause() { return Box(3.5, 2.5, 3.4, 11, 0.9).united(Box(9.1, 2.5, 3.4, 11, 0.9)); }
QPainterPath Stop() { return Box(3, 3, 10, 10, 1.6); }
QPainterPath Prev() { return Box(2.5, 3, 2.2, 10, 0.7).united(Soft(Poly({{13.5, 3.2}, {5.6, 8}, {13.5, 12.8}}))); }
QPainterPath Next() { return MirrorX(Prev()); }
QPainterPath Slower() {
  return Soft(Poly({{8, 3.6}, {1.2, 8}, {8, 12.4}})).united(Soft(Poly({{14.8, 3.6}, {8, 8}, {14.8, 12.4}})));
}
QPainterPath Faster() { return MirrorX(Slower()); }
QPainterPath Folder() {
  QPainterPath back = Soft(Poly({{1.5, 2.8}, {6, 2.8}, {7.6, 4.4}, {14.5, 4.4}, {14.5, 13.2}, {1.5, 13.2}}), 1.0);
  return back.subtracted(Stroke(Line({{0, 6.6}, {16, 6.6}}), 1.2, Qt::FlatCap));
}
QPainterPath Open() { return Soft(Poly({{8, 2.6}, {14, 9}, {2, 9}}), 0.8).united(Box(2, 11, 12, 2.4, 0.7)); }
QPainterPath Camera() {
  QPainterPath body = Box(1, 5, 14, 8.6, 1.8).united(Soft(Poly({{5, 5.4}, {6.2, 3}, {9.8, 3}, {11, 5.4}}), 0.8));
  return body.subtracted(Disc(8, 9.2, 3.5)).united(Disc(8, 9.2, 2.1)).subtracted(Disc(12.6, 7.1, 0.8));
}
QPainterPath List() {
  QPainterPath path;
  for (int i = 0; i < 3; ++i) {
    double y = 3.2 + i * 4.0;
    path = path.united(Box(1.5, y, 2.2, 2, 0.5)).united(Box(5.2, y, i == 2 ? 5.2 : 9.3, 2, 0.6));
  }
  return path.united(Soft(Poly({{11.6, 10.4}, {15, 12.2}, {11.6, 14}}), 0.6));
}
QPainterPath Full() {
  QPainterPath corners;
  corners.addPath(Line({{2.2, 6.2}, {2.2, 2.2}, {6.2, 2.2}}));
  corners.addPath(Line({{9.8, 2.2}, {13.8, 2.2}, {13.8, 6.2}}));
  corners.addPath(Line({{13.8, 9.8}, {13.8, 13.8}, {9.8, 13.8}}));
  corners.addPath(Line({{6.2, 13.8}, {2.2, 13.8}, {2.2, 9.8}}));
  return Stroke(corners, 1.9, Qt::FlatCap, Qt::MiterJoin).united(Box(5.6, 5.6, 4.8, 4.8, 0.8));
}
QPainterPath Gear() {
  QPainterPath gear = Disc(8, 8, 5.0);
  for (int i = 0; i < 8; ++i) {
    QTransform t;
    t.translate(8, 8);
    t.rotate(i * 45.0);
    gear = gear.united(t.map(Box(-1.35, -7.3, 2.7, 4, 0.6)));
  }
  return gear.subtracted(Disc(8, 8, 2.3));
}
QPainterPath Speaker(double dx) {
  return Soft(Poly({{1.5 + dx, 5.6}, {4.6 + dx, 5.6}, {8.6 + dx, 2.2}, {8.6 + dx, 13.8}, {4.6 + dx, 10.4}, {1.5 + dx, 10.4}}), 0.8);
}
QPainterPath Sound() {
  QPainterPath waves;
  waves.addPath(Arc(8.2, 8, 3.0, 48, -96));
  waves.addPath(Arc(8.2, 8, 5.9, 50, -100));
  return Speaker(-0.5).united(Stroke(waves, 1.5));
}
QPainterPath Mute() {
  return Speaker(-0.5).united(Stroke(Line({{10.4, 5.4}, {14.6, 10.6}}), 1.7)).united(Stroke(Line({{14.6, 5.4}, {10.4, 10.6}}), 1.7));
}
QPainterPath Min() { return Box(4, 9.6, 8, 1.9, 0.5); }
QPainterPath Max() { return Stroke(Box(4.6, 4.6, 6.8, 6.8), 1.2, Qt::FlatCap, Qt::MiterJoin).united(Box(4, 4, 8, 2.2)); }
QPainterPath Restore() {
  QPainterPath front = Stroke(Box(3.6, 6.6, 5.8, 5.8), 1.2, Qt::FlatCap, Qt::MiterJoin).united(Box(3, 6, 7, 2));
  QPainterPath back = Stroke(Box(6.6, 3.6, 5.8, 5.8), 1.2, Qt::FlatCap, Qt::MiterJoin).united(Box(6, 3, 7, 2));
  return front.united(back.subtracted(Box(2.2, 5.2, 8.6, 8.6)));
}
QPainterPath Cross(double a, double b, double w) {
  return Stroke(Line({{a, a}, {b, b}}), w).united(Stroke(Line({{b, a}, {a, b}}), w));
}
QPainterPath Plus() { return Box(6.9, 2.5, 2.2, 11, 0.6).united(Box(2.5, 6.9, 11, 2.2, 0.6)); }
QPainterPath Minus() { return Box(2.5, 6.9, 11, 2.2, 0.6); }
QPainterPath Trash() {
  QPainterPath lid = Box(2.5, 3.2, 11, 1.8, 0.6).united(Box(6.2, 1.6, 3.6, 2.2, 0.7).subtracted(Box(7.2, 2.6, 1.6, 1)));
  QPainterPath can = Soft(Poly({{3.8, 5.8}, {12.2, 5.8}, {11.4, 14.2}, {4.6, 14.2}}), 0.6);
  can = can.subtracted(Box(6.1, 7.4, 1.1, 5.2, 0.5)).subtracted(Box(8.8, 7.4, 1.1, 5.2, 0.5));
  return lid.united(can);
}
QPainterPath Floppy(double x, double y, double s) {
  QPainterPath body = Soft(Poly({{x, y}, {x + s * 0.78, y}, {x + s, y + s * 0.22}, {x + s, y + s}, {x, y + s}}), 0.8);
  body = body.subtracted(Box(x + s * 0.22, y - 1, s * 0.5, s * 0.36 + 1, 0.3)).united(Box(x + s * 0.52, y + s * 0.04, s * 0.13, s * 0.24));
  return body.subtracted(Box(x + s * 0.18, y + s * 0.56, s * 0.64, s * 0.3, 0.6));
}
QPainterPath Save() { return Floppy(2.5, 2.5, 11); }
QPainterPath SaveAll() {
  QPainterPath front = Floppy(1.5, 5, 9.5);
  QPainterPath back = Floppy(5.5, 1.5, 9.5).subtracted(Box(0.3, 3.8, 11.9, 11.9, 1));
  return front.united(back);
}
QPainterPath Note() {
  QPainterPath n = Disc(4.9, 12.2, 2.5).united(Disc(11.9, 10.7, 2.5));
  n = n.united(Box(6.2, 3.6, 1.4, 8.6)).united(Box(13.2, 2.1, 1.4, 8.6));
  return n.united(Poly({{6.2, 3.6}, {14.6, 1.6}, {14.6, 4.3}, {6.2, 6.3}}));
}
QPainterPath Film() {
  QPainterPath f = Box(1.5, 2.5, 13, 11, 1.2).subtracted(Box(4.2, 4.4, 7.6, 7.2, 0.6));
  for (int i = 0; i < 4; ++i) {
    double y = 3.5 + i * 2.5;
    f = f.subtracted(Box(2.4, y, 1.0, 1.3)).subtracted(Box(12.6, y, 1.0, 1.3));
  }
  return f.united(Soft(Poly({{6.9, 6.1}, {10, 8}, {6.9, 9.9}}), 0.4));
}
QPainterPath Disc16() {
  return Disc(8, 8, 6.8).subtracted(Disc(8, 8, 1.5)).subtracted(Stroke(Arc(8, 8, 3.2, 0, 360), 0.9))
      .subtracted(Stroke(Arc(8, 8, 5.2, 100, 60), 0.8));
}
QPainterPath Pip() {
  return Stroke(Box(1.8, 2.8, 12.4, 10.4, 1.2), 1.3).united(Box(7.6, 7.6, 5.2, 4.2, 0.7));
}
QPainterPath Globe() {
  QPainterPath g;
  g.addEllipse(QPointF(8, 8), 6, 6);
  g.addEllipse(QPointF(8, 8), 2.6, 6);
  g.addPath(Line({{2, 8}, {14, 8}}));
  g.addPath(Line({{3, 5}, {13, 5}}));
  g.addPath(Line({{3, 11}, {13, 11}}));
  return Stroke(g, 1.1);
}
QPainterPath Chevron(bool up) {
  QPainterPath c = Stroke(Line({{4.5, 10}, {8, 6.5}, {11.5, 10}}), 1.8, Qt::RoundCap, Qt::MiterJoin);
  return up ? c : QTransform(1, 0, 0, -1, 0, 16.5).map(c);
}
}  // namespace glyph

// Box blur of a premultiplied picture, used for glows.
QImage Blur(const QImage& src, int radius) {
  QImage img = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int w = img.width(), h = img.height(), n = 2 * radius + 1;
  for (int pass = 0; pass < 2; ++pass) {
    for (int axis = 0; axis < 2; ++axis) {
      QImage out(w, h, img.format());
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          int sum[4] = {0, 0, 0, 0};
          for (int k = -radius; k <= radius; ++k) {
            int sx = axis == 0 ? x + k : x, sy = axis == 0 ? y : y + k;
            if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
            QRgb c = img.pixel(sx, sy);
            sum[0] += qAlpha(c); sum[1] += qRed(c); sum[2] += qGreen(c); sum[3] += qBlue(c);
          }
          out.setPixel(x, y, qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n));
        }
      img = out;
    }
  }
  return img;
}

// Paints a 16-grid glyph into rect-sized picture at scale s, centred.
QPainterPath Fit(const QPainterPath& g16, int w, int h, double s, double dx = 0, double dy = 0) {
  return Scaled(g16, s, (w - 16 * s) / 2 + dx, (h - 16 * s) / 2 + dy);
}
void Glow(QPainter& p, const QPainterPath& shape, int w, int h, QColor colour, int radius, double strength) {
  QImage layer = Blank(w, h);
  {
    QPainter lp(&layer);
    Hints(lp);
    lp.fillPath(shape, colour);
  }
  p.save();
  p.setOpacity(strength);
  QImage blurred = Blur(layer, radius);
  p.drawImage(0, 0, blurred);
  p.drawImage(0, 0, blurred);
  p.restore();
}
void Emboss(QPainter& p, const QPainterPath& shape, QColor colour) {
  p.fillPath(shape.translated(0, 1), QColor(0, 0, 0, 150));
  p.fillPath(shape, colour);
}

// ---------------------------------------------------------------- backgrounds

QColor Lerp(QColor a, QColor b, int i, int n) { return Mix(a, b, n <= 1 ? 0 : double(i) / (n - 1)); }

QColor TitleRow(int y) {
  if (y == 0) return kOutline;
  if (y == 1) return QColor(78, 78, 86);
  if (y == title::kH - 1) return QColor(10, 10, 12);
  return Lerp(QColor(52, 52, 58), QColor(29, 29, 33), y - 2, title::kH - 3);
}
QColor BarRow(int y) {
  if (y == 0) return QColor(66, 66, 73);
  if (y == bar::kH - 1) return kOutline;
  return Lerp(QColor(44, 44, 49), QColor(21, 21, 24), y - 1, bar::kH - 2);
}
QColor ScreenRow(int y) {
  if (y == bar::kScreenTop) return QColor(3, 3, 4);
  if (y == bar::kScreenBottom - 1) return QColor(72, 72, 80);
  return Lerp(QColor(15, 15, 18), QColor(8, 8, 10), y - bar::kScreenTop - 1, bar::kScreenBottom - bar::kScreenTop - 2);
}
QColor EdgeCol(int x) {  // Frame_Left, outside to inside
  static const QColor c[] = {kOutline, QColor(62, 62, 69), QColor(44, 44, 49), QColor(38, 38, 43),
                             QColor(33, 33, 37), QColor(24, 24, 27), QColor(8, 8, 9)};
  return c[x];
}
QColor BottomRow(int y) {
  static const QColor c[] = {QColor(8, 8, 9), QColor(26, 26, 29), QColor(33, 33, 37), QColor(40, 40, 45)};
  return c[y];
}

QImage Rows(int w, int h, const std::function<QColor(int)>& row) {
  QImage img = Blank(w, h);
  QPainter p(&img);
  for (int y = 0; y < h; ++y) p.fillRect(0, y, w, 1, row(y));
  return img;
}

// A recessed rounded panel with a dark top edge and a light bottom bevel.
void Well(QPainter& p, QRectF r, double radius, QColor fillTop, QColor fillBottom) {
  QPainterPath shape;
  shape.addRoundedRect(r, radius, radius);
  p.fillPath(shape.translated(0, 1), QColor(255, 255, 255, 22));
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, fillTop);
  g.setColorAt(1, fillBottom);
  p.fillPath(shape, g);
  p.setPen(QPen(QColor(0, 0, 0, 150), 1));
  p.setBrush(Qt::NoBrush);
  QPainterPath top;
  top.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  p.drawPath(top);
}

// The display cap inside the fixed bar pieces: same rows as the centre piece.
void ScreenCap(QImage& piece, bool leftSide) {
  const int top = bar::kScreenTop, h = bar::kScreenBottom - top, cap = bar::kScreenCap;
  const int w = piece.width();
  QImage layer = Rows(w, h, [&](int y) { return ScreenRow(top + y); });
  QImage mask = Blank(w, h);
  {
    QPainter mp(&mask);
    Hints(mp);
    QRectF r = leftSide ? QRectF(w - cap, 0, cap + 20, h) : QRectF(-20, 0, cap + 20, h);
    mp.setBrush(Qt::white);
    mp.setPen(Qt::NoPen);
    mp.drawRoundedRect(r, 5, 5);
    mp.setBrush(Qt::NoBrush);
  }
  {
    QPainter lp(&layer);
    Hints(lp);
    // Dark rim on the side edge of the cap; top and bottom rows stay as in the centre piece.
    QRectF r = leftSide ? QRectF(w - cap + 0.5, 0.5, cap + 20, h - 1) : QRectF(-20.5, 0.5, cap + 20, h - 1);
    lp.setPen(QPen(QColor(3, 3, 4), 1));
    lp.drawRoundedRect(r, 4.5, 4.5);
    lp.fillRect(leftSide ? QRect(w - cap + 5, h - 1, cap, 1) : QRect(0, h - 1, cap - 5, 1), ScreenRow(top + h - 1));
    lp.fillRect(leftSide ? QRect(w - cap + 5, 0, cap, 1) : QRect(0, 0, cap - 5, 1), ScreenRow(top));
    lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    lp.drawImage(0, 0, mask);
  }
  // Faint light rim below the cap so it reads as sunk into the bar.
  QPainter p(&piece);
  Hints(p);
  p.drawImage(0, top, layer);
}

QImage Logo(int size) {
  QImage image = Blank(size, size);
  QPainter p(&image);
  Hints(p);
  QRadialGradient g(QPointF(size * 0.35, size * 0.3), size * 0.8);
  g.setColorAt(0, QColor(246, 190, 82));
  g.setColorAt(0.55, kHot);
  g.setColorAt(1, QColor(120, 78, 8));
  p.setPen(QPen(QColor(40, 26, 4, 200), size >= 24 ? 1.2 : 0.8));
  p.setBrush(g);
  double m = size >= 24 ? 1.0 : 0.75;
  p.drawEllipse(QRectF(m, m, size - 2 * m, size - 2 * m));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(26, 24, 22));
  QPainterPath t = Soft(Poly({{size * 0.39, size * 0.28}, {size * 0.74, size * 0.5}, {size * 0.39, size * 0.72}}), size * 0.05);
  p.drawPath(t);
  return image;
}

// ---------------------------------------------------------------- the skin

class SkinMaker {
 public:
  std::map<QString, QImage> pictures;  // name -> RGB picture
  QImage tileBg;                       // Txt_BG.jpg as decoded
  QImage titleBackdrop, barBackdrop;   // pieces composed at design width

  void Put(const QString& name, const QImage& img) {
    QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    rgb.setDotsPerMeterX(2835);
    rgb.setDotsPerMeterY(2835);
    pictures[name] = rgb;
  }
  const QImage& Get(const QString& name) const { return pictures.at(name); }

  void Make() {
    Frame();
    TitleBar();
    ControlBar();
    SidePanel();
    MainLogo();
  }

 private:
  static QImage Crop(const QImage& backdrop, int x, int y, int w, int h) { return backdrop.copy(x, y, w, h); }

  // ---------------- title bar
  void TitleBar() {
    QImage left = Rows(title::kLeftW, title::kH, TitleRow);
    QImage centre = Rows(title::kCentreW, title::kH, TitleRow);
    QImage right = Rows(title::kRightW, title::kH, TitleRow);
    {
      QPainter p(&left);
      Hints(p);
      p.fillRect(0, 0, 1, title::kH, kOutline);
      p.fillRect(1, 1, 1, title::kH - 2, QColor(60, 60, 67));
      const Place& lp = title::kSmallLogo;
      p.drawImage(lp.dx + 1, lp.y + 1, Logo(lp.w - 2));
      // The name fills the room right of the logo: the largest size and the
      // least tightening that fit.
      const QString first = QStringLiteral("Orvane"), second = QStringLiteral("Player");
      const double room = title::kLeftW - 24 - 1;
      QFont a, b;
      for (int px = 12; px >= 8; --px) {
        bool fits = false;
        for (double spacing : {0.0, -0.25, -0.5}) {
          a = Font(px, QFont::Bold);
          b = Font(px, QFont::Normal);
          a.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
          b.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
          if (QFontMetricsF(a).horizontalAdvance(first) + QFontMetricsF(b).horizontalAdvance(second) <= room) {
            fits = true;
            break;
          }
        }
        if (fits) break;
      }
      const double x = 24, split = x + QFontMetricsF(a).horizontalAdvance(first);
      QRectF box(x, 0, room, title::kH);
      for (int pass = 0; pass < 2; ++pass) {
        QPointF d(0, pass == 0 ? 1 : 0);
        p.setFont(a);
        p.setPen(pass == 0 ? QColor(0, 0, 0, 160) : QColor(228, 228, 234));
        p.drawText(box.translated(d), Qt::AlignLeft | Qt::AlignVCenter, first);
        p.setFont(b);
        p.setPen(pass == 0 ? QColor(0, 0, 0, 160) : kGlyphHot);
        p.drawText(QRectF(split, 0, room, title::kH).translated(d), Qt::AlignLeft | Qt::AlignVCenter, second);
      }
    }
    {
      QPainter p(&right);
      p.fillRect(title::kRightW - 1, 0, 1, title::kH, kOutline);
      p.fillRect(title::kRightW - 2, 1, 1, title::kH - 2, QColor(44, 44, 49));
      // A groove parts the menu captions from the window buttons.
      p.fillRect(11, 8, 1, 12, QColor(12, 12, 14));
      p.fillRect(12, 8, 1, 12, QColor(70, 70, 78));
    }
    Put("Title_Left.bmp", left);
    Put("Title_Center.bmp", centre);
    Put("Title_Right.bmp", right);
    Put("SmallLogo.bmp", Crop(left, title::kSmallLogo.dx, title::kSmallLogo.y, 20, 20));

    titleBackdrop = Blank(skin::kClientW, title::kH);
    {
      QPainter p(&titleBackdrop);
      p.drawImage(0, 0, left);
      p.drawImage(QRect(title::kLeftW, 0, skin::kClientW - title::kLeftW - title::kRightW, title::kH), centre);
      p.drawImage(skin::kClientW - title::kRightW, 0, right);
    }
    auto at = [&](const Place& pl) { return Crop(titleBackdrop, title::Left(pl, skin::kClientW), pl.y, pl.w, pl.h); };

    struct Win { const char* name; Place place; QPainterPath g; };
    const Win wins[] = {{"Min", title::kMin, glyph::Min()},
                        {"Max", title::kMax, glyph::Max()},
                        {"Restore", title::kMax, glyph::Restore()},
                        {"Close", title::kClose, glyph::Cross(4.6, 11.4, 1.7)}};
    for (const Win& b : wins)
      for (State s : {State::kNormal, State::kHight, State::kEnter})
        Put(QString("%1_%2_Btn.bmp").arg(b.name, kStateWord[int(s)]), PlateButton(at(b.place), b.g, s));

    struct Menu { const char* name; const char* suffix; Place place; QString caption; bool chevron; };
    const Menu menus[] = {{"Menu", "Menu", title::kHelpMenu, QStringLiteral("菜单"), true},
                          {"File", "menu", title::kFileMenu, QStringLiteral("文件"), false},
                          {"Play", "menu", title::kPlayMenu, QStringLiteral("播放"), false},
                          {"Dvdnav", "menu", title::kDvdnavMenu, QStringLiteral("DVD导航"), false},
                          {"Pip", "menu", title::kPipMenu, QStringLiteral("画中画"), false},
                          {"View", "menu", title::kViewMenu, QStringLiteral("查看"), false},
                          {"Playlist", "menu", title::kPlaylistMenu, QStringLiteral("播放列表"), false}};
    for (const Menu& m : menus)
      for (State s : {State::kNormal, State::kHight})
        Put(QString("%1_%2_%3.bmp").arg(m.name, kStateWord[int(s)], m.suffix), MenuCaption(at(m.place), m.caption, m.chevron, s));
  }

  static QImage PlateButton(QImage bg, const QPainterPath& g16, State s) {
    QPainter p(&bg);
    Hints(p);
    const int w = bg.width(), h = bg.height();
    QPainterPath g = Fit(g16, w, h, 1.0);
    if (s == State::kNormal) {
      Emboss(p, g, QColor(190, 190, 198));
    } else if (s == State::kHight) {
      QLinearGradient grad(0, 0, 0, h);
      grad.setColorAt(0, QColor(214, 156, 48));
      grad.setColorAt(1, QColor(160, 108, 16));
      p.setPen(QPen(QColor(0, 0, 0, 170), 1));
      p.setBrush(grad);
      p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 3, 3);
      p.fillPath(g.translated(0, 1), QColor(255, 230, 170, 90));
      p.fillPath(g, QColor(28, 20, 6));
    } else {
      QLinearGradient grad(0, 0, 0, h);
      grad.setColorAt(0, QColor(104, 68, 8));
      grad.setColorAt(1, QColor(148, 100, 18));
      p.setPen(QPen(QColor(0, 0, 0, 200), 1));
      p.setBrush(grad);
      p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 3, 3);
      p.fillPath(g.translated(1, 1), QColor(20, 14, 4));
    }
    return bg;
  }

  static QImage MenuCaption(QImage bg, const QString& caption, bool chevron, State s) {
    QPainter p(&bg);
    Hints(p);
    const int w = bg.width(), h = bg.height();
    if (s == State::kHight) {
      p.setPen(QPen(QColor(kHot.red(), kHot.green(), kHot.blue(), 150), 1));
      p.setBrush(QColor(kHot.red(), kHot.green(), kHot.blue(), 48));
      p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 3, 3);
    }
    QFont f = Font(12, QFont::Normal);
    p.setFont(f);
    QFontMetricsF fm(f);
    double tw = fm.horizontalAdvance(caption) + (chevron ? 7 : 0);
    double x = std::floor((w - tw) / 2);
    QRectF box(x, 0, tw + 2, h);
    QColor ink = s == State::kHight ? kGlyphHot : kText;
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(box.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, caption);
    p.setPen(ink);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, caption);
    if (chevron) {
      double cx = x + tw - 3, cy = h / 2.0 + 1;
      p.fillPath(Poly({{cx - 3, cy - 1.6}, {cx + 3, cy - 1.6}, {cx, cy + 1.8}}), ink);
    }
    return bg;
  }

  // ---------------- frame
  void Frame() {
    const int h = 32;
    QImage left = Blank(skin::kEdgeW, h), right = Blank(skin::kEdgeW, h);
    {
      QPainter pl(&left), pr(&right);
      for (int x = 0; x < skin::kEdgeW; ++x) {
        pl.fillRect(x, 0, 1, h, EdgeCol(x));
        pr.fillRect(skin::kEdgeW - 1 - x, 0, 1, h, EdgeCol(x));
      }
    }
    // The right edge is lit less than the left one: light comes from the top left.
    {
      QPainter pr(&right);
      pr.fillRect(skin::kEdgeW - 2, 0, 1, h, QColor(40, 40, 45));
    }
    Put("Frame_Left.bmp", left);
    Put("Frame_Right.bmp", right);

    QImage centre = Rows(8, skin::kBottomH, BottomRow);
    QImage bl = Rows(skin::kBottomCornerW, skin::kBottomH, BottomRow);
    QImage br = bl.copy();
    {
      QPainter p(&bl), q(&br);
      for (int x = 0; x < skin::kBottomCornerW; ++x) {
        // Outer columns continue the edges; the top row carries the edge's inner line round the corner.
        if (x < 2) {
          p.fillRect(x, 0, 1, skin::kBottomH, EdgeCol(x));
          q.fillRect(skin::kBottomCornerW - 1 - x, 0, 1, skin::kBottomH, x == 1 ? QColor(40, 40, 45) : EdgeCol(x));
        } else {
          p.fillRect(x, 0, 1, 1, EdgeCol(x));
          q.fillRect(skin::kBottomCornerW - 1 - x, 0, 1, 1, EdgeCol(x));
        }
      }
    }
    Put("Bottom_Left.bmp", bl);
    Put("Bottom_Center.bmp", centre);
    Put("Bottom_Right.bmp", br);
  }

  // ---------------- control bar
  void ControlBar() {
    QImage left = Rows(bar::kLeftW, bar::kH, BarRow);
    QImage centre = Rows(bar::kCentreW, bar::kH, [](int y) {
      return y >= bar::kScreenTop && y < bar::kScreenBottom ? ScreenRow(y) : BarRow(y);
    });
    QImage right = Rows(bar::kRightW, bar::kH, BarRow);
    {
      QPainter p(&left);
      Hints(p);
      p.fillRect(0, 0, 1, bar::kH, kOutline);
      p.fillRect(1, 1, 1, bar::kH - 2, QColor(56, 56, 62));
      // A shallow well holds the four small transport buttons.
      Well(p, QRectF(bar::kPrevious.dx - 5, bar::kPrevious.y - 3, bar::kNext.dx + 20 - bar::kPrevious.dx + 10, 26), 13,
           QColor(22, 22, 25), QColor(27, 27, 30));
    }
    {
      QPainter p(&right);
      Hints(p);
      p.fillRect(bar::kRightW - 1, 0, 1, bar::kH, kOutline);
      p.fillRect(bar::kRightW - 2, 1, 1, bar::kH - 2, QColor(40, 40, 45));
      Well(p, QRectF(bar::kOpen.dx - 5, bar::kOpen.y - 3, bar::kOption.dx + 20 - bar::kOpen.dx + 10, 26), 13,
           QColor(22, 22, 25), QColor(27, 27, 30));
    }
    ScreenCap(left, true);
    ScreenCap(right, false);
    Put("Ctrl_Left.bmp", left);
    Put("Ctrl_Center.bmp", centre);
    Put("Ctrl_Right.bmp", right);
    Put("Media_Strip.bmp", centre.copy(0, bar::kMediaStrip.y, bar::kCentreW, bar::kMediaStrip.h));

    const int W = skin::kClientW;
    barBackdrop = Blank(W, bar::kH);
    {
      QPainter p(&barBackdrop);
      p.drawImage(0, 0, left);
      p.drawImage(QRect(bar::kLeftW, 0, bar::CentreW(W), bar::kH), centre);
      p.drawImage(W - bar::kRightW, 0, right);
    }
    auto at = [&](const Place& pl) { return Crop(barBackdrop, bar::Left(pl, W), pl.y, pl.w, pl.h); };

    // Round transport buttons.
    for (State s : {State::kNormal, State::kHight, State::kEnter}) {
      Put(QString("Play_%1_Btn.bmp").arg(kStateWord[int(s)]), RoundButton(at(bar::kPlayPause), glyph::Play(), s, 0.92, 0.7));
      Put(QString("Pause_%1_Btn.bmp").arg(kStateWord[int(s)]), RoundButton(at(bar::kPlayPause), glyph::Pause(), s, 0.86, 0));
    }
    for (State s : {State::kNormal, State::kHight, State::kEnter, State::kDisable})
      Put(QString("Stop_%1_Btn.bmp").arg(kStateWord[int(s)]), RoundButton(at(bar::kStop), glyph::Stop(), s, 0.62, 0));

    struct Flat { const char* name; const char* enterName; const char* suffix; Place place; QPainterPath g; bool disable; };
    const Flat flats[] = {
        {"Prev", "Prev", "Btn", bar::kPrevious, glyph::Prev(), true},
        {"BackWard", "BackWard", "Btn", bar::kBackward, glyph::Slower(), true},
        {"ForWard", "Forward", "Btn", bar::kForward, glyph::Faster(), true},
        {"Next", "Next", "Btn", bar::kNext, glyph::Next(), true},
        {"Open", "Open", "btn", bar::kOpen, glyph::Open(), false},
        {"Capture", "Capture", "btn", bar::kCapture, glyph::Camera(), true},
        {"ShowPL", "ShowPL", "btn", bar::kPlayList, glyph::List(), true},
        {"Full", "Full", "btn", bar::kFull, glyph::Full(), true},
        {"Option", "Option", "btn", bar::kOption, glyph::Gear(), false},
        {"Sound", "Sound", "btn", bar::kVolume, glyph::Sound(), false},
        {"Slience", "Slience", "btn", bar::kVolume, glyph::Mute(), false},
    };
    for (const Flat& b : flats) {
      for (State s : {State::kNormal, State::kHight, State::kEnter, State::kDisable}) {
        if (s == State::kDisable && !b.disable) continue;
        const char* name = s == State::kEnter ? b.enterName : b.name;
        Put(QString("%1_%2_%3.bmp").arg(name, kStateWord[int(s)], b.suffix), FlatButton(at(b.place), b.g, s));
      }
    }
    // The mute code loads these two spellings.
    Put("Sound_normal_btn.bmp", Get("Sound_Normal_btn.bmp"));
    Put("sound_slience_btn.bmp", Get("Slience_Normal_btn.bmp"));

    for (State s : {State::kNormal, State::kHight, State::kEnter})
      Put(QString("Url_%1.bmp").arg(kStateWord[int(s)]), UrlImage(at(bar::kUrl), s));

    // Sliders: tracks and fills are stretched sideways, so they are uniform along x.
    const int seekW = bar::Width(bar::kSeekTrack, W);
    Put("VideoPro.bmp", Groove(seekW));
    Put("VideoGo.bmp", Fill(seekW, true));
    Put("SoundPro.bmp", Groove(bar::kSoundTrack.w));
    Put("SoundGo.bmp", Fill(bar::kSoundTrack.w, true));
    Put("TrackPro.bmp", Groove(bar::kBalanceTrack.w));
    Put("TrackGo.bmp", Fill(bar::kBalanceTrack.w, false));
    const Place seekThumb{bar::kSeekThumb.anchor, bar::kSeekThumb.dx, bar::kSeekThumb.y, 12, 10};
    for (State s : {State::kNormal, State::kHight}) {
      Put(QString("VideoBar_%1.bmp").arg(kStateWord[int(s)]), Thumb(at(seekThumb), s));
      Put(QString("SoundBar_%1.bmp").arg(kStateWord[int(s)]), Thumb(at(bar::kSoundThumb), s));
      Put(QString("TrackBar_%1.bmp").arg(kStateWord[int(s)]), Thumb(at(bar::kBalanceThumb), s));
    }
    Put("Track_L.bmp", Letter(at(bar::kBalanceL), "L"));
    Put("Track_R.bmp", Letter(at(bar::kBalanceR), "R"));
  }

  static QImage RoundButton(QImage bg, const QPainterPath& g16, State s, double glyphScale, double nudge) {
    QPainter p(&bg);
    Hints(p);
    const int w = bg.width();
    const double r = w / 2.0 - 1.0, c = w / 2.0;
    const bool pressed = s == State::kEnter;
    // Drop shadow and the outer ring.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 20));
    p.drawEllipse(QPointF(c, c + 1), r, r);
    QLinearGradient ring(0, 0, 0, w);
    if (s == State::kHight || pressed) {
      ring.setColorAt(0, QColor(236, 180, 72));
      ring.setColorAt(1, QColor(120, 80, 10));
    } else {
      ring.setColorAt(0, QColor(110, 110, 118));
      ring.setColorAt(1, QColor(18, 18, 20));
    }
    p.setBrush(QColor(0, 0, 0));
    p.drawEllipse(QPointF(c, c), r, r);
    p.setBrush(ring);
    p.drawEllipse(QPointF(c, c), r - 0.8, r - 0.8);
    QLinearGradient face(0, 0, 0, w);
    if (pressed) {
      face.setColorAt(0, QColor(18, 18, 20));
      face.setColorAt(1, QColor(40, 40, 44));
    } else if (s == State::kDisable) {
      face.setColorAt(0, QColor(40, 40, 44));
      face.setColorAt(1, QColor(28, 28, 31));
    } else {
      face.setColorAt(0, QColor(66, 66, 73));
      face.setColorAt(1, QColor(26, 26, 29));
    }
    p.setBrush(face);
    p.drawEllipse(QPointF(c, c), r - 2.2, r - 2.2);
    const double gs = glyphScale * w / 20.0;
    QPainterPath g = Fit(g16, w, w, gs, nudge + (pressed ? 1 : 0), pressed ? 1 : 0);
    switch (s) {
      case State::kNormal: Emboss(p, g, kGlyph); break;
      case State::kHight:
        Glow(p, g, w, w, kHot, 2, 0.9);
        Emboss(p, g, kGlyphHot);
        break;
      case State::kEnter: p.fillPath(g, kHot); break;
      case State::kDisable: p.fillPath(g, kGlyphDim); break;
    }
    return bg;
  }

  static QImage FlatButton(QImage bg, const QPainterPath& g16, State s) {
    QPainter p(&bg);
    Hints(p);
    const int w = bg.width(), h = bg.height();
    switch (s) {
      case State::kNormal: Emboss(p, Fit(g16, w, h, 0.88), kGlyph); break;
      case State::kHight: {
        QRadialGradient halo(QPointF(w / 2.0, h / 2.0), w / 2.0);
        halo.setColorAt(0, QColor(kHot.red(), kHot.green(), kHot.blue(), 70));
        halo.setColorAt(1, QColor(kHot.red(), kHot.green(), kHot.blue(), 0));
        p.fillRect(0, 0, w, h, halo);
        QPainterPath g = Fit(g16, w, h, 0.88);
        Glow(p, g, w, h, kHot, 1, 0.8);
        Emboss(p, g, kGlyphHot);
        break;
      }
      case State::kEnter: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 110));
        p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 4, 4);
        p.fillPath(Fit(g16, w, h, 0.88, 1, 1), kHot);
        break;
      }
      case State::kDisable: p.fillPath(Fit(g16, w, h, 0.88), kGlyphDim); break;
    }
    return bg;
  }

  static QImage UrlImage(QImage bg, State s) {
    QPainter p(&bg);
    Hints(p);
    const int w = bg.width(), h = bg.height();
    QString text = QStringLiteral("访问 OrvanePlayer 主页");
    QFont f = Font(11);
    p.setFont(f);
    double tw = QFontMetricsF(f).horizontalAdvance(text);
    double x = std::floor((w - tw - 13) / 2);
    int d = s == State::kEnter ? 1 : 0;
    QColor ink = s == State::kNormal ? QColor(128, 128, 136) : s == State::kHight ? kGlyphHot : kHot;
    QPainterPath g = Scaled(glyph::Globe(), 0.68, x + d, (h - 16 * 0.68) / 2 + d);
    p.fillPath(g, ink);
    p.setPen(ink);
    p.drawText(QRectF(x + 13 + d, d, tw + 2, h), Qt::AlignLeft | Qt::AlignVCenter, text);
    if (s != State::kNormal) p.fillRect(QRectF(x + 13 + d, h - 2 + d, tw, 1), QColor(ink.red(), ink.green(), ink.blue(), 140));
    return bg;
  }

  static QImage Groove(int w) {
    static const QColor rows[] = {QColor(2, 2, 3), QColor(14, 14, 16), QColor(20, 20, 23),
                                  QColor(24, 24, 27), QColor(28, 28, 31), QColor(74, 74, 82)};
    return Rows(w, 6, [](int y) { return rows[y]; });
  }
  static QImage Fill(int w, bool level) {
    static const QColor hot[] = {QColor(92, 60, 6), QColor(246, 190, 80), QColor(222, 162, 48),
                                 QColor(196, 138, 30), QColor(168, 114, 18), QColor(120, 80, 10)};
    static const QColor grey[] = {QColor(10, 10, 12), QColor(122, 122, 130), QColor(104, 104, 112),
                                  QColor(88, 88, 96), QColor(74, 74, 80), QColor(56, 56, 62)};
    return Rows(w, 6, [level](int y) { return level ? hot[y] : grey[y]; });
  }
  static QImage Thumb(QImage bg, State s) {
    QPainter p(&bg);
    Hints(p);
    const int w = bg.width(), h = bg.height();
    QLinearGradient g(0, 0, 0, h);
    if (s == State::kHight) {
      g.setColorAt(0, QColor(255, 216, 130));
      g.setColorAt(1, QColor(180, 122, 20));
    } else {
      g.setColorAt(0, QColor(236, 236, 242));
      g.setColorAt(1, QColor(140, 140, 148));
    }
    p.setPen(QPen(QColor(0, 0, 0, 210), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 3.2, 3.2);
    QColor grip = s == State::kHight ? QColor(120, 78, 8) : QColor(96, 96, 104);
    p.fillRect(QRectF(4, 3, 1, 4), grip);
    p.fillRect(QRectF(7, 3, 1, 4), grip);
    return bg;
  }
  static QImage Letter(QImage bg, const char* letter) {
    QPainter p(&bg);
    Hints(p);
    QFont f = Font(10, QFont::Bold);
    p.setFont(f);
    QRectF box(0, -1, bg.width(), bg.height() + 1);
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(box.translated(0, 1), Qt::AlignCenter, QString::fromLatin1(letter));
    p.setPen(QColor(150, 150, 158));
    p.drawText(box, Qt::AlignCenter, QString::fromLatin1(letter));
    return bg;
  }

  // ---------------- side panel
  void SidePanel() {
    QImage head = Rows(8, panel::kPageHeadH, [](int y) {
      return y == panel::kPageHeadH - 1 ? QColor(44, 44, 50) : Q(skin::kPageHead);
    });
    Put("PageHead.bmp", head);
    auto headAt = [&](const Place& pl) { return Crop(head, 0, pl.y, 1, pl.h).scaled(pl.w, pl.h); };

    for (State s : {State::kNormal, State::kHight}) {
      Put(QString("PlayList_%1.bmp").arg(kStateWord[int(s)]), Tab(headAt(panel::kPlayListLabel), QStringLiteral("播放列表"), glyph::List(), s));
      Put(QString("CaptureList_%1.bmp").arg(kStateWord[int(s)]), Tab(headAt(panel::kCaptureListLabel), QStringLiteral("截屏列表"), glyph::Camera(), s));
    }
    for (State s : {State::kNormal, State::kHight, State::kEnter})
      Put(QString("CloseList_%1_btn.bmp").arg(kStateWord[int(s)]), PlateButton(headAt(panel::kCloseList), glyph::Cross(5, 11, 1.6), s));

    // Tool bar buttons sit on the black tool bars.
    QImage toolBg = Blank(20, 20, Q(skin::kToolBar));
    struct Tool { const char* name; const char* suffix; QPainterPath g; };
    const Tool tools[] = {{"Add", "btn", glyph::Plus()},     {"Load", "btn", glyph::Folder()},
                          {"Del", "Btn", glyph::Minus()},    {"Empty", "Btn", glyph::Trash()},
                          {"Save", "Btn", glyph::Save()},    {"SaveAll", "btn", glyph::SaveAll()}};
    for (const Tool& t : tools)
      for (State s : {State::kNormal, State::kHight, State::kEnter})
        Put(QString("%1_%2_%3.bmp").arg(t.name, kStateWord[int(s)], t.suffix), FlatButton(toolBg.copy(), t.g, s));

    // Scroll bar: arrows on the track colour, track and thumb uniform along y.
    const QColor track0(14, 14, 16), track1(22, 22, 25);
    QImage trackImg = Blank(panel::kScrollW, panel::kScrollTrackH);
    {
      QPainter p(&trackImg);
      for (int x = 0; x < panel::kScrollW; ++x)
        p.fillRect(x, 0, 1, panel::kScrollTrackH, x == 0 ? QColor(4, 4, 5) : x == panel::kScrollW - 1 ? QColor(30, 30, 34) : Lerp(track0, track1, x, panel::kScrollW));
    }
    Put("Scroll_BG.bmp", trackImg);
    QImage thumb = Blank(panel::kScrollW, panel::kScrollThumbH);
    {
      QPainter p(&thumb);
      p.drawImage(QRect(0, 0, panel::kScrollW, panel::kScrollThumbH), trackImg);
      for (int x = 3; x < panel::kScrollW - 3; ++x) {
        QColor c = x == 3 ? QColor(8, 8, 9) : x == panel::kScrollW - 4 ? QColor(8, 8, 9) : x == 4 ? QColor(120, 120, 128) : Lerp(QColor(92, 92, 100), QColor(64, 64, 70), x - 5, panel::kScrollW - 10);
        p.fillRect(x, 0, 1, panel::kScrollThumbH, c);
      }
    }
    Put("Scroll_Bar.bmp", thumb);
    for (bool up : {true, false}) {
      QImage a = trackImg.copy(0, 0, panel::kScrollW, panel::kScrollArrowH);
      QPainter p(&a);
      Hints(p);
      QLinearGradient g(0, 0, 0, 16);
      g.setColorAt(0, QColor(58, 58, 64));
      g.setColorAt(1, QColor(34, 34, 38));
      p.setPen(QPen(QColor(0, 0, 0, 200), 1));
      p.setBrush(g);
      p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
      Emboss(p, glyph::Chevron(up), QColor(180, 180, 188));
      p.end();
      Put(up ? "Scroll_Top.bmp" : "Scroll_Bottom.bmp", a);
    }

    QImage splitter = Blank(panel::kSplitterW, 32);
    {
      QPainter p(&splitter);
      const QColor cols[] = {QColor(10, 10, 12), QColor(46, 46, 52), QColor(34, 34, 38), QColor(10, 10, 12)};
      for (int x = 0; x < panel::kSplitterW; ++x) p.fillRect(x, 0, 1, 32, cols[x]);
    }
    Put("Splitter.bmp", splitter);

    TileArt();
  }

  static QImage Tab(QImage bg, const QString& caption, const QPainterPath& icon, State s) {
    QPainter p(&bg);
    Hints(p);
    const int w = bg.width(), h = bg.height();
    QPainterPath tab;
    tab.addRoundedRect(QRectF(0.5, 0.5, w - 1, h + 4), 4, 4);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, s == State::kHight ? QColor(52, 44, 30) : QColor(40, 40, 45));
    g.setColorAt(1, s == State::kHight ? QColor(28, 24, 18) : QColor(22, 22, 25));
    p.setPen(QPen(s == State::kHight ? QColor(kHot.red(), kHot.green(), kHot.blue(), 160) : QColor(66, 66, 74), 1));
    p.setBrush(g);
    p.drawPath(tab);
    QColor ink = s == State::kHight ? kGlyphHot : QColor(170, 170, 178);
    p.fillPath(Scaled(icon, 0.62, 5, (h - 16 * 0.62) / 2), ink);
    QFont f = Font(12);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(QRectF(17, 0, w - 18, h), Qt::AlignCenter, caption);
    return bg;
  }

  void TileArt() {
    const int w = panel::kTileBgW, h = panel::kTileBgH;
    QImage card = Blank(w, h);
    {
      QPainter p(&card);
      Hints(p);
      QLinearGradient g(0, 0, 0, h);
      g.setColorAt(0, QColor(50, 50, 56));
      g.setColorAt(0.5, QColor(32, 32, 36));
      g.setColorAt(1, QColor(20, 20, 23));
      p.fillRect(0, 0, w, h, g);
      p.fillRect(0, 0, w, 1, QColor(84, 84, 92));
      p.fillRect(0, h - 1, w, 1, QColor(10, 10, 12));
      p.fillRect(0, 0, 1, h, QColor(62, 62, 70));
      p.fillRect(w - 1, 0, 1, h, QColor(14, 14, 16));
      // A faint line under the title row.
      QLinearGradient line(0, 0, w, 0);
      line.setColorAt(0, QColor(kHot.red(), kHot.green(), kHot.blue(), 0));
      line.setColorAt(0.15, QColor(kHot.red(), kHot.green(), kHot.blue(), 110));
      line.setColorAt(1, QColor(kHot.red(), kHot.green(), kHot.blue(), 0));
      p.fillRect(QRectF(4, 20, w - 8, 1), line);
    }
    jpegSource = card.convertToFormat(QImage::Format_RGB32);
    tileBg = JpegRoundTrip(jpegSource);
    struct Icon { const char* name; QPainterPath g; };
    const Icon icons[] = {{"Play_Audio.bmp", glyph::Note()}, {"Play_Media_s.bmp", glyph::Film()},
                          {"Play_Dvd.bmp", glyph::Disc16()}, {"Play_Pip_s.bmp", glyph::Pip()}};
    for (const Icon& ic : icons) {
      QImage bg = tileBg.copy(0, 0, 20, 20);
      QPainter p(&bg);
      Hints(p);
      QPainterPath g = Fit(ic.g, 20, 20, 0.85);
      QLinearGradient grad(0, 3, 0, 17);
      grad.setColorAt(0, QColor(246, 190, 80));
      grad.setColorAt(1, QColor(170, 114, 18));
      p.fillPath(g.translated(0, 1), QColor(0, 0, 0, 160));
      p.fillPath(g, grad);
      p.end();
      Put(ic.name, bg);
    }
  }

  void MainLogo() {
    QImage img = Blank(skin::kMainLogoW, skin::kMainLogoH, Qt::black);
    QPainter p(&img);
    Hints(p);
    const int h = skin::kMainLogoH, d = 52;
    QImage mark = Logo(d);
    int y0 = (h - d) / 2;
    p.drawImage(6, y0, mark);
    QFont f = Font(26, QFont::Bold);
    p.setFont(f);
    QFontMetricsF fm(f);
    double x = 6 + d + 10;
    QRectF box(x, 0, skin::kMainLogoW - x, h - 16);
    p.setPen(QColor(214, 214, 220));
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvane"));
    double ow = fm.horizontalAdvance(QStringLiteral("Orvane"));
    p.setPen(kHot);
    p.drawText(box.adjusted(ow, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Player"));
    p.setFont(Font(11));
    p.setPen(QColor(96, 96, 104));
    p.drawText(QRectF(x + 2, h / 2.0 + 10, skin::kMainLogoW - x, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("视频 · 音频 · DVD · 画中画"));
    p.end();
    Put("MainLogo.bmp", img);
  }

 public:
  QImage jpegSource;

  // ---------------- JPEG through libjpeg
  struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
  };
  static void OnJpegError(j_common_ptr cinfo) { longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }

  static std::vector<unsigned char> EncodeJpeg(const QImage& img) {
    jpeg_compress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<unsigned char> out;
    if (setjmp(err.jump)) {
      jpeg_destroy_compress(&cinfo);
      std::free(buffer);
      return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = img.width();
    cinfo.image_height = img.height();
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 92, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.density_unit = 1;
    cinfo.X_density = 72;
    cinfo.Y_density = 72;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(img.width() * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
      const QRgb* src = reinterpret_cast<const QRgb*>(img.constScanLine(cinfo.next_scanline));
      for (int x = 0; x < img.width(); ++x) {
        row[x * 3] = qRed(src[x]);
        row[x * 3 + 1] = qGreen(src[x]);
        row[x * 3 + 2] = qBlue(src[x]);
      }
      JSAMPROW rows[] = {row.data()};
      jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    out.assign(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
  }
  static QImage DecodeJpeg(const std::vector<unsigned char>& data) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    QImage img;
    if (setjmp(err.jump)) {
      jpeg_destroy_decompress(&cinfo);
      return {};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), data.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&cinfo);
    img = QImage(cinfo.output_width, cinfo.output_height, QImage::Format_RGB32);
    std::vector<unsigned char> row(cinfo.output_width * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
      int y = cinfo.output_scanline;
      JSAMPROW rows[] = {row.data()};
      jpeg_read_scanlines(&cinfo, rows, 1);
      QRgb* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (unsigned x = 0; x < cinfo.output_width; ++x) dst[x] = qRgb(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return img;
  }
  static QImage JpegRoundTrip(const QImage& img) { return DecodeJpeg(EncodeJpeg(img)); }
};

// ---------------------------------------------------------------- writing

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size()) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}
bool Save(const QImage& image, const QString& path, const char* format) {
  if (image.save(path, format)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

// Icon files written by hand: the mask rows' padding must be zero for the
// output to be the same bytes on every run.
QByteArray IcoFile(const std::vector<QImage>& images) {
  QByteArray out;
  auto u16 = [&](int v) { out.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
  auto u32 = [&](quint32 v) { for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xff)); };
  u16(0);
  u16(1);
  u16(static_cast<int>(images.size()));
  std::vector<QByteArray> bodies;
  for (const QImage& src : images) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height(), maskStride = ((w + 31) / 32) * 4;
    QByteArray body;
    auto b32 = [&](quint32 v) { for (int i = 0; i < 4; ++i) body.append(char((v >> (8 * i)) & 0xff)); };
    auto b16 = [&](int v) { body.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    b32(40); b32(w); b32(2 * h); b16(1); b16(32); b32(0);
    b32(w * h * 4 + maskStride * h); b32(0); b32(0); b32(0); b32(0);
    for (int y = h - 1; y >= 0; --y)
      for (int x = 0; x < w; ++x) {
        QRgb c = img.pixel(x, y);
        body.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(qAlpha(c)));
      }
    for (int y = h - 1; y >= 0; --y) {
      QByteArray row(maskStride, '\0');
      for (int x = 0; x < w; ++x)
        if (qAlpha(img.pixel(x, y)) == 0) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
      body.append(row);
    }
    bodies.push_back(body);
  }
  quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const int w = images[i].width(), h = images[i].height();
    out.append(char(w >= 256 ? 0 : w)).append(char(h >= 256 ? 0 : h)).append(char(0)).append(char(0));
    u16(1);
    u16(32);
    u32(bodies[i].size());
    u32(offset);
    offset += bodies[i].size();
  }
  for (const QByteArray& b : bodies) out.append(b);
  return out;
}

// ---------------------------------------------------------------- preview

struct MockState {
  int width = skin::kClientW;
  bool playing = false;
  bool sidePanel = false;
  bool allMenus = false;
};

void Stretch(QPainter& p, const QImage& img, int x, int y, int w, int h) { p.drawImage(QRect(x, y, w, h), img); }

QImage FakeFrame(int w, int h) {
  QImage img = Blank(w, h);
  QPainter p(&img);
  Hints(p);
  QLinearGradient sky(0, 0, 0, h);
  sky.setColorAt(0, QColor(28, 44, 78));
  sky.setColorAt(0.55, QColor(196, 120, 70));
  sky.setColorAt(1, QColor(60, 30, 30));
  p.fillRect(0, 0, w, h, sky);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 214, 150));
  p.drawEllipse(QPointF(w * 0.68, h * 0.52), h * 0.09, h * 0.09);
  QPainterPath hills;
  hills.moveTo(0, h * 0.7);
  hills.cubicTo(w * 0.25, h * 0.52, w * 0.45, h * 0.8, w * 0.7, h * 0.62);
  hills.cubicTo(w * 0.85, h * 0.55, w * 0.95, h * 0.66, w, h * 0.64);
  hills.lineTo(w, h);
  hills.lineTo(0, h);
  p.setBrush(QColor(24, 18, 26));
  p.drawPath(hills);
  return img;
}

QImage Mock(const SkinMaker& s, const MockState& m) {
  const int W = m.width, H = skin::kClientH;
  QImage img = Blank(W, H, Qt::black);
  QPainter p(&img);
  Hints(p);
  QFont listFont = Font(12);
  auto pic = [&](const char* name) -> const QImage& { return s.Get(QString::fromLatin1(name)); };

  // Title bar.
  p.drawImage(0, 0, pic("Title_Left.bmp"));
  Stretch(p, pic("Title_Center.bmp"), title::kLeftW, 0, W - title::kLeftW - title::kRightW, title::kH);
  p.drawImage(W - title::kRightW, 0, pic("Title_Right.bmp"));
  p.drawImage(title::kSmallLogo.dx, title::kSmallLogo.y, pic("SmallLogo.bmp"));
  p.drawImage(title::Left(title::kHelpMenu, W), title::kHelpMenu.y, pic("Menu_Normal_Menu.bmp"));
  if (m.allMenus) {
    const std::pair<Place, const char*> menus[] = {{title::kFileMenu, "File_Normal_menu.bmp"}, {title::kPlayMenu, "Play_Hight_menu.bmp"},
                                                   {title::kDvdnavMenu, "Dvdnav_Normal_menu.bmp"}, {title::kPipMenu, "Pip_Normal_menu.bmp"},
                                                   {title::kViewMenu, "View_Normal_menu.bmp"}, {title::kPlaylistMenu, "Playlist_Normal_menu.bmp"}};
    for (const auto& [pl, name] : menus) p.drawImage(title::Left(pl, W), pl.y, pic(name));
  }
  p.drawImage(title::Left(title::kMin, W), title::kMin.y, pic("Min_Normal_Btn.bmp"));
  p.drawImage(title::Left(title::kMax, W), title::kMax.y, pic("Max_Normal_Btn.bmp"));
  p.drawImage(title::Left(title::kClose, W), title::kClose.y, pic(m.playing ? "Close_Hight_Btn.bmp" : "Close_Normal_Btn.bmp"));

  // Edges, video, side panel.
  const int barTop = H - bar::kH, bottomTop = barTop - skin::kBottomH, faceTop = title::kH;
  const int faceH = bottomTop - faceTop;
  Stretch(p, pic("Frame_Left.bmp"), 0, faceTop, skin::kEdgeW, faceH);
  Stretch(p, pic("Frame_Right.bmp"), W - skin::kEdgeW, faceTop, skin::kEdgeW, faceH);
  int videoW = W - 2 * skin::kEdgeW;
  if (m.sidePanel) videoW -= panel::kW + panel::kSplitterW;
  QRect video(skin::kEdgeW, faceTop, videoW, faceH);
  if (m.playing) {
    p.fillRect(video, Qt::black);
    int fh = videoW * 9 / 16;
    p.save();
    p.setClipRect(video);
    p.drawImage(video.x(), video.y() + (faceH - fh) / 2, FakeFrame(videoW, fh));
    p.restore();
  } else {
    const QImage& logo = pic("MainLogo.bmp");
    p.drawImage(video.x() + (videoW - logo.width()) / 2, video.y() + (faceH - logo.height()) / 2, logo);
  }
  if (m.sidePanel) {
    const int sx = video.right() + 1;
    Stretch(p, pic("Splitter.bmp"), sx, faceTop, panel::kSplitterW, faceH);
    const int px = sx + panel::kSplitterW;
    Stretch(p, pic("PageHead.bmp"), px, faceTop, panel::kW, panel::kPageHeadH);
    p.drawImage(px + panel::kPlayListLabel.dx, faceTop + panel::kPlayListLabel.y, pic("PlayList_Hight.bmp"));
    p.drawImage(px + panel::kCaptureListLabel.dx, faceTop + panel::kCaptureListLabel.y, pic("CaptureList_Normal.bmp"));
    p.drawImage(px + panel::kW + panel::kCloseList.dx, faceTop + panel::kCloseList.y, pic("CloseList_Normal_btn.bmp"));
    const int pageTop = faceTop + panel::kPageHeadH, pageH = faceH - panel::kPageHeadH;
    p.fillRect(px, pageTop, panel::kW, pageH, Qt::black);
    // Scroll bar.
    const int scx = px + panel::kW - panel::kScrollW;
    p.drawImage(scx, pageTop, pic("Scroll_Top.bmp"));
    p.drawImage(scx, pageTop + pageH - panel::kScrollArrowH, pic("Scroll_Bottom.bmp"));
    const int trackTop = pageTop + panel::kScrollArrowH, trackH = pageH - 2 * panel::kScrollArrowH;
    Stretch(p, pic("Scroll_BG.bmp"), scx, trackTop, panel::kScrollW, trackH);
    Stretch(p, pic("Scroll_Bar.bmp"), scx, trackTop + 8, panel::kScrollW, trackH * 6 / 10);
    const char* names[] = {"Nature Documentary.mkv", "城市之光 - 预告片.mp4", "Concert Live 2019.avi",
                           "Jazz Evening.mp3", "家庭录像 2021-05.mpg", "Ocean Waves.ogg"};
    const char* icons[] = {"Play_Media_s.bmp", "Play_Media_s.bmp", "Play_Media_s.bmp",
                           "Play_Audio.bmp", "Play_Media_s.bmp", "Play_Audio.bmp"};
    p.save();
    p.setClipRect(px, pageTop, panel::kW - panel::kScrollW, pageH);
    for (int i = 0; i < 6; ++i) {
      const int tx = px + panel::kTileLeft, ty = pageTop + 10 + i * panel::kTilePitch;
      const bool hovered = i == 2, current = i == 1;
      p.fillRect(tx, ty, panel::kTileW, panel::kTileH, hovered ? kHot : Qt::black);
      p.drawImage(QRect(tx + 2, ty + 2, panel::kTileBgW, panel::kTileBgH), s.tileBg);
      p.drawImage(tx + panel::kTileIcon.dx, ty + panel::kTileIcon.y, pic(icons[i]));
      p.setFont(listFont);
      p.setPen(current ? kHot : QColor(224, 224, 228));
      p.save();
      p.setClipRect(tx + panel::kTileText.dx, ty, panel::kTileText.w - 4, panel::kTileH);
      p.drawText(QRectF(tx + panel::kTileText.dx, ty + panel::kTileText.y - 1, panel::kTileText.w, panel::kTileText.h + 2),
                 Qt::AlignLeft | Qt::AlignVCenter, QString("%1. %2").arg(i + 1).arg(QString::fromUtf8(names[i])));
      p.restore();
      if (hovered) {
        const int bx = tx + panel::kPlayTool.dx, by = ty + panel::kPlayTool.y;
        p.fillRect(bx, by, panel::kPlayTool.w, panel::kPlayTool.h, Q(skin::kToolBar));
        const std::pair<Place, const char*> tools[] = {{panel::kAdd, "Add_Normal_btn.bmp"}, {panel::kDelete, "Del_Hight_Btn.bmp"},
                                                       {panel::kEmpty, "Empty_Normal_Btn.bmp"}, {panel::kLoad, "Load_Normal_btn.bmp"},
                                                       {panel::kSaveAs, "Save_Normal_Btn.bmp"}};
        for (const auto& [pl, name] : tools) p.drawImage(bx + pl.dx, by + pl.y, pic(name));
      }
    }
    p.restore();
  }

  // Bottom edge and control bar.
  p.drawImage(0, bottomTop, pic("Bottom_Left.bmp"));
  Stretch(p, pic("Bottom_Center.bmp"), skin::kBottomCornerW, bottomTop, W - 2 * skin::kBottomCornerW, skin::kBottomH);
  p.drawImage(W - skin::kBottomCornerW, bottomTop, pic("Bottom_Right.bmp"));
  p.drawImage(0, barTop, pic("Ctrl_Left.bmp"));
  Stretch(p, pic("Ctrl_Center.bmp"), bar::kLeftW, barTop, bar::CentreW(W), bar::kH);
  p.drawImage(W - bar::kRightW, barTop, pic("Ctrl_Right.bmp"));
  auto put = [&](const Place& pl, const char* name) { p.drawImage(bar::Left(pl, W), barTop + pl.y, pic(name)); };
  const bool on = m.playing;
  put(bar::kVolume, "Sound_Normal_btn.bmp");
  put(bar::kPlayPause, on ? "Pause_Normal_Btn.bmp" : "Play_Normal_Btn.bmp");
  put(bar::kStop, on ? "Stop_Normal_Btn.bmp" : "Stop_Disable_Btn.bmp");
  put(bar::kPrevious, on ? "Prev_Normal_Btn.bmp" : "Prev_Disable_Btn.bmp");
  put(bar::kBackward, on ? "BackWard_Normal_Btn.bmp" : "BackWard_Disable_Btn.bmp");
  put(bar::kForward, on ? "ForWard_Hight_Btn.bmp" : "ForWard_Disable_Btn.bmp");
  put(bar::kNext, on ? "Next_Normal_Btn.bmp" : "Next_Disable_Btn.bmp");
  put(bar::kOpen, "Open_Normal_btn.bmp");
  put(bar::kCapture, on ? "Capture_Normal_btn.bmp" : "Capture_Disable_btn.bmp");
  put(bar::kPlayList, "ShowPL_Normal_btn.bmp");
  put(bar::kFull, on ? "Full_Normal_btn.bmp" : "Full_Disable_btn.bmp");
  put(bar::kOption, "Option_Normal_btn.bmp");
  put(bar::kUrl, "Url_Normal.bmp");
  put(bar::kBalanceL, "Track_L.bmp");
  put(bar::kBalanceR, "Track_R.bmp");

  auto slider = [&](int trackX, int y, int trackW, const char* track, const char* fill, const char* thumb, const Place& thumbPlace, double ratio) {
    const int travel = trackW - thumbPlace.w;
    const int tx = trackX + static_cast<int>(ratio * travel);
    Stretch(p, pic(track), trackX, barTop + y, trackW, 6);
    if (tx > trackX) Stretch(p, pic(fill), trackX, barTop + y, tx - trackX, 6);
    p.drawImage(tx, barTop + thumbPlace.y, pic(thumb));
  };
  slider(bar::kSoundTrack.dx, bar::kSoundTrack.y, bar::kSoundTrack.w, "SoundPro.bmp", "SoundGo.bmp", "SoundBar_Normal.bmp", bar::kSoundThumb, 0.3);
  slider(bar::Left(bar::kBalanceTrack, W), bar::kBalanceTrack.y, bar::kBalanceTrack.w, "TrackPro.bmp", "TrackGo.bmp", "TrackBar_Normal.bmp", bar::kBalanceThumb, 0.5);
  slider(bar::Left(bar::kSeekTrack), bar::kSeekTrack.y, bar::Width(bar::kSeekTrack, W), "VideoPro.bmp", "VideoGo.bmp",
         on ? "VideoBar_Hight.bmp" : "VideoBar_Normal.bmp", bar::kSeekThumb, on ? 0.28 : 0.0);

  // Strip and labels as the window draws them (list font, highlight colour).
  Stretch(p, pic("Media_Strip.bmp"), bar::Left(bar::kMediaStrip), barTop + bar::kMediaStrip.y, bar::Width(bar::kMediaStrip, W), bar::kMediaStrip.h);
  p.setFont(listFont);
  if (on) {
    p.setPen(kHot);
    p.drawText(QRectF(bar::Left(bar::kMediaStrip) + 60, barTop + bar::kMediaStrip.y, 300, bar::kMediaStrip.h), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("城市之光 - 预告片.mp4"));
  }
  p.setPen(QColor(222, 222, 226));
  auto label = [&](const Place& pl, const QString& text, Qt::Alignment a) {
    p.drawText(QRectF(bar::Left(pl, W), barTop + pl.y - 1, pl.w, pl.h + 2), a | Qt::AlignVCenter, text);
  };
  label(bar::kStatus, on ? QStringLiteral("正在播放") : QStringLiteral("准备完毕"), Qt::AlignLeft);
  if (on) {
    label(bar::kResolution, QStringLiteral("1280 x 720"), Qt::AlignLeft);
    label(bar::kTime, QStringLiteral("0:00:52 / 0:03:08"), Qt::AlignRight);
  }
  return img;
}

QImage Sheet(const SkinMaker& s) {
  struct Row { QString label; QStringList names; };
  std::vector<Row> rows;
  auto fam = [&](const QString& base, const QString& suffix, bool disable, const QString& enterBase = {}) {
    QStringList names;
    for (int st = 0; st < (disable ? 4 : 3); ++st)
      names << QString("%1_%2_%3.bmp").arg(st == 2 && !enterBase.isEmpty() ? enterBase : base, kStateWord[st], suffix);
    rows.push_back({base, names});
  };
  for (const char* b : {"Min", "Max", "Restore", "Close"}) fam(b, "Btn", false);
  fam("Play", "Btn", false);
  fam("Pause", "Btn", false);
  for (const char* b : {"Stop", "Prev", "BackWard"}) fam(b, "Btn", true);
  fam("ForWard", "Btn", true, "Forward");
  fam("Next", "Btn", true);
  fam("Open", "btn", false);
  for (const char* b : {"Capture", "ShowPL", "Full"}) fam(b, "btn", true);
  for (const char* b : {"Option", "Sound", "Slience", "CloseList", "Add", "Load", "SaveAll"}) fam(b, "btn", false);
  for (const char* b : {"Del", "Empty", "Save"}) fam(b, "Btn", false);
  rows.push_back({"Url", {"Url_Normal.bmp", "Url_Hight.bmp", "Url_Enter.bmp"}});
  rows.push_back({"Menu", {"Menu_Normal_Menu.bmp", "Menu_Hight_Menu.bmp"}});
  for (const char* b : {"File", "Play", "Dvdnav", "Pip", "View", "Playlist"})
    rows.push_back({QString(b) + " menu", {QString("%1_Normal_menu.bmp").arg(b), QString("%1_Hight_menu.bmp").arg(b)}});
  rows.push_back({"Labels", {"PlayList_Normal.bmp", "PlayList_Hight.bmp", "CaptureList_Normal.bmp", "CaptureList_Hight.bmp"}});
  rows.push_back({"Thumbs", {"VideoBar_Normal.bmp", "VideoBar_Hight.bmp", "SoundBar_Normal.bmp", "TrackBar_Hight.bmp", "Track_L.bmp", "Track_R.bmp"}});
  rows.push_back({"Play types", {"Play_Audio.bmp", "Play_Media_s.bmp", "Play_Dvd.bmp", "Play_Pip_s.bmp"}});
  rows.push_back({"Scroll", {"Scroll_Top.bmp", "Scroll_Bottom.bmp", "Scroll_Bar.bmp"}});

  const int zoom = 2, rowH = 24 * zoom + 10, cols = 2;
  const int perCol = (static_cast<int>(rows.size()) + cols - 1) / cols;
  auto rowWidth = [&](const Row& r) {
    int w = 110;
    for (const QString& name : r.names) w += std::max(s.Get(name).width() * zoom + 12, 60);
    return w;
  };
  std::vector<int> colX(cols + 1, 0);
  for (int c = 0; c < cols; ++c) {
    int widest = 0;
    for (int i = c * perCol; i < std::min<int>((c + 1) * perCol, rows.size()); ++i) widest = std::max(widest, rowWidth(rows[i]));
    colX[c + 1] = colX[c] + widest + 20;
  }
  QImage img = Blank(colX[cols], perCol * rowH + 20, QColor(60, 60, 66));
  QPainter p(&img);
  Hints(p);
  p.setFont(Font(12));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    int cx = colX[i / perCol], cy = 10 + (i % perCol) * rowH;
    p.setPen(QColor(230, 230, 235));
    p.drawText(QRectF(cx + 8, cy, 100, rowH), Qt::AlignLeft | Qt::AlignVCenter, rows[i].label);
    int x = cx + 110;
    for (const QString& name : rows[i].names) {
      const QImage& pic = s.Get(name);
      QImage big = pic.scaled(pic.width() * zoom, pic.height() * zoom);
      p.drawImage(x, cy + (rowH - big.height()) / 2, big);
      x += std::max(big.width() + 12, 60);
    }
  }
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvane_assets <program folder> [--list file] [--preview dir]\n");
    return 2;
  }
  QString listFile, previewDir;
  for (int i = 2; i + 1 < argc; i += 2) {
    QString flag = QString::fromLocal8Bit(argv[i]);
    if (flag == "--list") listFile = QString::fromLocal8Bit(argv[i + 1]);
    else if (flag == "--preview") previewDir = QString::fromLocal8Bit(argv[i + 1]);
    else {
      std::fprintf(stderr, "unknown option %s\n", argv[i]);
      return 2;
    }
  }
  LoadFonts();

  QDir root(QString::fromLocal8Bit(argv[1]));
  if (!root.mkpath("Image") || !root.mkpath("Skin/Default")) {
    std::fprintf(stderr, "cannot make folders under %s\n", argv[1]);
    return 1;
  }
  bool ok = WriteBytes(root.filePath("Image/logo_s.ico"), IcoFile({Logo(16), Logo(32)})) &&
            WriteBytes(root.filePath("Image/logo_m.ico"), IcoFile({Logo(32), Logo(48)}));

  SkinMaker maker;
  maker.Make();
  QDir skinDir(root.filePath("Skin/Default"));
  for (const auto& [name, image] : maker.pictures) ok = Save(image, skinDir.filePath(name), "BMP") && ok;
  std::vector<unsigned char> jpeg = SkinMaker::EncodeJpeg(maker.jpegSource);
  ok = !jpeg.empty() && WriteBytes(skinDir.filePath("Txt_BG.jpg"), QByteArray(reinterpret_cast<const char*>(jpeg.data()), jpeg.size())) && ok;
  if (!ok) return 1;

  if (!listFile.isEmpty()) {
    QFile f(listFile);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
      std::fprintf(stderr, "cannot read %s\n", qPrintable(listFile));
      return 1;
    }
    QStringList missing;
    QTextStream in(&f);
    while (!in.atEnd()) {
      QString name = in.readLine().trimmed();
      if (name.isEmpty() || name.startsWith('#')) continue;
      // Exact case: the file has to be among this run's output, not left over.
      bool made = maker.pictures.count(name) || name == QLatin1String("Txt_BG.jpg");
      if (!made || !QFileInfo::exists(skinDir.filePath(name))) missing << name;
    }
    if (!missing.isEmpty()) {
      std::fprintf(stderr, "skin pictures not made: %s\n", qPrintable(missing.join(", ")));
      return 1;
    }
  }

  if (!previewDir.isEmpty()) {
    QDir(previewDir).mkpath(".");
    QDir out(previewDir);
    MockState start;
    MockState playing{skin::kClientW + panel::kW + panel::kSplitterW, true, true, true};
    ok = Save(Mock(maker, start), out.filePath("skin_preview_start.png"), "PNG") &&
         Save(Mock(maker, playing), out.filePath("skin_preview_playing.png"), "PNG") &&
         Save(Sheet(maker), out.filePath("skin_sheet.png"), "PNG");
  }
  return ok ? 0 : 1;
}
