// Text events: the learner copies running text (free texts, sentences, paragraphs, exams) into
// the input line under it, or types over the text in the older drill. The keyword decides the
// layout, the blocks and the exam rules.
#pragma once

#include <QPointer>
#include <QRect>
#include <memory>
#include <utility>
#include <vector>

#include "content/examrules.h"
#include "content/textblocks.h"
#include "content/textevents.h"
#include "engine/ui/timedevent.h"

class QLabel;

namespace ks {

class TKeyboard;
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
  void StartTyping() override;

  // TextBlockListener
  void BlockShown(const std::string& attribution) override;
  void MarkCompleted() override;
  void ResetInputLine() override;

  TViewCanvas* ViewCanvas() const { return view_; }
  TTypingCanvas* InputLine() const { return line_; }
  // The rhythm light, shown when the policy turns "Rhythm" on; null otherwise.
  TTrafficLightLcd* RhythmLight() const { return light_; }
  const ExamCriteria& Exam() const { return exam_; }
  // The on-screen keyboard of the paragraph layouts; null otherwise.
  TKeyboard* Keyboard() const { return keyboard_; }
  // The "Type here:" prompt over the empty input line, until the learner starts.
  QLabel* TypeHerePanel() const { return typeHere_; }
  // What an exam asks for, beside the text; null for other events.
  QLabel* ExamRequirements() const { return requirements_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showRhythmLight(QWidget* page);
  void placePromptAndDivider(QWidget* page);
  void showKeyboard(QWidget* page);
  void setupExam(QWidget* page);

  const TextEventTraits* traits_;
  TViewCanvas* view_ = nullptr;
  TTypingCanvas* line_ = nullptr;
  QLabel* copyright_ = nullptr;
  TTrafficLightLcd* light_ = nullptr;
  TKeyboard* keyboard_ = nullptr;
  // The window's buttons moved out of the keyboard's way, with their places to go back to.
  std::vector<std::pair<QPointer<QWidget>, QRect>> movedButtons_;
  QLabel* typeHere_ = nullptr;
  QLabel* requirements_ = nullptr;
  std::unique_ptr<TypingCore> checker_;
  std::unique_ptr<TypingServices> services_;
  ExamVariant examVariant_ = ExamVariant::None;
  ExamCriteria exam_;
  ExamTypedLog typedLog_;
};

}  // namespace ks
