// Validation of typed install folders and creation of their missing levels, over
// the in-memory file system and window system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pathdialog/FolderValidation.h"
#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryWindows.h"
#include "tests/pathdialog/RecordingFileSystem.h"

namespace {

constexpr plat::HWnd kOwner = 0x4242;
const char* const kCaption = "SetUp";

// A path of exactly `length` bytes (43 or more): "C:\" and levels of 40 "a",
// the last level filled up with "b".
std::string PathOfLength(std::size_t length) {
  std::string path = "C:\\" + std::string(40, 'a');
  while (path.size() + 41 <= length) path += "\\" + std::string(40, 'a');
  const std::size_t left = length - path.size();
  if (left == 1)
    path += 'b';
  else if (left > 1)
    path += "\\" + std::string(left - 1, 'b');
  return path;
}

class FolderValidationTest : public ::testing::Test {
 protected:
  FolderValidationTest() : files(faults), windows(faults), recorded(files) {
    files.AddDrive('D');
    files.AddFolder("D:\\Tools");
    files.AddFile("C:\\readme.txt", "text");
  }

  int Confirm(const std::string& path) { return ConfirmFolder(recorded, windows, kOwner, kCaption, path); }

  mem::FaultInjector faults;
  mem::MemoryFileSystem files;
  mem::MemoryWindows windows;
  RecordingFileSystem recorded;
};

// ---- IsValidFolderName ----

TEST(FolderNameTest, TakesOrdinaryNamesAndDoubleByteCharacters) {
  for (const char* name :
       {"a", "Tools", "Vellmark", "a b", "a.b", "a\tb", "a-b_c(1)", "#", "%x%", "工具", "\x81", "a\x81"})
    EXPECT_EQ(IsValidFolderName(name), 1) << name;
}

TEST(FolderNameTest, RefusesEmptyAndBlankOrDotEdges) {
  for (const char* name : {"", " ", ".", "..", "\t", " a", "a ", ".a", "a.", "\ta", "a\t", "a..", " 工具"})
    EXPECT_EQ(IsValidFolderName(name), 0) << '[' << name << ']';
}

TEST(FolderNameTest, RefusesEveryForbiddenCharacterAnywhere) {
  for (const char c : std::string("\"*/:<>?\\|")) {
    EXPECT_EQ(IsValidFolderName(std::string("a") + c + "b"), 0) << c;
    EXPECT_EQ(IsValidFolderName(std::string(1, c) + "b"), 0) << c;
    EXPECT_EQ(IsValidFolderName(std::string("a") + c), 0) << c;
  }
}

TEST(FolderNameTest, ControlCharactersOtherThanTabPass) {
  for (char c = 1; c < 0x20; ++c) {
    if (c == '\t') continue;
    EXPECT_EQ(IsValidFolderName(std::string("a") + c + "b"), 1) << int(c);
    EXPECT_EQ(IsValidFolderName(std::string(1, c)), 1) << int(c);
  }
}

TEST(FolderNameTest, TrailBytesThatLookLikeSeparatorsAreNotRefused) {
  // The execution character set is GBK: these are the bytes the program sees.
  ASSERT_EQ(std::string("昞"), "\x95\x5c");  // trail byte '\'
  ASSERT_EQ(std::string("輡"), "\xdd\x7c");  // trail byte '|'
  EXPECT_EQ(IsValidFolderName("昞"), 1);
  EXPECT_EQ(IsValidFolderName("輡"), 1);
  EXPECT_EQ(IsValidFolderName("a昞b"), 1);
  EXPECT_EQ(IsValidFolderName("a輡"), 1);
  // A lone trail-looking byte after a single-byte character is a real '\'.
  EXPECT_EQ(IsValidFolderName("a\\"), 0);
}

// ---- CreateFolderPath, check mode: a table of what a fuzzer would find ----

struct CheckCase {
  const char* path;
  int expected;
};

TEST_F(FolderValidationTest, CheckModeResults) {
  const CheckCase cases[] = {
      {"", folder::kInvalid},
      {"C", folder::kInvalid},
      {"C:", folder::kInvalid},
      {"C:a", folder::kInvalid},
      {"C:\\", folder::kAccepted},
      {"Q:\\", folder::kAccepted},  // a root is not looked at in check mode
      {"1:\\a", folder::kInvalid},
      {"?:\\a", folder::kInvalid},
      {"C:/a", folder::kInvalid},
      {"C:/Tools", folder::kInvalid},
      {"C:\\a/b", folder::kInvalid},
      {"Tools", folder::kInvalid},
      {"\\Tools", folder::kInvalid},
      {"\\\\server\\share", folder::kInvalid},
      {" C:\\a", folder::kInvalid},
      {"C:\\Tools\\", folder::kInvalid},
      {"C:\\a\\\\b", folder::kInvalid},
      {"C:\\\\a", folder::kInvalid},
      {"C:\\a..\\b", folder::kInvalid},
      {"C:\\ b", folder::kInvalid},
      {"C:\\b ", folder::kInvalid},
      {"C:\\b\t", folder::kInvalid},
      {"C:\\.\\b", folder::kInvalid},
      {"C:\\a\\..", folder::kInvalid},
      {"C:\\a:b", folder::kInvalid},
      {"C:\\a\\b\\c", folder::kAccepted},
      {"c:\\tools", folder::kAccepted},
      {"z:\\x", folder::kAccepted},
      {"C:\\a b\\c.d", folder::kAccepted},
      {"C:\\a\x01"
       "b",
       folder::kAccepted},
      {"D:\\工具", folder::kAccepted},
      {"D:\\昞\\輡", folder::kAccepted},
      {"D:\\a\x81", folder::kAccepted},  // a lone lead byte at the end
  };
  for (const CheckCase& c : cases) EXPECT_EQ(CreateFolderPath(recorded, c.path, true), c.expected) << c.path;
  for (const char c : std::string("\"*/:<>?|"))
    EXPECT_EQ(CreateFolderPath(recorded, std::string("C:\\a") + c + "b", true), folder::kInvalid) << c;
  EXPECT_TRUE(recorded.Calls().empty()) << "check mode looks at the file system";
}

TEST_F(FolderValidationTest, LengthLimitIs259Bytes) {
  const std::string longest = PathOfLength(259);
  const std::string tooLong = PathOfLength(260);
  ASSERT_EQ(longest.size(), 259u);
  ASSERT_EQ(tooLong.size(), 260u);
  EXPECT_EQ(CreateFolderPath(recorded, longest, true), folder::kAccepted);
  EXPECT_EQ(CreateFolderPath(recorded, tooLong, true), folder::kInvalid);
  EXPECT_EQ(CreateFolderPath(recorded, tooLong, false), folder::kInvalid);
  EXPECT_TRUE(recorded.Calls().empty());
}

TEST_F(FolderValidationTest, DoubleByteCharacterWithSeparatorTrailIsOneLevel) {
  EXPECT_EQ(CreateFolderPath(recorded, "D:\\昞\\sub", false), folder::kAccepted);
  EXPECT_EQ(recorded.Created(), (std::vector<std::string>{"D:\\昞", "D:\\昞\\sub"}));
  EXPECT_TRUE(files.Exists("D:\\昞\\sub"));
  recorded.Clear();
  EXPECT_EQ(CreateFolderPath(recorded, "D:\\輡a", false), folder::kAccepted);
  EXPECT_EQ(recorded.Created(), (std::vector<std::string>{"D:\\輡a"}));
}

// ---- CreateFolderPath, create mode ----

TEST_F(FolderValidationTest, CreatesEachMissingLevelInOrderAndChecksIt) {
  EXPECT_EQ(CreateFolderPath(recorded, "D:\\Tools\\New\\Sub", false), folder::kAccepted);
  EXPECT_EQ(recorded.Calls(), (std::vector<std::string>{"mkdir D:\\Tools", "access D:\\Tools", "mkdir D:\\Tools\\New",
                                                        "access D:\\Tools\\New", "mkdir D:\\Tools\\New\\Sub",
                                                        "access D:\\Tools\\New\\Sub"}));
  EXPECT_TRUE(files.Exists("D:\\Tools\\New\\Sub"));
}

TEST_F(FolderValidationTest, RootInCreateModeMustExist) {
  EXPECT_EQ(CreateFolderPath(recorded, "C:\\", false), folder::kAccepted);
  EXPECT_EQ(CreateFolderPath(recorded, "d:\\", false), folder::kAccepted);
  EXPECT_EQ(CreateFolderPath(recorded, "Q:\\", false), folder::kCannotCreate);
  EXPECT_EQ(recorded.Created(), std::vector<std::string>{}) << "a root is never created";
}

TEST_F(FolderValidationTest, MissingDriveCannotBeCreated) {
  const std::string before = files.ListAll();
  EXPECT_EQ(CreateFolderPath(recorded, "Q:\\Tools\\Sub", false), folder::kCannotCreate);
  EXPECT_EQ(recorded.Created(), std::vector<std::string>{"Q:\\Tools"}) << "stops at the first level that stays missing";
  EXPECT_EQ(files.ListAll(), before);
}

TEST_F(FolderValidationTest, LevelsMadeBeforeAFailureStay) {
  faults.FailOperation("CreateDirectoryA", 2);
  EXPECT_EQ(CreateFolderPath(recorded, "D:\\New\\Sub\\Leaf", false), folder::kCannotCreate);
  EXPECT_TRUE(files.Exists("D:\\New"));
  EXPECT_FALSE(files.Exists("D:\\New\\Sub"));
  EXPECT_EQ(recorded.Created(), (std::vector<std::string>{"D:\\New", "D:\\New\\Sub"}));
}

TEST_F(FolderValidationTest, InvalidLevelAfterValidOnesStopsAfterCreatingThem) {
  // The walk creates as it validates: the levels before the bad one are made.
  EXPECT_EQ(CreateFolderPath(recorded, "D:\\Good\\ bad", false), folder::kInvalid);
  EXPECT_TRUE(files.Exists("D:\\Good"));
  recorded.Clear();
  EXPECT_EQ(CreateFolderPath(recorded, "D:\\Other\\", false), folder::kInvalid);
  EXPECT_TRUE(files.Exists("D:\\Other"));
}

TEST_F(FolderValidationTest, ControlCharacterPassesValidationButTheVolumeRefusesIt) {
  EXPECT_EQ(CreateFolderPath(recorded,
                             "D:\\a\x01"
                             "b",
                             true),
            folder::kAccepted);
  EXPECT_EQ(CreateFolderPath(recorded,
                             "D:\\a\x01"
                             "b",
                             false),
            folder::kCannotCreate);
}

TEST_F(FolderValidationTest, ExistingFileCountsAsExisting) {
  EXPECT_EQ(CreateFolderPath(recorded, "C:\\readme.txt", false), folder::kAccepted);
}

TEST_F(FolderValidationTest, TooDeepForCreateDirectoryCannotBeCreated) {
  // CreateDirectoryA refuses a full path beyond 248 characters; validation takes 259.
  const std::string deep = PathOfLength(255);
  EXPECT_EQ(CreateFolderPath(recorded, deep, true), folder::kAccepted);
  EXPECT_EQ(CreateFolderPath(recorded, deep, false), folder::kCannotCreate);
  const std::vector<std::string> created = recorded.Created();
  ASSERT_GE(created.size(), 2u);
  EXPECT_TRUE(files.Exists(created[created.size() - 2])) << "the levels that fit were made";
  EXPECT_FALSE(files.Exists(created.back()));
}

// ---- ConfirmFolder ----

TEST_F(FolderValidationTest, ExistingFolderIsAcceptedSilently) {
  EXPECT_EQ(Confirm("D:\\Tools"), folder::kAccepted);
  EXPECT_EQ(Confirm("d:\\tools"), folder::kAccepted);
  EXPECT_EQ(Confirm("C:\\"), folder::kAccepted);
  EXPECT_EQ(Confirm("C:\\readme.txt"), folder::kAccepted);
  EXPECT_TRUE(windows.MessageBoxes().empty());
  EXPECT_TRUE(recorded.Created().empty());
}

TEST_F(FolderValidationTest, InvalidPathIsWarnedAbout) {
  for (const char* path : {"C:\\Tools\\", "C:\\a..\\b", "C:\\ b", "C:/Tools", "Tools", "\\\\server\\share", ""}) {
    const std::size_t before = windows.MessageBoxes().size();
    EXPECT_EQ(Confirm(path), folder::kInvalid) << path;
    ASSERT_EQ(windows.MessageBoxes().size(), before + 1) << path;
    const mem::MessageBoxCall& box = windows.MessageBoxes().back();
    EXPECT_EQ(box.text, std::string("The folder:\n\n") + path + "\n\nis invalid. Please reenter.");
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.type, plat::kMbOk | plat::kMbIconExclamation);
    EXPECT_EQ(box.owner, kOwner);
  }
  EXPECT_TRUE(recorded.Created().empty());
}

TEST_F(FolderValidationTest, MissingFolderYesCreatesTheLevels) {
  windows.QueueMessageBoxAnswer(plat::kIdYes);
  EXPECT_EQ(Confirm("D:\\Tools\\New\\Sub"), folder::kAccepted);
  ASSERT_EQ(windows.MessageBoxes().size(), 1u);
  const mem::MessageBoxCall& box = windows.MessageBoxes()[0];
  EXPECT_EQ(box.text, "The folder:\n\nD:\\Tools\\New\\Sub\n\ndoes not exist. Do you want the folder to be created?");
  EXPECT_EQ(box.type, plat::kMbYesNo | plat::kMbIconQuestion);
  EXPECT_EQ(box.caption, kCaption);
  EXPECT_EQ(box.owner, kOwner);
  EXPECT_EQ(recorded.Created(), (std::vector<std::string>{"D:\\Tools", "D:\\Tools\\New", "D:\\Tools\\New\\Sub"}));
  EXPECT_TRUE(files.Exists("D:\\Tools\\New\\Sub"));
}

TEST_F(FolderValidationTest, AnyAnswerButYesDeclinesAndCreatesNothing) {
  const std::string before = files.ListAll();
  for (const int answer : {plat::kIdNo, plat::kIdCancel, 0}) {
    windows.QueueMessageBoxAnswer(answer);
    EXPECT_EQ(Confirm("D:\\Tools\\New"), folder::kDeclined) << answer;
  }
  EXPECT_EQ(windows.MessageBoxes().size(), 3u) << "only the question, no further message";
  EXPECT_TRUE(recorded.Created().empty());
  EXPECT_EQ(files.ListAll(), before);
}

TEST_F(FolderValidationTest, MissingDriveIsAskedThenCannotBeCreated) {
  windows.QueueMessageBoxAnswer(plat::kIdYes);
  EXPECT_EQ(Confirm("Q:\\Vellmark"), folder::kCannotCreate);
  ASSERT_EQ(windows.MessageBoxes().size(), 2u);
  EXPECT_EQ(windows.MessageBoxes()[0].type, plat::kMbYesNo | plat::kMbIconQuestion);
  const mem::MessageBoxCall& warning = windows.MessageBoxes()[1];
  EXPECT_EQ(warning.text, "The folder:\n\nQ:\\Vellmark\n\ncan not be created. Please double check.");
  EXPECT_EQ(warning.type, plat::kMbOk | plat::kMbIconExclamation);
  EXPECT_EQ(warning.owner, kOwner);
}

TEST_F(FolderValidationTest, MissingRootIsAskedThenCannotBeCreated) {
  windows.QueueMessageBoxAnswer(plat::kIdYes);
  EXPECT_EQ(Confirm("Q:\\"), folder::kCannotCreate);
  EXPECT_EQ(windows.MessageBoxes().size(), 2u);
}

TEST_F(FolderValidationTest, GbkFolderIsCreatedWithItsName) {
  windows.QueueMessageBoxAnswer(plat::kIdYes);
  EXPECT_EQ(Confirm("D:\\工具"), folder::kAccepted);
  EXPECT_TRUE(files.Exists("D:\\工具"));
  EXPECT_EQ(windows.MessageBoxes()[0].text,
            "The folder:\n\nD:\\工具\n\ndoes not exist. Do you want the folder to be created?");
}

TEST_F(FolderValidationTest, PercentInThePathIsShownAsItIs) {
  EXPECT_EQ(Confirm("C:\\100%s\\"), folder::kInvalid);
  EXPECT_EQ(windows.MessageBoxes().back().text, "The folder:\n\nC:\\100%s\\\n\nis invalid. Please reenter.");
}

// ---- ApplicationName ----

TEST_F(FolderValidationTest, ApplicationNameIsTheProgramFileWithoutExtension) {
  const struct {
    const char* module;
    const char* name;
  } cases[] = {{"C:\\SetUp.exe", "SetUp"},
               {"D:\\Downloads\\Vellmark 2025\\SetUp.EXE", "SetUp"},
               {"D:\\v1.2\\SetUp", "SetUp"},
               {"D:\\安装\\安装程序.exe", "安装程序"},
               {"D:\\a.b.exe", "a.b"}};
  for (const auto& c : cases) {
    files.SetModulePath(c.module);
    EXPECT_EQ(ApplicationName(recorded), c.name) << c.module;
  }
}

TEST_F(FolderValidationTest, ApplicationNameIsEmptyWhenTheModuleNameFails) {
  faults.FailOperation("GetModuleFileNameA");
  EXPECT_EQ(ApplicationName(recorded), "");
}

}  // namespace
