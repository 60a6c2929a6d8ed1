#include <gtest/gtest.h>

#include <string>

#include "captures.h"
#include "protocol/classify.h"

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

const Case kCases[] = {
    // Connecting: the password refusals, then the status table.
    {"q3_status_14bots_1", &kQuake3, msConnecting, ReplyParser::StatusTable, " serverinfo", msPolling, kNone},
    {"q3_bad_rconpassword", &kQuake3, msConnecting, ReplyParser::None, "", msRefused, kWrongPasswordWarning},
    {"q3_no_rconpassword", &kQuake3, msConnecting, ReplyParser::None, "", msRefused, kNoPasswordWarning},
    {"q3_getstatus_14bots", &kQuake3, msConnecting, ReplyParser::None, "", msConnecting, kNone},
    {"q3_serverinfo_1", &kQuake3, msConnecting, ReplyParser::None, "", msConnecting, kNone},
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
    // A Quake 3 info string holds \mapname\ too: markers count wherever they stand.
    {"q3_getstatus_14bots", &kQuake2, msPolling, ReplyParser::StatusResponse, " status", msPolling, kNone},
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

  d = ClassifyReply(kQuake3, msPolling, "read only");  // shorter than the header it drops
  EXPECT_TRUE(d.setStatusText);
  EXPECT_EQ(d.statusText, "");
  EXPECT_FALSE(ClassifyReply(kQuake3, msConnecting, test::Capture("q3_read_only")).setStatusText);
}

TEST(ClassifyReply, FirstMatchingTestDecides) {
  const std::string both = "\xFF\xFF\xFF\xFFprint\nBad rconpassword.\nmap: q3dm1\n"s;
  EXPECT_EQ(ClassifyReply(kQuake3, msConnecting, both).state, msRefused);
  const std::string noPassAndTable = "\xFF\xFF\xFF\xFFprint\nNo rconpassword set on the server.\nmap: x\n"s;
  EXPECT_EQ(ClassifyReply(kQuake3, msConnecting, noPassAndTable).warning, kNoPasswordWarning);

  const std::string responseAndTable = "\xFF\xFF\xFF\xFFstatusResponse\n\\mapname\\x\n0 0 \"map:\"\n"s;
  EXPECT_EQ(ClassifyReply(kQuake3, msPolling, responseAndTable).parser, ReplyParser::StatusResponse);

  // Markers count anywhere and only with the exact spelling.
  EXPECT_EQ(ClassifyReply(kQuake2, msConnecting, "xx map              : q2dm1").parser, ReplyParser::StatusTable);
  EXPECT_EQ(ClassifyReply(kQuake2, msConnecting, "map             : q2dm1").parser, ReplyParser::None);
  EXPECT_EQ(ClassifyReply(kQuake2, msConnecting, "map               : q2dm1").parser, ReplyParser::None);
  EXPECT_EQ(ClassifyReply(kQuake3, msConnecting, "MAP: q3dm1").parser, ReplyParser::None);
}

}  // namespace
