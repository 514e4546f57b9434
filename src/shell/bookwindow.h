// The tutor's main window: one 800 x 600 "book" page that shows one view at a time. The page
// keeps its design size and is scaled when the window is larger.
#pragma once

#include <QMainWindow>

namespace ks {

class BookWindow : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kPageWidth = 800;
  static constexpr int kPageHeight = 600;

  explicit BookWindow(QWidget* parent = nullptr);
  // The page that views build their widgets on.
  QWidget* page() const { return page_; }

 private:
  QWidget* page_;
};

}  // namespace ks
