#pragma once
// The geometry and the order of the frame's Window commands, kept apart from the widgets so
// that they can be checked without a window.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <vector>

namespace app {

// The frame's window commands (Close All, Minimize All, Maximize All, Restore All, and the
// closing of the frame itself) walk the children from the last index, the window furthest
// back, down to index 0, the topmost. Children are listed index 0 first.
template <class T>
std::vector<T> LastToFirst(std::vector<T> children) {
  std::reverse(children.begin(), children.end());
  return children;
}

// Horizontal tiling: every window gets the full width of the area, and the windows are
// stacked one above the other, index 0 at the top. The last window takes the pixels that
// the even division leaves over, so that the strips fill the area exactly.
std::vector<QRect> TileHorizontally(const QRect& area, int count);

// Lines up minimised windows of the given size along the bottom of the area, left to right,
// starting a new row above when a row is full.
std::vector<QPoint> ArrangeIcons(const QRect& area, const QSize& icon, int count);

// Where the background pictures of the client area go. The outer size includes the client
// area's border; the positions are relative to its top-left corner. Divisions truncate
// toward zero, so a client area narrower than a picture puts it at a negative offset.
struct BackgroundPlacement {
  QPoint emblem;
  QPoint banner;
};
BackgroundPlacement PlaceBackground(const QSize& outer, const QSize& emblem, const QSize& banner);

// The banner's top edge lies this many pixels above the client area's bottom edge.
inline constexpr int kBannerBottomOffset = 50;

}  // namespace app
