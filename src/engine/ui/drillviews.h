// The keyboard drill views by keyword: key groups ("KEY2", "NEWKEYS"), key introductions
// ("KEYINTRO"), rows and sentences typed over the text ("WORD2", "SENTENCE2", "KEYBOARD",
// "KEYBROW", "KEYBSENTENCE") and single words ("WORD").
#pragma once

#include <QLabel>
#include <QPointer>
#include <memory>
#include <string>

#include "content/eventfactory.h"
#include "engine/keygroupdrill.h"
#include "engine/keyintrodrill.h"
#include "engine/textdrill.h"
#include "engine/ui/exercisecanvas.h"
#include "engine/ui/keyboarddrillview.h"
#include "engine/ui/keygroupview.h"

namespace ks {

class TNewKeysEvent2 : public TCustomKeyboardEvent2 {
  Q_OBJECT

 public:
  explicit TNewKeysEvent2(const std::string& line, KeyGroupDrill::Generation generation =
                                                       KeyGroupDrill::Generation::Current);

  void Setup() override;
  void GroupChanged() override;
  void ShowFingerLabel(const std::string& text) override;
  void StartTyping() override;

  KeyGroupDrill* Groups() const { return groups_; }
  TKeyGroupPicture* Picture() const { return picture_; }
  QLabel* FingerLabel() const { return fingerLabel_; }

 protected:
  std::unique_ptr<KeyboardDrill> MakeDrill(const DrillContext& context) override;
  void SetupControls(QWidget* page) override;
  DrillSetup MakeSetup() const override;

 private:
  KeyGroupDrill::Generation generation_;
  KeyGroupDrill* groups_ = nullptr;
  QPointer<TKeyGroupPicture> picture_;
  QPointer<QLabel> fingerLabel_;
};

// The older key-group drill.
class TNewKeysEvent : public TNewKeysEvent2 {
  Q_OBJECT

 public:
  explicit TNewKeysEvent(const std::string& line)
      : TNewKeysEvent2(line, KeyGroupDrill::Generation::Older) {}
};

class TIntroKeysEvent : public TCustomKeyboardEvent2 {
  Q_OBJECT

 public:
  explicit TIntroKeysEvent(const std::string& line);

  void Setup() override;
  void FinishTyping() override;
  void ShowIntroLines(const std::string& row1, const std::string& row2) override;
  void ShowIntroText(const std::string& text) override;

  KeyIntroDrill* Intro() const { return intro_; }
  QLabel* IntroText() const { return introText_; }
  QLabel* IntroRow1() const { return row1_; }
  QLabel* IntroRow2() const { return row2_; }

 protected:
  std::unique_ptr<KeyboardDrill> MakeDrill(const DrillContext& context) override;
  void SetupControls(QWidget* page) override;

 private:
  KeyIntroDrill* intro_ = nullptr;
  QPointer<QLabel> introText_, row1_, row2_;
};

// Text typed over the view canvas: "WORD2", "SENTENCE2" and the older text drills.
class TKeybTextEvent2 : public TCustomKeyboardEvent2 {
  Q_OBJECT

 public:
  TKeybTextEvent2(const std::string& line, TextDrill::Variant variant);

  TViewCanvas* ViewCanvas() const { return view_; }

 protected:
  std::unique_ptr<KeyboardDrill> MakeDrill(const DrillContext& context) override;
  void SetupControls(QWidget* page) override;

 private:
  TextDrill::Variant variant_;
  QPointer<TViewCanvas> view_;
};

// The older paragraph drill: one line at a time, typed over the text.
class TKeybParagraphEvent : public TCustomKeyboardEvent2 {
  Q_OBJECT

 public:
  explicit TKeybParagraphEvent(const std::string& line) : TCustomKeyboardEvent2(line) {}

  TViewCanvas* ViewCanvas() const { return view_; }

 protected:
  std::unique_ptr<KeyboardDrill> MakeDrill(const DrillContext& context) override;
  void SetupControls(QWidget* page) override;

 private:
  QPointer<TViewCanvas> view_;
};

class TKeybRowEvent2 : public TKeybTextEvent2 {
  Q_OBJECT

 public:
  explicit TKeybRowEvent2(const std::string& line)
      : TKeybTextEvent2(line, TextDrill::Variant::Row) {}
};

class TKeybSentenceEvent2 : public TKeybTextEvent2 {
  Q_OBJECT

 public:
  explicit TKeybSentenceEvent2(const std::string& line)
      : TKeybTextEvent2(line, TextDrill::Variant::Sentence) {}
};

class TWordEvent : public TCustomKeyboardEvent2 {
  Q_OBJECT

 public:
  explicit TWordEvent(const std::string& line);
  ~TWordEvent() override;

  void GroupChanged() override;
  TWordViewCanvas* WordCanvas() const { return canvas_; }

 protected:
  std::unique_ptr<KeyboardDrill> MakeDrill(const DrillContext& context) override;
  void SetupControls(QWidget* page) override;

 private:
  class CanvasWord;
  std::unique_ptr<CanvasWord> word_;
  QPointer<TWordViewCanvas> canvas_;
};

// The view of a drill keyword, or null for other keywords.
std::unique_ptr<LessonEvent> CreateDrillView(const std::string& keyword, const std::string& line);

}  // namespace ks
