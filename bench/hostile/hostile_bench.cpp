// Inputs a hostile server or a spoiled file can hand the program, each of which once took time
// that grew with the square of its size: a 64 KB status table of 6 500 rows, a to-do document
// with 20 000 bold toggles in one paragraph, a settings description asking for 999 999 999
// fields or holding 5 900 sections. Each should cost a few milliseconds at most.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>
#include <string>
#include <vector>

#include "about/richtextview.h"
#include "platform/ini.h"
#include "protocol/game.h"
#include "protocol/parsers.h"
#include "settings/description.h"

namespace {

// 6 500 rows of distinct names, about 64 KB, as the second reply of a window whose list
// already holds those names.
std::string BigStatusTable(std::vector<protocol::PlayerRow>& names) {
  std::string table = "\xFF\xFF\xFF\xFFprint\nmap: q3dm17\ncl score ping name address rate\n-- ----- ---- ---- ------- ----\n";
  names.clear();
  for (int i = 0; i < 6500; ++i) {
    const std::string name = "p" + std::to_string(i);
    table += std::to_string(i % 64) + " 1 0 " + name + " 0 1\n";
    names.emplace_back().name = name;
  }
  return table + "\n";
}

void BM_StatusTable6500Rows(benchmark::State& state) {
  std::vector<protocol::PlayerRow> names;
  const std::string table = BigStatusTable(names);
  for (auto _ : state) {
    std::vector<protocol::PlayerRow> rows = names;
    protocol::ParseStatusTable(protocol::kQuake3, table, rows);
    benchmark::DoNotOptimize(rows.data());
  }
  state.counters["KB"] = static_cast<double>(table.size()) / 1024.0;
}

void BM_ToDoDocument20000BoldToggles(benchmark::State& state) {
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ";
  for (int i = 0; i < 20000; ++i) rtf += "\\b x\\b0 y";
  rtf += "\\par}";
  for (auto _ : state) {
    QTextDocument document;
    about::LoadRichText(rtf, document);
    benchmark::DoNotOptimize(document.characterCount());
  }
}

void BM_DescriptionAsking999999999Fields(benchmark::State& state) {
  const platform::IniDocument ini = platform::IniDocument::FromBytes("[Common]\nNumFields=999999999\n[Field999999999]\nName=x\n");
  for (auto _ : state) benchmark::DoNotOptimize(settings::ReadDescription(ini).fields.size());
}

void BM_Description5900Sections(benchmark::State& state) {
  std::string text = "[Common]\nNumFields=5900\n";
  for (int n = 1; n <= 5900; ++n) text += "[Field" + std::to_string(n) + "]\nType=INT\nName=v" + std::to_string(n) + "\n";
  for (auto _ : state) {
    // Read from its bytes each time, as the dialog reads the file.
    const platform::IniDocument ini = platform::IniDocument::FromBytes(text);
    benchmark::DoNotOptimize(settings::ReadDescription(ini).fields.size());
  }
}

BENCHMARK(BM_StatusTable6500Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToDoDocument20000BoldToggles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DescriptionAsking999999999Fields)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Description5900Sections)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The text document needs fonts, which need a GUI application; no window is shown.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
