#include "winapp/FolderBox.h"

#include <algorithm>
#include <vector>

#include "platform/Paths.h"
#include "winapp/WindowClass.h"

namespace winapp {

using platform::win32::Narrow;
using platform::win32::Widen;

namespace {

constexpr wchar_t kBoxClass[] = L"TaveloFolderBox";
constexpr wchar_t kPopupClass[] = L"TaveloFolderTree";
constexpr int kArrowId = 1, kEditId = 2, kTreeId = 3;
constexpr int kDropDownHeight = 300;
constexpr UINT_PTR kEditSubclassId = 1;
// An item's lParam: whether its folders have been listed into the tree yet.
constexpr LPARAM kUnlisted = 0, kListed = 1;

std::wstring WindowText(HWND wnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(wnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ItemText(HWND tree, HTREEITEM item) {
  wchar_t buffer[MAX_PATH + 1] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = MAX_PATH;
  TreeView_GetItem(tree, &tv);
  return buffer;
}

HTREEITEM InsertFolder(HWND tree, HTREEITEM parent, const std::wstring& text) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.cChildren = 1;  // unknown until listed; an empty folder loses its "+" then
  insert.item.lParam = kUnlisted;
  return TreeView_InsertItem(tree, &insert);
}

// The visible subfolders of folder, sorted without regard to letter case.
std::vector<std::wstring> Subfolders(const std::wstring& folder) {
  std::vector<std::wstring> names;
  std::wstring pattern = folder;
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    const DWORD hiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & hiddenOrSystem) &&
        name != L"." && name != L"..")
      names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end(),
            [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; });
  return names;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring FolderPathOf(std::wstring_view text) {
  std::wstring path(text);
  while (!path.empty() && path.back() == L'\\' && !platform::IsRootFolder(Narrow(path))) path.pop_back();
  return path;
}

void TFolderBox::RegisterClasses() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterClassOnce(instance, kBoxClass, BoxProc, COLOR_BTNFACE);
  RegisterClassOnce(instance, kPopupClass, PopupProc, COLOR_WINDOW);
}

TFolderBox::TFolderBox(HWND parent, int id, HFONT font) {
  RegisterClasses();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  // WS_EX_CONTROLPARENT: Tab walks into the box and stops at its edit part.
  box_ = CreateWindowExW(WS_EX_CONTROLPARENT, kBoxClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                          0, 0, 0, 0, box_, reinterpret_cast<HMENU>(kEditId), instance, nullptr);
  button_ = CreateWindowExW(0, L"BUTTON", L"\u25BC", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0, box_,
                            reinterpret_cast<HMENU>(kArrowId), instance, nullptr);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowSubclass(edit_, EditProc, kEditSubclassId, reinterpret_cast<DWORD_PTR>(this));

  popup_ = CreateWindowExW(WS_EX_TOOLWINDOW, kPopupClass, L"", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                           GetAncestor(parent, GA_ROOT), nullptr, instance, this);
  tree_ = CreateWindowExW(0, WC_TREEVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                              TVS_SHOWSELALWAYS,
                          0, 0, 0, 0, popup_, reinterpret_cast<HMENU>(kTreeId), instance, nullptr);
  SendMessageW(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

TFolderBox::~TFolderBox() {
  if (IsWindow(edit_)) RemoveWindowSubclass(edit_, EditProc, kEditSubclassId);
  if (IsWindow(box_)) SetWindowLongPtrW(box_, GWLP_USERDATA, 0);
  if (IsWindow(popup_)) {
    SetWindowLongPtrW(popup_, GWLP_USERDATA, 0);
    DestroyWindow(popup_);
  }
}

std::string TFolderBox::Path() const { return Narrow(FolderPathOf(WindowText(edit_))); }

void TFolderBox::SetPath(const std::string& path) {
  SetWindowTextW(edit_, FolderPathOf(Widen(path)).c_str());
}

bool TFolderBox::IsDroppedDown() const { return IsWindowVisible(popup_) != FALSE; }

void TFolderBox::ShowDropDown() {
  if (IsDroppedDown()) return;
  if (TreeView_GetRoot(tree_) == nullptr) FillDrives();
  SelectPath(FolderPathOf(WindowText(edit_)));
  RECT r;
  GetWindowRect(box_, &r);
  SetWindowPos(popup_, HWND_TOP, r.left, r.bottom, r.right - r.left, kDropDownHeight, SWP_SHOWWINDOW);
  SetFocus(tree_);
}

void TFolderBox::HideDropDown() {
  if (!IsDroppedDown()) return;
  ShowWindow(popup_, SW_HIDE);
}

void TFolderBox::ToggleDropDown() {
  if (arrowPressClosed_) {
    arrowPressClosed_ = false;
    return;
  }
  if (IsDroppedDown()) {
    HideDropDown();
    SetFocus(edit_);
  } else {
    ShowDropDown();
  }
}

void TFolderBox::LayOut() {
  RECT r;
  GetClientRect(box_, &r);
  const int arrow = GetSystemMetrics(SM_CXVSCROLL) + 2;
  MoveWindow(edit_, 0, 0, std::max(0, static_cast<int>(r.right) - arrow), r.bottom, TRUE);
  MoveWindow(button_, std::max(0, static_cast<int>(r.right) - arrow), 0, arrow, r.bottom, TRUE);
}

void TFolderBox::FillDrives() {
  wchar_t buffer[512] = {};
  const DWORD length = GetLogicalDriveStringsW(511, buffer);
  for (const wchar_t* drive = buffer; drive < buffer + length && *drive != L'\0'; drive += wcslen(drive) + 1)
    InsertFolder(tree_, TVI_ROOT, drive);
}

void TFolderBox::FillChildren(HTREEITEM item) {
  TVITEMW tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  TreeView_GetItem(tree_, &tv);
  if (tv.lParam == kListed) return;
  const std::vector<std::wstring> names = Subfolders(PathOfItem(item));
  for (const std::wstring& name : names) InsertFolder(tree_, item, name);
  tv.mask = TVIF_PARAM | TVIF_CHILDREN;
  tv.lParam = kListed;
  tv.cChildren = names.empty() ? 0 : 1;
  TreeView_SetItem(tree_, &tv);
}

std::wstring TFolderBox::PathOfItem(HTREEITEM item) const {
  std::vector<std::wstring> parts;
  for (HTREEITEM i = item; i != nullptr; i = TreeView_GetParent(tree_, i)) parts.push_back(ItemText(tree_, i));
  std::wstring path;
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += *part;
  }
  return path;
}

HTREEITEM TFolderBox::ChildNamed(HTREEITEM parent, std::wstring_view name) {
  HTREEITEM child = parent == nullptr ? TreeView_GetRoot(tree_) : TreeView_GetChild(tree_, parent);
  for (; child != nullptr; child = TreeView_GetNextSibling(tree_, child))
    if (SameName(FolderPathOf(ItemText(tree_, child)), FolderPathOf(name))) return child;
  return nullptr;
}

void TFolderBox::SelectPath(const std::wstring& path) {
  const size_t rootEnd = path.find(L'\\');
  if (path.empty() || (rootEnd == std::wstring::npos && path.size() != 2)) return;
  HTREEITEM item = ChildNamed(nullptr, path.substr(0, rootEnd == std::wstring::npos ? 2 : rootEnd + 1));
  size_t start = rootEnd == std::wstring::npos ? path.size() : rootEnd + 1;
  while (item != nullptr && start < path.size()) {
    const size_t end = std::min(path.find(L'\\', start), path.size());
    TreeView_Expand(tree_, item, TVE_EXPAND);
    HTREEITEM child = ChildNamed(item, std::wstring_view(path).substr(start, end - start));
    if (child == nullptr) break;
    item = child;
    start = end + 1;
  }
  if (item != nullptr) {
    TreeView_SelectItem(tree_, item);
    TreeView_EnsureVisible(tree_, item);
  }
}

void TFolderBox::Choose(HTREEITEM item) {
  if (item == nullptr) return;
  SetWindowTextW(edit_, FolderPathOf(PathOfItem(item)).c_str());
  HideDropDown();
  SetFocus(edit_);
}

LRESULT TFolderBox::OnTreeNotify(const NMHDR& header) {
  switch (header.code) {
    case TVN_ITEMEXPANDINGW: {
      const auto& expanding = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (expanding.action & TVE_EXPAND) FillChildren(expanding.itemNew.hItem);
      return FALSE;
    }
    case NM_CLICK: {
      TVHITTESTINFO hit{};
      const DWORD pos = GetMessagePos();
      hit.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
      ScreenToClient(tree_, &hit.pt);
      HTREEITEM item = TreeView_HitTest(tree_, &hit);
      // A click on the "+" opens the branch; a click on the folder itself chooses it.
      if (item != nullptr && (hit.flags & (TVHT_ONITEMLABEL | TVHT_ONITEMICON))) Choose(item);
      return 0;
    }
    case TVN_KEYDOWN: {
      const auto& key = reinterpret_cast<const NMTVKEYDOWN&>(header);
      if (key.wVKey == VK_RETURN) Choose(TreeView_GetSelection(tree_));
      if (key.wVKey == VK_ESCAPE) {
        HideDropDown();
        SetFocus(edit_);
      }
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT CALLBACK TFolderBox::BoxProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrW(wnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TFolderBox*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (self != nullptr && self->edit_ != nullptr) {
    switch (msg) {
      case WM_SIZE:
        self->LayOut();
        return 0;
      case WM_SETFOCUS:
        SetFocus(self->edit_);
        return 0;
      case WM_COMMAND:
        if (LOWORD(wp) == kArrowId && HIWORD(wp) == BN_CLICKED) self->ToggleDropDown();
        // The folder's text changed (typed, pasted or chosen): the owner hears it from the box.
        if (reinterpret_cast<HWND>(lp) == self->edit_ && HIWORD(wp) == EN_CHANGE)
          SendMessageW(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), EN_CHANGE),
                       reinterpret_cast<LPARAM>(wnd));
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CALLBACK TFolderBox::PopupProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrW(wnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TFolderBox*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (self != nullptr && self->tree_ != nullptr) {
    switch (msg) {
      case WM_SIZE:
        MoveWindow(self->tree_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
      case WM_NOTIFY:
        return self->OnTreeNotify(*reinterpret_cast<const NMHDR*>(lp));
      case WM_ACTIVATE:
        // A click anywhere outside takes the activation away and closes the drop-down;
        // when that click is on the arrow, it must not open it again.
        if (LOWORD(wp) == WA_INACTIVE && self->IsDroppedDown()) {
          POINT cursor;
          GetCursorPos(&cursor);
          self->arrowPressClosed_ = WindowFromPoint(cursor) == self->button_ && (GetKeyState(VK_LBUTTON) & 0x8000);
          self->HideDropDown();
        }
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CALLBACK TFolderBox::EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<TFolderBox*>(data);
  const bool altDown = (lp & (1 << 29)) != 0;
  if ((msg == WM_KEYDOWN && wp == VK_F4) || (msg == WM_SYSKEYDOWN && wp == VK_DOWN && altDown)) {
    self->ToggleDropDown();
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, EditProc, kEditSubclassId);
  return DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace winapp
