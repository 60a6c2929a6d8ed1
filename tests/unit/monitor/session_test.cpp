#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_monitor.h"
#include "monitor/session.h"
#include "replies.h"
#include "support/test_env.h"

namespace {

using namespace std::string_literals;
using monitor::Lamp;
using monitor::MonitorSession;
using test::kPrint;

const std::string kFF = "\xFF\xFF\xFF\xFF"s;
const std::string kQ3Query = kFF + "  getstatus";
const std::string kQ2Query = kFF + "  status";
std::string Rcon(const std::string& command, const std::string& password = "pw") {
  return kFF + "rcon " + password + " " + command;
}

class Session : public ::testing::Test {
 protected:
  explicit Session(const monitor::MonitorTraits& traits = monitor::kQuake3Monitor) : session(traits, fake, fake) {
    session.Create();
  }
  // Connects and answers the first status table, so that the session polls.
  void StartPolling(const std::vector<test::TableRow>& rows = {{0, "Sarge"}}) {
    session.Connect();
    session.DataArrived(test::Q3Table(rows));
    ASSERT_EQ(session.FState, msPolling);
  }
  void Advance(int ms) { fake.now += std::chrono::milliseconds(ms); }

  test::ScopedProgramDir dir;
  test::FakeMonitor fake;
  MonitorSession session;
};

class Quake2Session : public Session {
 protected:
  Quake2Session() : Session(monitor::kQuake2Monitor) {}
};

TEST_F(Session, IdleTimerSendsNothingUntilConnectAppliesTheInterval) {
  EXPECT_EQ(session.FState, msIdle);
  EXPECT_EQ(fake.timerInterval, 50);
  EXPECT_TRUE(fake.timerRunning);
  EXPECT_EQ(fake.mapItems.size(), 25u);
  EXPECT_EQ(fake.mapItems.front(), "q3dm1");
  EXPECT_EQ(fake.mapItems.back(), "q3tourney6");
  for (int i = 0; i < 5; ++i) session.RefreshTimerTimer();
  EXPECT_TRUE(fake.sent.empty());
  EXPECT_TRUE(fake.lamps.empty() || fake.lamps.back() == Lamp::Gray);

  // Refresh works in every state, the idle one included, and restarts the timer.
  session.Refresh();
  EXPECT_EQ(fake.sent, std::vector<std::string>{kQ3Query});
  EXPECT_EQ(fake.lamps.back(), Lamp::Yellow);
  EXPECT_EQ(fake.timerInterval, 50);
  EXPECT_TRUE(fake.timerRunning);

  fake.password = "";
  session.Connect();
  EXPECT_EQ(session.FState, msConnecting);
  EXPECT_EQ(fake.opened, 1);
  EXPECT_EQ(fake.Last(), kFF + "rcon   status");  // an empty password: three spaces
  EXPECT_EQ(fake.timerInterval, 10000);
  EXPECT_EQ(fake.hint, "10 seconds");

  session.TB_RefreshChange(1);
  EXPECT_EQ(fake.timerInterval, 1000);
  EXPECT_EQ(fake.hint, "1 seconds");
}

TEST_F(Session, ConnectingAsksForStatusAndServerInfoInTurnButNeverQueuesTwice) {
  session.Connect();
  session.RefreshTimerTimer();
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent, (std::vector<std::string>{Rcon(" status"), Rcon(" serverinfo"), Rcon(" status")}));
  // A password typed into the box is used from the next command on.
  fake.password = "new";
  // While a request still waits in the pacer's queue, the tick adds none.
  fake.holdSends = true;
  session.RefreshTimerTimer();
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent.size(), 4u);
  EXPECT_EQ(fake.Last(), Rcon(" serverinfo", "new"));
  fake.Release();
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent.size(), 5u);

  // Replies that are not a status table leave the window connecting; a status response
  // does not move it to polling.
  session.DataArrived(test::Q3StatusResponse({"Sarge"}));
  session.DataArrived(kPrint + "Unknown command\n");
  EXPECT_EQ(session.FState, msConnecting);
  EXPECT_TRUE(fake.players.empty());
}

TEST_F(Session, OneRefreshIsAChainOfThreeRequests) {
  session.Connect();
  fake.sent.clear();
  fake.lamps.clear();
  session.DataArrived(test::Q3Table({{0, "Sarge", 3, 0}, {1, "Grism", 5, 50, "203.0.113.7:27960", 25000}}));
  EXPECT_EQ(session.FState, msPolling);
  EXPECT_EQ(fake.sent, std::vector<std::string>{Rcon(" serverinfo")});
  EXPECT_EQ(fake.lamps, (std::vector<Lamp>{Lamp::Red, Lamp::Red, Lamp::Yellow}));
  ASSERT_EQ(fake.players.size(), 2u);
  EXPECT_EQ(fake.players[1], (monitor::PlayerRow{"1", "Grism", "5", "50", "203.0.113.7:27960", "25000"}));

  session.DataArrived(test::ServerInfo({{"sv_hostname", "Test"}, {"sv_maxclients", "16"}}));
  EXPECT_EQ(fake.rules.size(), 2u);
  EXPECT_EQ(fake.rules[1], (monitor::RuleRow{"sv_maxclients", "16"}));
  EXPECT_FALSE(session.ChainWaiting());

  fake.sent.clear();
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent, std::vector<std::string>{kQ3Query});
  session.DataArrived(test::Q3StatusResponse({"Sarge", "Grism", "Newbie"}));
  EXPECT_EQ(fake.players.size(), 3u);
  EXPECT_EQ(fake.players[0].num, "");  // names come before numbers
  EXPECT_EQ(fake.Last(), Rcon(" status"));
  session.DataArrived(test::Q3Table({{0, "Sarge"}, {1, "Grism"}, {2, "Newbie"}}));
  EXPECT_EQ(fake.Last(), Rcon(" serverinfo"));
  EXPECT_TRUE(session.ChainWaiting());
  session.DataArrived(test::ServerInfo({{"sv_hostname", "Test"}}));
  EXPECT_FALSE(session.ChainWaiting());
  EXPECT_EQ(fake.sent.size(), 3u);

  // A "read only" notice goes to the status bar without its first ten characters.
  session.DataArrived(kPrint + "sv_cheats is read only.\n");
  EXPECT_EQ(fake.statusTexts.back(), "sv_cheats is read only.\n");
  session.DataArrived(kPrint + "g_needpass is write protected.\n");
  EXPECT_EQ(fake.statusTexts.back(), "g_needpass is write protected.\n");
}

TEST_F(Session, AHeldLampStaysGreenThroughSendsAndReplies) {
  StartPolling();
  session.HoldLampGreen(true);
  EXPECT_EQ(fake.lamps.back(), Lamp::Green);
  session.SendRcon("timelimit 20");
  session.RefreshTimerTimer();
  session.DataArrived(kPrint + "\n");
  EXPECT_EQ(fake.lamps.back(), Lamp::Green);
  EXPECT_EQ(session.LampColour(), Lamp::Green);
  session.HoldLampGreen(false);
  EXPECT_EQ(fake.lamps.back(), Lamp::Green);  // until the next arrival
  session.DataArrived(kPrint + "\n");
  EXPECT_EQ(fake.lamps.back(), Lamp::Red);
}

TEST_F(Session, PlayersAreSortedByTheirNumberAsText) {
  std::vector<test::TableRow> rows;
  for (int i = 12; i >= 0; --i) rows.push_back({i, "Bot" + std::to_string(i)});
  StartPolling(rows);
  std::vector<std::string> nums;
  for (const auto& row : fake.players) nums.push_back(row.num);
  EXPECT_EQ(nums, (std::vector<std::string>{"0", "1", "10", "11", "12", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_EQ(session.Players(), fake.players);
}

TEST_F(Quake2Session, PlayersStayInTheOrderTheyCame) {
  session.Connect();
  EXPECT_EQ(fake.mapItems, std::vector<std::string>{});  // no map list in the program folder
  session.DataArrived(test::Q2Table({{2, "Zed"}, {0, "Abe"}, {1, "Moe"}}));
  ASSERT_EQ(fake.players.size(), 3u);
  EXPECT_EQ(fake.players[0].name, "Zed");
  EXPECT_EQ(fake.players[2].name, "Moe");
  EXPECT_EQ(fake.players[0].rate, "");
  fake.sent.clear();
  session.DataArrived(test::ServerInfo({{"g_gametype", "4"}, {"mapname", "q2dm1"}}));
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent, std::vector<std::string>{kQ2Query});
  EXPECT_EQ(fake.gameTypeIndex, -2);  // g_gametype is an ordinary rule here
  EXPECT_EQ(fake.rules[0], (monitor::RuleRow{"g_gametype", "4"}));
}

TEST_F(Session, RefusedPasswordsCloseTheClientForGood) {
  session.Connect();
  session.DataArrived(kPrint + "Bad rconpassword.\nmap: q3dm1\n");
  EXPECT_EQ(session.FState, msRefused);
  EXPECT_EQ(fake.closed, 1);
  EXPECT_EQ(fake.warnings, std::vector<std::string>{"Wrong rcon password, please try again\rClosing connection..."});

  // Nothing moves it on; ticks send nothing; actions still turn the lamp yellow.
  fake.sent.clear();
  session.DataArrived(test::Q3Table({{0, "Sarge"}}));
  session.RefreshTimerTimer();
  EXPECT_EQ(session.FState, msRefused);
  EXPECT_TRUE(fake.sent.empty());
  EXPECT_EQ(fake.lamps.back(), Lamp::Red);
  session.Refresh();
  EXPECT_EQ(fake.lamps.back(), Lamp::Yellow);
  session.MapChosen("q3dm1");
  EXPECT_EQ(fake.Last(), Rcon(" map q3dm1"));
}

TEST_F(Session, ServerWithoutPasswordIsRefusedToo) {
  session.Connect();
  session.DataArrived(kPrint + "No rconpassword set on the server.\n");
  EXPECT_EQ(session.FState, msRefused);
  EXPECT_EQ(fake.closed, 1);
  EXPECT_EQ(fake.warnings,
            std::vector<std::string>{"The server is not configured for remote administration.\rClosing connection..."});
}

TEST_F(Quake2Session, MarkersAndRefusalOfTheQuake2Server) {
  session.Connect();
  session.DataArrived(test::Q2Table({{0, "Abe"}}, "map: q2dm1"));
  EXPECT_EQ(session.FState, msConnecting);
  session.DataArrived(kPrint + "Bad rcon_password.\n");
  EXPECT_EQ(session.FState, msRefused);
  EXPECT_EQ(fake.warnings.size(), 1u);
  EXPECT_EQ(fake.closed, 1);
}

TEST_F(Session, NoNewChainWhileTheLastOneWaitsAndALostOneIsGivenUp) {
  session.TB_RefreshChange(1);
  StartPolling();
  session.DataArrived(test::ServerInfo({}));
  fake.sent.clear();

  // The query waits behind the rate limit: however long, the chain is not lost.
  fake.holdSends = true;
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent, std::vector<std::string>{kQ3Query});
  Advance(20000);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent.size(), 1u);

  // It leaves; its answer comes; the next two steps wait in turn.
  fake.Release();
  fake.holdSends = false;
  Advance(2900);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent.size(), 1u);
  session.DataArrived(test::Q3StatusResponse({"Sarge"}));
  session.RefreshTimerTimer();
  Advance(1000);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent.size(), 2u);
  session.DataArrived(test::Q3Table({{0, "Sarge"}}));
  Advance(1000);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent.size(), 3u);
  EXPECT_EQ(fake.Last(), Rcon(" serverinfo"));

  // The server info never comes: after three intervals the chain counts as lost.
  Advance(3001);
  EXPECT_FALSE(session.ChainWaiting());
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), kQ3Query);
  EXPECT_EQ(session.LostAfter(), std::chrono::milliseconds(3000));
  session.TB_RefreshChange(60);
  EXPECT_EQ(session.LostAfter(), std::chrono::milliseconds(10000));
}

TEST_F(Session, AnUnansweredQueryIsFollowedByTheRemoteStatus) {
  // A Quake 3 server in single-player mode never answers the query, but its remote
  // commands still are: the lists refresh from the status table and the server info.
  StartPolling({{0, "Sarge"}, {1, "Grism"}});
  session.DataArrived(test::ServerInfo({}));
  fake.sent.clear();
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), kQ3Query);
  Advance(30001);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), Rcon(" status"));
  // The table answers the whole chain, so players who left go from the list.
  session.DataArrived(test::Q3Table({{1, "Grism"}}));
  ASSERT_EQ(fake.players.size(), 1u);
  EXPECT_EQ(fake.players[0].name, "Grism");
  EXPECT_EQ(fake.Last(), Rcon(" serverinfo"));
  session.DataArrived(test::ServerInfo({{"g_gametype", "2"}}));

  // Later chains start with " status"; every fifth tries the query again, and an answer
  // to it brings the normal chain back.
  std::vector<std::string> firsts;
  for (int i = 0; i < 5; ++i) {
    session.RefreshTimerTimer();
    firsts.push_back(fake.Last());
    if (fake.Last() == kQ3Query) {
      session.DataArrived(test::Q3StatusResponse({"Grism"}));
      session.DataArrived(test::Q3Table({{1, "Grism"}}));
    } else {
      session.DataArrived(test::Q3Table({{1, "Grism"}}));
    }
    session.DataArrived(test::ServerInfo({}));
  }
  EXPECT_EQ(firsts, (std::vector<std::string>{Rcon(" status"), Rcon(" status"), Rcon(" status"), kQ3Query, kQ3Query}));
}

TEST_F(Quake2Session, AServerWhoseRemoteStatusNeverAnswersIsPolledFromItsQuery) {
  // Yamagi's server with a long name among its players never answers the remote status:
  // the server info proves the password, and the list comes from the status response.
  const std::string q2Query = kQ2Query;
  session.Connect();
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), Rcon(" serverinfo"));
  session.DataArrived(test::ServerInfo({{"hostname", "Yamagi"}, {"mapname", "q2dm3"}}));
  EXPECT_EQ(session.FState, msPolling);
  EXPECT_EQ(fake.rules.size(), 2u);
  EXPECT_EQ(fake.mapText, "q2dm3");

  // Chains go from the query's answer straight to the server info; every fifth tries the
  // remote status again, and its answer brings the whole chain back.
  std::vector<std::string> seconds;
  for (int chain = 0; chain < 11; ++chain) {
    fake.sent.clear();
    session.RefreshTimerTimer();
    ASSERT_EQ(fake.Last(), q2Query);
    session.DataArrived(test::Q2StatusResponse({"Grunt", "ExtraordinarilyLongName"}));
    EXPECT_EQ(fake.players.size(), 2u);
    EXPECT_EQ(fake.players[1].name, "ExtraordinarilyLongName");
    seconds.push_back(fake.Last());
    if (fake.Last() == Rcon(" status")) {
      if (chain == 4) {
        Advance(30001);  // unanswered once more: the next chains skip it again
        continue;
      }
      session.DataArrived(test::Q2Table({{0, "Grunt"}, {1, "Extraordinarily"}}));
    }
    session.DataArrived(test::ServerInfo({{"hostname", "Yamagi"}}));
    EXPECT_FALSE(session.ChainWaiting());
  }
  const std::string info = Rcon(" serverinfo"), status = Rcon(" status");
  EXPECT_EQ(seconds, (std::vector<std::string>{info, info, info, info, status, info, info, info, info, status, status}));
}

TEST_F(Session, StatusLostAfterAnAnsweredQueryIsSkippedUntilItsRetry) {
  StartPolling();
  session.DataArrived(test::ServerInfo({}));
  session.RefreshTimerTimer();
  session.DataArrived(test::Q3StatusResponse({"Sarge"}));
  EXPECT_EQ(fake.Last(), Rcon(" status"));
  Advance(30001);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), kQ3Query);
  session.DataArrived(test::Q3StatusResponse({"Sarge"}));
  EXPECT_EQ(fake.Last(), Rcon(" serverinfo"));

  // A server that answers nothing at all is asked the query again, not " status" for ever.
  Advance(30001);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), kQ3Query);
  Advance(30001);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), Rcon(" status"));
  Advance(30001);
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), kQ3Query);
}

TEST_F(Session, PlayerInfoFillsTheOpenDialogAndAlwaysEndsTheWait) {
  fake.pictures = {"players\\Quake3\\sarge\\blue.jpg"};
  StartPolling({{3, "Sarge"}});
  fake.playerInfo = [this] {
    EXPECT_EQ(session.FState, msAwaitingUserInfo);
    EXPECT_EQ(fake.Last(), Rcon(" dumpuser 3"));
    session.RefreshTimerTimer();  // no refresh while the info is awaited
    EXPECT_EQ(fake.Last(), Rcon(" dumpuser 3"));
    session.DataArrived(test::UserInfo({{"name", "^4Blue^7Man"}, {"model", "sarge/default/blue"}}));
    EXPECT_EQ(session.FState, msPolling);
    return 1;
  };
  session.PlayerInfo(&session.Players()[0]);
  ASSERT_EQ(fake.userInfo.size(), 2u);
  EXPECT_EQ(fake.userInfo[0], (monitor::UserInfoRow{"name", "BlueMan", "^4Blue^7Man"}));
  EXPECT_EQ(fake.playerPictures,
            (std::vector<std::pair<std::string, bool>>{{"players\\Quake3\\sarge\\blue.jpg", false}}));

  // Closed without an answer: the window polls again, and the late answer finds no dialog.
  fake.playerInfo = [] { return 1; };
  session.ShowPlayerInfo("3");
  EXPECT_EQ(session.FState, msPolling);
  fake.playerPictures.clear();
  session.DataArrived(test::UserInfo({{"model", "sarge"}}));
  EXPECT_EQ(fake.userInfoOutsideDialog, 0);
  EXPECT_TRUE(fake.playerPictures.empty());

  // A missing model picture falls back to the question mark, drawn transparent; no model
  // line leaves the picture alone.
  fake.playerInfo = [this] {
    session.DataArrived(test::UserInfo({{"model", "nobody"}}));
    return 1;
  };
  session.ShowPlayerInfo("3");
  EXPECT_EQ(fake.playerPictures, (std::vector<std::pair<std::string, bool>>{{"players\\Quake3\\nobody.jpg", false},
                                                                         {"players\\Question.bmp", true}}));
  fake.playerPictures.clear();
  fake.playerInfo = [this] {
    session.DataArrived(test::UserInfo({{"name", "x"}}));
    return 1;
  };
  session.ShowPlayerInfo("3");
  EXPECT_TRUE(fake.playerPictures.empty());

  session.PlayerInfo(nullptr);  // nothing selected: nothing sent
  EXPECT_EQ(fake.Last(), Rcon(" dumpuser 3"));
}

TEST_F(Session, ARefreshCutShortByThePlayerInfoDialogDoesNotHoldUpTheNext) {
  StartPolling({{3, "Sarge"}});
  session.DataArrived(test::ServerInfo({}));
  session.RefreshTimerTimer();
  ASSERT_EQ(fake.Last(), kQ3Query);
  fake.playerInfo = [this] {
    session.DataArrived(test::Q3StatusResponse({"Sarge"}));  // dropped: the info is awaited
    return 1;
  };
  session.PlayerInfo(&session.Players()[0]);
  EXPECT_FALSE(session.ChainWaiting());
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.Last(), kQ3Query);
}

TEST_F(Session, KickFromTheDialogNamesTheNumberAndPauses) {
  StartPolling({{4, "Loopy", 0, 0, "loopback"}});
  fake.playerInfo = [] { return platform::mrKickPlayer; };
  fake.confirmAnswers = {false, true};
  session.PlayerInfo(&session.Players()[0]);
  EXPECT_EQ(fake.confirms, std::vector<std::string>{"Are you sure you want to kick player 4?"});
  EXPECT_EQ(fake.Last(), Rcon(" dumpuser 4"));

  session.PlayerInfo(&session.Players()[0]);  // the host player is not refused here
  const std::vector<std::string> tail(fake.sent.end() - 2, fake.sent.end());
  EXPECT_EQ(tail, (std::vector<std::string>{Rcon(" kick 4"), Rcon(" status")}));
  EXPECT_EQ(fake.pauses, std::vector<unsigned>{100});
  EXPECT_TRUE(fake.warnings.empty());
}

TEST_F(Session, KickFromTheMenuNamesThePlayerRefusesTheHostAndDoesNotPause) {
  StartPolling({{0, "Host", 0, 0, "loopback"}, {1, "Grism"}});
  const std::size_t before = fake.sent.size();
  session.KickPlayer(&session.Players()[0]);
  EXPECT_EQ(fake.warnings, std::vector<std::string>{"It isn't very nice to kick the host player..."});
  EXPECT_TRUE(fake.confirms.empty());
  session.KickPlayer(&session.Players()[1]);
  EXPECT_EQ(fake.confirms, std::vector<std::string>{"Are you sure you want to kick Grism?"});
  EXPECT_EQ(fake.sent.size(), before);
  fake.confirmAnswers = {true};
  session.KickPlayer(&session.Players()[1]);
  const std::vector<std::string> tail(fake.sent.end() - 2, fake.sent.end());
  EXPECT_EQ(tail, (std::vector<std::string>{Rcon(" kick 1"), Rcon(" status")}));
  EXPECT_TRUE(fake.pauses.empty());
  session.KickPlayer(nullptr);
  EXPECT_EQ(fake.confirms.size(), 2u);
}

TEST_F(Session, NameLookupShowsItsBoxWhenTheAnswerComes) {
  StartPolling({{0, "Sarge"}, {1, "Host", 0, 0, "loopback"}, {2, "Remote", 0, 0, "192.168.1.5:27960"}, {3, "Bare", 0, 0, "10.1.2.3"}});
  for (const auto& row : session.Players()) session.NameLookup(&row);
  // The words need no look-up; the addresses wait for theirs, the port left out.
  EXPECT_EQ(fake.messages, (std::vector<std::string>{"bot => game.example.org", "loopback => game.example.org"}));
  EXPECT_EQ(fake.lookups, (std::vector<std::string>{"192.168.1.5", "10.1.2.3"}));
  EXPECT_EQ(fake.StatusText(), "Looking up 10.1.2.3...");
  // The window goes on polling meanwhile.
  session.DataArrived(test::ServerInfo({{"sv_hostname", "Test"}}));
  const size_t sent = fake.sent.size();
  session.RefreshTimerTimer();
  EXPECT_EQ(fake.sent.size(), sent + 1);

  fake.AnswerLookups("box.lan");
  EXPECT_EQ(fake.messages, (std::vector<std::string>{"bot => game.example.org", "loopback => game.example.org",
                                                     "192.168.1.5:27960 => box.lan", "10.1.2.3 => box.lan"}));
  EXPECT_EQ(fake.StatusText(), "");
  session.NameLookup(nullptr);
  EXPECT_EQ(fake.messages.size(), 4u);

  // A notice that replaced the progress text stays; an answer after the window closed shows nothing.
  session.NameLookup(&session.Players()[2]);
  session.DataArrived(kPrint + "sv_cheats is read only.\n");
  session.Closing();
  fake.AnswerLookups("late.lan");
  EXPECT_EQ(fake.messages.size(), 4u);
  EXPECT_EQ(fake.StatusText(), "sv_cheats is read only.\n");
}

TEST_F(Session, TheStatusBarTellsOfTheHostNameLookUp) {
  struct Case {
    bool resolving;
    std::string failure;
    std::vector<std::string> texts;  // the status bar, one text a change
  };
  const Case cases[] = {
      {false, "", {}},  // an address: nothing to wait for
      {true, "", {"Resolving game.example.org...", ""}},
      {true, "Host not found", {"Resolving game.example.org...", "game.example.org: Host not found"}},
  };
  for (const Case& c : cases) {
    test::FakeMonitor view;
    MonitorSession resolving(monitor::kQuake3Monitor, view, view);
    resolving.Create();
    view.resolving = c.resolving;
    resolving.Connect();
    // The first " status" is handed to the client at once: it waits there for the address.
    EXPECT_EQ(view.sent, std::vector<std::string>{Rcon(" status")});
    EXPECT_EQ(view.lamps.back(), Lamp::Yellow);
    view.resolving = false;
    if (c.resolving) resolving.LookupDone(c.failure);
    EXPECT_EQ(view.statusTexts, c.texts) << c.failure;
    EXPECT_EQ(resolving.FState, msConnecting);
  }

  // A text that replaced the progress meanwhile is not emptied by the end of the look-up.
  fake.resolving = true;
  session.Connect();
  fake.SetStatusText("Updating server...");
  session.LookupDone("");
  EXPECT_EQ(fake.StatusText(), "Updating server...");
}

TEST_F(Session, GameTypeBeforeMapnameLoadsThatGameTypesList) {
  dir.Write("levels/Quake3/q3-ctf-maps.txt", "q3ctf1\tDueling Keeps\r\nq3ctf2\tTroubled\tWaters\r\n");
  dir.Write("levels/Quake3/q3-dm-maps.txt", "q3dm17\tThe Longest Yard\r\n");
  fake.pictures = {"levels\\Quake3\\q3ctf1.jpg", "levels\\Quake3\\Q3CTF2.jpg"};
  StartPolling();
  session.DataArrived(test::ServerInfo({{"g_gametype", "4"}, {"mapname", "q3ctf1"}}));
  EXPECT_EQ(session.FGameType, 4);
  EXPECT_EQ(fake.gameTypeIndex, 4);
  EXPECT_EQ(fake.mapItems, (std::vector<std::string>{"q3ctf1", "q3ctf2"}));
  EXPECT_EQ(fake.description, "Dueling Keeps");
  EXPECT_EQ(fake.mapText, "q3ctf1");
  EXPECT_EQ(fake.levelPictures.back(), (std::pair<std::string, bool>{"levels\\Quake3\\q3ctf1.jpg", false}));
  const int loads = fake.mapItemsCalls;

  // The same game type again: no reload. A name in other letter case finds its
  // description (everything after the first tab); the picture path keeps the case.
  session.DataArrived(test::ServerInfo({{"g_gametype", "4"}, {"mapname", "Q3CTF2"}}));
  EXPECT_EQ(fake.mapItemsCalls, loads);
  EXPECT_EQ(fake.description, "Troubled\tWaters");
  EXPECT_EQ(fake.levelPictures.back(), (std::pair<std::string, bool>{"levels\\Quake3\\Q3CTF2.jpg", false}));

  // Not an integer: no selection, list unchanged, the question mark in the level box.
  session.DataArrived(test::ServerInfo({{"g_gametype", "ctf"}}));
  EXPECT_EQ(fake.gameTypeIndex, -1);
  EXPECT_EQ(session.FGameType, 4);
  EXPECT_EQ(fake.mapItemsCalls, loads);
  EXPECT_EQ(fake.levelPictures.back(), (std::pair<std::string, bool>{"players\\Question.bmp", true}));

  // A missing picture shows the question mark too; a map not in the list has no description.
  session.DataArrived(test::ServerInfo({{"g_gametype", "0"}, {"mapname", "q3dm17"}}));
  EXPECT_EQ(fake.description, "The Longest Yard");
  EXPECT_EQ(fake.levelPictures.back(), (std::pair<std::string, bool>{"players\\Question.bmp", true}));
  session.DataArrived(test::ServerInfo({{"mapname", "q3ctf1"}}));
  EXPECT_EQ(fake.description, "");

  // Out of range empties the list and the map box.
  session.DataArrived(test::ServerInfo({{"g_gametype", "7"}}));
  EXPECT_EQ(session.FGameType, -1);
  EXPECT_EQ(fake.gameTypeIndex, -1);
  EXPECT_TRUE(fake.mapItems.empty());
  EXPECT_TRUE(session.FMapList.Empty());
}

TEST_F(Session, OutOfRangeGameTypeAtCreationKeepsTheStockItems) {
  dir.Write("levels/Quake3/q3-all-maps.txt", "q3dm17\tThe Longest Yard\r\n");
  MonitorSession fresh(monitor::kQuake3Monitor, fake, fake);
  fresh.Create();
  fresh.Connect();
  fresh.DataArrived(test::Q3Table({}));
  const int loads = fake.mapItemsCalls;
  // The mapname line before the game type takes its description from the all-maps list.
  fresh.DataArrived(test::ServerInfo({{"mapname", "q3dm17"}, {"g_gametype", "9"}}));
  EXPECT_EQ(fake.description, "The Longest Yard");
  EXPECT_EQ(fake.mapItemsCalls, loads);
  EXPECT_EQ(fake.mapItems.size(), 25u);
}

TEST_F(Session, MapAndGameTypeCommandsAreSentOnlyForUserChoices) {
  StartPolling();
  fake.sent.clear();
  session.DataArrived(test::ServerInfo({{"g_gametype", "3"}, {"mapname", "q3dm17"}}));
  EXPECT_TRUE(fake.sent.empty());
  session.MapChosen("q3dm17");
  session.GameTypeChosen(3);
  session.GameTypeChosen(-1);
  EXPECT_EQ(fake.sent, (std::vector<std::string>{Rcon(" map q3dm17"), Rcon(" g_gametype 3")}));
}

TEST_F(Session, RuleChangeCommandsOfQuake3) {
  StartPolling();
  session.DataArrived(test::ServerInfo({{"sv_maxclients", "16"}, {"mapname", "q3dm17"}, {"sv_hostname", "Old"}}));
  fake.sent.clear();
  fake.changeAnswers = {{true, "20"}, {true, "q3dm6"}, {false, "ignored"}, {true, "My Server"}};
  for (const auto& rule : std::vector<monitor::RuleRow>(session.Rules())) session.ChangeRule(&rule);
  session.ChangeRule(&session.Rules()[2]);
  EXPECT_EQ(fake.changeShown, (std::vector<std::pair<std::string, std::string>>{
                                  {"SV_MAXCLIENTS", "16"}, {"MAP", "q3dm17"}, {"SV_HOSTNAME", "Old"}, {"SV_HOSTNAME", "Old"}}));
  EXPECT_EQ(fake.sent, (std::vector<std::string>{Rcon("set SV_MAXCLIENTS 20"), Rcon(" status"), Rcon("MAP q3dm6"),
                                                 Rcon(" status"), Rcon(" status"), Rcon("set SV_HOSTNAME My Server"),
                                                 Rcon(" status")}));
  session.ChangeRule(nullptr);
  EXPECT_EQ(fake.sent.size(), 7u);
}

TEST_F(Quake2Session, RuleChangesNameTheRuleAsListed) {
  session.Connect();
  session.DataArrived(test::Q2Table({}));
  session.DataArrived(test::ServerInfo({{"timelimit", "0"}, {"mapname", "q2dm1"}, {"hostname", "Old"}}));
  fake.sent.clear();
  fake.changeAnswers = {{true, "20"}, {true, "q2dm3"}, {true, "Two Words"}};
  for (const auto& rule : std::vector<monitor::RuleRow>(session.Rules())) session.ChangeRule(&rule);
  EXPECT_EQ(fake.changeShown[0].first, "TIMELIMIT");
  EXPECT_EQ(fake.sent, (std::vector<std::string>{Rcon("timelimit 20"), Rcon(" status"), Rcon("MAP q2dm3"),
                                                 Rcon(" status"), Rcon("hostname Two Words"), Rcon(" status")}));

  // A protected cvar's refusal is shown in the status bar.
  session.DataArrived(kPrint + "dmflags is write protected.\n");
  EXPECT_EQ(fake.statusTexts, std::vector<std::string>{"dmflags is write protected.\n"});
}

TEST_F(Quake2Session, MapBoxIsFilledFromTheMapListAtCreation) {
  dir.Write("levels/Quake2/q2-all-maps.txt", "q2dm1\tThe Edge\r\nq2dm2\tTokay's Towers\r\n");
  fake.pictures = {"levels\\Quake2\\q2dm2.jpg"};
  MonitorSession fresh(monitor::kQuake2Monitor, fake, fake);
  fresh.Create();
  EXPECT_EQ(fake.mapItems, (std::vector<std::string>{"q2dm1", "q2dm2"}));
  fresh.Connect();
  fresh.DataArrived(test::Q2Table({}));
  fresh.DataArrived(test::ServerInfo({{"mapname", "q2dm2"}}));
  EXPECT_EQ(fake.description, "Tokay's Towers");
  EXPECT_EQ(fake.levelPictures.back(), (std::pair<std::string, bool>{"levels\\Quake2\\q2dm2.jpg", false}));

  // The skin names the player picture, nothing removed from it.
  fresh.ShowPlayerInfo("0");
  fresh.FState = msAwaitingUserInfo;
  fresh.DataArrived(test::UserInfo({{"skin", "male/grunt"}}));
  EXPECT_EQ(fake.playerPictures.front().first, "players\\Quake2\\male\\grunt.jpg");
}

}  // namespace

namespace {

// The player a selection or a dialog was made for, found again in a refreshed list.
TEST(FindPlayer, FollowsTheClientNumberAndANameOnlyWhileItIsUnique) {
  using monitor::PlayerRow;
  const auto rows = [](std::vector<std::pair<std::string, std::string>> list) {
    std::vector<PlayerRow> result;
    for (auto& [num, name] : list) {
      PlayerRow row;
      row.num = num;
      row.name = name;
      result.push_back(row);
    }
    return result;
  };
  const std::vector<PlayerRow> numbered = rows({{"0", "Unnamed"}, {"3", "Sarge"}, {"7", "Unnamed"}});
  const std::vector<PlayerRow> names = rows({{"", "Unnamed"}, {"", "Sarge"}, {"", "Unnamed"}});
  const struct {
    monitor::PlayerKey key;
    const std::vector<PlayerRow>* rows;
    int expected;
  } cases[] = {
      {{"7", "Unnamed"}, &numbered, 2},   // two of one name: the number tells them apart
      {{"3", "Sarge"}, &numbered, 1},
      {{"3", "Renamed"}, &numbered, 1},   // the same client under a new name
      {{"5", "Sarge"}, &numbered, -1},    // the number is gone: that client left
      {{"7", "Unnamed"}, &names, -1},     // numbers not known yet, name not unique
      {{"3", "Sarge"}, &names, 1},        // numbers not known yet, name unique
      {{"", "Sarge"}, &numbered, 1},      // selected before the numbers came
      {{"", "Unnamed"}, &numbered, -1},
      {{"", "Nobody"}, &numbered, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(monitor::FindPlayer(c.key, *c.rows), c.expected) << c.key.num << " " << c.key.name;
}

TEST_F(Session, AKickIsNotSentOnceItsPlayerHasLeftOrAnotherTookItsPlace) {
  // A whole refresh: the status response names the players, the table numbers them.
  const auto refresh = [this](const std::vector<test::TableRow>& rows) {
    std::vector<std::string> names;
    for (const auto& row : rows) names.push_back(row.name);
    session.DataArrived(test::Q3StatusResponse(names));
    session.DataArrived(test::Q3Table(rows));
  };
  // The list changes while the player info dialog of Sarge (client 3) is open.
  const std::vector<std::vector<test::TableRow>> meanwhile{
      {{0, "Anarki"}},                // Sarge left
      {{0, "Anarki"}, {3, "Grunt"}},  // another player took number 3
      {{0, "Anarki"}, {1, "Orbb"}, {2, "Hunter"}, {4, "Major"}, {5, "Doom"}, {6, "Visor"}}};  // the list grew
  StartPolling({{0, "Anarki"}, {3, "Sarge"}});
  for (const auto& rows : meanwhile) {
    refresh({{0, "Anarki"}, {3, "Sarge"}});
    fake.playerInfo = [&] {
      session.DataArrived(test::UserInfo({{"name", "Sarge"}}));
      refresh(rows);
      return platform::mrKickPlayer;
    };
    fake.messages.clear();
    const std::size_t before = fake.sent.size();
    session.PlayerInfo(&session.Players()[1]);
    EXPECT_EQ(fake.messages, std::vector<std::string>{"Player 3 (Sarge) is no longer on the server: nobody was kicked."});
    for (std::size_t i = before; i < fake.sent.size(); ++i) EXPECT_EQ(fake.sent[i].find(" kick "), std::string::npos);
  }
  // Still there: kicked by the number it was opened for, though the list was rebuilt meanwhile.
  refresh({{0, "Anarki"}, {3, "Sarge"}});
  fake.playerInfo = [&] {
    session.DataArrived(test::UserInfo({{"name", "Sarge"}}));
    refresh({{0, "Anarki"}, {1, "Orbb"}, {3, "Sarge"}});
    return platform::mrKickPlayer;
  };
  fake.confirmAnswers = {true};
  session.PlayerInfo(&session.Players()[1]);
  EXPECT_EQ(fake.confirms.back(), "Are you sure you want to kick player 3?");
  EXPECT_EQ(fake.sent[fake.sent.size() - 2], Rcon(" kick 3"));
}

}  // namespace

namespace {

TEST_F(Session, MessagesAskAboutWhatTheServerWouldChangeAndNeverSendALineBreak) {
  StartPolling({{0, "Sarge"}, {3, "Grism"}});
  struct Case {
    std::string text;
    std::deque<bool> answers;  // to the warning, when there is one
    std::string sent;          // the say command, empty: nothing sent
  };
  const std::vector<Case> cases = {
      {"hello  all // see you", {}, " say \"hello  all // see you\""},
      {"", {}, ""},
      {"50% off", {false}, ""},
      {"50% off", {true}, " say \"50% off\""},
      {"two\nlines", {true}, " say \"two lines\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    fake.confirms.clear();
    fake.confirmAnswers = c.answers;
    const std::size_t before = fake.sent.size();
    session.Say(c.text);
    EXPECT_EQ(fake.confirms.size(), c.answers.size());
    if (c.sent.empty()) {
      EXPECT_EQ(fake.sent.size(), before);
    } else {
      ASSERT_EQ(fake.sent.size(), before + 1);
      EXPECT_EQ(fake.sent.back(), Rcon(c.sent));
    }
  }
  const monitor::PlayerRow grism = session.Players()[1];
  session.Tell(&grism, "hi");
  EXPECT_EQ(fake.sent.back(), Rcon(" tell 3 \"hi\""));
  // A player who left is not told; another player is never told in its place.
  session.DataArrived(test::Q3Table({{0, "Sarge"}}));
  session.DataArrived(kFF + "statusResponse\n\\mapname\\q3dm1\n0 0 \"Sarge\"\n");
  const std::size_t before = fake.sent.size();
  session.Tell(&grism, "hi");
  EXPECT_EQ(fake.messages.back(), "Player Grism is no longer on the server: the message was not sent.");
  EXPECT_EQ(fake.sent.size(), before);
}

TEST_F(Session, ABanIsConfirmedNamingThePlayerAndTheAddress) {
  StartPolling({{0, "Sarge"}, {1, "Grism", 0, 40, "203.0.113.9:27960"}});
  EXPECT_FALSE(session.ConfirmBan(nullptr));
  EXPECT_FALSE(session.ConfirmBan(&session.Players()[1]));  // declined
  EXPECT_EQ(fake.confirms.back(), "Ban Grism (203.0.113.9:27960) and kick Grism from the server?");
  fake.confirmAnswers = {true};
  const auto banned = session.ConfirmBan(&session.Players()[0]);  // a bot: the server judges it
  ASSERT_TRUE(banned);
  EXPECT_EQ(banned->num, "0");
  EXPECT_EQ(banned->address, "bot");
}

TEST_F(Quake2Session, ABanNeedsANetworkAddressAndWarnsAboutZeros) {
  session.Connect();
  session.DataArrived(test::Q2Table({{0, "Host", 0, 0, "loopback"}, {1, "Grunt", 0, 40, "10.0.0.5:27901"}}));
  EXPECT_FALSE(session.ConfirmBan(&session.Players()[0]));
  EXPECT_EQ(fake.messages.back(), "Host has no network address to ban (loopback).");
  EXPECT_FALSE(session.ConfirmBan(&session.Players()[1]));
  EXPECT_EQ(fake.confirms.back(), "Ban Grunt (10.0.0.5:27901) and kick Grunt from the server?\r"
                                  "A Quake 2 server reads a 0 in an address as any number: 10.0.0.5 stands for 10.*.*.5.");
  session.Tell(&session.Players()[1], "x");  // Quake 2 has no tell
  EXPECT_EQ(fake.sent.back(), Rcon(" serverinfo"));
}

}  // namespace
