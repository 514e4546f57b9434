// The drawn parts of the book window: the page, the menu panel with its tabs, and the round
// standard buttons. Everything is painted here (no pictures), so it stays crisp at any scale.
#pragma once

#include <QAbstractButton>
#include <QWidget>

namespace ks {

// The page every view builds on: paper, a soft frame and the title shading.
class BookPage : public QWidget {
  Q_OBJECT

 public:
  explicit BookPage(QWidget* parent = nullptr);
  void setTitleShading(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool titleShading_ = false;
};

// The menu area on the right of the page.
class MenuPanel : public QWidget {
  Q_OBJECT

 public:
  explicit MenuPanel(QWidget* parent = nullptr);
  // The row of the selected tab, marked by a lighter band (-1: none).
  void setMarkedTop(int y);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int markedTop_ = -1;
};

// A tab of the menu: a glyph and a caption, underlined on hover. The selected tab is disabled.
class TabButton : public QAbstractButton {
  Q_OBJECT

 public:
  TabButton(const QString& name, const QString& caption, bool bold, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool hover_ = false;
};

// A round standard button with a symbol and its caption beneath.
class RoundButton : public QAbstractButton {
  Q_OBJECT

 public:
  enum class Symbol { Next, OK, Cancel, Exit, Start };
  RoundButton(const QString& name, Symbol symbol, QWidget* parent);
  // A caption in white, for buttons on the dark menu.
  void setLightCaption(bool on) { lightCaption_ = on; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  Symbol symbol_;
  bool hover_ = false;
  bool lightCaption_ = false;
};

}  // namespace ks
