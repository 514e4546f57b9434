// Text events: the learner copies running text (free texts, sentences, paragraphs, exams) into
// the input line under it, or types over the text in the older drill. The keyword decides the
// layout, the blocks and the exam rules.
#pragma once

#include <memory>

#include "content/examrules.h"
#include "content/textblocks.h"
#include "content/textevents.h"
#include "engine/ui/timedevent.h"

class QLabel;

namespace ks {

class TTrafficLightLcd;
class TViewCanvas;
class TTypingCanvas;

class TTextEventView : public TTimedEvent, public TextBlockListener {
  Q_OBJECT

 public:
  // `keyword` is the event's type ("TEXT2", "SENTENCE", "EXAM", ...).
  TTextEventView(const std::string& line, const std::string& keyword);
  ~TTextEventView() override;

  void Setup() override;
  void Hide() override;
  void KeyPress(unsigned char& key) override;
  int ProgressPercent() const override;
  void ShowRhythmLight(int light) override;

  // TextBlockListener
  void BlockShown(const std::string& attribution) override;
  void MarkCompleted() override;
  void ResetInputLine() override;

  TViewCanvas* ViewCanvas() const { return view_; }
  TTypingCanvas* InputLine() const { return line_; }
  // The rhythm light, shown when the policy turns "Rhythm" on; null otherwise.
  TTrafficLightLcd* RhythmLight() const { return light_; }
  const ExamCriteria& Exam() const { return exam_; }

 private:
  void showRhythmLight(QWidget* page);

  const TextEventTraits* traits_;
  TViewCanvas* view_ = nullptr;
  TTypingCanvas* line_ = nullptr;
  QLabel* copyright_ = nullptr;
  TTrafficLightLcd* light_ = nullptr;
  std::unique_ptr<TypingCore> checker_;
  std::unique_ptr<TypingServices> services_;
  ExamVariant examVariant_ = ExamVariant::None;
  ExamCriteria exam_;
  ExamTypedLog typedLog_;
};

}  // namespace ks
