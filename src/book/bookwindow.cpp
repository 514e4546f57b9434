#include "book/bookwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QUrl>
#include <QWindow>

#include "book/uistyle.h"
#include "book/windowfocus.h"
#include "platform/desktop/qtext.h"
#include "store/errors.h"
#include "store/qssettings.h"

namespace ks {
namespace {

TBookFormEx* mainWindow = nullptr;
constexpr int kMenuLeft = TBookFormEx::kPageWidth - 191;

// The soft shadow and the frame of the page, drawn once around a small page and then pieced
// together around the real one: shading the whole page's area on every paint cost more than
// the rest of the first page together.
constexpr int kShadowOut = 20;  // how far the shadow reaches beyond the page
constexpr int kShadowIn = 24;   // how far the rounded corners reach into it
constexpr int kTilePage = 2 * kShadowIn + 1;

void paintShadowShapes(QPainter& p, const QRectF& page) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  for (int i = 12; i >= 1; --i) {
    p.setBrush(QColor(0, 0, 0, 6));
    p.drawRoundedRect(page.adjusted(-i + 4, -i + 6, i + 4, i + 6), 10 + i, 10 + i);
  }
  p.setBrush(QColor(250, 248, 240));
  p.drawRoundedRect(page.adjusted(-7, -7, 7, 7), 9, 9);
}

const QImage& shadowTile(qreal dpr) {
  static QImage tile;
  if (tile.isNull() || tile.devicePixelRatio() != dpr) {
    const int side = kTilePage + 2 * kShadowOut;
    tile = QImage(QSize(side, side) * dpr, QImage::Format_ARGB32_Premultiplied);
    tile.setDevicePixelRatio(dpr);
    tile.fill(Qt::transparent);
    QPainter p(&tile);
    paintShadowShapes(p, QRectF(kShadowOut, kShadowOut, kTilePage, kTilePage));
  }
  return tile;
}

// Draws the tile's eight border pieces around `page`; the straight middle pieces are stretched.
void paintPageShadow(QPainter& p, const QRect& page, qreal dpr) {
  const QImage& tile = shadowTile(dpr);
  // Piece edges across (and down): in the tile, and around the page.
  const int src[4] = {0, kShadowOut + kShadowIn, kShadowOut + kShadowIn + 1,
                      kTilePage + 2 * kShadowOut};
  const int xs[4] = {page.left() - kShadowOut, page.left() + kShadowIn,
                     page.right() + 1 - kShadowIn, page.right() + 1 + kShadowOut};
  const int ys[4] = {page.top() - kShadowOut, page.top() + kShadowIn, page.bottom() + 1 - kShadowIn,
                     page.bottom() + 1 + kShadowOut};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      if (row == 1 && col == 1) continue;  // under the page
      const QRectF target(xs[col], ys[row], xs[col + 1] - xs[col], ys[row + 1] - ys[row]);
      const QRectF source(src[col] * dpr, src[row] * dpr, (src[col + 1] - src[col]) * dpr,
                          (src[row + 1] - src[row]) * dpr);
      p.drawImage(target, tile, source);
    }
  }
}

}  // namespace

TBookFormEx* bookForm() {
  return mainWindow;
}

TBookFormEx::TBookFormEx(QWidget* parent)
    : QWidget(parent),
      book_(new BookPage(this)),
      frozen_(new QLabel(this)),
      titleLbl_(new QLabel(book_)),
      nextBtn_(new RoundButton("NextBtn", RoundButton::Symbol::Next, book_)),
      okBtn_(new RoundButton("OKBtn", RoundButton::Symbol::OK, book_)),
      cancelBtn_(new RoundButton("CancelBtn", RoundButton::Symbol::Cancel, book_)),
      menuPanel_(new MenuPanel(book_)),
      closeBtn_(new RoundButton("CloseBtn", RoundButton::Symbol::Exit, menuPanel_)),
      closeBtn2_(new RoundButton("CloseBtn2", RoundButton::Symbol::Exit, book_)),
      menuPic_(new QLabel(menuPanel_)),
      menuLogo_(new QLabel(menuPanel_)) {
  mainWindow = this;
  setObjectName("BookFormEx");
  // The desk paints every pixel the page leaves: no background fill of the whole window first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  keepWindowFocus(this);
  setMinimumSize(kMinWidth, kMinHeight);
  resize(kDesignWidth, kDesignHeight);
  book_->setFixedSize(kPageWidth, kPageHeight);
  frozen_->setObjectName("frozenbook");
  frozen_->setFixedSize(kPageWidth, kPageHeight);
  frozen_->hide();

  titleLbl_->setObjectName("TitleLbl");
  titleLbl_->move(24, 14);
  followDesktopPalette(QGuiApplication::palette());
  titleLbl_->setStyleSheet("color: " + inkColour().name() + ";");
  SetTitle(QString());

  nextBtn_->setGeometry(517, 460, 80, 70);
  okBtn_->setGeometry(517, 460, 80, 70);
  cancelBtn_->setGeometry(445, 460, 85, 70);
  SetStandardButtons(0);

  menuPanel_->setGeometry(kMenuLeft, 0, 191, kPageHeight);
  closeBtn_->setGeometry(55, kPageHeight - 78, 80, 70);
  closeBtn2_->setGeometry(kPageWidth - 40, 15, 22, 22);
  closeBtn2_->setToolTip(tr("Exit"));
  closeBtn2_->setAccessibleName(tr("Exit"));
  closeBtn_->setLightCaption(true);
  menuPic_->setObjectName("MenuPic");
  menuPic_->hide();
  menuPic_->installEventFilter(this);
  menuLogo_->setObjectName("MenuLogo");
  menuLogo_->hide();
  SetExitVisible(false);
  SetMenuVisible(false);

  connect(closeBtn_, &QAbstractButton::clicked, this, &TBookFormEx::exitClicked);
  connect(closeBtn2_, &QAbstractButton::clicked, this, &TBookFormEx::exitClicked);

  // Ctrl+Q leaves the program from anywhere, as on every Linux desktop.
  auto* quit = new QAction(this);
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setShortcutContext(Qt::WindowShortcut);
  connect(quit, &QAction::triggered, this, &TBookFormEx::exitClicked);
  addAction(quit);

  // Tab runs from the page's controls (made later, so they come first) to Cancel, Next or OK,
  // the menu's tabs (AddTab puts them here) and the exit buttons, then back to the page.
  setTabOrder(cancelBtn_, nextBtn_);
  setTabOrder(nextBtn_, okBtn_);
  setTabOrder(okBtn_, closeBtn_);
  setTabOrder(closeBtn_, closeBtn2_);

  placePage();
  BringFrameToFront();
}

TBookFormEx::~TBookFormEx() {
  if (mainWindow == this) mainWindow = nullptr;
}

void TBookFormEx::SetTitle(const QString& title) {
  book_->setTitleShading(!title.isEmpty());
  if (title.isEmpty()) {
    // Nothing to measure: no room taken over the page, and no font loaded for it at the start.
    titleLbl_->clear();
    titleLbl_->resize(0, 0);
    return;
  }
  QFont font = designFont("Verdana", 20, true);
  titleLbl_->setFont(font);
  if (minTitleWidth_ > 0 && QFontMetrics(font).horizontalAdvance(title) > minTitleWidth_) {
    titleLbl_->setFont(designFont("Verdana", 14, true));
  }
  titleLbl_->setText(title);
  titleLbl_->adjustSize();
}

void TBookFormEx::SetStandardButtons(int flags) {
  buttonFlags_ = flags;
  nextBtn_->setVisible(flags & kNext);
  cancelBtn_->setVisible(flags & kCancel);
  okBtn_->setVisible(flags & kOK);
  if (flags) BringFrameToFront();
}

void TBookFormEx::SetMenuVisible(bool on) {
  if (menuVisible_ == on) return;
  menuVisible_ = on;
  menuPanel_->setVisible(on);
  // The small exit button stands in for the menu's own while the menu is hidden.
  closeBtn2_->setVisible(exitVisible_ && !on);
  closeBtn2_->raise();
}

void TBookFormEx::SetExitVisible(bool on) {
  exitVisible_ = on;
  closeBtn_->setVisible(on);
  closeBtn2_->setVisible(on && !menuVisible_);
}

void TBookFormEx::SetButtonCaptions(const QString& next, const QString& cancel,
                                    const QString& exit) {
  nextBtn_->setText(next);
  okBtn_->setText(next);
  cancelBtn_->setText(cancel);
  closeBtn_->setText(exit);
  // The small exit button shows only its sign.
  const QString plain = QString(exit).remove('&');
  closeBtn2_->setToolTip(plain);
  closeBtn2_->setAccessibleName(plain);
}

QAbstractButton* TBookFormEx::AddTab(const QString& name, const QString& caption) {
  if (QAbstractButton* existing = Tab(name)) {
    existing->setText(caption);
    return existing;
  }
  if (gap_ && !gapTaken_) {
    nextTabTop_ += 15;
    gapTaken_ = true;
  }
  QWidget* before = okBtn_;
  if (!tabs_.empty() && tabs_.back()) before = tabs_.back();
  auto* tab = new TabButton(name, caption, !gap_, menuPanel_);
  setTabOrder(before, tab);
  setTabOrder(tab, closeBtn_);
  setTabOrder(closeBtn_, closeBtn2_);
  tab->move(0, nextTabTop_);
  tab->show();
  nextTabTop_ += tab->height() + 1;
  connect(tab, &QAbstractButton::clicked, this, [this, name] { emit tabClicked(name); });
  tabs_.emplace_back(tab);
  return tab;
}

QAbstractButton* TBookFormEx::Tab(const QString& name) const {
  for (const auto& tab : tabs_) {
    if (tab && tab->objectName() == name) return tab;
  }
  return nullptr;
}

void TBookFormEx::MarkTab(const QString& name) {
  int marked = -1;
  for (const auto& tab : tabs_) {
    if (!tab) continue;
    const bool selected = tab->objectName() == name;
    tab->setEnabled(!selected);
    if (selected) {
      marked = tab->y() - 8;
    } else {
      tab->raise();
    }
  }
  menuPanel_->setMarkedTop(marked);
}

void TBookFormEx::SetGap() {
  gap_ = true;
  gapTaken_ = false;
}

void TBookFormEx::ClearTabs() {
  for (auto& tab : tabs_) delete tab.data();
  tabs_.clear();
  gap_ = gapTaken_ = false;
  nextTabTop_ = 50;
  menuPanel_->setMarkedTop(-1);
}

void TBookFormEx::SetAdPicture(const QPixmap& picture, const QString& link) {
  if (picture.isNull()) return;
  menuPic_->setPixmap(picture);
  menuPic_->adjustSize();
  adLink_ = link;
  menuPic_->setCursor(link.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
  menuPic_->setToolTip(link);
  menuPic_->show();
  placeMenuPictures();
}

void TBookFormEx::SetMenuLogo(const QPixmap& picture) {
  if (picture.isNull()) {
    menuLogo_->clear();
    menuLogo_->hide();
    placeMenuPictures();
    return;
  }
  // The logo's place is 160 x 53; a larger picture is fitted into it.
  const QPixmap shown = picture.width() > 160 || picture.height() > 53
                            ? picture.scaled(160, 53, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            : picture;
  menuLogo_->setPixmap(shown);
  menuLogo_->adjustSize();
  menuLogo_->show();
  placeMenuPictures();
}

void TBookFormEx::placeMenuPictures() {
  // From the exit button up: the logo, then the advertisement.
  int bottom = closeBtn_->y() - 8;
  if (menuLogo_->isVisibleTo(menuPanel_)) {
    menuLogo_->move((menuPanel_->width() - menuLogo_->width()) / 2, bottom - menuLogo_->height());
    bottom = menuLogo_->y() - 8;
  }
  menuPic_->move((menuPanel_->width() - menuPic_->width()) / 2, bottom - menuPic_->height());
}

bool TBookFormEx::eventFilter(QObject* watched, QEvent* event) {
  if (watched == menuPic_ && event->type() == QEvent::MouseButtonRelease && !adLink_.isEmpty()) {
    if (!(PolicySettings && PolicySettings->ReadBool("RemoveInternetLinks")) &&
        !QDesktopServices::openUrl(QUrl(adLink_)))
      ReportError(-8001, toCp1252(adLink_));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TBookFormEx::BringFrameToFront() {
  menuPanel_->raise();
  nextBtn_->raise();
  okBtn_->raise();
  cancelBtn_->raise();
  closeBtn2_->raise();
}

void TBookFormEx::PageState(int state) {
  switch (state) {
    case 1:
      // The picture is taken when it is needed, as the page freezes: the page then looks as
      // it last did, and a view that never freezes it (the first one of a start) costs no
      // extra drawing.
      frozenValid_ = true;
      break;
    case 2:
      if (frozenValid_) {
        frozenPixmap_ = book_->grab();
        frozen_->setPixmap(frozenPixmap_);
        frozen_->move(book_->pos());
        frozen_->show();
        frozen_->raise();
        book_->setUpdatesEnabled(false);
      }
      break;
    case 3:
      book_->setUpdatesEnabled(true);
      frozen_->hide();
      book_->update();
      QCoreApplication::processEvents();
      break;
    default:
      break;
  }
}

void TBookFormEx::placePage() {
  // The page is centred in whatever room the window has.
  const int x = (width() - kPageWidth) / 2;
  const int y = (height() - kPageHeight) / 2;
  book_->move(x, y);
  frozen_->move(x, y);
}

void TBookFormEx::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placePage();
}

void TBookFormEx::closeEvent(QCloseEvent* event) {
  // The program ends when the shell's loop ends, never by the window closing under it.
  event->ignore();
  emit closeRequested();
}

void TBookFormEx::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (lowColour() || highContrast()) {
    p.fillRect(rect(), colours().frame);
    return;
  }
  // The page paints itself: only the desk, the shadow and the frame around it are drawn here.
  const QRect page = book_->geometry();
  const QRegion desk = QRegion(rect()).subtracted(QRegion(page));
  // A desk, darker towards the bottom, around the page's hole.
  QLinearGradient gradient(0, 0, 0, height());
  gradient.setColorAt(0, QColor(74, 98, 128));
  gradient.setColorAt(1, QColor(42, 58, 82));
  for (const QRect& r : desk) p.fillRect(r, gradient);
  // The book lies on it with a soft shadow.
  p.setClipRegion(desk);
  paintPageShadow(p, page, devicePixelRatioF());
}

void TBookFormEx::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  const QEvent::Type type = event->type();
  if (type != QEvent::ApplicationPaletteChange && type != QEvent::PaletteChange) return;
  // The desktop turned high contrast on or off: the next view is drawn in the new look.
  followDesktopPalette(QGuiApplication::palette());
  titleLbl_->setStyleSheet("color: " + inkColour().name() + ";");
  update();
}

void TBookFormEx::BringToFront() {
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  raise();
  // Asked of the window itself: under Wayland Qt may still count the window active after the
  // compositor gave the focus away, and activateWindow() would then ask nothing.
  if (QWindow* window = windowHandle())
    window->requestActivate();
  else
    activateWindow();
}

}  // namespace ks
