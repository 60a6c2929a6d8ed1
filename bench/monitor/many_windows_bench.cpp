// Fifty monitor windows in the frame, each polling its own scripted Quake 3 server with 14
// players every 10 seconds (the default interval), measured over a minute once every window
// polls: the program's CPU time as a share of one core, and its resident memory. The servers
// run in a child process so that only the program is measured. Bounds: 1 % and 150 MB.
#include <QApplication>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/mainunit.h"
#include "app/opencommands.h"
#include "app/startup.h"
#include "games/registry.h"
#include "measure/measure.h"
#include "monitor/q3server.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/sample_players.h"

namespace {

constexpr int kWindows = 50;
constexpr int kWarmUpSeconds = 15;
constexpr int kMeasureSeconds = 60;

bool AllPolling(const std::vector<TF_ServerMonitor*>& windows) {
  for (TF_ServerMonitor* window : windows)
    if (window->State() != msPolling || window->LV_Players->topLevelItemCount() != 14) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  bench::ChildServers servers(kWindows, [](int) {
    test::GameServerConfig config;
    config.password = "secret";
    config.players = test::BotPlayers(14);
    config.lifetime = std::chrono::seconds(kWarmUpSeconds + kMeasureSeconds + 60);
    return config;
  });
  const std::vector<std::string>& ports = servers.Ports();
  if (ports.size() != kWindows) {
    std::fprintf(stderr, "the servers did not start\n");
    return 1;
  }

  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  TF_Main frame;
  F_Main = &frame;
  app::RegisterFrameCommands(frame);
  frame.resize(1280, 1024);
  frame.show();
  const double rssEmpty = bench::MemoryMb("VmRSS");

  std::vector<TF_ServerMonitor*> windows;
  for (int i = 0; i < kWindows; ++i)
    windows.push_back(app::OpenServerWindow(frame, *games::Find(0), "127.0.0.1", ports[static_cast<size_t>(i)], "secret",
                                            "Server " + std::to_string(i + 1)));
  bench::RunEventLoop(kWarmUpSeconds);
  const bool pollingBefore = AllPolling(windows);

  const bench::Usage usage = bench::MeasureEventLoop(kMeasureSeconds);
  const bool pollingAfter = AllPolling(windows);

  frame.CloseAll1Click();
  bench::RunEventLoop(1);

  std::printf("%d windows polling every 10 s (each server 14 players), measured over %.1f s:\n", kWindows,
              usage.wallSeconds);
  std::printf("  every window polling and complete: %s before, %s after\n", pollingBefore ? "yes" : "NO",
              pollingAfter ? "yes" : "NO");
  bench::PrintUsage(usage, rssEmpty, 1.0, 150.0);
  return pollingBefore && pollingAfter ? 0 : 1;
}
