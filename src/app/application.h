#pragma once
// The application object: the event loop, the program's title, help file name and icon, and
// the last line of the general error handler.
#include <QApplication>
#include <QString>

class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);

  // "Corvane": the title of the program, its plain and error boxes.
  static QString Title();
  // The name of the help file, "Corvane.hlp", registered at start as the application's
  // property "HelpFile". No command opens it.
  static QString HelpFile();

  // Sets the title, the help file name, the window icon and the desktop entry it belongs to.
  void Initialize();

  // Command handlers run under platform::Guarded. Should an exception still escape an event
  // handler, it is shown here by the general error handler and the program keeps running.
  bool notify(QObject* receiver, QEvent* event) override;
};

namespace app {

// Closes the window the way its close box does when the process is asked to terminate
// (SIGTERM, SIGINT, SIGHUP), so that the children are closed and the program ends normally.
void CloseOnTerminationSignal(QWidget& window);

}  // namespace app
