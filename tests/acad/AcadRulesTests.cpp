// The rules of the acad folder that need no machine: which release a product
// name names, composing TRUSTEDPATHS, and how a failure is told.
#include <gtest/gtest.h>

#include <string>

#include "acad/AcadSetup.h"
#include "acad/TrustedPaths.h"

namespace {

TEST(ClassifyProductNameTest, TheLowestListedYearFirstOccurringAfterTheFirstByte) {
  // The year at offset 0 does not count, even where it appears again.
  EXPECT_EQ(ClassifyProductName("2012 AutoCAD 2012", 2026), 0);
  EXPECT_EQ(ClassifyProductName("2012 AutoCAD 2013", 2026), 2013);
  // The lowest listed year wins, not the first in the text.
  EXPECT_EQ(ClassifyProductName("AutoCAD 2011 / 2010", 2026), 2010);
  // Chinese text before the year: the digits are single bytes at their offset.
  EXPECT_EQ(ClassifyProductName("欧特克 AutoCAD 2014 简体中文版", 2026), 2014);
  EXPECT_EQ(ClassifyProductName("AutoCAD 2013", acad::kLastWow6432Release), 0);
  EXPECT_EQ(ClassifyProductName("AutoCAD 2008", acad::kLastWow6432Release), 2008);
  EXPECT_EQ(ClassifyProductName("AutoCAD 2027", 2026), 0);
  EXPECT_EQ(ClassifyProductName("AutoCAD 2006", 2026), 0);
  EXPECT_EQ(ClassifyProductName("X2026", 2026), 2026);
  EXPECT_EQ(ClassifyProductName("X2007", 2026), 2007);
  EXPECT_EQ(ClassifyProductName("", 2026), 0);
}

TEST(DescribeFailureTest, WhatWentWrongTheItemAndTheCode) {
  EXPECT_EQ(DescribeFailure({Failure::kFileNotCopied, "C:\\A\\Fonts\\Kavtor_EN.shx", 5}),
            "无法复制文件 C:\\A\\Fonts\\Kavtor_EN.shx（错误 5）");
  EXPECT_EQ(DescribeFailure({Failure::kValueNotWritten, "HKEY_CURRENT_USER\\X\\TRUSTEDPATHS", 1018}),
            "无法写入注册表值 HKEY_CURRENT_USER\\X\\TRUSTEDPATHS（错误 1018）");
  EXPECT_EQ(DescribeFailure({Failure::kKeyNotListed, "K", 6}), "无法列出注册表项的子项 K（错误 6）");
  EXPECT_EQ(DescribeFailure({Failure::kValueNotRead, "V", 2}), "无法读取注册表值 V（错误 2）");
  EXPECT_EQ(DescribeFailure({Failure::kKeyNotOpened, "K", 5}), "无法打开注册表项 K（错误 5）");
}

TEST(ComposeTrustedPathsTest, AppendsAMissingFolderUpperCased) {
  EXPECT_EQ(ComposeTrustedPaths("C:\\Lib;D:\\Blocks", "E:\\Tools\\Vellmark"), "C:\\LIB;D:\\BLOCKS;E:\\TOOLS\\VELLMARK");
  // A list ending in ";" gets an empty entry before the folder.
  EXPECT_EQ(ComposeTrustedPaths("C:\\Lib;", "E:\\V"), "C:\\LIB;;E:\\V");
}

TEST(ComposeTrustedPathsTest, PresentFolderIsWrittenBackUpperCasedWithoutAppending) {
  EXPECT_EQ(ComposeTrustedPaths("c:\\tools\\vellmark\\...", "C:\\Tools\\Vellmark"), "C:\\TOOLS\\VELLMARK\\...");
  EXPECT_EQ(ComposeTrustedPaths("x:\\a;c:\\tools\\vellmark", "C:\\Tools\\Vellmark"), "X:\\A;C:\\TOOLS\\VELLMARK");
  EXPECT_EQ(ComposeTrustedPaths("c:\\tools\\vellmark\\;x:\\a", "C:\\Tools\\Vellmark"), "C:\\TOOLS\\VELLMARK\\;X:\\A");
}

TEST(ComposeTrustedPathsTest, ShortValuesAreReplacedByTheFolderInItsOwnCase) {
  EXPECT_EQ(ComposeTrustedPaths("", "E:\\Tools\\Vellmark"), "E:\\Tools\\Vellmark");
  EXPECT_EQ(ComposeTrustedPaths(";", "E:\\Tools\\Vellmark"), "E:\\Tools\\Vellmark");
  EXPECT_EQ(ComposeTrustedPaths("中", "E:\\Tools\\Vellmark"), "E:\\Tools\\Vellmark");
  EXPECT_EQ(ComposeTrustedPaths("C:\\", "E:\\V"), "C:\\;E:\\V") << "three bytes is a list";
}

TEST(ListsTrustedFolderTest, EntryByEntry) {
  const std::string folder = "D:\\Tools\\Vellmark";
  // A longer folder that merely begins with ours does not trust it.
  EXPECT_FALSE(ListsTrustedFolder("D:\\Tools\\Vellmark2", folder));
  EXPECT_FALSE(ListsTrustedFolder("D:\\Tools\\Vellmark\\Sub", folder));
  EXPECT_FALSE(ListsTrustedFolder("X:\\D:\\Tools\\Vellmark", folder));
  EXPECT_TRUE(ListsTrustedFolder("d:\\tools\\VELLMARK", folder));
  EXPECT_TRUE(ListsTrustedFolder("A;D:\\Tools\\Vellmark\\;B", folder));
  // "\..." trusts the folder and everything below it.
  EXPECT_TRUE(ListsTrustedFolder("d:\\tools\\...", folder));
  EXPECT_TRUE(ListsTrustedFolder("D:\\...", folder));
  EXPECT_FALSE(ListsTrustedFolder("D:\\Too\\...", folder));
  EXPECT_FALSE(ListsTrustedFolder("D:\\Tools\\Vellmark\\Sub\\...", folder));
  EXPECT_FALSE(ListsTrustedFolder("", folder));
  EXPECT_FALSE(ListsTrustedFolder(";;", folder));
}

TEST(ListsTrustedFolderTest, DoubleByteCharactersAreComparedWhole) {
  // 0x81 0x61: a double-byte character whose trail byte is the letter "a".
  const std::string lowerTrail = "D:\\\x81\x61\\x";
  EXPECT_EQ(ComposeTrustedPaths("C:\\lib", lowerTrail), "C:\\LIB;D:\\\x81\x61\\X");
  EXPECT_FALSE(ListsTrustedFolder("D:\\\x81\x41\\x", lowerTrail)) << "a different character, not another case";
  // 0x81 0x5C: a character whose trail byte is the backslash; it is no trailing separator.
  EXPECT_FALSE(ListsTrustedFolder("D:\\\x81\x5C", "D:\\\x81"));
  EXPECT_TRUE(ListsTrustedFolder("D:\\\x81\x5C", "D:\\\x81\x5C"));
  EXPECT_TRUE(ListsTrustedFolder("e:\\软件\\...", "E:\\软件\\Vellmark"));
  EXPECT_EQ(ComposeTrustedPaths("d:\\软件", "E:\\工具\\Vellmark"), "D:\\软件;E:\\工具\\VELLMARK");
}

TEST(ComposeTrustedPathsTest, LongValuesAreKeptWhole) {
  std::string value;
  while (value.size() < (1u << 20)) value += "C:\\Some\\Trusted\\Folder" + std::to_string(value.size()) + ";";
  value.pop_back();
  const std::string composed = ComposeTrustedPaths(value, "E:\\V");
  EXPECT_EQ(composed.size(), value.size() + 5);
  EXPECT_EQ(composed.substr(composed.size() - 5), ";E:\\V");
  EXPECT_EQ(composed.compare(0, 16, "C:\\SOME\\TRUSTED\\"), 0);
}

}  // namespace
