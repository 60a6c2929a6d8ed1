// The settings dialog opened from a window over real UDP against the scripted game server,
// with the Quake 3 server's rate limit on: every value arrives in one listing, every update
// arrives, a listing that does not come whole is made up for by a query per field, lost
// replies never turn into blanks on the server, and Cancel sends nothing.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fake_host.h"
#include "platform/dialogs.h"
#include "platform/ini.h"
#include "protocol/cvarlist.h"
#include "protocol/packets.h"
#include "settings/description.h"
#include "settings/fields.h"
#include "settings/opensettings.h"
#include "settings/settingsform.h"
#include "settings/update.h"
#include "support/gameserver/game_server.h"
#include "support/scripted_dialogs.h"
#include "support/stand_in_resolver.h"
#include "support/test_env.h"
#include "unit/net/udp_peer.h"

namespace {

using namespace std::chrono_literals;
using settings_test::FakeHost;
using Strings = std::vector<std::string>;

std::string ShippedFile(const std::string& name) {
  std::ifstream in(test::SourceDir() + "/data/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A description file of the given fields (type, name).
std::string Fields(const std::vector<std::pair<std::string, std::string>>& fields) {
  std::string text = "[Common]\r\nNumFields=" + std::to_string(fields.size()) + "\r\n";
  for (size_t i = 0; i < fields.size(); ++i) {
    text += "[Field" + std::to_string(i + 1) + "]\r\nType=" + fields[i].first + "\r\nName=" + fields[i].second + "\r\n";
  }
  return text;
}

// A server value for each field, distinct per field, that the field can show.
std::map<std::string, std::string> ValuesFor(const std::vector<settings::FieldDescription>& fields) {
  std::map<std::string, std::string> values;
  int n = 0;
  for (const auto& f : fields) {
    ++n;
    switch (settings::KindOf(f.type)) {
      case settings::InputKind::Text: values[f.name] = "val_" + std::to_string(n); break;
      case settings::InputKind::Spin: values[f.name] = std::to_string(100 + n); break;
      case settings::InputKind::Check: values[f.name] = std::to_string(n % 2); break;
      case settings::InputKind::None: break;
    }
  }
  return values;
}

// The query datagrams the server received for one name.
int QueriesOf(const test::GameServer& server, const std::string& name) {
  const std::string query = protocol::RconDatagram("secret", name);
  int count = 0;
  for (const auto& d : server.Received()) count += d.bytes == query;
  return count;
}

// When the server received the listing's request, and the first request after it.
std::pair<std::chrono::steady_clock::time_point, std::chrono::steady_clock::time_point> ListingAndNext(const test::GameServer& server) {
  const auto received = server.Received();
  for (std::size_t i = 0; i + 1 < received.size(); ++i)
    if (received[i].bytes == protocol::CvarListDatagram("secret")) return {received[i].time, received[i + 1].time};
  ADD_FAILURE() << "no listing followed by another request";
  return {};
}

class SettingsWire : public ::testing::Test {
 protected:
  void StartServer(test::Game game, std::vector<test::CvarDef> cvars, bool rateLimit,
                   test::Quake2Engine engine = test::Quake2Engine::Id) {
    test::GameServerConfig config;
    config.game = game;
    config.quake2Engine = engine;
    config.password = "secret";
    config.cvars = std::move(cvars);
    config.rateLimit = rateLimit;
    config.lifetime = 220s;
    server = std::make_unique<test::GameServer>(config);
    server->Start();
    host = std::make_unique<FakeHost>(game == test::Game::Quake3 ? protocol::kQuake3 : protocol::kQuake2, server->Port(),
                                      "secret");
    host->client.Open();
  }
  // Opens the dialog from the window; `answer` runs while it is shown and gives its result.
  void Open(std::function<int(TF_Settings&)> answer) {
    dialogs.modalAnswers.push_back([answer](QDialog& d) { return answer(static_cast<TF_Settings&>(d)); });
    OpenServerSettings(*host);
  }
  bool WaitForUpdate(int ms) {
    return QTest::qWaitFor([&] { return !settings::UpdateRunning(*host); }, ms);
  }

  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
  std::unique_ptr<test::GameServer> server;
  std::unique_ptr<FakeHost> host;
};

template <class T>
T* InputOf(TF_Settings& dialog, const char* name) {
  return dialog.Grid()->findChild<T*>(name, Qt::FindDirectChildrenOnly);
}

TEST_F(SettingsWire, Quake3ShippedFileFillsEveryFieldFromOneListingAndEveryUpdateArrives) {
  const std::string shipped = ShippedFile("q3-default.ini");
  dir.Write("q3-default.ini", shipped);
  const auto fields = settings::ReadDescription(platform::IniDocument::FromBytes(shipped)).fields;
  ASSERT_EQ(fields.size(), 40u);
  auto values = ValuesFor(fields);
  values["sv_hostname"] = "^1Test ^7Server";  // colour codes must survive the round trip
  std::vector<test::CvarDef> cvars;
  for (const auto& [name, value] : values) cvars.push_back(test::CvarDef{name, value, std::nullopt, 0});
  StartServer(test::Game::Quake3, cvars, true);

  QElapsedTimer clock;
  clock.start();
  Open([&](TF_Settings& dialog) {
    EXPECT_EQ(dialog.InputCount(), 40);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.KnownCount() == 40; }, 2000)) << dialog.KnownCount();
    std::cout << "all 40 values shown " << clock.elapsed() << " ms after opening\n";
    EXPECT_EQ(dialog.QueriesTotal(), 1);
    EXPECT_EQ(dialog.L_Values->text(), "All 40 values read from the server.");
    for (const auto& f : fields) {
      QWidget* input = InputOf<QWidget>(dialog, f.name.c_str());
      EXPECT_TRUE(input) << f.name;
      const std::string& v = values[f.name];
      if (auto* e = qobject_cast<QLineEdit*>(input)) {
        EXPECT_EQ(e->text().toStdString(), v) << f.name;
      } else if (auto* s = qobject_cast<QSpinBox*>(input)) {
        EXPECT_EQ(std::to_string(s->value()), v) << f.name;
      } else if (auto* c = qobject_cast<QCheckBox*>(input)) {
        EXPECT_EQ(c->checkState() == Qt::Checked, v == "1") << f.name;
      }
    }
    dialog.show();
    QTest::qWait(100);
    dialog.grab().save(QString(CORVANE_BINARY_DIR) + "/settings_q3_shipped.png");
    dialog.hide();
    auto* motd = InputOf<QLineEdit>(dialog, "g_motd");
    motd->selectAll();
    QTest::keyClicks(motd, "Welcome all");
    return platform::mrOk;
  });
  for (const auto& f : fields) EXPECT_EQ(QueriesOf(*server, f.name), 0) << f.name;
  EXPECT_EQ(server->Commands().at(0), "cvarlist");
  EXPECT_EQ(server->RateLimitedRequests(), 0);

  EXPECT_EQ(host->lamps.at(0), QColor(0, 255, 0));
  EXPECT_EQ(host->statuses.at(0), "Updating server...");
  EXPECT_EQ(host->cursor().shape(), Qt::WaitCursor);
  ASSERT_TRUE(WaitForUpdate(90000)) << host->status;
  // Wait for the server to have run the commands, not only received datagrams.
  EXPECT_TRUE(QTest::qWaitFor([&] { return server->Commands().size() >= 41; }, 5000));
  EXPECT_EQ(host->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(host->status, "");
  EXPECT_NE(std::find(host->statuses.begin(), host->statuses.end(), "Updating server... 40 of 40"), host->statuses.end());
  EXPECT_EQ(host->sentCount, 40);

  Strings expected;
  for (const auto& f : fields) {
    const std::string value = f.name == "g_motd" ? "Welcome all" : values[f.name];
    expected.push_back(settings::KindOf(f.type) == settings::InputKind::Text ? "set " + f.name + " " + value
                                                                             : f.name + " " + value);
  }
  Strings commands = server->Commands();
  commands.erase(commands.begin(), commands.begin() + std::min<size_t>(commands.size(), 1));  // the listing
  EXPECT_EQ(commands, expected);
  EXPECT_EQ(server->RateLimitedRequests(), 0);
  EXPECT_EQ(server->Cvar("sv_hostname"), "^1Test ^7Server");
  EXPECT_EQ(server->Cvar("g_motd"), "Welcome all");
}

TEST_F(SettingsWire, Quake3LostListingDatagramAndLostRepliesWhileTheWindowPolls) {
  dir.Write("q3-default.ini", Fields({{"STRING", "sv_hostname"}, {"STRING", "g_motd"}, {"INT", "timelimit"},
                                      {"INT", "fraglimit"}, {"BOOL", "g_friendlyFire"}, {"BOOL", "g_doWarmup"},
                                      {"INT", "g_speed"}, {"INT", "g_gravity"}, {"STRING", "g_password"},
                                      {"INT", "capturelimit"}, {"BOOL", "g_allowVote"}, {"FLOAT", "g_knockback"}}));
  StartServer(test::Game::Quake3,
              {{"timelimit", "15", {}, 0}, {"fraglimit", "20", {}, 0}, {"g_friendlyFire", "1", {}, 0},
               {"g_doWarmup", "0", {}, 0}, {"g_speed", "320", {}, 0}, {"g_gravity", "800", {}, 0},
               {"g_password", "letmein", {}, 0}, {"capturelimit", "8", {}, 0}, {"g_allowVote", "1", {}, 0},
               {"g_knockback", "1000", {}, 0}, {"g_motd", "Old news", {}, 0}},
              true);
  // The first of the listing's three datagrams is lost: each field is asked for by itself,
  // and two of those answers are lost too.
  server->DropChunk("cvarlist", 0);
  server->DropRepliesTo("g_motd");
  server->DropRepliesTo("g_doWarmup");
  host->StartPolling(3000);  // the window keeps polling the same server meanwhile

  Open([&](TF_Settings& dialog) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.AnsweredCount() == 9 && dialog.QueriesSent() == 1 + 12; }, 30000));
    QTest::qWait(1500);
    EXPECT_EQ(dialog.KnownCount(), 9);
    EXPECT_TRUE(InputOf<QLineEdit>(dialog, "g_motd")->toolTip().contains("No answer from server"));
    EXPECT_EQ(InputOf<QLineEdit>(dialog, "g_motd")->placeholderText(), "?");
    EXPECT_EQ(InputOf<QCheckBox>(dialog, "g_doWarmup")->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.L_Values->text().startsWith("9 of 11 values read"); }, 8000))
        << dialog.L_Values->text().toStdString();
    dialog.show();
    QTest::qWait(100);
    dialog.grab().save(QString(CORVANE_BINARY_DIR) + "/settings_q3_unknown.png");
    dialog.hide();
    auto* timelimit = InputOf<QSpinBox>(dialog, "timelimit");
    timelimit->selectAll();
    QTest::keyClicks(timelimit, "30");
    InputOf<QCheckBox>(dialog, "g_friendlyFire")->click();
    auto* password = InputOf<QLineEdit>(dialog, "g_password");
    password->selectAll();
    QTest::keyClick(password, Qt::Key_Delete);  // emptied on purpose: sent, and it clears
    return platform::mrOk;
  });
  ASSERT_TRUE(WaitForUpdate(60000)) << host->status;
  EXPECT_TRUE(QTest::qWaitFor([&] { return server->Commands().size() >= 1 + 12 + 9; }, 5000));
  Strings updates;
  for (const std::string& c : server->Commands())
    if (c.find(' ') != std::string::npos) updates.push_back(c);
  EXPECT_EQ(updates, (Strings{"set sv_hostname ^1Test ^7Server", "timelimit 30", "fraglimit 20", "g_friendlyFire 0",
                              "g_speed 320", "g_gravity 800", "set g_password \"\"", "capturelimit 8",
                              "g_allowVote 1"}));
  EXPECT_EQ(server->Cvar("g_motd"), "Old news");
  EXPECT_EQ(server->Cvar("g_doWarmup"), "0");
  EXPECT_EQ(server->Cvar("g_password"), "");
  EXPECT_EQ(server->RateLimitedRequests(), 0);
  EXPECT_GT(host->replies, 3);  // the window's polls were answered throughout
}

TEST_F(SettingsWire, AListingThatDoesNotComeWholeIsMadeUpForByAQueryPerField) {
  const struct {
    const char* what;
    std::function<void(test::GameServer&)> lose;
    int minWaitMs;  // between the listing's request and the first query
    int maxWaitMs;
  } cases[] = {
      {"a datagram lost: the count falls short, the queries follow at once",
       [](test::GameServer& s) { s.DropChunk("cvarlist", 1); }, 0, 1000},
      {"the whole listing lost: the queries follow once the wait is over",
       // The wait's timer may fire up to 5 % early.
       [](test::GameServer& s) { s.DropRepliesTo("cvarlist", 1); }, TF_Settings::kListingWaitMs * 95 / 100,
       TF_Settings::kListingWaitMs + 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dir.Write("q3-default.ini", Fields({{"STRING", "sv_hostname"}, {"INT", "timelimit"}, {"BOOL", "g_doWarmup"}}));
    StartServer(test::Game::Quake3, {{"timelimit", "15", {}, 0}, {"g_doWarmup", "1", {}, 0}}, false);
    c.lose(*server);
    Open([&](TF_Settings& dialog) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.KnownCount() == 3; }, 10000)) << dialog.KnownCount();
      EXPECT_EQ(dialog.QueriesSent(), 1 + 3);
      return platform::mrCancel;
    });
    EXPECT_EQ(server->Commands(), (Strings{"cvarlist", "sv_hostname", "timelimit", "g_doWarmup"}));
    const auto [listing, next] = ListingAndNext(*server);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(next - listing).count();
    EXPECT_GE(waited, c.minWaitMs);
    EXPECT_LE(waited, c.maxWaitMs);
  }
}

TEST_F(SettingsWire, Quake2KnownAndEditedValuesInQuake2Forms) {
  for (const test::Quake2Engine engine : {test::Quake2Engine::Id, test::Quake2Engine::Q2pro}) {
    SCOPED_TRACE(engine == test::Quake2Engine::Id ? "id engine" : "Q2PRO");
    dir.Write("q2-default.ini", Fields({{"STRING", "hostname"}, {"STRING", "motd"}, {"STRING", "sv_greeting"},
                                        {"INT", "timelimit"}, {"INT", "fraglimit"}, {"BOOL", "deathmatch"},
                                        {"STRING", "skill_name"}}));
    std::vector<test::CvarDef> cvars = {{"hostname", "Old Name", {}, 0},    {"motd", "hello", {}, 0},
                                        {"sv_greeting", "Two words", {}, 0}, {"timelimit", "20", {}, 0},
                                        {"fraglimit", "25", {}, 0},          {"deathmatch", "1", {}, 0},
                                        {"rcon_password", "secret", {}, 0}};
    // Enough variables for a listing of several datagrams, Q2PRO's cut at any byte.
    for (int i = 0; i < 60; ++i) cvars.push_back({"filler_" + std::to_string(i), "0123456789", {}, 0});
    StartServer(test::Game::Quake2, cvars, false, engine);
    Open([&](TF_Settings& dialog) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.AnsweredCount() == 6 && dialog.QueriesSent() == 2; }, 10000));
      auto* hostname = InputOf<QLineEdit>(dialog, "hostname");
      EXPECT_EQ(hostname->text(), "Old Name");
      hostname->selectAll();
      QTest::keyClicks(hostname, "Frag Fest");
      auto* fraglimit = InputOf<QSpinBox>(dialog, "fraglimit");
      fraglimit->selectAll();
      QTest::keyClicks(fraglimit, "30");
      return platform::mrOk;
    });
    ASSERT_TRUE(WaitForUpdate(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server->Commands().size() >= 2 + 5; }, 5000));
    Strings sent;
    for (const auto& d : server->Received()) sent.push_back(d.bytes);
    // The listing, then the one field it does not hold, asked for by itself.
    EXPECT_EQ(Strings(sent.begin(), sent.begin() + 2),
              (Strings{protocol::CvarListDatagram("secret"), protocol::RconDatagram("secret", "skill_name")}));
    sent.erase(sent.begin(), sent.begin() + 2);
    // "sv_greeting" arrived as "Two words" and was not touched: the server would keep only
    // "Two", so it is not sent back. The server has no "skill_name".
    EXPECT_EQ(sent, (Strings{protocol::RconDatagram("secret", "hostname \"Frag Fest\""), protocol::RconDatagram("secret", "motd hello"),
                             protocol::RconDatagram("secret", "timelimit 20"), protocol::RconDatagram("secret", "fraglimit 30"),
                             protocol::RconDatagram("secret", "deathmatch 1")}));
    EXPECT_EQ(server->Cvar("fraglimit"), "30");
    EXPECT_EQ(server->Cvar("sv_greeting"), "Two words");
    EXPECT_EQ(server->Cvar("skill_name"), std::nullopt);
    // A Quake 2 server rebuilds the remote command from its words, quotes gone: even quoted, a
    // value with a blank arrives cut at the blank. No remote command can set it whole.
    EXPECT_EQ(server->Cvar("hostname"), "Frag");
  }
}

TEST_F(SettingsWire, CancelSendsNothingAndLeavesTheWindowAlone) {
  dir.Write("q3-default.ini", Fields({{"STRING", "sv_hostname"}, {"INT", "timelimit"}, {"BOOL", "g_doWarmup"}}));
  StartServer(test::Game::Quake3, {{"timelimit", "15", {}, 0}, {"g_doWarmup", "1", {}, 0}}, true);
  Open([&](TF_Settings& dialog) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.KnownCount() == 3; }, 10000));
    InputOf<QCheckBox>(dialog, "g_doWarmup")->click();
    return platform::mrCancel;
  });
  QTest::qWait(1500);
  EXPECT_TRUE(host->lamps.empty());
  EXPECT_TRUE(host->statuses.empty());
  EXPECT_TRUE(host->rcons.empty());
  EXPECT_EQ(server->Commands(), (Strings{"cvarlist"}));
  EXPECT_EQ(server->Cvar("g_doWarmup"), "1");
}

TEST_F(SettingsWire, WrongPasswordFillsNothingAndSendsNothing) {
  dir.Write("q3-default.ini", Fields({{"STRING", "sv_hostname"}, {"INT", "timelimit"}}));
  StartServer(test::Game::Quake3, {}, true);
  host->password = "wrong";
  Open([&](TF_Settings& dialog) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.ReadingListing(); }, 5000));
    EXPECT_EQ(dialog.L_Values->text(),
              "The server refused the password: no values read; greyed ones are sent only if changed");
    // The queries of single variables would be refused as well: none is sent.
    QTest::qWait(TF_Settings::kListingWaitMs + 500);
    EXPECT_EQ(server->ReceivedCount(), 1u);
    EXPECT_EQ(dialog.KnownCount(), 0);
    return platform::mrOk;
  });
  ASSERT_TRUE(WaitForUpdate(5000));
  EXPECT_TRUE(host->rcons.empty());
  EXPECT_EQ(server->Cvar("sv_hostname"), "^1Test ^7Server");
}

// The dialog's own client looks the window's host name up again: the dialog shows at once,
// its queries leave once the address is known, and the values come from the IPv6 server.
TEST_F(SettingsWire, AnIPv6ServerReachedByItsNameFillsTheDialog) {
  if (!nettest::Peer(AF_INET6).Bound()) GTEST_SKIP() << "no IPv6 loopback address on this machine";
  test::StandInResolver resolver;
  resolver.names["v6only.example"] = {*net::NumericHost("::1")};
  resolver.delayMs = 300;
  dir.Write("q3-default.ini", Fields({{"STRING", "sv_hostname"}, {"INT", "timelimit"}, {"BOOL", "g_doWarmup"}}));
  test::GameServerConfig config;
  config.ipv6 = true;
  config.password = "secret";
  config.cvars = {{"timelimit", "15", {}, 0}, {"g_doWarmup", "1", {}, 0}};
  config.rateLimit = true;
  config.lifetime = 60s;
  server = std::make_unique<test::GameServer>(config);
  server->Start();
  host = std::make_unique<FakeHost>(protocol::kQuake3, server->Port(), "secret");
  host->client.Host = "v6only.example";
  host->client.Open();
  Open([&](TF_Settings& dialog) {
    EXPECT_EQ(server->ReceivedCount(), 0u);  // shown before the address is known
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.KnownCount() == 3; }, 5000)) << dialog.KnownCount();
    EXPECT_EQ(InputOf<QLineEdit>(dialog, "sv_hostname")->text(), "^1Test ^7Server");
    EXPECT_EQ(InputOf<QSpinBox>(dialog, "timelimit")->value(), 15);
    InputOf<QSpinBox>(dialog, "timelimit")->setValue(25);
    return platform::mrOk;
  });
  ASSERT_TRUE(WaitForUpdate(10000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return server->Cvar("timelimit") == "25"; }, 3000));
  EXPECT_EQ(server->RateLimitedRequests(), 0);
  EXPECT_EQ(resolver.asked, (Strings{"v6only.example", "v6only.example"}));
}

}  // namespace

namespace {

// Against a real Quake 3 server on 127.0.0.1, password "secret", when its port is given in
// CORVANE_SETTINGS_REAL_Q3_PORT: the shipped file is read twice; everything the first update
// sent back must read again as it was, and an emptied g_motd must be empty.
TEST(SettingsRealServer, ShippedFileRoundTrip) {
  const char* port = std::getenv("CORVANE_SETTINGS_REAL_Q3_PORT");
  if (!port) GTEST_SKIP() << "no real server named";
  test::ScopedProgramDir dir;
  test::ScopedDialogs dialogs;
  dir.Write("q3-default.ini", ShippedFile("q3-default.ini"));
  FakeHost host(protocol::kQuake3, std::atoi(port), "secret");
  host.client.Open();

  std::map<std::string, std::string> first;
  const auto snapshot = [](TF_Settings& dialog) {
    std::map<std::string, std::string> values;
    for (QWidget* w : dialog.Grid()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (w->objectName().isEmpty()) continue;
      if (auto* e = qobject_cast<QLineEdit*>(w)) values[w->objectName().toStdString()] = e->text().toStdString();
      if (auto* s = qobject_cast<QSpinBox*>(w)) values[w->objectName().toStdString()] = s->text().toStdString();
      if (auto* c = qobject_cast<QCheckBox*>(w)) values[w->objectName().toStdString()] = std::to_string(c->checkState());
    }
    return values;
  };
  dialogs.modalAnswers.push_back([&](QDialog& d) {
    auto& dialog = static_cast<TF_Settings&>(d);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.QueriesSent() == dialog.QueriesTotal() && dialog.AnsweredCount() == dialog.InputCount(); },
                    60000));
    QTest::qWait(1000);
    std::cout << "first reading: " << dialog.KnownCount() << " of " << dialog.InputCount() << " known, "
              << dialog.AnsweredCount() << " answered\n";
    first = snapshot(dialog);
    auto* motd = InputOf<QLineEdit>(dialog, "g_motd");
    motd->selectAll();
    QTest::keyClick(motd, Qt::Key_Delete);
    return platform::mrOk;
  });
  OpenServerSettings(host);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !settings::UpdateRunning(host); }, 90000));
  std::cout << "update sent " << host.sentCount << " commands\n";

  std::map<std::string, std::string> second;
  dialogs.modalAnswers.push_back([&](QDialog& d) {
    auto& dialog = static_cast<TF_Settings&>(d);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.QueriesSent() == dialog.QueriesTotal() && dialog.AnsweredCount() == dialog.InputCount(); },
                    90000));
    QTest::qWait(1000);
    std::cout << "second reading: " << dialog.KnownCount() << " of " << dialog.InputCount() << " known\n";
    second = snapshot(dialog);
    return platform::mrCancel;
  });
  OpenServerSettings(host);
  first["g_motd"] = "";
  for (const auto& [name, value] : first) EXPECT_EQ(second[name], value) << name;
}

}  // namespace
