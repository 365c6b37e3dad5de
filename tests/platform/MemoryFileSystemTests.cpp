// What the in-memory file system does beyond the contract suite: the fault plan,
// listing handles, the simulated denials, streams, path normalisation, the mask
// rules and the canonical text other tests compare.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryFileSystemMatch.h"

namespace {

using plat::kFileAttributeArchive;
using plat::kFileAttributeDirectory;
using plat::kFileAttributeHidden;
using plat::kFileAttributeReadOnly;
using plat::kFileAttributeSystem;
using plat::kInvalidFileAttributes;

class MemoryFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs.AddFile("C:\\app\\a.txt", "alpha"));
    ASSERT_TRUE(fs.AddFile("C:\\app\\a.txt:Zone.Identifier", "zone"));
    ASSERT_TRUE(fs.AddFolder("C:\\app\\sub"));
  }

  std::vector<std::string> List(const std::string& pattern) {
    std::vector<std::string> names;
    plat::FindData data;
    plat::ScopedFind find(fs, fs.FindFirstFileA(pattern.c_str(), &data));
    if (!find.valid()) return {"<error " + std::to_string(fs.GetLastError()) + ">"};
    do names.push_back(data.fileName);
    while (fs.FindNextFileA(find.get(), &data));
    return names;
  }

  mem::FaultInjector faults;
  mem::MemoryFileSystem fs{faults};
};

// Every faultable call: made to fail, it reports its documented error and changes nothing.
TEST_F(MemoryFileSystemTest, InjectedFaultsChangeNothing) {
  struct Case {
    const char* operation;
    std::function<bool()> call;  // true when the call reported failure
    std::uint32_t error;
  };
  char buffer[260];
  plat::FindData data;
  const std::vector<Case> cases = {
      {"CopyFileA", [&] { return !fs.CopyFileA("C:\\app\\a.txt", "C:\\app\\b.txt", false); }, 5},
      {"GetFileAttributesA", [&] { return fs.GetFileAttributesA("C:\\app\\a.txt") == kInvalidFileAttributes; }, 5},
      {"SetFileAttributesA", [&] { return !fs.SetFileAttributesA("C:\\app\\a.txt", kFileAttributeHidden); }, 5},
      {"DeleteFileA", [&] { return !fs.DeleteFileA("C:\\app\\a.txt:Zone.Identifier"); }, 5},
      {"CreateDirectoryA", [&] { return !fs.CreateDirectoryA("C:\\app\\new"); }, 5},
      {"_mkdir", [&] { return fs.Mkdir("C:\\app\\new") == -1; }, 5},
      {"_access", [&] { return fs.Access("C:\\app\\a.txt", 0) == -1; }, 5},
      {"FindFirstFileA", [&] { return fs.FindFirstFileA("C:\\app\\*", &data) == plat::kInvalidFindHandle; }, 5},
      {"GetModuleFileNameA", [&] { return fs.GetModuleFileNameA(buffer, sizeof buffer) == 0; }, 8},
      {"GetCurrentDirectoryA", [&] { return fs.GetCurrentDirectoryA(sizeof buffer, buffer) == 0; }, 8},
  };
  const std::string before = fs.ListAll();
  for (const Case& c : cases) {
    faults.FailOperation(c.operation);
    EXPECT_TRUE(c.call()) << c.operation << " did not fail";
    EXPECT_EQ(fs.GetLastError(), c.error) << c.operation;
    EXPECT_EQ(fs.ListAll(), before) << c.operation << " changed the volume";
    EXPECT_EQ(faults.Failures().back(), c.operation);
  }
  EXPECT_EQ(fs.OpenHandles(), 0u);
  faults.Clear();
  // the same calls succeed once the plan is cleared
  EXPECT_TRUE(fs.CopyFileA("C:\\app\\a.txt", "C:\\app\\b.txt", false));
}

TEST_F(MemoryFileSystemTest, ListingHandles) {
  plat::FindData data;
  const plat::HFind first = fs.FindFirstFileA("C:\\app\\*", &data);
  const plat::HFind second = fs.FindFirstFileA("C:\\app\\*", &data);
  EXPECT_EQ(fs.OpenHandles(), 2u);
  EXPECT_NE(first, second);

  // a listing is the folder as it was at FindFirstFileA
  ASSERT_TRUE(fs.AddFile("C:\\app\\later.txt", ""));
  std::vector<std::string> names{data.fileName};
  while (fs.FindNextFileA(second, &data)) names.push_back(data.fileName);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "a.txt", "sub"}));

  // FindNextFileA failing by fault keeps the handle; FindClose failing by fault still closes it
  faults.FailOperation("FindNextFileA");
  EXPECT_FALSE(fs.FindNextFileA(first, &data));
  faults.FailOperation("FindClose");
  EXPECT_FALSE(fs.FindClose(first));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(plat::kErrorInvalidHandle));
  faults.Clear();
  EXPECT_EQ(fs.OpenHandles(), 1u);
  // a closed or unknown handle: ERROR_INVALID_HANDLE
  EXPECT_FALSE(fs.FindNextFileA(first, &data));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(plat::kErrorInvalidHandle));
  EXPECT_FALSE(fs.FindClose(first));
  EXPECT_TRUE(fs.FindClose(second));
  EXPECT_EQ(fs.OpenHandles(), 0u);
}

TEST_F(MemoryFileSystemTest, WriteDeniedFolders) {
  ASSERT_TRUE(fs.AddFile("C:\\app\\sub\\deep.txt", "deep"));
  ASSERT_TRUE(fs.DenyWrite("C:\\app"));
  const std::string before = fs.ListAll();

  // nothing in the folder or below can be created, replaced, deleted or changed
  EXPECT_FALSE(fs.CopyFileA("C:\\app\\a.txt", "C:\\app\\sub\\new.txt", false));
  EXPECT_FALSE(fs.CopyFileA("C:\\app\\sub\\deep.txt", "C:\\app\\a.txt", false));
  EXPECT_FALSE(fs.CreateDirectoryA("C:\\app\\sub\\new"));
  EXPECT_EQ(fs.Mkdir("C:\\app\\new"), -1);
  EXPECT_FALSE(fs.DeleteFileA("C:\\app\\sub\\deep.txt"));
  EXPECT_FALSE(fs.DeleteFileA("C:\\app\\a.txt:Zone.Identifier"));
  EXPECT_FALSE(fs.SetFileAttributesA("C:\\app\\a.txt", kFileAttributeHidden));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(plat::kErrorAccessDenied));
  EXPECT_EQ(fs.ListAll(), before);

  // reading is allowed: listing, attributes, copying out
  EXPECT_EQ(List("C:\\app\\sub\\*").size(), 3u);
  EXPECT_NE(fs.GetFileAttributesA("C:\\app\\a.txt"), kInvalidFileAttributes);
  EXPECT_TRUE(fs.CopyFileA("C:\\app\\a.txt", "C:\\out.txt", false));

  // lifted: writable again
  ASSERT_TRUE(fs.DenyWrite("C:\\app", false));
  EXPECT_TRUE(fs.CreateDirectoryA("C:\\app\\sub\\new"));
}

TEST_F(MemoryFileSystemTest, Streams) {
  // CopyFileA carries every stream; over an existing file the source's streams replace its own
  ASSERT_TRUE(fs.AddFile("C:\\app\\b.txt:Old", "old"));
  ASSERT_TRUE(fs.AddFile("C:\\app\\a.txt:Second", "2"));
  EXPECT_TRUE(fs.CopyFileA("C:\\app\\a.txt", "C:\\app\\b.txt", false));
  EXPECT_EQ(fs.Streams("C:\\app\\b.txt"), (std::vector<std::string>{"Second", "Zone.Identifier"}));
  EXPECT_EQ(fs.ReadFile("C:\\app\\b.txt:ZONE.IDENTIFIER").value_or("<none>"), "zone");

  // ":$DATA" names the data stream: "a.txt::$DATA" is the file, "a.txt:Second:$DATA" the stream
  EXPECT_EQ(fs.GetFileAttributesA("C:\\app\\a.txt::$DATA"), kFileAttributeArchive);
  EXPECT_TRUE(fs.DeleteFileA("C:\\app\\a.txt:Second:$DATA"));
  EXPECT_EQ(fs.Streams("C:\\app\\a.txt"), (std::vector<std::string>{"Zone.Identifier"}));
  EXPECT_FALSE(fs.DeleteFileA("C:\\app\\a.txt:Zone:$BAD"));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorInvalidName));

  // read-only covers the streams; a lock on the data does not
  ASSERT_TRUE(fs.SetFileAttributesA("C:\\app\\a.txt", kFileAttributeReadOnly));
  EXPECT_FALSE(fs.DeleteFileA("C:\\app\\a.txt:Zone.Identifier"));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(plat::kErrorAccessDenied));
  ASSERT_TRUE(fs.SetFileAttributesA("C:\\app\\a.txt", 0));
  ASSERT_TRUE(fs.LockFile("C:\\app\\a.txt"));
  EXPECT_TRUE(fs.DeleteFileA("C:\\app\\a.txt:Zone.Identifier"));
  EXPECT_FALSE(fs.DeleteFileA("C:\\app\\a.txt::$DATA"));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorSharingViolation));

  // a stream of a file not there yet creates the file, empty
  ASSERT_TRUE(fs.AddFile("C:\\app\\fresh.exe:Zone.Identifier", "z"));
  EXPECT_EQ(fs.ReadFile("C:\\app\\fresh.exe").value_or("<none>"), "");
  // streams are not listed, and CopyFileA takes no stream names
  EXPECT_EQ(List("C:\\app\\fresh*"), (std::vector<std::string>{"fresh.exe"}));
  EXPECT_FALSE(fs.CopyFileA("C:\\app\\fresh.exe:Zone.Identifier", "C:\\z.txt", false));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorInvalidName));
}

TEST_F(MemoryFileSystemTest, PathNormalisation) {
  // '/' separates, runs of separators collapse, "." and ".." are evaluated
  EXPECT_EQ(fs.GetFileAttributesA("C:/app//sub/./../a.txt"), kFileAttributeArchive);
  // trailing periods and spaces leave the last name; one period leaves any name
  EXPECT_EQ(fs.GetFileAttributesA("C:\\app\\a.txt. ."), kFileAttributeArchive);
  EXPECT_EQ(fs.GetFileAttributesA("C:\\app.\\a.txt"), kFileAttributeArchive);
  // ".." above the root stays at the root
  EXPECT_EQ(fs.GetFileAttributesA("C:\\..\\..\\app\\a.txt"), kFileAttributeArchive);
  // a rooted name takes the current drive, a drive-relative one the current folder
  ASSERT_TRUE(fs.SetCurrentDir("C:\\app"));
  EXPECT_EQ(fs.GetFileAttributesA("\\app\\a.txt"), kFileAttributeArchive);
  EXPECT_EQ(fs.GetFileAttributesA("C:a.txt"), kFileAttributeArchive);
  ASSERT_TRUE(fs.AddDrive('D'));
  ASSERT_TRUE(fs.AddFile("D:\\a.txt", "on d"));
  EXPECT_EQ(fs.ReadFile("D:a.txt").value_or("<none>"), "on d") << "another drive: from its root";

  // names NTFS refuses: ERROR_INVALID_NAME; so is a name of 256 characters
  for (const char* bad : {"C:\\app\\a|b", "C:\\app\\a\"b", "C:\\app\\a<b", "C:\\app\\a*b", "C:\\app\\a?b"}) {
    EXPECT_FALSE(fs.CreateDirectoryA(bad)) << bad;
    EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorInvalidName)) << bad;
  }
  EXPECT_FALSE(fs.CreateDirectoryA(("C:\\" + std::string(256, 'n')).c_str()));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorInvalidName));
  EXPECT_TRUE(fs.CreateDirectoryA(("C:\\" + std::string(245, 'n')).c_str()));

  // a trailing separator on a file, a file as a listed folder, a missing drive, a UNC name
  EXPECT_EQ(fs.GetFileAttributesA("C:\\app\\a.txt\\"), kInvalidFileAttributes);
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorInvalidName));
  EXPECT_EQ(List("C:\\app\\a.txt\\*"), (std::vector<std::string>{"<error 267>"}));
  EXPECT_EQ(List("Q:\\*"), (std::vector<std::string>{"<error 3>"}));
  EXPECT_EQ(fs.GetFileAttributesA("\\\\server\\share\\a.txt"), kInvalidFileAttributes);
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(plat::kErrorPathNotFound));
}

TEST_F(MemoryFileSystemTest, PathLengthLimits) {
  const std::string folder = "C:\\" + std::string(200, 'd');
  ASSERT_TRUE(fs.AddFolder(folder));
  auto pathOf = [&](std::size_t length) { return folder + "\\" + std::string(length - folder.size() - 1, 'f'); };

  // the limit is on the full path: a short relative name that reaches 260 is ERROR_PATH_NOT_FOUND
  ASSERT_TRUE(fs.SetCurrentDir(folder));
  const std::string relative = std::string(260 - folder.size() - 1, 'r');
  EXPECT_FALSE(fs.CopyFileA("C:\\app\\a.txt", relative.c_str(), false));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(plat::kErrorPathNotFound));
  EXPECT_TRUE(fs.CopyFileA("C:\\app\\a.txt", relative.substr(1).c_str(), false));
  // the conversion limit is on the text: 261 characters that name a short path still overflow
  auto padded = [](std::size_t x, std::size_t y) {
    return "C:\\app\\" + std::string(x, 'x') + "\\..\\" + std::string(y, 'y') + "\\..\\a.txt";
  };
  ASSERT_EQ(padded(120, 121).size(), 261u);
  EXPECT_EQ(fs.GetFileAttributesA(padded(120, 121).c_str()), kInvalidFileAttributes);
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorFilenameExcedRange));
  EXPECT_EQ(fs.GetFileAttributesA(padded(120, 120).c_str()), kFileAttributeArchive) << "260 characters fit";

  // CreateDirectoryA: 248 characters is the most
  EXPECT_TRUE(fs.CreateDirectoryA(pathOf(248).c_str()));
  EXPECT_FALSE(fs.CreateDirectoryA(pathOf(249).c_str()));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorFilenameExcedRange));

  // "\\?\" skips MAX_PATH for the name CopyFileA converts into an allocated buffer
  const std::string verbatim = "\\\\?\\" + pathOf(300);
  EXPECT_TRUE(fs.CopyFileA("C:\\app\\a.txt", verbatim.c_str(), false));
  EXPECT_TRUE(fs.Exists(verbatim));
}

// The mask rules, name by name (FindFirstFileA after kernelbase's rewrite).
TEST(MemoryFileSystemMasks, MatchAsNtfsDoes) {
  struct Case {
    const char* mask;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*", ".", true},
      {"*.*", "..", true},
      {"*.*", "noext", true},
      {"*.", "noext", true},
      {"*.", "a.b", false},
      {"*.", "..", true},
      {"a?", "a", true},
      {"a??", "a", true},
      {"a?", "abc", false},
      {"f?txt", "f.txt", false},
      {"f.txt?", "f.txt", true},
      {"?.txt", "中.txt", true},
      {"*.txt", "a.b.txt", true},
      {"*.txt", "a.txt.bak", false},
      {"*.htm", "page.html", false},
      {"a.*", "a", true},
      {"a.*", "ab", false},
      {"A*B", "axxb", true},
      {"*b", "ab.b", true},
      {"*中*", "x中y", true},
      {"<.txt", "a.b.txt", true},
      {"ａ*", "Ａb", true},
      {"a*", "b", false},
      {"*.TXT", "x.txt", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(mem::wildcard::Matches(c.mask, c.name), c.matches) << "mask " << c.mask << " name " << c.name;
}

TEST_F(MemoryFileSystemTest, CopyFileARefusals) {
  // a system destination from a source that is not: ERROR_ACCESS_DENIED (the CREATE_ALWAYS rule)
  ASSERT_TRUE(fs.AddFile("C:\\app\\sys.dat", "s", kFileAttributeSystem));
  EXPECT_FALSE(fs.CopyFileA("C:\\app\\a.txt", "C:\\app\\sys.dat", false));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(plat::kErrorAccessDenied));
  // a new name with a trailing separator names no file
  EXPECT_FALSE(fs.CopyFileA("C:\\app\\a.txt", "C:\\app\\new\\", false));
  EXPECT_EQ(fs.GetLastError(), static_cast<std::uint32_t>(mem::kErrorInvalidName));
  // across drives, under the name as given
  ASSERT_TRUE(fs.AddDrive('d'));
  EXPECT_TRUE(fs.CopyFileA("C:\\app\\a.txt", "D:\\Copy.TXT", true));
  EXPECT_EQ(List("D:\\*"), (std::vector<std::string>{"Copy.TXT"})) << "a root lists no \".\" or \"..\"";
  EXPECT_EQ(fs.Attributes("D:\\"), kFileAttributeDirectory | kFileAttributeHidden | kFileAttributeSystem);
  EXPECT_FALSE(fs.AddDrive('D'));
}

TEST_F(MemoryFileSystemTest, AccessModes) {
  ASSERT_TRUE(fs.SetFileAttributesA("C:\\app\\a.txt", kFileAttributeReadOnly));
  ASSERT_TRUE(fs.SetFileAttributesA("C:\\app\\sub", kFileAttributeReadOnly));
  EXPECT_EQ(fs.Access("C:\\app\\a.txt", 6), -1);
  EXPECT_EQ(fs.Access("C:\\app\\sub", 2), 0) << "read-only means nothing for writing into a folder";
  EXPECT_EQ(fs.Access("C:\\app\\a.txt:Zone.Identifier", 0), 0);
  EXPECT_EQ(fs.Access("C:\\app\\a.txt", 1), -1) << "1 is no mode";
}

TEST_F(MemoryFileSystemTest, ModuleAndCurrentDirectory) {
  // the module path counts bytes of the code page
  fs.SetModulePath("C:\\程序\\SetUp.exe");
  char buffer[64];
  EXPECT_EQ(fs.GetModuleFileNameA(buffer, sizeof buffer), 17u);
  EXPECT_EQ(std::string(buffer), "C:\\程序\\SetUp.exe");
  // only an existing folder can become the current directory
  EXPECT_FALSE(fs.SetCurrentDir("C:\\app\\a.txt"));
  EXPECT_FALSE(fs.SetCurrentDir("C:\\missing"));
  EXPECT_EQ(fs.GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
  EXPECT_TRUE(fs.SetCurrentDir("C:\\APP\\sub\\"));
  EXPECT_EQ(fs.GetCurrentDirectoryA(sizeof buffer, buffer), 10u);
  EXPECT_EQ(std::string(buffer), "C:\\APP\\sub") << "the folder as given, without the trailing backslash";
}

TEST_F(MemoryFileSystemTest, TestSideHelpers) {
  // AddFile creates the folders above; nothing goes through or over a file
  EXPECT_TRUE(fs.AddFile("C:\\x\\y\\z.txt", "z", 0));
  EXPECT_EQ(fs.Attributes("C:\\x\\y\\z.txt"), plat::kFileAttributeNormal);
  EXPECT_FALSE(fs.AddFile("C:\\x\\y\\z.txt\\w.txt", ""));
  EXPECT_FALSE(fs.AddFolder("C:\\x\\y\\z.txt\\w"));
  EXPECT_FALSE(fs.AddFile("C:\\x\\y", "over a folder"));
  EXPECT_FALSE(fs.LockFile("C:\\x\\y"));
  EXPECT_TRUE(fs.Exists("C:\\app\\a.txt:zone.identifier"));
  EXPECT_FALSE(fs.Exists("C:\\app\\a.txt:other"));
  EXPECT_FALSE(fs.ReadFile("C:\\app\\sub").has_value());
}

TEST(MemoryFileSystemListAll, CanonicalText) {
  mem::FaultInjector faults;
  mem::MemoryFileSystem fs(faults);
  ASSERT_TRUE(fs.AddFile("C:\\程序\\a%b.txt", "line\r\n\\", kFileAttributeHidden | kFileAttributeArchive));
  ASSERT_TRUE(fs.AddFile("C:\\程序\\a%b.txt:Zone.Identifier", "ZoneId=3"));
  ASSERT_TRUE(fs.AddFolder("C:\\empty"));
  ASSERT_TRUE(fs.LockFile("C:\\程序\\a%b.txt"));
  ASSERT_TRUE(fs.DenyWrite("C:\\empty"));
  // names as UTF-8 (readable in a failure message), data escaped byte by byte
  EXPECT_EQ(fs.ListAll(),
            u8"C:\\ dir HS\n"
            u8"C:\\empty dir - write-denied\n"
            u8"C:\\程序 dir -\n"
            u8"C:\\程序\\a%25b.txt file HA \"line\\x0D\\x0A\\\\\" locked\n"
            u8"C:\\程序\\a%25b.txt:Zone.Identifier stream \"ZoneId=3\"\n");

  // any difference shows: data, attributes, a stream
  const std::string before = fs.ListAll();
  ASSERT_TRUE(fs.AddFile("C:\\程序\\a%b.txt:Zone.Identifier", "ZoneId=4"));
  EXPECT_NE(fs.ListAll(), before);
}

}  // namespace
