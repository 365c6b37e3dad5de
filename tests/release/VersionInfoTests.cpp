// The version resource of the built SetUp.exe, read through version.dll as
// Explorer's Properties -> Details reads it. The expected numbers are derived here
// from the program's own kSetupVersion, so the resource cannot drift from the
// version the dialog shows; the texts are written out by hand.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/BuildConstants.h"

namespace {

std::wstring WinePath(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

class SetupVersionInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring exe = WinePath(VM_SETUP_EXE);
    DWORD ignored = 0xdeadbeef;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_NE(0u, size) << "no version resource in " << VM_SETUP_EXE << ", error " << GetLastError();
    m_block.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, m_block.data())) << "error " << GetLastError();
  }

  // The value at a VerQueryValue path, or null when it is missing.
  const void* Query(const wchar_t* path, UINT* length = nullptr) {
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(m_block.data(), path, &value, &size)) return nullptr;
    if (length) *length = size;
    return value;
  }

  std::wstring Text(const std::wstring& name) {
    const std::wstring path = L"\\StringFileInfo\\080403a8\\" + name;
    const wchar_t* value = static_cast<const wchar_t*>(Query(path.c_str()));
    return value ? value : L"(missing)";
  }

  std::vector<BYTE> m_block;
};

const int kMajor = kSetupVersion / 10000;
const int kMinor = kSetupVersion % 10000 / 100;
const int kPatch = kSetupVersion % 100;

// The numbers Explorer shows as the file version, and the file's kind.
TEST_F(SetupVersionInfo, FixedPartCarriesTheSetupVersion) {
  UINT length = 0;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\", &length));
  ASSERT_NE(nullptr, fixed);
  ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
  EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(kMinor, kMajor)), fixed->dwFileVersionMS);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, kPatch)), fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
  EXPECT_EQ(0u, fixed->dwFileFlags) << "a release is neither a debug nor a pre-release build";
}

// One language block, Chinese (Simplified) in code page 936, holding the texts of
// the Details tab.
TEST_F(SetupVersionInfo, ChineseBlockNamesProductEditionAndVersion) {
  UINT length = 0;
  const auto* translation = static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation", &length));
  ASSERT_NE(nullptr, translation);
  ASSERT_EQ(4u, length) << "exactly one language";
  EXPECT_EQ(0x0804, translation[0]);
  EXPECT_EQ(936, translation[1]);

  const std::wstring version =
      std::to_wstring(kMajor) + L"." + std::to_wstring(kMinor) + L"." + std::to_wstring(kPatch) + L".0";
  EXPECT_EQ(version, Text(L"FileVersion"));
  EXPECT_EQ(version, Text(L"ProductVersion"));
  EXPECT_EQ(L"Vellmark 结构工具箱安装程序（" + std::to_wstring(kEditionBits) + L"位版本）", Text(L"FileDescription"));
  EXPECT_EQ(L"Vellmark 结构工具箱", Text(L"ProductName"));
  EXPECT_EQ(L"Vellmark", Text(L"CompanyName"));
  EXPECT_EQ(L"SetUp.exe", Text(L"OriginalFilename"));
}

}  // namespace
