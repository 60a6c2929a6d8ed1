#include "settings/update.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

#include "settings/sequence.h"
#include "settings/settingshost.h"

namespace settings {
namespace {

// One update under way. Its sequence's pending send holds it (through the sequence's
// callbacks), so it lives exactly as long as something is still to leave.
struct UpdateRun {
  TSettingsHost* host = nullptr;
  QPointer<QWidget> window;
  std::weak_ptr<SendSequence> sequence;
  bool finished = false;

  ~UpdateRun() {
    // The window's client closed with commands still queued: give the cursor and the lamp back.
    if (!finished && window) {
      window->unsetCursor();
      host->HoldUpdateLamp(false);
    }
  }
};

std::map<const TSettingsHost*, std::weak_ptr<UpdateRun>>& Runs() {
  static std::map<const TSettingsHost*, std::weak_ptr<UpdateRun>> runs;
  return runs;
}

std::shared_ptr<UpdateRun> Running(const TSettingsHost& host) {
  auto& runs = Runs();
  const auto it = runs.find(&host);
  if (it == runs.end()) return nullptr;
  std::shared_ptr<UpdateRun> run = it->second.lock();
  if (!run || run->finished || run->sequence.expired()) {
    runs.erase(it);
    return nullptr;
  }
  return run;
}

}  // namespace

bool UpdateRunning(const TSettingsHost& host) { return Running(host) != nullptr; }

void StartServerUpdate(TSettingsHost& host, const std::vector<std::string>& commands) {
  if (const auto run = Running(host)) {
    const auto sequence = run->sequence.lock();
    sequence->Append(commands);
    host.SetStatusText(UpdateProgressText(sequence->Sent(), sequence->Total()));
    return;
  }

  auto run = std::make_shared<UpdateRun>();
  run->host = &host;
  run->window = host.HostWindow();
  if (run->window) run->window->setCursor(Qt::WaitCursor);
  host.HoldUpdateLamp(true);
  host.SetStatusText(UpdateProgressText(0, static_cast<int>(commands.size())));

  TSettingsHost* target = &host;
  const auto sequence = SendSequence::Create(
      [target](const std::string& command, std::function<void()> onSent) { target->SendRcon(command, std::move(onSent)); });
  run->sequence = sequence;
  SendSequence* raw = sequence.get();
  sequence->onProgress = [run, raw] {
    run->host->SetStatusText(UpdateProgressText(raw->Sent(), raw->Total()));
  };
  sequence->onDone = [run] {
    run->finished = true;
    if (run->window) run->window->unsetCursor();
    run->host->HoldUpdateLamp(false);
    run->host->SetStatusText("");
    Runs().erase(run->host);
  };
  Runs()[&host] = run;
  sequence->Append(commands);  // with nothing to send this finishes at once
}

}  // namespace settings
