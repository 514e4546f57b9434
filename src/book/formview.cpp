#include "book/formview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "book/bookwidgets.h"
#include "book/bookwindow.h"
#include "book/keyaccess.h"
#include "book/uistyle.h"
#include "platform/desktop/readyprobe.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

namespace ks {
namespace {

TFormView* activeView = nullptr;
bool terminating = false;

}  // namespace

bool appTerminating() {
  return terminating;
}

void setAppTerminating(bool ending) {
  terminating = ending;
  if (!ending) return;
  // Wake a modal loop that waits for events.
  QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::User));
}

TFormView* TFormView::ActiveView() {
  return activeView;
}

TFormView::TFormView() = default;

TFormView::~TFormView() {
  if (active_) {
    dialogs().messageBox("Destroying an active view!", "keyscholar", BoxKind::Error);
    OnCloseQuery = nullptr;
    Close();
  }
}

void TFormView::SetCloseResult(int result) {
  closeResult_ = result;
  if (result != 0) done_ = true;
}

void TFormView::Activate() {
  previousActive_ = activeView;
  activeView = this;
  closeResult_ = 0;
  done_ = false;
  Setup();
  Show();
  // Active before the page goes live: going live processes pending events, which may already
  // belong to this view.
  active_ = true;
  if (TBookFormEx* book = bookForm()) {
    book->PageState(1);
    book->PageState(3);
  }
}

int TFormView::RunModal() {
  inModalLoop_ = true;
  Activate();
  ReadyProbe::pageShown(bookForm(), metaObject()->className());
  // A result set while the view was being shown (showing processes pending events) counts.
  for (;;) {
    while (!done_ && !terminating) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (Close() || terminating) break;
    closeResult_ = 0;
    done_ = false;
  }
  if (active_) {
    // The program is ending: a view that refused to close is hidden all the same.
    OnCloseQuery = nullptr;
    Close();
  }
  inModalLoop_ = false;
  return closeResult_;
}

bool TFormView::Close() {
  if (!active_) return true;
  bool abort = false;
  if (OnCloseQuery) OnCloseQuery(abort);
  if (abort) return false;
  if (shown_) Hide();
  if (activeView == this) activeView = previousActive_;
  previousActive_ = nullptr;
  if (inModalLoop_) done_ = true;
  active_ = false;
  if (OnClosed) OnClosed();
  return true;
}

void TFormView::Hide() {
  shown_ = false;
  if (TBookFormEx* book = bookForm()) book->PageState(2);
}

TCustomBookView::TCustomBookView() = default;

TCustomBookView::~TCustomBookView() {
  if (routed_) qApp->removeEventFilter(this);
  delete content_.data();
}

void TCustomBookView::Setup() {
  TBookFormEx* book = bookForm();
  if (OKInsteadOfNext) {
    ButtonFlags = (ButtonFlags & ~TBookFormEx::kNext) | TBookFormEx::kOK;
  }
  if (CancelVisible) {
    ButtonFlags |= TBookFormEx::kCancel;
  } else {
    ButtonFlags &= ~TBookFormEx::kCancel;
  }
  if (book) {
    book->SetExitVisible(true);
    content_ = new QWidget(book->Book());
    content_->setObjectName("ViewContent");
    content_->setGeometry(0, 0, TBookFormEx::kPageWidth, TBookFormEx::kPageHeight);
    // A nested view covers the one beneath it.
    content_->setAutoFillBackground(true);
    QPalette pal = content_->palette();
    pal.setColor(QPalette::Window, colours().page);
    content_->setPalette(pal);
    for (QAbstractButton* b : {book->NextBtn(), book->OKBtn(), book->CancelBtn()}) {
      connections_.push_back(
          connect(b, &QAbstractButton::clicked, this, [this, b] { ButtonClick(b); }));
    }
  }
  qApp->installEventFilter(this);
  routed_ = true;
}

void TCustomBookView::Show() {
  if (TBookFormEx* book = bookForm()) {
    book->SetMenuVisible(MenuVisible);
    book->SetStandardButtons(ButtonFlags);
    // The control the view chose for the keys, maybe while it was still hidden.
    QPointer<QWidget> wanted = book->focusWidget();
    if (content_) {
      content_->show();
      content_->lower();
      content_->stackUnder(book->TitleLbl());
      nameByCaptions(content_);
      auto* outer = dynamic_cast<TCustomBookView*>(PreviousView());
      if (outer && outer->Content() && outer->Content() != content_) {
        covered_ = outer->Content();
        QWidget* focus = QApplication::focusWidget();
        if (focus && covered_->isAncestorOf(focus)) {
          coveredFocus_ = focus;
          focus->clearFocus();
        }
        covered_->hide();
      }
    }
    book->BringFrameToFront();
    book->Book()->update();
    // The window holds the focus until the learner tabs: activating it would otherwise focus
    // the first button, and Enter would press that instead of the view's own answer.
    if (wanted && content_ && content_->isAncestorOf(wanted)) {
      wanted->setFocus();
    } else if (!QApplication::focusWidget() || !QApplication::focusWidget()->isVisible()) {
      book->setFocus();
    }
  }
  shown_ = true;
}

void TCustomBookView::Hide() {
  if (TBookFormEx* book = bookForm()) book->SetStandardButtons(0);
  for (auto& c : connections_) disconnect(c);
  connections_.clear();
  if (routed_) {
    qApp->removeEventFilter(this);
    routed_ = false;
  }
  TFormView::Hide();
  // The focus stays on the page rather than wandering to a standard button as the page goes.
  QWidget* focus = QApplication::focusWidget();
  if (focus && content_ && content_->isAncestorOf(focus)) {
    if (TBookFormEx* book = bookForm()) book->setFocus();
  }
  delete content_.data();
  if (covered_) {
    covered_->show();
    if (coveredFocus_) coveredFocus_->setFocus(Qt::OtherFocusReason);
  }
  covered_ = nullptr;
  coveredFocus_ = nullptr;
}

void TCustomBookView::SetTitle(const QString& title) {
  if (TBookFormEx* book = bookForm()) book->SetTitle(title);
}

void TCustomBookView::ButtonClick(QObject* sender) {
  sound().play(SoundId::Click);
  const QString name = sender->objectName();
  if (name == "NextBtn" || name == "OKBtn") {
    SetCloseResult(1);
  } else if (name == "CancelBtn") {
    SetCloseResult(2);
  }
}

bool TCustomBookView::ShortCut(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && EnterCloses) {
    SetCloseResult(1);
    return true;
  }
  if (key == Qt::Key_Escape) {
    SetCloseResult(2);
    return true;
  }
  return false;
}

bool TCustomBookView::KeyDown(QKeyEvent*) {
  return false;
}

bool TCustomBookView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
    const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
    const bool byKeys = why == Qt::TabFocusReason || why == Qt::BacktabFocusReason;
    // Qt also moves the focus "by Tab" when a focused widget hides: only a Tab key counts.
    tabbedTo_ = byKeys && tabKey_ ? static_cast<QWidget*>(watched) : nullptr;
    tabKey_ = false;
  }
  const bool key = event->type() == QEvent::KeyPress;
  const bool commit = event->type() == QEvent::InputMethod;
  if ((!key && !commit) || ActiveView() != this || !Shown()) return false;
  TBookFormEx* book = bookForm();
  if (!book) return false;
  // Keys of the book window only (not of message boxes), and each key once: Qt offers a key to
  // the focus widget and then to its parents.
  QWidget* focus = QApplication::focusWidget();
  QWidget* target = focus && focus->window() == book ? focus : book;
  if (watched != target) return false;
  if (commit) {
    const QString text = static_cast<QInputMethodEvent*>(event)->commitString();
    return !text.isEmpty() && CommitText(text);
  }
  auto* k = static_cast<QKeyEvent*>(event);
  tabKey_ = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
  if (k->key() == Qt::Key_Alt) assignMnemonics(book);
  const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
  auto* button = qobject_cast<QAbstractButton*>(focus);
  if (enter && button && button == tabbedTo_ && !button->isCheckable() && button->isEnabled() &&
      button->isVisible()) {
    button->click();
    return true;
  }
  return ShortCut(k) || KeyDown(k) || keyboardAccess(k);
}

bool TCustomBookView::keyboardAccess(QKeyEvent* event) {
  const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
  if (!tab || (event->modifiers() & Qt::ControlModifier)) return false;
  // The first Tab of a page goes to the page's own controls, not to the menu.
  QWidget* focus = QApplication::focusWidget();
  if (focus && focus != bookForm() && focus->isVisible()) return false;
  QWidget* first = firstInTabChain(content_, event->key() == Qt::Key_Backtab);
  if (!first) return false;
  first->setFocus(Qt::TabFocusReason);
  return true;
}

TCustomResultView::TCustomResultView() = default;

void TCustomResultView::Setup() {
  TCustomBookView::Setup();
  TBookFormEx* book = bookForm();
  if (!book || !Content()) return;
  MenuVisible = false;
  ButtonFlags = 0;
  if (UsePanel) {
    auto* panel = new QWidget(Content());
    panel->setObjectName("ResultPanel");
    panel->setGeometry(6, 64, TBookFormEx::kPageWidth - 12, TBookFormEx::kPageHeight - 70);
    resultPanel_ = panel;
  }
  auto* ok = new RoundButton("OKBtn", RoundButton::Symbol::OK, Content());
  ok->setText(book->OKBtn()->text());
  ok->setGeometry(TBookFormEx::kPageWidth - 110, TBookFormEx::kPageHeight - 84, 80, 70);
  connect(ok, &QAbstractButton::clicked, this, [this, ok] { ResultButtonClick(ok); });
  okBtn_ = ok;
}

void TCustomResultView::ResultButtonClick(QObject* sender) {
  sound().play(SoundId::Click);
  const QString name = sender->objectName();
  if (name == "NextBtn" || name == "StartBtn" || name == "OKBtn") {
    SetCloseResult(1);
  } else if (name == "CancelBtn") {
    SetCloseResult(2);
  }
}

}  // namespace ks
