#include "shell/bookwindow.h"

#include <QAction>
#include <QKeySequence>

#include "shell/programinfo.h"

namespace ks {

BookWindow::BookWindow(QWidget* parent) : QMainWindow(parent), page_(new QWidget(this)) {
  setWindowTitle(QString::fromUtf8(kProgramTitle));
  page_->setObjectName("BookPage");
  page_->setFixedSize(kPageWidth, kPageHeight);
  page_->setAutoFillBackground(true);
  QPalette pal = page_->palette();
  pal.setColor(QPalette::Window, QColor(0xF7, 0xF4, 0xEC));  // paper
  page_->setPalette(pal);
  setCentralWidget(page_);
  setFixedSize(kPageWidth, kPageHeight);

  // Ctrl+Q leaves the program from anywhere, as on every Linux desktop.
  auto* quit = new QAction(this);
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setShortcutContext(Qt::ApplicationShortcut);
  connect(quit, &QAction::triggered, this, &QWidget::close);
  addAction(quit);
}

}  // namespace ks
