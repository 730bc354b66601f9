#include <gtest/gtest.h>

#include "Definitions.h"
#include "HotkeyText.h"
#include "Registration.h"
#include "TestSupport.h"

using namespace hk;

namespace {

DefinitionRecord Record(std::string description, int action, std::string data, std::string hotkey,
                        bool active = true) {
  DefinitionRecord r;
  r.description = std::move(description);
  r.action = action;
  r.data = std::move(data);
  r.hotkey = std::move(hotkey);
  r.active = active;
  return r;
}

}  // namespace

TEST(Registration, IdsCommandsAndHotProgramItemsGrowTogether) {
  DefinitionRecord program = Record("Notepad", haOpenProgram, "notepad.exe", "Ctrl+Alt+N");
  program.show = "Maximized";
  program.startIn = "C:\\Temp";
  const RegistrationPlan plan = PlanRegistration({
      program,
      Record("Louder", haIncreaseVolume, "", "Win+Up"),
      Record("Docs", haOpenFolder, "C:\\Docs", "Win+D"),
  });
  ASSERT_EQ(plan.commands.size(), 3u);
  EXPECT_EQ(CommandText(plan.commands[0]), "0=notepad.exe;Maximized;C:\\Temp");
  EXPECT_EQ(CommandText(plan.commands[1]), "6=");
  EXPECT_EQ(CommandText(plan.commands[2]), "14=C:\\Docs");
  ASSERT_EQ(plan.combinations.size(), 3u);
  EXPECT_EQ(plan.combinations[0], (HotkeyCombination{KeyCodeFromText("Ctrl+Alt+N"), ModifiersFromText("Ctrl+Alt+N")}));
  EXPECT_EQ(plan.combinations[2].key, KeyCodeFromText("Win+D"));
  ASSERT_EQ(plan.hotPrograms.size(), 2u);
  EXPECT_EQ(plan.hotPrograms[0], (HotProgramItem{"Notepad\tCtrl+Alt+N", 0}));
  EXPECT_EQ(plan.hotPrograms[1], (HotProgramItem{"Docs\tWin+D", 2}));
  EXPECT_EQ(plan.editCaption, "&Edit Calderine...");
  EXPECT_EQ(plan.listCaption, "&View hotkey list...");
}

TEST(Registration, SkippedEntriesLeaveNoGapInTheIds) {
  const RegistrationPlan plan = PlanRegistration({
      Record("Off", haOpenProgram, "calc.exe", "Ctrl+1", false),
      Record("Empty command", haOpenProgram, "", "Ctrl+2"),
      Record("Empty keys", haSendKeystrokes, "", "Ctrl+3"),
      Record("Minimise", haMinimizeAll, "", "Ctrl+4"),
      Record("Restart", haExitWindows, "2", "Ctrl+5"),
      Record("Unknown action 16", 16, "x", "Ctrl+6"),
  });
  ASSERT_EQ(plan.commands.size(), 2u);
  EXPECT_EQ(CommandText(plan.commands[0]), "8=");
  EXPECT_EQ(CommandText(plan.commands[1]), "3=2");
  EXPECT_EQ(plan.combinations[1].key, KeyCodeFromText("Ctrl+5"));
  EXPECT_TRUE(plan.hotPrograms.empty());
}

TEST(Registration, TrayHintsTakeTheLastEditAndListEntries) {
  const RegistrationPlan plan = PlanRegistration({
      Record("Edit", haEditHotkeys, "", "Ctrl+E"),
      Record("Edit again", haEditHotkeys, "", "Ctrl+Shift+E"),
      Record("List", haViewHotkeyList, "", "Win+F12"),
      Record("Quieter", haDecreaseVolume, "", "Win+Down"),
      Record("Batch", haExecuteMultiple, "AB00,CD00", "Alt+F9"),
  });
  EXPECT_EQ(plan.editCaption, "&Edit Calderine...\tCtrl+Shift+E");
  EXPECT_EQ(plan.listCaption, "&View hotkey list...\tWin+F12");
  ASSERT_EQ(plan.hotPrograms.size(), 1u);
  EXPECT_EQ(plan.hotPrograms[0].tag, 4);
}

// A command line may hold ";" (a list of arguments, a path): it stays whole, apart from show and folder.
TEST(Registration, ACommandLineWithSemicolonsStaysWhole) {
  DefinitionRecord r = Record("Script", haOpenProgram, "cmd /c echo a;b;c", "Ctrl+F7");
  r.show = "Minimized";
  r.startIn = "C:\\Work;Old";
  const RegistrationPlan plan = PlanRegistration({r});
  ASSERT_EQ(plan.commands.size(), 1u);
  EXPECT_EQ(plan.commands[0].data, "cmd /c echo a;b;c");
  EXPECT_EQ(plan.commands[0].show, "Minimized");
  EXPECT_EQ(plan.commands[0].startIn, "C:\\Work;Old");
}

// A version 1.0 file, read as the registration reads it: the inactive entry takes no id.
TEST(Registration, PlanOfAnOldFile) {
  const DefinitionRecords r = LoadDefinitionRecords(testsupport::DataDir("hkd") + "v100_sample.hkd");
  ASSERT_TRUE(r.complete);
  const RegistrationPlan plan = PlanRegistration(r.records);
  ASSERT_EQ(plan.commands.size(), 5u);
  EXPECT_EQ(CommandText(plan.commands[0]), "0=iexplore.exe;Normal;");
  EXPECT_EQ(CommandText(plan.commands[3]), "10=1");
  ASSERT_EQ(plan.hotPrograms.size(), 2u);
  EXPECT_EQ(plan.hotPrograms[0], (HotProgramItem{"Internet Explorer\tWin+I", 0}));
  EXPECT_EQ(plan.hotPrograms[1].tag, 4);
  EXPECT_EQ(plan.editCaption, "&Edit Calderine...");
}
