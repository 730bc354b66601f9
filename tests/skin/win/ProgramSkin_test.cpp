// Both programs carry our skin: the skin component in their main form's description, holding the skin
// package byte for byte, and Pellwick's own Skin3rd list.
#include <gtest/gtest.h>

#include <string>

#include "FileUtil.h"
#include "FormText.h"
#include "TestSupport.h"
#include "WinSkinData.h"
#include "WinString.h"

namespace {

// The description resource `name` of a program file.
std::string FormResource(const char* program, const wchar_t* name) {
  HMODULE module = LoadLibraryExW(cl::ToWide(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_NE(module, nullptr) << program;
  if (!module) return {};
  std::string text;
  if (HRSRC info = FindResourceW(module, name, reinterpret_cast<LPCWSTR>(RT_RCDATA))) {
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, info)));
    text.assign(bytes, SizeofResource(module, info));
  }
  FreeLibrary(module);
  return text;
}

const cl::TFormObject* Child(const cl::TFormObject& root, const std::string& name) {
  for (const cl::TFormObject& c : root.Children)
    if (c.Name == name) return &c;
  return nullptr;
}

const cl::TFormValue* Property(const cl::TFormObject& object, const std::string& name) {
  for (const cl::TFormProperty& p : object.Properties)
    if (p.Name == name) return &p.Value;
  return nullptr;
}

void ExpectSkinComponent(const char* program, const wchar_t* form, const std::vector<std::string>& skin3rd) {
  SCOPED_TRACE(program);
  const cl::TFormObject root = cl::ParseFormText(FormResource(program, form));
  const cl::TFormObject* data = Child(root, "SkinData1");
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->ClassName, "TSkinData");
  const std::string package =
      cl::ReadFileBytes(testsupport::DataDir("..") + "../resources/skin/Calderine.skn");
  const cl::TFormValue* stream = Property(*data, "SkinStream");
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->Kind, cl::TFormValueKind::Binary);
  ASSERT_EQ(stream->Text.size(), package.size() + 4);
  const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(stream->Text[i])); };
  EXPECT_EQ(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24, package.size());
  EXPECT_TRUE(stream->Text.substr(4) == package) << "the embedded bytes differ from the package";
  const cl::TFormValue* lines = Property(*data, "Skin3rd.Strings");
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(lines->Strings, skin3rd);
  EXPECT_EQ(Property(*data, "Active")->Text, "True");
  EXPECT_EQ(Property(*data, "SkinFormtype")->Text, "sfMainform");
  EXPECT_EQ(Property(*data, "SkinStore")->Text, "(Good)");
}

TEST(ProgramSkin, BothMainFormsHoldOurPackageAndTheirSkin3rdList) {
  ExpectSkinComponent(HK_HOTKEYS_EXE, L"TFRMHOTKEYEDIT", skin::DefaultSkin3rd());
  ExpectSkinComponent(HK_PELLWICK_EXE, L"TFORM1", skin::PellwickSkin3rd());
}

}  // namespace
