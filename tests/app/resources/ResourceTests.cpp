// The resources SetUp.exe compiles in (app/setupdlg/res), read back from this program, which links the
// same resource object. The dialog (controls, texts, font, icon) is proved by the tests that run it, the
// pictures by the end-to-end pictures; here, what only the toolchain decides.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(SetupResources, ManifestAsksToRunAsTheInvokingUser) {
  const HRSRC info =
      FindResourceExA(nullptr, RT_MANIFEST, MAKEINTRESOURCEA(1), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
  ASSERT_NE(info, nullptr);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, info))),
                         SizeofResource(nullptr, info));
  EXPECT_NE(std::string::npos, text.find(R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)")) << text;
  EXPECT_EQ(text.find("requestedExecutionLevel"), text.rfind("requestedExecutionLevel")) << "one level asked";
}

using Languages = std::vector<WORD>;  // the language of each resource of the program
BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out) {
  return reinterpret_cast<Languages*>(out)->push_back(language), TRUE;
}
BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR out) {
  return EnumResourceLanguagesW(module, type, name, OnLanguage, out);
}
BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR out) {
  return EnumResourceNamesW(module, type, OnName, out);
}

// Nothing else (a toolchain's default manifest, say) sits beside them in another language.
TEST(SetupResources, AreAllInChineseSimplifiedAndNoneElse) {
  Languages languages;
  EnumResourceTypesW(nullptr, OnType, reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(Languages(15, 2052), languages) << "icon group, 9 icons, 2 bitmaps, dialog, manifest, version";
}

}  // namespace
