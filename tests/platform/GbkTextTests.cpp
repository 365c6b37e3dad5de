// GBK text helpers: the double-byte rules the ANSI calls follow, and the
// conversions and upcasing the registry model compares names with.
// (The source is UTF-8 and compiled with -fexec-charset=GBK: narrow literals
// are GBK bytes, u"" literals UTF-16.)
#include <gtest/gtest.h>

#include "platform/memory/GbkText.h"

namespace {

using namespace mem::gbk;

TEST(GbkText, ConversionsRoundTrip) {
  std::u16string wide;
  ASSERT_TRUE(ToUtf16("数据\x80", &wide));
  EXPECT_EQ(wide, u"数据€");
  std::string back;
  ASSERT_TRUE(FromUtf16(wide, &back));
  EXPECT_EQ(back, "数据\x80");

  std::string utf8;
  ASSERT_TRUE(ToUtf8("中文", &utf8));
  EXPECT_EQ(utf8, "\xE4\xB8\xAD\xE6\x96\x87");
  ASSERT_TRUE(FromUtf8(utf8, &back));
  EXPECT_EQ(back, "中文");

  // the reference-out forms agree
  ASSERT_TRUE(mem::GbkToUtf8("中文", utf8));
  EXPECT_EQ(utf8, "\xE4\xB8\xAD\xE6\x96\x87");
}

TEST(GbkText, ConversionsRefuseWhatHasNoCounterpart) {
  std::u16string wide;
  EXPECT_FALSE(ToUtf16("\xFF", &wide)) << "0xFF is no GBK character";
  EXPECT_FALSE(ToUtf16("\xD6", &wide)) << "a lead byte without its trail";
  std::string gbk;
  EXPECT_FALSE(FromUtf16(u"\u00e9\U0001F600", &gbk)) << "an emoji has no GBK form";
  EXPECT_FALSE(FromUtf8("\xC0\xAF", &gbk)) << "an overlong UTF-8 form";
  EXPECT_FALSE(Utf8ToUtf16("\xED\xA0\x80", &wide)) << "an encoded surrogate";
  std::string utf8;
  EXPECT_FALSE(Utf16ToUtf8(std::u16string(1, u'\xD800'), &utf8)) << "a lone surrogate";
}

TEST(GbkText, LenientConversionKeepsInvalidBytesDistinct) {
  EXPECT_EQ(ToUtf16Lenient("ab"), u"ab");
  EXPECT_EQ(ToUtf16Lenient("中"), u"中");
  EXPECT_NE(ToUtf16Lenient("\xFF"), ToUtf16Lenient("\xFE"));
  EXPECT_EQ(ToUtf16Lenient("a\xFF"
                           "b"),
            (std::u16string{u'a', static_cast<char16_t>(0xDCFF), u'b'}));
}

TEST(GbkText, UpcaseCoversTheLettersOfCodePage936) {
  // (kept out of the EXPECT macros: their spelled-out text must be GBK, and É is not)
  const std::u16string cases[][2] = {
      {u"abz_09", u"ABZ_09"}, {u"éü", u"ÉÜ"},       {u"āǎēěňü", u"ĀǍĒĚŇÜ"}, {u"αβς", u"ΑΒΣ"},
      {u"дом ё", u"ДОМ Ё"},   {u"ａｚⅰ", u"ＡＺⅠ"}, {u"中文", u"中文"},
  };
  for (const auto& c : cases) EXPECT_EQ(Upcase(c[0]), c[1]);
}

TEST(GbkText, RegistryNameKeyOrdersLikeWindows) {
  // upcased UTF-16 units, ordinal: "_" (0x5F) after the letters, a prefix first
  EXPECT_LT(RegistryNameKey("a1"), RegistryNameKey("b"));
  EXPECT_LT(RegistryNameKey("B2"), RegistryNameKey("_x"));
  EXPECT_LT(RegistryNameKey("A"), RegistryNameKey("a1"));
  EXPECT_EQ(RegistryNameKey("Software"), RegistryNameKey("SOFTWARE"));
  // 中 U+4E2D before 啊 U+554A, although GBK has D6D0 after B0A1
  EXPECT_LT(RegistryNameKey("中"), RegistryNameKey("啊"));
}

}  // namespace
