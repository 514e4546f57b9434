// The tutor's start-up, main loop and end: language, single instance, paths, policy,
// workstation, logon, layout and key set, then one part of the program after the other as the
// menu tabs ask, until the learner leaves.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "analysis/analyzer.h"
#include "analysis/measures.h"
#include "book/parthost.h"
#include "platform/desktop/canberrasound.h"
#include "platform/desktop/peerlink.h"
#include "platform/instancelock.h"
#include "shell/startoptions.h"
#include "store/user.h"

namespace ks {

class TAppFrame : public QObject, public TPartHost {
  Q_OBJECT

 public:
  // Start results.
  static constexpr int kFailed = -1;
  static constexpr int kOtherInstance = 123;

  TAppFrame(TBookFormEx& window, StartOptions options);
  ~TAppFrame() override;

  // Runs the start-up and then the main loop; returns the start result.
  int Initialize();
  void Finalize(int startResult);

  void SetPart(const QString& tab, Part part) override;

  TBookFormEx& Window() override { return window_; }
  TUser* User() override { return user_.get(); }
  Analyzer* LearnerAnalyzer() override { return analyzer_.get(); }
  const StartOptions& Options() const { return options_; }

 private:
  int start();
  bool loadLanguage();
  int singleInstance();
  bool openWorkstation();
  void stampWorkstation();
  void buildMenu();
  void applyWindowMode();
  void checkScreen();
  bool logon();
  void afterLogon();
  void showUserMessages();
  void mainLoop();
  int runPart(const QString& tab);
  void retitle();
  void onTabClicked(const QString& name);
  void onExitRequest(bool fromButton);
  // The typing-test edition's names, again after every language load.
  void applyEdition();
  // Switches the language; true when it changed.
  bool setLanguage(const std::string& code);
  // A view switched the language: the menu and the captions follow.
  void languageChanged();
  void uninstall();

  TBookFormEx& window_;
  StartOptions options_;
  InstanceLock instance_{"QS2004Mutex"};
  std::unique_ptr<PeerLink> link_;
  std::unique_ptr<Measures> measures_;
  std::unique_ptr<Analyzer> analyzer_;
  std::unique_ptr<TUser> user_;
  std::map<QString, Part> parts_;
  CanberraSound sound_;
  bool monitorDisabled_ = false;
  QString currentTab_;  // the tab whose part runs
};

}  // namespace ks
