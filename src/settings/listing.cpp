#include "settings/listing.h"

#include "platform/ascii.h"

namespace settings {

ListedValues::ListedValues(const std::vector<protocol::CvarReply>& variables, const protocol::GameTraits& game)
    : caseSensitive_(game.ruleNamesCaseSensitive) {
  // The first of two names the server would not tell apart is the one it finds.
  for (const protocol::CvarReply& v : variables) values_.try_emplace(Key(v.name), v.value);
}

const std::string* ListedValues::Find(std::string_view name) const {
  const auto it = values_.find(Key(name));
  return it == values_.end() ? nullptr : &it->second;
}

std::string ListedValues::Key(std::string_view name) const {
  return caseSensitive_ ? std::string(name) : platform::AsciiLowerCase(name);
}

}  // namespace settings
