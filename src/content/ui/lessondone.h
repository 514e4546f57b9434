// The page after the last exercise of a lesson: the keys the learner knows now on the keyboard,
// and the way to the next lesson (or the end of the course).
#pragma once

#include <QPointer>
#include <string>

#include "book/formview.h"

namespace ks {

class TBookMark;
class TKeyboard;

class TLessonDone : public TCustomBookView {
  Q_OBJECT

 public:
  // `knownKeys`: the keys up to the learner's key level.
  TLessonDone(TBookMark& bookmark, bool lastLesson, std::string nextTitle, std::string knownKeys);
  ~TLessonDone() override;

  void Setup() override;
  void Hide() override;

 private:
  TBookMark& bookmark_;
  bool last_;
  std::string nextTitle_;
  std::string knownKeys_;
  std::unique_ptr<TKeyboard> keyboard_;
};

}  // namespace ks
