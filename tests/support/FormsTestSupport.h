// Shared by the form and control tests: an application per test, and timed actions that drive message
// loops (every loop a test runs ends by a timeout at the latest).
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FormReader.h"
#include "Forms.h"
#include "HiddenWindow.h"
#include "PaintSurface.h"
#include "StdClasses.h"
#include "WinString.h"

namespace formstest {

// Actions run from timers of a hidden window of the test thread.
class TTimers {
 public:
  TTimers()
      : window_([this](cl::TMessage& m) {
          if (m.Msg == WM_TIMER) Fire(m.WParam);
        }) {}
  ~TTimers() {
    for (auto& entry : actions_) KillTimer(window_.Handle(), entry.first);
  }
  TTimers(const TTimers&) = delete;
  TTimers& operator=(const TTimers&) = delete;

  void After(UINT ms, std::function<void()> action) {
    const UINT_PTR id = next_++;
    actions_[id] = std::move(action);
    SetTimer(window_.Handle(), id, ms, nullptr);
  }
  // Ends every loop after `ms` and records a failure.
  void Timeout(UINT ms = 5000) {
    After(ms, [] {
      ADD_FAILURE() << "timed out";
      if (cl::Application) cl::Application->Terminate();
    });
  }

 private:
  void Fire(UINT_PTR id) {
    KillTimer(window_.Handle(), id);
    auto it = actions_.find(id);
    if (it == actions_.end()) return;
    auto action = std::move(it->second);
    actions_.erase(it);
    action();
  }
  cl::THiddenWindow window_;
  std::map<UINT_PTR, std::function<void()>> actions_;
  UINT_PTR next_ = 1;
};

// Each test gets a fresh application; exceptions that reach it are recorded instead of shown.
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<cl::TApplication>();
    ASSERT_EQ(cl::Application, app_.get());
    app_->Initialize();
    app_->OnException = [this](cl::TObject*, const std::exception& e) { errors_.push_back(e.what()); };
  }
  void TearDown() override {
    app_.reset();
    // Nothing of this test may reach the next one's loop.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  // Handles what is queued now.
  void Pump() { app_->ProcessMessages(); }

  std::unique_ptr<cl::TApplication> app_;
  std::vector<std::string> errors_;
  TTimers timers_;
};

// A fresh application with one form read from its description (the standard controls registered).
class FormTest : public AppTest {
 protected:
  // The form is the application's; it is not shown yet.
  cl::TForm* LoadForm(std::string_view description) {
    cl::RegisterStandardClasses();
    form_ = cl::NewForm<cl::TForm>(app_.get());
    cl::ReadRootComponent(form_, description);
    return form_;
  }

  cl::TForm* form_ = nullptr;
};

// The text a list view window shows in a cell (the window's answer, not the rows it was given).
inline std::string ListViewText(HWND wnd, int row, int column) {
  wchar_t text[64]{};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(wnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return cl::FromWide(text);
}

// The rows and the first selected row (-1 for none) as the list view window holds them.
inline int ListViewRows(HWND wnd) { return static_cast<int>(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0)); }
inline int ListViewSelected(HWND wnd) {
  return static_cast<int>(SendMessageW(wnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// A row of the control's client area as its window draws itself (WM_PRINTCLIENT), one colour a pixel.
inline std::vector<COLORREF> PrintedRow(cl::TWinControl* control, int y) {
  const hktest::PaintSurface surface(control->ClientWidth(), control->ClientHeight());
  SendMessageW(control->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT | PRF_ERASEBKGND);
  std::vector<COLORREF> row;
  for (int x = 0; x < control->ClientWidth(); ++x) row.push_back(surface.Pixel(x, y));
  return row;
}

}  // namespace formstest
