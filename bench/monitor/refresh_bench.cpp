// One full refresh of a 64-player Quake 3 server applied to a monitor window on the offscreen
// platform: the status response, the status table (three datagrams) and the server info, as
// the scripted server sends them, handed to the window's session one datagram at a time, as
// its client's data handler does. The window works in a folder holding the shipped data and a
// 512 x 512 level picture of the server's map, as after `make levelshots`. The bound is 1 ms
// per refresh.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "monitor/picturebox.h"
#include "monitor/q3server.h"
#include "platform/paths.h"
#include "support/gameserver/game_server.h"
#include "support/gameserver/udp_client.h"

namespace {

struct Refresh {
  std::vector<std::string> datagrams;  // in the order a refresh receives them
  size_t bytes = 0;
};

Refresh Capture() {
  test::GameServerConfig config;
  config.password = "secret";
  for (int i = 0; i < 64; ++i)
    config.players.push_back(test::Player::Human("^" + std::to_string(i % 8) + "Player" + std::to_string(i),
                                                 "203.0.113." + std::to_string(i) + ":27960", 20 + i, i % 17));
  test::GameServer server(config);
  server.Start();
  const test::UdpClient client;
  Refresh refresh;
  for (const std::string& request : {test::QueryPacket(test::Game::Quake3), test::RconPacket("secret", " status"),
                                     test::RconPacket("secret", " serverinfo")})
    for (std::string& datagram : client.Ask(server.Port(), request)) {
      refresh.bytes += datagram.size();
      refresh.datagrams.push_back(std::move(datagram));
    }
  return refresh;
}

// A working folder with the shipped data and a level picture of the scripted server's map.
std::string WorkingFolder() {
  std::string folder = (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX").string();
  if (!mkdtemp(folder.data())) std::exit(1);
  std::filesystem::copy(CORVANE_DATA, folder, std::filesystem::copy_options::recursive);
  QImage shot(512, 512, QImage::Format_RGB32);
  shot.fill(Qt::darkCyan);
  shot.save(QString::fromStdString(folder + "/levels/Quake3/q3dm17.jpg"), "JPG");
  return folder;
}

void BM_FullRefresh64Players(benchmark::State& state) {
  static const Refresh refresh = Capture();
  const std::string folder = WorkingFolder();
  platform::SetCurrentDirectory(folder);
  auto* window = new TF_Q3Server;
  window->resize(window->sizeHint());
  window->show();
  auto& session = window->Session();
  session.FState = msPolling;
  const auto apply = [&] {
    for (const std::string& datagram : refresh.datagrams) session.DataArrived(datagram);
  };
  apply();
  QCoreApplication::processEvents();
  if (window->LV_Players->topLevelItemCount() != 64 || window->LV_Players->topLevelItem(63)->text(4).isEmpty() ||
      window->LV_Settings->topLevelItemCount() < 20 || window->Image_Level->PicturePath() != "levels\\Quake3\\q3dm17.jpg") {
    state.SkipWithError("the refresh did not fill the window");
    delete window;
    return;
  }
  for (auto _ : state) apply();
  state.counters["datagrams"] = static_cast<double>(refresh.datagrams.size());
  state.counters["reply_bytes"] = static_cast<double>(refresh.bytes);
  state.counters["rules"] = window->LV_Settings->topLevelItemCount();
  delete window;
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_FullRefresh64Players)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
