#include <QApplication>
#include <QMainWindow>

#include "platform/paths.h"

int main(int argc, char* argv[]) {
  platform::InitCurrentDirectory();
  QApplication app(argc, argv);
  app.setApplicationName("Corvane");
  QMainWindow frame;
  frame.setWindowTitle("Corvane");
  frame.show();
  return app.exec();
}
