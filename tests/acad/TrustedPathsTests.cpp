// Composing TRUSTEDPATHS: the presence test entry by entry and the upper-casing
// that leaves double-byte characters alone.
#include <gtest/gtest.h>

#include <string>

#include "acad/TrustedPaths.h"

namespace {

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
