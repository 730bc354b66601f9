#include <gtest/gtest.h>

#include "TestSupport.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Collections.h"
#include "FormReader.h"
#include "Lists.h"
#include "TypInfo.h"

using namespace cl;

namespace {
using testsupport::MessageOf;

std::vector<std::string> journal;

enum TFrAlign { alNone, alTop, alClient };
enum TFrAnchor { akLeft, akTop, akRight, akBottom };
enum TFrFontStyle { fsBold, fsItalic };
using TFrAnchors = TSet<TFrAnchor>;
using TFrPopupEvent = TEvent<TObject*, int>;

class TFrFont : public TPersistent {
  CL_CLASS(TFrFont, TPersistent)
  std::string name;
  int32_t size = 8;
  TSet<TFrFontStyle> style;
};
CL_BEGIN_CLASS(TFrFont)
    .Str("Name", &TFrFont::name, &TFrFont::name)
    .Int("Size", &TFrFont::size, &TFrFont::size, 8)
    .Set("Style", &TFrFont::style, &TFrFont::style, {"fsBold", "fsItalic"}, TSet<TFrFontStyle>{})
CL_END_CLASS

class TFrColumn : public TCollectionItem {
  CL_CLASS(TFrColumn, TCollectionItem)
  explicit TFrColumn(TCollection* c) : TCollectionItem(c) {}
  std::string caption;
  int32_t width = 50;
  TComponent* ref = nullptr;
  void SetWidth(int32_t w) {
    width = w;
    Changed(false);
  }
  void Assign(const TPersistent* source) override {
    auto* other = dynamic_cast<const TFrColumn*>(source);
    if (!other) return inherited::Assign(source);
    caption = other->caption;
    width = other->width;
  }
};
CL_BEGIN_CLASS(TFrColumn)
    .Str("Caption", &TFrColumn::caption, &TFrColumn::caption)
    .Int("Width", &TFrColumn::width, &TFrColumn::SetWidth, 50)
    .Object("Ref", &TFrColumn::ref, &TFrColumn::ref)
CL_END_CLASS

class TFrColumns : public TCollection {
  CL_PLAIN_CLASS(TFrColumns, TCollection)
  TFrColumns() : TCollection(nullptr, FactoryOf<TFrColumn>()) {}
  std::vector<TCollectionItem*> updates;

 protected:
  void Update(TCollectionItem* item) override { updates.push_back(item); }
};

class TFrMenu : public TComponent {
  CL_CLASS(TFrMenu, TComponent)
  explicit TFrMenu(TComponent* owner) : TComponent(owner) {}
  bool autoPopup = true;
  bool savedAtRunTime = false;
  TFrPopupEvent OnPopup;
  void DefineProperties(TFiler& filer) override {
    inherited::DefineProperties(filer);
    filer.DefineProperty(
        "SavedAtRunTime", [this](const TFormValue& v) { savedAtRunTime = v.AsBoolean(); },
        [] { return TFormValue::FromBoolean(true); }, true);
  }

 protected:
  void Loaded() override {
    inherited::Loaded();
    journal.push_back("loaded " + Name());
  }
};
CL_BEGIN_CLASS(TFrMenu)
    .Bool("AutoPopup", &TFrMenu::autoPopup, &TFrMenu::autoPopup, true)
    .Event("OnPopup", &TFrMenu::OnPopup)
CL_END_CLASS

// A control: nested under its parent in the description, with one property of each kind.
class TFrControl : public TComponent {
  CL_CLASS(TFrControl, TComponent)
  explicit TFrControl(TComponent* owner) : TComponent(owner) {}
  ~TFrControl() override {
    SetParentComponent(nullptr);
    for (TFrControl* c : children) c->parent = nullptr;
  }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return parent; }
  void SetParentComponent(TComponent* p) override {
    if (parent) std::erase(parent->children, this);
    parent = dynamic_cast<TFrControl*>(p);
    if (parent) parent->children.push_back(this);
  }

  int32_t Left() const { return left; }
  void SetLeft(int32_t v) {
    left = v;
    leftSetWhileReading = ComponentState().Contains(csReading);
    parentWhenLeftSet = parent;
  }
  TFrFont* Font() const { return font.get(); }
  TFrColumns* Columns() const { return columns.get(); }
  void SetColumns(TFrColumns* c) { columns->Assign(c); }
  TStringList* Items() const { return items.get(); }
  void SetItems(TStringList* s) { items->Assign(s); }

  void DefineProperties(TFiler& filer) override {
    inherited::DefineProperties(filer);
    // A count, then the bytes: the shape of the skin package block.
    filer.DefineBinaryProperty(
        "Data",
        [this](TStream& s) {
          int32_t n = 0;
          s.ReadBuffer(&n, 4);
          data.assign(static_cast<size_t>(std::max(n, 0)), '\0');
          s.ReadBuffer(data.data(), data.size());
        },
        [this](TStream& s) {
          auto n = static_cast<int32_t>(data.size());
          s.WriteBuffer(&n, 4);
          s.WriteBuffer(data.data(), data.size());
        },
        !data.empty());
  }

  TFrControl* parent = nullptr;
  std::vector<TFrControl*> children;
  int32_t left = 0;
  bool leftSetWhileReading = false;
  TFrControl* parentWhenLeftSet = nullptr;
  std::string caption;
  bool visible = true;
  TFrAlign align = alNone;
  TFrAnchors anchors{akLeft, akTop};
  double ratio = 0;
  std::unique_ptr<TFrFont> font = std::make_unique<TFrFont>();
  std::unique_ptr<TFrColumns> columns = std::make_unique<TFrColumns>();
  std::unique_ptr<TStringList> items = std::make_unique<TStringList>();
  TFrMenu* popupMenu = nullptr;
  std::string data;
  TNotifyEvent OnClick;

 protected:
  void Loaded() override {
    inherited::Loaded();
    journal.push_back("loaded " + Name() + (popupMenu ? " popup=" + popupMenu->Name() : ""));
  }
};
CL_BEGIN_CLASS(TFrControl)
    .Int("Left", &TFrControl::Left, &TFrControl::SetLeft)
    .Str("Caption", &TFrControl::caption, &TFrControl::caption)
    .Bool("Visible", &TFrControl::visible, &TFrControl::visible, true)
    .Enum("Align", &TFrControl::align, &TFrControl::align, {"alNone", "alTop", "alClient"}, alNone)
    .Set("Anchors", &TFrControl::anchors, &TFrControl::anchors, {"akLeft", "akTop", "akRight", "akBottom"},
         TFrAnchors{akLeft, akTop})
    .Float("Ratio", &TFrControl::ratio, &TFrControl::ratio)
    .Object("Font", &TFrControl::Font, nullptr)
    .Object("Columns", &TFrControl::Columns, &TFrControl::SetColumns)
    .Object("Items", &TFrControl::Items, &TFrControl::SetItems)
    .Object("PopupMenu", &TFrControl::popupMenu, &TFrControl::popupMenu)
    .Event("OnClick", &TFrControl::OnClick)
CL_END_CLASS

class TFrForm : public TFrControl {
  CL_CLASS(TFrForm, TFrControl)
  explicit TFrForm(TComponent* owner) : TFrControl(owner) {}
  std::vector<std::string> calls;
  void FormClick(TObject* sender) { calls.push_back("FormClick " + static_cast<TComponent*>(sender)->Name()); }
  void lvHotkeysClick(TObject* sender) { calls.push_back("lvHotkeysClick"); }
  void ppmTrayPopup(TObject* sender, int index) { calls.push_back("ppmTrayPopup " + std::to_string(index)); }
};
CL_BEGIN_CLASS(TFrForm)
    .Method("FormClick", &TFrForm::FormClick)
    .Method("lvHotkeysClick", &TFrForm::lvHotkeysClick)
    .Method("ppmTrayPopup", &TFrForm::ppmTrayPopup)
CL_END_CLASS

// Forms that declare their component fields; the second adds one to those of the first, publishes
// nothing of its own and so has no metaclass block.
class TFrFieldForm : public TFrForm {
  CL_PLAIN_CLASS(TFrFieldForm, TFrForm)
  explicit TFrFieldForm(TComponent* owner) : TFrForm(owner) {}

  CL_FIELDS((TFrControl, pnlEdit),
            (TFrControl, lvHotkeys))
};

class TFrMoreFieldsForm : public TFrFieldForm {
  CL_PLAIN_CLASS(TFrMoreFieldsForm, TFrFieldForm)
  explicit TFrMoreFieldsForm(TComponent* owner) : TFrFieldForm(owner) {}

  CL_FIELDS((TFrMenu, ppmTray))
};

class FormReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({TFrForm::StaticClass(), TFrControl::StaticClass(), TFrMenu::StaticClass()});
    journal.clear();
  }
};

// As the writer formats it, so that it comes back unchanged.
const char* const kForm =
    "object frmMain: TFrForm\n"
    "  Left = 200\n"
    "  Caption = 'Calderine Editor'\n"
    "  Font.Name = 'Tahoma'\n"
    "  OnClick = FormClick\n"
    "  object pnlEdit: TFrControl\n"
    "    Left = 4\n"
    "    Visible = False\n"
    "    Align = alClient\n"
    "    object lvHotkeys: TFrControl\n"
    "      Tag = 7\n"
    "      Left = -3\n"
    "      Caption = 'It''s'#13#10'\xC3\xBC'\n"
    "      Anchors = [akLeft, akRight]\n"
    "      Ratio = 1.5\n"
    "      Font.Size = 10\n"
    "      Font.Style = [fsBold]\n"
    "      Columns = <\n"
    "        item\n"
    "          Caption = 'Description'\n"
    "          Width = 120\n"
    "        end\n"
    "        item\n"
    "          Ref = ppmTray\n"
    "        end>\n"
    "      Items.Strings = (\n"
    "        'a'\n"
    "        '')\n"
    "      PopupMenu = ppmTray\n"
    "      OnClick = lvHotkeysClick\n"
    "      Data = {\n"
    "        1E000000000102030405060708090A0B0C0D0E0F101112131415161718191A1B\n"
    "        1C1D}\n"
    "    end\n"
    "  end\n"
    "  object ppmTray: TFrMenu\n"
    "    AutoPopup = False\n"
    "    OnPopup = ppmTrayPopup\n"
    "    SavedAtRunTime = True\n"
    "  end\n"
    "end\n";

TEST_F(FormReaderTest, ReadsIntoAnExistingRootAndWritesTheSameText) {
  TFrForm form(nullptr);
  ReadRootComponent(&form, kForm);

  EXPECT_EQ(form.Name(), "frmMain");
  EXPECT_EQ(form.left, 200);
  EXPECT_EQ(form.font->name, "Tahoma");
  ASSERT_EQ(form.ComponentCount(), 3);
  auto* pnl = ComponentAs<TFrControl>(&form, "pnlEdit");
  auto* lv = ComponentAs<TFrControl>(&form, "lvHotkeys");
  auto* ppm = ComponentAs<TFrMenu>(&form, "ppmTray");
  EXPECT_EQ(pnl->parent, &form);
  EXPECT_EQ(lv->parent, pnl);
  EXPECT_TRUE(lv->leftSetWhileReading);
  EXPECT_EQ(lv->parentWhenLeftSet, pnl);  // parent set before the properties
  EXPECT_FALSE(pnl->visible);
  EXPECT_EQ(pnl->align, alClient);
  EXPECT_EQ(lv->Tag(), 7);
  EXPECT_EQ(lv->left, -3);
  EXPECT_EQ(lv->caption, "It's\r\n\xC3\xBC");
  EXPECT_EQ(lv->anchors, (TFrAnchors{akLeft, akRight}));
  EXPECT_EQ(lv->ratio, 1.5);
  EXPECT_EQ(lv->font->size, 10);
  EXPECT_EQ(lv->font->style, TSet<TFrFontStyle>{fsBold});
  ASSERT_EQ(lv->columns->Count(), 2);
  EXPECT_EQ(lv->columns->ItemAs<TFrColumn>(0)->caption, "Description");
  EXPECT_EQ(lv->columns->ItemAs<TFrColumn>(0)->width, 120);
  EXPECT_EQ(lv->columns->ItemAs<TFrColumn>(1)->ref, ppm);  // forward reference
  EXPECT_EQ(lv->items->Text(), "a\r\n\r\n");
  EXPECT_EQ(lv->popupMenu, ppm);
  std::string data;
  for (char c = 0; c < 30; ++c) data += c;
  EXPECT_EQ(lv->data, data);
  EXPECT_FALSE(ppm->autoPopup);
  EXPECT_TRUE(ppm->savedAtRunTime);

  // Loaded once each, root first then in creation order, with references already resolved.
  EXPECT_EQ(journal, (std::vector<std::string>{"loaded frmMain", "loaded pnlEdit", "loaded lvHotkeys popup=ppmTray",
                                               "loaded ppmTray"}));
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(lv->ComponentState().Contains(csReading));

  form.OnClick(pnl);
  lv->OnClick(lv);
  ppm->OnPopup(ppm, 4);
  EXPECT_EQ(form.calls, (std::vector<std::string>{"FormClick pnlEdit", "lvHotkeysClick", "ppmTrayPopup 4"}));

  EXPECT_EQ(WriteFormText(&form), kForm);
  EXPECT_EQ(FormatFormText(ParseFormText(kForm)), kForm);
}

TEST_F(FormReaderTest, DefaultsAreNotWrittenAndLooseTextReadsTheSame) {
  // Hex, character codes, joined pieces, a value equal to its default, odd spacing, CR LF.
  const char* loose =
      "\xEF\xBB\xBF"
      "object   frmMain :TFrForm\r\n"
      "Left=$10 Visible = True\r\n"
      "  Caption = 'a'#$41 +\r\n"
      "    'b'#955\r\n"
      "  Font.Size = 8  Font.Style = []\r\n"
      "  Tag = $FFFFFFFF\r\n"  // the 32-bit pattern of -1
      "  Ratio = -25E-1\r\n"
      "  Data = { 02 00 00 00\r\n 61 62 }\r\n"
      "  object TFrMenu OnPopup = ppmTrayPopup end\r\n"
      "end";
  TFrForm form(nullptr);
  ReadRootComponent(&form, loose);
  EXPECT_EQ(form.left, 16);
  EXPECT_EQ(form.Tag(), -1);
  EXPECT_EQ(form.caption, "aAb\xCE\xBB");
  EXPECT_EQ(form.ratio, -2.5);
  EXPECT_EQ(form.data, "ab");
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0)->Name(), "");
  EXPECT_EQ(WriteFormText(&form),
            "object frmMain: TFrForm\n"
            "  Tag = -1\n"
            "  Left = 16\n"
            "  Caption = 'aAb\xCE\xBB'\n"
            "  Ratio = -2.5\n"
            "  Data = {\n"
            "    020000006162}\n"
            "  object TFrMenu\n"
            "    OnPopup = ppmTrayPopup\n"
            "    SavedAtRunTime = True\n"
            "  end\n"
            "end\n");
}

TEST_F(FormReaderTest, CreatesTheRootByClassAndNamesASecondInstanceApart) {
  TComponent owner(nullptr);
  TComponent* a = CreateFromFormText(kForm, &owner);
  TComponent* b = CreateFromFormText(kForm, &owner);
  EXPECT_EQ(a->ClassName(), "TFrForm");
  EXPECT_EQ(a->Name(), "frmMain");
  EXPECT_EQ(b->Name(), "frmMain_1");
  EXPECT_EQ(ComponentAs<TFrControl>(b, "lvHotkeys")->popupMenu, ComponentAs<TFrMenu>(b, "ppmTray"));
  EXPECT_EQ(owner.ComponentCount(), 2);
}

// The message of reading `body` (the lines after the first) into a fresh form.
std::string ReadError(const std::string& body) {
  TFrForm form(nullptr);
  return MessageOf<EReadError>([&] { ReadRootComponent(&form, "object frmMain: TFrForm\n" + body); });
}

TEST_F(FormReaderTest, ErrorsNameFormComponentPropertyAndLine) {
  const std::string pnl = "  object pnl: TFrControl\n";
  EXPECT_EQ(ReadError("  object btnX: TNoSuchButton\n  end\nend"),
            "TFrForm.btnX: class TNoSuchButton not found (line 2)");
  RegisterComponentClass(TFrFont::StaticClass());
  EXPECT_EQ(ReadError("  object TFrFont\n  end\nend"),
            "TFrForm.(TFrFont): class TFrFont is not a component class (line 2)");
  EXPECT_EQ(ReadError(pnl + "    Colums = <>\n  end\nend"), "TFrForm.pnl: property Colums does not exist (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Font.Nme = 'x'\n  end\nend"),
            "TFrForm.pnl: property Font.Nme does not exist (line 3)");
  EXPECT_EQ(ReadError(pnl + "    PopupMenu.AutoPopup = True\n  end\nend"),
            "TFrForm.pnl: property PopupMenu.AutoPopup does not exist (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Columns = <\n      item\n        Width = 1\n      end\n      item\n"
                            "        Widht = 2\n      end>\n  end\nend"),
            "TFrForm.pnl: property Columns[1].Widht does not exist (line 8)");
  EXPECT_EQ(ReadError(pnl + "    OnClick = pnlClick\n  end\nend"),
            "TFrForm.pnl: event OnClick: handler pnlClick not found (line 3)");
  EXPECT_EQ(ReadError(pnl + "    OnClick = ppmTrayPopup\n  end\nend"),
            "TFrForm.pnl: event OnClick: handler ppmTrayPopup takes other parameters (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Left = '4'\n  end\nend"), "TFrForm.pnl: invalid value for property Left (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Left = 2147483648\n  end\nend"),
            "TFrForm.pnl: property Left: Invalid property value (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Align = alNowhere\n  end\nend"),
            "TFrForm.pnl: property Align: Invalid property value (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Anchors = [akLeft, akUp]\n  end\nend"),
            "TFrForm.pnl: property Anchors: unknown element akUp (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Font = <>\n  end\nend"), "TFrForm.pnl: invalid value for property Font (line 3)");
  EXPECT_EQ(ReadError(pnl + "    PopupMenu = ppmNone\n  end\nend"),
            "TFrForm.pnl: property PopupMenu: component ppmNone not found (line 3)");
  EXPECT_EQ(ReadError(pnl + "    PopupMenu = frmMain\n  end\nend"),
            "TFrForm.pnl: property PopupMenu: Invalid property value (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Data = {FF000000}\n  end\nend"),
            "TFrForm.pnl: property Data: Stream read error (line 3)");
  EXPECT_EQ(ReadError(pnl + "    Data = 'x'\n  end\nend"), "TFrForm.pnl: invalid value for property Data (line 3)");
  EXPECT_EQ(ReadError(pnl + "  end\n  object PNL: TFrControl\n  end\nend"),
            "TFrForm.PNL: A component named PNL already exists (line 4)");
  EXPECT_EQ(ReadError("  Caption = 'abc\nend"), "TFrForm: unterminated string (line 2)");

  TFrForm form(nullptr);
  EXPECT_EQ(MessageOf<EReadError>([&] { ReadRootComponent(&form, "object x: TFrControl\nend"); }),
            "TFrForm: the description is of class TFrControl (line 1)");
}

TEST_F(FormReaderTest, AFailedReadFreesWhatItCreated) {
  // Into an existing root that already owns a component: the failure comes at the references, after
  // everything was created.
  TFrForm form(nullptr);
  auto* own = new TFrMenu(&form);
  own->SetName("existing");
  std::string text = std::string(kForm);
  text.replace(text.find("PopupMenu = ppmTray"), 19, "PopupMenu = ppmGone");
  EXPECT_EQ(MessageOf<EReadError>([&] { ReadRootComponent(&form, text); }),
            "TFrForm.lvHotkeys: property PopupMenu: component ppmGone not found (line 29)");
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_TRUE(form.children.empty());
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(own->ComponentState().Contains(csLoading));
  EXPECT_TRUE(journal.empty());  // no Loaded for a half-read form

  // A root the reader creates goes with its children (the sanitizer sees any leak).
  TComponent owner(nullptr);
  EXPECT_THROW(CreateFromFormText(text, &owner), EReadError);
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(MessageOf<EReadError>([&] { CreateFromFormText("object x: TNoForm\nend", &owner); }),
            "TNoForm: class TNoForm not found (line 1)");
}

TEST_F(FormReaderTest, ACollectionReadAgainDropsTheReferencesOfItsOldItems) {
  TFrForm form(nullptr);
  ReadRootComponent(&form,
                    "object f: TFrForm\n"
                    "  Columns = <\n    item\n      Ref = f\n    end>\n"
                    "  Columns = <\n    item\n      Width = 9\n    end>\n"
                    "end");
  ASSERT_EQ(form.columns->Count(), 1);
  EXPECT_EQ(form.columns->ItemAs<TFrColumn>(0)->width, 9);
  EXPECT_EQ(form.columns->ItemAs<TFrColumn>(0)->ref, nullptr);
}

std::string ParseError(const std::string& text) {
  return MessageOf<EReadError>([&] { ParseFormText(text); });
}

TEST_F(FormReaderTest, HostileTextFailsCleanly) {
  const std::string head = "object a: TFrForm\n";
  EXPECT_EQ(ParseError(""), "Form description: \"object\" expected (line 1)");
  EXPECT_EQ(ParseError("\n\nobject"), "Form description: object name or class expected (line 3)");
  EXPECT_EQ(ParseError(head + "  Left = 1\n"), "Form description: \"end\" expected (line 1)");
  EXPECT_EQ(ParseError(head + "end\nend"), "Form description: text after the end of the description (line 3)");
  EXPECT_EQ(ParseError(head + "  Caption = 'abc"), "Form description: unterminated string (line 2)");
  EXPECT_EQ(ParseError(head + "  Caption = 'a' +\nend"), "Form description: string expected (line 3)");
  EXPECT_EQ(ParseError(head + "  Caption = #1114112\nend"), "Form description: character code out of range (line 2)");
  EXPECT_EQ(ParseError(head + "  Caption = #55296\nend"), "Form description: character code out of range (line 2)");
  EXPECT_EQ(ParseError(head + "  Caption = #\nend"), "Form description: character code expected (line 2)");
  EXPECT_EQ(ParseError(head + "  Left = 9223372036854775808\nend"), "Form description: number out of range (line 2)");
  EXPECT_EQ(ParseError(head + "  Left = $10000000000000000\nend"), "Form description: number out of range (line 2)");
  EXPECT_EQ(ParseError(head + "  Ratio = 1E999\nend"), "Form description: number out of range (line 2)");
  EXPECT_EQ(ParseError(head + "  Left = 12ab\nend"), "Form description: malformed number (line 2)");
  EXPECT_EQ(ParseError(head + "  Data = {0A0}\nend"), "Form description: odd number of hexadecimal digits (line 2)");
  EXPECT_EQ(ParseError(head + "  Data = {0G}\nend"), "Form description: hexadecimal digit expected (line 2)");
  EXPECT_EQ(ParseError(head + "  Data = {\n0A\n"), "Form description: \"}\" expected (line 2)");
  EXPECT_EQ(ParseError(head + "  Anchors = [akLeft akTop]\nend"), "Form description: \",\" or \"]\" expected (line 2)");
  EXPECT_EQ(ParseError(head + "  Items.Strings = ('a' 1)\nend"), "Form description: string expected (line 2)");
  EXPECT_EQ(ParseError(head + "  Columns = <item Width = 1\n"), "Form description: \"end\" expected (line 2)");
  EXPECT_EQ(ParseError(head + "  Left 1\nend"), "Form description: \"=\" expected (line 2)");
  EXPECT_EQ(ParseError(head + "  Left = ?\nend"), "Form description: value expected (line 2)");

  // Nesting is bounded: 64 levels read, 65 do not (and neither do collections that deep).
  auto nested = [](int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += i == 0 ? "object f: TFrForm\n" : "object TFrControl\n";
    for (int i = 0; i < levels; ++i) text += "end\n";
    return text;
  };
  TFrForm form(nullptr);
  ReadRootComponent(&form, nested(64));
  EXPECT_EQ(form.ComponentCount(), 63);
  EXPECT_EQ(ParseError(nested(65)), "Form description: objects nested too deep (line 65)");
  std::string deepItems = head;
  for (int i = 0; i < 64; ++i) deepItems += "X = <item\n";
  EXPECT_EQ(ParseError(deepItems), "Form description: objects nested too deep (line 65)");
}

TEST_F(FormReaderTest, ComponentAsChecksPresenceAndClass) {
  TFrForm form(nullptr);
  ReadRootComponent(&form, kForm);
  EXPECT_NE(ComponentAs<TComponent>(&form, "PPMTRAY"), nullptr);
  EXPECT_EQ(MessageOf<EComponentError>([&] { ComponentAs<TFrMenu>(&form, "btnNone"); }),
            "TFrForm: component btnNone not found");
  EXPECT_EQ(MessageOf<EComponentError>([&] { ComponentAs<TFrMenu>(&form, "pnlEdit"); }),
            "TFrForm: component pnlEdit is a TFrControl, not a TFrMenu");
}

// kForm read as the root class `cls`, with `from` replaced by `to`.
std::string FieldForm(const std::string& cls, const std::string& from = "", const std::string& to = "") {
  std::string text = kForm;
  text.replace(text.find("TFrForm"), 7, cls);
  if (!from.empty()) text.replace(text.find(from), from.size(), to);
  return text;
}

TEST_F(FormReaderTest, FieldsAreBoundOnceTheDescriptionIsRead) {
  TFrMoreFieldsForm form(nullptr);
  ReadRootComponent(&form, FieldForm("TFrMoreFieldsForm"));
  ASSERT_NE(form.ppmTray, nullptr);
  EXPECT_EQ(form.pnlEdit, form.FindComponent("pnlEdit"));
  EXPECT_EQ(form.lvHotkeys, form.FindComponent("lvHotkeys"));
  EXPECT_EQ(form.ppmTray, form.FindComponent("ppmTray"));
  // A class with no block has its own metaclass, and the handlers of its ancestor's are found by name.
  EXPECT_EQ(form.ClassName(), "TFrMoreFieldsForm");
  EXPECT_EQ(form.ClassParent(), TFrFieldForm::StaticClass());
  EXPECT_TRUE(TFrMoreFieldsForm::StaticClass()->OwnProperties().empty());
  EXPECT_EQ(TFrMoreFieldsForm::StaticClass()->OwnFields().size(), 1u);
  form.OnClick(&form);
  EXPECT_EQ(form.calls, std::vector<std::string>{"FormClick frmMain"});

  // Components no field names are allowed: the first form has no field for ppmTray.
  TFrFieldForm fewer(nullptr);
  ReadRootComponent(&fewer, FieldForm("TFrFieldForm"));
  EXPECT_EQ(fewer.lvHotkeys, fewer.FindComponent("lvHotkeys"));
}

// A TFrMoreFieldsForm description with the two given objects ("name: class").
std::string FieldObjects(const std::string& nested, const std::string& last) {
  return "object frmMain: TFrMoreFieldsForm\n"
         "  object pnlEdit: TFrControl\n"
         "    object " + nested + "\n"
         "    end\n"
         "  end\n"
         "  object " + last + "\n"
         "  end\n"
         "end\n";
}

TEST_F(FormReaderTest, AFieldTheDescriptionLacksOrGivesAnotherClassFailsLoudly) {
  TFrMoreFieldsForm form(nullptr);
  auto fails = [&](const std::string& nested, const std::string& last) {
    return MessageOf<EComponentError>([&] { ReadRootComponent(&form, FieldObjects(nested, last)); });
  };
  // Missing, from the class's own list and from its ancestor's.
  EXPECT_EQ(fails("lvHotkeys: TFrControl", "ppmTrax: TFrMenu"),
            "TFrMoreFieldsForm: field ppmTray expects a TFrMenu; no component ppmTray");
  EXPECT_EQ(fails("lvHotkey: TFrControl", "ppmTray: TFrMenu"),
            "TFrMoreFieldsForm: field lvHotkeys expects a TFrControl; no component lvHotkeys");
  // Of another class.
  EXPECT_EQ(fails("lvHotkeys: TFrControl", "ppmTray: TFrControl"),
            "TFrMoreFieldsForm: field ppmTray expects a TFrMenu; ppmTray is a TFrControl");
  // No field is set and the components read are freed.
  EXPECT_EQ(form.pnlEdit, nullptr);
  EXPECT_EQ(form.lvHotkeys, nullptr);
  EXPECT_EQ(form.ppmTray, nullptr);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));

  ReadRootComponent(&form, FieldObjects("lvHotkeys: TFrControl", "ppmTray: TFrMenu"));
  EXPECT_EQ(form.ppmTray, form.FindComponent("ppmTray"));
}

TEST(Collection, KeepsOrderAndTellsItsOwner) {
  TFrColumns cols;
  auto* a = cols.Add();
  auto* b = cols.Add();
  auto* c = cols.Insert(0);
  EXPECT_EQ(cols.Count(), 3);
  EXPECT_EQ(cols.Items(0), c);
  EXPECT_EQ(b->Index(), 2);
  cols.updates.clear();
  static_cast<TFrColumn*>(a)->SetWidth(7);
  EXPECT_EQ(cols.updates, std::vector<TCollectionItem*>{a});
  cols.BeginUpdate();
  static_cast<TFrColumn*>(a)->SetWidth(8);
  a->SetIndex(2);
  EXPECT_EQ(cols.updates.size(), 1u);
  cols.EndUpdate();
  EXPECT_EQ(cols.updates, (std::vector<TCollectionItem*>{a, nullptr}));
  EXPECT_EQ(cols.Items(2), a);
  EXPECT_THROW(a->SetIndex(3), EListError);
  EXPECT_EQ(MessageOf<EListError>([&] { cols.Items(3); }), "List index out of bounds (3)");
  delete b;  // leaves its collection
  EXPECT_EQ(cols.Count(), 2);

  TFrColumns copy;
  copy.Add();
  copy.Assign(&cols);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.ItemAs<TFrColumn>(1)->width, 8);
  EXPECT_EQ(copy.Items(1)->Collection(), &copy);
  EXPECT_THROW(copy.Assign(nullptr), EConvertError);
  cols.Clear();
  EXPECT_EQ(cols.Count(), 0);
}

// Colour properties take identifiers and are written back with them; other integers do not.
class TFrPainted : public TComponent {
  CL_CLASS(TFrPainted, TComponent)
  explicit TFrPainted(TComponent* owner) : TComponent(owner) {}
  uint32_t color = 0;
  uint32_t fontColor = 0;
  int32_t width = 0;
};
CL_BEGIN_CLASS(TFrPainted)
    .Int("Color", &TFrPainted::color, &TFrPainted::color)
    .Int("FontColor", &TFrPainted::fontColor, &TFrPainted::fontColor)
    .Int("Width", &TFrPainted::width, &TFrPainted::width)
CL_END_CLASS

TEST(FormReaderColors, IdentifiersReadAndWriteBack) {
  TFrPainted p(nullptr);
  const char* text =
      "object frmColors: TFrPainted\n"
      "  Color = clBtnFace\n"
      "  FontColor = $00123456\n"
      "  Width = 3\n"
      "end\n";
  ReadRootComponent(&p, text);
  EXPECT_EQ(p.color, 0xFF00000Fu);
  EXPECT_EQ(p.fontColor, 0x123456u);
  p.fontColor = 0x0000FF;  // clRed has a name
  EXPECT_EQ(WriteFormText(&p),
            "object frmColors: TFrPainted\n"
            "  Color = clBtnFace\n"
            "  FontColor = clRed\n"
            "  Width = 3\n"
            "end\n");
  TFrPainted q(nullptr);
  EXPECT_NE(MessageOf<EReadError>([&] { ReadRootComponent(&q, "object a: TFrPainted\n  Width = clRed\nend\n"); })
                .find("invalid value for property Width"),
            std::string::npos);
  EXPECT_NE(MessageOf<EReadError>([&] { ReadRootComponent(&q, "object a: TFrPainted\n  Color = clNoSuch\nend\n"); })
                .find("invalid value for property Color"),
            std::string::npos);
}

}  // namespace
