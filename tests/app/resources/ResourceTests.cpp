// The resources SetUp.exe compiles in (app/setupdlg/res), read back from this program, which links the
// same resource object: what the toolchain made of them, in the form Windows loads. The controls'
// ids and texts are proved by the tests that run the real dialog.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/setupdlg/res/resource.h"

namespace {

// A resource of this program in language 2052, read field by field, little-endian. Past its end
// (or when missing) every field reads as zero or empty, which no expectation below matches.
struct Resource {
  const BYTE *at = nullptr, *end = nullptr;
  Resource(LPCSTR type, WORD id) {
    HRSRC info =
        FindResourceExA(nullptr, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    at = info != nullptr ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info))) : nullptr;
    end = at != nullptr ? at + SizeofResource(nullptr, info) : nullptr;
  }
  DWORD Left() const { return static_cast<DWORD>(end - at); }
  DWORD Get(int bytes) {
    DWORD value = 0;
    for (int k = 0; k < bytes && at < end; ++k) value |= static_cast<DWORD>(*at++) << 8 * k;
    return value;
  }
  // A text, or the templates' 0xFFFF and an ordinal, read as "#147".
  std::wstring Text() {
    if (Left() >= 2 && at[0] == 0xFF && at[1] == 0xFF) return L"#" + std::to_wstring(Get(4) >> 16);
    std::wstring text;
    for (WORD c = Get(2); c != 0; c = Get(2)) text += static_cast<wchar_t>(c);
    return text;
  }
};

using Fields = std::vector<DWORD>;        // read in the order of a braced list: left to right
using Texts = std::vector<std::wstring>;  // likewise

// DLGTEMPLATEEX's header.
TEST(SetupResources, DialogIsAnExtendedTemplateInTheChineseFont) {
  Resource in(RT_DIALOG, IDD_SETUP);
  const Fields header{in.Get(4), in.Get(4), in.Get(4), in.Get(4), in.Get(2), in.Get(4), in.Get(2), in.Get(2)};
  // 0x80CA00C0: WS_POPUP|WS_CAPTION|WS_SYSMENU|WS_MINIMIZEBOX|DS_MODALFRAME|DS_SETFONT
  EXPECT_EQ((Fields{0xFFFF0001, 0, WS_EX_CLIENTEDGE, 0x80CA00C0, 36, 0, 283, 283}), header)
      << "extended template 1, help id, extended style, style, controls, x and y, width, height";
  const Texts texts{in.Text(), in.Text(), in.Text(), std::to_wstring(in.Get(2)), std::to_wstring(in.Get(4)), in.Text()};
  EXPECT_EQ((Texts{L"", L"", L"Vellmark-结构工具箱安装", L"9", L"16777216", L"宋体"}), texts)
      << "menu, class, caption, point size, weight 0 with italic 0 and DEFAULT_CHARSET (1 << 24), face";
}

TEST(SetupResources, BitmapsAreUncompressed24BitPictures) {
  for (const Fields& want :
       {Fields{IDB_LOGO, 40, 64, 64, 1 | 24 << 16, BI_RGB}, Fields{IDB_MENU, 40, 303, 175, 1 | 24 << 16, BI_RGB}}) {
    Resource in(RT_BITMAP, want[0]);
    const DWORD bytes = in.Left();
    EXPECT_EQ(want, (Fields{want[0], in.Get(4), in.Get(4), in.Get(4), in.Get(4), in.Get(4)}))
        << "id, BITMAPINFOHEADER's size, width, height, one plane of 24 bits, no compression";
    EXPECT_GE(bytes, 40 + (want[2] * 3 + 3) / 4 * 4 * want[3]) << "pixel rows of bitmap " << want[0];
  }
}

// Every image of the group is an icon Windows can make, and start-up's way of
// loading it, naming no language, finds it.
TEST(SetupResources, IconGroupHoldsNineImagesAndLoadsWithoutALanguage) {
  Resource group(RT_GROUP_ICON, IDI_SETUP);
  ASSERT_EQ((Fields{0, 1, 9}), (Fields{group.Get(2), group.Get(2), group.Get(2)})) << "a group of nine icon images";
  for (int k = 0; k < 9; ++k) {
    const DWORD size = group.Get(1);
    group.Get(3);  // height, colours, reserved
    group.Get(4);  // planes, bits
    const DWORD bytes = group.Get(4), id = group.Get(2);
    Resource image(RT_ICON, id);
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.at), bytes, TRUE, 0x00030000, size, size, 0);
    EXPECT_TRUE(icon != nullptr && DestroyIcon(icon)) << "icon image " << id;
    EXPECT_EQ(bytes, image.Left()) << "icon image " << id;
  }
  EXPECT_NE(nullptr, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SETUP)));
}

TEST(SetupResources, ManifestAsksToRunAsTheInvokingUser) {
  Resource in(RT_MANIFEST, 1);
  const std::string text(reinterpret_cast<const char*>(in.at), in.Left());
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
