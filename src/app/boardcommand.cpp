#include "app/boardcommand.h"

#include <QPointer>

#include <memory>

#include "addressbook/serverstore.h"
#include "app/mainunit.h"
#include "app/windowrequests.h"
#include "board/boardform.h"

namespace app {

namespace {
QPointer<TF_Board> board;
}

void BoardCommand(TF_Main& frame) {
  if (board) {
    frame.ActivateChild(board);
    return;
  }
  auto window = std::make_unique<TF_Board>();
  window->SetServers(LoadServerList());
  ConnectBoardRequests(*window, frame);
  board = window.release();
  frame.AddChild(board);
}

TF_Board* OpenBoard() { return board; }

}  // namespace app
