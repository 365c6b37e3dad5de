// What the program relies on from the file system, asserted once and run twice:
// natively against the in-memory model, and in the Windows build against the real
// volumes under Wine (ContractFiles.h). Where the two disagree, the model is
// wrong, unless a check says that Wine itself differs from Windows there.
//
// Grouped by theme. Find data starts as a sentinel so a check can show what a
// failing call left alone; each edge case is named by the comment above it. Every
// test starts with an empty folder and must close its listings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/platform/ContractFiles.h"

namespace {

using plat::kFileAttributeArchive;
using plat::kFileAttributeDirectory;
using plat::kFileAttributeHidden;
using plat::kFileAttributeNormal;
using plat::kFileAttributeReadOnly;
using plat::kFileAttributeSystem;
using plat::kInvalidFileAttributes;

constexpr std::uint32_t kSentinel = 0xdeadbeef;
constexpr long kErrorNoMoreFiles = 18;
constexpr long kErrorSharingViolation = 32;
constexpr long kErrorFileExists = 80;
constexpr long kErrorInsufficientBuffer = 122;
constexpr long kErrorFilenameExcedRange = 206;
// The bits both implementations report the same way (Wine adds archive to every file).
constexpr std::uint32_t kCompared =
    kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem | kFileAttributeDirectory;

using Names = std::vector<std::string>;

class FileSystemContract : public ::testing::Test {
 protected:
  struct Listing {
    std::vector<plat::FindData> entries;
    std::uint32_t firstError = 0;  // when FindFirstFileA failed
    std::uint32_t endError = 0;    // GetLastError after the last FindNextFileA
  };

  void SetUp() override {
    m_under = contract::MakeFilesUnderTest();
    ASSERT_EQ(m_under->SetupError(), "") << "the test folder is not ready; stopping";
  }

  void TearDown() override {
    if (m_under && m_under->OpenHandles() >= 0) {
      EXPECT_EQ(m_under->OpenHandles(), 0) << "a test left a listing open";
    }
    m_under.reset();
  }

  plat::IFileSystem& fs() { return m_under->Files(); }
  bool IsWine() const { return m_under->IsWine(); }
  std::string At(const std::string& relative) const { return m_under->Root() + "\\" + relative; }
  std::uint32_t Error() { return fs().GetLastError(); }

  void Write(const std::string& relative, const std::string& data) {
    ASSERT_TRUE(m_under->WriteFile(At(relative), data)) << "could not write " << relative;
  }
  std::string Read(const std::string& relative) { return m_under->ReadFile(At(relative)); }
  std::uint32_t Attributes(const std::string& relative) { return fs().GetFileAttributesA(At(relative).c_str()); }
  bool SetAttributes(const std::string& relative, std::uint32_t attributes) {
    return fs().SetFileAttributesA(At(relative).c_str(), attributes);
  }
  bool Copy(const std::string& from, const std::string& to, bool failIfExists) {
    return fs().CopyFileA(At(from).c_str(), At(to).c_str(), failIfExists);
  }
  bool Delete(const std::string& relative) { return fs().DeleteFileA(At(relative).c_str()); }
  bool MakeFolder(const std::string& relative) { return fs().CreateDirectoryA(At(relative).c_str()); }

  Listing List(const std::string& pattern) {
    Listing out;
    plat::FindData data;
    data.attributes = kSentinel;
    data.fileName = "<sentinel>";
    const plat::HFind find = fs().FindFirstFileA(pattern.c_str(), &data);
    if (find == plat::kInvalidFindHandle) {
      out.firstError = Error();
      EXPECT_EQ(data.fileName, "<sentinel>") << "a failed FindFirstFileA must leave the data alone";
      return out;
    }
    plat::ScopedFind owner(fs(), find);
    do out.entries.push_back(data);
    while (out.entries.size() < 1000 && fs().FindNextFileA(find, &data));
    out.endError = Error();
    return out;
  }

  static Names NamesOf(const Listing& listing) {
    Names names;
    for (const plat::FindData& entry : listing.entries) names.push_back(entry.fileName);
    return names;
  }

  std::unique_ptr<contract::FilesUnderTest> m_under;
};

TEST_F(FileSystemContract, Attributes) {
  Write("plain.txt", "plain");
  ASSERT_TRUE(MakeFolder("folder"));

  // a new file: archive only, as on every file Windows creates
  EXPECT_EQ(Attributes("plain.txt"), kFileAttributeArchive);
  // a new folder: the directory bit only
  EXPECT_EQ(Attributes("folder"), kFileAttributeDirectory);

  // read-only and hidden together
  ASSERT_TRUE(SetAttributes("plain.txt", kFileAttributeReadOnly | kFileAttributeHidden));
  EXPECT_EQ(Attributes("plain.txt") & kCompared, kFileAttributeReadOnly | kFileAttributeHidden);
  // exactly the bits set, archive cleared; Wine reports archive on every file
  EXPECT_EQ(Attributes("plain.txt"),
            kFileAttributeReadOnly | kFileAttributeHidden | (IsWine() ? kFileAttributeArchive : 0));

  // clearing read-only keeps hidden
  ASSERT_TRUE(SetAttributes("plain.txt", Attributes("plain.txt") & ~kFileAttributeReadOnly));
  EXPECT_EQ(Attributes("plain.txt") & kCompared, kFileAttributeHidden);

  // system
  ASSERT_TRUE(SetAttributes("plain.txt", kFileAttributeSystem));
  EXPECT_EQ(Attributes("plain.txt") & kCompared, kFileAttributeSystem);

  // FILE_ATTRIBUTE_NORMAL clears them all; a file with none reads back as NORMAL (Wine: archive)
  ASSERT_TRUE(SetAttributes("plain.txt", kFileAttributeNormal));
  EXPECT_EQ(Attributes("plain.txt"), IsWine() ? kFileAttributeArchive : kFileAttributeNormal);

  // the directory bit cannot be given to a file: ignored, the call succeeds
  EXPECT_TRUE(SetAttributes("plain.txt", kFileAttributeDirectory));
  EXPECT_EQ(Attributes("plain.txt") & kFileAttributeDirectory, 0u);

  // a listing reports what GetFileAttributesA reports
  ASSERT_TRUE(SetAttributes("plain.txt", kFileAttributeHidden));
  const Listing listing = List(At("*"));
  for (const plat::FindData& entry : listing.entries)
    if (entry.fileName != "." && entry.fileName != "..") {
      EXPECT_EQ(entry.attributes, Attributes(entry.fileName)) << entry.fileName;
    }

  // a missing file: INVALID_FILE_ATTRIBUTES / FALSE with ERROR_FILE_NOT_FOUND
  EXPECT_EQ(Attributes("missing.txt"), kInvalidFileAttributes);
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
  EXPECT_FALSE(SetAttributes("missing.txt", kFileAttributeNormal));
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
}

TEST_F(FileSystemContract, ListingOfAFolder) {
  Write("b.txt", "bb");
  Write("A.txt", "a");
  Write("_x", "");
  Write("B2", "");
  Write("noext", "12345");
  Write("中.txt", "");
  Write("啊.txt", "");
  ASSERT_TRUE(MakeFolder("sub"));

  const Listing all = List(At("*"));
  ASSERT_GE(all.entries.size(), 2u) << "FindFirstFileA failed with " << all.firstError;
  // "." and ".." first, both folders
  EXPECT_EQ(all.entries[0].fileName, ".");
  EXPECT_EQ(all.entries[1].fileName, "..");
  EXPECT_EQ(all.entries[0].attributes & kFileAttributeDirectory, kFileAttributeDirectory);
  EXPECT_EQ(all.entries[1].attributes & kFileAttributeDirectory, kFileAttributeDirectory);
  // then NTFS order: upcased UTF-16, ordinal ("b.txt" before "B2", "_x" after "sub", "中" U+4E2D
  // before "啊" U+554A though GBK has them the other way round). Wine 8 sorts its listings
  // the same way, so the order is asserted there too.
  EXPECT_EQ(NamesOf(all), (Names{".", "..", "A.txt", "b.txt", "B2", "noext", "sub", "_x", "中.txt", "啊.txt"}));
  // names only, sizes of the data, 0 for a folder
  const std::map<std::string, std::uint64_t> sizes{{"noext", 5}, {"b.txt", 2}, {"sub", 0}};
  for (const plat::FindData& entry : all.entries) {
    EXPECT_EQ(entry.fileName.find('\\'), std::string::npos) << entry.fileName;
    const auto size = sizes.find(entry.fileName);
    EXPECT_TRUE(size == sizes.end() || size->second == entry.size) << entry.fileName << ": " << entry.size;
  }
  // the end of the listing: ERROR_NO_MORE_FILES
  EXPECT_EQ(all.endError, kErrorNoMoreFiles);

  // "*.*" matches the same entries, names without a dot included
  EXPECT_EQ(NamesOf(List(At("*.*"))), NamesOf(all));

  // a drive root has no "." and ".."
  const Names root = NamesOf(List("C:\\*"));
  ASSERT_FALSE(root.empty());
  EXPECT_NE(root[0], ".");
  EXPECT_NE(root[0], "..");
  const std::string folderName = m_under->Root().substr(3);
  EXPECT_NE(std::find(root.begin(), root.end(), folderName), root.end()) << "expected " << folderName << " in C:\\";
}

TEST_F(FileSystemContract, ListingMasks) {
  for (const char* name : {"a", "ab", "a.b.c", "A.txt", "b.txt", "中.txt", "noext"}) Write(name, "");

  // "*.txt"
  EXPECT_EQ(NamesOf(List(At("*.txt"))), (Names{"A.txt", "b.txt", "中.txt"}));
  // "?.txt": one character before the dot, a GBK character counting one
  EXPECT_EQ(NamesOf(List(At("?.txt"))), (Names{"A.txt", "b.txt", "中.txt"}));
  // "a.*": "a" itself too (the '.' before '*' also matches the end of a name)
  EXPECT_EQ(NamesOf(List(At("a.*"))), (Names{"a", "a.b.c", "A.txt"}));
  // an exact name in another letter case: the entry under its own name
  EXPECT_EQ(NamesOf(List(At("B.TXT"))), (Names{"b.txt"}));

  // "a?": Windows' '?' also matches nothing at the end of a name; Wine's matches exactly one character
  EXPECT_EQ(NamesOf(List(At("a?"))), IsWine() ? Names{"ab"} : (Names{"a", "ab"}));
  // "*.": names without a dot on Windows; Wine ignores a '.' that ends a mask
  EXPECT_EQ(NamesOf(List(At("*."))), IsWine()
                                         ? (Names{".", "..", "a", "a.b.c", "A.txt", "ab", "b.txt", "noext", "中.txt"})
                                         : (Names{".", "..", "a", "ab", "noext"}));

  // no match: ERROR_FILE_NOT_FOUND
  const Listing none = List(At("*.xyz"));
  EXPECT_TRUE(none.entries.empty());
  EXPECT_EQ(none.firstError, plat::kErrorFileNotFound);
}

TEST_F(FileSystemContract, ListingAFolderByName) {
  ASSERT_TRUE(MakeFolder("Sub"));
  Write("Sub\\inner.txt", "x");

  // the folder's exact name (any letter case): the folder itself, with its directory bit
  const Listing folder = List(At("sub"));
  ASSERT_EQ(NamesOf(folder), (Names{"Sub"}));
  EXPECT_EQ(folder.entries[0].attributes & kFileAttributeDirectory, kFileAttributeDirectory);
  EXPECT_EQ(folder.endError, kErrorNoMoreFiles);

  // a trailing backslash: a mask of nothing matches nothing, ERROR_FILE_NOT_FOUND
  const Listing trailing = List(At("Sub\\"));
  EXPECT_TRUE(trailing.entries.empty());
  EXPECT_EQ(trailing.firstError, plat::kErrorFileNotFound);
  EXPECT_EQ(List(m_under->Root() + "\\").firstError, plat::kErrorFileNotFound);
  // the drive root "C:\": nothing either
  EXPECT_EQ(List("C:\\").firstError, plat::kErrorFileNotFound);
  // a missing folder with a trailing backslash: ERROR_PATH_NOT_FOUND on Windows, where the folder
  // is opened first; Wine gives ERROR_FILE_NOT_FOUND (its own conformance test marks this todo)
  EXPECT_EQ(List(At("missing\\")).firstError, IsWine() ? plat::kErrorFileNotFound : plat::kErrorPathNotFound);
}

TEST_F(FileSystemContract, MissingPaths) {
  Write("file.txt", "x");

  // a missing name in an existing folder: ERROR_FILE_NOT_FOUND
  EXPECT_EQ(Attributes("missing"), kInvalidFileAttributes);
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
  EXPECT_EQ(List(At("missing")).firstError, plat::kErrorFileNotFound);
  EXPECT_FALSE(Delete("missing"));
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
  EXPECT_FALSE(Copy("missing", "copy.txt", false));
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
  EXPECT_EQ(fs().Access(At("missing").c_str(), 0), -1);

  // a missing folder on the way: ERROR_PATH_NOT_FOUND
  EXPECT_EQ(Attributes("missing\\x.txt"), kInvalidFileAttributes);
  EXPECT_EQ(Error(), plat::kErrorPathNotFound);
  EXPECT_EQ(List(At("missing\\*")).firstError, plat::kErrorPathNotFound);
  EXPECT_EQ(List(At("missing\\x.txt")).firstError, plat::kErrorPathNotFound);
  EXPECT_FALSE(Delete("missing\\x.txt"));
  EXPECT_EQ(Error(), plat::kErrorPathNotFound);
  EXPECT_FALSE(Copy("missing\\x.txt", "copy.txt", false));
  EXPECT_EQ(Error(), plat::kErrorPathNotFound);

  // a file used as a folder: ERROR_PATH_NOT_FOUND
  EXPECT_EQ(Attributes("file.txt\\x"), kInvalidFileAttributes);
  EXPECT_EQ(Error(), plat::kErrorPathNotFound);

  // nothing was created on the way
  EXPECT_EQ(NamesOf(List(At("*"))), (Names{".", "..", "file.txt"}));
}

TEST_F(FileSystemContract, CopyFileA) {
  Write("source.txt", "new data");
  Write("target.txt", "old");
  ASSERT_TRUE(MakeFolder("folder"));

  // failIfExists onto an existing file: ERROR_FILE_EXISTS, the file untouched
  EXPECT_FALSE(Copy("source.txt", "target.txt", true));
  EXPECT_EQ(Error(), kErrorFileExists);
  EXPECT_EQ(Read("target.txt"), "old");

  // overwriting: the data replaced, the last error cleared
  Attributes("missing");  // leaves ERROR_FILE_NOT_FOUND behind
  EXPECT_TRUE(Copy("source.txt", "target.txt", false));
  EXPECT_EQ(Error(), 0u) << "expected CopyFileA to clear the last error";
  EXPECT_EQ(Read("target.txt"), "new data");
  EXPECT_EQ(Read("source.txt"), "new data");

  // a new name: created, even with failIfExists
  EXPECT_TRUE(Copy("source.txt", "fresh.txt", true));
  EXPECT_EQ(Read("fresh.txt"), "new data");

  // an overwritten file keeps the letter case of its name
  EXPECT_TRUE(Copy("fresh.txt", "TARGET.TXT", false));
  EXPECT_EQ(NamesOf(List(At("target.txt"))), (Names{"target.txt"}));

  // onto itself (in another letter case): ERROR_SHARING_VIOLATION, the data kept
  EXPECT_FALSE(Copy("source.txt", "SOURCE.txt", false));
  EXPECT_EQ(Error(), kErrorSharingViolation);
  EXPECT_EQ(Read("source.txt"), "new data");

  // into a missing folder: ERROR_PATH_NOT_FOUND
  EXPECT_FALSE(Copy("source.txt", "missing\\x.txt", false));
  EXPECT_EQ(Error(), plat::kErrorPathNotFound);

  // onto a folder, and from a folder: ERROR_ACCESS_DENIED
  EXPECT_FALSE(Copy("source.txt", "folder", false));
  EXPECT_EQ(Error(), plat::kErrorAccessDenied);
  EXPECT_FALSE(Copy("folder", "copy-of-folder", false));
  EXPECT_EQ(Error(), plat::kErrorAccessDenied);

  EXPECT_EQ(NamesOf(List(At("*"))), (Names{".", "..", "folder", "fresh.txt", "source.txt", "target.txt"}));
}

TEST_F(FileSystemContract, CopyFileAAndAttributes) {
  Write("hidden.txt", "h");
  ASSERT_TRUE(SetAttributes("hidden.txt", kFileAttributeHidden));
  Write("readonly.txt", "r");
  ASSERT_TRUE(SetAttributes("readonly.txt", kFileAttributeReadOnly));
  Write("plain.txt", "new");

  // a hidden source: the copy is hidden too, with archive
  EXPECT_TRUE(Copy("hidden.txt", "hidden-copy.txt", false));
  EXPECT_EQ(Attributes("hidden-copy.txt"), kFileAttributeHidden | kFileAttributeArchive);
  EXPECT_EQ(Read("hidden-copy.txt"), "h");
  // a read-only source: the copy is read-only too
  EXPECT_TRUE(Copy("readonly.txt", "readonly-copy.txt", false));
  EXPECT_EQ(Attributes("readonly-copy.txt"), kFileAttributeReadOnly | kFileAttributeArchive);

  // a read-only destination: refused with ERROR_ACCESS_DENIED, left as it was. Wine run by
  // root overwrites it: Wine keeps read-only as the host's write permission, which root skips
  const bool overwritten = Copy("plain.txt", "readonly.txt", false);
  if (m_under->IsWineAsRoot()) {
    EXPECT_TRUE(overwritten);
    EXPECT_EQ(Read("readonly.txt"), "new");
  } else {
    EXPECT_FALSE(overwritten);
    EXPECT_EQ(Error(), plat::kErrorAccessDenied);
    EXPECT_EQ(Read("readonly.txt"), "r");
  }

  // a hidden destination from a source that is not: Windows refuses (CREATE_ALWAYS does not
  // replace a hidden file by one that is not); Wine overwrites it
  const bool replaced = Copy("plain.txt", "hidden-copy.txt", false);
  if (IsWine()) {
    EXPECT_TRUE(replaced);
  } else {
    EXPECT_FALSE(replaced);
    EXPECT_EQ(Error(), plat::kErrorAccessDenied);
    EXPECT_EQ(Read("hidden-copy.txt"), "h");
  }
  // a hidden destination from a hidden source: allowed everywhere
  EXPECT_TRUE(Copy("hidden.txt", "hidden-copy.txt", false));
  EXPECT_EQ(Attributes("hidden-copy.txt") & kCompared, kFileAttributeHidden);
}

TEST_F(FileSystemContract, FilesInUse) {
  Write("acad.arx", "loaded module");
  Write("update.arx", "update");
  ASSERT_TRUE(m_under->HoldOpen(At("acad.arx")));

  // copying onto a file in use: ERROR_SHARING_VIOLATION, the data kept
  EXPECT_FALSE(Copy("update.arx", "acad.arx", false));
  EXPECT_EQ(Error(), kErrorSharingViolation);
  EXPECT_EQ(Read("acad.arx"), "loaded module");
  // deleting it: ERROR_SHARING_VIOLATION
  EXPECT_FALSE(Delete("acad.arx"));
  EXPECT_EQ(Error(), kErrorSharingViolation);
  // copying from it: allowed, the holder shares reading
  EXPECT_TRUE(Copy("acad.arx", "backup.arx", false));
  EXPECT_EQ(Read("backup.arx"), "loaded module");
  // its attributes can still be changed
  EXPECT_TRUE(SetAttributes("acad.arx", kFileAttributeArchive));

  // once released: overwritten
  m_under->ReleaseAll();
  EXPECT_TRUE(Copy("update.arx", "acad.arx", false));
  EXPECT_EQ(Read("acad.arx"), "update");
}

TEST_F(FileSystemContract, DeleteFileA) {
  Write("gone.txt", "x");
  Write("readonly.txt", "x");
  ASSERT_TRUE(SetAttributes("readonly.txt", kFileAttributeReadOnly));
  ASSERT_TRUE(MakeFolder("folder"));

  // a file: gone
  EXPECT_TRUE(Delete("gone.txt"));
  EXPECT_EQ(Attributes("gone.txt"), kInvalidFileAttributes);
  // a read-only file: ERROR_ACCESS_DENIED, still there
  EXPECT_FALSE(Delete("readonly.txt"));
  EXPECT_EQ(Error(), plat::kErrorAccessDenied);
  EXPECT_EQ(Read("readonly.txt"), "x");
  // a folder: ERROR_ACCESS_DENIED (DeleteFileA deletes files only)
  EXPECT_FALSE(Delete("folder"));
  EXPECT_EQ(Error(), plat::kErrorAccessDenied);
  EXPECT_EQ(Attributes("folder"), kFileAttributeDirectory);
}

TEST_F(FileSystemContract, AlternateDataStreams) {
  Write("setup.exe", "MZ");
  const std::string zone = "setup.exe:Zone.Identifier";

  // deleting a stream the file does not have: ERROR_FILE_NOT_FOUND, the file kept
  EXPECT_FALSE(Delete(zone));
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
  EXPECT_EQ(Read("setup.exe"), "MZ");

  Write(zone, "[ZoneTransfer]\r\nZoneId=3\r\n");
  // the stream exists: GetFileAttributesA answers for it
  EXPECT_NE(Attributes(zone), kInvalidFileAttributes);
  EXPECT_EQ(Read("setup.exe"), "MZ") << "writing the stream must leave the file's data alone";
  // NTFS lists the file only. Wine keeps no alternate data streams: "setup.exe:Zone.Identifier"
  // became a file of its own beside it
  EXPECT_EQ(NamesOf(List(At("*"))),
            IsWine() ? (Names{".", "..", "setup.exe", "setup.exe:Zone.Identifier"}) : (Names{".", "..", "setup.exe"}));

  // CopyFileA takes the streams along on NTFS; Wine copies the file's data only
  EXPECT_TRUE(Copy("setup.exe", "copy.exe", false));
  EXPECT_EQ(Attributes("copy.exe:Zone.Identifier") != kInvalidFileAttributes, !IsWine());

  // deleting the stream removes it and nothing else
  EXPECT_TRUE(Delete(zone));
  EXPECT_EQ(Attributes(zone), kInvalidFileAttributes);
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
  EXPECT_EQ(Read("setup.exe"), "MZ");
  EXPECT_EQ(NamesOf(List(At("setup*"))), (Names{"setup.exe"}));
  // again: ERROR_FILE_NOT_FOUND
  EXPECT_FALSE(Delete(zone));
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
  // a stream of a missing file: ERROR_FILE_NOT_FOUND
  EXPECT_FALSE(Delete("missing.exe:Zone.Identifier"));
  EXPECT_EQ(Error(), plat::kErrorFileNotFound);
}

TEST_F(FileSystemContract, CreatingFolders) {
  Write("file.txt", "x");

  // one level: created, a folder
  EXPECT_TRUE(MakeFolder("one"));
  EXPECT_EQ(Attributes("one"), kFileAttributeDirectory);
  // again: ERROR_ALREADY_EXISTS
  EXPECT_FALSE(MakeFolder("one"));
  EXPECT_EQ(Error(), plat::kErrorAlreadyExists);
  // over a file: ERROR_ALREADY_EXISTS
  EXPECT_FALSE(MakeFolder("file.txt"));
  EXPECT_EQ(Error(), plat::kErrorAlreadyExists);
  // two levels at once: ERROR_PATH_NOT_FOUND, nothing created
  EXPECT_FALSE(MakeFolder("two\\levels"));
  EXPECT_EQ(Error(), plat::kErrorPathNotFound);
  EXPECT_EQ(Attributes("two"), kInvalidFileAttributes);
  // a trailing backslash: created all the same
  EXPECT_TRUE(MakeFolder("trailing\\"));
  EXPECT_EQ(Attributes("trailing"), kFileAttributeDirectory);

  // _mkdir: 0, then -1 once it exists, -1 when the parent is missing
  EXPECT_EQ(fs().Mkdir(At("made").c_str()), 0);
  EXPECT_EQ(Attributes("made"), kFileAttributeDirectory);
  EXPECT_EQ(fs().Mkdir(At("made").c_str()), -1);
  EXPECT_EQ(fs().Mkdir(At("no\\parent").c_str()), -1);

  // _access mode 0: whether a file or folder exists
  EXPECT_EQ(fs().Access(At("file.txt").c_str(), 0), 0);
  EXPECT_EQ(fs().Access(At("made").c_str(), 0), 0);
  EXPECT_EQ(fs().Access(At("made\\").c_str(), 0), 0);
  EXPECT_EQ(fs().Access(At("nothing").c_str(), 0), -1);
  // _access mode 2: -1 for a read-only file
  EXPECT_EQ(fs().Access(At("file.txt").c_str(), 2), 0);
  ASSERT_TRUE(SetAttributes("file.txt", kFileAttributeReadOnly));
  EXPECT_EQ(fs().Access(At("file.txt").c_str(), 2), -1);
  EXPECT_EQ(fs().Access(At("file.txt").c_str(), 4), 0);
}

TEST_F(FileSystemContract, GetModuleFileNameA) {
  char buffer[1024];
  std::memset(buffer, 'Z', sizeof buffer);
  const std::uint32_t length = fs().GetModuleFileNameA(buffer, sizeof buffer);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof buffer);
  EXPECT_EQ(buffer[length], '\0');
  const std::string path(buffer, length);

  // the running program's full path: its name after the last backslash, in an existing folder
  const std::size_t slash = path.rfind('\\');
  ASSERT_NE(slash, std::string::npos) << path;
  EXPECT_EQ(path.substr(slash + 1), m_under->ProgramName());
  EXPECT_EQ(fs().GetFileAttributesA(path.substr(0, slash).c_str()) & kFileAttributeDirectory, kFileAttributeDirectory)
      << path;
  EXPECT_EQ(fs().GetFileAttributesA(path.c_str()) & kFileAttributeDirectory, 0u) << path;

  // a buffer of 10: cut, `size` returned, ERROR_INSUFFICIENT_BUFFER. Windows 7 and later end
  // the buffer with a terminator; Wine copies 10 characters and no terminator, as XP did
  std::memset(buffer, 'Z', sizeof buffer);
  EXPECT_EQ(fs().GetModuleFileNameA(buffer, 10), 10u);
  EXPECT_EQ(Error(), kErrorInsufficientBuffer);
  EXPECT_EQ(std::string(buffer, 9), path.substr(0, 9));
  EXPECT_EQ(buffer[9], IsWine() ? path[9] : '\0');
  EXPECT_EQ(buffer[10], 'Z') << "nothing may be written past the buffer";

  // exactly the length: no room for the terminator, so still cut
  EXPECT_EQ(fs().GetModuleFileNameA(buffer, length), length);
  EXPECT_EQ(Error(), kErrorInsufficientBuffer);
  // one more: it fits
  EXPECT_EQ(fs().GetModuleFileNameA(buffer, length + 1), length);
  EXPECT_EQ(std::string(buffer), path);
  // no room at all: 0 with ERROR_INSUFFICIENT_BUFFER
  EXPECT_EQ(fs().GetModuleFileNameA(buffer, 0), 0u);
  EXPECT_EQ(Error(), kErrorInsufficientBuffer);
}

TEST_F(FileSystemContract, CurrentDirectory) {
  Write("here.txt", "here");
  ASSERT_TRUE(m_under->ChangeDirectory(m_under->Root()));
  const std::string& root = m_under->Root();

  // the folder, no trailing backslash, length without the terminator
  char buffer[512];
  std::memset(buffer, 'Z', sizeof buffer);
  const std::uint32_t length = fs().GetCurrentDirectoryA(sizeof buffer, buffer);
  EXPECT_EQ(length, root.size());
  EXPECT_EQ(std::string(buffer), root);
  // a buffer too small by one: the size needed with the terminator, the buffer untouched
  std::memset(buffer, 'Z', sizeof buffer);
  EXPECT_EQ(fs().GetCurrentDirectoryA(length, buffer), length + 1);
  EXPECT_EQ(buffer[0], 'Z');
  // no buffer: the size needed
  EXPECT_EQ(fs().GetCurrentDirectoryA(0, nullptr), length + 1);

  // relative names start from it
  EXPECT_EQ(fs().GetFileAttributesA("here.txt"), kFileAttributeArchive);
  EXPECT_TRUE(fs().CopyFileA("here.txt", "there.txt", true));
  EXPECT_EQ(Read("there.txt"), "here");
  EXPECT_EQ(NamesOf(List("t*")), (Names{"there.txt"}));
  // ".." and "." segments are evaluated
  const std::string viaParent = "..\\" + root.substr(3) + "\\.\\here.txt";
  EXPECT_EQ(fs().GetFileAttributesA(viaParent.c_str()), kFileAttributeArchive) << viaParent;

  // a drive root keeps its backslash
  ASSERT_TRUE(m_under->ChangeDirectory("C:\\"));
  EXPECT_EQ(fs().GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
  EXPECT_EQ(std::string(buffer), "C:\\");
}

TEST_F(FileSystemContract, ChineseNames) {
  // a folder and files with Chinese names: created, copied and listed byte for byte
  ASSERT_TRUE(MakeFolder("中文目录"));
  Write("中文目录\\说明.txt", "说明");
  EXPECT_TRUE(Copy("中文目录\\说明.txt", "中文目录\\副本.txt", true));
  EXPECT_EQ(Read("中文目录\\副本.txt"), "说明");
  EXPECT_EQ(NamesOf(List(At("中文目录\\*"))), (Names{".", "..", "副本.txt", "说明.txt"}));

  // a trail byte 0x5C is no separator ("嘰" is 87 5C), nor is 0x7C a bar ("倈" is 82 7C)
  ASSERT_TRUE(MakeFolder("嘰"));
  Write("倈.txt", "bar");
  EXPECT_TRUE(Copy("倈.txt", "嘰\\倈.txt", true));
  EXPECT_EQ(Read("嘰\\倈.txt"), "bar");
  EXPECT_EQ(Attributes("嘰"), kFileAttributeDirectory);
  EXPECT_EQ(NamesOf(List(At("嘰\\*"))), (Names{".", "..", "倈.txt"}));

  // full-width letters differ only in case: one name (NTFS upcases them, and Wine does too)
  Write("Ａ.txt", "wide");
  EXPECT_EQ(Read("ａ.txt"), "wide");
  EXPECT_EQ(NamesOf(List(At("ａ.txt"))), (Names{"Ａ.txt"}));
  // ASCII letters beside Chinese ones: case-insensitive, the Chinese bytes untouched
  Write("图A.txt", "mixed");
  EXPECT_NE(Attributes("图a.txt"), kInvalidFileAttributes);

  EXPECT_EQ(NamesOf(List(At("*"))), (Names{".", "..", "中文目录", "倈.txt", "嘰", "图A.txt", "Ａ.txt"}));
}

TEST_F(FileSystemContract, LongPaths) {
  const std::string folder = At(std::string(100, 'd'));
  ASSERT_TRUE(fs().CreateDirectoryA(folder.c_str()));
  Write("source.txt", "long");
  const std::string source = At("source.txt");
  // A path of `length` characters inside `folder` (every name well below 255).
  auto pathOf = [&](std::size_t length) { return folder + "\\" + std::string(length - folder.size() - 1, 'f'); };

  // 259 characters, the most MAX_PATH holds with its terminator: every call works
  const std::string longest = pathOf(259);
  EXPECT_TRUE(fs().CopyFileA(source.c_str(), longest.c_str(), true));
  EXPECT_EQ(fs().GetFileAttributesA(longest.c_str()), kFileAttributeArchive);
  EXPECT_EQ(NamesOf(List(longest)).size(), 1u);
  EXPECT_TRUE(fs().DeleteFileA(longest.c_str()));

  // 260 characters: no room for the terminator, ERROR_PATH_NOT_FOUND; Wine has no limit there
  const std::string tooLong = pathOf(260);
  const bool copied = fs().CopyFileA(source.c_str(), tooLong.c_str(), true);
  EXPECT_EQ(copied, IsWine());
  if (!IsWine()) {
    EXPECT_EQ(Error(), plat::kErrorPathNotFound);
  }
  EXPECT_EQ(fs().GetFileAttributesA(tooLong.c_str()) != kInvalidFileAttributes, IsWine());
  if (copied) fs().DeleteFileA(tooLong.c_str());

  // over 260 characters: the ANSI text overflows the thread's conversion buffer,
  // ERROR_FILENAME_EXCED_RANGE whatever the call, on Wine too
  const std::string far = pathOf(300);
  EXPECT_EQ(fs().GetFileAttributesA(far.c_str()), kInvalidFileAttributes);
  EXPECT_EQ(Error(), kErrorFilenameExcedRange);
  EXPECT_EQ(List(far).firstError, kErrorFilenameExcedRange);
  EXPECT_FALSE(fs().DeleteFileA(far.c_str()));
  EXPECT_EQ(Error(), kErrorFilenameExcedRange);
  EXPECT_FALSE(fs().CreateDirectoryA(far.c_str()));
  EXPECT_EQ(Error(), kErrorFilenameExcedRange);
  EXPECT_FALSE(fs().CopyFileA(far.c_str(), At("back.txt").c_str(), false));
  EXPECT_EQ(Error(), kErrorFilenameExcedRange);
  EXPECT_EQ(fs().Access(far.c_str(), 0), -1);
  // CopyFileA converts its new name into an allocated buffer: there MAX_PATH is the limit,
  // ERROR_PATH_NOT_FOUND; Wine creates the file
  EXPECT_EQ(fs().CopyFileA(source.c_str(), far.c_str(), true), IsWine());
  if (!IsWine()) {
    EXPECT_EQ(Error(), plat::kErrorPathNotFound);
  }

  // a folder longer than MAX_PATH - 12: Windows keeps room for an 8.3 name and refuses it
  // with ERROR_FILENAME_EXCED_RANGE; Wine creates it
  EXPECT_EQ(fs().CreateDirectoryA(pathOf(250).c_str()), IsWine());
  if (!IsWine()) {
    EXPECT_EQ(Error(), kErrorFilenameExcedRange);
  }

  // more bytes than MAX_PATH but fewer characters: the limits count UTF-16 characters
  std::string wideFolder = At("");
  for (int i = 0; i < 60; ++i) wideFolder += "中";
  std::string wideFile = wideFolder + "\\";
  for (int i = 0; i < 70; ++i) wideFile += "文";
  wideFile += ".txt";
  ASSERT_GT(wideFile.size(), 259u);
  EXPECT_TRUE(fs().CreateDirectoryA(wideFolder.c_str()));
  EXPECT_TRUE(fs().CopyFileA(source.c_str(), wideFile.c_str(), true));
  EXPECT_EQ(fs().GetFileAttributesA(wideFile.c_str()), kFileAttributeArchive);
}

}  // namespace
