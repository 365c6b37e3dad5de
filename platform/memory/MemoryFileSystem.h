// The volumes of the in-memory machine: a model of what NTFS and the ANSI file
// calls do on Windows, not a mock. Drive C: exists from the start; tests add
// others. What it reproduces, as Windows does it:
//
// - Paths: see MemoryFileSystemPath.h (ANSI conversion limit, MAX_PATH,
//   normalisation, GBK-aware separators, invalid names).
// - Names are kept as given (GBK bytes, letter case kept) and compared the way
//   NTFS compares them: converted to UTF-16 and upcased with the volume's upcase
//   table, so "Ａ" (full width) and "ａ" are one name, like "A" and "a". A folder
//   lists its entries in that order ("_x" after "B2"; "中" U+4E2D before "啊"
//   U+554A whatever their GBK bytes).
// - Listings: "." and ".." come first in every folder but a drive root; masks
//   match as MemoryFileSystemMatch.h says. A mask of nothing ("C:\dir\") finds
//   nothing: ERROR_FILE_NOT_FOUND when the folder exists, ERROR_PATH_NOT_FOUND
//   when it does not. A listing is a copy taken by FindFirstFileA.
// - Attributes: read-only, hidden, system and archive are stored as set; a file
//   with none reads back as FILE_ATTRIBUTE_NORMAL; a drive root is hidden and
//   system. SetFileAttributesA replaces the stored set (0 clears it).
// - Alternate data streams, "file:stream": GetFileAttributesA gives the file's
//   attributes when the stream exists; DeleteFileA removes just the stream
//   (ERROR_FILE_NOT_FOUND when absent). Listings do not show streams.
// - CopyFileA copies the data, the attributes (archive added) and every stream.
//   It refuses: a missing source (ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND), a
//   folder as either side (ERROR_ACCESS_DENIED), an existing destination with
//   failIfExists (ERROR_FILE_EXISTS), the source itself (ERROR_SHARING_VIOLATION),
//   a read-only destination, and a destination that is hidden or system when the
//   source is not (both ERROR_ACCESS_DENIED: the CREATE_ALWAYS rule of NTFS), a
//   missing destination folder (ERROR_PATH_NOT_FOUND). An overwritten file keeps
//   its name's letter case. On success the last error is 0.
// - CreateDirectoryA creates one level; a full path longer than MAX_PATH - 12
//   (248) is refused with ERROR_FILENAME_EXCED_RANGE, which leaves room for an
//   8.3 name inside the folder.
// - GetModuleFileNameA follows Windows 7 and later: a name that does not fit is
//   cut to size - 1 bytes and terminated, the result is `size` and the last error
//   ERROR_INSUFFICIENT_BUFFER (XP left it unterminated).
// - _mkdir and _access behave like the runtime's: 0 or -1; _access mode 2 fails
//   on a read-only file; a mode other than 0, 2, 4 or 6 fails.
//
// Test-side simulations: a locked file stands for a module loaded by a running
// AutoCAD (open for reading, sharing read only): it can be read and copied from,
// but CopyFileA onto it and DeleteFileA of it fail with ERROR_SHARING_VIOLATION.
// A write-denied folder stands for an ACL that lets the user read but not write
// (Program Files for a standard user): creating, overwriting, deleting or
// changing attributes of anything in it or below fails with ERROR_ACCESS_DENIED.
//
// Where this deliberately differs from Windows:
// - Only GetFileAttributesA, SetFileAttributesA (the file's attributes),
//   DeleteFileA and _access take "file:stream"; CopyFileA, CreateDirectoryA and
//   FindFirstFileA refuse a ':' in a name with ERROR_INVALID_NAME. Folders have
//   no streams.
// - No 8.3 short names, no time stamps, no free-space limit, no UNC paths.
// - Names are kept as GBK bytes, not converted to UTF-16 and back.
//
// Every IFileSystem call but GetLastError first asks the FaultInjector
// (operation names are the function names: "CopyFileA", ..., "_mkdir",
// "_access"). A call made to fail changes nothing: FindFirstFileA, CopyFileA,
// the attribute calls, DeleteFileA, CreateDirectoryA, FindNextFileA, _mkdir and
// _access fail with ERROR_ACCESS_DENIED; GetModuleFileNameA and
// GetCurrentDirectoryA return 0 with ERROR_NOT_ENOUGH_MEMORY. FindClose is the
// exception: it still closes the handle and then reports ERROR_INVALID_HANDLE
// (a handle the program gave up is gone either way).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/memory/FaultInjector.h"
#include "platform/memory/MemoryFileSystemPath.h"

namespace mem {

// Error codes the model returns that platform/Types.h has no name for.
constexpr long kErrorNoMoreFiles = 18;
constexpr long kErrorSharingViolation = 32;
constexpr long kErrorFileExists = 80;
constexpr long kErrorInsufficientBuffer = 122;
constexpr long kErrorInvalidName = fspath::kErrorInvalidName;
constexpr long kErrorFilenameExcedRange = fspath::kErrorFilenameExcedRange;
constexpr long kErrorDirectory = 267;  // a folder was expected and a file found

class MemoryFileSystem : public plat::IFileSystem {
 public:
  explicit MemoryFileSystem(FaultInjector& faults);
  ~MemoryFileSystem() override;
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  std::uint32_t GetModuleFileNameA(char* buffer, std::uint32_t size) override;
  plat::HFind FindFirstFileA(const char* pattern, plat::FindData* data) override;
  bool FindNextFileA(plat::HFind find, plat::FindData* data) override;
  bool FindClose(plat::HFind find) override;
  bool CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) override;
  std::uint32_t GetFileAttributesA(const char* path) override;
  bool SetFileAttributesA(const char* path, std::uint32_t attributes) override;
  bool DeleteFileA(const char* path) override;
  bool CreateDirectoryA(const char* path) override;
  std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buffer) override;
  std::uint32_t GetLastError() override;
  int Mkdir(const char* path) override;
  int Access(const char* path, int mode) override;

  // Listing handles open now.
  std::size_t OpenHandles() const;

  // --- Test side: neither faultable nor access-checked; full paths -----------

  // A new, empty volume ('D'); false when it exists or is no letter.
  bool AddDrive(char letter);
  // Creates the folder and every missing folder above it.
  bool AddFolder(const std::string& path);
  // Creates or replaces the file (folders above it are created); "file:stream"
  // sets a stream, creating an empty file first when needed.
  bool AddFile(const std::string& path, const std::string& content,
               std::uint32_t attributes = plat::kFileAttributeArchive);
  bool Exists(const std::string& path) const;
  // The data of a file or stream; nullopt when there is none.
  std::optional<std::string> ReadFile(const std::string& path) const;
  // As GetFileAttributesA gives them; kInvalidFileAttributes when absent.
  std::uint32_t Attributes(const std::string& path) const;
  // Names of the file's streams, in NTFS order.
  std::vector<std::string> Streams(const std::string& path) const;
  // In use by a running AutoCAD (see above) until unlocked.
  bool LockFile(const std::string& path, bool locked = true);
  // The folder and everything below refuse writing (see above).
  bool DenyWrite(const std::string& folder, bool denied = true);
  void SetModulePath(const std::string& path);
  // False unless the path is an existing folder.
  bool SetCurrentDir(const std::string& path);

  // Every volume as canonical text, one line per entry in listing order: path,
  // kind, attributes, exact data, streams, locks and denials. Equal texts mean
  // equal volumes.
  std::string ListAll() const;

 private:
  struct Listing {
    std::vector<plat::FindData> entries;
    std::size_t next = 0;
  };

 public:
  struct Node;  // MemoryFileSystemNode.h
  struct Located;

 private:
  long ParseText(const char* text, const fspath::ParseOptions& options, fspath::Path* path) const;
  long Locate(const fspath::Path& path, Located* out) const;
  long ParseAndLocate(const char* text, const fspath::ParseOptions& options, fspath::Path* path, Located* out) const;
  Node* FindTestPath(const std::string& path, std::string* stream) const;
  Node* MakeFolders(const fspath::Path& path, std::size_t count);
  long AttributesOf(const char* path, std::uint32_t* attributes) const;
  long ListFolder(const fspath::Path& pattern, std::vector<plat::FindData>* entries) const;
  long CheckCopyTarget(const Node& source, const Node& target, bool failIfExists) const;
  long DoCopy(const char* existingFile, const char* newFile, bool failIfExists);
  long DoDelete(const char* path);
  long DoSetAttributes(const char* path, std::uint32_t attributes);
  long DoCreateDirectory(const char* path);
  // Records `error` as the last error; true when it is 0.
  bool Fail(long error);
  void RenderNode(const Node& node, const std::string& path, std::string* out) const;

  FaultInjector& m_faults;
  std::map<char, std::unique_ptr<Node>> m_drives;
  std::map<plat::HFind, Listing> m_listings;
  plat::HFind m_nextHandle = 0x2000;
  fspath::Path m_currentDirectory;
  std::string m_modulePath = "C:\\SetUp.exe";
  std::uint32_t m_lastError = 0;
};

}  // namespace mem
