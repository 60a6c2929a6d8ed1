#pragma once
// The games whose replies the protocol harnesses read, every input once per game.
#include <array>

#include "protocol/game.h"

namespace fuzz {

inline constexpr std::array<const protocol::GameTraits*, 2> kGames = {&protocol::kQuake3, &protocol::kQuake2};

// A game chosen by one bit of an input.
inline const protocol::GameTraits& GameOf(unsigned bit) { return *kGames[bit & 1]; }

}  // namespace fuzz
