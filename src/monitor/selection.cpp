#include "monitor/selection.h"

namespace monitor {

int FindPlayer(const PlayerKey& key, const std::vector<protocol::PlayerRow>& rows) {
  int byName = -1;
  int sameName = 0;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const protocol::PlayerRow& row = rows[static_cast<std::size_t>(i)];
    if (!key.num.empty() && row.num == key.num) return i;
    if (row.name == key.name && ++sameName == 1) byName = i;
  }
  if (sameName != 1) return -1;
  // A name alone decides only where a number is missing on either side.
  const std::string& num = rows[static_cast<std::size_t>(byName)].num;
  return key.num.empty() || num.empty() ? byName : -1;
}

}  // namespace monitor
