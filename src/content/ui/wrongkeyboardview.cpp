#include "content/ui/wrongkeyboardview.h"

#include <QPushButton>
#include <QTimer>

#include "content/ui/studystyle.h"
#include "platform/desktop/qtext.h"
#include "platform/systemkeyboard.h"
#include "store/langres.h"

namespace ks {

TWrongKeyboardView::TWrongKeyboardView(std::string missing, std::string layoutName)
    : missing_(std::move(missing)), layoutName_(std::move(layoutName)) {
  CancelVisible = false;
  MenuVisible = false;
  ButtonFlags = 0;
}

void TWrongKeyboardView::Setup() {
  TCustomBookView::Setup();
  ButtonFlags = 0;
  SetTitle(msgText(196));
  QWidget* page = Content();
  if (!page) return;
  page->setStyleSheet(studyStyleSheet());
  QFrame* panel = makeCard(page, QRect(140, 90, 520, 380), "Panel");
  auto* title = makeHeading(panel, msgText(196), 16);
  title->setObjectName("wintitle");
  title->setGeometry(28, 20, 464, 30);
  auto* instructions = makeLabel(panel, msgText(1444), 10);
  instructions->setObjectName("Instructions");
  instructions->setWordWrap(true);
  instructions->setGeometry(28, 60, 464, 64);
  auto* missing = makeLabel(panel, msgText(1443) + ": " + toQString(missing_.substr(0, 10)), 12,
                            true, "#b3262d");
  missing->setObjectName("Missing");
  missing->setGeometry(28, 134, 464, 28);
  auto* layout =
      makeLabel(panel, msgText(196) + ": " + toQString(layoutName_), 10, false, "#3c4a3c");
  layout->setObjectName("layout");
  layout->setGeometry(28, 168, 464, 24);

  const auto button = [&](const char* name, const QString& text, ButtonRole role, QRect r,
                          int answer) {
    QPushButton* b = makeButton(panel, name, text, role);
    b->setGeometry(r);
    connect(b, &QPushButton::clicked, this, [this, answer] { SetCloseResult(answer); });
    return b;
  };
  button("continuebtn", msgText(1692), ButtonRole::Primary, QRect(28, 212, 220, 40), 2);
  button("Settings", msgText(631), ButtonRole::Secondary, QRect(272, 212, 220, 40), 3);
  button("changecrs", msgText(1921), ButtonRole::Secondary, QRect(28, 264, 220, 36), 8);
  // The US International layout only suits the English courses.
  QPushButton* sw =
      button("SwitchLayout", msgText(1445), ButtonRole::Secondary, QRect(272, 264, 220, 36), 4);
  sw->setVisible(ActiveLanguage == "ENG");

  // A desktop that keeps the layout switch to itself (GNOME under Wayland): the tutor cannot
  // switch, so it says where the learner can, and checks again once the learner has.
  SystemKeyboard& keyboard = systemKeyboard();
  if (keyboard.switchesLayouts() || keyboard.configuredLayoutIds().empty()) return;
  auto* desktop = makeLabel(panel, msgText(2850), 9, false, "#3c4a3c");
  desktop->setObjectName("DesktopSwitch");
  desktop->setWordWrap(true);
  desktop->setGeometry(28, 308, 464, 62);
  shownLayoutId_ = keyboard.activeLayoutId();
  auto* watch = new QTimer(panel);
  connect(watch, &QTimer::timeout, this, [this] {
    if (systemLayoutId() != shownLayoutId_) SetCloseResult(kLayoutSwitched);
  });
  watch->start(400);
}

}  // namespace ks
