// .reg fixtures: reading regedit's format (UTF-16LE with BOM, UTF-8 with or
// without BOM) into the in-memory registry, and writing it back out.
// Narrow literals are GBK bytes (-fexec-charset=GBK); the .reg texts in this file
// are written as u8"" literals, i.e. the UTF-8 a fixture file holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/memory/FaultInjector.h"
#include "platform/memory/GbkText.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/RegFixture.h"

namespace {

using mem::MemoryRegistry;
using mem::RegFileError;

// u8"" literals stay UTF-8 whatever the execution character set (C++17: plain chars).
std::string Utf8(const char* text) { return text; }

// The UTF-16LE-with-BOM form of a UTF-8 text, as regedit writes files.
std::string Utf16LeFile(const std::string& utf8) {
  std::u16string wide;
  EXPECT_TRUE(mem::gbk::Utf8ToUtf16(utf8, &wide));
  std::string bytes = "\xFF\xFE";
  for (char16_t c : wide) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::string ReadFixture(const char* name) {
  std::ifstream file(std::string(VM_FIXTURES_DIR) + "/" + name, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class RegFixtureTest : public ::testing::Test {
 protected:
  // Loads and expects success, with the error in the message otherwise.
  void Load(const std::string& bytes) {
    RegFileError error;
    ASSERT_TRUE(mem::LoadRegFile(reg, bytes, &error)) << "line " << error.line << ": " << error.reason;
  }

  // Loads a text that must be refused at `line`; the registry must stay as it was.
  void ExpectRefused(const std::string& bytes, std::size_t line, const std::string& reasonPart) {
    const std::string before = reg.Export();
    RegFileError error;
    EXPECT_FALSE(mem::LoadRegFile(reg, bytes, &error));
    EXPECT_EQ(error.line, line) << error.reason;
    EXPECT_NE(error.reason.find(reasonPart), std::string::npos) << error.reason;
    EXPECT_EQ(reg.Export(), before) << "a refused file must change nothing";
  }

  mem::FaultInjector faults;
  MemoryRegistry reg{faults};
};

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

TEST_F(RegFixtureTest, LoadsTheSampleFixture) {
  const std::string text = ReadFixture("autocad_sample.reg");
  ASSERT_FALSE(text.empty()) << "tests/fixtures/autocad_sample.reg not found";
  Load(text);
  const std::string install = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R17.0\\ACAD-5001:804";
  EXPECT_EQ(reg.GetString(install, "ProductName"), "AutoCAD 2007 - 简体中文 (Simplified Chinese)");
  EXPECT_EQ(reg.GetString(install, "AcadLocation"), "C:\\Program Files\\AutoCAD 2007");
  const std::string r24 = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804";
  EXPECT_EQ(reg.GetValue(r24, "Release"), (MemoryRegistry::Value{plat::kRegDword, std::string("\x18\0\0\0", 4)}));
  EXPECT_EQ(reg.GetValue(r24, "SupportPath"),
            (MemoryRegistry::Value{plat::kRegExpandSz, std::string("%ProgramFiles%\0", 15)}));
  EXPECT_EQ(reg.GetString("HKEY_CURRENT_USER\\Software\\Autodesk\\AutoCAD\\R24.0\\ACAD-4101:804\\Profiles\\"
                          "<<未命名配置>>\\Variables",
                          "TRUSTEDPATHS"),
            "C:\\Lib;D:\\Blocks");
}

TEST_F(RegFixtureTest, AllThreeEncodingsLoadTheSame) {
  const std::string utf8 = ReadFixture("autocad_sample.reg");
  Load(utf8);
  const std::string expected = reg.Export();
  for (const std::string& bytes : {Utf16LeFile(utf8), "\xEF\xBB\xBF" + utf8}) {
    MemoryRegistry other(faults);
    RegFileError error;
    ASSERT_TRUE(mem::LoadRegFile(other, bytes, &error)) << "line " << error.line << ": " << error.reason;
    EXPECT_EQ(other.Export(), expected);
  }
}

TEST_F(RegFixtureTest, ChineseNamesAndTextsBecomeGbk) {
  Load(
      Utf8(u8"Windows Registry Editor Version 5.00\n"
           u8"[HKEY_CURRENT_USER\\软件\\中文键]\n"
           u8"\"名称\"=\"数据\"\n"
           u8"@=\"默认\"\n"));
  EXPECT_EQ(reg.SubKeyNames("HKEY_CURRENT_USER\\软件"), std::vector<std::string>{"中文键"});
  EXPECT_EQ(reg.GetValue("HKEY_CURRENT_USER\\软件\\中文键", "名称"),
            (MemoryRegistry::Value{plat::kRegSz, std::string("数据") + '\0'}));
  EXPECT_EQ(reg.GetString("HKEY_CURRENT_USER\\软件\\中文键", ""), "默认");
}

TEST_F(RegFixtureTest, StringPayloadsInHexAreUtf16AndBecomeGbk) {
  // hex(2) "%A%\中" and hex(7) "a","中" in UTF-16LE; hex(1) a REG_SZ without its NUL
  Load(kHeader +
       "[HKEY_CURRENT_USER\\K]\r\n"
       "\"expand\"=hex(2):25,00,41,00,25,00,5c,00,2d,4e,00,00\r\n"
       "\"multi\"=hex(7):61,00,00,00,2d,4e,00,00,00,00\r\n"
       "\"bare\"=hex(1):61,00,62,00\r\n");
  EXPECT_EQ(reg.GetValue("HKCU\\K", "expand"),
            (MemoryRegistry::Value{plat::kRegExpandSz, std::string("%A%\\中") + '\0'}));
  EXPECT_EQ(reg.GetValue("HKCU\\K", "multi"), (MemoryRegistry::Value{plat::kRegMultiSz, std::string("a\0中\0\0", 6)}));
  EXPECT_EQ(reg.GetValue("HKCU\\K", "bare"), (MemoryRegistry::Value{plat::kRegSz, "ab"}));
}

TEST_F(RegFixtureTest, DwordBinaryAndOtherTypes) {
  Load(kHeader +
       "[HKEY_LOCAL_MACHINE\\K]\r\n"
       "\"d\"=dword:0000abcd\r\n"
       "\"short\"=dword:2\r\n"
       "\"b\"=hex:de,ad,be,ef\r\n"
       "\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
       "\"none\"=hex(0):\r\n"
       "\"empty\"=hex:\r\n");
  EXPECT_EQ(reg.GetValue("HKLM\\K", "d"), (MemoryRegistry::Value{plat::kRegDword, std::string("\xcd\xab\0\0", 4)}));
  EXPECT_EQ(reg.GetValue("HKLM\\K", "short"), (MemoryRegistry::Value{plat::kRegDword, std::string("\x02\0\0\0", 4)}));
  EXPECT_EQ(reg.GetValue("HKLM\\K", "b"), (MemoryRegistry::Value{plat::kRegBinary, "\xde\xad\xbe\xef"}));
  EXPECT_EQ(reg.GetValue("HKLM\\K", "q"), (MemoryRegistry::Value{11, std::string("\x01\0\0\0\0\0\0\0", 8)}));
  EXPECT_EQ(reg.GetValue("HKLM\\K", "none"), (MemoryRegistry::Value{plat::kRegNone, ""}));
  EXPECT_EQ(reg.GetValue("HKLM\\K", "empty"), (MemoryRegistry::Value{plat::kRegBinary, ""}));
}

TEST_F(RegFixtureTest, EscapesCommentsBlankLinesAndContinuations) {
  Load(kHeader +
       "; a comment\r\n"
       "   ; an indented comment\r\n"
       "\r\n"
       "[HKEY_CURRENT_USER\\K]\r\n"
       "\"a \\\"quoted\\\" \\\\ name\"=\"C:\\\\Tools\\\\\"\r\n"
       "\"long\"=hex:01,02,\\\r\n"
       "  03,04,\\\r\n"
       "    05\r\n"
       "\r\n");
  EXPECT_EQ(reg.GetString("HKCU\\K", "a \"quoted\" \\ name"), "C:\\Tools\\");
  EXPECT_EQ(reg.GetValue("HKCU\\K", "long"), (MemoryRegistry::Value{plat::kRegBinary, "\x01\x02\x03\x04\x05"}));
}

TEST_F(RegFixtureTest, DeletionSectionsAndValues) {
  reg.SetString("HKCU\\Old\\Sub", "v", "x");
  reg.SetString("HKCU\\Keep", "gone", "x");
  reg.SetString("HKCU\\Keep", "stays", "x");
  Load(kHeader +
       "[-HKEY_CURRENT_USER\\Old]\r\n"
       "[-HKEY_CURRENT_USER\\NeverWas]\r\n"
       "[HKEY_CURRENT_USER\\Keep]\r\n"
       "\"gone\"=-\r\n"
       "[HKEY_CURRENT_USER\\Later\\Sub]\r\n"
       "[-HKEY_CURRENT_USER\\Later]\r\n");
  EXPECT_FALSE(reg.KeyExists("HKCU\\Old"));
  EXPECT_FALSE(reg.KeyExists("HKCU\\Later"));
  EXPECT_EQ(reg.ValueNames("HKCU\\Keep"), std::vector<std::string>{"stays"});
}

TEST_F(RegFixtureTest, MalformedTextIsRefusedWithItsLine) {
  reg.SetString("HKCU\\Existing", "v", "x");
  const std::string k = "[HKEY_CURRENT_USER\\K]\r\n";
  // every case loads a key first: a refusal must not leave it behind
  ExpectRefused("REGEDIT4\r\n", 1, "first line");
  ExpectRefused("", 1, "first line");
  ExpectRefused(kHeader + "\"v\"=\"x\"\r\n", 3, "must follow a [key]");
  ExpectRefused(kHeader + k + "[HKEY_CLASSES_ROOT\\K]\r\n", 4, "HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER");
  ExpectRefused(kHeader + k + "[HKEY_CURRENT_USER\\K\r\n", 4, "end with ']'");
  ExpectRefused(kHeader + k + "[HKEY_CURRENT_USER\\\\K]\r\n", 4, "empty name");
  ExpectRefused(kHeader + k + "[HKEY_CURRENT_USER\\" + std::string(256, 'n') + "]\r\n", 4, "255");
  ExpectRefused(kHeader + k + "\"v\"=\"unterminated\r\n", 4, "closing quote");
  ExpectRefused(kHeader + k + "\"v\"=\"C:\\Tools\"\r\n", 4, "backslash");
  ExpectRefused(kHeader + k + "\"v\"=\"x\" trailing\r\n", 4, "after the closing quote");
  ExpectRefused(kHeader + k + "\"v\" \"x\"\r\n", 4, "expected '='");
  ExpectRefused(kHeader + k + "\"v\"=dword:123456789\r\n", 4, "dword");
  ExpectRefused(kHeader + k + "\"v\"=dword:xyz\r\n", 4, "dword");
  ExpectRefused(kHeader + k + "\"v\"=hex:01,,02\r\n", 4, "empty byte");
  ExpectRefused(kHeader + k + "\"v\"=hex:01,02,\r\n", 4, "ends with a comma");
  ExpectRefused(kHeader + k + "\"v\"=hex:100\r\n", 4, "1 or 2 hex digits");
  ExpectRefused(kHeader + k + "\"v\"=hex(zz):00\r\n", 4, "hex(N)");
  ExpectRefused(kHeader + k + "\"v\"=hex(2):41\r\n", 4, "odd number");
  ExpectRefused(kHeader + k + "\"v\"=hex(2):3d,d8,00,de,00,00\r\n", 4, "code page 936");
  ExpectRefused(kHeader + k + "\"v\"=hex:01,\\\r\n  02,\\\r\n  zz\r\n", 6, "hex digits");
  ExpectRefused(kHeader + k + "\"v\"=hex:01,\\", 4, "past the end");
  ExpectRefused(kHeader + k + "\"v\"=str:\"x\"\r\n", 4, "unknown data");
  ExpectRefused(kHeader + k + "garbage\r\n", 4, "expected a [key]");
  ExpectRefused(kHeader + "[-HKEY_CURRENT_USER\\K]\r\n\"v\"=\"x\"\r\n", 4, "deletion");
  ExpectRefused(Utf8(u8"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\\U0001F600]\n"), 2, "code page 936");
  ExpectRefused("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\\xC0\xAF]\n", 2, "UTF-8");
  ExpectRefused(std::string("\xFF\xFE\x57", 3), 0, "odd number of bytes");
  ExpectRefused(std::string("\xFE\xFF\x00\x57", 4), 0, "big-endian");
  std::string deep = "[HKEY_CURRENT_USER";
  for (int i = 0; i < 513; ++i) deep += "\\d";
  ExpectRefused(kHeader + deep + "]\r\n", 3, "512");
  EXPECT_TRUE(reg.KeyExists("HKCU\\Existing"));
}

TEST_F(RegFixtureTest, ArbitraryBytesNeverCrashAndRefusalsChangeNothing) {
  // A small deterministic fuzz over mutations of the sample (the real fuzzer comes later).
  const std::string sample = Utf16LeFile(ReadFixture("autocad_sample.reg"));
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 500; ++round) {
    std::string bytes = round % 2 ? sample : ReadFixture("autocad_sample.reg");
    for (int edits = next() % 4 + 1; edits > 0 && !bytes.empty(); --edits) {
      const std::size_t at = next() % bytes.size();
      switch (next() % 3) {
        case 0:
          bytes[at] = static_cast<char>(next());
          break;
        case 1:
          bytes.erase(at, next() % 8);
          break;
        default:
          bytes.insert(at, 1, "\\\",[]\r\n-=@:"[next() % 12]);
          break;
      }
    }
    MemoryRegistry fresh(faults);
    const std::string before = fresh.Export();
    RegFileError error;
    if (!mem::LoadRegFile(fresh, bytes, &error)) {
      EXPECT_EQ(fresh.Export(), before) << "round " << round;
      EXPECT_FALSE(error.reason.empty());
    }
  }
}

TEST_F(RegFixtureTest, WriterProducesWhatRegeditWrites) {
  reg.SetString("HKCU\\Software\\K", "", "default");
  reg.SetDword("HKCU\\Software\\K", "d", 0x18);
  std::string bytes;
  ASSERT_TRUE(mem::WriteRegFile(reg, "HKEY_CURRENT_USER\\Software", &bytes));
  EXPECT_EQ(bytes, Utf16LeFile("Windows Registry Editor Version 5.00\r\n"
                               "\r\n"
                               "[HKEY_CURRENT_USER\\Software]\r\n"
                               "\r\n"
                               "[HKEY_CURRENT_USER\\Software\\K]\r\n"
                               "@=\"default\"\r\n"
                               "\"d\"=dword:00000018\r\n"));
}

TEST_F(RegFixtureTest, WriteThenReadGivesTheSameRegistry) {
  Load(ReadFixture("autocad_sample.reg"));
  reg.SetString("HKCU\\软件\\中文键", "名称", "数据 C:\\工具");
  reg.SetString("HKCU\\Quotes", "a \"b\" \\c", "x\"y\\z");
  reg.SetString("HKCU\\Quotes", "", "");
  reg.SetValue("HKCU\\Strings", "noNul", plat::kRegSz, "abc");
  reg.SetValue("HKCU\\Strings", "embedded", plat::kRegSz, std::string("a\0b\0", 4));
  reg.SetValue("HKCU\\Strings", "lines", plat::kRegSz, std::string("one\r\ntwo\0", 9));
  reg.SetString("HKCU\\Strings", "expand", "%中%", plat::kRegExpandSz);
  reg.SetValue("HKCU\\Strings", "multi", plat::kRegMultiSz, std::string("a\0中\0\0", 6));
  reg.SetValue("HKCU\\Binary", "long", plat::kRegBinary, std::string(300, '\x5a'));
  reg.SetValue("HKCU\\Binary", "dwordOfThree", plat::kRegDword, "abc");
  reg.SetValue("HKCU\\Binary", "qword", 11, std::string(8, '\x01'));
  reg.CreateKey("HKLM\\Empty\\Keys\\Too");
  std::string bytes;
  RegFileError error;
  ASSERT_TRUE(mem::WriteRegFile(reg, "", &bytes, &error)) << error.reason;

  MemoryRegistry back(faults);
  ASSERT_TRUE(mem::LoadRegFile(back, bytes, &error)) << "line " << error.line << ": " << error.reason;
  EXPECT_EQ(back.Export(), reg.Export());
}

TEST_F(RegFixtureTest, WriterRefusesWhatAFileCannotHold) {
  reg.SetValue("HKCU\\K", "v", plat::kRegSz, "\xFF");
  std::string bytes;
  RegFileError error;
  EXPECT_FALSE(mem::WriteRegFile(reg, "HKCU\\K", &bytes, &error));
  EXPECT_NE(error.reason.find("not valid GBK"), std::string::npos) << error.reason;
  EXPECT_FALSE(mem::WriteRegFile(reg, "HKCU\\Missing", &bytes, &error));
  MemoryRegistry other(faults);
  other.CreateKey("HKCU\\line\nbreak");
  EXPECT_FALSE(mem::WriteRegFile(other, "", &bytes, &error));
  EXPECT_NE(error.reason.find("line break"), std::string::npos) << error.reason;
}

}  // namespace
