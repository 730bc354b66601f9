#include <gtest/gtest.h>

#include "TestSupport.h"

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Lists.h"
#include "TypInfo.h"

using namespace cl;

namespace {
using testsupport::MessageOf;

// What the components under test report, in order.
std::vector<std::string> journal;

class TLogged : public TComponent {
  CL_PLAIN_CLASS(TLogged, TComponent)
  // The name identifies it in the journal (a component being freed is only a TComponent any more).
  explicit TLogged(TComponent* owner, const std::string& id = "") : TComponent(owner) { SetName(id); }
  ~TLogged() override {
    journal.push_back("free " + Name() + (ComponentState().Contains(csDestroying) ? "" : " (not destroying)"));
  }
  TComponent* ref = nullptr;
  void SetRef(TComponent* c) {
    ref = c;
    if (c) c->FreeNotification(this);
  }

 protected:
  void Loaded() override {
    inherited::Loaded();
    journal.push_back("loaded " + Name() + (ComponentState().Contains(csReading) ? " (reading)" : ""));
  }
  void Notification(TComponent* c, TOperation op) override {
    inherited::Notification(c, op);
    if (op == opRemove) {
      journal.push_back(Name() + " sees " + c->Name() + " go");
      if (c == ref) ref = nullptr;
    }
  }
};

enum TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog };
using TSampleEvent = TEvent<TObject*, int>;

// A component with one property of each common kind.
class TSample : public TComponent {
  CL_CLASS(TSample, TComponent)
  explicit TSample(TComponent* owner) : TComponent(owner) {}
  int32_t Interval() const { return interval_; }
  void SetInterval(int32_t v) { interval_ = v; }
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }

  bool active = false;
  TSkinFormType kind = sfMainform;
  TSet<TSkinFormType> kinds{sfMainform, sfDialog};
  std::string caption;
  TSampleEvent OnHotKey;
  TNotifyEvent OnChange;

 private:
  int32_t interval_ = 1000;
  std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
};
const std::vector<std::string> kFormTypeNames{"sfMainform", "sfOnlyThisForm", "sfDialog"};
CL_BEGIN_CLASS(TSample)
    .Int("Interval", &TSample::Interval, &TSample::SetInterval, 1000)
    .Bool("Active", &TSample::active, &TSample::active)
    .Enum("Kind", &TSample::kind, &TSample::kind, kFormTypeNames, sfMainform)
    .Set("Kinds", &TSample::kinds, &TSample::kinds, kFormTypeNames, TSet<TSkinFormType>{sfMainform, sfDialog})
    .Str("Caption", &TSample::caption, &TSample::caption)
    .Object("Items", &TSample::Items, &TSample::SetItems)
    .Event("OnHotKey", &TSample::OnHotKey)
    .Event("OnChange", &TSample::OnChange)
CL_END_CLASS

// A descendant redeclares a property with another default.
class TSampleEx : public TSample {
  CL_CLASS(TSampleEx, TSample)
  explicit TSampleEx(TComponent* owner) : TSample(owner) { SetInterval(250); }
};
CL_BEGIN_CLASS(TSampleEx)
    .Int("Interval", &TSample::Interval, &TSample::SetInterval, 250)
CL_END_CLASS

// A form with published handlers.
class TSampleForm : public TComponent {
  CL_CLASS(TSampleForm, TComponent)
  using TComponent::TComponent;
  std::vector<std::string> calls;
  void SysHotkeysHotKey(TObject* sender, int index) {
    calls.push_back(static_cast<TComponent*>(sender)->Name() + " " + std::to_string(index));
  }
  void Button1Click(TObject* sender) { calls.push_back("click"); }
};
CL_BEGIN_CLASS(TSampleForm)
    .Method("SysHotkeysHotKey", &TSampleForm::SysHotkeysHotKey)
    .Method("Button1Click", &TSampleForm::Button1Click)
CL_END_CLASS

class ClassesTest : public ::testing::Test {
 protected:
  void SetUp() override { journal.clear(); }
};

}  // namespace

TEST_F(ClassesTest, OwnerFreesComponentsLastCreatedFirstAndEachLeavesItsOwner) {
  auto* form = new TLogged(nullptr, "form");
  auto* a = new TLogged(form, "a");
  auto* b = new TLogged(form, "b");
  auto* c = new TLogged(form, "c");
  new TLogged(b, "b1");
  ASSERT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->Components(2), c);
  EXPECT_EQ(c->ComponentIndex(), 2);
  EXPECT_EQ(MessageOf<EListError>([&] { form->Components(3); }), "List index out of bounds (3)");

  delete a;  // directly: leaves the owner, which tells the others
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(b->ComponentIndex(), 0);
  // The owner tells all it owns, last first, and what they own in turn; then hears it itself.
  EXPECT_EQ(journal, (std::vector<std::string>{"free a", "c sees a go", "b1 sees a go", "b sees a go",
                                               "form sees a go"}));

  journal.clear();
  delete form;
  // Every component is marked csDestroying before its own destructor runs; a dying owner passes the
  // news on to those still alive.
  EXPECT_EQ(journal, (std::vector<std::string>{"free form", "free c", "b1 sees c go", "b sees c go", "free b",
                                               "free b1"}));
}

TEST_F(ClassesTest, FreeNotificationWorksBothWaysAndSiblingsHearItOnce) {
  TLogged formA(nullptr, "formA"), formB(nullptr, "formB");
  auto* x = new TLogged(&formA, "x");
  auto* y = new TLogged(&formB, "y");
  auto* z = new TLogged(&formA, "z");
  x->SetRef(y);  // across owners
  z->SetRef(x);  // siblings
  EXPECT_TRUE(y->ComponentState().Contains(csFreeNotification));

  delete y;
  EXPECT_EQ(x->ref, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"free y", "x sees y go", "formB sees y go"}));

  journal.clear();
  delete x;  // z hears it once, through the owner
  EXPECT_EQ(z->ref, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"free x", "z sees x go", "formA sees x go"}));

  // The watched one may also go first the other way round: no dangling entry is left behind.
  auto* p = new TLogged(&formB, "p");
  auto* q = new TLogged(&formA, "q");
  q->SetRef(p);
  delete q;
  journal.clear();
  delete p;
  EXPECT_EQ(journal, (std::vector<std::string>{"free p", "formB sees p go"}));

  // Withdrawn interest: not told.
  auto* r = new TLogged(&formA, "r");
  auto* s = new TLogged(&formB, "s");
  r->SetRef(s);
  s->RemoveFreeNotification(r);
  journal.clear();
  delete s;
  EXPECT_EQ(r->ref, s);
  EXPECT_EQ(journal, (std::vector<std::string>{"free s", "formB sees s go"}));
}

TEST_F(ClassesTest, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
  TLogged form(nullptr, "form");
  auto* a = new TLogged(&form, "a");
  auto* b = new TLogged(&form, "b");
  a->SetName("Button1");
  EXPECT_EQ(form.FindComponent("BUTTON1"), a);
  EXPECT_EQ(form.FindComponent(""), nullptr);

  EXPECT_EQ(MessageOf<EComponentError>([&] { b->SetName("button1"); }), "A component named button1 already exists");
  EXPECT_EQ(MessageOf<EComponentError>([&] { b->SetName("1st"); }), "'1st' is not a valid component name");
  EXPECT_EQ(MessageOf<EComponentError>([&] { b->SetName("a b"); }), "'a b' is not a valid component name");
  EXPECT_EQ(b->Name(), "b");
  a->SetName("BUTTON1");  // the same name in other case
  EXPECT_EQ(a->Name(), "BUTTON1");
  b->SetName("_x9");
  b->SetName("");  // unnamed components may repeat
  new TLogged(&form, "c");
  EXPECT_EQ(form.ComponentCount(), 3);

  // Taking over a component whose name is taken fails and changes nothing.
  TLogged other(nullptr, "other");
  auto* d = new TLogged(&other, "d");
  d->SetName("Button1");
  EXPECT_THROW(form.InsertComponent(d), EComponentError);
  EXPECT_EQ(d->Owner(), &other);
  EXPECT_EQ(form.ComponentCount(), 3);
  d->SetName("Button2");
  form.InsertComponent(d);
  EXPECT_EQ(d->Owner(), &form);
  EXPECT_EQ(other.ComponentCount(), 0);
}

TEST_F(ClassesTest, LoadingStateEndsWithLoadedInCreationOrder) {
  TLogged form(nullptr, "form");
  form.BeginLoading();
  auto* a = new TLogged(&form, "a");
  a->BeginLoading();
  auto* b = new TLogged(&form, "b");
  new TLogged(b, "b1");  // made by b's own constructor, say
  b->BeginLoading();
  auto* late = new TLogged(&form, "late");  // not read from the resource
  EXPECT_TRUE(a->ComponentState().Contains(csLoading));
  EXPECT_TRUE(a->ComponentState().Contains(csReading));

  form.EndLoading();
  EXPECT_EQ(journal, (std::vector<std::string>{"loaded form", "loaded a", "loaded b", "loaded b1"}));
  EXPECT_TRUE((a->ComponentState() * TComponentState{csLoading, csReading}).Empty());
  EXPECT_FALSE(late->ComponentState().Contains(csDesigning));
}

TEST_F(ClassesTest, DestructionStartsWithTheWholeObjectAndFailedCreationLeavesNoTrace) {
  struct TProbe : TLogged {
    using TLogged::TLogged;
    std::string seen;
    void BeforeDestruction() override {
      inherited::BeforeDestruction();
      journal.push_back("before, " + seen);
    }
  };
  auto* p = new TProbe(nullptr, "p");
  p->seen = "still here";
  delete p;
  EXPECT_EQ(journal, (std::vector<std::string>{"before, still here", "free p"}));

  // A constructor that throws leaves no trace in the owner (and nothing leaks).
  struct TFails : TComponent {
    explicit TFails(TComponent* owner) : TComponent(owner) { throw EInvalidOperation("no"); }
  };
  TLogged form(nullptr, "form");
  EXPECT_THROW(new TFails(&form), EInvalidOperation);
  EXPECT_EQ(form.ComponentCount(), 0);
}

TEST_F(ClassesTest, PublishedPropertiesByNameWithDefaults) {
  TSample s(nullptr);
  std::vector<std::string> names;
  for (const TPropInfo* p : GetPropList(&s)) names.push_back(p->Name + (IsStoredProp(&s, p) ? "*" : ""));
  // Ancestors first; "*" marks what a resource stores: no default (Active), differs from the default
  // (Kinds defaults to {sfMainform, sfDialog} and holds it, so it is not stored).
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "Interval", "Active*", "Kind", "Kinds", "Caption",
                                             "Items*", "OnHotKey", "OnChange"}));

  SetOrdProp(&s, "interval", 5);
  SetEnumProp(&s, "Kind", "SFDIALOG");
  SetOrdProp(&s, "Kinds", 0b010);
  SetStrProp(&s, "Caption", "Hello");
  SetStrProp(&s, "Name", "Sample1");
  SetOrdProp(&s, "Tag", 7);
  EXPECT_EQ(s.Interval(), 5);
  EXPECT_EQ(s.kind, sfDialog);
  EXPECT_EQ(s.kinds, TSet<TSkinFormType>{sfOnlyThisForm});
  EXPECT_EQ(GetEnumProp(&s, "Kind"), "sfDialog");
  EXPECT_EQ(GetEnumProp(&s, "Active"), "False");
  EXPECT_EQ(GetStrProp(&s, "Caption"), "Hello");
  EXPECT_EQ(s.Name(), "Sample1");
  EXPECT_EQ(GetOrdProp(&s, "Tag"), 7);
  EXPECT_TRUE(IsStoredProp(&s, GetPropInfo(&s, "Interval")));
  EXPECT_TRUE(IsStoredProp(&s, GetPropInfo(&s, "Tag")));
  EXPECT_FALSE(IsStoredProp(&s, GetPropInfo(&s, "Name")));  // "stored false": the resource names it apart

  // The object property holds an owned list; setting it copies.
  TStringList lines;
  lines.SetText("one\r\ntwo");
  SetObjectProp(&s, "Items", &lines);
  EXPECT_NE(GetObjectProp(&s, "Items"), &lines);
  EXPECT_TRUE(static_cast<TStrings*>(GetObjectProp(&s, "Items"))->Equals(lines));

  // A descendant's redeclaration wins and keeps its place.
  TSampleEx ex(nullptr);
  EXPECT_FALSE(IsStoredProp(&ex, GetPropInfo(&ex, "Interval")));
  EXPECT_EQ(GetPropList(&ex).size(), 10u);
  EXPECT_EQ(GetPropList(&ex)[2], GetPropInfo(&ex, "Interval"));
}

TEST_F(ClassesTest, BadPropertyAccessIsRefusedAndChangesNothing) {
  TSample s(nullptr);
  EXPECT_EQ(MessageOf<EPropertyError>([&] { SetOrdProp(&s, "Kind", 3); }), "Invalid property value");
  EXPECT_EQ(MessageOf<EPropertyError>([&] { SetEnumProp(&s, "Kind", "sfNothing"); }), "Invalid property value");
  EXPECT_EQ(MessageOf<EPropertyError>([&] { SetOrdProp(&s, "Active", 2); }), "Invalid property value");
  EXPECT_EQ(MessageOf<EPropertyError>([&] { SetOrdProp(&s, "Kinds", 0b1000); }), "Invalid property value");
  EXPECT_EQ(MessageOf<EPropertyError>([&] { SetOrdProp(&s, "Interval", int64_t{1} << 40); }),
            "Invalid property value");
  EXPECT_EQ(MessageOf<EPropertyError>([&] { SetObjectProp(&s, "Items", &s); }), "Invalid property value");
  EXPECT_EQ(MessageOf<EPropertyError>([&] { GetStrProp(&s, "Interval"); }), "Invalid property type: Interval");
  EXPECT_EQ(MessageOf<EPropertyError>([&] { GetOrdProp(&s, "Width"); }), "Property Width does not exist");
  EXPECT_EQ(s.kind, sfMainform);
  EXPECT_FALSE(s.active);
  EXPECT_EQ(s.Interval(), 1000);
  EXPECT_EQ(GetPropInfo(static_cast<const TObject*>(nullptr), "Kind"), nullptr);
}

TEST_F(ClassesTest, LookupsThatMayMissAnswerNothingInsteadOfThrowing) {
  TSample s(nullptr);
  SetStrProp(&s, "Caption", "Hello");
  EXPECT_EQ(FindOrdProp(&s, "interval"), std::optional<int64_t>{1000});
  EXPECT_EQ(FindOrdProp(&s, "Kind"), std::optional<int64_t>{sfMainform});
  EXPECT_EQ(FindStrProp(&s, "Caption"), std::optional<std::string>{"Hello"});
  EXPECT_NE(FindObjectProp(&s, "Items"), nullptr);
  // Absent, of another kind, or no object: nothing.
  EXPECT_EQ(FindOrdProp(&s, "Width"), std::nullopt);
  EXPECT_EQ(FindOrdProp(&s, "Caption"), std::nullopt);
  EXPECT_EQ(FindStrProp(&s, "Interval"), std::nullopt);
  EXPECT_EQ(FindObjectProp(&s, "Caption"), nullptr);
  EXPECT_EQ(FindOrdProp(nullptr, "Tag"), std::nullopt);
  EXPECT_EQ(FindStrProp(nullptr, "Name"), std::nullopt);
}

TEST_F(ClassesTest, EventsBindToPublishedMethodsByName) {
  RegisterClasses({TSample::StaticClass(), TSampleForm::StaticClass()});
  auto* form = static_cast<TSampleForm*>(FindClass("tsampleform")->CreateComponent(nullptr));
  auto* hk = FindClass("TSample")->CreateComponent(form)->As<TSample>();
  EXPECT_EQ(hk->Owner(), form);
  hk->SetName("SysHotkeys");

  SetMethodProp(hk, "OnHotKey", form->MethodAddress("SYSHOTKEYSHOTKEY"));
  SetMethodProp(hk, "OnChange", form->MethodAddress("Button1Click"));
  ASSERT_TRUE(hk->OnHotKey);
  hk->OnHotKey(hk, 3);
  hk->OnChange(hk);
  EXPECT_EQ(form->calls, (std::vector<std::string>{"SysHotkeys 3", "click"}));
  EXPECT_EQ(GetMethodProp(hk, "OnHotKey").Code->Name, "SysHotkeysHotKey");
  EXPECT_TRUE(IsStoredProp(hk, GetPropInfo(hk, "OnHotKey")));

  // A handler with other parameters does not fit; the event keeps its binding.
  EXPECT_THROW(SetMethodProp(hk, "OnHotKey", form->MethodAddress("Button1Click")), EPropertyError);
  EXPECT_EQ(GetMethodProp(hk, "OnHotKey").Code->Name, "SysHotkeysHotKey");
  EXPECT_FALSE(form->MethodAddress("NoSuchHandler"));

  // Cleared by an empty method; an event set from code is assigned but names no published method.
  SetMethodProp(hk, "OnHotKey", TMethod{});
  EXPECT_FALSE(hk->OnHotKey);
  hk->OnHotKey(hk, 4);  // unassigned: nothing happens
  hk->OnHotKey = TSampleEvent(form, &TSampleForm::SysHotkeysHotKey);
  hk->OnHotKey(hk, 5);
  EXPECT_EQ(form->calls.back(), "SysHotkeys 5");
  EXPECT_FALSE(IsStoredProp(hk, GetPropInfo(hk, "OnHotKey")));

  delete form;
  UnRegisterClass(TSample::StaticClass());
  UnRegisterClass(TSampleForm::StaticClass());
}

TEST_F(ClassesTest, MetaclassesAndTheRegistry) {
  TSampleEx ex(nullptr);
  TObject& o = ex;
  EXPECT_EQ(o.ClassName(), "TSampleEx");
  EXPECT_EQ(o.ClassParent(), TSample::StaticClass());
  EXPECT_TRUE(o.InheritsFrom(TComponent::StaticClass()));
  EXPECT_TRUE(o.InheritsFrom("tpersistent"));
  EXPECT_FALSE(o.InheritsFrom(TStrings::StaticClass()));
  EXPECT_TRUE(o.Is<TSample>());
  EXPECT_EQ(o.As<TSample>(), &ex);
  EXPECT_EQ(MessageOf<EInvalidCast>([&] { o.As<TStringList>(); }), "Invalid class typecast");
  EXPECT_EQ(TStrings::StaticClass()->Factory(), nullptr);  // abstract
  EXPECT_EQ(TStringList::StaticClass()->Factory(), nullptr);  // not a component
  EXPECT_NE(TSampleEx::StaticClass()->Factory(), nullptr);

  EXPECT_EQ(GetClass("TSampleEx"), nullptr);
  EXPECT_EQ(MessageOf<EClassNotFound>([] { FindClass("TSampleEx"); }), "Class TSampleEx not found");
  RegisterComponentClass(TSampleEx::StaticClass());
  RegisterComponentClass(TSampleEx::StaticClass());  // again: no harm
  EXPECT_EQ(GetClass("TSAMPLEEX"), TSampleEx::StaticClass());
  static const TMetaClass impostor("TSampleEx", TComponent::StaticClass(), nullptr, {}, {});
  EXPECT_EQ(MessageOf<EFilerError>([] { RegisterComponentClass(&impostor); }), "A class named TSampleEx already exists");
  UnRegisterClass(TSampleEx::StaticClass());
  EXPECT_EQ(GetClass("TSampleEx"), nullptr);
}

TEST_F(ClassesTest, DispatchFallsThroughToTheDefaultHandler) {
  struct TReceiver : TComponent {
    using TComponent::TComponent;
    std::vector<uint32_t> handled, unhandled;
    void Dispatch(TMessage& m) override {
      switch (m.Msg) {
        case 0x0312:
          handled.push_back(m.Msg);
          m.Result = 1;
          return;
      }
      TComponent::Dispatch(m);
    }
    void DefaultHandler(TMessage& m) override { unhandled.push_back(m.Msg); }
  };
  TReceiver r(nullptr);
  TMessage hot{0x0312, 1, 0, 0}, other{0x0002, 0, 0, 0};
  r.Dispatch(hot);
  r.Dispatch(other);
  EXPECT_EQ(r.handled, std::vector<uint32_t>{0x0312});
  EXPECT_EQ(r.unhandled, std::vector<uint32_t>{0x0002});
  EXPECT_EQ(hot.Result, 1);
}

TEST_F(ClassesTest, AssignBetweenUnrelatedClassesFails) {
  TStringList list;
  TSample s(nullptr);
  EXPECT_EQ(MessageOf<EConvertError>([&] { list.Assign(&s); }), "Cannot assign a TSample to a TStringList");
  EXPECT_EQ(MessageOf<EConvertError>([&] { list.Assign(nullptr); }), "Cannot assign a nil to a TStringList");
}
