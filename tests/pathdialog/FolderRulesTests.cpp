// The picker's rules for a typed folder, which look at nothing but the text.
#include <gtest/gtest.h>

#include <string>

#include "pathdialog/FolderValidation.h"

namespace {

TEST(FolderNameTest, OrdinaryNamesAndDoubleByteCharactersPass) {
  for (const char* name :
       {"a", "Tools", "a b", "a.b", "a\tb", "a-b_c(1)", "#", "%x%", "工具", "\x81", "a\x81", "a\x01"})
    EXPECT_EQ(IsValidFolderName(name), 1) << name;
  // Trail bytes that look like "\" (昞 is 95 5C) or "|" (輡 is DD 7C) are no separators.
  ASSERT_EQ(std::string("昞輡"), "\x95\x5c\xdd\x7c");
  EXPECT_EQ(IsValidFolderName("a昞b"), 1);
  EXPECT_EQ(IsValidFolderName("a輡"), 1);
}

TEST(FolderNameTest, EmptyBlankOrDotEdgesAndForbiddenCharactersFail) {
  for (const char* name : {"", " ", ".", "..", "\t", " a", "a ", ".a", "a.", "\ta", "a\t", " 工具", "a\\"})
    EXPECT_EQ(IsValidFolderName(name), 0) << '[' << name << ']';
  for (const char c : std::string("\"*/:<>?\\|")) {
    EXPECT_EQ(IsValidFolderName(std::string("a") + c + "b"), 0) << c;
    EXPECT_EQ(IsValidFolderName(std::string(1, c) + "b"), 0) << c;
  }
}

TEST(CheckFolderPathTest, DriveRootedLevelsOfValidNames) {
  for (const char* path :
       {"C:\\", "Q:\\", "C:\\a\\b\\c", "c:\\tools", "z:\\x", "C:\\a b\\c.d", "D:\\工具", "D:\\昞\\輡", "D:\\a\x81"})
    EXPECT_EQ(CheckFolderPath(path), folder::kAccepted) << path;
  // No drive, or no backslash after it; then levels that are no valid names.
  for (const char* path : {"", "C", "C:", "C:a", "1:\\a", "?:\\a", "C:/Tools", "Tools", "\\Tools", "\\\\server\\share"})
    EXPECT_EQ(CheckFolderPath(path), folder::kInvalid) << path;
  for (const char* path : {" C:\\a", "C:\\a/b", "C:\\Tools\\", "C:\\a\\\\b", "C:\\\\a", "C:\\a..\\b", "C:\\ b",
                           "C:\\b ", "C:\\.\\b", "C:\\a:b"})
    EXPECT_EQ(CheckFolderPath(path), folder::kInvalid) << path;
}

// At most 259 characters, as Windows counts them: "C:\" and 256 Chinese ones are 515 bytes.
TEST(CheckFolderPathTest, AtMost259Characters) {
  std::string path = "C:\\" + std::string(200, 'a') + "\\" + std::string(55, 'b');
  ASSERT_EQ(path.size(), 259u);
  EXPECT_EQ(CheckFolderPath(path), folder::kAccepted);
  EXPECT_EQ(CheckFolderPath(path + "b"), folder::kInvalid);
  std::string chinese = "C:\\";
  for (int i = 0; i < 256; ++i) chinese += "构";
  EXPECT_EQ(CheckFolderPath(chinese), folder::kAccepted);
  EXPECT_EQ(CheckFolderPath(chinese + "构"), folder::kInvalid);
}

}  // namespace
