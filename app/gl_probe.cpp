// OrvaneGlProbe: prints the OpenGL renderer string this display gives and
// exits 0, or exits non-zero when no context can be made current. The player
// runs it as a child so that it never maps an OpenGL driver it will not use.
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  QOpenGLContext context;
  if (!context.create()) return 1;
  QOffscreenSurface surface;
  surface.setFormat(context.format());
  surface.create();
  if (!surface.isValid() || !context.makeCurrent(&surface)) return 1;
  const auto* renderer = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
  if (!renderer) return 1;
  std::printf("%s\n", renderer);
  context.doneCurrent();
  return 0;
}
