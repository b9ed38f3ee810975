// Focus: the plain rules beneath the window: anchored placement when the window grows or
// shrinks, and the error box's full stop.
#include <gtest/gtest.h>

#include "winapp/Anchors.h"
#include "winapp/ErrorBoxText.h"

namespace winapp {
namespace {

TEST(Anchors, EachAnchorSetKeepsItsEdges) {
  const TBounds designed{10, 20, 100, 50};
  const TExtent parent{600, 500}, grown{700, 560}, shrunk{550, 480};
  struct Case {
    unsigned anchors;
    TExtent now;
    TBounds expected;
  } cases[] = {
      {akLeft | akTop, grown, {10, 20, 100, 50}},
      {akLeft | akTop | akRight, grown, {10, 20, 200, 50}},
      {akLeft | akTop | akRight | akBottom, grown, {10, 20, 200, 110}},
      {akRight | akBottom, grown, {110, 80, 100, 50}},
      {akLeft | akBottom, grown, {10, 80, 100, 50}},
      {akLeft | akRight | akBottom, grown, {10, 80, 200, 50}},
      {akLeft | akTop | akBottom, grown, {10, 20, 100, 110}},
      {akRight | akBottom, shrunk, {-40, 0, 100, 50}},
      {akLeft | akTop | akRight | akBottom, shrunk, {10, 20, 50, 30}},
      {0, grown, {60, 50, 100, 50}},  // no anchor on an axis: stays centred
      {akLeft | akRight, {400, 500}, {10, 20, 0, 50}},  // never a negative width
  };
  for (const Case& c : cases)
    EXPECT_EQ(Anchored(designed, parent, c.now, c.anchors), c.expected) << "anchors " << c.anchors;
}

TEST(ErrorBoxText, FullStopAppendedWhenTheLastCharacterSortsAfterIt) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"Stream write error", "Stream write error."},
      {"Cannot create file \"C:\\x\\Contect.txt\". Access denied.", "Cannot create file \"C:\\x\\Contect.txt\". Access denied."},
      {"RootKey not Open.", "RootKey not Open."},
      {"ends in a slash/", "ends in a slash/."},  // '/' sorts after '.'
      {"ends in a dash-", "ends in a dash-"},     // '-' sorts before '.'
      {"ends in a bracket)", "ends in a bracket)"},
      {"文件没有找到", "文件没有找到."},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
}

}  // namespace
}  // namespace winapp
