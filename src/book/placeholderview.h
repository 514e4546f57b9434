// A page for a part of the tutor that this version does not have yet: it says so plainly and
// offers the way back, instead of an empty page. The same card carries short notices.
#pragma once

#include "book/formview.h"

namespace ks {

class TPlaceholderView : public TCustomBookView {
  Q_OBJECT

 public:
  // The picture beside the text: a clock for "not yet", an "i" for information.
  enum class Sign { Later, Info };

  TPlaceholderView(QString title, QString text, Sign sign = Sign::Later);
  void Setup() override;

 private:
  QString title_;
  QString text_;
  Sign sign_;
};

}  // namespace ks
