// Focus: the memo's lines as the edit control displays them (wrapped at its width, no line
// for a final line break) and the CR LF form of a text given to it.
#include "winapp/MemoLines.h"

#include <gtest/gtest.h>

#include "winapp/UiFont.h"

namespace winapp {
namespace {

class MemoLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    memo_ = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN, 0, 0, 276,
                            161, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(memo_, nullptr);
    SendMessageW(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  void TearDown() override { DestroyWindow(memo_); }

  std::vector<std::wstring> LinesOf(const std::wstring& text) {
    SetWindowTextW(memo_, text.c_str());
    return DisplayedLines(memo_);
  }

  TFontHandle font_ = CreateWindowFont();
  HWND memo_ = nullptr;
};

TEST_F(MemoLinesTest, LinesAsTyped) {
  using Lines = std::vector<std::wstring>;
  struct Case {
    const wchar_t* text;
    Lines lines;
  } cases[] = {
      {L"", {}},
      {L"first\r\nsecond", {L"first", L"second"}},
      {L"first\r\n", {L"first"}},                       // a final line break gives no line
      {L"first\r\n\r\n", {L"first", L""}},
      {L"a\r\n\r\nb", {L"a", L"", L"b"}},               // an empty line between two
      {L"\r\n", {L""}},
      {L"备注第一行\r\n第二行", {L"备注第一行", L"第二行"}},
  };
  for (const Case& c : cases) EXPECT_EQ(LinesOf(c.text), c.lines) << "text of " << wcslen(c.text);
}

TEST_F(MemoLinesTest, ALongParagraphGivesOneLinePerDisplayedLine) {
  std::wstring paragraph;
  for (int i = 0; i < 30; ++i) paragraph += L"word" + std::to_wstring(i) + L" ";
  paragraph += L"end";
  const std::vector<std::wstring> lines = LinesOf(paragraph + L"\r\nnext");
  ASSERT_GT(lines.size(), 3u);
  EXPECT_EQ(lines.back(), L"next");
  std::wstring joined;
  for (size_t i = 0; i + 1 < lines.size(); ++i) joined += lines[i];
  EXPECT_EQ(joined, paragraph);  // wrapped at blanks, nothing lost or added
  // Each displayed line fits the memo's width.
  RECT client;
  GetClientRect(memo_, &client);
  HDC dc = GetDC(memo_);
  HGDIOBJ old = SelectObject(dc, font_.get());
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    std::wstring visible = lines[i];
    while (!visible.empty() && visible.back() == L' ') visible.pop_back();
    SIZE extent;
    GetTextExtentPoint32W(dc, visible.c_str(), static_cast<int>(visible.size()), &extent);
    EXPECT_LE(extent.cx, client.right) << i;
  }
  SelectObject(dc, old);
  ReleaseDC(memo_, dc);
}

TEST(WithCrLf, EveryLineBreakBecomesCrLf) {
  EXPECT_EQ(WithCrLf(L"a\nb\rc\r\nd"), L"a\r\nb\r\nc\r\nd");
  EXPECT_EQ(WithCrLf(L"\n\n"), L"\r\n\r\n");
  EXPECT_EQ(WithCrLf(L"\r\r\n"), L"\r\n\r\n");
  EXPECT_EQ(WithCrLf(L"plain"), L"plain");
}

}  // namespace
}  // namespace winapp
