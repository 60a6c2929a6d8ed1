// Monitor windows against the status table of every engine the scripted server speaks, with
// 40 players of every kind (long, coloured and spaced names, every state): after two refreshes
// at a one-second interval every player has the row the table gives. Yamagi's server with a
// long name never answers the remote status: its window still polls, its list from the status
// query (names only), its rules from the server info.
#include "monitor_fixture.h"
#include "support/engine_rows.h"

namespace {

using namespace test;
using namespace std::chrono_literals;

constexpr int kPlayers = 40;

struct Engine {
  const char* name;
  Game game;
  StatusLayout layout;
  std::size_t maxName;  // names cut to this (0: whole)
  bool statusAnswered;
};

const Engine kEngines[] = {
    {"ioquake3", Game::Quake3, StatusLayout::Ioquake3, 0, true},
    {"original Quake 3", Game::Quake3, StatusLayout::Original, 0, true},
    {"Quake3e", Game::Quake3, StatusLayout::Quake3e, 0, true},
    {"id's Quake 2", Game::Quake2, StatusLayout::Ioquake3, 0, true},
    {"Yamagi Quake 2", Game::Quake2, StatusLayout::Yamagi, 16, true},
    {"Yamagi Quake 2 with long names", Game::Quake2, StatusLayout::Yamagi, 0, false},
    {"Q2PRO", Game::Quake2, StatusLayout::Q2pro, 0, true},
};

using EnginesWire = MonitorWire;

TEST_F(EnginesWire, FortyPlayersInEveryEnginesTable) {
  for (const Engine& e : kEngines) {
    SCOPED_TRACE(e.name);
    GameServerConfig config;
    config.game = e.game;
    config.layout = e.layout;
    config.password = "secret";
    config.players = PlayersOfEveryKind(kPlayers, e.maxName);
    config.lifetime = 60s;
    GameServer server(config);
    server.Start();
    TF_ServerMonitor* window = e.game == Game::Quake3 ? static_cast<TF_ServerMonitor*>(Open<TF_Q3Server>(server, "secret"))
                                                      : Open<TF_Q2Server>(server, "secret");
    window->TB_Refresh->setValue(1);
    ASSERT_TRUE(WaitFor([window] { return window->State() == msPolling && window->LV_Settings->topLevelItemCount() > 0; },
                        10000));
    const std::size_t polled = server.ReceivedCount();
    ASSERT_TRUE(WaitFor([&] { return server.ReceivedCount() >= polled + 6 && !window->Session().ChainWaiting(); }, 15000));
    EXPECT_TRUE(dialogs_.messages.empty());

    const bool withRate = e.game == Game::Quake3;
    std::vector<protocol::PlayerRow> expected;
    for (const Player& p : server.Players()) {
      if (e.statusAnswered) {
        expected.push_back(ExpectedRow(p, e.layout, withRate));
      } else if (p.state != PlayerState::Zombie) {  // the query leaves zombies out
        protocol::PlayerRow row;
        row.name = TrimSpaces(StripColorCodes(p.name));
        expected.push_back(row);
      }
    }
    ASSERT_EQ(window->LV_Players->topLevelItemCount(), static_cast<int>(expected.size()));
    for (const protocol::PlayerRow& want : expected) {
      SCOPED_TRACE(want.name);
      const int row = FindRow(window->LV_Players, QString::fromStdString(want.name));
      ASSERT_GE(row, 0);
      std::vector<std::string> cells{want.num, want.name, want.frags, want.ping, want.address};
      if (withRate) cells.push_back(want.rate);
      EXPECT_EQ(RowTexts(window->LV_Players, row), cells);
    }
    EXPECT_GT(window->LV_Settings->topLevelItemCount(), 10);
    EXPECT_EQ(window->CB_Map->currentText().toStdString(), server.Map());
    if (!e.statusAnswered) {
      // Only the connecting " status" and the retry of every fifth chain ask for it.
      int statuses = 0;
      for (const std::string& bytes : Bytes(server)) statuses += bytes == RconBytes("secret", " status") ? 1 : 0;
      EXPECT_EQ(statuses, 1);
    }
    window->close();
  }
}

}  // namespace
