// Helpers of the monitor's end-to-end test:
//   typingprobe window   a small window with a text field to type into
//   typingprobe grab     holds the keyboard grab, as a lock screen or password prompt does,
//                        until killed; prints "grabbed" once it holds it
//   typingprobe trygrab  asks for the keyboard grab once and ends, printing "refused" when
//                        another program holds it
//   typingprobe xi2grab  holds the keyboard through an XInput 2 grab, as toolkits' menus and
//                        prompts do, until killed; prints "grabbed" once it holds it
//   typingprobe fields   a window with a text field and a password field; a line "text" or
//                        "password" on its input moves the focus there, and it prints
//                        "focus text" or "focus password"
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QVBoxLayout>
#include <QWidget>
// Xlib after Qt: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

// Tries `grab` for five seconds; once it holds, says so and keeps it until the process is ended.
int holdGrab(Display* d, const std::function<bool()>& grab) {
  for (int i = 0; i < 50; ++i) {
    if (grab()) {
      XSync(d, False);
      std::printf("grabbed\n");
      std::fflush(stdout);
      for (;;) pause();
    }
    usleep(100000);
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "grab") == 0) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 2;
    return holdGrab(d, [d] {
      return XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync,
                           CurrentTime) == GrabSuccess;
    });
  }
  if (argc > 1 && std::strcmp(argv[1], "xi2grab") == 0) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 2;
    int keyboard = -1, n = 0;
    XIDeviceInfo* devices = XIQueryDevice(d, XIAllMasterDevices, &n);
    for (int i = 0; i < n; ++i)
      if (devices[i].use == XIMasterKeyboard) keyboard = devices[i].deviceid;
    XIFreeDeviceInfo(devices);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_KeyPress);
    XISetMask(bits, XI_KeyRelease);
    XIEventMask mask{keyboard, sizeof bits, bits};
    if (keyboard < 0) return 1;
    return holdGrab(d, [&] {
      return XIGrabDevice(d, keyboard, DefaultRootWindow(d), CurrentTime, None, GrabModeAsync,
                          GrabModeAsync, False, &mask) == Success;
    });
  }
  if (argc > 1 && std::strcmp(argv[1], "trygrab") == 0) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 2;
    const int status =
        XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    std::printf("%s\n", status == GrabSuccess ? "grabbed" : "refused");
    XCloseDisplay(d);
    return 0;
  }
  QApplication app(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "fields") == 0) {
    QWidget window;
    window.setWindowTitle("typing probe");
    auto* layout = new QVBoxLayout(&window);
    auto* text = new QLineEdit(&window);
    text->setAccessibleName("Name");
    auto* secret = new QLineEdit(&window);
    secret->setAccessibleName("Password");
    secret->setEchoMode(QLineEdit::Password);
    layout->addWidget(text);
    layout->addWidget(secret);
    window.resize(400, 100);
    window.show();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
      char line[64] = {};
      const ssize_t n = read(STDIN_FILENO, line, sizeof line - 1);
      if (n <= 0) return QApplication::quit();
      const bool password = std::strncmp(line, "password", 8) == 0;
      (password ? secret : text)->setFocus();
      std::printf("focus %s\n", password ? "password" : "text");
      std::fflush(stdout);
    });
    return QApplication::exec();
  }
  QLineEdit field;
  field.setWindowTitle("typing probe");
  field.resize(400, 40);
  field.show();
  return QApplication::exec();
}
