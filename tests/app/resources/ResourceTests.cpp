// The resources SetUp.exe compiles in (app/setupdlg/res), read back from this program, which links the
// same resource object. Expectations are written out by hand, not read from SetUp.rc, so an edit of
// either that breaks the other shows; the ids are resource.h's, by which the logic finds the controls.
#include <windows.h>

#include <set>
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

struct Control {
  int id;
  std::wstring windowClass, text;
  DWORD style, x, y, cx, cy;  // dialog units
};
const DWORD kShown = WS_CHILD | WS_VISIBLE, kPush = kShown | BS_PUSHBUTTON | WS_TABSTOP, kLine = kShown | SS_ETCHEDHORZ;

// Dialog 141's controls in tab order after the twenty release boxes. windres
// writes the predefined classes' names in capitals (rc.exe their atoms).
const Control kOtherControls[] = {
    {IDOK, L"BUTTON", L"安装完成", kPush & ~WS_VISIBLE, 110, 214, 63, 14},
    {IDCANCEL, L"BUTTON", L"取  消", kPush, 173, 262, 50, 14},
    {IDC_TITLE, L"STATIC", L"Kavtor批打印软件 V%d.%d.%d", kShown | SS_CENTER, 86, 13, 146, 14},
    {IDC_STATIC, L"STATIC", L"", kLine, 0, 206, 286, 1},
    {IDC_COMPONENTS_LABEL, L"STATIC", L"请选择安装组件：", kShown | SS_LEFT, 14, 62, 69, 10},
    {IDC_STATIC, L"STATIC", L"", kLine, 0, 51, 286, 1},
    {IDC_STATIC, L"STATIC", L"#147", kShown | SS_BITMAP, 32, 5, 43, 43},
    {IDC_PATH, L"EDIT", L"", kShown | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 13, 233, 202, 12},
    {IDC_BROWSE, L"BUTTON", L"浏览...", kPush, 221, 231, 51, 13},
    {IDC_PROGRESS, L"MSCTLS_PROGRESS32", L"Progress1", WS_CHILD | WS_BORDER, 13, 236, 256, 6},
    {IDC_PATH_LABEL, L"STATIC", L"请选择安装路径：", kShown | SS_LEFT, 14, 215, 71, 9},
    {IDC_STATIC, L"STATIC", L"", kLine, 0, 255, 286, 1},
    {IDC_INSTALL, L"BUTTON", L"安  装", kPush, 60, 263, 50, 13},
    {IDC_DONE_TEXT, L"STATIC", L"安装完成！重启CAD，CAD菜单尾会有以下子菜单：", WS_CHILD | SS_CENTER, 47, 62, 190, 10},
    {IDC_EDITION, L"STATIC", L"(%d位版本)", kShown | SS_CENTER, 86, 33, 146, 14},
    {IDC_MENU_PICTURE, L"STATIC", L"#152", WS_CHILD | SS_BITMAP, 39, 78, 205, 117},
};
const int kReleaseBoxes[] = {IDC_ACAD2007, IDC_ACAD2008, IDC_ACAD2009, IDC_ACAD2010, IDC_ACAD2011,
                             IDC_ACAD2012, IDC_ACAD2013, IDC_ACAD2014, IDC_ACAD2015, IDC_ACAD2016,
                             IDC_ACAD2017, IDC_ACAD2018, IDC_ACAD2019, IDC_ACAD2020, IDC_ACAD2021,
                             IDC_ACAD2022, IDC_ACAD2023, IDC_ACAD2024, IDC_ACAD2025, IDC_ACAD2026};

using Fields = std::vector<DWORD>;        // read in the order of a braced list: left to right
using Texts = std::vector<std::wstring>;  // likewise

// DLGTEMPLATEEX, then its DLGITEMTEMPLATEEX entries.
TEST(SetupResources, DialogHoldsItsThirtySixControlsInTabOrder) {
  Resource in(RT_DIALOG, IDD_SETUP);
  const Fields header{in.Get(4), in.Get(4), in.Get(4), in.Get(4), in.Get(2), in.Get(4), in.Get(2), in.Get(2)};
  // 0x80CA00C0: WS_POPUP|WS_CAPTION|WS_SYSMENU|WS_MINIMIZEBOX|DS_MODALFRAME|DS_SETFONT
  EXPECT_EQ((Fields{0xFFFF0001, 0, WS_EX_CLIENTEDGE, 0x80CA00C0, 36, 0, 283, 283}), header)
      << "extended template 1, help id, extended style, style, controls, x and y, width, height";
  const Texts texts{in.Text(), in.Text(), in.Text(), std::to_wstring(in.Get(2)), std::to_wstring(in.Get(4)), in.Text()};
  EXPECT_EQ((Texts{L"", L"", L"Vellmark-结构工具箱安装", L"9", L"16777216", L"宋体"}), texts)
      << "menu, class, caption, point size, weight 0 with italic 0 and DEFAULT_CHARSET (1 << 24), face";
  // Release boxes: three columns of seven slots 86 by 20 units apart, the first slot the label's.
  std::vector<Control> controls;
  for (DWORD k = 0; k < 20; ++k)
    controls.push_back({kReleaseBoxes[k], L"BUTTON", L"For AutoCAD" + std::to_wstring(2007 + k),
                        kShown | BS_AUTOCHECKBOX | WS_TABSTOP, 18 + (k + 1) / 7 * 86, 61 + (k + 1) % 7 * 20, 74, 10});
  controls.insert(controls.end(), std::begin(kOtherControls), std::end(kOtherControls));
  for (const Control& want : controls) {
    while (reinterpret_cast<UINT_PTR>(in.at) % 4 != 0) in.Get(1);  // each entry starts on a DWORD
    const Fields got{in.Get(4), in.Get(4), in.Get(4), in.Get(2), in.Get(2), in.Get(2), in.Get(2), in.Get(4)};
    EXPECT_EQ((Fields{0, 0, want.style, want.x, want.y, want.cx, want.cy, static_cast<DWORD>(want.id)}), got)
        << "help id, extended style, style, x, y, width, height and id of control " << want.id;
    EXPECT_EQ((Texts{want.windowClass, want.text, L"0"}), (Texts{in.Text(), in.Text(), std::to_wstring(in.Get(2))}))
        << "class, text and bytes of creation data of control " << want.id;
  }
  EXPECT_LT(in.Left(), 4u) << "bytes after the last control";
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

TEST(SetupResources, IconGroupHoldsNineImagesAndLoadsWithoutALanguage) {
  Resource group(RT_GROUP_ICON, IDI_SETUP);
  ASSERT_EQ((Fields{0, 1, 9}), (Fields{group.Get(2), group.Get(2), group.Get(2)})) << "a group of nine icon images";
  std::set<Fields> got, want;
  for (DWORD size : {48, 32, 16})
    for (DWORD bits : {4, 8, 32}) want.insert({size, size, bits == 4 ? 16u : 0u, 1, bits});
  for (int k = 0; k < 9; ++k) {
    const Fields entry{group.Get(1), group.Get(1), group.Get(2), group.Get(2), group.Get(2)};
    const DWORD bytes = group.Get(4), id = group.Get(2), size = entry[0];
    got.insert(entry);
    Resource image(RT_ICON, id);
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.at), bytes, TRUE, 0x00030000, size, size, 0);
    EXPECT_TRUE(icon != nullptr && DestroyIcon(icon)) << "icon image " << id;
    EXPECT_EQ((Fields{bytes, 40, size, 2 * size, 1 | entry[4] << 16}),
              (Fields{image.Left(), image.Get(4), image.Get(4), image.Get(4), image.Get(4)}))
        << "icon image " << id << ": bytes, then a DIB of its size, twice as high (colours, mask), one plane";
  }
  EXPECT_EQ(want, got) << "width, height, colours (16 at 4 bits, 0 for more), planes, bits of each image";
  // Start-up loads it this way, naming no language.
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
