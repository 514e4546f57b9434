#include "shell/infoview.h"

#include <QDesktopServices>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QtGlobal>
#include <algorithm>

#include "book/pagestyle.h"
#include "book/programinfo.h"
#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"

namespace fs = std::filesystem;

namespace ks {
namespace {

constexpr int kCardLeft = 20;
constexpr int kCardWidth = 568;

bool webLinksRemoved() {
  return PolicySettings && PolicySettings->ReadBool("RemoveInternetLinks");
}

QString folderText(const fs::path& folder) {
  return QString::fromStdString(folder.lexically_normal().string());
}

// Focus must show on a page that is worked by keyboard: the page's buttons take a ring.
const char* kFocusStyle =
    "QPushButton:focus { outline: none; border: 2px solid #1f5f3a; }"
    "QPushButton[role=\"link\"]:focus { border: none; background: #e4efd8; }";

// A word-wrapped label `width` wide at (`left`, `y`), as tall as its text; the y below it.
int placeWrapped(QLabel* label, int left, int y, int width) {
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->ensurePolished();
  const int height = label->heightForWidth(width);
  label->setGeometry(left, y, width, height);
  return y + height;
}

}  // namespace

TInfoView::TInfoView(bool typingTestEdition) : typingTest_(typingTestEdition) {
  CancelVisible = false;
  OKInsteadOfNext = true;
}

fs::path TInfoView::DataFolder() {
  return ProgramSettings ? ProgramSettings->dataPath() : userDataFolder();
}

fs::path TInfoView::InstallationFolder() {
  return ProgramSettings ? ProgramSettings->rootPath() : installationFolder();
}

QString TInfoView::ManualFile(const char* name) {
  // A school's shared folder may carry its own manuals; the installed ones are the fallback.
  for (const fs::path& folder : {InstallationFolder(), installationFolder()}) {
    const fs::path file = resolveCaseInsensitive(folder / "manual" / name);
    std::error_code ec;
    if (fs::is_regular_file(file, ec)) return QString::fromStdString(file.string());
  }
  return QString();
}

void TInfoView::Setup() {
  TCustomBookView::Setup();
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet() + kFocusStyle);
  // Each card as tall as its texts need (a translation may take more lines), the next below it.
  int top = buildAbout(page, 66);
  top = buildManuals(page, top + 6);
  buildFolders(page, top + 6);
  // The first link takes the focus, so Tab walks the page from the top.
  if (auto* first = page->findChild<QPushButton*>("ManualBtn1"); first && first->isEnabled())
    first->setFocus();
}

int TInfoView::buildAbout(QWidget* page, int top) {
  QFrame* card = makeCard(page, QRect(kCardLeft, top, kCardWidth, 136), "AboutCard");
  int left = 20;
  const QIcon icon = QIcon::fromTheme("org.quillstroker.Keyscholar");
  if (!icon.isNull()) {
    auto* picture = new QLabel(card);
    picture->setObjectName("ProgramIcon");
    picture->setPixmap(icon.pixmap(64, 64));
    picture->setGeometry(20, 16, 64, 64);
    left = 100;
  }
  const int width = kCardWidth - left - 20;
  const QString product =
      typingTest_ ? QStringLiteral("Quillstroker Typing Test") : QString(kProgramTitle);
  auto* name = makeHeading(card, product, 18);
  name->setObjectName("ProductLbl");
  name->setGeometry(left, 8, width, 32);
  auto* version = makeLabel(card, msgText(2101) + kVersion, 10, true, "#1f5f3a");
  version->setObjectName("VersionLbl");
  version->setTextInteractionFlags(Qt::TextSelectableByMouse);
  int y = placeWrapped(version, left, 40, width);
  y = placeWrapped(makeLabel(card, msgText(2102), 9), left, y + 2, width);
  auto* licence = makeLabel(card, msgText(2103), 8, false, "#3c4a3c");
  licence->setObjectName("LicenceLbl");
  y = placeWrapped(licence, left, y + 4, width);
  auto* qt = makeLabel(card, msgText(2104) + qVersion(), 8, false, "#5b6b5b");
  y = placeWrapped(qt, left, y + 2, width);
  card->resize(kCardWidth, std::max(y + 10, 96));
  return top + card->height();
}

int TInfoView::buildManuals(QWidget* page, int top) {
  QFrame* card = makeCard(page, QRect(kCardLeft, top, kCardWidth, 74), "ManualsCard");
  makeHeading(card, msgText(2105), 12)->setGeometry(20, 6, 300, 24);
  struct Link {
    QString caption;
    QString target;
  };
  Link links[3];
  if (typingTest_) {
    // This edition has no manuals installed: its help is on the web.
    const QString site = msgText(18);
    links[0] = {QStringLiteral("Typing test &help"), HelpTarget(true)};
    links[1] = {QStringLiteral("Quillstroker on the &web"), site};
    links[2] = {QStringLiteral("&Support"), site + "support/"};
  } else {
    links[0] = {msgText(551), HelpTarget(false)};
    links[1] = {msgText(1478), ManualFile("user-manual.htm")};
    links[2] = {msgText(553), ManualFile("schools.htm")};
  }
  for (int i = 0; i < 3; ++i) {
    QPushButton* b =
        linkButton(card, QString("ManualBtn%1").arg(i + 1), links[i].caption, links[i].target);
    b->setGeometry(20 + i * 180, 32, 170, 34);
    if (typingTest_ && webLinksRemoved()) b->setEnabled(false);
    if (links[i].target.isEmpty()) {
      b->setEnabled(false);
      b->setToolTip(msgText(2113));
    }
  }
  return top + card->height();
}

void TInfoView::buildFolders(QWidget* page, int top) {
  QFrame* card = makeCard(page, QRect(kCardLeft, top, kCardWidth, 140), "FoldersCard");
  makeHeading(card, msgText(2106), 12)->setGeometry(20, 6, 300, 24);
  const struct {
    const char* name;
    int caption, note, button;
    fs::path folder;
  } rows[] = {{"Data", 2107, 2111, 2108, DataFolder()},
              {"Installation", 2109, 2112, 2110, InstallationFolder()}};
  int y = 32;
  for (const auto& row : rows) {
    makeLabel(card, msgText(row.caption), 9, true)->setGeometry(20, y, 330, 18);
    auto* path = makeLabel(card, QString(), 9, false, "#000084");
    path->setObjectName(QString(row.name) + "FolderLbl");
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    path->setGeometry(20, y + 18, 330, 18);
    const QString full = folderText(row.folder);
    path->setText(QFontMetrics(path->font()).elidedText(full, Qt::ElideMiddle, 330));
    path->setToolTip(full);
    path->setAccessibleDescription(full);
    auto* note = makeLabel(card, msgText(row.note), 8, false, "#5b6b5b");
    const int below = placeWrapped(note, 20, y + 36, 330);
    QPushButton* b = linkButton(card, QString("Open%1Btn").arg(row.name), msgText(row.button),
                                QUrl::fromLocalFile(full).toString());
    b->setProperty("role", "secondary");
    b->setGeometry(364, y + 8, 184, 32);
    y = std::max(y + 54, below + 4);
  }
  card->resize(kCardWidth, y + 4);
}

QPushButton* TInfoView::linkButton(QWidget* parent, const QString& name, const QString& caption,
                                   const QString& target) {
  QPushButton* b = makeButton(parent, name, caption);
  // Every control of this page is reached by Tab, and by Alt with its underlined letter.
  b->setFocusPolicy(Qt::StrongFocus);
  b->setAutoDefault(false);
  connect(b, &QPushButton::clicked, this, [target] { Open(target); });
  return b;
}

QString TInfoView::HelpTarget(bool typingTestEdition) {
  return typingTestEdition ? msgText(18) + "typingtest/" : ManualFile("tutor.htm");
}

void TInfoView::Open(const QString& target) {
  if (target.isEmpty()) return;
  QUrl url = QUrl(target);
  if (url.isRelative()) url = QUrl::fromLocalFile(target);
  if (!url.isLocalFile() && webLinksRemoved()) return;
  if (!QDesktopServices::openUrl(url))
    ReportError(-8001, toCp1252(url.toDisplayString(QUrl::PreferLocalFile)));
}

}  // namespace ks
