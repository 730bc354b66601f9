#include <gtest/gtest.h>

#include "TestSupport.h"

#include <string>
#include <vector>

#include "Lists.h"

using namespace cl;

namespace {
using testsupport::MessageOf;

std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> out;
  for (int i = 0; i < s.Count(); ++i) out.push_back(s[i]);
  return out;
}
using V = std::vector<std::string>;

}  // namespace

TEST(TList, BadIndexesThrowAndLeaveTheListUnchanged) {
  int a = 1, b = 2, c = 3;
  TList list;
  EXPECT_EQ(MessageOf<EListError>([&] { list.First(); }), "List index out of bounds (0)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Last(); }), "List index out of bounds (-1)");
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  const std::vector<void*> before(list.begin(), list.end());

  EXPECT_EQ(MessageOf<EListError>([&] { list.Get(3); }), "List index out of bounds (3)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Put(-1, &a); }), "List index out of bounds (-1)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(3); }), "List index out of bounds (3)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(4, &a); }), "List index out of bounds (4)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Exchange(0, 5); }), "List index out of bounds (5)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Move(0, 3); }), "List index out of bounds (3)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Move(-2, 1); }), "List index out of bounds (-2)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.SetCount(-1); }), "List count out of bounds (-1)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(2); }), "List capacity out of bounds (2)");
  EXPECT_THROW(list.SetCount(0x7FFFFFFF), EListError);
  EXPECT_EQ(std::vector<void*>(list.begin(), list.end()), before);
}

TEST(TList, EditingOperations) {
  int x[5] = {};
  TList list;
  for (int& i : x) list.Add(&i);
  list.Move(0, 4);  // x1 x2 x3 x4 x0
  list.Exchange(0, 1);  // x2 x1 x3 x4 x0
  EXPECT_EQ(list[0], &x[2]);
  EXPECT_EQ(list.Last(), &x[0]);
  EXPECT_EQ(list.Extract(&x[3]), &x[3]);
  EXPECT_EQ(list.Extract(&x[3]), nullptr);
  EXPECT_EQ(list.Remove(&x[1]), 1);  // x2 x4 x0
  EXPECT_EQ(list.Remove(&x[1]), -1);
  list.Insert(1, nullptr);
  list.SetCount(5);  // x2 nil x4 x0 nil
  EXPECT_EQ(list.Count(), 5);
  list.Pack();
  EXPECT_EQ(std::vector<void*>(list.begin(), list.end()), (std::vector<void*>{&x[2], &x[4], &x[0]}));
  list.SetCapacity(100);
  EXPECT_GE(list.Capacity(), 100);
  list.SetCapacity(3);
  EXPECT_EQ(list.Count(), 3);

  // Sorting is stable: equal keys keep their order.
  struct Item {
    int key;
    char tag;
  } items[] = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}};
  TList sorted;
  for (Item& i : items) sorted.Add(&i);
  sorted.Sort([](void* p, void* q) { return static_cast<Item*>(p)->key - static_cast<Item*>(q)->key; });
  std::string tags;
  for (void* p : sorted) tags += static_cast<Item*>(p)->tag;
  EXPECT_EQ(tags, "bdac");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(TStringList, TextSplitsAtEveryKindOfLineBreak) {
  TStringList s;
  const struct {
    const char* text;
    V lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},         // a final break adds no empty line
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},          // LF CR is two breaks
      {"a\r\rb\n\nc\r\n\n", {"a", "", "b", "", "c", ""}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {" x \t\r\n", {" x \t"}},
  };
  for (const auto& c : cases) {
    s.SetText(c.text);
    EXPECT_EQ(Lines(s), c.lines) << "text: " << testing::PrintToString(std::string(c.text));
  }
  s.SetText("one\rtwo\n\nthree");
  EXPECT_EQ(s.Text(), "one\r\ntwo\r\n\r\nthree\r\n");
  s.Clear();
  EXPECT_EQ(s.Text(), "");
}

TEST(TStringList, LookupIgnoresCaseUnlessCaseSensitive) {
  TStringList s;
  s.SetText("Alpha\nkey=Value\nBeta=\nnoequals\n=x");
  EXPECT_EQ(s.IndexOf("ALPHA"), 0);
  EXPECT_EQ(s.IndexOf("alph"), -1);
  EXPECT_EQ(s.IndexOfName("KEY"), 1);
  EXPECT_EQ(s.Values("Key"), "Value");
  EXPECT_EQ(s.Names(2), "Beta");
  EXPECT_EQ(s.ValueFromIndex(2), "");
  EXPECT_EQ(s.Names(3), "");
  EXPECT_EQ(s.ValueFromIndex(3), "");  // no "=": no value (not the string minus its first character)
  EXPECT_EQ(s.ValueFromIndex(4), "x");
  s.SetValues("key", "New");
  s.SetValues("Gamma", "3");
  s.SetValues("beta", "");
  EXPECT_EQ(Lines(s), (V{"Alpha", "key=New", "noequals", "=x", "Gamma=3"}));

  s.SetCaseSensitive(true);
  EXPECT_EQ(s.IndexOf("ALPHA"), -1);
  EXPECT_EQ(s.IndexOf("Alpha"), 0);
  EXPECT_EQ(s.IndexOfName("KEY"), -1);
  EXPECT_EQ(MessageOf<EStringListError>([&] { s.Get(5); }), "List index out of bounds (5)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { s.Insert(-1, "x"); }), "List index out of bounds (-1)");
}

TEST(TStringList, SortedListsFindAndHandleDuplicates) {
  TStringList s;
  s.SetText("pear\nApple\nfig\napple\nBanana");
  s.SetSorted(true);
  EXPECT_EQ(Lines(s), (V{"Apple", "apple", "Banana", "fig", "pear"}));  // stable, case-insensitive
  int index = -1;
  EXPECT_TRUE(s.Find("APPLE", index));
  EXPECT_EQ(index, 0);  // the first of the equal ones
  EXPECT_FALSE(s.Find("cherry", index));
  EXPECT_EQ(index, 3);  // where it belongs
  EXPECT_EQ(s.IndexOf("PEAR"), 4);

  EXPECT_EQ(s.Add("FIG"), 3);  // dupIgnore: the existing one
  EXPECT_EQ(s.Count(), 5);
  s.SetDuplicates(dupError);
  EXPECT_EQ(MessageOf<EStringListError>([&] { s.Add("banana"); }), "String list does not allow duplicates");
  s.SetDuplicates(dupAccept);
  EXPECT_EQ(s.Add("BANANA"), 2);
  EXPECT_EQ(s.Add("cherry"), 4);
  EXPECT_EQ(Lines(s), (V{"Apple", "apple", "BANANA", "Banana", "cherry", "fig", "pear"}));

  // Whatever would break the order is refused, and the list stays as it was.
  const V before = Lines(s);
  for (auto op : {+[](TStringList& l) { l.Insert(0, "zz"); }, +[](TStringList& l) { l.Put(0, "zz"); },
                  +[](TStringList& l) { l.Exchange(0, 6); }, +[](TStringList& l) { l.Move(0, 6); }})
    EXPECT_EQ(MessageOf<EStringListError>([&] { op(s); }), "Operation not allowed on sorted list");
  EXPECT_EQ(Lines(s), before);

  s.SetCaseSensitive(true);  // re-sorts by byte order
  EXPECT_EQ(Lines(s), (V{"Apple", "BANANA", "Banana", "apple", "cherry", "fig", "pear"}));
  EXPECT_TRUE(s.Find("apple", index));
  EXPECT_EQ(index, 3);
}

TEST(TStringList, CommaTextQuotesWhatWouldOtherwiseSplit) {
  TStringList s;
  s.SetText("plain\ntwo words\nsay \"hi\"\na,b\n\nend");
  EXPECT_EQ(s.CommaText(), "plain,\"two words\",\"say \"\"hi\"\"\",\"a,b\",,end");
  TStringList back;
  back.SetCommaText(s.CommaText());
  EXPECT_TRUE(back.Equals(s));

  const struct {
    const char* text;
    V items;
  } cases[] = {
      {"", {}},
      {"\"\"", {""}},
      {"a b,c", {"a", "b", "c"}},  // unquoted blanks split too
      {"  a ,  b  ", {"a", "b"}},
      {"a,", {"a", ""}},
      {",", {"", ""}},
      {"a,,b", {"a", "", "b"}},
      {"\"x\"\"y\"z", {"x\"y", "z"}},
      {"\"open", {"open"}},  // an unterminated quote runs to the end
      {"\"a\tb\",c\td", {"a\tb", "c", "d"}},
  };
  for (const auto& c : cases) {
    back.SetCommaText(c.text);
    EXPECT_EQ(Lines(back), c.items) << "text: " << c.text;
  }
  back.SetText("\n");  // one empty string
  EXPECT_EQ(back.CommaText(), "\"\"");
}

TEST(TStringList, ChangeEventsAndUpdateBatches) {
  TStringList s;
  std::string events;
  s.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &s);
    events += '<';
  };
  s.OnChange = [&](TObject*) { events += '>'; };
  s.Add("a");
  s.Delete(0);
  s.Clear();  // already empty: no change
  EXPECT_EQ(events, "<><>");

  events.clear();
  s.BeginUpdate();
  s.BeginUpdate();
  s.SetText("x\ny\nz");
  s.EndUpdate();
  EXPECT_EQ(events, "<");
  s.EndUpdate();
  EXPECT_EQ(events, "<>");

  events.clear();
  int o1 = 0, o2 = 0;
  s.PutObject(0, reinterpret_cast<TObject*>(&o1));
  s.PutObject(2, reinterpret_cast<TObject*>(&o2));
  s.Move(0, 2);  // y z x
  s.Exchange(0, 1);  // z y x
  EXPECT_EQ(events, "<><><><>");
  EXPECT_EQ(Lines(s), (V{"z", "y", "x"}));
  EXPECT_EQ(s.IndexOfObject(reinterpret_cast<TObject*>(&o1)), 2);
  EXPECT_EQ(s.IndexOfObject(reinterpret_cast<TObject*>(&o2)), 0);

  // A custom sort compares the list as it was; objects travel with their strings.
  s.CustomSort([](const TStringList& l, int a, int b) { return l[a].compare(l[b]); });
  EXPECT_EQ(Lines(s), (V{"x", "y", "z"}));
  EXPECT_EQ(s.Objects(0), reinterpret_cast<TObject*>(&o1));

  TStringList copy;
  copy.Add("old");
  copy.Assign(&s);
  EXPECT_TRUE(copy.Equals(s));
  EXPECT_EQ(copy.Objects(2), reinterpret_cast<TObject*>(&o2));
  copy.Assign(&copy);
  EXPECT_EQ(copy.Count(), 3);
  copy.AddStrings(s);
  EXPECT_EQ(copy.Count(), 6);
  copy.Put(5, "Z");
  EXPECT_FALSE(copy.Equals(s));
}
