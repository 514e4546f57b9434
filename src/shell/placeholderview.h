// A page for a part of the tutor that this version does not have yet: it says so plainly and
// offers the way back, instead of an empty page.
#pragma once

#include "shell/formview.h"

namespace ks {

class TPlaceholderView : public TCustomBookView {
  Q_OBJECT

 public:
  explicit TPlaceholderView(QString title, QString text);
  void Setup() override;

 private:
  QString title_;
  QString text_;
};

}  // namespace ks
