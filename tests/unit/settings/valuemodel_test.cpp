// What the settings dialog knows of its values, and what its update sends, without widgets.
#include <gtest/gtest.h>

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
