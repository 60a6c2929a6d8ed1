// The parsers, the classifier and the reply assembler on the captured replies of a server
// with 14 players. Besides time per call, each benchmark reports per_KB: the time
// per kilobyte of reply text.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/text.h"
#include "protocol/assembler.h"
#include "protocol/classify.h"
#include "protocol/cvarlist.h"
#include "protocol/parsers.h"

namespace {

using namespace protocol;

std::string Capture(const char* name) {
  const std::string path = std::string(CORVANE_CAPTURES) + "/" + name + ".bin";
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    std::fprintf(stderr, "missing capture %s\n", path.c_str());
    std::exit(1);
  }
  std::string bytes;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

std::string Joined(const char* first, const char* second) { return Capture(first) + Capture(second).substr(10); }

void PerKilobyte(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["per_KB"] =
      benchmark::Counter(static_cast<double>(bytes) / 1024.0, benchmark::Counter::kIsIterationInvariantRate |
                                                                          benchmark::Counter::kInvert);
}

void BM_ParseStatusResponse(benchmark::State& state) {
  const std::string reply = Capture("q3_getstatus_14bots");
  std::vector<PlayerRow> rows;
  for (auto _ : state) {
    ParseStatusResponse(kQuake3, reply, rows);
    benchmark::DoNotOptimize(rows.data());
  }
  PerKilobyte(state, reply.size());
}

void BM_ParseStatusTable(benchmark::State& state) {
  const std::string reply = Joined("q3_status_14bots_1", "q3_status_14bots_2");
  std::vector<PlayerRow> names;
  ParseStatusResponse(kQuake3, Capture("q3_getstatus_14bots"), names);
  for (auto _ : state) {
    std::vector<PlayerRow> rows = names;
    ParseStatusTable(kQuake3, reply, rows);
    benchmark::DoNotOptimize(rows.data());
  }
  PerKilobyte(state, reply.size());
}

void BM_ParseServerInfo(benchmark::State& state) {
  const std::string reply = Joined("q3_serverinfo_1", "q3_serverinfo_2");
  std::vector<RuleRow> rules;
  std::size_t effects = 0;
  ServerInfoHooks hooks{[&](const std::string&) { ++effects; }, [&](const std::string&) { ++effects; }};
  for (auto _ : state) {
    ParseServerInfo(kQuake3, reply, rules, hooks);
    benchmark::DoNotOptimize(rules.data());
  }
  benchmark::DoNotOptimize(effects);
  PerKilobyte(state, reply.size());
}

void BM_ParseUserInfo(benchmark::State& state) {
  const std::string reply = Capture("q3_dumpuser_2");
  std::vector<UserInfoRow> rows;
  for (auto _ : state) {
    rows.clear();
    ParseUserInfo(kQuake3, reply, rows, [](const std::string&) {});
    benchmark::DoNotOptimize(rows.data());
  }
  PerKilobyte(state, reply.size());
}

void BM_ClassifyReply(benchmark::State& state) {
  // One refresh: query answer, status table, server info, each in the polling state.
  const std::vector<std::string> replies = {Capture("q3_getstatus_14bots"), Joined("q3_status_14bots_1", "q3_status_14bots_2"),
                                            Joined("q3_serverinfo_1", "q3_serverinfo_2"), Capture("q3_kick_42")};
  std::size_t bytes = 0;
  for (const std::string& r : replies) bytes += r.size();
  for (auto _ : state)
    for (const std::string& r : replies) benchmark::DoNotOptimize(ClassifyReply(kQuake3, msPolling, r));
  PerKilobyte(state, bytes);
}

void BM_AssembleRefresh(benchmark::State& state) {
  const std::vector<std::string> datagrams = {Capture("q3_getstatus_14bots"), Capture("q3_status_14bots_1"),
                                              Capture("q3_status_14bots_2"), Capture("q3_serverinfo_1"),
                                              Capture("q3_serverinfo_2")};
  std::size_t bytes = 0;
  for (const std::string& d : datagrams) bytes += d.size();
  ReplyAssembler assembler(kQuake3);
  TimePoint now{};
  for (auto _ : state) {
    for (const std::string& d : datagrams) {
      now += std::chrono::microseconds(100);
      assembler.NoteSent(now);
      benchmark::DoNotOptimize(assembler.Feed(d, now));
    }
  }
  PerKilobyte(state, bytes);
}

void BM_ReadCvarList(benchmark::State& state) {
  // The real server's listing of 285 variables in its ten datagrams.
  std::vector<std::string> datagrams;
  std::size_t bytes = 0;
  for (int i = 1; i <= 10; ++i) {
    datagrams.push_back(Capture(("q3_cvarlist_" + std::to_string(i)).c_str()));
    bytes += datagrams.back().size();
  }
  for (auto _ : state) {
    CvarListReader reader(kQuake3);
    for (const std::string& d : datagrams) reader.Feed(d);
    benchmark::DoNotOptimize(reader.Variables().data());
  }
  PerKilobyte(state, bytes);
}

void BM_StripColorCodes(benchmark::State& state) {
  const std::string text = Capture("q3_getstatus_14bots");
  for (auto _ : state) benchmark::DoNotOptimize(StripColorCodes(text));
  PerKilobyte(state, text.size());
}

BENCHMARK(BM_ParseStatusResponse);
BENCHMARK(BM_ParseStatusTable);
BENCHMARK(BM_ParseServerInfo);
BENCHMARK(BM_ParseUserInfo);
BENCHMARK(BM_ClassifyReply);
BENCHMARK(BM_AssembleRefresh);
BENCHMARK(BM_ReadCvarList);
BENCHMARK(BM_StripColorCodes);

}  // namespace

BENCHMARK_MAIN();
