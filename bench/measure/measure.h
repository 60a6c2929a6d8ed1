#pragma once
// What the driver benchmarks share: scripted game servers run in a child process (so that only
// the program is measured), the program's CPU time and resident memory, and the event loop run
// as the program runs it.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/gameserver/game_server.h"

namespace bench {

// Scripted servers in a child process, made by `config` (called with 0 .. count - 1), running
// until the object goes.
class ChildServers {
 public:
  ChildServers(int count, const std::function<test::GameServerConfig(int)>& config) {
    int ends[2];
    if (pipe(ends) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ends[0]);
      Run(count, config, ends[1]);
    }
    close(ends[1]);
    for (int i = 0; i < count; ++i) {
      std::uint16_t port = 0;
      if (read(ends[0], &port, sizeof port) != sizeof port) break;
      ports_.push_back(std::to_string(port));
    }
    close(ends[0]);
  }
  ~ChildServers() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  ChildServers(const ChildServers&) = delete;
  ChildServers& operator=(const ChildServers&) = delete;

  // The servers' ports; fewer than asked for when they did not all start.
  const std::vector<std::string>& Ports() const { return ports_; }

 private:
  [[noreturn]] static void Run(int count, const std::function<test::GameServerConfig(int)>& config, int out) {
    std::vector<std::unique_ptr<test::GameServer>> servers;
    for (int i = 0; i < count; ++i) {
      servers.push_back(std::make_unique<test::GameServer>(config(i)));
      servers.back()->Start();
      const std::uint16_t port = servers.back()->Port();
      if (write(out, &port, sizeof port) != sizeof port) std::_Exit(1);
    }
    close(out);
    for (;;) pause();
  }

  pid_t pid_ = -1;
  std::vector<std::string> ports_;
};

inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// VmRSS or VmHWM from /proc/self/status, in megabytes.
inline double MemoryMb(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
  return -1;
}

// Runs the event loop as the program's own does (blocking until something happens) for a while.
inline void RunEventLoop(int seconds) {
  QEventLoop loop;
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  loop.exec();
}

// What the program used while the event loop ran.
struct Usage {
  double cpuSeconds = 0;
  double wallSeconds = 0;
  double rssMb = 0;   // resident at the end
  double peakMb = 0;  // the most resident at any time
  double SharePercent() const { return 100.0 * cpuSeconds / wallSeconds; }
};

inline Usage MeasureEventLoop(int seconds) {
  Usage usage;
  const double cpuStart = CpuSeconds();
  QElapsedTimer clock;
  clock.start();
  RunEventLoop(seconds);
  usage.cpuSeconds = CpuSeconds() - cpuStart;
  usage.wallSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
  usage.rssMb = MemoryMb("VmRSS");
  usage.peakMb = MemoryMb("VmHWM");
  return usage;
}

// Prints the CPU and memory lines against their bounds (the CPU as a share of one core, the
// memory at its peak); true when both are met.
inline bool PrintUsage(const Usage& usage, double frameAloneMb, double cpuBoundPercent, double memoryBoundMb) {
  const bool cpuMet = usage.SharePercent() <= cpuBoundPercent;
  const bool memoryMet = usage.peakMb <= memoryBoundMb;
  std::printf("  CPU: %.3f s = %.2f %% of one core (bound %g %%): %s\n", usage.cpuSeconds, usage.SharePercent(),
              cpuBoundPercent, cpuMet ? "met" : "MISSED");
  std::printf("  RSS: %.1f MB (frame alone %.1f MB, peak %.1f MB; bound %g MB): %s\n", usage.rssMb, frameAloneMb,
              usage.peakMb, memoryBoundMb, memoryMet ? "met" : "MISSED");
  return cpuMet && memoryMet;
}

}  // namespace bench

