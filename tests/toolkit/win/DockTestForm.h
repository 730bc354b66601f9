// A form with a dock on each of its four sides and a panel holding a fifth dock, shown and ready, and a
// helper that makes tool windows ("bars") for it. Shared by the dock and docking tests.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "ExtCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "ToolDock.h"

namespace docktest {

using toolkit::dock::TCustomToolWin;
using toolkit::dock::TToolDock;
using toolkit::dock::TToolWin;

inline constexpr const char* kDockForm =
    "object frmDocks: TForm\n"
    "  Left = 60\n"
    "  Top = 40\n"
    "  Width = 640\n"
    "  Height = 480\n"
    "  object dkTop: TToolDock\n"
    "  end\n"
    "  object dkBottom: TToolDock\n"
    "    Position = dpBottom\n"
    "  end\n"
    "  object dkLeft: TToolDock\n"
    "    Position = dpLeft\n"
    "  end\n"
    "  object dkRight: TToolDock\n"
    "    Position = dpRight\n"
    "  end\n"
    "  object pnlHost: TPanel\n"
    "    Left = 200\n"
    "    Top = 150\n"
    "    Width = 240\n"
    "    Height = 160\n"
    "    BevelOuter = bvNone\n"
    "    object dkPanel: TToolDock\n"
    "    end\n"
    "  end\n"
    "end\n";

class DockFormTest : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    cl::RegisterClasses({TToolWin::StaticClass(), TToolDock::StaticClass()});
    form_ = cl::NewForm<cl::TForm>(app_.get());
    cl::ReadRootComponent(form_, kDockForm);
    top_ = cl::ComponentAs<TToolDock>(form_, "dkTop");
    bottom_ = cl::ComponentAs<TToolDock>(form_, "dkBottom");
    left_ = cl::ComponentAs<TToolDock>(form_, "dkLeft");
    right_ = cl::ComponentAs<TToolDock>(form_, "dkRight");
    panel_ = cl::ComponentAs<cl::TPanel>(form_, "pnlHost");
    panelDock_ = cl::ComponentAs<TToolDock>(form_, "dkPanel");
    form_->Show();
    SetActiveWindow(form_->Handle());
    Pump();
  }

  // A bar owned by the form with the given client size, at row and pos, placed on `place` (a dock, the
  // form to float over, or null). With an edit box inside, filling its client area but for 2 pixels.
  TToolWin* MakeBar(const std::string& name, cl::TWinControl* place, int clientWidth, int clientHeight,
                    int row = 0, int pos = -1, bool withEdit = true) {
    auto* bar = new TToolWin(form_);
    bar->SetName(name);
    // Other tests take the activation now and then; a floating bar must not hide then.
    bar->SetHideWhenInactive(false);
    bar->SetClientAreaSize(clientWidth, clientHeight);
    bar->SetDockRow(row);
    bar->SetDockPos(pos);
    if (withEdit) {
      auto* edit = new cl::TEdit(form_);
      edit->SetName(name + "Edit");
      edit->SetParent(bar);
      edit->SetBounds(2, 2, std::max(clientWidth - 4, 4), std::max(clientHeight - 4, 4));
    }
    if (place) bar->SetParent(place);
    Pump();
    return bar;
  }

  cl::TForm* form_ = nullptr;
  TToolDock* top_ = nullptr;
  TToolDock* bottom_ = nullptr;
  TToolDock* left_ = nullptr;
  TToolDock* right_ = nullptr;
  cl::TPanel* panel_ = nullptr;
  TToolDock* panelDock_ = nullptr;
};

}  // namespace docktest
