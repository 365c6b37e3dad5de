// The acad folder's rules that need no machine: which release a product name names, composing TRUSTEDPATHS.
#include <gtest/gtest.h>

#include <string>

#include "acad/ReleaseTable.h"
#include "acad/TrustedPaths.h"
#include "text/AnsiText.h"

namespace {

// The lowest listed year first occurring after the first byte: one at offset 0 does not count, even where it
// appears again; Chinese text before the year leaves the digits single bytes at their offset.
TEST(ClassifyProductNameTest, TheLowestListedYearFirstOccurringAfterTheFirstByte) {
  const std::pair<const char*, int> cases[] = {{"2012 AutoCAD 2012", 0},
                                               {"2012 AutoCAD 2013", 2013},
                                               {"AutoCAD 2011 / 2010", 2010},
                                               {"AutoCAD 2027", 0},
                                               {"欧特克 AutoCAD 2014 简体中文版", 2014},
                                               {"AutoCAD 2006", 0},
                                               {"X2026", 2026},
                                               {"X2007", 2007},
                                               {"", 0}};
  for (const auto& [name, year] : cases) EXPECT_EQ(ClassifyProductName(name, 2026), year) << name;
  EXPECT_EQ(ClassifyProductName("AutoCAD 2013", acad::kLastWow6432Release), 0);
  EXPECT_EQ(ClassifyProductName("AutoCAD 2008", acad::kLastWow6432Release), 2008);
}

TEST(ComposeTrustedPathsTest, AMissingFolderIsAppendedAndOnlyAsciiLettersChangeCase) {
  EXPECT_EQ(ComposeTrustedPaths(u"C:\\Lib;D:\\Blocks", u"E:\\Tools\\Vellmark"),
            u"C:\\LIB;D:\\BLOCKS;E:\\TOOLS\\VELLMARK");
  // A list ending in ";" gets an empty entry before the folder.
  EXPECT_EQ(ComposeTrustedPaths(u"C:\\Lib;", u"E:\\V"), u"C:\\LIB;;E:\\V");
  // ö, ß, Hangul, CJK and a surrogate pair stay as they are (outside the assertions, whose literals are in 936).
  const std::u16string foreign = u"d:\\jörg\\straße;e:\\스케치\\工具;f:\\\U0001F3D7";
  const std::u16string upper = u"D:\\JöRG\\STRAßE;E:\\스케치\\工具;F:\\\U0001F3D7;G:\\工具\\V";
  EXPECT_EQ(ComposeTrustedPaths(foreign, u"g:\\工具\\v"), upper);
  const std::u16string letters = u"azAZ@[`{öÿ\U0001F3D7", upperLetters = u"AZAZ@[`{öÿ\U0001F3D7";
  EXPECT_EQ(ansi::UpperAscii(letters), upperLetters);
}

TEST(ComposeTrustedPathsTest, APresentFolderIsWrittenBackUpperCasedWithoutAppending) {
  EXPECT_EQ(ComposeTrustedPaths(u"c:\\tools\\vellmark\\...", u"C:\\Tools\\Vellmark"), u"C:\\TOOLS\\VELLMARK\\...");
  EXPECT_EQ(ComposeTrustedPaths(u"x:\\a;c:\\tools\\vellmark", u"C:\\Tools\\Vellmark"), u"X:\\A;C:\\TOOLS\\VELLMARK");
  EXPECT_EQ(ComposeTrustedPaths(u"c:\\tools\\vellmark\\;x:\\a", u"C:\\Tools\\Vellmark"),
            u"C:\\TOOLS\\VELLMARK\\;X:\\A");
}

// At most two bytes in code page 936 is no list: the folder replaces it, in its own case. A character the code
// page lacks counts as two bytes or more.
TEST(ComposeTrustedPathsTest, ShortValuesAreReplacedByTheFolderInItsOwnCase) {
  const char16_t* const shortValues[] = {u"", u";", u"ab", u"中", u"ö"};
  for (const char16_t* shortValue : shortValues)
    EXPECT_EQ(ComposeTrustedPaths(shortValue, u"E:\\Tools\\Vellmark"), u"E:\\Tools\\Vellmark");
  EXPECT_EQ(ComposeTrustedPaths(u"C:\\", u"E:\\V"), u"C:\\;E:\\V") << "three bytes is a list";
  EXPECT_EQ(ComposeTrustedPaths(u"中a", u"E:\\V"), u"中A;E:\\V");
  EXPECT_EQ(ComposeTrustedPaths(u"\u0080a", u"E:\\V"), u"\u0080A;E:\\V") << "U+0080 is two bytes, no ASCII";
  EXPECT_EQ(ComposeTrustedPaths(u"\U0001F3D7", u"E:\\V"), u"\U0001F3D7;E:\\V") << "a surrogate pair is kept";
}

// A longer folder that merely begins with ours does not trust it; "\..." trusts the folder and everything below;
// only ASCII letters compare without case.
TEST(ListsTrustedFolderTest, EntryByEntry) {
  const std::u16string folder = u"D:\\Tools\\Vellmark";
  const char16_t* const trusting[] = {u"d:\\tools\\VELLMARK", u"A;D:\\Tools\\Vellmark\\;B", u"d:\\tools\\...",
                                      u"D:\\..."};
  const char16_t* const notTrusting[] = {u"",
                                         u";;",
                                         u"D:\\Tools\\Vellmark2",
                                         u"D:\\Tools\\Vellmark\\Sub",
                                         u"X:\\D:\\Tools\\Vellmark",
                                         u"D:\\Too\\...",
                                         u"D:\\Tools\\Vellmark\\Sub\\..."};
  for (const char16_t* list : trusting) EXPECT_TRUE(ListsTrustedFolder(list, folder)) << &list - trusting;
  for (const char16_t* list : notTrusting) EXPECT_FALSE(ListsTrustedFolder(list, folder)) << &list - notTrusting;
  EXPECT_TRUE(ListsTrustedFolder(u"e:\\软件\\...", u"E:\\软件\\Vellmark"));
  const std::u16string upperUmlaut = u"D:\\JÖRG", lowerUmlaut = u"D:\\Jörg";
  EXPECT_FALSE(ListsTrustedFolder(upperUmlaut, lowerUmlaut));
}

// Taking the product folder back out: only entries naming it, in any letter case, with or without a trailing
// backslash; every other entry and character stays, and what the installer appended goes without a trace.
TEST(RemoveTrustedFolderTest, OnlyTheEntriesNamingTheFolderGo) {
  const std::u16string folder = u"E:\\工具\\Vellmark";
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"C:\\LIB;E:\\工具\\VELLMARK", u"C:\\LIB"},
      {u"e:\\工具\\vellmark\\;C:\\Lib;;E:\\工具\\Vellmark", u"C:\\Lib;"},
      {u"E:\\工具\\VELLMARK", u""},
      {u"E:\\工具\\Vellmark\\...;E:\\工具\\Vellmark2;E:\\工具",
       u"E:\\工具\\Vellmark\\...;E:\\工具\\Vellmark2;E:\\工具"},
      {u"D:\\Jörg\\\U0001F3D7;E:\\工具\\VELLMARK;F:\\스케치", u"D:\\Jörg\\\U0001F3D7;F:\\스케치"},
      {u"", u""}};
  for (const auto& [list, left] : cases) {
    bool removed = false;
    EXPECT_EQ(RemoveTrustedFolder(list, folder, &removed), left);
    EXPECT_EQ(removed, list != left);
    EXPECT_EQ(RemoveTrustedFolder(list, folder + u"\\", &removed), left) << "the folder named with its backslash";
  }
  for (const std::u16string before : {u"C:\\Lib;D:\\Blocks", u"C:\\Lib;", u"a;;b"}) {
    bool removed = false;
    EXPECT_EQ(RemoveTrustedFolder(ComposeTrustedPaths(before, folder), folder, &removed), ansi::UpperAscii(before));
    EXPECT_TRUE(removed);
  }
}

}  // namespace
