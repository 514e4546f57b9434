// Message events: a page of text with an optional picture ("MESSAGE"), or an HTML page
// ("HTMLMESSAGE") that falls back to the plain page when it cannot be loaded.
#pragma once

#include "engine/ui/event.h"

class QTextBrowser;

namespace ks {

class TMessageEvent : public TEvent {
  Q_OBJECT

 public:
  explicit TMessageEvent(const std::string& line);
  void Setup() override;
  void Hide() override;

  bool ImageLeft = false;           // field 6 "LEFT"
  bool ActionOpensMonitor = false;  // field 7 "SIDEWATCH"

 protected:
  // The plain page: title, text and picture.
  void BuildPlainPage(const std::string& pictureName);
};

class THTMLMessageEvent : public TMessageEvent {
  Q_OBJECT

 public:
  explicit THTMLMessageEvent(const std::string& line);
  void Setup() override;

 private:
  QTextBrowser* viewer_ = nullptr;
};

}  // namespace ks
