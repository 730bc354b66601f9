// Form descriptions on arbitrary text: parsing either fails with EReadError or gives a tree whose text
// parses to the same text; reading into a form either fails with EReadError (leaving nothing behind) or
// gives components whose written description reads back and writes the same again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "Collections.h"
#include "FormReader.h"
#include "Lists.h"

namespace {
using namespace cl;

enum TFzKind { fkOne, fkTwo, fkThree };

class TFzFont : public TPersistent {
  CL_CLASS(TFzFont, TPersistent)
  std::string name;
  int32_t size = 8;
  TSet<TFzKind> style;
};
CL_BEGIN_CLASS(TFzFont)
    .Str("Name", &TFzFont::name, &TFzFont::name)
    .Int("Size", &TFzFont::size, &TFzFont::size, 8)
    .Set("Style", &TFzFont::style, &TFzFont::style, {"fkOne", "fkTwo", "fkThree"}, TSet<TFzKind>{})
CL_END_CLASS

class TFzItem : public TCollectionItem {
  CL_CLASS(TFzItem, TCollectionItem)
  explicit TFzItem(TCollection* c) : TCollectionItem(c) {}
  std::string caption;
  int32_t width = 50;
  TComponent* ref = nullptr;
};
CL_BEGIN_CLASS(TFzItem)
    .Str("Caption", &TFzItem::caption, &TFzItem::caption)
    .Int("Width", &TFzItem::width, &TFzItem::width, 50)
    .Object("Ref", &TFzItem::ref, &TFzItem::ref)
CL_END_CLASS

class TFzControl : public TComponent {
  CL_CLASS(TFzControl, TComponent)
  explicit TFzControl(TComponent* owner) : TComponent(owner) {}
  ~TFzControl() override {
    SetParentComponent(nullptr);
    for (TFzControl* c : children) c->parent = nullptr;
  }
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return parent; }
  void SetParentComponent(TComponent* p) override {
    if (parent) std::erase(parent->children, this);
    parent = dynamic_cast<TFzControl*>(p);
    if (parent) parent->children.push_back(this);
  }
  void DefineProperties(TFiler& filer) override {
    inherited::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Data",
        [this](TStream& s) {
          int32_t n = 0;
          s.ReadBuffer(&n, 4);
          if (n < 0 || n > 1 << 20) throw EReadError("Invalid property value");
          data.assign(static_cast<size_t>(n), '\0');
          s.ReadBuffer(data.data(), data.size());
        },
        [this](TStream& s) {
          auto n = static_cast<int32_t>(data.size());
          s.WriteBuffer(&n, 4);
          s.WriteBuffer(data.data(), data.size());
        },
        !data.empty());
  }
  TFzFont* Font() const { return font.get(); }
  TCollection* Items() const { return items.get(); }
  TStringList* Lines() const { return lines.get(); }

  TFzControl* parent = nullptr;
  std::vector<TFzControl*> children;
  int32_t left = 0;
  int64_t big = 0;
  std::string caption;
  bool visible = true;
  TFzKind kind = fkOne;
  TSet<TFzKind> kinds{fkOne};
  double ratio = 0;
  std::unique_ptr<TFzFont> font = std::make_unique<TFzFont>();
  std::unique_ptr<TCollection> items = std::make_unique<TCollection>(nullptr, TCollection::FactoryOf<TFzItem>());
  std::unique_ptr<TStringList> lines = std::make_unique<TStringList>();
  TComponent* link = nullptr;
  std::string data;
  TNotifyEvent OnClick;
  TEvent<TObject*, int> OnIndex;
};
CL_BEGIN_CLASS(TFzControl)
    .Int("Left", &TFzControl::left, &TFzControl::left)
    .Int64("Big", &TFzControl::big, &TFzControl::big, 0)
    .Str("Caption", &TFzControl::caption, &TFzControl::caption)
    .Bool("Visible", &TFzControl::visible, &TFzControl::visible, true)
    .Enum("Kind", &TFzControl::kind, &TFzControl::kind, {"fkOne", "fkTwo", "fkThree"}, fkOne)
    .Set("Kinds", &TFzControl::kinds, &TFzControl::kinds, {"fkOne", "fkTwo", "fkThree"}, TSet<TFzKind>{fkOne})
    .Float("Ratio", &TFzControl::ratio, &TFzControl::ratio)
    .Object("Font", &TFzControl::Font, nullptr)
    .Object("Items", &TFzControl::Items, nullptr)
    .Object("Lines", &TFzControl::Lines, nullptr)
    .Object("Link", &TFzControl::link, &TFzControl::link)
    .Event("OnClick", &TFzControl::OnClick)
    .Event("OnIndex", &TFzControl::OnIndex)
CL_END_CLASS

class TFzForm : public TFzControl {
  CL_CLASS(TFzForm, TFzControl)
  explicit TFzForm(TComponent* owner) : TFzControl(owner) {}
  void Click(TObject*) {}
  void Index(TObject*, int) {}
};
CL_BEGIN_CLASS(TFzForm)
    .Method("Click", &TFzForm::Click)
    .Method("Index", &TFzForm::Index)
CL_END_CLASS

// A plain component without a parent.
class TFzTimer : public TComponent {
  CL_CLASS(TFzTimer, TComponent)
  explicit TFzTimer(TComponent* owner) : TComponent(owner) {}
  int32_t interval = 1000;
};
CL_BEGIN_CLASS(TFzTimer)
    .Int("Interval", &TFzTimer::interval, &TFzTimer::interval, 1000)
CL_END_CLASS

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = [] {
    RegisterClasses({TFzForm::StaticClass(), TFzControl::StaticClass(), TFzTimer::StaticClass()});
    return true;
  }();
  (void)registered;
  const std::string text(reinterpret_cast<const char*>(data), size);

  TFormObject tree;
  try {
    tree = ParseFormText(text);
  } catch (const EReadError&) {
    return 0;
  }
  const std::string formatted = FormatFormText(tree);
  CHECK(FormatFormText(ParseFormText(formatted)) == formatted);

  TFzForm form(nullptr);
  try {
    ReadRootComponent(&form, tree);
  } catch (const EReadError&) {
    CHECK(form.ComponentCount() == 0);
    CHECK(!form.ComponentState().Contains(csLoading));
    return 0;
  }
  const std::string written = WriteFormText(&form);
  TFzForm again(nullptr);
  ReadRootComponent(&again, written);
  CHECK(WriteFormText(&again) == written);
  return 0;
}
