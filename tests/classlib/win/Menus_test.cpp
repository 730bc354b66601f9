#include "Menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormReader.h"
#include "FormsTestSupport.h"
#include "KeyInput.h"
#include "MessageLoop.h"
#include "DeviceContext.h"
#include "PaintSurface.h"
#include "WinString.h"

namespace {

using formstest::AppTest;

class TfrmMenusTest : public cl::TForm {
  CL_CLASS(TfrmMenusTest, cl::TForm)
  explicit TfrmMenusTest(cl::TComponent* owner) : TForm(owner) {}
  void ItemClick(cl::TObject* sender) { clicked.push_back(static_cast<cl::TMenuItem*>(sender)->Name()); }
  void TrayPopup(cl::TObject*) { ++popups; }
  std::vector<std::string> clicked;
  int popups = 0;
};
CL_BEGIN_CLASS(TfrmMenusTest)
    .Method("ItemClick", &TfrmMenusTest::ItemClick)
    .Method("TrayPopup", &TfrmMenusTest::TrayPopup)
CL_END_CLASS

const char* const kDescription =
    "object frmMenusTest: TfrmMenusTest\n"
    "  Caption = 'Menus'\n"
    "  ClientHeight = 120\n"
    "  ClientWidth = 240\n"
    "  Menu = mnuMain\n"
    "  object mnuMain: TMainMenu\n"
    "    object mnuOptions: TMenuItem\n"
    "      Caption = 'Options(&O)'\n"
    "      object mnuStop: TMenuItem\n"
    "        Caption = 'Stop Task(&T)'\n"
    "        OnClick = ItemClick\n"
    "      end\n"
    "      object mnuLine: TMenuItem\n"
    "        Caption = '-'\n"
    "      end\n"
    "      object mnuQuit: TMenuItem\n"
    "        Caption = 'Exit(&E)'\n"
    "        ShortCut = 16465\n"
    "        OnClick = ItemClick\n"
    "      end\n"
    "    end\n"
    "    object mnuAbout: TMenuItem\n"
    "      Caption = 'About(&A)'\n"
    "      OnClick = ItemClick\n"
    "    end\n"
    "  end\n"
    "  object ppmTray: TPopupMenu\n"
    "    OnPopup = TrayPopup\n"
    "    object mnuEdit: TMenuItem\n"
    "      Caption = '&Edit Calderine...'\n"
    "      Default = True\n"
    "      OnClick = ItemClick\n"
    "    end\n"
    "    object mnuHotkeys: TMenuItem\n"
    "      Caption = 'Hot &Programs'\n"
    "    end\n"
    "    object mnuExit: TMenuItem\n"
    "      Caption = 'E&xit'\n"
    "      OnClick = ItemClick\n"
    "    end\n"
    "  end\n"
    "end\n";

std::string MenuString(HMENU menu, UINT position) {
  wchar_t buffer[128] = {};
  GetMenuStringW(menu, position, buffer, 128, MF_BYPOSITION);
  return cl::FromWide(buffer);
}

UINT MenuState(HMENU menu, UINT command) { return GetMenuState(menu, command, MF_BYCOMMAND); }

class MenusTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterMenuClasses();
    form_ = new TfrmMenusTest(app_.get());
    cl::ReadRootComponent(form_, kDescription);
    main_ = cl::ComponentAs<cl::TMainMenu>(form_, "mnuMain");
    tray_ = cl::ComponentAs<cl::TPopupMenu>(form_, "ppmTray");
  }
  cl::TMenuItem* Item(const char* name) { return cl::ComponentAs<cl::TMenuItem>(form_, name); }

  TfrmMenusTest* form_ = nullptr;
  cl::TMainMenu* main_ = nullptr;
  cl::TPopupMenu* tray_ = nullptr;
};

TEST_F(MenusTest, DescriptionBuildsTheMenuHandlesAndRoundTrips) {
  EXPECT_EQ(form_->Menu(), main_);
  ASSERT_EQ(main_->Items()->Count(), 2);
  EXPECT_EQ(Item("mnuQuit")->Parent(), Item("mnuOptions"));
  EXPECT_EQ(Item("mnuOptions")->GetParentMenu(), main_);
  EXPECT_EQ(main_->Items()->Find("options(o)"), Item("mnuOptions"));
  EXPECT_TRUE(Item("mnuLine")->IsLine());

  // The menu bar is the window's, with the items' texts.
  const HMENU bar = GetMenu(form_->Handle());
  ASSERT_EQ(bar, main_->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(MenuString(bar, 0), "Options(&O)");
  EXPECT_EQ(MenuString(bar, 1), "About(&A)");
  const HMENU options = GetSubMenu(bar, 0);
  ASSERT_EQ(options, Item("mnuOptions")->Handle());
  ASSERT_EQ(GetMenuItemCount(options), 3);
  EXPECT_EQ(MenuString(options, 2), "Exit(&E)\tCtrl+Q");
  EXPECT_TRUE(GetMenuState(options, 1, MF_BYPOSITION) & MF_SEPARATOR);
  // The client area keeps its size under the menu bar.
  EXPECT_EQ(form_->ClientHeight(), 120);

  const HMENU tray = tray_->Handle();
  ASSERT_EQ(GetMenuItemCount(tray), 3);
  EXPECT_EQ(MenuString(tray, 1), "Hot &Programs");
  EXPECT_EQ(GetMenuDefaultItem(tray, TRUE, 0), 0u);

  const std::string text = cl::WriteFormText(form_);
  EXPECT_NE(text.find("    object mnuExit: TMenuItem\n      Caption = 'E&xit'\n"), std::string::npos) << text;
  EXPECT_NE(text.find("      object mnuQuit: TMenuItem\n        Caption"), std::string::npos) << text;
  auto* copy = new TfrmMenusTest(nullptr);  // no owner: it keeps the name
  cl::ReadRootComponent(copy, text);
  EXPECT_EQ(cl::WriteFormText(copy), text);
  EXPECT_EQ(cl::ComponentAs<cl::TMenuItem>(copy, "mnuQuit")->ShortCut(), cl::scCtrl | 'Q');
  delete copy;
}

TEST_F(MenusTest, ItemsAddedAndFreedAtRunTimeUpdateTheHandle) {
  cl::TMenuItem* hot = Item("mnuHotkeys");
  const HMENU tray = tray_->Handle();
  EXPECT_EQ(GetSubMenu(tray, 1), nullptr);
  std::vector<int> tags;
  for (int i = 0; i < 3; ++i) {
    auto* item = new cl::TMenuItem(form_);
    item->SetCaption("Program " + std::to_string(i) + "\tCtrl+Alt+" + std::to_string(i));
    item->SetTag(i * 2);
    item->OnClick = [&tags](cl::TObject* s) { tags.push_back(static_cast<cl::TMenuItem*>(s)->Tag()); };
    hot->Add(item);
  }
  const HMENU sub = GetSubMenu(tray, 1);
  ASSERT_NE(sub, nullptr);
  ASSERT_EQ(GetMenuItemCount(sub), 3);
  EXPECT_EQ(MenuString(sub, 2), "Program 2\tCtrl+Alt+2");

  // Commands reach the item that has the id, and only while it lives.
  const uint16_t second = hot->Items(1)->Command();
  EXPECT_EQ(GetMenuItemID(sub, 1), second);
  EXPECT_TRUE(tray_->DispatchCommand(second));
  EXPECT_EQ(tags, (std::vector<int>{2}));
  delete hot->Items(1);
  EXPECT_EQ(GetMenuItemCount(sub), 2);
  EXPECT_EQ(MenuString(sub, 1), "Program 2\tCtrl+Alt+2");
  EXPECT_FALSE(tray_->DispatchCommand(second));
  EXPECT_EQ(tags.size(), 1u);

  auto* first = new cl::TMenuItem(form_);
  first->SetCaption("First");
  hot->Insert(0, first);
  EXPECT_EQ(MenuString(sub, 0), "First");
  EXPECT_THROW(hot->Insert(9, new cl::TMenuItem(form_)), cl::EMenuError);
  EXPECT_THROW(hot->Add(first), cl::EMenuError);
  EXPECT_THROW(first->Add(hot), cl::EMenuError);  // not inserted twice ...
  EXPECT_THROW(Item("mnuHotkeys")->Items(0)->Add(Item("mnuHotkeys")), cl::EMenuError);  // ... nor in itself

  // Hiding takes the entry out; freeing all sub-items turns the sub-menu back into an item.
  Item("mnuEdit")->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(tray), 2);
  hot->Clear();
  EXPECT_EQ(hot->Count(), 0);
  EXPECT_EQ(GetSubMenu(tray, 0), nullptr);
  EXPECT_EQ(MenuString(tray, 0), "Hot &Programs");
}

// Many items in a shown menu: added together and freed together, each with one rebuild of the handle;
// their commands go with them.
TEST_F(MenusTest, ManyItemsAreAddedAndClearedAtOnce) {
  cl::TMenuItem* hot = Item("mnuHotkeys");
  const HMENU tray = tray_->Handle();
  std::vector<cl::TMenuItem*> items;
  for (int i = 0; i < 2000; ++i) {
    items.push_back(new cl::TMenuItem(nullptr));
    items.back()->SetCaption("Program " + std::to_string(i));
  }
  hot->Add(items);
  const HMENU sub = GetSubMenu(tray, 1);
  ASSERT_NE(sub, nullptr);
  ASSERT_EQ(GetMenuItemCount(sub), 2000);
  EXPECT_EQ(MenuString(sub, 1999), "Program 1999");
  EXPECT_EQ(hot->IndexOf(items[1234]), 1234);
  const uint16_t command = items[5]->Command();
  EXPECT_EQ(GetMenuItemID(sub, 5), command);
  EXPECT_THROW(hot->Add(std::vector<cl::TMenuItem*>{items[0]}), cl::EMenuError);
  EXPECT_THROW(hot->Add(std::vector<cl::TMenuItem*>{nullptr}), cl::EMenuError);
  EXPECT_EQ(hot->Count(), 2000);

  hot->Clear();
  EXPECT_EQ(hot->Count(), 0);
  EXPECT_EQ(GetSubMenu(tray, 1), nullptr);
  EXPECT_FALSE(tray_->DispatchCommand(command));
}

TEST_F(MenusTest, StateReachesTheHandle) {
  cl::TMenuItem* stop = Item("mnuStop");
  const HMENU options = Item("mnuOptions")->Handle();
  stop->SetChecked(true);
  EXPECT_TRUE(MenuState(options, stop->Command()) & MF_CHECKED);
  stop->SetEnabled(false);
  EXPECT_TRUE(MenuState(options, stop->Command()) & MF_GRAYED);
  stop->SetCaption("Stopped");
  EXPECT_EQ(MenuString(options, 0), "Stopped");

  // A disabled item does not run its command.
  SendMessageW(form_->Handle(), WM_COMMAND, stop->Command(), 0);
  EXPECT_TRUE(form_->clicked.empty());

  // Radio items of one group check one at a time.
  cl::TMenuItem* quit = Item("mnuQuit");
  stop->SetRadioItem(true);
  quit->SetRadioItem(true);
  quit->SetChecked(true);
  EXPECT_FALSE(stop->Checked());
  EXPECT_FALSE(MenuState(options, stop->Command()) & MF_CHECKED);
  EXPECT_TRUE(MenuState(options, quit->Command()) & MF_CHECKED);
}

TEST_F(MenusTest, WmCommandOfTheFormReachesTheItem) {
  SendMessageW(form_->Handle(), WM_COMMAND, Item("mnuAbout")->Command(), 0);
  SendMessageW(form_->Handle(), WM_COMMAND, Item("mnuQuit")->Command(), 0);
  EXPECT_EQ(form_->clicked, (std::vector<std::string>{"mnuAbout", "mnuQuit"}));

  // A handler that frees items of its own menu, itself included.
  Item("mnuStop")->OnClick = [this](cl::TObject*) { Item("mnuOptions")->Clear(); };
  SendMessageW(form_->Handle(), WM_COMMAND, Item("mnuStop")->Command(), 0);
  EXPECT_EQ(Item("mnuOptions")->Count(), 0);
  EXPECT_EQ(form_->FindComponent("mnuQuit"), nullptr);
  EXPECT_EQ(GetMenuItemCount(GetMenu(form_->Handle())), 2);
  EXPECT_EQ(GetSubMenu(GetMenu(form_->Handle()), 0), nullptr);

  // Freeing the menu takes the bar off the window.
  delete main_;
  EXPECT_EQ(form_->Menu(), nullptr);
  EXPECT_EQ(GetMenu(form_->Handle()), nullptr);
}

TEST_F(MenusTest, PopupClosedByTheProgramRunsNothing) {
  // An open menu takes the keyboard: no other test may press keys meanwhile.
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  form_->Show();
  timers_.Timeout(5000);
  // An item freed while the menu is open leaves it.
  int countWhileOpen = -1;
  timers_.After(150, [&] {
    delete Item("mnuExit");
    countWhileOpen = GetMenuItemCount(tray_->Handle());
  });
  timers_.After(300, [this] { PostMessageW(form_->Handle(), WM_CANCELMODE, 0, 0); EndMenu(); });
  tray_->SetPopupComponent(form_);
  tray_->Popup(20, 20);
  EXPECT_EQ(form_->popups, 1);
  EXPECT_TRUE(form_->clicked.empty());
  EXPECT_EQ(countWhileOpen, 2);
  EXPECT_EQ(tray_->PopupComponent(), form_);
  // A popup component that goes is forgotten.
  tray_->SetPopupComponent(Item("mnuEdit"));
  delete Item("mnuEdit");
  EXPECT_EQ(tray_->PopupComponent(), nullptr);
}

TEST_F(MenusTest, KeysChooseAnItemOfThePopup) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  form_->Show();
  // Windows of other test programs on the display may take the foreground and close the menu before the
  // keys arrive: such a try is repeated.
  int attempt = 0;
  int openTry = -1;
  for (; attempt < 3 && form_->clicked.empty(); ++attempt) {
    // From nothing selected, the third Down reaches the third entry.
    timers_.After(300, [] {
      hktest::PressCombination(0, VK_DOWN);
      hktest::PressCombination(0, VK_DOWN);
      hktest::PressCombination(0, VK_DOWN);
      hktest::PressCombination(0, VK_RETURN);
    });
    timers_.After(3000, [&openTry, attempt] {
      if (openTry == attempt) EndMenu();
    });
    openTry = attempt;
    tray_->Popup(20, 20);
    openTry = -1;
    hktest::PumpUntil([] { return false; }, 350);  // the key timer of a closed try runs out harmlessly
  }
  EXPECT_EQ(form_->clicked, (std::vector<std::string>{"mnuExit"})) << attempt << " tries";
}

TEST(MenuText, HotkeysAndShortCuts) {
  EXPECT_EQ(cl::StripHotkey("E&xit"), "Exit");
  EXPECT_EQ(cl::StripHotkey("Salt && &Pepper&"), "Salt & Pepper");
  EXPECT_EQ(cl::ShortCutToText(cl::ShortCut(VK_F5, true, true, false)), "Ctrl+Shift+F5");
  EXPECT_EQ(cl::ShortCutToText(cl::scAlt | 'X'), "Alt+X");
  EXPECT_EQ(cl::ShortCutToText(VK_DELETE), "Del");
  EXPECT_EQ(cl::ShortCutToText(0), "");
}

}  // namespace

namespace {

UINT MenuType(HMENU menu, UINT position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  GetMenuItemInfoW(menu, position, TRUE, &info);
  return info.fType;
}

ULONG_PTR MenuData(HMENU menu, UINT position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  GetMenuItemInfoW(menu, position, TRUE, &info);
  return info.dwItemData;
}

// Replacing every sub-item rewrites the entries where they stand: separators, sub-menus, check marks and
// commands of the old items do not stay behind, whether fewer or more come.
TEST_F(MenusTest, ReplacedItemsRewriteTheEntriesWhereTheyStand) {
  cl::TMenuItem* hot = Item("mnuHotkeys");
  const auto make = [](std::vector<std::string> captions) {
    std::vector<cl::TMenuItem*> items;
    for (const std::string& caption : captions) {
      items.push_back(new cl::TMenuItem(nullptr));
      items.back()->SetCaption(caption);
    }
    return items;
  };
  std::vector<cl::TMenuItem*> old = make({"A", "-", "B", "D"});
  old[0]->SetChecked(true);
  old[2]->Add(new cl::TMenuItem(nullptr));
  hot->Add(old);
  const HMENU sub = GetSubMenu(tray_->Handle(), 1);
  ASSERT_NE(sub, nullptr);
  const HMENU oldSubMenu = GetSubMenu(sub, 2);
  ASSERT_NE(oldSubMenu, nullptr);

  const std::vector<cl::TMenuItem*> fewer = make({"X", "Y", "Z"});
  hot->ReplaceItems(fewer);
  EXPECT_EQ(GetSubMenu(tray_->Handle(), 1), sub);
  ASSERT_EQ(GetMenuItemCount(sub), 3);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(MenuString(sub, i), fewer[i]->Caption());
    EXPECT_EQ(MenuType(sub, i) & MFT_SEPARATOR, 0u) << i;
    EXPECT_EQ(GetSubMenu(sub, static_cast<int>(i)), nullptr) << i;
    EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(i)), fewer[i]->Command()) << i;
  }
  EXPECT_EQ(MenuState(sub, fewer[0]->Command()) & MF_CHECKED, 0u);
  EXPECT_FALSE(IsMenu(oldSubMenu)) << "freed with its item";

  std::vector<cl::TMenuItem*> more = make({"P", "Q", "-", "T", "U"});
  more[1]->Add(new cl::TMenuItem(nullptr));
  hot->ReplaceItems(more);
  ASSERT_EQ(GetMenuItemCount(sub), 5);
  EXPECT_EQ(GetSubMenu(sub, 1), more[1]->Handle());
  EXPECT_NE(MenuType(sub, 2) & MFT_SEPARATOR, 0u);
  EXPECT_EQ(MenuString(sub, 4), "U");
  EXPECT_THROW(hot->ReplaceItems({more[0]}), cl::EMenuError);
  EXPECT_EQ(hot->Count(), 5);
}

TEST_F(MenusTest, OwnerDrawnEntriesStayOwnerDrawnThroughRebuildsAndNameTheirItems) {
  const HMENU options = Item("mnuOptions")->Handle();
  EXPECT_EQ(MenuType(options, 0) & MFT_OWNERDRAW, 0u);
  main_->SetOwnerDraw(true);
  for (UINT i = 0; i < 3; ++i) EXPECT_NE(MenuType(options, i) & MFT_OWNERDRAW, 0u) << i;
  EXPECT_NE(MenuType(options, 1) & MFT_SEPARATOR, 0u);
  EXPECT_EQ(MenuData(options, 2), reinterpret_cast<ULONG_PTR>(Item("mnuQuit")));
  // A new entry and a rebuild at opening keep the owner drawing.
  auto* added = new cl::TMenuItem(form_);
  added->SetCaption("Added");
  Item("mnuOptions")->Add(added);
  SendMessageW(form_->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(options), 0);
  EXPECT_NE(MenuType(options, 3) & MFT_OWNERDRAW, 0u);
  EXPECT_EQ(MenuData(options, 3), reinterpret_cast<ULONG_PTR>(added));
  main_->SetOwnerDraw(false);
  EXPECT_EQ(MenuType(options, 3) & MFT_OWNERDRAW, 0u);
  EXPECT_EQ(MenuType(tray_->Handle(), 0) & MFT_OWNERDRAW, 0u) << "another menu's entries are its own business";
}

// Both menus give their first entries command 1: the item data still tells them apart.
TEST_F(MenusTest, ItemMessagesReachTheItemTheEntryNames) {
  main_->SetOwnerDraw(true);
  cl::TMenuItem* stop = Item("mnuStop");
  cl::TMenuItem* edit = Item("mnuEdit");
  ASSERT_EQ(stop->Command(), edit->Command());
  EXPECT_EQ(main_->ItemOfData(reinterpret_cast<ULONG_PTR>(edit)), nullptr);
  EXPECT_EQ(tray_->ItemOfData(reinterpret_cast<ULONG_PTR>(edit)), edit);

  int defaultWidth = -1;
  stop->OnMeasureItem = [&](cl::TObject*, cl::TCanvas*, int& width, int& height) {
    defaultWidth = width;
    width = 123;
    height = 45;
  };
  form_->HandleNeeded();
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, stop->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(stop)};
  EXPECT_EQ(SendMessageW(form_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
  EXPECT_GT(defaultWidth, 0) << "the handler gets the default size first";
  EXPECT_EQ(measure.itemWidth, 123u);
  EXPECT_EQ(measure.itemHeight, 45u);

  cl::TRect drawn{};
  bool selected = false;
  stop->OnDrawItem = [&](cl::TObject*, cl::TCanvas*, const cl::TRect& r, bool s) {
    drawn = r;
    selected = s;
  };
  const cl::TDCHandle dc(CreateCompatibleDC(nullptr));
  DRAWITEMSTRUCT draw{ODT_MENU, 0, stop->Command(), ODA_DRAWENTIRE, ODS_SELECTED, nullptr, dc.Get(),
                      {2, 3, 80, 23}, reinterpret_cast<ULONG_PTR>(stop)};
  EXPECT_EQ(SendMessageW(form_->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
  EXPECT_EQ(drawn, (cl::TRect{2, 3, 80, 23}));
  EXPECT_TRUE(selected);
}

TEST_F(MenusTest, TheDefaultDrawingFillsASelectedItemWithTheHighlight) {
  tray_->SetOwnerDraw(true);
  cl::TMenuItem* exit = Item("mnuExit");
  const cl::TWindowDC screen(nullptr);
  cl::TCanvas canvas;
  canvas.SetHandle(screen.Get());
  int width = 0, height = 0;
  exit->MeasureItem(canvas, width, height);
  canvas.SetHandle(nullptr);
  EXPECT_GT(width, 16);
  EXPECT_GE(height, 16);

  hktest::PaintSurface surface(width, height);
  DRAWITEMSTRUCT draw{ODT_MENU, 0, exit->Command(), ODA_DRAWENTIRE, ODS_SELECTED, nullptr, surface.DC(),
                      {0, 0, width, height}, reinterpret_cast<ULONG_PTR>(exit)};
  cl::TMessage m{WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), 0};
  ASSERT_TRUE(tray_->DispatchItemMessage(m));
  EXPECT_EQ(surface.Pixel(1, 1), GetSysColor(COLOR_HIGHLIGHT));
  draw.itemState = 0;
  ASSERT_TRUE(tray_->DispatchItemMessage(m));
  EXPECT_EQ(surface.Pixel(1, 1), GetSysColor(COLOR_MENU));
}

TEST_F(MenusTest, AnOpenOwnerDrawnPopupIsMeasuredAndDrawnByItsItems) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  form_->Show();
  tray_->SetOwnerDraw(true);
  int measured = 0, drawn = 0;
  for (const char* name : {"mnuEdit", "mnuExit"}) {
    Item(name)->OnMeasureItem = [&](cl::TObject*, cl::TCanvas*, int&, int&) { ++measured; };
    Item(name)->OnDrawItem = [&](cl::TObject*, cl::TCanvas*, const cl::TRect&, bool) { ++drawn; };
  }
  timers_.Timeout(5000);
  timers_.After(400, [] { EndMenu(); });
  tray_->Popup(20, 20);
  EXPECT_GE(measured, 2);
  EXPECT_GE(drawn, 2);
}

TEST_F(MenusTest, AChangedMenuBarTellsItsWindow) {
  form_->Show();
  int changes = 0;
  cl::TMessageLink counter(form_->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == cl::CM_MENUCHANGED) ++changes;
    next(m);
  });
  Item("mnuAbout")->SetCaption("About it(&A)");
  EXPECT_GE(changes, 1);
}

// Freeing an item whose shown sub-menu holds many items changes the menu bar once, not once per sub-item
// (the program's end after its tray menu was opened took minutes so); the handles below it go with it.
TEST_F(MenusTest, FreeingAnItemWithManySubItemsRebuildsItsMenuOnce) {
  form_->Show();
  cl::TMenuItem* options = Item("mnuOptions");
  std::vector<cl::TMenuItem*> items;
  for (int i = 0; i < 2000; ++i) {
    items.push_back(new cl::TMenuItem(nullptr));
    items.back()->SetCaption("Program " + std::to_string(i));
  }
  options->Add(items);
  auto* nested = new cl::TMenuItem(nullptr);
  nested->SetCaption("Nested");
  items[7]->Add(nested);
  const HMENU sub = options->Handle();
  const HMENU nestedSub = items[7]->Handle();
  ASSERT_EQ(GetSubMenu(sub, 3 + 7), nestedSub);  // after the description's three
  const uint16_t command = items[1999]->Command();
  const HMENU bar = GetMenu(form_->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), 2);

  int changes = 0;
  cl::TMessageLink counter(form_->WindowProc, [&](cl::TMessage& m, const cl::TMessageChain::TNext& next) {
    if (m.Msg == cl::CM_MENUCHANGED) ++changes;
    next(m);
  });
  delete options;
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(MenuString(bar, 0), "About(&A)");
  EXPECT_FALSE(IsMenu(sub));
  EXPECT_FALSE(IsMenu(nestedSub));
  EXPECT_FALSE(main_->DispatchCommand(command));
}

TEST_F(MenusTest, ImagesThatGoAreForgottenAndTheMenuFontIsTheSystems) {
  auto* images = new cl::TImageList(form_);
  tray_->SetImages(images);
  EXPECT_EQ(Item("mnuEdit")->GetImageList(), images);
  delete images;
  EXPECT_EQ(tray_->Images(), nullptr);

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
  EXPECT_EQ(cl::Screen().MenuFont().Name(), cl::FromWide(metrics.lfMenuFont.lfFaceName));
}

}  // namespace
