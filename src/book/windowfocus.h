// Keys go to the window the learner sees. A window manager gives the focus to a dialog that
// opens and back to the book when it closes; without one (a bare X server, a kiosk session)
// nobody does, and Tab and Alt letters reach nothing until a mouse click. The program does it
// itself.
#pragma once

class QWidget;

namespace ks {

// From now on: a window of the program that opens takes the focus unless a modal one blocks
// it, and when one closes the focus goes to the modal window still open, else to `main`. Also
// `main` itself when it is shown.
void keepWindowFocus(QWidget* main);

}  // namespace ks
