// The screen of the builder event: which keys to review (the most difficult ones, the lesson's,
// or keys the learner types in) and how (a keyboard exercise, a text exercise or a game).
#pragma once

#include <QPointer>
#include <functional>

#include "book/formview.h"
#include "content/builderevent.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace ks {

class TBuilderView : public TCustomBookView, public BuilderChoice {
  Q_OBJECT

 public:
  TBuilderView();
  int RunModal() override { return TFormView::RunModal(); }
  void Setup() override;
  void Hide() override;

 protected:
  void ButtonClick(QObject* sender) override;

 private:
  void readAnswers();

  QPointer<QRadioButton> difficultOpt_, currentOpt_, chooseOpt_;
  QPointer<QRadioButton> keyboardRev_, textRev_, gameMethod_;
  QPointer<QComboBox> gameCombo_;
  QPointer<QLineEdit> yourKeys_;
  QPointer<QLabel> difKeys_, studiedKeys_;
  QPointer<QWidget> graph_;
};

// Makes "BUILDER" lines run the builder event with this view. `services` is asked for the
// running tutor's learner, layout, factory and views each time a builder event starts.
void registerBuilderEvent(std::function<BuilderEventServices()> services);

}  // namespace ks
