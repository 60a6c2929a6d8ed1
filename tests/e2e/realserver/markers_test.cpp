// A real server whose players and owner chose names like the markers of the replies: bots
// named "Bad rconpassword.", "statusResponse", "map: q3dm17" and the like, and the host name
// "Best map: q3dm17". A monitor window connects, polls every second, and shows every row
// and every rule as the server has them, with no warning and no request beyond its chain.
#include <QSlider>

#include "common/text.h"
#include "program_fixture.h"

namespace e2e {
namespace {

// Bots of the stock models, each under a name that reads like a marker.
const std::vector<std::pair<std::string, std::string>> kMarkerBots = {
    {"sarge", "Bad rconpassword."},      {"grism", "Bad rconpassword"},
    {"kyonshi", "No rconpassword set"},  {"major", "statusResponse"},
    {"merman", "map: q3dm17"},           {"liz", "map:"},
    {"beret", "Server info settings:"},  {"skelebot", "userinfo"},
    {"gargoyle", "sv_cheats is read only."}, {"sorceress", "print"},
};
const std::string kHostname = "Best map: q3dm17";

class Markers : public ProgramTest {
 protected:
  static void SetUpTestSuite() {
    server = StartServer({}, false);
    if (!server) return;
    server->Rcon("sv_hostname \"" + kHostname + "\"", 500ms);
    if (!server->AddBots({}, kMarkerBots, kMarkerBots.size())) {
      ADD_FAILURE() << "the bots did not join:\n" << server->Log();
      server.reset();
    }
  }
  static void TearDownTestSuite() { server.reset(); }
  void SetUp() override {
    ProgramTest::SetUp();
    if (!server) GTEST_SKIP() << "no server";
    server_ = server.get();
  }

  static inline std::unique_ptr<OpenArenaServer> server;
};

TEST_F(Markers, BotsAndAHostNameLikeMarkersLeaveThePollingWhole) {
  TF_Q3Server* window = QuickConnect(*server, "secret");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForCompleteRefresh(window, kMarkerBots.size(), 20000));
  window->TB_Refresh->setValue(1);

  // Ten seconds of polling: every refresh completes, with every row whole.
  int refreshes = 0;
  bool waiting = true;
  int incomplete = 0;
  const auto until = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < until) {
    QTest::qWait(50);
    const bool nowWaiting = window->Session().ChainWaiting();
    if (waiting && !nowWaiting) {
      ++refreshes;
      if (!AllRowsComplete(window->LV_Players) || window->LV_Players->topLevelItemCount() != int(kMarkerBots.size()))
        ++incomplete;
    }
    waiting = nowWaiting;
  }
  EXPECT_GE(refreshes, 4);
  EXPECT_EQ(incomplete, 0);
  EXPECT_EQ(window->State(), msPolling);
  EXPECT_TRUE(dialogs_.messages.empty());

  // The rows and rules as the server itself reports them, through the side channel.
  const std::vector<ServerPlayer> players = server->Players();
  ASSERT_EQ(players.size(), kMarkerBots.size());
  for (const ServerPlayer& player : players) {
    SCOPED_TRACE(player.name);
    const std::vector<std::string> texts = RowOf(window->LV_Players, player);
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[1], TrimSpaces(StripColorCodes(player.name)));
    EXPECT_EQ(texts[3], "0");
    EXPECT_EQ(texts[4], "bot");
    EXPECT_EQ(texts[5], "16384");
  }
  const auto rules = server->ServerInfo();
  ASSERT_EQ(window->LV_Settings->topLevelItemCount(), static_cast<int>(rules.size()));
  EXPECT_EQ(RuleValue(window->LV_Settings, "sv_hostname").toStdString(), kHostname);
  for (int r = 0; r < static_cast<int>(rules.size()); ++r) {
    EXPECT_EQ(window->LV_Settings->topLevelItem(r)->text(0).toStdString(), rules[static_cast<size_t>(r)].first);
  }
  // ProgramTest::TearDown reads the server's log for dropped requests.
}

}  // namespace
}  // namespace e2e
