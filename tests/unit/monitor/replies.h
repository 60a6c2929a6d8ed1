#pragma once
// Replies as the game servers print them, for the monitor's tests.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace test {

inline const std::string kPrint = std::string("\xFF\xFF\xFF\xFF") + "print\n";

struct TableRow {
  int num;
  std::string name;
  int score = 0;
  int ping = 0;
  std::string address = "bot";
  int rate = 16384;
};

// A status table of today's Quake 3 servers.
inline std::string Q3Table(const std::vector<TableRow>& rows, const std::string& map = "q3dm17") {
  std::string text = kPrint + "map: " + map +
                     "\ncl score ping name            address                                 rate \n"
                     "-- ----- ---- --------------- --------------------------------------- -----\n";
  for (const TableRow& r : rows) {
    char line[256];
    std::snprintf(line, sizeof line, "%2d %5d %4d %-15s ^7%-39s %5d\n", r.num, r.score, r.ping, r.name.c_str(),
                  r.address.c_str(), r.rate);
    text += line;
  }
  return text + "\n";
}

// The Quake 2 status table.
inline std::string Q2Table(const std::vector<TableRow>& rows, const std::string& mapLine = "map              : q2dm1") {
  std::string text = kPrint + mapLine +
                     "\nnum score ping name            lastmsg address               qport \n"
                     "--- ----- ---- --------------- ------- --------------------- ------\n";
  for (const TableRow& r : rows) {
    char line[256];
    std::snprintf(line, sizeof line, "%3d %5d %4d %-15s %7d %-21s %5d\n", r.num, r.score, r.ping, r.name.c_str(), 0,
                  r.address.c_str(), 1234);
    text += line;
  }
  return text + "\n";
}

inline std::string Q3StatusResponse(const std::vector<std::string>& names) {
  std::string text = std::string("\xFF\xFF\xFF\xFF") + "statusResponse\n\\sv_hostname\\Test\\mapname\\q3dm17\n";
  for (const std::string& n : names) text += "0 0 \"" + n + "\"\n";
  return text;
}

inline std::string Q2StatusResponse(const std::vector<std::string>& names) {
  std::string text = kPrint + "\\mapname\\q2dm1\\hostname\\Test\n";
  for (const std::string& n : names) text += "0 0 \"" + n + "\"\n";
  return text;
}

inline std::string ServerInfo(const std::vector<std::pair<std::string, std::string>>& rules) {
  std::string text = kPrint + "Server info settings:\n";
  for (const auto& [key, value] : rules) {
    std::string line = key;
    line.resize(20, ' ');
    text += line + value + "\n";
  }
  return text;
}

inline std::string UserInfo(const std::vector<std::pair<std::string, std::string>>& lines) {
  std::string text = kPrint + "userinfo\n--------\n";
  for (const auto& [key, value] : lines) {
    std::string line = key;
    line.resize(21, ' ');
    text += line + value + "\n";
  }
  return text;
}

}  // namespace test
