#include "settings/valuemodel.h"

#include <algorithm>

#include "protocol/cvars.h"
#include "settings/values.h"

namespace settings {
namespace {

constexpr std::string_view kNoAnswerNote = "No answer from server: sent only if you change it";

}  // namespace

bool ShowsValue(InputKind kind, std::string_view value) {
  switch (kind) {
    case InputKind::Spin: return SpinShowsValue(value);
    case InputKind::Check: return CheckShowsValue(value);
    case InputKind::Text:
    case InputKind::None: break;
  }
  return true;
}

std::size_t ValueModel::Add(std::string name, InputKind kind, std::string tooltip) {
  Entry entry;
  entry.name = std::move(name);
  entry.kind = kind;
  entry.tooltip = std::move(tooltip);
  byName_[NameKey(entry.name)].push_back(entries_.size());
  entries_.push_back(std::move(entry));
  return entries_.size() - 1;
}

bool ValueModel::Take(std::size_t i, const std::string& value) {
  Entry& entry = entries_[i];
  entry.answered = true;
  if (entry.state == ValueState::Edited) return false;
  const bool shows = ShowsValue(entry.kind, value);
  entry.state = shows ? ValueState::Known : ValueState::Unknown;
  entry.unusable = shows ? std::string() : value;
  return true;
}

std::vector<std::size_t> ValueModel::Answer(std::string_view name, const std::string& value) {
  std::vector<std::size_t> shown;
  const auto named = byName_.find(NameKey(name));
  if (named == byName_.end()) return shown;
  for (const std::size_t i : named->second)
    if (Take(i, value)) shown.push_back(i);
  return shown;
}

std::vector<std::size_t> ValueModel::Answer(const ListedValues& listed) {
  std::vector<std::size_t> shown;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string* value = listed.Find(entries_[i].name);
    if (value && Take(i, *value)) shown.push_back(i);
  }
  return shown;
}

void ValueModel::Edit(std::size_t index) {
  Entry& entry = entries_.at(index);
  entry.state = ValueState::Edited;
  entry.unusable.clear();
}

int ValueModel::KnownCount() const {
  return static_cast<int>(
      std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.state != ValueState::Unknown; }));
}

int ValueModel::AnsweredCount() const {
  return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.answered; }));
}

std::string ValueModel::Tooltip(std::size_t index) const {
  const Entry& entry = entries_.at(index);
  if (entry.state != ValueState::Unknown) return entry.tooltip;
  const std::string note = entry.unusable.empty() && !entry.answered
                               ? std::string(kNoAnswerNote)
                               : "Server value \"" + entry.unusable + "\" cannot be shown here: sent only if you change it";
  return entry.tooltip + (entry.tooltip.empty() ? "" : "\r") + note;
}

std::string ValueModel::ValuesText(bool waitOver, bool refused) const {
  const int total = static_cast<int>(Count());
  const int answered = AnsweredCount();
  const int known = KnownCount();
  const std::string all = std::to_string(total);
  if (total == 0) return {};
  if (answered == total && known == total) return "All " + all + " values read from the server.";
  if (refused) return "The server refused the password: no values read; greyed ones are sent only if changed";
  if (!waitOver && answered < total) return "Reading values from the server: " + std::to_string(answered) + " of " + all;
  return std::to_string(known) + " of " + all + " values read; greyed ones are sent only if changed";
}

std::vector<std::string> ValueModel::UpdateCommands(const std::vector<std::string>& currentValues) const {
  std::vector<std::string> commands;
  for (std::size_t i = 0; i < entries_.size() && i < currentValues.size(); ++i) {
    const Entry& entry = entries_[i];
    const std::string& value = currentValues[i];
    if (entry.state == ValueState::Unknown) continue;
    switch (entry.kind) {
      case InputKind::Text:
        if (entry.state == ValueState::Edited || protocol::ServerKeepsText(*game_, value))
          commands.push_back(protocol::TextCommand(*game_, entry.name, value));
        break;
      case InputKind::Spin:
        commands.push_back(protocol::SpinCommand(entry.name, SpinValue(value).value_or(0)));
        break;
      case InputKind::Check:
        commands.push_back(protocol::CheckCommand(entry.name, CheckValue(value)));
        break;
      case InputKind::None: break;
    }
  }
  return commands;
}

}  // namespace settings
