#pragma once
// The board's rows as a table for a view: one row per stored server, the columns below. Each
// cell gives its text, and under SortRole the value the board sorts by (numbers for the
// players, the round trip and the age of the last answer). A server's name that holds colour
// codes gives them too, for the colour delegate (platform/colourtext.h). The age column counts on by
// itself: TickAges tells the view it changed.
#include <QAbstractTableModel>
#include <QIcon>

#include <array>
#include <functional>
#include <vector>

#include "board/session.h"

namespace board {

enum Column : int {
  kLampColumn,
  kNameColumn,
  kAddressColumn,
  kGameColumn,
  kMapColumn,
  kGameTypeColumn,
  kPlayersColumn,
  kPingColumn,
  kAgeColumn,
  kColumnCount
};

class BoardModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int SortRole = Qt::UserRole + 1;

  // Shows `rows` (owned by the session), with ages counted up to `now`.
  BoardModel(const std::vector<ServerRow>& rows, std::function<TimePoint()> now, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  void Reset();
  void RowChanged(int row);
  void TickAges();

  // The lamp's picture.
  QIcon LampIcon(Lamp lamp) const;

 private:
  QVariant Text(const ServerRow& row, int column) const;
  QVariant SortValue(const ServerRow& row, int column) const;
  QVariant ToolTip(const ServerRow& row, int column) const;

  const std::vector<ServerRow>& rows_;
  std::function<TimePoint()> now_;
  mutable std::array<QIcon, 5> lamps_;  // drawn when first shown
};

}  // namespace board
