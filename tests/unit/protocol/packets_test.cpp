#include <gtest/gtest.h>

#include <string>

#include "protocol/packets.h"

namespace {

using namespace std::string_literals;
using namespace protocol;

TEST(Datagrams, QueryAndRemoteCommandBytes) {
  EXPECT_EQ(QueryDatagram(kQuake3.queryText), "\xFF\xFF\xFF\xFF  getstatus"s);
  EXPECT_EQ(QueryDatagram(kQuake3.queryText).size(), 15u);
  EXPECT_EQ(QueryDatagram(kQuake2.queryText), "\xFF\xFF\xFF\xFF  status"s);
  EXPECT_EQ(QueryDatagram(kQuake2.queryText).size(), 12u);
  // An empty password leaves three spaces between rcon and the command word.
  EXPECT_EQ(RconDatagram("", kStatusCommand), "\xFF\xFF\xFF\xFFrcon   status"s);
  EXPECT_EQ(RconDatagram("my pass", kServerInfoCommand), "\xFF\xFF\xFF\xFFrcon my pass  serverinfo"s);
  EXPECT_EQ(RconDatagram("p", "set TIMELIMIT 20"), "\xFF\xFF\xFF\xFFrcon p set TIMELIMIT 20"s);
  EXPECT_EQ(ConsoleOpeningDatagram("secret"), "\xFF\xFF\xFF\xFFrcon secret status"s);
  EXPECT_EQ(ConsoleCommandDatagram("secret", "cvarlist g_"), "\xFF\xFF\xFF\xFFrcon secret cvarlist g_"s);
}

TEST(Commands, MonitorCommandTexts) {
  EXPECT_EQ(DumpUserCommand("3"), " dumpuser 3");
  EXPECT_EQ(KickCommand("12"), " kick 12");
  EXPECT_EQ(MapCommand("q3dm17"), " map q3dm17");
  EXPECT_EQ(MapCommand(""), " map ");
  EXPECT_EQ(GameTypeCommand(3), " g_gametype 3");
}

TEST(Commands, RuleChangeFollowsEachGamesRuleNameCase) {
  EXPECT_EQ(ChangeSettingName("mapname"), "MAP");
  EXPECT_EQ(ChangeSettingName("sv_maxClients"), "SV_MAXCLIENTS");
  EXPECT_EQ(RuleChangeCommand(kQuake3, "sv_maxclients", "8"), "set SV_MAXCLIENTS 8");
  EXPECT_EQ(RuleChangeCommand(kQuake3, "mapname", "q3dm1"), "MAP q3dm1");
  // Quake 2 knows "timelimit" but not "TIMELIMIT": the rule keeps the case the server listed.
  EXPECT_EQ(RuleChangeCommand(kQuake2, "timelimit", "20"), "timelimit 20");
  EXPECT_EQ(RuleChangeCommand(kQuake2, "mapname", "q2dm3"), "MAP q2dm3");
}

TEST(Pictures, RelativePathsOfPlayerAndLevelPictures) {
  EXPECT_EQ(PlayerPicturePath(kQuake3, "sarge/default"), "players\\Quake3\\sarge.jpg");
  EXPECT_EQ(PlayerPicturePath(kQuake3, "sarge/blue"), "players\\Quake3\\sarge\\blue.jpg");
  EXPECT_EQ(PlayerPicturePath(kQuake3, "sarge"), "players\\Quake3\\sarge.jpg");
  EXPECT_EQ(PlayerPicturePath(kQuake2, "male/grunt"), "players\\Quake2\\male\\grunt.jpg");
  EXPECT_EQ(PlayerPicturePath(kQuake2, "male/default"), "players\\Quake2\\male\\default.jpg");
  EXPECT_EQ(LevelPicturePath(kQuake3, "Q3DM17"), "levels\\Quake3\\Q3DM17.jpg");
  EXPECT_EQ(LevelPicturePath(kQuake2, "q2dm1"), "levels\\Quake2\\q2dm1.jpg");
}

}  // namespace
