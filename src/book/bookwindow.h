// The tutor's main window: an open book whose 800 x 600 page shows one view at a time, with the
// title line, the standard buttons, the menu of tabs on the right and the exit buttons.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "book/bookwidgets.h"

namespace ks {

class TBookFormEx : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kPageWidth = 800;
  static constexpr int kPageHeight = 600;
  static constexpr int kDesignWidth = 1048;
  static constexpr int kDesignHeight = 770;
  static constexpr int kMinWidth = 780;
  static constexpr int kMinHeight = 550;
  // Standard button flags.
  static constexpr int kNext = 1;
  static constexpr int kCancel = 2;
  static constexpr int kOK = 4;

  explicit TBookFormEx(QWidget* parent = nullptr);
  ~TBookFormEx() override;

  BookPage* Book() const { return book_; }
  QAbstractButton* NextBtn() const { return nextBtn_; }
  QAbstractButton* OKBtn() const { return okBtn_; }
  QAbstractButton* CancelBtn() const { return cancelBtn_; }
  QAbstractButton* CloseBtn() const { return closeBtn_; }
  QAbstractButton* CloseBtn2() const { return closeBtn2_; }
  QLabel* TitleLbl() const { return titleLbl_; }

  void SetTitle(const QString& title);
  // Brings the window to the front for a second start: a minimised window is restored, a
  // maximised or full-screen one keeps its state.
  void BringToFront();
  QString Title() const { return titleLbl_->text(); }
  void SetMinTitleWidth(int width) { minTitleWidth_ = width; }
  void SetStandardButtons(int flags);
  int StandardButtons() const { return buttonFlags_; }
  void SetMenuVisible(bool on);
  bool MenuVisible() const { return menuVisible_; }
  void SetExitVisible(bool on);
  // Captions of the standard buttons and the exit button (the shell retitles them).
  void SetButtonCaptions(const QString& next, const QString& cancel, const QString& exit);

  // Tabs: adding an existing name changes its caption only.
  QAbstractButton* AddTab(const QString& name, const QString& caption);
  void MarkTab(const QString& name);
  void SetGap();
  void ClearTabs();
  QAbstractButton* Tab(const QString& name) const;
  // The advertisement picture at the foot of the menu; a click opens `link`.
  void SetAdPicture(const QPixmap& picture, const QString& link);
  // The logo at the foot of the menu, above the exit button (none: hidden).
  void SetMenuLogo(const QPixmap& picture);
  // A view switched the program's language: the shell rebuilds the menu and the captions.
  void LanguageChanged() { emit languageChanged(); }
  void BringFrameToFront();

  // 1: capture a still picture of the page; 2: show it instead of the page (when captured);
  // 3: show the live page again.
  void PageState(int state);

 signals:
  void tabClicked(const QString& name);
  // The exit buttons and Ctrl+Q.
  void exitClicked();
  // The window's own close request; the window never closes by itself.
  void closeRequested();
  void languageChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void placePage();
  void placeMenuPictures();
  bool eventFilter(QObject* watched, QEvent* event) override;

  BookPage* book_;
  QLabel* frozen_;
  QLabel* titleLbl_;
  RoundButton* nextBtn_;
  RoundButton* okBtn_;
  RoundButton* cancelBtn_;
  MenuPanel* menuPanel_;
  RoundButton* closeBtn_;
  RoundButton* closeBtn2_;
  QLabel* menuPic_;
  QLabel* menuLogo_;
  QString adLink_;
  std::vector<QPointer<TabButton>> tabs_;
  bool gap_ = false;
  bool gapTaken_ = false;
  int nextTabTop_ = 50;
  int buttonFlags_ = 0;
  bool menuVisible_ = true;
  bool exitVisible_ = false;
  int minTitleWidth_ = 0;
  QPixmap frozenPixmap_;
  bool frozenValid_ = false;
};

// The program's main window while it exists.
TBookFormEx* bookForm();

}  // namespace ks
