#include "program_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <filesystem>
#include <sstream>

#include "addressbook/forms.h"
#include "addressbook/quickconnectform.h"
#include "addressbook/spinedit.h"
#include "app/startup.h"
#include "common/text.h"
#include "net/requestpacer.h"

namespace e2e {

const std::vector<std::string> kPlainBots = {"sarge", "kyonshi", "major", "gargoyle", "merman",
                                             "liz",   "beret",   "skelebot", "sorceress", "arachna"};
const std::vector<std::pair<std::string, std::string>> kNamedBots = {{"grism", "Has Space"},
                                                                     {"sarge", "^1Very^7LongName"},
                                                                     {"angelyss", "ExtraordinarilyLongName"},
                                                                     {"grunt", "^4Blue^2Green ^3x"}};
std::size_t BotCount() { return kPlainBots.size() + kNamedBots.size(); }

std::unique_ptr<OpenArenaServer> StartServer(const OpenArenaOptions& options, bool bots) {
  if (!OpenArenaServer::Installed()) {
    ADD_FAILURE() << OpenArenaServer::kBinary << " is missing: install the Debian package openarena-server "
                  << "(make test does)";
    return nullptr;
  }
  OpenArenaOptions logged = options;
  logged.developer = true;  // the server then logs every request its rate limit drops
  auto server = std::make_unique<OpenArenaServer>(logged);
  try {
    server->Start();
  } catch (const std::exception& error) {
    ADD_FAILURE() << error.what();
    return nullptr;
  }
  if (bots && !server->AddBots(kPlainBots, kNamedBots, BotCount())) {
    ADD_FAILURE() << "the bots did not join:\n" << server->Log();
    return nullptr;
  }
  return server;
}

void ProgramTest::SetUp() {
  // The working folder holds the shipped data, as `make run` and the launcher prepare it.
  std::filesystem::copy(test::SourceDir() + "/data", dir_.Path(),
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  // The pacer keeps its model of the server's bucket from one test to the next, as it does
  // from one window to the next in the program: the server remembers what was sent.
  net::RequestPacer::Instance().Configure(net::RequestPacer::DefaultBurst, net::RequestPacer::DefaultPeriodMs);
  frame_ = std::make_unique<TF_Main>();
  F_Main = frame_.get();
  app::RegisterFrameCommands(*frame_);
  app::CreateLongLivedForms();
  frame_->resize(1200, 900);
  frame_->show();
}

void ProgramTest::TearDown() {
  if (server_) {
    const std::vector<std::string> dropped = DroppedRequests(*server_);
    EXPECT_TRUE(dropped.empty()) << dropped.size() << " requests dropped by the server, the first: " << dropped.front();
  }
  frame_->CloseAll1Click();
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
  app::DestroyLongLivedForms();
  frame_.reset();
}

namespace {

// Answers the quick connect dialog as a user fills it in and presses "&Ok".
std::function<int(QDialog&)> TypeServer(const OpenArenaServer& server, const std::string& password, bool ipv6) {
  const std::string port = ipv6 ? server.Port6Text() : server.PortText();
  const QString host = ipv6 ? "::1" : "127.0.0.1";
  return [port, password, host](QDialog& dialog) {
    QuickConnectForm->E_Hostname->setText(host);
    QuickConnectForm->CB_GameType->setCurrentIndex(0);
    QuickConnectForm->SE_Port->SetText(QString::fromStdString(port));
    QuickConnectForm->E_rconPassword->setText(QString::fromStdString(password));
    dialog.setResult(platform::mrNone);
    QuickConnectForm->Btn_Ok->click();
    return dialog.result();
  };
}

template <class W>
W* ActiveChild(TF_Main& frame) {
  const std::vector<QWidget*> children = frame.Children();
  return children.empty() ? nullptr : dynamic_cast<W*>(children[0]);
}

}  // namespace

TF_Q3Server* ProgramTest::QuickConnect(const OpenArenaServer& server, const std::string& password, bool ipv6) {
  dialogs_.modalAnswers.push_back(TypeServer(server, password, ipv6));
  frame_->QuickConnect1->trigger();
  return ActiveChild<TF_Q3Server>(*frame_);
}

TTerminalForm* ProgramTest::QuickConsole(const OpenArenaServer& server, const std::string& password, bool ipv6) {
  dialogs_.modalAnswers.push_back(TypeServer(server, password, ipv6));
  frame_->RemoteConsole1->trigger();
  return ActiveChild<TTerminalForm>(*frame_);
}

bool ProgramTest::WaitFor(const std::function<bool()>& condition, int ms) { return QTest::qWaitFor(condition, ms); }

bool ProgramTest::ServerShows(const std::function<bool()>& check, int ms) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    if (check()) return true;
    if (clock.elapsed() > ms) return false;
    QTest::qWait(1100);
  }
}

bool ProgramTest::WaitForCompleteRefresh(TF_Q3Server* window, std::size_t players, int ms) {
  return WaitFor([&] {
    return window->State() == msPolling && !window->Session().ChainWaiting() &&
           window->LV_Players->topLevelItemCount() >= static_cast<int>(players) &&
           AllRowsComplete(window->LV_Players) && window->LV_Settings->topLevelItemCount() > 0;
  }, ms);
}

std::vector<std::string> ProgramTest::RowOf(const QTreeWidget* list, const ServerPlayer& player) {
  const int row = FindPlayer(list, QString::fromStdString(TrimSpaces(StripColorCodes(player.name))));
  return row < 0 ? std::vector<std::string>() : RowTexts(list, row);
}

QString ProgramTest::RuleValue(const QTreeWidget* list, const QString& rule) {
  const int row = FindRule(list, rule);
  return row < 0 ? QString() : list->topLevelItem(row)->text(1);
}

std::vector<std::string> ProgramTest::DroppedRequests(const OpenArenaServer& server) {
  std::vector<std::string> dropped;
  std::istringstream log(server.Log());
  for (std::string line; std::getline(log, line);)
    if (line.find("rate limit from 127.0.0.1 ") != std::string::npos || line.find("rate limit from ::1 ") != std::string::npos)
      dropped.push_back(line);
  return dropped;
}

}  // namespace e2e
