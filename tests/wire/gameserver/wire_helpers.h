#pragma once
// Shared pieces of the test server's wire tests: a server with a client, and reply helpers.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/gameserver/game_server.h"
#include "support/gameserver/udp_client.h"
#include "support/test_env.h"

namespace test {

using namespace std::chrono_literals;

inline const std::string kMarker = "\xff\xff\xff\xff";
inline const std::string kPrint = kMarker + "print\n";

inline std::string Spaces(std::size_t n) { return std::string(n, ' '); }

// The text of a print datagram after its marker and "print" line; fails the test on anything else.
inline std::string PrintText(const std::string& datagram) {
  EXPECT_EQ(datagram.substr(0, kPrint.size()), kPrint) << datagram;
  return datagram.size() >= kPrint.size() ? datagram.substr(kPrint.size()) : std::string();
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A reply recorded from a real dedicated server (see captures/README).
inline std::string Capture(const std::string& name) {
  std::ifstream in(SourceDir() + "/tests/wire/gameserver/captures/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A started server and a client socket beside it.
class Wire {
 public:
  explicit Wire(GameServerConfig config) : game(config.game), server(std::move(config)) { server.Start(); }

  // Sends and returns every reply datagram (waits a moment after the last one).
  std::vector<std::string> Ask(const std::string& bytes) { return client.Ask(server.Port(), bytes); }
  std::vector<std::string> Rcon(const std::string& command, const std::string& password = "secret") {
    return Ask(RconPacket(password, command));
  }
  // The text of the one datagram a remote command answers; an empty text when nothing came.
  std::string RconText(const std::string& command, const std::string& password = "secret") {
    client.Send(server.Port(), RconPacket(password, command));
    const auto reply = client.Receive(2s);
    EXPECT_TRUE(reply) << "no reply to " << command;
    return reply ? PrintText(*reply) : std::string();
  }
  std::string Query() {
    client.Send(server.Port(), QueryPacket(game));
    const auto reply = client.Receive(2s);
    return reply.value_or(std::string());
  }

  Game game;
  GameServer server;
  UdpClient client;
};

}  // namespace test
