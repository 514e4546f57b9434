#include "platform/desktop/qtdialogs.h"

#include <QMessageBox>

#include "platform/desktop/qtext.h"

namespace ks {

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
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      return box.exec() == QMessageBox::Yes;
  }
  box.exec();
  return true;
}

}  // namespace ks
