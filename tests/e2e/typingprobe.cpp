// Helpers of the monitor's end-to-end test:
//   typingprobe window   a small window with a text field to type into
//   typingprobe grab     holds the keyboard grab, as a lock screen or password prompt does,
//                        until killed; prints "grabbed" once it holds it
#include <QApplication>
#include <QLineEdit>
// Xlib after Qt: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "grab") == 0) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 2;
    for (int i = 0; i < 50; ++i) {
      if (XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync,
                        CurrentTime) == GrabSuccess) {
        XSync(d, False);
        std::printf("grabbed\n");
        std::fflush(stdout);
        for (;;) pause();
      }
      usleep(100000);
    }
    return 1;
  }
  QApplication app(argc, argv);
  QLineEdit field;
  field.setWindowTitle("typing probe");
  field.resize(400, 40);
  field.show();
  return QApplication::exec();
}
