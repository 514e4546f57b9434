// The games of the tutor: their event views and the high-score view that ends each game.
#pragma once

#include <filesystem>

namespace ks {

// Registers the four games (BUBBLES, ABC, WORDTRIS, CLOUDS) with the event views and shows game
// results in the top-ten view; the lists live in `topTenFolder`, by default the data folder.
void registerGames(std::filesystem::path topTenFolder = {});

}  // namespace ks
