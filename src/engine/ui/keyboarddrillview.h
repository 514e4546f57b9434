// The keyboard drill views: a timed event with the on-screen keyboard, the hands with the finger
// to use and the repetition marks, driving a plain drill (engine/keygroupdrill.h and friends)
// that decides what they show.
#pragma once

#include <QImage>
#include <memory>
#include <vector>

#include "engine/drillbase.h"
#include "engine/ui/timedevent.h"
#include "platform/random.h"

class QLabel;

namespace ks {

class TKeyboard;
class TFingers;
class TMissedLcd;
class TimerFollower;

class TCustomKeyboardEvent2 : public TTimedEvent, public DrillDisplay {
  Q_OBJECT

 public:
  explicit TCustomKeyboardEvent2(const std::string& line);
  ~TCustomKeyboardEvent2() override;

  void Setup() override;
  void Hide() override;
  void KeyPress(unsigned char& key) override;
  int ProgressPercent() const override;
  void StartTyping() override;

  // DrillDisplay
  void ShowFinger(int finger) override;
  void ShowFingers(uint16_t mask) override;
  void ShowRepetitions(int correct, int target, bool visible) override;
  void Close(int closeResult) override { SetCloseResult(closeResult); }

  KeyboardDrill* Drill() const { return drill_.get(); }
  TKeyboard* Keyboard() const { return keyboard_; }
  TFingers* Fingers() const { return fingers_; }
  TMissedLcd* Repetitions() const { return missed_; }

  // The marks of the repetition display: not yet earned and earned.
  static QImage OkOff();
  static QImage OkOn();

 protected:
  // The drill of this view, made when the view is set up.
  virtual std::unique_ptr<KeyboardDrill> MakeDrill(const DrillContext& context) = 0;
  // Places the view's own controls on the page, after the drill is made and before it is set up.
  virtual void SetupControls(QWidget* page) { (void)page; }
  // The tips shown until the exercise starts: (message, x, y).
  void AddTip(int message, int x, int y);
  // What the drill is set up from: the line, the taught keys, the learner's settings.
  virtual DrillSetup MakeSetup() const;
  bool KeyDown(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  TKeyboard* keyboard_ = nullptr;
  TFingers* fingers_ = nullptr;
  TMissedLcd* missed_ = nullptr;
  QLabel* correctTitle_ = nullptr;
  std::vector<QLabel*> tips_;

 private:
  std::unique_ptr<KeyboardDrill> drill_;
  std::unique_ptr<TypingServices> services_;
  std::vector<std::unique_ptr<TimerFollower>> followers_;
  SeededRandom random_;
};

}  // namespace ks
