// Views: every screen of the tutor is a view that fills the book page while it is active and
// returns an integer close result. A view runs modally on a local event loop; views nest.
#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QKeyEvent;

namespace ks {

class TFormView : public QObject {
  Q_OBJECT

 public:
  TFormView();
  ~TFormView() override;

  virtual bool CanSkip() { return false; }
  virtual void Activate();
  // Runs until the view is closed (a close refused by the close query keeps it running) and
  // returns the close result.
  int RunModal();
  // Closes the view unless the close query aborts; false when refused.
  bool Close();
  virtual void Setup() {}
  virtual void Show() {}
  virtual void Hide();

  int CloseResult() const { return closeResult_; }
  // Any value other than 0 also ends the modal loop.
  void SetCloseResult(int result);

  bool Active() const { return active_; }
  bool Shown() const { return shown_; }
  bool InModalLoop() const { return inModalLoop_; }

  std::function<void(bool& abort)> OnCloseQuery;
  std::function<void()> OnClosed;

  static TFormView* ActiveView();

 protected:
  // The view that was active when this one became active (the one it runs inside).
  TFormView* PreviousView() const { return previousActive_; }

  bool shown_ = false;

 private:
  int closeResult_ = 0;
  bool done_ = false;
  bool active_ = false;
  bool inModalLoop_ = false;
  TFormView* previousActive_ = nullptr;
};

// A view of the book page with the standard buttons, the menu and key routes.
class TCustomBookView : public TFormView {
  Q_OBJECT

 public:
  TCustomBookView();
  ~TCustomBookView() override;

  void Setup() override;
  void Show() override;
  void Hide() override;

  bool CancelVisible = true;
  bool OKInsteadOfNext = false;
  bool MenuVisible = true;
  bool EnterCloses = true;
  int ButtonFlags = 1;

  // The widget the view builds its controls on: a child of the page, created in Setup and
  // destroyed in Hide.
  QWidget* Content() const { return content_; }
  void SetTitle(const QString& title);

 protected:
  virtual void ButtonClick(QObject* sender);
  // Enter and Escape; true when handled.
  virtual bool ShortCut(QKeyEvent* event);
  // Every other key pressed while the view is active; true when handled.
  virtual bool KeyDown(QKeyEvent* event);
  // Text an input method commits (some deliver plain letters this way); true when handled.
  virtual bool CommitText(const QString& text) {
    (void)text;
    return false;
  }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Tab from the window itself: the first Tab of a page goes to the page's own controls.
  bool keyboardAccess(QKeyEvent* event);

  QPointer<QWidget> content_;
  // The page of the view this one runs inside: hidden meanwhile so that Tab and mnemonics
  // reach only what the learner sees; its focus comes back with it.
  QPointer<QWidget> covered_;
  QPointer<QWidget> coveredFocus_;
  // The widget the learner last tabbed to: Enter presses it when it is a button.
  QPointer<QWidget> tabbedTo_;
  bool tabKey_ = false;
  std::vector<QMetaObject::Connection> connections_;
  bool routed_ = false;
};

// A view that shows a result panel instead of the menu and the standard buttons.
class TCustomResultView : public TCustomBookView {
  Q_OBJECT

 public:
  TCustomResultView();
  void Setup() override;

  bool UsePanel = true;
  QWidget* ResultPanel() const { return resultPanel_; }
  QAbstractButton* ResultOKBtn() const { return okBtn_; }

 protected:
  virtual void ResultButtonClick(QObject* sender);

 private:
  QPointer<QWidget> resultPanel_;
  QPointer<QAbstractButton> okBtn_;
};

// Set when the program must end (session end, SIGTERM): modal loops return. Cleared only by a
// test that ended the program's loops, so that the next test in the same run starts afresh.
bool appTerminating();
void setAppTerminating(bool ending = true);

}  // namespace ks
