// Shared by the painter tests: a shown test form carrying a skin component, loaded from a package that
// the test makes.
#pragma once
#include <windows.h>

#include <string>

#include "DeviceContext.h"
#include "FormsTestSupport.h"
#include "Forms.h"
#include "StdClasses.h"
#include "WinSkinData.h"

namespace skintest {

// Pixel (x, y) of the window, window coordinates.
inline COLORREF WindowPixel(HWND wnd, int x, int y) {
  const cl::TWindowDC dc(wnd, cl::TWindowDC::dcWholeWindow);
  return GetPixel(dc.Get(), x, y);
}

class PainterFormTest : public formstest::AppTest {
 protected:
  // The form at these bounds, with the skin component on it; not shown yet.
  void MakeForm(int left, int top, int width, int height) {
    cl::RegisterStandardClasses();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    form_->SetBounds(left, top, width, height);
    data_ = new skin::TSkinData(form_);
  }
  void TearDown() override {
    delete form_;
    form_ = nullptr;
    AppTest::TearDown();
  }
  // The package becomes the component's skin.
  void LoadPackage(const std::string& package) {
    data_->SkinStreamData.Clear();
    data_->SkinStreamData.Write(package.data(), package.size());
    ASSERT_TRUE(data_->LoadSkin());
  }
  template <class T>
  T* NewControl(int left, int top, int width, int height) {
    auto* control = new T(form_);
    control->SetParent(form_);
    control->SetBounds(left, top, width, height);
    return control;
  }

  cl::TForm* form_ = nullptr;
  skin::TSkinData* data_ = nullptr;
};

}  // namespace skintest
