#include "games/ui/registergames.h"

#include "content/ui/resultviews.h"
#include "engine/ui/viewfactory.h"
#include "games/ui/abcview.h"
#include "games/ui/bubblesview.h"
#include "games/ui/cloudsview.h"
#include "games/ui/toptenview.h"
#include "games/ui/wordtrisview.h"

namespace ks {

void registerGames(std::filesystem::path topTenFolder) {
  registerEventView("BUBBLES", [](const std::string&, const std::string& line) {
    return std::make_unique<TBubbles>(line);
  });
  registerEventView("ABC", [](const std::string&, const std::string& line) {
    return std::make_unique<TABC>(line);
  });
  registerEventView("WORDTRIS", [](const std::string&, const std::string& line) {
    return std::make_unique<TWTrisEvent>(line);
  });
  registerEventView("CLOUDS", [](const std::string&, const std::string& line) {
    return std::make_unique<TCloudGame>(line);
  });
  setTopTenRunner(
      [topTenFolder](TResultItem& item, const std::string& player, const std::string& game) {
        TTopTenView view;
        view.Item = &item;
        view.PlayerName = player;
        view.ListName = game;
        view.Folder = topTenFolder;
        return view.RunModal();
      });
}

}  // namespace ks
