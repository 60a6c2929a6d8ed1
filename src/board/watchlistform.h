#pragma once
// The board's small settings dialog: the watch list (player-name patterns, added and removed
// one at a time) and which kinds of alert are shown. Made for one showing; OK (result
// mrOk) leaves the new values in Patterns() and Kinds().
#include <QDialog>

#include <array>
#include <string>
#include <vector>

#include "board/alerts.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TF_WatchList : public QDialog {
  Q_OBJECT
 public:
  TF_WatchList(const std::vector<std::string>& patterns, const board::AlertKinds& kinds, QWidget* parent = nullptr);

  std::vector<std::string> Patterns() const;
  board::AlertKinds Kinds() const;

  QListWidget* LB_Patterns;
  QLineEdit* E_Pattern;
  QPushButton* Btn_Add;
  QPushButton* Btn_Remove;
  QLabel* L_Hint;
  std::array<QCheckBox*, board::kAlertKindCount> CB_Alerts{};
  QPushButton* Btn_Ok;
  QPushButton* Btn_Cancel;

  // Adds the pattern in E_Pattern (blanks at its ends dropped) unless it is empty or listed
  // already (letter case ignored), and empties the field.
  void Btn_AddClick();
  // Removes the selected patterns.
  void Btn_RemoveClick();

 private:
  void UpdateButtons();
};
