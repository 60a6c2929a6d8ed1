#pragma once
// The server's variables as one listing gave them, found by name the way the game's server
// finds a variable: Quake 3 without regard to letter case, Quake 2 exactly. So a field reads
// from the listing what a query of its own name would read: a Quake 2 field "TimeLimit" finds
// nothing, as the server answers nothing to that query.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "protocol/cvars.h"
#include "protocol/game.h"

namespace settings {

class ListedValues {
 public:
  ListedValues(const std::vector<protocol::CvarReply>& variables, const protocol::GameTraits& game);

  // The listed value of the variable, or nullptr when the listing does not hold it.
  const std::string* Find(std::string_view name) const;

 private:
  std::string Key(std::string_view name) const;

  bool caseSensitive_;
  std::unordered_map<std::string, std::string> values_;
};

}  // namespace settings
