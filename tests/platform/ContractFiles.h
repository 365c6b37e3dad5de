// The file system the contract tests run against: the in-memory model natively
// (ContractFiles_memory.cpp), the real volumes in the Windows builds
// (ContractFiles_win32.cpp). Each test gets its own empty folder on drive C:.
// Setting files up and reading them back goes through the fixture, not through
// the interface under test, which has no call that writes data.
#pragma once

#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace contract {

class FilesUnderTest {
 public:
  virtual ~FilesUnderTest() = default;
  virtual plat::IFileSystem& Files() = 0;
  // Empty when the folder is ready; otherwise why it is not.
  virtual std::string SetupError() const = 0;
  // The test's empty folder, "C:\vm-contract-<pid>", no trailing backslash.
  virtual std::string Root() const = 0;
  // Listing handles open now, or -1 when the implementation cannot count them.
  virtual long OpenHandles() const = 0;
  // The real volumes of Wine: the checks where Wine differs from Windows expect
  // Wine's behaviour there (each says why); the model follows Windows.
  virtual bool IsWine() const = 0;
  // Wine run by root: Wine stands the read-only attribute on the host's write
  // permission, which root does not need.
  virtual bool IsWineAsRoot() const = 0;

  // Creates or replaces a file (or "file:stream") with exactly these bytes.
  virtual bool WriteFile(const std::string& path, const std::string& data) = 0;
  // The file's bytes; "<unreadable>" when it cannot be read.
  virtual std::string ReadFile(const std::string& path) = 0;
  // Holds the file open as a running AutoCAD holds a loaded module: others may
  // read it but neither write nor delete it. Until ReleaseAll or the end.
  virtual bool HoldOpen(const std::string& path) = 0;
  virtual void ReleaseAll() = 0;
  // Changes the current directory (restored at the end of the test).
  virtual bool ChangeDirectory(const std::string& path) = 0;
  // The file name the running program's path ends with.
  virtual std::string ProgramName() const = 0;
};

std::unique_ptr<FilesUnderTest> MakeFilesUnderTest();

}  // namespace contract
