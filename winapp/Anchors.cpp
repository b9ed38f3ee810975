#include "winapp/Anchors.h"

namespace winapp {

namespace {

// One axis: position and length of a child within a parent that went from `designedParent`
// to `now` along that axis.
void AnchorAxis(int& pos, int& length, int designedParent, int now, bool nearSide, bool farSide) {
  const int grow = now - designedParent;
  if (nearSide && farSide) {
    length += grow;
  } else if (farSide) {
    pos += grow;
  } else if (!nearSide) {
    pos += grow / 2;  // neither side: stays centred where it was
  }
}

}  // namespace

TBounds Anchored(const TBounds& designed, TExtent designedParent, TExtent now, unsigned anchors) {
  TBounds r = designed;
  AnchorAxis(r.left, r.width, designedParent.width, now.width, anchors & akLeft, anchors & akRight);
  AnchorAxis(r.top, r.height, designedParent.height, now.height, anchors & akTop,
             anchors & akBottom);
  if (r.width < 0) r.width = 0;
  if (r.height < 0) r.height = 0;
  return r;
}

void TAnchorLayout::Add(HWND control, const TBounds& designed, unsigned anchors) {
  items_.push_back({control, designed, anchors});
}

void TAnchorLayout::Apply(const TBounds& area) const {
  for (const TItem& item : items_) {
    const TBounds r = Anchored(item.designed, designedSize_, {area.width, area.height}, item.anchors);
    MoveWindow(item.control, area.left + r.left, area.top + r.top, r.width, r.height, TRUE);
  }
}

}  // namespace winapp
