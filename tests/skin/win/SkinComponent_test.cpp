// The skin component as a form carries it: its stored properties, the package in "SkinStream", the
// Skin3rd lists, what Loaded does and the filter the manager asks.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "FileUtil.h"
#include "FormsTestSupport.h"
#include "SkinTestForms.h"
#include "TestSupport.h"
#include "WinSkinDlg.h"
#include "DialogDriver.h"
#include "HiddenWindow.h"
#include "WinString.h"

namespace {

using formstest::AppTest;
using skin::TSkinData;
using skintest::TfrmSkinTest;

class SkinComponent : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    skintest::RegisterSkinClasses();
  }
  void TearDown() override {
    delete form_;
    EXPECT_EQ(skin::SkinManager(), nullptr);  // the last component took the manager with it
    AppTest::TearDown();
  }
  TSkinData* Read(const std::string& text) {
    form_ = cl::NewForm<TfrmSkinTest>(app_.get());
    cl::ReadRootComponent(form_, text);
    return cl::ComponentAs<TSkinData>(form_, "SkinData1");
  }
  TfrmSkinTest* form_ = nullptr;
};

std::map<std::string, cl::TFormValue> PropertiesOf(const cl::TFormObject& object) {
  std::map<std::string, cl::TFormValue> result;
  for (const cl::TFormProperty& p : object.Properties) result[p.Name] = p.Value;
  return result;
}

TEST_F(SkinComponent, TheStoredPropertiesRoundTripThroughAFormDescription) {
  const std::string package = skintest::FlatPackage();
  std::string text = skintest::FormWithSkin(package);
  const std::string more =
      "    Options = [xoNCPaint]\n"
      "    Skin3rd.Strings = (\n      'TOne=button'\n      'TTwo=edit')\n"
      "    SkinStore = '(Good)'\n"
      "    Version = '9.9'\n"
      "    MenuUpdate = False\n"
      "    MenuMerge = True\n";
  text.insert(text.find("    SkinFormtype"), more);
  TSkinData* data = Read(text);
  EXPECT_FALSE(data->NoSkin);  // the stream loaded the skin while the form was read
  EXPECT_EQ(data->Colors.ButtonFace, cl::TColor{RGB(10, 20, 30)});

  const cl::TFormObject written = cl::WriteFormObject(form_);
  ASSERT_EQ(written.Children.size(), 1u);
  const cl::TFormObject& child = written.Children[0];
  std::vector<std::string> names;
  for (const cl::TFormProperty& p : child.Properties) names.push_back(p.Name);
  // Every property but the empty file name, in declaration order, the package last.
  EXPECT_EQ(names, (std::vector<std::string>{"Active", "DisableTag", "SkinControls", "Options", "Skin3rd.Strings",
                                             "SkinStore", "SkinFormtype", "Version", "MenuUpdate", "MenuMerge",
                                             "SkinStream"}));
  auto props = PropertiesOf(child);
  EXPECT_EQ(props["Active"].Text, "True");
  EXPECT_EQ(props["DisableTag"].Int, 99);
  EXPECT_EQ(props["SkinControls"].Strings, (std::vector<std::string>{"xcMainMenu", "xcPopupMenu", "xcSystemMenu"}));
  EXPECT_EQ(props["Options"].Strings, (std::vector<std::string>{"xoNCPaint"}));
  EXPECT_EQ(props["Skin3rd.Strings"].Strings, (std::vector<std::string>{"TOne=button", "TTwo=edit"}));
  EXPECT_EQ(props["SkinStore"].Text, "(none)");  // at run time, whatever was stored
  EXPECT_EQ(props["SkinFormtype"].Text, "sfMainform");
  EXPECT_EQ(props["Version"].Text, "3.02.03.09");  // writing it changed nothing
  EXPECT_EQ(props["MenuUpdate"].Text, "False");
  EXPECT_EQ(props["MenuMerge"].Text, "True");
  // The package goes back byte for byte behind its count.
  const std::string& stream = props["SkinStream"].Text;
  ASSERT_EQ(stream.size(), package.size() + 4);
  EXPECT_EQ(stream.substr(4), package);
  EXPECT_EQ(static_cast<uint8_t>(stream[0]) | static_cast<uint8_t>(stream[1]) << 8, package.size() & 0xFFFF);
}

TEST_F(SkinComponent, ANewComponentHoldsTheInitialValuesAndTheDefaultList) {
  TSkinData data(nullptr);
  EXPECT_FALSE(data.Active());
  EXPECT_EQ(data.DisableTag(), 99);
  EXPECT_EQ(data.SkinControls().Mask(), 0x7FFFBu);
  EXPECT_TRUE(data.Options().Empty());
  EXPECT_EQ(data.SkinFormtype(), skin::sfMainform);
  EXPECT_EQ(data.Version(), "3.02.03.09");
  EXPECT_EQ(data.SkinStore(), "(none)");
  EXPECT_TRUE(data.MenuUpdate());
  EXPECT_FALSE(data.MenuMerge());
  EXPECT_TRUE(data.NoSkin);
  EXPECT_TRUE(data.NonClientPainting);
  EXPECT_EQ(data.SkinStreamData.Bytes().size(), 0u);
  ASSERT_EQ(data.Skin3rd()->Count(), 110);
  for (int i = 0; i < 110; ++i) EXPECT_EQ(data.Skin3rd()->Strings(i), skin::DefaultSkin3rd()[static_cast<size_t>(i)]);
}

TEST_F(SkinComponent, TheSkin3rdListsAreExact) {
  const auto& def = skin::DefaultSkin3rd();
  ASSERT_EQ(def.size(), 110u);
  EXPECT_EQ(def.front(), "TAdvPanelGroup=embedscrollbar");
  EXPECT_EQ(def[39], "TDBCheckboxEh=Checkbox");
  EXPECT_EQ(def[40], "TDBCheckboxEh=Checkbox");
  EXPECT_EQ(def.back(), "TOVCDBNUMERICFIELD=Edit");
  for (const char* twice : {"TDBCheckboxEh=Checkbox", "TLMDFontSizeCombobox=combobox", "TWWDBCombobox=Combobox"})
    EXPECT_EQ(std::count(def.begin(), def.end(), twice), 2) << twice;

  const auto& pell = skin::PellwickSkin3rd();
  ASSERT_EQ(pell.size(), 95u);
  EXPECT_EQ(pell.front(), "TTBDock=Panel");
  EXPECT_EQ(pell[12], "TRzDBCheckBox=Checkbox");
  EXPECT_EQ(pell[13], "TDBCheckboxEh=Checkbox");
  EXPECT_EQ(std::count(pell.begin(), pell.end(), "TLMDCalculator=panel"), 0);
  EXPECT_EQ(std::count(pell.begin(), pell.end(), "TLMDTrackbar=trackbar"), 1);
  EXPECT_EQ(std::count(pell.begin(), pell.end(), "TLMDTrackbar=panel"), 0);
  EXPECT_EQ(pell[66], "TDXDBPICKEDIT=Combobox");
  EXPECT_EQ(std::vector<std::string>(pell.end() - 9, pell.end()), std::vector<std::string>(def.end() - 9, def.end()));
}

TEST_F(SkinComponent, ACountOfZeroKeepsTheStreamEmptyAndActiveTurnsItselfOff) {
  std::string text = skintest::FormWithSkin("");
  TSkinData* data = Read(text);
  EXPECT_EQ(data->SkinStreamData.Bytes().size(), 0u);
  EXPECT_TRUE(data->NoSkin);
  EXPECT_FALSE(data->Active());
  ASSERT_NE(skin::SkinManager(), nullptr);
  EXPECT_FALSE(skin::SkinManager()->ManagerActive);
}

TEST_F(SkinComponent, LoadedDropsTheMenuItemsWithAMenuBarAndTheSystemMenuWithout) {
  TSkinData* data =
      Read(skintest::FormWithSkin(skintest::FlatPackage(), "sfMainform", "[xcMainMenu, xcMenuItem, xcSystemMenu]"));
  EXPECT_EQ(data->SkinControls(), (skin::TSkinControlTypes{skin::xcMainMenu, skin::xcSystemMenu}));
  delete form_;
  form_ = nullptr;
  data = Read(skintest::FormWithSkin(skintest::FlatPackage(), "sfMainform", "[xcMenuItem, xcSystemMenu, xcEdit]"));
  EXPECT_EQ(data->SkinControls(), (skin::TSkinControlTypes{skin::xcMenuItem, skin::xcEdit}));
}

TEST_F(SkinComponent, DoFormSkinRefusesTheCalendarAndReportsOnlyWithFastReportUnlessTheEventDecides) {
  TSkinData data(nullptr);
  auto asks = [&](const std::string& name) {
    bool doSkin = true;
    data.DoFormSkin(name, doSkin);
    return doSkin;
  };
  EXPECT_FALSE(asks("SysMonthCal32"));
  EXPECT_TRUE(asks("sysmonthcal32"));
  EXPECT_TRUE(asks("TfrPreview"));  // xcFastReport is not in the initial set
  data.SetSkinControls(data.SkinControls() + skin::TSkinControlTypes{skin::xcFastReport});
  EXPECT_FALSE(asks("TfrPreview"));
  EXPECT_TRUE(asks("TFRPreview"));
  std::vector<std::string> asked;
  data.OnFormSkin = [&](cl::TObject* sender, std::string name, bool& doSkin) {
    EXPECT_EQ(sender, &data);
    asked.push_back(name);
    doSkin = name != "TfrmMine";
  };
  EXPECT_TRUE(asks("SysMonthCal32"));
  EXPECT_FALSE(asks("TfrmMine"));
  EXPECT_EQ(asked, (std::vector<std::string>{"SysMonthCal32", "TfrmMine"}));
}

// Closes every message box of this thread while it lives, keeping their texts.
class TMessageBoxCloser {
 public:
  TMessageBoxCloser()
      : window_([this](cl::TMessage& m) {
          if (m.Msg != WM_TIMER) return;
          if (HWND box = dialogtest::FindDialog()) {
            wchar_t text[512] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            Texts.push_back(cl::FromWide(text));
            EndDialog(box, IDOK);
          }
        }) {
    SetTimer(window_.Handle(), 1, 30, nullptr);
  }
  ~TMessageBoxCloser() { KillTimer(window_.Handle(), 1); }
  std::vector<std::string> Texts;

 private:
  cl::THiddenWindow window_;
};

TEST_F(SkinComponent, AnOlderPackageIsToldToTheUserAndLoadsNoSkin) {
  TMessageBoxCloser boxes;
  TSkinData* data = Read(skintest::FormWithSkin(skintest::PackageWithMagic(19999)));
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{"This is Older Skin File\rPlease update to new version !"});
  EXPECT_TRUE(data->NoSkin);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(SkinComponent, ADamagedPackageLoadsNothingAndTheFormStillLoadsUnskinned) {
  const std::string good = skintest::FlatPackage();
  // The compressed stream cut short, and a package whose stream is noise (which decodes to no magic, so
  // the older-package message is shown and closed first).
  TMessageBoxCloser boxes;
  for (const std::string& bad : {good.substr(0, good.size() / 2), std::string("\x40\0\0\0", 4) + std::string(40, '\xA5')}) {
    TSkinData* data = nullptr;
    ASSERT_NO_THROW(data = Read(skintest::FormWithSkin(bad)));
    EXPECT_TRUE(data->NoSkin);
    EXPECT_FALSE(data->Active());
    delete form_;
    form_ = nullptr;
  }
}

TEST_F(SkinComponent, ASkinFileIsAppliedOnlyAfterASuccessfulLoad) {
  TSkinData* data = Read(skintest::FormWithSkin(skintest::FlatPackage()));
  skin::TSkinManage* manager = skin::SkinManager();
  ASSERT_NE(manager, nullptr);
  testsupport::TempDir dir;
  const std::string damaged = dir.File("damaged.skn");
  const std::string good = dir.File("good.skn");
  const std::string package = skintest::FlatPackage();
  cl::WriteFileAtomic(damaged, package.substr(0, package.size() / 2));
  cl::WriteFileAtomic(good, skin::BuildSkinPackage({{"good.ini", "[Colours]\r\nButtonFace=1 2 3\r\n"}}));

  for (const std::string& file : {dir.File("missing.skn"), damaged}) {
    data->SetSkinFile(file);
    EXPECT_EQ(data->SkinFile(), file);
    EXPECT_TRUE(data->NoSkin) << file;
    EXPECT_EQ(manager->PendingData, nullptr) << file;  // nothing applied
  }
  data->SetSkinFile(good);
  EXPECT_FALSE(data->NoSkin);
  EXPECT_EQ(data->Colors.ButtonFace, cl::TColor{RGB(1, 2, 3)});
  EXPECT_EQ(manager->PendingData, data);  // applied: queued for the windows
}

}  // namespace
