#pragma once
// Child windows for the frame's tests: they log when they close and, if asked, bring a menu
// to merge or refuse to close.
#include <QMenu>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/mdi.h"

class TF_Main;
class QMdiSubWindow;

namespace apptest {

using Log = std::vector<std::string>;

class TestChild : public QWidget, public platform::MergedMenuOwner {
 public:
  // The child logs "close <name>" to log when its close handler runs.
  TestChild(std::string name, Log& log, bool withMenu = false);
  QMenu* MergedMenu() override { return menu_; }
  QMdiSubWindow* Frame() const;
  const std::string& Name() const { return name_; }

  bool refuseClose = false;
  // Set while the close handler runs: whether the main frame was still visible then.
  const QWidget* watchedFrame = nullptr;
  bool frameVisibleAtClose = false;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::string name_;
  Log& log_;
  QMenu* menu_ = nullptr;
};

// Adds a child of the given size to the frame and returns it.
TestChild* AddTestChild(TF_Main& frame, const std::string& name, Log& log, bool withMenu = false,
                        QSize size = QSize(200, 120));

// Runs the event loop until every deferred deletion has happened.
void Settle();

}  // namespace apptest
