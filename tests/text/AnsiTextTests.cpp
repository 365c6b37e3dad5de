// Texts of code page 936: double-byte characters stay whole through case changes, searches and separator tests.
#include <gtest/gtest.h>

#include "text/AnsiText.h"

namespace {

using namespace ansi;

TEST(AnsiTextTest, UpperAsciiLeavesTrailBytesAlone) {
  // 癮 is B0 61: its trail byte is an 'a' that must not become 'A'
  EXPECT_EQ(UpperAscii("a癮b"), "A癮B");
  EXPECT_EQ(UpperAscii("c:\\工具\\vellmark"), "C:\\工具\\VELLMARK");
  EXPECT_EQ(UpperAscii(std::string("\xB0", 1)), std::string("\xB0", 1)) << "a lone lead byte at the end stays";
  const char16_t mixed[] = {u'd', u':', 0xF6, 0x80, 0xFF, 0x4E2D, 0},
                 upper[] = {u'D', u':', 0xF6, 0x80, 0xFF, 0x4E2D, 0};
  EXPECT_TRUE(UpperAscii(std::u16string(mixed)) == upper) << "UTF-16: ASCII letters only";
}

TEST(AnsiTextTest, CharLengthPairsLeadBytes) {
  const std::string text = "a中\x80";
  EXPECT_EQ(CharLength(text, 0), 1u);
  EXPECT_EQ(CharLength(text, 1), 2u);
  EXPECT_EQ(CharLength(text, 3), 1u) << "0x80 is a single-byte character (the euro sign)";
  EXPECT_EQ(CharLength(std::string("\xD6\0", 2), 0), 1u) << "a lead byte before NUL stands alone";
}

TEST(AnsiTextTest, FindMatchesOnlyAtCharacterBoundaries) {
  // 癮 is B0 61: "a" occurs inside it as its trail byte, but not as a character
  EXPECT_EQ(FindAtCharBoundary("癮", "a"), std::string::npos);
  EXPECT_EQ(FindAtCharBoundary("癮a", "a"), 2u);
  EXPECT_EQ(FindAtCharBoundary("C:\\LIB;D:\\TOOLS\\VELLMARK2", "D:\\TOOLS\\VELLMARK"), 7u);
  EXPECT_EQ(FindAtCharBoundary("abc", ""), 0u);
  EXPECT_EQ(FindAtCharBoundary("abc", "abcd"), std::string::npos);
}

TEST(AnsiTextTest, CaseInsensitiveEqualityComparesCharactersWhole) {
  EXPECT_TRUE(EqualsNoCase("setup.exe", "SetUp.EXE"));
  EXPECT_TRUE(EqualsNoCase("KAVTOR_HZ.SHX", "Kavtor_HZ.shx"));
  EXPECT_FALSE(EqualsNoCase("Kavtor_HZ.shx ", "Kavtor_HZ.shx"));
  // B0 61 and B0 41 are two different characters, not two cases of one.
  EXPECT_FALSE(EqualsNoCase("\xB0\x61", "\xB0\x41"));
  EXPECT_EQ(LowerAscii("ACAD.EXE癮"), "acad.exe癮");
}

TEST(AnsiTextTest, TrailingBackslashIsACharacterOfItsOwn) {
  std::string path = "D:\\Tools\\";
  RemoveTrailingBackslash(path);
  EXPECT_EQ(path, "D:\\Tools");
  RemoveTrailingBackslash(path);
  EXPECT_EQ(path, "D:\\Tools") << "only a backslash is removed";
  path = "D:\\\\";
  RemoveTrailingBackslash(path);
  EXPECT_EQ(path, "D:\\") << "one, and only one";
  // 0x81 0x5C ends in the backslash's byte but is one double-byte character.
  path = "D:\\\x81\x5C";
  RemoveTrailingBackslash(path);
  EXPECT_EQ(path, "D:\\\x81\x5C");
  EXPECT_FALSE(EndsWithChar("\x81\x5C", '\\'));
  EXPECT_TRUE(EndsWithChar("\x81\x5C\\", '\\'));
  EXPECT_TRUE(IsCharBoundary("a中b", 3));
  EXPECT_FALSE(IsCharBoundary("a中b", 2));
  EXPECT_TRUE(IsCharBoundary("ab", 2));
}

// The program's folder from its path: 誠 is D5 5C, a trail byte like a backslash; lengths count characters.
TEST(AnsiTextTest, LastCharacterAndLengthCountCharactersNotBytes) {
  ASSERT_EQ(std::string("誠"), "\xD5\x5C");
  EXPECT_EQ(FindLastChar("C:\\下载\\誠", '\\'), 7u);
  EXPECT_EQ(FindLastChar("C:\\a\\b.exe", '\\'), 4u);
  EXPECT_EQ(FindLastChar("誠誠", '\\'), std::string::npos);
  EXPECT_EQ(FindLastChar("a.b.c", '.'), 3u);
  EXPECT_EQ(FolderOf("C:\\下载\\誠") + "|" + NameOf("C:\\下载\\誠"), "C:\\下载|誠");
  EXPECT_EQ(FolderOf("誠.exe") + "|" + NameOf("誠.exe"), "|誠.exe");
  EXPECT_EQ(CharCount("C:\\结构"), 5u);
  EXPECT_EQ(CharCount(""), 0u);
  EXPECT_EQ(CharCount(std::string(130, 'a')), 130u);
}

TEST(AnsiTextTest, FormatHasNoLengthLimit) {
  const std::string long_text(5000, 'x');
  EXPECT_EQ(Format("%s\\%s", long_text.c_str(), "y").size(), 5002u);
  EXPECT_EQ(Format("V%d.0%d", 2025, 3), "V2025.03");
  EXPECT_EQ(Format("%s", ""), "");
}

}  // namespace
