// The server board with two hundred stored servers, each a scripted Quake 3 server with 14
// players, polled every 10 seconds, measured over a minute once every server has answered: the
// program's CPU time as a share of one core, and its resident memory. The servers run in a child
// process so that only the program is measured. Bounds: 1 % and 100 MB.
#include <unistd.h>

#include <QApplication>
#include <QSpinBox>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "addressbook/serverstore.h"
#include "app/boardcommand.h"
#include "app/mainunit.h"
#include "app/startup.h"
#include "board/boardform.h"
#include "measure/measure.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/sample_players.h"

namespace {

constexpr int kServers = 200;
constexpr int kIntervalSeconds = 10;
constexpr int kWarmUpSeconds = 15;
constexpr int kMeasureSeconds = 60;

bool AllAnswering(const TF_Board& board) {
  for (const board::ServerRow& row : const_cast<TF_Board&>(board).Session().Rows())
    if (row.lamp != board::Lamp::Answering || row.bots != 14) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  bench::ChildServers servers(kServers, [](int) {
    test::GameServerConfig config;
    config.players = test::BotPlayers(14);
    config.lifetime = std::chrono::seconds(kWarmUpSeconds + kMeasureSeconds + 60);
    return config;
  });
  const std::vector<std::string>& ports = servers.Ports();
  if (ports.size() != kServers) {
    std::fprintf(stderr, "the servers did not start\n");
    return 1;
  }

  // The address book of a scratch working folder.
  const std::filesystem::path home = std::filesystem::temp_directory_path() / ("corvane-board-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(home);
  platform::SetCurrentDirectory(home.string());
  platform::testing::SetIniSyncToDisk(false);  // two hundred entries are written key by key
  for (int i = 0; i < kServers; ++i)
    WriteEntry(i, {"127.0.0.1", ports[static_cast<std::size_t>(i)], "", 0, "Server " + std::to_string(i + 1)}, i + 1);

  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  TF_Main frame;
  F_Main = &frame;
  app::RegisterFrameCommands(frame);
  frame.resize(1280, 1024);
  frame.show();
  const double rssEmpty = bench::MemoryMb("VmRSS");

  frame.Board1->trigger();
  TF_Board* board = app::OpenBoard();
  board->SE_Interval->setValue(kIntervalSeconds);
  bench::RunEventLoop(kWarmUpSeconds);
  const bool answeringBefore = AllAnswering(*board);

  const bench::Usage usage = bench::MeasureEventLoop(kMeasureSeconds);
  const bool answeringAfter = AllAnswering(*board);

  frame.CloseAll1Click();
  bench::RunEventLoop(1);
  std::filesystem::remove_all(home);

  std::printf("%d servers on the board, polled every %d s (each 14 players), measured over %.1f s:\n", kServers,
              kIntervalSeconds, usage.wallSeconds);
  std::printf("  every server answering: %s before, %s after\n", answeringBefore ? "yes" : "NO",
              answeringAfter ? "yes" : "NO");
  bench::PrintUsage(usage, rssEmpty, 1.0, 100.0);
  return answeringBefore && answeringAfter ? 0 : 1;
}
