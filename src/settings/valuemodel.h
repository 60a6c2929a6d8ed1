#pragma once
// What the settings dialog knows of each of its inputs, without the widgets: whether the input
// shows the server's value, whether the server answered for it at all, and which commands an
// update sends.
//
// An input whose value has not arrived, or arrived in a form the input cannot show, is
// "unknown": the dialog greys it and notes why in its tooltip, and it is sent back only once the
// administrator has edited it, so a lost reply never writes a blank, a 0 or an unchecked box
// over the server's value. A value that arrives after the administrator's edit leaves the edit.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "protocol/game.h"
#include "settings/fields.h"
#include "settings/listing.h"

namespace settings {

enum class ValueState { Unknown, Known, Edited };

class ValueModel {
 public:
  explicit ValueModel(const protocol::GameTraits& game) : game_(&game) {}

  // Adds an input (kind Text, Spin or Check) and returns its index.
  std::size_t Add(std::string name, InputKind kind, std::string tooltip);

  // The server's value of a variable arrived. Returns the inputs of that name (case ignored)
  // that are to show it: every one not edited meanwhile. Each of them is Known when its kind
  // shows the value as it is, else Unknown with the value kept for its tooltip.
  std::vector<std::size_t> Answer(std::string_view name, const std::string& value);
  // A whole listing of the server's values arrived: each input whose variable it holds is
  // answered as by Answer. Returns the inputs that are to show their value.
  std::vector<std::size_t> Answer(const ListedValues& listed);
  // The administrator changed the input.
  void Edit(std::size_t index);

  std::size_t Count() const { return entries_.size(); }
  ValueState State(std::size_t index) const { return entries_.at(index).state; }
  const std::string& Name(std::size_t index) const { return entries_.at(index).name; }
  int KnownCount() const;
  int AnsweredCount() const;

  // The input's tooltip: the description file's text, and for an unknown input why it is greyed.
  std::string Tooltip(std::size_t index) const;
  // The line under the grid: how many values have been read. `waitOver`: the dialog has stopped
  // waiting for more; `refused`: the server refused the password, so none will come.
  std::string ValuesText(bool waitOver, bool refused = false) const;

  // The commands an update sends, in input order, given each input's current value as the
  // server reads it (a text field's text, a spin field's number in decimal, "1" or "0"): every
  // edited input, and every known one unless sending its value back unchanged would alter it
  // on the server.
  std::vector<std::string> UpdateCommands(const std::vector<std::string>& currentValues) const;

 private:
  struct Entry {
    std::string name;
    InputKind kind = InputKind::None;
    std::string tooltip;
    ValueState state = ValueState::Unknown;
    bool answered = false;
    std::string unusable;  // a value that arrived but cannot be shown
  };

  // Entry i got the server's value (unless edited meanwhile); whether it is to show it.
  bool Take(std::size_t i, const std::string& value);

  const protocol::GameTraits* game_;
  std::vector<Entry> entries_;
  // The inputs of each name (NameKey), so that a reply finds its inputs without a walk over all.
  std::unordered_map<std::string, std::vector<std::size_t>> byName_;
};

// Whether an input of this kind shows the value as it is, so that sending it back unchanged
// leaves the server as it was.
bool ShowsValue(InputKind kind, std::string_view value);

}  // namespace settings
