#include "engine/ui/viewfactory.h"

#include <map>

#include "content/eventline.h"
#include "content/textevents.h"
#include "engine/ui/drillviews.h"
#include "engine/ui/messageevent.h"
#include "engine/ui/textevent.h"

namespace ks {
namespace {

std::map<std::string, EventViewCreator>& registry() {
  static std::map<std::string, EventViewCreator> views;
  return views;
}

}  // namespace

void registerEventView(const std::string& keyword, EventViewCreator creator) {
  registry()[keyword] = std::move(creator);
}

std::unique_ptr<LessonEvent> ViewEventFactory::Create(const EventKeyword& keyword,
                                                      const std::string& line) {
  const std::string kw = keyword.Keyword;
  auto it = registry().find(kw);
  if (it != registry().end()) return it->second(kw, line);
  if (kw == "MESSAGE") return std::make_unique<TMessageEvent>(line);
  if (kw == "HTMLMESSAGE") return std::make_unique<THTMLMessageEvent>(line);
  if (TextEventTraitsOf(kw)) return std::make_unique<TTextEventView>(line, kw);
  return CreateDrillView(kw, line);
}

}  // namespace ks
