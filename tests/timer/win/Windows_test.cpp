// The main window, the warning window and the settings window, driven in this process with the power-off
// recorded by a fake.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "FormsTestSupport.h"
#include "FakePower.h"
#include "StdClasses.h"
#include "TestSupport.h"
#include "TimerSettings.h"
#include "TrayProbe.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"
#include "WinSkinForm.h"
#include "SkinControl.h"
#include "Spin.h"
#include "MessageLoop.h"
#include "KeyInput.h"
#include "MenuWatch.h"
#include "DropDownPixels.h"
#include "SkinMenuBar.h"

namespace {

using pellwick::TForm1;
using pellwick::TForm2;
using pellwick::TForm3;

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

class TimerWindowsTest : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    cl::RegisterStandardClasses();
    pellwick::RegisterTimerTrayIcon();
    skin::RegisterSkinComponents();
    app_->SetTitle(pellwick::AppTitle);
  }

  void Make() {
    form1 = new TForm1(app_.get(), dir.path.string());
    form1->AfterConstruction();
    form1->ShowInfo = [this](const std::string& s) { infos.push_back(s); };
    form2 = cl::NewForm<TForm2>(form1);
    form3 = cl::NewForm<TForm3>(form1);
    form1->Attach(form2, form3);
  }
  void WriteConfig(const pellwick::TTimeSettings& s, bool runAtStart) {
    cl::TIniFile ini = pellwick::OpenConfig(dir.path.string());
    pellwick::WriteTimeSettings(ini, s);
    ini.WriteBool(pellwick::SectionStartup, pellwick::KeyRunTaskAtStart, runAtStart);
  }
  // One tick of each timer, as its message would run it.
  void Tick1() { form1->Timer1->OnTimer()(form1->Timer1); }
  void WarningTick() { form2->Timer1->OnTimer()(form2->Timer1); }
  void StartCount(const std::string& seconds, bool remind) {
    form1->RadioButton1->SetChecked(true);
    form1->CheckBox1->SetChecked(remind);
    form1->Edit1->SetText(seconds);
    form1->Button1->Click();
  }
  std::string Status() const { return form1->StatusBar1->SimpleText(); }

  testsupport::TempDir dir;
  timertest::TFakePower power;
  hk::PowerCallsScope scope{power};
  TForm1* form1 = nullptr;
  TForm2* form2 = nullptr;
  TForm3* form3 = nullptr;
  std::vector<std::string> infos;
};

TEST_F(TimerWindowsTest, StartsIdleWithTheResourceValuesWithoutAFile) {
  Make();
  EXPECT_EQ(form1->Caption(), "Calderine-Timer");
  EXPECT_EQ(form1->ClientWidth(), 198);
  EXPECT_EQ(form1->ClientHeight(), 246);
  EXPECT_TRUE(form1->RadioButton1->Checked());
  EXPECT_FALSE(form1->RadioButton2->Checked());
  EXPECT_TRUE(form1->CheckBox1->Checked());
  EXPECT_EQ(form1->Edit1->Text(), "");
  EXPECT_EQ(form1->SpinEdit1->Value(), 0);
  EXPECT_EQ(Status(), "No Task");
  EXPECT_FALSE(form1->TimerTrayIcon1->IconVisible());
  EXPECT_FALSE(form1->Timer4->Enabled());
  EXPECT_EQ(form2->Panel1->Caption(), "Turn off in 30 Seconds..");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(TimerWindowsTest, CountOfSixPowersOffOnTheSeventhTick) {
  Make();
  StartCount("6", false);
  EXPECT_EQ(Status(), "Executing Task.....");
  EXPECT_FALSE(form1->Button1->Enabled());
  EXPECT_TRUE(form1->Timer1->Enabled());
  EXPECT_TRUE(form1->TimerTrayIcon1->IconVisible());
  EXPECT_TRUE(hktest::WindowHasTrayIcon(form1->TimerTrayIcon1->WindowHandle(), 1));
  EXPECT_EQ(form1->TimerTrayIcon1->Hint(), "Executing Task");
  for (int tick = 1; tick <= 6; ++tick) Tick1();
  EXPECT_TRUE(power.exits.empty());
  Tick1();
  ASSERT_EQ(power.exits.size(), 1u);
  EXPECT_EQ(power.exits[0], 13u);
  EXPECT_FALSE(form1->Timer1->Enabled());
}

TEST_F(TimerWindowsTest, BadOrSmallCountsStartNothing) {
  Make();
  StartCount("5", false);
  EXPECT_EQ(infos, std::vector<std::string>{"Seconds must >5 "});
  for (const char* bad : {"", "12a"}) {
    StartCount(bad, false);
    EXPECT_EQ(form1->Edit1->Text(), "0") << bad;
  }
  EXPECT_EQ(infos.size(), 1u);
  EXPECT_FALSE(form1->Timer1->Enabled());
  EXPECT_TRUE(form1->Button1->Enabled());
  EXPECT_EQ(Status(), "No Task");
}

TEST_F(TimerWindowsTest, WarningCountsThirtyToZeroAndPowersOffOnce) {
  Make();
  StartCount("6", true);
  for (int tick = 1; tick <= 7; ++tick) Tick1();
  EXPECT_TRUE(power.exits.empty());
  EXPECT_TRUE(form2->Visible());
  EXPECT_FALSE(form1->Visible());
  EXPECT_TRUE(form2->Timer1->Enabled());
  EXPECT_FALSE(form1->Button2->Enabled());
  EXPECT_FALSE(form1->N10->Enabled());
  for (int tick = 1; tick <= 30; ++tick) WarningTick();
  EXPECT_EQ(form2->Panel1->Caption(), "Turn off in 1 Seconds..");
  EXPECT_EQ(form2->ProgressBar1->Position(), 29);
  EXPECT_TRUE(power.exits.empty());
  WarningTick();
  EXPECT_EQ(power.exits, std::vector<UINT>{13});
  EXPECT_FALSE(form2->Timer1->Enabled());
}

TEST_F(TimerWindowsTest, TrayStopTaskCancelsTheWarningAndTheNextOneStartsAfresh) {
  Make();
  StartCount("6", true);
  for (int tick = 1; tick <= 7; ++tick) Tick1();
  for (int tick = 1; tick <= 19; ++tick) WarningTick();
  EXPECT_EQ(form2->Panel1->Caption(), "Turn off in 12 Seconds..");
  form1->N3Click(nullptr);
  EXPECT_FALSE(form2->Visible());
  EXPECT_FALSE(form2->Timer1->Enabled());
  EXPECT_EQ(form2->ProgressBar1->Position(), 0);
  EXPECT_EQ(Status(), "No Task");
  EXPECT_EQ(form1->TimerTrayIcon1->Hint(), "No Task");
  EXPECT_TRUE(form1->Button1->Enabled());
  EXPECT_TRUE(form1->N10->Enabled());
  EXPECT_TRUE(power.exits.empty());

  StartCount("6", true);
  for (int tick = 1; tick <= 7; ++tick) Tick1();
  WarningTick();
  EXPECT_EQ(form2->Panel1->Caption(), "Turn off in 30 Seconds..");
  EXPECT_EQ(form2->ProgressBar1->Position(), 0);
}

TEST_F(TimerWindowsTest, MenuStopTaskReturnsToNoTaskInEveryState) {
  Make();
  form1->N9Click(nullptr);  // idle
  EXPECT_EQ(Status(), "No Task");
  StartCount("60", false);  // counting down
  form1->N9Click(nullptr);
  EXPECT_EQ(Status(), "No Task");
  EXPECT_FALSE(form1->Timer1->Enabled());
  EXPECT_TRUE(form1->Button1->Enabled());
  form1->RadioButton2->SetChecked(true);  // waiting for the time
  form1->SpinEdit1->SetValue(23);
  form1->Button1->Click();
  EXPECT_TRUE(form1->Timer2->Enabled());
  form1->N9Click(nullptr);
  EXPECT_FALSE(form1->Timer2->Enabled());
  EXPECT_EQ(Status(), "No Task");
  StartCount("6", true);  // warning
  for (int tick = 1; tick <= 7; ++tick) Tick1();
  form1->N9Click(nullptr);
  EXPECT_FALSE(form2->Visible());
  EXPECT_EQ(Status(), "No Task");
  EXPECT_TRUE(power.exits.empty());
}

TEST_F(TimerWindowsTest, APrivilegeThatCannotBeHadStillPowersOffWithoutAWord) {
  Make();
  power.tokenOpens = false;
  StartCount("6", false);
  for (int tick = 1; tick <= 7; ++tick) Tick1();
  EXPECT_EQ(power.exits, std::vector<UINT>{13});
  EXPECT_TRUE(infos.empty());
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(Status(), "Executing Task.....");
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(TimerWindowsTest, ExactTimeOfTheCurrentSecondFallsDueAndSpinValuesAreClamped) {
  Make();
  form1->RadioButton2->SetChecked(true);
  EXPECT_EQ(form1->Edit1->Text(), "0");
  EXPECT_FALSE(form1->Edit1->Enabled());
  form1->CheckBox1->SetChecked(false);
  // The start must fall in the second that the fields name; one that has passed meanwhile (a busy
  // machine, a second's end) is tomorrow's, so the fields are set again from the new second.
  const auto second = [] {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return (t.wHour * 60 + t.wMinute) * 60 + t.wSecond;
  };
  bool sameSecond = false;
  for (int attempt = 0; attempt < 5 && !sameSecond; ++attempt) {
    form1->N9Click(nullptr);
    const int named = second();
    form1->SpinEdit1->SetText(std::to_string(named / 3600));
    form1->SpinEdit2->SetText(std::to_string(named / 60 % 60));
    form1->SpinEdit3->SetText(std::to_string(named % 60));
    form1->Button1->Click();
    sameSecond = second() == named;
  }
  ASSERT_TRUE(sameSecond) << "no start fell in the second it named";
  form1->Timer2->OnTimer()(form1->Timer2);
  EXPECT_EQ(power.exits, std::vector<UINT>{13});

  form1->N9Click(nullptr);
  form1->SpinEdit2->SetText("75");
  form1->SpinEdit3->SetText("x");
  form1->Button1->Click();
  EXPECT_EQ(form1->SpinEdit2->Text(), "59");
  EXPECT_EQ(form1->SpinEdit3->Text(), "0");
}

TEST_F(TimerWindowsTest, StartUpLoadsTheSavedSettings) {
  pellwick::TTimeSettings s;
  s.seconds = "90";
  s.hour = 7;
  s.minute = 99;  // out of range: brought to 59
  s.exactTime = true;
  s.remind = false;
  WriteConfig(s, true);
  Make();
  EXPECT_FALSE(form1->RadioButton1->Checked());
  EXPECT_TRUE(form1->RadioButton2->Checked());
  EXPECT_EQ(form1->Edit1->Text(), "0");  // checking "Exact Time" clears the seconds
  EXPECT_EQ(form1->SpinEdit1->Value(), 7);
  EXPECT_EQ(form1->SpinEdit2->Value(), 59);
  EXPECT_FALSE(form1->CheckBox1->Checked());
  EXPECT_TRUE(form1->Timer4->Enabled());
  EXPECT_FALSE(form1->Timer3->Enabled());
  EXPECT_TRUE(form3->CheckBox2->Checked());

  // Neither mode saved: "OK" does nothing.
  s.exactTime = false;
  WriteConfig(s, false);
  delete form1;
  Make();
  EXPECT_FALSE(form1->RadioButton1->Checked());
  EXPECT_FALSE(form1->RadioButton2->Checked());
  form1->Button1->Click();
  EXPECT_EQ(Status(), "No Task");
  EXPECT_TRUE(form1->Button1->Enabled());
}

TEST_F(TimerWindowsTest, SettingsOkAndExitWriteTheFileByteForByte) {
  Make();
  form1->Edit1->SetText("3600");
  form1->RadioButton2->SetChecked(true);
  form1->RadioButton1->SetChecked(true);
  form1->Edit1->SetText("3600");
  form1->SpinEdit1->SetText("23");
  form1->SpinEdit2->SetText("30");
  form3->CheckBox2->SetChecked(true);
  form3->CheckBox4->SetChecked(true);
  // The names must come out in code page 936 whatever the system's own code page is.
  ASSERT_NE(GetACP(), 936u);
  form3->Button1->Click();  // "Auto Startup with Windows" off: the autorun value is removed
  EXPECT_EQ(ReadBytes(dir.path / "config.ini"), ReadBytes(testsupport::DataDir("ini") + "/pellwick-saved.ini"));

  // Exit writes the same time settings again: nothing changes, and the application ends.
  form1->N5Click(nullptr);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(ReadBytes(dir.path / "config.ini"), ReadBytes(testsupport::DataDir("ini") + "/pellwick-saved.ini"));
}


// "Save Time Settings" on and a settings file that cannot be written: both menus' Exit say so and end.
TEST_F(TimerWindowsTest, ExitWithAReadOnlySettingsFileSaysSoAndEnds) {
  const std::filesystem::path config = dir.path / "config.ini";
  std::filesystem::copy_file(testsupport::DataDir("ini") + "/pellwick-saved.ini", config);
  const std::string stored = ReadBytes(config);
  Make();
  ASSERT_TRUE(SetFileAttributesW(config.wstring().c_str(), FILE_ATTRIBUTE_READONLY));
  form1->Edit1->SetText("120");  // differs from the file: the exit has something to write
  form3->CheckBox2->SetChecked(true);
  for (const char* item : {"N5", "N12"}) {
    SCOPED_TRACE(item);
    errors_.clear();
    cl::ComponentAs<cl::TMenuItem>(form1, item)->Click();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(cl::LowerCase(errors_[0]), cl::LowerCase("Unable to write to " + dir.File("config.ini")));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(ReadBytes(config), stored);
  }
}
}  // namespace

namespace {

TEST_F(TimerWindowsTest, TrayClickRestoresDuringACountButNotDuringTheWarning) {
  Make();
  StartCount("60", true);
  SendMessageW(form1->TimerTrayIcon1->WindowHandle(), pellwick::TTimerTrayIcon::CallbackMessage, 1, WM_LBUTTONDOWN);
  SendMessageW(form1->TimerTrayIcon1->WindowHandle(), pellwick::TTimerTrayIcon::CallbackMessage, 1, WM_LBUTTONUP);
  EXPECT_FALSE(form1->TimerTrayIcon1->IconVisible());
  EXPECT_FALSE(form1->Button1->Enabled());
  EXPECT_TRUE(form1->Timer1->Enabled());  // restoring does not stop the task

  form1->N9Click(nullptr);
  StartCount("6", true);
  for (int tick = 1; tick <= 7; ++tick) Tick1();
  ASSERT_TRUE(form2->Timer1->Enabled());
  form1->TimerTrayIcon1Click(form1->TimerTrayIcon1);
  EXPECT_TRUE(form1->TimerTrayIcon1->IconVisible());
}

}  // namespace

namespace {

TEST_F(TimerWindowsTest, FailedExitCallSaysSoAndGoesBackToIdle) {
  Make();
  power.exitSucceeds = false;
  StartCount("6", true);
  for (int tick = 1; tick <= 7; ++tick) Tick1();
  power.adjustError = ERROR_NOT_ALL_ASSIGNED;  // the privilege refused too: the call is still made
  for (int tick = 1; tick <= 31; ++tick) WarningTick();
  EXPECT_EQ(power.exits.size(), 1u);
  EXPECT_EQ(infos, std::vector<std::string>{"The computer could not be powered off."});
  EXPECT_EQ(Status(), "No Task");
  EXPECT_EQ(form1->TimerTrayIcon1->Hint(), "No Task");
  EXPECT_FALSE(form2->Visible());
  EXPECT_FALSE(form2->Timer1->Enabled());
  EXPECT_TRUE(form1->Button1->Enabled());
  EXPECT_TRUE(form1->Button2->Enabled());
  EXPECT_TRUE(form1->N10->Enabled());
}

TEST_F(TimerWindowsTest, ACountAbove32BitsIsRefusedAndStopsTheAutomaticStart) {
  pellwick::TTimeSettings s;
  s.seconds = "9999999999";  // 317 years: only a hand-edited file holds it
  s.countDown = true;
  WriteConfig(s, true);
  Make();
  form1->Timer4->OnTimer()(form1->Timer4);
  EXPECT_FALSE(form1->Timer4->Enabled());
  EXPECT_FALSE(form1->Timer1->Enabled());
  EXPECT_EQ(errors_, std::vector<std::string>{"'9999999999' is not a valid integer value"});
  EXPECT_EQ(Status(), "No Task");
  EXPECT_TRUE(form1->Button1->Enabled());
  EXPECT_FALSE(form1->TimerTrayIcon1->IconVisible());
  errors_.clear();
  StartCount("2147483648", false);
  EXPECT_EQ(errors_.size(), 1u);
  EXPECT_FALSE(form1->Timer1->Enabled());
  StartCount("2147483647", false);  // the largest count is taken
  EXPECT_TRUE(form1->Timer1->Enabled());
  EXPECT_EQ(form1->Task().CountdownSeconds(), int64_t{2147483647});
  EXPECT_EQ(errors_.size(), 1u);
  EXPECT_TRUE(infos.empty());

  // Text that is no count at all stops the automatic start as well, silently.
  form1->N9Click(nullptr);
  form1->Edit1->SetText("12345678901");
  form1->Timer4->SetEnabled(true);
  form1->Timer4->OnTimer()(form1->Timer4);
  EXPECT_FALSE(form1->Timer4->Enabled());
  EXPECT_FALSE(form1->Timer1->Enabled());
  EXPECT_EQ(form1->Edit1->Text(), "0");
  EXPECT_TRUE(infos.empty());
}

TEST_F(TimerWindowsTest, TimeOfDayWaitsForTheMomentWithoutPolling) {
  Make();
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const int target = ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond + 2) % 86400;
  form1->CheckBox1->SetChecked(false);
  form1->RadioButton2->SetChecked(true);
  form1->SpinEdit1->SetValue(target / 3600);
  form1->SpinEdit2->SetValue(target / 60 % 60);
  form1->SpinEdit3->SetValue(target % 60);
  form1->Button1->Click();
  ASSERT_TRUE(form1->Timer2->Enabled());
  // One wake-up at the moment (at most one a second to follow the clock), not one every millisecond.
  EXPECT_GT(form1->Timer2->Interval(), 900u);
  EXPECT_TRUE(hktest::PumpUntil([&] { return !power.exits.empty(); }, 5000));
  EXPECT_EQ(power.exits, std::vector<UINT>{13});
  EXPECT_FALSE(form1->Timer2->Enabled());
}

TEST_F(TimerWindowsTest, TrayStopTaskReturnsToNoTaskAndStaysInTheTray) {
  Make();
  StartCount("60", false);
  form1->N3Click(nullptr);
  EXPECT_FALSE(form1->Timer1->Enabled());
  EXPECT_EQ(Status(), "No Task");
  EXPECT_EQ(form1->TimerTrayIcon1->Hint(), "No Task");
  EXPECT_TRUE(form1->TimerTrayIcon1->IconVisible());
  EXPECT_FALSE(form1->Visible());
  form1->RadioButton2->SetChecked(true);
  form1->SpinEdit1->SetValue(23);
  form1->Button1->Click();
  form1->N3Click(nullptr);
  EXPECT_FALSE(form1->Timer2->Enabled());
  EXPECT_EQ(Status(), "No Task");
  EXPECT_TRUE(form1->Button1->Enabled());
  EXPECT_TRUE(power.exits.empty());
}

TEST_F(TimerWindowsTest, MenusAboutPanelAndWarningWindowAsDescribed) {
  Make();
  form1->Show();
  // The skin draws the menu bar in the window's place: the entries are the menu component's.
  HMENU menu = form1->Menu()->Handle();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  wchar_t text[64] = {};
  GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"Options(&O)");
  GetMenuStringW(menu, 1, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"About(&A)");
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 4);
  // No border icons: no system menu, no close box.
  EXPECT_FALSE(GetWindowLongW(form1->Handle(), GWL_STYLE) & WS_SYSMENU);

  form1->N2Click(nullptr);
  EXPECT_TRUE(form1->Panel1->Visible());
  EXPECT_EQ(form1->Panel1->Width(), form1->ClientWidth());
  EXPECT_EQ(form1->Image1->Width(), 49);
  EXPECT_NE(form1->Image1->Picture()->Graphic(), nullptr);  // the program's icon
  form1->Image1->Click();
  EXPECT_FALSE(form1->Panel1->Visible());

  // Esc in the seconds field hides into the tray.
  uint16_t key = VK_ESCAPE;
  form1->Edit1->OnKeyDown(form1->Edit1, key, cl::TShiftState());
  EXPECT_FALSE(form1->Visible());
  EXPECT_TRUE(form1->TimerTrayIcon1->IconVisible());
  EXPECT_EQ(form1->TimerTrayIcon1->Hint(), "Calderine-Timer");

  form2->Show();
  const LONG style = GetWindowLongW(form2->Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongW(form2->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(form2->ClientWidth(), 352);
  EXPECT_EQ(form2->ClientHeight(), 85);
}

}  // namespace

// Every control of the shown windows gets the painter of its class from the skin the program carries.
class TimerSkinnedWindowsTest : public TimerWindowsTest {
 protected:
  // The form shown and its controls skinned; the painter of a control, or its class name "none".
  skin::TWinSkinForm* ShowSkinned(cl::TCustomForm* form) {
    form->Show();
    skin::TWinSkinForm* skinned = nullptr;
    EXPECT_TRUE(hktest::PumpUntil([&] {
      skinned = skin::SkinManager() ? skin::SkinManager()->FindSkinForm(form->Handle()) : nullptr;
      return skinned && skinned->ControlsSkinned();
    }));
    return skinned;
  }
  // Alt+O, as the main form hears it, opens "Options"; the watch closes it, or the guard after 5 s.
  void OpenOptionsWithAltO(const hktest::MenuWatch& watch) {
    timers_.After(5000, [] {
      ADD_FAILURE() << "the menu did not close in time";
      EndMenu();
    });
    EXPECT_EQ(form1->Perform(cl::CM_DIALOGCHAR, 'o', 0x20000000), 1);
    EXPECT_TRUE(hktest::PumpUntil([&] { return !watch.Opened.empty(); }));
  }
  static std::string PainterOf(const skin::TWinSkinForm& skinned, cl::TWinControl* control) {
    for (skin::TSkinControl* p : skinned.Painters())
      if (p->Painted() == control || p->Handle() == control->Handle()) return std::string(p->ClassName());
    return "none";
  }
};

TEST_F(TimerSkinnedWindowsTest, TheMainAndSettingsWindowsControlsArePaintedFromTheSkin) {
  Make();
  skin::TWinSkinForm* main = ShowSkinned(form1);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(PainterOf(*main, form1->RadioButton1), "TSkinRadioButton");
  EXPECT_EQ(PainterOf(*main, form1->RadioButton2), "TSkinRadioButton");
  EXPECT_EQ(PainterOf(*main, form1->CheckBox1), "TSkinCheckBox");
  EXPECT_EQ(PainterOf(*main, form1->Button1), "TSkinButton");
  EXPECT_EQ(PainterOf(*main, form1->Button2), "TSkinButton");
  EXPECT_EQ(PainterOf(*main, form1->StatusBar1), "TSkinStatusBar");
  EXPECT_EQ(PainterOf(*main, form1->Panel1), "TSkinBox");
  EXPECT_EQ(PainterOf(*main, form1->Edit1), "TSkinEdit");
  for (cl::TSpinEdit* spin : {form1->SpinEdit1, form1->SpinEdit2, form1->SpinEdit3}) {
    EXPECT_EQ(PainterOf(*main, spin), "TSkinEdit");
    RedrawWindow(spin->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    skin::TSkinControl* arrows = main->FindControlByHandle(spin->ArrowsHandle());
    ASSERT_NE(arrows, nullptr);
    EXPECT_EQ(std::string(arrows->ClassName()), "TSkinUpDown");
  }

  skin::TWinSkinForm* settings = ShowSkinned(form3);
  ASSERT_NE(settings, nullptr);
  for (cl::TCheckBox* box : {form3->CheckBox1, form3->CheckBox2, form3->CheckBox4})
    EXPECT_EQ(PainterOf(*settings, box), "TSkinCheckBox");
  EXPECT_EQ(PainterOf(*settings, form3->Button1), "TSkinButton");
  form3->Hide();
}

// The main window wears the skin's frame with the skin's own menu bar, whose drop-down opens.
TEST_F(TimerSkinnedWindowsTest, TheMainWindowsFrameIsSkinnedWithItsMenuBar) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  Make();
  skin::TWinSkinForm* main = ShowSkinned(form1);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->FrameSkinning());
  EXPECT_EQ(main->SkinState(), skin::kSkinStateSkinned);
  EXPECT_EQ(GetMenu(form1->Handle()), nullptr);
  skin::TWinSkinMenu* bar = main->MenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(bar->Button(0)->Caption, L"Options(&O)");
  EXPECT_EQ(bar->Button(1)->Caption, L"About(&A)");
  EXPECT_FALSE(IsRectEmpty(&bar->Button(0)->Rect));
  cl::TMenuItem* options = form1->Menu()->Items()->Items(0);
  hktest::MenuWatch watch(form1->Handle(), [](HWND, HMENU) { EndMenu(); });
  OpenOptionsWithAltO(watch);
  ASSERT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(watch.Opened[0], options->Handle());
}

// The open "Options" drop-down's items wear the program skin's item frames, the selected one frame 4.
TEST_F(TimerSkinnedWindowsTest, TheOptionsDropDownWearsTheSkinsItemFrames) {
  hktest::KeyboardLock lock;
  ASSERT_TRUE(lock.Owned());
  Make();
  ASSERT_NE(ShowSkinned(form1), nullptr);
  auto* data = cl::ComponentAs<skin::TSkinData>(form1, "SkinData1");
  std::string faults;
  int selected = 0;
  const hktest::DropDownFrames frames(form1->Handle());
  hktest::MenuWatch watch(form1->Handle(), [&](HWND popup, HMENU menu) {
    faults = frames.Faults(popup, menu, *data, selected);
    EndMenu();
  });
  OpenOptionsWithAltO(watch);
  ASSERT_EQ(watch.Opened.size(), 1u);
  EXPECT_EQ(faults, "");
  EXPECT_EQ(selected, 1);
}
