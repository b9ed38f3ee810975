// Focus: the folder box: its path without a trailing backslash except for a root, and the
// drop-down tree that opens at the chosen folder, chooses with Enter and closes on Escape
// without changing the choice.
#include "winapp/FolderBox.h"

#include <gtest/gtest.h>

#include "platform/testing/TempDir.h"
#include "winapp/ControlText.h"
#include "winapp/UiFont.h"

namespace winapp {
namespace {

TEST(FolderBox, PathKeepsOneBackslashOnlyForARoot) {
  struct Case {
    const wchar_t* text;
    const wchar_t* path;
  } cases[] = {
      {L"", L""},
      {L"D:\\", L"D:\\"},
      {L"D:\\\\", L"D:\\"},
      {L"D:\\board", L"D:\\board"},
      {L"D:\\board\\", L"D:\\board"},
      {L"D:\\板子\\\\", L"D:\\板子"},
      {L"\\", L"\\"},
      {L"\\\\server\\share\\", L"\\\\server\\share"},
      {L" D:\\board ", L" D:\\board "},  // as typed: no trimming
  };
  for (const Case& c : cases) EXPECT_EQ(FolderPathOf(c.text), c.path);
}

class FolderBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_POPUP, 0, 0, 500, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    box_ = std::make_unique<TFolderBox>(parent_, 1, font_.get());
    MoveWindow(box_->Handle(), 10, 10, 425, 23, FALSE);
  }
  void TearDown() override {
    box_.reset();
    DestroyWindow(parent_);
  }
  std::wstring Selected() const {
    HWND tree = box_->Tree();
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetSelection(tree);
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    TreeView_GetItem(tree, &item);
    return text;
  }
  void Key(WORD key) { SendMessageW(box_->Tree(), WM_KEYDOWN, key, 0); }

  platform::testing::TempDir dir_;
  TFontHandle font_ = CreateWindowFont();
  HWND parent_ = nullptr;
  std::unique_ptr<TFolderBox> box_;
};

TEST_F(FolderBoxTest, TreeOpensAtTheChosenFolderEnterChoosesEscapeKeeps) {
  dir_.MakeDir("板子/amp");
  dir_.MakeDir("板子/amp/gerber");
  const std::string amp = dir_ / "板子/amp";
  box_->SetPath(amp + "\\");
  EXPECT_EQ(box_->Path(), amp);
  EXPECT_EQ(TextOf(box_->Edit()), amp);

  box_->ShowDropDown();
  ASSERT_TRUE(box_->IsDroppedDown());
  EXPECT_EQ(Selected(), L"amp");  // the tree was opened down to the chosen folder
  Key(VK_ESCAPE);
  EXPECT_FALSE(box_->IsDroppedDown());
  EXPECT_EQ(box_->Path(), amp);

  box_->ShowDropDown();
  HTREEITEM ampItem = TreeView_GetSelection(box_->Tree());
  TreeView_Expand(box_->Tree(), ampItem, TVE_EXPAND);  // lists its folders now
  HTREEITEM gerber = TreeView_GetChild(box_->Tree(), ampItem);
  ASSERT_NE(gerber, nullptr);
  TreeView_SelectItem(box_->Tree(), gerber);
  Key(VK_RETURN);
  EXPECT_FALSE(box_->IsDroppedDown());
  EXPECT_EQ(box_->Path(), amp + "\\gerber");

  // F4 in the edit part opens it, and again closes it.
  SendMessageW(box_->Edit(), WM_KEYDOWN, VK_F4, 0);
  EXPECT_TRUE(box_->IsDroppedDown());
  SendMessageW(box_->Edit(), WM_KEYDOWN, VK_F4, 0);
  EXPECT_FALSE(box_->IsDroppedDown());
}

}  // namespace
}  // namespace winapp
