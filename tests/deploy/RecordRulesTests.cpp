// The record of an installation as the uninstaller reads it back: every name whole, a second installation adding to
// the first, and nothing taken that this program did not write.
#include <gtest/gtest.h>

#include "deploy/InstallRecord.h"

namespace {

RecordEntry Entry(RecordEntry::Kind kind, const std::u16string& path, std::uint64_t size = 0, std::uint32_t flags = 0) {
  RecordEntry entry;
  entry.kind = kind;
  entry.path = path;
  entry.size = size;
  entry.lastWrite = size * 1000 + 7;
  entry.flags = flags;
  return entry;
}

std::string Bytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) bytes += static_cast<char>(unit & 0xFF), bytes += static_cast<char>(unit >> 8);
  return bytes;
}

TEST(InstallRecordTest, EveryKindComesBackWholeOutsideTheCodePageAndWithSeparatorsInNames) {
  InstallRecord record;
  record.Add(Entry(RecordEntry::kFile, u"说明.txt", 12));
  record.Add(Entry(RecordEntry::kSupport, u"C:\\AutoCAD 2008\\Drv\\pdfplot9.hdi", 18446744073709551615u));
  record.Add(Entry(RecordEntry::kTrusted, u"Software\\Autodesk\\Jörg\t%\n\U0001F3D7\\Variables", 0, 4294967295u));
  record.Add(Entry(RecordEntry::kKey, u"SOFTWARE\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804\\Applications"));
  const std::string bytes = FormatRecord(record);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16LE with its mark, as Notepad reads it";
  const std::string escaped = Bytes(u"Jörg%09%25%0A\U0001F3D7");
  EXPECT_NE(bytes.find(escaped), std::string::npos);
  EXPECT_NE(bytes.find(Bytes(u"C:\\AutoCAD 2008\\Drv")), std::string::npos) << "a blank is no control character";
  InstallRecord back;
  ASSERT_TRUE(ParseRecord(bytes, back));
  ASSERT_EQ(back.Entries().size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    const RecordEntry &a = record.Entries()[i], &b = back.Entries()[i];
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.path, b.path);
    if (a.kind == RecordEntry::kFile || a.kind == RecordEntry::kSupport) {
      EXPECT_EQ(std::make_pair(a.size, a.lastWrite), std::make_pair(b.size, b.lastWrite)) << i;
    }
    EXPECT_EQ(a.flags, b.flags);
  }
  EXPECT_EQ(FormatRecord(back), bytes);
}

// A second installation into the folder: a file copied again takes its new size and time, one path in any letter
// case is one entry, and what a trusted key first lacked stays known.
TEST(InstallRecordTest, ASecondInstallationAddsToTheFirst) {
  InstallRecord first, second;
  first.Add(Entry(RecordEntry::kFile, u"Kavtor2015.ARX", 10));
  first.Add(Entry(RecordEntry::kTrusted, u"Zed\\VARIABLES", 0, RecordEntry::kCreatedValue));
  second.Add(Entry(RecordEntry::kFile, u"KAVTOR2015.arx", 20));
  second.Add(Entry(RecordEntry::kFile, u"Kavtor2017.ARX", 30));
  second.Add(Entry(RecordEntry::kTrusted, u"zed\\variables", 0, 0));
  second.Add(Entry(RecordEntry::kSupport, u"Kavtor2015.ARX", 5));  // another kind: another entry
  first.Merge(second);
  ASSERT_EQ(first.Entries().size(), 4u);
  EXPECT_EQ(first.Find(RecordEntry::kFile, u"kavtor2015.ARX")->size, 20u);
  EXPECT_EQ(first.Find(RecordEntry::kTrusted, u"Zed\\Variables")->flags, RecordEntry::kCreatedValue);
  EXPECT_EQ(first.Find(RecordEntry::kKey, u"Zed\\Variables"), nullptr);
  EXPECT_EQ(first.Find(RecordEntry::kSupport, u"Kavtor2015.ARX")->size, 5u);
}

// What this program did not write is refused whole, so that no half-understood record decides a removal.
TEST(InstallRecordTest, ARecordThisProgramDidNotWriteIsRefusedWhole) {
  InstallRecord record;
  record.Add(Entry(RecordEntry::kKey, u"Kept"));
  const std::u16string lines[] = {u"file\tA.arx\t1",
                                  u"file\tA.arx\t1\t2\t3",
                                  u"file\tA.arx\tx\t2",
                                  u"file\t\t1\t2",
                                  u"trusted\tK\t4294967296",
                                  u"key\tK%4",
                                  u"key\tK%GG",
                                  u"key\tK%4G",
                                  u"folder\tC:\\",
                                  u"file\tA\t99999999999999999999\t1",
                                  u"file\tA\t\t1",
                                  u"file\tA\t000000000000000000001\t1"};
  for (const std::u16string& line : lines) {
    EXPECT_FALSE(ParseRecord(Bytes(u"\uFEFFkey\tFine\r\n" + line + u"\r\n"), record))
        << std::string(line.begin(), line.end());
    EXPECT_NE(record.Find(RecordEntry::kKey, u"Kept"), nullptr) << "left as it was";
  }
  EXPECT_FALSE(ParseRecord(Bytes(u"key\tK\r\n"), record)) << "no byte-order mark";
  EXPECT_FALSE(ParseRecord(Bytes(u"\uFEFFkey\tK") + "x", record)) << "an odd length";
  EXPECT_FALSE(ParseRecord("", record));
  EXPECT_TRUE(ParseRecord(Bytes(u"\uFEFF\r\nkey\tK\n\n"), record)) << "empty lines and bare line feeds";
  EXPECT_EQ(record.Entries().size(), 1u);
}

}  // namespace
