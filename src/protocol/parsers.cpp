#include "protocol/parsers.h"

#include <algorithm>
#include <array>
#include <exception>
#include <unordered_map>
#include <utility>

#include "common/text.h"
#include "platform/ascii.h"
#include "protocol/lines.h"
#include "protocol/packets.h"

namespace protocol {

KeyValue SplitKeyValue(std::string_view line) {
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return {line, {}};
  return {line.substr(0, space), common::TrimSpacesView(line.substr(space + 1))};
}

namespace {

std::string CleanName(std::string_view raw) {
  std::string stripped;
  stripped.reserve(raw.size());
  common::AppendStripped(stripped, raw);
  return std::string(common::TrimSpacesView(stripped));
}

// The name as the game shows it: special characters mapped as in the clean name, colour
// codes kept except those at the end, which colour nothing; empty when that is the clean
// name itself, or when the game has no colour codes.
std::string ColouredName(const GameTraits& traits, std::string_view raw, const std::string& clean, bool trim) {
  if (traits.colorCodes == common::ColorCodes::None) return {};
  std::string mapped;
  mapped.reserve(raw.size());
  for (const char c : raw) mapped.push_back(MapSpecialChar(c));
  std::string_view shown = mapped;
  for (;;) {
    if (trim) shown = common::TrimSpacesView(shown);
    const std::size_t n = shown.size();
    if (n < 2 || shown[n - 2] != '^' || !common::HasColourCodes(shown.substr(n - 2), traits.colorCodes)) break;
    shown.remove_suffix(2);
  }
  return shown == clean ? std::string() : std::string(shown);
}

template <typename Hook>
void RunHook(const Hook& hook, const std::string& value) {
  if (!hook) return;
  try {
    hook(value);
  } catch (...) {
    // A failing effect skips only the rest of its own line.
  }
}

// One row of the status table as read.
struct TableRow {
  std::string num, name, colouredName, score, ping, address, rate;
  std::size_t printedNameSize = 0;  // colour codes included
};

// Which trailing column holds what, per layout.
struct LayoutColumns {
  std::size_t count;   // fixed columns after the name
  int address;         // their indexes, -1 when the layout has none
  int rate;
};

LayoutColumns ColumnsOf(TableLayout layout) {
  switch (layout) {
    case TableLayout::Quake3Original: return {4, 1, 3};  // lastmsg address qport rate
    case TableLayout::Quake3Io: return {2, 0, 1};        // address rate
    case TableLayout::Q2pro: return {5, 1, 2};           // lastmsg address rate pr fps
    case TableLayout::Quake2: break;
  }
  return {3, 1, -1};                                     // lastmsg address qport
}

constexpr std::size_t kMaxTrailing = 5;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// A column heading: "cl" or "num", then "score" and "ping".
bool IsHeading(std::string_view line) {
  const std::string_view first = common::NextTokenView(line, 0);
  return (first == "cl" || first == "num") && common::NextTokenView(line, 0) == "score" &&
         common::NextTokenView(line, 0) == "ping";
}

// Takes the last space-separated token off the end of `text`; false when nothing is left
// before it (so that no name would remain).
bool TakeLastToken(std::string_view& text, std::string_view& token) {
  const std::size_t end = text.find_last_not_of(' ');
  if (end == std::string_view::npos) return false;
  text = text.substr(0, end + 1);
  const std::size_t space = text.rfind(' ');
  if (space == std::string_view::npos) return false;
  token = text.substr(space + 1);
  text = text.substr(0, space);
  return true;
}

TableRow ReadTableRow(const GameTraits& traits, std::string_view line, TableLayout layout) {
  const LayoutColumns cols = ColumnsOf(layout);
  TableRow row;
  std::string_view rest = line;
  const std::string_view num = common::NextTokenView(rest, 0);
  const std::string_view score = common::NextTokenView(rest, 0);
  const std::string_view ping = common::NextTokenView(rest, 0);
  row.num = num;
  row.score = score;
  row.ping = ping;

  std::array<std::string_view, kMaxTrailing> tail{};
  std::string_view middle = rest;
  bool fromRight = !ping.empty();
  for (std::size_t k = cols.count; fromRight && k-- > 0;) fromRight = TakeLastToken(middle, tail[k]);
  if (fromRight) fromRight = !common::TrimSpacesView(middle).empty();
  std::string_view name;
  if (fromRight) {
    name = middle;
  } else {
    // Too few columns to read from both ends: left to right, the name at least 16 wide.
    tail = {};
    name = common::NextTokenView(rest, 15);
    for (std::size_t k = 0; k < cols.count; ++k) tail[k] = common::NextTokenView(rest, 0);
  }
  row.name = CleanName(name);
  row.colouredName = ColouredName(traits, name, row.name, true);
  row.printedNameSize = common::TrimSpacesView(name).size();
  if (cols.address >= 0) row.address = StripColorCodes(tail[static_cast<std::size_t>(cols.address)]);
  if (cols.rate >= 0) row.rate = tail[static_cast<std::size_t>(cols.rate)];
  return row;
}

// `keepName`: the table cut the name, and the row keeps the whole name it has.
void Assign(PlayerRow& target, const TableRow& row, bool withRate, bool keepName) {
  target.num = row.num;
  if (!keepName) {
    target.name = row.name;
    target.colouredName = row.colouredName;
  }
  target.frags = row.score;
  target.ping = row.ping;
  target.address = row.address;
  if (withRate) target.rate = row.rate;
}

}  // namespace

void ParseStatusResponse(const GameTraits& traits, std::string_view reply, std::vector<PlayerRow>& players) {
  players.clear();
  LineReader lines(reply);
  std::string_view line;
  while (lines.Next(line)) {
    if (lines.Number() <= 2 || line.empty()) continue;
    std::string_view name;
    const std::size_t quote = line.find('"');
    if (quote != std::string_view::npos) {
      name = line.substr(quote + 1);
      if (!name.empty()) name.remove_suffix(1);  // the closing quote
    }
    PlayerRow row;
    row.name = CleanName(name);
    row.colouredName = ColouredName(traits, name, row.name, true);
    players.push_back(std::move(row));
  }
}

std::optional<TableLayout> Quake3TableLayout(std::string_view heading) {
  if (!IsHeading(heading)) return std::nullopt;
  return Contains(heading, "lastmsg") ? TableLayout::Quake3Original : TableLayout::Quake3Io;
}

std::optional<TableLayout> Quake2TableLayout(std::string_view heading) {
  if (!IsHeading(heading)) return std::nullopt;
  return TableLayout::Quake2;
}

std::optional<TableLayout> Q2proTableLayout(std::string_view heading) {
  if (heading != "No UDP clients." && !IsHeading(heading)) return std::nullopt;
  return TableLayout::Q2pro;
}

std::optional<TableForm> ReadTableForm(const GameTraits& traits, std::string_view reply) {
  if (!StartsWith(reply, kPrintHeader)) return std::nullopt;
  LineReader lines(reply);
  std::string_view line;
  lines.Next(line);  // "print"
  if (!lines.Next(line)) return std::nullopt;
  const std::string_view mapLine = line;
  for (const TableShape& shape : traits.tableShapes) {
    if (shape.mapMarker.empty() || !StartsWith(mapLine, shape.mapMarker)) continue;
    LineReader heading = lines;
    while (heading.Number() < shape.headingLine && heading.Next(line)) {
    }
    if (heading.Number() != shape.headingLine) continue;
    if (const std::optional<TableLayout> layout = shape.layout(line))
      return TableForm{*layout, shape.headingLine + 2, shape.nameWidth};
  }
  return std::nullopt;
}

void ParseStatusTable(const GameTraits& traits, std::string_view reply, std::vector<PlayerRow>& players) {
  const std::optional<TableForm> form = ReadTableForm(traits, reply);
  if (!form) return;
  const std::size_t width = form->nameWidth;
  // The rows of each name, in list order, and how many lines of that name the table has had
  // so far: the first line of a name updates every row of that name; a later line of the same
  // name (two players of one name) updates the next row of that name instead, so each player
  // keeps a row of its own. Looked up by name, so a table of thousands of rows costs no more
  // per row than a table of ten.
  struct Named {
    std::vector<std::size_t> rows;
    std::size_t lines = 0;
  };
  std::unordered_map<std::string, Named> names;
  names.reserve(players.size());
  for (std::size_t i = 0; i < players.size(); ++i) names[players[i].name].rows.push_back(i);
  // For names the table cut: the rows whose longer names begin with the cut one, found in the
  // list's names sorted once. Each cut name's rows are gathered once; the budget bounds the
  // gathering when a hostile table cuts thousands of names that begin thousands of others.
  // Indices into the list as it came (rows added below are never a cut name's longer one).
  std::vector<std::size_t> sorted;
  const std::size_t listed = players.size();
  std::unordered_map<std::string, std::vector<std::size_t>> longer;
  std::size_t budget = 4 * listed + 100000;
  const auto rowsBeginning = [&](const std::string& start) -> const std::vector<std::size_t>& {
    auto [found, added] = longer.try_emplace(start);
    if (!added) return found->second;
    if (sorted.empty()) {
      sorted.resize(listed);
      for (std::size_t i = 0; i < listed; ++i) sorted[i] = i;
      std::sort(sorted.begin(), sorted.end(),
                [&](std::size_t a, std::size_t b) { return players[a].name < players[b].name; });
    }
    auto it = std::lower_bound(sorted.begin(), sorted.end(), start,
                               [&](std::size_t i, const std::string& s) { return players[i].name < s; });
    for (; it != sorted.end() && budget > 0 && StartsWith(players[*it].name, start); ++it, --budget)
      if (players[*it].name.size() > start.size()) found->second.push_back(*it);
    std::sort(found->second.begin(), found->second.end());
    return found->second;
  };

  LineReader lines(reply);
  std::string_view line;
  while (lines.Next(line)) {
    if (lines.Number() < form->firstRow) continue;
    if (line.empty()) break;  // the end of the table
    // A last line without its line feed lost the rest to a datagram that never came.
    if (line.data() + line.size() == reply.data() + reply.size()) break;
    if (common::TrimSpacesView(line).empty()) continue;
    const TableRow row = ReadTableRow(traits, line, form->layout);
    Named& named = names[row.name];
    const std::size_t occurrence = named.lines++;
    bool matched = false;
    if (occurrence == 0 && !named.rows.empty()) {
      for (const std::size_t i : named.rows) Assign(players[i], row, traits.hasRateColumn, false);
      matched = true;
    } else if (occurrence > 0 && occurrence < named.rows.size()) {
      Assign(players[named.rows[occurrence]], row, traits.hasRateColumn, false);
      matched = true;
    }
    // A name that fills the cut column may be the start of a longer one: the row of that
    // longer name (the next one for a later line of the same start) takes it.
    if (!matched && width > 0 && row.printedNameSize >= width && !row.name.empty()) {
      const std::vector<std::size_t>& candidates = rowsBeginning(row.name);
      if (occurrence < candidates.size()) {
        Assign(players[candidates[occurrence]], row, traits.hasRateColumn, true);
        matched = true;
      }
    }
    if (!matched && !row.name.empty()) {
      PlayerRow added;
      Assign(added, row, traits.hasRateColumn, false);
      named.rows.push_back(players.size());
      players.push_back(std::move(added));
    }
  }
}

void ParseServerInfo(const GameTraits& traits, std::string_view reply, std::vector<RuleRow>& rules,
                     const ServerInfoHooks& hooks) {
  rules.clear();
  LineReader lines(reply);
  std::string_view line;
  while (lines.Next(line)) {
    if (lines.Number() <= 2) continue;
    const KeyValue kv = SplitKeyValue(line);
    rules.push_back({std::string(kv.key), std::string(kv.value)});
    const RuleRow added = rules.back();  // a copy: a hook may look at the list
    if (traits.gameTypeRule && added.key == "g_gametype") {
      RunHook(hooks.onGameType, added.value);
    } else if (added.key == "mapname") {
      RunHook(hooks.onMapName, added.value);
    }
  }
}

void ParseUserInfo(const GameTraits& traits, std::string_view reply, std::vector<UserInfoRow>& rows,
                   const std::function<void(const std::string&)>& onPicture) {
  LineReader lines(reply);
  std::string_view line;
  while (lines.Next(line)) {
    if (lines.Number() <= 3) continue;
    const KeyValue kv = SplitKeyValue(line);
    UserInfoRow row{std::string(kv.key), std::string(kv.value)};
    if (platform::SameTextNoCase(kv.key, "NAME")) {
      row.value = StripColorCodes(kv.value);
      row.colouredValue = ColouredName(traits, kv.value, row.value, false);
    }
    rows.push_back(std::move(row));
    if (kv.key == traits.pictureKey) RunHook(onPicture, std::string(kv.value));
  }
}

}  // namespace protocol
