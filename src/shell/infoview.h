// The Info tab: what the program is (name, version, licence), its manuals, and the two folders
// it works in, each with a button that opens it in the desktop's file manager.
#pragma once

#include <QString>
#include <filesystem>

#include "book/formview.h"

class QPushButton;

namespace ks {

class TInfoView : public TCustomBookView {
  Q_OBJECT

 public:
  // `typingTestEdition`: the typing-test edition names itself so and links to web pages
  // instead of the manuals.
  explicit TInfoView(bool typingTestEdition = false);

  void Setup() override;

  // The folders the page names (the learner data, the installation).
  static std::filesystem::path DataFolder();
  static std::filesystem::path InstallationFolder();
  // A manual of the installation, "" when it is not installed.
  static QString ManualFile(const char* name);
  // What F1 opens anywhere in the tutor: the page's first manual link.
  static QString HelpTarget(bool typingTestEdition);
  // Opens a file or web address on the desktop; a failure is reported and logged.
  static void Open(const QString& target);

 private:
  // Each builds its card from `top` down and answers where it ends.
  int buildAbout(QWidget* page, int top);
  int buildManuals(QWidget* page, int top);
  void buildFolders(QWidget* page, int top);
  QPushButton* linkButton(QWidget* parent, const QString& name, const QString& caption,
                          const QString& target);

  bool typingTest_;
};

}  // namespace ks
