#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IdList.h"

using namespace hk;

namespace {

HotkeyEntry Row(std::string id, std::string action, std::string data = "") {
  HotkeyEntry e;
  e.description = "Entry " + id;
  e.id = std::move(id);
  e.action = std::move(action);
  e.data = std::move(data);
  return e;
}

std::vector<std::string> Ids(const std::vector<IdListStep>& steps) {
  std::vector<std::string> ids;
  for (const IdListStep& s : steps)
    if (s.runs) ids.push_back(s.command.data);
  return ids;
}

}  // namespace

TEST(IdList, TakeDelayPrefixAndTakeNextId) {
  std::string s = "D=500;AB00;CD00";
  EXPECT_EQ(TakeDelayPrefix(s), 500);
  EXPECT_EQ(s, "AB00;CD00");
  EXPECT_EQ(TakeDelayPrefix(s), -1);  // no delay here: unchanged
  EXPECT_EQ(s, "AB00;CD00");
  EXPECT_EQ(TakeNextId(s), "AB00");
  EXPECT_EQ(TakeNextId(s), "CD00");
  EXPECT_EQ(s, "");
  EXPECT_EQ(TakeNextId(s), "");

  s = "D=x1;A";  // not a number: 0
  EXPECT_EQ(TakeDelayPrefix(s), 0);
  EXPECT_EQ(s, "A");
  s = "D=250";  // no ";": value 0, the digits stay as the next ID
  EXPECT_EQ(TakeDelayPrefix(s), 0);
  EXPECT_EQ(s, "250");
  s = "d=5;A";  // exact case only
  EXPECT_EQ(TakeDelayPrefix(s), -1);
  s = "D=99999999999999;A";  // out of range is not a number
  EXPECT_EQ(TakeDelayPrefix(s), 0);
}

TEST(IdList, ParseKeepsDelaysInForceAndEndsAtAnEmptyElement) {
  EXPECT_EQ(ParseIdList("D=500;A;B;D=20;C"),
            (std::vector<IdListItem>{{"A", 500}, {"B", 500}, {"C", 20}}));
  // Two delays in a row: the second is an ID (which no row will have).
  EXPECT_EQ(ParseIdList("A;D=1;D=2;B"), (std::vector<IdListItem>{{"A", 0}, {"D=2", 1}, {"B", 1}}));
  // An empty element ends the list wherever it is: in the middle, at the start, after a delay.
  EXPECT_EQ(ParseIdList("A;;B;C"), (std::vector<IdListItem>{{"A", 0}}));
  EXPECT_EQ(ParseIdList("D=40;A;B;;C"), (std::vector<IdListItem>{{"A", 40}, {"B", 40}}));
  EXPECT_EQ(ParseIdList(";A;B"), std::vector<IdListItem>{});
  EXPECT_EQ(ParseIdList("A;D=5;;B"), (std::vector<IdListItem>{{"A", 0}}));
  EXPECT_EQ(ParseIdList(""), std::vector<IdListItem>{});
  EXPECT_EQ(ParseIdList(";;;"), std::vector<IdListItem>{});
  // A final ";" is no empty element in the middle: the list simply ends there.
  EXPECT_EQ(ParseIdList("A;B;"), (std::vector<IdListItem>{{"A", 0}, {"B", 0}}));
  // Delays are kept within 0..32767.
  EXPECT_EQ(ParseIdList("D=-5;A;D=40000;B;D=2147483647;C"),
            (std::vector<IdListItem>{{"A", 0}, {"B", MaxIdListDelay}, {"C", MaxIdListDelay}}));
}

TEST(IdList, PlanRunsFirstMatchingRowsAndSkipsListsAndUnknowns) {
  std::vector<HotkeyEntry> rows = {
      Row("AAAA", "Open Program or File", "a.exe"), Row("BBBB", "Send Keystrokes", "keys"),
      Row("LIST", "Execute Multiple Commands", "AAAA;LIST"), Row("AAAA", "Open Program or File", "second.exe"),
      Row("EXIT", "exit windows", "restart windows"), Row("CLIP", "Switch to Virtual Clipboard", "3"),
      Row("NONE", ""), Row("bbbb", "Open a Folder", "C:\\x"),
  };
  rows[0].show = "Maximized";
  rows[0].startIn = "C:\\dir";
  rows[0].active = "False";  // inactive entries run as part of a list

  const std::vector<IdListStep> steps = PlanIdList(rows, "D=300;AAAA;LIST;ZZZZ;NONE;BBBB;D=7;EXIT;CLIP;bbbb");
  ASSERT_EQ(steps.size(), 7u);
  EXPECT_EQ(steps[0], (IdListStep{{haOpenProgram, "a.exe", "Maximized", "C:\\dir"}, 0}));  // the first never waits
  // A list and a row without an action name run nothing, but they were found: each costs its pause.
  EXPECT_EQ(steps[1], (IdListStep{{}, 300, false}));
  EXPECT_EQ(steps[2], (IdListStep{{}, 300, false}));
  EXPECT_EQ(steps[3], (IdListStep{{haSendKeystrokes, "keys", "", ""}, 300}));
  EXPECT_EQ(steps[4], (IdListStep{{haExitWindows, "2", "", ""}, 7}));
  EXPECT_EQ(steps[5], (IdListStep{{haSwitchClipboard, "2", "", ""}, 7}));
  EXPECT_EQ(steps[6], (IdListStep{{haOpenFolder, "C:\\x", "", ""}, 7}));  // IDs compare with case

  // Nothing after an empty element runs, not even what the list names before it again.
  EXPECT_EQ(Ids(PlanIdList(rows, "BBBB;bbbb;;AAAA;EXIT")), (std::vector<std::string>{"keys", "C:\\x"}));
  EXPECT_TRUE(PlanIdList(rows, ";AAAA").empty());

  // A list that names itself, or only lists, runs nothing; unknown IDs cost no pause.
  EXPECT_TRUE(Ids(PlanIdList(rows, "LIST;LIST")).empty());
  EXPECT_EQ(Ids(PlanIdList(rows, "D=100;ZZZZ;BBBB")), std::vector<std::string>{"keys"});
  EXPECT_EQ(PlanIdList(rows, "D=100;ZZZZ;BBBB")[0].pauseMs, 0);

  // B runs two pauses after A: one before the nameless row, one before B.
  rows.push_back(Row("A", "Open a Folder", "first"));
  rows.push_back(Row("PHKD", "no such action"));
  rows.push_back(Row("B", "Open a Folder", "second"));
  const std::vector<IdListStep> timed = PlanIdList(rows, "D=1000;A;PHKD;B");
  ASSERT_EQ(timed.size(), 3u);
  EXPECT_EQ(timed[0].pauseMs + timed[1].pauseMs + timed[2].pauseMs, 2000);
  EXPECT_EQ(Ids(timed), (std::vector<std::string>{"first", "second"}));
}

TEST(IdList, CommandOfEntryOddData) {
  EXPECT_EQ(CommandOfEntry(Row("X", "Exit Windows", "Hibernate"), haExitWindows).data, "-1");
  EXPECT_EQ(CommandOfEntry(Row("X", "Switch to Virtual Clipboard", "abc"), haSwitchClipboard).data, "-1");
  EXPECT_EQ(CommandOfEntry(Row("X", "Switch to Virtual Clipboard", "1"), haSwitchClipboard).data, "0");
  EXPECT_EQ(ActionNumberOfName("OPEN A FOLDER"), haOpenFolder);
  EXPECT_EQ(ActionNumberOfName("Open a Folder "), -1);
}

TEST(IdList, SendsKeystrokesWhenAnyListedRowSendsThem) {
  const std::vector<HotkeyEntry> rows = {Row("AAAA", "Open Program or File", "a.exe"), Row("KEYS", "send keystrokes", "x"),
                                         Row("AAAA", "Send Keystrokes", "y")};
  EXPECT_TRUE(ListSendsKeystrokes(rows, "ZZZZ;KEYS"));
  EXPECT_TRUE(ListSendsKeystrokes(rows, "AAAA"));  // some row with the ID, not only the first
  EXPECT_FALSE(ListSendsKeystrokes(rows, "keys;D=5;ZZZZ"));
  EXPECT_FALSE(ListSendsKeystrokes(rows, ""));
  // The walk ends where the run ends: a sender behind an empty element is never reached.
  EXPECT_FALSE(ListSendsKeystrokes(rows, "ZZZZ;;KEYS"));
  EXPECT_FALSE(ListSendsKeystrokes(rows, ";AAAA"));
}
