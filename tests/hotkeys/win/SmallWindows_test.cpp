// The small windows of Hotkeys made in this process: the version text, the hotkey list window (its rows
// for files of every version, running a row, its sizes), the about box, the tray icon notice and the conflict
// dialog.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Definitions.h"
#include "FileUtil.h"
#include "Forms.h"
#include "IniFiles.h"
#include "MessageLoop.h"
#include "PaintSurface.h"
#include "SaRegister.h"
#include "StdClasses.h"
#include "TestSupport.h"
#include "dontShowme.h"
#include "hkAbout.h"
#include "hkError.h"
#include "hkList.h"
#include "hkVersion.h"
#include "FormsTestSupport.h"

namespace {

// ------------------------------------------------------------------------------------ the version text

TEST(VersionText, ReadFromTheProgramsOwnResource) {
  EXPECT_EQ(hk::GetVersionInfoString(HK_HOTKEYS_EXE, "ProductVersion"), "1.61");
  EXPECT_EQ(hk::GetVersionInfoString(HK_HOTKEYS_EXE, "ProductName"), "Hotkeys");
  EXPECT_EQ(hk::GetVersionInfoString(HK_HOTKEYS_EXE, "FileVersion"), "1.6.1.2");
  EXPECT_EQ(hk::GetVersionInfoString(HK_HOTKEYS_EXE, "InternalName"), "Calderine");
  // A key the block lacks, a file without a version resource, a file that is not there.
  EXPECT_EQ(hk::GetVersionInfoString(HK_HOTKEYS_EXE, "Comments"), "");
  EXPECT_EQ(hk::GetVersionInfoString(testsupport::DataDir("hkd") + "v150_sample.hkd", "ProductVersion"), "");
  EXPECT_EQ(hk::GetVersionInfoString(testsupport::DataDir("hkd") + "missing.exe", "ProductVersion"), "");
  // This test program carries none.
  EXPECT_EQ(hk::GetAppVersionInfo("ProductVersion"), "");
}

// -------------------------------------------------------------------------------- the hotkey list rows

std::vector<std::string> Clipboards(int n) {
  std::vector<std::string> names;
  for (int i = 1; i <= n; ++i) names.push_back(std::to_string(i));
  return names;
}

std::vector<hk::HotkeyListRow> RowsOf(const std::string& sample, int clipboards = 5) {
  return hk::HotkeyListRows(cl::ReadFileBytes(testsupport::DataDir("hkd") + sample), {}, Clipboards(clipboards));
}

std::vector<std::string> Column(const std::vector<hk::HotkeyListRow>& rows, std::string hk::HotkeyListRow::*field) {
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(r.*field);
  return out;
}

using Strings = std::vector<std::string>;

TEST(HotkeyListRows, CurrentVersionShowsActiveEntriesWithTheirDataAndRegistrationIds) {
  const auto rows = RowsOf("v150_sample.hkd");
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::id),
            (Strings{"NOTE", "TYPE", "REST", "CLI3", "CLI7", "C300", "CFAR", "LOUD", "DOKU", "PHKD"}));
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::data),
            (Strings{"notepad.exe %TEMP%\\a.txt", "Hello{ENTER}", "Restart Windows", "3", "", "", "", "",
                     "C:\\Users\\J\xC3\xBCrgen\\Dokumente", "c:\\hk\\old.hkd"}));
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::registrationId),
            (Strings{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_EQ(rows[2].action, "Exit Windows");
  EXPECT_EQ(rows[3].action, "Switch to Virtual Clipboard");
  EXPECT_EQ(rows[0].hotkey, "Ctrl+Alt+N");
  // With seven clipboards the stored position 6 has its number.
  EXPECT_EQ(RowsOf("v150_sample.hkd", 7)[4].data, "7");
}

TEST(HotkeyListRows, OlderVersionsReadTheirOwnLayout) {
  auto rows = RowsOf("v130_sample.hkd");
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::description), (Strings{"Editor \xC3\xA9", "Eject"}));
  EXPECT_EQ(rows[1].action, "Eject CD-ROM");
  rows = RowsOf("v120_sample.hkd");
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::data), (Strings{"mspaint.exe", "Shutdown-Timer"}));
  rows = RowsOf("v105_sample.hkd");
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::id), (Strings{"CALC", "QUIE"}));
  EXPECT_EQ(rows[1].action, "Decrease Volume");
  // Version 1.0: IDs made from the descriptions, action numbers above 1 one higher.
  rows = RowsOf("v100_sample.hkd");
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::id), (Strings{"INTE", "KEYS", "INT1", "AB00", "0000"}));
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::action),
            (Strings{"Open Program or File", "Send Keystrokes", "Exit Windows", "Switch to Virtual Clipboard",
                     "Open a Folder"}));
  EXPECT_EQ(rows[2].data, "Shutdown");
  EXPECT_EQ(rows[3].data, "2");
}

// The value encoding of definitions files, for files made here.
std::string S(const std::string& t) { return std::string("\x06") + static_cast<char>(t.size()) + t; }
std::string I(int v) { return std::string("\x02") + static_cast<char>(v); }
std::string Keys(int pos) { return std::string("\x09\x09\x08\x08") + I(pos); }
const std::string T = "\x09", F = "\x08";

TEST(HotkeyListRows, VersionOneIdsAreTheEditorsOverInactiveEntriesToo) {
  // The inactive "Internet" takes INTE first; the editor calls the active entry after it INT1, and so
  // must the list.
  std::string file = S("Hotkey definitions, version 1.0") + "\x01";
  file += S("Internet") + I(3) + Keys(32) + F;
  file += S("Internet Explorer") + I(0) + S("iexplore.exe") + Keys(36) + T;
  file += std::string(1, '\0');
  const auto rows = hk::HotkeyListRows(file, {}, Clipboards(5));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].id, "INT1");
  EXPECT_EQ(rows[0].id, hk::ReadDefinitions(file).entries[1].id);
}

TEST(HotkeyListRows, EmptyProgramsAreListedButNotRunAndDamageEndsTheTable) {
  std::string file = S("Hotkey definitions, version 1.3") + "\x01";
  file += S("A") + S("A000") + I(0) + S("a.exe") + Keys(30) + T + S("Normal") + S("");
  file += S("B") + S("B000") + I(0) + S("b.exe") + Keys(31) + F + S("Normal") + S("");
  file += S("Empty") + S("EMPT") + I(0) + S("") + Keys(32) + T + S("Normal") + S("");
  file += S("C") + S("C000") + I(0) + S("c.exe") + Keys(33) + T + S("Normal") + S("");
  const std::string whole = file + std::string(1, '\0');
  auto rows = hk::HotkeyListRows(whole, {}, Clipboards(5));
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::description), (Strings{"A", "Empty", "C"}));
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::registrationId), (Strings{"0", "", "1"}));
  // Cut inside the last record: the rows before it stay.
  rows = hk::HotkeyListRows(file.substr(0, file.size() - 5), {}, Clipboards(5));
  EXPECT_EQ(Column(rows, &hk::HotkeyListRow::description), (Strings{"A", "Empty"}));
  EXPECT_TRUE(hk::HotkeyListRows("", {}, Clipboards(5)).empty());
  EXPECT_TRUE(hk::HotkeyListRows("\x06\xFFgarbage", {}, Clipboards(5)).empty());
}

// -------------------------------------------------------------------------------------- the windows

class SmallWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<cl::TApplication>();
    app_->Initialize();
    app_->OnException = [this](cl::TObject*, const std::exception& e) { errors_.push_back(e.what()); };
    cl::RegisterStandardClasses();
    toolkit::RegisterToolkitClasses();
  }
  void TearDown() override {
    app_.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_TRUE(errors_.empty()) << errors_.front();
  }

  std::string Ini() const { return dir_.File("Hotkeys.ini"); }
  std::string Hkd() const { return dir_.File("Hotkeys.hkd"); }

  hk::HotkeyListHost Host() {
    hk::HotkeyListHost host;
    host.definitionsFile = [this] { return Hkd(); };
    host.naming = [] { return hk::DefinitionsNaming{}; };
    host.clipboardNames = [] { return Clipboards(5); };
    host.executeRegistered = [this](int id) { run_.push_back(id); };
    host.closed = [this] { ++closed_; };
    host.iniFileName = Ini();
    return host;
  }

  // A file with A (active), B (inactive) and C (active).
  void WriteAbc() {
    hk::Definitions defs;
    for (auto [name, active] : {std::pair{"A", true}, {"B", false}, {"C", true}}) {
      hk::HotkeyEntry e;
      e.description = name;
      e.id = hk::IdFromText(name);
      e.data = std::string(name) + ".exe";
      e.hotkey = std::string("Ctrl+") + name;
      e.active = active ? "True" : "False";
      defs.entries.push_back(e);
    }
    hk::SaveDefinitions(Hkd(), defs);
  }

  void Pump() { app_->ProcessMessages(); }

  std::unique_ptr<cl::TApplication> app_;
  std::vector<std::string> errors_;
  testsupport::TempDir dir_;
  std::vector<int> run_;
  int closed_ = 0;
};

std::vector<std::string> Captions(cl::TListView* list) {
  std::vector<std::string> out;
  for (int i = 0; i < list->Items()->Count(); ++i) out.push_back(list->Items()->Item(i)->Caption());
  return out;
}

TEST_F(SmallWindows, HotkeyListShowsActiveEntriesAndEnterRunsTheChosenRow) {
  WriteAbc();
  hk::TfrmHotkeyList* form = hk::NewHotkeyList(app_.get(), Host());
  form->Show();
  Pump();
  cl::TListView* list = form->List();
  EXPECT_EQ(form->Caption(), "Hotkey List - " + Hkd());
  EXPECT_EQ(Captions(list), (Strings{"A", "C"}));
  ASSERT_EQ(list->Columns()->Count(), 5);
  EXPECT_EQ(list->Columns()->Items(0)->Width(), 145);

  // Nothing chosen: Enter and a double click run nothing.
  SendMessageW(list->Handle(), WM_CHAR, VK_RETURN, 0);
  form->ExecuteSelected();
  EXPECT_TRUE(run_.empty());

  // C is registration id 1; Enter runs it and is not handed on to the list view.
  list->SetItemIndex(1);
  SendMessageW(list->Handle(), WM_CHAR, VK_RETURN, 0);
  EXPECT_EQ(run_, (std::vector<int>{1}));

  // A save elsewhere shows on the next load.
  hk::Definitions defs;
  defs.entries.resize(1);
  defs.entries[0].description = "Only";
  defs.entries[0].data = "only.exe";
  hk::SaveDefinitions(Hkd(), defs);
  form->LoadList();
  EXPECT_EQ(Captions(list), (Strings{"Only"}));

  // Escape in the table closes and frees the window.
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(app_->ComponentCount(), 0);
}

// The column headers are captions, not buttons: a click on one sorts nothing and tells nobody.
TEST_F(SmallWindows, HotkeyListHeadersDoNotSort) {
  WriteAbc();
  hk::TfrmHotkeyList* form = hk::NewHotkeyList(app_.get(), Host());
  form->Show();
  Pump();
  toolkit::TSaSortListView* list = form->List();
  EXPECT_FALSE(list->ColumnClick());
  EXPECT_NE(GetWindowLongW(list->Handle(), GWL_STYLE) & LVS_NOSORTHEADER, 0);
  HWND header = ListView_GetHeader(list->Handle());
  ASSERT_TRUE(header);
  EXPECT_EQ(GetWindowLongW(header, GWL_STYLE) & HDS_BUTTONS, 0);
  int clicks = 0;
  list->OnColumnClick = [&](cl::TObject*, cl::TListColumn*) { ++clicks; };
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
  SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
  Pump();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(list->SortColumn(), -1);
  EXPECT_EQ(Captions(list), (Strings{"A", "C"}));
  delete form;
}

TEST_F(SmallWindows, HotkeyListOfAMissingFileIsEmpty) {
  hk::TfrmHotkeyList* form = hk::NewHotkeyList(app_.get(), Host());
  form->Show();
  Pump();
  EXPECT_EQ(form->List()->Items()->Count(), 0);
  EXPECT_EQ(form->Caption(), "Hotkey List - " + Hkd());
  form->Close();
  Pump();
  EXPECT_EQ(closed_, 1);
}

TEST_F(SmallWindows, HotkeyListKeepsItsSizeAndColumnWidths) {
  WriteAbc();
  {
    hk::TfrmHotkeyList* form = hk::NewHotkeyList(app_.get(), Host());
    EXPECT_EQ(form->Width(), 551);
    EXPECT_EQ(form->Height(), 322);
    form->Show();
    form->SetBounds(form->Left(), form->Top(), 640, 380);
    form->List()->Columns()->Items(0)->SetWidth(200);
    form->List()->Columns()->Items(4)->SetWidth(60);
    form->Close();
    Pump();
  }
  cl::TIniFile ini(Ini());
  EXPECT_EQ(ini.ReadInteger("ViewWindow", "Width", 0), 640);
  EXPECT_EQ(ini.ReadInteger("ViewWindow", "Height", 0), 380);
  EXPECT_EQ(ini.ReadInteger("VWColumns", "Description", 0), 200);
  EXPECT_EQ(ini.ReadInteger("VWColumns", "ID", 0), 45);
  EXPECT_EQ(ini.ReadInteger("VWColumns", "Hotkey", 0), 60);

  hk::TfrmHotkeyList* again = hk::NewHotkeyList(app_.get(), Host());
  EXPECT_EQ(again->Width(), 640);
  EXPECT_EQ(again->Height(), 380);
  EXPECT_EQ(again->List()->Columns()->Items(0)->Width(), 200);
  EXPECT_EQ(again->List()->Columns()->Items(4)->Width(), 60);
  delete again;
}

TEST_F(SmallWindows, AboutBoxShowsTheVisitedLinkAndRemembersAVisit) {
  cl::TIniFile(Ini()).WriteInteger("Settings", "HomepageVisited", 1);
  {
    std::unique_ptr<hk::TfrmAbout> about(hk::NewAbout(nullptr, Ini()));
    EXPECT_TRUE(about->HomepageLink()->Visited());
    EXPECT_EQ(about->HomepageLink()->Font()->Color(), cl::clPurple);
    EXPECT_EQ(about->Caption(), "About Calderine");
    EXPECT_EQ(about->ClientWidth(), 298);
    EXPECT_EQ(about->ClientHeight(), 211);
  }

  cl::TIniFile(Ini()).WriteInteger("Settings", "HomepageVisited", 0);
  std::unique_ptr<hk::TfrmAbout> about(hk::NewAbout(nullptr, Ini()));
  toolkit::TSaURLLabel* link = about->HomepageLink();
  EXPECT_FALSE(link->Visited());
  EXPECT_EQ(link->Font()->Color(), cl::clNavy);
  std::vector<std::string> opened;
  link->SetOpener([&](const std::string& url) { opened.push_back(url); });
  about->SetOpener([&](HWND, const std::string& target) { opened.push_back(target); });
  // The e-mail label has its own hand cursor; nothing sets the application's.
  EXPECT_EQ(about->EmailLabel()->Cursor(), cl::crHandPoint);

  // Driven from inside the modal loop: the icon plays one pass, the links open through the seams, Escape
  // closes.
  bool playing = false;
  formstest::TTimers timers;
  timers.After(100, [&] {
    playing = about->Player()->Playing();
    link->Click();
    about->EmailLabel()->Click();
    SendMessageW(about->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  timers.Timeout(5000);
  EXPECT_EQ(about->ShowModal(), cl::mrCancel);
  EXPECT_TRUE(playing);
  EXPECT_EQ(opened, (Strings{link->URL(), "mailto:" + about->EmailLabel()->Caption()}));
  EXPECT_TRUE(link->Visited());
  EXPECT_EQ(cl::TIniFile(Ini()).ReadInteger("Settings", "HomepageVisited", 0), 1);
}

TEST_F(SmallWindows, AboutBoxReplaysOnlyAfterAPassEnds) {
  std::unique_ptr<hk::TfrmAbout> about(hk::NewAbout(nullptr, Ini()));
  formstest::TTimers timers;
  bool waitingWhilePlaying = true, waitingAfterStop = false;
  timers.After(50, [&] {
    waitingWhilePlaying = about->ReplayTimer()->Enabled();
    // The pass of 21 frames takes well under two seconds.
    hktest::PumpUntil([&] { return !about->Player()->Playing(); }, 3000);
    waitingAfterStop = about->ReplayTimer()->Enabled();
    about->Close();
  });
  timers.Timeout(8000);
  about->ShowModal();
  EXPECT_FALSE(waitingWhilePlaying);
  EXPECT_TRUE(waitingAfterStop);
  EXPECT_FALSE(about->ReplayTimer()->Enabled());
}

TEST_F(SmallWindows, NoticeRemembersDontShowMeAgainAtEveryClick) {
  std::unique_ptr<hk::TForm1> notice(cl::NewForm<hk::TForm1>(nullptr));
  notice->SetIniFileName(Ini());
  EXPECT_EQ(notice->Caption(), "Don't show me again.");
  notice->Show();
  notice->DontShowAgain()->SetChecked(true);
  EXPECT_EQ(cl::TIniFile(Ini()).ReadInteger("Settings", "showme", -1), 0);
  notice->DontShowAgain()->SetChecked(false);
  EXPECT_EQ(cl::TIniFile(Ini()).ReadInteger("Settings", "Showme", -1), 1);
}

// ------------------------------------------------------------------------------- the conflict dialog

// The description is one text that the label breaks at its width, whatever the font's metrics.
TEST_F(SmallWindows, ConflictDialogWrapsItsDescription) {
  auto* dialog = cl::NewForm<hk::TfrmHotkeyError>(app_.get());
  auto* label = cl::ComponentAs<cl::TLabel>(dialog, "lblDescription");
  EXPECT_EQ(label->Caption(),
            "If you continue, only one of the hotkey combinations will be active (which one depends on what "
            "combination was defined first).");
  EXPECT_TRUE(label->WordWrap());
  // Its lines: bands of rows with ink, on a white bitmap of the label's size.
  const hktest::PaintSurface surface(label->Width(), label->Height());
  label->SetColor(cl::clWhite);
  label->PaintTo(surface.DC());
  int bands = 0;
  bool inked = false;
  for (int y = 0; y < label->Height(); ++y) {
    bool row = false;
    for (int x = 0; x < label->Width() && !row; ++x) row = surface.Pixel(x, y) != RGB(255, 255, 255);
    if (row && !inked) ++bands;
    inked = row;
  }
  EXPECT_GE(bands, 2);
  delete dialog;
}

}  // namespace
