#include "games/registry.h"

#include <array>

#include "monitor/q2server.h"
#include "monitor/q3server.h"
#include "monitor/traits.h"

namespace games {
namespace {

template <class Window>
TF_ServerMonitor* NewWindow() {
  return new Window;
}

const std::array<Game, 3> kGames{{
    {.index = 0,
     .name = "Quake 3 Arena",
     .defaultPort = 27960,
     .icon = ":/images/games/q3a.png",
     .quickCaptionPrefix = "Q3A-",
     .monitor = &monitor::kQuake3Monitor,
     .newWindow = NewWindow<TF_Q3Server>,
     .noWindowText = {}},
    {.index = 1,
     .name = "Quake World",
     .defaultPort = 27500,
     .icon = ":/images/games/qw.png",
     .quickCaptionPrefix = {},
     .monitor = nullptr,
     .newWindow = nullptr,
     .noWindowText = "Sorry, QuakeWorld not implemented yet!"},
    {.index = 2,
     .name = "Quake 2",
     .defaultPort = 27910,
     .icon = ":/images/games/q2.png",
     .quickCaptionPrefix = "Q2-",
     .monitor = &monitor::kQuake2Monitor,
     .newWindow = NewWindow<TF_Q2Server>,
     .noWindowText = {}},
}};

}  // namespace

const protocol::GameTraits& Game::Wire() const { return *monitor->wire; }

std::span<const Game> All() { return kGames; }

const Game* Find(int index) {
  for (const Game& game : kGames)
    if (game.index == index) return &game;
  return nullptr;
}

}  // namespace games
