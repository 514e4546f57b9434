#include "engine/ui/messageevent.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPixmap>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include "book/bookwindow.h"
#include "book/uistyle.h"
#include "engine/ui/eventenv.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "platform/sharedfile.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/qssettings.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kTextTop = 80;
constexpr int kTextHeight = 385;

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

void TMessageEvent::Setup() {
  TEvent::Setup();
  State = esFinished;
  EnterCloses = true;
  BuildPlainPage(Field(5));
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
  std::string html;
  const std::filesystem::path file = joinResolved(eventEnvironment().text.coursesFolder, Field(3));
  if (!readWholeFile(file, html)) {
    BuildPlainPage(Field(5));
    return;
  }
  viewer_ = new QTextBrowser(page);
  viewer_->setObjectName("HtmlViewer");
  viewer_->setGeometry((TBookFormEx::kPageWidth - 190 - 510) / 2 + 20, 40 + 30, 510, 410);
  viewer_->setOpenLinks(false);
  viewer_->setSearchPaths({QString::fromStdString(file.parent_path().string())});
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
  viewer_->setHtml(toQString(html, false));
  viewer_->setStyleSheet("QTextBrowser { background: transparent; border: none; }");
  connect(viewer_, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme != "http" && scheme != "https" && scheme != "mailto") return;
    if (PolicySettings && PolicySettings->ReadBool("RemoveInternetLinks")) return;
    if (!QDesktopServices::openUrl(url)) ReportError(-8001, Localize().GetString(18));
  });
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

}  // namespace ks
