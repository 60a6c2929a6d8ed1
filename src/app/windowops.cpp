#include "app/windowops.h"

namespace app {

std::vector<QRect> TileHorizontally(const QRect& area, int count) {
  std::vector<QRect> strips;
  if (count <= 0) return strips;
  const int height = area.height() / count;
  for (int i = 0; i < count; ++i) {
    const int top = area.top() + i * height;
    const int bottom = i == count - 1 ? area.top() + area.height() : top + height;
    strips.emplace_back(area.left(), top, area.width(), bottom - top);
  }
  return strips;
}

std::vector<QPoint> ArrangeIcons(const QRect& area, const QSize& icon, int count) {
  std::vector<QPoint> places;
  const int perRow = std::max(1, icon.width() > 0 ? area.width() / icon.width() : 1);
  for (int i = 0; i < count; ++i) {
    const int row = i / perRow;
    const int column = i % perRow;
    places.emplace_back(area.left() + column * icon.width(), area.top() + area.height() - (row + 1) * icon.height());
  }
  return places;
}

BackgroundPlacement PlaceBackground(const QSize& outer, const QSize& emblem, const QSize& banner) {
  return BackgroundPlacement{
      QPoint((outer.width() - emblem.width()) / 2, (outer.height() - emblem.height()) / 2),
      QPoint((outer.width() - banner.width()) / 2, outer.height() - kBannerBottomOffset),
  };
}

}  // namespace app
