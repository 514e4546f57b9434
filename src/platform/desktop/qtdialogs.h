// Message boxes shown with Qt.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace ks {

class QtDialogs final : public Dialogs {
 public:
  // Boxes are centred on `parent` (the main window) when it exists.
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  bool messageBox(const std::string& text, const std::string& caption, BoxKind kind) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace ks
