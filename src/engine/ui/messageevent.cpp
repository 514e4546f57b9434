#include "engine/ui/messageevent.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPixmap>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include "book/bookwindow.h"
#include "book/pagestyle.h"
#include "book/uistyle.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "platform/sound.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kTextTop = 80;
constexpr int kTextHeight = 385;
// The action button ends left of the cancel button, level with it.
constexpr int kActionRight = 435;
constexpr int kActionTop = 464;

QPixmap loadPicture(const std::string& name) {
  if (name.empty()) return {};
  const std::filesystem::path folder = eventEnvironment().text.coursesFolder;
  for (const std::filesystem::path& candidate :
       {joinResolved(folder, name), joinResolved(folder, "../images/" + name)}) {
    QPixmap pic(QString::fromStdString(candidate.string()));
    if (!pic.isNull()) return pic;
  }
  return {};
}

}  // namespace

TMessageEvent::TMessageEvent(const std::string& line) : TEvent(line) {
  ImageLeft = sameText(Field(6), "LEFT");
  ActionOpensMonitor = sameText(Field(7), "SIDEWATCH");
  ButtonFlags = TBookFormEx::kNext;
}

int TMessageEvent::Execute(const EventHandover& handover) {
  actionChosen_ = false;
  const int result = TEvent::Execute(handover);
  // The tab is asked for once the page is closed, through the window's tabs as if clicked: the
  // studying ends after this page and the part behind the tab runs.
  if (actionChosen_) {
    const QString tab = ActionTab();
    if (TBookFormEx* book = bookForm(); book && !tab.isEmpty()) book->Tab(tab)->click();
  }
  return result;
}

QString TMessageEvent::ActionTab() {
  TBookFormEx* book = bookForm();
  if (!book) return {};
  for (const char* tab : {"Sidewatch", "Review"}) {
    if (book->Tab(tab)) return tab;
  }
  return {};
}

void TMessageEvent::Setup() {
  TEvent::Setup();
  State = esFinished;
  EnterCloses = true;
  BuildPlainPage(Field(5));
  BuildActionButton(Content());
}

void TMessageEvent::BuildActionButton(QWidget* page) {
  if (!page || !ActionOpensMonitor) return;
  const QString tab = ActionTab();
  auto* action =
      makeButton(page, "ActionBtn", msgText(tab == "Review" ? 2154 : 2153), ButtonRole::Primary);
  action->setFocusPolicy(Qt::StrongFocus);
  action->adjustSize();
  // Level with the round buttons, clear of the page number.
  const int width = std::max(action->width() + 24, 200);
  action->setGeometry(kActionRight - width, kActionTop, width, 38);
  action->setStyleSheet(studyStyleSheet());
  // Without a part to lead to, the button would promise what nothing keeps.
  action->setVisible(!tab.isEmpty());
  connect(action, &QPushButton::clicked, this, [this] {
    sound().play(SoundId::Click);
    actionChosen_ = true;
    SetCloseResult(3);
  });
}

void TMessageEvent::BuildPlainPage(const std::string& pictureName) {
  QWidget* page = Content();
  if (!page) return;
  const std::string title = EventLine.size() >= 5 ? Field(4) : std::string();
  if (!title.empty()) SetTitle(toQString(title));
  QPixmap picture = loadPicture(pictureName);
  int textLeft = 130;
  int textWidth = 360;
  if (!picture.isNull()) {
    auto* image = new QLabel(page);
    image->setObjectName("MessageImage");
    image->setPixmap(picture);
    image->adjustSize();
    if (ImageLeft) {
      image->move(30, kTextTop);
      textLeft = 30 + image->width() + 15;
      textWidth = std::min(360, 541 - textLeft);
    } else {
      image->move(541 - image->width(), kTextTop);
      textLeft = 30;
      textWidth = std::min(360, image->x() - 15 - textLeft);
    }
  }
  auto* text = new QLabel(toQString(Text.value_or("")), page);
  text->setObjectName("MessageText");
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text->setFont(designFont("Verdana", 12));
  text->setStyleSheet("color: #28343f;");
  text->setGeometry(textLeft, kTextTop, std::max(textWidth, 120), kTextHeight);
}

void TMessageEvent::Hide() {
  TEvent::Hide();
  if (Result) Result->Valid = true;
}

THTMLMessageEvent::THTMLMessageEvent(const std::string& line) : TMessageEvent(line) {}

void THTMLMessageEvent::Setup() {
  TEvent::Setup();
  State = esFinished;
  EnterCloses = true;
  QWidget* page = Content();
  if (!page) return;
  BuildActionButton(page);
  const std::filesystem::path file = joinResolved(eventEnvironment().text.coursesFolder, Field(3));
  std::string html;
  if (!readWholeFile(file, html)) {
    BuildPlainPage(Field(5));
    return;
  }
  viewer_ = new QTextBrowser(page);
  viewer_->setObjectName("HtmlViewer");
  viewer_->setAccessibleName(Field(4).empty() ? tr("Message") : toQString(Field(4)));
  // The page ends above the action button when there is one.
  const auto* action = page->findChild<QWidget*>("ActionBtn");
  const int bottom = action && !action->isHidden() ? kActionTop - 8 : 480;
  viewer_->setGeometry((TBookFormEx::kPageWidth - 190 - 510) / 2 + 20, 70, 510, bottom - 70);
  viewer_->setOpenLinks(false);
  // The course's pages are plain HTML; the look of the book comes from here.
  viewer_->setFont(designFont("Verdana", 11));
  viewer_->document()->setDefaultStyleSheet(
      "body { color: #28343f; }"
      "h1, h2, h3 { color: #1f5f3a; font-family: Georgia, 'DejaVu Serif', serif; }"
      "p { line-height: 135%; }"
      "table { border-collapse: collapse; border-color: #b9d3a0; margin-top: 4px;"
      "  margin-bottom: 4px; }"
      "th { background-color: #e4efd8; color: #1f5f3a; }"
      "td, th { border: 1px solid #b9d3a0; padding: 5px 10px; }");
  showPage(file, html);
  viewer_->setStyleSheet("QTextBrowser { background: transparent; border: none; }");
  connect(viewer_, &QTextBrowser::anchorClicked, this,
          [this](const QUrl& url) { FollowLink(url.toString()); });
  if (PageCount >= 2) {
    auto* pageLbl = new QLabel(
        QString("%1 %2 %3").arg(PageIndex).arg(toQString(Localize().GetString(712))).arg(PageCount),
        page);
    pageLbl->setObjectName("PageLbl");
    pageLbl->setGeometry(30, 500, 200, 20);
    if (PageIndex == PageCount && bookForm())
      bookForm()->NextBtn()->setText(toQString(Localize().GetString(1692)));
  }
}

void THTMLMessageEvent::showPage(const std::filesystem::path& file, const std::string& html) {
  page_ = file;
  // Pictures of the page are found beside it.
  viewer_->setSearchPaths({QString::fromStdString(file.parent_path().string())});
  viewer_->setHtml(toQString(html, false));
}

void THTMLMessageEvent::FollowLink(const QString& link) {
  if (!viewer_) return;
  const QString upper = link.toUpper();
  const int colon = static_cast<int>(link.indexOf(':'));
  // A name without a scheme (or with a drive letter) and "FILE:" names are pages of the course.
  if (colon < 2 || upper.contains("FILE:")) {
    QString name = link;
    if (const auto at = upper.indexOf("FILE:"); at >= 0) name = link.mid(at + 5);
    while (name.startsWith("//")) name.remove(0, 1);  // "file:///x" keeps one "/": absolute
    QString anchor;
    if (const auto hash = name.indexOf('#'); hash >= 0) {
      anchor = name.mid(hash + 1);
      name.truncate(hash);
    }
    if (!name.isEmpty()) {
      const std::filesystem::path folder =
          page_.empty() ? eventEnvironment().text.coursesFolder : page_.parent_path();
      const std::filesystem::path file = joinResolved(folder, toCp1252(name));
      std::string html;
      if (!readWholeFile(file, html)) return;  // a missing page leaves the one on show
      showPage(file, html);
    }
    if (!anchor.isEmpty()) viewer_->scrollToAnchor(anchor);
    return;
  }
  if (!upper.startsWith("HTTP:") && !upper.startsWith("HTTPS:") && !upper.startsWith("MAILTO:"))
    return;
  if (PolicySettings && PolicySettings->ReadBool("RemoveInternetLinks")) return;
  if (!QDesktopServices::openUrl(QUrl(link))) ReportError(-8001, Localize().GetString(18));
}

void THTMLMessageEvent::Hide() {
  TMessageEvent::Hide();
  viewer_ = nullptr;
  page_.clear();
}

}  // namespace ks
