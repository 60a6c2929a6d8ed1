// Monitor windows against the scripted server playing a hostile one: players and rules named
// like the markers of the replies, rows too long and too many, a reply of 64 KB, forged
// replies from other ports and addresses, the datagrams of a reply out of order, binary noise.
// The window keeps polling, shows every name as it is, and sends nothing but its chain.
#include <set>

#include "common/text.h"
#include "monitor_fixture.h"
#include "support/gameserver/hostile.h"

namespace {

using namespace test;
using namespace std::chrono_literals;

// The chain a polling window repeats, after the " status" and " serverinfo" of connecting.
std::vector<std::string> Chain(Game game) {
  return {kFF + (game == Game::Quake3 ? "  getstatus" : "  status"), RconBytes("secret", " status"),
          RconBytes("secret", " serverinfo")};
}

// The names the window should show: as the server holds them, cleaned of colour codes.
std::set<std::string> ShownNames(const GameServer& server) {
  std::set<std::string> names;
  for (const Player& p : server.Players()) names.insert(TrimSpaces(StripColorCodes(p.name)));
  return names;
}

// Each case with the mixed players and `bots` stock bots more (enough for the tables and
// listings to take two datagrams, which reorder turns round).
struct Hostile {
  const char* modes;
  Game game;
  int bots;
  bool wholeList;  // every row complete
};

class HostileWire : public MonitorWire {
 protected:
  // Opens the game's window on the server, polling every second, and waits for `chains`
  // refreshes after the first.
  TF_ServerMonitor* OpenPolling(const GameServer& server, Game game, int chains) {
    TF_ServerMonitor* window = game == Game::Quake3 ? static_cast<TF_ServerMonitor*>(Open<TF_Q3Server>(server, "secret"))
                                                    : Open<TF_Q2Server>(server, "secret");
    // Generous waits: the sanitizers and a busy machine slow everything down.
    EXPECT_TRUE(WaitFor([window] { return window->State() == msPolling && window->LV_Settings->topLevelItemCount() > 0; },
                        10000));
    window->TB_Refresh->setValue(1);
    const std::size_t wanted = 2 + 3 * static_cast<std::size_t>(chains);
    EXPECT_TRUE(WaitFor([&] { return server.ReceivedCount() >= wanted && !window->Session().ChainWaiting(); },
                        5000 + 3000 * chains))
        << server.ReceivedCount() << " datagrams of " << wanted;
    return window;
  }

  // Opens a window on each hostile server in turn: it polls, shows only the server's own
  // players (every one of them whole where the case says so), and sends only its chain.
  void ExpectPollingThrough(const std::vector<Hostile>& cases);

  // The server received the connecting " status" and " serverinfo", then whole chains only.
  static void ExpectOnlyChains(const GameServer& server, Game game) {
    const std::vector<std::string> bytes = Bytes(server);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], RconBytes("secret", " status"));
    EXPECT_EQ(bytes[1], RconBytes("secret", " serverinfo"));
    const std::vector<std::string> chain = Chain(game);
    for (std::size_t i = 2; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], chain[(i - 2) % 3]) << "datagram " << i;
  }
};

TEST_F(HostileWire, NamesLikeMarkersLeaveEveryRefreshWholeInBothGames) {
  for (const Game game : {Game::Quake3, Game::Quake2}) {
    SCOPED_TRACE(game == Game::Quake3 ? "Quake 3" : "Quake 2");
    GameServerConfig config;
    config.game = game;
    config.password = "secret";
    config.players = MixedPlayers();
    config.lifetime = 60s;
    ApplyHostileModes(config, "names");
    GameServer server(config);
    server.Start();
    TF_ServerMonitor* window = OpenPolling(server, game, 3);

    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.Texts().front();
    EXPECT_EQ(window->State(), msPolling);
    ExpectOnlyChains(server, game);
    // Every player, marker names included, has a whole row under the name it has.
    const std::set<std::string> names = ShownNames(server);
    std::set<std::string> shown;
    for (int r = 0; r < window->LV_Players->topLevelItemCount(); ++r) shown.insert(RowTexts(window->LV_Players, r)[1]);
    EXPECT_EQ(shown, names);
    EXPECT_EQ(window->LV_Players->topLevelItemCount(), static_cast<int>(server.Players().size()));
    EXPECT_TRUE(AllRowsComplete(window->LV_Players));
    for (const std::string& marker : MarkerNames()) EXPECT_GE(FindRow(window->LV_Players, QString::fromStdString(marker)), 0) << marker;
    // The rules: the host name and every marker-like value, as the server holds them.
    for (const CvarDef& cvar : MarkerCvars(game)) {
      const int row = RowWith(window->LV_Settings, 0, QString::fromStdString(cvar.name));
      ASSERT_GE(row, 0) << cvar.name;
      EXPECT_EQ(RowTexts(window->LV_Settings, row)[1], cvar.value);
    }
    EXPECT_EQ(window->CB_Map->currentText().toStdString(), server.Map());
    window->close();
  }
}

void HostileWire::ExpectPollingThrough(const std::vector<Hostile>& cases) {
  for (const Hostile& c : cases) {
    SCOPED_TRACE(std::string(c.modes) + (c.game == Game::Quake3 ? " / Quake 3" : " / Quake 2"));
    GameServerConfig config;
    config.game = c.game;
    config.password = "secret";
    config.players = MixedPlayers();
    for (Player bot : BotPlayers(c.bots)) {
      bot.name += "_b";
      bot.slot = -1;
      config.players.push_back(bot);
    }
    config.lifetime = 60s;
    ApplyHostileModes(config, c.modes);
    GameServer server(config);
    server.Start();
    TF_ServerMonitor* window = OpenPolling(server, c.game, 2);

    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(window->State(), msPolling);
    ExpectOnlyChains(server, c.game);
    // Only names of the server's players, and with the whole reply every one of them.
    const std::set<std::string> names = ShownNames(server);
    int complete = 0;
    for (int r = 0; r < window->LV_Players->topLevelItemCount(); ++r) {
      const std::vector<std::string> row = RowTexts(window->LV_Players, r);
      EXPECT_EQ(names.count(row[1]), 1u) << row[1];
      if (!row[0].empty()) ++complete;
    }
    if (c.wholeList) {
      EXPECT_EQ(window->LV_Players->topLevelItemCount(), static_cast<int>(names.size()));
      EXPECT_TRUE(AllRowsComplete(window->LV_Players));
    } else {
      EXPECT_GT(complete, 700);  // as many as the first 64 KB of the table hold
    }
    EXPECT_GT(window->LV_Settings->topLevelItemCount(), 10);
    EXPECT_EQ(RowWith(window->LV_Settings, 0, "Stray"), -1);
    if (std::string(c.modes) == "noise" || std::string(c.modes) == "stray") {
      EXPECT_GT(server.HostileDatagrams(), 0);
    }
    window->close();
  }
}

TEST_F(HostileWire, Quake3RepliesHugeNoisyStrayOrReorderedDoNotStopThePolling) {
  ExpectPollingThrough({{"long", Game::Quake3, 0, true},
                        {"noise", Game::Quake3, 14, true},
                        {"stray", Game::Quake3, 0, true},
                        {"reorder", Game::Quake3, 14, true},
                        {"many,huge", Game::Quake3, 0, false}});
}

TEST_F(HostileWire, Quake2RepliesHugeNoisyStrayOrReorderedDoNotStopThePolling) {
  ExpectPollingThrough({{"long", Game::Quake2, 0, true},
                        {"noise", Game::Quake2, 14, true},
                        {"stray", Game::Quake2, 0, true},
                        {"reorder", Game::Quake2, 14, true},
                        {"many", Game::Quake2, 0, false}});
}

}  // namespace
