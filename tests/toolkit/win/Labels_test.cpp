// The link and path labels: the six looks of a link, its click through the opener seam, mouse enter and
// leave as the parent window reports them, the label's own cursor; the path label's drawing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "Colors.h"
#include "Forms.h"
#include "PaintSurface.h"
#include "SaPathLabel.h"
#include "SaURLLabel.h"
#include "StdCtrls.h"

namespace {

using toolkit::TSaPathLabel;
using toolkit::TSaURLLabel;

class Labels : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<cl::TApplication>();
    app_->Initialize();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(40, 40, 300, 200);
    link_ = new TSaURLLabel(form_);
    link_->SetParent(form_);
    link_->SetBounds(20, 20, 120, 16);
    link_->SetCaption("example link");
    link_->SetURL("http://www.example.com/");
    link_->SetOpener([this](const std::string& url) { opened_.push_back(url); });
    link_->OnClick = [this](cl::TObject*) { ++clicks_; };
  }
  void TearDown() override { app_.reset(); }

  bool Underlined() const { return link_->Font()->Style().Contains(cl::fsUnderline); }

  // The parent's mouse messages, as the system sends them.
  void MoveTo(int x, int y) { SendMessageW(form_->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
  void Leave() { SendMessageW(form_->Handle(), WM_MOUSELEAVE, 0, 0); }
  // The cursor the form's window chooses with the mouse at (x, y) of its client area.
  HCURSOR CursorAt(int x, int y) {
    POINT p{x, y};
    ClientToScreen(form_->Handle(), &p);
    SetCursorPos(p.x, p.y);
    SetCursor(nullptr);
    SendMessageW(form_->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  }

  std::unique_ptr<cl::TApplication> app_;
  cl::TForm* form_ = nullptr;
  TSaURLLabel* link_ = nullptr;
  std::vector<std::string> opened_;
  int clicks_ = 0;
};

TEST_F(Labels, ActiveLinkLooksAndBecomesVisitedByAClick) {
  EXPECT_TRUE(link_->Active());
  EXPECT_TRUE(link_->AutoVisited());
  EXPECT_FALSE(link_->Visited());
  EXPECT_EQ(link_->Font()->Color(), cl::clNavy);
  EXPECT_TRUE(Underlined());

  form_->Show();
  MoveTo(30, 25);
  EXPECT_TRUE(link_->Hovering());
  EXPECT_EQ(link_->Font()->Color(), cl::clBlue);
  Leave();
  EXPECT_FALSE(link_->Hovering());
  EXPECT_EQ(link_->Font()->Color(), cl::clNavy);

  link_->Click();
  EXPECT_EQ(clicks_, 1);
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://www.example.com/"}));
  EXPECT_TRUE(link_->Visited());
  EXPECT_EQ(link_->Font()->Color(), cl::clPurple);
  MoveTo(30, 25);
  EXPECT_EQ(link_->Font()->Color(), cl::clBlue);
  // Moving onto the form outside the label is leaving it.
  MoveTo(250, 150);
  EXPECT_FALSE(link_->Hovering());
  EXPECT_EQ(link_->Font()->Color(), cl::clPurple);
  EXPECT_TRUE(Underlined());
}

TEST_F(Labels, InactiveLinkOpensNothingAndEmptyUrlsNeither) {
  link_->SetActive(false);
  EXPECT_EQ(link_->Font()->Color(), cl::clBlack);
  EXPECT_FALSE(Underlined());
  link_->Click();
  EXPECT_EQ(clicks_, 1);
  EXPECT_TRUE(opened_.empty());
  EXPECT_FALSE(link_->Visited());

  link_->SetActive(true);
  link_->SetURL("");
  link_->Click();
  EXPECT_EQ(clicks_, 2);
  EXPECT_TRUE(opened_.empty());
  EXPECT_FALSE(link_->Visited());

  // Without AutoVisited a click opens but leaves the look.
  link_->SetURL("http://www.example.com/");
  link_->SetAutoVisited(false);
  link_->Click();
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_FALSE(link_->Visited());
}

TEST_F(Labels, StylesAreAssignedAndReapplied) {
  link_->ActiveStyle()->SetColor(cl::clGreen);
  EXPECT_EQ(link_->Font()->Color(), cl::clGreen);
  link_->ActiveStyle()->Font()->SetStyle(cl::TFontStyles{cl::fsBold});
  EXPECT_TRUE(link_->Font()->Style().Contains(cl::fsBold));
  // The style font's own colour is never shown.
  link_->ActiveStyle()->Font()->SetColor(cl::clRed);
  EXPECT_EQ(link_->Font()->Color(), cl::clGreen);
  link_->SetVisitedStyle(link_->ActiveStyle());
  link_->SetVisited(true);
  EXPECT_EQ(link_->Font()->Color(), cl::clGreen);
  EXPECT_TRUE(link_->Font()->Style().Contains(cl::fsBold));
  EXPECT_THROW(link_->ActiveStyle()->Assign(link_->Font()), cl::EConvertError);
}

TEST_F(Labels, TheHandIsTheLinksOwnCursor) {
  form_->Show();
  const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  EXPECT_EQ(link_->Cursor(), cl::crHandPoint);
  EXPECT_EQ(CursorAt(30, 25), hand);
  // Elsewhere on the form the window's own cursor shows again: nothing was left set.
  EXPECT_NE(CursorAt(250, 150), hand);
  link_->SetActive(false);
  EXPECT_NE(CursorAt(30, 25), hand);

  // Any windowless control may have a cursor of its own.
  auto* label = new cl::TLabel(form_);
  label->SetParent(form_);
  label->SetBounds(20, 100, 80, 16);
  label->SetCaption("plain");
  label->SetCursor(cl::crIBeam);
  EXPECT_EQ(CursorAt(30, 105), LoadCursorW(nullptr, IDC_IBEAM));
}

TEST_F(Labels, ShowHintGivesAWindowedControlItsTooltip) {
  auto* edit = new cl::TEdit(form_);
  edit->SetParent(form_);
  edit->SetBounds(20, 60, 100, 21);
  edit->SetHint("Double click to perform an action");
  form_->Show();
  // The tooltip window that holds a tool for the control's window.
  auto tooltipOf = [](HWND control) -> HWND {
    for (HWND w = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w;
         w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
      TTTOOLINFOW ti{};
      ti.cbSize = sizeof ti;
      ti.hwnd = control;
      ti.uId = reinterpret_cast<UINT_PTR>(control);
      if (SendMessageW(w, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) return w;
    }
    return nullptr;
  };
  EXPECT_EQ(tooltipOf(edit->Handle()), nullptr);
  edit->SetShowHint(true);
  HWND tip = tooltipOf(edit->Handle());
  ASSERT_NE(tip, nullptr);
  wchar_t text[80] = {};
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = edit->Handle();
  ti.uId = reinterpret_cast<UINT_PTR>(edit->Handle());
  ti.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(text, L"Double click to perform an action");
  // A new window of the control gets a new tooltip; the old one does not linger.
  edit->RecreateWnd();
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_NE(tooltipOf(edit->Handle()), nullptr);
  edit->SetShowHint(false);
  EXPECT_EQ(tooltipOf(edit->Handle()), nullptr);
}

// ------------------------------------------------------------------------------------- the path label

// The pixels the label paints on a white bitmap of its size.
std::vector<COLORREF> Paint(TSaPathLabel* label) {
  const hktest::PaintSurface surface(label->Width(), label->Height());
  RECT all{0, 0, label->Width(), label->Height()};
  FillRect(surface.DC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  label->PaintTo(surface.DC());
  std::vector<COLORREF> pixels;
  for (int y = 0; y < label->Height(); ++y)
    for (int x = 0; x < label->Width(); ++x) pixels.push_back(surface.Pixel(x, y));
  return pixels;
}

// The leftmost and rightmost columns with ink.
std::pair<int, int> InkColumns(const std::vector<COLORREF>& pixels, int width, COLORREF ink) {
  int first = width, last = -1;
  for (size_t i = 0; i < pixels.size(); ++i)
    if (pixels[i] == ink) {
      const int x = static_cast<int>(i % static_cast<size_t>(width));
      first = std::min(first, x);
      last = std::max(last, x);
    }
  return {first, last};
}

TEST_F(Labels, PathLabelShortensInTheMiddleAndGreysWhenDisabled) {
  auto* path = new TSaPathLabel(form_);
  EXPECT_FALSE(path->AutoSize());
  EXPECT_FALSE(path->Caption().empty());  // the current directory
  path->SetParent(form_);
  path->SetBounds(0, 0, 229, 16);
  path->SetTransparent(true);
  path->Font()->SetColor(cl::clBlack);
  path->SetCaption("C:\\Program Files\\A very long folder name\\and another one\\deeper still\\the file.txt");
  const COLORREF black = RGB(0, 0, 0);
  auto [first, last] = InkColumns(Paint(path), 229, black);
  // Shortened to fit: the text starts at the left and ends inside the label.
  EXPECT_LT(first, 5);
  EXPECT_GT(last, 150);
  EXPECT_LT(last, 229);

  // Centred: a short path has the same margin on both sides.
  path->SetCaption("C:\\a&b.txt");
  path->SetAlignment(cl::taCenter);
  std::tie(first, last) = InkColumns(Paint(path), 229, black);
  EXPECT_NEAR(first, 228 - last, 3);

  // The ampersand is drawn: wider than the same path without it.
  const int withAmpersand = last - first;
  path->SetCaption("C:\\ab.txt");
  std::tie(first, last) = InkColumns(Paint(path), 229, black);
  EXPECT_GT(withAmpersand, last - first);

  path->SetEnabled(false);
  const auto grey = Paint(path);
  EXPECT_EQ(InkColumns(grey, 229, black).second, -1);
  EXPECT_NE(InkColumns(grey, 229, GetSysColor(COLOR_GRAYTEXT)).second, -1);
}

}  // namespace
