#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Colors.h"
#include "DeviceContext.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormReader.h"
#include "FormsTestSupport.h"
#include "PaintSurface.h"
#include "StdClasses.h"
#include "StdCtrls.h"
#include "WinString.h"
#include "WindowSubclass.h"

namespace {

using formstest::AppTest;
using formstest::ListViewText;

std::string FaceOf(HWND wnd) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  if (!font || !GetObjectW(font, sizeof(lf), &lf)) return {};
  return cl::FromWide(lf.lfFaceName);
}

class StdCtrls2Test : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    form_ = cl::NewForm<cl::TForm>(app_.get());
  }
  cl::TForm* form_ = nullptr;
};

TEST_F(StdCtrls2Test, DescriptionColoursAndFontsReachTheWindows) {
  cl::ReadRootComponent(form_,
                        "object frmColors: TForm\n"
                        "  Left = 40\n"
                        "  Top = 40\n"
                        "  Width = 300\n"
                        "  Height = 200\n"
                        "  Font.Height = -13\n"
                        "  Font.Name = 'Arial'\n"
                        "  object edtPlain: TEdit\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "  end\n"
                        "  object edtOwn: TEdit\n"
                        "    Left = 8\n"
                        "    Top = 40\n"
                        "    Color = clYellow\n"
                        "    Font.Color = clRed\n"
                        "    Font.Name = 'Courier New'\n"
                        "    ParentFont = False\n"
                        "  end\n"
                        "end\n");
  auto* plain = cl::ComponentAs<cl::TEdit>(form_, "edtPlain");
  auto* own = cl::ComponentAs<cl::TEdit>(form_, "edtOwn");
  EXPECT_EQ(plain->Color(), cl::clWindow);
  EXPECT_EQ(own->Color(), cl::clYellow);
  EXPECT_EQ(form_->Color(), cl::clBtnFace);
  EXPECT_TRUE(plain->ParentFont());
  EXPECT_FALSE(own->ParentFont());
  EXPECT_EQ(FaceOf(plain->Handle()), "Arial");
  EXPECT_EQ(FaceOf(own->Handle()), "Courier New");

  // The parent's font follows to the children that take it, not to those with a font of their own.
  form_->Font()->SetName("Tahoma");
  EXPECT_EQ(FaceOf(plain->Handle()), "Tahoma");
  EXPECT_EQ(FaceOf(own->Handle()), "Courier New");
  plain->Font()->SetHeight(-20);
  EXPECT_FALSE(plain->ParentFont());
  plain->SetParentFont(true);
  EXPECT_EQ(plain->Font()->Height(), -13);

  // The edit asks its parent for its colours; the control answers with its own.
  {
    const cl::TWindowDC owned(own->Handle());
    const HDC dc = owned.Get();
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(form_->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(own->Handle())));
    EXPECT_EQ(brush, own->Brush()->Handle());
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 0));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    own->SetColor(cl::clAqua);
    SendMessageW(form_->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(own->Handle()));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 255, 255));
  }

  // Written back with colour names, defaults left out.
  const std::string text = cl::WriteFormText(form_);
  EXPECT_NE(text.find("    Color = clAqua\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    Font.Color = clRed\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("clWindow"), std::string::npos) << text;
  // A font taken from the parent is not written with the child.
  const size_t tahoma = text.find("Font.Name = 'Tahoma'");
  ASSERT_NE(tahoma, std::string::npos) << text;
  EXPECT_EQ(text.find("Font.Name = 'Tahoma'", tahoma + 1), std::string::npos) << text;
  EXPECT_TRUE(errors_.empty());
}

// Paints the client area of a window (and its windowless children) into a bitmap, and counts the pixels of
// a rectangle that are mostly red.
int RedPixels(HWND wnd, const RECT& area) {
  const hktest::PaintSurface surface(400, 300);
  SendMessageW(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT | PRF_ERASEBKGND);
  int red = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF c = surface.Pixel(x, y);
      if (GetRValue(c) > 160 && GetGValue(c) < 100 && GetBValue(c) < 100) ++red;
    }
  return red;
}

TEST_F(StdCtrls2Test, LabelsPanelsAndGroupBoxesPaintAndTakeTheMouse) {
  cl::ReadRootComponent(form_,
                        "object frmPaint: TForm\n"
                        "  Width = 400\n"
                        "  Height = 300\n"
                        "  Font.Color = clRed\n"
                        "  Font.Height = -16\n"
                        "  object lblKey: TLabel\n"
                        "    Left = 10\n"
                        "    Top = 10\n"
                        "    Caption = 'WWW'\n"
                        "  end\n"
                        "  object pnlEdit: TPanel\n"
                        "    Left = 10\n"
                        "    Top = 60\n"
                        "    Width = 200\n"
                        "    Height = 60\n"
                        "    BevelOuter = bvLowered\n"
                        "    Caption = 'MMM'\n"
                        "    object lblInner: TLabel\n"
                        "      Left = 4\n"
                        "      Top = 4\n"
                        "      Caption = 'x'\n"
                        "      Transparent = True\n"
                        "    end\n"
                        "  end\n"
                        "  object grpKeys: TGroupBox\n"
                        "    Left = 220\n"
                        "    Top = 60\n"
                        "    Caption = 'Keys'\n"
                        "  end\n"
                        "end\n");
  auto* label = cl::ComponentAs<cl::TLabel>(form_, "lblKey");
  auto* panel = cl::ComponentAs<cl::TPanel>(form_, "pnlEdit");
  auto* group = cl::ComponentAs<cl::TGroupBox>(form_, "grpKeys");
  EXPECT_EQ(cl::ComponentAs<cl::TLabel>(form_, "lblInner")->Parent(), panel);

  // AutoSize: the label is as large as its text, and grows with it.
  const int width = label->Width();
  EXPECT_GT(width, 10);
  EXPECT_GE(label->Height(), 14);
  label->SetCaption("WWWWWW");
  EXPECT_GT(label->Width(), width + 10);

  // The label's text is drawn by the form in the font's colour; the area beside it stays clear.
  const RECT labelArea{label->Left(), label->Top(), label->Left() + label->Width(), label->Top() + label->Height()};
  EXPECT_GT(RedPixels(form_->Handle(), labelArea), 10);
  EXPECT_EQ(RedPixels(form_->Handle(), RECT{300, 10, 390, 40}), 0);
  label->SetVisible(false);
  EXPECT_EQ(RedPixels(form_->Handle(), labelArea), 0);
  label->SetVisible(true);

  // The panel paints its caption in the middle; the group box is the system's frame.
  EXPECT_GT(RedPixels(panel->Handle(), RECT{0, 0, 200, 60}), 10);
  EXPECT_EQ(cl::FromWide([&] {
              wchar_t buffer[16]{};
              GetWindowTextW(group->Handle(), buffer, 16);
              return std::wstring(buffer);
            }()),
            "Keys");
  EXPECT_EQ(GetWindowLongPtrW(group->Handle(), GWL_STYLE) & 0xF, BS_GROUPBOX);

  // Mouse messages over the label reach it, in its own coordinates; elsewhere they stay with the form.
  std::vector<std::string> clicks;
  label->OnClick = [&](cl::TObject*) { clicks.push_back("label"); };
  form_->OnClick = [&](cl::TObject*) { clicks.push_back("form"); };
  int downX = -1;
  label->OnMouseDown = [&](cl::TObject*, cl::TMouseButton, cl::TShiftState, int x, int) { downX = x; };
  const LPARAM onLabel = MAKELPARAM(label->Left() + 3, label->Top() + 3);
  SendMessageW(form_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onLabel);
  SendMessageW(form_->Handle(), WM_LBUTTONUP, 0, onLabel);
  EXPECT_EQ(downX, 3);
  label->SetEnabled(false);
  SendMessageW(form_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onLabel);
  SendMessageW(form_->Handle(), WM_LBUTTONUP, 0, onLabel);
  EXPECT_EQ(clicks, (std::vector<std::string>{"label", "form"}));
  EXPECT_TRUE(errors_.empty());
}

std::string ComboItem(HWND combo, int index) {
  wchar_t buffer[64]{};
  if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= 64) return "(too long)";
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
  return cl::FromWide(buffer);
}

TEST_F(StdCtrls2Test, ComboBoxMirrorsItsItemsAndReportsSelections) {
  cl::ReadRootComponent(form_,
                        "object frmCombo: TForm\n"
                        "  Width = 300\n"
                        "  Height = 200\n"
                        "  object cboAction: TComboBox\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Style = csDropDownList\n"
                        "    ItemIndex = 1\n"
                        "    Items.Strings = (\n"
                        "      'Run'\n"
                        "      'Shut down'\n"
                        "      'Eject')\n"
                        "  end\n"
                        "  object cboFree: TComboBox\n"
                        "    Left = 8\n"
                        "    Top = 40\n"
                        "    Text = 'typed'\n"
                        "  end\n"
                        "end\n");
  auto* combo = cl::ComponentAs<cl::TComboBox>(form_, "cboAction");
  HWND wnd = combo->Handle();
  EXPECT_EQ(GetWindowLongPtrW(wnd, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  ASSERT_EQ(SendMessageW(wnd, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ComboItem(wnd, 0), "Run");
  EXPECT_EQ(ComboItem(wnd, 2), "Eject");
  EXPECT_EQ(SendMessageW(wnd, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "Shut down");
  auto* free = cl::ComponentAs<cl::TComboBox>(form_, "cboFree");
  EXPECT_EQ(GetWindowLongPtrW(free->Handle(), GWL_STYLE) & 3, CBS_DROPDOWN);
  EXPECT_EQ(free->Text(), "typed");

  std::vector<std::string> events;
  combo->OnChange = [&](cl::TObject*) { events.push_back("change " + std::to_string(combo->ItemIndex())); };
  combo->OnClick = [&](cl::TObject*) { events.push_back("click"); };
  // The user's choice arrives as a notification to the parent.
  SendMessageW(wnd, CB_SETCURSEL, 2, 0);
  SendMessageW(form_->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), CBN_SELCHANGE), reinterpret_cast<LPARAM>(wnd));
  EXPECT_EQ(events, (std::vector<std::string>{"click", "change 2"}));
  combo->SetItemIndex(0);
  EXPECT_EQ(SendMessageW(wnd, CB_GETCURSEL, 0, 0), 0);
  combo->SetItemIndex(7);  // out of range: nothing chosen
  EXPECT_EQ(SendMessageW(wnd, CB_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(events.size(), 6u);

  // Changes of the list reach the window; an index past the end is dropped.
  combo->SetItemIndex(2);
  combo->Items()->Delete(2);
  EXPECT_EQ(SendMessageW(wnd, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->Items()->Add("Log off");
  EXPECT_EQ(ComboItem(wnd, 2), "Log off");
  // Remade with another style, the window keeps the list.
  combo->SetStyle(cl::csDropDown);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(StdCtrls2Test, ComboBoxWithAWindowAppendsAddedItemsAndRefillsOnlyForOtherChanges) {
  auto* combo = new cl::TComboBox(form_);
  combo->SetParent(form_);
  const HWND wnd = combo->Handle();
  int resets = 0, adds = 0;
  cl::TWindowSubclass count(wnd, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == CB_RESETCONTENT) ++resets;
    if (msg == CB_ADDSTRING) ++adds;
    return cl::TWindowSubclass::CallPrevious(w, msg, wp, lp);
  });
  auto listed = [&] {
    std::vector<std::string> items;
    for (int i = 0; i < SendMessageW(wnd, CB_GETCOUNT, 0, 0); ++i) items.push_back(ComboItem(wnd, i));
    return items;
  };
  // Filled one item at a time, as a form fills its lists in OnCreate: one addition each, no refill.
  for (int i = 0; i < 120; ++i) combo->Items()->Add("key " + std::to_string(i));
  EXPECT_EQ(resets, 0);
  EXPECT_EQ(adds, 120);
  EXPECT_EQ(listed().size(), 120u);
  // Any other change refills the list, which then holds exactly the items.
  combo->Items()->Insert(0, "first");
  combo->Items()->Delete(5);
  combo->Items()->Put(1, "second");
  std::vector<std::string> expected;
  for (int i = 0; i < combo->Items()->Count(); ++i) expected.push_back(combo->Items()->Get(i));
  EXPECT_EQ(listed(), expected);
  EXPECT_EQ(resets, 3);
  combo->Items()->Clear();
  EXPECT_TRUE(listed().empty());
  combo->Items()->Add("again");
  EXPECT_EQ(listed(), std::vector<std::string>{"again"});
  EXPECT_TRUE(errors_.empty());
}

TEST_F(StdCtrls2Test, UpDownClampsStepsAndShowsItsPositionInTheEdit) {
  cl::ReadRootComponent(form_,
                        "object frmUpDown: TForm\n"
                        "  Width = 300\n"
                        "  Height = 200\n"
                        "  object edtCount: TEdit\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Width = 50\n"
                        "  end\n"
                        "  object udCount: TUpDown\n"
                        "    Left = 58\n"
                        "    Top = 8\n"
                        "    Associate = edtCount\n"
                        "    Min = 1\n"
                        "    Max = 10\n"
                        "    Position = 9\n"
                        "  end\n"
                        "end\n");
  auto* edit = cl::ComponentAs<cl::TEdit>(form_, "edtCount");
  auto* ud = cl::ComponentAs<cl::TUpDown>(form_, "udCount");
  EXPECT_EQ(ud->Associate(), edit);
  EXPECT_EQ(edit->Text(), "9");
  HWND wnd = ud->Handle();
  EXPECT_EQ(SendMessageW(wnd, UDM_GETPOS32, 0, 0), 9);

  std::vector<std::string> events;
  bool allow = true;
  ud->OnChanging = [&](cl::TObject*, bool& a) {
    events.push_back("changing");
    a = allow;
  };
  ud->OnClick = [&](cl::TObject*, cl::TUDBtnType b) { events.push_back(b == cl::btNext ? "next" : "prev"); };
  // The arrows tell the parent of a step (UDN_DELTAPOS); the up-down steps up and stops at Max. (Mouse clicks
  // on the window itself would take the mouse capture, which tests running side by side share.)
  auto click = [&](bool up) {
    NMUPDOWN nm{};
    nm.hdr.hwndFrom = wnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(wnd));
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = static_cast<int>(SendMessageW(wnd, UDM_GETPOS32, 0, 0));
    nm.iDelta = up ? 1 : -1;
    SendMessageW(form_->Handle(), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
  };
  click(true);
  EXPECT_EQ(ud->Position(), 10);
  EXPECT_EQ(edit->Text(), "10");
  click(true);
  EXPECT_EQ(ud->Position(), 10);
  click(false);
  EXPECT_EQ(ud->Position(), 9);
  EXPECT_EQ(edit->Text(), "9");
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "next", "changing", "next", "changing", "prev"}));
  allow = false;
  click(false);
  EXPECT_EQ(ud->Position(), 9);

  // Positions from code are clamped; with Wrap the arrows pass from one end to the other.
  ud->SetPosition(-5);
  EXPECT_EQ(ud->Position(), 1);
  EXPECT_EQ(edit->Text(), "1");
  ud->SetWrap(true);
  allow = true;
  wnd = ud->Handle();
  click(false);
  EXPECT_EQ(ud->Position(), 10);
  EXPECT_EQ(edit->Text(), "10");
  delete edit;
  EXPECT_EQ(ud->Associate(), nullptr);
  ud->SetPosition(3);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(StdCtrls2Test, ListViewMirrorsColumnsAndRowsAndReportsClicksAndSelection) {
  cl::ReadRootComponent(form_,
                        "object frmList: TForm\n"
                        "  Width = 400\n"
                        "  Height = 300\n"
                        "  object lvHotkeys: TListView\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Width = 300\n"
                        "    Height = 200\n"
                        "    Columns = <\n"
                        "      item\n"
                        "        Caption = 'Key'\n"
                        "        Width = 90\n"
                        "      end\n"
                        "      item\n"
                        "        Alignment = taRightJustify\n"
                        "        Caption = 'Action'\n"
                        "        Width = 150\n"
                        "      end>\n"
                        "    GridLines = True\n"
                        "    HideSelection = False\n"
                        "    ReadOnly = True\n"
                        "    RowSelect = True\n"
                        "    ViewStyle = vsReport\n"
                        "  end\n"
                        "end\n");
  auto* lv = cl::ComponentAs<cl::TListView>(form_, "lvHotkeys");
  HWND wnd = lv->Handle();
  const auto style = GetWindowLongPtrW(wnd, GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
  EXPECT_FALSE(style & LVS_EDITLABELS);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
            LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETCOLUMNWIDTH, 1, 0), 150);
  wchar_t caption[32]{};
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_FMT;
  col.pszText = caption;
  col.cchTextMax = 32;
  SendMessageW(wnd, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
  EXPECT_EQ(cl::FromWide(caption), "Action");
  EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);

  int data[3] = {};
  lv->Items()->BeginUpdate();
  for (int i = 0; i < 3; ++i) {
    cl::TListItem* item = lv->Items()->Add();
    item->SetCaption("Ctrl+" + std::to_string(i));
    item->SubItems()->Add("Run " + std::to_string(i));
    item->SetData(&data[i]);
  }
  EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 0);  // not before EndUpdate
  lv->Items()->EndUpdate();
  ASSERT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(ListViewText(wnd, 2, 0), "Ctrl+2");
  EXPECT_EQ(ListViewText(wnd, 2, 1), "Run 2");
  lv->Items()->Item(1)->SubItems()->Put(0, "Eject");
  EXPECT_EQ(ListViewText(wnd, 1, 1), "Eject");

  std::vector<std::string> events;
  lv->OnSelectItem = [&](cl::TObject*, cl::TListItem* item, bool selected) {
    events.push_back((selected ? "select " : "unselect ") + item->Caption());
  };
  lv->OnColumnClick = [&](cl::TObject*, cl::TListColumn* column) { events.push_back("column " + column->Caption()); };
  // The user selects a row: the window's state changes and the notification goes to the parent.
  LVITEMW state{};
  state.stateMask = state.state = LVIS_SELECTED;
  SendMessageW(wnd, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
  EXPECT_EQ(lv->ItemIndex(), 1);
  EXPECT_EQ(lv->Selected()->Data(), &data[1]);
  lv->SetItemIndex(2);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  EXPECT_TRUE(lv->Items()->Item(2)->Selected());
  // A click on a column header.
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = wnd;
  nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(wnd));
  nm.hdr.code = LVN_COLUMNCLICK;
  nm.iItem = -1;
  nm.iSubItem = 1;
  SendMessageW(form_->Handle(), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(events, (std::vector<std::string>{"select Ctrl+1", "unselect Ctrl+1", "select Ctrl+2", "column Action"}));

  // Deleting rows keeps the window and the selection in step.
  lv->Items()->Delete(0);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(ListViewText(wnd, 0, 0), "Ctrl+1");
  EXPECT_EQ(lv->ItemIndex(), 1);
  EXPECT_THROW(lv->Items()->Delete(5), cl::EListError);
  lv->Clear();
  EXPECT_EQ(SendMessageW(wnd, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(lv->Selected(), nullptr);
  EXPECT_TRUE(errors_.empty());
}

}  // namespace

