#include "winapp/ZOR_form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "core/Execute.h"
#include "core/LayerPreviewText.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/UiHooks.h"
#include "winapp/ControlText.h"
#include "winapp/UiFont.h"
#include "winapp/WinHooks.h"

namespace winapp {

using platform::win32::Widen;

namespace {

constexpr wchar_t kWindowClass[] = L"TfrmZOR";
constexpr wchar_t kCaption[] = L"Tavelo v1.0";
constexpr int kDesignedLeft = 426, kDesignedTop = 215;
// System menu and minimise, no maximise; resizable.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
constexpr int kCheckBoxHeight = 17;
constexpr int kGenerateId = 100, kCloseId = 101;
// The command that opens the layer panel (F2 and the layer box's context menu).
constexpr int kLayerPanelId = 102;
constexpr UINT_PTR kPreviewTimer = 1;
// One refresh for a burst of keystrokes in the folder box or of ticks.
constexpr UINT kPreviewDelayMilliseconds = 150;
constexpr UINT_PTR kMemoSubclassId = 1;
constexpr int kLayerTops[kLayerCount] = {24, 48, 72, 96, 136, 160, 184, 208, 244, 268, 292, 316, 340};
// The about line's box; the bevel is drawn as a line along the bottom edge of its own box.
constexpr TBounds kBevelBox{226, 491, 197, 10};
constexpr int kBevelLine = 2;

TExtent OuterExtent(TExtent client) {
  RECT r{0, 0, client.width, client.height};
  AdjustWindowRectEx(&r, kWindowStyle, FALSE, 0);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

TfrmZOR::TfrmZOR(std::string executablePath, THooks hooks)
    : executablePath_(std::move(executablePath)), hooks_(hooks), clock_(platform::LocalNow) {
  ZipWriter1.SetThreads(TZipWriter::kAllCores);  // same archive bytes, every core at work
}

TfrmZOR::~TfrmZOR() {
  if (IsWindow(frmZOR_)) {
    // Every way out ends here at the latest, while every control still exists.
    if (!destroyed_) {
      destroyed_ = true;
      Guarded([this] { FormDestroy(); });
    }
    layerPanel_.reset();
    edtPath.reset();
    SetWindowLongPtrW(frmZOR_, GWLP_USERDATA, 0);
    DestroyWindow(frmZOR_);
  }
  if (hooks_ == THooks::Install) RemoveWinHooks();
}

void TfrmZOR::RegisterWindowClass() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, kWindowClass, &wc)) return;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;  // every control may move when the size changes
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kWindowClass;
  // The application icon of the executable's resources (none in a test program).
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), 0));
  RegisterClassExW(&wc);
}

void TfrmZOR::Create() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES;
  InitCommonControlsEx(&icc);
  RegisterWindowClass();
  font_ = CreateWindowFont();
  const TExtent outer = OuterExtent(kDesignedClient);
  frmZOR_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, kCaption, kWindowStyle, kDesignedLeft,
                            kDesignedTop, outer.width, outer.height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
  if (frmZOR_ == nullptr) throw Exception("Cannot create the main window.");
  if (hooks_ == THooks::Install) {
    InstallWinHooks(Widen(platform::ApplicationTitle(executablePath_)), frmZOR_, [this](bool busy) {
      waitDepth_ += busy ? 1 : -1;
      SetCursor(LoadCursorW(nullptr, waitDepth_ > 0 ? IDC_WAIT : IDC_ARROW));
    });
  }
  CreateControls();
  LayOut();
  CreatePreview();
  SetFocus(edtClose);
  Guarded([this] { FormCreate(); });
}

void TfrmZOR::Show(int showCommand) {
  ShowWindow(frmZOR_, showCommand);
  UpdateWindow(frmZOR_);
  SetFocus(edtClose);
}

HWND TfrmZOR::MakeControl(const wchar_t* kind, const std::wstring& text, DWORD style, DWORD exStyle) {
  const int id = nextId_++;
  HWND control = CreateWindowExW(exStyle, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                 frmZOR_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return control;
}

int TfrmZOR::NaturalHeight() const {
  // An edit's height for the font: the text, its margins and the sunken border.
  HDC dc = GetDC(frmZOR_);
  HGDIOBJ old = SelectObject(dc, font_.get());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(frmZOR_, dc);
  return tm.tmHeight + 2 * GetSystemMetrics(SM_CYEDGE) + 4;
}

void TfrmZOR::CreateControls() {
  CreateTabStops();
  CreateFixedControls();
  const int editHeight = NaturalHeight();

  TArea window{nullptr, {0, 0, kDesignedClient.width, kDesignedClient.height}, akLeft | akTop,
               TAnchorLayout(kDesignedClient)};
  TArea folders{cxGroupBox3, {12, 8, 577, 77}, akLeft | akTop, TAnchorLayout({577, 77})};
  TArea layers{cxGroupBox1, {12, 92, 205, 381}, akLeft | akTop | akBottom, TAnchorLayout({205, 381})};
  TArea contact{cxGroupBox2, {228, 92, 360, 381}, akLeft | akTop | akRight | akBottom,
                TAnchorLayout({360, 381})};
  for (const TArea* box : {&folders, &layers, &contact}) window.layout.Add(box->box, box->designed, box->anchors);
  window.layout.Add(Label6, {14, 490, 210, 17}, akLeft | akBottom);
  window.layout.Add(Bevel1, {kBevelBox.left, kBevelBox.top + kBevelBox.height - kBevelLine, kBevelBox.width, kBevelLine},
                    akLeft | akRight | akBottom);
  window.layout.Add(edtGenerate, {431, 484, 75, 25}, akRight | akBottom);
  window.layout.Add(edtClose, {515, 484, 75, 25}, akRight | akBottom);

  folders.layout.Add(Label8, {16, 32, 36, 17}, akLeft | akTop);
  folders.layout.Add(edtPath->Handle(), {56, 28, 425, editHeight}, akLeft | akTop);
  folders.layout.Add(chkZIP, {492, 30, 65, kCheckBoxHeight}, akLeft | akTop);

  for (size_t i = 0; i < kLayerCount; ++i)
    layers.layout.Add(chkLayers[i], {16, kLayerTops[i], 180, kCheckBoxHeight}, akLeft | akTop);

  const unsigned lt = akLeft | akTop;
  contact.layout.Add(Label1, {16, 32, 36, 17}, lt);
  contact.layout.Add(edtPerson, {72, 28, 121, editHeight}, lt);
  contact.layout.Add(Label2, {16, 64, 36, 17}, lt);
  contact.layout.Add(edtTel, {72, 60, 121, editHeight}, lt);
  contact.layout.Add(Label4, {16, 96, 32, 17}, lt);
  contact.layout.Add(edtQQ, {72, 92, 121, editHeight}, lt);
  contact.layout.Add(Label5, {16, 128, 36, 17}, lt);
  contact.layout.Add(edtPostcode, {72, 124, 121, editHeight}, lt);
  contact.layout.Add(Label3, {16, 160, 36, 17}, lt);
  contact.layout.Add(edtAddress, {72, 156, 276, editHeight}, lt | akRight);
  contact.layout.Add(Label7, {16, 192, 36, 17}, lt);
  contact.layout.Add(edtMemo, {72, 188, 276, 161}, lt | akRight | akBottom);

  areas_.push_back(std::move(window));
  areas_.push_back(std::move(folders));
  areas_.push_back(std::move(layers));
  areas_.push_back(std::move(contact));
}

void TfrmZOR::CreateTabStops() {
  // Created in tab order, since Tab follows the order of the window's children: the layer
  // box (0), Close (1), the contact box (2) with name, telephone, address, QQ, postcode and
  // memo, Execute (3), the folder box (4) with the folder and 压缩包.
  for (size_t i = 0; i < kLayerCount; ++i)
    chkLayers[i] = MakeControl(L"BUTTON", Widen(kLayerCodes[i].caption), WS_TABSTOP | BS_AUTOCHECKBOX);
  edtClose = MakeControl(L"BUTTON", L"关闭", WS_TABSTOP | BS_PUSHBUTTON);
  SetWindowLongPtrW(edtClose, GWLP_ID, kCloseId);
  const DWORD edit = WS_TABSTOP | ES_AUTOHSCROLL;
  edtPerson = MakeControl(L"EDIT", L"", edit, WS_EX_CLIENTEDGE);
  edtTel = MakeControl(L"EDIT", L"", edit, WS_EX_CLIENTEDGE);
  edtAddress = MakeControl(L"EDIT", L"", edit, WS_EX_CLIENTEDGE);
  edtQQ = MakeControl(L"EDIT", L"", edit, WS_EX_CLIENTEDGE);
  edtPostcode = MakeControl(L"EDIT", L"", edit, WS_EX_CLIENTEDGE);
  // Word-wrapping: no horizontal scrolling, so the control breaks lines at its width.
  edtMemo = MakeControl(L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
                        WS_EX_CLIENTEDGE);
  SendMessageW(edtMemo, EM_SETLIMITTEXT, 0, 0);
  SetWindowSubclass(edtMemo, MemoProc, kMemoSubclassId, 0);
  edtGenerate = MakeControl(L"BUTTON", L"执行", WS_TABSTOP | BS_PUSHBUTTON);
  SetWindowLongPtrW(edtGenerate, GWLP_ID, kGenerateId);
  edtPath = std::make_unique<TFolderBox>(frmZOR_, nextId_++, font_.get());
  chkZIP = MakeControl(L"BUTTON", L"压缩包", WS_TABSTOP | BS_AUTOCHECKBOX);
}

void TfrmZOR::CreateFixedControls() {
  Label8 = MakeControl(L"STATIC", L"目录：", SS_LEFT);
  Label1 = MakeControl(L"STATIC", L"姓名：", SS_LEFT);
  Label2 = MakeControl(L"STATIC", L"电话：", SS_LEFT);
  Label4 = MakeControl(L"STATIC", L"QQ：", SS_LEFT);
  Label5 = MakeControl(L"STATIC", L"邮编：", SS_LEFT);
  Label3 = MakeControl(L"STATIC", L"地址：", SS_LEFT);
  Label7 = MakeControl(L"STATIC", L"备注：", SS_LEFT);
  Label6 = MakeControl(L"STATIC", L"Tavelo v1.0 / Program by dovan.ke", SS_LEFT | WS_DISABLED);
  Bevel1 = MakeControl(L"STATIC", L"", SS_ETCHEDHORZ);
  // Last, so they lie beneath the controls they frame; WS_CLIPSIBLINGS keeps them from
  // painting over those controls.
  cxGroupBox3 = MakeControl(L"BUTTON", L"文件目录", BS_GROUPBOX | WS_CLIPSIBLINGS);
  cxGroupBox1 = MakeControl(L"BUTTON", L"操作选项", BS_GROUPBOX | WS_CLIPSIBLINGS);
  cxGroupBox2 = MakeControl(L"BUTTON", L"联系信息", BS_GROUPBOX | WS_CLIPSIBLINGS);
}

void TfrmZOR::LayOut() {
  if (areas_.empty()) return;
  RECT client;
  GetClientRect(frmZOR_, &client);
  const TExtent now{client.right, client.bottom};
  if (now.width == 0 && now.height == 0) return;  // minimised
  for (const TArea& area : areas_) {
    const TBounds at = area.box == nullptr ? TBounds{0, 0, now.width, now.height}
                                           : Anchored(area.designed, kDesignedClient, now, area.anchors);
    area.layout.Apply(at);
  }
  // The group boxes' old frames and the places the controls left must go as well.
  RedrawWindow(frmZOR_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfrmZOR::CreatePreview() {
  ACCEL f2{FVIRTKEY, VK_F2, kLayerPanelId};
  keys_.reset(CreateAcceleratorTableW(&f2, 1));
  layerTips_ = std::make_unique<TLayerTips>(frmZOR_, chkLayers);
}

void TfrmZOR::SchedulePreview() { SetTimer(frmZOR_, kPreviewTimer, kPreviewDelayMilliseconds, nullptr); }

void TfrmZOR::RefreshPreview() {
  if (busy_ || layerTips_ == nullptr) return;  // during a run, or before the controls exist
  KillTimer(frmZOR_, kPreviewTimer);
  const std::string folder = edtPath->Path();
  std::optional<TLayerPreview> preview;
  if (!folder.empty()) {
    std::array<bool, kLayerCount> ticked{};
    for (size_t i = 0; i < kLayerCount; ++i) ticked[i] = Ticked(chkLayers[i]);
    preview = PreviewLayers(WorkingFolderOf(folder), ticked, RecognitionMode());
  }
  const TLayerPreview* shown = preview ? &*preview : nullptr;
  layerTips_->Show(shown);
  if (layerPanel_ != nullptr) layerPanel_->ShowPreview(shown);
}

TLayerPanel& TfrmZOR::OpenLayerPanel() {
  if (layerPanel_ == nullptr) {
    TLayerPanel::TEvents events;
    events.recognitionSwitched = [this](bool on) { SetRecognitionMode(on); };
    events.activated = [this] { SchedulePreview(); };
    layerPanel_ = std::make_unique<TLayerPanel>(frmZOR_, font_.get(), std::move(events));
  }
  layerPanel_->ShowRecognition(RecognitionMode());
  Guarded([this] { RefreshPreview(); });
  layerPanel_->Open();
  return *layerPanel_;
}

void TfrmZOR::SetRecognitionMode(bool on) {
  recognise_ = on;
  if (layerPanel_ != nullptr) layerPanel_->ShowRecognition(on);
  Guarded([this] { RefreshPreview(); });
}

void TfrmZOR::OnCommand(WPARAM wp, LPARAM lp) {
  const int id = LOWORD(wp), code = HIWORD(wp);
  // Neither button is a default or cancel button: Enter and Escape (IDOK, IDCANCEL) do nothing.
  if (code == BN_CLICKED && id == kGenerateId) edtGenerateClick();
  if (code == BN_CLICKED && id == kCloseId) edtCloseClick();
  // From the menu (code 0) or the key table (code 1); ignored during a run.
  if (id == kLayerPanelId && lp == 0 && !busy_) OpenLayerPanel();
  const HWND from = reinterpret_cast<HWND>(lp);
  if (code == EN_CHANGE && from == edtPath->Handle()) SchedulePreview();
  if (code == BN_CLICKED && std::find(chkLayers.begin(), chkLayers.end(), from) != chkLayers.end())
    SchedulePreview();
}

bool TfrmZOR::InLayerBox(HWND on, LPARAM at) const {
  if (std::find(chkLayers.begin(), chkLayers.end(), on) != chkLayers.end()) return true;
  // A group box lets the mouse through to the window beneath: the click's place decides.
  RECT box;
  GetWindowRect(cxGroupBox1, &box);
  const POINT where{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  return (on == frmZOR_ || on == cxGroupBox1) && PtInRect(&box, where);
}

void TfrmZOR::ShowLayerMenu(LPARAM at) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kLayerPanelId, (Widen(kLayerPanelTitle) + L"…\tF2").c_str());
  POINT where{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (where.x == -1 && where.y == -1) {  // from the keyboard: at the layer box
    RECT box;
    GetWindowRect(cxGroupBox1, &box);
    where = {box.left, box.top};
  }
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, where.x, where.y, 0, frmZOR_, nullptr);
  DestroyMenu(menu);
}

void TfrmZOR::edtCloseClick() {
  if (busy_) {
    closePending_ = true;  // as the title-bar close: the window closes when the run ends
    return;
  }
  PostMessageW(frmZOR_, WM_CLOSE, 0, 0);
}

void TfrmZOR::edtGenerateClick() {
  if (busy_) return;  // no nested run while the archive writer hands control back
  busy_ = true;
  Guarded([this] { Execute(); });
  busy_ = false;
  SchedulePreview();  // the files of the folder have changed
  if (closePending_) PostMessageW(frmZOR_, WM_CLOSE, 0, 0);
}

void TfrmZOR::OnClose() {
  if (busy_) {
    closePending_ = true;  // a close during a run waits for the run to end
    return;
  }
  if (!destroyed_) {
    destroyed_ = true;
    Guarded([this] { FormDestroy(); });
  }
  DestroyWindow(frmZOR_);
}

void TfrmZOR::FormCreate() {
  settingsFileName_ = SettingsFileFor(executablePath_);
  LoadSettings();
}

void TfrmZOR::FormDestroy() { SaveSettings(); }

void TfrmZOR::Guarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    platform::ShowError(e.what());
  }
}

LRESULT TfrmZOR::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_GETMINMAXINFO: {
      // The designed size is the smallest at which no two controls overlap.
      const TExtent outer = OuterExtent(kDesignedClient);
      reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {outer.width, outer.height};
      return 0;
    }
    case WM_COMMAND:
      OnCommand(wp, lp);
      return 0;
    case WM_TIMER:
      if (wp == kPreviewTimer) Guarded([this] { RefreshPreview(); });
      return 0;
    case WM_CONTEXTMENU:
      if (InLayerBox(reinterpret_cast<HWND>(wp), lp)) {
        ShowLayerMenu(lp);
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      // Labels and check boxes show the window's face behind them.
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(IsWindowEnabled(reinterpret_cast<HWND>(lp)) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (waitDepth_ > 0) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // Files may have changed while the user was elsewhere.
      if (LOWORD(wp) != WA_INACTIVE) SchedulePreview();
      // Back to the control that had the focus when the window was left.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(frmZOR_, focus)) lastFocus_ = focus;
      } else if (IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      if (!destroyed_) {
        destroyed_ = true;
        Guarded([this] { FormDestroy(); });
      }
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(frmZOR_, msg, wp, lp);
}

LRESULT CALLBACK TfrmZOR::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<TfrmZOR*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->frmZOR_ = wnd;
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TfrmZOR*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(wnd, msg, wp, lp);
  return self->HandleMessage(msg, wp, lp);
}

LRESULT CALLBACK TfrmZOR::MemoProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_GETDLGCODE) {
    // Tab moves on to the next control, as everywhere else in the window; a tab character
    // would only end up in the contact sheet. Enter still makes a new line.
    LRESULT code = DefSubclassProc(wnd, msg, wp, lp);
    const MSG* key = reinterpret_cast<const MSG*>(lp);
    if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_TAB)
      code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
    return code & ~DLGC_WANTTAB;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, MemoProc, kMemoSubclassId);
  return DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace winapp
