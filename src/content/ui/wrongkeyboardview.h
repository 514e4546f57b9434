// The warning shown when a course needs keys the learner's keyboard layout cannot type: which
// keys are missing, which layout is in use, and the ways on (settings, US International, go on,
// another course).
#pragma once

#include <string>

#include "book/formview.h"

namespace ks {

class TWrongKeyboardView : public TCustomBookView {
  Q_OBJECT

 public:
  // `missing`: the keys the layout lacks; `layoutName`: the layout as the learner knows it.
  TWrongKeyboardView(std::string missing, std::string layoutName);
  void Setup() override;

  // The close result when the learner switched the desktop's layout while the view showed.
  static constexpr int kLayoutSwitched = 9;

 private:
  std::string missing_;
  std::string layoutName_;
  std::string shownLayoutId_;  // the desktop's layout when the view opened
};

}  // namespace ks
