// Anchored placement for the window's controls: each control keeps its distance to the
// parent edges it is anchored to when the parent is resized; anchored left and right it
// stretches, anchored right only it moves. The arithmetic is plain so tests can check it.
#pragma once

#include "platform/win32/WinApi.h"

#include <vector>

namespace winapp {

enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

struct TBounds {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const TBounds&) const = default;
};

struct TExtent {
  int width = 0, height = 0;
};

// The rectangle a child designed at `designed` gets when its parent, designed at
// `designedParent`, has the size `now`. Without an anchor on either side of an axis the
// child keeps its designed place relative to the parent's centre.
TBounds Anchored(const TBounds& designed, TExtent designedParent, TExtent now, unsigned anchors);

// The controls placed in one designed parent area. The area may be the window's client
// area itself or a group box; the controls of a group box are siblings of it (children of
// the window), placed at the group box's current offset.
class TAnchorLayout {
 public:
  explicit TAnchorLayout(TExtent designedSize) : designedSize_(designedSize) {}

  void Add(HWND control, const TBounds& designed, unsigned anchors);
  // Moves every control for an area now at `area` (offset within the window, current size).
  void Apply(const TBounds& area) const;

 private:
  struct TItem {
    HWND control;
    TBounds designed;
    unsigned anchors;
  };
  TExtent designedSize_;
  std::vector<TItem> items_;
};

}  // namespace winapp
