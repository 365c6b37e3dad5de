// What only the build decides of the resources SetUp.exe compiles in (app/setupdlg/res), read back from this program,
// which links the same object. The dialog is proved by the tests that run it, the pictures by the e2e pictures.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/BuildConstants.h"

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

// As Explorer's Details read it: kSetupVersion, one block in Chinese (code page 936) naming product and edition.
TEST(SetupResources, TheSetupVersionAndOneChineseBlockNamingProductAndEdition) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::vector<BYTE> block(GetFileVersionInfoSizeW(self, nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(self, 0, static_cast<DWORD>(block.size()), block.data()));
  auto query = [&](const std::wstring& path) {
    void* value = nullptr;
    UINT size = 0;
    return VerQueryValueW(block.data(), path.c_str(), &value, &size) ? value : nullptr;
  };
  const int major = kSetupVersion / 10000, minor = kSetupVersion % 10000 / 100, patch = kSetupVersion % 100;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
  const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
  ASSERT_TRUE(fixed != nullptr && translation != nullptr);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(minor, major)), fixed->dwFileVersionMS);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, patch)), fixed->dwFileVersionLS);
  EXPECT_EQ((std::vector<WORD>{0x0804, 936}), std::vector<WORD>(translation, translation + 2));
  auto text = [&](const wchar_t* name) {
    const auto* value = static_cast<const wchar_t*>(query(std::wstring(L"\\StringFileInfo\\080403a8\\") + name));
    return std::wstring(value ? value : L"(missing)");
  };
  EXPECT_EQ(std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(patch) + L".0",
            text(L"FileVersion"));
  EXPECT_EQ(L"Vellmark 结构工具箱安装程序（" + std::to_wstring(kEditionBits) + L"位版本）", text(L"FileDescription"));
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
