#include "board/boardstore.h"

#include <algorithm>

#include "platform/convert.h"
#include "platform/ini.h"
#include "platform/paths.h"

namespace board {

namespace {

constexpr const char* kInterval = "Interval";
constexpr const char* kNumPatterns = "NumPatterns";
// A hand-edited NumPatterns beyond this is taken as this many.
constexpr int kMaxPatterns = 10000;

std::string PatternKey(int index) { return "Pattern" + platform::IntToStr(index); }

}  // namespace

BoardSettings LoadBoardSettings() {
  const auto doc = platform::IniDocument::Load(platform::IniFileName());
  BoardSettings settings;
  settings.intervalSeconds = std::clamp(doc.ReadInteger(kBoardSection, kInterval, kDefaultIntervalSeconds),
                                        kMinIntervalSeconds, kMaxIntervalSeconds);
  for (const AlertKindInfo& info : kAlertKindInfo)
    settings.alerts.Set(info.kind, doc.ReadInteger(kBoardSection, info.key, 1) != 0);
  const int count = std::min(doc.ReadInteger(kWatchListSection, kNumPatterns, 0), kMaxPatterns);
  for (int n = 0; n < count; ++n) {
    const std::string pattern = doc.Value(kWatchListSection, PatternKey(n)).value_or("");
    if (!pattern.empty()) settings.watchPatterns.push_back(pattern);
  }
  return settings;
}

void SaveBoardSettings(const BoardSettings& settings) {
  const std::string file = platform::IniFileName();
  auto doc = platform::IniDocument::LoadForUpdate(file);
  if (!doc) platform::RaiseIniWriteError(file);
  bool written = doc->Write(kBoardSection, kInterval, platform::IntToStr(settings.intervalSeconds));
  for (const AlertKindInfo& info : kAlertKindInfo)
    written = written && doc->Write(kBoardSection, info.key, settings.alerts.On(info.kind) ? "1" : "0");

  // The patterns are rewritten in place; those beyond the new count go.
  const int old = std::min(doc->ReadInteger(kWatchListSection, kNumPatterns, 0), kMaxPatterns);
  const int count = static_cast<int>(settings.watchPatterns.size());
  written = written && doc->Write(kWatchListSection, kNumPatterns, platform::IntToStr(count));
  for (int n = 0; n < count && written; ++n)
    written = doc->Write(kWatchListSection, PatternKey(n), settings.watchPatterns[static_cast<std::size_t>(n)]);
  for (int n = count; n < old; ++n) doc->DeleteKey(kWatchListSection, PatternKey(n));
  if (!written || !doc->Save(file)) platform::RaiseIniWriteError(file);
}

}  // namespace board
