// The resources SetUp.exe compiles in (app/setupdlg/res), read back from this
// test program, which links the same resource object, through the calls the
// program and the loader use. The expectations are written out here by hand, not
// read from SetUp.rc, so an edit of either that breaks the other shows.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/setupdlg/res/resource.h"

namespace {

const WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052
const DWORD kNoId = 0xFFFFFFFF;  // control id -1 as the template stores it

std::string Hex(DWORD value) {
  char text[16];
  snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  return out;
}

struct ResourceBytes {
  const BYTE* data = nullptr;
  DWORD size = 0;
};

// A resource of this program in language 2052; no data when it is missing.
ResourceBytes FindOwnResource(LPCSTR type, WORD id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kChineseSimplified);
  if (info == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, info);
  if (loaded == nullptr) return {};
  return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, info)};
}

// sz_Or_Ord of the dialog templates: 0xFFFF and an ordinal, or a UTF-16 string.
struct NameOrOrdinal {
  bool isOrdinal = false;
  WORD ordinal = 0;
  std::string name;  // UTF-8
};

std::string Describe(const NameOrOrdinal& value) {
  if (value.isOrdinal) return "ordinal " + std::to_string(value.ordinal);
  return "\"" + value.name + "\"";
}

// Reads little-endian fields in order. A read past the end yields zeros and keeps
// the first such field's name and offset for the failure message.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, DWORD size) : data_(data), size_(size) {}

  WORD Word(const char* field) {
    if (!Need(2, field)) return 0;
    WORD value = static_cast<WORD>(data_[offset_] | (data_[offset_ + 1] << 8));
    offset_ += 2;
    return value;
  }
  DWORD Dword(const char* field) {
    DWORD low = Word(field);
    return low | (static_cast<DWORD>(Word(field)) << 16);
  }
  short Short(const char* field) { return static_cast<short>(Word(field)); }
  BYTE Byte(const char* field) {
    if (!Need(1, field)) return 0;
    return data_[offset_++];
  }
  std::string String(const char* field) {
    std::wstring text;
    for (WORD c = Word(field); c != 0 && error_.empty(); c = Word(field)) text += static_cast<wchar_t>(c);
    return Utf8(text);
  }
  NameOrOrdinal NameOrOrd(const char* field) {
    NameOrOrdinal value;
    if (Peek() == 0xFFFF) {
      Word(field);
      value.isOrdinal = true;
      value.ordinal = Word(field);
    } else {
      value.name = String(field);
    }
    return value;
  }
  // DLGITEMTEMPLATEEX entries start on a DWORD boundary (the template's start is one).
  void AlignToDword() { offset_ = (offset_ + 3) & ~static_cast<DWORD>(3); }
  void Skip(DWORD bytes, const char* field) {
    if (Need(bytes, field)) offset_ += bytes;
  }

  DWORD offset() const { return offset_; }
  DWORD size() const { return size_; }
  const std::string& error() const { return error_; }

 private:
  WORD Peek() const { return offset_ + 2 <= size_ ? static_cast<WORD>(data_[offset_] | (data_[offset_ + 1] << 8)) : 0; }
  bool Need(DWORD bytes, const char* field) {
    if (!error_.empty()) return false;
    if (offset_ + bytes <= size_) return true;
    error_ = std::string("template ends (") + std::to_string(size_) + " bytes) inside " + field + " at offset " +
             std::to_string(offset_);
    return false;
  }

  const BYTE* data_;
  DWORD size_;
  DWORD offset_ = 0;
  std::string error_;
};

struct DialogHeader {
  WORD version = 0, signature = 0;
  DWORD helpId = 0, exStyle = 0, style = 0;
  WORD count = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu, windowClass;
  std::string caption;
  WORD pointSize = 0, weight = 0;
  BYTE italic = 0, charset = 0;
  std::string face;
};

struct DialogItem {
  DWORD helpId = 0, exStyle = 0, style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  NameOrOrdinal windowClass, title;
  WORD extraCount = 0;
};

// DLGTEMPLATEEX (the font fields are there because DS_SETFONT is set).
DialogHeader ReadHeader(TemplateReader& in) {
  DialogHeader h;
  h.version = in.Word("dlgVer");
  h.signature = in.Word("signature");
  h.helpId = in.Dword("helpID");
  h.exStyle = in.Dword("exStyle");
  h.style = in.Dword("style");
  h.count = in.Word("cDlgItems");
  h.x = in.Short("x");
  h.y = in.Short("y");
  h.cx = in.Short("cx");
  h.cy = in.Short("cy");
  h.menu = in.NameOrOrd("menu");
  h.windowClass = in.NameOrOrd("windowClass");
  h.caption = in.String("title");
  if (h.style & (DS_SETFONT | DS_SHELLFONT)) {
    h.pointSize = in.Word("pointsize");
    h.weight = in.Word("weight");
    h.italic = in.Byte("italic");
    h.charset = in.Byte("charset");
    h.face = in.String("typeface");
  }
  return h;
}

// DLGITEMTEMPLATEEX
DialogItem ReadItem(TemplateReader& in) {
  DialogItem item;
  in.AlignToDword();
  item.helpId = in.Dword("helpID");
  item.exStyle = in.Dword("exStyle");
  item.style = in.Dword("style");
  item.x = in.Short("x");
  item.y = in.Short("y");
  item.cx = in.Short("cx");
  item.cy = in.Short("cy");
  item.id = in.Dword("id");
  item.windowClass = in.NameOrOrd("windowClass");
  item.title = in.NameOrOrd("title");
  item.extraCount = in.Word("extraCount");
  in.Skip(item.extraCount, "creation data");
  return item;
}

struct DialogTemplate {
  DialogHeader header;
  std::vector<DialogItem> items;
  DWORD end = 0, size = 0;
  std::string error;
};

DialogTemplate ReadSetupDialog() {
  DialogTemplate t;
  ResourceBytes res = FindOwnResource(RT_DIALOG, IDD_SETUP);
  if (res.data == nullptr) {
    t.error = "dialog 141 in language 2052 not found";
    return t;
  }
  TemplateReader in(res.data, res.size);
  t.header = ReadHeader(in);
  for (WORD k = 0; k < t.header.count && in.error().empty(); ++k) t.items.push_back(ReadItem(in));
  t.end = in.offset();
  t.size = in.size();
  t.error = in.error();
  return t;
}

// --- the expected dialog, control by control --------------------------------------

enum class Kind { kCheckBox, kPushButton, kText, kCentredText, kEtchedLine, kPicture, kEdit, kProgress };

struct KindTraits {
  const char* name;
  WORD atom;  // predefined class atom, 0 for other classes
  const char* className;
  DWORD style;  // besides WS_CHILD and WS_VISIBLE
};

KindTraits Traits(Kind kind) {
  switch (kind) {
    case Kind::kCheckBox:
      return {"auto check box", 0x0080, "Button", BS_AUTOCHECKBOX | WS_TABSTOP};
    case Kind::kPushButton:
      return {"push button", 0x0080, "Button", BS_PUSHBUTTON | WS_TABSTOP};
    case Kind::kText:
      return {"static text", 0x0082, "Static", SS_LEFT};
    case Kind::kCentredText:
      return {"centred static text", 0x0082, "Static", SS_CENTER};
    case Kind::kEtchedLine:
      return {"etched line", 0x0082, "Static", SS_ETCHEDHORZ};
    case Kind::kPicture:
      return {"picture", 0x0082, "Static", SS_BITMAP};
    case Kind::kEdit:
      return {"edit box", 0x0081, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP};
    case Kind::kProgress:
      return {"progress bar", 0, "msctls_progress32", WS_BORDER};
  }
  return {"?", 0, "", 0};
}

struct ExpectedControl {
  DWORD id;
  Kind kind;
  const char* text;  // UTF-8; for pictures the bitmap id below instead
  WORD bitmap;
  short x, y, cx, cy;
  bool visible;
};

const ExpectedControl kControls[] = {
    {1018, Kind::kCheckBox, u8"For AutoCAD2007", 0, 18, 81, 74, 10, true},
    {1019, Kind::kCheckBox, u8"For AutoCAD2008", 0, 18, 101, 74, 10, true},
    {1020, Kind::kCheckBox, u8"For AutoCAD2009", 0, 18, 121, 74, 10, true},
    {1027, Kind::kCheckBox, u8"For AutoCAD2010", 0, 18, 141, 74, 10, true},
    {1026, Kind::kCheckBox, u8"For AutoCAD2011", 0, 18, 161, 74, 10, true},
    {1028, Kind::kCheckBox, u8"For AutoCAD2012", 0, 18, 181, 74, 10, true},
    {1029, Kind::kCheckBox, u8"For AutoCAD2013", 0, 104, 61, 74, 10, true},
    {1030, Kind::kCheckBox, u8"For AutoCAD2014", 0, 104, 81, 74, 10, true},
    {1031, Kind::kCheckBox, u8"For AutoCAD2015", 0, 104, 101, 74, 10, true},
    {1032, Kind::kCheckBox, u8"For AutoCAD2016", 0, 104, 121, 74, 10, true},
    {1033, Kind::kCheckBox, u8"For AutoCAD2017", 0, 104, 141, 74, 10, true},
    {1034, Kind::kCheckBox, u8"For AutoCAD2018", 0, 104, 161, 74, 10, true},
    {1035, Kind::kCheckBox, u8"For AutoCAD2019", 0, 104, 181, 74, 10, true},
    {1036, Kind::kCheckBox, u8"For AutoCAD2020", 0, 190, 61, 74, 10, true},
    {1037, Kind::kCheckBox, u8"For AutoCAD2021", 0, 190, 81, 74, 10, true},
    {1038, Kind::kCheckBox, u8"For AutoCAD2022", 0, 190, 101, 74, 10, true},
    {1039, Kind::kCheckBox, u8"For AutoCAD2023", 0, 190, 121, 74, 10, true},
    {1040, Kind::kCheckBox, u8"For AutoCAD2024", 0, 190, 141, 74, 10, true},
    {1041, Kind::kCheckBox, u8"For AutoCAD2025", 0, 190, 161, 74, 10, true},
    {1042, Kind::kCheckBox, u8"For AutoCAD2026", 0, 190, 181, 74, 10, true},
    {1, Kind::kPushButton, u8"安装完成", 0, 110, 214, 63, 14, false},
    {2, Kind::kPushButton, u8"取  消", 0, 173, 262, 50, 14, true},
    {1013, Kind::kCentredText, u8"Kavtor批打印软件 V%d.%d.%d", 0, 86, 13, 146, 14, true},
    {kNoId, Kind::kEtchedLine, u8"", 0, 0, 206, 286, 1, true},
    {1016, Kind::kText, u8"请选择安装组件：", 0, 14, 62, 69, 10, true},
    {kNoId, Kind::kEtchedLine, u8"", 0, 0, 51, 286, 1, true},
    {kNoId, Kind::kPicture, nullptr, 147, 32, 5, 43, 43, true},
    {1000, Kind::kEdit, u8"", 0, 13, 233, 202, 12, true},
    {1015, Kind::kPushButton, u8"浏览...", 0, 221, 231, 51, 13, true},
    {1014, Kind::kProgress, u8"Progress1", 0, 13, 236, 256, 6, false},
    {1017, Kind::kText, u8"请选择安装路径：", 0, 14, 215, 71, 9, true},
    {kNoId, Kind::kEtchedLine, u8"", 0, 0, 255, 286, 1, true},
    {1022, Kind::kPushButton, u8"安  装", 0, 60, 263, 50, 13, true},
    {1023, Kind::kCentredText, u8"安装完成！重启CAD，CAD菜单尾会有以下子菜单：", 0, 47, 62, 190, 10, false},
    {1021, Kind::kCentredText, u8"(%d位版本)", 0, 86, 33, 146, 14, true},
    {1024, Kind::kPicture, nullptr, 152, 39, 78, 205, 117, false},
};
const size_t kControlCount = sizeof kControls / sizeof kControls[0];

bool EqualsIgnoringAsciiCase(const std::string& a, const char* b) {
  if (a.size() != strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The predefined classes may come as their atom (as rc.exe writes them) or by
// name (windres writes the name, in capitals); the dialog manager creates the
// same control from either, and window class names ignore case.
bool IsClassOf(const NameOrOrdinal& windowClass, const KindTraits& traits) {
  if (windowClass.isOrdinal) return traits.atom != 0 && windowClass.ordinal == traits.atom;
  return EqualsIgnoringAsciiCase(windowClass.name, traits.className);
}

std::string ExpectedClass(const KindTraits& traits) {
  std::string text = std::string("\"") + traits.className + "\"";
  if (traits.atom != 0) text += " or ordinal " + std::to_string(traits.atom);
  return text;
}

void ExpectControl(const ExpectedControl& want, const DialogItem& got) {
  KindTraits traits = Traits(want.kind);
  EXPECT_EQ(want.id, got.id) << "control id";
  EXPECT_TRUE(IsClassOf(got.windowClass, traits))
      << "class: expected " << ExpectedClass(traits) << " (" << traits.name << "), got " << Describe(got.windowClass);
  if (want.text != nullptr) {
    EXPECT_FALSE(got.title.isOrdinal) << "title: expected text, got " << Describe(got.title);
    EXPECT_EQ(std::string(want.text), got.title.name) << "title text";
  } else {
    EXPECT_TRUE(got.title.isOrdinal && got.title.ordinal == want.bitmap)
        << "title: expected bitmap ordinal " << want.bitmap << ", got " << Describe(got.title);
  }
  DWORD style = WS_CHILD | (want.visible ? WS_VISIBLE : 0) | traits.style;
  EXPECT_EQ(Hex(style), Hex(got.style)) << "style of a " << (want.visible ? "visible " : "hidden ") << traits.name;
  EXPECT_EQ(Hex(0), Hex(got.exStyle)) << "extended style";
  EXPECT_EQ(want.x, got.x) << "x";
  EXPECT_EQ(want.y, got.y) << "y";
  EXPECT_EQ(want.cx, got.cx) << "width";
  EXPECT_EQ(want.cy, got.cy) << "height";
  EXPECT_EQ(0u, got.helpId) << "help id";
  EXPECT_EQ(0, got.extraCount) << "creation data bytes";
}

const DialogItem* FindItem(const DialogTemplate& t, DWORD id) {
  for (const DialogItem& item : t.items) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

// --- dialog template 141 ------------------------------------------------------------

TEST(SetupDialogTemplate, HeaderDescribesTheFixedSizeModalDialog) {
  DialogTemplate t = ReadSetupDialog();
  ASSERT_EQ("", t.error);
  const DialogHeader& h = t.header;
  EXPECT_EQ(1, h.version) << "dlgVer";
  EXPECT_EQ(0xFFFF, h.signature) << "signature of an extended template";
  EXPECT_EQ(0u, h.helpId) << "help id";
  EXPECT_EQ(Hex(0x80CA00C0), Hex(h.style)) << "WS_POPUP|WS_CAPTION|WS_SYSMENU|WS_MINIMIZEBOX|DS_MODALFRAME|DS_SETFONT";
  EXPECT_EQ(Hex(WS_EX_CLIENTEDGE), Hex(h.exStyle)) << "extended style";
  EXPECT_EQ(36, h.count) << "number of controls";
  EXPECT_EQ(0, h.x);
  EXPECT_EQ(0, h.y);
  EXPECT_EQ(283, h.cx) << "width";
  EXPECT_EQ(283, h.cy) << "height";
  EXPECT_EQ("\"\"", Describe(h.menu)) << "no menu";
  EXPECT_EQ("\"\"", Describe(h.windowClass)) << "the standard dialog class";
  EXPECT_EQ(std::string(u8"Vellmark-结构工具箱安装"), h.caption) << "caption";
  EXPECT_EQ(9, h.pointSize) << "font size";
  EXPECT_EQ(0, h.weight) << "font weight";
  EXPECT_EQ(0, static_cast<int>(h.italic)) << "italic";
  EXPECT_EQ(1, static_cast<int>(h.charset)) << "charset (DEFAULT_CHARSET)";
  EXPECT_EQ(std::string(u8"宋体"), h.face) << "font face";
}

TEST(SetupDialogTemplate, HoldsTheThirtySixControlsInTabOrder) {
  DialogTemplate t = ReadSetupDialog();
  ASSERT_EQ("", t.error);
  ASSERT_EQ(kControlCount, t.items.size()) << "controls read";
  for (size_t k = 0; k < kControlCount; ++k) {
    SCOPED_TRACE("control #" + std::to_string(k + 1) + " of the template, expected id " +
                 std::to_string(static_cast<int>(kControls[k].id)));
    ExpectControl(kControls[k], t.items[k]);
  }
  EXPECT_LE(t.size - t.end, 3u) << "bytes after the last control (only DWORD padding may follow); template is "
                                << t.size << " bytes, the last control ends at " << t.end;
}

// resource.h names the controls the logic looks for; a wrong number there would
// find another control (the 2010 and 2011 boxes are the easy ones to swap).
TEST(SetupResourceHeader, NamesTheControlsOfTheTemplate) {
#define RELEASE_BOX(year) \
  { IDC_ACAD##year, u8"For AutoCAD" #year }
  const std::pair<int, const char*> named[] = {
      RELEASE_BOX(2007),
      RELEASE_BOX(2008),
      RELEASE_BOX(2009),
      RELEASE_BOX(2010),
      RELEASE_BOX(2011),
      RELEASE_BOX(2012),
      RELEASE_BOX(2013),
      RELEASE_BOX(2014),
      RELEASE_BOX(2015),
      RELEASE_BOX(2016),
      RELEASE_BOX(2017),
      RELEASE_BOX(2018),
      RELEASE_BOX(2019),
      RELEASE_BOX(2020),
      RELEASE_BOX(2021),
      RELEASE_BOX(2022),
      RELEASE_BOX(2023),
      RELEASE_BOX(2024),
      RELEASE_BOX(2025),
      RELEASE_BOX(2026),
      {IDOK, u8"安装完成"},
      {IDCANCEL, u8"取  消"},
      {IDC_TITLE, u8"Kavtor批打印软件 V%d.%d.%d"},
      {IDC_COMPONENTS_LABEL, u8"请选择安装组件："},
      {IDC_PATH, u8""},
      {IDC_BROWSE, u8"浏览..."},
      {IDC_PROGRESS, u8"Progress1"},
      {IDC_PATH_LABEL, u8"请选择安装路径："},
      {IDC_INSTALL, u8"安  装"},
      {IDC_DONE_TEXT, u8"安装完成！重启CAD，CAD菜单尾会有以下子菜单："},
      {IDC_EDITION, u8"(%d位版本)"},
  };
#undef RELEASE_BOX
  DialogTemplate t = ReadSetupDialog();
  ASSERT_EQ("", t.error);
  for (const auto& entry : named) {
    const DialogItem* item = FindItem(t, static_cast<DWORD>(entry.first));
    ASSERT_NE(nullptr, item) << "no control with id " << entry.first << " for \"" << entry.second << "\"";
    EXPECT_EQ(std::string(entry.second), item->title.name) << "text of control " << entry.first;
  }
  const DialogItem* picture = FindItem(t, IDC_MENU_PICTURE);
  ASSERT_NE(nullptr, picture) << "no control with id IDC_MENU_PICTURE " << IDC_MENU_PICTURE;
  EXPECT_EQ("ordinal " + std::to_string(IDB_MENU), Describe(picture->title)) << "picture of IDC_MENU_PICTURE";
  EXPECT_EQ(Hex(kNoId), Hex(static_cast<DWORD>(IDC_STATIC))) << "IDC_STATIC";
}

// --- bitmaps 147 and 152 -------------------------------------------------------------

void ExpectBitmap(WORD id, LONG width, LONG height) {
  ResourceBytes res = FindOwnResource(RT_BITMAP, id);
  ASSERT_NE(nullptr, res.data) << "bitmap " << id << " in language 2052 not found";
  ASSERT_GE(res.size, sizeof(BITMAPINFOHEADER)) << "bitmap " << id << " size";
  BITMAPINFOHEADER info;
  memcpy(&info, res.data, sizeof info);
  EXPECT_EQ(sizeof(BITMAPINFOHEADER), info.biSize) << "header size (BITMAPINFOHEADER)";
  EXPECT_EQ(width, info.biWidth) << "width";
  EXPECT_EQ(height, info.biHeight) << "height (bottom-up rows)";
  EXPECT_EQ(1, info.biPlanes) << "planes";
  EXPECT_EQ(24, info.biBitCount) << "bits per pixel";
  EXPECT_EQ(static_cast<DWORD>(BI_RGB), info.biCompression) << "compression";
  DWORD pixels = ((width * 3 + 3) & ~3) * height;
  EXPECT_GE(res.size, info.biSize + pixels) << "resource bytes for " << width << " x " << height << " pixels";
}

TEST(SetupBitmaps, LogoIs64By64In24Bits) { ExpectBitmap(IDB_LOGO, 64, 64); }

TEST(SetupBitmaps, MenuPictureIs303By175In24Bits) { ExpectBitmap(IDB_MENU, 303, 175); }

// --- icon group 1 ------------------------------------------------------------------------

#pragma pack(push, 2)
struct GroupIconEntry {  // GRPICONDIRENTRY
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14, "GRPICONDIRENTRY is 14 bytes");

std::vector<GroupIconEntry> ReadIconGroup(const ResourceBytes& res) {
  std::vector<GroupIconEntry> entries;
  WORD header[3];  // reserved, type, count
  if (res.size < sizeof header) return entries;
  memcpy(header, res.data, sizeof header);
  for (WORD k = 0; k < header[2] && sizeof header + (k + 1) * sizeof(GroupIconEntry) <= res.size; ++k) {
    GroupIconEntry entry;
    memcpy(&entry, res.data + sizeof header + k * sizeof entry, sizeof entry);
    entries.push_back(entry);
  }
  return entries;
}

// One image of the group: there, as large as the group says, a DIB of the
// entry's size (twice as high: colours and mask) and bit count, and accepted by
// the system as an icon.
void ExpectIconImage(const GroupIconEntry& entry) {
  ResourceBytes image = FindOwnResource(RT_ICON, entry.id);
  ASSERT_NE(nullptr, image.data) << "icon image " << entry.id << " in language 2052 not found";
  EXPECT_EQ(entry.bytesInRes, image.size) << "image bytes: group entry against the resource";
  ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
  BITMAPINFOHEADER info;
  memcpy(&info, image.data, sizeof info);
  EXPECT_EQ(entry.width, info.biWidth) << "image width";
  EXPECT_EQ(2 * entry.height, info.biHeight) << "image height (colours and mask)";
  EXPECT_EQ(entry.bitCount, info.biBitCount) << "image bits per pixel";
  HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE, 0x00030000, entry.width,
                                        entry.height, LR_DEFAULTCOLOR);
  EXPECT_NE(nullptr, icon) << "CreateIconFromResourceEx, error " << GetLastError();
  if (icon != nullptr) DestroyIcon(icon);
}

TEST(SetupIcon, GroupHoldsNineImagesOf48_32_16PixelsIn4_8_32Bits) {
  ResourceBytes group = FindOwnResource(RT_GROUP_ICON, IDI_SETUP);
  ASSERT_NE(nullptr, group.data) << "icon group 1 in language 2052 not found";
  std::vector<GroupIconEntry> entries = ReadIconGroup(group);
  ASSERT_EQ(9u, entries.size()) << "images in the group";
  std::set<std::pair<int, int>> want, got;
  for (int size : {48, 32, 16}) {
    for (int bits : {4, 8, 32}) want.insert({size, bits});
  }
  for (const GroupIconEntry& entry : entries) {
    SCOPED_TRACE("icon image " + std::to_string(entry.id) + ": " + std::to_string(entry.width) + " px, " +
                 std::to_string(entry.bitCount) + " bpp");
    EXPECT_EQ(entry.width, entry.height) << "square";
    EXPECT_EQ(entry.bitCount == 4 ? 16 : 0, entry.colourCount) << "colour count (16 colours, or 0 for 256 and more)";
    EXPECT_EQ(1, entry.planes) << "planes";
    EXPECT_TRUE(got.insert({entry.width, entry.bitCount}).second) << "size and depth appear twice";
    ExpectIconImage(entry);
  }
  EXPECT_EQ(want, got) << "sizes and bit counts";
}

// Start-up loads it with LoadIconA(module, 1), without naming a language.
TEST(SetupIcon, LoadsFromTheProgramWithoutALanguage) {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SETUP));
  EXPECT_NE(nullptr, icon) << "LoadIconW(module, 1), error " << GetLastError();
}

// --- manifest and languages --------------------------------------------------------------

TEST(SetupManifest, AsksToRunAsTheInvokingUser) {
  ResourceBytes res = FindOwnResource(RT_MANIFEST, 1);
  ASSERT_NE(nullptr, res.data) << "manifest (type 24, id 1) in language 2052 not found";
  std::string text(reinterpret_cast<const char*>(res.data), res.size);
  EXPECT_NE(std::string::npos, text.find(R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)"))
      << "execution level; manifest is:\n"
      << text;
  EXPECT_EQ(std::string::npos, text.find("requireAdministrator")) << "manifest is:\n" << text;
  EXPECT_EQ(std::string::npos, text.find("highestAvailable")) << "manifest is:\n" << text;
  const char* systems[][2] = {{"Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
                              {"Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
                              {"Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
                              {"Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}};
  for (const auto& system : systems) {
    EXPECT_NE(std::string::npos, text.find(std::string("<supportedOS Id=\"") + system[1] + "\"/>"))
        << "supportedOS entry for " << system[0];
  }
}

struct ResourceName {
  std::string what;  // "type #14 name #1"
  WORD language;
};
using ResourceList = std::vector<ResourceName>;

std::string Name(LPCWSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
  return Utf8(name);
}

BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR out) {
  reinterpret_cast<ResourceList*>(out)->push_back({"type " + Name(type) + " name " + Name(name), language});
  return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR out) {
  EnumResourceLanguagesW(module, type, name, OnLanguage, out);
  return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR out) {
  EnumResourceNamesW(module, type, OnName, out);
  return TRUE;
}

// Nothing else (a toolchain's default manifest, say) sits beside ours in
// another language.
TEST(SetupResources, AreAllInChineseSimplifiedAndNoneElse) {
  ResourceList all;
  EnumResourceTypesW(GetModuleHandleW(nullptr), OnType, reinterpret_cast<LONG_PTR>(&all));
  EXPECT_FALSE(all.empty()) << "no resources found";
  for (const ResourceName& resource : all) {
    EXPECT_EQ(kChineseSimplified, resource.language) << "language of " << resource.what;
  }
}

}  // namespace
