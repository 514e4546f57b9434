#include "platform/desktop/qtdialogs.h"

#include <QMessageBox>

#include "platform/desktop/qtext.h"

namespace ks {
namespace {

// Keys go back to the window the box stood over; without a window manager (kiosk sessions) no
// one else hands the focus back, and the window's shortcuts would be dead.
int answered(QWidget* parent, int answer) {
  if (parent != nullptr && parent->isVisible()) parent->activateWindow();
  return answer;
}

}  // namespace

bool QtDialogs::messageBox(const std::string& text, const std::string& caption, BoxKind kind) {
  QMessageBox box(parent_);
  box.setWindowTitle(toQString(caption));
  // Composed messages start with a line break; a box should not.
  box.setText(toQString(text).trimmed());
  switch (kind) {
    case BoxKind::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case BoxKind::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case BoxKind::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case BoxKind::Question:
    case BoxKind::QuestionNo:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(kind == BoxKind::QuestionNo ? QMessageBox::No : QMessageBox::Yes);
      return answered(parent_, box.exec()) == QMessageBox::Yes;
  }
  answered(parent_, box.exec());
  return true;
}

}  // namespace ks
