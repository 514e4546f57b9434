// The settings page: the language of the program, the keyboard layout (detected or chosen, shown
// on the on-screen keyboard), the theme sound, the speed unit, the sounds and the window size.
// A choice the policy or the group locks is shown disabled and marked "locked". The layout and
// the sounds take effect at once, the rest when the page is left.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>

#include "analysis/ui/keyboardex.h"
#include "book/formview.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QWidget;

namespace ks {

class TPartHost;
class TUser;

class TOptionsView : public TCustomBookView {
  Q_OBJECT

 public:
  explicit TOptionsView(TUser& user);
  ~TOptionsView() override;

  void Setup() override;
  void Hide() override;

  TKeyboard* Keyboard() const { return keyboard_; }

 private:
  void buildLanguage(QWidget* card);
  void buildKeyboardChoice(QWidget* card);
  void buildSounds(QWidget* card);
  void readChoices();
  // Stores the layout choice and loads its layout; run once by Setup and on every change.
  void layoutChanged(QObject* sender);
  void soundsChanged();
  void showKeyboard();
  QLabel* lockedLabel(QWidget* parent, const char* name, bool locked, const QRect& r);

  TUser& user_;
  QPointer<QWidget> keyboardCard_;
  QPointer<QComboBox> langList_, speedUnitCombo_, soundsCombo_, fontSizeCombo_;
  QPointer<QRadioButton> autoDetect_, userLayout_;
  QPointer<QListWidget> layout_;
  QPointer<QCheckBox> generalTheme_;
  QPointer<QLabel> languageC_, keyboardTitle_, speedUnit_, soundsTitle_, fontsTitle_;
  QPointer<QLabel> layoutMissing_;
  QPointer<TKeyboard> keyboard_;
};

// Runs the settings page for the "Settings" tab.
void registerOptionsPart(TPartHost& host);

}  // namespace ks
