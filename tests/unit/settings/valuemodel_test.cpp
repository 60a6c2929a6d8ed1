// What the settings dialog knows of its values, and what its update sends, without widgets.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/valuemodel.h"

namespace {

using settings::InputKind;
using settings::ValueState;

TEST(ValueModel, StatesAnswersAndWhatAnUpdateSends) {
  settings::ValueModel model(protocol::kQuake3);
  model.Add("sv_hostname", InputKind::Text, "Default value : noname");
  model.Add("timelimit", InputKind::Spin, "");
  model.Add("g_doWarmup", InputKind::Check, "");
  model.Add("g_motd", InputKind::Text, "");
  EXPECT_EQ(model.ValuesText(false), "Reading values from the server: 0 of 4");
  EXPECT_EQ(model.Tooltip(0), "Default value : noname\rNo answer from server: sent only if you change it");
  EXPECT_EQ(model.UpdateCommands({"x", "0", "0", "y"}), std::vector<std::string>{});  // nothing known yet

  // Names match without regard to case; a value an input cannot show leaves it unknown.
  EXPECT_EQ(model.Answer("SV_HOSTNAME", "two  blanks"), std::vector<std::size_t>{0});
  EXPECT_EQ(model.Answer("timelimit", "0x10"), std::vector<std::size_t>{1});
  EXPECT_EQ(model.State(1), ValueState::Unknown);
  EXPECT_EQ(model.Tooltip(1), "Server value \"0x10\" cannot be shown here: sent only if you change it");
  EXPECT_EQ(model.Answer("g_doWarmup", "1"), std::vector<std::size_t>{2});
  EXPECT_EQ(model.Answer("nothing_asked", "1"), std::vector<std::size_t>{});
  EXPECT_EQ(model.KnownCount(), 2);
  EXPECT_EQ(model.AnsweredCount(), 3);
  EXPECT_EQ(model.ValuesText(true), "2 of 4 values read; greyed ones are sent only if changed");

  // An edit wins over a later answer and is sent whatever it holds; a known text goes back only
  // when the server would keep it as it is.
  model.Edit(3);
  EXPECT_EQ(model.Answer("g_motd", "from the server"), std::vector<std::size_t>{});
  EXPECT_EQ(model.State(3), ValueState::Edited);
  EXPECT_EQ(model.UpdateCommands({"two  blanks", "16", "1", "hello; world"}),
            (std::vector<std::string>{"g_doWarmup 1", "set g_motd hello; world"}));
  model.Edit(1);
  EXPECT_EQ(model.UpdateCommands({"My Server", "-5", "0", ""}),
            (std::vector<std::string>{"set sv_hostname My Server", "timelimit -5", "g_doWarmup 0", "set g_motd \"\""}));
  EXPECT_EQ(model.ValuesText(true), "All 4 values read from the server.");
}

TEST(ValueModel, ListedValuesAreFoundAsTheGamesServerFindsANameAndAnsweredAsOne) {
  const std::vector<protocol::CvarReply> listed = {
      {"sv_hostname", "^1Red"}, {"timelimit", "20"}, {"TIMELIMIT", "5"}, {"g_speed", "320.5"}, {"g_motd", ""}};
  const struct {
    const protocol::GameTraits* game;
    const char* name;
    const char* found;  // nullptr: not listed
  } cases[] = {
      {&protocol::kQuake3, "SV_HOSTNAME", "^1Red"}, {&protocol::kQuake3, "TimeLimit", "20"},  // the first listed wins
      {&protocol::kQuake3, "g_motd", ""},           {&protocol::kQuake3, "sv_nosuch", nullptr},
      {&protocol::kQuake2, "timelimit", "20"},      {&protocol::kQuake2, "TIMELIMIT", "5"},
      {&protocol::kQuake2, "TimeLimit", nullptr},   {&protocol::kQuake2, "sv_hostnam", nullptr},
  };
  for (const auto& c : cases) {
    const settings::ListedValues values(listed, *c.game);
    const std::string* found = values.Find(c.name);
    EXPECT_EQ(found ? std::optional<std::string>(*found) : std::nullopt,
              c.found ? std::optional<std::string>(c.found) : std::nullopt)
        << c.game->name << " " << c.name;
  }

  settings::ValueModel model(protocol::kQuake3);
  model.Add("sv_hostname", InputKind::Text, "");
  model.Add("g_speed", InputKind::Spin, "");
  model.Add("g_motd", InputKind::Text, "");
  model.Add("sv_nosuch", InputKind::Check, "");
  model.Edit(2);
  // The edited input keeps its edit; a value an input cannot show leaves it unknown.
  EXPECT_EQ(model.Answer(settings::ListedValues(listed, protocol::kQuake3)), (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(model.State(0), ValueState::Known);
  EXPECT_EQ(model.State(1), ValueState::Unknown);
  EXPECT_EQ(model.State(2), ValueState::Edited);
  EXPECT_EQ(model.State(3), ValueState::Unknown);
  EXPECT_EQ(model.AnsweredCount(), 3);
  EXPECT_EQ(model.ValuesText(false), "Reading values from the server: 3 of 4");
  EXPECT_EQ(model.ValuesText(true, true),
            "The server refused the password: no values read; greyed ones are sent only if changed");
}

TEST(ValueModel, WhatEachKindShowsAsItIs) {
  const struct {
    InputKind kind;
    const char* value;
    bool shows;
  } cases[] = {{InputKind::Text, "", true},        {InputKind::Text, "any ^1thing", true}, {InputKind::Spin, "20", true},
               {InputKind::Spin, "1.5", false},    {InputKind::Spin, "", false},           {InputKind::Check, "1", true},
               {InputKind::Check, "2", false},     {InputKind::Check, "yes", false}};
  for (const auto& c : cases) EXPECT_EQ(settings::ShowsValue(c.kind, c.value), c.shows) << c.value;
}

}  // namespace
