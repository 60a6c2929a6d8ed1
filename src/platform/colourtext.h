#pragma once
// Quake colour codes on screen: a text's coloured runs drawn in the game's colours, in the
// lists (an item delegate) and in text controls (HTML). The colours are the game's, made
// readable on the background they are drawn on (common::ReadableColour). Where a text is
// used rather than looked at (commands, copy, sorting, searching) the clean text stays.
#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStyledItemDelegate>

#include <string_view>

#include "common/colorcodes.h"

namespace platform {

// The item data role that holds a cell's text with its colour codes: 8-bit text in a
// QByteArray. The display role keeps the clean text.
inline constexpr int kColouredTextRole = Qt::UserRole + 100;
// The colour codes of a cell's coloured text (a common::ColorCodes as an int), for a list
// whose rows come from different games; a cell without it is read with the delegate's codes.
inline constexpr int kColourCodesRole = Qt::UserRole + 101;

// The game's colour `index` (0..7) as drawn on `background`.
QColor ShownColour(int index, const QColor& background);

// The text as HTML for a text control: its runs in their colours, text before the first code
// in the control's own text colour; spaces kept, markup characters escaped.
QString ColouredHtml(std::string_view text, common::ColorCodes codes, const QColor& background);

// Draws cells that hold a coloured text (kColouredTextRole) run by run, read with the cell's
// codes (kColourCodesRole) or else the delegate's; every other cell, and
// every cell of a selected row, as the list always does. With ShowCodes the coloured text is
// shown as it is, codes and all, in the list's text colour.
class ColourTextDelegate : public QStyledItemDelegate {
 public:
  ColourTextDelegate(common::ColorCodes codes, QObject* parent);

  void SetShowCodes(bool show) { showCodes_ = show; }
  bool ShowCodes() const { return showCodes_; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  common::ColorCodes codes_;
  bool showCodes_ = false;
};

}  // namespace platform
