// The registry of the games: the game lists' order, and a descriptor that holds together.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "games/registry.h"
#include "monitor/q2server.h"
#include "monitor/q3server.h"
#include "monitor/traits.h"
#include "support/test_env.h"

namespace {

TEST(Games, IndexesFollowTheGameListsAndEachWindowIsItsGamesClass) {
  test::ScopedProgramDir dir;
  const auto all = games::All();
  ASSERT_EQ(all.size(), 3u);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const games::Game& game = all[i];
    EXPECT_EQ(game.index, static_cast<int>(i));
    EXPECT_EQ(games::Find(game.index), &game);
    EXPECT_EQ(game.HasWindow(), game.monitor != nullptr) << game.name;
    EXPECT_EQ(game.HasWindow(), game.noWindowText.empty()) << game.name;
    if (!game.HasWindow()) continue;
    EXPECT_EQ(game.Wire().name, game.name);
    EXPECT_FALSE(game.quickCaptionPrefix.empty());
    const std::unique_ptr<TF_ServerMonitor> window(game.newWindow());
    EXPECT_EQ(&window->Traits(), game.monitor);
  }
  EXPECT_EQ(games::Find(-1), nullptr);
  EXPECT_EQ(games::Find(3), nullptr);
  EXPECT_EQ(all[1].noWindowText, "Sorry, QuakeWorld not implemented yet!");
  const std::unique_ptr<TF_ServerMonitor> arena(all[0].newWindow());
  const std::unique_ptr<TF_ServerMonitor> base(all[2].newWindow());
  EXPECT_NE(dynamic_cast<TF_Q3Server*>(arena.get()), nullptr);
  EXPECT_NE(dynamic_cast<TF_Q2Server*>(base.get()), nullptr);
}

}  // namespace
