// Program start: the directory, the units' settings, the application, the frame and the
// dialogs that live for the whole run; then the event loop until the frame has closed.
#include "app/application.h"
#include "app/launchernotice.h"
#include "app/mainunit.h"
#include "app/startup.h"
#include "platform/paths.h"

int main(int argc, char* argv[]) {
  platform::InitCurrentDirectory();
  // The application object exists before any unit's start-up code, as the runtime's does:
  // fonts and colours of the saved settings need it.
  TApplication application(argc, argv);
  app::LoadUnitSettings();
  application.Initialize();

  TF_Main frame;
  F_Main = &frame;
  app::RegisterFrameCommands(frame);
  app::CreateLongLivedForms();
  app::CloseOnTerminationSignal(frame);

  frame.show();
  frame.ShowStatusText(app::TakeLauncherNotice());
  const int result = application.exec();
  app::DestroyLongLivedForms();
  return result;
}
