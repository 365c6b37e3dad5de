// The version resource of the built SetUp.exe as Explorer's Properties -> Details reads it: what the
// build puts in (numbers from kSetupVersion, the edition, Chinese texts in code page 936), not fixed words.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/BuildConstants.h"

namespace {

TEST(SetupVersionInfo, TheSetupVersionAndOneChineseBlockNamingProductAndEdition) {
  std::wstring exe = L"Z:";
  for (const char* c = VM_SETUP_EXE; *c; ++c) exe += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  ASSERT_FALSE(block.empty()) << "no version resource in " << VM_SETUP_EXE;
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  auto query = [&](const std::wstring& path) -> const void* {
    void* value = nullptr;
    UINT size = 0;
    return VerQueryValueW(block.data(), path.c_str(), &value, &size) ? value : nullptr;
  };
  const int major = kSetupVersion / 10000, minor = kSetupVersion % 10000 / 100, patch = kSetupVersion % 100;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
  ASSERT_NE(nullptr, fixed);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(minor, major)), fixed->dwFileVersionMS);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, patch)), fixed->dwFileVersionLS);
  const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
  ASSERT_NE(nullptr, translation);
  EXPECT_EQ(0x0804, translation[0]);
  EXPECT_EQ(936, translation[1]);
  auto text = [&](const wchar_t* name) {
    const auto* value = static_cast<const wchar_t*>(query(std::wstring(L"\\StringFileInfo\\080403a8\\") + name));
    return std::wstring(value ? value : L"(missing)");
  };
  const std::wstring version =
      std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(patch) + L".0";
  EXPECT_EQ(version, text(L"FileVersion"));
  EXPECT_EQ(L"Vellmark 结构工具箱安装程序（" + std::to_wstring(kEditionBits) + L"位版本）", text(L"FileDescription"));
}

}  // namespace
