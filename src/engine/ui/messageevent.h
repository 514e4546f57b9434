// Message events: a page of text with an optional picture ("MESSAGE"), or an HTML page
// ("HTMLMESSAGE") that falls back to the plain page when it cannot be loaded.
#pragma once

#include <filesystem>

#include "engine/ui/event.h"

class QTextBrowser;

namespace ks {

class TMessageEvent : public TEvent {
  Q_OBJECT

 public:
  explicit TMessageEvent(const std::string& line);
  int Execute(const EventHandover& handover) override;
  void Setup() override;
  void Hide() override;

  bool ImageLeft = false;           // field 6 "LEFT"
  bool ActionOpensMonitor = false;  // field 7 "SIDEWATCH"

  // The tab the action button leads to: the monitor's, else the review's; empty when the window
  // has neither.
  static QString ActionTab();

 protected:
  // The plain page: title, text and picture.
  void BuildPlainPage(const std::string& pictureName);
  // The button of a page that leads on to the monitor.
  void BuildActionButton(QWidget* page);

 private:
  bool actionChosen_ = false;
};

class THTMLMessageEvent : public TMessageEvent {
  Q_OBJECT

 public:
  explicit THTMLMessageEvent(const std::string& line);
  void Setup() override;
  void Hide() override;

  QTextBrowser* Viewer() const { return viewer_; }
  // Follows a link of the page: pages of the course (relative or "FILE:" names) open in the
  // viewer, web and mail addresses in the desktop's programs.
  void FollowLink(const QString& link);

 private:
  void showPage(const std::filesystem::path& file, const std::string& html);

  QTextBrowser* viewer_ = nullptr;
  std::filesystem::path page_;
};

}  // namespace ks
