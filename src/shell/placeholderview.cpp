#include "shell/placeholderview.h"

#include <QLabel>

#include "shell/bookformex.h"
#include "shell/uistyle.h"

namespace ks {

TPlaceholderView::TPlaceholderView(QString title, QString text)
    : title_(std::move(title)), text_(std::move(text)) {
  CancelVisible = false;
  OKInsteadOfNext = true;
}

void TPlaceholderView::Setup() {
  TCustomBookView::Setup();
  SetTitle(title_);
  if (!Content()) return;
  auto* label = new QLabel(text_, Content());
  label->setObjectName("PlaceholderText");
  label->setWordWrap(true);
  label->setFont(designFont("Verdana", 12));
  label->setStyleSheet("color: #28343f;");
  label->setGeometry(60, 120, 480, 200);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

}  // namespace ks
