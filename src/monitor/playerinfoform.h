#pragma once
// The player info dialog: one player's settings as the server's dumpuser lists them, and
// the picture of the player's model. "&Ok" closes it; "&Kick Player" closes it with the
// abort result, upon which the monitor window offers to kick the player.
#include <QDialog>

#include <string>
#include <vector>

#include "common/colorcodes.h"
#include "protocol/rows.h"

class QGroupBox;
class QPushButton;
class QTreeWidget;
class QFrame;
class QKeyEvent;
class QShowEvent;

namespace monitor {
class PictureBox;
}

class TPlayerInfoForm : public QDialog {
 public:
  // The player's name is drawn in the game's colours (`codes`), or with its codes as text.
  explicit TPlayerInfoForm(common::ColorCodes codes = common::ColorCodes::None, bool showCodes = false,
                           QWidget* parent = nullptr);

  // Shows the rows (Description, Value), replacing what the list held.
  void ShowRows(const std::vector<protocol::UserInfoRow>& rows);

  QGroupBox* GroupBox1;
  QTreeWidget* LV_PlayerInfo;
  QFrame* P_Picture;
  monitor::PictureBox* ImagePlayer;
  QPushButton* Btn_Ok;
  QPushButton* Btn_Kick;

 private:
  common::ColorCodes codes_;

 protected:
  // Esc closes with the OK result, as "&Ok" does.
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
};
