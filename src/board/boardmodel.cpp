#include "board/boardmodel.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>

#include <limits>

#include "common/colorcodes.h"
#include "platform/colourtext.h"
#include "platform/text.h"

namespace board {

namespace {

constexpr std::array<const char*, kColumnCount> kHeaders{
    "", "Server Name", "Address", "Game", "Map", "Game Type", "Players", "Ping", "Last Answer"};

QColor LampColour(Lamp lamp) {
  switch (lamp) {
    case Lamp::Answering: return {0, 200, 0};
    case Lamp::NotAnswering: return {230, 0, 0};
    case Lamp::Refused: return {255, 140, 0};
    case Lamp::NotPolled: return {220, 220, 220};
    case Lamp::Waiting: break;
  }
  return {150, 150, 150};
}

QString Unicode(const std::string& ansi) { return platform::ToUnicode(ansi); }

QString PlayersText(const ServerRow& row) {
  if (row.humans < 0) return {};
  const QString max = row.maxPlayers < 0 ? QString("?") : QString::number(row.maxPlayers);
  return QString("%1/%2/%3").arg(row.humans).arg(row.bots).arg(max);
}

QString ShownName(const ServerRow& row) {
  const std::string own = CleanPlayerName(row.name);
  return Unicode(own.empty() ? row.server.description : own);
}

}  // namespace

BoardModel::BoardModel(const std::vector<ServerRow>& rows, std::function<TimePoint()> now, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), now_(std::move(now)) {}

int BoardModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BoardModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QIcon BoardModel::LampIcon(Lamp lamp) const {
  QIcon& icon = lamps_[static_cast<std::size_t>(lamp)];
  if (icon.isNull()) {
    QPixmap picture(12, 12);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(60, 60, 60));
    painter.setBrush(LampColour(lamp));
    painter.drawEllipse(QRectF(1, 1, 10, 10));
    painter.end();
    icon = QIcon(picture);
  }
  return icon;
}

QVariant BoardModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const ServerRow& row = rows_[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole: return Text(row, column);
    case Qt::DecorationRole: return column == kLampColumn ? QVariant(LampIcon(row.lamp)) : QVariant();
    case Qt::ToolTipRole: return ToolTip(row, column);
    case SortRole: return SortValue(row, column);
    case platform::kColouredTextRole:
      if (column != kNameColumn || !row.server.wire || !common::HasColourCodes(row.name, row.server.wire->colorCodes))
        return {};
      return QByteArray(row.name.data(), static_cast<qsizetype>(row.name.size()));
    case platform::kColourCodesRole:
      return column == kNameColumn && row.server.wire ? QVariant(static_cast<int>(row.server.wire->colorCodes)) : QVariant();
    case Qt::TextAlignmentRole:
      if (column == kPlayersColumn || column == kPingColumn || column == kAgeColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    default: return {};
  }
}

QVariant BoardModel::Text(const ServerRow& row, int column) const {
  switch (column) {
    case kNameColumn: return ShownName(row);
    case kAddressColumn: return Unicode(row.Address());
    case kGameColumn: return Unicode(row.server.gameName);
    case kMapColumn: return Unicode(row.map);
    case kGameTypeColumn: return Unicode(row.gameType);
    case kPlayersColumn: return PlayersText(row);
    case kPingColumn: return row.roundTripMs < 0 ? QString() : QString::number(row.roundTripMs);
    case kAgeColumn:
      if (row.lastAnswer)
        return Unicode(AgeText(std::chrono::duration_cast<std::chrono::seconds>(now_() - *row.lastAnswer)) + " ago");
      return row.lamp == Lamp::NotPolled ? QString() : QString("never");
    default: return {};
  }
}

QVariant BoardModel::SortValue(const ServerRow& row, int column) const {
  switch (column) {
    case kLampColumn: return static_cast<int>(row.lamp);
    case kPlayersColumn:
      return row.humans < 0 ? -1LL : static_cast<long long>(row.humans + row.bots) * 100000 + row.humans;
    case kPingColumn: return row.roundTripMs < 0 ? std::numeric_limits<int>::max() : row.roundTripMs;
    case kAgeColumn:
      return row.lastAnswer ? static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                         now_() - *row.lastAnswer).count())
                            : std::numeric_limits<long long>::max();
    default: return Text(row, column).toString().toLower();
  }
}

QVariant BoardModel::ToolTip(const ServerRow& row, int column) const {
  switch (column) {
    case kLampColumn: return Unicode(row.lampText);
    case kNameColumn: {
      QString tip = Unicode(row.server.description.empty() ? row.Address() : row.server.description);
      if (!row.watched.empty()) {
        QStringList names;
        for (const std::string& name : row.watched) names << Unicode(name);
        tip += "\nWatched players on it: " + names.join(", ");
      }
      return tip;
    }
    case kPlayersColumn:
      if (row.humans < 0) return {};
      return QString("%1 people, %2 bots, %3 slots")
          .arg(row.humans)
          .arg(row.bots)
          .arg(row.maxPlayers < 0 ? QString("?") : QString::number(row.maxPlayers));
    default: return {};
  }
}

QVariant BoardModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(kHeaders[static_cast<std::size_t>(section)]);
  if (role == Qt::ToolTipRole) {
    switch (section) {
      case kLampColumn: return QString("Answering, not answering or refused");
      case kPlayersColumn: return QString("People / bots / player slots");
      case kPingColumn: return QString("Round trip of the status query, in milliseconds");
      case kAgeColumn: return QString("Time since the server last answered");
      default: return {};
    }
  }
  return {};
}

void BoardModel::Reset() {
  beginResetModel();
  endResetModel();
}

void BoardModel::RowChanged(int row) { emit dataChanged(index(row, 0), index(row, kColumnCount - 1)); }

void BoardModel::TickAges() {
  if (rows_.empty()) return;
  emit dataChanged(index(0, kAgeColumn), index(static_cast<int>(rows_.size()) - 1, kAgeColumn),
                   {Qt::DisplayRole, SortRole});
}

}  // namespace board
