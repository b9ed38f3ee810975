// Focus: the native window as a user meets it, without a display: the designed controls,
// captions, places and tab order, the anchors on resizing, settings loaded at creation and
// saved once at closing (errors in the error box), Execute from the buttons with the result
// box, and the buttons ignored and a close delayed while a run hands control back.
#include "winapp/ZOR_form.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/Settings.h"
#include "platform/FileSystem.h"
#include "platform/UiHooks.h"
#include "platform/FileStream.h"
#include "winapp/ControlText.h"
#include "winapp/testing/WindowFixture.h"

namespace winapp {
namespace {

using testing::kMinute;
using testing::WindowTest;

TBounds ClientBounds(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

TEST_F(WindowTest, DesignedWindowControlsAndCaptions) {
  TfrmZOR& w = Open();
  EXPECT_EQ(TextOf(w.Handle()), "Tavelo v1.0");
  const LONG_PTR style = GetWindowLongPtrW(w.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  RECT client, outer;
  GetClientRect(w.Handle(), &client);
  GetWindowRect(w.Handle(), &outer);
  EXPECT_EQ(client.right, 601);
  EXPECT_EQ(client.bottom, 523);
  EXPECT_EQ(outer.left, 426);
  EXPECT_EQ(outer.top, 215);

  struct Case {
    HWND control;
    const char* caption;
    TBounds at;  // in the window's client area (group box children at the box's offset)
  } cases[] = {
      {w.cxGroupBox3, "文件目录", {12, 8, 577, 77}},
      {w.Label8, "目录：", {28, 40, 36, 17}},
      {w.chkZIP, "压缩包", {504, 38, 65, 17}},
      {w.cxGroupBox1, "操作选项", {12, 92, 205, 381}},
      {w.chkLayers[0], "GTO - Top Overlay", {28, 116, 180, 17}},
      {w.chkLayers[8], "GKO - KeepOut Layer", {28, 336, 180, 17}},
      {w.chkLayers[12], "TXT - NC Drill Data", {28, 432, 180, 17}},
      {w.cxGroupBox2, "联系信息", {228, 92, 360, 381}},
      {w.Label1, "姓名：", {244, 124, 36, 17}},
      {w.Label4, "QQ：", {244, 188, 32, 17}},
      {w.Label7, "备注：", {244, 284, 36, 17}},
      {w.edtMemo, "", {300, 280, 276, 161}},
      {w.Label6, "Tavelo v1.0 / Program by dovan.ke", {14, 490, 210, 17}},
      {w.edtGenerate, "执行", {431, 484, 75, 25}},
      {w.edtClose, "关闭", {515, 484, 75, 25}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextOf(c.control), c.caption);
    EXPECT_EQ(ClientBounds(c.control), c.at) << c.caption;
  }
  for (size_t i = 0; i < kLayerCount; ++i) EXPECT_EQ(TextOf(w.chkLayers[i]), kLayerCodes[i].caption);
  // The edits stand at their designed left, top and width.
  EXPECT_EQ(ClientBounds(w.edtPath->Handle()).left, 68);
  EXPECT_EQ(ClientBounds(w.edtPath->Handle()).width, 425);
  EXPECT_EQ(ClientBounds(w.edtAddress).left, 300);
  EXPECT_EQ(ClientBounds(w.edtAddress).width, 276);
  EXPECT_FALSE(IsWindowEnabled(w.Label6));
  // The memo wraps: no horizontal scrolling.
  EXPECT_FALSE(GetWindowLongPtrW(w.edtMemo, GWL_STYLE) & (ES_AUTOHSCROLL | WS_HSCROLL));
  EXPECT_TRUE(GetWindowLongPtrW(w.edtMemo, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(WindowTest, TabOrderAndInitialFocus) {
  TfrmZOR& w = Open();
  w.Show(SW_SHOW);
  EXPECT_EQ(GetFocus(), w.edtClose);
  std::vector<HWND> expected(w.chkLayers.begin(), w.chkLayers.end());
  for (HWND h : {w.edtClose, w.edtPerson, w.edtTel, w.edtAddress, w.edtQQ, w.edtPostcode, w.edtMemo,
                 w.edtGenerate, w.edtPath->Edit(), w.chkZIP})
    expected.push_back(h);
  HWND at = expected.back();
  for (HWND next : expected) {
    at = GetNextDlgTabItem(w.Handle(), at, FALSE);
    EXPECT_EQ(at, next) << TextOf(next);
  }
  // Tab in the memo moves on instead of typing a tab character.
  MSG tab{w.edtMemo, WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_FALSE(SendMessageW(w.edtMemo, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) &
               (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE));
  MSG enter{w.edtMemo, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(SendMessageW(w.edtMemo, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
              (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE));
}

TEST_F(WindowTest, EnlargingKeepsEachControlAnchored) {
  TfrmZOR& w = Open();
  RECT outer;
  GetWindowRect(w.Handle(), &outer);
  SetWindowPos(w.Handle(), nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 60,
               SWP_NOMOVE | SWP_NOZORDER);
  struct Case {
    HWND control;
    TBounds at;
  } cases[] = {
      {w.cxGroupBox3, {12, 8, 577, 77}},      // the folder group keeps its size
      {w.cxGroupBox1, {12, 92, 205, 441}},    // lengthened downwards
      {w.cxGroupBox2, {228, 92, 460, 441}},   // widened and lengthened
      {w.edtMemo, {300, 280, 376, 221}},
      {w.chkLayers[12], {28, 432, 180, 17}},
      {w.Label6, {14, 550, 210, 17}},          // bottom left
      {w.Bevel1, {226, 559, 297, 2}},          // the line between widens
      {w.edtGenerate, {531, 544, 75, 25}},     // bottom right
      {w.edtClose, {615, 544, 75, 25}},
  };
  for (const Case& c : cases) EXPECT_EQ(ClientBounds(c.control), c.at) << TextOf(c.control);
  EXPECT_EQ(ClientBounds(w.edtAddress).width, 376);
  // The designed size is the smallest the user can drag it to.
  MINMAXINFO info{};
  SendMessageW(w.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  RECT designed{0, 0, 601, 523};
  AdjustWindowRectEx(&designed, GetWindowLongPtrW(w.Handle(), GWL_STYLE), FALSE, 0);
  EXPECT_EQ(info.ptMinTrackSize.x, designed.right - designed.left);
  EXPECT_EQ(info.ptMinTrackSize.y, designed.bottom - designed.top);
}

TEST_F(WindowTest, SettingsFillTheControlsAndAreSavedOnceAtClosing) {
  TSettings s;
  s.layers[0] = s.layers[3] = true;
  s.name = "张三";
  s.tel = "123";
  s.memo = "a\r\nb";
  s.zip = true;
  s.path = "D:\\board";
  const std::string ini = dir / "tavelo.ini";
  SaveSettingsFile(ini, s);
  dir.Write("extra.txt", "");
  const std::string before = platform::ReadWholeFile(ini);

  TfrmZOR& w = Open();
  EXPECT_EQ(w.SettingsFileName(), ini);
  EXPECT_TRUE(Ticked(w.chkLayers[0]));
  EXPECT_TRUE(Ticked(w.chkLayers[3]));
  EXPECT_FALSE(Ticked(w.chkLayers[1]));
  EXPECT_EQ(TextOf(w.edtPerson), "张三");
  EXPECT_EQ(TextOf(w.edtTel), "123");
  EXPECT_EQ(w.MemoText(), "a\r\nb");
  EXPECT_EQ(w.MemoLines(), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(Ticked(w.chkZIP));
  EXPECT_EQ(w.edtPath->Path(), "D:\\board");
  EXPECT_EQ(TextOf(w.edtPath->Edit()), "D:\\board");

  CloseByTitleBar();
  EXPECT_FALSE(IsWindow(w.Handle()));
  EXPECT_EQ(platform::ReadWholeFile(ini), before);  // read and written back unchanged

  // A change made in the window is what the next start finds; the folder typed in is kept.
  frm.reset();
  TfrmZOR& again = Open();
  SetTicked(again.chkLayers[12], true);
  SetText(again.edtPath->Edit(), "D:\\other\\");
  frm.reset();  // the window goes away without a close command: still saved, once
  const std::optional<TSettings> saved = LoadSettingsFile(ini);
  ASSERT_TRUE(saved);
  EXPECT_TRUE(saved->layers[12]);
  EXPECT_EQ(saved->path, "D:\\other");
  EXPECT_TRUE(recorder.errors.empty());
}

TEST_F(WindowTest, SettingsErrorsGoToTheErrorBox) {
  // A memo too long for the settings store: saving fails, the file keeps its content.
  const std::string ini = dir.Write("tavelo.ini", "Option:[%RootKey%]\r\n");
  TfrmZOR& w = Open();
  std::string memo;
  for (int i = 0; i < 5000; ++i) memo += "a line of text\r\n";  // short lines wrap quickly
  w.SetMemoText(memo);
  CloseByTitleBar();
  ASSERT_EQ(recorder.errors.size(), 1u);
  EXPECT_EQ(recorder.errors[0], "Invalid value (length > 65535).");
  EXPECT_EQ(platform::ReadWholeFile(ini), "Option:[%RootKey%]\r\n");
}

TEST_F(WindowTest, ABrokenSettingsFileIsKeptAsideAndTheChoicesSavedAfresh) {
  // A block without its root key: the loader refuses it at start and again at closing.
  const std::string broken = "[%\r\n  GTO:TRUE\r\n%]\r\n";
  const std::string ini = dir.Write("tavelo.ini", broken);
  TfrmZOR& w = Open();
  ASSERT_EQ(recorder.errors.size(), 1u);  // the window starts with its defaults
  SetText(w.edtPerson, "张三");
  CloseByTitleBar();
  ASSERT_EQ(recorder.errors.size(), 2u);
  EXPECT_NE(recorder.errors[1].find("tavelo.ini.bad"), std::string::npos) << recorder.errors[1];
  EXPECT_EQ(platform::ReadWholeFile(ini + ".bad"), broken);
  const std::optional<TSettings> saved = LoadSettingsFile(ini);
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->name, "张三");
}

TEST_F(WindowTest, ExecuteRenamesWritesThePackAndShowsTheReport) {
  const std::string board = Board();
  TfrmZOR& w = Open();
  w.edtPath->SetPath(board + "\\");
  SetTicked(w.chkLayers[3], true);   // GTL
  SetTicked(w.chkLayers[1], true);   // GTP: no file
  SetTicked(w.chkLayers[12], true);  // TXT
  SetTicked(w.chkZIP, true);
  SetText(w.edtPerson, "张三");
  w.SetMemoText("first\r\nsecond\r\n");
  SendMessageW(w.edtGenerate, BM_CLICK, 0, 0);

  ASSERT_TRUE(recorder.errors.empty()) << recorder.errors[0];
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0], "文件没有找到：*.GTP\r\n压缩文件名：张三-2024-01-02-1507.zip\r\n");
  EXPECT_EQ(w.WorkingFolder(), board + "\\");
  EXPECT_TRUE(platform::FileExists(board + "\\GTL"));
  EXPECT_TRUE(platform::FileExists(board + "\\TXT"));
  EXPECT_TRUE(platform::FileExists(board + "\\README.txt"));
  EXPECT_TRUE(platform::FileExists(board + "\\张三-2024-01-02-1507.zip"));
  const std::string sheet = platform::ReadWholeFile(board + "\\Contect.txt");
  // The memo's lines in GBK: "备注：first", then three ideographic spaces and "second".
  EXPECT_NE(sheet.find("\xB1\xB8\xD7\xA2\xA3\xBA" "first\r\n\xA1\xA1\xA1\xA1\xA1\xA1second\r\n"), std::string::npos);
  EXPECT_EQ(sheet.substr(sheet.size() - 8), "second\r\n");  // no line for the final break
}

TEST_F(WindowTest, AnErrorEndsExecuteInTheErrorBox) {
  TfrmZOR& w = Open();
  w.edtPath->SetPath(dir / "missing");
  SendMessageW(w.edtGenerate, BM_CLICK, 0, 0);
  EXPECT_TRUE(recorder.messages.empty());
  ASSERT_EQ(recorder.errors.size(), 1u);
  EXPECT_EQ(recorder.errors[0].rfind("Cannot create file \"" + dir / "missing\\Contect.txt" + "\".", 0), 0u)
      << recorder.errors[0];
  EXPECT_TRUE(IsWindow(w.Handle()));
  EXPECT_FALSE(w.Busy());
}

TEST_F(WindowTest, DuringARunTheButtonsWaitAndACloseHappensAfterIt) {
  const std::string board = Board();
  TfrmZOR& w = Open();
  w.edtPath->SetPath(board);
  SetTicked(w.chkLayers[3], true);
  SetTicked(w.chkZIP, true);
  bool seenBusy = false;
  recorder.duringRun = [&] {
    seenBusy = w.Busy();
    SendMessageW(w.edtGenerate, BM_CLICK, 0, 0);  // no second run
    SendMessageW(w.Handle(), WM_CLOSE, 0, 0);     // waits for the run
    SendMessageW(w.edtClose, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindow(w.Handle()));
  };
  SendMessageW(w.edtGenerate, BM_CLICK, 0, 0);
  EXPECT_GT(recorder.eventCalls, 0);
  EXPECT_TRUE(seenBusy);
  EXPECT_EQ(recorder.messages.size(), 1u);  // one run, one report
  EXPECT_TRUE(recorder.errors.empty());
  EXPECT_TRUE(IsWindow(w.Handle()));  // the close comes once the run has ended
  ProcessPendingMessages(nullptr);
  DrainQuit();
  EXPECT_FALSE(IsWindow(w.Handle()));
  EXPECT_TRUE(platform::FileExists(dir / "tavelo.ini"));
}

TEST_F(WindowTest, ItsOwnHooksShowTheWaitCursorOverTheWindowDuringARun) {
  frm = std::make_unique<TfrmZOR>(dir / "tavelo.exe");  // installs the Win32 hooks
  frm->Create();
  EXPECT_TRUE(platform::Hooks().messageBox && platform::Hooks().errorBox && platform::Hooks().processEvents);
  const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  platform::SetWaitCursor(true);
  EXPECT_TRUE(SendMessageW(frm->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(frm->Handle()), overClient));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  platform::SetWaitCursor(false);
  SendMessageW(frm->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(frm->Handle()), overClient);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  frm.reset();
  EXPECT_FALSE(platform::Hooks().messageBox);  // gone with the window
}

}  // namespace
}  // namespace winapp
