// A skinned form's controls still drag and drop: the skin's subclass, the form's message link, the
// manager's hook and a refresh its timer runs in the middle of the drag all stay out of the drag's way.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>

#include "ComCtrls.h"
#include "FormsTestSupport.h"
#include "MessageLoop.h"
#include "SkinTestForms.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"

namespace {

using formstest::AppTest;
using skin::SkinManager;
using skintest::TfrmSkinTest;

void PostMouse(HWND wnd, UINT msg, WPARAM keys, POINT client) {
  PostMessageW(wnd, msg, keys, MAKELPARAM(client.x, client.y));
}

// The button is pressed and released for real at the cursor, the moves between are posted: a move the
// system makes up meanwhile then says the button is down, as it is, and does not end the table's drag.
void PressButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

void SetCursorAt(HWND wnd, POINT client) {
  ClientToScreen(wnd, &client);
  SetCursorPos(client.x, client.y);
}

// The form as the editor carries it: the skin component with the controls it skins, and a table whose rows
// drag automatically.
std::string SkinnedTableForm() {
  const std::string skinned = skintest::FormWithSkin(
      skintest::FlatPackage(), "sfMainform",
      "[xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton, xcProgress, "
      "xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox, xcStatusBar, xcTab, "
      "xcSystemMenu]");
  const std::string table =
      "  Left = 40\n"
      "  Top = 40\n"
      "  Width = 420\n"
      "  Height = 320\n"
      "  object lvRows: TListView\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 380\n"
      "    Height = 150\n"
      "    Columns = <\n"
      "      item\n"
      "        Caption = 'Name'\n"
      "        Width = 120\n"
      "      end>\n"
      "    DragMode = dmAutomatic\n"
      "    HideSelection = False\n"
      "    ReadOnly = True\n"
      "    RowSelect = True\n"
      "    ViewStyle = vsReport\n"
      "  end\n";
  // The form's own properties and the table go right after its first line.
  const size_t body = skinned.find('\n') + 1;
  return skinned.substr(0, body) + table + skinned.substr(body);
}

class SkinnedDrag : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    skintest::RegisterSkinClasses();
    form_ = cl::NewForm<TfrmSkinTest>(app_.get());
    cl::ReadRootComponent(form_, SkinnedTableForm());
    lv_ = cl::ComponentAs<cl::TListView>(form_, "lvRows");
    for (int i = 0; i < 8; ++i) lv_->Items()->Add()->SetCaption("Row " + std::to_string(i));
  }
  void TearDown() override {
    delete form_;
    EXPECT_EQ(SkinManager(), nullptr);
    AppTest::TearDown();
  }
  POINT RowPoint(int row) {
    const cl::TRect r = lv_->Items()->Item(row)->DisplayRect();
    return POINT{r.Left + 40, (r.Top + r.Bottom) / 2};
  }
  // Drops find their target by what is on screen: no other program's window may cover these points.
  bool WaitUncovered(std::initializer_list<POINT> points) {
    return hktest::PumpUntil(
        [&] {
          SetWindowPos(form_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
          for (POINT p : points) {
            ClientToScreen(lv_->Handle(), &p);
            if (GetAncestor(WindowFromPoint(p), GA_ROOT) != form_->Handle()) return false;
          }
          return true;
        },
        5000);
  }

  TfrmSkinTest* form_ = nullptr;
  cl::TListView* lv_ = nullptr;
  int attempt_ = 0;
};

TEST_F(SkinnedDrag, ARowDraggedInASkinnedFormIsDroppedOnTheRowUnderTheMouse) {
  form_->Show();
  skin::TSkinManage* manager = SkinManager();
  ASSERT_NE(manager, nullptr);
  skin::TWinSkinForm* skinned = manager->FindSkinForm(form_->Handle());
  ASSERT_NE(skinned, nullptr);
  ASSERT_TRUE(hktest::PumpUntil([&] { return skinned->ControlsSkinned(); }));

  int dropRow = -2;
  cl::TObject* dropSource = nullptr;
  // The manager's timer runs a queued refresh in the middle of the drag, from the drag's own loop.
  auto* data = cl::ComponentAs<skin::TSkinData>(form_, "SkinData1");
  int refreshes = 0;
  int refreshesAtDrop = -1;
  data->OnSkinChanged = [&](cl::TObject*) { ++refreshes; };
  lv_->OnDragOver = [&](cl::TObject*, cl::TObject* source, int, int, cl::TDragState, bool& accept) {
    accept = source == lv_;
  };
  lv_->OnDragDrop = [&](cl::TObject*, cl::TObject* source, int x, int y) {
    dropSource = source;
    refreshesAtDrop = refreshes;
    cl::TListItem* target = lv_->GetItemAt(x, y);
    dropRow = target ? target->Index() : -1;
  };

  const HWND wnd = lv_->Handle();
  const POINT from = RowPoint(5);
  const POINT to = RowPoint(2);
  // Another program that activates its window takes the capture and so cancels a drag: tried again then.
  for (int attempt = 1; attempt <= 4 && dropRow == -2; ++attempt) {
    attempt_ = attempt;
    ASSERT_TRUE(WaitUncovered({from, to}));
    SetCursorAt(wnd, from);
    timers_.After(50, [] { PressButton(MOUSEEVENTF_LEFTDOWN); });
    timers_.After(120, [&] { data->ApplySkin(); });
    for (int step = 1; step <= 6; ++step)
      timers_.After(static_cast<UINT>(100 + step * 50), [&, step] {
        PostMouse(wnd, WM_MOUSEMOVE, MK_LBUTTON, POINT{from.x + step, from.y + (to.y - from.y) * step / 6});
      });
    timers_.After(500, [&] {
      SetCursorAt(wnd, to);
      PressButton(MOUSEEVENTF_LEFTUP);
    });
    // A drag still running then is ended, so that the next attempt starts clean.
    timers_.After(2000, [this, attempt] {
      if (attempt_ == attempt) ReleaseCapture();
    });
    hktest::PumpUntil([&] { return dropRow != -2; }, 2500);
  }
  attempt_ = 0;
  EXPECT_EQ(dropRow, 2);
  EXPECT_EQ(dropSource, lv_);
  EXPECT_GE(refreshesAtDrop, 1);
  EXPECT_FALSE(lv_->Dragging());
  // Still skinned: the drag took nothing of the skin away.
  EXPECT_EQ(SendMessageW(form_->Handle(), skin::kSkinMsgIsSkinned, 0, 0), 1);
  EXPECT_TRUE(errors_.empty());
  data->OnSkinChanged = nullptr;
}

}  // namespace
