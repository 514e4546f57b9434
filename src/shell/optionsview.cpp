#include "shell/optionsview.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "analysis/keydataext.h"
#include "analysis/ui/keyboardex.h"
#include "book/bookwindow.h"
#include "book/pagestyle.h"
#include "book/parthost.h"
#include "book/uistyle.h"
#include "platform/desktop/qtext.h"
#include "platform/paths.h"
#include "platform/sound.h"
#include "store/errors.h"
#include "store/langres.h"
#include "store/programsetup.h"
#include "store/qssettings.h"
#include "store/user.h"
#include "text/textutil.h"

namespace ks {
namespace {

constexpr int kLayoutMissing = -500;

bool policy(const char* key) {
  return PolicySettings && PolicySettings->ReadBool(key);
}

const char* kOptionsStyle =
    "QComboBox { background: #fbfff5; border: 1px solid #9fb88a; border-radius: 6px;"
    "  padding: 2px 8px; }"
    "QComboBox:focus, QListWidget:focus { border: 2px solid #1f5f3a; }"
    "QComboBox:disabled, QListWidget:disabled { color: #8a9a8a; background: #f2f5ef; }"
    "QCheckBox { color: #28343f; background: transparent; spacing: 8px; }"
    "QCheckBox:disabled { color: #9aa59a; }"
    "QRadioButton, QCheckBox { padding: 1px 4px; border-radius: 4px; }"
    "QRadioButton:focus, QCheckBox:focus { background: #d3e6c0; }";

QComboBox* combo(QWidget* parent, const char* name, const QRect& r,
                 std::initializer_list<int> ids) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setFont(designFont("Verdana", 10));
  c->setGeometry(r);
  for (int id : ids) c->addItem(msgText(id));
  return c;
}

QLabel* caption(QWidget* parent, const char* name, int id, const QRect& r) {
  QLabel* l = makeLabel(parent, msgText(id), 10, true);
  l->setObjectName(name);
  l->setGeometry(r);
  return l;
}

// The colour the on-screen keyboard is drawn on.
const QColor kKeyboardColour(231, 246, 231);

// A layout's name in the program's language, when the language names it; the settings keep the
// installation's name.
QString layoutTitle(const std::string& name) {
  static constexpr std::pair<const char*, int> kNamed[] = {{"English US", 2760},
                                                           {"English UK", 2761},
                                                           {"English US International", 2762},
                                                           {"English US Dvorak", 2763},
                                                           {"English US Colemak", 2764},
                                                           {"German", 2765},
                                                           {"French", 2766},
                                                           {"Spanish", 2910},
                                                           {"Italian", 2920},
                                                           {"Portuguese (Brazil)", 2930}};
  for (const auto& [english, id] : kNamed) {
    if (!sameText(name, english)) continue;
    const std::string local = Localize().GetString(id);
    if (!local.empty() && local != Localize().GetString(-1)) return toQString(local);
  }
  return toQString(name);
}

// The layouts of the installation as the learner reads them, sorted so.
std::vector<std::pair<QString, std::string>> sortedLayouts() {
  std::vector<std::pair<QString, std::string>> layouts;
  if (ProgramSettings) {
    for (const std::string& name : ProgramSettings->layoutNames())
      layouts.emplace_back(layoutTitle(name), name);
  }
  std::sort(layouts.begin(), layouts.end(), [](const auto& a, const auto& b) {
    return QString::localeAwareCompare(a.first, b.first) < 0;
  });
  return layouts;
}

}  // namespace

TOptionsView::TOptionsView(TUser& user) : user_(user) {
  CancelVisible = false;
  ButtonFlags = 0;
}

TOptionsView::~TOptionsView() = default;

QLabel* TOptionsView::lockedLabel(QWidget* parent, const char* name, bool locked, const QRect& r) {
  QLabel* l = makeLabel(parent, msgText(598), 9, true, "#b3262d");
  l->setObjectName(name);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setGeometry(r);
  l->setVisible(locked);
  return l;
}

void TOptionsView::Setup() {
  TCustomBookView::Setup();
  ButtonFlags = 0;
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet() + kOptionsStyle);
  auto* panel = new QWidget(page);
  panel->setObjectName("Panel1");
  panel->setGeometry(0, 0, TBookFormEx::kPageWidth - 191, TBookFormEx::kPageHeight);

  buildLanguage(makeCard(panel, QRect(16, 62, 284, 236), "GeneralCard"));
  buildKeyboardChoice(makeCard(panel, QRect(308, 62, 286, 236), "KeyboardCard"));
  keyboardCard_ = makeCard(panel, QRect(16, 306, 578, 212), "KeyboardPicture");
  layoutMissing_ = makeLabel(keyboardCard_, QString(), 9, true, "#b3262d");
  layoutMissing_->setObjectName("LayoutMissing");
  layoutMissing_->setGeometry(34, 194, 502, 16);
  buildSounds(makeCard(panel, QRect(16, 524, 578, 68), "SoundsCard"));

  readChoices();
  // The captions name their lists; the kit gives them and the buttons their Alt letters.
  for (const auto& [caption, control] : {std::pair<QLabel*, QWidget*>{languageC_, langList_},
                                         {speedUnit_, speedUnitCombo_},
                                         {fontsTitle_, fontSizeCombo_},
                                         {keyboardTitle_, layout_},
                                         {soundsTitle_, soundsCombo_}})
    caption->setBuddy(control);
  // The layout as chosen now, once, then at every change.
  layoutChanged(nullptr);
  for (QRadioButton* radio : {autoDetect_.data(), userLayout_.data()}) {
    connect(radio, &QRadioButton::toggled, this, [this, radio](bool checked) {
      if (checked) layoutChanged(radio);
    });
  }
  connect(layout_, &QListWidget::currentRowChanged, this, [this] { layoutChanged(layout_); });
  connect(soundsCombo_, &QComboBox::currentIndexChanged, this, [this] { soundsChanged(); });

  // Reading order: the general choices, the keyboard, then the sounds.
  QWidget* order[] = {langList_,   speedUnitCombo_, fontSizeCombo_, autoDetect_,
                      userLayout_, layout_,         soundsCombo_,   generalTheme_};
  for (size_t i = 0; i + 1 < std::size(order); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
  for (QWidget* w : order) {
    if (w->isEnabled()) {
      w->setFocus();
      break;
    }
  }
}

void TOptionsView::buildLanguage(QWidget* card) {
  languageC_ = caption(card, "LanguageC", 1435, QRect(18, 12, 170, 20));
  lockedLabel(card, "LanguageLocked", user_.IsLocked("languagecode"), QRect(190, 12, 76, 20));
  langList_ = combo(card, "LangList", QRect(18, 34, 248, 30), {});
  for (const std::string& name : Localize().languageNames()) langList_->addItem(toQString(name));

  speedUnit_ = caption(card, "SpeedUnit", 571, QRect(18, 74, 170, 20));
  lockedLabel(card, "UnitLocked", user_.IsLocked("cpm"), QRect(190, 74, 76, 20));
  speedUnitCombo_ = combo(card, "SpeedUnitCombo", QRect(18, 96, 248, 30), {203, 202});

  fontsTitle_ = caption(card, "FontsTitle", 191, QRect(18, 136, 248, 20));
  fontSizeCombo_ = combo(card, "FontSizeCombo", QRect(18, 158, 248, 30), {1686, 1687});
  if (!policy("NoFullScreen")) fontSizeCombo_->addItem(msgText(1685));
  QLabel* help = makeLabel(card, msgText(573), 8.5, false, "#4a5a4a");
  help->setObjectName("FontSizeHlp");
  help->setWordWrap(true);
  help->setGeometry(18, 192, 248, 38);
}

void TOptionsView::buildKeyboardChoice(QWidget* card) {
  keyboardTitle_ = caption(card, "KeyboardTitle", 196, QRect(18, 12, 170, 20));
  lockedLabel(card, "KeyboardLocked",
              user_.IsLocked("KeyboardLayout") || user_.IsLocked("KeyboardAutoDetect"),
              QRect(190, 12, 78, 20));
  autoDetect_ = new QRadioButton(card);
  autoDetect_->setObjectName("AutoDetect");
  autoDetect_->setFont(designFont("Verdana", 9.5));
  autoDetect_->setGeometry(14, 38, 264, 24);
  userLayout_ = new QRadioButton(msgText(574), card);
  userLayout_->setObjectName("UserLayout");
  userLayout_->setFont(designFont("Verdana", 9.5));
  userLayout_->setGeometry(14, 64, 264, 24);
  layout_ = new QListWidget(card);
  layout_->setObjectName("Layout");
  layout_->setFont(designFont("Verdana", 9.5));
  layout_->setGeometry(18, 92, 250, 130);
  for (const auto& [title, name] : sortedLayouts()) {
    auto* item = new QListWidgetItem(title, layout_);
    item->setData(Qt::UserRole, toQString(name));
  }
}

void TOptionsView::buildSounds(QWidget* card) {
  soundsTitle_ = caption(card, "SoundsTitle", 182, QRect(18, 9, 110, 24));
  soundsCombo_ = combo(card, "SoundsCombo", QRect(132, 6, 190, 28), {184, 183});
  lockedLabel(card, "SoundsLocked", user_.IsLocked("Sounds"), QRect(480, 9, 80, 24));
  generalTheme_ = new QCheckBox(msgText(200), card);
  generalTheme_->setObjectName("GeneralTheme");
  generalTheme_->setFont(designFont("Verdana", 9.5));
  generalTheme_->setGeometry(14, 38, 460, 24);
  lockedLabel(card, "ThemeLocked", user_.IsLocked("ThemeSound"), QRect(480, 38, 80, 24));
}

void TOptionsView::readChoices() {
  langList_->setCurrentIndex(Localize().LanguageIndex(""));
  langList_->setEnabled(!user_.IsLocked("languagecode"));

  // Without a layout that suits the system's, there is nothing to detect.
  const UserLayoutSettings layoutSettings = user_.LayoutSettings();
  const std::string detected =
      ProgramSettings ? ProgramSettings->UserLayoutFile("", true, layoutSettings) : "";
  const TLocalize& lang = Localize();
  const bool nothingDetected =
      detected.empty() || detected == lang.GetString(205) || detected == lang.GetString(1107);
  autoDetect_->setText(msgText(198) + " (" + layoutTitle(detected) + ")");
  fitButtonText(autoDetect_, 7);
  if (nothingDetected) {
    autoDetect_->setEnabled(false);
    userLayout_->setChecked(true);
  } else if (layoutSettings.keyboardLayoutLocked && !layoutSettings.keyboardAutoDetectLocked) {
    userLayout_->setChecked(true);
  } else {
    (layoutSettings.keyboardAutoDetect ? autoDetect_ : userLayout_)->setChecked(true);
  }
  const QString chosen = toQString(layoutSettings.keyboardLayout);
  int row = 0;
  for (int i = 0; i < layout_->count(); ++i) {
    if (layout_->item(i)->data(Qt::UserRole).toString().compare(chosen, Qt::CaseInsensitive) == 0)
      row = i;
  }
  layout_->setCurrentRow(row);
  // A locked detection fixes the choice between the two; a locked layout fixes the list.
  if (layoutSettings.keyboardAutoDetectLocked) {
    autoDetect_->setEnabled(false);
    userLayout_->setEnabled(false);
  }
  layout_->setEnabled(!layoutSettings.keyboardLayoutLocked &&
                      !(layoutSettings.keyboardAutoDetectLocked && autoDetect_->isChecked()));

  generalTheme_->setChecked(user_.GetSettingBool("ThemeSound", 1));
  generalTheme_->setEnabled(!user_.IsLocked("ThemeSound"));
  speedUnitCombo_->setCurrentIndex(user_.GetSettingBool("cpm", 1) ? 0 : 1);
  speedUnitCombo_->setEnabled(!user_.IsLocked("cpm"));
  soundsCombo_->setCurrentIndex(std::clamp(user_.GetSettingInt("Sounds", 1), 0, 1));
  soundsCombo_->setEnabled(!user_.IsLocked("Sounds"));
  // A stored value the list does not offer (full screen under "NoFullScreen", a damaged one)
  // shows as the first entry: leaving must never store an index that is not there.
  const int size = workstationSettings ? workstationSettings->ReadInteger("FullScreen") : 0;
  fontSizeCombo_->setCurrentIndex(size >= 0 && size < fontSizeCombo_->count() ? size : 0);
}

void TOptionsView::layoutChanged(QObject* sender) {
  if (sender == layout_ && layout_->isEnabled()) {
    const QSignalBlocker block(userLayout_);
    if (userLayout_->isEnabled()) userLayout_->setChecked(true);
    layout_->setFocus();
  }
  if (QListWidgetItem* item = layout_->currentItem())
    user_.WriteString("KeyboardLayout", toCp1252(item->data(Qt::UserRole).toString()));
  user_.WriteBool("KeyboardAutoDetect", autoDetect_->isChecked());
  // The list marks a layout only while it is the choice; detection chooses for itself.
  if (QListWidgetItem* item = layout_->currentItem()) item->setSelected(!autoDetect_->isChecked());

  const std::string file = user_.LayoutFileName();
  const std::filesystem::path folder =
      ProgramSettings ? ProgramSettings->keyboardsPath() : std::filesystem::path("keyboards");
  const std::string path = joinResolved(folder, file).string();
  // Tried on its own first: a file that is missing or unusable leaves the keyboard the learner
  // has, instead of an empty one.
  TKeyDataExt probe;
  const int result = probe.loadFromFile(path);
  if (result < 0) {
    // Logged as missing whatever the reason, and said in the learner's language on the page.
    const bool unusable =
        result == TKeyDataExt::kWrongVersion || result == TKeyDataExt::kBadContent;
    LogError(kLayoutMissing, file + " not found!");
    layoutMissing_->setText(msgText(unusable ? 2751 : 2750) + toQString(file));
    return;
  }
  layoutMissing_->clear();
  CurrentLayout().loadFromFile(path);
  showKeyboard();
}

void TOptionsView::showKeyboard() {
  delete keyboard_.data();
  keyboard_ = new TKeyboard(keyboardCard_, CurrentLayout());
  keyboard_->setGeometry(34, 14, 502, 180);
  keyboard_->setAutoFillBackground(true);
  QPalette palette = keyboard_->palette();
  palette.setColor(QPalette::Window, kKeyboardColour);
  keyboard_->setPalette(palette);
  keyboard_->MarkAllKeys();
  keyboard_->show();
}

void TOptionsView::soundsChanged() {
  user_.WriteBool("ThemeSound", generalTheme_->isChecked());
  user_.WriteInteger("Sounds", soundsCombo_->currentIndex());
  sound().setEnabled(user_.ReadBool("Sounds"));
}

void TOptionsView::Hide() {
  if (langList_) {
    const std::string code = Localize().LanguageCodeAt(langList_->currentIndex());
    Localize().SetLanguage(code);
    if (!code.empty()) user_.WriteString("LanguageCode", code);
    user_.WriteBool("ThemeSound", generalTheme_->isChecked());
    user_.WriteInteger("cpm", speedUnitCombo_->currentIndex() == 1 ? 0 : 1);
    user_.WriteInteger("Sounds", soundsCombo_->currentIndex());
    sound().setEnabled(user_.ReadBool("Sounds"));
    if (workstationSettings)
      workstationSettings->WriteInteger("FullScreen", fontSizeCombo_->currentIndex());
    if (!policy("DisableWindowsLayouts")) CurrentLayout().activateWindowsLayout(false);
  }
  TCustomBookView::Hide();
}

void registerOptionsPart(TPartHost& host) {
  host.SetPart("Settings", [](TPartHost& h) {
    if (!h.User()) return 0;
    TOptionsView view(*h.User());
    return view.RunModal();
  });
}

}  // namespace ks
