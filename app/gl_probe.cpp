// OrvaneGlProbe: prints the OpenGL renderer this display gives and exits 0,
// or exits non-zero when no context can be made current. The player runs it
// as a child so that it never maps an OpenGL driver it will not use, and
// waits for it before choosing the renderer, so it is kept to plain GLX.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool HasExtension(Display* display, const char* name) {
  int opcode = 0, event = 0, error = 0;
  return XQueryExtension(display, name, &opcode, &event, &error);
}

// Errors end the probe with "no OpenGL" rather than Xlib's exit message.
int OnXError(Display*, XErrorEvent*) { std::_Exit(1); }

}  // namespace

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  XSetErrorHandler(OnXError);
  if (!HasExtension(display, "GLX")) return 1;
  // Without a direct rendering path (DRI3, DRI2 or NVIDIA's own GLX) Mesa can
  // only rasterise in software. Saying so takes no driver load, which on such
  // displays is most of the wait.
  if (!HasExtension(display, "DRI3") && !HasExtension(display, "DRI2") &&
      !HasExtension(display, "NV-GLX")) {
    std::printf("software rasteriser (no direct rendering on this display)\n");
    return 0;
  }
  const int screen = DefaultScreen(display);
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
  XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
  if (!visual) return 1;
  GLXContext context = glXCreateContext(display, visual, nullptr, True);
  if (!context) return 1;
  XSetWindowAttributes set{};
  set.colormap = XCreateColormap(display, RootWindow(display, screen), visual->visual, AllocNone);
  // Never mapped: a drawable to make the context current on.
  const Window window = XCreateWindow(display, RootWindow(display, screen), 0, 0, 1, 1, 0,
                                      visual->depth, InputOutput, visual->visual, CWColormap, &set);
  if (!glXMakeCurrent(display, window, context)) return 1;
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!renderer) return 1;
  std::printf("%s\n", renderer);
  glXMakeCurrent(display, None, nullptr);
  glXDestroyContext(display, context);
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return 0;
}
