#include <gtest/gtest.h>

#include <string>

#include "captures.h"
#include "protocol/classify.h"
#include "unit/monitor/replies.h"

namespace {

using namespace std::string_literals;
using namespace protocol;

struct Case {
  const char* capture;
  const GameTraits* game;
  TMonitorState state;
  ReplyParser parser;
  const char* send;
  TMonitorState after;
  std::string_view warning;
};

constexpr std::string_view kNone;
using test::kPrint;

const Case kCases[] = {
    // Connecting: the password refusals, then the status table.
    {"q3_status_14bots_1", &kQuake3, msConnecting, ReplyParser::StatusTable, " serverinfo", msPolling, kNone},
    {"q3_bad_rconpassword", &kQuake3, msConnecting, ReplyParser::None, "", msRefused, kWrongPasswordWarning},
    {"q3_no_rconpassword", &kQuake3, msConnecting, ReplyParser::None, "", msRefused, kNoPasswordWarning},
    {"q3_getstatus_14bots", &kQuake3, msConnecting, ReplyParser::None, "", msConnecting, kNone},
    // Server info proves the password as well: a server whose remote status never answers
    // still comes to be polled.
    {"q3_serverinfo_1", &kQuake3, msConnecting, ReplyParser::ServerInfo, "", msPolling, kNone},
    // Polling: the chain query -> status -> serverinfo.
    {"q3_getstatus_14bots", &kQuake3, msPolling, ReplyParser::StatusResponse, " status", msPolling, kNone},
    {"q3_status_14bots_1", &kQuake3, msPolling, ReplyParser::StatusTable, " serverinfo", msPolling, kNone},
    {"q3_serverinfo_1", &kQuake3, msPolling, ReplyParser::ServerInfo, "", msPolling, kNone},
    // Continuations on their own, and notices, match nothing.
    {"q3_status_14bots_2", &kQuake3, msPolling, ReplyParser::None, "", msPolling, kNone},
    {"q3_serverinfo_2", &kQuake3, msPolling, ReplyParser::None, "", msPolling, kNone},
    {"q3_kick_42", &kQuake3, msPolling, ReplyParser::None, "", msPolling, kNone},
    {"q3_map_nosuchmap", &kQuake3, msPolling, ReplyParser::None, "", msPolling, kNone},
    {"q3_cvar_sv_hostname", &kQuake3, msPolling, ReplyParser::None, "", msPolling, kNone},
    {"q3_bad_rconpassword", &kQuake3, msPolling, ReplyParser::None, "", msPolling, kNone},
    // Player info.
    {"q3_dumpuser_2", &kQuake3, msAwaitingUserInfo, ReplyParser::UserInfo, "", msPolling, kNone},
    {"q3_dumpuser_42", &kQuake3, msAwaitingUserInfo, ReplyParser::None, "", msAwaitingUserInfo, kNone},
    {"q3_getstatus_14bots", &kQuake3, msAwaitingUserInfo, ReplyParser::None, "", msAwaitingUserInfo, kNone},
    {"q3_dumpuser_2", &kQuake3, msPolling, ReplyParser::None, "", msPolling, kNone},
    // Idle and refused windows drop everything.
    {"q3_status_14bots_1", &kQuake3, msIdle, ReplyParser::None, "", msIdle, kNone},
    {"q3_bad_rconpassword", &kQuake3, msRefused, ReplyParser::None, "", msRefused, kNone},
    {"q3_getstatus_14bots", &kQuake3, msRefused, ReplyParser::None, "", msRefused, kNone},
    // Quake 2: its own markers, and its own refusal text.
    {"hand_q2_bad_rcon_password", &kQuake2, msConnecting, ReplyParser::None, "", msRefused, kWrongPasswordWarning},
    {"hand_q2_status", &kQuake2, msConnecting, ReplyParser::StatusTable, " serverinfo", msPolling, kNone},
    {"q3_status_14bots_1", &kQuake2, msConnecting, ReplyParser::None, "", msConnecting, kNone},
    {"hand_q2_statusresponse", &kQuake2, msPolling, ReplyParser::StatusResponse, " status", msPolling, kNone},
    {"hand_q2_statusresponse", &kQuake2, msConnecting, ReplyParser::None, "", msConnecting, kNone},
    {"hand_q2_status", &kQuake2, msPolling, ReplyParser::StatusTable, " serverinfo", msPolling, kNone},
    {"hand_q2_serverinfo", &kQuake2, msPolling, ReplyParser::ServerInfo, "", msPolling, kNone},
    {"hand_q2_dumpuser", &kQuake2, msAwaitingUserInfo, ReplyParser::UserInfo, "", msPolling, kNone},
    // A Quake 3 answer holds \mapname\ too, but not where Quake 2 has it.
    {"q3_getstatus_14bots", &kQuake2, msPolling, ReplyParser::None, "", msPolling, kNone},
};

TEST(ClassifyReply, CapturedRepliesByGameAndState) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.capture) + " / " + std::string(c.game->name) + " / state " + std::to_string(c.state));
    const ReplyDecision d = ClassifyReply(*c.game, c.state, test::Capture(c.capture));
    EXPECT_EQ(d.parser, c.parser);
    EXPECT_EQ(d.send, c.send);
    EXPECT_EQ(d.state, c.after);
    EXPECT_EQ(d.warning, c.warning);
    EXPECT_EQ(d.closeClient, c.after == msRefused && c.state != msRefused);
    EXPECT_FALSE(d.setStatusText);
  }
}

TEST(ClassifyReply, ReadOnlyNoticeGoesToTheStatusBarLessItsFirstTenCharacters) {
  ReplyDecision d = ClassifyReply(kQuake3, msPolling, test::Capture("q3_read_only"));
  EXPECT_TRUE(d.setStatusText);
  EXPECT_EQ(d.statusText, "sv_cheats is read only.\n");
  EXPECT_EQ(d.parser, ReplyParser::None);
  EXPECT_TRUE(d.send.empty());

  d = ClassifyReply(kQuake2, msPolling, kPrint + "maxclients is write protected.\nmore\n");
  EXPECT_EQ(d.statusText, "maxclients is write protected.\nmore\n");
  EXPECT_FALSE(ClassifyReply(kQuake3, msConnecting, test::Capture("q3_read_only")).setStatusText);
}

// A status table of today's Quake 3 layout with one row named so.
std::string Q3TableWith(const std::string& name) { return test::Q3Table({{0, "Sarge"}, {1, name}, {2, "Grunt"}}); }
std::string Q2TableWith(const std::string& name) { return test::Q2Table({{0, "Sarge"}, {1, name}}); }
std::string Q3InfoWithHostname(const std::string& hostname) {
  return test::ServerInfo({{"sv_hostname", hostname}, {"mapname", "q3dm17"}, {"g_gametype", "0"}});
}

TEST(ClassifyReply, MarksCountOnlyInTheirOwnPlaces) {
  struct Placed {
    const char* what;
    const GameTraits* game;
    TMonitorState state;
    std::string reply;
    ReplyParser parser;
    TMonitorState after;
    bool statusText = false;
  };
  const std::string ff = "\xFF\xFF\xFF\xFF";
  const Placed cases[] = {
      // Players named like markers: the table stays a table in every state that reads one.
      {"refusal as a name", &kQuake3, msConnecting, Q3TableWith("Bad rconpassword."), ReplyParser::StatusTable, msPolling},
      {"no password as a name", &kQuake3, msConnecting, Q3TableWith("No rconpassword set on the server."),
       ReplyParser::StatusTable, msPolling},
      {"response marker as a name", &kQuake3, msPolling, Q3TableWith("statusResponse"), ReplyParser::StatusTable, msPolling},
      {"listing marker as a name", &kQuake3, msPolling, Q3TableWith("Server info settings:"), ReplyParser::StatusTable,
       msPolling},
      {"notice as a name", &kQuake3, msPolling, Q3TableWith("x is read only."), ReplyParser::StatusTable, msPolling},
      {"user info as a name", &kQuake3, msAwaitingUserInfo, Q3TableWith("userinfo"), ReplyParser::None,
       msAwaitingUserInfo},
      {"Quake 2 refusal as a name", &kQuake2, msConnecting, Q2TableWith("Bad rcon_password."), ReplyParser::StatusTable,
       msPolling},
      {"Quake 2 response marker as a name", &kQuake2, msPolling, Q2TableWith("\\mapname\\"), ReplyParser::StatusTable,
       msPolling},
      {"Quake 2 table marker as a name", &kQuake2, msPolling,
       test::Q2StatusResponse({"map              : q2dm1", "Current map: x"}), ReplyParser::StatusResponse, msPolling},
      // A server name or rule value with a marker in it.
      {"map line as a host name", &kQuake3, msPolling, Q3InfoWithHostname("Best map: q3dm17"), ReplyParser::ServerInfo,
       msPolling},
      {"notice as a host name", &kQuake3, msPolling, Q3InfoWithHostname("is read only."), ReplyParser::ServerInfo,
       msPolling},
      {"table marker in the query's answer", &kQuake3, msPolling,
       ff + "statusResponse\n\\sv_hostname\\Best map: q3dm17\\mapname\\q3dm17\n0 0 \"map:\"\n",
       ReplyParser::StatusResponse, msPolling},
      {"Quake 2 marker as a value only", &kQuake2, msPolling, kPrint + "\\hostname\\mapname\\maxclients\\8\n",
       ReplyParser::None, msPolling},
      // The first line decides.
      {"refusal above a table", &kQuake3, msConnecting, kPrint + "Bad rconpassword.\nmap: q3dm1\n", ReplyParser::None,
       msRefused},
      {"refusal with more on its line", &kQuake2, msConnecting, kPrint + "Bad rcon_password. was kicked\n",
       ReplyParser::None, msConnecting},
      {"kick echo of a name like a map line", &kQuake3, msConnecting,
       kPrint + "broadcast: print \"map: evil^7 was kicked\\n\"\nmap: q3dm1\n", ReplyParser::None, msConnecting},
      {"response marker printed", &kQuake3, msPolling, kPrint + "statusResponse\n\\mapname\\x\n", ReplyParser::None,
       msPolling},
      {"read only inside a line", &kQuake3, msPolling, kPrint + "Player read only is not on the server\n",
       ReplyParser::None, msPolling},
      {"user info without dashes", &kQuake3, msAwaitingUserInfo, kPrint + "userinfo\nname   x\n", ReplyParser::None,
       msAwaitingUserInfo},
      {"user info", &kQuake3, msAwaitingUserInfo, test::UserInfo({{"name", "x"}}), ReplyParser::UserInfo, msPolling},
      {"notice", &kQuake3, msPolling, kPrint + "sv_hostname is read only.\n", ReplyParser::None, msPolling, true},
      // A map line is a table only with its heading below it: a chunk that starts with a
      // name reads like one but is not.
      {"a chunk starting with a name", &kQuake3, msConnecting,
       kPrint + "map: evil       ^7bot    16384\n 5     0    0 Grunt   ^7bot   16384\n\n", ReplyParser::None,
       msConnecting},
      {"map line alone", &kQuake3, msConnecting, kPrint + "map: q3dm1\n", ReplyParser::None, msConnecting},
      {"Quake 2 map line of 13 spaces", &kQuake2, msConnecting, Q2TableWith("x").replace(10, 18, "map             :"),
       ReplyParser::None, msConnecting},
      {"Quake 2 map line of 15 spaces", &kQuake2, msConnecting,
       Q2TableWith("x").replace(10, 18, "map               :"), ReplyParser::None, msConnecting},
      {"Quake 3 table in a Quake 2 window", &kQuake2, msConnecting, Q3TableWith("x"), ReplyParser::None, msConnecting},
      {"Q2PRO table", &kQuake2, msConnecting,
       kPrint + "Current map: q2dm1\n\nnum score ping name            lastmsg address                rate pr fps\n",
       ReplyParser::StatusTable, msPolling},
      {"empty Q2PRO server", &kQuake2, msConnecting, kPrint + "Current map: q2dm1\n\nNo UDP clients.\n\n",
       ReplyParser::StatusTable, msPolling},
      {"Q2PRO map line without heading", &kQuake2, msConnecting, kPrint + "Current map: q2dm1\n\nx\n", ReplyParser::None,
       msConnecting},
      {"no marker bytes", &kQuake3, msConnecting, Q3TableWith("x").substr(4), ReplyParser::None, msConnecting},
  };
  for (const Placed& c : cases) {
    SCOPED_TRACE(c.what);
    const ReplyDecision d = ClassifyReply(*c.game, c.state, c.reply);
    EXPECT_EQ(d.parser, c.parser);
    EXPECT_EQ(d.state, c.after);
    EXPECT_EQ(d.setStatusText, c.statusText);
    EXPECT_EQ(d.send, c.parser == ReplyParser::StatusTable      ? " serverinfo"
                      : c.parser == ReplyParser::StatusResponse ? " status"
                                                                : "");
  }
}

}  // namespace
