// TFolderBox: the folder combo box. Its edit part shows the full path of the chosen folder
// and takes a typed or pasted one; its drop-down is a tree of the drives and their folders
// (listed when a branch is opened), in which a click or Enter chooses a folder. Like a combo
// box it opens with F4 or Alt+Down and closes without a choice on Escape, a click outside it
// or a second click on its arrow. Its parent hears of every change of the text as EN_CHANGE
// from the box.
#pragma once

#include "platform/win32/WinApi.h"

#include <commctrl.h>

#include <string>
#include <string_view>

namespace winapp {

// The chosen folder's path from the text of the edit part: no trailing backslash except
// for a root (a drive root such as D:\, or "\" alone).
std::wstring FolderPathOf(std::wstring_view text);

class TFolderBox {
 public:
  // Creates the box as a child of parent (a tab stop through its edit part).
  TFolderBox(HWND parent, int id, HFONT font);
  ~TFolderBox();
  TFolderBox(const TFolderBox&) = delete;
  TFolderBox& operator=(const TFolderBox&) = delete;

  HWND Handle() const { return box_; }
  HWND Edit() const { return edit_; }
  HWND Tree() const { return tree_; }

  // UTF-8 path of the chosen folder (see FolderPathOf); empty when none is chosen.
  std::string Path() const;
  // Shows path as the chosen folder, even when it no longer exists.
  void SetPath(const std::string& path);

  bool IsDroppedDown() const;
  void ShowDropDown();
  void HideDropDown();

 private:
  static LRESULT CALLBACK BoxProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK PopupProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self);
  static void RegisterClasses();

  void LayOut();
  void ToggleDropDown();
  LRESULT OnTreeNotify(const NMHDR& header);
  void FillDrives();
  void FillChildren(HTREEITEM item);
  std::wstring PathOfItem(HTREEITEM item) const;
  HTREEITEM ChildNamed(HTREEITEM parent, std::wstring_view name);
  void SelectPath(const std::wstring& path);
  void Choose(HTREEITEM item);

  HWND box_ = nullptr;
  HWND edit_ = nullptr;
  HWND button_ = nullptr;
  HWND popup_ = nullptr;
  HWND tree_ = nullptr;
  // The popup closed because this press on the arrow took the focus away: that press
  // must not open it again.
  bool arrowPressClosed_ = false;
};

}  // namespace winapp
