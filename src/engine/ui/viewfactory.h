// The event views of the tutor by keyword: the event loader asks this factory for the view of
// each event line. Modules with views of their own (drills, games, the typing test) register
// them here.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "content/eventfactory.h"

namespace ks {

using EventViewCreator = std::function<std::unique_ptr<LessonEvent>(const std::string& keyword,
                                                                    const std::string& line)>;

// Registers the view of `keyword` (upper case); a later registration replaces an earlier one.
void registerEventView(const std::string& keyword, EventViewCreator creator);

class ViewEventFactory : public EventFactory {
 public:
  std::unique_ptr<LessonEvent> Create(const EventKeyword& keyword,
                                      const std::string& line) override;
};

}  // namespace ks
