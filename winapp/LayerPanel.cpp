#include "winapp/LayerPanel.h"

#include <commctrl.h>

#include <string>

#include "core/LayerPreviewText.h"
#include "platform/Exception.h"
#include "winapp/ControlText.h"
#include "winapp/WindowClass.h"

namespace winapp {

using platform::win32::Widen;

namespace {

constexpr wchar_t kPanelClass[] = L"TaveloLayerPanel";
constexpr DWORD kPanelStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
// The client size: as tall as the window beside it, wide enough for a file and its evidence.
constexpr int kClientWidth = 560, kClientHeight = 523;
constexpr int kMargin = 8, kBoxHeight = 20, kLabelHeight = 20;
// How far the panel stands from the window's right edge.
constexpr int kGap = 8;
constexpr int kRecognitionId = 1, kLayersId = 2, kWarningsId = 3;
constexpr int kColumnCount = 4;

}  // namespace

TLayerPanel::TLayerPanel(HWND owner, HFONT font, TEvents events)
    : owner_(owner), font_(font), events_(std::move(events)) {
  RegisterClassOnce(GetModuleHandleW(nullptr), kPanelClass, PanelProc, COLOR_BTNFACE);
  RECT outer{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&outer, kPanelStyle, FALSE, WS_EX_TOOLWINDOW);
  panel_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, kPanelClass, Widen(kLayerPanelTitle).c_str(),
                           kPanelStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                           outer.bottom - outer.top, owner, nullptr, GetModuleHandleW(nullptr), this);
  if (panel_ == nullptr) throw Exception("Cannot create the layer panel.");
  recognition_ = MakeChild(L"BUTTON", Widen(kRecognitionCaption).c_str(), WS_TABSTOP | BS_AUTOCHECKBOX, 0,
                           kRecognitionId);
  layers_ = MakeChild(WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS,
                      WS_EX_CLIENTEDGE, kLayersId);
  ListView_SetExtendedListViewStyle(layers_, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  CreateColumns();
  checksLabel_ = MakeChild(L"STATIC", Widen(kChecksCaption).c_str(), SS_LEFT, 0, 0);
  warnings_ = MakeChild(L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                        WS_EX_CLIENTEDGE, kWarningsId);
  LayOut();
}

TLayerPanel::~TLayerPanel() {
  if (!IsWindow(panel_)) return;  // the owner took it along already
  SetWindowLongPtrW(panel_, GWLP_USERDATA, 0);
  DestroyWindow(panel_);
}

HWND TLayerPanel::MakeChild(const wchar_t* kind, const wchar_t* text, DWORD style, DWORD exStyle, int id) {
  HWND child = CreateWindowExW(exStyle, kind, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, panel_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return child;
}

void TLayerPanel::CreateColumns() {
  static constexpr int kWidths[kColumnCount] = {48, 56, 170, 260};
  for (int i = 0; i < kColumnCount; ++i) {
    std::wstring caption = Widen(kLayerColumns[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = caption.data();
    column.cx = kWidths[i];
    column.iSubItem = i;
    ListView_InsertColumn(layers_, i, &column);
  }
}

void TLayerPanel::LayOut() {
  RECT client;
  GetClientRect(panel_, &client);
  const int width = client.right - 2 * kMargin;
  // Three quarters of what is left below the switch for the layers, the rest for the checks.
  const int listsTop = kMargin + kBoxHeight + kMargin;
  const int lists = client.bottom - listsTop - kLabelHeight - kMargin;
  const int layersHeight = lists * 3 / 4;
  MoveWindow(recognition_, kMargin, kMargin, width, kBoxHeight, TRUE);
  MoveWindow(layers_, kMargin, listsTop, width, layersHeight, TRUE);
  MoveWindow(checksLabel_, kMargin, listsTop + layersHeight + 4, width, kLabelHeight - 4, TRUE);
  const int warningsTop = listsTop + layersHeight + kLabelHeight;
  MoveWindow(warnings_, kMargin, warningsTop, width, client.bottom - kMargin - warningsTop, TRUE);
}

void TLayerPanel::Open() {
  RECT owner;
  GetWindowRect(owner_, &owner);
  SetWindowPos(panel_, nullptr, owner.right + kGap, owner.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(panel_, SW_SHOW);
  SetForegroundWindow(panel_);
}

void TLayerPanel::ShowPreview(const TLayerPreview* preview) {
  SendMessageW(layers_, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(layers_);
  std::wstring checks;
  if (preview != nullptr) {
    int row = 0;
    for (const layers::PlannedLayer& layer : preview->plan) {
      const std::wstring cells[kColumnCount] = {Widen(layer.code), Widen(LayerStateText(LayerMarkOf(layer))),
                                                Widen(LayerRowFile(layer)), Widen(LayerRowEvidence(layer))};
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = const_cast<wchar_t*>(cells[0].c_str());
      ListView_InsertItem(layers_, &item);
      for (int column = 1; column < kColumnCount; ++column)
        ListView_SetItemText(layers_, row, column, const_cast<wchar_t*>(cells[column].c_str()));
      ++row;
    }
    for (const std::string& warning : preview->warnings) checks += Widen(warning) + L"\r\n";
    if (preview->warnings.empty()) checks = Widen(kNoWarnings);
  }
  SetWindowTextW(warnings_, checks.c_str());
  SendMessageW(layers_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(layers_, nullptr, TRUE);
}

void TLayerPanel::ShowRecognition(bool on) { SetTicked(recognition_, on); }

LRESULT TLayerPanel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_CLOSE:
      ShowWindow(panel_, SW_HIDE);  // kept for the next F2, with its switch and rows
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == kRecognitionId && HIWORD(wp) == BN_CLICKED && events_.recognitionSwitched)
        events_.recognitionSwitched(Ticked(recognition_));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && events_.activated) events_.activated();
      break;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      if (reinterpret_cast<HWND>(lp) == warnings_) {
        // Read-only, yet a list to read: the window colour, not the face.
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
      break;
  }
  return DefWindowProcW(panel_, msg, wp, lp);
}

LRESULT CALLBACK TLayerPanel::PanelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<TLayerPanel*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->panel_ = wnd;
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TLayerPanel*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  // The children exist only after creation; until then the default handling does.
  if (self == nullptr || self->warnings_ == nullptr) return DefWindowProcW(wnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
  return self->HandleMessage(msg, wp, lp);
}

}  // namespace winapp
