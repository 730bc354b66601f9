// Shared by the check box, radio button, status bar, group box and panel painter tests: a shown form
// whose skin component reads a package made in the test, flat-colour frame strips, and pixels read
// from a control's own window.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeviceContext.h"
#include "Forms.h"
#include "FormsTestSupport.h"
#include "NCFrameFixture.h"
#include "PainterFormTest.h"
#include "SkinPack.h"
#include "StdClasses.h"
#include "WinSkinData.h"

namespace painttest {

// Twelve colours, one per frame, none of them the key colour or a colour the forms use.
inline const COLORREF kFrames[12] = {RGB(200, 30, 30),  RGB(30, 200, 30),  RGB(30, 30, 200),  RGB(200, 200, 30),
                                     RGB(30, 200, 200), RGB(200, 30, 120), RGB(120, 60, 10), RGB(10, 120, 60),
                                     RGB(60, 10, 120),  RGB(150, 150, 150), RGB(90, 40, 160), RGB(250, 140, 0)};
// The colour of the form behind the controls.
constexpr cl::TColor kFormColour = 0x103050;  // RGB(0x50, 0x30, 0x10)
constexpr COLORREF kFormRGB = RGB(0x50, 0x30, 0x10);

// A strip of `frames` flat frames of w by h, frame k (from 1) in kFrames[k - 1].
inline std::string FrameStrip(int frames, int w, int h) { return ncframe::Strip(frames, w, h, false, kFrames); }

using skintest::WindowPixel;

// Paints the window's invalid part now.
inline void PaintNow(HWND wnd) { RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

class PainterTest : public skintest::PainterFormTest {
 protected:
  void SetUp() override {
    PainterFormTest::SetUp();
    MakeForm(60, 60, 360, 260);
    form_->SetColor(kFormColour);
  }
  // Reads a package of the description and the bitmaps into the skin component.
  void LoadSkin(const std::string& description, const std::vector<skin::TSkinPackEntry>& bitmaps) {
    std::vector<skin::TSkinPackEntry> entries{{"test.ini", description}};
    entries.insert(entries.end(), bitmaps.begin(), bitmaps.end());
    LoadPackage(skin::BuildSkinPackage(entries));
  }
  void Show() {
    form_->Show();
    UpdateWindow(form_->Handle());
  }
};

}  // namespace painttest
