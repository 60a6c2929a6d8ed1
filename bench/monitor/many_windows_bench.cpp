// Fifty monitor windows in the frame, each polling its own scripted Quake 3 server with 14
// players every 10 seconds (the default interval), measured over a minute once every window
// polls: the program's CPU time as a share of one core, and its resident memory. The servers
// run in a child process so that only the program is measured. Bounds: 1 % and 150 MB.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/mainunit.h"
#include "app/opencommands.h"
#include "app/startup.h"
#include "games/registry.h"
#include "monitor/q3server.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/sample_players.h"

namespace {

constexpr int kWindows = 50;
constexpr int kWarmUpSeconds = 15;
constexpr int kMeasureSeconds = 60;

// The child: starts the servers, writes their ports to the pipe, runs until killed.
[[noreturn]] void RunServers(int out) {
  std::vector<std::unique_ptr<test::GameServer>> servers;
  for (int i = 0; i < kWindows; ++i) {
    test::GameServerConfig config;
    config.password = "secret";
    config.players = test::BotPlayers(14);
    config.lifetime = std::chrono::seconds(kWarmUpSeconds + kMeasureSeconds + 60);
    servers.push_back(std::make_unique<test::GameServer>(config));
    servers.back()->Start();
    const std::uint16_t port = servers.back()->Port();
    if (write(out, &port, sizeof port) != sizeof port) std::_Exit(1);
  }
  close(out);
  for (;;) pause();
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// VmRSS or VmHWM from /proc/self/status, in megabytes.
double MemoryMb(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
  return -1;
}

// Runs the event loop as the program's own does (blocking until something happens) for a while.
void Run(int seconds) {
  QEventLoop loop;
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  loop.exec();
}

bool AllPolling(const std::vector<TF_ServerMonitor*>& windows) {
  for (TF_ServerMonitor* window : windows)
    if (window->State() != msPolling || window->LV_Players->topLevelItemCount() != 14) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return 1;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    RunServers(pipeEnds[1]);
  }
  close(pipeEnds[1]);
  std::vector<std::string> ports;
  for (int i = 0; i < kWindows; ++i) {
    std::uint16_t port = 0;
    if (read(pipeEnds[0], &port, sizeof port) != sizeof port) {
      std::fprintf(stderr, "the servers did not start\n");
      kill(child, SIGKILL);
      return 1;
    }
    ports.push_back(std::to_string(port));
  }

  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  TF_Main frame;
  F_Main = &frame;
  app::RegisterFrameCommands(frame);
  frame.resize(1280, 1024);
  frame.show();
  const double rssEmpty = MemoryMb("VmRSS");

  std::vector<TF_ServerMonitor*> windows;
  for (int i = 0; i < kWindows; ++i)
    windows.push_back(app::OpenServerWindow(frame, *games::Find(0), "127.0.0.1", ports[static_cast<size_t>(i)], "secret",
                                            "Server " + std::to_string(i + 1)));
  Run(kWarmUpSeconds);
  const bool pollingBefore = AllPolling(windows);

  const double cpuStart = CpuSeconds();
  QElapsedTimer clock;
  clock.start();
  Run(kMeasureSeconds);
  const double cpu = CpuSeconds() - cpuStart;
  const double wall = static_cast<double>(clock.elapsed()) / 1000.0;
  const double rss = MemoryMb("VmRSS");
  const double peak = MemoryMb("VmHWM");
  const bool pollingAfter = AllPolling(windows);

  frame.CloseAll1Click();
  Run(1);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);

  const double share = 100.0 * cpu / wall;
  std::printf("%d windows polling every 10 s (each server 14 players), measured over %.1f s:\n", kWindows, wall);
  std::printf("  every window polling and complete: %s before, %s after\n", pollingBefore ? "yes" : "NO",
              pollingAfter ? "yes" : "NO");
  std::printf("  CPU: %.3f s = %.2f %% of one core (bound 1 %%): %s\n", cpu, share, share <= 1.0 ? "met" : "MISSED");
  std::printf("  RSS: %.1f MB (frame alone %.1f MB, peak %.1f MB; bound 150 MB): %s\n", rss, rssEmpty, peak,
              peak <= 150.0 ? "met" : "MISSED");
  return pollingBefore && pollingAfter ? 0 : 1;
}
