#include "app/application.h"

#include <QIcon>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/errorhandler.h"

namespace {
constexpr const char* kHelpFileProperty = "HelpFile";
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString TApplication::Title() { return "Corvane"; }

QString TApplication::HelpFile() {
  return QCoreApplication::instance() ? QCoreApplication::instance()->property(kHelpFileProperty).toString() : QString();
}

void TApplication::Initialize() {
  setApplicationName(Title());
  setProperty(kHelpFileProperty, QString("Corvane.hlp"));
  setWindowIcon(QIcon(":/images/corvane.png"));
  // The installed desktop entry, org.corvane.Corvane.desktop, by which a desktop shows the
  // program's windows with its name and icon.
  setDesktopFileName("org.corvane.Corvane");
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    platform::ShowException(error);
  } catch (...) {
    platform::ShowUnknownException();
  }
  return false;
}

namespace app {
namespace {

int signalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignal(QWidget& window) {
  // The handler only writes to a socket; the window is closed from the event loop.
  if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [target = QPointer<QWidget>(&window)] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
    if (target) target->close();
  });
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace app
