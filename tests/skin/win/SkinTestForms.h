// Shared by the skin component and manager tests: a form class that carries a skin component read from
// a description, and a flat-colour package made in the test.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FormReader.h"
#include "FormsTestSupport.h"
#include "Forms.h"
#include "Lzh.h"
#include "SkinPack.h"
#include "WinSkinData.h"
#include "WinSkinDlg.h"

namespace skintest {

class TfrmSkinTest : public cl::TForm {
  CL_PLAIN_CLASS(TfrmSkinTest, cl::TForm)
  explicit TfrmSkinTest(cl::TComponent* owner) : TForm(owner) {}
};

// A package of one description: flat face colour, no bitmaps.
inline std::string FlatPackage() {
  return skin::BuildSkinPackage({{"flat.ini", "[Colours]\r\nButtonFace=10 20 30\r\n"}});
}

// A package of one entry laid out as ours are, but with the given magic (another format's).
inline std::string PackageWithMagic(int32_t magic) {
  auto int32 = [](uint32_t v) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((v >> shift) & 0xFF));
    return bytes;
  };
  const std::string unpacked =
      int32(static_cast<uint32_t>(magic)) + int32(3) + int32(0) + int32(0) + "a\r\n" + int32(1) + "A";
  return int32(static_cast<uint32_t>(unpacked.size())) + skin::LzhEncode(unpacked);
}

// The description's binary value: the 32-bit count, then the bytes, as hexadecimal lines.
inline std::string SkinStreamValue(const std::string& package) {
  std::string bytes(4, '\0');
  const uint32_t n = static_cast<uint32_t>(package.size());
  for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
  bytes += package;
  std::string text = "{\n";
  for (size_t i = 0; i < bytes.size(); ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(bytes[i]));
    text += hex;
    if (i % 32 == 31 || i + 1 == bytes.size()) text += "\n";
  }
  return text + "}";
}

// "object frmSkinTest: TfrmSkinTest" holding SkinData1 with the given lines after its properties.
inline std::string FormWithSkin(const std::string& package, const std::string& formtype = "sfMainform",
                                const std::string& skinControls = "[xcMainMenu, xcPopupMenu, xcSystemMenu]",
                                bool active = true) {
  return "object frmSkinTest: TfrmSkinTest\n"
         "  object SkinData1: TSkinData\n"
         "    Active = " + std::string(active ? "True" : "False") + "\n"
         "    DisableTag = 99\n"
         "    SkinControls = " + skinControls + "\n"
         "    SkinFormtype = " + formtype + "\n"
         "    SkinStream = " + SkinStreamValue(package) + "\n"
         "  end\n"
         "end\n";
}

inline void RegisterSkinClasses() {
  cl::RegisterClasses({skin::TSkinData::StaticClass(), TfrmSkinTest::StaticClass()});
}

// Tests with an application and test forms of their own: the forms go in reverse order at the end, and
// with the last skin component the manager must have gone too.
class SkinFormsTest : public formstest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    RegisterSkinClasses();
  }
  void TearDown() override {
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) delete *it;
    EXPECT_EQ(skin::SkinManager(), nullptr);
    AppTest::TearDown();
  }
  // A test form of the given size, each a little to the right of the one before.
  TfrmSkinTest* NewSizedForm(int tag, int width, int height) {
    auto* form = cl::NewForm<TfrmSkinTest>(app_.get());
    form->SetBounds(40 + 20 * static_cast<int>(forms_.size()), 40, width, height);
    form->SetTag(tag);
    forms_.push_back(form);
    return form;
  }
  std::vector<cl::TCustomForm*> forms_;
  TfrmSkinTest* main_ = nullptr;
};

}  // namespace skintest
